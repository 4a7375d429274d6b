// Where the benchmark runs: the platform it scans and what its scans draw on (a status panel, a count label,
// the message pump between items). Natively a fresh in-memory platform and plain memory targets; on Windows
// the real platform and a real window with the main window's throttled pump and labels.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "sections/scan_context.h"

namespace tw::bench {

struct PumpStats {
  uint64_t calls = 0;          // calls of ProcessMessages by the sections
  uint64_t realPumps = 0;      // times the message queue was really emptied
  double longestCallGapMs = 0; // longest time between two calls
  double longestRealGapMs = 0; // longest time between two real pumps
  // The longest time between two calls less the part of it in which a second thread of the process could not get
  // an answer from the system either (the system was busy or the process was not running): the silence that
  // is the scan's own. Windows only; natively the same as longestCallGapMs.
  double longestOwnGapMs = 0;
};

class IBenchScreen {
 public:
  virtual ~IBenchScreen() = default;
  virtual ITextTarget& StatusPanel() = 0;
  virtual ITextTarget& CountLabel() = 0;
  virtual IMessagePump& Pump() = 0;
  virtual void ResetStats() = 0;
  // Shows what is pending and returns the figures since the last reset.
  virtual PumpStats Finish() = 0;
  virtual const char* Kind() const = 0;
};

std::unique_ptr<IBenchScreen> CreateBenchScreen();

class IBenchPlatform {
 public:
  virtual ~IBenchPlatform() = default;
  virtual Platform& Get() = 0;
  // True for the machine's own registry, which keeps what a run adds until it is removed.
  virtual bool IsReal() const = 0;
  // Makes a shortcut file to `target`: through the shell's link object on Windows, in the shell's table natively.
  virtual bool MakeShortcut(const std::string& link, const std::string& target) = 0;
};

// Natively an empty in-memory platform; on Windows the real one.
std::unique_ptr<IBenchPlatform> CreateBenchPlatform();

// Seconds on a steady clock.
double NowSeconds();
// The process's peak memory so far: the resident set natively, the peak working set on Windows.
uint64_t PeakMemoryBytes();

}  // namespace tw::bench
