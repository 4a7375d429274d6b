// Seeds the real registry with broken software settings and file-type registrations, scans them with the
// software-settings sections (2 and 3) and the file-association sections (6 and 13), exports what the repair
// removes, repairs, and restores the seed with the system registry editor from that export.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backup/export_writer.h"
#include "e2e/registry_snapshot.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "sections/text_ops.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kTag = "tarnwick-e2e";
constexpr const char* kUserKey = "Software\\tarnwick-e2e-settings";
constexpr const char* kMachineKey = "Software\\tarnwick-e2e-settings";
constexpr const char* kGoneExt = ".tarnwick-e2e-gone";
constexpr const char* kEmptyExt = ".tarnwick-e2e-empty";
constexpr const char* kInUseExt = ".tarnwick-e2e-inuse";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class SettingsAssociationE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    Set(kCurrentUser, kUserKey, "Folder", kRegSz, Sz("C:\\TarnwickE2E\\Gone Folder"));
    Set(kCurrentUser, kUserKey, "", kRegSz, Sz("\"C:\\TarnwickE2E\\gone.exe\" /q"));
    Set(kCurrentUser, kUserKey, "Expand", kRegExpandSz, Sz("%SystemRoot%\\tarnwick-e2e-gone.dll"));
    Set(kCurrentUser, kUserKey, "Present", kRegSz, Sz("C:\\windows\\system32\\kernel32.dll"));
    Set(kCurrentUser, std::string(kUserKey) + "\\Drivers", "A", kRegSz, Sz("C:\\windows\\system32\\drivers\\x.sys"));
    Set(kCurrentUser, std::string(kUserKey) + "\\Drivers", "B", kRegSz, Sz("C:\\TarnwickE2E\\after.exe"));
    Set(kLocalMachine, kMachineKey, "Tool", kRegSz, Sz("C:\\TarnwickE2E\\tool.exe -x C:\\data.txt"));
    Set(kLocalMachine, std::string(kMachineKey) + "\\Policies\\System\\Below", "Tool", kRegSz,
        Sz("C:\\TarnwickE2E\\below.exe"));
    Set(kClassesRoot, kGoneExt, "", kRegSz, Sz("TarnwickE2E.GoneType"));
    Set(kClassesRoot, kEmptyExt, "", kRegSz, Sz(""));
    Set(kClassesRoot, kInUseExt, "", kRegSz, Sz(""));
    Set(kClassesRoot, std::string(kInUseExt) + "\\OpenWithProgids", "txtfile", kRegNone, {});
    state.SelectAll = true;
    state.SkippedDrives = BuildSkippedDrives(win.platform.files);
  }
  void TearDown() override { Clean(); }
  void Clean() {
    IRegistry& reg = win.platform.registry;
    reg.DeleteTree(kCurrentUser, kUserKey);
    reg.DeleteTree(kLocalMachine, kMachineKey);
    for (const char* ext : {kGoneExt, kEmptyExt, kInUseExt}) reg.DeleteTree(kClassesRoot, ext);
  }
  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(win.platform.registry, root, path, true), kOk) << path;
    ASSERT_EQ(win.platform.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  test::RegistrySnapshot Snap() {
    test::RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_CURRENT_USER, kUserKey, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kMachineKey, snap);
    for (const char* ext : {kGoneExt, kEmptyExt, kInUseExt}) test::AddToSnapshot(HKEY_CLASSES_ROOT, ext, snap);
    return snap;
  }

  Win32Platform win;
  ProcessState state;
  test::RecordingPump pump;
  test::RecordingText status, count, repairLabel;
};

TEST_F(SettingsAssociationE2E, FindsTheSeedInTheWholeRootsRepairsItAndTheBackupRestoresIt) {
  // What each section finds of the seed, as root-less key path, value name and tested path.
  struct Expect {
    int section;
    std::vector<std::string> found;
  };
  const std::string u = std::string(kUserKey) + "|", m = std::string(kMachineKey) + "|";
  const std::string upperDll = UpperText(win.platform.files.WindowsDir()) + "\\TARNWICK-E2E-GONE.DLL";
  const Expect expects[] = {
      {2, {u + "Folder|C:\\TarnwickE2E\\Gone Folder", u + "|C:\\TarnwickE2E\\gone.exe", u + "Expand|" + upperDll}},
      // The machine's entry, then the same user entries again below the user's key in HKEY_USERS.
      {3, {m + "Tool|C:\\TarnwickE2E\\tool.exe", "HKU " + u + "Folder|C:\\TarnwickE2E\\Gone Folder",
           "HKU " + u + "default|C:\\TarnwickE2E\\gone.exe", "HKU " + u + "Expand|" + upperDll}},
      {6, {std::string(kGoneExt) + "|default|TarnwickE2E.GoneType"}},
      {13, {std::string(kEmptyExt) + "|default|"}},
  };
  const test::RegistrySnapshot before = Snap();
  TRegistryContents review;
  std::vector<RepairRemoves> removes;
  std::vector<TRegistryContents> lists(18);
  for (const auto& e : expects) {
    SCOPED_TRACE(e.section);
    const SectionDef& def = SectionByNumber(e.section);
    TRegistryContents& list = lists[static_cast<size_t>(e.section)];
    ScanContext ctx{win.platform, state, pump, status, count, list};
    def.scanner(ctx, def.root, def.keyPath ? def.keyPath : "");
    if (def.secondRoot) def.scanner(ctx, def.secondRoot, def.keyPath ? def.keyPath : "");
    std::vector<std::string> ours;
    for (auto& item : list) {
      TContent& c = item.Content;
      c.Selected = c.FullKeyPath.find(kTag) != std::string::npos ? 1 : 0;
      if (!c.Selected) continue;
      // Below HKEY_USERS the user's key sits under the user's SID: "HKEY_USERS\S-1-5-21-...\Software\...".
      std::string path = c.FullKeyPath.substr(c.FullKeyPath.find('\\') + 1);
      std::string shown;
      if (c.FullKeyPath.rfind("HKEY_USERS\\S-1-5-21-", 0) == 0) {
        path = path.substr(path.find('\\') + 1);
        shown = "HKU ";
      }
      ours.push_back(shown + path + "|" + c.ValueName + "|" + c.ValueData);
      review.Items(review.Add()) = item;
      removes.push_back(def.removes);
    }
    // The order of values is the registry's own: Wine keeps them sorted by name, Windows in creation order.
    std::vector<std::string> expected = e.found;
    std::sort(expected.begin(), expected.end());
    std::sort(ours.begin(), ours.end());
    EXPECT_EQ(ours, expected);
  }

  const RepairBackupResult backup =
      SaveRepairBackup(win.platform, review, [&removes](int i) { return removes[static_cast<size_t>(i)]; });
  ASSERT_EQ(backup.outcome, BackupOutcome::Written);
  for (const auto& e : expects) {
    SCOPED_TRACE(e.section);
    TRepairContents results;
    RepairContext ctx{win.platform, state, pump, repairLabel, results, lists[static_cast<size_t>(e.section)]};
    SectionByNumber(e.section).repairer(ctx);
    ASSERT_EQ(static_cast<size_t>(results.Count()), e.found.size());
    for (const auto& row : results) EXPECT_EQ(row.Rec.Status, "Repaired Successfully") << row.Rec.Caption;
  }
  TRegistry user(win.platform.registry, kCurrentUser);
  ASSERT_TRUE(user.OpenKeyReadOnly(kUserKey));
  for (const char* name : {"Folder", "", "Expand"}) EXPECT_FALSE(user.ValueExists(name)) << name;
  EXPECT_TRUE(user.ValueExists("Present"));
  TRegistry classes(win.platform.registry, kClassesRoot);
  ASSERT_TRUE(classes.OpenKeyReadOnly(kGoneExt));
  EXPECT_FALSE(classes.ValueExists(""));
  EXPECT_FALSE(classes.KeyExists(kEmptyExt));
  EXPECT_TRUE(classes.KeyExists(kInUseExt));

  ASSERT_TRUE(test::ImportWithRegistryEditor(win.platform.files, backup.path));
  test::ExpectSameSnapshot(before, Snap());
  win.platform.files.RemoveFile(backup.path);
}

}  // namespace
}  // namespace tw
