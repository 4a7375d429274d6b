// The startup manager's window on the tools page: the header text, the page buttons "Startup" and "Restoral",
// StartupListView and ListRestore as report-view lists with real check boxes (the mark of a row; the row's
// image is its expander), and the action buttons. Every decision is the controller's (tools/startup_manager).
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakeStartupManagerWindow(const ToolViewContext& context);

}  // namespace tw
