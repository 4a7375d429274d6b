// The service control manager: ask for a service's state, ask it to start, send it the stop control.
// Implemented by MemoryServices (platform/memory) and Win32Services (platform/win32).
#pragma once
#include <string>

namespace tw {

class IServices {
 public:
  virtual ~IServices() = default;
  // True when the service is installed; `*running` tells whether it runs or is on its way to run.
  virtual bool QueryRunning(const std::string& name, bool* running) = 0;
  // Asks the service to start, with no arguments; false when it could not be opened or started.
  virtual bool Start(const std::string& name) = 0;
  // Sends the service the stop control; false when it could not be opened or did not take the control.
  virtual bool Stop(const std::string& name) = 0;
};

}  // namespace tw
