#include "sections/cached_files.h"

#include "sections/text_ops.h"

namespace tw {

uint32_t CachedFiles::Attributes(const std::string& path) {
  // Windows allows none of these characters in a name, so a path holding one names nothing: such text (a
  // quoted command line, a pattern) is answered without asking.
  if (path.find_first_of("\"<>|*") != std::string::npos) {
    ++cache_.saved;
    return kInvalidAttributes;
  }
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
