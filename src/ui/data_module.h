// The data module TDM: the tray icon and its menu MainPopupMenu, the image lists and the ScanTimer.
#pragma once
#include <windows.h>

#include <string>

#include "app/prompts.h"
#include "app/settings.h"
#include "platform/platform.h"

namespace tw {

// A strip of equally sized 32-bit pictures with alpha, drawn blended.
class TImageStrip {
 public:
  TImageStrip() = default;
  TImageStrip(const TImageStrip&) = delete;
  TImageStrip& operator=(const TImageStrip&) = delete;
  ~TImageStrip();
  // Loads the bitmap resource and premultiplies its alpha; `size` is the side of one picture.
  bool Load(HINSTANCE instance, int resourceId, int size);
  // Draws picture `index` into the square at (x, y) of side `side`; a negative index draws nothing.
  void Draw(HDC dc, int index, int x, int y, int side) const;
  int Size() const { return size_; }

 private:
  HBITMAP bitmap_ = nullptr;
  int size_ = 0;
  int count_ = 0;
};

class TDM {
 public:
  static constexpr UINT_PTR kScanTimerId = 1;
  static constexpr UINT kScanTimerInterval = 20;

  TDM(HINSTANCE instance, Platform& platform, int dpi);
  ~TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  HICON AppIcon(int side) const;
  const TImageStrip& StatImageList() const { return stat_; }
  const TImageStrip& BarImages() const { return bar_; }
  const TImageStrip& HeaderImages() const { return header_; }
  int OsPlatform() const { return osPlatform_; }

  // The tray icon, calling back `owner` with 0x500.
  void AddTrayIcon(HWND owner, const std::string& caption);
  void RemoveTrayIcon();
  // Shows MainPopupMenu at the cursor; its commands go to `owner` as WM_COMMAND.
  void PopupTrayMenu(HWND owner);
  // The owner's WM_MEASUREITEM and WM_DRAWITEM for the pictures of the tray menu (OpenMenu icon 0,
  // OnlineUpdate1 icon 1, the other entries an empty picture column); false for any other item.
  bool MeasureMenuPicture(MEASUREITEMSTRUCT* item) const;
  bool DrawMenuPicture(const DRAWITEMSTRUCT* item) const;

  void StartScanTimer(HWND owner);
  void StopScanTimer();

  // The update check. At start-up, when "CheckUpdate" was on; true when the program must end now because the
  // updater was started.
  bool AutomaticUpdateCheck(const Settings& settings);
  // "Update on line" and the update buttons; true when the program must end now.
  bool ManualUpdateCheck(IPrompts& prompts);

 private:
  HINSTANCE instance_;
  Platform& platform_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  TImageStrip stat_;
  TImageStrip bar_;
  TImageStrip header_;
  TImageStrip menuImages_;
  HMENU mainPopupMenu_ = nullptr;
  HWND trayOwner_ = nullptr;
  HWND timerOwner_ = nullptr;
  int osPlatform_ = 0;
};

}  // namespace tw
