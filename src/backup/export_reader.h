// Reads registry export files (.reg), as this program and the system registry editor write them, into keys and
// typed values with the bytes an import stores. Any input is read to its end without failing: what cannot be
// read is counted and passed over.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

enum class RegHeader {
  None,      // the first line is neither header: not a registry export
  Regedit4,  // "REGEDIT4"
  Version5,  // "Windows Registry Editor Version 5.00"
};

// One line that names a value, as the import would apply it.
struct RegFileValue {
  std::u16string name;  // empty: the key's unnamed value (@)
  bool deleted = false;  // "name"=-
  uint32_t type = kRegNone;
  // The bytes the import stores, as a registry of the NT family holds them: strings in UTF-16 units, low byte
  // first (the string bytes of a "REGEDIT4" file converted through the code page).
  Bytes data;
};

// One key line with the value lines below it.
struct RegFileKey {
  std::u16string path;  // as written between the brackets: root name, backslash, key path
  bool deleted = false;  // [-path]
  std::vector<RegFileValue> values;
};

struct RegFileSummary {
  RegHeader header = RegHeader::None;
  bool utf16 = false;    // the text was UTF-16 (with or without its byte-order mark)
  int skippedLines = 0;  // lines that could not be read, including a value cut off by the end of the file
};

struct RegFile : RegFileSummary {
  std::vector<RegFileKey> keys;  // in the order of the file; a key named twice appears twice
};

// ANSI text to UTF-16 through the system's code page.
using CodePageDecoder = std::function<std::u16string(const std::string&)>;
// Takes each key line with its values as soon as it is read, so a file of any size is read in little memory.
using RegKeySink = std::function<void(RegFileKey&& key)>;

// Reads the bytes of a whole file. Without a header nothing past the first line is read. `decode` converts the
// text of an ANSI file; without it every byte is the code point of the same number. Values below a deleted key
// are passed over, as the import passes over them.
RegFileSummary ReadRegFile(const std::string& bytes, const CodePageDecoder& decode, const RegKeySink& sink);
RegFile ReadRegFile(const std::string& bytes, const CodePageDecoder& decode = nullptr);

}  // namespace tw
