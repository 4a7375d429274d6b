#include "app/main_window.h"

#include <cstdio>

#include "platform/reg_access.h"
#include "sections/path_tests.h"

namespace tw {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

TTarnwickForm::TTarnwickForm(Platform& platform, const Settings& settings, IMainFormView& view,
                             std::string startArgument, const SectionDef* table)
    : platform_(platform),
      settings_(settings),
      view_(view),
      startArgument_(std::move(startArgument)),
      driver_(platform, state_, lists_, *this, table) {
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
  if (IsBlank(startArgument_)) return;
  ISystem& system = platform_.system;
  const uint32_t start = system.TickCount();
  while (system.TickCount() - start < kFirstActivationWaitMs) {
    view_.Pump().ProcessMessages();
    system.Sleep(10);
  }
  ScanNowBtnClick();
}

void TTarnwickForm::FormResize(int finishListWidth, int finishSecondColumnWidth, int backupListWidth) {
  finishFirstColumnWidth_ = finishListWidth - finishSecondColumnWidth - 20;
  backupColumnWidth_ = backupListWidth - 20;
  view_.StateChanged();
}

void TTarnwickForm::ScanNowBtnClick() {
  // A second scan started from inside the running one would clear the lists under its feet.
  if (state_.ScanState == kStateScanning) return;
  lists_.Review.Clear();
  for (int i = 1; i <= kSectionCount; ++i) lists_.Sections[i].Clear();
  EnterMode(kModeScanning);
  state_.ScanState = kStateScanning;
  driver_.Run();
  state_.ScanState = kStateIdle;
  lists_.BuildReview();
  FillProblemsList();
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

void TTarnwickForm::FinishBtnClick() {
  if (scanPage_ == kRepairPage) return;
  state_.ScanState = kStateIdle;
  lists_.ClearAll();
  FillProblemsList();
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
  if (state_.ScanState == kStateScanning) return;
  activeBar_ = button;
  view_.StateChanged();
  if (button == BarButton::Scan) {
    state_.ScanState = kStateIdle;
    scanPage_ = kScanSectionsPage;
    actionsHidden_ = false;
    EnterMode(kModeIdle);
    mainPage_ = kScanSheet;
  } else {
    actionsHidden_ = true;
    mainPage_ = button == BarButton::Backup ? kBackupSheet : kAdvancedSheet;
  }
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
    for (int i = 0; i < kSectionCount; ++i) {
      icons_[static_cast<size_t>(i)].Tag = 1;
      SetIconImage(i, kImageSectionOn);
      view_.CountLabel(i).SetText("");
    }
  }
  view_.StateChanged();
}

void TTarnwickForm::FillProblemsList() {
  const int rows = lists_.Review.Count();
  problemsHeading_.clear();
  if (rows > 0) {
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
