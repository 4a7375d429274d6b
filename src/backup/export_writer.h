// The per-repair registry export: everything a repair is about to remove, written as a file the system
// registry editor imports to undo the repair.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/problem_records.h"
#include "platform/platform.h"
#include "sections/section_table.h"

namespace tw {

// The header and character form of an export file, chosen from the platform id the system reports.
enum class RegFileKind {
  Version5,    // "Windows Registry Editor Version 5.00"; UTF-16 text, string data in 16-bit units
  Regedit4,    // "REGEDIT4"; ANSI text, string data in bytes
  Headerless,  // an empty first line; ANSI text, string data in bytes
};
RegFileKind RegFileKindFor(uint32_t platformId);
std::string RegFileHeader(RegFileKind kind);

// What the lines of one export are read from and rendered for.
struct RegExportContext {
  IRegistry& registry;
  ISystem& system;  // the ANSI code page, for the REGEDIT4 and headerless files
  RegFileKind kind;
};

// Lines are kept in UTF-16 whatever the file kind, so that names and data are carried exactly.
using RegLines = std::vector<std::u16string>;

// The line for one value: `"name"=data`, or `@=data` for the unnamed value (the empty name). `data` is as the
// registry stores it (string data in UTF-16 units). Every value renders in a form that imports back to the same
// type and bytes; false when the file kind cannot hold it (a character outside the ANSI code page in an ANSI
// file).
bool RegValueLine(const RegExportContext& ctx, const std::u16string& name, uint32_t type, const Bytes& data,
                  std::u16string* line);

// Appends to `lines` what the repair of one record removes. A value: the key line and the value line, "default"
// naming the unnamed value (the key line alone when the key has none). A key tree: the key and every key below
// it, each key line followed by the lines of its values, read exactly and reached through open handles; a
// symbolic link is written as itself. A key or value that is not there adds nothing, and so does a file.
// False, with nothing appended, when what the repair would remove cannot all be written: a key or value that
// cannot be read, a tree deeper than the registry allows, a name or string the file kind cannot hold. Such a
// record must not be repaired.
bool AppendRegEntry(const RegExportContext& ctx, const std::string& fullKeyPath, const std::string& valueName,
                    RepairRemoves removes, RegLines& lines);

// The file's bytes: every line ended by CR LF; for the version 5 file UTF-16 with its byte-order mark, for the
// others the ANSI code page.
std::string RegFileBytes(const RegExportContext& ctx, const RegLines& lines);

enum class BackupOutcome {
  Written,          // the file holds every selected record that could be read
  NothingToExport,  // no selected record could be exported, so no file was written
  Failed,           // there was something to export but the folder or the file could not be written
};

struct RepairBackupResult {
  std::string path;  // the export file; given also when none was written
  BackupOutcome outcome = BackupOutcome::NothingToExport;
  std::vector<int> notBackedUp;  // review indexes of selected records the file cannot hold whole
};

// What the repair of the review record at an index removes (its section's table entry says).
using RemovesOfRecord = std::function<RepairRemoves(int reviewIndex)>;

// Exports the selected records of the review list, in their order, to a new file "_yyyymmdd_hhnnss.reg" in the
// folder "RepairBackup\" beside the executable; when that name is taken, "_yyyymmdd_hhnnss_2.reg" and so on.
// The file is created new, so no other export, also of another instance, can share or overwrite it.
RepairBackupResult SaveRepairBackup(Platform& platform, const TRegistryContents& review,
                                    const RemovesOfRecord& removesOf);

}  // namespace tw
