// Initialisation-file (profile) functions. An empty file name means the system's "win.ini".
// Implemented by IniProfile over IFiles (platform/memory) and Win32Profile (platform/win32).
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tw {

class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) = 0;
  virtual int ReadInteger(const std::string& file, const std::string& section, const std::string& key,
                          int defaultValue) = 0;
  virtual bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  virtual bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) = 0;
  virtual bool DeleteSection(const std::string& file, const std::string& section) = 0;
  virtual std::vector<std::string> SectionNames(const std::string& file) = 0;
  virtual std::vector<std::string> KeyNames(const std::string& file, const std::string& section) = 0;
  // Every key of the section with its value, in file order, in one read.
  virtual std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& file,
                                                                       const std::string& section) = 0;
};

}  // namespace tw
