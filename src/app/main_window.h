// The main window TTarnwickForm: its pages, button modes, section selection and the scan workflow.
// The Win32 view (ui/main_window_view) draws this state and forwards the user's actions to the handlers.
#pragma once
#include <array>
#include <string>

#include "app/problem_records.h"
#include "app/scan_driver.h"
#include "app/settings.h"
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
constexpr uint32_t kFirstActivationWaitMs = 1000;

enum class BarButton { Scan, Backup, SystemOptimize, ManageStartup, UninstallManager, DiskCleaner, IERestore };

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
  void FormResize(int finishListWidth, int finishSecondColumnWidth, int backupListWidth);

  void ScanNowBtnClick();
  void AbortScanBtnClick();
  void FinishBtnClick();
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

  void AboutBtnClick() { view_.ShowAboutWindow(); }
  void HelpBtnClick();
  void TimerTick() { driver_.TimerTick(); }

  // What the view draws.
  int Mode() const { return mode_; }
  int MainPage() const { return mainPage_; }
  int ScanPage() const { return scanPage_; }
  BarButton ActiveBarButton() const { return activeBar_; }
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
  int FinishFirstColumnWidth() const { return finishFirstColumnWidth_; }
  int BackupColumnWidth() const { return backupColumnWidth_; }

  ProcessState& State() { return state_; }
  ProblemLists& Lists() { return lists_; }
  const ProblemLists& Lists() const { return lists_; }
  const Settings& CurrentSettings() const { return settings_; }
  Platform& GetPlatform() { return platform_; }

 private:
  void EnterMode(int mode);
  void FillProblemsList();
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
  Settings settings_;
  IMainFormView& view_;
  std::string startArgument_;
  ProcessState state_;
  ProblemLists lists_;
  TScanDriver driver_;
  std::array<SectionIcon, kSectionCount> icons_{};
  int mode_ = kModeIdle;
  int mainPage_ = kScanSheet;
  int scanPage_ = kScanSectionsPage;
  BarButton activeBar_ = BarButton::Scan;
  bool actionsHidden_ = false;  // a tool or backup page hides Select All and the action buttons
  bool selectAllChecked_ = true;
  bool firstActivation_ = false;
  std::string problemsHeading_;
  int finishFirstColumnWidth_ = 0;
  int backupColumnWidth_ = 0;
};

}  // namespace tw
