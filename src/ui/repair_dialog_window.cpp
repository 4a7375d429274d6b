#include "ui/repair_dialog_window.h"

#include <commctrl.h>

#include "platform/win32/win32_system.h"
#include "ui/deletion_animation.h"
#include "ui/resource.h"

namespace tw {

namespace {

// The shell's own "deleting files" animation in shell32.dll.
constexpr int kShellFileDeleteAnimation = 164;
constexpr UINT_PTR kFrameTimer = 1;

}  // namespace

RepairDialogWindow::RepairDialogWindow(HINSTANCE instance, HWND owner, TRepairDialogForm& form, Win32Pump& pump)
    : owner_(owner), form_(form), pump_(pump) {
  window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_REPAIR), owner, DialogProc,
                               reinterpret_cast<LPARAM>(this));
  if (!window_) return;
  label_.Attach(GetDlgItem(window_, IDC_REPAIR_LABEL));
  label_.SetText(kRepairLabelText);
  pump_.AddLabel(&label_);
  if (PlayShellAnimation()) {
    ShowWindow(GetDlgItem(window_, IDC_REPAIR_ANIMATION), SW_HIDE);
  } else {
    picture_ = GetDlgItem(window_, IDC_REPAIR_ANIMATION);
    SetTimer(window_, kFrameTimer, kDeletionFrameMs, nullptr);
  }
  if (owner_) EnableWindow(owner_, FALSE);
  pump_.SetDialogWindow(window_);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

bool RepairDialogWindow::PlayShellAnimation() {
  // Wine's shell32 carries the animation resources as placeholders showing a caption, not the picture.
  if (RunningOnWine()) return false;
  HMODULE shell = GetModuleHandleA("shell32.dll");
  if (!shell) return false;
  HWND area = GetDlgItem(window_, IDC_REPAIR_ANIMATION);
  RECT rect;
  GetWindowRect(area, &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  const DWORD style = WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_TIMER;
  HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, "", style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, window_, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!animation) return false;
  if (!SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(shell),
                    reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(kShellFileDeleteAnimation)))) {
    DestroyWindow(animation);
    return false;
  }
  SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
  return true;
}

RepairDialogWindow::~RepairDialogWindow() {
  pump_.RemoveLabel(&label_);
  pump_.SetDialogWindow(owner_);
  // The owner is enabled first so that it, not another program, becomes active when the dialog goes.
  if (owner_) EnableWindow(owner_, TRUE);
  if (window_) DestroyWindow(window_);
}

void RepairDialogWindow::Close() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

INT_PTR CALLBACK RepairDialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<RepairDialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) return FALSE;
      self->form_.CancelBtnClick();
      return TRUE;
    case WM_TIMER:
      if (wParam != kFrameTimer || !self->picture_) return FALSE;
      self->frame_ = (self->frame_ + 1) % kDeletionFrameCount;
      InvalidateRect(self->picture_, nullptr, FALSE);
      return TRUE;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem != self->picture_) return FALSE;
      DrawDeletionFrame(item->hDC, item->rcItem, self->frame_);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace tw
