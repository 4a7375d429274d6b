// The main window TTarnwickForm: its pages, button modes, section selection and the scan workflow.
// The Win32 view (ui/main_window_view) draws this state and forwards the user's actions to the handlers.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/problem_records.h"
#include "app/prompts.h"
#include "app/repair_dialog.h"
#include "app/scan_driver.h"
#include "app/settings.h"
#include "app/tool_pages.h"
#include "backup/backup_catalogue.h"
#include "platform/platform.h"
#include "sections/scan_context.h"

namespace tw {

// Button modes of the bottom panel.
constexpr int kModeIdle = 0;
constexpr int kModeScanning = 1;
constexpr int kModeReview = 2;
constexpr int kModeFinish = 3;

// Pages of the main notebook and of the scan notebook.
constexpr int kScanSheet = 0;
constexpr int kBackupSheet = 1;
constexpr int kAdvancedSheet = 2;
constexpr int kScanSectionsPage = 0;
constexpr int kRepairPage = 1;
constexpr int kFinishPage = 2;

constexpr const char* kAppTitle = "Tarnwick";
constexpr const char* kNoProblemsRow = "Problems Found: 0";
constexpr const char* kProblemsHeadingAtStart = "  Details of Problems found";  // ProblemsPanel before any scan
// %s: the folder of the export, with its trailing backslash.
constexpr const char* kBackupCompleteText =
    "Registry backup complete! Backup file at \r%s folder.\r\rYou can use registry restore function to restore "
    "it.\rPress OK to repair problems now!";
constexpr const char* kBackupFailedText =
    "The registry backup could not be written to the folder\r%s\r\rNothing can be restored after a repair "
    "without a backup.\rRepair the selected problems without a backup?";
constexpr const char* kIgnoreListUnreadableText =
    "The ignore list\r%s\rcould not be read.\r\rEntries you excluded may be listed again, so the problems found "
    "start unselected.";
constexpr const char* kExcludeFailedText =
    "The entry could not be added to the ignore list\r%s\r\rIt stays in the list of problems.";
constexpr const char* kConsoleRepairRunningText =
    "A repair started from the Tarnwick console is running.\rPlease try again when it has finished.";
constexpr uint32_t kFirstActivationWaitMs = 1000;

// What the main window needs from its window. Implemented by MainWindowView (ui) and RecordingFormView (tests).
class IMainFormView {
 public:
  virtual ~IMainFormView() = default;
  virtual ITextTarget& CountLabel(int index) = 0;  // abItemCount01 to abItemCount17
  virtual ITextTarget& StatusPanel() = 0;          // ScanOutcomePanel
  virtual IMessagePump& Pump() = 0;
  virtual void StartScanTimer() = 0;
  virtual void StopScanTimer() = 0;
  virtual void IconChanged(int index) = 0;  // repaint one section icon
  virtual void StateChanged() = 0;          // pages, mode, bar or lists changed: re-read and repaint
  virtual void ShowAboutWindow() = 0;       // modal
  virtual void ShowOptionsWindow() = 0;     // modal, made per opening; works also while a scan runs
  virtual IPrompts& Prompts() = 0;
  // The one-time full-backup offer; true when it was made (the dialog ran), false when it could not be.
  virtual bool OfferFirstFullBackup() = 0;
  // Creates the repair progress dialog for `dialog`, shows it without making it modal and paints it at once;
  // freeing the result hides and frees the window.
  virtual std::unique_ptr<IRepairDialogView> ShowRepairDialog(TRepairDialogForm& dialog) = 0;
  // The tool windows of the tools page.
  virtual IToolWindows& ToolWindows() = 0;
  // The full backup window TRegBackupForm, modal.
  virtual void ShowFullBackupWindow() = 0;
};

struct SectionIcon {
  int Tag = 1;  // 1: selected for scanning
  int Image = kImageSectionOn;
};

class TTarnwickForm : private IScanPage {
 public:
  // `table` holds the sections the scan runs, section 1 first.
  TTarnwickForm(Platform& platform, const Settings& settings, IMainFormView& view, std::string startArgument,
                const SectionDef* table = SectionTable());
  TTarnwickForm(const TTarnwickForm&) = delete;
  TTarnwickForm& operator=(const TTarnwickForm&) = delete;

  void FormCreate();
  void FormActivate();
  // Another start of the program with a non-blank first argument (the daily scheduled scan): when idle, the
  // scan page comes back and a scan starts as at the first activation; true when it does.
  bool ScanRequestedByAnotherStart();
  // The program is about to end (tray Exit or close request): a running scan is aborted, a running repair
  // cancelled, a tool's long loop stopped, and no scan or repair starts any more.
  void ExitRequested();
  void FormResize(int finishListWidth, int finishSecondColumnWidth, int backupListWidth);

  void ScanNowBtnClick();
  void AbortScanBtnClick();
  void RepairBtnClick();
  void FinishBtnClick();

  // The review page: the current row, a click on a row's check box, and the context menu ExcludePopupMenu.
  void ProblemsListBoxClick(int row);
  void ProblemsListBoxClickCheck(int row);
  void Excludeandaddkeytoignorelist1Click();
  void SelectAll1Click() { SelectAllProblems(true); }
  void SelectNone1Click() { SelectAllProblems(false); }
  void picSection01Click(int index);
  void cbSelectAllClick(bool checked);
  void abSelectAllClick();

  void BarButtonClick(BarButton button);
  void ScanBtnClick() { BarButtonClick(BarButton::Scan); }
  void BackupBtnClick() { BarButtonClick(BarButton::Backup); }
  void SystemOptimizeBtnClick() { BarButtonClick(BarButton::SystemOptimize); }
  void ManageStartupBtnClick() { BarButtonClick(BarButton::ManageStartup); }
  void UninstallManagerBtnClick() { BarButtonClick(BarButton::UninstallManager); }
  void DiskCleanerBtnClick() { BarButtonClick(BarButton::DiskCleaner); }
  void IERestoreBtnClick() { BarButtonClick(BarButton::IERestore); }

  // The backup page: its list of per-repair backups and its three buttons.
  void BackupListViewSelect(int row) { backupList_.Select(row); }
  void FullBackupBtnClick();
  void RestoreRegistryBtnClick();
  void RemoveBackupBtnClick();
  const TBackupList& BackupList() const { return backupList_; }

  void AboutBtnClick() { view_.ShowAboutWindow(); }
  void OptionsBtnClick() { view_.ShowOptionsWindow(); }
  void HelpBtnClick();
  void TimerTick() { driver_.TimerTick(); }

  // What the view draws.
  int Mode() const { return mode_; }
  int MainPage() const { return mainPage_; }
  int ScanPage() const { return scanPage_; }
  BarButton ActiveBarButton() const { return activeBar_; }
  BarButton ShownTool() const { return tools_.Shown(); }  // BarButton::Scan: no tool window shown
  bool ToolWindowExists(BarButton tool) const { return tools_.Exists(tool); }
  const SectionIcon& Icon(int index) const { return icons_[static_cast<size_t>(index)]; }
  bool SelectAllChecked() const { return selectAllChecked_; }
  bool StatusPanelVisible() const { return mode_ == kModeScanning && !actionsHidden_; }
  bool SelectAllVisible() const { return (mode_ == kModeIdle || mode_ == kModeReview) && !actionsHidden_; }
  bool ScanNowVisible() const { return mode_ == kModeIdle && !actionsHidden_; }
  bool AbortVisible() const { return mode_ == kModeScanning && !actionsHidden_; }
  bool RepairVisible() const { return mode_ == kModeReview && !actionsHidden_; }
  bool FinishVisible() const { return mode_ == kModeFinish && !actionsHidden_; }
  std::string AppNameVersion() const;            // abAppNameVer
  std::string ProblemsHeading() const { return problemsHeading_; }  // ProblemsPanel
  int CurrentProblem() const { return currentProblem_; }  // -1: no current row
  bool ProblemChecked(int row) const { return lists_.Review.Items(row).Content.Selected != 0; }
  bool Repairing() const { return repairing_; }  // the main window takes no input meanwhile
  int FinishFirstColumnWidth() const { return finishFirstColumnWidth_; }
  int BackupColumnWidth() const { return backupColumnWidth_; }

  ProcessState& State() { return state_; }
  ProblemLists& Lists() { return lists_; }
  const ProblemLists& Lists() const { return lists_; }
  const Settings& CurrentSettings() const { return settings_; }
  // The options window changes the running settings together with the stored ones.
  Settings& RunningSettings() { return settings_; }
  Platform& GetPlatform() { return platform_; }

 private:
  void EnterMode(int mode);
  // Waits a second, keeping the window live, then scans as Scan Now does.
  void ScanAfterWait();
  void FillProblemsList();
  void SelectAllProblems(bool selected);
  // The Select All box on the review page shows whether every row is ticked.
  bool AllProblemsSelected() const;
  void OfferFullBackupOnce();
  // Writes the backup of the selected records; false when the user chose not to repair without one.
  // `notBackedUp` receives the review indexes of records the backup could not hold whole.
  bool BackupBeforeRepair(std::vector<int>* notBackedUp);
  bool Busy() const {
    return state_.ScanState == kStateScanning || repairing_ || waitingToScan_ || backupList_.Busy();
  }
  bool ScanPageShown() const { return mainPage_ == kScanSheet && scanPage_ == kScanSectionsPage; }
  bool ReviewPageShown() const { return mainPage_ == kScanSheet && scanPage_ == kRepairPage; }

  int IconTag(int index) const override { return Icon(index).Tag; }
  void SetIconImage(int index, int image) override;
  ITextTarget& CountLabel(int index) override { return view_.CountLabel(index); }
  ITextTarget& StatusPanel() override { return view_.StatusPanel(); }
  IMessagePump& Pump() override { return view_.Pump(); }
  void StartScanTimer() override { view_.StartScanTimer(); }
  void StopScanTimer() override { view_.StopScanTimer(); }

  Platform& platform_;
  const SectionDef* table_;
  Settings settings_;
  IMainFormView& view_;
  std::string startArgument_;
  ProcessState state_;
  ProblemLists lists_;
  TScanDriver driver_;
  TToolPages tools_;
  TBackupList backupList_;
  std::array<SectionIcon, kSectionCount> icons_{};
  int mode_ = kModeIdle;
  int mainPage_ = kScanSheet;
  int scanPage_ = kScanSectionsPage;
  BarButton activeBar_ = BarButton::Scan;
  bool actionsHidden_ = false;  // a tool or backup page hides Select All and the action buttons
  bool selectAllChecked_ = true;
  bool firstActivation_ = false;
  std::string problemsHeading_ = kProblemsHeadingAtStart;
  std::vector<int> reviewSections_;  // the section number of each review record
  int currentProblem_ = -1;
  bool repairing_ = false;
  TRepairDialogForm* repairDialog_ = nullptr;  // while the repair pass runs
  bool waitingToScan_ = false;
  bool exiting_ = false;
  int finishFirstColumnWidth_ = 0;
  int backupColumnWidth_ = 0;
};

}  // namespace tw
