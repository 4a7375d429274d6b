// The windows of the backup catalogue: the backup page of the main window (a frameless child filling the page),
// the full backup window TRegBackupForm with its waiting hint, and the first-run dialog TFirstFullBackupDialog.
#pragma once
#include <windows.h>

#include <memory>

#include <commctrl.h>

#include "app/main_window.h"
#include "ui/data_module.h"
#include "ui/tool_view.h"

namespace tw {

// The backup page "BackupSheet": three lines of text, the list of per-repair backups and the full backup,
// restore and remove buttons, forwarding to `form`'s handlers.
class BackupPageWindow : public ToolWindow {
 public:
  BackupPageWindow(const ToolViewContext& context, TTarnwickForm& form);
  ~BackupPageWindow() override;
  // Re-reads the rows after the controller changed them.
  void Refresh();

 protected:
  bool OnCreate() override;
  void OnLayout(int width, int height) override;
  void OnCommand(int id, int code, HWND control) override;
  LRESULT OnNotify(NMHDR* header) override;
  void OnDrawItem(DRAWITEMSTRUCT* item) override;

 private:
  TTarnwickForm& form_;
  TImageStrip pictures_;
  HIMAGELIST rowImages_ = nullptr;
  HWND lines_[3]{};
  HWND list_ = nullptr;
  HWND buttons_[3]{};
};

// Shows TRegBackupForm modally over the main window.
void ShowRegBackupWindow(const ToolViewContext& context);

// Shows TFirstFullBackupDialog modally; true when it was shown.
bool ShowFirstFullBackupDialog(const ToolViewContext& context);

}  // namespace tw
