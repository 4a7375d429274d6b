// Installed services with a running flag, for tests: Start and Stop act on installed services only.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/services.h"

namespace tw {

class MemoryServices : public IServices {
 public:
  bool QueryRunning(const std::string& name, bool* running) override {
    auto it = services_.find(name);
    if (it == services_.end()) return false;
    *running = it->second;
    return true;
  }
  bool Start(const std::string& name) override { return Switch(name, true); }
  bool Stop(const std::string& name) override { return Switch(name, false); }

  void Install(const std::string& name, bool running) { services_[name] = running; }
  // Every Start and Stop asked for, in order: "+Name" for a start, "-Name" for a stop.
  const std::vector<std::string>& Requests() const { return requests_; }

 private:
  bool Switch(const std::string& name, bool run) {
    requests_.push_back((run ? "+" : "-") + name);
    auto it = services_.find(name);
    if (it == services_.end() || it->second == run) return false;
    it->second = run;
    return true;
  }

  std::map<std::string, bool, NoCaseLess> services_;
  std::vector<std::string> requests_;
};

}  // namespace tw
