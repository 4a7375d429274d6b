// File name patterns with * and ?, as the file search matches them.
#pragma once
#include <string_view>

namespace tw {

// Whether `name` matches `pattern`, compared without case, with the DOS rules that a trailing ".*"
// or "." also matches names without an extension ("*.*" matches everything, "*." what has no extension).
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace tw
