// The real file system through the ANSI Win32 file functions.
#pragma once
#include <string>

#include "platform/files.h"

namespace tw {

class Win32Files : public IFiles {
 public:
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
  std::string WindowsDir() override;
  std::string SystemDir() override;
  std::string TempDir() override;
  std::string ExecutablePath() override;
};

}  // namespace tw
