// The disk cleaner's table of junk file types: the 47 built-in defaults, the file "JunkFile.dat" of fixed
// 203-byte records, and the test of a directory entry's name against a type's pattern.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

namespace tw {

constexpr const char* kJunkFileName = "JunkFile.dat";
constexpr size_t kJunkRecordSize = 203;
constexpr size_t kJunkTextMax = 100;

struct TJunkType {
  bool Ticked = true;
  std::string Pattern;      // column "File to find"
  std::string Description;  // column "Description"
};

// The 47 defaults, all ticked, in their order.
std::vector<TJunkType> DefaultJunkTypes();
// One built-in text "pattern, description" split at its first comma: the description is the rest with every
// occurrence of the pattern followed by the comma removed, trimmed of blanks.
TJunkType SplitJunkDefault(const std::string& text);

// A file of fixed-size records held in memory: record count (size / 203), current record number (1-based), append
// at the end, read the current record without advancing, first, next. A tail shorter than a record is ignored.
class TRecordStream {
 public:
  explicit TRecordStream(std::string bytes = {}) : bytes_(std::move(bytes)) {}
  size_t RecordCount() const { return bytes_.size() / kJunkRecordSize; }
  size_t RecordNo() const { return position_ / kJunkRecordSize + 1; }
  void Append(const TJunkType& type);
  // The record at the position; throws std::out_of_range past the last record.
  TJunkType Read() const;
  void First() { position_ = 0; }
  // Moves to the next record; throws std::out_of_range "Cannot read beyond end of file" at the last record.
  void Next();
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

// The records of "JunkFile.dat" at `path`. Missing (or a folder by that name): the defaults, saved at once.
// Unreadable: the defaults, not saved, so the file is left as it is. Otherwise every whole record in order.
std::vector<TJunkType> LoadJunkTypes(IFiles& files, const std::string& path);
// Replaces "JunkFile.dat" as a whole, texts cut to 100 characters; false when it could not be written.
bool SaveJunkTypes(IFiles& files, const std::string& path, const std::vector<TJunkType>& types);

// How a pattern is tested: a name without "*" or "?" is compared whole, "*.ext" (no other "*" or "?") with the
// name's extension, anything else as a wildcard ("*" any run of characters, "?" one character). Case counts.
class JunkPattern {
 public:
  enum class Kind { Plain, Extension, Wildcard };
  explicit JunkPattern(std::string pattern);
  bool Matches(const std::string& name) const;
  Kind GetKind() const { return kind_; }
  // The text compared: the whole pattern, or for Extension the extension with its dot.
  const std::string& Text() const { return pattern_; }

 private:
  Kind kind_;
  std::string pattern_;  // for Extension: the pattern less its "*"
};

// True when `name` matches `pattern` with "*" and "?" as wildcards, case counting; linear in memory and at most
// name × pattern steps, whatever the pattern.
bool WildcardMatches(const std::string& pattern, const std::string& name);

}  // namespace tw
