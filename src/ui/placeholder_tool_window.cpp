#include "ui/placeholder_tool_window.h"

#include <string>

namespace tw {

namespace {

constexpr int kHeadingId = 1;
constexpr int kTextId = 2;

class PlaceholderToolWindow : public ToolWindow {
 public:
  PlaceholderToolWindow(BarButton tool, const ToolViewContext& context) : ToolWindow(context), tool_(tool) {}

 protected:
  bool OnCreate() override {
    heading_ = MakeControl("STATIC", BarButtonCaption(tool_), SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kHeadingId,
                           ThemeFont::Heading);
    const std::string text = std::string("The ") + BarButtonCaption(tool_) +
                             " is not part of this version of Tarnwick yet. Its window will appear on this page.";
    text_ = MakeControl("STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kTextId);
    return heading_ && text_;
  }
  void OnLayout(int width, int) override {
    card_ = RECT{S(16), S(16), width - S(16), S(16) + S(96)};
    const int inner = card_.right - card_.left - S(40);
    MoveWindow(heading_, card_.left + S(20), card_.top + S(16), inner, S(22), TRUE);
    MoveWindow(text_, card_.left + S(20), card_.top + S(46), inner, S(36), TRUE);
    InvalidateRect(Window(), nullptr, FALSE);
  }
  void OnPaint(HDC dc, const RECT& client) override {
    ToolWindow::OnPaint(dc, client);
    GetTheme().DrawCard(dc, card_);
  }
  HBRUSH OnControlColour(HDC dc, HWND) override { return GetTheme().ControlColour(dc, ThemeSurface::Card); }

 private:
  BarButton tool_;
  HWND heading_ = nullptr;
  HWND text_ = nullptr;
  RECT card_{};
};

}  // namespace

std::unique_ptr<IToolView> MakePlaceholderToolWindow(BarButton tool, const ToolViewContext& context) {
  return std::make_unique<PlaceholderToolWindow>(tool, context);
}

}  // namespace tw
