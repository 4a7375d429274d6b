// The uninstall manager's window on the tools page: the buttons "Uninstall", "Remove" and "Refresh", the list
// ListInstalled, the panel PanelText with the clicked entry's name and the property list ListDetail. Every
// decision is the controller's (tools/uninstall_manager).
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakeUninstallManagerWindow(const ToolViewContext& context);

}  // namespace tw
