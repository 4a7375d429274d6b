#include "sections/text_ops.h"

#include "platform/ansi_case.h"

#include <cctype>
#include <climits>

namespace tw {

std::string UpperText(const std::string& text) {
  const auto& upper = AnsiUpperTable();
  std::string out = text;
  for (char& c : out) c = static_cast<char>(upper[static_cast<unsigned char>(c)]);
  return out;
}

std::string TrimText(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool ContainsNoCase(const std::string& text, const std::string& part) {
  return UpperText(text).find(UpperText(part)) != std::string::npos;
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  size_t pos = 0;
  for (size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, pos)) {
    out.append(text, pos, hit - pos);
    out += to;
    pos = hit + from.size();
  }
  out.append(text, pos, std::string::npos);
  return out;
}

std::string RemoveChars(const std::string& text, const std::string& chars) {
  size_t first = text.find_first_of(chars);
  if (first == std::string::npos) return text;
  bool removed[256] = {};
  for (char c : chars) removed[static_cast<unsigned char>(c)] = true;
  std::string out(text, 0, first);
  out.reserve(text.size());
  for (size_t i = first; i < text.size(); ++i)
    if (!removed[static_cast<unsigned char>(text[i])]) out += text[i];
  return out;
}

std::string FileNamePart(const std::string& path) {
  size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FileExtension(const std::string& path) {
  std::string name = FileNamePart(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

int TextToIntDef(const std::string& text, int fallback) {
  std::string t = TrimText(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return fallback;
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) return fallback;
    value = value * 10 + (t[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return fallback;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return fallback;
  return static_cast<int>(value);
}

}  // namespace tw
