#include "ui/main_window_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/startup.h"
#include "platform/reg_access.h"
#include "sections/section_table.h"
#include "ui/about_window.h"
#include "ui/options_window.h"
#include "ui/repair_dialog_window.h"
#include "ui/resource.h"

namespace tw {

namespace {

constexpr const char* kPanelClass = "TTarnwickPanel";
constexpr UINT kFirstActivationMessage = WM_APP + 1;

// Layout at 100%, scaled by the view.
constexpr int kClientWidth = 820;
constexpr int kClientHeight = 590;
constexpr int kTitleHeight = 62;
constexpr int kBarWidth = 186;
constexpr int kBarItemHeight = 58;
constexpr int kBottomHeight = 66;
constexpr int kCornerEllipse = 22;
constexpr int kHeaderButtonSide = 34;
constexpr int kIconButtonSide = 30;
constexpr int kFinishStatusColumn = 170;
constexpr int kProblemRowHeight = 50;  // three lines of the row font

const char* const kHeaderTips[6] = {"About", "Update", "Options", "Help", "Minimize", "Close"};
constexpr BarButton kBarButtons[7] = {BarButton::Scan,          BarButton::Backup,
                                      BarButton::SystemOptimize, BarButton::ManageStartup,
                                      BarButton::UninstallManager, BarButton::DiskCleaner,
                                      BarButton::IERestore};
enum HeaderButton { kAbout, kUpdate, kOptions, kHelp, kMinimize, kClose };

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

MainWindowView::MainWindowView(HINSTANCE instance, Platform& platform, const Settings& settings, TDM& dm,
                               Win32Pump& pump, std::string startArgument)
    : instance_(instance),
      platform_(platform),
      dm_(dm),
      pump_(pump),
      theme_(ScreenDpi()),
      form_(platform, settings, *this, std::move(startArgument)) {}

MainWindowView::~MainWindowView() {
  toolHost_.FreeAll();
  if (problemsListBox_) RemoveWindowSubclass(problemsListBox_, ProblemsListProc, 0);
  if (window_) DestroyWindow(window_);
  if (excludePopupMenu_) DestroyMenu(excludePopupMenu_);
}

bool MainWindowView::Create(int showCommand) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = dm_.AppIcon(32);
  wc.hIconSm = dm_.AppIcon(16);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExA(&wc)) return false;
  WNDCLASSEXA panel = wc;
  panel.lpfnWndProc = PanelProc;
  panel.hIcon = panel.hIconSm = nullptr;
  panel.lpszClassName = kPanelClass;
  if (!RegisterClassExA(&panel)) return false;

  const int width = S(kClientWidth);
  const int height = S(kClientHeight);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kMainWindowClass, kAppTitle,
                            WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, x, y, width, height, nullptr,
                            nullptr, instance_, this);
  if (!window_) return false;
  pump_.SetDialogWindow(window_);
  prompts_.SetOwner(window_);
  CreateControls();

  // FormCreate: the rounded outline, the idle mode, the tray icon and the title.
  SetWindowRgn(window_, CreateRoundRectRgn(2, 2, width + 2, height + 2, S(kCornerEllipse), S(kCornerEllipse)),
               FALSE);
  form_.FormCreate();
  dm_.AddTrayIcon(window_, kAppTitle);
  Layout();
  ApplyState();
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(scanNowBtn_);
  return true;
}

HWND MainWindowView::MakePanel(HWND parent, int x, int y, int width, int height) {
  return CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y,
                         width, height, parent, nullptr, instance_, nullptr);
}

HWND MainWindowView::MakeControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y,
                                 int width, int height, int id, ThemeFont font) {
  HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(theme_.Font(font)), FALSE);
  return control;
}

void MainWindowView::CreateControls() {
  const int width = S(kClientWidth);
  const int height = S(kClientHeight);
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, window_,
                             nullptr, instance_, nullptr);

  const int side = S(kHeaderButtonSide);
  const int gap = S(4);
  for (int i = 0; i < 6; ++i) {
    // The window buttons sit at the right edge, the four header buttons left of them after a wider gap.
    const int fromRight = i >= kMinimize ? (6 - i) * (side + gap) : (6 - i) * (side + gap) + S(18);
    headerButtons_[static_cast<size_t>(i)] =
        MakeControl(window_, "BUTTON", kHeaderTips[i], BS_OWNERDRAW | WS_TABSTOP, width - S(10) - fromRight,
                    (S(kTitleHeight) - side) / 2, side, side, IDC_HEADER_FIRST + i);
    TOOLINFOA tip{};
    tip.cbSize = sizeof tip;
    tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tip.hwnd = window_;
    tip.uId = reinterpret_cast<UINT_PTR>(headerButtons_[static_cast<size_t>(i)]);
    tip.lpszText = const_cast<char*>(kHeaderTips[i]);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tip));
  }

  for (int i = 0; i < 7; ++i)
    barButtons_[static_cast<size_t>(i)] =
        MakeControl(window_, "BUTTON", BarButtonCaption(kBarButtons[i]), BS_OWNERDRAW | WS_TABSTOP, 0,
                    S(kTitleHeight) + S(14) + i * S(kBarItemHeight), S(kBarWidth), S(kBarItemHeight) - S(4),
                    IDC_BAR_FIRST + i, ThemeFont::Bar);

  const int contentX = S(kBarWidth);
  const int contentW = width - contentX;
  const int contentH = height - S(kTitleHeight) - S(kBottomHeight);
  for (auto& page : mainPages_) page = MakePanel(window_, contentX, S(kTitleHeight), contentW, contentH);
  for (auto& page : scanPages_) page = MakePanel(mainPages_[kScanSheet], 0, 0, contentW, contentH);
  for (HWND page : scanPages_) ShowWindow(page, SW_SHOW);
  advancedPanel_ = MakePanel(mainPages_[kAdvancedSheet], 0, 0, contentW, contentH);
  ShowWindow(advancedPanel_, SW_SHOW);
  toolHost_.Attach(advancedPanel_, ViewContext());
  backupPage_ = std::make_unique<BackupPageWindow>(ViewContext(), form_);
  const RECT pageBounds{0, 0, contentW, contentH};
  if (backupPage_->Create(mainPages_[kBackupSheet], pageBounds)) backupPage_->Show(true);

  CreateScanSectionsPage(scanPages_[kScanSectionsPage], contentW, contentH);

  const int margin = S(16);
  problemsPanel_ = MakeControl(scanPages_[kRepairPage], "STATIC", kProblemsHeadingAtStart,
                               SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, margin, S(10), contentW - 2 * margin, S(26),
                               IDC_PROBLEMS_HEADING, ThemeFont::Heading);
  problemsListBox_ =
      MakeControl(scanPages_[kRepairPage], "LISTBOX", "",
                  LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP |
                      WS_BORDER,
                  margin, S(42), contentW - 2 * margin, contentH - S(52), IDC_PROBLEMS_LIST);
  SetWindowSubclass(problemsListBox_, ProblemsListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  excludePopupMenu_ = CreatePopupMenu();
  AppendMenuA(excludePopupMenu_, MF_STRING, IDM_EXCLUDE, "Exclude and add key to ignore list");
  AppendMenuA(excludePopupMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(excludePopupMenu_, MF_STRING, IDM_SELECT_ALL, "Select All");
  AppendMenuA(excludePopupMenu_, MF_STRING, IDM_SELECT_NONE, "Select None");

  finishListView_ = MakeControl(scanPages_[kFinishPage], WC_LISTVIEWA, "",
                                LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS |
                                    WS_TABSTOP | WS_BORDER,
                                margin, margin, contentW - 2 * margin, contentH - 2 * margin, IDC_FINISH_LIST);
  ListView_SetExtendedListViewStyle(finishListView_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  const char* columns[2] = {"Section Name", "Status"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(columns[i]);
    column.cx = i == 0 ? contentW - 2 * margin - S(kFinishStatusColumn) - 20 : S(kFinishStatusColumn);
    SendMessageA(finishListView_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }

  bottomPanel_ = MakePanel(window_, contentX, height - S(kBottomHeight), contentW, S(kBottomHeight));
  ShowWindow(bottomPanel_, SW_SHOW);
  const int rowY = (S(kBottomHeight) - S(20)) / 2;
  // cbSelectAll carries its label abSelectAll as its own text: a click on the text toggles it, and a screen
  // reader reads it as the box's name.
  selectAllBox_ = MakeControl(bottomPanel_, "BUTTON", "Select All", BS_AUTOCHECKBOX | WS_TABSTOP, S(22), rowY, S(140),
                              S(20), IDC_SELECT_ALL, ThemeFont::Bold);
  const int buttonW = S(150);
  const int buttonH = S(40);
  const int buttonX = contentW - buttonW - S(20);
  const int buttonY = (S(kBottomHeight) - buttonH) / 2;
  HWND status = MakeControl(bottomPanel_, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE, S(22),
                            rowY, buttonX - S(40), S(20), IDC_STATUS_PANEL);
  statusPanel_.Attach(status);
  pump_.AddLabel(&statusPanel_);
  scanNowBtn_ = MakeControl(bottomPanel_, "BUTTON", "Scan Now", BS_OWNERDRAW | WS_TABSTOP, buttonX, buttonY, buttonW,
                            buttonH, IDC_SCAN_NOW, ThemeFont::Heading);
  abortScanBtn_ = MakeControl(bottomPanel_, "BUTTON", "Abort", BS_OWNERDRAW | WS_TABSTOP, buttonX, buttonY, buttonW,
                              buttonH, IDC_ABORT_SCAN, ThemeFont::Heading);
  repairBtn_ = MakeControl(bottomPanel_, "BUTTON", "Repair", BS_OWNERDRAW | WS_TABSTOP, buttonX, buttonY, buttonW,
                           buttonH, IDC_REPAIR, ThemeFont::Heading);
  finishBtn_ = MakeControl(bottomPanel_, "BUTTON", "Finish", BS_OWNERDRAW | WS_TABSTOP, buttonX, buttonY, buttonW,
                           buttonH, IDC_FINISH, ThemeFont::Heading);
}

void MainWindowView::CreateScanSectionsPage(HWND page, int width, int height) {
  const int margin = S(16);
  const int columnGap = S(14);
  const int columnW = (width - 2 * margin - columnGap) / 2;
  const int rows = (kSectionCount + 1) / 2;
  const int rowH = (height - 2 * margin) / rows;
  const int countW = S(64);
  for (int i = 0; i < kSectionCount; ++i) {
    const int column = i / rows;
    const int row = i % rows;
    const int x = margin + column * (columnW + columnGap);
    const int y = margin + row * rowH;
    const int side = S(kIconButtonSide);
    const SectionDef& def = SectionTable()[i];
    // picSection01 to picSection17, named by their sections for screen readers.
    iconButtons_[static_cast<size_t>(i)] = MakeControl(page, "BUTTON", def.caption, BS_OWNERDRAW | WS_TABSTOP, x + S(8),
                                                       y + (rowH - S(4) - side) / 2, side, side,
                                                       IDC_SECTION_ICON_FIRST + i);
    captionLabels_[static_cast<size_t>(i)] =
        MakeControl(page, "STATIC", def.caption, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS, x + S(46),
                    y + S(2), columnW - S(46) - countW - S(8), rowH - S(8), IDC_SECTION_CAPTION_FIRST + i);
    HWND count = MakeControl(page, "STATIC", "", SS_RIGHT | SS_CENTERIMAGE, x + columnW - countW - S(10), y + S(2),
                             countW, rowH - S(8), IDC_SECTION_COUNT_FIRST + i, ThemeFont::Bold);
    countLabels_[static_cast<size_t>(i)].Attach(count);
    pump_.AddLabel(&countLabels_[static_cast<size_t>(i)]);
  }
}

void MainWindowView::Layout() {
  // The lists' outer widths and the status column as it stands.
  RECT list;
  GetWindowRect(finishListView_, &list);
  RECT backup;
  GetWindowRect(mainPages_[kBackupSheet], &backup);
  form_.FormResize(list.right - list.left, ListView_GetColumnWidth(finishListView_, 1), backup.right - backup.left);
}

void MainWindowView::IconChanged(int index) {
  if (window_) InvalidateRect(iconButtons_[static_cast<size_t>(index)], nullptr, FALSE);
}

void MainWindowView::StateChanged() {
  if (window_) ApplyState();
}

void MainWindowView::ApplyState() {
  for (int i = 0; i < 3; ++i) {
    ShowWindow(mainPages_[static_cast<size_t>(i)], form_.MainPage() == i ? SW_SHOW : SW_HIDE);
    ShowWindow(scanPages_[static_cast<size_t>(i)], form_.ScanPage() == i ? SW_SHOW : SW_HIDE);
  }
  ShowWindow(selectAllBox_, form_.SelectAllVisible() ? SW_SHOW : SW_HIDE);
  ShowWindow(statusPanel_.Window(), form_.StatusPanelVisible() ? SW_SHOW : SW_HIDE);
  ShowWindow(scanNowBtn_, form_.ScanNowVisible() ? SW_SHOW : SW_HIDE);
  ShowWindow(abortScanBtn_, form_.AbortVisible() ? SW_SHOW : SW_HIDE);
  ShowWindow(repairBtn_, form_.RepairVisible() ? SW_SHOW : SW_HIDE);
  ShowWindow(finishBtn_, form_.FinishVisible() ? SW_SHOW : SW_HIDE);
  SendMessageA(selectAllBox_, BM_SETCHECK, form_.SelectAllChecked() ? BST_CHECKED : BST_UNCHECKED, 0);
  for (HWND bar : barButtons_) InvalidateRect(bar, nullptr, FALSE);

  if (backupPage_) backupPage_->Refresh();
  SetWindowTextA(problemsPanel_, form_.ProblemsHeading().c_str());
  const int problems = form_.Lists().Review.Count();
  if (problems != shownProblemRows_) {
    SendMessageA(problemsListBox_, LB_SETCOUNT, static_cast<WPARAM>(problems), 0);
    shownProblemRows_ = problems;
  }
  if (SendMessageA(problemsListBox_, LB_GETCURSEL, 0, 0) != form_.CurrentProblem())
    SendMessageA(problemsListBox_, LB_SETCURSEL, static_cast<WPARAM>(form_.CurrentProblem()), 0);
  InvalidateRect(problemsListBox_, nullptr, TRUE);
  const int finishRows = form_.Lists().Repairs.Count();
  if (finishRows != shownFinishRows_) {
    ListView_SetItemCountEx(finishListView_, finishRows, 0);
    shownFinishRows_ = finishRows;
  }
  InvalidateRect(finishListView_, nullptr, TRUE);
  if (form_.FinishFirstColumnWidth() > 0) ListView_SetColumnWidth(finishListView_, 0, form_.FinishFirstColumnWidth());

  for (Win32Label& label : countLabels_) label.Flush();
  statusPanel_.Flush();
  KeepFocusVisible();
}

void MainWindowView::KeepFocusVisible() {
  HWND focus = GetFocus();
  // The window or a panel holding the focus (after the focused button was hidden, or after the repair dialog)
  // leaves the keys with no control to act on.
  const bool control = focus && (GetWindowLongA(focus, GWL_STYLE) & WS_TABSTOP);
  if (control && IsWindowVisible(focus) && IsWindowEnabled(focus)) return;
  if (GetForegroundWindow() != window_) return;
  HWND activeBar = barButtons_[static_cast<size_t>(form_.ActiveBarButton())];
  for (HWND candidate : {scanNowBtn_, abortScanBtn_, finishBtn_, problemsListBox_, activeBar}) {
    if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
      SetFocus(candidate);
      return;
    }
  }
}

ToolViewContext MainWindowView::ViewContext() {
  return ToolViewContext{instance_, window_, platform_, form_.CurrentSettings(), form_.State(), dm_, pump_, prompts_,
                         theme_};
}

bool MainWindowView::OfferFirstFullBackup() { return ShowFirstFullBackupDialog(ViewContext()); }

void MainWindowView::ShowFullBackupWindow() { ShowRegBackupWindow(ViewContext()); }

std::unique_ptr<IRepairDialogView> MainWindowView::ShowRepairDialog(TRepairDialogForm& dialog) {
  return std::make_unique<RepairDialogWindow>(instance_, window_, dialog, pump_);
}

void MainWindowView::ShowAboutWindow() { ShowAboutWindowModal(instance_, window_, platform_, form_.CurrentSettings()); }

void MainWindowView::ShowOptionsWindow() {
  const auto checkForUpdate = [this](IPrompts& prompts) { return dm_.ManualUpdateCheck(prompts); };
  if (ShowOptionsWindowModal(instance_, window_, platform_, form_.RunningSettings(), checkForUpdate)) Terminate();
}

LRESULT CALLBACK MainWindowView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<MainWindowView*>(create->lpCreateParams)->window_ = window;
  }
  auto* view = reinterpret_cast<MainWindowView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!view) return DefWindowProcA(window, message, wParam, lParam);
  return view->Handle(message, wParam, lParam);
}

// Panels paint their own background and pass their children's notifications to the main window.
LRESULT CALLBACK MainWindowView::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND root = GetAncestor(window, GA_ROOT);
  auto* view = reinterpret_cast<MainWindowView*>(GetWindowLongPtrA(root, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(root, message, wParam, lParam);
    case WM_SIZE:
      if (view && window == view->advancedPanel_) view->toolHost_.PanelResized();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (view) view->PaintPanel(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT MainWindowView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      PaintWindow(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      // The title panel drags the window.
      if (GET_Y_LPARAM(lParam) < S(kTitleHeight)) {
        ReleaseCapture();
        SendMessageA(window_, WM_SYSCOMMAND, 0xF012, 0);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(window_, kFirstActivationMessage, 0, 0);
      break;
    case kFirstActivationMessage:
      form_.FormActivate();
      return 0;
    case WM_TIMER:
      if (wParam == TDM::kScanTimerId) form_.TimerTick();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (dm_.MeasureMenuPicture(item)) return TRUE;
      if (item->CtlID == IDC_PROBLEMS_LIST) item->itemHeight = static_cast<UINT>(S(kProblemRowHeight));
      return TRUE;
    }
    case WM_DRAWITEM:
      if (!dm_.DrawMenuPicture(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
        OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SIZE:
      if (finishListView_ && wParam != SIZE_MINIMIZED) Layout();
      break;
    case WM_CLOSE:
      HideToTray();
      return 0;
    case WM_DESTROY:
      dm_.StopScanTimer();
      dm_.RemoveTrayIcon();
      return 0;
    case kTrayCallbackMessage:
      OnTrayCallback(lParam);
      return 0;
    case kRestoreMessage:
      if (IsIconic(window_)) RestoreFromTray();
      return 0;
    case kScanRequestMessage:
      // While a dialog of the program is up the window only comes back.
      RestoreFromTray();
      if (IsWindowEnabled(window_)) form_.ScanRequestedByAnotherStart();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void MainWindowView::OnCommand(int id, int code, HWND control) {
  if (id >= IDC_SECTION_ICON_FIRST && id < IDC_SECTION_ICON_FIRST + kSectionCount) {
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) form_.picSection01Click(id - IDC_SECTION_ICON_FIRST);
    return;
  }
  if (id >= IDC_BAR_FIRST && id < IDC_BAR_FIRST + kBarButtonCount) {
    if (code == BN_CLICKED) form_.BarButtonClick(kBarButtons[id - IDC_BAR_FIRST]);
    return;
  }
  switch (id) {
    case IDC_SCAN_NOW: form_.ScanNowBtnClick(); break;
    case IDC_ABORT_SCAN: form_.AbortScanBtnClick(); break;
    case IDC_REPAIR: form_.RepairBtnClick(); break;
    case IDC_PROBLEMS_LIST:
      if (code == LBN_SELCHANGE)
        form_.ProblemsListBoxClick(static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0)));
      break;
    case IDC_FINISH: form_.FinishBtnClick(); break;
    case IDC_SELECT_ALL:
      if (code == BN_CLICKED) form_.cbSelectAllClick(SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
      break;
    case IDOK: ClickFocusedButton(); break;
    case IDC_HEADER_FIRST + kAbout: form_.AboutBtnClick(); break;
    case IDC_HEADER_FIRST + kOptions: form_.OptionsBtnClick(); break;
    case IDC_HEADER_FIRST + kUpdate: UpdateBtnClick(); break;
    case IDC_HEADER_FIRST + kHelp: form_.HelpBtnClick(); break;
    case IDC_HEADER_FIRST + kMinimize: ShowWindow(window_, SW_MINIMIZE); break;
    case IDC_HEADER_FIRST + kClose: HideToTray(); break;
    case IDM_OPEN: RestoreFromTray(); break;
    case IDM_HOME: OpenInBrowserWindow(platform_, form_.CurrentSettings().HomePage); break;
    case IDM_ABOUT: ShowAboutWindow(); break;
    case IDM_ONLINE_UPDATE: OnlineUpdate1Click(); break;
    case IDM_EXIT: Terminate(); break;
    default: break;
  }
}

LRESULT MainWindowView::OnNotify(NMHDR* header) {
  if (header->hwndFrom != finishListView_) return 0;
  if (header->code == LVN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const TRepairContents& rows = form_.Lists().Repairs;
    if ((info->item.mask & LVIF_TEXT) && info->item.iItem >= 0 && info->item.iItem < rows.Count()) {
      const TRepairRec& rec = rows.Items(info->item.iItem).Rec;
      const std::string& text = info->item.iSubItem == 0 ? rec.Caption : rec.Status;
      lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
    }
    return 0;
  }
  if (header->code == NM_CUSTOMDRAW) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
      case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const TRepairContents& rows = form_.Lists().Repairs;
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        draw->clrText = RGB(0, 0, 0);
        if (draw->iSubItem == 1 && row >= 0 && row < rows.Count())
          draw->clrText =
              rows.Items(row).Rec.Status.find("Error") != std::string::npos ? RGB(255, 0, 0) : RGB(0, 128, 0);
        return CDRF_NEWFONT;
      }
      default: return CDRF_DODEFAULT;
    }
  }
  return 0;
}

void MainWindowView::OnTrayCallback(LPARAM mouseMessage) {
  switch (TrayCallbackAction(static_cast<uint32_t>(mouseMessage))) {
    case TrayAction::Restore: RestoreFromTray(); break;
    case TrayAction::PopupMenu: dm_.PopupTrayMenu(window_); break;
    case TrayAction::AbortAndExit: Terminate(); break;
    case TrayAction::None: break;
  }
}

void MainWindowView::RestoreFromTray() {
  ShowWindow(window_, SW_RESTORE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void MainWindowView::HideToTray() {
  ShowWindow(window_, SW_MINIMIZE);
  ShowWindow(window_, SW_HIDE);
}

void MainWindowView::UpdateBtnClick() {
  if (dm_.ManualUpdateCheck(prompts_)) Terminate();
}

void MainWindowView::OnlineUpdate1Click() { UpdateBtnClick(); }

void MainWindowView::Terminate() {
  // A running scan, repair or tool loop stops at its next item and returns to the loop that sees the quit.
  form_.ExitRequested();
  PostQuitMessage(0);
}

// Enter on a focused owner-drawn button comes as IDOK from the dialog navigation: it presses that button.
void MainWindowView::ClickFocusedButton() {
  HWND focus = GetFocus();
  char name[16];
  if (!focus || !IsChild(window_, focus) || !GetClassNameA(focus, name, sizeof name) || lstrcmpiA(name, "Button"))
    return;
  if ((GetWindowLongA(focus, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) SendMessageA(focus, BM_CLICK, 0, 0);
}

HBRUSH MainWindowView::OnControlColor(HDC dc, HWND control) {
  HWND parent = GetParent(control);
  if (parent == bottomPanel_) return theme_.ControlColour(dc, ThemeSurface::Bottom);
  if (parent != scanPages_[kScanSectionsPage]) return theme_.ControlColour(dc, ThemeSurface::Content);
  // A count of problems stands out; a section that found none shows a quiet "0".
  const int id = GetDlgCtrlID(control);
  const bool count = id >= IDC_SECTION_COUNT_FIRST && id < IDC_SECTION_COUNT_FIRST + kSectionCount;
  const COLORREF text = !count ? kThemeText : WindowText(control) == "0" ? kThemeQuietText : kThemeAlertText;
  return theme_.ControlColour(dc, ThemeSurface::Card, text);
}

void MainWindowView::PaintWindow(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  RECT title{0, 0, client.right, S(kTitleHeight)};
  FillGradient(dc, title, kThemeTitleTop, kThemeTitleBottom, 0, S(kTitleHeight));
  const int iconSide = S(32);
  DrawIconEx(dc, S(18), (S(kTitleHeight) - iconSide) / 2, dm_.AppIcon(iconSide), iconSide, iconSide, 0, nullptr,
             DI_NORMAL);
  HGDIOBJ old = SelectObject(dc, theme_.Font(ThemeFont::Title));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT text{S(60), 0, S(400), S(kTitleHeight)};
  const std::string caption = form_.AppNameVersion();  // abAppNameVer
  DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, old);

  RECT bar{0, S(kTitleHeight), S(kBarWidth), client.bottom};
  FillSolid(dc, bar, kThemeBarBack);
}

void MainWindowView::PaintPanel(HWND panel, HDC dc) {
  RECT rect;
  GetClientRect(panel, &rect);
  if (panel == bottomPanel_) {
    FillSolid(dc, rect, kThemeBottomBack);
    RECT line{0, 0, rect.right, 1};
    FillSolid(dc, line, kThemeCardLine);
    return;
  }
  FillSolid(dc, rect, kThemeContentBack);
  if (panel != scanPages_[kScanSectionsPage]) return;
  // Each section sits on a white card: icon, caption and count.
  for (int i = 0; i < kSectionCount; ++i) {
    RECT icon;
    GetWindowRect(iconButtons_[static_cast<size_t>(i)], &icon);
    RECT count;
    GetWindowRect(countLabels_[static_cast<size_t>(i)].Window(), &count);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&icon), 2);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&count), 2);
    RECT card{icon.left - S(8), count.top - S(2), count.right + S(10), count.bottom + S(2)};
    theme_.DrawCard(dc, card);
  }
}

void MainWindowView::OnDrawItem(DRAWITEMSTRUCT* item) {
  const int id = static_cast<int>(item->CtlID);
  if (id == IDC_PROBLEMS_LIST) {
    DrawProblemRow(item);
  } else if (id >= IDC_SECTION_ICON_FIRST && id < IDC_SECTION_ICON_FIRST + kSectionCount) {
    DrawSectionIcon(item, id - IDC_SECTION_ICON_FIRST);
  } else if (id >= IDC_BAR_FIRST && id < IDC_BAR_FIRST + kBarButtonCount) {
    const int index = id - IDC_BAR_FIRST;
    const BarButton button = kBarButtons[index];
    theme_.DrawBarButton(*item, BarButtonCaption(button), form_.ActiveBarButton() == button, dm_.BarImages(), index);
  } else if (id >= IDC_HEADER_FIRST && id < IDC_HEADER_FIRST + 6) {
    RECT onWindow = item->rcItem;
    MapWindowPoints(item->hwndItem, window_, reinterpret_cast<POINT*>(&onWindow), 2);
    theme_.DrawHeaderButton(*item, dm_.HeaderImages(), id - IDC_HEADER_FIRST, -onWindow.top, S(kTitleHeight));
  } else {
    theme_.DrawActionButton(*item);
  }
}

void MainWindowView::DrawSectionIcon(DRAWITEMSTRUCT* item, int index) {
  HDC dc = item->hDC;
  RECT rect = item->rcItem;
  FillSolid(dc, rect, kThemeCardBack);
  const int side = S(24);
  dm_.StatImageList().Draw(dc, form_.Icon(index).Image, rect.left + (rect.right - rect.left - side) / 2,
                           rect.top + (rect.bottom - rect.top - side) / 2, side);
  if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

void MainWindowView::DrawProblemRow(DRAWITEMSTRUCT* item) {
  const int row = static_cast<int>(item->itemID);
  const TRegistryContents& review = form_.Lists().Review;
  FillSolid(item->hDC, item->rcItem, GetSysColor(COLOR_WINDOW));
  if (row < 0 || row >= review.Count()) return;
  const TContent& record = review.Items(row).Content;
  const std::string lines[3] = {record.FullKeyPath, record.ValueName, record.ValueData};
  theme_.DrawCheckRow(*item, record.Selected != 0, lines, 3);
}

// The problems list: a click on a row's check box or Space ticks and unticks it; the right button, the
// context-menu key and Shift+F10 open ExcludePopupMenu.
LRESULT CALLBACK MainWindowView::ProblemsListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR data) {
  auto* view = reinterpret_cast<MainWindowView*>(data);
  if (!view) return DefSubclassProc(window, message, wParam, lParam);
  return view->HandleProblemsList(message, wParam, lParam);
}

namespace {

// The context-menu key, or Shift+F10.
bool IsMenuKey(WPARAM key) { return key == VK_APPS || (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)); }

}  // namespace

LRESULT MainWindowView::HandleProblemsList(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = problemsListBox_;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
      const int row = LOWORD(hit);
      RECT rowRect;
      if (HIWORD(hit) == 0 && SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                           reinterpret_cast<LPARAM>(&rowRect)) != LB_ERR &&
          point.x < theme_.CheckAreaRight(rowRect))
        form_.ProblemsListBoxClickCheck(row);
      return result;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        form_.ProblemsListBoxClickCheck(static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      if (IsMenuKey(wParam)) {
        ShowExcludePopupMenu(-1);
        return 0;
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // The menu came with the key going down; the default handling would open it a second time.
      if (IsMenuKey(wParam)) return 0;
      break;
    case WM_CHAR:
      if (wParam == ' ') return 0;
      break;
    case WM_GETDLGCODE:
      // Space and the arrows stay with the list instead of going to the dialog navigation.
      return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_CONTEXTMENU:
      ShowExcludePopupMenu(lParam);
      return 0;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void MainWindowView::ShowExcludePopupMenu(LPARAM screenPoint) {
  HWND list = problemsListBox_;
  POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  if (screenPoint == -1) {
    // From the keyboard: below the current row, or at the list's corner without one.
    RECT row{0, 0, S(40), 0};
    const int current = form_.CurrentProblem();
    if (current >= 0) SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(&row));
    point = POINT{theme_.CheckAreaRight(row), row.bottom};
    ClientToScreen(list, &point);
  } else {
    // The right button makes the row under it the current one first.
    POINT client = point;
    ScreenToClient(list, &client);
    const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    if (HIWORD(hit) == 0) form_.ProblemsListBoxClick(LOWORD(hit));
  }
  const bool hasRow = form_.CurrentProblem() >= 0;
  EnableMenuItem(excludePopupMenu_, IDM_EXCLUDE, MF_BYCOMMAND | (hasRow ? MF_ENABLED : MF_GRAYED));
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(excludePopupMenu_, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, window_, nullptr));
  switch (command) {
    case IDM_EXCLUDE: form_.Excludeandaddkeytoignorelist1Click(); break;
    case IDM_SELECT_ALL: form_.SelectAll1Click(); break;
    case IDM_SELECT_NONE: form_.SelectNone1Click(); break;
    default: break;
  }
}

}  // namespace tw
