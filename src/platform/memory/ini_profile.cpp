#include "platform/memory/ini_profile.h"

#include <cstdint>
#include <string_view>

#include "platform/ansi_case.h"

namespace tw {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the file as the profile functions see it.
struct Line {
  enum Kind { Other, Section, Key } kind = Other;
  std::string text;      // the line as it is in the file, without its line break
  std::string name;  // section or key name
  std::string value;
  bool hasValue = false;
};

// The file split into lines, parsed; rewritten only when a call changes it.
class IniText {
 public:
  explicit IniText(const std::string& contents) {
    size_t pos = 0;
    while (pos < contents.size()) {
      size_t end = contents.find('\n', pos);
      if (end == std::string::npos) end = contents.size();
      std::string text = contents.substr(pos, end - pos);
      if (!text.empty() && text.back() == '\r') text.pop_back();
      lines_.push_back(MakeLine(std::move(text)));
      pos = end + 1;
    }
  }

  // First line of the section's body and the line after it; false when the section is missing.
  bool FindSection(std::string_view section, size_t* begin, size_t* end) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].kind != Line::Section || !EqualNoCase(lines_[i].name, section)) continue;
      size_t j = i + 1;
      while (j < lines_.size() && lines_[j].kind != Line::Section) ++j;
      *begin = i + 1;
      *end = j;
      return true;
    }
    return false;
  }

  const Line* FindKey(std::string_view section, std::string_view key, size_t* at = nullptr) const {
    size_t begin, end;
    if (!FindSection(section, &begin, &end)) return nullptr;
    for (size_t i = begin; i < end; ++i) {
      if (lines_[i].kind == Line::Key && EqualNoCase(lines_[i].name, key)) {
        if (at) *at = i;
        return &lines_[i];
      }
    }
    return nullptr;
  }

  void SetKey(const std::string& section, const std::string& key, const std::string& value) {
    size_t at;
    if (const Line* line = FindKey(section, key, &at)) {
      Replace(at, line->name + "=" + value);
      return;
    }
    size_t begin, end;
    if (!FindSection(section, &begin, &end)) {
      Insert(lines_.size(), "[" + section + "]");
      Insert(lines_.size(), key + "=" + value);
      return;
    }
    size_t after = end;  // after the section's last key, before the blank lines that part it from the next
    while (after > begin && Trim(lines_[after - 1].text).empty()) --after;
    Insert(after, key + "=" + value);
  }

  bool RemoveKey(std::string_view section, std::string_view key) {
    size_t at;
    if (!FindKey(section, key, &at)) return false;
    lines_.erase(lines_.begin() + static_cast<long>(at));
    return true;
  }

  bool RemoveSection(std::string_view section) {
    size_t begin, end;
    if (!FindSection(section, &begin, &end)) return false;
    lines_.erase(lines_.begin() + static_cast<long>(begin - 1), lines_.begin() + static_cast<long>(end));
    return true;
  }

  std::vector<std::string> SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
      if (line.kind == Line::Section) names.emplace_back(line.name);
    return names;
  }

  std::vector<std::string> KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    size_t begin, end;
    if (!FindSection(section, &begin, &end)) return names;
    for (size_t i = begin; i < end; ++i)
      if (lines_[i].kind == Line::Key && lines_[i].hasValue) names.emplace_back(lines_[i].name);
    return names;
  }

  // Every key line of the section, a line without "=" as a key with an empty value.
  std::vector<std::pair<std::string, std::string>> Section(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> keys;
    size_t begin, end;
    if (!FindSection(section, &begin, &end)) return keys;
    for (size_t i = begin; i < end; ++i)
      if (lines_[i].kind == Line::Key) keys.emplace_back(lines_[i].name, lines_[i].value);
    return keys;
  }

  std::string Text() const {
    std::string out;
    for (const Line& line : lines_) {
      out += line.text;
      out += "\r\n";
    }
    return out;
  }

 private:
  static Line MakeLine(std::string text) {
    Line line;
    line.text = std::move(text);
    std::string_view t = Trim(line.text);
    if (t.empty() || t.front() == ';') return line;  // comments are neither keys nor listed
    if (t.front() == '[') {
      size_t close = t.find(']');
      line.kind = Line::Section;
      line.name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      return line;
    }
    size_t eq = t.find('=');
    line.kind = Line::Key;
    line.name = Trim(t.substr(0, eq));
    if (eq != std::string_view::npos) {
      line.hasValue = true;
      line.value = Trim(t.substr(eq + 1));
    }
    return line;
  }

  void Insert(size_t at, std::string text) {
    lines_.insert(lines_.begin() + static_cast<long>(at), MakeLine(std::move(text)));
  }
  void Replace(size_t at, std::string text) { lines_[at] = MakeLine(std::move(text)); }

  std::vector<Line> lines_;
};

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

std::string IniProfile::PathOf(const std::string& file) {
  if (file.empty()) return files_.WindowsDir() + "\\win.ini";
  if (file.find_first_of("\\/:") == std::string::npos) return files_.WindowsDir() + "\\" + file;
  return file;
}

std::string IniProfile::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) {
  std::string contents;
  std::string_view fallback = defaultValue;
  while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
  if (!files_.ReadWholeFile(PathOf(file), &contents)) return std::string(fallback);
  IniText ini(contents);
  const Line* line = ini.FindKey(section, key);
  if (!line || !line->hasValue) return std::string(fallback);
  return Unquote(line->value);
}

int IniProfile::ReadInteger(const std::string& file, const std::string& section, const std::string& key,
                            int defaultValue) {
  std::string text = ReadString(file, section, key, "");
  if (text.empty()) return defaultValue;
  return ProfileStringToInteger(text);
}

bool IniProfile::WriteString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
  std::string path = PathOf(file);
  std::string contents;
  files_.ReadWholeFile(path, &contents);
  IniText ini(contents);
  ini.SetKey(section, key, value);
  return files_.WriteWholeFile(path, ini.Text());
}

bool IniProfile::DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
  std::string path = PathOf(file);
  std::string contents;
  if (!files_.ReadWholeFile(path, &contents)) return true;
  IniText ini(contents);
  if (!ini.RemoveKey(section, key)) return true;
  return files_.WriteWholeFile(path, ini.Text());
}

bool IniProfile::DeleteSection(const std::string& file, const std::string& section) {
  std::string path = PathOf(file);
  std::string contents;
  if (!files_.ReadWholeFile(path, &contents)) return true;
  IniText ini(contents);
  if (!ini.RemoveSection(section)) return true;
  return files_.WriteWholeFile(path, ini.Text());
}

std::vector<std::string> IniProfile::SectionNames(const std::string& file) {
  std::string contents;
  if (!files_.ReadWholeFile(PathOf(file), &contents)) return {};
  return IniText(contents).SectionNames();
}

std::vector<std::string> IniProfile::KeyNames(const std::string& file, const std::string& section) {
  std::string contents;
  if (!files_.ReadWholeFile(PathOf(file), &contents)) return {};
  return IniText(contents).KeyNames(section);
}

std::vector<std::pair<std::string, std::string>> IniProfile::ReadSection(const std::string& file,
                                                                         const std::string& section) {
  std::string contents;
  if (!files_.ReadWholeFile(PathOf(file), &contents)) return {};
  return IniText(contents).Section(section);
}

int ProfileStringToInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    char p = static_cast<char>(AnsiUpper(text[i + 1]));
    if (p == 'X') base = 16;
    if (p == 'O') base = 8;
    if (p == 'B') base = 2;
    if (base != 10) i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = static_cast<char>(AnsiUpper(text[i]));
    int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99);
    if (digit >= base) break;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace tw
