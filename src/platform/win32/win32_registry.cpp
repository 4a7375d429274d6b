#include <windows.h>

#include "platform/win32/win32_registry.h"

#include "platform/win32/exact_ansi.h"

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
  DWORD length = static_cast<DWORD>(nameBuffer_.size());
  long rc = RegEnumKeyExW(H(key), index, nameBuffer_.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  if (!ExactAnsi(nameBuffer_.data(), length, &ansiName_)) return kErrNoUnicodeTranslation;
  name->assign(ansiName_);
  return kOk;
}

long Win32Registry::ReadValueWide(HKey key, int64_t index, const wchar_t* name, DWORD* nameLength, DWORD* type,
                                  DWORD* dataLength) {
  // The data may grow between the calls; a few rounds are enough for anything but a value rewritten
  // continuously.
  for (int attempt = 0; attempt < 4; ++attempt) {
    *nameLength = static_cast<DWORD>(valueNameBuffer_.size());
    *dataLength = static_cast<DWORD>(dataBuffer_.size());
    long rc = index >= 0 ? RegEnumValueW(H(key), static_cast<DWORD>(index), valueNameBuffer_.data(), nameLength,
                                         nullptr, type, dataBuffer_.data(), dataLength)
                         : RegQueryValueExW(H(key), name, nullptr, type, dataBuffer_.data(), dataLength);
    if (rc != ERROR_MORE_DATA) return rc;
    dataBuffer_.resize(*dataLength > dataBuffer_.size() ? *dataLength : dataBuffer_.size() * 2);
  }
  return kErrMoreData;
}

namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The ANSI form of a value's data: string data converted exactly, anything else as it is.
bool AnsiData(DWORD type, const Bytes& buffer, DWORD length, Bytes* data) {
  if (!IsStringType(type)) {
    data->assign(buffer.begin(), buffer.begin() + length);
    return true;
  }
  if (length % 2 != 0) return false;
  std::string text;
  if (!ExactAnsi(reinterpret_cast<const wchar_t*>(buffer.data()), length / 2, &text)) return false;
  data->assign(text.begin(), text.end());
  return true;
}

}  // namespace

long Win32Registry::EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) {
  DWORD nameLength = 0, valueType = 0, dataLength = 0;
  long rc = ReadValueWide(key, index, nullptr, &nameLength, &valueType, &dataLength);
  if (rc != ERROR_SUCCESS) return rc;
  Bytes ansi;
  if (!ExactAnsi(valueNameBuffer_.data(), nameLength, &ansiName_) ||
      !AnsiData(valueType, dataBuffer_, dataLength, &ansi))
    return kErrNoUnicodeTranslation;
  if (name) name->assign(ansiName_);
  if (type) *type = valueType;
  if (data) *data = std::move(ansi);
  return kOk;
}

long Win32Registry::QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) {
  DWORD nameLength = 0, valueType = 0, dataLength = 0;
  long rc = ReadValueWide(key, -1, WideOf(name).c_str(), &nameLength, &valueType, &dataLength);
  if (rc != ERROR_SUCCESS) return rc;
  Bytes ansi;
  if (!AnsiData(valueType, dataBuffer_, dataLength, &ansi)) return kErrNoUnicodeTranslation;
  if (type) *type = valueType;
  if (data) *data = std::move(ansi);
  return kOk;
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

namespace {

using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);

// The subkey names of an open key through the wide functions, so that no name is lost to the code page.
std::vector<std::wstring> SubKeyNames(HKEY key) {
  std::vector<std::wstring> names;
  wchar_t name[257];
  for (DWORD i = 0;; ++i) {
    DWORD length = 257;
    const LONG rc = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

// Opens a subkey for deletion without following a symbolic link: a link opens as itself.
LONG OpenForDelete(HKEY parent, const wchar_t* name, HKEY* out) {
  return RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, KEY_READ | DELETE, out);
}

}  // namespace

long Win32Registry::DeleteTree(HKey parent, const std::string& subKey) {
  std::string path = Relative(subKey);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.find_first_not_of('\\') == std::string::npos) return kErrInvalidParameter;
  static const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
  if (!ntDeleteKey) return kErrNotFound;

  // The parent path is opened as usual, the key itself as a link when it is one.
  const size_t cut = path.rfind('\\');
  HKEY base = H(parent);
  HKEY opened = nullptr;
  if (cut != std::string::npos) {
    const long rc = RegOpenKeyExA(H(parent), path.substr(0, cut).c_str(), 0, KEY_READ, &opened);
    if (rc != ERROR_SUCCESS) return rc;
    base = opened;
  }
  HKEY top = nullptr;
  long rc = OpenForDelete(base, WideOf(path.substr(cut == std::string::npos ? 0 : cut + 1)).c_str(), &top);
  if (opened) RegCloseKey(opened);
  if (rc != ERROR_SUCCESS) return rc;

  // Depth first through open handles, each key deleted once its subkeys are gone. Links open as themselves and
  // hold no subkeys, so the walk cannot loop; the bound only guards against a registry gone wrong.
  struct Frame {
    HKEY key;
    std::vector<std::wstring> children;
    size_t next = 0;
  };
  constexpr size_t kMaxDepth = 65536;
  std::vector<Frame> stack;
  stack.push_back({top, SubKeyNames(top)});
  bool allDeleted = true;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.children.size() && stack.size() < kMaxDepth) {
      HKEY child = nullptr;
      if (OpenForDelete(frame.key, frame.children[frame.next++].c_str(), &child) != ERROR_SUCCESS) {
        allDeleted = false;
        continue;
      }
      stack.push_back({child, SubKeyNames(child)});
      continue;
    }
    if (ntDeleteKey(frame.key) != 0) allDeleted = false;
    RegCloseKey(frame.key);
    stack.pop_back();
  }
  return allDeleted ? kOk : kErrAccessDenied;
}

long Win32Registry::OpenSubKeyExact(HKey parent, const std::u16string& name, HKey* out) {
  if (name.empty() || name.find(u'\\') != std::u16string::npos) return kErrInvalidParameter;
  HKEY key = nullptr;
  const std::wstring wide(name.begin(), name.end());
  long rc = RegOpenKeyExW(H(parent), wide.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) *out = reinterpret_cast<HKey>(key);
  return rc;
}

long Win32Registry::EnumKeyExact(HKey key, uint32_t index, std::u16string* name) {
  DWORD length = static_cast<DWORD>(nameBuffer_.size());
  long rc = RegEnumKeyExW(H(key), index, nameBuffer_.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) name->assign(nameBuffer_.data(), nameBuffer_.data() + length);
  return rc;
}

long Win32Registry::EnumValueExact(HKey key, uint32_t index, std::u16string* name, uint32_t* type, Bytes* data) {
  DWORD nameLength = 0, valueType = 0, dataLength = 0;
  long rc = ReadValueWide(key, index, nullptr, &nameLength, &valueType, &dataLength);
  if (rc != ERROR_SUCCESS) return rc;
  if (name) name->assign(valueNameBuffer_.data(), valueNameBuffer_.data() + nameLength);
  if (type) *type = valueType;
  if (data) data->assign(dataBuffer_.begin(), dataBuffer_.begin() + dataLength);
  return kOk;
}

long Win32Registry::QueryValueExact(HKey key, const std::u16string& name, uint32_t* type, Bytes* data) {
  DWORD nameLength = 0, valueType = 0, dataLength = 0;
  const std::wstring wide(name.begin(), name.end());
  long rc = ReadValueWide(key, -1, wide.c_str(), &nameLength, &valueType, &dataLength);
  if (rc != ERROR_SUCCESS) return rc;
  if (type) *type = valueType;
  if (data) data->assign(dataBuffer_.begin(), dataBuffer_.begin() + dataLength);
  return kOk;
}

}  // namespace tw
