// The disk cleaner's search, usable without its window: the fixed drives worth scanning, the walk of a drive for
// entries matching the ticked junk types, and the found entries summed per drive. It never changes a file.
//
// A scan without a window:
//   std::vector<JunkPattern> patterns = TickedPatterns(LoadJunkTypes(files, tablePath));
//   for (const DriveRow& drive : ListFixedDrives(platform)) ScanJunkFolder(files, drive.Drive, patterns, ...);
//   JunkTotalsByDrive(found) then gives the count and bytes of each drive in the order of first finding.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sections/scan_context.h"
#include "tools/junk_types.h"

namespace tw {

// A found entry: a file, or a folder whose own name matched.
struct TTempFileInfo {
  std::string FileName;
  std::string FullPath;  // the folder, a backslash, the name
  uint64_t Size = 0;
  bool IsFolder = false;
};

// A fixed drive with free and total space: the shell's display name and icon, the sizes as "%dMB", "C:".
struct DriveRow {
  std::string Caption;
  int IconIndex = -1;
  std::string TotalSpace, FreeSpace;
  std::string Drive;
  bool Checked = true;
};

// The fixed drives A: to Z: whose free space and total size are at least 1 MB each, in letter order.
std::vector<DriveRow> ListFixedDrives(Platform& platform);

// The patterns of the ticked types, in table order.
std::vector<JunkPattern> TickedPatterns(const std::vector<TJunkType>& types);

// Walks the folder `root` ("C:" for a drive, no trailing backslash) depth-first and appends every entry whose
// name one of `patterns` matches to `found`: a folder after its contents, in the order the file system lists
// them. A folder is entered only when its attribute word is exactly one of 0x10, 0x12 or 0x13, so junctions,
// symbolic links (0x400) and read-only or system folders are not followed; it is still tested itself. A folder
// that cannot be listed contributes nothing but itself. `pump` runs before every entry, `current` shows the path
// of each entry that passes the attribute rule, and the walk ends at the next entry once `stop` answers true.
// Uses no recursion, so any depth of folders is safe. Returns false when it was stopped.
bool ScanJunkFolder(IFiles& files, const std::string& root, const std::vector<JunkPattern>& patterns,
                    IMessagePump& pump, ITextTarget& current, const std::function<bool()>& stop,
                    std::vector<TTempFileInfo>* found);

// The drive part of a full path upper-cased: "C:".
std::string JunkDriveOf(const std::string& path);

struct JunkDriveTotal {
  std::string Drive;  // "C:"
  uint64_t Count = 0;
  uint64_t Bytes = 0;
};
// The found entries counted and summed per drive, drives in the order they were first found.
std::vector<JunkDriveTotal> JunkTotalsByDrive(const std::vector<TTempFileInfo>& found);

}  // namespace tw
