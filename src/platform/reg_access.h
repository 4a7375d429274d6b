// The convenience registry object and the shared registry helpers, built on the raw IRegistry calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry.h"

namespace tw {

enum class RegDataType { Unknown, String, ExpandString, Integer, Binary };

// One root key, one open key at a time.
class TRegistry {
 public:
  explicit TRegistry(IRegistry& reg, HKey root = kCurrentUser);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKey RootKey() const { return root_; }
  void SetRootKey(HKey root);  // closes the open key
  // Opens a key below the root (a leading backslash is allowed), creating it when asked.
  bool OpenKey(const std::string& path, bool create);
  bool OpenKeyReadOnly(const std::string& path) { return OpenKey(path, false); }
  void CloseKey();
  bool HasOpenKey() const { return key_.IsOpen(); }
  HKey CurrentKey() const { return key_.Get(); }

  bool KeyExists(const std::string& path);  // below the root
  bool ValueExists(const std::string& name);
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();
  RegDataType GetDataType(const std::string& name);
  int GetDataSize(const std::string& name);  // -1 when the value is missing
  uint32_t GetRawType(const std::string& name, bool* exists = nullptr);
  // True when the value is there but its string data has no exact ANSI form: nothing may be judged by it.
  bool ValueHasNoAnsiForm(const std::string& name);

  std::string ReadString(const std::string& name);  // missing or non-string: empty
  bool ReadInteger(const std::string& name, int32_t* out);
  bool ReadBinary(const std::string& name, Bytes* out);
  bool WriteString(const std::string& name, const std::string& value);
  bool WriteExpandString(const std::string& name, const std::string& value);
  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteBinary(const std::string& name, const Bytes& value);
  bool DeleteValue(const std::string& name);  // the empty name is the unnamed value
  bool DeleteKey(const std::string& path);    // below the root, with its subtree

 private:
  IRegistry& reg_;
  HKey root_;
  RegKeyHandle key_;
};

// "HKEY_CLASSES_ROOT" ... for the five roots, empty for anything else.
std::string RootKeyName(HKey root);
// The reverse, compared exactly; 0 for an unknown name.
HKey RootKeyFromName(const std::string& name);

// Deletes a value given by a full key path ("HKEY_...\path"); "default" names the unnamed value.
// Never creates a key; a key or value that is already absent counts as deleted.
bool DeleteValueAt(IRegistry& reg, const std::string& fullKeyPath, const std::string& valueName);
// Deletes the key at `path` below `root` with its subtree; an absent key counts as deleted. A symbolic link, the
// key itself or one below it, is deleted as itself and never its target.
bool DeleteKeyAt(IRegistry& reg, HKey root, const std::string& path);

// "ProgramFilesDir" (selector 0) or "CommonFilesDir" (selector 1).
std::string ProgramFolder(IRegistry& reg, int selector);

// One registry-held startup entry or shell folder.
struct TFolderData {
  HKey RootKey = 0;
  std::string KeyPath;
  std::string Name;
  std::string Data;
  std::string Location;
};
// "Common Startup" (machine) and "Startup" (user) of the Shell Folders key.
std::vector<TFolderData> StartupFolders(IRegistry& reg);

// Opens the address in a browser window sized to the screen; falls back to the shell's "open" verb.
void OpenInBrowserWindow(Platform& platform, const std::string& address);

}  // namespace tw
