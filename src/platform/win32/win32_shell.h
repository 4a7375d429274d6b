// Starting programs and documents through the Windows shell, web addresses through the browser's
// automation object.
#pragma once
#include <string>

#include "platform/shell.h"

namespace tw {

class Win32Shell : public IShell {
 public:
  bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int showCommand) override;
  bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) override;
};

}  // namespace tw
