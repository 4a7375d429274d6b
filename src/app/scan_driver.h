// The scan driver: runs the selected sections of the section table one after another, animates the icon of the
// section at work and writes the "ScanResult" file at the end.
#pragma once
#include <string>

#include "app/problem_records.h"
#include "platform/platform.h"
#include "sections/scan_context.h"
#include "sections/section_table.h"

namespace tw {

// Indexes of the data module's StatImageList.
constexpr int kImageNone = -1;  // the icon's picture is cleared
constexpr int kImageSectionOff = 0;
constexpr int kImageSectionOn = 1;
constexpr int kImageFirstFrame = 4;
constexpr int kImageLastFrame = 10;
constexpr int kImageNothingFound = 11;
constexpr int kImageProblemsFound = 12;
constexpr int kStatImageCount = 13;

constexpr const char* kScanResultFileName = "ScanResult";
// Shown in the status panel when a "ScanResult" from an earlier scan could not even be removed.
constexpr const char* kScanResultStaleText = "ScanResult could not be replaced: it is from an earlier scan";
constexpr const char* kScanResultGroup = "Scan";

// The scan page parts the driver works on. Implemented by TTarnwickForm (app/main_window) and test pages.
class IScanPage {
 public:
  virtual ~IScanPage() = default;
  virtual int IconTag(int index) const = 0;  // index 0 to 16, section 1 to 17
  virtual void SetIconImage(int index, int image) = 0;
  virtual ITextTarget& CountLabel(int index) = 0;
  virtual ITextTarget& StatusPanel() = 0;
  virtual IMessagePump& Pump() = 0;
  virtual void StartScanTimer() = 0;
  virtual void StopScanTimer() = 0;
};

class TScanDriver {
 public:
  // `table` holds kSectionCount entries, section 1 first.
  TScanDriver(Platform& platform, ProcessState& state, ProblemLists& lists, IScanPage& page,
              const SectionDef* table = SectionTable());

  // Runs every selected section in order as long as no abort is requested, then writes "ScanResult". When the
  // ignore list is there but cannot be read, the findings start unselected.
  void Run();
  // Whether the last run found the ignore list unreadable.
  bool IgnoreListUnreadable() const { return ignoreListUnreadable_; }
  // One tick of the animation timer.
  void TimerTick();

  int CurrentSection() const { return currentSection_; }  // 1 to 17, -1 for none
  int Frame() const { return frame_; }

 private:
  void RunSection(int index);

  Platform& platform_;
  ProcessState& state_;
  ProblemLists& lists_;
  IScanPage& page_;
  const SectionDef* table_;
  int currentSection_ = -1;
  int frame_ = kImageFirstFrame;
  bool ignoreListUnreadable_ = false;
};

// The executable's folder with its trailing backslash.
std::string ExecutableFolder(IFiles& files);

// Replaces the result file at `path`: the old file goes; when any section found problems, a new one holds one
// "Scan" entry per such section, its caption with its count. The new file appears complete or not at all; a
// temporary file left over from before is never taken for it. False when the old file could not be removed, so
// that what stands at `path` is not this scan's result.
bool WriteScanResult(Platform& platform, const std::string& path, const ProblemLists& lists,
                     const SectionDef* table = SectionTable());

}  // namespace tw
