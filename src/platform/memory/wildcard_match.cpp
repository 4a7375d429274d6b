#include "platform/memory/wildcard_match.h"

#include "platform/ansi_case.h"

namespace tw {
namespace {

// Greedy matching with one back-tracking point: linear for the patterns file searches use.
bool PlainMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || AnsiUpper(pattern[p]) == AnsiUpper(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (PlainMatch(pattern, name)) return true;
  if (name.find('.') != std::string_view::npos) return false;
  // A name without an extension has an empty one: "readme.*" and "*." both find "README".
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
    return PlainMatch(pattern.substr(0, pattern.size() - 2), name);
  if (!pattern.empty() && pattern.back() == '.') return PlainMatch(pattern.substr(0, pattern.size() - 1), name);
  return false;
}

}  // namespace tw
