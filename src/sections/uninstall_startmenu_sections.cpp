#include "sections/uninstall_startmenu_sections.h"

#include "platform/reg_access.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {
namespace {

constexpr const char* kNoKeyText = " The key does not exist at the specified location";
constexpr const char* kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char* CategoryOf(int section) { return SectionByNumber(section).ignoreCategory; }

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

TContent UninstallRecord(const std::string& fullKeyPath, const std::string& subKey, const std::string& command) {
  TContent c = MissingPathRecord(fullKeyPath, subKey, "UninstallString", command, "UninstallString", command);
  c.Description = "The file (" + command + ") does not exist at the specified location";
  return c;
}

TContent ProgramFolderRecord(const std::string& fullKeyPath, const std::string& name) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = name;
  c.ValueName = name;
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + name;
  c.ValueText = " Value:" + name;
  c.Description = kNoKeyText;
  return c;
}

enum class OrderRecord { Key, Default, Value };

TContent StartMenuRecord(OrderRecord kind, const std::string& fullKeyPath, const std::string& subKey,
                         const std::string& valueName) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = subKey;
  c.ValueName = kind == OrderRecord::Value ? valueName : "default";
  c.Detail = "The Key default under " + fullKeyPath + " contains a bad path for the value";
  c.Title = kMissingPathTitle;
  if (kind == OrderRecord::Default) return c;
  c.ValueData = kind == OrderRecord::Key ? "key" : "";
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + c.ValueName;
  c.ValueText = " Value:Empty";
  c.Description = kNoKeyText;
  return c;
}

// A Programs folder from a shell-folders key, with its trailing backslash; empty when it cannot be read.
std::string ProgramsFolder(ScanContext& ctx, const char* keyPath, bool userShellFolders) {
  TRegistry key(ctx.platform.registry, kCurrentUser);
  if (!key.OpenKeyReadOnly(keyPath) || !IsStringType(key.GetRawType("Programs"))) return std::string();
  std::string folder = key.ReadString("Programs");
  if (folder.empty()) return folder;
  if (userShellFolders)
    folder = ReplaceAll(folder, "%USERPROFILE%",
                        ctx.platform.files.SystemDir().substr(0, 3) + "Documents and Settings\\All Users");
  return folder + "\\";
}

}  // namespace

void ScanUninstallEntries(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ctx.list.Clear();
  IRegistry& reg = ctx.platform.registry;
  std::vector<std::string> subKeys;
  {
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath, false) != kOk) return;
    subKeys = SubKeyNamesOf(reg, key.Get());
  }
  for (const std::string& name : subKeys) {
    if (ScanAborted(ctx)) return;
    ShowStatus(ctx, name);
    const std::string path = keyPath + "\\" + name;
    const std::string fullKeyPath = FullKeyPathOf(root, path);
    TRegistry entry(reg, root);
    if (entry.OpenKeyReadOnly(path) && !IsIgnoredEntry(ctx, CategoryOf(8), fullKeyPath, "UninstallString") &&
        IsStringType(entry.GetRawType("UninstallString"))) {
      const std::string command = RemoveChars(entry.ReadString("UninstallString"), "\"");
      if (Contains(command, ":") && PassesPathFilters(ctx.state.SkippedDrives, command) &&
          !ctx.platform.files.FileExists(ExtractCommandPath(ctx.platform.files, command, CommandLineKind::Uninstall)))
        AppendRecord(ctx, UninstallRecord(fullKeyPath, name, command));
    }
    entry.CloseKey();
    PumpMessages(ctx);
  }
}

void RepairUninstallEntries(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

void ScanProgramFolders(ScanContext& ctx, HKey root, const std::string& keyPath) {
  IRegistry& reg = ctx.platform.registry;
  std::string orderKey = keyPath;
  std::vector<std::string> names;
  {
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath, false) != kOk) return;
    for (const std::string& name : SubKeyNamesOf(reg, key.Get())) {
      if (Contains(name, "Start Menu")) {
        orderKey = keyPath + "\\" + name + "\\Programs";
        break;
      }
    }
    RegKeyHandle order;
    if (order.Open(reg, root, orderKey, false) != kOk) return;
    names = SubKeyNamesOf(reg, order.Get());
  }
  const std::string userFolder = ProgramsFolder(ctx, kUserShellFolders, true);
  const std::string shellFolder = ProgramsFolder(ctx, kShellFolders, false);
  // Without either folder there is nothing to compare with, and an order key is never taken for orphaned.
  if (userFolder.empty() && shellFolder.empty()) return;
  const bool tested = PassesPathFilters(ctx.state.SkippedDrives, userFolder) &&
                      PassesPathFilters(ctx.state.SkippedDrives, shellFolder);
  if (!tested) return;
  IFiles& files = ctx.platform.files;
  for (const std::string& name : names) {
    const std::string fullKeyPath = FullKeyPathOf(root, orderKey + "\\" + name);
    if (IsIgnoredEntry(ctx, CategoryOf(14), fullKeyPath, name)) continue;
    const bool found = (!userFolder.empty() && files.DirectoryExists(userFolder + name)) ||
                       (!shellFolder.empty() && files.DirectoryExists(shellFolder + name));
    if (!found) AppendRecord(ctx, ProgramFolderRecord(fullKeyPath, name));
  }
}

void RepairProgramFolders(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordKey, nullptr, true}); }

void ScanStartMenuItems(ScanContext& ctx, HKey root, const std::string& keyPath) {
  IRegistry& reg = ctx.platform.registry;
  std::vector<std::string> subKeys;
  {
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath, false) != kOk) return;
    subKeys = SubKeyNamesOf(reg, key.Get());
  }
  const char* category = CategoryOf(16);
  for (const std::string& name : subKeys) {
    const std::string fullKeyPath = FullKeyPathOf(root, keyPath + "\\" + name);
    if (!IsIgnoredEntry(ctx, category, fullKeyPath, "default"))
      AppendRecord(ctx, StartMenuRecord(OrderRecord::Key, fullKeyPath, name, ""));
  }
  for (const std::string& name : subKeys) {
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath + "\\" + name, false) != kOk) continue;
    const std::string fullKeyPath = FullKeyPathOf(root, keyPath + "\\" + name);
    for (const std::string& value : ValueNamesOf(reg, key.Get())) {
      if (!IsIgnoredEntry(ctx, category, fullKeyPath, "default"))
        AppendRecord(ctx, StartMenuRecord(OrderRecord::Default, fullKeyPath, name, ""));
      const std::string shown = ShownValueName(value);
      if (!IsIgnoredEntry(ctx, category, fullKeyPath, shown))
        AppendRecord(ctx, StartMenuRecord(OrderRecord::Value, fullKeyPath, name, shown));
    }
  }
}

void RepairStartMenuItems(RepairContext& ctx) {
  RepairSteps steps;
  steps.remove = [](RepairContext& rc, const TContent& record) {
    return record.ValueData == "key" ? RemoveRecordKey(rc, record) : true;
  };
  RepairRecords(ctx, steps);
}

}  // namespace tw
