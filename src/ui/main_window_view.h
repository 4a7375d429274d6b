// The Win32 window of TTarnwickForm: a captionless, rounded window with a title panel, the left button bar,
// the two notebooks as child panels and the bottom panel. It draws the controller's state and forwards actions.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/main_window.h"
#include "ui/data_module.h"
#include "ui/win32_prompts.h"
#include "ui/win32_ui.h"

namespace tw {

class MainWindowView : public IMainFormView {
 public:
  MainWindowView(HINSTANCE instance, Platform& platform, const Settings& settings, TDM& dm, Win32Pump& pump,
                 std::string startArgument);
  ~MainWindowView() override;
  MainWindowView(const MainWindowView&) = delete;
  MainWindowView& operator=(const MainWindowView&) = delete;

  // Registers the window classes, creates the window and its controls and shows it.
  bool Create(int showCommand);
  HWND Window() const { return window_; }

  ITextTarget& CountLabel(int index) override { return countLabels_[static_cast<size_t>(index)]; }
  ITextTarget& StatusPanel() override { return statusPanel_; }
  IMessagePump& Pump() override { return pump_; }
  void StartScanTimer() override { dm_.StartScanTimer(window_); }
  void StopScanTimer() override { dm_.StopScanTimer(); }
  void IconChanged(int index) override;
  void StateChanged() override;
  void ShowAboutWindow() override;
  IPrompts& Prompts() override { return prompts_; }
  bool OfferFirstFullBackup() override;
  std::unique_ptr<IRepairDialogView> ShowRepairDialog(TRepairDialogForm& dialog) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ProblemsListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);
  LRESULT HandleProblemsList(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  int S(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  HWND MakePanel(HWND parent, int x, int y, int width, int height);
  HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
                   int height, int id, HFONT font);
  void CreateControls();
  void CreateScanSectionsPage(HWND page, int width, int height);
  void Layout();
  void ApplyState();
  void KeepFocusVisible();

  void OnCommand(int id, int code, HWND control);
  LRESULT OnNotify(NMHDR* header);
  void OnDrawItem(DRAWITEMSTRUCT* item);
  HBRUSH OnControlColor(HDC dc, HWND control);
  void OnTrayCallback(LPARAM mouseMessage);
  void RestoreFromTray();
  void HideToTray();
  void Terminate();

  void PaintWindow(HDC dc);
  void PaintPanel(HWND panel, HDC dc);
  void DrawActionButton(DRAWITEMSTRUCT* item);
  void DrawBarButton(DRAWITEMSTRUCT* item, int index);
  void DrawHeaderButton(DRAWITEMSTRUCT* item, int index);
  void DrawSectionIcon(DRAWITEMSTRUCT* item, int index);
  void DrawProblemRow(DRAWITEMSTRUCT* item);
  RECT CheckBoxRect(const RECT& row) const;
  void ShowExcludePopupMenu(LPARAM screenPoint);

  HINSTANCE instance_;
  Platform& platform_;
  TDM& dm_;
  Win32Pump& pump_;
  TTarnwickForm form_;
  int dpi_ = 96;
  HWND window_ = nullptr;

  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT headingFont_ = nullptr;
  HFONT titleFont_ = nullptr;
  HFONT barFont_ = nullptr;
  HFONT rowFont_ = nullptr;  // three lines fit a 50-pixel problem row
  HBRUSH contentBrush_ = nullptr;
  HBRUSH cardBrush_ = nullptr;
  HBRUSH bottomBrush_ = nullptr;
  HWND tooltip_ = nullptr;
  HMENU excludePopupMenu_ = nullptr;  // ExcludePopupMenu
  Win32Prompts prompts_;

  std::array<HWND, 3> mainPages_{};
  std::array<HWND, 3> scanPages_{};
  HWND advancedPanel_ = nullptr;
  HWND bottomPanel_ = nullptr;
  std::array<HWND, 6> headerButtons_{};
  std::array<HWND, 7> barButtons_{};
  std::array<HWND, kSectionCount> iconButtons_{};
  std::array<HWND, kSectionCount> captionLabels_{};
  std::array<Win32Label, kSectionCount> countLabels_{};
  Win32Label statusPanel_;
  HWND selectAllBox_ = nullptr;
  HWND selectAllLabel_ = nullptr;
  HWND scanNowBtn_ = nullptr;
  HWND abortScanBtn_ = nullptr;
  HWND repairBtn_ = nullptr;
  HWND finishBtn_ = nullptr;
  HWND problemsPanel_ = nullptr;
  HWND problemsListBox_ = nullptr;
  HWND finishListView_ = nullptr;
  int shownProblemRows_ = -1;
  int shownFinishRows_ = -1;
};

}  // namespace tw
