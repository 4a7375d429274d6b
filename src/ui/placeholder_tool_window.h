// The view a tool shows on the tools page until its own window is registered in ui/tool_views.cpp: a card
// naming the tool.
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakePlaceholderToolWindow(BarButton tool, const ToolViewContext& context);

}  // namespace tw
