// The optimizer window TOptimizeForm: the model page "1", the services page "2", the tweaks page "3" and the
// restore-point page "4", with the buttons along the bottom. It owns the pages, the boxes, the texts and the
// button states; the view (ui/optimizer_window) shows them and forwards each user action to the handler of the
// same name.
#pragma once
#include <string>
#include <vector>

#include "app/prompts.h"
#include "optimizer/service_models.h"
#include "optimizer/tweak_catalogue.h"
#include "platform/platform.h"

namespace tw {

class IMessagePump;

struct OptimizerButton {
  std::string caption;
  bool visible = true;
  bool enabled = true;
};

struct RestorePointRow {
  std::string caption;  // the file name
  std::string path;     // folder and file name
};

class TOptimizeForm {
 public:
  TOptimizeForm(Platform& platform, IPrompts& prompts, IMessagePump& pump);

  void FormCreate();
  void RGModeClick(int model);
  void btnOptimizeClick();  // Next
  void ReturnBtnClick();    // Back
  void btnExeClick();       // Optimize
  void btnOneClickClick();  // Fast Optimize
  void btnDefaultClick();   // Reset / Return
  void BtnRestoreClick();
  void btndeleteClick();
  // The mouse moves over a service box or a tweak box: its description shows.
  void ServiceBoxMouseMove(int box);
  void TweakBoxMouseMove(int box);
  void ServiceBoxClick(int box, bool checked) { serviceBoxes_[box] = checked; }
  void TweakBoxClick(int box, bool checked) { tweakBoxes_[box] = checked; }
  void ListView1Select(int row) { selectedRow_ = row; }

  // True while an optimization or a restore runs; Abort makes it stop at its next item.
  bool Busy() const { return busy_; }
  void Abort() { aborted_ = true; }

  int Page() const { return page_; }
  int Model() const { return model_; }
  const std::string& MemoText() const { return memoText_; }
  const std::string& MemoSer() const { return memoSer_; }
  const std::string& MemoReg() const { return memoReg_; }
  const ServiceBoxes& ServiceBoxStates() const { return serviceBoxes_; }
  const TweakBoxes& TweakBoxStates() const { return tweakBoxes_; }
  const std::vector<RestorePointRow>& RestorePoints() const { return rows_; }
  int SelectedRow() const { return selectedRow_; }
  const std::string& RestorePointPath() const { return restorePointPath_; }
  const OptimizerButton& btnDefault() const { return reset_; }
  const OptimizerButton& btnOneClick() const { return fast_; }
  const OptimizerButton& btnExe() const { return optimize_; }
  const OptimizerButton& ReturnBtn() const { return back_; }
  const OptimizerButton& btnOptimize() const { return next_; }

 private:
  void ShowPage(int page);
  // Applies the service boxes and the checked tweak boxes; the number of changes that failed.
  int Optimize();
  void FillRestorePoints();
  void LeaveRestorePage();

  Platform& platform_;
  IPrompts& prompts_;
  IMessagePump& pump_;
  int page_ = 1;
  int model_ = kDefaultModel;
  std::string memoText_, memoSer_, memoReg_;
  ServiceBoxes serviceBoxes_{};
  TweakBoxes tweakBoxes_{};
  std::vector<RestorePointRow> rows_;
  int selectedRow_ = -1;
  std::string restorePointPath_;
  OptimizerButton reset_{"Reset"}, fast_{"Fast Optimize"}, optimize_{"Optimize"}, back_{"Back"}, next_{"Next"};
  bool busy_ = false;
  bool aborted_ = false;
};

}  // namespace tw
