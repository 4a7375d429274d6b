// Optimizer restore points: an initialisation file "RepairBackup\speedRestore<yyyymmdd_hhnnss>.ini" with one
// section per applied tweak (the section names of the tweak catalogue, previous values under "F1" to "F4").
// Beside them each section lists in "Absent" the values that did not exist before the change and in "Created"
// the keys the change made ("HKEY_...\path", separated by "|"), so a restore removes exactly what the change
// added. The section "Service start types" holds each managed service's previous "Start" value, with "Absent"
// and "Running" (the services that ran) beside them.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "optimizer/service_models.h"
#include "optimizer/tweak_catalogue.h"
#include "platform/platform.h"

namespace tw {

class IMessagePump;

constexpr const char* kServicesSectionName = "Service start types";

// The restore-point path for a run started now: "<program folder>RepairBackup\speedRestore<stamp>.ini",
// "..._2.ini" and on when that name is taken. Creates the folder (one level) when missing.
std::string NewRestorePointPath(Platform& platform);
// "RepairBackup\" beside the executable, with its trailing backslash.
std::string RestorePointFolder(IFiles& files);

// One optimization run: records into its restore point, then changes; counts the changes that failed.
class OptimizationRun {
 public:
  OptimizationRun(Platform& platform, std::string path) : platform_(platform), path_(std::move(path)) {}

  // Records the managed services' "Start" values and running states (once per run).
  void RecordServices();
  // Switches one service as its box says; a "Start" value that could not be written counts as a failure.
  void SwitchService(const std::string& service, bool enable);
  // Records the tweak's section (the first time the run meets it) and applies the tweak's change. When the
  // record cannot be written the change is not made and counts as failed.
  void ApplyTweak(const Tweak& tweak);
  int Failures() const { return failures_; }

 private:
  bool RecordSection(const RestoreSection& section);
  void Change(const RestoreSection& section);

  Platform& platform_;
  std::string path_;
  std::set<int> recorded_;
  bool servicesRecorded_ = false;
  int failures_ = 0;
};

struct RestoreOutcome {
  int restored = 0;  // values and services written back or removed
  int failures = 0;  // writes that failed
};

// Restores every section the file holds (sections 1 to 29 in order, then the services), pumping between
// sections. Unreadable parts are passed over.
RestoreOutcome RestoreFromPoint(Platform& platform, const std::string& path, IMessagePump* pump);

}  // namespace tw
