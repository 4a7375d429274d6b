#include "optimizer/restore_point.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"

namespace tw {
namespace {

// Every key and value of the tweak roots: "[root\path]" for a key, "[root\path] name" with type and bytes.
std::map<std::string, std::string> Dump(IRegistry& reg) {
  std::map<std::string, std::string> dump;
  for (HKey root : {kClassesRoot, kCurrentUser, kLocalMachine}) {
    std::vector<std::string> pending{""};
    while (!pending.empty()) {
      std::string path = pending.back();
      pending.pop_back();
      RegKeyHandle key;
      if (key.Open(reg, root, path, false) != kOk) continue;
      const std::string full = RootKeyName(root) + "\\" + path;
      dump["[" + full + "]"] = "";
      std::string name;
      uint32_t type = 0;
      Bytes data;
      for (uint32_t i = 0; reg.EnumValue(key.Get(), i, &name, &type, &data) == kOk; ++i)
        dump["[" + full + "] " + name] = std::to_string(type) + ":" + std::string(data.begin(), data.end());
      for (uint32_t i = 0; reg.EnumKey(key.Get(), i, &name) == kOk; ++i)
        pending.push_back(path.empty() ? name : path + "\\" + name);
    }
  }
  return dump;
}

std::string Dw(uint32_t n) {
  return "4:" + std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                            static_cast<char>(n >> 24)};
}
std::string Sz(const std::string& text) { return "1:" + text + std::string(1, '\0'); }

class RestorePointTest : public ::testing::Test {
 protected:
  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp->registry, root, path, true), kOk);
    ASSERT_EQ(mp->registry.SetValue(key.Get(), name, type, data), kOk);
  }
  // Every value of every section present, with data no tweak writes.
  void SeedAllValues() {
    for (int number = 1; number <= kRestoreSectionCount; ++number)
      for (const TweakValue& value : RestoreSectionOf(number).values) {
        if (value.type == TweakType::Dword)
          Set(value.root, value.key, value.name, kRegDword, {7, 0, 0, 0});
        else
          Set(value.root, value.key, value.name, kRegSz, {'o', 'l', 'd', 0});
      }
  }
  // Only the keys that "existing" tweaks need, without their values.
  void SeedExistingKeys() {
    for (int number = 1; number <= kRestoreSectionCount; ++number)
      for (const TweakValue& value : RestoreSectionOf(number).values)
        if (value.mode == TweakKey::Existing) {
          RegKeyHandle key;
          key.Open(mp->registry, value.root, value.key, true);
        }
  }
  std::string Path() { return "C:\\Program Files\\Tarnwick\\RepairBackup\\speedRestore.ini"; }
  std::string File() {
    std::string text;
    mp->files.ReadWholeFile(Path(), &text);
    return text;
  }

  std::unique_ptr<MemoryPlatform> mp = std::make_unique<MemoryPlatform>();
};

// Each tweak alone, on a machine that has its values and on one that has none of them: optimize then restore
// leaves the registry as it was, and the tweak did change something in between.
TEST_F(RestorePointTest, EachTweakRoundTripsExactly) {
  for (bool seeded : {true, false}) {
    for (const Tweak& tweak : Tweaks()) {
      SCOPED_TRACE(std::string(tweak.box) + (seeded ? " on seeded values" : " on missing values"));
      mp = std::make_unique<MemoryPlatform>();
      mp->files.AddFolder("C:\\Program Files\\Tarnwick\\RepairBackup");
      if (seeded)
        SeedAllValues();
      else
        SeedExistingKeys();
      const auto before = Dump(mp->registry);
      OptimizationRun run(mp->platform, Path());
      run.ApplyTweak(tweak);
      EXPECT_EQ(run.Failures(), 0);
      EXPECT_NE(Dump(mp->registry), before);
      RestoreOutcome outcome = RestoreFromPoint(mp->platform, Path(), nullptr);
      EXPECT_GT(outcome.restored, 0);
      EXPECT_EQ(outcome.failures, 0);
      EXPECT_EQ(Dump(mp->registry), before);
    }
  }
}

// Restore points in the plain layout (no absence records) restore what they hold; what a restore changes.
TEST_F(RestorePointTest, PlainLayoutRestores) {
  const std::string policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  const std::string avi = "CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}";
  struct Case {
    std::string file;
    HKey root;
    std::string key, name;
    std::string expected;  // "type:data" after the restore, "" for no value
  };
  const std::vector<Case> cases = {
      {"[Disable Recent File]\r\nF1=0\r\n", kCurrentUser, policies, "ClearRecentDocsOnExit", Dw(0)},
      {"[Disable Recent File]\r\nF1=3\r\n", kCurrentUser, policies, "ClearRecentDocsOnExit", Dw(3)},
      {"[Quicken menu display speed]\r\nF1=20000\r\n", kCurrentUser, "Control Panel\\Desktop", "MenuShowDelay", Sz("20000")},
      {"[Disable Tracking of Broken Shortcut Links]\r\nF1=\r\n", kCurrentUser, policies, "NoResolveTrack", Dw(0)},
      {"[Disable Tracking of Broken Shortcut Links]\r\nF1=2\r\n", kLocalMachine, policies, "NoResolveTrack", Dw(2)},
      {"[Fix Problem with Athlon Hanging AGP Programs]\r\nF1=4294967295\r\n", kLocalMachine,
       "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management", "LargePageMinimum", Dw(0xFFFFFFFFu)},
      {"[Optimize AVI Media Files]\r\nF1=\r\n", kClassesRoot, avi, "LargeSystemCache", ""},
      {"[Optimize AVI Media Files]\r\nF1=\r\n", kClassesRoot, avi, "Other", Sz("kept")},
      {"[Enable Hardware Optimization]\r\nF1=1\r\n", kLocalMachine,
       "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000", "EnableUDMA66", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    mp = std::make_unique<MemoryPlatform>();
    Set(kClassesRoot, avi, "LargeSystemCache", kRegDword, {1, 0, 0, 0});
    Set(kClassesRoot, avi, "Other", kRegSz, {'k', 'e', 'p', 't', 0});
    mp->files.AddFile(Path(), c.file);
    RestoreFromPoint(mp->platform, Path(), nullptr);
    const auto dump = Dump(mp->registry);
    auto it = dump.find("[" + RootKeyName(c.root) + "\\" + c.key + "] " + c.name);
    EXPECT_EQ(it == dump.end() ? "" : it->second, c.expected);
  }
}

// Files that are not what a restore point should be: nothing crashes, what can be read is restored.
TEST_F(RestorePointTest, DamagedFilesRestoreWhatTheyCan) {
  std::string junk;
  for (size_t i = 0; junk.size() < (10u << 20); ++i) junk += static_cast<char>((i * 7919u) % 251u);
  struct Case {
    std::string name, file;
    int restored;
  };
  const std::vector<Case> cases = {
      {"empty", "", 0},
      {"not an ini file", "MZ\x90\x00\x03 binary \x01\x02", 0},
      {"truncated", "[Quicken menu display speed]\r\nF1=40", 1},
      {"truncated header", "[Quicken menu disp", 0},
      {"non-numbers", "[Optimize Hard Disk When Idle]\r\nF1=fast\r\n[Disable Recent File]\r\nF1=0x\r\n", 0},
      {"duplicate sections", "[Disable Recent File]\r\nF1=1\r\n[Disable Recent File]\r\nF1=zz\r\n", 1},
      {"services junk", "[Service start types]\r\nSpooler=abc\r\n..\\..\\x=2\r\nAbsent=\r\nRunning=\r\n", 0},
      {"10 MB of junk", junk, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mp = std::make_unique<MemoryPlatform>();
    Set(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Spooler", "Start", kRegDword, {2, 0, 0, 0});
    mp->files.AddFile(Path(), c.file);
    RestoreOutcome outcome = RestoreFromPoint(mp->platform, Path(), nullptr);
    if (c.restored >= 0) {
      EXPECT_EQ(outcome.restored, c.restored);
    }
  }
}

// The run's bookkeeping: a section recorded once per run, failures counted, fresh names within one second.
TEST_F(RestorePointTest, RunRecordsOnceCountsFailuresAndNamesApart) {
  mp->files.AddFolder("C:\\Program Files\\Tarnwick\\RepairBackup");
  const std::string bios = "System\\CurrentControlSet\\Services\\VxD\\BIOS";
  Set(kLocalMachine, bios, "PCIConcur", kRegDword, {0, 0, 0, 0});
  OptimizationRun run(mp->platform, Path());
  run.ApplyTweak(Tweaks()[12]);  // Ochk13 and Ochk27 share section 16
  run.ApplyTweak(Tweaks()[26]);
  EXPECT_EQ(mp->profile.ReadString(Path(), "System Board and Memory Optimizations", "F1", "?"), "0");

  mp->registry.DenyAccess(kCurrentUser, "Control Panel\\Desktop");
  run.ApplyTweak(Tweaks()[1]);  // Ochk2 writes below the denied key
  EXPECT_EQ(run.Failures(), 1);

  const std::string first = NewRestorePointPath(mp->platform);
  mp->files.AddFile(first, "[x]\r\n");
  const std::string second = NewRestorePointPath(mp->platform);
  EXPECT_EQ(first, "C:\\Program Files\\Tarnwick\\RepairBackup\\speedRestore20080314_150926.ini");
  EXPECT_EQ(second, "C:\\Program Files\\Tarnwick\\RepairBackup\\speedRestore20080314_150926_2.ini");
}

// Services: the previous "Start" values and running states are recorded and come back.
TEST_F(RestorePointTest, ServicesComeBackAsTheyWere) {
  mp->files.AddFolder("C:\\Program Files\\Tarnwick\\RepairBackup");
  Set(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Spooler", "Start", kRegDword, {3, 0, 0, 0});
  Set(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Themes", "Type", kRegDword, {32, 0, 0, 0});
  mp->services.Install("Spooler", false);
  mp->services.Install("Themes", true);
  const auto before = Dump(mp->registry);
  OptimizationRun run(mp->platform, Path());
  run.RecordServices();
  run.SwitchService("Spooler", true);
  run.SwitchService("Themes", false);
  run.SwitchService("UPS", true);
  EXPECT_NE(Dump(mp->registry), before);
  bool running = false;
  ASSERT_TRUE(mp->services.QueryRunning("Themes", &running));
  EXPECT_FALSE(running);

  RestoreFromPoint(mp->platform, Path(), nullptr);
  EXPECT_EQ(Dump(mp->registry), before);
  ASSERT_TRUE(mp->services.QueryRunning("Spooler", &running));
  EXPECT_FALSE(running);
  ASSERT_TRUE(mp->services.QueryRunning("Themes", &running));
  EXPECT_TRUE(running);
}

}  // namespace
}  // namespace tw
