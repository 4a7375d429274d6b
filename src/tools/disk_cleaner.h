// The disk cleaner window TSysDiskCleanerForm: a six-page wizard that picks fixed drives and junk file types,
// walks the drives for entries matching the ticked types, reports them per drive and then deletes them, sends
// them to the Recycle Bin or moves them into one folder.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/prompts.h"
#include "platform/platform.h"
#include "sections/scan_context.h"
#include "tools/junk_scan.h"
#include "tools/junk_types.h"

namespace tw {

// Wizard pages of DataNotebook.
constexpr int kDrivesPage = 0;
constexpr int kJunkFilesPage = 1;
constexpr int kScanPage = 2;
constexpr int kReportPage = 3;
constexpr int kCleanupOptionsPage = 4;
constexpr int kCleanupPage = 5;

// The title of each page.
constexpr const char* kCleanerPageTitles[6] = {"Select drives to be scaned", "Select Junk Files",
                                               "Search Disk Drives",         "Scan Process Summary",
                                               "Select cleaning options",    "Remove Junk Files"};

// The wizard's state byte.
constexpr uint8_t kCleanerIdle = 0;
constexpr uint8_t kCleanerScanning = 1;
constexpr uint8_t kCleanerStopped = 2;
constexpr uint8_t kCleanerScanned = 3;
constexpr uint8_t kCleanerCleaning = 4;

constexpr const char* kDeletePermanentlyQuestion =
    "The junk files will be deleted permanently and cannot be restored.\n\nDo you want to delete them?";
constexpr const char* kRemoveTypeQuestion = "You want to Delete selected item?";

struct ScanRow {
  std::string Caption, Status, Drive;
};
struct ReportRow {
  std::string Caption;
  uint64_t Count = 0;
  uint64_t Kilobytes = 0;
  std::string Total, Space;  // "%d", "%d KB"
  std::string Drive;
  bool Checked = true;
};
struct CleanupRow {
  std::string Path, Status;
};

enum class CleanupMode { Delete, Recycle, Move };

// What the wizard needs from its window. Implemented by DiskCleanerWindow (ui) and a recording screen (tests).
class IDiskCleanerScreen {
 public:
  virtual ~IDiskCleanerScreen() = default;
  // The label ScanMessage showing the path being examined.
  virtual ITextTarget& ScanMessage() = 0;
  // TTemporaryFileForm titled `title`; false for Cancel.
  virtual bool EditFileType(const std::string& title, std::string* pattern, std::string* description) = 0;
  // TDetailTempFileForm with these entries.
  virtual void ShowDetails(const std::vector<TTempFileInfo>& files) = 0;
  // Rows, page or buttons changed: the window reads them again.
  virtual void Changed() = 0;
};

class TSysDiskCleanerForm {
 public:
  TSysDiskCleanerForm(Platform& platform, IPrompts& prompts, IMessagePump& pump, IDiskCleanerScreen& screen);

  // Fills the drive list and shows page 0.
  void FormCreate();
  void NextBtnClick();
  void BackBtnClick();
  void StopScanBtnClick();
  void cbJunkFileSelectAllClick(bool checked);
  void JunkFilesListViewMouseDown(int row);  // selects a type row (-1 none)
  void TypeCheckClick(int row, bool checked);
  void DriveCheckClick(int row, bool checked);
  void ReportCheckClick(int row, bool checked);
  void AddBtnClick();
  void EditBtnClick();
  void DelBtnClick();
  void ReportListViewDblClick(int row);
  void Label23Click();  // "Click here": every found entry
  void RadioButton1Click();  // "Permanently delete files"
  void RadioButton2Click();  // "Move files to Recycle Bin (recommended)"
  void RadioButton3Click();  // "Move all files in one folder"

  int Page() const { return page_; }
  uint8_t State() const { return state_; }
  bool BackEnabled() const { return page_ > kDrivesPage && page_ < kCleanupPage; }
  const char* NextCaption() const { return page_ == kCleanupPage ? "Finish" : "Next>"; }
  bool Busy() const { return scanning_ || cleaning_; }
  // The program ends: a running scan stops at its next entry, a running cleanup before its next file.
  void Abort() {
    if (state_ == kCleanerScanning) state_ = kCleanerStopped;
    if (cleaning_) cleanupAborted_ = true;
  }

  const std::vector<DriveRow>& Drives() const { return drives_; }
  const std::vector<TJunkType>& Types() const { return types_; }
  bool SelectAllTypes() const { return selectAllTypes_; }
  int SelectedType() const { return selectedType_; }
  const std::vector<ScanRow>& ScanRows() const { return scanRows_; }
  const std::vector<TTempFileInfo>& Found() const { return found_; }
  const std::vector<ReportRow>& ReportRows() const { return reportRows_; }
  // The status bar's four panels.
  const std::string* StatusPanels() const { return statusPanels_; }
  CleanupMode Mode() const { return mode_; }
  const std::string& MoveFolder() const { return moveFolder_; }
  const std::vector<CleanupRow>& CleanupRows() const { return cleanupRows_; }

  // Column widths: the first column takes the list less the others and 23 pixels.
  static int FirstColumnWidth(int listWidth, int otherColumns) { return listWidth - otherColumns - 23; }
  // TTemporaryFileForm's OK is enabled only for a pattern that is not blank.
  static bool FileTypeOkEnabled(const std::string& pattern);
  // TDetailTempFileForm: the label abFileTotal and the three lines of a row of TempFilesListBox.
  static std::string DetailTotal(size_t count) { return "Total: " + std::to_string(count); }
  static std::array<std::string, 3> DetailLines(const TTempFileInfo& file);
  // Statuses drawn in red: "Scanning" in the scan list, any status holding "Error" in the cleanup list.
  static bool ScanStatusRed(const std::string& status) { return status == "Scanning"; }
  static bool CleanupStatusRed(const std::string& status) { return status.find("Error") != std::string::npos; }

 private:
  std::string TablePath();
  void LoadTypes();
  void RunScan();
  void BuildReport();
  void UpdateStatusBar();
  void RunCleanup();
  std::string CleanOne(const TTempFileInfo& file);
  std::vector<TTempFileInfo> FoundOn(const std::string& drive) const;

  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  IDiskCleanerScreen& screen_;
  int page_ = kDrivesPage;
  uint8_t state_ = kCleanerIdle;
  bool scanning_ = false;  // from the scan's start until its loop has ended, also after Stop
  bool cleaning_ = false;
  bool cleanupAborted_ = false;
  std::vector<DriveRow> drives_;
  std::vector<TJunkType> types_;
  bool selectAllTypes_ = true;
  int selectedType_ = -1;
  std::vector<ScanRow> scanRows_;
  std::vector<TTempFileInfo> found_;
  std::vector<ReportRow> reportRows_;
  std::string statusPanels_[4] = {"Selected:", "", "", ""};
  CleanupMode mode_ = CleanupMode::Recycle;
  std::string moveFolder_;
  std::vector<CleanupRow> cleanupRows_;
};

}  // namespace tw
