// What a scan section and a repair routine are handed: the process state, the platform and the screen.
#pragma once
#include <cstdint>
#include <string>
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

// The process-wide state the main window owns and hands to the sections and tools.
struct ProcessState {
  uint8_t ScanState = kStateIdle;
  int ProblemCounter = 0;
  int ProgressTicks = 0;
  bool SelectAll = false;                  // the "SelectAll" setting
  std::vector<std::string> SkippedDrives;  // "D:", ... on removable, network, CD-ROM and RAM drives
  TIgnoreContents Ignores;                 // the ignore list loaded at scan start
};

}  // namespace tw
