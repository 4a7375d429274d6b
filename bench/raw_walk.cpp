#include "raw_walk.h"

#include <unordered_set>

#include "platform/ansi_case.h"
#include "sections/registry_walker.h"

namespace tw::bench {
namespace {

class ComReads : public IWalkVisitor {
 public:
  explicit ComReads(IRegistry& reg) : reg_(reg) {}
  WalkStep Approach(const std::string&, const std::string& name, int) override {
    return name == "AppID" ? WalkStep::Skip : WalkStep::Enter;
  }
  void Visit(const WalkedKey& key) override {
    if (key.name == "HELPDIR" || key.name == "InprocServer" || key.name == "LocalServer32" ||
        key.name == "InprocServer32") {
      uint32_t type = 0;
      if (reg_.QueryValue(key.handle, std::string(), &type, &data_) == kOk) ++counts.values;
    }
  }
  void Leave(const std::string&) override {}

  RawCounts counts;

 private:
  IRegistry& reg_;
  Bytes data_;
};

class ValueReads : public IWalkVisitor {
 public:
  explicit ValueReads(IRegistry& reg) : reg_(reg) {}
  WalkStep Approach(const std::string&, const std::string&, int) override { return WalkStep::Enter; }
  void Visit(const WalkedKey& key) override {
    uint32_t type = 0;
    for (uint32_t i = 0; reg_.EnumValue(key.handle, i, &name_, &type, &data_) == kOk; ++i) ++counts.values;
  }
  void Leave(const std::string&) override {}

  RawCounts counts;

 private:
  IRegistry& reg_;
  std::string name_;
  Bytes data_;
};

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(AnsiUpper(c));
  return out;
}

class SettingsReads : public IWalkVisitor {
 public:
  SettingsReads(IRegistry& reg, IFiles& files, bool system) : reg_(reg), files_(files), system_(system) {}
  WalkStep Approach(const std::string& path, const std::string& name, int) override {
    if (system_ && name == "App Paths") return WalkStep::Skip;
    const std::string upper = Upper(path);
    for (const char* part : system_ ? kSystemShallow : kUserShallow)
      if (part && upper.find(part) != std::string::npos) return WalkStep::VisitOnly;
    return WalkStep::Enter;
  }
  void Visit(const WalkedKey& key) override {
    uint32_t type = 0;
    for (uint32_t i = 0; reg_.EnumValue(key.handle, i, &name_, &type, &data_) == kOk; ++i) {
      ++counts.values;
      if (type != kRegSz && type != kRegExpandSz) continue;
      std::string text(data_.begin(), data_.end());
      while (!text.empty() && text.back() == 0) text.pop_back();
      if (text.find(':') == std::string::npos) continue;
      std::string path;
      for (char c : text)
        if (c != '"') path += c;
      if (tested_.insert(Upper(path)).second) {
        files_.Attributes(path);
        ++counts.fileTests;
      }
    }
  }
  void Leave(const std::string&) override {}

  RawCounts counts;

 private:
  static constexpr const char* kSystemShallow[5] = {"SYSTEM", "WINLOGON", "SOFTWARE\\MICROSOFT\\RPC",
                                                    "SOFTWARE\\MICROSOFT\\CRYPTOGRAPHY",
                                                    "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION"};
  static constexpr const char* kUserShallow[5] = {"WINLOGON", nullptr, nullptr, nullptr, nullptr};

  IRegistry& reg_;
  IFiles& files_;
  const bool system_;
  std::string name_;
  Bytes data_;
  std::unordered_set<std::string> tested_;  // kept from one root to the next, as a scan keeps its answers
};

}  // namespace

RawCounts RawSettingsReads(IRegistry& reg, IFiles& files, const std::vector<HKey>& roots, bool systemVariant) {
  SettingsReads walk(reg, files, systemVariant);
  uint64_t keys = 0;
  for (HKey root : roots) keys += WalkRegistry(reg, root, "", walk).keysOpened;
  RawCounts counts = walk.counts;
  counts.keys = keys;
  return counts;
}

RawCounts RawExtensionReads(IRegistry& reg, HKey root, bool fileAssociations) {
  RawCounts counts;
  std::string name;
  if (fileAssociations) {
    RegKeyHandle fileExts;
    if (fileExts.Open(reg, kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts",
                      false) == kOk) {
      ++counts.keys;
      for (uint32_t i = 0; reg.EnumKey(fileExts.Get(), i, &name) == kOk; ++i) {
      }
    }
  }
  KeyInfo info;
  if (reg.QueryInfo(root, &info) != kOk) return counts;
  Bytes data;
  for (uint32_t i = 0; i < info.subKeys && reg.EnumKey(root, i, &name) == kOk; ++i) {
    if (name.empty() || name[0] != '.') continue;
    RegKeyHandle key;
    if (key.Open(reg, root, name, false) != kOk) continue;
    ++counts.keys;
    uint32_t type = 0;
    if (reg.QueryValue(key.Get(), std::string(), &type, &data) == kOk) ++counts.values;
    KeyInfo keyInfo;
    if (!fileAssociations) reg.QueryInfo(key.Get(), &keyInfo);
  }
  return counts;
}

RawCounts RawComReads(IRegistry& reg, HKey root) {
  ComReads walk(reg);
  RawCounts counts = walk.counts;
  counts.keys = WalkRegistry(reg, root, "", walk).keysOpened;
  counts.values = walk.counts.values;

  RegKeyHandle classes;
  if (classes.Open(reg, root, "CLSID", false) != kOk) return counts;
  KeyInfo info;
  if (reg.QueryInfo(classes.Get(), &info) != kOk) return counts;
  RegKeyHandle typeLibs;
  typeLibs.Open(reg, root, "TypeLib", false);
  Bytes data;
  std::string id;
  for (uint32_t i = 0; i < info.subKeys && reg.EnumKey(classes.Get(), i, &id) == kOk; ++i) {
    RegKeyHandle reference;
    if (reference.Open(reg, classes.Get(), id + "\\TypeLib", false) != kOk) continue;
    ++counts.keys;
    uint32_t type = 0;
    if (reg.QueryValue(reference.Get(), std::string(), &type, &data) != kOk) continue;
    ++counts.values;
    const std::string libId(data.begin(), data.end() - (data.empty() || data.back() ? 0 : 1));
    if (libId.empty() || !typeLibs.IsOpen()) continue;
    RegKeyHandle lib;
    lib.Open(reg, typeLibs.Get(), libId, false);
  }
  return counts;
}

RawCounts RawValueReads(IRegistry& reg, HKey root, const std::string& path) {
  ValueReads walk(reg);
  const WalkStats stats = WalkRegistry(reg, root, path, walk);
  RawCounts counts = walk.counts;
  counts.keys = stats.keysOpened;
  return counts;
}

}  // namespace tw::bench
