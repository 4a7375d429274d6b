// A tool window on the tools page: the optimizer, the startup manager, the uninstall manager, the disk cleaner
// and the browser repair each show as a frameless child window filling the main window's AdvancedPanel.
//
// The host (ui/tool_page_host) follows the bar's rule kept by the main window's controller (app/tool_pages.h):
// it makes a tool's view with the tool's factory, calls Create when the tool opens (the window starts hidden),
// Show(true/false) as the bar switches, Resize when AdvancedPanel changes size, and frees the view (whose
// destructor destroys the window) when the rule frees it or the main window goes. The optimizer and startup
// manager views are freed at every click on the bar; the other three live as long as the main window.
//
// How to add a tool view:
//   1. Write ui/<tool>_window.{h,cpp} with a class derived from ToolWindow below. It owns the tool's controller
//      (made from the context: platform, settings, process state, prompts, pump), creates its controls in
//      OnCreate with MakeControl, places them in OnLayout, and forwards WM_COMMAND / WM_NOTIFY to the
//      controller's handlers in OnCommand / OnNotify. Draw with Context().theme (see ui/theme.h): fonts, sizes
//      through S(), owner-drawn buttons, cards. Give every control its caption as window text (screen readers
//      read it) and WS_TABSTOP where the keyboard should stop; Tab walks into the tool window by itself.
//   2. Declare its factory in the header: std::unique_ptr<IToolView> Make<Tool>Window(const ToolViewContext&).
//   3. Add one line to kToolViews in ui/tool_views.cpp: {BarButton::DiskCleaner, MakeDiskCleanerWindow}.
//   A tool without a line there shows the placeholder view naming it.
// A long loop (a drive scan, a cleanup, optimizing, restoring) pumps through Context().pump and answers Busy()
// with true meanwhile, so the bar ignores clicks and the window is not freed under it; Abort() (the program is
// ending) makes the loop stop at its next item.
#pragma once
#include <windows.h>

#include <memory>

#include "app/prompts.h"
#include "app/settings.h"
#include "app/tool_pages.h"
#include "platform/platform.h"
#include "sections/scan_context.h"
#include "ui/theme.h"

namespace tw {

class TDM;
class Win32Pump;

// What a tool view gets from the main window; every reference outlives the view.
struct ToolViewContext {
  HINSTANCE instance;
  HWND mainWindow;          // the owner of a tool's modal dialogs and message boxes
  Platform& platform;
  const Settings& settings;
  ProcessState& state;      // ScanState and the rest of the process-wide state
  TDM& dm;                  // image lists and the application icon
  Win32Pump& pump;          // an IMessagePump for long loops; its labels are flushed at each real pump
  IPrompts& prompts;        // message boxes owned by the main window
  const Theme& theme;
};

class IToolView {
 public:
  virtual ~IToolView() = default;  // destroys the window
  // Creates the window, hidden, as a frameless child of `panel` at `bounds` (panel coordinates); false when it
  // could not be made (the host then shows nothing and tries again at the next opening).
  virtual bool Create(HWND panel, const RECT& bounds) = 0;
  virtual HWND Window() const = 0;
  virtual void Resize(const RECT& bounds) = 0;
  virtual void Show(bool shown) = 0;
  // True while a long loop runs.
  virtual bool Busy() const { return false; }
  // Stops a running long loop at its next item.
  virtual void Abort() {}
};

using ToolViewFactory = std::unique_ptr<IToolView> (*)(const ToolViewContext& context);

// The view of `tool` (one of the five tool buttons) made by its registered factory, or the placeholder.
std::unique_ptr<IToolView> MakeToolView(BarButton tool, const ToolViewContext& context);

// The plumbing every tool window shares: a frameless child window of the tool window class with
// WS_EX_CONTROLPARENT (Tab walks into it), painted in the content colour, its children's messages routed to
// the virtual handlers below, BS_OWNERDRAW buttons drawn as the theme's action buttons.
class ToolWindow : public IToolView {
 public:
  explicit ToolWindow(const ToolViewContext& context) : context_(context) {}
  ~ToolWindow() override;
  ToolWindow(const ToolWindow&) = delete;
  ToolWindow& operator=(const ToolWindow&) = delete;

  bool Create(HWND panel, const RECT& bounds) final;
  HWND Window() const final { return window_; }
  void Resize(const RECT& bounds) final;
  void Show(bool shown) final;

 protected:
  // Creates the controls; the window exists with its size. False gives up the creation.
  virtual bool OnCreate() = 0;
  // Places the controls in a client area of this size (after OnCreate and at every resize).
  virtual void OnLayout(int /*width*/, int /*height*/) {}
  virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }
  // Owner-drawn items; the default draws a BS_OWNERDRAW button as the theme's action button.
  virtual void OnDrawItem(DRAWITEMSTRUCT* item);
  virtual void OnMeasureItem(MEASUREITEMSTRUCT* /*item*/) {}
  // The background behind the controls; the default fills the content colour.
  virtual void OnPaint(HDC dc, const RECT& client);
  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN; the default puts labels on the content colour.
  virtual HBRUSH OnControlColour(HDC dc, HWND control);
  // Any other message (timers, the window's own messages); true when handled, with `*result` set.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT* /*result*/) {
    return false;
  }

  // A visible child control of this window in a theme font; WS_CHILD and WS_VISIBLE are added to `style`.
  HWND MakeControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                   int id, ThemeFont font = ThemeFont::Normal, DWORD exStyle = 0);
  int S(int pixels) const { return context_.theme.S(pixels); }
  const ToolViewContext& Context() const { return context_; }
  const Theme& GetTheme() const { return context_.theme; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  ToolViewContext context_;
  HWND window_ = nullptr;
};

}  // namespace tw
