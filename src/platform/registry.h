// Raw registry calls, the shape of the Win32 registry API: everything that walks the registry uses these.
// Implemented by MemoryRegistry (platform/memory) and Win32Registry (platform/win32).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

using HKey = std::uintptr_t;

// The predefined root keys, with the values Windows gives their handles.
constexpr HKey kClassesRoot = 0x80000000u;
constexpr HKey kCurrentUser = 0x80000001u;
constexpr HKey kLocalMachine = 0x80000002u;
constexpr HKey kUsers = 0x80000003u;
constexpr HKey kCurrentConfig = 0x80000005u;

// Value types, numbered as Windows numbers them.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegDwordBigEndian = 5;
constexpr uint32_t kRegLink = 6;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegQword = 11;

// Result codes, numbered as the Win32 error codes.
constexpr long kOk = 0;
constexpr long kErrNotFound = 2;
constexpr long kErrAccessDenied = 5;
constexpr long kErrInvalidHandle = 6;
constexpr long kErrInvalidParameter = 87;
constexpr long kErrMoreData = 234;
constexpr long kErrNoMoreItems = 259;
constexpr long kErrKeyDeleted = 1018;
// A name or string has no exact form in the ANSI code page: the ANSI calls refuse it rather than hand out
// a lossy conversion (a "?" in place of each missing character).
constexpr long kErrNoUnicodeTranslation = 1113;

struct KeyInfo {
  uint32_t subKeys = 0;
  uint32_t values = 0;
  uint32_t maxSubKeyLen = 0;     // longest subkey name, characters
  uint32_t maxValueNameLen = 0;  // longest value name, characters
  uint32_t maxValueLen = 0;      // largest value data as stored, bytes (strings count as UTF-16)
};

using Bytes = std::vector<uint8_t>;

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens `path` below `parent` (a root or an open key). A leading backslash is taken from the parent.
  // With `create` the missing keys along the path are created.
  virtual long OpenKey(HKey parent, const std::string& path, bool create, HKey* out) = 0;
  // Opens `path` read-only without following a symbolic link at its end: a link key opens as itself, with no
  // subkeys, so a whole-root walk cannot loop through it. Back ends without links open as usual.
  virtual long OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) {
    return OpenKey(parent, path, false, out);
  }
  virtual long CloseKey(HKey key) = 0;
  virtual long QueryInfo(HKey key, KeyInfo* info) = 0;
  // The ANSI reads below fail with kErrNoUnicodeTranslation for a name, or string data, that has no exact ANSI
  // form; an enumeration goes on with the next index.
  virtual long EnumKey(HKey key, uint32_t index, std::string* name) = 0;
  virtual long EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) = 0;
  // The empty name is the key's unnamed value.
  virtual long QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) = 0;
  virtual long SetValue(HKey key, const std::string& name, uint32_t type, const Bytes& data) = 0;
  virtual long DeleteValue(HKey key, const std::string& name) = 0;
  // Deletes `subKey` below `parent` with everything below it. A symbolic link, at `subKey` itself or anywhere
  // below it, is deleted as itself and never its target. Keys of any depth are reached through open handles.
  virtual long DeleteTree(HKey parent, const std::string& subKey) = 0;

  // Exact access, for what must be read without any loss (the backup of what a repair deletes): names in UTF-16
  // and string data as the registry stores it (UTF-16 units, low byte first).
  // Opens the subkey `name` of `parent` read-only, a symbolic link as itself.
  virtual long OpenSubKeyExact(HKey parent, const std::u16string& name, HKey* out) = 0;
  virtual long EnumKeyExact(HKey key, uint32_t index, std::u16string* name) = 0;
  virtual long EnumValueExact(HKey key, uint32_t index, std::u16string* name, uint32_t* type, Bytes* data) = 0;
  virtual long QueryValueExact(HKey key, const std::u16string& name, uint32_t* type, Bytes* data) = 0;
};

// An open key that closes itself.
class RegKeyHandle {
 public:
  RegKeyHandle() = default;
  RegKeyHandle(IRegistry& reg, HKey key) : reg_(&reg), key_(key) {}
  RegKeyHandle(const RegKeyHandle&) = delete;
  RegKeyHandle& operator=(const RegKeyHandle&) = delete;
  RegKeyHandle(RegKeyHandle&& o) noexcept : reg_(o.reg_), key_(o.key_) { o.reg_ = nullptr; o.key_ = 0; }
  RegKeyHandle& operator=(RegKeyHandle&& o) noexcept {
    if (this != &o) { Reset(); reg_ = o.reg_; key_ = o.key_; o.reg_ = nullptr; o.key_ = 0; }
    return *this;
  }
  ~RegKeyHandle() { Reset(); }

  // Opens `path` below `parent`; returns the registry's result code.
  long Open(IRegistry& reg, HKey parent, const std::string& path, bool create) {
    Reset();
    HKey k = 0;
    long rc = reg.OpenKey(parent, path, create, &k);
    if (rc == kOk) { reg_ = &reg; key_ = k; }
    return rc;
  }
  void Reset() {
    if (reg_ && key_) reg_->CloseKey(key_);
    reg_ = nullptr;
    key_ = 0;
  }
  bool IsOpen() const { return key_ != 0; }
  HKey Get() const { return key_; }

 private:
  IRegistry* reg_ = nullptr;
  HKey key_ = 0;
};

}  // namespace tw
