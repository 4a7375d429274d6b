#include "ui/data_module.h"

#include <shellapi.h>

#include <cstring>

#include "app/scan_driver.h"
#include "app/startup.h"
#include "options/update_check.h"
#include "ui/resource.h"
#include "ui/win32_prompts.h"

namespace tw {

TImageStrip::~TImageStrip() {
  if (bitmap_) DeleteObject(bitmap_);
}

bool TImageStrip::Load(HINSTANCE instance, int resourceId, int size) {
  bitmap_ = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap_) return false;
  DIBSECTION dib{};
  if (GetObjectA(bitmap_, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits)
    return false;
  // AlphaBlend wants the colours premultiplied by their alpha.
  auto* px = static_cast<unsigned char*>(dib.dsBm.bmBits);
  const long total = static_cast<long>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight;
  for (long i = 0; i < total; ++i, px += 4) {
    const unsigned a = px[3];
    px[0] = static_cast<unsigned char>(px[0] * a / 255);
    px[1] = static_cast<unsigned char>(px[1] * a / 255);
    px[2] = static_cast<unsigned char>(px[2] * a / 255);
  }
  size_ = size;
  count_ = dib.dsBm.bmWidth / size;
  return true;
}

void TImageStrip::Draw(HDC dc, int index, int x, int y, int side) const {
  if (!bitmap_ || index < 0 || index >= count_) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bitmap_);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, side, side, mem, index * size_, 0, size_, size_, blend);
  SelectObject(mem, old);
  DeleteDC(mem);
}

TDM::TDM(HINSTANCE instance, Platform& platform, int dpi) : instance_(instance), platform_(platform) {
  osPlatform_ = OsPlatformCode(platform.system.Version().platformId);
  const bool large = dpi >= 120;
  stat_.Load(instance, large ? IDB_STATE_36 : IDB_STATE_24, large ? 36 : 24);
  bar_.Load(instance, large ? IDB_BAR_48 : IDB_BAR_32, large ? 48 : 32);
  header_.Load(instance, large ? IDB_HEADER_30 : IDB_HEADER_20, large ? 30 : 20);
  menuImages_.Load(instance, large ? IDB_MENU_24 : IDB_MENU_16, large ? 24 : 16);
  bigIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));

  mainPopupMenu_ = CreatePopupMenu();
  AppendMenuA(mainPopupMenu_, MF_STRING, IDM_OPEN, "Tarnwick");
  AppendMenuA(mainPopupMenu_, MF_STRING, IDM_HOME, "Tarnwick Home Page");
  AppendMenuA(mainPopupMenu_, MF_STRING, IDM_ABOUT, "About");
  AppendMenuA(mainPopupMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(mainPopupMenu_, MF_STRING, IDM_ONLINE_UPDATE, "Update on line");
  AppendMenuA(mainPopupMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(mainPopupMenu_, MF_STRING, IDM_EXIT, "Exit");
  SetMenuDefaultItem(mainPopupMenu_, IDM_OPEN, FALSE);
  // The pictures are drawn by the owner of the shown menu (DrawMenuPicture), blended onto the menu's colours.
  // Every entry gets the picture column, so all texts start, and are measured, alike.
  for (UINT id : {IDM_OPEN, IDM_HOME, IDM_ABOUT, IDM_ONLINE_UPDATE, IDM_EXIT}) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = HBMMENU_CALLBACK;
    SetMenuItemInfoA(mainPopupMenu_, id, FALSE, &item);
  }
}

TDM::~TDM() {
  StopScanTimer();
  RemoveTrayIcon();
  if (mainPopupMenu_) DestroyMenu(mainPopupMenu_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

HICON TDM::AppIcon(int side) const { return side <= GetSystemMetrics(SM_CXSMICON) ? smallIcon_ : bigIcon_; }

void TDM::AddTrayIcon(HWND owner, const std::string& caption) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kTrayIconId;
  data.uFlags = kTrayIconFlags;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = smallIcon_;
  const std::string tip = TrayTip(caption);
  std::memcpy(data.szTip, tip.c_str(), tip.size() + 1);
  if (Shell_NotifyIconA(NIM_ADD, &data)) trayOwner_ = owner;
}

void TDM::RemoveTrayIcon() {
  if (!trayOwner_) return;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = trayOwner_;
  data.uID = kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, &data);
  trayOwner_ = nullptr;
}

void TDM::PopupTrayMenu(HWND owner) {
  POINT cursor;
  GetCursorPos(&cursor);
  // The menu closes properly only when its owner is the foreground window.
  SetForegroundWindow(owner);
  TrackPopupMenu(mainPopupMenu_, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

namespace {

bool IsTrayMenuEntry(UINT command) { return command >= IDM_OPEN && command <= IDM_EXIT; }

// The picture of a tray menu entry: 0 for OpenMenu, 1 for OnlineUpdate1, -1 for an entry without one.
int MenuPictureOf(UINT command) {
  return command == IDM_OPEN ? 0 : command == IDM_ONLINE_UPDATE ? 1 : -1;
}

}  // namespace

bool TDM::MeasureMenuPicture(MEASUREITEMSTRUCT* item) const {
  if (item->CtlType != ODT_MENU || !IsTrayMenuEntry(item->itemID)) return false;
  item->itemWidth = static_cast<UINT>(menuImages_.Size());
  item->itemHeight = static_cast<UINT>(menuImages_.Size());
  return true;
}

bool TDM::DrawMenuPicture(const DRAWITEMSTRUCT* item) const {
  if (item->CtlType != ODT_MENU || !IsTrayMenuEntry(item->itemID)) return false;
  const int picture = MenuPictureOf(item->itemID);
  if (picture < 0) return true;
  const int side = menuImages_.Size();
  const RECT& r = item->rcItem;
  menuImages_.Draw(item->hDC, picture, r.left + (r.right - r.left - side) / 2, r.top + (r.bottom - r.top - side) / 2,
                   side);
  return true;
}

void TDM::StartScanTimer(HWND owner) {
  timerOwner_ = owner;
  SetTimer(owner, kScanTimerId, kScanTimerInterval, nullptr);
}

void TDM::StopScanTimer() {
  if (!timerOwner_) return;
  KillTimer(timerOwner_, kScanTimerId);
  timerOwner_ = nullptr;
}

bool TDM::AutomaticUpdateCheck(const Settings& settings) {
  // No window exists yet: the question, when there is one, is a message box of its own.
  Win32Prompts prompts;
  return TUpdateCheck(platform_, prompts, ExecutableFolder(platform_.files)).AtStartup(settings);
}

bool TDM::ManualUpdateCheck(IPrompts& prompts) {
  // The download blocks the window for up to the read time-out; the message boxes set their own cursor.
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  return TUpdateCheck(platform_, prompts, ExecutableFolder(platform_.files)).ManualCheck();
}

}  // namespace tw
