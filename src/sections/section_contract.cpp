#include "sections/section_contract.h"

#include <exception>

#include "app/ignore_list.h"
#include "platform/reg_access.h"

namespace tw {

bool ScanAborted(const ScanContext& ctx) { return ctx.state.ScanState == kStateAbort; }

void ShowStatus(ScanContext& ctx, const std::string& text) { ctx.statusPanel.SetText(text); }

void ShowStatusEvery200th(ScanContext& ctx, const std::string& text) {
  if (++ctx.state.ProgressTicks % 200 == 0) ctx.statusPanel.SetText(text);
}

void PumpMessages(ScanContext& ctx) { ctx.pump.ProcessMessages(); }

bool IsIgnoredEntry(const ScanContext& ctx, const char* category, const std::string& fullKeyPath,
                    const std::string& valueName) {
  return IsIgnored(ctx.state.Ignores, category, fullKeyPath, valueName) != 0;
}

TContent& AppendRecord(ScanContext& ctx, TContent record) {
  TContent& added = ctx.list.Items(ctx.list.Add()).Content;
  added = std::move(record);
  added.Selected = ctx.state.SelectAll ? 1 : 0;
  added.SeqNo = ++ctx.state.ProblemCounter;
  ctx.countLabel.SetText(std::to_string(ctx.list.Count()));
  return added;
}

std::string FullKeyPathOf(HKey root, const std::string& keyPath) { return RootKeyName(root) + "\\" + keyPath; }

std::string ShownValueName(const std::string& valueName) { return valueName.empty() ? "default" : valueName; }

TContent MissingPathRecord(const std::string& fullKeyPath, const std::string& keyName, const std::string& valueName,
                           const std::string& valueData, const std::string& valueNameShown,
                           const std::string& badPath) {
  TContent c;
  c.FullKeyPath = fullKeyPath;
  c.KeyName = keyName;
  c.ValueName = valueName;
  c.ValueData = valueData;
  c.KeyPathText = " Key Path:" + fullKeyPath;
  c.ValueNameText = " ValueName:" + valueNameShown;
  c.ValueText = " Value:" + badPath;
  c.Description = " The file (" + badPath + ") does not exist at the specified location";
  c.Detail = "The Key " + badPath + " under " + fullKeyPath + " contains a bad path for the value";
  c.Title = kMissingPathTitle;
  return c;
}

std::vector<std::string> SubKeyNamesOf(IRegistry& reg, HKey key) {
  std::vector<std::string> names;
  KeyInfo info;
  if (reg.QueryInfo(key, &info) != kOk) return names;
  std::string name;
  for (uint32_t i = 0; i < info.subKeys; ++i) {
    name.clear();
    const long rc = reg.EnumKey(key, i, &name);
    if (rc == kErrNoMoreItems) break;
    if (rc == kOk && !name.empty()) names.push_back(name);
  }
  return names;
}

std::vector<std::string> ValueNamesOf(IRegistry& reg, HKey key) {
  std::vector<std::string> names;
  KeyInfo info;
  if (reg.QueryInfo(key, &info) != kOk) return names;
  std::string name;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0; i < info.values; ++i) {
    name.clear();
    const long rc = reg.EnumValue(key, i, &name, &type, &data);
    if (rc == kErrNoMoreItems) break;
    if (rc == kOk) names.push_back(name);
  }
  return names;
}

void RepairRecords(RepairContext& ctx, const RepairSteps& steps) {
  for (int index = 0; index < ctx.list.Count(); ++index) {
    if (steps.pumpBeforeEach) ctx.pump.ProcessMessages();
    if (ctx.state.ScanState == kStateRepairCancelled) return;
    const TContent& record = ctx.list.Items(index).Content;
    if (!record.Selected) continue;
    const std::string caption = steps.caption ? steps.caption(record) : record.FullKeyPath;
    if (steps.showInStatusLabel) ctx.statusLabel.SetText(caption);
    const int row = ctx.results.Add();
    ctx.results.Items(row).Rec.Caption = caption;
    if (static_cast<size_t>(index) < ctx.notBackedUp.size() && ctx.notBackedUp[static_cast<size_t>(index)]) {
      ctx.results.Items(row).Rec.Status = kNotBackedUpText;
      continue;
    }
    bool gone = false;
    try {
      gone = steps.remove(ctx, record);
    } catch (const std::exception&) {
      gone = false;
    }
    ctx.results.Items(row).Rec.Status = gone ? kRepairedText : kRepairErrorText;
  }
}

bool SplitFullKeyPath(const std::string& fullKeyPath, HKey* root, std::string* path) {
  const size_t slash = fullKeyPath.find('\\');
  const HKey found = RootKeyFromName(fullKeyPath.substr(0, slash));
  if (found == 0) return false;
  *root = found;
  *path = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
  return true;
}

bool ValueIsGone(IRegistry& reg, const std::string& fullKeyPath, const std::string& valueName) {
  HKey root = 0;
  std::string path;
  if (!SplitFullKeyPath(fullKeyPath, &root, &path)) return true;
  RegKeyHandle key;
  const long rc = key.Open(reg, root, path, false);
  if (rc != kOk) return rc == kErrNotFound;
  uint32_t type = 0;
  Bytes data;
  return reg.QueryValue(key.Get(), valueName == "default" ? std::string() : valueName, &type, &data) == kErrNotFound;
}

bool KeyIsGone(IRegistry& reg, HKey root, const std::string& path) {
  HKey key = 0;
  const long rc = reg.OpenKeyNoFollow(root, path, &key);
  if (rc == kOk) reg.CloseKey(key);
  return rc == kErrNotFound;
}

bool RemoveRecordValue(RepairContext& ctx, const TContent& record) {
  DeleteValueAt(ctx.platform.registry, record.FullKeyPath, record.ValueName);
  return ValueIsGone(ctx.platform.registry, record.FullKeyPath, record.ValueName);
}

bool RemoveRecordKey(RepairContext& ctx, const TContent& record) {
  HKey root = 0;
  std::string path;
  if (!SplitFullKeyPath(record.FullKeyPath, &root, &path)) return true;
  if (path.empty()) return false;  // never a whole root
  DeleteKeyAt(ctx.platform.registry, root, path);
  return KeyIsGone(ctx.platform.registry, root, path);
}

}  // namespace tw
