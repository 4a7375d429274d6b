#include "raw_walk.h"

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

}  // namespace

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
