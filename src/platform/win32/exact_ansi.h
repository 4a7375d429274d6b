// Conversions between the ANSI code page and UTF-16 that never lose a character silently.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// `count` UTF-16 units in the ANSI code page; false when one has no exact form there (the ANSI functions would
// hand out a look-alike or a "?" instead).
inline bool ExactAnsi(const wchar_t* text, size_t count, std::string* out) {
  bool ascii = true;
  for (size_t i = 0; i < count && ascii; ++i) ascii = text[i] < 0x80;
  if (ascii) {
    out->resize(count);
    for (size_t i = 0; i < count; ++i) (*out)[i] = static_cast<char>(text[i]);
    return true;
  }
  const UINT codePage = GetACP();
  // UTF-8 holds every character but refuses unpaired surrogates; other pages report the default character.
  const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(count);
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, usedDefaultOut);
  if (n <= 0 || usedDefault) return false;
  std::string bytes(static_cast<size_t>(n), '\0');
  if (WideCharToMultiByte(codePage, flags, text, length, bytes.data(), n, nullptr, usedDefaultOut) != n ||
      usedDefault)
    return false;
  // A character the page maps to another one and back differently is not exact either.
  const int back = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
  std::wstring roundTrip(static_cast<size_t>(back > 0 ? back : 0), L'\0');
  if (back <= 0 || MultiByteToWideChar(codePage, 0, bytes.data(), n, roundTrip.data(), back) != back ||
      roundTrip.compare(0, std::wstring::npos, text, count) != 0)
    return false;
  *out = std::move(bytes);
  return true;
}

// ANSI text in UTF-16; an ANSI text always has one.
inline std::wstring WideOf(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace tw
