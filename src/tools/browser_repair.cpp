#include "tools/browser_repair.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/main_window.h"
#include "app/problem_records.h"
#include "backup/export_writer.h"
#include "platform/ansi_case.h"
#include "platform/reg_access.h"
#include "sections/path_tests.h"
#include "sections/text_ops.h"

namespace tw {

namespace {

enum class Op { String, Dword0, Binary0, DeleteValues, DeleteSubKeys };

struct Step {
  HKey root;
  const char* path;
  Op op;
  std::vector<const char*> names;  // the values written (empty for the deletions)
  const char* text = "";           // the data of Op::String
};

constexpr const char* kPoliciesExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kPoliciesSystem = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kIeRestrictions = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";

// Item 1's keys: the start page, the run keys it cleans.
constexpr const char* kMachineMainRead = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kMachineMain = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kUserMain = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kMachineRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMachineRunBlank = "Software\\Microsoft\\Windows\\Current Version\\Run";

struct ItemDef {
  const char* name;
  std::vector<Step> steps;  // empty for item 1, which is a procedure of its own
};

const std::vector<ItemDef>& Items() {
  static const std::vector<ItemDef> kItems = {
      {"Repair IE HomePage and Default Page", {}},
      {"Repair IE Control",
       {{kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", Op::Binary0,
         {"NoFolderOptions"}},
        {kUsers, ".DEFAULT\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Pan", Op::Dword0,
         {"homepage"}}}},
      {"Enable RegistryTools(Registry Editor)", {{kCurrentUser, kPoliciesSystem, Op::Dword0, {"DisableRegistryTools"}}}},
      {"IE Search Engine",
       {{kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Search", Op::String,
         {"CustomizeSearch", "SearchAssistant"}, kSearchAssistantPage}}},
      {"Cancel IE Menu Items Restrictions",
       {{kCurrentUser, kIeRestrictions, Op::Dword0,
         {"NoViewSource", "NoBrowserContextMenu", "NoBrowserClose", "NoBrowserOptions", "NoBrowserSaveAs",
          "NoFavorites", "NoFileNew", "NoFileOpen", "NoFindFiles", "NoSelectDownloadDir", "NoTheaterMode",
          "NoAddressBar", "NoToolBar", "NoLinksBar"}},
        {kUsers, ".DEFAULT\\Software\\Policies\\Microsoft\\InternetExplorer\\Restrictions", Op::Dword0,
         {"NoViewSource", "NoBrowserContextMenu"}}}},
      {"Enable IE Right Button", {{kCurrentUser, kIeRestrictions, Op::Dword0, {"NoBrowserContextMenu"}}}},
      {"Get back Desktop Icon", {{kCurrentUser, kPoliciesExplorer, Op::Dword0, {"NoDesktop"}}}},
      {"Eabled IE Option Card",
       {{kCurrentUser, kPoliciesExplorer, Op::Binary0, {"NoFolderOptions"}},
        {kCurrentUser, kPoliciesExplorer, Op::Dword0, {"RestrictRun"}}}},
      {"Get Back Program Menu",
       {{kUsers, ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", Op::Dword0,
         {"NoRun", "NoLogOff", "NoFind", "NoClose", "NoSetFolders", "NoFavoritesMenu", "NoStartBanner"}}}},
      {"Enable control panel",
       {{kCurrentUser, kPoliciesSystem, Op::Dword0,
         {"NoSecCPL", "NoDispCPL", "NoDispBackgroundPage", "NoDispScrSavPage", "NoDispAppearancePage",
          "NoDispSettingsPage", "NoDevMgrPage", "NoConfigPage", "NoVirtMemPage", "NoFileSysPage", "NoNetSetup",
          "NoNetSetupIDPage", "NoNetSetupSecurityPage", "NoWorkgroupContents", "NoEntireNetwork",
          "NoFileSharingControl"}}}},
      {"Remove IE Context Menu",
       {{kCurrentUser, "Software\\Microsoft\\Internet Explorer\\MenuExt", Op::DeleteValues, {}}}},
      {"Delete IE Typed URL History",
       {{kCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls", Op::DeleteValues, {}}}},
      {"Repair Links Toolbar Name",
       {{kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions", Op::DeleteSubKeys, {}}}},
  };
  return kItems;
}

std::string FullPath(HKey root, const std::string& path) { return RootKeyName(root) + "\\" + path; }

bool IsStringValue(TRegistry& reg, const std::string& name) {
  const uint32_t type = reg.GetRawType(name);
  return type == kRegSz || type == kRegExpandSz;
}

// Deletes every string or expandable-string value of the open key whose data passes `matches`.
template <typename Match>
void DeleteStringValuesWhere(TRegistry& reg, Match matches) {
  for (const std::string& name : reg.GetValueNames())
    if (IsStringValue(reg, name) && matches(reg.ReadString(name))) reg.DeleteValue(name);
}

void RunStep(IRegistry& registry, const Step& step) {
  TRegistry reg(registry, step.root);
  // The deletions empty an existing key; the writes create theirs.
  const bool create = step.op != Op::DeleteValues && step.op != Op::DeleteSubKeys;
  if (!reg.OpenKey(step.path, create)) return;
  switch (step.op) {
    case Op::String:
      for (const char* name : step.names) reg.WriteString(name, step.text);
      break;
    case Op::Dword0:
      for (const char* name : step.names) reg.WriteInteger(name, 0);
      break;
    case Op::Binary0:
      for (const char* name : step.names) reg.WriteBinary(name, Bytes(4, 0));
      break;
    case Op::DeleteValues:
      for (const std::string& name : reg.GetValueNames()) reg.DeleteValue(name);
      break;
    case Op::DeleteSubKeys: {
      const std::vector<std::string> names = reg.GetKeyNames();
      reg.CloseKey();
      for (const std::string& name : names) DeleteKeyAt(registry, step.root, std::string(step.path) + "\\" + name);
      break;
    }
  }
}

void WriteStartPage(IRegistry& registry, HKey root, const char* path) {
  TRegistry reg(registry, root);
  if (!reg.OpenKey(path, true)) return;
  reg.WriteString("start page", "about:blank");
  reg.WriteString("Window Title", "Microsoft Internet Explorer");
}

void RepairHomePage(Platform& platform) {
  IRegistry& registry = platform.registry;
  // 1. The start page as it is now.
  std::string oldStartPage;
  {
    TRegistry reg(registry, kLocalMachine);
    if (reg.OpenKey(kMachineMainRead, false)) oldStartPage = reg.ReadString("start page");
  }
  // 2. A run entry named after the start page, else every run command that opens it.
  {
    TRegistry reg(registry, kLocalMachine);
    if (reg.OpenKey(kMachineRun, false)) {
      if (reg.ValueExists(oldStartPage)) {
        reg.DeleteValue(oldStartPage);
      } else if (!oldStartPage.empty()) {
        DeleteStringValuesWhere(reg, [&](const std::string& data) {
          return data.find(oldStartPage) != std::string::npos;
        });
      }
    }
  }
  // 3, 4. The start page and window title of the machine and the user.
  WriteStartPage(registry, kLocalMachine, kMachineMainRead);
  WriteStartPage(registry, kCurrentUser, kUserMain);
  // 5. No default or search page.
  {
    TRegistry reg(registry, kLocalMachine);
    if (reg.OpenKey(kMachineMain, true)) {
      for (const char* name : {"Default_Page_URL", "Default_Search_URL", "Search Page"}) reg.WriteString(name, "");
    }
  }
  // 6. The "registry.exe" run entry and its program, which goes to the Recycle Bin.
  {
    TRegistry reg(registry, kLocalMachine);
    if (reg.OpenKey(kMachineRunBlank, true)) reg.DeleteValue("registry.exe");
    const std::string program = TempDriveRoot(platform.files) + "Program Files\\registry.exe";
    if (platform.files.FileExists(program)) platform.shell.RecycleFiles({program});
  }
  // 7. Run commands that import registry files silently.
  {
    TRegistry reg(registry, kLocalMachine);
    if (reg.OpenKey(kMachineRun, false)) {
      DeleteStringValuesWhere(reg, [](const std::string& data) {
        const std::string upper = UpperText(data);
        return upper.find("REGEDIT -S") != std::string::npos || upper.find("REGEDIT /S") != std::string::npos;
      });
    }
  }
}

std::string WithFolder(const char* format, const std::string& path) {
  const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
  std::vector<char> text(std::string(format).size() + folder.size() + 1);
  std::snprintf(text.data(), text.size(), format, folder.c_str());
  return text.data();
}

}  // namespace

const char* BrowserRepairItemName(int index) { return Items().at(static_cast<size_t>(index)).name; }

StatusColour BrowserRepairStatusColour(const std::string& status) {
  if (status == kStatusRepairing) return StatusColour::Red;
  if (status == kStatusCompleted) return StatusColour::DarkGreen;
  return StatusColour::Black;
}

std::vector<std::string> BrowserRepairKeys(int index) {
  if (index == 0)
    return {FullPath(kLocalMachine, kMachineMainRead), FullPath(kLocalMachine, kMachineRun),
            FullPath(kCurrentUser, kUserMain), FullPath(kLocalMachine, kMachineRunBlank)};
  std::vector<std::string> keys;
  for (const Step& step : Items().at(static_cast<size_t>(index)).steps) keys.push_back(FullPath(step.root, step.path));
  return keys;
}

void RunBrowserRepairItem(Platform& platform, int index) {
  if (index == 0) {
    RepairHomePage(platform);
    return;
  }
  for (const Step& step : Items().at(static_cast<size_t>(index)).steps) RunStep(platform.registry, step);
}

TBrowserRepairForm::TBrowserRepairForm(Platform& platform, IPrompts& prompts, IMessagePump& pump)
    : platform_(platform), prompts_(prompts), pump_(pump) {}

void TBrowserRepairForm::FormCreate() {
  rows_.clear();
  for (int i = 0; i < kBrowserRepairItemCount; ++i) rows_.push_back({BrowserRepairItemName(i), true, ""});
  selectAll_ = true;
  Changed(-1);
}

void TBrowserRepairForm::cbSelectAllClick(bool checked) {
  if (running_) return;
  selectAll_ = checked;
  for (BrowserRepairRow& row : rows_) row.Checked = checked;
  Changed(-1);
}

void TBrowserRepairForm::RowCheckClick(int row, bool checked) {
  if (running_ || row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<size_t>(row)].Checked = checked;
  Changed(row);
}

bool TBrowserRepairForm::BackUpTickedKeys() {
  std::set<std::string, NoCaseLess> seen;
  TRegistryContents keys;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i].Checked) continue;
    for (const std::string& key : BrowserRepairKeys(static_cast<int>(i))) {
      if (!seen.insert(key).second) continue;
      TContent& record = keys.Items(keys.Add()).Content;
      record.Selected = 1;
      record.FullKeyPath = key;
    }
  }
  if (keys.Count() == 0) return true;
  const RepairBackupResult backup = SaveRepairBackup(platform_, keys, [](int) { return RepairRemoves::KeyTree; });
  if (backup.outcome == BackupOutcome::Written) lastBackup_ = backup.path;
  if (backup.outcome != BackupOutcome::Failed && backup.notBackedUp.empty()) return true;
  return prompts_.AskYesNo(kAppTitle, WithFolder(kBrowserBackupFailedText, backup.path), PromptIcon::Warning,
                           PromptAnswer::No) == PromptAnswer::Yes;
}

void TBrowserRepairForm::DeleteItemBtnClick() {
  if (running_) return;
  if (prompts_.AskYesNo(kAppTitle, kBrowserRepairQuestion, PromptIcon::Warning, PromptAnswer::No) !=
      PromptAnswer::Yes)
    return;
  if (std::none_of(rows_.begin(), rows_.end(), [](const BrowserRepairRow& row) { return row.Checked; })) return;
  running_ = true;
  abort_ = false;
  if (BackUpTickedKeys()) {
    for (size_t i = 0; i < rows_.size() && !abort_; ++i) {
      pump_.ProcessMessages();
      if (abort_ || !rows_[i].Checked) continue;
      rows_[i].Status = kStatusRepairing;
      Changed(static_cast<int>(i));
      RunBrowserRepairItem(platform_, static_cast<int>(i));
      rows_[i].Status = kStatusCompleted;
      Changed(static_cast<int>(i));
    }
  }
  running_ = false;
}

}  // namespace tw
