// The platform the contract tests run against: the in-memory one in the native suite, the real
// Windows one under Wine. Each instance owns a fresh scratch registry key and scratch folder.
#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"

namespace tw {

class TestPlatform {
 public:
  virtual ~TestPlatform() = default;
  virtual Platform& Get() = 0;
  // True for the real Win32 back end.
  virtual bool IsReal() const = 0;
  // True under Wine, which differs from Windows in a few answers the contract cases name.
  virtual bool IsWine() const = 0;

  IRegistry& Registry() { return Get().registry; }
  IFiles& Files() { return Get().files; }
  IProfile& Profile() { return Get().profile; }
  IScheduler& Scheduler() { return Get().scheduler; }

  // An empty key below HKEY_CURRENT_USER ("Software\TarnwickTests\<n>"), removed with the platform.
  const std::string& ScratchKey() const { return scratchKey_; }
  // An empty folder ("C:\tarnwick-scratch\<n>", no trailing backslash), removed with the platform.
  const std::string& ScratchFolder() const { return scratchFolder_; }

 protected:
  std::string scratchKey_;
  std::string scratchFolder_;
};

std::unique_ptr<TestPlatform> MakeTestPlatform();

// Deletes a folder with everything in it, clearing read-only attributes on the way.
void RemoveFolderTree(IFiles& files, const std::string& folder);

}  // namespace tw
