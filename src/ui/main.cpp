// The program's entry: the start-up sequence, the data module, the main window and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/win32/win32_platform.h"
#include "ui/data_module.h"
#include "ui/main_window_view.h"
#include "ui/win32_ui.h"

namespace {

// Another instance is known by the named mutex it holds from its start and found by its main window's class.
class Win32InstanceFinder : public tw::IRunningInstance {
 public:
  ~Win32InstanceFinder() override {
    if (mutex_) CloseHandle(mutex_);
  }
  bool Exists() override {
    mutex_ = CreateMutexA(nullptr, TRUE, tw::kInstanceMutexName);
    const DWORD error = GetLastError();
    // An elevated instance's mutex may refuse full access to this one, but never waiting on it.
    if (!mutex_ && error == ERROR_ACCESS_DENIED) mutex_ = OpenMutexA(SYNCHRONIZE, FALSE, tw::kInstanceMutexName);
    const bool another = mutex_ && (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED);
    if (!another) {
      window_ = FindWindowA(tw::kMainWindowClass, nullptr);
      return window_ != nullptr;
    }
    // The other instance may not have made its window yet: wait for the window, or for the other instance to end
    // without one (an elevated relaunch), after which this one runs as the only instance.
    for (DWORD waited = 0; waited < kMaxWaitMs; waited += kStepMs) {
      window_ = FindWindowA(tw::kMainWindowClass, nullptr);
      if (window_) return true;
      const DWORD result = WaitForSingleObject(mutex_, kStepMs);
      if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return false;
    }
    return true;
  }
  void AskToRestore() override {
    if (window_) PostMessageA(window_, tw::kRestoreMessage, 0, 0);
  }
  void AskToScan() override {
    if (window_) PostMessageA(window_, tw::kScanRequestMessage, 0, 0);
  }

 private:
  static constexpr DWORD kMaxWaitMs = 60000;
  static constexpr DWORD kStepMs = 50;
  HANDLE mutex_ = nullptr;
  HWND window_ = nullptr;
};

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  SetProcessDPIAware();
  tw::Win32Platform win32;
  Win32InstanceFinder running;
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  const tw::StartupResult start = tw::RunStartup(win32.platform, running, args, GetCommandLineA());
  if (start.endNow) return 0;

  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS |
                                                     ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  int status = 0;
  {
    tw::TDM dm(instance, win32.platform, ScreenDpi());
    // The data module's creation runs the automatic update check; when the updater was started, the program
    // ends before its window is made.
    if (!dm.AutomaticUpdateCheck(start.settings)) {
      tw::Win32Pump pump;
      tw::MainWindowView view(instance, win32.platform, start.settings, dm, pump, start.startArgument);
      if (view.Create(showCommand)) {
        MSG msg;
        while (!pump.QuitRequested() && GetMessageA(&msg, nullptr, 0, 0) > 0) pump.Dispatch(msg);
      } else {
        status = 1;
      }
    }
  }
  OleUninitialize();
  return status;
}
