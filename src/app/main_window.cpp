#include "app/main_window.h"

#include <algorithm>
#include <cstdio>

#include "app/ignore_list.h"
#include "app/repair_pass.h"
#include "app/startup.h"
#include "backup/backup_check.h"
#include "backup/export_writer.h"
#include "platform/reg_access.h"
#include "sections/path_tests.h"

namespace tw {

namespace {

// `format` with its one %s replaced by `text`.
std::string WithText(const char* format, const std::string& text) {
  std::string out = format;
  const size_t at = out.find("%s");
  return at == std::string::npos ? out : out.replace(at, 2, text);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

}  // namespace

TTarnwickForm::TTarnwickForm(Platform& platform, const Settings& settings, IMainFormView& view,
                             std::string startArgument, const SectionDef* table)
    : platform_(platform),
      table_(table),
      settings_(settings),
      view_(view),
      startArgument_(std::move(startArgument)),
      driver_(platform, state_, lists_, *this, table),
      tools_(view.ToolWindows()),
      backupList_(platform, view.Prompts(), view.Pump(), kRepairBackupFolder, true) {
  state_.SelectAll = settings_.SelectAll;
}

void TTarnwickForm::FormCreate() {
  firstActivation_ = true;
  mainPage_ = kScanSheet;
  scanPage_ = kScanSectionsPage;
  EnterMode(kModeIdle);
  state_.SkippedDrives = BuildSkippedDrives(platform_.files);
}

void TTarnwickForm::FormActivate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  if (!StartsAScan(startArgument_)) return;
  ScanAfterWait();
}

bool TTarnwickForm::ScanRequestedByAnotherStart() {
  if (Busy() || exiting_ || tools_.Busy()) return false;
  BarButtonClick(BarButton::Scan);
  ScanAfterWait();
  return true;
}

void TTarnwickForm::ScanAfterWait() {
  if (Busy() || exiting_) return;
  waitingToScan_ = true;
  ISystem& system = platform_.system;
  const uint32_t start = system.TickCount();
  while (!exiting_ && system.TickCount() - start < kFirstActivationWaitMs) {
    view_.Pump().ProcessMessages();
    system.Sleep(10);
  }
  waitingToScan_ = false;
  ScanNowBtnClick();
}

void TTarnwickForm::ExitRequested() {
  exiting_ = true;
  if (state_.ScanState == kStateScanning) state_.ScanState = kStateAbort;
  if (repairDialog_) repairDialog_->CancelBtnClick();
  backupList_.Abort();
  tools_.AbortShown();
}

void TTarnwickForm::FormResize(int finishListWidth, int finishSecondColumnWidth, int backupListWidth) {
  finishFirstColumnWidth_ = finishListWidth - finishSecondColumnWidth - 20;
  backupColumnWidth_ = backupListWidth - 20;
  view_.StateChanged();
}

void TTarnwickForm::ScanNowBtnClick() {
  // A scan started from inside a running scan or repair would clear the lists under its feet.
  if (Busy() || exiting_) return;
  const std::unique_ptr<ISessionLock> work = platform_.system.TryLock(kRegistryWorkLockName);
  if (!work) {
    view_.Prompts().Tell(kAppTitle, kConsoleRepairRunningText, PromptIcon::Information);
    return;
  }
  lists_.Review.Clear();
  for (int i = 1; i <= kSectionCount; ++i) lists_.Sections[i].Clear();
  EnterMode(kModeScanning);
  state_.ScanState = kStateScanning;
  driver_.Run();
  state_.ScanState = kStateIdle;
  lists_.BuildReview();
  FillProblemsList();
  if (driver_.IgnoreListUnreadable())
    view_.Prompts().Tell(kAppTitle, WithText(kIgnoreListUnreadableText, ExecutableFolder(platform_.files) + kIgnoreFileName),
                         PromptIcon::Warning);
  if (lists_.TotalCount() == 0) {
    lists_.Repairs.Clear();
    TRepairRec& row = lists_.Repairs.Items(lists_.Repairs.Add()).Rec;
    row.Caption = kNoProblemsRow;
    scanPage_ = kFinishPage;
    EnterMode(kModeFinish);
  } else {
    scanPage_ = kRepairPage;
    EnterMode(kModeReview);
  }
}

void TTarnwickForm::AbortScanBtnClick() { state_.ScanState = kStateAbort; }

void TTarnwickForm::RepairBtnClick() {
  if (Busy() || !RepairVisible()) return;
  const std::unique_ptr<ISessionLock> work = platform_.system.TryLock(kRegistryWorkLockName);
  if (!work) {
    view_.Prompts().Tell(kAppTitle, kConsoleRepairRunningText, PromptIcon::Information);
    return;
  }
  repairing_ = true;
  view_.StateChanged();
  OfferFullBackupOnce();
  // An Exit while a prompt was up ends the program before anything is deleted.
  std::vector<int> notBackedUp;
  if (exiting_ || (!settings_.NotAutoBackup && !BackupBeforeRepair(&notBackedUp)) || exiting_) {
    repairing_ = false;
    view_.StateChanged();
    return;
  }
  TRepairDialogForm dialog(state_);
  std::unique_ptr<IRepairDialogView> dialogView = view_.ShowRepairDialog(dialog);
  dialog.Attach(dialogView.get());
  repairDialog_ = &dialog;
  RunRepairPass({platform_, state_, view_.Pump(), dialogView->RepairLabel(), lists_.Review, reviewSections_, table_,
                 lists_.Repairs, [this] { view_.StateChanged(); }, notBackedUp});
  repairDialog_ = nullptr;
  dialog.Attach(nullptr);
  dialogView.reset();
  repairing_ = false;
  scanPage_ = kFinishPage;
  EnterMode(kModeFinish);
}

void TTarnwickForm::OfferFullBackupOnce() {
  if (!settings_.OneTimePending || !view_.OfferFirstFullBackup()) return;
  settings_.OneTimePending = false;
  TRegistry reg(platform_.registry, kCurrentUser);
  if (reg.OpenKey(kSettingsKey, false)) reg.WriteString("OneTime", "1");
}

bool TTarnwickForm::BackupBeforeRepair(std::vector<int>* notBackedUp) {
  auto removesOf = [this](int row) { return table_[reviewSections_[static_cast<size_t>(row)] - 1].removes; };
  const RepairBackupResult backup = SaveRepairBackup(platform_, lists_.Review, removesOf);
  *notBackedUp = backup.notBackedUp;
  const std::string folder = FolderOf(backup.path);
  if (backup.outcome == BackupOutcome::Failed)
    return view_.Prompts().AskYesNo(kAppTitle, WithText(kBackupFailedText, folder), PromptIcon::Warning,
                                    PromptAnswer::No) == PromptAnswer::Yes;
  view_.Prompts().Tell(kAppTitle, WithText(kBackupCompleteText, folder), PromptIcon::Information);
  // The file as it is now, read back: a record whose deletion it does not prove is not repaired either.
  for (int row : UnprovenRecords(platform_, backup.path, lists_.Review, removesOf))
    if (std::find(notBackedUp->begin(), notBackedUp->end(), row) == notBackedUp->end()) notBackedUp->push_back(row);
  return true;
}

void TTarnwickForm::ProblemsListBoxClick(int row) {
  if (Busy()) return;
  currentProblem_ = row >= 0 && row < lists_.Review.Count() ? row : -1;
  view_.StateChanged();
}

void TTarnwickForm::ProblemsListBoxClickCheck(int row) {
  if (Busy() || row < 0 || row >= lists_.Review.Count()) return;
  uint8_t& selected = lists_.Review.Items(row).Content.Selected;
  selected = selected ? 0 : 1;
  selectAllChecked_ = AllProblemsSelected();
  view_.StateChanged();
}

void TTarnwickForm::Excludeandaddkeytoignorelist1Click() {
  const int row = currentProblem_;
  if (Busy() || !ReviewPageShown() || row < 0 || row >= lists_.Review.Count()) return;
  const TContent& record = lists_.Review.Items(row).Content;
  const SectionDef& def = table_[reviewSections_[static_cast<size_t>(row)] - 1];
  const std::string file = ExecutableFolder(platform_.files) + kIgnoreFileName;
  // A row whose entry did not reach the file would come back at the next scan: it stays, and the user is told.
  if (!AppendIgnoreEntry(platform_.files, file, def.ignoreCategory, record.FullKeyPath, record.ValueName)) {
    view_.Prompts().Tell(kAppTitle, WithText(kExcludeFailedText, file), PromptIcon::Error);
    return;
  }
  lists_.Review.Delete(row);
  reviewSections_.erase(reviewSections_.begin() + row);
  currentProblem_ = row < lists_.Review.Count() ? row : lists_.Review.Count() - 1;
  view_.StateChanged();
}

bool TTarnwickForm::AllProblemsSelected() const {
  for (const TRegistryContentItem& item : lists_.Review)
    if (!item.Content.Selected) return false;
  return true;
}

void TTarnwickForm::SelectAllProblems(bool selected) {
  if (Busy()) return;
  for (TRegistryContentItem& item : lists_.Review) item.Content.Selected = selected ? 1 : 0;
  selectAllChecked_ = selected;
  view_.StateChanged();
}

void TTarnwickForm::FinishBtnClick() {
  if (Busy() || scanPage_ == kRepairPage) return;
  state_.ScanState = kStateIdle;
  lists_.ClearAll();
  // The rows go; the heading keeps its text until the next scan fills the list again.
  reviewSections_.clear();
  currentProblem_ = -1;
  scanPage_ = kScanSectionsPage;
  EnterMode(kModeIdle);
}

void TTarnwickForm::picSection01Click(int index) {
  if (index < 0 || index >= kSectionCount) return;
  SectionIcon& icon = icons_[static_cast<size_t>(index)];
  icon.Tag = icon.Tag == 0 ? 1 : 0;
  SetIconImage(index, icon.Tag == 1 ? kImageSectionOn : kImageSectionOff);
}

void TTarnwickForm::cbSelectAllClick(bool checked) {
  if (repairing_) return;
  selectAllChecked_ = checked;
  if (ScanPageShown()) {
    for (int i = 0; i < kSectionCount; ++i) {
      icons_[static_cast<size_t>(i)].Tag = checked ? 1 : 0;
      SetIconImage(i, checked ? kImageSectionOn : kImageSectionOff);
    }
  } else if (ReviewPageShown()) {
    for (TRegistryContentItem& item : lists_.Review) item.Content.Selected = checked ? 1 : 0;
  }
  view_.StateChanged();
}

void TTarnwickForm::abSelectAllClick() { cbSelectAllClick(!selectAllChecked_); }

void TTarnwickForm::BarButtonClick(BarButton button) {
  if (Busy() || tools_.Busy()) return;
  activeBar_ = button;
  view_.StateChanged();
  tools_.BarClick(button);
  if (button == BarButton::Scan) {
    state_.ScanState = kStateIdle;
    scanPage_ = kScanSectionsPage;
    actionsHidden_ = false;
    EnterMode(kModeIdle);
    mainPage_ = kScanSheet;
  } else {
    actionsHidden_ = true;
    mainPage_ = button == BarButton::Backup ? kBackupSheet : kAdvancedSheet;
    if (button == BarButton::Backup) backupList_.Load();
  }
  view_.StateChanged();
}

void TTarnwickForm::FullBackupBtnClick() {
  if (!Busy() && !exiting_) view_.ShowFullBackupWindow();
}

void TTarnwickForm::RestoreRegistryBtnClick() {
  if (Busy() || exiting_) return;
  backupList_.RestoreRegistryBtnClick();
  view_.StateChanged();
}

void TTarnwickForm::RemoveBackupBtnClick() {
  if (Busy() || exiting_) return;
  backupList_.RemoveBackupBtnClick();
  view_.StateChanged();
}

void TTarnwickForm::HelpBtnClick() { OpenInBrowserWindow(platform_, settings_.HelpURL); }

std::string TTarnwickForm::AppNameVersion() const {
  char text[64];
  std::snprintf(text, sizeof text, "%s v%s", kAppTitle, kProgramVersion);
  return text;
}

void TTarnwickForm::EnterMode(int mode) {
  mode_ = mode;
  if (mode == kModeIdle) {
    selectAllChecked_ = true;
    for (int i = 0; i < kSectionCount; ++i) {
      icons_[static_cast<size_t>(i)].Tag = 1;
      SetIconImage(i, kImageSectionOn);
      view_.CountLabel(i).SetText("");
    }
  }
  view_.StateChanged();
}

void TTarnwickForm::FillProblemsList() {
  reviewSections_ = ReviewSectionsOf(lists_);
  currentProblem_ = -1;
  const int rows = lists_.Review.Count();
  problemsHeading_.clear();
  if (rows > 0) {
    selectAllChecked_ = AllProblemsSelected();
    char text[64];
    std::snprintf(text, sizeof text, "  Details of Problems Found: %d", rows);
    problemsHeading_ = text;
  }
}

void TTarnwickForm::SetIconImage(int index, int image) {
  icons_[static_cast<size_t>(index)].Image = image;
  view_.IconChanged(index);
}

}  // namespace tw
