#include "ui/tool_page_host.h"

namespace tw {

void ToolPageHost::Attach(HWND panel, const ToolViewContext& context) {
  panel_ = panel;
  context_.emplace(context);
}

void ToolPageHost::PanelResized() {
  RECT bounds;
  GetClientRect(panel_, &bounds);
  for (auto& view : views_)
    if (view) view->Resize(bounds);
}

void ToolPageHost::FreeAll() {
  for (auto& view : views_) view.reset();
}

bool ToolPageHost::Create(BarButton tool) {
  if (!panel_ || !context_ || !IsToolButton(tool)) return false;
  std::unique_ptr<IToolView> view = MakeToolView(tool, *context_);
  RECT bounds;
  GetClientRect(panel_, &bounds);
  if (!view || !view->Create(panel_, bounds)) return false;
  View(tool) = std::move(view);
  return true;
}

void ToolPageHost::Free(BarButton tool) {
  // The focus leaves a window before it goes, so the keys keep a control to act on.
  if (View(tool) && IsChild(View(tool)->Window(), GetFocus())) SetFocus(GetAncestor(panel_, GA_ROOT));
  View(tool).reset();
}

void ToolPageHost::Show(BarButton tool, bool shown) {
  if (!View(tool)) return;
  if (!shown && IsChild(View(tool)->Window(), GetFocus())) SetFocus(GetAncestor(panel_, GA_ROOT));
  View(tool)->Show(shown);
}

bool ToolPageHost::Busy(BarButton tool) { return View(tool) && View(tool)->Busy(); }

void ToolPageHost::Abort(BarButton tool) {
  if (View(tool)) View(tool)->Abort();
}

}  // namespace tw
