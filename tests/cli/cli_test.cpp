#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>

#include "cli/cli_args.h"
#include "app/startup.h"
#include "cli/cli_commands.h"
#include "app/settings.h"
#include "options/scheduled_task.h"
#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_console.h"

namespace tw {
namespace {

TEST(CliArgsTest, CommandLinesAreTakenOrRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    bool valid;
    std::string errorPart;
  } cases[] = {
      {{"scan"}, true, ""},
      {{"scan", "--sections", "17,1,4,4", "--format=JSON", "--out", "f.json"}, true, ""},
      {{"scan", "--sections", "0,18,x"}, false, "\"0\" is not a section number"},
      {{"scan", "--sections", "4,x"}, false, "\"x\" is not a section number"},
      {{"scan", "--sections"}, false, "--sections needs a value"},
      {{"scan", "--format", "xml"}, false, "\"xml\" is not a format"},
      {{"scan", "--yes"}, false, "\"--yes\" is not an option of \"scan\""},
      {{"scan", "extra"}, false, "Unexpected \"extra\""},
      {{"clean"}, false, "\"clean\" is not a command"},
      {{}, false, "No command given"},
      {{"backups"}, false, "needs one of: list, restore"},
      {{"backups", "restore"}, false, "Missing arguments"},
      {{"ignore", "add", "18", "HKEY_CURRENT_USER\\x"}, false, "\"18\" is not a section number"},
      {{"ignore", "add", "8", "HKEY_LOCAL_MACHINE\\x", "v", "w"}, false, "Unexpected \"w\""},
      {{"junk", "scan", "--drives", "C:,d:\\"}, true, ""},
      {{"junk", "scan", "--drives", "CD"}, false, "\"CD\" is not a drive"},
      {{"repair", "--yes=1"}, false, "--yes takes no value"},
      {{"frobnicate", "--help"}, false, "\"frobnicate\" is not a command"},
      {{"repair", "--help"}, true, ""},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    CliRequest request;
    std::string error;
    EXPECT_EQ(ParseCliArgs(c.args, &request, &error), c.valid);
    if (!c.valid) {
      EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
    }
  }
  CliRequest request;
  std::string error;
  ASSERT_TRUE(ParseCliArgs({"scan", "--sections", "17,1,4,4"}, &request, &error));
  EXPECT_EQ(request.sections, (std::vector<int>{1, 4, 17}));
  ASSERT_TRUE(ParseCliArgs({"junk", "scan", "--drives", "c:,D:\\,C:"}, &request, &error));
  EXPECT_EQ(request.drives, (std::vector<std::string>{"C:", "D:"}));
}

using test::RecordingConsole;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mp.files.SetExecutablePath("C:\\Tarnwick\\tarnwick-cli.exe");
    // Two missing fonts (one with a name outside ASCII) and one application path to a missing program.
    TRegistry fonts(mp.registry, kLocalMachine);
    ASSERT_TRUE(fonts.OpenKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", true));
    fonts.WriteString("Gone Sans (TrueType)", "C:\\Fonts\\gonesans.ttf");
    fonts.WriteString("Caf\xE9 \"Serif\", Bold", "C:\\Fonts\\cafe.ttf");
    TRegistry app(mp.registry, kLocalMachine);
    ASSERT_TRUE(app.OpenKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe", true));
    app.WriteString("", "C:\\Gone\\gone.exe");
  }
  int Run(const std::vector<std::string>& args) {
    console = RecordingConsole();
    return RunCli(mp.platform, console, args);
  }

  MemoryPlatform mp;
  RecordingConsole console;
};

TEST_F(CliTest, ScanListsTheFindingsAndCountsOfTheScanResultInEveryFormat) {
  ASSERT_EQ(Run({"scan", "--sections", "5,10", "--format", "json"}), kExitFound);
  const auto doc = nlohmann::json::parse(console.out);
  ASSERT_EQ(doc["findings"].size(), 3u);
  EXPECT_EQ(doc["findings"][0]["section"], 5);
  EXPECT_EQ(doc["findings"][0]["caption"], "Fonts Sections");
  EXPECT_EQ(doc["findings"][1]["valueName"], "Caf\xC3\xA9 \"Serif\", Bold");  // UTF-8
  EXPECT_EQ(doc["findings"][2]["fullKeyPath"],
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe");
  EXPECT_EQ(doc["counts"], nlohmann::json::parse(R"({"Fonts Sections": 2, "Application Paths": 1})"));
  // The same counts the window's result file holds.
  std::string result;
  ASSERT_TRUE(mp.files.ReadWholeFile("C:\\Tarnwick\\ScanResult", &result));
  EXPECT_NE(result.find("Fonts Sections=2"), std::string::npos) << result;
  EXPECT_NE(result.find("Application Paths=1"), std::string::npos) << result;

  ASSERT_EQ(Run({"scan", "--sections", "5", "--format", "csv"}), kExitFound);
  EXPECT_EQ(console.out.substr(0, console.out.find("\r\n")),
            "section,caption,fullKeyPath,valueName,valueData,description,title");
  EXPECT_NE(console.out.find(",\"Caf\xC3\xA9 \"\"Serif\"\", Bold\","), std::string::npos) << console.out;

  ASSERT_EQ(Run({"scan", "--sections", "5"}), kExitFound);
  EXPECT_NE(console.out.find("[5] Fonts Sections: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                             "\\Fonts | Gone Sans (TrueType) | C:\\Fonts\\gonesans.ttf"),
            std::string::npos)
      << console.out;
  EXPECT_NE(console.out.find("Problems found: 2\n  Fonts Sections: 2\n"), std::string::npos) << console.out;

  EXPECT_EQ(Run({"scan", "--sections", "15"}), kExitDone);
}

TEST_F(CliTest, BadUsageAndUnwritableOutputChangeNothing) {
  EXPECT_EQ(Run({"scan", "--sections", "0,18,x"}), kExitUsage);
  EXPECT_NE(console.err.find("Usage: tarnwick-cli scan"), std::string::npos);
  EXPECT_EQ(Run({"scan", "--out", "Q:\\nowhere\\out.json"}), kExitCannotRun);
  EXPECT_NE(console.err.find("Cannot write \"Q:\\nowhere\\out.json\""), std::string::npos) << console.err;
  EXPECT_FALSE(mp.files.FileExists("C:\\Tarnwick\\ScanResult"));  // nothing was scanned
}

TEST_F(CliTest, IgnoreEntriesAreAddedSeenByTheScanAndRemovedLeavingOtherLinesAsTheyWere) {
  const std::string file = "C:\\Tarnwick\\TarnwickIgnores.dat";
  const std::string other = "Fonts Sections|HKEY_LOCAL_MACHINE\\Other|x\r\nnot an entry\n";
  ASSERT_TRUE(mp.files.WriteWholeFile(file, other));
  // The entry is added as the scan lists it: its key path and value name.
  ASSERT_EQ(Run({"scan", "--sections", "10", "--format", "json"}), kExitFound);
  const auto finding = nlohmann::json::parse(console.out)["findings"][0];
  const std::string appKey = finding["fullKeyPath"], valueName = finding["valueName"];
  EXPECT_EQ(Run({"ignore", "add", "10", appKey, valueName}), kExitDone);
  EXPECT_EQ(Run({"ignore", "add", "10", appKey, valueName}), kExitDone);
  EXPECT_EQ(console.out, "Already in the ignore list.\n");
  EXPECT_EQ(Run({"scan", "--sections", "10"}), kExitDone);

  EXPECT_EQ(Run({"ignore", "list"}), kExitDone);
  EXPECT_NE(console.out.find("Application Paths|" + appKey + "|" + valueName + "\n"), std::string::npos) << console.out;
  EXPECT_EQ(Run({"ignore", "remove", "10", appKey, valueName}), kExitDone);
  std::string contents;
  ASSERT_TRUE(mp.files.ReadWholeFile(file, &contents));
  EXPECT_EQ(contents, other);
  EXPECT_EQ(Run({"scan", "--sections", "10"}), kExitFound);
}

// Repair previews without --yes, leaves excluded findings alone, refuses while the window works or when the
// backup cannot be written, and otherwise repairs only what its backup holds.
TEST_F(CliTest, RepairChangesTheRegistryOnlyWithYesABackupAndNoWindowAtWork) {
  const std::string fonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  auto fontThere = [&](const std::string& name) {
    TRegistry reg(mp.registry, kLocalMachine);
    return reg.OpenKey(fonts, false) && reg.ValueExists(name);
  };
  ASSERT_TRUE(mp.files.WriteWholeFile("C:\\keep.txt", "\r\nhkey_local_machine\\" + fonts + "|gone sans (truetype)\r\n"));
  struct Case {
    const char* what;
    std::vector<std::string> args;
    bool windowAtWork;
    bool backupBlocked;
    int exitCode;
    bool repaired;  // the two findings not excluded are gone
  };
  const Case cases[] = {
      {"preview", {"repair", "--sections", "5,10", "--format", "json"}, false, false, kExitFound, false},
      {"exclusions missing", {"repair", "--exclude-from", "C:\\none.txt", "--yes"}, false, false, kExitCannotRun, false},
      {"window at work", {"repair", "--yes"}, true, false, kExitCannotRun, false},
      {"backup blocked", {"repair", "--yes"}, false, true, kExitCannotRun, false},
      {"repaired", {"repair", "--sections", "5,10", "--exclude-from", "C:\\keep.txt", "--yes", "--format", "json"},
       false, false, kExitDone, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<ISessionLock> window = c.windowAtWork ? mp.system.TryLock(kRegistryWorkLockName) : nullptr;
    if (c.backupBlocked) mp.files.AddFile("C:\\Tarnwick\\RepairBackup", "a file where the folder belongs");
    EXPECT_EQ(Run(c.args), c.exitCode) << console.err;
    mp.files.RemoveFile("C:\\Tarnwick\\RepairBackup");
    EXPECT_TRUE(fontThere("Gone Sans (TrueType)"));
    EXPECT_EQ(fontThere("Caf\xE9 \"Serif\", Bold"), !c.repaired);
    EXPECT_EQ(TRegistry(mp.registry, kLocalMachine).KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe"),
              !c.repaired);
  }
  const auto results = nlohmann::json::parse(console.out);
  ASSERT_EQ(results["results"].size(), 2u);
  EXPECT_EQ(results["results"][0]["section"], 5);
  EXPECT_EQ(results["results"][1]["caption"], "Application Paths");
  EXPECT_EQ(results["counts"], nlohmann::json::parse(R"({"Repaired Successfully": 2})"));

  // The backup is listed, and a name that is no backup is refused without a change.
  ASSERT_EQ(Run({"backups", "list", "--format", "json"}), kExitDone);
  const auto backups = nlohmann::json::parse(console.out);
  ASSERT_EQ(backups["backups"].size(), 1u);
  EXPECT_EQ(backups["backups"][0]["kind"], "repair");
  std::string backup;
  ASSERT_TRUE(mp.files.ReadWholeFile(backups["backups"][0]["path"], &backup));
  EXPECT_EQ(Run({"backups", "restore", "nothing.reg"}), kExitCannotRun);
  EXPECT_NE(console.err.find("does not exist"), std::string::npos) << console.err;
}

// The startup list and the junk search give the tools' own findings as JSON fields and CSV columns in the same
// order, and change nothing.
TEST_F(CliTest, StartupAndJunkListTheToolsFindingsWithoutChangingThem) {
  RegKeyHandle run;
  ASSERT_EQ(run.Open(mp.registry, kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", true), kOk);
  ASSERT_EQ(mp.registry.SetValue(run.Get(), "Updater", kRegSz, {'u', '.', 'e', 'x', 'e', 0}), kOk);
  ASSERT_EQ(Run({"startup", "list", "--format", "json"}), kExitDone) << console.err;
  const auto startup = nlohmann::ordered_json::parse(console.out);
  ASSERT_EQ(startup["entries"].size(), 1u) << console.out;
  const auto& entry = startup["entries"][0];
  EXPECT_EQ(entry["name"], "Updater");
  EXPECT_EQ(entry["status"], "Enable");
  EXPECT_EQ(entry["kind"], "registry");
  EXPECT_EQ(entry["location"], "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  ASSERT_EQ(Run({"startup", "list", "--format", "csv"}), kExitDone);
  std::string header;
  for (auto it = entry.begin(); it != entry.end(); ++it) header += (header.empty() ? "" : ",") + it.key();
  EXPECT_EQ(console.out.substr(0, console.out.find("\r\n")), header);

  mp.files.AddFile("C:\\Work\\a.tmp", std::string(3, 'x'));
  mp.files.AddFile("C:\\Work\\keep.txt", "kept");
  mp.files.AddFile("D:\\Old\\b.TMP", "case counts");
  mp.files.SetDrive('D', kDriveFixed);
  EXPECT_EQ(Run({"junk", "scan", "--drives", "Q:"}), kExitCannotRun);
  ASSERT_EQ(Run({"junk", "scan", "--format", "json"}), kExitFound) << console.err;
  const auto junk = nlohmann::json::parse(console.out);
  ASSERT_EQ(junk["found"].size(), 1u) << console.out;
  EXPECT_EQ(junk["found"][0]["path"], "C:\\Work\\a.tmp");
  EXPECT_EQ(junk["found"][0]["size"], 3);
  EXPECT_EQ(junk["totals"], nlohmann::json::parse(R"({"C:": {"count": 1, "bytes": 3}})"));
  EXPECT_TRUE(mp.files.FileExists("C:\\Work\\a.tmp"));
  EXPECT_EQ(Run({"junk", "scan", "--drives", "d:"}), kExitDone);
}


// The scheduled scan and the update check go through the options window's controllers: each command's outcome,
// exit code and messages, and what the Task Scheduler holds afterwards.
TEST_F(CliTest, ScheduleAndUpdateCheckTellTheirOutcomeByExitCode) {
  const std::string program = "C:\\Tarnwick\\tarnwick.exe";
  const std::string ini = "[Version]\r\nVer=";
  TRegistry settings(mp.registry, kCurrentUser);
  ASSERT_TRUE(settings.OpenKey(kSettingsKey, true));
  settings.WriteString("Version", "3.0");
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::vector<std::string> args;
    int exitCode;
    std::string outPart, errPart;
    int trigger;  // the saved item's hour * 100 + minute, days * 10000; -1 when there is no item
  };
  const Case cases[] = {
      {"no Task Scheduler", [&] { mp.scheduler.SetConnectFailure(kSchedulerNotRegistered); },
       {"schedule", "show"}, kExitCannotRun, "", "Error in ActiveX.CoCreateInstance.Error Code :80040154\n", -1},
      {"no task yet", [&] { mp.scheduler.SetConnectFailure(kSchedulerOk); }, {"schedule", "show"}, kExitDone,
       "No scheduled scan", "", -1},
      {"program missing", [] {}, {"schedule", "set", "21:45"}, kExitCannotRun, "", "tarnwick.exe\" does not exist", -1},
      {"bad time", [&] { mp.files.AddFile(program, "MZ"); }, {"schedule", "set", "24:00"}, kExitUsage, "",
       "\"24:00\" is not a time", -1},
      {"bad days", [] {}, {"schedule", "set", "21:45", "--days", "32"}, kExitUsage, "", "give 1 to 31", -1},
      {"days on show", [] {}, {"schedule", "show", "--days", "3"}, kExitUsage, "",
       "not an option of \"schedule show\"", -1},
      {"cannot save", [&] { mp.scheduler.SetCanPersist(false); }, {"schedule", "set", "21:45"}, kExitCannotRun, "",
       "Error in  Task.QueryInterface(IID_IPersistFile, pIPersistFile):", -1},
      {"created", [&] { mp.scheduler.SetCanPersist(true); }, {"schedule", "set", "21:45", "--days", "3"}, kExitDone,
       "Start time: 21:45\nEvery: 3 day(s)\nProgram: " + program, "", 32145},
      {"shown as json", [] {}, {"schedule", "show", "--format", "json"}, kExitDone,
       R"("startTime": "21:45",)", "", 32145},
      {"rewritten", [] {}, {"schedule", "set", "7:05", "--days", "31"}, kExitDone, "Start time: 07:05", "", 310705},
      {"removed", [] {}, {"schedule", "remove"}, kExitDone, "Removed", "", -1},
      {"nothing to remove", [] {}, {"schedule", "remove"}, kExitDone, "There is no scheduled scan", "", -1},
      {"update unreachable", [] {}, {"update", "check"}, kExitCannotRun, "check failed\n", "", -1},
      {"update 404", [&] { mp.http.Answer(kBuiltInUpdateUrl, 404, ini + "9.0\r\n"); }, {"update", "check"},
       kExitCannotRun, "check failed\n", "", -1},
      {"up to date", [&] { mp.http.Answer(kBuiltInUpdateUrl, 200, ini + "3.0\r\n"); }, {"update", "check"},
       kExitDone, "up to date\n", "", -1},
      {"newer as numbers", [&] { mp.http.Answer(kBuiltInUpdateUrl, 200, ini + "10.0\r\n"); }, {"update", "check"},
       kExitFound, "update available: 10.0\n", "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    EXPECT_EQ(Run(c.args), c.exitCode) << console.out << console.err;
    EXPECT_NE(console.out.find(c.outPart), std::string::npos) << console.out;
    EXPECT_NE(console.err.find(c.errPart), std::string::npos) << console.err;
    const SavedWorkItem* item = mp.scheduler.Find(kTaskName);
    ASSERT_EQ(item != nullptr, c.trigger >= 0);
    if (!item) continue;
    EXPECT_EQ(item->name, kTaskName);
    EXPECT_EQ(item->properties.applicationName, program);
    EXPECT_EQ(item->properties.parameters, "-Scan");
    ASSERT_TRUE(item->trigger0);
    EXPECT_EQ(item->trigger0->triggerType, kTriggerDaily);
    EXPECT_EQ(item->trigger0->typeWords[0] * 10000 + item->trigger0->startHour * 100 + item->trigger0->startMinute,
              c.trigger);
  }
  // Only the check ran: no question was shown and the updater was never started.
  EXPECT_TRUE(mp.shell.executeCalls.empty());
}

}  // namespace
}  // namespace tw
