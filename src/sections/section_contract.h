// What every scan section and repair routine shares: the steps between items, the ignore-list verdict,
// appending a problem record, and the repair loop with its outcome check.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "sections/section_table.h"

namespace tw {

constexpr const char* kMissingPathTitle = "Missing or Invalid Path";
constexpr const char* kRepairedText = "Repaired Successfully";
constexpr const char* kRepairErrorText = "Repair Error";
// The status of a record left alone because the backup could not hold all that its repair removes.
constexpr const char* kNotBackedUpText = "Not repaired: not in the backup (Backup Error)";

// --- Scanning -------------------------------------------------------------------------------------

// True once the user asked to abort the scan; loops test it before each item.
bool ScanAborted(const ScanContext& ctx);
void ShowStatus(ScanContext& ctx, const std::string& text);
// Counts one item on the scan-wide progress tick counter and shows `text` at every 200th.
void ShowStatusEvery200th(ScanContext& ctx, const std::string& text);
// Lets the window process pending messages between items (Abort, animation, repaint).
void PumpMessages(ScanContext& ctx);

// True when the ignore list holds this entry under the section's category. A hit leaves alone exactly
// the entry it names: the caller skips it and goes on with the next entry.
bool IsIgnoredEntry(const ScanContext& ctx, const char* category, const std::string& fullKeyPath,
                    const std::string& valueName);

// Adds the record to the section's list with `Selected` from "SelectAll" and the next `SeqNo`, then
// shows the list's count in the section's count label.
TContent& AppendRecord(ScanContext& ctx, TContent record);

// Root key name, a backslash and the key path.
std::string FullKeyPathOf(HKey root, const std::string& keyPath);
// The name a record shows for a value: "default" for the unnamed value.
std::string ShownValueName(const std::string& valueName);

// The usual texts of a finding whose file `badPath` is missing; `valueNameShown` follows " ValueName:".
TContent MissingPathRecord(const std::string& fullKeyPath, const std::string& keyName, const std::string& valueName,
                           const std::string& valueData, const std::string& valueNameShown,
                           const std::string& badPath);

// The names of an open key's subkeys and values, in enumeration order. An entry whose name cannot be read
// is passed over and the listing goes on with the next; the value names include "" for the unnamed value.
std::vector<std::string> SubKeyNamesOf(IRegistry& reg, HKey key);
std::vector<std::string> ValueNamesOf(IRegistry& reg, HKey key);

// --- Repairing ------------------------------------------------------------------------------------

struct RepairSteps {
  // Deletes what the record names; true when it is gone afterwards (also when it was gone before).
  std::function<bool(RepairContext&, const TContent&)> remove;
  // The text shown in the status label and the result row; the record's `FullKeyPath` when unset.
  std::function<std::string(const TContent&)> caption;
  bool pumpBeforeEach = true;
  // False for a section whose repair leaves the status label as it is.
  bool showInStatusLabel = true;
};

// The repair loop: for each record until the repair is cancelled, skips unselected ones, shows the
// caption in the status label (unless the section leaves the label alone), adds a result row and sets it
// to "Repaired Successfully" or "Repair Error". A failing record never stops the records after it. A record
// the backup could not hold is not touched; its row says so.
void RepairRecords(RepairContext& ctx, const RepairSteps& steps);

// Splits "HKEY_...\path" into the root and the path below it; false for an unknown root name.
bool SplitFullKeyPath(const std::string& fullKeyPath, HKey* root, std::string* path);

// Checks after a deletion. A key or value that cannot be read for any other reason than its absence
// counts as still there.
bool ValueIsGone(IRegistry& reg, const std::string& fullKeyPath, const std::string& valueName);
bool KeyIsGone(IRegistry& reg, HKey root, const std::string& path);

// The stock deletions: the record's value (`DeleteValueAt` with `FullKeyPath` and `ValueName`), or the
// record's key with its subtree (`DeleteKeyAt` under the root its `FullKeyPath` names).
bool RemoveRecordValue(RepairContext& ctx, const TContent& record);
bool RemoveRecordKey(RepairContext& ctx, const TContent& record);

}  // namespace tw
