#include <windows.h>

#include "platform/win32/win32_profile.h"

namespace tw {
namespace {

constexpr const char* kWinIni = "win.ini";

// The file for the private-profile functions that have no win.ini twin: win.ini by its bare name,
// which they look for in the Windows folder.
const char* FileOf(const std::string& file) { return file.empty() ? kWinIni : file.c_str(); }

// Calls a profile reader with a growing buffer until the answer fits; `slack` is how many characters
// short of the buffer size the function reports when it had to cut (1 for a string, 2 for a list).
template <typename Read>
std::string ReadGrowing(Read read, DWORD slack) {
  std::string buffer(1024, '\0');
  for (;;) {
    DWORD n = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n + slack < buffer.size() || buffer.size() >= (64u << 20)) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 4);
  }
}

// A null key deletes the key, a null key and value the section.
bool Write(const std::string& file, const char* section, const char* key, const char* value) {
  if (file.empty()) return WriteProfileStringA(section, key, value) != FALSE;
  return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

// A list of NUL-terminated names.
std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < list.size()) {
    size_t end = list.find('\0', pos);
    if (end == std::string::npos) end = list.size();
    if (end > pos) names.push_back(list.substr(pos, end - pos));
    pos = end + 1;
  }
  return names;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string Win32Profile::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& defaultValue) {
  return ReadGrowing(
      [&](char* buffer, DWORD size) {
        if (file.empty()) return GetProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, size);
        return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, size,
                                        file.c_str());
      },
      1);
}

int Win32Profile::ReadInteger(const std::string& file, const std::string& section, const std::string& key,
                              int defaultValue) {
  if (file.empty()) return static_cast<int>(GetProfileIntA(section.c_str(), key.c_str(), defaultValue));
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

bool Win32Profile::WriteString(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) {
  return Write(file, section.c_str(), key.c_str(), value.c_str());
}

bool Win32Profile::DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
  return Write(file, section.c_str(), key.c_str(), nullptr);
}

bool Win32Profile::DeleteSection(const std::string& file, const std::string& section) {
  return Write(file, section.c_str(), nullptr, nullptr);
}

std::vector<std::string> Win32Profile::SectionNames(const std::string& file) {
  return SplitList(ReadGrowing(
      [&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, FileOf(file)); }, 2));
}

std::vector<std::string> Win32Profile::KeyNames(const std::string& file, const std::string& section) {
  return SplitList(ReadGrowing(
      [&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size, FileOf(file));
      },
      2));
}

std::vector<std::pair<std::string, std::string>> Win32Profile::ReadSection(const std::string& file,
                                                                           const std::string& section) {
  const std::vector<std::string> lines = SplitList(ReadGrowing(
      [&](char* buffer, DWORD size) {
        if (file.empty()) return GetProfileSectionA(section.c_str(), buffer, size);
        return GetPrivateProfileSectionA(section.c_str(), buffer, size, file.c_str());
      },
      2));
  std::vector<std::pair<std::string, std::string>> keys;
  for (const std::string& line : lines) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      keys.emplace_back(Trimmed(line), std::string());
    } else {
      keys.emplace_back(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
    }
  }
  return keys;
}

}  // namespace tw
