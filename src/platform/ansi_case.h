// Case folding of ANSI (Windows-1252) names, the way Windows compares registry and file names:
// both sides are upper-cased, so the order is that of the upper-case names.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

inline const std::array<unsigned char, 256>& AnsiUpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
      if (c != 0xF7) t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;  // s caron
    t[0x9C] = 0x8C;  // oe
    t[0x9E] = 0x8E;  // z caron
    t[0xFF] = 0x9F;  // y diaeresis
    return t;
  }();
  return table;
}

inline unsigned char AnsiUpper(char c) { return AnsiUpperTable()[static_cast<unsigned char>(c)]; }

inline int CompareNoCase(std::string_view a, std::string_view b) {
  const auto& up = AnsiUpperTable();
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = up[static_cast<unsigned char>(a[i])];
    unsigned char y = up[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

// Orders names as Windows does; transparent so that lookups need no string copy.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
};

}  // namespace tw
