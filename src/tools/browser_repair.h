// The browser repair window TBrowserRepairForm: thirteen fixed repairs that put the browser's start page, search
// page, menus, context menu and a few shell restrictions back to their defaults. The user ticks rows and presses
// "Restore"; every key a ticked row changes is exported first into "RepairBackup\" so the backup page can restore
// it, then each ticked row writes and deletes its registry values.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/prompts.h"
#include "platform/platform.h"
#include "sections/scan_context.h"

namespace tw {

constexpr int kBrowserRepairItemCount = 13;
constexpr const char* kBrowserRepairCaption = "Browser Repair";
constexpr const char* kBrowserRepairQuestion =
    "Restore to Internet Explorer setup default,it will lost your current Internet Explorer\rsetup data.We only "
    "recommend you do it when Internet Explorer don't work at all.\r\rDo you still want to Restore to Internet "
    "Explorer setup default?";
// %s: the backup folder, with its trailing backslash.
constexpr const char* kBrowserBackupFailedText =
    "The registry keys to be changed could not all be backed up to the folder\r%s\r\rWhat is not backed up "
    "cannot be restored afterwards.\rRestore Internet Explorer setup default anyway?";
constexpr const char* kStatusRepairing = "Repairing";
constexpr const char* kStatusCompleted = "Completed";

// The value the search page items write: the browser's own search assistant page.
constexpr const char* kSearchAssistantPage = "http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchasst.htm";

// The name of repair row `index` (0 to 12).
const char* BrowserRepairItemName(int index);

// How a status text is drawn.
enum class StatusColour { Black, Red, DarkGreen };
StatusColour BrowserRepairStatusColour(const std::string& status);

struct BrowserRepairRow {
  std::string Name;
  bool Checked = true;
  std::string Status;
};

// One key a repair changes, as a full key path ("HKEY_...\path").
std::vector<std::string> BrowserRepairKeys(int index);

// Runs repair `index` on the registry and file system (no prompt, no backup).
void RunBrowserRepairItem(Platform& platform, int index);

class TBrowserRepairForm {
 public:
  TBrowserRepairForm(Platform& platform, IPrompts& prompts, IMessagePump& pump);

  // The thirteen rows, all ticked, statuses empty.
  void FormCreate();
  // The "Name" column's width for a list `listWidth` wide whose other two columns take `otherColumns`.
  static int NameColumnWidth(int listWidth, int otherColumns) { return listWidth - otherColumns - 24; }

  void cbSelectAllClick(bool checked);
  void RowCheckClick(int row, bool checked);
  // "Restore": asks, backs up the keys the ticked rows change and runs the ticked rows in order.
  void DeleteItemBtnClick();

  const std::vector<BrowserRepairRow>& Rows() const { return rows_; }
  bool SelectAllChecked() const { return selectAll_; }
  bool Busy() const { return running_; }
  // The program ends: a running restore stops before its next row.
  void Abort() { abort_ = true; }
  // The path of the last backup written, empty when none was.
  const std::string& LastBackup() const { return lastBackup_; }

  // Called after a row's status or tick changed (-1: every row).
  std::function<void(int row)> RowsChanged;

 private:
  bool BackUpTickedKeys();
  void Changed(int row) {
    if (RowsChanged) RowsChanged(row);
  }

  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  std::vector<BrowserRepairRow> rows_;
  bool selectAll_ = true;
  bool running_ = false;
  bool abort_ = false;
  std::string lastBackup_;
};

}  // namespace tw
