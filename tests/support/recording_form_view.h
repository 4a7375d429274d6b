// The main window's view as a recording double: labels, pump, prompts and the repair dialog, with counters of
// what the controller asked of the screen.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw::test {

// One repair dialog: its label and whether it was closed and freed.
struct RepairDialogRecord {
  RecordingText label;
  TRepairDialogForm* form = nullptr;
  bool closed = false;
  bool freed = false;
};

class RecordingRepairDialog : public IRepairDialogView {
 public:
  explicit RecordingRepairDialog(RepairDialogRecord& record) : record_(record) {}
  ~RecordingRepairDialog() override { record_.freed = true; }
  ITextTarget& RepairLabel() override { return record_.label; }
  void Close() override { record_.closed = true; }

 private:
  RepairDialogRecord& record_;
};

// The tool windows as a log of calls ("create Optimizer", "show Optimizer", "hide ...", "free ...").
class RecordingToolWindows : public IToolWindows {
 public:
  bool Create(BarButton tool) override { return Log("create", tool), !failCreate; }
  void Free(BarButton tool) override { Log("free", tool); }
  void Show(BarButton tool, bool shown) override { Log(shown ? "show" : "hide", tool); }
  bool Busy(BarButton) override { return busy; }
  void Abort(BarButton tool) override { Log("abort", tool); }

  std::string log;
  bool failCreate = false;
  bool busy = false;

 private:
  void Log(const char* what, BarButton tool) {
    static const char* const kNames[] = {"Scan", "Backup", "Optimizer", "Startup", "Uninstall", "Cleaner", "IE"};
    if (!log.empty()) log += ", ";
    log += std::string(what) + " " + kNames[static_cast<int>(tool)];
  }
};

class RecordingFormView : public IMainFormView {
 public:
  ITextTarget& CountLabel(int index) override { return counts[static_cast<size_t>(index)]; }
  ITextTarget& StatusPanel() override { return status; }
  IMessagePump& Pump() override { return pump; }
  void StartScanTimer() override { ++timerStarts; }
  void StopScanTimer() override { ++timerStops; }
  void IconChanged(int) override { ++iconRepaints; }
  void StateChanged() override { ++stateChanges; }
  void ShowAboutWindow() override { ++aboutShown; }
  void ShowOptionsWindow() override { ++optionsShown; }
  IPrompts& Prompts() override { return prompts; }
  bool OfferFirstFullBackup() override {
    ++fullBackupOffers;
    return fullBackupOfferMade;
  }
  std::unique_ptr<IRepairDialogView> ShowRepairDialog(TRepairDialogForm& dialog) override {
    dialogs.push_back(std::make_unique<RepairDialogRecord>());
    dialogs.back()->form = &dialog;
    dialogs.back()->label.SetText(kRepairLabelText);
    return std::make_unique<RecordingRepairDialog>(*dialogs.back());
  }
  IToolWindows& ToolWindows() override { return tools; }
  void ShowFullBackupWindow() override { ++fullBackupWindows; }

  std::array<RecordingText, kSectionCount> counts;
  RecordingText status;
  RecordingPump pump;
  RecordingPrompts prompts;
  RecordingToolWindows tools;
  std::vector<std::unique_ptr<RepairDialogRecord>> dialogs;
  bool fullBackupOfferMade = false;
  int timerStarts = 0, timerStops = 0, iconRepaints = 0, stateChanges = 0, aboutShown = 0, optionsShown = 0, fullBackupOffers = 0,
      fullBackupWindows = 0;
};

}  // namespace tw::test
