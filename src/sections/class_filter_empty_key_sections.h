// Section 7, "System Services": filter-driver lists on the CD-ROM device class; section 12, "Empty Registry
// Keys": keys below HKEY_USERS that hold neither subkeys nor values.
#pragma once
#include <string>

#include "sections/section_table.h"

namespace tw {

constexpr const char* kCdRomClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E965-E325-11CE-BFC1-08002BE10318}";

// Reads the fixed CD-ROM class key below `root`; the key path handed in is not used.
void ScanClassFilters(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairClassFilters(RepairContext& ctx);

// Walks `root` below `keyPath`, never entering the default profile.
void ScanEmptyKeys(ScanContext& ctx, HKey root, const std::string& keyPath);
// Deletes each selected key while it is still empty; one that gained subkeys or values since the scan stays.
void RepairEmptyKeys(RepairContext& ctx);

}  // namespace tw
