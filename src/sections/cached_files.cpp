#include "sections/cached_files.h"

#include "sections/text_ops.h"

namespace tw {

uint32_t CachedFiles::Attributes(const std::string& path) {
  std::string key = UpperText(path);
  auto found = cache_.entries.find(key);
  if (found != cache_.entries.end()) {
    ++cache_.saved;
    return found->second;
  }
  ++cache_.tests;
  const uint32_t attributes = files_.Attributes(path);
  cache_.entries.emplace(std::move(key), attributes);
  return attributes;
}

}  // namespace tw
