#include "ui/tool_view.h"

namespace tw {

namespace {

constexpr const char* kToolWindowClass = "TTarnwickToolWindow";

}  // namespace

ToolWindow::~ToolWindow() {
  if (window_) DestroyWindow(window_);
}

bool ToolWindow::Create(HWND panel, const RECT& bounds) {
  static const bool registered = [this] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = context_.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kToolWindowClass;
    return RegisterClassExA(&wc) != 0;
  }();
  if (!registered || window_) return false;
  window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kToolWindowClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                            bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, panel,
                            nullptr, context_.instance, this);
  if (!window_) return false;
  if (!OnCreate()) {
    DestroyWindow(window_);
    window_ = nullptr;
    return false;
  }
  OnLayout(bounds.right - bounds.left, bounds.bottom - bounds.top);
  return true;
}

void ToolWindow::Resize(const RECT& bounds) {
  if (window_)
    MoveWindow(window_, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void ToolWindow::Show(bool shown) {
  if (window_) ShowWindow(window_, shown ? SW_SHOW : SW_HIDE);
}

HWND ToolWindow::MakeControl(const char* className, const char* text, DWORD style, int x, int y, int width,
                             int height, int id, ThemeFont font, DWORD exStyle) {
  HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), context_.instance,
                                 nullptr);
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetTheme().Font(font)), FALSE);
  return control;
}

void ToolWindow::OnDrawItem(DRAWITEMSTRUCT* item) {
  if (item->CtlType == ODT_BUTTON) GetTheme().DrawActionButton(*item, kThemeContentBack);
}

void ToolWindow::OnPaint(HDC dc, const RECT& client) { FillSolid(dc, client, kThemeContentBack); }

HBRUSH ToolWindow::OnControlColour(HDC dc, HWND) { return GetTheme().ControlColour(dc, ThemeSurface::Content); }

LRESULT CALLBACK ToolWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<ToolWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<ToolWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT ToolWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      RECT client;
      GetClientRect(window_, &client);
      OnPaint(dc, client);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_SIZE:
      OnLayout(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM:
      OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_MEASUREITEM:
      OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default: {
      LRESULT result = 0;
      if (OnMessage(message, wParam, lParam, &result)) return result;
      return DefWindowProcA(window_, message, wParam, lParam);
    }
  }
}

}  // namespace tw
