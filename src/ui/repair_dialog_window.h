// The Win32 window of TRepairDialogForm: a modeless dialog from the IDD_REPAIR template, always on top and
// centred on the screen. While it exists its owner takes no input and the pump routes keys to it.
// The picture is the shell's file-deletion animation, or a drawn one where the shell has none.
#pragma once
#include <windows.h>

#include "app/repair_dialog.h"
#include "ui/win32_ui.h"

namespace tw {

class RepairDialogWindow : public IRepairDialogView {
 public:
  // Creates, shows and paints the dialog; the animation runs from here on.
  RepairDialogWindow(HINSTANCE instance, HWND owner, TRepairDialogForm& form, Win32Pump& pump);
  ~RepairDialogWindow() override;
  RepairDialogWindow(const RepairDialogWindow&) = delete;
  RepairDialogWindow& operator=(const RepairDialogWindow&) = delete;

  ITextTarget& RepairLabel() override { return label_; }
  void Close() override;
  HWND Window() const { return window_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Plays the shell's file-deletion animation over the picture area; false when there is none to play.
  bool PlayShellAnimation();

  HWND owner_;
  TRepairDialogForm& form_;
  Win32Pump& pump_;
  HWND window_ = nullptr;
  Win32Label label_;
  HWND picture_ = nullptr;  // the drawn animation, where the shell's is not played
  int frame_ = 0;
};

}  // namespace tw
