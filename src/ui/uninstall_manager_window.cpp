#include "ui/uninstall_manager_window.h"

#include <commctrl.h>

#include <string>

#include "tools/uninstall_manager.h"

namespace tw {

namespace {

enum : int { kUninstallId = 1, kRemoveId, kRefreshId, kInstalledId, kPanelId, kDetailId };

void AddColumn(HWND list, int index, const char* caption, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = width;
  column.pszText = const_cast<char*>(caption);
  SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int row, const std::string& first, const std::string& second) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(first.c_str());
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  LVITEMA cell{};
  cell.iSubItem = 1;
  cell.pszText = const_cast<char*>(second.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
}

// FormResize: the second column takes the list's width less the first column's width and 20 pixels.
void FitSecondColumn(HWND list, int slack) {
  RECT client;
  GetClientRect(list, &client);
  const int width = client.right - static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)) - slack;
  if (width > 0) SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, width);
}

class UninstallManagerWindow : public ToolWindow {
 public:
  explicit UninstallManagerWindow(const ToolViewContext& context)
      : ToolWindow(context), form_(context.platform, context.prompts) {}

 protected:
  bool OnCreate() override {
    SetWindowTextA(Window(), TInstalledManageForm::kCaption);  // names the pane, for screen readers too
    uninstall_ = MakeControl("BUTTON", "Uninstall", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kUninstallId);
    remove_ = MakeControl("BUTTON", "Remove", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kRemoveId);
    refresh_ = MakeControl("BUTTON", "Refresh", BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, kRefreshId);
    const DWORD listStyle = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP;
    installed_ = MakeControl(WC_LISTVIEWA, "ListInstalled", listStyle, 0, 0, 0, 0, kInstalledId, ThemeFont::Normal,
                             WS_EX_CLIENTEDGE);
    panel_ = MakeControl("STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 0, 0, kPanelId,
                         ThemeFont::Heading);
    detail_ = MakeControl(WC_LISTVIEWA, "ListDetail", listStyle, 0, 0, 0, 0, kDetailId, ThemeFont::Normal,
                          WS_EX_CLIENTEDGE);
    if (!installed_ || !detail_) return false;
    for (HWND list : {installed_, detail_})
      SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(installed_, 0, "Program Name", S(260));
    AddColumn(installed_, 1, "UninstallPath", S(300));
    AddColumn(detail_, 0, "Property Name", S(160));
    AddColumn(detail_, 1, "Property Value", S(300));
    form_.FormShow();
    Reload();
    return true;
  }

  void OnLayout(int width, int height) override {
    const int margin = S(16);
    int x = margin;
    for (HWND button : {uninstall_, remove_, refresh_}) {
      MoveWindow(button, x, margin, S(110), S(30), TRUE);
      x += S(118);
    }
    const int listTop = margin + S(40);
    const int detailHeight = S(130);
    const int panelTop = height - margin - detailHeight - S(30);
    MoveWindow(installed_, margin, listTop, width - 2 * margin, panelTop - S(8) - listTop, TRUE);
    MoveWindow(panel_, margin, panelTop, width - 2 * margin, S(24), TRUE);
    MoveWindow(detail_, margin, height - margin - detailHeight, width - 2 * margin, detailHeight, TRUE);
    FitSecondColumn(installed_, S(20));
    FitSecondColumn(detail_, S(20));
  }

  void OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return;
    if (id == kUninstallId) form_.TbtUninstallClick();
    else if (id == kRemoveId) form_.TbrRemoveClick();
    else if (id == kRefreshId) form_.TbtRefreshClick();
    else return;
    Reload();
  }

  // FormShow: the list is filled each time the window is shown.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
    if (message == WM_SHOWWINDOW && wParam && installed_) {
      form_.FormShow();
      Reload();
    }
    return false;
  }

  // A row selected by a click or from the keyboard shows its properties.
  LRESULT OnNotify(NMHDR* header) override {
    if (filling_ || header->idFrom != kInstalledId || header->code != LVN_ITEMCHANGED) return 0;
    const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || !((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) return 0;
    if (change->uNewState & LVIS_SELECTED) {
      form_.ListInstalledClick(change->iItem);
      ShowProperties();
    } else if (SendMessageA(installed_, LVM_GETNEXTITEM, -1, LVNI_SELECTED) < 0) {
      form_.ListInstalledClick(-1);
    }
    return 0;
  }

 private:
  void Reload() {
    filling_ = true;
    SendMessageA(installed_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(installed_, LVM_DELETEALLITEMS, 0, 0);
    const auto& rows = form_.Rows();
    for (size_t i = 0; i < rows.size(); ++i)
      AddRow(installed_, static_cast<int>(i), rows[i].DisplayName, rows[i].UninstallPath);
    SendMessageA(installed_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(installed_, nullptr, TRUE);
    filling_ = false;
    ShowProperties();
  }

  void ShowProperties() {
    SendMessageA(detail_, LVM_DELETEALLITEMS, 0, 0);
    const auto& properties = form_.Properties();
    for (size_t i = 0; i < properties.size(); ++i)
      AddRow(detail_, static_cast<int>(i), properties[i].first, properties[i].second);
    SetWindowTextA(panel_, form_.PanelText().c_str());
  }

  TInstalledManageForm form_;
  HWND uninstall_ = nullptr, remove_ = nullptr, refresh_ = nullptr;
  HWND installed_ = nullptr, panel_ = nullptr, detail_ = nullptr;
  bool filling_ = false;
};

}  // namespace

std::unique_ptr<IToolView> MakeUninstallManagerWindow(const ToolViewContext& context) {
  return std::make_unique<UninstallManagerWindow>(context);
}

}  // namespace tw
