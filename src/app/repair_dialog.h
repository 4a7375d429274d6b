// The repair progress dialog TRepairDialogForm: a label showing the key being repaired, the system's
// file-deletion animation and Cancel, shown without being modal while the main window repairs.
#pragma once
#include "sections/scan_context.h"

namespace tw {

constexpr const char* kRepairDialogCaption = "Tarnwick";
constexpr const char* kRepairLabelText = "Repair";  // abRepair before the first key

// What the dialog needs from its window. Implemented by RepairDialogWindow (ui) and RecordingRepairDialog (tests).
class IRepairDialogView {
 public:
  virtual ~IRepairDialogView() = default;
  virtual ITextTarget& RepairLabel() = 0;  // abRepair
  virtual void Close() = 0;                // hides the window; it is freed with the view
};

class TRepairDialogForm {
 public:
  explicit TRepairDialogForm(ProcessState& state) : state_(state) {}
  TRepairDialogForm(const TRepairDialogForm&) = delete;
  TRepairDialogForm& operator=(const TRepairDialogForm&) = delete;

  void Attach(IRepairDialogView* view) { view_ = view; }
  // The routine at work stops at its next record and no further section starts.
  void CancelBtnClick() {
    state_.ScanState = kStateRepairCancelled;
    if (view_) view_->Close();
  }

 private:
  ProcessState& state_;
  IRepairDialogView* view_ = nullptr;
};

}  // namespace tw
