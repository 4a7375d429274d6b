// The console of the command-line front end. Implemented by Win32Console (platform/win32) and test consoles.
#pragma once
#include <string>

namespace tw {

class IConsole {
 public:
  virtual ~IConsole() = default;
  // Text in the ANSI code page, shown in the console's own code page when the stream is a console.
  virtual void Out(const std::string& text) = 0;
  virtual void Err(const std::string& text) = 0;
  // Bytes written as they are (UTF-8 data for CSV and JSON).
  virtual void OutBytes(const std::string& bytes) = 0;
  // Whether standard error is an interactive console, where progress may be shown.
  virtual bool ErrIsTerminal() = 0;
};

}  // namespace tw
