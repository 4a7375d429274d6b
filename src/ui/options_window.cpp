#include "ui/options_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <string>

#include "options/options_form.h"
#include "options/scheduled_task.h"
#include "ui/resource.h"
#include "ui/win32_prompts.h"

namespace tw {

namespace {

const char* const kPageCaptions[3] = {"General Settings", "Ignore List", "Scheduling"};

// The controls of each page, shown only while their page is.
const int kGeneralControls[] = {IDC_OPT_RUN_GROUP,    IDC_OPT_RUN,     IDC_OPT_REMOVAL_GROUP,
                                IDC_OPT_AUTO_BACKUP,  IDC_OPT_CHECK_ITEM, IDC_OPT_UPDATE_GROUP,
                                IDC_OPT_VERSION,      IDC_OPT_CHECK_UPDATE_BTN, IDC_OPT_CHECK_UPDATE};
const int kIgnoreControls[] = {IDC_OPT_IGNORE_LIST, IDC_OPT_REMOVE_SELECTED};
const int kSchedulingControls[] = {IDC_OPT_ACTIVE_TASK, IDC_OPT_START_LABEL, IDC_OPT_START_TIME,
                                   IDC_OPT_DAILY_GROUP, IDC_OPT_EVENT_LABEL, IDC_OPT_DAYS,
                                   IDC_OPT_DAYS_SPIN,   IDC_OPT_DAYS_LABEL,  IDC_OPT_TASK_KIND,
                                   IDC_OPT_TASK_IMAGE,  IDC_OPT_TASK_NAME};

class OptionsWindow {
 public:
  OptionsWindow(Platform& platform, Settings& running, const std::function<bool(IPrompts&)>& checkForUpdate)
      : form_(platform, prompts_, running, platform.files.ExecutablePath()), checkForUpdate_(checkForUpdate) {}
  ~OptionsWindow() {
    if (taskIcon_) DestroyIcon(taskIcon_);
  }

  bool EndsProgram() const { return endsProgram_; }
  // The page keys work while the dialog runs its own message loop.
  void HookKeys() {
    active_ = this;
    hook_ = SetWindowsHookExA(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
  }
  void UnhookKeys() {
    if (hook_) UnhookWindowsHookEx(hook_);
    active_ = nullptr;
  }

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<OptionsWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return self ? self->Handle(dialog, message, wParam, lParam) : FALSE;
  }

 private:
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  void SetCheck(int id, bool on) { CheckDlgButton(dialog_, id, on ? BST_CHECKED : BST_UNCHECKED); }
  bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

  void Init(HWND dialog) {
    dialog_ = dialog;
    prompts_.SetOwner(dialog);
    // The pages' controls are drawn on the page control's own background.
    EnableThemeDialogTexture(dialog, ETDT_ENABLETAB);
    HWND pages = Item(IDC_OPT_PAGES);
    for (int i = 0; i < 3; ++i) {
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(kPageCaptions[i]);
      SendMessageA(pages, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    HWND list = Item(IDC_OPT_IGNORE_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT box;
    GetClientRect(list, &box);
    const char* columns[2] = {"Category", "Registry Key"};
    const int widths[2] = {(box.right - box.left) * 3 / 10, (box.right - box.left) * 7 / 10 - GetSystemMetrics(SM_CXVSCROLL)};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<char*>(columns[i]);
      column.cx = widths[i];
      SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(Item(IDC_OPT_START_TIME), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
    SendMessageA(Item(IDC_OPT_DAYS_SPIN), UDM_SETRANGE32, 1, 31);
    if (!checkForUpdate_) EnableWindow(Item(IDC_OPT_CHECK_UPDATE_BTN), FALSE);

    form_.FormCreate();
    form_.FormShow();
    ShowPage(kGeneralPage);
    PaintGeneral();
    PaintIgnore();
    PaintScheduling();
  }

  void ShowPage(int page) {
    auto show = [this](const int* ids, size_t count, bool on) {
      for (size_t i = 0; i < count; ++i) ShowWindow(Item(ids[i]), on ? SW_SHOW : SW_HIDE);
    };
    show(kGeneralControls, std::size(kGeneralControls), page == kGeneralPage);
    show(kIgnoreControls, std::size(kIgnoreControls), page == kIgnorePage);
    show(kSchedulingControls, std::size(kSchedulingControls), page == kSchedulingPage);
    SendMessageA(Item(IDC_OPT_PAGES), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  }

  void PaintGeneral() {
    SetCheck(IDC_OPT_RUN, form_.ChkRun);
    SetCheck(IDC_OPT_AUTO_BACKUP, form_.ChkAutoBackup);
    SetCheck(IDC_OPT_CHECK_ITEM, form_.ChkCheckItem);
    SetCheck(IDC_OPT_CHECK_UPDATE, form_.cbCheckUpdate);
    SetDlgItemTextA(dialog_, IDC_OPT_VERSION, form_.LabelVer().c_str());
  }

  void PaintIgnore() {
    HWND list = Item(IDC_OPT_IGNORE_LIST);
    const int selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const auto& rows = form_.IgnoreRows();
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<char*>(rows[i].Category.c_str());
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      item.iSubItem = 1;
      item.pszText = const_cast<char*>(rows[i].RegistryKey.c_str());
      SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
    }
    // After a removal the row that took the removed one's place is selected, so Delete can go on.
    const int count = static_cast<int>(rows.size());
    if (selected >= 0 && count > 0) {
      const int row = selected < count ? selected : count - 1;
      LVITEMA state{};
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    EnableWindow(Item(IDC_OPT_REMOVE_SELECTED), count > 0);
  }

  void PaintScheduling() {
    TScheduledTask& task = form_.Schedule();
    SetCheck(IDC_OPT_ACTIVE_TASK, task.Active());
    SYSTEMTIME st{};
    GetLocalTime(&st);
    st.wHour = static_cast<WORD>(task.Hour());
    st.wMinute = static_cast<WORD>(task.Minute());
    st.wSecond = 0;
    st.wMilliseconds = 0;
    SendMessageA(Item(IDC_OPT_START_TIME), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    SendMessageA(Item(IDC_OPT_DAYS_SPIN), UDM_SETPOS32, 0, task.Days());
    const bool available = task.Available();
    EnableWindow(Item(IDC_OPT_ACTIVE_TASK), available);
    EnableWindow(Item(IDC_OPT_START_TIME), available && task.ControlsEnabled());
    EnableWindow(Item(IDC_OPT_DAYS), available && task.ControlsEnabled());
    EnableWindow(Item(IDC_OPT_DAYS_SPIN), available && task.ControlsEnabled());
    SetDlgItemTextA(dialog_, IDC_OPT_TASK_NAME, task.TaskName().c_str());
    if (taskIcon_) DestroyIcon(taskIcon_);
    taskIcon_ = nullptr;
    SHFILEINFOA info{};
    if (!task.TaskProgram().empty() &&
        SHGetFileInfoA(task.TaskProgram().c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
      taskIcon_ = info.hIcon;
    SendMessageA(Item(IDC_OPT_TASK_IMAGE), STM_SETICON, reinterpret_cast<WPARAM>(taskIcon_), 0);
  }

  // The boxes and fields as the user left them go to the controller before anything reads them.
  void TakeGeneral() {
    form_.ChkRun = Checked(IDC_OPT_RUN);
    form_.ChkAutoBackup = Checked(IDC_OPT_AUTO_BACKUP);
    form_.ChkCheckItem = Checked(IDC_OPT_CHECK_ITEM);
    form_.cbCheckUpdate = Checked(IDC_OPT_CHECK_UPDATE);
  }
  void TakeScheduling() {
    TScheduledTask& task = form_.Schedule();
    if (!task.Available() || !task.ControlsEnabled()) return;
    SYSTEMTIME st{};
    if (SendMessageA(Item(IDC_OPT_START_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
      task.SetStartTime(st.wHour, st.wMinute);
    // A typed count outside 1 to 31 is brought into that range; an empty field counts as 1.
    BOOL read = FALSE;
    const UINT days = GetDlgItemInt(dialog_, IDC_OPT_DAYS, &read, FALSE);
    task.SetDays(read ? static_cast<int>(days > 31 ? 31 : days) : 1);
  }

  // Ctrl+Tab and Ctrl+Shift+Tab (and Ctrl+PageDown, Ctrl+PageUp) move between the pages from any control.
  static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && active_ && msg->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
        (msg->wParam == VK_TAB || msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR) &&
        (msg->hwnd == active_->dialog_ || IsChild(active_->dialog_, msg->hwnd))) {
      const bool back = msg->wParam == VK_PRIOR || (msg->wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
      const int page = static_cast<int>(SendMessageA(active_->Item(IDC_OPT_PAGES), TCM_GETCURSEL, 0, 0));
      active_->ChangePage((page + (back ? 2 : 1)) % 3);
      return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  void ChangePage(int page) {
    form_.MainPageControlChange(page);
    if (page == kGeneralPage) PaintGeneral();
    if (page == kIgnorePage) PaintIgnore();
    if (page == kSchedulingPage) PaintScheduling();
    ShowPage(page);
  }

  INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Init(dialog);
        return TRUE;
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_OPT_PAGES && header->code == TCN_SELCHANGE) {
          ChangePage(static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
          return TRUE;
        }
        if (header->idFrom == IDC_OPT_IGNORE_LIST && header->code == LVN_KEYDOWN &&
            reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
          RemoveSelected();
          return TRUE;
        }
        return FALSE;
      }
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case IDOK:
            TakeGeneral();
            TakeScheduling();
            if (form_.BitBtn1Click()) EndDialog(dialog, IDOK);
            return TRUE;
          case IDCANCEL:
            form_.BtnCancelClick();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
          case IDC_OPT_REMOVE_SELECTED:
            RemoveSelected();
            return TRUE;
          case IDC_OPT_ACTIVE_TASK:
            if (HIWORD(wParam) == BN_CLICKED) {
              form_.Schedule().cbActiveTaskClick(Checked(IDC_OPT_ACTIVE_TASK));
              PaintScheduling();
            }
            return TRUE;
          case IDC_OPT_CHECK_UPDATE_BTN:
            if (checkForUpdate_ && checkForUpdate_(prompts_)) {
              endsProgram_ = true;
              EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
          default:
            return FALSE;
        }
      default:
        return FALSE;
    }
  }

  void RemoveSelected() {
    HWND list = Item(IDC_OPT_IGNORE_LIST);
    const int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return;
    form_.RemoveSelectBtnClick(row);
    PaintIgnore();
  }

  Win32Prompts prompts_;
  TFormOptions form_;
  std::function<bool(IPrompts&)> checkForUpdate_;
  HWND dialog_ = nullptr;
  HHOOK hook_ = nullptr;
  static inline OptionsWindow* active_ = nullptr;  // the one open options window, for the key filter
  HICON taskIcon_ = nullptr;
  bool endsProgram_ = false;
};

}  // namespace

bool ShowOptionsWindowModal(HINSTANCE instance, HWND owner, Platform& platform, Settings& running,
                            const std::function<bool(IPrompts&)>& checkForUpdate) {
  OptionsWindow window(platform, running, checkForUpdate);
  window.HookKeys();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsWindow::Proc,
                  reinterpret_cast<LPARAM>(&window));
  window.UnhookKeys();
  return window.EndsProgram();
}

}  // namespace tw
