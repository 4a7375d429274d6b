#include "ui/theme.h"

#include <commctrl.h>

#include "ui/data_module.h"

namespace tw {

namespace {

HFONT MakeFont(int height, int weight) {
  return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

}  // namespace

COLORREF MixColour(COLORREF a, COLORREF b, int num, int den) {
  if (den <= 0) return a;
  auto c = [&](int x, int y) { return x + (y - x) * num / den; };
  return RGB(c(GetRValue(a), GetRValue(b)), c(GetGValue(a), GetGValue(b)), c(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FillGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom, int y0, int height) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    RECT line{rect.left, y, rect.right, y + 1};
    FillSolid(dc, line, MixColour(top, bottom, y - y0, height));
  }
}

void RoundBox(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF line) {
  SetDCBrushColor(dc, fill);
  SetDCPenColor(dc, line);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

std::string WindowText(HWND window) {
  char text[256];
  int n = GetWindowTextA(window, text, sizeof text);
  return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

Theme::Theme(int dpi) : dpi_(dpi > 0 ? dpi : 96) {
  const struct {
    int height;
    int weight;
  } fonts[kFontCount] = {{13, FW_NORMAL}, {13, FW_BOLD}, {15, FW_BOLD}, {21, FW_BOLD}, {13, FW_BOLD}, {11, FW_NORMAL}};
  for (int i = 0; i < kFontCount; ++i) fonts_[i] = MakeFont(S(fonts[i].height), fonts[i].weight);
  for (ThemeSurface surface : {ThemeSurface::Content, ThemeSurface::Card, ThemeSurface::Bottom})
    brushes_[static_cast<int>(surface)] = CreateSolidBrush(Back(surface));
}

Theme::~Theme() {
  for (HFONT font : fonts_) DeleteObject(font);
  for (HBRUSH brush : brushes_) DeleteObject(brush);
}

COLORREF Theme::Back(ThemeSurface surface) const {
  switch (surface) {
    case ThemeSurface::Card: return kThemeCardBack;
    case ThemeSurface::Bottom: return kThemeBottomBack;
    case ThemeSurface::Content: break;
  }
  return kThemeContentBack;
}

HBRUSH Theme::ControlColour(HDC dc, ThemeSurface surface, COLORREF text) const {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  SetBkColor(dc, Back(surface));
  return brushes_[static_cast<int>(surface)];
}

void Theme::DrawFocusFrame(HDC dc, const RECT& rect, int inset, bool onDark) const {
  RECT focus = rect;
  InflateRect(&focus, -inset, -inset);
  if (onDark) SetTextColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &focus);
}

void Theme::DrawActionButton(const DRAWITEMSTRUCT& item, COLORREF back) const {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillSolid(dc, rect, back);
  const bool disabled = item.itemState & ODS_DISABLED;
  const bool pressed = item.itemState & ODS_SELECTED;
  COLORREF top = disabled ? RGB(176, 184, 196) : pressed ? kThemeButtonBottom : kThemeButtonTop;
  COLORREF bottom = disabled ? RGB(150, 158, 170) : pressed ? RGB(24, 80, 160) : kThemeButtonBottom;
  HRGN region = CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, S(12), S(12));
  SelectClipRgn(dc, region);
  FillGradient(dc, rect, top, bottom, rect.top, rect.bottom - rect.top);
  SelectClipRgn(dc, nullptr);
  DeleteObject(region);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, Font(ThemeFont::Heading));
  const std::string text = WindowText(item.hwndItem);
  DrawTextA(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusFrame(dc, rect, S(4), false);
}

void Theme::DrawBarButton(const DRAWITEMSTRUCT& item, const char* caption, bool active, const TImageStrip& images,
                          int index) const {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillSolid(dc, rect, active ? kThemeBarActive : kThemeBarBack);
  if (active) {
    RECT accent{rect.left, rect.top, rect.left + S(4), rect.bottom};
    FillSolid(dc, accent, kThemeBarAccent);
  }
  const int side = S(32);
  images.Draw(dc, index, rect.left + S(12), rect.top + (rect.bottom - rect.top - side) / 2, side);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, active ? RGB(255, 255, 255) : kThemeBarText);
  HGDIOBJ old = SelectObject(dc, Font(ThemeFont::Bar));
  RECT text{rect.left + S(52), rect.top, rect.right - S(4), rect.bottom};
  // A caption wider than its room goes on two lines, centred as one block.
  RECT need = text;
  DrawTextA(dc, caption, -1, &need, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  if (need.right <= text.right) {
    DrawTextA(dc, caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else {
    need = text;
    DrawTextA(dc, caption, -1, &need, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int height = need.bottom - need.top;
    text.top += (text.bottom - text.top - height) / 2;
    DrawTextA(dc, caption, -1, &text, DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusFrame(dc, rect, S(3), true);
}

void Theme::DrawHeaderButton(const DRAWITEMSTRUCT& item, const TImageStrip& images, int index, int titleTop,
                             int titleHeight) const {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillGradient(dc, rect, kThemeTitleTop, kThemeTitleBottom, titleTop, titleHeight);
  if (item.itemState & ODS_SELECTED) {
    RECT inner = rect;
    InflateRect(&inner, -S(1), -S(1));
    RoundBox(dc, inner, S(8), RGB(70, 130, 210), RGB(120, 170, 240));
  }
  const int side = S(20);
  if (!(item.itemState & ODS_DISABLED)) {
    images.Draw(dc, index, rect.left + (rect.right - rect.left - side) / 2,
                rect.top + (rect.bottom - rect.top - side) / 2, side);
  } else {
    // Drawn faintly: blend the picture at a third of its strength.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, rect.right, rect.bottom);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, rect.right, rect.bottom, dc, 0, 0, SRCCOPY);
    images.Draw(mem, index, (rect.right - side) / 2, (rect.bottom - side) / 2, side);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 90, 0};
    AlphaBlend(dc, 0, 0, rect.right, rect.bottom, mem, 0, 0, rect.right, rect.bottom, blend);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusFrame(dc, rect, S(2), true);
}

void Theme::DrawCard(HDC dc, const RECT& rect) const { RoundBox(dc, rect, S(10), kThemeCardBack, kThemeCardLine); }

RECT Theme::CheckBoxRect(const RECT& row) const {
  const int side = S(kCheckBoxSide);
  const int left = row.left + (S(kCheckAreaWidth) - side) / 2;
  const int top = row.top + (row.bottom - row.top - side) / 2;
  return RECT{left, top, left + side, top + side};
}

void Theme::DrawCheckRow(const DRAWITEMSTRUCT& item, bool checked, const std::string* lines, int lineCount) const {
  HDC dc = item.hDC;
  RECT box = CheckBoxRect(item.rcItem);
  DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));

  // The text sits in the row less the check column, shrunk by 2 pixels left and right and 4 top and bottom,
  // framed by a rectangle of that size.
  RECT rect = item.rcItem;
  rect.left += S(kCheckAreaWidth) + 2;
  rect.right -= 2;
  rect.top += 4;
  rect.bottom -= 4;
  const bool selected = item.itemState & ODS_SELECTED;
  SetDCPenColor(dc, selected ? RGB(0, 0, 255) : GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? RGB(0, 0, 255) : RGB(0, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, Font(ThemeFont::Row));
  const int lineHeight = lineCount > 0 ? (rect.bottom - rect.top - 2) / lineCount : 0;
  for (int i = 0; i < lineCount; ++i) {
    RECT line{rect.left + S(4), rect.top + 1 + i * lineHeight, rect.right - S(4), rect.top + 1 + (i + 1) * lineHeight};
    const UINT ellipsis = i == 0 ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS;
    DrawTextA(dc, lines[i].c_str(), -1, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ellipsis);
  }
  SelectObject(dc, oldFont);
  if ((item.itemState & ODS_FOCUS) && GetFocus() == item.hwndItem) DrawFocusFrame(dc, rect, 1, false);
}

void Theme::DrawPictureButton(const DRAWITEMSTRUCT& item, const TImageStrip& images, int index, COLORREF back) const {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillSolid(dc, rect, back);
  const bool pressed = item.itemState & ODS_SELECTED;
  if (IsHotButton(item.hwndItem) || pressed) DrawCard(dc, rect);
  const int side = images.Size();
  const int offset = pressed ? S(1) : 0;
  images.Draw(dc, index, rect.left + (rect.right - rect.left - side) / 2 + offset, rect.top + S(6) + offset, side);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, item.itemState & ODS_DISABLED ? kThemeQuietText : kThemeText);
  HGDIOBJ old = SelectObject(dc, Font(ThemeFont::Bold));
  RECT text{rect.left, rect.top + S(10) + side, rect.right, rect.bottom - S(4)};
  const std::string caption = WindowText(item.hwndItem);
  DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusFrame(dc, rect, S(3), false);
}

namespace {

constexpr const char* kHotProperty = "TarnwickHot";

LRESULT CALLBACK HotButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!GetPropA(button, kHotProperty)) {
        SetPropA(button, kHotProperty, reinterpret_cast<HANDLE>(1));
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
        TrackMouseEvent(&track);
        InvalidateRect(button, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      RemovePropA(button, kHotProperty);
      InvalidateRect(button, nullptr, FALSE);
      break;
    case WM_NCDESTROY:
      RemovePropA(button, kHotProperty);
      RemoveWindowSubclass(button, HotButtonProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void TrackHotButton(HWND button) { SetWindowSubclass(button, HotButtonProc, 0, 0); }

bool IsHotButton(HWND button) { return GetPropA(button, kHotProperty) != nullptr; }

}  // namespace tw
