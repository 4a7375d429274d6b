// Section 8, "Uninstall Sections": uninstall entries whose uninstall program is missing; section 14, "Startup
// Programs": Start-menu order keys whose program folder is in neither Programs folder; section 16, "Start Menu
// Item": the Programs order cache, every entry of it.
#pragma once
#include <string>

#include "sections/section_table.h"

namespace tw {

void ScanUninstallEntries(ScanContext& ctx, HKey root, const std::string& keyPath);
// Deletes the "UninstallString" value only; the entry's key stays.
void RepairUninstallEntries(RepairContext& ctx);

// `keyPath` is the MenuOrder key; the order keys checked are those below its first "Start Menu..." subkey's
// "Programs" key.
void ScanProgramFolders(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairProgramFolders(RepairContext& ctx);

void ScanStartMenuItems(ScanContext& ctx, HKey root, const std::string& keyPath);
// Deletes the key of each key record; the default and value records of a key go with it.
void RepairStartMenuItems(RepairContext& ctx);

}  // namespace tw
