// A stand-in uninstaller for the Windows suite: writes into the file named by its first argument how it was
// started (how many arguments it got, its last argument and the show command), so a test can tell that the
// command line arrived as it was written and that the program was started shown normally.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 2) return 1;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  char head[64];
  std::snprintf(head, sizeof head, "arguments=%d show=%d last=", count, show);
  char last[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, arguments[count - 1], -1, last, sizeof last, nullptr, nullptr);
  const std::string text = std::string(head) + last;
  HANDLE file = CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  LocalFree(arguments);
  return 0;
}
