// The uninstall manager (`TInstalledManageForm`): lists the machine's uninstall entries, shows the properties
// of one, starts its uninstall command (not waited for), or removes its uninstall key. Before a key is removed
// it is exported with its subtree to "RepairBackup\", where the backup page lists it for restore; a key whose
// export could not be written is not removed.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "app/prompts.h"
#include "platform/platform.h"

namespace tw {

struct InstalledRow {
  std::string DisplayName;
  std::string UninstallPath;
  std::string KeyPath;  // "\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" and the subkey name
};

class TInstalledManageForm {
 public:
  static constexpr const char* kCaption = "Manage Installed Programs";

  TInstalledManageForm(Platform& platform, IPrompts& prompts) : platform_(platform), prompts_(prompts) {}

  // FormShow and "Refresh": fill the list again; no row is selected afterwards.
  void FormShow() { Fill(); }
  void TbtRefreshClick() { Fill(); }
  // A click on row `row` shows its properties; -1 (or a row that is not there) leaves no row selected.
  void ListInstalledClick(int row);
  void TbtUninstallClick();
  void TbrRemoveClick();

  const std::vector<InstalledRow>& Rows() const { return rows_; }
  const std::vector<std::pair<std::string, std::string>>& Properties() const { return properties_; }
  const std::string& PanelText() const { return panelText_; }
  int Selected() const { return selected_; }

 private:
  void Fill();

  Platform& platform_;
  IPrompts& prompts_;
  std::vector<InstalledRow> rows_;
  std::vector<std::pair<std::string, std::string>> properties_;
  std::string panelText_;
  std::string uninstallCommand_;
  std::string keyPath_;
  int selected_ = -1;
};

}  // namespace tw
