// A console that keeps what the console front end writes, for the tests to read.
#pragma once
#include <string>

#include "platform/console.h"

namespace tw::test {

class RecordingConsole : public IConsole {
 public:
  void Out(const std::string& text) override { out += text; }
  void Err(const std::string& text) override { err += text; }
  void OutBytes(const std::string& bytes) override { out += bytes; }
  bool ErrIsTerminal() override { return false; }
  std::string out, err;
};

}  // namespace tw::test
