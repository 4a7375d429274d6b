// The optimizer window on the tools page: the view of TOptimizeForm (optimizer/optimizer.h). Pages "1" to "4"
// are groups of controls shown one at a time; every click goes to the controller's handler of the same name
// and the window then shows the controller's state again.
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakeOptimizerWindow(const ToolViewContext& context);

}  // namespace tw
