#include "e2e/registry_snapshot.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw::test {

namespace {

void AddKey(HKEY root, const std::wstring& path, RegistrySnapshot& snap) {
  HKEY key;
  // A symbolic link is taken as itself (its link value), as a repair deletes it.
  if (RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key) != ERROR_SUCCESS) return;
  snap[L"[" + path + L"]"] = {0, ""};
  std::vector<wchar_t> name(16384);
  std::string data(2 << 20, '\0');
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &size) != ERROR_SUCCESS)
      break;
    snap[L"[" + path + L"] " + std::wstring(name.data(), nameLength)] = {type, data.substr(0, size)};
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name.data(), nameLength);
  }
  RegCloseKey(key);
  for (const auto& child : children) AddKey(root, path + L"\\" + child, snap);
}

}  // namespace

void AddToSnapshot(HKEY root, const std::string& path, RegistrySnapshot& snap) {
  AddKey(root, std::wstring(path.begin(), path.end()), snap);
}

std::string SnapshotEntryName(const std::wstring& entry) {
  std::string out;
  for (wchar_t c : entry) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

void ExpectSameSnapshot(const RegistrySnapshot& before, const RegistrySnapshot& after) {
  for (const auto& [entry, value] : before) {
    auto it = after.find(entry);
    if (it == after.end()) {
      ADD_FAILURE() << "missing: " << SnapshotEntryName(entry);
    } else if (it->second != value) {
      ADD_FAILURE() << "different: " << SnapshotEntryName(entry) << " type " << value.first << " -> "
                    << it->second.first << ", " << value.second.size() << " -> " << it->second.second.size()
                    << " bytes";
    }
  }
  for (const auto& [entry, value] : after)
    if (!before.count(entry)) ADD_FAILURE() << "appeared: " << SnapshotEntryName(entry);
}

bool ImportWithRegistryEditor(IFiles& files, const std::string& regFile) {
  std::string editor = files.WindowsDir() + "\\regedit.exe";
  std::string commandLine = "\"" + editor + "\" /s \"" + regFile + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(editor.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

}  // namespace tw::test
