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
  ISystem& system;  // the ANSI code page
  RegFileKind kind;
};

// The line for one value: `"name"=data`, or `@=data` for the unnamed value (the empty name). Every value
// renders in a form that imports back to the same type and bytes.
std::string RegValueLine(const RegExportContext& ctx, const std::string& name, uint32_t type, const Bytes& data);

// Appends to `lines` what the repair of one record removes. A value: the key line and the value line, "default"
// naming the unnamed value (the key line alone when the key has none). A key tree: the key and every key below
// it, each key line followed by the lines of its values. A key or value that cannot be read adds nothing, and
// so does a file.
void AppendRegEntry(const RegExportContext& ctx, const std::string& fullKeyPath, const std::string& valueName,
                    RepairRemoves removes, std::vector<std::string>& lines);

// The file's bytes: every line ended by CR LF; for the version 5 file UTF-16 with its byte-order mark.
std::string RegFileBytes(const RegExportContext& ctx, const std::vector<std::string>& lines);

enum class BackupOutcome {
  Written,          // the file holds every selected record that could be read
  NothingToExport,  // no selected record could be exported, so no file was written
  Failed,           // there was something to export but the folder or the file could not be written
};

struct RepairBackupResult {
  std::string path;  // the export file; given also when none was written
  BackupOutcome outcome = BackupOutcome::NothingToExport;
};

// What the repair of the review record at an index removes (its section's table entry says).
using RemovesOfRecord = std::function<RepairRemoves(int reviewIndex)>;

// Exports the selected records of the review list, in their order, to a new file "_yyyymmdd_hhnnss.reg" in the
// folder "RepairBackup\" beside the executable; when that name is taken, "_yyyymmdd_hhnnss_2.reg" and so on.
RepairBackupResult SaveRepairBackup(Platform& platform, const TRegistryContents& review,
                                    const RemovesOfRecord& removesOf);

}  // namespace tw
