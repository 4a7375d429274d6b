// File system access. Implemented by MemoryFiles (platform/memory) and Win32Files (platform/win32).
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace tw {

// Attribute bits as Windows reports them.
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrHidden = 0x2;
constexpr uint32_t kAttrSystem = 0x4;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Drive types as GetDriveType numbers them.
constexpr uint32_t kDriveUnknown = 0;
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemovable = 2;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kDriveCdRom = 5;
constexpr uint32_t kDriveRamDisk = 6;

struct FindData {
  std::string name;  // file name without folder
  uint32_t attributes = 0;
  uint64_t size = 0;
  uint64_t creationTime = 0;  // FILETIME ticks (100 ns since 1601)
  uint64_t accessTime = 0;
  uint64_t writeTime = 0;
};

using FindHandle = std::uintptr_t;  // 0: no search

// The names of the version strings, in the order the version reader indexes them (1 to 10).
constexpr const char* kVersionStringNames[10] = {"CompanyName",      "FileDescription", "FileVersion",
                                                 "InternalName",     "LegalCopyright",  "LegalTradeMarks",
                                                 "OriginalFilename", "ProductName",     "ProductVersion",
                                                 "Comments"};

// What a file's version resource holds: the fixed file version, the first entry of its translation table and,
// for that translation, each of the ten strings it has (keyed by the names above, untrimmed).
struct VersionResource {
  uint32_t fileVersionMS = 0;  // major in the high word, minor in the low word
  uint32_t fileVersionLS = 0;  // release in the high word, build in the low word
  bool hasTranslation = false;
  uint16_t language = 0;
  uint16_t codePage = 0;
  std::map<std::string, std::string> strings;
};

enum class NewFileResult { Written, NameTaken, Failed };

class IFiles {
 public:
  virtual ~IFiles() = default;
  // Attribute word of a file or folder, kInvalidAttributes when there is none.
  virtual uint32_t Attributes(const std::string& path) = 0;
  bool FileExists(const std::string& path) {
    uint32_t a = Attributes(path);
    return a != kInvalidAttributes && !(a & kAttrDirectory);
  }
  bool DirectoryExists(const std::string& path) {
    uint32_t a = Attributes(path);
    return a != kInvalidAttributes && (a & kAttrDirectory);
  }
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
  // Starts a search for `pattern` (a folder and a name with * and ?); 0 when nothing matches. An entry whose name
  // has no exact form in the ANSI code page is passed over.
  virtual FindHandle FindFirst(const std::string& pattern, FindData* data) = 0;
  virtual bool FindNext(FindHandle handle, FindData* data) = 0;
  virtual void FindClose(FindHandle handle) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual bool MoveFileTo(const std::string& from, const std::string& to) = 0;
  virtual bool MakeDirectory(const std::string& path) = 0;
  virtual bool RemoveFolder(const std::string& path) = 0;
  virtual bool ReadWholeFile(const std::string& path, std::string* contents) = 0;
  // Creates or replaces the file.
  virtual bool WriteWholeFile(const std::string& path, const std::string& contents) = 0;
  // Appends, creating the file when it is missing.
  virtual bool AppendToFile(const std::string& path, const std::string& contents) = 0;
  // Replaces the file as a whole or not at all: writes a temporary file in the same folder, flushes it and
  // renames it over the old one, so a crash or a full disk leaves either the old or the new contents.
  virtual bool WriteFileAtomically(const std::string& path, const std::string& contents) = 0;
  // The file's version resource; false when it has none (or the file cannot be read).
  virtual bool ReadVersionResource(const std::string& path, VersionResource* out) = 0;
  // Creates the file only when nothing has its name yet (so two writers never share a file) and writes it whole;
  // a file that could not be written whole is removed again.
  virtual NewFileResult WriteNewFile(const std::string& path, const std::string& contents) = 0;
  // Drive type of a root such as "C:\".
  virtual uint32_t DriveType(const std::string& root) = 0;
  // Bitmask of the drive letters in use, bit 0 for A:.
  virtual uint32_t LogicalDrives() = 0;
  virtual bool FreeSpace(const std::string& root, uint64_t* freeBytes, uint64_t* totalBytes) = 0;
  // Folders without a trailing backslash.
  virtual std::string WindowsDir() = 0;
  virtual std::string SystemDir() = 0;
  // The temporary folder with its trailing backslash, as Windows reports it.
  virtual std::string TempDir() = 0;
  virtual std::string ExecutablePath() = 0;
};

}  // namespace tw
