// tarnwick-cli.exe: the console front end's entry.
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_platform.h"

int main(int argc, char** argv) {
  tw::Win32Platform win32;
  tw::Win32Console console;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return tw::RunCli(win32.platform, console, args);
}
