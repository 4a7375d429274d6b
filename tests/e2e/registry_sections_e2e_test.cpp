// Seeds the real registry for the class filter, uninstall, empty key, program folder, start menu and history
// sections, scans each through its own code, exports what the repair removes, repairs, and restores the seed
// with the system registry editor from that export.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/export_writer.h"
#include "e2e/registry_snapshot.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "sections/class_filter_empty_key_sections.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kTag = "tarnwick-e2e";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tarnwick-e2e";
constexpr const char* kOrder = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs\\tarnwick-e2e";
constexpr const char* kStartMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs\\tarnwick-e2e";
constexpr const char* kOpenSave = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\tarnwick-e2e";
constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr const char* kEmpty = "Software\\tarnwick-e2e\\Empty";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class RegistrySectionsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    Set(kLocalMachine, kCdRomClassKey, "UpperFilters", kRegMultiSz, {'t', 'w', 0, 0});
    Set(kLocalMachine, kUninstall, "UninstallString", kRegSz, Sz("\"C:\\tarnwick-e2e\\gone\\uninst.exe\" /S"));
    Set(kLocalMachine, kUninstall, "DisplayName", kRegSz, Sz("Tarnwick E2E"));
    Set(kCurrentUser, kOrder, "Order", kRegBinary, {1, 2, 3});
    Set(kCurrentUser, kStartMenu, "Order", kRegBinary, {4, 5});
    Set(kCurrentUser, kOpenSave, "a", kRegSz, Sz("C:\\notes.txt"));
    Set(kCurrentUser, kRunMru, "tarnwick-e2e", kRegSz, Sz("notepad\\1"));
    RegKeyHandle empty;
    ASSERT_EQ(empty.Open(win.platform.registry, kCurrentUser, kEmpty, true), kOk);
    state.SelectAll = true;
    state.SkippedDrives = BuildSkippedDrives(win.platform.files);
  }
  void TearDown() override { Clean(); }
  void Clean() {
    IRegistry& reg = win.platform.registry;
    DeleteValueAt(reg, "HKEY_LOCAL_MACHINE\\" + std::string(kCdRomClassKey), "UpperFilters");
    for (const char* path : {kOrder, kStartMenu, kOpenSave, "Software\\tarnwick-e2e"}) reg.DeleteTree(kCurrentUser, path);
    reg.DeleteTree(kLocalMachine, kUninstall);
    DeleteValueAt(reg, "HKEY_CURRENT_USER\\" + std::string(kRunMru), "tarnwick-e2e");
  }
  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(win.platform.registry, root, path, true), kOk) << path;
    ASSERT_EQ(win.platform.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  test::RegistrySnapshot Snap() {
    test::RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kCdRomClassKey, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kUninstall, snap);
    for (const char* path : {kOrder, kStartMenu, kOpenSave, kEmpty, kRunMru})
      test::AddToSnapshot(HKEY_CURRENT_USER, path, snap);
    return snap;
  }

  Win32Platform win;
  ProcessState state;
  test::RecordingPump pump;
  test::RecordingText status, count, repairLabel;
};

TEST_F(RegistrySectionsE2E, FindsTheSeedRepairsItAndTheBackupRestoresIt) {
  // What each section finds of the seed: its own records, ticked; everything else the system holds unticked.
  struct Expect {
    int section;
    size_t records;
  } expects[] = {{7, 1}, {8, 1}, {12, 1}, {14, 1}, {16, 3}, {17, 2}};
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
    size_t ours = 0;
    for (auto& item : list) {
      TContent& c = item.Content;
      const bool seeded = c.FullKeyPath.find(kTag) != std::string::npos || c.ValueName.find(kTag) != std::string::npos ||
                          (e.section == 7 && c.ValueName == "UpperFilters");
      c.Selected = seeded ? 1 : 0;
      if (!seeded) continue;
      ++ours;
      review.Items(review.Add()) = item;
      removes.push_back(def.removes);
    }
    EXPECT_EQ(ours, e.records);
  }
  EXPECT_EQ(lists[12].Count() > 0 ? lists[12].Items(0).Content.FullKeyPath.substr(0, 11) : "", "HKEY_USERS\\");

  const RepairBackupResult backup =
      SaveRepairBackup(win.platform, review, [&removes](int i) { return removes[static_cast<size_t>(i)]; });
  ASSERT_EQ(backup.outcome, BackupOutcome::Written);

  for (const auto& e : expects) {
    SCOPED_TRACE(e.section);
    TRepairContents results;
    RepairContext ctx{win.platform, state, pump, repairLabel, results, lists[static_cast<size_t>(e.section)]};
    SectionByNumber(e.section).repairer(ctx);
    ASSERT_EQ(static_cast<size_t>(results.Count()), e.records);
    for (const auto& row : results) EXPECT_EQ(row.Rec.Status, "Repaired Successfully");
  }
  TRegistry machine(win.platform.registry, kLocalMachine);
  TRegistry user(win.platform.registry, kCurrentUser);
  EXPECT_TRUE(machine.OpenKeyReadOnly(kUninstall));  // the entry stays without its command
  EXPECT_FALSE(machine.ValueExists("UninstallString"));
  EXPECT_FALSE(user.KeyExists(kOrder));
  EXPECT_FALSE(user.KeyExists(kStartMenu));
  EXPECT_FALSE(user.KeyExists(kEmpty));
  EXPECT_TRUE(user.OpenKeyReadOnly(kOpenSave));
  EXPECT_FALSE(user.ValueExists("a"));

  ASSERT_TRUE(test::ImportWithRegistryEditor(win.platform.files, backup.path));
  test::ExpectSameSnapshot(before, Snap());
  win.platform.files.RemoveFile(backup.path);
}

}  // namespace
}  // namespace tw
