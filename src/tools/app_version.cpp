#include "tools/app_version.h"

#include <cstdio>

namespace tw {

namespace {

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

void TAppObj::Read(const std::string& path) {
  strings_ = {};
  translationKey_.clear();
  major_ = minor_ = release_ = build_ = 0;
  const size_t slash = path.find_last_of('\\');
  folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash);
  fileName_ = slash == std::string::npos ? path : path.substr(slash + 1);

  VersionResource resource;
  if (!files_.ReadVersionResource(path, &resource)) return;
  major_ = static_cast<uint16_t>(resource.fileVersionMS >> 16);
  minor_ = static_cast<uint16_t>(resource.fileVersionMS & 0xFFFF);
  release_ = static_cast<uint16_t>(resource.fileVersionLS >> 16);
  build_ = static_cast<uint16_t>(resource.fileVersionLS & 0xFFFF);
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", major_, minor_, release_, build_);
  strings_[VersionText] = text;
  if (!resource.hasTranslation) return;
  std::snprintf(text, sizeof text, "%4.4x%4.4x", resource.language, resource.codePage);
  translationKey_ = text;
  for (int i = 0; i < 10; ++i) {
    const auto found = resource.strings.find(kVersionStringNames[i]);
    if (found != resource.strings.end()) strings_[static_cast<size_t>(i + 1)] = Trimmed(found->second);
  }
}

}  // namespace tw
