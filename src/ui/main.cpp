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

// Another instance is found by its main window's class.
class Win32InstanceFinder : public tw::IRunningInstance {
 public:
  bool Exists() override {
    window_ = FindWindowA(tw::kMainWindowClass, nullptr);
    return window_ != nullptr;
  }
  void AskToRestore() override { PostMessageA(window_, tw::kRestoreMessage, 0, 0); }
  void AskToScan() override { PostMessageA(window_, tw::kScanRequestMessage, 0, 0); }

 private:
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
    tw::Win32Pump pump;
    tw::MainWindowView view(instance, win32.platform, start.settings, dm, pump, start.startArgument);
    if (view.Create(showCommand)) {
      MSG msg;
      while (!pump.QuitRequested() && GetMessageA(&msg, nullptr, 0, 0) > 0) pump.Dispatch(msg);
    } else {
      status = 1;
    }
  }
  OleUninitialize();
  return status;
}
