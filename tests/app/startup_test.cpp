#include "app/startup.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"

namespace tw {
namespace {

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\tarnwick.exe";

class FakeInstance : public IRunningInstance {
 public:
  bool Exists() override { return exists; }
  void AskToRestore() override { ++restoreRequests; }
  void AskToScan() override { ++scanRequests; }
  bool exists = false;
  int restoreRequests = 0;
  int scanRequests = 0;
};

std::optional<std::string> ReadString(IRegistry& reg, HKey root, const std::string& path, const std::string& name) {
  TRegistry key(reg, root);
  if (!key.OpenKey(path, false) || !key.ValueExists(name)) return std::nullopt;
  return key.ReadString(name);
}

void WriteString(IRegistry& reg, HKey root, const std::string& path, const std::string& name,
                 const std::string& value) {
  TRegistry key(reg, root);
  ASSERT_TRUE(key.OpenKey(path, true));
  key.WriteString(name, value);
}

TEST(Startup, ARunningInstanceIsAskedToRestoreOrToScanAndNothingElseHappens) {
  struct Case {
    std::vector<std::string> args;
    int restoreRequests;
    int scanRequests;
  };
  for (const Case& c : std::vector<Case>{{{}, 1, 0}, {{"  "}, 1, 0}, {{"-Scan"}, 0, 1}, {{"x", "y"}, 0, 1}}) {
    SCOPED_TRACE(c.args.empty() ? "no argument" : "'" + c.args[0] + "'");
    MemoryPlatform mp;
    FakeInstance running;
    running.exists = true;
    const StartupResult result = RunStartup(mp.platform, running, c.args, "tarnwick.exe");
    EXPECT_TRUE(result.endNow);
    EXPECT_EQ(running.restoreRequests, c.restoreRequests);
    EXPECT_EQ(running.scanRequests, c.scanRequests);
    TRegistry key(mp.registry, kCurrentUser);
    EXPECT_FALSE(key.KeyExists(kSettingsKey));
    EXPECT_TRUE(mp.shell.executeCalls.empty());
  }
}

TEST(Startup, ElevatedRelaunchDecisions) {
  struct Case {
    const char* name;
    uint32_t major;
    std::optional<std::string> setup;  // the sibling installer's marker
    std::optional<int32_t> enableLua;
    std::optional<std::string> vista;
    bool relaunches;
    std::optional<std::string> vistaAfter;
  };
  const std::vector<Case> cases = {
      {"XP never relaunches", 5, std::nullopt, 1, std::nullopt, false, std::nullopt},
      {"UAC on, first start", 6, std::nullopt, 1, std::nullopt, true, "1"},
      {"UAC on, marker empty", 6, std::nullopt, 1, "", true, "1"},
      {"UAC on, the elevated start clears the marker", 6, std::nullopt, 1, "1", false, ""},
      {"UAC off", 6, std::nullopt, 0, std::nullopt, false, std::nullopt},
      {"no policy key", 6, std::nullopt, std::nullopt, std::nullopt, false, std::nullopt},
      {"sibling installer just ran", 6, "1", 1, std::nullopt, false, std::nullopt},
      {"sibling marker other than 1", 10, "0", 1, std::nullopt, true, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform mp;
    mp.files.SetExecutablePath(kExe);
    mp.system.SetVersion({c.major, 0, 6000, 2});
    if (c.setup) WriteString(mp.registry, kCurrentUser, kSiblingKey, kSiblingMarker, *c.setup);
    if (c.enableLua) {
      TRegistry key(mp.registry, kLocalMachine);
      ASSERT_TRUE(key.OpenKey(kPoliciesSystemKey, true));
      key.WriteInteger("EnableLUA", *c.enableLua);
    }
    if (c.vista) WriteString(mp.registry, kCurrentUser, kSettingsKey, kElevationMarker, *c.vista);
    FakeInstance running;
    const StartupResult result = RunStartup(mp.platform, running, {}, "tarnwick.exe");

    EXPECT_EQ(result.endNow, c.relaunches);
    ASSERT_EQ(mp.shell.executeCalls.size(), c.relaunches ? 1u : 0u);
    if (c.relaunches) {
      EXPECT_EQ(mp.shell.executeCalls[0].verb, "runas");
      EXPECT_EQ(mp.shell.executeCalls[0].file, kExe);
    }
    EXPECT_EQ(ReadString(mp.registry, kCurrentUser, kSettingsKey, kElevationMarker), c.vistaAfter);
    EXPECT_EQ(ReadString(mp.registry, kCurrentUser, kSiblingKey, kSiblingMarker), std::nullopt);
    TRegistry sibling(mp.registry, kCurrentUser);
    EXPECT_EQ(sibling.KeyExists(kSiblingKey), c.major > 5);
    // Settings are loaded only by an instance that goes on.
    EXPECT_EQ(ReadString(mp.registry, kCurrentUser, kSettingsKey, "Version").has_value(), !c.relaunches);
  }
}

TEST(Startup, TheElevatedInstanceGetsTheOriginalArguments) {
  struct Case {
    std::string commandLine;
    std::string parameters;
  };
  const std::vector<Case> cases = {
      {"\"C:\\Program Files\\Tarnwick\\tarnwick.exe\" -Scan", "-Scan"},
      {"C:\\Tarnwick\\tarnwick.exe   -Scan  \"two words\"", "-Scan  \"two words\""},
      {"tarnwick.exe", ""},
      {"\"C:\\Program Files\\Tarnwick\\tarnwick.exe\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    MemoryPlatform mp;
    mp.files.SetExecutablePath(kExe);
    mp.system.SetVersion({6, 0, 6000, 2});
    TRegistry key(mp.registry, kLocalMachine);
    ASSERT_TRUE(key.OpenKey(kPoliciesSystemKey, true));
    key.WriteInteger("EnableLUA", 1);
    FakeInstance running;
    ASSERT_TRUE(RunStartup(mp.platform, running, {"-Scan"}, c.commandLine).endNow);
    ASSERT_EQ(mp.shell.executeCalls.size(), 1u);
    EXPECT_EQ(mp.shell.executeCalls[0].parameters, c.parameters);

    // The relaunched instance clears the marker, goes on and keeps the argument for its first activation.
    const StartupResult elevated = RunStartup(mp.platform, running, {"-Scan"}, c.commandLine);
    EXPECT_FALSE(elevated.endNow);
    EXPECT_EQ(elevated.startArgument, "-Scan");
  }
}

TEST(Startup, CommandLineTail) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a.exe -Scan", "-Scan"},
      {"  a.exe\t-Scan x", "-Scan x"},
      {"\"C:\\My Apps\\a.exe\" -Scan", "-Scan"},
      {"\"C:\\My Apps\\a.exe\"-Scan", "-Scan"},
      {"\"unclosed quote", ""},
      {"", ""},
  };
  for (const auto& [line, tail] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(CommandLineTail(line), tail);
  }
}

TEST(Startup, SettingsAndStartArgumentOfANormalStart) {
  MemoryPlatform mp;
  FakeInstance running;
  const StartupResult result = RunStartup(mp.platform, running, {"  -Scan ", "more"}, "t.exe \"  -Scan \" more");
  EXPECT_FALSE(result.endNow);
  EXPECT_EQ(result.startArgument, "  -Scan ");  // exactly as passed
  EXPECT_EQ(ReadString(mp.registry, kCurrentUser, kSettingsKey, "Version"), "3.0");
  EXPECT_EQ(StartArgument({}), "");
}

TEST(Startup, PlatformCodeTrayTipAndTrayActions) {
  EXPECT_EQ(OsPlatformCode(0), 1);
  EXPECT_EQ(OsPlatformCode(1), 2);
  EXPECT_EQ(OsPlatformCode(2), 4);
  EXPECT_EQ(OsPlatformCode(3), 0);

  const std::string long64(64, 'x');
  EXPECT_EQ(TrayTip(long64), std::string(63, 'x'));
  EXPECT_EQ(TrayTip("Tarnwick"), "Tarnwick");
  EXPECT_EQ(TrayTip(std::string(63, 'y')), std::string(63, 'y'));

  const std::vector<std::pair<uint32_t, TrayAction>> actions = {
      {515, TrayAction::Restore}, {516, TrayAction::PopupMenu}, {16, TrayAction::AbortAndExit},
      {513, TrayAction::None},    {512, TrayAction::None},      {517, TrayAction::None}};
  for (auto [message, action] : actions) {
    SCOPED_TRACE(message);
    EXPECT_EQ(TrayCallbackAction(message), action);
  }
}

}  // namespace
}  // namespace tw
