// A drawn file-deletion animation: a sheet flies from a folder into a waste bin. The repair dialog shows it
// where the system has no file-deletion animation of its own to play (Wine's shell32 carries placeholders).
#pragma once
#include <windows.h>

namespace tw {

constexpr int kDeletionFrameCount = 20;
constexpr UINT kDeletionFrameMs = 70;

// Draws frame `frame` (0 to kDeletionFrameCount - 1) filling `area`, background included.
void DrawDeletionFrame(HDC dc, const RECT& area, int frame);

}  // namespace tw
