#include "optimizer/restore_point.h"

#include <cstdio>

#include "platform/ansi_case.h"
#include "platform/reg_access.h"
#include "sections/scan_context.h"

namespace tw {
namespace {

constexpr const char* kAbsent = "Absent";
constexpr const char* kCreated = "Created";
constexpr const char* kRunning = "Running";

std::string FieldKey(size_t index) { return "F" + std::to_string(index + 1); }

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, char separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (EqualNoCase(n, name)) return true;
  return false;
}

// A recorded number: decimal, optionally negative, fitting 32 bits; the empty text is 0.
bool ParseNumber(const std::string& text, uint32_t* out) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  if (i == text.size()) {
    if (negative) return false;
    *out = 0;
    return true;
  }
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 0xFFFFFFFFull) return false;
  }
  if (negative) {
    if (value > 0x80000000ull) return false;
    value = (0x100000000ull - value) & 0xFFFFFFFFull;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}

Bytes DwordBytes(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

Bytes SzBytes(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// A value as the restore point records it: numbers in decimal, text as it is. Data of the other kind is
// recorded in the table's kind (a text holding a number stays that text).
struct Current {
  bool present = false;
  std::string text;
};

Current ReadCurrent(IRegistry& reg, const TweakValue& value) {
  Current current{false, value.type == TweakType::Dword ? "0" : ""};
  RegKeyHandle key;
  if (key.Open(reg, value.root, value.key, false) != kOk) return current;
  uint32_t type = 0;
  Bytes data;
  if (reg.QueryValue(key.Get(), value.name, &type, &data) != kOk) return current;
  current.present = true;
  if ((type == kRegDword || type == kRegBinary) && data.size() == 4) {
    uint32_t number = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
    current.text = std::to_string(number);
  } else if (type == kRegSz || type == kRegExpandSz) {
    current.text.assign(data.begin(), data.end());
    size_t nul = current.text.find('\0');
    if (nul != std::string::npos) current.text.resize(nul);
  }
  return current;
}

// Writes `text` as the value's kind; false for a number that cannot be read. A missing key of an "existing"
// value is no failure: nothing is written.
enum class WriteResult { Written, Skipped, Unreadable, Failed };

WriteResult WriteValue(IRegistry& reg, const TweakValue& value, const std::string& text) {
  Bytes data;
  uint32_t type = kRegSz;
  if (value.type == TweakType::Dword) {
    uint32_t number = 0;
    if (!ParseNumber(text, &number)) return WriteResult::Unreadable;
    data = DwordBytes(number);
    type = kRegDword;
  } else {
    data = SzBytes(text);
  }
  RegKeyHandle key;
  long rc = key.Open(reg, value.root, value.key, value.mode == TweakKey::Create);
  if (rc != kOk) return value.mode == TweakKey::Existing && rc == kErrNotFound ? WriteResult::Skipped
                                                                               : WriteResult::Failed;
  return reg.SetValue(key.Get(), value.name, type, data) == kOk ? WriteResult::Written : WriteResult::Failed;
}

// Removes a value; an absent key or value counts as removed.
bool RemoveValue(IRegistry& reg, HKey root, const std::string& path, const std::string& name) {
  RegKeyHandle key;
  long rc = key.Open(reg, root, path, false);
  if (rc == kErrNotFound) return true;
  if (rc != kOk) return false;
  rc = reg.DeleteValue(key.Get(), name);
  return rc == kOk || rc == kErrNotFound;
}

// The highest key of `path` below `root` that does not exist yet ("" when the whole path exists).
std::string FirstMissingKey(IRegistry& reg, HKey root, const std::string& path) {
  std::string prefix;
  for (const std::string& part : Split(path, '\\')) {
    prefix += prefix.empty() ? part : "\\" + part;
    RegKeyHandle key;
    if (key.Open(reg, root, prefix, false) == kErrNotFound) return prefix;
  }
  return "";
}

// True when the key or any key below it holds a value (an unreadable key counts as holding one).
bool SubtreeHasValues(IRegistry& reg, HKey root, const std::string& path) {
  std::vector<std::string> pending{path};
  while (!pending.empty()) {
    std::string next = pending.back();
    pending.pop_back();
    RegKeyHandle key;
    if (key.Open(reg, root, next, false) != kOk) return true;
    KeyInfo info;
    if (reg.QueryInfo(key.Get(), &info) != kOk || info.values > 0) return true;
    std::string name;
    for (uint32_t i = 0; reg.EnumKey(key.Get(), i, &name) == kOk; ++i) pending.push_back(next + "\\" + name);
  }
  return false;
}

// "HKEY_...\path" split into its root and path; false for an unknown root.
bool SplitFullPath(const std::string& full, HKey* root, std::string* path) {
  size_t slash = full.find('\\');
  if (slash == std::string::npos || slash + 1 >= full.size()) return false;
  *root = RootKeyFromName(full.substr(0, slash));
  *path = full.substr(slash + 1);
  return *root != 0;
}

std::string Stamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year % 10000, t.month % 100, t.day % 100,
                t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

// The distinct services of the service boxes, in box order.
std::vector<std::string> ManagedServices() {
  std::vector<std::string> services;
  for (const ServiceBox& box : ServiceBoxTable())
    if (!Contains(services, box.service)) services.push_back(box.service);
  return services;
}

}  // namespace

std::string RestorePointFolder(IFiles& files) {
  std::string exe = files.ExecutablePath();
  size_t slash = exe.find_last_of('\\');
  return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "RepairBackup\\";
}

std::string NewRestorePointPath(Platform& platform) {
  IFiles& files = platform.files;
  const std::string folder = RestorePointFolder(files);
  const std::string bare = folder.substr(0, folder.size() - 1);
  if (!files.DirectoryExists(bare)) files.MakeDirectory(bare);
  const std::string stem = folder + "speedRestore" + Stamp(platform.system.Now());
  std::string path = stem + ".ini";
  for (int n = 2; files.Attributes(path) != kInvalidAttributes; ++n) path = stem + "_" + std::to_string(n) + ".ini";
  return path;
}

void OptimizationRun::RecordServices() {
  if (servicesRecorded_) return;
  servicesRecorded_ = true;
  IRegistry& reg = platform_.registry;
  std::vector<std::string> absent, running;
  bool ok = true;
  for (const std::string& service : ManagedServices()) {
    RegKeyHandle key;
    if (key.Open(reg, kLocalMachine, ServiceKeyPath(service), false) != kOk) continue;
    uint32_t type = 0;
    Bytes data;
    std::string text;
    if (reg.QueryValue(key.Get(), "Start", &type, &data) == kOk && type == kRegDword && data.size() == 4)
      text = std::to_string(data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24));
    else
      absent.push_back(service);
    bool isRunning = false;
    if (platform_.services.QueryRunning(service, &isRunning) && isRunning) running.push_back(service);
    ok &= platform_.profile.WriteString(path_, kServicesSectionName, service, text);
  }
  ok &= platform_.profile.WriteString(path_, kServicesSectionName, kAbsent, Join(absent, ','));
  ok &= platform_.profile.WriteString(path_, kServicesSectionName, kRunning, Join(running, ','));
  if (!ok) ++failures_;
}

void OptimizationRun::SwitchService(const std::string& service, bool enable) {
  if (!tw::SwitchService(platform_, service, enable)) ++failures_;
}

void OptimizationRun::ApplyTweak(const Tweak& tweak) {
  const RestoreSection& section = RestoreSectionOf(tweak.section);
  if (!recorded_.count(section.number)) {
    if (!RecordSection(section)) {
      ++failures_;
      return;
    }
    recorded_.insert(section.number);
  }
  Change(section);
}

bool OptimizationRun::RecordSection(const RestoreSection& section) {
  IRegistry& reg = platform_.registry;
  std::vector<std::string> created;
  auto noteCreated = [&](HKey root, const std::string& path) {
    std::string missing = FirstMissingKey(reg, root, path);
    if (missing.empty()) return;
    std::string full = RootKeyName(root) + "\\" + missing;
    if (!Contains(created, full)) created.push_back(full);
  };
  if (section.createdKey) noteCreated(kLocalMachine, section.createdKey);
  std::vector<std::string> absent;
  for (size_t i = 0; i < section.values.size(); ++i) {
    const TweakValue& value = section.values[i];
    if (value.mode == TweakKey::Create) noteCreated(value.root, value.key);
    if (ReadCurrent(reg, value).present) continue;
    absent.push_back(FieldKey(i));
    // The system's default is what the restore point keeps for a value that is absent.
    if (value.systemDefault && WriteValue(reg, value, value.systemDefault) == WriteResult::Failed) ++failures_;
  }
  bool ok = true;
  for (size_t i = 0; i < section.values.size(); ++i)
    ok &= platform_.profile.WriteString(path_, section.name, FieldKey(i), ReadCurrent(reg, section.values[i]).text);
  ok &= platform_.profile.WriteString(path_, section.name, kAbsent, Join(absent, ','));
  if (!created.empty()) ok &= platform_.profile.WriteString(path_, section.name, kCreated, Join(created, '|'));
  return ok;
}

void OptimizationRun::Change(const RestoreSection& section) {
  IRegistry& reg = platform_.registry;
  if (section.createdKey) {
    RegKeyHandle key;
    if (key.Open(reg, kLocalMachine, section.createdKey, true) != kOk) ++failures_;
  }
  for (const TweakValue& value : section.values)
    if (value.applied && WriteValue(reg, value, value.applied) == WriteResult::Failed) ++failures_;
}

RestoreOutcome RestoreFromPoint(Platform& platform, const std::string& path, IMessagePump* pump) {
  IRegistry& reg = platform.registry;
  IProfile& profile = platform.profile;
  RestoreOutcome outcome;
  std::vector<std::string> created;
  auto count = [&](WriteResult result) {
    if (result == WriteResult::Written) ++outcome.restored;
    if (result == WriteResult::Failed) ++outcome.failures;
  };
  auto countRemoval = [&](bool removed) { removed ? ++outcome.restored : ++outcome.failures; };

  // The file is read for its section list once, so a large file costs one pass per section it really holds.
  const std::vector<std::string> present = profile.SectionNames(path);
  for (int number = 1; number <= kRestoreSectionCount; ++number) {
    if (pump) pump->ProcessMessages();
    const RestoreSection& section = RestoreSectionOf(number);
    if (!Contains(present, section.name)) continue;
    const std::vector<std::string> keys = profile.KeyNames(path, section.name);
    if (keys.empty() || section.values.empty()) continue;
    const bool recordsAbsence = Contains(keys, kAbsent);
    const std::vector<std::string> absent = Split(profile.ReadString(path, section.name, kAbsent, ""), ',');
    for (const std::string& key : Split(profile.ReadString(path, section.name, kCreated, ""), '|'))
      if (!Contains(created, key)) created.push_back(key);

    for (size_t i = 0; i < section.values.size(); ++i) {
      const TweakValue& value = section.values[i];
      std::string field = FieldKey(i);
      if (Contains(absent, field)) {
        countRemoval(RemoveValue(reg, value.root, value.key, value.name));
        continue;
      }
      if (!Contains(keys, field)) {
        if (!value.fallback || recordsAbsence) continue;
        field = FieldKey(static_cast<size_t>(value.fallback - 1));
        if (!Contains(keys, field)) continue;
      }
      const std::string text = profile.ReadString(path, section.name, field, "");
      if (section.emptyMeansAdded && !recordsAbsence && text.empty())
        countRemoval(RemoveValue(reg, value.root, value.key, value.name));
      else
        count(WriteValue(reg, value, text));
    }
    if (section.leavesFile) {
      for (size_t i = 0; i < section.values.size(); ++i) profile.DeleteKey(path, section.name, FieldKey(i));
      profile.DeleteKey(path, section.name, kAbsent);
      profile.DeleteKey(path, section.name, kCreated);
    }
  }

  // Keys a tweak created go again once nothing but empty keys is left in them.
  for (const std::string& full : created) {
    HKey root = 0;
    std::string keyPath;
    if (!SplitFullPath(full, &root, &keyPath)) continue;
    RegKeyHandle key;
    if (key.Open(reg, root, keyPath, false) != kOk) continue;
    key.Reset();
    if (!SubtreeHasValues(reg, root, keyPath)) countRemoval(reg.DeleteTree(root, keyPath) == kOk);
  }

  const std::vector<std::string> services =
      Contains(present, kServicesSectionName) ? profile.KeyNames(path, kServicesSectionName) : std::vector<std::string>();
  if (!services.empty()) {
    if (pump) pump->ProcessMessages();
    const std::vector<std::string> absent =
        Split(profile.ReadString(path, kServicesSectionName, kAbsent, ""), ',');
    const std::vector<std::string> running =
        Split(profile.ReadString(path, kServicesSectionName, kRunning, ""), ',');
    // Only the managed services, whatever else the file names.
    for (const std::string& service : ManagedServices()) {
      if (!Contains(services, service)) continue;
      const std::string keyPath = ServiceKeyPath(service);
      const TweakValue value{kLocalMachine, keyPath.c_str(), "Start", TweakType::Dword, TweakKey::Existing, nullptr,
                             nullptr};
      if (Contains(absent, service)) {
        countRemoval(RemoveValue(reg, kLocalMachine, keyPath, "Start"));
      } else {
        const WriteResult result = WriteValue(reg, value, profile.ReadString(path, kServicesSectionName, service, ""));
        if (result == WriteResult::Unreadable || result == WriteResult::Skipped) continue;
        count(result);
      }
      if (Contains(running, service))
        platform.services.Start(service);
      else
        platform.services.Stop(service);
    }
  }
  return outcome;
}

}  // namespace tw
