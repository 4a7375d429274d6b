// The About window: the version, a link to the home page and an OK button (dialog IDD_ABOUT).
#pragma once
#include <windows.h>

#include "app/settings.h"
#include "platform/platform.h"

namespace tw {

void ShowAboutWindowModal(HINSTANCE instance, HWND owner, Platform& platform, const Settings& settings);

}  // namespace tw
