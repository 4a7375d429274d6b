#include "ui/backup_windows.h"

#include <functional>

#include "backup/backup_catalogue.h"
#include "ui/resource.h"
#include "ui/win32_prompts.h"
#include "ui/win32_ui.h"

namespace tw {

namespace {

// Pictures of the strip: normal, then highlighted, for each button.
constexpr int kFullBackupPicture = 0;
constexpr int kRestorePicture = 2;
constexpr int kRemovePicture = 4;
constexpr int kClosePicture = 6;
constexpr const char* kPageLines[3] = {
    "Tarnwick provides complete restore support. Whenever any changes",
    "are made to the registry, it automatically creates a backup file which can be used",
    "to go back to the previous configuration."};

bool LargePictures(const Theme& theme) { return theme.Dpi() >= 120; }

void LoadPictures(TImageStrip& strip, const ToolViewContext& context) {
  const bool large = LargePictures(context.theme);
  strip.Load(context.instance, large ? IDB_BACKUP_48 : IDB_BACKUP_32, large ? 48 : 32);
}

// The backup icon of the list rows: the full backup picture.
HIMAGELIST MakeRowImages(const ToolViewContext& context) {
  const bool large = LargePictures(context.theme);
  const int side = large ? 48 : 32;
  HIMAGELIST images = ImageList_Create(side, side, ILC_COLOR32, 8, 0);
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(context.instance, MAKEINTRESOURCEA(large ? IDB_BACKUP_48 : IDB_BACKUP_32),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip) {
    ImageList_Add(images, strip, nullptr);
    DeleteObject(strip);
  }
  return images;
}

// The list's one hidden-header column "Backup Time", as wide as the list less 20 pixels.
void SetUpBackupList(HWND list, HIMAGELIST images) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_SetImageList(list, images, LVSIL_SMALL);
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<char*>("Backup Time");
  column.cx = 100;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void SizeBackupColumn(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  ListView_SetColumnWidth(list, 0, client.right - 20);
}

void ShowRows(HWND list, const TBackupList& rows) {
  ListView_SetItemCountEx(list, static_cast<int>(rows.Rows().size()), 0);
  const int selected = rows.Selected();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (selected >= 0) ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  InvalidateRect(list, nullptr, TRUE);
}

// LVN_GETDISPINFO and the selection of a backup list; true when `header` was one of these.
bool BackupListNotify(NMHDR* header, const TBackupList& rows, const std::function<void(int)>& select) {
  if (header->code == LVN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const int row = info->item.iItem;
    if (row >= 0 && row < static_cast<int>(rows.Rows().size())) {
      if (info->item.mask & LVIF_TEXT)
        lstrcpynA(info->item.pszText, rows.Rows()[static_cast<size_t>(row)].Caption.c_str(), info->item.cchTextMax);
      if (info->item.mask & LVIF_IMAGE) info->item.iImage = 0;
    }
    return true;
  }
  if (header->code == LVN_ITEMCHANGED) {
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if (change->uChanged & LVIF_STATE)
      select(static_cast<int>(SendMessageA(header->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    return true;
  }
  return false;
}

}  // namespace

BackupPageWindow::BackupPageWindow(const ToolViewContext& context, TTarnwickForm& form)
    : ToolWindow(context), form_(form) {}

BackupPageWindow::~BackupPageWindow() {
  if (rowImages_) ImageList_Destroy(rowImages_);
}

bool BackupPageWindow::OnCreate() {
  LoadPictures(pictures_, Context());
  rowImages_ = MakeRowImages(Context());
  for (int i = 0; i < 3; ++i)
    lines_[i] = MakeControl("STATIC", kPageLines[i], SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10, IDC_BACKUP_PAGE_LINE1 + i);
  list_ = MakeControl(WC_LISTVIEWA, "",
                      LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                          WS_TABSTOP | WS_BORDER,
                      0, 0, 10, 10, IDC_BACKUP_PAGE_LIST);
  SetUpBackupList(list_, rowImages_);
  const char* captions[3] = {"Full Backup", "Restore", "Remove"};
  for (int i = 0; i < 3; ++i) {
    buttons_[i] = MakeControl("BUTTON", captions[i], BS_OWNERDRAW | WS_TABSTOP, 0, 0, 10, 10,
                              IDC_BACKUP_PAGE_FULL + i);
    TrackHotButton(buttons_[i]);
  }
  return list_ != nullptr;
}

void BackupPageWindow::OnLayout(int width, int height) {
  const int margin = S(16);
  const int lineHeight = S(18);
  for (int i = 0; i < 3; ++i) MoveWindow(lines_[i], margin, margin + i * lineHeight, width - 2 * margin, lineHeight, TRUE);
  const int top = margin + 3 * lineHeight + S(10);
  const int buttonWidth = S(110);
  const int buttonHeight = pictures_.Size() + S(34);
  MoveWindow(list_, margin, top, width - 3 * margin - buttonWidth, height - top - margin, TRUE);
  for (int i = 0; i < 3; ++i)
    MoveWindow(buttons_[i], width - margin - buttonWidth, top + i * (buttonHeight + S(8)), buttonWidth, buttonHeight,
               TRUE);
  SizeBackupColumn(list_);
}

void BackupPageWindow::Refresh() {
  if (list_) ShowRows(list_, form_.BackupList());
}

void BackupPageWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_BACKUP_PAGE_FULL: form_.FullBackupBtnClick(); break;
    case IDC_BACKUP_PAGE_RESTORE: form_.RestoreRegistryBtnClick(); break;
    case IDC_BACKUP_PAGE_REMOVE: form_.RemoveBackupBtnClick(); break;
    default: break;
  }
}

LRESULT BackupPageWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom == list_)
    BackupListNotify(header, form_.BackupList(), [this](int row) { form_.BackupListViewSelect(row); });
  return 0;
}

void BackupPageWindow::OnDrawItem(DRAWITEMSTRUCT* item) {
  const int index = static_cast<int>(item->CtlID) - IDC_BACKUP_PAGE_FULL;
  if (index < 0 || index > 2) return;
  const int picture = index * 2 + (IsHotButton(item->hwndItem) ? 1 : 0);
  GetTheme().DrawPictureButton(*item, pictures_, picture, kThemeContentBack);
}

namespace {

// TRegBackupForm's window: a dialog from its template, the hint window made while a full backup runs.
class RegBackupWindow : public IRegBackupFormView {
 public:
  explicit RegBackupWindow(const ToolViewContext& context)
      : context_(context), form_(context.platform, prompts_, context.pump, *this) {}
  ~RegBackupWindow() override {
    CloseHint();
    if (rowImages_) ImageList_Destroy(rowImages_);
  }

  void Run() {
    DialogBoxParamA(context_.instance, MAKEINTRESOURCEA(IDD_REG_BACKUP), context_.mainWindow, DialogProc,
                    reinterpret_cast<LPARAM>(this));
  }

  void ShowHint(const std::string& text) override {
    CloseHint();
    hint_ = CreateDialogParamA(context_.instance, MAKEINTRESOURCEA(IDD_BACKUP_HINT), window_, HintProc, 0);
    if (!hint_) return;
    SetDlgItemTextA(hint_, IDC_BACKUP_HINT_TEXT, text.c_str());
    ShowWindow(hint_, SW_SHOWNA);
    UpdateWindow(hint_);
  }
  void CloseHint() override {
    if (hint_) DestroyWindow(hint_);
    hint_ = nullptr;
  }
  void RowsChanged() override {
    if (list_) ShowRows(list_, form_.List());
  }
  void Close() override { EndDialog(window_, IDOK); }

 private:
  static INT_PTR CALLBACK HintProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<RegBackupWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->window_ = window;
    return self->Handle(message, wParam, lParam);
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: {
        prompts_.SetOwner(window_);
        LoadPictures(pictures_, context_);
        rowImages_ = MakeRowImages(context_);
        list_ = GetDlgItem(window_, IDC_REG_BACKUP_LIST);
        SetUpBackupList(list_, rowImages_);
        for (int id = IDC_REG_BACKUP_BACKUP; id <= IDC_REG_BACKUP_CLOSE; ++id) {
          SendDlgItemMessageA(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(context_.theme.Font(ThemeFont::Bold)),
                              FALSE);
          TrackHotButton(GetDlgItem(window_, id));
        }
        SizeBackupColumn(list_);
        form_.FormShow();
        return TRUE;
      }
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
          case IDC_REG_BACKUP_BACKUP: form_.BackupRegistryBtnClick(); return TRUE;
          case IDC_REG_BACKUP_RESTORE: form_.RestoreRegistryBtnClick(); return TRUE;
          case IDC_REG_BACKUP_REMOVE: form_.RemoveBackupBtnClick(); return TRUE;
          case IDC_REG_BACKUP_CLOSE:
          case IDCANCEL: form_.CloseBtnClick(); return TRUE;
          default: return FALSE;
        }
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != list_) return FALSE;
        BackupListNotify(header, form_.List(), [this](int row) { form_.BackupDataListViewSelect(row); });
        return TRUE;
      }
      case WM_SIZE:
        if (list_) SizeBackupColumn(list_);
        return FALSE;
      case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        const int index = static_cast<int>(item->CtlID) - IDC_REG_BACKUP_BACKUP;
        if (index < 0 || index > 3) return FALSE;
        const int pictures[4] = {kFullBackupPicture, kRestorePicture, kRemovePicture, kClosePicture};
        context_.theme.DrawPictureButton(*item, pictures_, pictures[index] + (IsHotButton(item->hwndItem) ? 1 : 0),
                                         GetSysColor(COLOR_BTNFACE));
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  ToolViewContext context_;
  Win32Prompts prompts_;
  TRegBackupForm form_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND hint_ = nullptr;
  TImageStrip pictures_;
  HIMAGELIST rowImages_ = nullptr;
};

class FirstFullBackupWindow : public IFirstFullBackupView {
 public:
  explicit FirstFullBackupWindow(const ToolViewContext& context)
      : context_(context), dialog_(context.platform, context.pump, *this) {
    headerBrush_ = CreateSolidBrush(kThemeTitleBottom);
  }
  ~FirstFullBackupWindow() override { DeleteObject(headerBrush_); }

  bool Run() {
    return DialogBoxParamA(context_.instance, MAKEINTRESOURCEA(IDD_FIRST_BACKUP), context_.mainWindow, DialogProc,
                           reinterpret_cast<LPARAM>(this)) != -1;
  }

  void Repaint() override {
    SetDlgItemTextA(window_, IDC_FIRST_BACKUP_MESSAGE, dialog_.Message().c_str());
    ShowWindow(GetDlgItem(window_, IDC_FIRST_BACKUP_MESSAGE), dialog_.MessageVisible() ? SW_SHOW : SW_HIDE);
    SetDlgItemTextA(window_, IDC_FIRST_BACKUP_OK, dialog_.ButtonCaption().c_str());
    EnableWindow(GetDlgItem(window_, IDC_FIRST_BACKUP_OK), dialog_.ButtonEnabled());
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  void Close() override { EndDialog(window_, IDOK); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<FirstFullBackupWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->window_ = window;
    return self->Handle(message, wParam, lParam);
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: {
        SetDlgItemTextA(window_, IDC_FIRST_BACKUP_HEADER, (std::string("  ") + kFirstBackupHeader).c_str());
        SendDlgItemMessageA(window_, IDC_FIRST_BACKUP_HEADER, WM_SETFONT,
                            reinterpret_cast<WPARAM>(context_.theme.Font(ThemeFont::Heading)), FALSE);
        SetDlgItemTextA(window_, IDC_FIRST_BACKUP_LINE1, kFirstBackupLine1);
        SetDlgItemTextA(window_, IDC_FIRST_BACKUP_LINE2, kFirstBackupLine2);
        // OKButton centred horizontally.
        HWND button = GetDlgItem(window_, IDC_FIRST_BACKUP_OK);
        RECT client, rect;
        GetClientRect(window_, &client);
        GetWindowRect(button, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(button, nullptr, (client.right - (rect.right - rect.left)) / 2, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        Repaint();
        return TRUE;
      }
      case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window_, IDC_FIRST_BACKUP_HEADER)) {
          HDC dc = reinterpret_cast<HDC>(wParam);
          SetTextColor(dc, RGB(255, 255, 255));
          SetBkColor(dc, kThemeTitleBottom);
          return reinterpret_cast<INT_PTR>(headerBrush_);
        }
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FIRST_BACKUP_OK && HIWORD(wParam) == BN_CLICKED) {
          dialog_.OKButtonClick();
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL && dialog_.CanClose()) {
          EndDialog(window_, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  }

  ToolViewContext context_;
  TFirstFullBackupDialog dialog_;
  HWND window_ = nullptr;
  HBRUSH headerBrush_ = nullptr;
};

}  // namespace

void ShowRegBackupWindow(const ToolViewContext& context) {
  RegBackupWindow window(context);
  window.Run();
}

bool ShowFirstFullBackupDialog(const ToolViewContext& context) {
  FirstFullBackupWindow window(context);
  return window.Run();
}

}  // namespace tw
