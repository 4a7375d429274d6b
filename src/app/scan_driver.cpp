#include "app/scan_driver.h"

#include "app/ignore_list.h"

namespace tw {

TScanDriver::TScanDriver(Platform& platform, ProcessState& state, ProblemLists& lists, IScanPage& page,
                         const SectionDef* table)
    : platform_(platform), state_(state), lists_(lists), page_(page), table_(table) {}

void TScanDriver::Run() {
  for (int i = 0; i < kSectionCount; ++i) page_.SetIconImage(i, kImageNone);
  const std::string folder = ExecutableFolder(platform_.files);
  ignoreListUnreadable_ = !LoadIgnoreList(platform_.files, folder + kIgnoreFileName, state_.Ignores);
  // Without the entries the user excluded, nothing found may be repaired unless the user ticks it.
  const bool selectAll = state_.SelectAll;
  if (ignoreListUnreadable_) state_.SelectAll = false;
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
  state_.SelectAll = selectAll;
  if (!WriteScanResult(platform_, folder + kScanResultFileName, lists_, table_))
    page_.StatusPanel().SetText(kScanResultStaleText);
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

bool WriteScanResult(Platform& platform, const std::string& path, const ProblemLists& lists,
                     const SectionDef* table) {
  IFiles& files = platform.files;
  // The profile functions may cache a file; emptying the group through them first keeps such a cache from
  // bringing old entries back into the new file.
  auto remove = [&](const std::string& file) {
    if (files.Attributes(file) == kInvalidAttributes) return true;
    platform.profile.DeleteSection(file, kScanResultGroup);
    return files.RemoveFile(file) || files.Attributes(file) == kInvalidAttributes;
  };
  if (!remove(path)) return false;
  if (lists.TotalCount() == 0) return true;
  const std::string temp = path + ".tmp";
  // A temporary file that cannot be removed holds someone else's entries: it is never renamed into place.
  if (!remove(temp)) return true;
  bool written = true;
  for (int i = 0; i < kSectionCount && written; ++i) {
    const int count = lists.Sections[table[i].number].Count();
    if (count > 0) written = platform.profile.WriteString(temp, kScanResultGroup, table[i].caption, std::to_string(count));
  }
  if (!written || !files.MoveFileTo(temp, path)) remove(temp);
  return true;
}

}  // namespace tw
