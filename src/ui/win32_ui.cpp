#include "ui/win32_ui.h"

namespace tw {

double NowMs() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

void Win32Label::SetText(const std::string& text) {
  text_ = text;
  pending_ = text_ != shown_;
  if (!pending_) return;
  const double now = NowMs();
  if (now - lastShown_ >= kMinIntervalMs) Show(now);
}

void Win32Label::Flush(bool force) {
  if (!pending_) return;
  const double now = NowMs();
  if (force || now - lastShown_ >= kMinIntervalMs) Show(now);
}

void Win32Label::Show(double now) {
  if (window_) SetWindowTextA(window_, text_.c_str());
  shown_ = text_;
  pending_ = false;
  lastShown_ = now;
}

void Win32Pump::RemoveLabel(Win32Label* label) { std::erase(labels_, label); }

void Win32Pump::ProcessMessages() {
  if (NowMs() - lastPump_ < kMinIntervalMs) return;
  ProcessNow();
}

void Win32Pump::ProcessNow() {
  for (Win32Label* label : labels_) label->Flush(false);
  MSG msg;
  while (!quit_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Put back for any modal loop that runs before the main loop sees the flag.
      quit_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    Dispatch(msg);
  }
  lastPump_ = NowMs();
}

void Win32Pump::Dispatch(MSG& msg) {
  if (dialog_ && IsDialogMessageA(dialog_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace tw
