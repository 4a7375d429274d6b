#include "ui/deletion_animation.h"

#include <cmath>

namespace tw {

namespace {

constexpr int kFlightFrames = 15;  // the sheet is in the air for these frames, then rests in the bin

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF line) {
  SetDCBrushColor(dc, fill);
  SetDCPenColor(dc, line);
  Rectangle(dc, left, top, right, bottom);
}

void DrawFolder(HDC dc, int cx, int base, int unit) {
  const COLORREF fill = RGB(244, 204, 88), line = RGB(176, 134, 36);
  Box(dc, cx - 9 * unit / 4, base - 7 * unit / 2, cx - unit / 2, base - 3 * unit, fill, line);  // the tab
  SetDCBrushColor(dc, fill);
  SetDCPenColor(dc, line);
  RoundRect(dc, cx - 9 * unit / 4, base - 13 * unit / 4, cx + 9 * unit / 4, base, unit / 2, unit / 2);
  SetDCBrushColor(dc, RGB(250, 222, 130));
  RoundRect(dc, cx - 9 * unit / 4, base - 5 * unit / 2, cx + 9 * unit / 4, base, unit / 2, unit / 2);
}

void DrawBin(HDC dc, int cx, int base, int unit) {
  const COLORREF fill = RGB(150, 162, 178), line = RGB(86, 98, 116);
  SetDCBrushColor(dc, fill);
  SetDCPenColor(dc, line);
  const POINT body[4] = {{cx - 3 * unit / 2, base - 3 * unit},
                         {cx + 3 * unit / 2, base - 3 * unit},
                         {cx + 5 * unit / 4, base},
                         {cx - 5 * unit / 4, base}};
  Polygon(dc, body, 4);
  for (int i = -1; i <= 1; ++i) {
    MoveToEx(dc, cx + i * unit / 2, base - 5 * unit / 2, nullptr);
    LineTo(dc, cx + i * 2 * unit / 5, base - unit / 3);
  }
  Box(dc, cx - 7 * unit / 4, base - 7 * unit / 2, cx + 7 * unit / 4, base - 3 * unit + 1, fill, line);  // the lid
}

// A sheet of paper centred at (cx, cy), `scale` percent of its full size.
void DrawSheet(HDC dc, int cx, int cy, int unit, int scale) {
  const int w = unit * scale / 100, h = unit * 5 / 4 * scale / 100;
  if (w < 2 || h < 2) return;
  Box(dc, cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, RGB(255, 255, 255), RGB(64, 104, 168));
  SetDCPenColor(dc, RGB(170, 180, 196));
  for (int i = 1; i <= 3; ++i) {
    const int y = cy - h / 2 + i * h / 4;
    MoveToEx(dc, cx - w / 2 + w / 5, y, nullptr);
    LineTo(dc, cx + w / 2 - w / 5, y);
  }
}

}  // namespace

void DrawDeletionFrame(HDC target, const RECT& area, int frame) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen and copied in one go, so the picture never flickers.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  RECT all{0, 0, width, height};
  SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

  const int unit = height / 5 > 4 ? height / 5 : 4;
  const int base = height - unit / 2;
  const int from = width / 2 - 3 * width / 10, to = width / 2 + 3 * width / 10;
  DrawFolder(dc, from, base, unit);
  DrawBin(dc, to, base, unit);
  const int step = frame % kDeletionFrameCount;
  if (step <= kFlightFrames) {
    const double t = static_cast<double>(step) / kFlightFrames;
    const int x = from + static_cast<int>((to - from) * t);
    const int y = base - 2 * unit - static_cast<int>(std::sin(t * 3.14159265) * (height - 3 * unit));
    DrawSheet(dc, x, y, unit * 3 / 2, 100 - static_cast<int>(45 * t));
  }

  BitBlt(target, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace tw
