#include "ui/optimizer_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "optimizer/optimizer.h"
#include "ui/win32_ui.h"

namespace tw {
namespace {

// Control IDs: one block per page and one for the bottom row.
constexpr int IDC_OPT_HEADING = 1401;
constexpr int IDC_OPT_SIDE = 1402;
constexpr int IDC_OPT_MODELGROUP = 1410;
constexpr int IDC_OPT_MODEL0 = 1411;  // to 1417
constexpr int IDC_OPT_MEMOTEXT = 1420;
constexpr int IDC_OPT_CHK1 = 1430;  // to 1451
constexpr int IDC_OPT_MEMOSER = 1460;
constexpr int IDC_OPT_OCHK1 = 1470;  // to 1496
constexpr int IDC_OPT_GROUP1 = 1500;  // to 1503
constexpr int IDC_OPT_MEMOREG = 1510;
constexpr int IDC_OPT_LIST = 1520;
constexpr int IDC_OPT_RESTORE = 1521;
constexpr int IDC_OPT_DELETE = 1522;
constexpr int IDC_OPT_RESET = 1530;
constexpr int IDC_OPT_FAST = 1531;
constexpr int IDC_OPT_OPTIMIZE = 1532;
constexpr int IDC_OPT_BACK = 1533;
constexpr int IDC_OPT_NEXT = 1534;

// The three lines of the side panel, wrapped to the panel's width.
constexpr const char* kSideText =
    "The 'System Optimize' utility will automatically optimize all categories in "
    "the fastest speed with standard optimization options. Just click 'System "
    "Optimize' to proceed.";

class OptimizerWindow : public ToolWindow {
 public:
  explicit OptimizerWindow(const ToolViewContext& context)
      : ToolWindow(context), form_(context.platform, context.prompts, context.pump) {}

  bool Busy() const override { return form_.Busy(); }
  void Abort() override { form_.Abort(); }

 protected:
  bool OnCreate() override {
    heading_ = MakeControl("STATIC", "Optimize System ", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, IDC_OPT_HEADING,
                           ThemeFont::Heading);
    side_ = MakeControl("STATIC", kSideText, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, IDC_OPT_SIDE);

    modelGroup_ = MakeControl("STATIC", "Select the optimization model", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                              IDC_OPT_MODELGROUP, ThemeFont::Bold);
    for (int i = 0; i < kModelCount; ++i)
      models_[i] = MakeControl("BUTTON", ServiceModels()[i].name,
                               BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), 0, 0, 0, 0,
                               IDC_OPT_MODEL0 + i);
    memoText_ = MakeMemo(IDC_OPT_MEMOTEXT);
    for (int i = 0; i < kServiceBoxCount; ++i)
      services_[i] = MakeControl("BUTTON", ServiceBoxTable()[i].caption, BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP,
                                 0, 0, 0, 0, IDC_OPT_CHK1 + i);
    memoSer_ = MakeMemo(IDC_OPT_MEMOSER);
    for (int i = 0; i < kTweakGroupCount; ++i)
      groups_[i] = MakeControl("STATIC", TweakGroups()[i].heading, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                               IDC_OPT_GROUP1 + i, ThemeFont::Bold);
    for (int i = 0; i < kTweakCount; ++i)
      tweaks_[i] = MakeControl("BUTTON", Tweaks()[i].caption, BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0, 0, 0, 0,
                               IDC_OPT_OCHK1 + i);
    memoReg_ = MakeMemo(IDC_OPT_MEMOREG);

    list_ = MakeControl(WC_LISTVIEWA, "",
                        LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP | WS_BORDER, 0,
                        0, 0, 0, IDC_OPT_LIST);
    if (!list_) return false;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("Reset Item");
    column.cx = S(400);
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    restore_ = MakeButton("Restore", IDC_OPT_RESTORE);
    delete_ = MakeButton("Delete Item", IDC_OPT_DELETE);

    reset_ = MakeButton("Reset", IDC_OPT_RESET);
    fast_ = MakeButton("Fast Optimize", IDC_OPT_FAST);
    optimize_ = MakeButton("Optimize", IDC_OPT_OPTIMIZE);
    back_ = MakeButton("Back", IDC_OPT_BACK);
    next_ = MakeButton("Next", IDC_OPT_NEXT);
    Refresh();
    return true;
  }

  void OnLayout(int width, int height) override {
    const int margin = S(16);
    const int bottom = height - S(52);
    const int contentWidth = width - margin * 2;
    MoveWindow(heading_, margin, margin, contentWidth, S(24), TRUE);
    MoveWindow(side_, margin, margin + S(26), contentWidth, S(34), TRUE);
    const int top = margin + S(66);
    const int memoHeight = S(84);
    const int memoTop = bottom - memoHeight - S(8);

    // Page "1": the models on a card, then their description.
    const int modelRow = std::min(S(24), std::max(S(18), (memoTop - top - S(40)) / kModelCount));
    modelCard_ = RECT{margin, top, margin + contentWidth, top + S(34) + kModelCount * modelRow};
    MoveWindow(modelGroup_, margin + S(12), top + S(8), contentWidth - S(24), S(20), TRUE);
    for (int i = 0; i < kModelCount; ++i)
      MoveWindow(models_[i], margin + S(20), top + S(30) + i * modelRow, contentWidth - S(40), modelRow, TRUE);
    const int memoTextTop = modelCard_.bottom + S(8);
    MoveWindow(memoText_, margin, memoTextTop, contentWidth, bottom - memoTextTop, TRUE);

    // Page "2": two columns of service boxes.
    const int column = contentWidth / 2;
    const int rows = (kServiceBoxCount + 1) / 2;
    const int serviceRow = std::min(S(22), std::max(S(16), (memoTop - top) / rows));
    for (int i = 0; i < kServiceBoxCount; ++i)
      MoveWindow(services_[i], margin + (i / rows) * column, top + (i % rows) * serviceRow, column - S(6),
                 serviceRow, TRUE);
    MoveWindow(memoSer_, margin, memoTop, contentWidth, memoHeight, TRUE);

    // Page "3": two groups per column, each heading above its boxes.
    // The longer column holds the last two groups: 15 boxes and 2 headings.
    const int tweakRow = std::min(S(21), std::max(S(14), (bottom - top - S(48)) / 17));
    int y[2] = {top, top};
    for (int g = 0; g < kTweakGroupCount; ++g) {
      const int col = g < 2 ? 0 : 1;
      const int x = margin + col * column;
      MoveWindow(groups_[g], x, y[col], column - S(6), tweakRow, TRUE);
      y[col] += tweakRow;
      const int last = g + 1 < kTweakGroupCount ? TweakGroups()[g + 1].firstTweak : kTweakCount;
      for (int i = TweakGroups()[g].firstTweak; i < last; ++i) {
        MoveWindow(tweaks_[i], x + S(8), y[col], column - S(14), tweakRow, TRUE);
        y[col] += tweakRow;
      }
    }
    const int memoRegTop = std::max(y[0], y[1]) + S(6);
    MoveWindow(memoReg_, margin, memoRegTop, contentWidth, std::max(S(40), bottom - memoRegTop), TRUE);

    // Page "4": the list with its two buttons below.
    MoveWindow(list_, margin, top, contentWidth, bottom - top - S(48), TRUE);
    ListView_SetColumnWidth(list_, 0, contentWidth - S(24));
    MoveWindow(restore_, margin, bottom - S(40), S(120), S(32), TRUE);
    MoveWindow(delete_, margin + S(132), bottom - S(40), S(120), S(32), TRUE);

    HWND row[] = {reset_, fast_, optimize_, back_, next_};
    const int buttonWidth = std::min(S(120), (contentWidth - 4 * S(8)) / 5);
    int x = width - margin - 5 * buttonWidth - 4 * S(8);
    for (HWND button : row) {
      MoveWindow(button, x, height - S(44), buttonWidth, S(34), TRUE);
      x += buttonWidth + S(8);
    }
    InvalidateRect(Window(), nullptr, FALSE);
  }

  void OnCommand(int id, int code, HWND) override {
    if (form_.Busy()) return;
    if (id >= IDC_OPT_MODEL0 && id < IDC_OPT_MODEL0 + kModelCount) {
      if (code == BN_CLICKED) form_.RGModeClick(id - IDC_OPT_MODEL0);
    } else if (id >= IDC_OPT_CHK1 && id < IDC_OPT_CHK1 + kServiceBoxCount) {
      const int box = id - IDC_OPT_CHK1;
      if (code == BN_SETFOCUS) form_.ServiceBoxMouseMove(box);
      if (code == BN_CLICKED) form_.ServiceBoxClick(box, Checked(services_[box]));
    } else if (id >= IDC_OPT_OCHK1 && id < IDC_OPT_OCHK1 + kTweakCount) {
      const int box = id - IDC_OPT_OCHK1;
      if (code == BN_SETFOCUS) form_.TweakBoxMouseMove(box);
      if (code == BN_CLICKED) form_.TweakBoxClick(box, Checked(tweaks_[box]));
    } else if (code == BN_CLICKED) {
      switch (id) {
        case IDC_OPT_RESET: form_.btnDefaultClick(); break;
        case IDC_OPT_FAST: form_.btnOneClickClick(); break;
        case IDC_OPT_OPTIMIZE: form_.btnExeClick(); break;
        case IDC_OPT_BACK: form_.ReturnBtnClick(); break;
        case IDC_OPT_NEXT: form_.btnOptimizeClick(); break;
        case IDC_OPT_RESTORE: form_.BtnRestoreClick(); break;
        case IDC_OPT_DELETE: form_.btndeleteClick(); break;
        default: return;
      }
    } else {
      return;
    }
    Refresh();
  }

  LRESULT OnNotify(NMHDR* header) override {
    if (header->idFrom == IDC_OPT_LIST && header->code == LVN_ITEMCHANGED && !form_.Busy())
      form_.ListView1Select(static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                          LVNI_SELECTED)));
    return 0;
  }

  // The mouse over a box: its children ask this window for the cursor first, naming themselves.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
    if (message != WM_SETCURSOR) return false;
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
    if (id >= IDC_OPT_CHK1 && id < IDC_OPT_CHK1 + kServiceBoxCount && hovered_ != id) {
      form_.ServiceBoxMouseMove(id - IDC_OPT_CHK1);
      SetText(memoSer_, form_.MemoSer());
    } else if (id >= IDC_OPT_OCHK1 && id < IDC_OPT_OCHK1 + kTweakCount && hovered_ != id) {
      form_.TweakBoxMouseMove(id - IDC_OPT_OCHK1);
      SetText(memoReg_, form_.MemoReg());
    }
    hovered_ = id;
    return false;
  }

  void OnPaint(HDC dc, const RECT& client) override {
    ToolWindow::OnPaint(dc, client);
    if (form_.Page() == 1) GetTheme().DrawCard(dc, modelCard_);
  }

  HBRUSH OnControlColour(HDC dc, HWND control) override {
    const int id = GetDlgCtrlID(control);
    if (control == memoText_ || control == memoSer_ || control == memoReg_ || control == modelGroup_ ||
        (id >= IDC_OPT_MODEL0 && id < IDC_OPT_MODEL0 + kModelCount))
      return GetTheme().ControlColour(dc, ThemeSurface::Card);
    return GetTheme().ControlColour(dc, ThemeSurface::Content);
  }

 private:
  HWND MakeMemo(int id) {
    return MakeControl("EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0,
                       id, ThemeFont::Normal, WS_EX_CLIENTEDGE);
  }
  HWND MakeButton(const char* caption, int id) {
    return MakeControl("BUTTON", caption, BS_OWNERDRAW | WS_TABSTOP, 0, 0, 0, 0, id, ThemeFont::Normal);
  }
  static bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static void SetText(HWND control, const std::string& text) {
    if (WindowText(control) != text) SetWindowTextA(control, text.c_str());
  }
  static void ShowAll(const HWND* controls, size_t count, bool shown) {
    for (size_t i = 0; i < count; ++i) ShowWindow(controls[i], shown ? SW_SHOW : SW_HIDE);
  }
  static void SetButton(HWND button, const OptimizerButton& state) {
    SetText(button, state.caption);
    EnableWindow(button, state.enabled);
    ShowWindow(button, state.visible ? SW_SHOW : SW_HIDE);
    InvalidateRect(button, nullptr, FALSE);
  }

  // Shows the controller's state: the page, the boxes, the texts, the buttons and the restore points.
  void Refresh() {
    const int page = form_.Page();
    ShowWindow(modelGroup_, page == 1 ? SW_SHOW : SW_HIDE);
    ShowAll(models_.data(), models_.size(), page == 1);
    ShowWindow(memoText_, page == 1 ? SW_SHOW : SW_HIDE);
    ShowAll(services_.data(), services_.size(), page == 2);
    ShowWindow(memoSer_, page == 2 ? SW_SHOW : SW_HIDE);
    ShowAll(groups_.data(), groups_.size(), page == 3);
    ShowAll(tweaks_.data(), tweaks_.size(), page == 3);
    ShowWindow(memoReg_, page == 3 ? SW_SHOW : SW_HIDE);
    for (HWND control : {list_, restore_, delete_}) ShowWindow(control, page == 4 ? SW_SHOW : SW_HIDE);

    for (int i = 0; i < kModelCount; ++i)
      SendMessageA(models_[i], BM_SETCHECK, form_.Model() == i ? BST_CHECKED : BST_UNCHECKED, 0);
    for (int i = 0; i < kServiceBoxCount; ++i)
      SendMessageA(services_[i], BM_SETCHECK, form_.ServiceBoxStates()[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    for (int i = 0; i < kTweakCount; ++i)
      SendMessageA(tweaks_[i], BM_SETCHECK, form_.TweakBoxStates()[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    SetText(memoText_, form_.MemoText());
    SetText(memoSer_, form_.MemoSer());
    SetText(memoReg_, form_.MemoReg());
    SetButton(reset_, form_.btnDefault());
    SetButton(fast_, form_.btnOneClick());
    SetButton(optimize_, form_.btnExe());
    SetButton(back_, form_.ReturnBtn());
    SetButton(next_, form_.btnOptimize());

    // The list is filled as the page opens (Reset); it keeps its rows while another page shows.
    if (page == 4 && shownPage_ != 4) {
      SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
      for (size_t i = 0; i < form_.RestorePoints().size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(form_.RestorePoints()[i].caption.c_str());
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      }
      form_.ListView1Select(-1);
    }
    if (shownPage_ != page) InvalidateRect(Window(), nullptr, FALSE);
    shownPage_ = page;
  }

  TOptimizeForm form_;
  HWND heading_ = nullptr, side_ = nullptr, modelGroup_ = nullptr;
  std::array<HWND, kModelCount> models_{};
  std::array<HWND, kServiceBoxCount> services_{};
  std::array<HWND, kTweakGroupCount> groups_{};
  std::array<HWND, kTweakCount> tweaks_{};
  RECT modelCard_{};
  HWND memoText_ = nullptr, memoSer_ = nullptr, memoReg_ = nullptr;
  HWND list_ = nullptr, restore_ = nullptr, delete_ = nullptr;
  HWND reset_ = nullptr, fast_ = nullptr, optimize_ = nullptr, back_ = nullptr, next_ = nullptr;
  int shownPage_ = 0;
  int hovered_ = 0;
};

}  // namespace

std::unique_ptr<IToolView> MakeOptimizerWindow(const ToolViewContext& context) {
  return std::make_unique<OptimizerWindow>(context);
}

}  // namespace tw
