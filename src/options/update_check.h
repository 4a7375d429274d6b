// The update check: fetches "Update.ini" from the product's web site, compares the version it names with the
// running one and hands over to the updater "TarnwickUpdate.exe".
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/prompts.h"
#include "app/settings.h"
#include "platform/platform.h"

namespace tw {

constexpr const char* kUpdateFileName = "Update.ini";
constexpr const char* kUpdaterFileName = "TarnwickUpdate.exe";
constexpr uint32_t kUpdateReadTimeoutMs = 5000;
constexpr size_t kUpdateFileLimit = 64 * 1024;

// Compares two versions, dot-separated decimal numbers ("3.0", "10.2.1"), part by part as numbers; a missing part
// counts as 0. Negative, zero or positive as `a` is older, the same or newer; nothing when either is not a version.
std::optional<int> CompareVersions(const std::string& a, const std::string& b);

// The update address: the string value "UpdateURL" of the settings key when it is not empty, else the built-in one.
std::string UpdateAddress(IRegistry& reg);

enum class UpdateCheckResult {
  Failed,          // no complete HTTP 200 answer, or the local copy could not be replaced
  UpToDate,
  UpdateAvailable,
};

class TUpdateCheck {
 public:
  // `exeFolder` is the executable's folder with its trailing backslash.
  TUpdateCheck(Platform& platform, IPrompts& prompts, std::string exeFolder);

  // Downloads "Update.ini" into the executable's folder and compares its version with the running one.
  UpdateCheckResult Run();
  // True when an update is available.
  bool Check() { return Run() == UpdateCheckResult::UpdateAvailable; }

  // The question and the hand-over; both return true when the program must end now (Yes, and the updater
  // started). At start-up, when the setting "CheckUpdate" is on: silent unless an update exists.
  bool AutomaticCheck();
  // Start-up: the automatic check when the loaded setting "CheckUpdate" is on, otherwise no request at all.
  bool AtStartup(const Settings& settings) { return settings.CheckUpdate && AutomaticCheck(); }
  // The tray's "Update on line", the options window's and the main window's update buttons: says so when the
  // program is up to date; a failed download ends it silently.
  bool ManualCheck();

 private:
  bool AskAndStartUpdater();

  Platform& platform_;
  IPrompts& prompts_;
  std::string exeFolder_;
};

}  // namespace tw
