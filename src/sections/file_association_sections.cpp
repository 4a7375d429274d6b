#include "sections/file_association_sections.h"

#include <unordered_set>

#include "platform/reg_access.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {
namespace {

constexpr const char* kFileExtsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

// Registry names compare without case: a set of upper-cased names.
using NameSet = std::unordered_set<std::string>;

NameSet UpperNames(const std::vector<std::string>& names) {
  NameSet set;
  set.reserve(names.size());
  for (const std::string& name : names) set.insert(UpperText(name));
  return set;
}

// The top-level names of the root, read one at a time between message pumps, so that a root with a great many
// names never holds the window up; an abort ends the listing.
std::vector<std::string> RootNames(ScanContext& ctx, HKey root) {
  IRegistry& reg = ctx.platform.registry;
  std::vector<std::string> names;
  KeyInfo info;
  if (reg.QueryInfo(root, &info) != kOk) return names;
  names.reserve(info.subKeys);
  std::string name;
  for (uint32_t index = 0; index < info.subKeys && !ScanAborted(ctx); ++index) {
    PumpMessages(ctx);
    const long rc = reg.EnumKey(root, index, &name);
    if (rc == kErrNoMoreItems) break;
    if (rc == kOk && !name.empty()) names.push_back(name);
  }
  return names;
}

// The unnamed value of an extension key when it is a string (plain or expandable); false otherwise.
bool ReadDefaultString(IRegistry& reg, HKey key, std::string* text) {
  uint32_t type = kRegNone;
  Bytes data;
  if (reg.QueryValue(key, std::string(), &type, &data) != kOk) return false;
  if (type != kRegSz && type != kRegExpandSz) return false;
  size_t end = 0;
  while (end < data.size() && data[end] != 0) ++end;
  text->assign(data.begin(), data.begin() + static_cast<long>(end));
  return true;
}

// What the user's shell knows of file types: the extensions it has met (the FileExts subkeys) and the file
// types they were opened with (the value names of their OpenWithProgids keys), read once when first needed.
class UserFileTypes {
 public:
  explicit UserFileTypes(IRegistry& reg) : reg_(reg) {
    RegKeyHandle key;
    if (key.Open(reg_, kCurrentUser, kFileExtsKey, false) != kOk) return;
    extensions_ = SubKeyNamesOf(reg_, key.Get());
    extensionSet_ = UpperNames(extensions_);
  }

  bool KnowsExtension(const std::string& extension) const {
    return extensionSet_.count(UpperText(extension)) != 0;
  }

  bool OpensWith(const std::string& progId) {
    if (!progIdsRead_) ReadProgIds();
    return progIds_.count(UpperText(progId)) != 0;
  }

 private:
  void ReadProgIds() {
    progIdsRead_ = true;
    for (const std::string& extension : extensions_) {
      RegKeyHandle key;
      if (key.Open(reg_, kCurrentUser, std::string(kFileExtsKey) + "\\" + extension + "\\OpenWithProgids", false) !=
          kOk)
        continue;
      for (const std::string& name : ValueNamesOf(reg_, key.Get())) progIds_.insert(UpperText(name));
    }
  }

  IRegistry& reg_;
  std::vector<std::string> extensions_;
  NameSet extensionSet_;
  bool progIdsRead_ = false;
  NameSet progIds_;
};

TContent AssociationRecord(const std::string& fullKeyPath, const std::string& extension, const std::string& progId) {
  return MissingPathRecord(fullKeyPath, extension, "default", progId, "default", progId);
}

TContent EmptyExtensionRecord(const std::string& fullKeyPath, const std::string& extension) {
  TContent c = MissingPathRecord(fullKeyPath, extension, "default", std::string(), "default", std::string());
  c.Description = " The file()does not exist at the specified location";
  c.Detail = "The Key default under " + fullKeyPath + " contains a bad path for the value";
  return c;
}

// True when the key holds its unnamed value and nothing else: no other value, no subkey.
bool HoldsOnlyTheUnnamedValue(IRegistry& reg, HKey key) {
  KeyInfo info;
  return reg.QueryInfo(key, &info) == kOk && info.subKeys == 0 && info.values == 1;
}

}  // namespace

ClassesRootNames SplitClassesRootNames(const std::vector<std::string>& names) {
  ClassesRootNames split;
  for (const std::string& name : names) {
    bool dropped = false;
    for (const char* part : {"*", "Directory", "Folder", "Drive", "Unknow"}) dropped = dropped || Contains(name, part);
    if (dropped) continue;
    (name[0] == '.' ? split.extensions : split.classNames).push_back(name);
  }
  return split;
}

void ScanFileAssociations(ScanContext& ctx, HKey root, const std::string&) {
  ctx.list.Clear();
  IRegistry& reg = ctx.platform.registry;
  const ClassesRootNames names = SplitClassesRootNames(RootNames(ctx, root));
  const NameSet classNames = UpperNames(names.classNames);
  UserFileTypes userTypes(reg);
  const std::string rootName = RootKeyName(root) + "\\";
  for (const std::string& extension : names.extensions) {
    if (ScanAborted(ctx)) return;
    ShowStatus(ctx, extension);
    RegKeyHandle key;
    std::string progId;
    if (key.Open(reg, root, extension, false) == kOk && ReadDefaultString(reg, key.Get(), &progId) &&
        !progId.empty() && !Contains(progId, "\\") && NotOnSkippedDrive(ctx.state.SkippedDrives, progId) &&
        classNames.count(UpperText(progId)) == 0 && !userTypes.KnowsExtension(extension) &&
        !userTypes.OpensWith(progId)) {
      const std::string fullKeyPath = rootName + extension;
      if (!IsIgnoredEntry(ctx, SectionByNumber(6).ignoreCategory, fullKeyPath, "default"))
        AppendRecord(ctx, AssociationRecord(fullKeyPath, extension, progId));
    }
    key.Reset();
    PumpMessages(ctx);
  }
}

void RepairFileAssociations(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

void ScanFileExtensions(ScanContext& ctx, HKey root, const std::string&) {
  IRegistry& reg = ctx.platform.registry;
  const ClassesRootNames names = SplitClassesRootNames(RootNames(ctx, root));
  const std::string rootName = RootKeyName(root) + "\\";
  // Between the extensions the window processes messages and an abort is honoured, as in every long loop,
  // so that a root with many extensions never holds the window up.
  for (const std::string& extension : names.extensions) {
    if (ScanAborted(ctx)) return;
    RegKeyHandle key;
    std::string value;
    if (key.Open(reg, root, extension, false) == kOk && ReadDefaultString(reg, key.Get(), &value) && value.empty() &&
        HoldsOnlyTheUnnamedValue(reg, key.Get())) {
      const std::string fullKeyPath = rootName + extension;
      if (!IsIgnoredEntry(ctx, SectionByNumber(13).ignoreCategory, fullKeyPath, "default"))
        AppendRecord(ctx, EmptyExtensionRecord(fullKeyPath, extension));
    }
    key.Reset();
    PumpMessages(ctx);
  }
}

void RepairFileExtensions(RepairContext& ctx) {
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
      std::string value;
      // Filled since the scan: a registration in use now, which the deletion would break.
      if (opened != kOk || !ReadDefaultString(reg, key.Get(), &value) || !value.empty() ||
          !HoldsOnlyTheUnnamedValue(reg, key.Get()))
        return false;
    }
    DeleteKeyAt(reg, root, path);
    return KeyIsGone(reg, root, path);
  };
  RepairRecords(ctx, steps);
}

}  // namespace tw
