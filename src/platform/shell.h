// The shell: starting programs and documents, web addresses. Grows with the tools that need it.
// Implemented by MemoryShell (platform/memory) and Win32Shell (platform/win32).
#pragma once
#include <string>

namespace tw {

class IShell {
 public:
  virtual ~IShell() = default;
  // Starts a program or document with a verb ("open", "runas"); true when it started.
  virtual bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCommand) = 0;
  // Opens the address with the browser automation object, sized to the screen; false when the object
  // cannot be created.
  virtual bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) = 0;
};

}  // namespace tw
