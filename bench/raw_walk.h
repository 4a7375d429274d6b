// The floor a scan cannot beat: exactly the registry reads the sections perform, with no checks, no records,
// no message pumping and no screen.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace tw::bench {

struct RawCounts {
  uint64_t keys = 0;    // keys opened
  uint64_t values = 0;  // values read
  uint64_t fileTests = 0;  // existence tests made
};

// Section 1: the empty-entry walk (open, information and subkey enumeration of every key but the AppID
// subtrees, the unnamed value of every server and help key), then the type-library pass over CLSID.
RawCounts RawComReads(IRegistry& reg, HKey root);

// A section that looks at every value of every key below root\path: open, information, subkey enumeration,
// value enumeration with data.
RawCounts RawValueReads(IRegistry& reg, HKey root, const std::string& path);

// Sections 2 and 3: every key of the roots the section walks (the system variant leaves out what lies below
// its skipped keys and the "App Paths" keys), every value with its data, and one existence test for each
// distinct text of a string value that holds a colon, as a scan tests each distinct path once.
RawCounts RawSettingsReads(IRegistry& reg, IFiles& files, const std::vector<HKey>& roots, bool systemVariant);

// Sections 6 and 13: the top-level names of the root and the unnamed value of every extension key (with the
// key's information for section 13); for section 6 also the subkey names of the user's FileExts key.
RawCounts RawExtensionReads(IRegistry& reg, HKey root, bool fileAssociations);

}  // namespace tw::bench
