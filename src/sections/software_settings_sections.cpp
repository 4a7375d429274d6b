#include "sections/software_settings_sections.h"

#include <initializer_list>
#include <string_view>

#include "platform/ansi_case.h"
#include "platform/reg_access.h"
#include "sections/cached_files.h"
#include "sections/path_tests.h"
#include "sections/registry_walker.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {
namespace {

// The two variants share the walk and the checker; these are their differences.
struct Variant {
  int section;
  // Keys whose path (upper-cased) contains one of these are examined but not descended below.
  std::initializer_list<const char*> shallowKeys;
  // String data (upper-cased) containing one of these ends the checking of the rest of the key.
  std::initializer_list<const char*> stopData;
  bool skipsAppPaths;        // a subkey named exactly "App Paths" is neither examined nor entered
  bool excludesDriveH;       // paths containing "H:\" are never reported
  bool fileNeedsDriveRoot;   // the extracted file must contain ":\"
  bool fileRecordDefault;    // the file record names the unnamed value "default"
  const char* folderDescription;  // the folder record's Description before the path
  const char* fileDescription;    // the file record's Description around the path
  const char* fileDescriptionEnd;
};

const Variant kUser = {2,     {"WINLOGON"}, {".SYS", ".VXD"}, false, false, false, false,
                       "The file (", " The file (", ") does not exist at the specified location"};
const Variant kSystem = {3,
                         {"SYSTEM", "WINLOGON", "SOFTWARE\\MICROSOFT\\RPC", "SOFTWARE\\MICROSOFT\\CRYPTOGRAPHY",
                          "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION"},
                         {".SYS", ".VXD", "EXPLORER.EXE"},
                         true,
                         true,
                         true,
                         true,
                         " The file (",
                         " The file(",
                         ")does not exist at the specified location"};

bool ContainsAny(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts)
    if (text.find(part) != std::string::npos) return true;
  return false;
}

// Whether `text` in upper case contains one of `parts` (upper case, each holding a "."), found without an
// upper-case copy: only the places of a "." are compared. Every string value passes through here.
bool ContainsAnyAtDots(const std::string& text, std::initializer_list<const char*> parts) {
  const auto& upper = AnsiUpperTable();
  for (size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
    for (const char* part : parts) {
      const std::string_view p(part);
      const size_t before = p.find('.');
      if (dot < before || text.size() - (dot - before) < p.size()) continue;
      const size_t start = dot - before;
      size_t i = 0;
      while (i < p.size() && upper[static_cast<unsigned char>(text[start + i])] == static_cast<unsigned char>(p[i]))
        ++i;
      if (i == p.size()) return true;
    }
  }
  return false;
}

// String data ends at its first NUL; data without one is taken whole.
std::string TextOf(const Bytes& data) {
  size_t end = 0;
  while (end < data.size() && data[end] != 0) ++end;
  return std::string(data.begin(), data.begin() + static_cast<long>(end));
}

class SettingsChecker : public IWalkVisitor {
 public:
  SettingsChecker(ScanContext& ctx, HKey root, const Variant& variant)
      : ctx_(ctx),
        variant_(variant),
        files_(ctx.platform.files, ctx.state.FileAttributes),
        rootName_(RootKeyName(root) + "\\"),
        category_(SectionByNumber(variant.section).ignoreCategory) {}

  bool ShouldStop() override { return ScanAborted(ctx_); }

  WalkStep Approach(const std::string& path, const std::string& name, int) override {
    ShowStatusEvery200th(ctx_, path);
    if (variant_.skipsAppPaths && name == "App Paths") return WalkStep::Skip;
    return ContainsAny(UpperText(path), variant_.shallowKeys) ? WalkStep::VisitOnly : WalkStep::Enter;
  }

  void Visit(const WalkedKey& key) override {
    IRegistry& reg = ctx_.platform.registry;
    KeyInfo info;
    if (reg.QueryInfo(key.handle, &info) != kOk) return;
    for (uint32_t index = 0; index < info.values; ++index) {
      if (ScanAborted(ctx_)) return;
      name_.clear();
      data_.clear();
      uint32_t type = kRegNone;
      const long rc = reg.EnumValue(key.handle, index, &name_, &type, &data_);
      if (rc == kErrNoMoreItems) return;
      if (rc != kOk || (type != kRegSz && type != kRegExpandSz)) continue;
      std::string text = TextOf(data_);
      if (ContainsAnyAtDots(text, variant_.stopData)) return;
      if (text.find('%') != std::string::npos) text = ExpandPathVariables(files_, reg, text);
      // Both tests need a drive's colon: the many values without one are done with here.
      if (text.find(':') != std::string::npos) Check(key.path, text);
    }
  }

  void Leave(const std::string&) override { PumpMessages(ctx_); }

 private:
  // The filters both tests share: no network path, no "A:", no skipped drive and, for the system, no "H:\".
  bool PassesFilters(const std::string& path) const {
    return PassesPathFilters(ctx_.state.SkippedDrives, path) && !(variant_.excludesDriveH && Contains(path, "H:\\"));
  }

  void Check(const std::string& keyPath, const std::string& data) {
    size_t first = 0;  // the first character after leading blanks, as trimming would leave it
    while (first < data.size() && static_cast<unsigned char>(data[first]) <= ' ') ++first;
    const bool driveRooted = data.size() - first >= 3 && data.compare(first + 1, 2, ":\\") == 0;
    if (driveRooted && PassesFilters(data) && HasPlainPathChars(data) &&
        files_.Attributes(data) == kInvalidAttributes) {
      Report(keyPath, name_, data, data, variant_.folderDescription, ") does not exist at the specified location");
      return;
    }
    // The file named is a part of the data without its quotes: without ":\" in it (for the user variant, a
    // colon) no candidate can come out, and the existence tests on the way are spared.
    const char* needed = variant_.fileNeedsDriveRoot ? ":\\" : ":";
    if (data.find(needed) == std::string::npos &&
        (data.find('"') == std::string::npos || RemoveChars(data, "\"").find(needed) == std::string::npos))
      return;
    if (!PassesFilters(data) || files_.DirectoryExists(data)) return;
    const std::string file = ExtractCommandPath(files_, data);
    if (variant_.fileNeedsDriveRoot && !Contains(file, ":\\")) return;
    if (!IsFilePathCandidate(file) || files_.FileExists(file) || Contains(UpperText(file), "MSOE.DLL")) return;
    const std::string storedName = variant_.fileRecordDefault ? ShownValueName(name_) : name_;
    Report(keyPath, storedName, std::string(), file, variant_.fileDescription, variant_.fileDescriptionEnd);
  }

  // Appends the record unless the ignore list holds the entry under exactly the value name the record stores.
  void Report(const std::string& keyPath, const std::string& valueName, const std::string& keyName,
              const std::string& path, const char* descriptionStart, const char* descriptionEnd) {
    const std::string fullKeyPath = rootName_ + keyPath;
    if (IsIgnoredEntry(ctx_, category_, fullKeyPath, valueName)) return;
    TContent record = MissingPathRecord(fullKeyPath, keyName, valueName, path, valueName, path);
    record.Description = descriptionStart + path + descriptionEnd;
    AppendRecord(ctx_, std::move(record));
  }

  ScanContext& ctx_;
  const Variant& variant_;
  CachedFiles files_;
  const std::string rootName_;
  const char* category_;
  std::string name_;
  Bytes data_;
};

void ScanSettings(ScanContext& ctx, HKey root, const std::string& keyPath, const Variant& variant) {
  SettingsChecker checker(ctx, root, variant);
  WalkRegistry(ctx.platform.registry, root, keyPath, checker);
}

}  // namespace

void ScanUserSoftwareSettings(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ScanSettings(ctx, root, keyPath, kUser);
}

void ScanSystemSoftwareSettings(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ScanSettings(ctx, root, keyPath, kSystem);
}

void RepairSoftwareSettings(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

}  // namespace tw
