// Section 17, "Most Recently Used Files": the open/save and Run histories of the current user, every entry
// reported for clearing; section 11, "Invalid ShortCuts": shortcut files on the fixed drives whose target is
// missing.
#pragma once
#include <cstdint>
#include <string>

#include "sections/section_table.h"

namespace tw {

constexpr const char* kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// `keyPath` is the open/save history key; the Run history key is fixed.
void ScanRecentFiles(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairRecentFiles(RepairContext& ctx);

// Whether the shortcut walk enters a folder entry with this attribute word: only these exact words, so a
// read-only folder, a junction or a symbolic link (reparse point) is never entered.
bool IsWalkedAttributeWord(uint32_t attributes);

// Walks the drive or folder `folder` ("C:" or "C:\Data", no trailing backslash) for broken shortcuts.
void ScanShortcutsIn(ScanContext& ctx, const std::string& folder);
// Walks every fixed drive from C: to Z:; handed neither root nor key path.
void ScanShortcuts(ScanContext& ctx, HKey root, const std::string& keyPath);
// Sends each selected shortcut file to the Recycle Bin; a file still there afterwards is a repair error.
void RepairShortcuts(RepairContext& ctx);

}  // namespace tw
