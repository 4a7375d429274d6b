// The one look every window of the program shares: colours, fonts, scaling to the screen's DPI, and the pieces
// the main window draws for everyone (owner-drawn action, bar and header buttons, cards, checked list rows,
// focus frames, the backgrounds of labels on each surface).
//
// A window takes one Theme (the main window's, handed on to the tool windows) and draws with it:
//   - sizes: every layout number is given at 100% and passed through S();
//   - fonts: Font(ThemeFont::...) — never CreateFont in a window of its own;
//   - backgrounds: answer WM_CTLCOLORSTATIC / WM_CTLCOLORBTN with ControlColour(dc, surface);
//   - owner-drawn buttons (BS_OWNERDRAW): DrawActionButton (its caption is the button's text, which is also
//     what screen readers read, so give every owner-drawn button its caption as window text);
//   - cards: DrawCard behind a group of controls, painted by the parent in WM_PAINT;
//   - list rows that are drawn by the owner: DrawCheckRow (check box, frame, up to three lines).
#pragma once
#include <windows.h>

#include <string>

namespace tw {

class TImageStrip;

constexpr COLORREF kThemeTitleTop = RGB(26, 66, 124);
constexpr COLORREF kThemeTitleBottom = RGB(40, 108, 190);
constexpr COLORREF kThemeBarBack = RGB(34, 44, 62);
constexpr COLORREF kThemeBarActive = RGB(54, 72, 102);
constexpr COLORREF kThemeBarAccent = RGB(96, 170, 255);
constexpr COLORREF kThemeBarText = RGB(214, 222, 236);
constexpr COLORREF kThemeContentBack = RGB(238, 242, 248);
constexpr COLORREF kThemeCardBack = RGB(255, 255, 255);
constexpr COLORREF kThemeCardLine = RGB(214, 222, 234);
constexpr COLORREF kThemeBottomBack = RGB(226, 232, 242);
constexpr COLORREF kThemeText = RGB(30, 36, 48);
constexpr COLORREF kThemeQuietText = RGB(120, 130, 145);
constexpr COLORREF kThemeAlertText = RGB(200, 60, 50);
constexpr COLORREF kThemeGoodText = RGB(0, 128, 0);
constexpr COLORREF kThemeErrorText = RGB(255, 0, 0);
constexpr COLORREF kThemeButtonTop = RGB(66, 146, 236);
constexpr COLORREF kThemeButtonBottom = RGB(30, 96, 186);

enum class ThemeFont {
  Normal,   // labels, lists
  Bold,     // counts, emphasised labels
  Heading,  // page headings and action button captions
  Title,    // the window title
  Bar,      // the left button bar
  Row,      // the small text of three-line list rows
};

// The backgrounds labels and check boxes stand on.
enum class ThemeSurface { Content, Card, Bottom };

class Theme {
 public:
  explicit Theme(int dpi);
  ~Theme();
  Theme(const Theme&) = delete;
  Theme& operator=(const Theme&) = delete;

  int Dpi() const { return dpi_; }
  // `pixels` at 100% scaled to the screen.
  int S(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  HFONT Font(ThemeFont font) const { return fonts_[static_cast<int>(font)]; }
  COLORREF Back(ThemeSurface surface) const;
  // For WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: text colour `text` on `surface`; returns the brush to hand back.
  HBRUSH ControlColour(HDC dc, ThemeSurface surface, COLORREF text = kThemeText) const;

  // A rounded blue button with its window text centred; the corners show `back`.
  void DrawActionButton(const DRAWITEMSTRUCT& item, COLORREF back = kThemeBottomBack) const;
  // One item of the dark left bar: picture `index` of `images`, the caption on one line or, when it does not fit,
  // on two; the active item is lighter with an accent stripe.
  void DrawBarButton(const DRAWITEMSTRUCT& item, const char* caption, bool active, const TImageStrip& images,
                     int index) const;
  // A picture button on the title gradient; `titleTop` is the gradient's top in the button's coordinates.
  void DrawHeaderButton(const DRAWITEMSTRUCT& item, const TImageStrip& images, int index, int titleTop,
                        int titleHeight) const;
  // A picture button: picture `index` of `images` above the button's window text, on `back`; under the mouse
  // (see TrackHotButton) a card is drawn behind it.
  void DrawPictureButton(const DRAWITEMSTRUCT& item, const TImageStrip& images, int index, COLORREF back) const;
  // A white rounded card with a thin line.
  void DrawCard(HDC dc, const RECT& rect) const;
  // A row of an owner-drawn list: a check box at the left (in CheckBoxRect), a frame, and `lineCount` lines of
  // text (the first shortened in the middle like a path, the others at the end).
  void DrawCheckRow(const DRAWITEMSTRUCT& item, bool checked, const std::string* lines, int lineCount) const;
  // Where DrawCheckRow puts the check box of `row`; clicks left of CheckAreaRight tick the row.
  RECT CheckBoxRect(const RECT& row) const;
  int CheckAreaRight(const RECT& row) const { return row.left + S(kCheckAreaWidth); }
  // The dotted focus frame `inset` pixels inside `rect`; white on a dark background.
  void DrawFocusFrame(HDC dc, const RECT& rect, int inset, bool onDark) const;

 private:
  static constexpr int kCheckAreaWidth = 24;
  static constexpr int kCheckBoxSide = 13;
  static constexpr int kFontCount = 6;

  int dpi_;
  HFONT fonts_[kFontCount]{};
  HBRUSH brushes_[3]{};  // by ThemeSurface
};

// Drawing helpers the Theme is built from, for pieces a window draws itself.
COLORREF MixColour(COLORREF a, COLORREF b, int num, int den);
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
// Fills `rect` with the part of a vertical gradient that runs from `top` at y0 to `bottom` at y0 + height.
void FillGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom, int y0, int height);
void RoundBox(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF line);
std::string WindowText(HWND window);
// Makes an owner-drawn button repaint as the mouse enters and leaves it; IsHotButton tells whether it is under
// the mouse now.
void TrackHotButton(HWND button);
bool IsHotButton(HWND button);

}  // namespace tw
