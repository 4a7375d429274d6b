#include <windows.h>
#include <winver.h>

#include "platform/win32/win32_files.h"

#include <cstdio>
#include <vector>
#include "platform/win32/exact_ansi.h"

#include <algorithm>

namespace tw {
namespace {

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// Fills `out` from a found entry; false when its name has no exact ANSI form, so that a walk passes it over
// instead of meeting a name with "?" in it that leads nowhere or somewhere else.
bool Fill(const WIN32_FIND_DATAW& in, FindData* out) {
  std::string name;
  if (!ExactAnsi(in.cFileName, wcslen(in.cFileName), &name)) return false;
  out->name = std::move(name);
  out->attributes = in.dwFileAttributes;
  out->size = (static_cast<uint64_t>(in.nFileSizeHigh) << 32) | in.nFileSizeLow;
  out->creationTime = Ticks(in.ftCreationTime);
  out->accessTime = Ticks(in.ftLastAccessTime);
  out->writeTime = Ticks(in.ftLastWriteTime);
  return true;
}

bool WriteAll(HANDLE file, const std::string& contents) {
  size_t done = 0;
  while (done < contents.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Opens an existing file or makes a new one; OPEN_ALWAYS, unlike CREATE_ALWAYS, also opens hidden and
// system files.
HANDLE OpenForWriting(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

std::string FromBuffer(UINT (WINAPI* get)(LPSTR, UINT)) {
  char buffer[MAX_PATH + 1];
  UINT n = get(buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// A path for the wide functions: a drive path too long for them as it is gets the "\\?\" prefix, which lifts the
// limit of MAX_PATH characters, so walks, tests and deletions also reach deeper files.
std::wstring LongWide(const std::string& path) {
  std::wstring wide = WideOf(path);
  if (wide.size() >= MAX_PATH - 12 && wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
    wide.insert(0, L"\\\\?\\");
  return wide;
}

}  // namespace

// Through the wide function, as the folder walk is: a path the walk can list can also be tested.
uint32_t Win32Files::Attributes(const std::string& path) { return GetFileAttributesW(LongWide(path).c_str()); }

bool Win32Files::SetAttributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

FindHandle Win32Files::FindFirst(const std::string& pattern, FindData* data) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(LongWide(pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return 0;
  while (!Fill(found, data)) {
    if (!FindNextFileW(h, &found)) {
      ::FindClose(h);
      return 0;
    }
  }
  return reinterpret_cast<FindHandle>(h);
}

bool Win32Files::FindNext(FindHandle handle, FindData* data) {
  WIN32_FIND_DATAW found;
  if (!handle) return false;
  do {
    if (!FindNextFileW(reinterpret_cast<HANDLE>(handle), &found)) return false;
  } while (!Fill(found, data));
  return true;
}

void Win32Files::FindClose(FindHandle handle) {
  if (handle) ::FindClose(reinterpret_cast<HANDLE>(handle));
}

bool Win32Files::RemoveFile(const std::string& path) { return DeleteFileW(LongWide(path).c_str()) != FALSE; }

bool Win32Files::CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
  return CopyFileA(from.c_str(), to.c_str(), failIfExists) != FALSE;
}

bool Win32Files::MoveFileTo(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32Files::MakeDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool Win32Files::RemoveFolder(const std::string& path) { return RemoveDirectoryW(LongWide(path).c_str()) != FALSE; }

bool Win32Files::ReadWholeFile(const std::string& path, std::string* contents) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  if (!ok) return false;
  *contents = std::move(text);
  return true;
}

bool Win32Files::WriteWholeFile(const std::string& path, const std::string& contents) {
  HANDLE file = OpenForWriting(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, contents) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

bool Win32Files::AppendToFile(const std::string& path, const std::string& contents) {
  HANDLE file = OpenForWriting(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER zero{};
  bool ok = SetFilePointerEx(file, zero, nullptr, FILE_END) && WriteAll(file, contents);
  CloseHandle(file);
  return ok;
}

bool Win32Files::ReadVersionResource(const std::string& path, VersionResource* out) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<char> buffer(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.data())) return false;
  VersionResource resource;
  void* block = nullptr;
  UINT length = 0;
  if (VerQueryValueA(buffer.data(), "\\", &block, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    resource.fileVersionMS = fixed->dwFileVersionMS;
    resource.fileVersionLS = fixed->dwFileVersionLS;
  }
  if (VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &block, &length) && length >= 4) {
    const auto* pair = static_cast<const WORD*>(block);
    resource.hasTranslation = true;
    resource.language = pair[0];
    resource.codePage = pair[1];
    char key[16];
    std::snprintf(key, sizeof key, "%4.4x%4.4x", resource.language, resource.codePage);
    for (const char* name : kVersionStringNames) {
      const std::string query = std::string("\\StringFileInfo\\") + key + "\\" + name;
      if (!VerQueryValueA(buffer.data(), query.c_str(), &block, &length) || !block) continue;
      const char* text = static_cast<const char*>(block);
      size_t n = 0;
      while (n < length && text[n]) ++n;
      resource.strings[name] = std::string(text, n);
    }
  }
  *out = std::move(resource);
  return true;
}

NewFileResult Win32Files::WriteNewFile(const std::string& path, const std::string& contents) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileResult::NameTaken
                                                                       : NewFileResult::Failed;
  }
  const bool ok = WriteAll(file, contents) && FlushFileBuffers(file);
  CloseHandle(file);
  if (ok) return NewFileResult::Written;
  DeleteFileA(path.c_str());
  return NewFileResult::Failed;
}

bool Win32Files::WriteFileAtomically(const std::string& path, const std::string& contents) {
  const size_t slash = path.find_last_of('\\');
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  char temporary[MAX_PATH + 1] = {};
  if (!GetTempFileNameA(folder.c_str(), "twk", 0, temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    ok = WriteAll(file, contents) && FlushFileBuffers(file);
    CloseHandle(file);
  }
  ok = ok && MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temporary);
  return ok;
}

uint32_t Win32Files::DriveType(const std::string& root) { return GetDriveTypeA(root.c_str()); }

uint32_t Win32Files::LogicalDrives() { return GetLogicalDrives(); }

bool Win32Files::FreeSpace(const std::string& root, uint64_t* freeBytes, uint64_t* totalBytes) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) return false;
  if (freeBytes) *freeBytes = available.QuadPart;
  if (totalBytes) *totalBytes = total.QuadPart;
  return true;
}

std::string Win32Files::WindowsDir() { return FromBuffer(GetWindowsDirectoryA); }

std::string Win32Files::SystemDir() { return FromBuffer(GetSystemDirectoryA); }

std::string Win32Files::TempDir() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string Win32Files::ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace tw
