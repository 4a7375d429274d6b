// Start-up and tray life: the single-instance test, the elevated relaunch, the start argument and the
// decisions of the tray icon.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/platform.h"

namespace tw {

constexpr const char* kMainWindowClass = "TTarnwickForm";
// Held by the running instance from its start, before its window exists, so that two starts at the same moment
// cannot both run.
constexpr const char* kInstanceMutexName = "TarnwickSingleInstance";
// Held while the registry is scanned or repaired, by the window and by the console front end's repair.
constexpr const char* kRegistryWorkLockName = "TarnwickRegistryWork";
constexpr uint32_t kRestoreMessage = 0x2400;       // a second instance asks the first to restore itself
constexpr uint32_t kScanRequestMessage = 0x2401;   // a second instance with a start argument asks for a scan
constexpr uint32_t kTrayCallbackMessage = 0x500;   // the tray icon's callback, lParam the mouse message
constexpr uint32_t kTrayIconId = 0;
constexpr uint32_t kTrayIconFlags = 7;             // message + icon + tip
constexpr size_t kTrayTipLength = 63;

constexpr const char* kSiblingKey = "SOFTWARE\\Pellamont";
constexpr const char* kSiblingMarker = "setup";
constexpr const char* kElevationMarker = "vista";
constexpr const char* kPoliciesSystemKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";

// Finds a running instance by its main window class and posts it the restore or the scan request.
// Implemented by Win32InstanceFinder (ui/main.cpp) and test doubles.
class IRunningInstance {
 public:
  virtual ~IRunningInstance() = default;
  virtual bool Exists() = 0;
  virtual void AskToRestore() = 0;
  // Restore, and scan as at a first activation when idle.
  virtual void AskToScan() = 0;
};

struct StartupResult {
  bool endNow = false;  // another instance runs, or an elevated one was asked for
  Settings settings;
  std::string startArgument;
};

// The start-up sequence before any window is made. `args` are the command-line arguments without the program
// name; `commandLine` is the whole command line as the system gave it.
StartupResult RunStartup(Platform& platform, IRunningInstance& running, const std::vector<std::string>& args,
                         const std::string& commandLine);

// Reads the sibling installer's marker and deletes it; true when it read "1".
bool ConsumeSiblingInstallerMarker(IRegistry& reg);
bool UserAccountControlOn(IRegistry& reg);
// On a system with User Account Control, asks once for an elevated instance, handing it `arguments`;
// true when this process must end now.
bool RelaunchElevatedIfNeeded(Platform& platform, const std::string& arguments);

// The command line without the program name and the blanks after it, otherwise exactly as given.
std::string CommandLineTail(const std::string& commandLine);
// The first argument exactly as passed, empty without one.
std::string StartArgument(const std::vector<std::string>& args);
// True when the start argument asks for a scan: anything but blanks.
bool StartsAScan(const std::string& startArgument);
// 1 for Win32s, 2 for the Windows 9x family, 4 for the NT family, 0 for anything else.
int OsPlatformCode(uint32_t platformId);
// The tray icon's tip: the caption cut to 63 characters.
std::string TrayTip(const std::string& caption);

enum class TrayAction { None, Restore, PopupMenu, AbortAndExit };
TrayAction TrayCallbackAction(uint32_t mouseMessage);

}  // namespace tw
