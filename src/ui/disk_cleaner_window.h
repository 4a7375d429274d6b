// The disk cleaner window on the tools page: the six wizard pages of TSysDiskCleanerForm (tools/disk_cleaner) as
// groups of controls shown one at a time, with "<Back" and "Next>" below, plus its two dialogs, the file type
// dialog TTemporaryFileForm and the list of found files TDetailTempFileForm.
#pragma once
#include "ui/tool_view.h"

namespace tw {

std::unique_ptr<IToolView> MakeDiskCleanerWindow(const ToolViewContext& context);

}  // namespace tw
