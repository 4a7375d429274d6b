// The persistent ignore list "TarnwickIgnores.dat": entries the user told the program to leave alone.
#pragma once
#include <string>

#include "app/problem_records.h"
#include "platform/files.h"

namespace tw {

constexpr const char* kIgnoreFileName = "TarnwickIgnores.dat";

// Appends one "category|path|value\r\n" line, creating the file when missing.
bool AppendIgnoreEntry(IFiles& files, const std::string& filePath, const std::string& category,
                       const std::string& fullKeyPath, const std::string& valueName);
// Empties `list` and fills it from the file (a missing file leaves it empty). False when the file is there but
// cannot be read (locked, access denied): the list is then not what the user excluded.
bool LoadIgnoreList(IFiles& files, const std::string& filePath, TIgnoreContents& list);
// Rewrites the file without the entries IsIgnored would match for these three; every other line stays as it was.
// False, with the file unchanged, when it cannot be read or rewritten.
bool RemoveIgnoreEntries(IFiles& files, const std::string& filePath, const std::string& category,
                         const std::string& fullKeyPath, const std::string& valueName);
// 1 when an entry has this category and key path (both compared in upper case) and exactly this value name.
int IsIgnored(const TIgnoreContents& list, const std::string& category, const std::string& fullKeyPath,
              const std::string& valueName);

}  // namespace tw
