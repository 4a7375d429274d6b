// The real registry through the ANSI Win32 registry functions.
#pragma once
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

 private:
  // Reused between calls so that a walk does not allocate per key.
  std::vector<char> nameBuffer_ = std::vector<char>(257);
  std::vector<char> valueNameBuffer_ = std::vector<char>(32770);
  Bytes dataBuffer_ = Bytes(4096);
  Bytes writeBuffer_;
};

}  // namespace tw
