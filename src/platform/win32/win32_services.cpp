#include <windows.h>

#include "platform/win32/win32_services.h"

namespace tw {
namespace {

// A service handle with its manager, both closed on scope exit.
class ServiceHandle {
 public:
  explicit ServiceHandle(const std::string& name) {
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager_) service_ = OpenServiceA(manager_, name.c_str(), SERVICE_ALL_ACCESS);
  }
  ~ServiceHandle() {
    if (service_) CloseServiceHandle(service_);
    if (manager_) CloseServiceHandle(manager_);
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  SC_HANDLE Get() const { return service_; }

 private:
  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
};

}  // namespace

bool Win32Services::QueryRunning(const std::string& name, bool* running) {
  ServiceHandle service(name);
  SERVICE_STATUS status{};
  if (!service.Get() || !QueryServiceStatus(service.Get(), &status)) return false;
  *running = status.dwCurrentState == SERVICE_RUNNING || status.dwCurrentState == SERVICE_START_PENDING ||
             status.dwCurrentState == SERVICE_CONTINUE_PENDING;
  return true;
}

bool Win32Services::Start(const std::string& name) {
  ServiceHandle service(name);
  return service.Get() && StartServiceA(service.Get(), 0, nullptr);
}

bool Win32Services::Stop(const std::string& name) {
  ServiceHandle service(name);
  SERVICE_STATUS status{};
  return service.Get() && ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
}

}  // namespace tw
