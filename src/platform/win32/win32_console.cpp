#include "platform/win32/win32_console.h"

#include <windows.h>

namespace tw {
namespace {

void WriteBytes(HANDLE stream, const std::string& bytes) {
  DWORD written = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(stream, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// A console shows the text through the wide function; a redirected stream gets it in the console's code page
// (the ANSI text as it is when there is no console).
void WriteText(DWORD which, const std::string& text) {
  HANDLE stream = GetStdHandle(which);
  if (stream == INVALID_HANDLE_VALUE || stream == nullptr || text.empty()) return;
  DWORD mode = 0;
  const std::wstring wide = AnsiToWide(text);
  if (GetConsoleMode(stream, &mode)) {
    DWORD written = 0;
    WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const UINT page = GetConsoleOutputCP();
  if (page == 0 || page == GetACP()) {
    WriteBytes(stream, text);
    return;
  }
  const int n = WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
  WriteBytes(stream, bytes);
}

}  // namespace

void Win32Console::Out(const std::string& text) { WriteText(STD_OUTPUT_HANDLE, text); }

void Win32Console::Err(const std::string& text) { WriteText(STD_ERROR_HANDLE, text); }

void Win32Console::OutBytes(const std::string& bytes) { WriteBytes(GetStdHandle(STD_OUTPUT_HANDLE), bytes); }

bool Win32Console::ErrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace tw
