// The sections that read fixed keys of HKEY_LOCAL_MACHINE naming files: shared DLLs (4), fonts (5),
// help files (9), application paths (10) and sounds (15).
#pragma once
#include <string>

#include "sections/section_table.h"

namespace tw {

void ScanSharedDlls(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairSharedDlls(RepairContext& ctx);

void ScanFonts(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairFonts(RepairContext& ctx);

// Reads the fixed "Help" and "Html Help" keys below `root`; the key path handed in is not used.
void ScanHelpFiles(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairHelpFiles(RepairContext& ctx);

void ScanAppPaths(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairAppPaths(RepairContext& ctx);

void ScanSounds(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairSounds(RepairContext& ctx);

}  // namespace tw
