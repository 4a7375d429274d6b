// The Win32 window of TTarnwickForm: a captionless, rounded window with a title panel, the left button bar,
// the two notebooks as child panels and the bottom panel. It draws the controller's state and forwards actions.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/main_window.h"
#include "ui/backup_windows.h"
#include "ui/data_module.h"
#include "ui/theme.h"
#include "ui/tool_page_host.h"
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
  void ShowOptionsWindow() override;
  IPrompts& Prompts() override { return prompts_; }
  bool OfferFirstFullBackup() override;
  std::unique_ptr<IRepairDialogView> ShowRepairDialog(TRepairDialogForm& dialog) override;
  IToolWindows& ToolWindows() override { return toolHost_; }
  void ShowFullBackupWindow() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ProblemsListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);
  LRESULT HandleProblemsList(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  int S(int pixels) const { return theme_.S(pixels); }
  HWND MakePanel(HWND parent, int x, int y, int width, int height);
  HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
                   int height, int id, ThemeFont font = ThemeFont::Normal);
  void CreateControls();
  void CreateScanSectionsPage(HWND page, int width, int height);
  // What the tool windows and the backup windows get from the main window.
  ToolViewContext ViewContext();
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
  // The manual update check; when the updater was started the program ends as through the tray's Exit.
  void UpdateBtnClick();
  void OnlineUpdate1Click();

  void PaintWindow(HDC dc);
  void PaintPanel(HWND panel, HDC dc);
  void DrawSectionIcon(DRAWITEMSTRUCT* item, int index);
  void DrawProblemRow(DRAWITEMSTRUCT* item);
  void ClickFocusedButton();
  void ShowExcludePopupMenu(LPARAM screenPoint);

  HINSTANCE instance_;
  Platform& platform_;
  TDM& dm_;
  Win32Pump& pump_;
  Theme theme_;
  ToolPageHost toolHost_;  // before form_, which keeps a reference to it
  TTarnwickForm form_;
  HWND window_ = nullptr;

  HWND tooltip_ = nullptr;
  HMENU excludePopupMenu_ = nullptr;  // ExcludePopupMenu
  Win32Prompts prompts_;

  std::array<HWND, 3> mainPages_{};
  std::array<HWND, 3> scanPages_{};
  HWND advancedPanel_ = nullptr;
  std::unique_ptr<BackupPageWindow> backupPage_;
  HWND bottomPanel_ = nullptr;
  std::array<HWND, 6> headerButtons_{};
  std::array<HWND, 7> barButtons_{};
  std::array<HWND, kSectionCount> iconButtons_{};
  std::array<HWND, kSectionCount> captionLabels_{};
  std::array<Win32Label, kSectionCount> countLabels_{};
  Win32Label statusPanel_;
  HWND selectAllBox_ = nullptr;
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
