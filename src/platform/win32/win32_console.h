// The console of tarnwick-cli.exe: standard output and error, in the console's code page.
#pragma once
#include "platform/console.h"

namespace tw {

class Win32Console : public IConsole {
 public:
  void Out(const std::string& text) override;
  void Err(const std::string& text) override;
  void OutBytes(const std::string& bytes) override;
  bool ErrIsTerminal() override;
};

}  // namespace tw
