// Small text operations the sections share: upper case, trimming, searching and replacing.
#pragma once
#include <string>

namespace tw {

// Upper case in the ANSI code page (Windows-1252), as the system upper-cases text.
std::string UpperText(const std::string& text);
// Without leading and trailing blanks and control characters.
std::string TrimText(const std::string& text);
bool Contains(const std::string& text, const std::string& part);
// True when `part` occurs in `text`, letters compared without case.
bool ContainsNoCase(const std::string& text, const std::string& part);
// Every occurrence of `from` replaced by `to`, left to right, exact case.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);
// Without any character of `chars`.
std::string RemoveChars(const std::string& text, const std::string& chars);
// The file name part: after the last backslash or colon.
std::string FileNamePart(const std::string& path);
// The extension with its dot, from the last "." of the file name part; empty when there is none.
std::string FileExtension(const std::string& path);
// Decimal text to an integer: blanks around and a sign are allowed; anything else gives `fallback`.
int TextToIntDef(const std::string& text, int fallback);

}  // namespace tw
