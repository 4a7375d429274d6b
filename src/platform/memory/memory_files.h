// The file system held in memory: drive-rooted, case-insensitive and case-preserving, with attribute
// words, times and drive types as Windows reports them.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/ansi_case.h"

namespace tw {

class MemoryFiles : public IFiles {
 public:
  // Starts with a fixed drive C: holding the Windows, system, temporary and program folders.
  MemoryFiles();

  uint32_t Attributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  FindHandle FindFirst(const std::string& pattern, FindData* data) override;
  bool FindNext(FindHandle handle, FindData* data) override;
  void FindClose(FindHandle handle) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) override;
  bool MoveFileTo(const std::string& from, const std::string& to) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  bool ReadWholeFile(const std::string& path, std::string* contents) override;
  bool WriteWholeFile(const std::string& path, const std::string& contents) override;
  bool AppendToFile(const std::string& path, const std::string& contents) override;
  bool WriteFileAtomically(const std::string& path, const std::string& contents) override;
  bool ReadVersionResource(const std::string& path, VersionResource* out) override;
  NewFileResult WriteNewFile(const std::string& path, const std::string& contents) override;
  uint32_t DriveType(const std::string& root) override;
  uint32_t LogicalDrives() override;
  bool FreeSpace(const std::string& root, uint64_t* freeBytes, uint64_t* totalBytes) override;
  std::string WindowsDir() override { return "C:\\WINDOWS"; }
  std::string SystemDir() override { return "C:\\WINDOWS\\system32"; }
  std::string TempDir() override { return tempDir_; }
  std::string ExecutablePath() override { return executablePath_; }

  // Test helpers.
  // Adds or replaces a file, creating the folders above it.
  void AddFile(const std::string& path, const std::string& contents = "", uint32_t attributes = kAttrArchive);
  // Adds a folder and the folders above it.
  void AddFolder(const std::string& path);
  // Adds or changes a drive; a drive that is not ready (an empty CD drive) has no root folder to reach.
  void SetDrive(char letter, uint32_t type, bool ready = true, uint64_t freeBytes = 10ull << 30,
                uint64_t totalBytes = 40ull << 30);
  void RemoveDrive(char letter);
  // Sets the executable's path (its folder is created) and the temporary folder (trailing backslash).
  void SetExecutablePath(const std::string& path);
  void SetTempDir(const std::string& path);
  // The time stamped on files as they are created or written (FILETIME ticks).
  void SetClock(uint64_t fileTime) { clock_ = fileTime; }
  bool SetTimes(const std::string& path, uint64_t creation, uint64_t access, uint64_t write);
  // A locked file (held open by another program without sharing) is there but cannot be read, written, moved or
  // removed.
  void Lock(const std::string& path, bool locked = true);
  // Searches report this size for the file (sizes no test could hold in memory).
  bool SetReportedSize(const std::string& path, uint64_t size);
  size_t OpenSearchCount() const { return searches_.size(); }
  // The version resource a file answers with while it exists.
  void SetVersionResource(const std::string& path, const VersionResource& resource) { versions_[path] = resource; }
  // Later writes of the file fail (as on a full disk) or work again; an atomic write leaves the old contents.
  void SetWritesFail(const std::string& path, bool fail) {
    if (fail) failingWrites_.insert(path);
    else failingWrites_.erase(path);
  }

 private:
  using NodeId = uint32_t;
  struct Node {
    std::string name;
    NodeId parent = 0;
    uint32_t attributes = 0;
    std::string data;
    uint64_t creationTime = 0, accessTime = 0, writeTime = 0;
    bool locked = false;
    bool hasSize = false;  // a size searches report in place of the contents' length
    uint64_t size = 0;
    std::map<std::string, NodeId, NoCaseLess> children;
    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
  };
  struct Drive {
    uint32_t type = kDriveFixed;
    bool ready = true;
    uint64_t freeBytes = 0, totalBytes = 0;
    NodeId root = 0;
  };
  struct Search {
    std::vector<FindData> entries;
    size_t next = 0;
  };
  struct ParsedPath {
    char drive = 0;
    std::vector<std::string_view> parts;
  };

  static bool Parse(std::string_view path, ParsedPath* out);
  const Drive* DriveOf(char letter) const;
  // The node at `path`, or kNone.
  NodeId Find(const std::string& path) const;
  NodeId FindParsed(const ParsedPath& p, size_t partCount) const;
  NodeId Child(NodeId folder, std::string_view name) const;
  NodeId AddNode(NodeId parent, std::string_view name, uint32_t attributes);
  void Unlink(NodeId node);
  // The existing folder that would hold `path`, and the new entry's name; false when there is none.
  bool ParentFor(const std::string& path, NodeId* parent, std::string* name) const;
  NodeId MakeFolders(const ParsedPath& p, size_t partCount);
  bool WriteFile(const std::string& path, const std::string& contents, bool append);
  FindData EntryOf(NodeId node, const std::string& name) const;
  uint32_t Reported(const Node& node) const;

  static constexpr NodeId kNone = UINT32_MAX;
  std::deque<Node> nodes_;
  std::map<char, Drive> drives_;
  std::map<FindHandle, Search> searches_;
  FindHandle nextSearch_ = 1;
  uint64_t clock_;
  std::string tempDir_;
  std::string executablePath_;
  std::map<std::string, VersionResource, NoCaseLess> versions_;
  std::set<std::string, NoCaseLess> failingWrites_;
};

}  // namespace tw
