// The whole-root software-settings sections: user settings (2, HKEY_CURRENT_USER) and system settings (3,
// HKEY_LOCAL_MACHINE, then HKEY_USERS). Every string value of every key below the root that names a folder or
// a file that does not exist is a finding; the repair deletes the value.
#pragma once
#include <string>

#include "sections/section_table.h"

namespace tw {

void ScanUserSoftwareSettings(ScanContext& ctx, HKey root, const std::string& keyPath);
void ScanSystemSoftwareSettings(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairSoftwareSettings(RepairContext& ctx);

}  // namespace tw
