// Section 1, "ActiveX, OLE, COM": empty server and help-folder keys anywhere in HKEY_CLASSES_ROOT, and class
// identifiers whose type-library reference names a library that "TypeLib" does not list.
#pragma once
#include <string>

#include "platform/registry.h"
#include "sections/section_table.h"

namespace tw {

constexpr const char* kComCategory = "ActiveX, OLE, COM";

// The empty-entry walk over the whole of `root` below `keyPath`, skipping every "AppID" subtree.
void ComEmptyEntryWalk(ScanContext& ctx, HKey root, const std::string& keyPath);
// The type-library pass over `root`\CLSID.
void ComTypeLibPass(ScanContext& ctx, HKey root, const std::string& keyPath);
// The section's scanner: the walk, then, unless the scan was aborted, the type-library pass, into one list.
void ScanComSection(ScanContext& ctx, HKey root, const std::string& keyPath);
// Deletes the key of each selected record, with its subtree, below HKEY_CLASSES_ROOT; the status label is
// left as it is.
void RepairComSection(RepairContext& ctx);

}  // namespace tw
