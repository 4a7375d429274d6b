// Initialisation files through the Win32 profile functions; the empty file name is win.ini.
#pragma once
#include <string>
#include <vector>

#include "platform/profile.h"

namespace tw {

class Win32Profile : public IProfile {
 public:
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
  int ReadInteger(const std::string& file, const std::string& section, const std::string& key,
                  int defaultValue) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) override;
  bool DeleteSection(const std::string& file, const std::string& section) override;
  std::vector<std::string> SectionNames(const std::string& file) override;
  std::vector<std::string> KeyNames(const std::string& file, const std::string& section) override;
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& file,
                                                               const std::string& section) override;
};

}  // namespace tw
