// Windows-only test helpers: a byte-exact picture of registry keys, read through the Unicode API so nothing
// hides behind the ANSI conversion, and the system registry editor's silent import.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "platform/files.h"

namespace tw::test {

// "[path]" for each key and "[path] name" for each value, with the value's type and bytes.
using RegistrySnapshot = std::map<std::wstring, std::pair<DWORD, std::string>>;

// Adds the key at `path` below `root` with every key and value below it; nothing when it does not exist. A
// symbolic link is taken as itself, with its link value.
void AddToSnapshot(HKEY root, const std::string& path, RegistrySnapshot& snap);
// The entry names of a snapshot as ANSI text, for messages.
std::string SnapshotEntryName(const std::wstring& entry);
// One failure per entry that is missing, different or new in `after`.
void ExpectSameSnapshot(const RegistrySnapshot& before, const RegistrySnapshot& after);

// Runs "regedit.exe /s FILE" from the Windows folder and waits for it to end.
bool ImportWithRegistryEditor(IFiles& files, const std::string& regFile);

}  // namespace tw::test
