// The Win32 side of the screen interfaces: throttled labels and the throttled message pump.
// Under Wine a PeekMessage costs about 15 us and a relabel about 65 us, so both do their work only when enough
// time has passed; the newest text is always the one shown in the end.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "sections/scan_context.h"

namespace tw {

// Milliseconds from a steady high-resolution clock.
double NowMs();

// A label or panel window. Implemented for the main window's count labels and status panel.
class Win32Label : public ITextTarget {
 public:
  static constexpr double kMinIntervalMs = 30;

  void Attach(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  // Shows the text at once when the last shown text is old enough, otherwise keeps it for Flush.
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }
  // Shows a kept text when the interval has passed (or at once with `force`).
  void Flush(bool force = true);

 private:
  void Show(double now);

  HWND window_ = nullptr;
  std::string text_;
  std::string shown_;
  bool pending_ = false;
  double lastShown_ = -1e9;
};

class Win32Pump : public IMessagePump {
 public:
  static constexpr double kMinIntervalMs = 10;

  // Keyboard navigation (Tab, Space) goes to this window's controls.
  void SetDialogWindow(HWND window) { dialog_ = window; }
  // Labels whose kept texts are shown at each real pump.
  void AddLabel(Win32Label* label) { labels_.push_back(label); }
  void RemoveLabel(Win32Label* label);
  // Dispatches the pending messages when the last real pump is old enough.
  void ProcessMessages() override;
  // Dispatches the pending messages now.
  void ProcessNow();
  // True once WM_QUIT was seen in a nested pump (it is posted again); the main loop then ends and nested
  // pumps dispatch nothing more.
  bool QuitRequested() const { return quit_; }
  // Dispatches one message as the main loop does.
  void Dispatch(MSG& msg);

 private:
  HWND dialog_ = nullptr;
  std::vector<Win32Label*> labels_;
  double lastPump_ = -1e9;
  bool quit_ = false;
};

}  // namespace tw
