#include "app/scan_driver.h"

#include "app/ignore_list.h"

namespace tw {

TScanDriver::TScanDriver(Platform& platform, ProcessState& state, ProblemLists& lists, IScanPage& page,
                         const SectionDef* table)
    : platform_(platform), state_(state), lists_(lists), page_(page), table_(table) {}

void TScanDriver::Run() {
  for (int i = 0; i < kSectionCount; ++i) page_.SetIconImage(i, kImageNone);
  const std::string folder = ExecutableFolder(platform_.files);
  LoadIgnoreList(platform_.files, folder + kIgnoreFileName, state_.Ignores);
  state_.ProblemCounter = 0;
  state_.ProgressTicks = 0;
  state_.FileAttributes.Clear();
  frame_ = kImageFirstFrame;
  page_.StartScanTimer();
  for (int i = 0; i < kSectionCount && state_.ScanState != kStateAbort; ++i) {
    // A section without a scanner yet is not scanned: its icon stays empty and it shows no count.
    currentSection_ = page_.IconTag(i) > 0 && table_[i].scanner ? i + 1 : -1;
    if (currentSection_ > 0) RunSection(i);
  }
  page_.StopScanTimer();
  currentSection_ = -1;
  WriteScanResult(platform_, folder + kScanResultFileName, lists_, table_);
}

void TScanDriver::RunSection(int index) {
  const SectionDef& def = table_[index];
  ITextTarget& countLabel = page_.CountLabel(index);
  countLabel.SetText("0");
  ScanContext ctx{platform_, state_, page_.Pump(), page_.StatusPanel(), countLabel, lists_.Sections[def.number]};
  def.scanner(ctx, def.root, def.keyPath ? def.keyPath : "");
  if (def.secondRoot != 0 && state_.ScanState != kStateAbort)
    def.scanner(ctx, def.secondRoot, def.keyPath ? def.keyPath : "");
  page_.SetIconImage(index, kImageNone);
  page_.SetIconImage(index, countLabel.Text() != "0" ? kImageProblemsFound : kImageNothingFound);
}

void TScanDriver::TimerTick() {
  if (frame_ > kImageLastFrame) frame_ = kImageFirstFrame;
  if (currentSection_ > 0) page_.SetIconImage(currentSection_ - 1, frame_);
  ++frame_;
}

std::string ExecutableFolder(IFiles& files) {
  const std::string exe = files.ExecutablePath();
  const size_t slash = exe.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

void WriteScanResult(Platform& platform, const std::string& path, const ProblemLists& lists,
                     const SectionDef* table) {
  // The profile functions may cache a file; emptying the group through them first keeps such a cache from
  // bringing old entries back into the new file.
  if (platform.files.FileExists(path)) {
    platform.profile.DeleteSection(path, kScanResultGroup);
    platform.files.RemoveFile(path);
  }
  if (lists.TotalCount() == 0) return;
  const std::string temp = path + ".tmp";
  if (platform.files.FileExists(temp)) {
    platform.profile.DeleteSection(temp, kScanResultGroup);
    platform.files.RemoveFile(temp);
  }
  for (int i = 0; i < kSectionCount; ++i) {
    const int count = lists.Sections[table[i].number].Count();
    if (count > 0) platform.profile.WriteString(temp, kScanResultGroup, table[i].caption, std::to_string(count));
  }
  platform.files.MoveFileTo(temp, path);
}

}  // namespace tw
