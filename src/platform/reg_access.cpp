#include "platform/reg_access.h"

#include <array>
#include <utility>

namespace tw {

namespace {

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFoldersKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const std::array<std::pair<HKey, const char*>, 5> kRootNames = {{
    {kClassesRoot, "HKEY_CLASSES_ROOT"},
    {kCurrentUser, "HKEY_CURRENT_USER"},
    {kLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kUsers, "HKEY_USERS"},
    {kCurrentConfig, "HKEY_CURRENT_CONFIG"},
}};

// Paths below a root are passed to the registry without their leading backslash.
std::string WithoutLeadingBackslash(const std::string& path) {
  return !path.empty() && path.front() == '\\' ? path.substr(1) : path;
}

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

// String data ends at its first NUL; data stored without one is taken whole.
std::string TextOf(const Bytes& data) {
  std::string text(data.begin(), data.end());
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

Bytes StringBytes(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

bool IsAbsent(long rc) { return rc == kErrNotFound; }

}  // namespace

TRegistry::TRegistry(IRegistry& reg, HKey root) : reg_(reg), root_(root) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKey root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const std::string& path, bool create) {
  CloseKey();
  return key_.Open(reg_, root_, WithoutLeadingBackslash(path), create) == kOk;
}

void TRegistry::CloseKey() { key_.Reset(); }

bool TRegistry::KeyExists(const std::string& path) {
  RegKeyHandle probe;
  return probe.Open(reg_, root_, WithoutLeadingBackslash(path), false) == kOk;
}

bool TRegistry::ValueExists(const std::string& name) {
  bool exists = false;
  GetRawType(name, &exists);
  return exists;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (!HasOpenKey()) return names;
  std::string name;
  // A name without an exact ANSI form is passed over; the listing goes on with the next.
  for (uint32_t i = 0;; ++i) {
    const long rc = reg_.EnumKey(key_.Get(), i, &name);
    if (rc == kOk) names.push_back(name);
    else if (rc != kErrNoUnicodeTranslation) break;
  }
  return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (!HasOpenKey()) return names;
  std::string name;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0;; ++i) {
    const long rc = reg_.EnumValue(key_.Get(), i, &name, &type, &data);
    if (rc == kOk) names.push_back(name);
    else if (rc != kErrNoUnicodeTranslation) break;
  }
  return names;
}

RegDataType TRegistry::GetDataType(const std::string& name) {
  bool exists = false;
  uint32_t type = GetRawType(name, &exists);
  if (!exists) return RegDataType::Unknown;
  switch (type) {
    case kRegSz: return RegDataType::String;
    case kRegExpandSz: return RegDataType::ExpandString;
    case kRegDword: return RegDataType::Integer;
    case kRegBinary: return RegDataType::Binary;
    default: return RegDataType::Unknown;
  }
}

int TRegistry::GetDataSize(const std::string& name) {
  if (!HasOpenKey()) return -1;
  uint32_t type = 0;
  Bytes data;
  if (reg_.QueryValue(key_.Get(), name, &type, &data) != kOk) return -1;
  return static_cast<int>(data.size());
}

uint32_t TRegistry::GetRawType(const std::string& name, bool* exists) {
  uint32_t type = kRegNone;
  Bytes data;
  bool found = HasOpenKey() && reg_.QueryValue(key_.Get(), name, &type, &data) == kOk;
  if (exists) *exists = found;
  return found ? type : kRegNone;
}

bool TRegistry::ValueHasNoAnsiForm(const std::string& name) {
  uint32_t type = kRegNone;
  Bytes data;
  return HasOpenKey() && reg_.QueryValue(key_.Get(), name, &type, &data) == kErrNoUnicodeTranslation;
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!HasOpenKey()) return {};
  uint32_t type = 0;
  Bytes data;
  if (reg_.QueryValue(key_.Get(), name, &type, &data) != kOk || !IsStringType(type)) return {};
  return TextOf(data);
}

bool TRegistry::ReadInteger(const std::string& name, int32_t* out) {
  if (!HasOpenKey()) return false;
  uint32_t type = 0;
  Bytes data;
  if (reg_.QueryValue(key_.Get(), name, &type, &data) != kOk || type != kRegDword || data.size() != 4)
    return false;
  uint32_t v = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
  *out = static_cast<int32_t>(v);
  return true;
}

bool TRegistry::ReadBinary(const std::string& name, Bytes* out) {
  if (!HasOpenKey()) return false;
  uint32_t type = 0;
  Bytes data;
  if (reg_.QueryValue(key_.Get(), name, &type, &data) != kOk) return false;
  *out = std::move(data);
  return true;
}

bool TRegistry::WriteString(const std::string& name, const std::string& value) {
  return HasOpenKey() && reg_.SetValue(key_.Get(), name, kRegSz, StringBytes(value)) == kOk;
}

bool TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  return HasOpenKey() && reg_.SetValue(key_.Get(), name, kRegExpandSz, StringBytes(value)) == kOk;
}

bool TRegistry::WriteInteger(const std::string& name, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  Bytes data = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return HasOpenKey() && reg_.SetValue(key_.Get(), name, kRegDword, data) == kOk;
}

bool TRegistry::WriteBinary(const std::string& name, const Bytes& value) {
  return HasOpenKey() && reg_.SetValue(key_.Get(), name, kRegBinary, value) == kOk;
}

bool TRegistry::DeleteValue(const std::string& name) {
  return HasOpenKey() && reg_.DeleteValue(key_.Get(), name) == kOk;
}

bool TRegistry::DeleteKey(const std::string& path) {
  std::string subKey = WithoutLeadingBackslash(path);
  // An empty path would name the root itself: never wipe a whole root.
  return !subKey.empty() && reg_.DeleteTree(root_, subKey) == kOk;
}

std::string RootKeyName(HKey root) {
  for (const auto& [key, name] : kRootNames)
    if (key == root) return name;
  return {};
}

HKey RootKeyFromName(const std::string& name) {
  for (const auto& [key, rootName] : kRootNames)
    if (name == rootName) return key;
  return 0;
}

bool DeleteValueAt(IRegistry& reg, const std::string& fullKeyPath, const std::string& valueName) {
  size_t slash = fullKeyPath.find('\\');
  HKey root = RootKeyFromName(fullKeyPath.substr(0, slash));
  if (root == 0) return false;
  std::string keyPath = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
  RegKeyHandle key;
  long rc = key.Open(reg, root, keyPath, false);
  if (IsAbsent(rc)) return true;
  if (rc != kOk) return false;
  rc = reg.DeleteValue(key.Get(), valueName == "default" ? std::string() : valueName);
  return rc == kOk || IsAbsent(rc);
}

bool DeleteKeyAt(IRegistry& reg, HKey root, const std::string& path) {
  std::string subKey = WithoutLeadingBackslash(path);
  if (subKey.empty()) return false;
  // A key that is a symbolic link is deleted as itself, so it is looked for as itself.
  HKey key = 0;
  long rc = reg.OpenKeyNoFollow(root, subKey, &key);
  if (IsAbsent(rc)) return true;
  if (rc != kOk) return false;
  reg.CloseKey(key);
  rc = reg.DeleteTree(root, subKey);
  return rc == kOk || IsAbsent(rc);
}

std::string ProgramFolder(IRegistry& reg, int selector) {
  const char* name = selector == 0 ? "ProgramFilesDir" : selector == 1 ? "CommonFilesDir" : nullptr;
  if (!name) return {};
  TRegistry r(reg, kLocalMachine);
  if (!r.OpenKeyReadOnly(kCurrentVersionKey)) return {};
  return r.ReadString(name);
}

std::vector<TFolderData> StartupFolders(IRegistry& reg) {
  const std::pair<HKey, const char*> folders[] = {{kLocalMachine, "Common Startup"}, {kCurrentUser, "Startup"}};
  std::vector<TFolderData> result;
  for (const auto& [root, name] : folders) {
    TFolderData folder;
    folder.RootKey = root;
    folder.KeyPath = kShellFoldersKey;
    folder.Name = name;
    TRegistry r(reg, root);
    if (r.OpenKeyReadOnly(kShellFoldersKey)) folder.Data = r.ReadString(name);
    result.push_back(std::move(folder));
  }
  return result;
}

void OpenInBrowserWindow(Platform& platform, const std::string& address) {
  int width = platform.system.ScreenWidth();
  int height = platform.system.ScreenHeight() - 30;
  if (!platform.shell.OpenInBrowserObject(address, 0, 0, width, height))
    platform.shell.Execute("open", address, "", "", 1);
}

}  // namespace tw
