// A shell that records what it is asked to start, with settable outcomes.
#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tw {

class MemoryShell : public IShell {
 public:
  struct ExecuteCall {
    std::string verb, file, parameters, directory;
    int showCommand = 0;
  };
  struct BrowserCall {
    std::string address;
    int left = 0, top = 0, width = 0, height = 0;
  };

  bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int showCommand) override {
    executeCalls.push_back({verb, file, parameters, directory, showCommand});
    return executeResult_;
  }
  bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) override {
    if (!browserAvailable_) return false;
    browserCalls.push_back({address, left, top, width, height});
    return true;
  }

  void SetExecuteResult(bool started) { executeResult_ = started; }
  // Without the browser object OpenInBrowserObject fails and records nothing.
  void SetBrowserAvailable(bool available) { browserAvailable_ = available; }

  std::vector<ExecuteCall> executeCalls;
  std::vector<BrowserCall> browserCalls;

 private:
  bool executeResult_ = true;
  bool browserAvailable_ = true;
};

}  // namespace tw
