#include "sections/fixed_key_sections.h"

#include <cctype>
#include <cstdio>

#include "platform/reg_access.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"

namespace tw {

namespace {

constexpr const char* kHelpKeys[] = {"SOFTWARE\\Microsoft\\Windows\\Help", "SOFTWARE\\Microsoft\\Windows\\Html Help"};

const char* CategoryOf(int section) { return SectionByNumber(section).ignoreCategory; }

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

// The reference count of a shared DLL: a number as text, an integer, or the first byte of raw data read
// as two hexadecimal digits taken for a decimal number; -1 for any other type.
int ReferenceCount(TRegistry& key, const std::string& name) {
  const uint32_t type = key.GetRawType(name);
  if (IsStringType(type)) return TextToIntDef(key.ReadString(name), 0);
  if (type == kRegDword) {
    int32_t count = 0;
    key.ReadInteger(name, &count);
    return count;
  }
  if (type == kRegBinary) {
    Bytes data;
    key.ReadBinary(name, &data);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%2.2x", data.empty() ? 0u : static_cast<unsigned>(data[0]));
    return TextToIntDef(digits, 0);
  }
  return -1;
}

}  // namespace

void ScanSharedDlls(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ctx.list.Clear();
  TRegistry key(ctx.platform.registry, root);
  if (!key.OpenKeyReadOnly(keyPath)) return;
  const std::string fullKeyPath = FullKeyPathOf(root, keyPath);
  for (const std::string& name : key.GetValueNames()) {
    if (ScanAborted(ctx)) return;
    const std::string shownName = ShownValueName(name);
    if (IsIgnoredEntry(ctx, CategoryOf(4), fullKeyPath, shownName)) continue;
    const int count = ReferenceCount(key, name);
    ShowStatus(ctx, name);
    const std::string upper = UpperText(name);
    const bool driverFile = Contains(upper, ".SYS") || Contains(upper, ".VXD");
    const bool checked = !driverFile && PassesPathFilters(ctx.state.SkippedDrives, name);
    // A count of 0 is a finding even when the file is there; "msoe.dll" is never reported.
    if (checked && !(count != 0 && ctx.platform.files.FileExists(name)) && !Contains(name, "msoe.dll"))
      AppendRecord(ctx, MissingPathRecord(fullKeyPath, "SharedDlls", shownName, std::to_string(count), "default",
                                          name));
    PumpMessages(ctx);
  }
}

void RepairSharedDlls(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, true}); }

namespace {

// "X:\..." with a drive letter.
bool IsDriveRootedPath(const std::string& text) {
  return text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text.compare(1, 2, ":\\") == 0;
}

}  // namespace

void ScanFonts(ScanContext& ctx, HKey root, const std::string& keyPath) {
  ctx.list.Clear();
  const std::string fontsFolder = ctx.platform.files.WindowsDir() + "\\Fonts\\";
  TRegistry key(ctx.platform.registry, root);
  if (!key.OpenKeyReadOnly(keyPath)) return;
  const std::string fullKeyPath = FullKeyPathOf(root, keyPath);
  for (const std::string& name : key.GetValueNames()) {
    if (ScanAborted(ctx)) return;
    ShowStatus(ctx, keyPath + name);
    if (IsStringType(key.GetRawType(name))) {
      // A bare name lies in the Fonts folder; a font registered with a full path is tested where it says,
      // so that a font installed elsewhere is not reported (and deleted) as missing.
      const std::string data = key.ReadString(name);
      const std::string file = IsDriveRootedPath(data) ? data : fontsFolder + data;
      const bool tested = TrimText(file).compare(1, 2, ":\\") == 0 && PassesPathFilters(ctx.state.SkippedDrives, file);
      const std::string shownName = ShownValueName(name);
      if (tested && !ctx.platform.files.FileExists(file) && !IsIgnoredEntry(ctx, CategoryOf(5), fullKeyPath, shownName))
        AppendRecord(ctx, MissingPathRecord(fullKeyPath, "Fonts", shownName, data, shownName, data));
    }
    PumpMessages(ctx);
  }
}

void RepairFonts(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, false}); }

namespace {

// The file a help entry names: its folder (the data) and the help file's name (the value name).
std::string HelpFilePath(const std::string& folder, const std::string& name) {
  const size_t trimmed = TrimText(folder).size();
  const bool endsWithSlash = trimmed > 0 && trimmed <= folder.size() && folder[trimmed - 1] == '\\';
  return endsWithSlash ? folder + name : folder + "\\" + name;
}

void ReadHelpKey(ScanContext& ctx, TRegistry& key, const std::string& fullKeyPath) {
  for (const std::string& name : key.GetValueNames()) {
    if (ScanAborted(ctx)) return;
    const std::string shownName = ShownValueName(name);
    if (!IsIgnoredEntry(ctx, CategoryOf(9), fullKeyPath, shownName) && IsStringType(key.GetRawType(name))) {
      const std::string file = HelpFilePath(key.ReadString(name), name);
      if (!file.empty() && PassesPathFilters(ctx.state.SkippedDrives, file) && !ctx.platform.files.FileExists(file))
        AppendRecord(ctx, MissingPathRecord(fullKeyPath, FileNamePart(file), shownName, file, "default", file));
    }
    PumpMessages(ctx);
  }
}

}  // namespace

void ScanHelpFiles(ScanContext& ctx, HKey root, const std::string&) {
  for (const char* helpKey : kHelpKeys) {
    if (ScanAborted(ctx)) return;
    TRegistry key(ctx.platform.registry, root);
    if (!key.OpenKeyReadOnly(helpKey)) continue;
    const std::string fullKeyPath = FullKeyPathOf(root, helpKey);
    ShowStatus(ctx, fullKeyPath);
    ReadHelpKey(ctx, key, fullKeyPath);
    PumpMessages(ctx);
  }
}

void RepairHelpFiles(RepairContext& ctx) {
  // The label and the result row show the key without its root's name.
  auto withoutRoot = [](const TContent& record) {
    const std::string root = "HKEY_LOCAL_MACHINE";
    return record.FullKeyPath.compare(0, root.size(), root) == 0 ? record.FullKeyPath.substr(root.size())
                                                                  : record.FullKeyPath;
  };
  RepairRecords(ctx, {RemoveRecordValue, withoutRoot, true});
}

namespace {

// The application file an App Paths entry names, built from its unnamed value and its "Path" value.
std::string AppFilePath(IFiles& files, IRegistry& reg, const std::string& data, const std::string& folder) {
  if (!Contains(data, "\\")) return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + data;
  if (Contains(data, "%ProgramFiles%"))
    return ReplaceAll(RemoveChars(data, "\""), "%ProgramFiles%", ProgramFolder(reg, 0));
  if (Contains(data, "%SystemRoot%")) return WindowsFolderGuess(files) + ReplaceAll(data, "%SystemRoot%\\", "");
  return RemoveChars(data, "\"");
}

void ReadAppPath(ScanContext& ctx, HKey root, const std::string& subKey, const std::string& subName) {
  TRegistry key(ctx.platform.registry, root);
  if (!key.OpenKeyReadOnly(subKey) || key.GetRawType("") != kRegSz) return;
  const std::string data = key.ReadString("");
  if (!PassesPathFilters(ctx.state.SkippedDrives, data) || FileNamePart(data).empty() || FileExtension(data).size() < 2)
    return;
  // The folder the file lies in must be read exactly, or the file cannot be looked for.
  if (key.ValueHasNoAnsiForm("Path")) return;
  const std::string file = AppFilePath(ctx.platform.files, ctx.platform.registry, data, key.ReadString("Path"));
  if (file.size() == 1 || ctx.platform.files.FileExists(file)) return;
  const std::string fullKeyPath = FullKeyPathOf(root, subKey);
  if (IsIgnoredEntry(ctx, CategoryOf(10), fullKeyPath, "Path")) return;
  AppendRecord(ctx, MissingPathRecord(fullKeyPath, subName, "Path", file, "Path", file));
}

}  // namespace

void ScanAppPaths(ScanContext& ctx, HKey root, const std::string& keyPath) {
  IRegistry& reg = ctx.platform.registry;
  RegKeyHandle key;
  KeyInfo info;
  if (key.Open(reg, root, keyPath, false) != kOk || reg.QueryInfo(key.Get(), &info) != kOk) return;
  for (uint32_t i = 0; i < info.subKeys; ++i) {
    if (ScanAborted(ctx)) return;
    std::string name;
    if (reg.EnumKey(key.Get(), i, &name) != kOk) continue;
    const std::string subKey = keyPath + "\\" + name;
    ShowStatus(ctx, FullKeyPathOf(root, subKey));
    ReadAppPath(ctx, root, subKey, name);
    PumpMessages(ctx);
  }
}

void RepairAppPaths(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordKey, nullptr, true}); }

void ScanSounds(ScanContext& ctx, HKey root, const std::string& keyPath) {
  TRegistry key(ctx.platform.registry, root);
  if (!key.OpenKeyReadOnly(keyPath)) return;
  const std::string fullKeyPath = FullKeyPathOf(root, keyPath);
  for (const std::string& name : key.GetValueNames()) {
    const std::string data = key.ReadString(name);
    if (name.empty() && !data.empty())
      AppendRecord(ctx, MissingPathRecord(fullKeyPath, "Sounds", "default", data, "default", data));
  }
}

void RepairSounds(RepairContext& ctx) { RepairRecords(ctx, {RemoveRecordValue, nullptr, false}); }

}  // namespace tw
