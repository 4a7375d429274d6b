// The file system as a scan sees it: attribute (and so existence) questions are answered once per path and scan
// (AttributeCache, keyed by the upper-cased path, as Windows compares paths); everything else passes through.
// Only for scans, which read the file system and never change it.
#pragma once
#include <string>

#include "platform/files.h"
#include "sections/scan_context.h"

namespace tw {

class CachedFiles : public IFiles {
 public:
  CachedFiles(IFiles& files, AttributeCache& cache) : files_(files), cache_(cache) {}

  uint32_t Attributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return files_.SetAttributes(path, attributes);
  }
  FindHandle FindFirst(const std::string& pattern, FindData* data) override { return files_.FindFirst(pattern, data); }
  bool FindNext(FindHandle handle, FindData* data) override { return files_.FindNext(handle, data); }
  void FindClose(FindHandle handle) override { files_.FindClose(handle); }
  bool RemoveFile(const std::string& path) override { return files_.RemoveFile(path); }
  bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) override {
    return files_.CopyFileTo(from, to, failIfExists);
  }
  bool MoveFileTo(const std::string& from, const std::string& to) override { return files_.MoveFileTo(from, to); }
  bool MakeDirectory(const std::string& path) override { return files_.MakeDirectory(path); }
  bool RemoveFolder(const std::string& path) override { return files_.RemoveFolder(path); }
  bool ReadWholeFile(const std::string& path, std::string* contents) override {
    return files_.ReadWholeFile(path, contents);
  }
  bool WriteWholeFile(const std::string& path, const std::string& contents) override {
    return files_.WriteWholeFile(path, contents);
  }
  bool AppendToFile(const std::string& path, const std::string& contents) override {
    return files_.AppendToFile(path, contents);
  }
  bool ReadVersionResource(const std::string& path, VersionResource* out) override {
    return files_.ReadVersionResource(path, out);
  }
  NewFileResult WriteNewFile(const std::string& path, const std::string& contents) override {
    return files_.WriteNewFile(path, contents);
  }
  bool WriteFileAtomically(const std::string& path, const std::string& contents) override {
    return files_.WriteFileAtomically(path, contents);
  }
  uint32_t DriveType(const std::string& root) override { return files_.DriveType(root); }
  uint32_t LogicalDrives() override { return files_.LogicalDrives(); }
  bool FreeSpace(const std::string& root, uint64_t* freeBytes, uint64_t* totalBytes) override {
    return files_.FreeSpace(root, freeBytes, totalBytes);
  }
  std::string WindowsDir() override { return files_.WindowsDir(); }
  std::string SystemDir() override { return files_.SystemDir(); }
  std::string TempDir() override { return files_.TempDir(); }
  std::string ExecutablePath() override { return files_.ExecutablePath(); }

 private:
  IFiles& files_;
  AttributeCache& cache_;
};

}  // namespace tw
