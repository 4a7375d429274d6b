// TarnwickUpdate.exe: a small window whose one line says what the updater is doing; message boxes tell the rest.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/scan_driver.h"
#include "options/updater.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32_prompts.h"
#include "ui/win32_ui.h"

namespace {

constexpr const char* kWindowClass = "TTarnwickUpdateForm";
constexpr int kWidth = 480;
constexpr int kHeight = 150;

// The status line; the logic breaks lines with "\r", a static control with "\r\n".
class StatusLine : public tw::ITextTarget {
 public:
  explicit StatusLine(tw::Win32Label& label) : label_(label) {}
  void SetText(const std::string& text) override {
    text_ = text;
    std::string shown;
    for (char c : text) shown += c == '\r' ? std::string("\r\n") : std::string(1, c);
    label_.SetText(shown);
    label_.Flush();  // the updater's few texts are all shown, also the one under a message box
  }
  std::string Text() const override { return text_; }

 private:
  tw::Win32Label& label_;
  std::string text_;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: return 0;  // the window goes when the work is done
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

HFONT MessageFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return CreateFontIndirectA(&metrics.lfMessageFont);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursor(nullptr, IDC_WAIT);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kWindowClass;
  RegisterClassExA(&wc);

  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto scale = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  RECT frame{0, 0, scale(kWidth), scale(kHeight)};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_SYSMENU;
  AdjustWindowRect(&frame, style, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(0, kWindowClass, "Tarnwick Update", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                instance, nullptr);
  HWND text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                              scale(16), scale(16), scale(kWidth - 32), scale(kHeight - 32), window, nullptr,
                              instance, nullptr);
  HFONT font = MessageFont();
  if (font) SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  tw::Win32Label label;
  label.Attach(text);
  tw::Win32Pump pump;
  pump.AddLabel(&label);
  StatusLine status(label);
  tw::Win32Prompts prompts;
  prompts.SetOwner(window);
  if (window) {
    ShowWindow(window, showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    UpdateWindow(window);
  }

  tw::Win32Platform win32;
  tw::TUpdater updater(win32.platform, prompts, status, pump, tw::ExecutableFolder(win32.platform.files));
  const tw::UpdaterOutcome outcome = updater.Run();

  if (window) DestroyWindow(window);
  if (font) DeleteObject(font);
  return outcome == tw::UpdaterOutcome::Failed ? 1 : 0;
}
