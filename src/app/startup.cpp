#include "app/startup.h"

#include "platform/reg_access.h"

namespace tw {

namespace {

constexpr int kShowNormal = 1;

constexpr uint32_t kLeftDoubleClick = 515;
constexpr uint32_t kRightButtonDown = 516;
constexpr uint32_t kCloseRequest = 16;

}  // namespace

bool ConsumeSiblingInstallerMarker(IRegistry& reg) {
  bool set = false;
  {
    TRegistry key(reg, kCurrentUser);
    if (key.OpenKey(kSiblingKey, false)) set = key.ReadString(kSiblingMarker) == "1";
  }
  TRegistry key(reg, kCurrentUser);
  if (key.OpenKey(kSiblingKey, true)) key.DeleteValue(kSiblingMarker);
  return set;
}

bool UserAccountControlOn(IRegistry& reg) {
  TRegistry key(reg, kLocalMachine);
  if (!key.OpenKey(kPoliciesSystemKey, false)) return false;
  int32_t enabled = 0;
  return key.ReadInteger("EnableLUA", &enabled) && enabled != 0;
}

bool RelaunchElevatedIfNeeded(Platform& platform, const std::string& arguments) {
  if (platform.system.Version().major <= 5) return false;
  if (ConsumeSiblingInstallerMarker(platform.registry)) return false;
  if (!UserAccountControlOn(platform.registry)) return false;
  TRegistry key(platform.registry, kCurrentUser);
  if (!key.OpenKey(kSettingsKey, true)) return false;
  if (key.ReadString(kElevationMarker) == "1") {
    key.WriteString(kElevationMarker, "");
    return false;
  }
  key.WriteString(kElevationMarker, "1");
  // The elevated instance gets the same arguments, so a scheduled "-Scan" still scans.
  platform.shell.Execute("runas", platform.files.ExecutablePath(), arguments, "", kShowNormal);
  return true;
}

StartupResult RunStartup(Platform& platform, IRunningInstance& running, const std::vector<std::string>& args,
                         const std::string& commandLine) {
  StartupResult result;
  if (running.Exists()) {
    // The daily scheduled scan must happen also while the program lives on in the tray.
    if (StartsAScan(StartArgument(args))) running.AskToScan();
    else running.AskToRestore();
    result.endNow = true;
    return result;
  }
  if (RelaunchElevatedIfNeeded(platform, CommandLineTail(commandLine))) {
    result.endNow = true;
    return result;
  }
  result.settings = LoadSettings(platform.registry);
  result.startArgument = StartArgument(args);
  return result;
}

std::string CommandLineTail(const std::string& commandLine) {
  size_t i = commandLine.find_first_not_of(" \t");
  if (i == std::string::npos) return "";
  if (commandLine[i] == '"') {
    // A quoted program name ends at its closing quote, as the system splits it.
    const size_t close = commandLine.find('"', i + 1);
    i = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  const size_t tail = commandLine.find_first_not_of(" \t", i);
  return tail == std::string::npos ? "" : commandLine.substr(tail);
}

std::string StartArgument(const std::vector<std::string>& args) { return args.empty() ? "" : args.front(); }

int OsPlatformCode(uint32_t platformId) {
  switch (platformId) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    default: return 0;
  }
}

std::string TrayTip(const std::string& caption) { return caption.substr(0, kTrayTipLength); }

TrayAction TrayCallbackAction(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case kLeftDoubleClick: return TrayAction::Restore;
    case kRightButtonDown: return TrayAction::PopupMenu;
    case kCloseRequest: return TrayAction::AbortAndExit;
    default: return TrayAction::None;
  }
}

bool StartsAScan(const std::string& startArgument) {
  return startArgument.find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace tw
