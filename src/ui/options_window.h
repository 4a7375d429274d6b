// The options window "Preferences" (dialog IDD_OPTIONS): the view of TFormOptions, modal, made per opening.
#pragma once
#include <windows.h>

#include <functional>

#include "app/prompts.h"
#include "app/settings.h"
#include "platform/platform.h"

namespace tw {

// `checkForUpdate` runs the manual update check with the window's message boxes and returns true when the program
// must end now (the updater has taken over). Returns true in that case, after the window has closed.
bool ShowOptionsWindowModal(HINSTANCE instance, HWND owner, Platform& platform, Settings& running,
                            const std::function<bool(IPrompts&)>& checkForUpdate);

}  // namespace tw
