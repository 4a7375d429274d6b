// The disk cleaner's search, usable without its window: the fixed drives worth scanning, the walk of a drive for
// entries matching the ticked junk types, and the found entries summed per drive. It never changes a file.
//
// A scan without a window:
//   const JunkMatcher matcher(LoadJunkTypes(files, tablePath));
//   for (const DriveRow& drive : ListFixedDrives(platform)) ScanJunkFolder(files, drive.Drive, matcher, ...);
//   JunkTotalsByDrive(found) then gives the count and bytes of each drive in the order of first finding.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
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

// The ticked types as one test of a name: plain names and extensions are looked up in sets, wildcard patterns
// tried in table order. Which type finds a name changes nothing, so the lookups may go first.
class JunkMatcher {
 public:
  explicit JunkMatcher(const std::vector<TJunkType>& types);
  bool Matches(const std::string& name) const;

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  std::unordered_set<std::string, Hash, std::equal_to<>> names_, extensions_;
  std::vector<JunkPattern> wildcards_;
};

// Walks the folder `root` ("C:" for a drive, no trailing backslash) depth-first and appends every entry whose
// name `matcher` matches to `found`: a folder after its contents, in the order the file system lists
// them. A folder is entered only when its attribute word is exactly one of 0x10, 0x12 or 0x13, so junctions,
// symbolic links (0x400) and read-only or system folders are not followed; it is still tested itself. A folder
// that cannot be listed contributes nothing but itself. `pump` runs before every entry, `current` shows the path
// of each entry that passes the attribute rule, and the walk ends at the next entry once `stop` answers true.
// Uses no recursion, so any depth of folders is safe. Returns false when it was stopped.
bool ScanJunkFolder(IFiles& files, const std::string& root, const JunkMatcher& matcher,
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
