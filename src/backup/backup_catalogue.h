// The backup catalogue: the lists of backup files (per-repair exports on the main window's backup page, full
// exports in TRegBackupForm), restore through the system registry editor checked against the file, removal,
// full backups, and the one-time offer TFirstFullBackupDialog.
#pragma once
#include <string>
#include <vector>

#include "app/prompts.h"
#include "backup/backup_check.h"
#include "platform/platform.h"
#include "sections/scan_context.h"

namespace tw {

constexpr const char* kRepairBackupFolder = "RepairBackup";
constexpr const char* kFullBackupFolder = "FullBackup";
constexpr const char* kBackupTitle = "Tarnwick";
constexpr const char* kPartialSuffix = "(Partial)";

constexpr const char* kNoRowSelectedText = "You not select registry item!";
constexpr const char* kAskRestoreText = "Do you want to restore registry now?";
constexpr const char* kRestoredText = "Restore registry successfully!";
constexpr const char* kAskRemoveText = "Do you want to remove this file now?";
constexpr const char* kRemovedText = "Backup file was removed!";
constexpr const char* kRemoveFailedText = "Backup file was remove failed!";
constexpr const char* kBackupHintText = "Backup registry, please wait...";
constexpr const char* kFullBackupCreatedText = "Registry backup file was created successfully!";
constexpr const char* kFullBackupFailedText = "Creating registry backup was failed.";
// %s: the backup file.
constexpr const char* kRestoreFileGoneText = "The backup file no longer exists:\r%s\r\rNothing was restored.";
constexpr const char* kEditorNotStartedText =
    "The registry editor could not be started, so nothing was restored from\r%s";
constexpr const char* kNotAnExportText = "%s\r\ris not a registry export file. Nothing was restored from it.";
// %d keys, %d values, %s the backup file.
constexpr const char* kNotRestoredText =
    "The registry was not restored completely: %d keys and %d values of the backup file did not come back.\r\r%s";

// "Dec. 7, 2026 0:47:57 AM": short month name, day, year, hour of the half day (0 for midnight and noon),
// minute and second, none padded.
std::string FormatBackupTime(const LocalTime& time);

// Starts the registry editor hidden with `parameters` and waits for it to end, pumping messages meanwhile so
// the window keeps answering. False when it did not start, or when `abort` was set while waiting.
bool RunRegistryEditor(Platform& platform, IMessagePump& pump, const std::string& parameters, const bool& abort);

enum class RestoreOutcome {
  Restored,          // imported, and the registry holds everything the file names
  FileGone,          // the file is not there
  EditorNotStarted,  // the registry editor could not be started
  NotAnExport,       // imported, but the file is not a registry export
  Incomplete,        // imported, but keys or values of the file are not in the registry
  Aborted,           // the program ends
};

struct RestoreResult {
  RestoreOutcome outcome = RestoreOutcome::FileGone;
  RestoreCheck check;
};

// Imports the export file at `path` with "Regedit /s", waits for it, and checks the registry against the file.
RestoreResult RestoreBackupFile(Platform& platform, IMessagePump& pump, const std::string& path, const bool& abort);

struct FullBackupResult {
  std::string path;      // "FullBackup\Backup_yyyymmdd_hhnnss.reg" (or "..._2.reg" when that name is taken)
  bool created = false;  // the registry editor ended and left a file that is not empty
};

// Exports the whole registry with "Regedit /E" into a new file in "FullBackup\" beside the executable and
// waits for it.
FullBackupResult StartFullBackup(Platform& platform, IMessagePump& pump, const bool& abort);

struct BackupRow {
  std::string Caption;  // the creation time, with "(Partial)" on the main window's page
  std::string Path;     // the hidden sub-item: folder and file name
};

// One list of backup files with restore and remove, as the main window's backup page and TRegBackupForm show it.
class TBackupList {
 public:
  // `folderName`: "RepairBackup" or "FullBackup" beside the executable; `partial`: captions end in "(Partial)".
  TBackupList(Platform& platform, IPrompts& prompts, IMessagePump& pump, const char* folderName, bool partial);

  // Rebuilds the rows from the ".reg" files directly in the folder, in the order the folder lists them.
  void Load();
  void AddRow(const std::string& path);
  const std::vector<BackupRow>& Rows() const { return rows_; }
  int Selected() const { return selected_; }  // -1: none
  void Select(int row) { selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }
  std::string Folder() const;

  // Imports the selected file with "Regedit /s", waits for it, and then checks the registry against the file.
  void RestoreRegistryBtnClick();
  void RemoveBackupBtnClick();

  // True while the registry editor runs; the window's buttons do nothing meanwhile.
  bool Busy() const { return busy_; }
  // The program ends: stop waiting for the registry editor.
  void Abort() { abort_ = true; }
  const bool& Aborted() const { return abort_; }

 private:
  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  std::string folderName_;
  bool partial_;
  std::vector<BackupRow> rows_;
  int selected_ = -1;
  bool busy_ = false;
  bool abort_ = false;
};

// What TRegBackupForm needs from its window. Implemented by RegBackupWindow (ui) and tests' doubles.
class IRegBackupFormView {
 public:
  virtual ~IRegBackupFormView() = default;
  // The small waiting window with one line of text, shown and painted at once; CloseHint takes it away.
  virtual void ShowHint(const std::string& text) = 0;
  virtual void CloseHint() = 0;
  virtual void RowsChanged() = 0;
  virtual void Close() = 0;
};

// The full backup window "Full Registry Backup".
class TRegBackupForm {
 public:
  TRegBackupForm(Platform& platform, IPrompts& prompts, IMessagePump& pump, IRegBackupFormView& view);
  TRegBackupForm(const TRegBackupForm&) = delete;
  TRegBackupForm& operator=(const TRegBackupForm&) = delete;

  void FormShow();  // LoadFullBackupList
  void BackupRegistryBtnClick();
  void RestoreRegistryBtnClick();
  void RemoveBackupBtnClick();
  void CloseBtnClick();
  void BackupDataListViewSelect(int row) { list_.Select(row); }

  TBackupList& List() { return list_; }
  bool Busy() const { return backingUp_ || list_.Busy(); }
  void Abort() { list_.Abort(); }

 private:
  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  IRegBackupFormView& view_;
  TBackupList list_;
  bool backingUp_ = false;
};

constexpr const char* kFirstBackupCaption = "Tarnwick";
constexpr const char* kFirstBackupHeader = "Create full registry backup";
constexpr const char* kFirstBackupLine1 = "It is recommended to creat a full registry backup before your first repair. ";
constexpr const char* kFirstBackupLine2 = "According to your PC configuration, it will take few seconds to minutes.";
constexpr const char* kBackupNowCaption = "Backup Now";
constexpr const char* kBackupInProcessText = "Backup is in process, please wait.";
constexpr const char* kBackupCompleteMessage = "Backup registry complete!";

// What TFirstFullBackupDialog needs from its window. Implemented by FirstFullBackupDialogWindow (ui) and tests.
class IFirstFullBackupView {
 public:
  virtual ~IFirstFullBackupView() = default;
  virtual void Repaint() = 0;  // re-reads the texts and the button state and paints at once
  virtual void Close() = 0;
};

// The one-time offer of a full backup before the first repair.
class TFirstFullBackupDialog {
 public:
  TFirstFullBackupDialog(Platform& platform, IMessagePump& pump, IFirstFullBackupView& view);

  void OKButtonClick();
  // The dialog is closed by its frame or Escape; ignored while the backup runs.
  bool CanClose() const { return !running_; }
  void Abort() { abort_ = true; }

  const std::string& ButtonCaption() const { return buttonCaption_; }  // OKButton
  bool ButtonEnabled() const { return !running_; }
  const std::string& Message() const { return message_; }  // abMessage
  bool MessageVisible() const { return messageVisible_; }

 private:
  Platform& platform_;
  IMessagePump& pump_;
  IFirstFullBackupView& view_;
  std::string buttonCaption_ = kBackupNowCaption;
  std::string message_;
  bool messageVisible_ = false;
  bool running_ = false;
  bool abort_ = false;
};

}  // namespace tw
