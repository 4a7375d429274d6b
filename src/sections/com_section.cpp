#include "sections/com_section.h"

#include <initializer_list>
#include <string_view>

#include "platform/reg_access.h"
#include "sections/registry_walker.h"
#include "sections/section_contract.h"

namespace tw {
namespace {

constexpr const char* kRootPrefix = "HKEY_CLASSES_ROOT\\";

bool IsServerKeyName(const std::string& name) {
  return name == "InprocServer" || name == "LocalServer32" || name == "InprocServer32";
}

// String data ends at its first NUL.
std::string TextOf(const Bytes& data) {
  size_t end = 0;
  while (end < data.size() && data[end] != 0) ++end;
  return std::string(data.begin(), data.begin() + static_cast<long>(end));
}

// True when the key's unnamed value is a plain string (not an expandable one) holding nothing.
bool HasEmptyDefaultString(IRegistry& reg, HKey key) {
  uint32_t type = kRegNone;
  Bytes data;
  if (reg.QueryValue(key, std::string(), &type, &data) != kOk || type != kRegSz) return false;
  return data.empty() || data[0] == 0;
}

// The parts joined into a string of exactly their length: a scan may hold a hundred thousand records.
std::string Join(std::initializer_list<std::string_view> parts) {
  size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  std::string text;
  text.reserve(length);
  for (std::string_view part : parts) text.append(part);
  return text;
}

TContent EmptyKeyRecord(const std::string& fullKeyPath, const std::string& path, const std::string& name) {
  const bool helpDir = name == "HELPDIR";
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = name;
  c.ValueName = "default";
  c.ValueData = helpDir ? path : std::string();
  c.KeyPathText = Join({" Key Path:", fullKeyPath});
  c.ValueNameText = " ValueName:default";
  c.ValueText = Join({" Value:", helpDir ? std::string_view(path) : std::string_view()});
  c.Description = " The key is Emtpy";
  c.Detail = Join({fullKeyPath, helpDir ? "is Empty" : " is Empty"});
  c.Title = Join({"Empty Key: ", fullKeyPath});
  return c;
}

TContent MissingTypeLibRecord(const std::string& fullKeyPath, const std::string& typeLibId) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = "TypeLib";
  c.ValueName = "default";
  c.ValueData = typeLibId;
  c.KeyPathText = Join({"Key Path:", fullKeyPath});
  c.ValueNameText = "ValueName:default";
  c.ValueText = Join({"Value:", typeLibId});
  c.Description = "The following App ID or CLSID doesn't exist";
  c.Detail = Join({"The Key default under ", fullKeyPath, " contains a bad path for the value"});
  c.Title = kMissingPathTitle;
  return c;
}

class EmptyEntryVisitor : public IWalkVisitor {
 public:
  EmptyEntryVisitor(ScanContext& ctx, HKey root) : ctx_(ctx), rootName_(RootKeyName(root) + "\\") {}

  bool ShouldStop() override { return ScanAborted(ctx_); }

  WalkStep Approach(const std::string& path, const std::string& name, int) override {
    if (name == "AppID") return WalkStep::Skip;
    ShowStatus(ctx_, path);
    return WalkStep::Enter;
  }

  void Visit(const WalkedKey& key) override {
    if (key.name != "HELPDIR" && !IsServerKeyName(key.name)) return;
    if (!HasEmptyDefaultString(ctx_.platform.registry, key.handle)) return;
    const std::string fullKeyPath = Join({rootName_, key.path});
    if (IsIgnoredEntry(ctx_, kComCategory, fullKeyPath, "default")) return;
    AppendRecord(ctx_, EmptyKeyRecord(fullKeyPath, key.path, key.name));
  }

  void Leave(const std::string&) override { PumpMessages(ctx_); }

 private:
  ScanContext& ctx_;
  const std::string rootName_;
};

// Whether `parent` has a subkey of exactly this name. A name with a backslash names no subkey; a subkey
// that exists but cannot be opened still exists.
bool HasSubKeyNamed(IRegistry& reg, HKey parent, const std::string& name) {
  if (name.find('\\') != std::string::npos) return false;
  RegKeyHandle key;
  return key.Open(reg, parent, name, false) != kErrNotFound;
}

}  // namespace

void ComEmptyEntryWalk(ScanContext& ctx, HKey root, const std::string& keyPath) {
  EmptyEntryVisitor visitor(ctx, root);
  WalkRegistry(ctx.platform.registry, root, keyPath, visitor);
}

void ComTypeLibPass(ScanContext& ctx, HKey root, const std::string&) {
  IRegistry& reg = ctx.platform.registry;
  RegKeyHandle classes;
  if (classes.Open(reg, root, "CLSID", false) != kOk) return;
  KeyInfo info;
  if (reg.QueryInfo(classes.Get(), &info) != kOk) return;
  RegKeyHandle typeLibs;
  typeLibs.Open(reg, root, "TypeLib", false);
  const std::string rootName = RootKeyName(root) + "\\";
  // The class ids are read one at a time between the items, so that a large CLSID key never holds the
  // window up for the time it takes to list it.
  std::string id;
  for (uint32_t index = 0; index < info.subKeys; ++index) {
    PumpMessages(ctx);
    if (ScanAborted(ctx)) return;
    const long rc = reg.EnumKey(classes.Get(), index, &id);
    if (rc == kErrNoMoreItems) return;
    if (rc != kOk || id.empty()) continue;
    const std::string path = "CLSID\\" + id + "\\TypeLib";
    ShowStatus(ctx, path);
    RegKeyHandle reference;
    if (reference.Open(reg, classes.Get(), id + "\\TypeLib", false) != kOk) continue;
    uint32_t type = kRegNone;
    Bytes data;
    if (reg.QueryValue(reference.Get(), std::string(), &type, &data) != kOk) continue;
    if (type != kRegSz && type != kRegExpandSz) continue;
    const std::string typeLibId = TextOf(data);
    if (typeLibId.empty() || !typeLibs.IsOpen()) continue;
    if (HasSubKeyNamed(reg, typeLibs.Get(), typeLibId)) continue;
    const std::string fullKeyPath = Join({rootName, path});
    if (IsIgnoredEntry(ctx, kComCategory, fullKeyPath, "default")) continue;
    AppendRecord(ctx, MissingTypeLibRecord(fullKeyPath, typeLibId));
  }
}

void ScanComSection(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ComEmptyEntryWalk(ctx, root, keyPath);
  if (ScanAborted(ctx)) return;
  ComTypeLibPass(ctx, root, keyPath);
}

void RepairComSection(RepairContext& ctx) {
  RepairSteps steps;
  steps.remove = [](RepairContext& rc, const TContent& record) {
    // Only a key below HKEY_CLASSES_ROOT, never the root itself.
    const std::string prefix = kRootPrefix;
    if (record.FullKeyPath.size() <= prefix.size() || record.FullKeyPath.compare(0, prefix.size(), prefix) != 0)
      return false;
    const std::string path = record.FullKeyPath.substr(prefix.size());
    DeleteKeyAt(rc.platform.registry, kClassesRoot, path);
    return KeyIsGone(rc.platform.registry, kClassesRoot, path);
  };
  steps.showInStatusLabel = false;
  RepairRecords(ctx, steps);
}

}  // namespace tw
