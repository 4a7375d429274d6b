#include "optimizer/optimizer.h"

#include "optimizer/restore_point.h"
#include "platform/ansi_case.h"
#include "sections/scan_context.h"

namespace tw {
namespace {

constexpr const char* kHint = "Hint";
constexpr const char* kTarnwick = "Tarnwick";
constexpr const char* kChooseFirst = "You have to choose options from the list at first";

std::string FailureNote(int failures) {
  return failures == 1 ? "1 change could not be written." : std::to_string(failures) + " changes could not be written.";
}

// True when `name` holds "speed" in any letter case.
bool NamesSpeed(const std::string& name) {
  for (size_t i = 0; i + 5 <= name.size(); ++i)
    if (EqualNoCase(std::string_view(name).substr(i, 5), "speed")) return true;
  return false;
}

// Sets `busy` for the lifetime of the guard.
class BusyGuard {
 public:
  explicit BusyGuard(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyGuard() { busy_ = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  bool& busy_;
};

}  // namespace

TOptimizeForm::TOptimizeForm(Platform& platform, IPrompts& prompts, IMessagePump& pump)
    : platform_(platform), prompts_(prompts), pump_(pump) {
  FormCreate();
}

void TOptimizeForm::FormCreate() {
  page_ = 1;
  optimize_.visible = false;
  next_.visible = true;
  memoText_ = ServiceModels()[kDefaultModel].description;
}

void TOptimizeForm::RGModeClick(int model) {
  if (busy_ || model < 0 || model >= kModelCount) return;
  model_ = model;
  memoText_ = ServiceModels()[model].description;
}

void TOptimizeForm::ShowPage(int page) {
  const bool changed = page != page_;
  page_ = page;
  // Notebook1PageChanged: the tweak boxes take the model's pattern whenever page "3" becomes active.
  if (changed && page == 3) PresetTweakBoxes(model_, tweakBoxes_);
}

void TOptimizeForm::btnOptimizeClick() {
  if (busy_) return;
  if (page_ == 1) {
    ShowPage(2);
    reset_.enabled = false;
    PresetServiceBoxes(model_, serviceBoxes_);
  } else if (page_ == 2) {
    ShowPage(3);
    optimize_.visible = true;
    reset_.enabled = false;
    next_.visible = false;
  }
}

void TOptimizeForm::ReturnBtnClick() {
  if (busy_) return;
  optimize_.visible = false;
  next_.visible = true;
  if (page_ == 2) {
    ShowPage(1);
    next_.enabled = fast_.enabled = reset_.enabled = true;
  }
  if (page_ == 3) {
    ShowPage(2);
    fast_.enabled = true;
  }
}

int TOptimizeForm::Optimize() {
  BusyGuard guard(busy_);
  aborted_ = false;
  restorePointPath_ = NewRestorePointPath(platform_);
  OptimizationRun run(platform_, restorePointPath_);
  run.RecordServices();
  const auto& services = ServiceBoxTable();
  for (int i = 0; i < kServiceBoxCount && !aborted_; ++i) {
    pump_.ProcessMessages();
    run.SwitchService(services[i].service, serviceBoxes_[i]);
  }
  for (int i = 0; i < kTweakCount && !aborted_; ++i) {
    if (!tweakBoxes_[i]) continue;
    pump_.ProcessMessages();
    run.ApplyTweak(Tweaks()[i]);
  }
  return run.Failures();
}

void TOptimizeForm::btnExeClick() {
  if (busy_) return;
  const int failures = Optimize();
  if (failures == 0)
    prompts_.Tell(kHint,
                  "system optimization is finished,if you want to recover back\r\nto the previous system setup,please "
                  "click Reset.",
                  PromptIcon::Information);
  else
    prompts_.Tell(kHint, "system optimization is finished, but " + FailureNote(failures) +
                             "\r\nTo go back to the previous system setup, please click Reset.",
                  PromptIcon::Warning);
  reset_.enabled = true;
}

void TOptimizeForm::btnOneClickClick() {
  if (busy_) return;
  PresetServiceBoxes(model_, serviceBoxes_);
  PresetTweakBoxes(model_, tweakBoxes_);
  const int failures = Optimize();
  if (failures == 0)
    prompts_.Tell(kTarnwick, "System Optimization Completed", PromptIcon::Information);
  else
    prompts_.Tell(kTarnwick, "System Optimization Completed, but " + FailureNote(failures), PromptIcon::Warning);
}

void TOptimizeForm::btnDefaultClick() {
  if (busy_) return;
  if (page_ == 4) {
    LeaveRestorePage();
    return;
  }
  reset_.caption = "Return";
  ShowPage(4);
  optimize_.enabled = fast_.enabled = next_.enabled = back_.enabled = false;
  FillRestorePoints();
}

void TOptimizeForm::LeaveRestorePage() {
  reset_.caption = "Reset";
  ShowPage(1);
  optimize_.enabled = fast_.enabled = next_.enabled = back_.enabled = true;
}

void TOptimizeForm::FillRestorePoints() {
  rows_.clear();
  selectedRow_ = -1;
  IFiles& files = platform_.files;
  const std::string folder = RestorePointFolder(files);
  FindData data;
  FindHandle find = files.FindFirst(folder + "*.ini", &data);
  if (!find) return;
  do {
    if (data.name == "." || data.name == ".." || !NamesSpeed(data.name)) continue;
    rows_.push_back({data.name, folder + data.name});
  } while (files.FindNext(find, &data));
  files.FindClose(find);
}

void TOptimizeForm::BtnRestoreClick() {
  if (busy_) return;
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) {
    prompts_.Tell(kHint, kChooseFirst, PromptIcon::Information);
    return;
  }
  const std::string path = rows_[static_cast<size_t>(selectedRow_)].path;
  if (!platform_.files.FileExists(path)) return;
  RestoreOutcome outcome;
  {
    BusyGuard guard(busy_);
    outcome = RestoreFromPoint(platform_, path, &pump_);
  }
  if (outcome.restored == 0 && outcome.failures == 0)
    prompts_.Tell(kHint, "Nothing could be restored from this restore point.", PromptIcon::Warning);
  else if (outcome.failures > 0)
    prompts_.Tell(kHint, "Reset finished, but " + FailureNote(outcome.failures), PromptIcon::Warning);
  else
    prompts_.Tell(kHint, "Reset successful!", PromptIcon::Information);
}

void TOptimizeForm::btndeleteClick() {
  if (busy_) return;
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) {
    prompts_.Tell(kHint, kChooseFirst, PromptIcon::Information);
    return;
  }
  if (!platform_.files.RemoveFile(rows_[static_cast<size_t>(selectedRow_)].path)) return;
  prompts_.Tell(kHint, "Deletion Completed", PromptIcon::Information);
  LeaveRestorePage();
}

void TOptimizeForm::ServiceBoxMouseMove(int box) {
  if (box >= 0 && box < kServiceBoxCount) memoSer_ = ServiceBoxTable()[box].description;
}

void TOptimizeForm::TweakBoxMouseMove(int box) {
  if (box >= 0 && box < kTweakCount) memoReg_ = Tweaks()[box].description;
}

}  // namespace tw
