#include "sections/history_shortcut_sections.h"

#include <vector>

#include "platform/reg_access.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {
namespace {

const char* CategoryOf(int section) { return SectionByNumber(section).ignoreCategory; }

TContent OpenSaveRecord(const std::string& fullKeyPath, const std::string& subKey, const std::string& value) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = subKey;
  c.ValueName = value;
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + value;
  c.ValueText = " Value:Emtpy";
  c.Description = " Recently Key:" + value;
  c.Detail = fullKeyPath + " is Empty";
  c.Title = "Empty Key: " + fullKeyPath;
  return c;
}

TContent RunRecord(const std::string& fullKeyPath, const std::string& value, const std::string& data) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = "RunMRU";
  c.ValueName = value;
  c.ValueData = data;
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + value;
  c.ValueText = " Value:" + data;
  c.Description = " Recently Key:" + data;
  c.Detail = std::string("The Key ") + kRunMruKey + " under " + fullKeyPath + " contains a bad path for the value";
  c.Title = kMissingPathTitle;
  return c;
}

}  // namespace

void ScanRecentFiles(ScanContext& ctx, HKey root, const std::string& keyPath) {
  IRegistry& reg = ctx.platform.registry;
  const char* category = CategoryOf(17);
  std::vector<std::string> subKeys;
  {
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath, false) == kOk) subKeys = SubKeyNamesOf(reg, key.Get());
  }
  for (const std::string& name : subKeys) {
    RegKeyHandle key;
    const std::string path = keyPath + "\\" + name;
    if (key.Open(reg, root, path, false) != kOk) continue;
    const std::string fullKeyPath = FullKeyPathOf(root, path);
    for (const std::string& value : ValueNamesOf(reg, key.Get())) {
      const std::string shown = ShownValueName(value);
      if (!IsIgnoredEntry(ctx, category, fullKeyPath, shown)) AppendRecord(ctx, OpenSaveRecord(fullKeyPath, name, shown));
    }
  }

  TRegistry run(reg, root);
  if (!run.OpenKeyReadOnly(kRunMruKey)) return;
  const std::string fullKeyPath = FullKeyPathOf(root, kRunMruKey);
  for (const std::string& value : ValueNamesOf(reg, run.CurrentKey())) {
    if (run.GetRawType(value) != kRegSz) continue;
    const std::string shown = ShownValueName(value);
    if (IsIgnoredEntry(ctx, category, fullKeyPath, shown)) continue;
    AppendRecord(ctx, RunRecord(fullKeyPath, shown, run.ReadString(value)));
  }
}

void RepairRecentFiles(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

// --- Shortcuts ------------------------------------------------------------------------------------

bool IsWalkedAttributeWord(uint32_t attributes) {
  switch (attributes) {
    case 2: case 4: case 16: case 19: case 22: case 32: case 128: case 256: return true;
    default: return false;
  }
}

namespace {

TContent ShortcutRecord(const std::string& folder, const std::string& name, const std::string& target,
                        bool targetIsFile) {
  const std::string file = folder + "\\" + name;
  TContent c;
  c.FullKeyPath = file;
  c.KeyName = file;
  c.ValueName = target;
  c.KeyPathText = " File Path:" + file;
  c.ValueNameText = " File Name:" + target;
  c.ValueText = " Value:" + file;
  c.Description = targetIsFile ? " The file (" + target + ") does not exist at the specified location"
                               : "This shortcut (" + file + ") is invalid.";
  c.Detail = "The shortcut " + name + " in the folder " + file + " linked to a missing target.";
  c.Title = "Invalid Shortcut";
  return c;
}

// Reads the shortcut and appends a record when its target is missing.
void ExamineShortcut(ScanContext& ctx, const std::string& folder, const std::string& name) {
  const std::string file = folder + "\\" + name;
  std::string target;
  if (!ctx.platform.shell.ResolveShortcut(file, &target)) return;  // not loadable as a shortcut
  if (target.empty() || MentionsDriveA(target) || !NotOnSkippedDrive(ctx.state.SkippedDrives, target)) return;
  if (Contains(target, "//")) return;
  // The kind of finding follows the target's extension, but a target that is there as either a file or a
  // folder is never missing (a folder "App 2.0" has an extension, a file "README" has none).
  if (ctx.platform.files.Attributes(target) != kInvalidAttributes) return;
  if (IsIgnoredEntry(ctx, CategoryOf(11), file, target)) return;
  AppendRecord(ctx, ShortcutRecord(folder, name, target, !FileExtension(target).empty()));
}

// One folder being listed: its path and the search, with the entry that comes next.
struct FolderFrame {
  std::string folder;
  FindHandle search = 0;
  FindData next;
  bool hasNext = false;
};

}  // namespace

void ScanShortcutsIn(ScanContext& ctx, const std::string& start) {
  IFiles& files = ctx.platform.files;
  std::vector<FolderFrame> stack;
  // A folder that cannot be listed (access denied, path too long, gone meanwhile) is passed over.
  auto enter = [&](const std::string& folder) {
    FolderFrame frame;
    frame.folder = folder;
    frame.search = files.FindFirst(folder + "\\*.*", &frame.next);
    frame.hasNext = frame.search != 0;
    if (frame.hasNext) stack.push_back(std::move(frame));
  };
  if (!ContainsNoCase(start, "RECENT")) enter(start);
  while (!stack.empty() && !ScanAborted(ctx)) {
    FolderFrame& top = stack.back();
    if (!top.hasNext) {
      files.FindClose(top.search);
      stack.pop_back();
      continue;
    }
    FindData entry = std::move(top.next);
    top.hasNext = files.FindNext(top.search, &top.next);
    PumpMessages(ctx);
    if (ScanAborted(ctx)) break;
    // Recently used items are left alone: such an entry is neither examined nor entered. The folders above
    // never hold the word, since such a folder is never entered.
    if (ContainsNoCase(entry.name, "RECENT")) continue;
    const std::string folder = stack.back().folder;  // a copy: a push below moves the stack
    const std::string path = folder + "\\" + entry.name;
    bool descend = false;
    if (IsWalkedAttributeWord(entry.attributes)) {
      ShowStatusEvery200th(ctx, path);
      descend = entry.name != "." && entry.name != ".." && (entry.attributes & kAttrDirectory) != 0;
    }
    if (FileExtension(entry.name) == ".lnk") ExamineShortcut(ctx, folder, entry.name);
    if (descend) enter(path);
  }
  for (FolderFrame& frame : stack) files.FindClose(frame.search);
}

void ScanShortcuts(ScanContext& ctx, HKey, const std::string&) {
  for (char letter = 'C'; letter <= 'Z' && !ScanAborted(ctx); ++letter) {
    const std::string drive(1, letter);
    if (ctx.platform.files.DriveType(drive + ":\\") == kDriveFixed) ScanShortcutsIn(ctx, drive + ":");
  }
}

void RepairShortcuts(RepairContext& ctx) {
  RepairSteps steps;
  steps.remove = [](RepairContext& rc, const TContent& record) {
    if (record.KeyName.empty()) return false;
    rc.platform.shell.RecycleFiles({record.KeyName});
    return rc.platform.files.Attributes(record.KeyName) == kInvalidAttributes;
  };
  steps.pumpBeforeEach = false;
  RepairRecords(ctx, steps);
}

}  // namespace tw
