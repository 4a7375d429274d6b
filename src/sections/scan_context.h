// What a scan section and a repair routine are handed: the process state, the platform and the screen.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/problem_records.h"
#include "platform/platform.h"

namespace tw {

// A label or panel showing one line of text. Implemented by the Win32 labels (ui/) and RecordingText (tests).
class ITextTarget {
 public:
  virtual ~ITextTarget() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

// Lets the window process pending messages. Implemented by the Win32 pump (ui/) and test pumps.
class IMessagePump {
 public:
  virtual ~IMessagePump() = default;
  virtual void ProcessMessages() = 0;
};

// ScanState values.
constexpr uint8_t kStateIdle = 0;
constexpr uint8_t kStateScanning = 1;
constexpr uint8_t kStateAbort = 2;
constexpr uint8_t kStateRepairCancelled = 4;

// The attribute words of the paths a scan has asked the file system about, keyed by the upper-cased path, so
// that a path many entries name is tested once per scan. Filled through CachedFiles (sections/cached_files.h).
struct AttributeCache {
  std::unordered_map<std::string, uint32_t> entries;
  uint64_t tests = 0;  // questions that reached the file system
  uint64_t saved = 0;  // questions answered from the cache
  void Clear() { *this = AttributeCache(); }
};

// The process-wide state the main window owns and hands to the sections and tools.
struct ProcessState {
  uint8_t ScanState = kStateIdle;
  int ProblemCounter = 0;
  int ProgressTicks = 0;
  bool SelectAll = false;                  // the "SelectAll" setting
  std::vector<std::string> SkippedDrives;  // "D:", ... on removable, network, CD-ROM and RAM drives
  TIgnoreContents Ignores;                 // the ignore list loaded at scan start
  AttributeCache FileAttributes;           // emptied at scan start
};

}  // namespace tw
