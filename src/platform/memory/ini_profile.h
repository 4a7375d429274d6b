// Initialisation files read and written through IFiles, behaving like the Win32 profile functions:
// names compared without case, values trimmed and unquoted, lines the call does not touch kept as they are.
#pragma once
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"

namespace tw {

class IniProfile : public IProfile {
 public:
  explicit IniProfile(IFiles& files) : files_(files) {}

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

 private:
  // The file's full path: the empty name is win.ini, a bare name lives in the Windows folder.
  std::string PathOf(const std::string& file);

  IFiles& files_;
};

// The integer at the start of a profile string, as GetProfileInt reads it: blanks, a sign, then decimal
// digits or a 0x / 0o / 0b prefixed number; reading stops at the first other character.
int ProfileStringToInteger(const std::string& text);

}  // namespace tw
