#include <windows.h>

#include "platform/win32/win32_registry.h"

namespace tw {
namespace {

HKEY H(HKey key) { return reinterpret_cast<HKEY>(key); }

// The API refuses a path that starts with a backslash; below a parent it means the same key path.
const char* Relative(const std::string& path) {
  return !path.empty() && path.front() == '\\' ? path.c_str() + 1 : path.c_str();
}

bool IsPredefined(HKey key) { return key >= kClassesRoot && key <= kCurrentConfig; }

}  // namespace

long Win32Registry::OpenKey(HKey parent, const std::string& path, bool create, HKey* out) {
  HKEY key = nullptr;
  long rc;
  // Read and write where allowed, read-only where the key's security allows no more.
  if (create) {
    rc = RegCreateKeyExA(H(parent), Relative(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                         nullptr, &key, nullptr);
    if (rc == ERROR_ACCESS_DENIED)
      rc = RegCreateKeyExA(H(parent), Relative(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &key,
                           nullptr);
  } else {
    rc = RegOpenKeyExA(H(parent), Relative(path), 0, KEY_READ | KEY_WRITE, &key);
    if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExA(H(parent), Relative(path), 0, KEY_READ, &key);
  }
  if (rc == ERROR_SUCCESS) *out = reinterpret_cast<HKey>(key);
  return rc;
}

long Win32Registry::OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) {
  HKEY key = nullptr;
  long rc = RegOpenKeyExA(H(parent), Relative(path), REG_OPTION_OPEN_LINK, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) *out = reinterpret_cast<HKey>(key);
  return rc;
}

long Win32Registry::CloseKey(HKey key) {
  if (IsPredefined(key)) return kOk;
  return RegCloseKey(H(key));
}

long Win32Registry::QueryInfo(HKey key, KeyInfo* info) {
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
  long rc = RegQueryInfoKeyA(H(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr, &values,
                             &maxValueNameLen, &maxValueLen, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  info->subKeys = subKeys;
  info->values = values;
  info->maxSubKeyLen = maxSubKeyLen;
  info->maxValueNameLen = maxValueNameLen;
  info->maxValueLen = maxValueLen;
  return kOk;
}

long Win32Registry::EnumKey(HKey key, uint32_t index, std::string* name) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = static_cast<DWORD>(nameBuffer_.size());
    long rc = RegEnumKeyExA(H(key), index, nameBuffer_.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
      name->assign(nameBuffer_.data(), length);
      return kOk;
    }
    if (rc != ERROR_MORE_DATA || attempt > 0) return rc;
    // Longer than any name Windows allows: size the buffer from the key's own longest name (in a
    // double-byte code page a character may take two bytes).
    DWORD maxLen = 0;
    if (RegQueryInfoKeyA(H(key), nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
      return rc;
    size_t wanted = (static_cast<size_t>(maxLen) + 1) * 2;
    if (wanted <= nameBuffer_.size()) return rc;
    nameBuffer_.resize(wanted);
  }
  return kErrMoreData;
}

long Win32Registry::EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) {
  // The data may grow between the calls; a few rounds are enough for anything but a value rewritten
  // continuously.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD nameLength = static_cast<DWORD>(valueNameBuffer_.size());
    DWORD valueType = 0;
    DWORD dataLength = static_cast<DWORD>(dataBuffer_.size());
    long rc = RegEnumValueA(H(key), index, valueNameBuffer_.data(), &nameLength, nullptr, &valueType,
                            dataBuffer_.data(), &dataLength);
    if (rc == ERROR_SUCCESS) {
      if (name) name->assign(valueNameBuffer_.data(), nameLength);
      if (type) *type = valueType;
      if (data) data->assign(dataBuffer_.begin(), dataBuffer_.begin() + dataLength);
      return kOk;
    }
    if (rc != ERROR_MORE_DATA) return rc;
    if (dataLength > dataBuffer_.size()) {
      dataBuffer_.resize(dataLength);
    } else {
      dataBuffer_.resize(dataBuffer_.size() * 2);
    }
  }
  return kErrMoreData;
}

long Win32Registry::QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD valueType = 0;
    DWORD dataLength = static_cast<DWORD>(dataBuffer_.size());
    long rc = RegQueryValueExA(H(key), name.c_str(), nullptr, &valueType, dataBuffer_.data(), &dataLength);
    if (rc == ERROR_SUCCESS) {
      if (type) *type = valueType;
      if (data) data->assign(dataBuffer_.begin(), dataBuffer_.begin() + dataLength);
      return kOk;
    }
    if (rc != ERROR_MORE_DATA) return rc;
    dataBuffer_.resize(dataLength > dataBuffer_.size() ? dataLength : dataBuffer_.size() * 2);
  }
  return kErrMoreData;
}

long Win32Registry::SetValue(HKey key, const std::string& name, uint32_t type, const Bytes& data) {
  // For string types the ANSI function also stores the byte after the data when that byte is a NUL
  // (taking it for a forgotten terminator); a non-NUL guard byte keeps the data exactly as given.
  writeBuffer_.assign(data.begin(), data.end());
  writeBuffer_.push_back(0xFF);
  return RegSetValueExA(H(key), name.c_str(), 0, type, writeBuffer_.data(), static_cast<DWORD>(data.size()));
}

long Win32Registry::DeleteValue(HKey key, const std::string& name) {
  return RegDeleteValueA(H(key), name.c_str());
}

long Win32Registry::DeleteTree(HKey parent, const std::string& subKey) {
  const char* path = Relative(subKey);
  if (std::string(path).find_first_not_of('\\') == std::string::npos) return kErrInvalidParameter;
  using DeleteTreeFn = LONG(WINAPI*)(HKEY, LPCSTR);
  static const auto deleteTree = reinterpret_cast<DeleteTreeFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
  if (deleteTree) return deleteTree(H(parent), path);
  // Before Vista: the shell's recursive delete.
  using ShDeleteKeyFn = DWORD(WINAPI*)(HKEY, LPCSTR);
  static const auto shDeleteKey = reinterpret_cast<ShDeleteKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shlwapi.dll"), "SHDeleteKeyA")));
  return shDeleteKey ? static_cast<long>(shDeleteKey(H(parent), path)) : kErrNotFound;
}

}  // namespace tw
