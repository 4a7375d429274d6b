// The sections on the file-extension keys at the top of HKEY_CLASSES_ROOT: invalid file associations (6), an
// extension whose file type is known nowhere, and empty file extensions (13), an extension key holding only
// an empty unnamed value.
#pragma once
#include <string>
#include <vector>

#include "sections/section_table.h"

namespace tw {

// The top-level names of HKEY_CLASSES_ROOT, split: names containing "*", "Directory", "Folder", "Drive" or
// "Unknow" (exact case) are dropped; of the rest, those beginning with "." are extensions, the others classes.
struct ClassesRootNames {
  std::vector<std::string> extensions;
  std::vector<std::string> classNames;
};
ClassesRootNames SplitClassesRootNames(const std::vector<std::string>& names);

void ScanFileAssociations(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairFileAssociations(RepairContext& ctx);

void ScanFileExtensions(ScanContext& ctx, HKey root, const std::string& keyPath);
void RepairFileExtensions(RepairContext& ctx);

}  // namespace tw
