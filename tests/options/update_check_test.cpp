#include "options/update_check.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_prompts.h"

namespace tw {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Tarnwick\\";
constexpr const char* kLocalCopy = "C:\\Program Files\\Tarnwick\\Update.ini";
constexpr const char* kOldCopy = "[Version]\r\nVer=1.0\r\n";
constexpr const char* kUpToDate = "There are no updates available at this time.\rYour Tarnwick is up-to-date.";
constexpr const char* kQuestion =
    "A newer version of Tarnwick is available, Tarnwick will shut down to install the newer version.\r"
    "Would you like to update now?";

void SetLocalVersion(MemoryPlatform& mp, const std::optional<std::string>& version) {
  TRegistry key(mp.registry, kCurrentUser);
  ASSERT_TRUE(key.OpenKey(kSettingsKey, true));
  if (version) key.WriteString("Version", *version);
}

std::string IniWith(const std::string& ver) { return "[Version]\r\nVer=" + ver + "\r\n"; }

TEST(UpdateCheck, VersionsAndDownloadsDecideTheOffer) {
  enum Server { Ok, NotFound, TimedOut, Broken };
  struct Case {
    const char* name;
    std::optional<std::string> local;
    Server server;
    std::string body;
    UpdateCheckResult expected;
  };
  const std::string padded = IniWith("9.0") + std::string(kUpdateFileLimit, ';');
  const std::vector<Case> cases = {
      {"newer minor", "3.0", Ok, IniWith("3.1"), UpdateCheckResult::UpdateAvailable},
      {"same", "3.0", Ok, IniWith("3.0"), UpdateCheckResult::UpToDate},
      {"older", "3.0", Ok, IniWith("2.9"), UpdateCheckResult::UpToDate},
      {"numbers not bytes", "9.0", Ok, IniWith("10.0"), UpdateCheckResult::UpdateAvailable},
      {"more parts", "3.0", Ok, IniWith("3.0.1"), UpdateCheckResult::UpdateAvailable},
      {"missing part is 0", "3.0", Ok, IniWith("3"), UpdateCheckResult::UpToDate},
      {"quoted and blanks", "3.0", Ok, "[version]\r\n  ver = \"3.2\" \r\n", UpdateCheckResult::UpdateAvailable},
      {"not a version", "3.0", Ok, IniWith("3.1beta"), UpdateCheckResult::UpToDate},
      {"text", "3.0", Ok, IniWith("latest"), UpdateCheckResult::UpToDate},
      {"double dot", "3.0", Ok, IniWith("4..0"), UpdateCheckResult::UpToDate},
      {"huge part", "3.0", Ok, IniWith("99999999999"), UpdateCheckResult::UpToDate},
      {"empty Ver", "3.0", Ok, IniWith(""), UpdateCheckResult::UpToDate},
      {"empty file", "3.0", Ok, "", UpdateCheckResult::UpToDate},
      {"binary", "3.0", Ok, std::string("\0\xff\xfe[Version]\0Ver=\x01\x02", 18), UpdateCheckResult::UpToDate},
      {"Ver twice: the first counts", "3.0", Ok, "[Version]\r\nVer=3.0\r\nVer=9.9\r\n", UpdateCheckResult::UpToDate},
      {"empty local, a version", "", Ok, IniWith("1.0"), UpdateCheckResult::UpdateAvailable},
      {"absent local, a version", std::nullopt, Ok, IniWith("3.0"), UpdateCheckResult::UpdateAvailable},
      {"empty local, no version", "", Ok, IniWith("soon"), UpdateCheckResult::UpToDate},
      {"local not a version", "3.0 beta", Ok, IniWith("3.1"), UpdateCheckResult::UpToDate},
      {"404", "", NotFound, IniWith("9.0"), UpdateCheckResult::Failed},
      {"time-out", "", TimedOut, "", UpdateCheckResult::Failed},
      {"broken off", "", Broken, "", UpdateCheckResult::Failed},
      {"over 64 KB", "", Ok, padded, UpdateCheckResult::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform mp;
    mp.files.AddFile(kLocalCopy, kOldCopy);
    SetLocalVersion(mp, c.local);
    if (c.server == Ok) mp.http.Answer(kBuiltInUpdateUrl, 200, c.body);
    if (c.server == NotFound) mp.http.Answer(kBuiltInUpdateUrl, 404, c.body);
    if (c.server == TimedOut) mp.http.Fail(kBuiltInUpdateUrl, HttpOutcome::TimedOut);
    if (c.server == Broken) mp.http.Fail(kBuiltInUpdateUrl, HttpOutcome::Interrupted);
    test::RecordingPrompts prompts;
    TUpdateCheck check(mp.platform, prompts, kFolder);

    EXPECT_EQ(check.Run(), c.expected);
    ASSERT_EQ(mp.http.requests.size(), 1u);
    EXPECT_EQ(mp.http.requests[0].timeoutMs, 5000u);
    EXPECT_EQ(mp.http.requests[0].maxBytes, 64u * 1024);
    std::string copy;
    ASSERT_TRUE(mp.files.ReadWholeFile(kLocalCopy, &copy));
    EXPECT_EQ(copy, c.expected == UpdateCheckResult::Failed ? std::string(kOldCopy) : c.body);
    EXPECT_TRUE(prompts.calls.empty());
  }
}

TEST(UpdateCheck, AddressAndLocalCopyFailures) {
  MemoryPlatform mp;
  test::RecordingPrompts prompts;
  TUpdateCheck check(mp.platform, prompts, kFolder);
  SetLocalVersion(mp, "3.0");
  const std::string mirror = "http://mirror.example/tarnwick/update/Update.ini";
  mp.http.Answer(mirror, 200, IniWith("3.1"));
  TRegistry key(mp.registry, kCurrentUser);
  ASSERT_TRUE(key.OpenKey(kSettingsKey, true));
  ASSERT_TRUE(key.WriteString(kUpdateUrlValue, mirror));
  EXPECT_EQ(check.Run(), UpdateCheckResult::UpdateAvailable);
  // A copy that cannot be replaced is not read in its old state.
  mp.files.AddFile(kLocalCopy, IniWith("7.0"));
  mp.files.SetWritesFail(kLocalCopy, true);
  EXPECT_EQ(check.Run(), UpdateCheckResult::Failed);
  ASSERT_TRUE(key.WriteString(kUpdateUrlValue, ""));
  EXPECT_EQ(check.Run(), UpdateCheckResult::Failed);
  ASSERT_EQ(mp.http.requests.size(), 3u);
  EXPECT_EQ(mp.http.requests[0].url, mirror);
  EXPECT_EQ(mp.http.requests[2].url, kBuiltInUpdateUrl);
}

TEST(UpdateCheck, ManualAndAutomaticChecksAskAndHandOver) {
  enum Server { Newer, Same, Down };
  struct Case {
    const char* name;
    bool manual;
    Server server;
    PromptAnswer answer;
    bool updaterStarts;
    std::vector<std::string> texts;  // the message boxes in order
    bool endsProgram;
  };
  const std::string notStarted = std::string("The updater could not be started:\r") + kFolder +
                                 "TarnwickUpdate.exe\r\rTarnwick keeps running; please download the newer version "
                                 "from the Tarnwick home page.";
  const std::vector<Case> cases = {
      {"manual, up to date", true, Same, PromptAnswer::Yes, true, {kUpToDate}, false},
      {"manual, newer, Yes", true, Newer, PromptAnswer::Yes, true, {kQuestion}, true},
      {"manual, newer, No", true, Newer, PromptAnswer::No, true, {kQuestion}, false},
      {"manual, server down", true, Down, PromptAnswer::Yes, true, {}, false},
      {"manual, updater missing", true, Newer, PromptAnswer::Yes, false, {kQuestion, notStarted}, false},
      {"automatic, up to date", false, Same, PromptAnswer::Yes, true, {}, false},
      {"automatic, newer, Yes", false, Newer, PromptAnswer::Yes, true, {kQuestion}, true},
      {"automatic, newer, No", false, Newer, PromptAnswer::No, true, {kQuestion}, false},
      {"automatic, server down", false, Down, PromptAnswer::Yes, true, {}, false},
      {"automatic, updater missing", false, Newer, PromptAnswer::Yes, false, {kQuestion, notStarted}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform mp;
    SetLocalVersion(mp, "3.0");
    if (c.server != Down) mp.http.Answer(kBuiltInUpdateUrl, 200, IniWith(c.server == Newer ? "3.1" : "3.0"));
    mp.shell.SetExecuteResult(c.updaterStarts);
    test::RecordingPrompts prompts;
    prompts.Answer(c.answer);
    TUpdateCheck check(mp.platform, prompts, kFolder);

    EXPECT_EQ(c.manual ? check.ManualCheck() : check.AutomaticCheck(), c.endsProgram);
    ASSERT_EQ(prompts.calls.size(), c.texts.size());
    for (size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(prompts.calls[i].title, "Tarnwick");
      EXPECT_EQ(prompts.calls[i].text, c.texts[i]);
      EXPECT_EQ(prompts.calls[i].question, c.texts[i] == kQuestion);
      EXPECT_EQ(prompts.calls[i].icon, c.texts[i] == notStarted ? PromptIcon::Error : PromptIcon::Information);
    }
    const bool asked = c.server == Newer;
    ASSERT_EQ(mp.shell.executeCalls.size(), asked && c.answer == PromptAnswer::Yes ? 1u : 0u);
    if (!mp.shell.executeCalls.empty()) {
      const MemoryShell::ExecuteCall& call = mp.shell.executeCalls[0];
      EXPECT_EQ(call.verb, "open");
      EXPECT_EQ(call.file, std::string(kFolder) + "TarnwickUpdate.exe");
      EXPECT_EQ(call.parameters, "");
      EXPECT_EQ(call.directory, "");
      EXPECT_EQ(call.showCommand, 1);
    }
  }
}

TEST(UpdateCheck, StartUpChecksOnlyWhenCheckUpdateIsOn) {
  MemoryPlatform mp;
  mp.http.Answer(kBuiltInUpdateUrl, 200, IniWith("3.1"));
  test::RecordingPrompts prompts;
  prompts.Answer(PromptAnswer::No);
  TUpdateCheck check(mp.platform, prompts, kFolder);
  // The first start finds no settings: "CheckUpdate" is off in that run and written "1" for the next.
  EXPECT_FALSE(check.AtStartup(LoadSettings(mp.registry)));
  EXPECT_TRUE(mp.http.requests.empty());
  EXPECT_FALSE(check.AtStartup(LoadSettings(mp.registry)));
  EXPECT_EQ(mp.http.requests.size(), 1u);
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].text, kQuestion);
  ASSERT_TRUE(StoreSetting(mp.registry, "CheckUpdate", "0"));
  EXPECT_FALSE(check.AtStartup(LoadSettings(mp.registry)));
  EXPECT_EQ(mp.http.requests.size(), 1u);
}

}  // namespace
}  // namespace tw
