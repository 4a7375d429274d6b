// The console front end's commands over the same sections, scan driver and files as the window.
#pragma once
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/platform.h"

namespace tw {

// Runs one command line (the arguments after the program name) and returns the process exit code.
int RunCli(Platform& platform, IConsole& console, const std::vector<std::string>& args);

}  // namespace tw
