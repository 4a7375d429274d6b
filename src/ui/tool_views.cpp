// The registered tool views: one line per tool window, {bar button, factory}. Tools without a line show the
// placeholder naming them.
#include <vector>

#include "ui/browser_repair_window.h"
#include "ui/disk_cleaner_window.h"
#include "ui/optimizer_window.h"
#include "ui/placeholder_tool_window.h"
#include "ui/startup_manager_window.h"
#include "ui/uninstall_manager_window.h"
#include "ui/tool_view.h"

namespace tw {

namespace {

struct ToolViewEntry {
  BarButton tool;
  ToolViewFactory make;
};

const std::vector<ToolViewEntry>& ToolViews() {
  static const std::vector<ToolViewEntry> kToolViews = {
      {BarButton::ManageStartup, MakeStartupManagerWindow},
      {BarButton::UninstallManager, MakeUninstallManagerWindow},
      {BarButton::SystemOptimize, MakeOptimizerWindow},
      {BarButton::DiskCleaner, MakeDiskCleanerWindow},
      {BarButton::IERestore, MakeBrowserRepairWindow},
  };
  return kToolViews;
}

}  // namespace

std::unique_ptr<IToolView> MakeToolView(BarButton tool, const ToolViewContext& context) {
  if (!IsToolButton(tool)) return nullptr;
  for (const ToolViewEntry& entry : ToolViews())
    if (entry.tool == tool && entry.make) return entry.make(context);
  return MakePlaceholderToolWindow(tool, context);
}

}  // namespace tw
