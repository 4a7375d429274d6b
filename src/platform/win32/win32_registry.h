// The real registry through the Win32 registry functions. Reads go through the wide functions and are converted
// to the ANSI code page exactly or refused (kErrNoUnicodeTranslation).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

class Win32Registry : public IRegistry {
 public:
  long OpenKey(HKey parent, const std::string& path, bool create, HKey* out) override;
  long OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) override;
  long CloseKey(HKey key) override;
  long QueryInfo(HKey key, KeyInfo* info) override;
  long EnumKey(HKey key, uint32_t index, std::string* name) override;
  long EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) override;
  long QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) override;
  long SetValue(HKey key, const std::string& name, uint32_t type, const Bytes& data) override;
  long DeleteValue(HKey key, const std::string& name) override;
  long DeleteTree(HKey parent, const std::string& subKey) override;
  long OpenSubKeyExact(HKey parent, const std::u16string& name, HKey* out) override;
  long EnumKeyExact(HKey key, uint32_t index, std::u16string* name) override;
  long EnumValueExact(HKey key, uint32_t index, std::u16string* name, uint32_t* type, Bytes* data) override;
  long QueryValueExact(HKey key, const std::u16string& name, uint32_t* type, Bytes* data) override;

 private:
  // Reused between calls so that a walk does not allocate per key.
  // The value `index` (or, with index -1, the value `name`) through the wide functions: its name in
  // valueNameBuffer_ (nameLength units), type and data in dataBuffer_ (dataLength bytes).
  long ReadValueWide(HKey key, int64_t index, const wchar_t* name, DWORD* nameLength, DWORD* type, DWORD* dataLength);

  std::vector<wchar_t> nameBuffer_ = std::vector<wchar_t>(257);
  std::vector<wchar_t> valueNameBuffer_ = std::vector<wchar_t>(16385);
  Bytes dataBuffer_ = Bytes(4096);
  std::string ansiName_;
  Bytes writeBuffer_;
};

}  // namespace tw
