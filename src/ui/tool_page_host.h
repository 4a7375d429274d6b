// The tools page AdvancedPanel as the host of the tool windows: makes each tool's view (ui/tool_view.h), keeps
// it filling the panel, and shows, hides and frees it as the main window's controller asks.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "app/tool_pages.h"
#include "ui/tool_view.h"

namespace tw {

class ToolPageHost : public IToolWindows {
 public:
  ToolPageHost() = default;
  ToolPageHost(const ToolPageHost&) = delete;
  ToolPageHost& operator=(const ToolPageHost&) = delete;

  // The panel and what the views get; until then no tool window can be created.
  void Attach(HWND panel, const ToolViewContext& context);
  // AdvancedPanel changed size: every tool window fills it again.
  void PanelResized();
  // Frees every tool window (before the main window goes).
  void FreeAll();

  bool Create(BarButton tool) override;
  void Free(BarButton tool) override;
  void Show(BarButton tool, bool shown) override;
  bool Busy(BarButton tool) override;
  void Abort(BarButton tool) override;

 private:
  std::unique_ptr<IToolView>& View(BarButton tool) { return views_[static_cast<size_t>(tool)]; }

  HWND panel_ = nullptr;
  std::optional<ToolViewContext> context_;
  std::array<std::unique_ptr<IToolView>, kBarButtonCount> views_;
};

}  // namespace tw
