// The version information of a program file: the fixed file version as "major.minor.release.build", the
// translation key of the first translation and the ten version strings of that translation.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace tw {

class TAppObj {
 public:
  // Index of each string in Strings(); 0 is the version text.
  enum Index {
    VersionText = 0, CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, LegalTradeMarks,
    OriginalFilename, ProductName, ProductVersion, Comments
  };

  explicit TAppObj(IFiles& files) : files_(files) {}

  // Reads the file's version information; a file without it leaves every string empty and the numbers 0.
  void Read(const std::string& path);

  const std::string& String(int index) const { return strings_.at(static_cast<size_t>(index)); }
  const std::string& TranslationKey() const { return translationKey_; }
  uint16_t Major() const { return major_; }
  uint16_t Minor() const { return minor_; }
  uint16_t Release() const { return release_; }
  uint16_t Build() const { return build_; }
  const std::string& Folder() const { return folder_; }
  const std::string& FileName() const { return fileName_; }

 private:
  IFiles& files_;
  std::array<std::string, 11> strings_;
  std::string translationKey_;
  uint16_t major_ = 0, minor_ = 0, release_ = 0, build_ = 0;
  std::string folder_, fileName_;
};

}  // namespace tw
