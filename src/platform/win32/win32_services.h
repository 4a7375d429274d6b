// Services through the service control manager; every call opens and closes its own handles.
#pragma once
#include <string>

#include "platform/services.h"

namespace tw {

class Win32Services : public IServices {
 public:
  bool QueryRunning(const std::string& name, bool* running) override;
  bool Start(const std::string& name) override;
  bool Stop(const std::string& name) override;
};

}  // namespace tw
