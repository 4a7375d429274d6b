#include "ui/startup_manager_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "tools/startup_manager.h"
#include "ui/win32_ui.h"

namespace tw {

namespace {

enum : int {
  kHeaderId = 1,
  kStartupPageId,
  kRestoralPageId,
  kStartupListId,
  kRestoreListId,
  kEnableId,
  kDisableId,
  kRemoveId,
  kRestoreId,
};

// The expander images: a right-pointing (collapsed) and a down-pointing (expanded) triangle.
HIMAGELIST MakeExpanderImages(int size) {
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0);
  HDC screen = GetDC(nullptr);
  for (int expanded = 0; expanded < 2; ++expanded) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    FillSolid(dc, all, RGB(255, 0, 255));
    const int m = size / 4, c = size / 2;
    POINT triangle[3];
    if (expanded) {
      triangle[0] = {m, m + 1}; triangle[1] = {size - m, m + 1}; triangle[2] = {c, size - m};
    } else {
      triangle[0] = {m + 1, m}; triangle[1] = {size - m, c}; triangle[2] = {m + 1, size - m};
    }
    HBRUSH brush = CreateSolidBrush(RGB(64, 96, 160));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, triangle, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SelectObject(dc, old);
    ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  ReleaseDC(nullptr, screen);
  return images;
}

void AddColumn(HWND list, int index, const char* caption, int width, int format = LVCFMT_LEFT) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<char*>(caption);
  SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

class StartupManagerWindow : public ToolWindow {
 public:
  explicit StartupManagerWindow(const ToolViewContext& context)
      : ToolWindow(context), form_(context.platform, context.prompts, context.pump) {}
  ~StartupManagerWindow() override {
    if (expanders_) ImageList_Destroy(expanders_);
  }

 protected:
  bool OnCreate() override {
    SetWindowTextA(Window(), TStartupManagerForm::kCaption);  // names the pane, for screen readers too
    const std::string header =
        std::string(TStartupManagerForm::kHeaderLines[0]) + "\n" + TStartupManagerForm::kHeaderLines[1] + "\n" +
        TStartupManagerForm::kHeaderLines[2];
    header_ = MakeControl("STATIC", header.c_str(), SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kHeaderId);
    startupPage_ = MakeControl("BUTTON", "Startup", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kStartupPageId);
    restoralPage_ = MakeControl("BUTTON", "Restoral", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kRestoralPageId);
    const DWORD listStyle = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP;
    startupList_ = MakeControl(WC_LISTVIEWA, "StartupListView", listStyle, 0, 0, 0, 0, kStartupListId,
                               ThemeFont::Normal, WS_EX_CLIENTEDGE);
    restoreList_ = MakeControl(WC_LISTVIEWA, "ListRestore", listStyle, 0, 0, 0, 0, kRestoreListId,
                               ThemeFont::Normal, WS_EX_CLIENTEDGE);
    enable_ = MakeControl("BUTTON", "Enable Select", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kEnableId);
    disable_ = MakeControl("BUTTON", "Disable Select", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kDisableId);
    remove_ = MakeControl("BUTTON", "Remove Select", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kRemoveId);
    restore_ = MakeControl("BUTTON", "Restore Item", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kRestoreId);
    if (!header_ || !startupList_ || !restoreList_) return false;
    const DWORD ex = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    SendMessageA(startupList_, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SendMessageA(restoreList_, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    expanders_ = MakeExpanderImages(S(16));
    SendMessageA(startupList_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(expanders_));
    AddColumn(startupList_, 0, "Name", S(150));
    AddColumn(startupList_, 1, "Path", S(220));
    AddColumn(startupList_, 2, "Status", S(80), LVCFMT_CENTER);
    AddColumn(restoreList_, 0, "", S(30));
    AddColumn(restoreList_, 1, "Name", S(200));
    AddColumn(restoreList_, 2, "Info", S(250));
    form_.FormShow();
    Reload();
    return true;
  }

  void OnLayout(int width, int height) override {
    const int margin = S(16);
    MoveWindow(header_, margin, margin, width - 2 * margin, S(54), TRUE);
    const int pageTop = margin + S(60);
    MoveWindow(startupPage_, margin, pageTop, S(110), S(30), TRUE);
    MoveWindow(restoralPage_, margin + S(118), pageTop, S(110), S(30), TRUE);
    const int listTop = pageTop + S(38);
    const int buttonTop = height - margin - S(32);
    for (HWND list : {startupList_, restoreList_})
      MoveWindow(list, margin, listTop, width - 2 * margin, buttonTop - S(10) - listTop, TRUE);
    int x = margin;
    for (HWND button : {enable_, disable_, remove_, restore_}) {
      MoveWindow(button, x, buttonTop, S(136), S(32), TRUE);
      x += S(144);
    }
    // FormResize: "Path" takes the width left by "Name", "Status" and 20 pixels.
    RECT client;
    GetClientRect(startupList_, &client);
    const int path = client.right - static_cast<int>(SendMessageA(startupList_, LVM_GETCOLUMNWIDTH, 0, 0)) -
                     static_cast<int>(SendMessageA(startupList_, LVM_GETCOLUMNWIDTH, 2, 0)) - S(20);
    if (path > 0) SendMessageA(startupList_, LVM_SETCOLUMNWIDTH, 1, path);
  }

  void OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return;
    switch (id) {
      case kStartupPageId: form_.ImageEx1Click(); break;
      case kRestoralPageId: form_.ImageEx2Click(); break;
      case kEnableId: form_.OpenPathBtnClick(); break;
      case kDisableId: form_.DeleteItemBtnClick(); break;
      case kRemoveId: form_.BtRemoveClick(); break;
      case kRestoreId: form_.RestoreBtnClick(); break;
      default: return;
    }
    Reload();
  }

  LRESULT OnNotify(NMHDR* header) override {
    if (filling_) return 0;
    if (header->idFrom == kStartupListId) {
      if (header->code == NM_CLICK) {
        auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
        LVHITTESTINFO hit{};
        hit.pt = activate->ptAction;
        const int row = static_cast<int>(SendMessageA(startupList_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row >= 0 && (hit.flags & LVHT_ONITEMICON)) {
          form_.ToggleExpander(row);
          ReloadRows();
        }
      } else if (header->code == NM_DBLCLK) {
        form_.StartupListViewDblClick(static_cast<int>(SendMessageA(startupList_, LVM_GETNEXTITEM, -1, LVNI_SELECTED)));
        ReloadRows();
      } else if (header->code == LVN_KEYDOWN) {
        // From the keyboard: Right (or +) opens the selected row's expander, Left (or -) closes it.
        const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
        const int row = static_cast<int>(SendMessageA(startupList_, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        const bool open = key == VK_RIGHT || key == VK_ADD, close = key == VK_LEFT || key == VK_SUBTRACT;
        if (row >= 0 && (open || close) && form_.Rows()[row].HasExpander && form_.Rows()[row].Expanded == close) {
          form_.ToggleExpander(row);
          ReloadRows();
        }
      } else if (header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) && change->iItem >= 0) {
          const bool checked = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
          if (checked != form_.Rows()[change->iItem].Marked) form_.ToggleMark(change->iItem);
          if (!form_.Rows()[change->iItem].HasMark && ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) != 0)
            PostMessageA(Window(), WM_APP, 0, 0);  // a detail row has no check box: it is taken away again
        }
      }
    } else if (header->idFrom == kRestoreListId && header->code == LVN_ITEMCHANGED) {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
        form_.SetRestoreChecked(change->iItem, ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2);
    }
    return 0;
  }

  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) override {
    if (message != WM_APP) return false;
    ReloadRows();
    *result = 0;
    return true;
  }

 private:
  void Reload() {
    ReloadRows();
    filling_ = true;
    SendMessageA(restoreList_, LVM_DELETEALLITEMS, 0, 0);
    const auto& rows = form_.RestoreRows();
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<char*>("");
      SendMessageA(restoreList_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      SetCell(restoreList_, static_cast<int>(i), 1, rows[i].Name);
      SetCell(restoreList_, static_cast<int>(i), 2, rows[i].Info);
    }
    filling_ = false;
    const bool startup = form_.ShownPage() == TStartupManagerForm::Page::Startup;
    ShowWindow(startupList_, startup ? SW_SHOW : SW_HIDE);
    ShowWindow(restoreList_, startup ? SW_HIDE : SW_SHOW);
    for (HWND button : {enable_, disable_, remove_}) EnableWindow(button, form_.ActionButtonsEnabled());
    EnableWindow(restore_, form_.RestoreButtonEnabled());
  }

  void ReloadRows() {
    filling_ = true;
    SendMessageA(startupList_, WM_SETREDRAW, FALSE, 0);
    const int top = static_cast<int>(SendMessageA(startupList_, LVM_GETTOPINDEX, 0, 0));
    const int selected = static_cast<int>(SendMessageA(startupList_, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    SendMessageA(startupList_, LVM_DELETEALLITEMS, 0, 0);
    const auto& rows = form_.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      const StartupRow& row = rows[i];
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<char*>(row.Name.c_str());
      item.iImage = row.HasExpander ? (row.Expanded ? 1 : 0) : I_IMAGENONE;
      item.iIndent = row.HasMark ? 0 : 1;
      item.stateMask = LVIS_STATEIMAGEMASK;
      item.state = INDEXTOSTATEIMAGEMASK(row.HasMark ? (row.Marked ? 2 : 1) : 0);
      SendMessageA(startupList_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      LVITEMA state{};
      state.stateMask = LVIS_STATEIMAGEMASK;
      state.state = item.state;
      SendMessageA(startupList_, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
      SetCell(startupList_, static_cast<int>(i), 1, row.Path);
      SetCell(startupList_, static_cast<int>(i), 2, row.Status);
    }
    if (selected >= 0 && selected < static_cast<int>(rows.size())) {
      // The row that was selected stays selected, so the keyboard goes on from it.
      LVITEMA state{};
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(startupList_, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&state));
    }
    if (top > 0) SendMessageA(startupList_, LVM_ENSUREVISIBLE, std::min<int>(top, static_cast<int>(rows.size()) - 1), FALSE);
    SendMessageA(startupList_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(startupList_, nullptr, TRUE);
    filling_ = false;
  }

  TStartupManagerForm form_;
  HIMAGELIST expanders_ = nullptr;
  HWND header_ = nullptr, startupPage_ = nullptr, restoralPage_ = nullptr;
  HWND startupList_ = nullptr, restoreList_ = nullptr;
  HWND enable_ = nullptr, disable_ = nullptr, remove_ = nullptr, restore_ = nullptr;
  bool filling_ = false;
};

}  // namespace

std::unique_ptr<IToolView> MakeStartupManagerWindow(const ToolViewContext& context) {
  return std::make_unique<StartupManagerWindow>(context);
}

}  // namespace tw
