// The console front end on the real registry: a preview changes nothing, a repair refuses while another program
// holds the registry, repairs only what is not excluded, and the registry editor brings back all it removed.
#include <windows.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "app/ignore_list.h"
#include "app/scan_driver.h"
#include "app/startup.h"
#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "options/scheduled_task.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "e2e/registry_snapshot.h"
#include "support/recording_console.h"

namespace tw {
namespace {

constexpr const char* kTag = "tarnwick-cli";
constexpr const char* kClass = "CLSID\\{7A12E2E1-0000-4000-8000-0000000000C1}";
constexpr const char* kAppPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarnwick-cli-gone.exe";
constexpr const char* kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kFont = "Tarnwick CLI Gone (TrueType)";

using test::RecordingConsole;

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class CliE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ExecutableFolder(real_.files);
    Clean();
    Set(kClassesRoot, std::string(kClass) + "\\InprocServer32", "", kRegSz, Sz(""));
    Set(kClassesRoot, std::string(kClass) + "\\InprocServer32\\Below", "Blob", kRegBinary, {0, 0xFF, 7});
    Set(kLocalMachine, kAppPath, "", kRegSz, Sz("C:\\tarnwick-cli\\gone.exe"));
    Set(kLocalMachine, kAppPath, "Path", kRegExpandSz, Sz("%SystemRoot%\\tarnwick-cli"));
    Set(kLocalMachine, kAppPath, "UseURL", kRegDword, {1, 0, 0, 0});
    Set(kLocalMachine, kFonts, kFont, kRegSz, Sz("tarnwick-cli-gone.ttf"));
  }
  void TearDown() override { Clean(); }

  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(real_.registry, root, path, true), kOk) << path;
    ASSERT_EQ(real_.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  void Clean() {
    DeleteKeyAt(real_.registry, kClassesRoot, kClass);
    DeleteKeyAt(real_.registry, kLocalMachine, kAppPath);
    DeleteValueAt(real_.registry, std::string("HKEY_LOCAL_MACHINE\\") + kFonts, kFont);
    for (const char* file : {kIgnoreFileName, kScanResultFileName, "exclude.txt"})
      real_.files.RemoveFile(folder_ + file);
    const std::string backups = folder_ + "RepairBackup\\";
    FindData data;
    if (const FindHandle h = real_.files.FindFirst(backups + "*.reg", &data)) {
      do real_.files.RemoveFile(backups + data.name);
      while (real_.files.FindNext(h, &data));
      real_.files.FindClose(h);
    }
    real_.files.RemoveFolder(folder_ + "RepairBackup");
  }
  test::RegistrySnapshot Snap() {
    test::RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_CLASSES_ROOT, kClass, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kAppPath, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kFonts, snap);
    return snap;
  }
  int Run(const std::vector<std::string>& args) {
    console_ = RecordingConsole();
    return RunCli(real_.platform, console_, args);
  }

  Win32Platform real_;
  RecordingConsole console_;
  std::string folder_;
};

TEST_F(CliE2E, RepairThenRestoreBringsEverythingBack) {
  const test::RegistrySnapshot before = Snap();
  const std::vector<std::string> repair = {"repair", "--sections", "1,5,10", "--format", "json"};

  // The preview lists the seeded findings among the prefix's own and changes nothing; the prefix's own are
  // excluded from the repair through a file.
  ASSERT_EQ(Run(repair), kExitFound) << console_.err;
  std::string exclusions;
  int ours = 0;
  const auto preview = nlohmann::json::parse(console_.out);
  for (const auto& finding : preview["findings"]) {
    const std::string key = finding["fullKeyPath"], value = finding["valueName"];
    if (key.find(kTag) != std::string::npos || key.find("{7A12E2E1-") != std::string::npos || value == kFont) ++ours;
    else exclusions += key + "|" + value + "\r\n";
  }
  EXPECT_EQ(ours, 3) << console_.out;
  ASSERT_TRUE(real_.files.WriteWholeFile(folder_ + "exclude.txt", exclusions));
  std::vector<std::string> confirmed = repair;
  confirmed.insert(confirmed.end(), {"--exclude-from", folder_ + "exclude.txt", "--yes"});

  // Another program holding the registry (a thread of its own, as the lock belongs to its owner) stops the repair.
  {
    std::atomic<int> step{0};
    std::thread window([this, &step] {
      Win32System other;
      std::unique_ptr<ISessionLock> lock = other.TryLock(kRegistryWorkLockName);
      step = lock ? 1 : -1;
      while (step == 1) Sleep(5);
    });
    while (step == 0) Sleep(5);
    ASSERT_EQ(step, 1);
    EXPECT_EQ(Run(confirmed), kExitCannotRun);
    EXPECT_NE(console_.err.find("window is scanning or repairing"), std::string::npos) << console_.err;
    step = 2;
    window.join();
  }
  test::ExpectSameSnapshot(before, Snap());

  ASSERT_EQ(Run(confirmed), kExitDone) << console_.err;
  const auto results = nlohmann::json::parse(console_.out)["results"];
  ASSERT_EQ(results.size(), 3u) << console_.out;
  for (const auto& row : results) EXPECT_EQ(row["status"], "Repaired Successfully") << row["item"];
  EXPECT_FALSE(TRegistry(real_.registry, kLocalMachine).KeyExists(kAppPath));
  EXPECT_FALSE(TRegistry(real_.registry, kClassesRoot).KeyExists(std::string(kClass) + "\\InprocServer32"));

  ASSERT_EQ(Run({"backups", "list", "--format", "json"}), kExitDone);
  const auto backups = nlohmann::json::parse(console_.out)["backups"];
  ASSERT_EQ(backups.size(), 1u) << console_.out;
  const std::string path = backups[0]["path"];
  ASSERT_EQ(Run({"backups", "restore", path.substr(path.rfind('\\') + 1)}), kExitDone) << console_.err;
  test::ExpectSameSnapshot(before, Snap());
}

// Startup entries and junk files as the console lists them from the real registry, profile and file system.
TEST_F(CliE2E, StartupAndJunkListWhatIsThere) {
  const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  Set(kCurrentUser, run, "Tarnwick CLI Notes", kRegSz, Sz("C:\\windows\\system32\\taskmgr.exe /x"));
  const std::string seed = "C:\\tarnwick-cli-junk";
  real_.files.MakeDirectory(seed);
  real_.files.MakeDirectory(seed + "\\sub");
  ASSERT_TRUE(real_.files.WriteWholeFile(seed + "\\a.tmp", "abc"));
  ASSERT_TRUE(real_.files.WriteWholeFile(seed + "\\sub\\~x.bak", "hello"));
  ASSERT_TRUE(real_.files.WriteWholeFile(seed + "\\keep.TMP", "kept"));  // the patterns' case counts

  ASSERT_EQ(Run({"startup", "list", "--format", "json"}), kExitDone) << console_.err;
  const auto entries = nlohmann::json::parse(console_.out)["entries"];
  int notes = 0;
  for (const auto& entry : entries) {
    if (entry["name"] != "Tarnwick CLI Notes") continue;
    ++notes;
    EXPECT_EQ(entry["kind"], "registry");
    EXPECT_EQ(entry["status"], "Enable");
    EXPECT_EQ(entry["location"], "HKEY_CURRENT_USER\\" + run);
    EXPECT_NE(entry["description"], "") << entry.dump();  // from the program's version information
  }
  EXPECT_EQ(notes, 1) << console_.out;

  ASSERT_EQ(Run({"junk", "scan", "--drives", "C:", "--format", "json"}), kExitFound) << console_.err;
  const auto junk = nlohmann::json::parse(console_.out);
  std::map<std::string, int> seeded;
  for (const auto& file : junk["found"]) {
    const std::string path = file["path"];
    if (path.rfind(seed + "\\", 0) == 0) seeded[path] = file["size"];
  }
  EXPECT_EQ(seeded, (std::map<std::string, int>{{seed + "\\a.tmp", 3}, {seed + "\\sub\\~x.bak", 5}}));
  EXPECT_TRUE(real_.files.FileExists(seed + "\\a.tmp"));

  DeleteValueAt(real_.registry, "HKEY_CURRENT_USER\\" + run, "Tarnwick CLI Notes");
  for (const char* file : {"\\a.tmp", "\\sub\\~x.bak", "\\keep.TMP"}) real_.files.RemoveFile(seed + file);
  real_.files.RemoveFolder(seed + "\\sub");
  real_.files.RemoveFolder(seed);
}


// The scheduled scan set, shown and removed from the console, read back through the real Task Scheduler.
TEST_F(CliE2E, ScheduleSetShowAndRemoveTheRealWorkItem) {
  IScheduler& scheduler = real_.platform.scheduler;
  ASSERT_EQ(scheduler.Connect(), kSchedulerOk);
  scheduler.Delete(kTaskName);  // left over by an earlier run that did not end
  // The task starts tarnwick.exe beside the console program; here that is the test program's folder.
  const std::string program = folder_ + "tarnwick.exe";
  const bool placed = !real_.files.FileExists(program);
  if (placed) {
    ASSERT_TRUE(real_.files.WriteWholeFile(program, "MZ"));
  }

  ASSERT_EQ(Run({"schedule", "set", "21:45", "--days", "3"}), kExitDone) << console_.err;
  ASSERT_EQ(Run({"schedule", "show"}), kExitDone) << console_.err;
  EXPECT_EQ(console_.out,
            "Scheduled scan: Tarnwick.job\nStart time: 21:45\nEvery: 3 day(s)\nProgram: " + program + "\n");

  std::unique_ptr<IWorkItem> item;
  ASSERT_EQ(scheduler.Activate(kTaskName, &item), kSchedulerOk);
  WorkItemProperties properties;
  ASSERT_EQ(item->Read(&properties), kSchedulerOk);
  EXPECT_EQ(properties.applicationName, program);
  EXPECT_EQ(properties.parameters, "-Scan");
  EXPECT_EQ(properties.comment, kTaskComment);
  TaskTrigger trigger;
  ASSERT_EQ(item->GetTrigger0(&trigger), kSchedulerOk);
  EXPECT_EQ(trigger.triggerType, kTriggerDaily);
  EXPECT_EQ(trigger.startHour, 21);
  EXPECT_EQ(trigger.startMinute, 45);
  EXPECT_EQ(trigger.typeWords[0], 3);
  item.reset();

  ASSERT_EQ(Run({"schedule", "remove"}), kExitDone) << console_.err;
  bool listed = false;
  scheduler.EnumWorkItems([&listed](const std::string& name) {
    listed = listed || name == kTaskName;
    return true;
  });
  EXPECT_FALSE(listed);
  EXPECT_NE(scheduler.Activate(kTaskName, &item), kSchedulerOk);
  if (placed) real_.files.RemoveFile(program);
}

}  // namespace
}  // namespace tw
