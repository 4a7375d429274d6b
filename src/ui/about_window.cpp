#include "ui/about_window.h"

#include <commctrl.h>

#include <string>

#include "platform/reg_access.h"
#include "ui/resource.h"

namespace tw {

namespace {

struct AboutData {
  Platform& platform;
  const Settings& settings;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      auto* data = reinterpret_cast<AboutData*>(lParam);
      const std::string version = std::string("v") + kProgramVersion;
      SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, version.c_str());
      const std::string link = "<a>" + data->settings.HomePage + "</a>";
      SetDlgItemTextA(dialog, IDC_ABOUT_LINK, link.c_str());
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_ABOUT_LINK && (header->code == NM_CLICK || header->code == NM_RETURN)) {
        auto* data = reinterpret_cast<AboutData*>(GetWindowLongPtrA(dialog, DWLP_USER));
        OpenInBrowserWindow(data->platform, data->settings.HomePage);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutWindowModal(HINSTANCE instance, HWND owner, Platform& platform, const Settings& settings) {
  AboutData data{platform, settings};
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, reinterpret_cast<LPARAM>(&data));
}

}  // namespace tw
