#include "ui/browser_repair_window.h"

#include <commctrl.h>

#include "tools/browser_repair.h"
#include "ui/resource.h"
#include "ui/win32_ui.h"

namespace tw {

namespace {

constexpr int kMargin = 16;
constexpr int kHeadingHeight = 52;
constexpr int kBottomHeight = 52;
constexpr int kCheckColumn = 24;
constexpr int kStatusColumn = 120;

COLORREF ColourOf(StatusColour colour) {
  switch (colour) {
    case StatusColour::Red: return RGB(255, 0, 0);
    case StatusColour::DarkGreen: return RGB(0, 128, 0);
    case StatusColour::Black: break;
  }
  return RGB(0, 0, 0);
}

class BrowserRepairWindow : public ToolWindow {
 public:
  explicit BrowserRepairWindow(const ToolViewContext& context)
      : ToolWindow(context), form_(context.platform, context.prompts, context.pump) {}

  bool Busy() const override { return form_.Busy(); }
  void Abort() override { form_.Abort(); }

 protected:
  bool OnCreate() override {
    heading_ = MakeControl("STATIC", kBrowserRepairCaption, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, IDC_IE_HEADING,
                           ThemeFont::Heading);
    list_ = MakeControl(WC_LISTVIEWA, "",
                        LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER,
                        0, 0, 0, 0, IDC_IE_REPAIR_LIST);
    selectAll_ = MakeControl("BUTTON", "Select All", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 0, 0, IDC_IE_SELECT_ALL);
    restore_ = MakeControl("BUTTON", "Restore", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, IDC_IE_RESTORE,
                           ThemeFont::Heading);
    if (!heading_ || !list_ || !selectAll_ || !restore_) return false;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const char* columns[3] = {"", "Name", "Status"};
    const int widths[3] = {S(kCheckColumn), S(300), S(kStatusColumn)};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<char*>(columns[i]);
      column.cx = widths[i];
      SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    form_.RowsChanged = [this](int row) { Sync(row); };
    form_.FormCreate();
    return true;
  }

  void OnLayout(int width, int height) override {
    const int m = S(kMargin);
    headingCard_ = RECT{m, m, width - m, m + S(kHeadingHeight)};
    MoveWindow(heading_, m + S(20), m + S(14), width - 2 * m - S(40), S(24), TRUE);
    const int listTop = headingCard_.bottom + S(10);
    const int bottomTop = height - S(kBottomHeight);
    MoveWindow(list_, m, listTop, width - 2 * m, bottomTop - listTop, TRUE);
    MoveWindow(selectAll_, m + S(4), bottomTop + (S(kBottomHeight) - S(20)) / 2, S(140), S(20), TRUE);
    MoveWindow(restore_, width - m - S(120), bottomTop + (S(kBottomHeight) - S(32)) / 2, S(120), S(32), TRUE);
    const int others = ListView_GetColumnWidth(list_, 0) + ListView_GetColumnWidth(list_, 2);
    ListView_SetColumnWidth(list_, 1, TBrowserRepairForm::NameColumnWidth(width - 2 * m, others));
    InvalidateRect(Window(), nullptr, FALSE);
  }

  void OnPaint(HDC dc, const RECT& client) override {
    ToolWindow::OnPaint(dc, client);
    GetTheme().DrawCard(dc, headingCard_);
  }

  HBRUSH OnControlColour(HDC dc, HWND control) override {
    return GetTheme().ControlColour(dc, control == heading_ ? ThemeSurface::Card : ThemeSurface::Content);
  }

  void OnCommand(int id, int code, HWND) override {
    if (id == IDC_IE_SELECT_ALL && code == BN_CLICKED) {
      form_.cbSelectAllClick(SendMessageA(selectAll_, BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else if (id == IDC_IE_RESTORE && code == BN_CLICKED) {
      EnableWindow(restore_, FALSE);
      form_.DeleteItemBtnClick();
      EnableWindow(restore_, TRUE);
    }
  }

  LRESULT OnNotify(NMHDR* header) override {
    if (header->hwndFrom != list_) return 0;
    if (header->code == LVN_ITEMCHANGED) {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (!syncing_ && (change->uChanged & LVIF_STATE) &&
          ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) && change->iItem >= 0) {
        const bool checked = (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        form_.RowCheckClick(change->iItem, checked);
        Sync(change->iItem);  // a row the form would not change goes back to its tick
      }
      return 0;
    }
    if (header->code == NM_CUSTOMDRAW) {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
          const auto row = static_cast<size_t>(draw->nmcd.dwItemSpec);
          draw->clrText = RGB(0, 0, 0);
          if (draw->iSubItem == 2 && row < form_.Rows().size())
            draw->clrText = ColourOf(BrowserRepairStatusColour(form_.Rows()[row].Status));
          return CDRF_NEWFONT;
        }
        default: return CDRF_DODEFAULT;
      }
    }
    return 0;
  }

 private:
  // Puts the form's rows (one, or all for -1) and the "Select All" box on the screen.
  void Sync(int only) {
    syncing_ = true;
    const auto& rows = form_.Rows();
    const int count = static_cast<int>(rows.size());
    if (ListView_GetItemCount(list_) != count) {
      ListView_DeleteAllItems(list_);
      for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("");
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      }
      only = -1;
    }
    for (int i = 0; i < count; ++i) {
      if (only >= 0 && i != only) continue;
      const BrowserRepairRow& row = rows[static_cast<size_t>(i)];
      ListView_SetItemText(list_, i, 1, const_cast<char*>(row.Name.c_str()));
      ListView_SetItemText(list_, i, 2, const_cast<char*>(row.Status.c_str()));
      ListView_SetCheckState(list_, i, row.Checked);
    }
    SendMessageA(selectAll_, BM_SETCHECK, form_.SelectAllChecked() ? BST_CHECKED : BST_UNCHECKED, 0);
    syncing_ = false;
    if (only >= 0) {
      ListView_RedrawItems(list_, only, only);
      UpdateWindow(list_);
    }
  }

  TBrowserRepairForm form_;
  HWND heading_ = nullptr;
  HWND list_ = nullptr;
  HWND selectAll_ = nullptr;
  HWND restore_ = nullptr;
  RECT headingCard_{};
  bool syncing_ = false;
};

}  // namespace

std::unique_ptr<IToolView> MakeBrowserRepairWindow(const ToolViewContext& context) {
  return std::make_unique<BrowserRepairWindow>(context);
}

}  // namespace tw
