// The startup manager's record files and what they hold: registry records "location#name|data", file records
// "source#copy" (a disabled file's record ends with "|E"), the lines of a record file read and written whole,
// and the export of a registry value kept beside the records so that it comes back with its type and bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry.h"

namespace tw {

// A registry record split at the first "#" and the first "|" of its line.
struct RegistryRecord {
  std::string location;  // root name, backslash, key path
  std::string name;
  std::string data;
  HKey root = 0;         // 0 for an unknown root name
  std::string keyPath;
};
// False for a line without "#", without "|" after it, or without a backslash in its location.
bool ParseRegistryRecord(const std::string& line, RegistryRecord* out);
std::string RegistryRecordLine(const std::string& location, const std::string& name, const std::string& data);

// A file record: source path, "#", copy path, and for a disabled file the mark "|E" at the end.
struct FileRecord {
  std::string source;
  std::string copy;
  bool marked = false;
};
// False for a line without "#" or with an empty source or copy.
bool ParseFileRecord(const std::string& line, FileRecord* out);
std::string FileRecordLine(const std::string& source, const std::string& copy, bool marked);

// The text a registry value shows: string and expandable string data up to its first NUL, a 32-bit number in
// decimal, anything else empty.
std::string ValueText(uint32_t type, const Bytes& data);

// Surrounding blanks removed.
std::string TrimBlanks(const std::string& text);

// The lines of a record file, every line kept as it is (blank and malformed lines too), in the system code page
// and ended by CR LF when written.
class RecordFile {
 public:
  RecordFile(IFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Loads the file's lines; a missing file has none.
  void Load();
  // Replaces the file atomically with the lines; false when it could not be written (the old file stays).
  bool Save();
  std::vector<std::string>& Lines() { return lines_; }
  // Deletes the first line equal to `line` when both are trimmed of surrounding blanks; true when one matched.
  bool RemoveLine(const std::string& line);

 private:
  IFiles& files_;
  std::string path_;
  std::vector<std::string> lines_;
};

// Splits text into lines at CR LF or LF; a last line without a line break counts.
std::vector<std::string> SplitLines(const std::string& text);

// The exports of registry values, one file per disabled or removed entry directly in "RepairBackup\" (where the
// backup page lists it for restore), written by the registry export writer from the value as the registry
// stores it and read back by the export reader, so that the value comes back with its type and bytes.
class ValueExports {
 public:
  ValueExports(Platform& platform, std::string folder) : platform_(platform), folder_(std::move(folder)) {}

  // Writes the export of the record's value as the registry holds it now; false when it could not be written.
  bool Save(const RegistryRecord& record, const std::string& line);
  // The value kept for the record line (string data in the code page's bytes): the export that names the
  // record's key and value and holds data whose text is the record's data. False when there is none.
  bool Find(const RegistryRecord& record, const std::string& line, uint32_t* type, Bytes* data,
            std::string* path = nullptr);
  // Removes the export of the record line, if there is one.
  void Remove(const RegistryRecord& record, const std::string& line);

 private:
  // The export files a record line may have: "Startup_<hash>.reg", "Startup_<hash>_2.reg", ...
  std::string Candidate(const std::string& line, int n) const;

  Platform& platform_;
  std::string folder_;
};

}  // namespace tw
