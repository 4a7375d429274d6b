// Compares what a registry export file holds with what the registry holds now, read exactly (names in UTF-16,
// data as stored, subtrees through handles relative to their parent, links opened as themselves): the proof
// that a backup holds what a repair is about to delete, and the check that an import restored a file.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/problem_records.h"
#include "backup/export_reader.h"
#include "backup/export_writer.h"
#include "platform/platform.h"
#include "sections/section_table.h"

namespace tw {

// What a file leaves in the registry when imported: its keys with their values, later lines overriding earlier
// ones and deletions applied in the order of the file. Names are matched without regard to case.
class RegFileImage {
 public:
  struct Value {
    uint32_t type = kRegNone;
    Bytes data;
  };
  using Values = std::map<std::u16string, Value>;  // by upper-cased name

  RegFileImage() = default;
  explicit RegFileImage(const RegFile& file);
  void Apply(const RegFileKey& key);

  // The values of the key at `path` ("HKEY_...\key path"), null when the import leaves no such key.
  const Values* Find(const std::u16string& path) const;

 private:
  std::map<std::u16string, Values> keys_;  // by upper-cased path
};

// The registry path of a record's key as the image names it: root name, backslash, the key path without the
// separators it may carry at either end.
std::u16string ImagePathOf(ISystem& system, const std::string& fullKeyPath);

// True when everything the repair of one record would delete is in `image` with the same type and bytes: its
// value ("default" names the unnamed value), or its key with every key and value below it. What is not in the
// registry is not deleted and needs no proof; what cannot be read is not proven.
bool BackupHolds(Platform& platform, const RegFileImage& image, const std::string& fullKeyPath,
                 const std::string& valueName, RepairRemoves removes);

// The review indexes of the selected records whose deletion the export file at `path` does not prove. A file
// that cannot be read proves nothing.
std::vector<int> UnprovenRecords(Platform& platform, const std::string& path, const TRegistryContents& review,
                                 const RemovesOfRecord& removesOf);

struct RestoreCheck {
  bool readable = false;  // the file could be read and is a registry export
  int keysMissing = 0;    // keys the file names that are not there (or, deleted by it, still are)
  int valuesMissing = 0;  // values not there with the file's type and bytes (or, deleted by it, still there)
};

// Checks, after an import, that every key and value the file names is in the registry as the file says. Reads
// the file as it goes, so a full-registry export takes little memory; `between` runs after each key.
RestoreCheck CheckRestored(Platform& platform, const std::string& path, const std::function<void()>& between);

}  // namespace tw
