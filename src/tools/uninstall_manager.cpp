#include "tools/uninstall_manager.h"

#include "backup/export_writer.h"
#include "platform/reg_access.h"

namespace tw {

namespace {

constexpr const char* kUninstallKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The value's text when it is a string or expandable string, otherwise empty.
std::string StringValue(TRegistry& key, const std::string& name) {
  const RegDataType type = key.GetDataType(name);
  return type == RegDataType::String || type == RegDataType::ExpandString ? key.ReadString(name) : std::string();
}

}  // namespace

void TInstalledManageForm::Fill() {
  rows_.clear();
  selected_ = -1;
  TRegistry list(platform_.registry, kLocalMachine);
  if (!list.OpenKeyReadOnly(kUninstallKey)) return;
  for (const std::string& name : list.GetKeyNames()) {
    const std::string path = std::string(kUninstallKey) + "\\" + name;
    TRegistry entry(platform_.registry, kLocalMachine);
    if (!entry.OpenKeyReadOnly(path) || !entry.ValueExists("DisplayName") || !entry.ValueExists("UninstallString"))
      continue;
    rows_.push_back({StringValue(entry, "DisplayName"), StringValue(entry, "UninstallString"), path});
  }
}

void TInstalledManageForm::ListInstalledClick(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) {
    selected_ = -1;  // nothing selected: the buttons say "Unchecked"
    return;
  }
  selected_ = row;
  const InstalledRow& entry = rows_[row];
  properties_.clear();
  panelText_ = entry.DisplayName;
  uninstallCommand_ = entry.UninstallPath;
  keyPath_ = entry.KeyPath;
  TRegistry key(platform_.registry, kLocalMachine);
  if (!key.OpenKeyReadOnly(keyPath_)) return;
  properties_.emplace_back("Name", StringValue(key, "DisplayName"));
  properties_.emplace_back("UninstallString", StringValue(key, "UninstallString"));
  if (key.ValueExists("DisplayVersion")) properties_.emplace_back("Version", StringValue(key, "DisplayVersion"));
  if (key.ValueExists("DisplayIcon")) properties_.emplace_back("Icon", StringValue(key, "DisplayIcon"));
}

void TInstalledManageForm::TbtUninstallClick() {
  if (selected_ < 0) {
    prompts_.Tell("Tarnwick", "Unchecked", PromptIcon::Warning);
    return;
  }
  platform_.shell.StartCommandLine(uninstallCommand_);
  Fill();
}

void TInstalledManageForm::TbrRemoveClick() {
  if (selected_ < 0) {
    prompts_.Tell("Tarnwick", "Unchecked", PromptIcon::Warning);
    return;
  }
  const PromptAnswer answer = prompts_.AskYesNo(
      "Tarnwick", "Are you sure you want to remove this entry from registry?\nYou will not be able to revert this action!",
      PromptIcon::Warning, PromptAnswer::No);
  if (answer == PromptAnswer::Yes) {
    // The key with its subtree goes to a backup file first; without that file nothing is deleted.
    TRegistryContents one;
    TContent record;
    record.Selected = 1;
    record.FullKeyPath = RootKeyName(kLocalMachine) + keyPath_;
    one.Items(one.Add()).Content = record;
    const RepairBackupResult backup =
        SaveRepairBackup(platform_, one, [](int) { return RepairRemoves::KeyTree; });
    if (backup.outcome == BackupOutcome::Written && backup.notBackedUp.empty())
      DeleteKeyAt(platform_.registry, kLocalMachine, keyPath_);
  }
  Fill();
}

}  // namespace tw
