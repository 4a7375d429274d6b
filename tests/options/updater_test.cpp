#include "options/updater.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"

namespace tw {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Tarnwick\\";
constexpr const char* kUpdateFile = "C:\\Program Files\\Tarnwick\\Update.ini";
constexpr const char* kSetupUrl = "http://www.tarnwick.com/download/tarnwick-3.1-setup.exe?from=update";
constexpr const char* kSaved = "C:\\TEMP\\tarnwick-3.1-setup.exe";

class Line : public ITextTarget {
 public:
  void SetText(const std::string& text) override { texts.push_back(text); }
  std::string Text() const override { return texts.empty() ? "" : texts.back(); }
  std::vector<std::string> texts;
};
class CountingPump : public IMessagePump {
 public:
  void ProcessMessages() override { ++pumps; }
  int pumps = 0;
};

TEST(Updater, DownloadsAndStartsTheInstallerOrOpensTheHomePageAndTellsEveryFailure) {
  enum Server { Ok, NotFound, TooLarge, Down };
  struct Case {
    const char* name;
    const char* updateFile;  // null: no "Update.ini"
    Server server;
    bool saveFails;
    bool startFails;
    UpdaterOutcome expected;
    std::string told;  // a piece of the one message box; empty for none
  };
  const std::string withUrl = std::string("[Version]\r\nVer=3.1\r\nUrl=") + kSetupUrl + "\r\n";
  const std::vector<Case> cases = {
      {"installer", withUrl.c_str(), Ok, false, false, UpdaterOutcome::InstallerStarted, ""},
      {"no Url: home page", "[Version]\r\nVer=3.1\r\n", Ok, false, false, UpdaterOutcome::HomePageOpened,
       "Tarnwick 3.1 can be downloaded from the Tarnwick home page, which opens now:\rhttp://www.tarnwick.com/"},
      {"home page fails", "[Version]\r\nVer=3.1\r\n", Ok, false, true, UpdaterOutcome::Failed,
       "could not be opened"},
      {"no update file", nullptr, Ok, false, false, UpdaterOutcome::Failed, "was not found"},
      {"not a web address", "[Version]\r\nUrl=C:\\setup.exe\r\n", Ok, false, false, UpdaterOutcome::Failed,
       "no web address"},
      {"404", withUrl.c_str(), NotFound, false, false, UpdaterOutcome::Failed, "HTTP status 404"},
      {"too large", withUrl.c_str(), TooLarge, false, false, UpdaterOutcome::Failed, "larger than 64 MB"},
      {"server down", withUrl.c_str(), Down, false, false, UpdaterOutcome::Failed, "could not be reached"},
      {"cannot save", withUrl.c_str(), Ok, true, false, UpdaterOutcome::Failed, "could not be saved"},
      {"cannot start", withUrl.c_str(), Ok, false, true, UpdaterOutcome::Failed, "could not be started"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform mp;
    mp.files.SetTempDir("C:\\TEMP\\");
    mp.files.AddFolder("C:\\Program Files\\Tarnwick");
    if (c.updateFile) mp.files.AddFile(kUpdateFile, c.updateFile);
    if (c.server == Ok) mp.http.Answer(kSetupUrl, 200, "MZ installer");
    if (c.server == NotFound) mp.http.Answer(kSetupUrl, 404, "not here");
    if (c.server == TooLarge) mp.http.Fail(kSetupUrl, HttpOutcome::TooLarge);
    if (c.saveFails) mp.files.SetWritesFail(kSaved, true);
    mp.shell.SetExecuteResult(!c.startFails);
    test::RecordingPrompts prompts;
    Line status;
    CountingPump pump;

    EXPECT_EQ(TUpdater(mp.platform, prompts, status, pump, kFolder).Run(), c.expected);
    if (c.told.empty()) {
      EXPECT_TRUE(prompts.calls.empty());
    } else {
      // Opening the home page is announced first.
      const bool announced = c.updateFile && std::string(c.updateFile).find("Url") == std::string::npos;
      ASSERT_EQ(prompts.calls.size(), announced && c.expected == UpdaterOutcome::Failed ? 2u : 1u);
      EXPECT_EQ(prompts.calls.back().title, "Tarnwick");
      EXPECT_NE(prompts.calls.back().text.find(c.told), std::string::npos) << prompts.calls.back().text;
    }
    std::string saved;
    const bool downloaded = mp.files.ReadWholeFile(kSaved, &saved);
    const bool fetches = c.updateFile && std::string(c.updateFile).find("Url=http") != std::string::npos;
    EXPECT_EQ(downloaded, fetches && c.server == Ok && !c.saveFails);
    if (downloaded) {
      EXPECT_EQ(saved, "MZ installer");
    }
    if (c.expected == UpdaterOutcome::InstallerStarted) {
      ASSERT_EQ(mp.shell.executeCalls.size(), 1u);
      EXPECT_EQ(mp.shell.executeCalls[0].file, kSaved);
      EXPECT_EQ(mp.http.requests[0].maxBytes, kInstallerLimit);
      EXPECT_GT(pump.pumps, 0);
    }
    if (c.expected == UpdaterOutcome::HomePageOpened) {
      ASSERT_EQ(mp.shell.executeCalls.size(), 1u);
      EXPECT_EQ(mp.shell.executeCalls[0].file, "http://www.tarnwick.com/");
    }
    EXPECT_FALSE(status.texts.empty());
  }
}

}  // namespace
}  // namespace tw
