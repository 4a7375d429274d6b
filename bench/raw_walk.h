// The floor a scan cannot beat: exactly the registry reads the sections perform, with no checks, no records,
// no message pumping and no screen.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace tw::bench {

struct RawCounts {
  uint64_t keys = 0;    // keys opened
  uint64_t values = 0;  // values read
};

// Section 1: the empty-entry walk (open, information and subkey enumeration of every key but the AppID
// subtrees, the unnamed value of every server and help key), then the type-library pass over CLSID.
RawCounts RawComReads(IRegistry& reg, HKey root);

// A section that looks at every value of every key below root\path: open, information, subkey enumeration,
// value enumeration with data.
RawCounts RawValueReads(IRegistry& reg, HKey root, const std::string& path);

}  // namespace tw::bench
