// The browser repair window on the tools page: the repair list with its check boxes and statuses, "Select All"
// and "Restore", over TBrowserRepairForm (tools/browser_repair).
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakeBrowserRepairWindow(const ToolViewContext& context);

}  // namespace tw
