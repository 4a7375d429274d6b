// The tools page AdvancedPanel and the rule of the left button bar for its tool windows: any click on the bar
// first frees the optimizer and startup manager windows, so those two are created anew at every opening; the
// uninstall manager, disk cleaner and browser repair windows are created at their first opening and kept.
// One tool window is shown at a time.
#pragma once
#include <array>
#include <cstddef>

namespace tw {

// The buttons of the left bar, top to bottom.
enum class BarButton { Scan, Backup, SystemOptimize, ManageStartup, UninstallManager, DiskCleaner, IERestore };
constexpr int kBarButtonCount = 7;

// The caption of a bar button, also its name for screen readers.
constexpr const char* BarButtonCaption(BarButton button) {
  constexpr const char* kCaptions[kBarButtonCount] = {"Registry Scan",     "Backup",       "System Optimizer",
                                                      "Startup Manager",   "Uninstall Manager", "Disk Cleaner",
                                                      "IE Restore"};
  return kCaptions[static_cast<int>(button)];
}

// True for the five buttons that open a tool window on the tools page.
constexpr bool IsToolButton(BarButton button) { return button != BarButton::Scan && button != BarButton::Backup; }
// True for the tool windows that are freed at every click on the bar.
constexpr bool FreedAtEveryClick(BarButton tool) {
  return tool == BarButton::SystemOptimize || tool == BarButton::ManageStartup;
}

// The tool windows in AdvancedPanel. Implemented by ToolPageHost (ui/tool_page_host) and RecordingToolWindows
// (tests).
class IToolWindows {
 public:
  virtual ~IToolWindows() = default;
  // Creates the window of `tool`, hidden, filling AdvancedPanel; false when it could not be created.
  virtual bool Create(BarButton tool) = 0;
  virtual void Free(BarButton tool) = 0;
  virtual void Show(BarButton tool, bool shown) = 0;
  // True while the tool's window runs a long loop (a drive scan, a cleanup, optimizing, restoring).
  virtual bool Busy(BarButton tool) = 0;
  // Asks the tool's long loop to stop at its next item.
  virtual void Abort(BarButton tool) = 0;
};

class TToolPages {
 public:
  explicit TToolPages(IToolWindows& windows) : windows_(windows) {}

  // A click on `button` of the bar (the bar itself ignores clicks while a scan or repair runs or Busy() holds):
  // frees the optimizer and startup manager windows, hides the shown window, and for a tool button shows the
  // tool's window, creating it when it does not exist.
  void BarClick(BarButton button);
  bool Exists(BarButton tool) const { return exists_[Index(tool)]; }
  // The tool whose window is shown, BarButton::Scan for none.
  BarButton Shown() const { return shown_; }
  // True while the shown tool runs a long loop.
  bool Busy() { return shown_ != BarButton::Scan && windows_.Busy(shown_); }
  // The program ends: a running long loop of the shown tool stops at its next item.
  void AbortShown();

 private:
  static size_t Index(BarButton tool) { return static_cast<size_t>(tool); }

  IToolWindows& windows_;
  std::array<bool, kBarButtonCount> exists_{};
  BarButton shown_ = BarButton::Scan;
};

}  // namespace tw
