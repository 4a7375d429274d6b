#include "sections/class_filter_empty_key_sections.h"

#include "platform/ansi_case.h"
#include "platform/reg_access.h"
#include "sections/registry_walker.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {
namespace {

constexpr const char* kFilterNames[] = {"Upperfilters", "Lowerfilters"};

// `storedName` is the value's name as the registry keeps it, so that the backup restores it as it was.
TContent FilterRecord(const std::string& fullKeyPath, const std::string& filter, const std::string& storedName) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.ValueName = storedName;
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + filter;
  c.ValueText = " Value: Empty";
  c.Description = " The bad key";
  c.Detail = "The Key " + filter + " under " + fullKeyPath + " contains a bad key for the value";
  c.Title = "The bad key";
  return c;
}

TContent EmptyKeyRecord(const std::string& fullKeyPath, const std::string& path) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = path;
  c.ValueName = "default";
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:default";
  c.ValueText = " Value: empty";
  c.Description = " The key is empty key";
  c.Detail = fullKeyPath + " is Empty";
  c.Title = "Empty Key: " + fullKeyPath;
  return c;
}

// The profiles' class keys of the local and network service accounts, compared with exact case.
bool IsExcludedKey(const std::string& path) {
  return path == "S-1-5-19_Classes" || path == "S-1-5-19\\Software\\Classes" || path == "S-1-5-20_Classes" ||
         path == "S-1-5-20\\Software\\Classes" || Contains(UpperText(path), "MIME");
}

class EmptyKeyVisitor : public IWalkVisitor {
 public:
  EmptyKeyVisitor(ScanContext& ctx, HKey root) : ctx_(ctx), rootName_(RootKeyName(root) + "\\") {}

  bool ShouldStop() override { return ScanAborted(ctx_); }

  WalkStep Approach(const std::string& path, const std::string&, int depth) override {
    ShowStatus(ctx_, path);
    // Registry names compare without case: the default profile is ".DEFAULT" on some systems, ".Default" on others.
    if (depth == 1 && EqualNoCase(path, ".DEFAULT")) return WalkStep::Skip;
    return WalkStep::Enter;
  }

  void Visit(const WalkedKey& key) override {
    KeyInfo info;
    if (ctx_.platform.registry.QueryInfo(key.handle, &info) != kOk) return;
    if (info.subKeys != 0 || info.values != 0 || IsExcludedKey(key.path)) return;
    const std::string fullKeyPath = rootName_ + key.path;
    if (IsIgnoredEntry(ctx_, SectionByNumber(12).ignoreCategory, fullKeyPath, "default")) return;
    AppendRecord(ctx_, EmptyKeyRecord(fullKeyPath, key.path));
  }

  void Leave(const std::string&) override { PumpMessages(ctx_); }

 private:
  ScanContext& ctx_;
  const std::string rootName_;
};

}  // namespace

void ScanClassFilters(ScanContext& ctx, HKey root, const std::string&) {
  IRegistry& reg = ctx.platform.registry;
  RegKeyHandle key;
  if (key.Open(reg, root, kCdRomClassKey, false) != kOk) return;
  const std::string fullKeyPath = FullKeyPathOf(root, kCdRomClassKey);
  const std::vector<std::string> names = ValueNamesOf(reg, key.Get());
  for (const char* filter : kFilterNames) {
    for (const std::string& name : names) {
      if (!EqualNoCase(name, filter)) continue;
      AppendRecord(ctx, FilterRecord(fullKeyPath, filter, name));
      break;
    }
  }
}

void RepairClassFilters(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

void ScanEmptyKeys(ScanContext& ctx, HKey root, const std::string& keyPath) {
  EmptyKeyVisitor visitor(ctx, root);
  WalkRegistry(ctx.platform.registry, root, keyPath, visitor);
}

void RepairEmptyKeys(RepairContext& ctx) {
  RepairSteps steps;
  steps.remove = [](RepairContext& rc, const TContent& record) {
    HKey root = 0;
    std::string path;
    if (!SplitFullKeyPath(record.FullKeyPath, &root, &path) || path.empty()) return false;
    IRegistry& reg = rc.platform.registry;
    {
      RegKeyHandle key;
      const long opened = key.Open(reg, root, path, false);
      if (opened == kErrNotFound) return true;
      KeyInfo info;
      if (opened != kOk || reg.QueryInfo(key.Get(), &info) != kOk) return false;
      if (info.subKeys != 0 || info.values != 0) return false;  // filled since the scan: not empty any more
    }
    DeleteKeyAt(reg, root, path);
    return KeyIsGone(reg, root, path);
  };
  RepairRecords(ctx, steps);
}

}  // namespace tw
