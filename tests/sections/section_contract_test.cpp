#include "sections/section_contract.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::RecordingPump;
using test::RecordingText;

TEST(SectionTable, CaptionsCategoriesAndKeysOfAllSeventeen) {
  struct Row {
    const char* caption;
    const char* category;
    HKey root;
    const char* keyPath;
  } rows[] = {
      {"ActiveX, OLE, COM", "ActiveX, OLE, COM", kClassesRoot, ""},
      {"User Software Settings", "User Software Settings", kCurrentUser, ""},
      {"System Software Settings", "System Software Settings", kLocalMachine, ""},
      {"Shared DLL's Sections", "Shared DLL's Sections", kLocalMachine,
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"},
      {"Fonts Sections", "Fonts Sections", kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"},
      {"Invalid File Associations", "Invalid File Associations", kClassesRoot, ""},
      {"System Services", "System Services", kLocalMachine, "SYSTEM\\CurrentControlSet\\Services"},
      {"Uninstall Sections", "Uninstall Sections", kLocalMachine,
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
      {"Help Sections", "Help Sections", kLocalMachine, nullptr},
      {"Application Paths", "Application Paths", kLocalMachine,
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"},
      {"Invalid ShortCuts", "Invalid ShortCuts", 0, nullptr},
      {"Empty Registry Keys", "Empty Registry Keys", kUsers, ""},
      {"FileExtensions", "File Extensions", kClassesRoot, ""},
      {"Startup Programs", "Startup Programs", kCurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder"},
      {"Sounds Section", "Sounds Section", kLocalMachine, "Control Panel\\Sounds"},
      {"Start Menu Item", "Start Menu Item", kCurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs"},
      {"Most Recently Used Files", "Most Recently Used Files", kCurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU"},
  };
  for (int n = 1; n <= kSectionCount; ++n) {
    SCOPED_TRACE(n);
    const SectionDef& def = SectionByNumber(n);
    const Row& row = rows[n - 1];
    EXPECT_EQ(def.number, n);
    EXPECT_EQ(&def, &SectionTable()[n - 1]);
    EXPECT_STREQ(def.caption, row.caption);
    EXPECT_STREQ(def.ignoreCategory, row.category);
    EXPECT_EQ(def.root, row.root);
    EXPECT_EQ(def.secondRoot, n == 3 ? kUsers : 0u);
    EXPECT_STREQ(def.keyPath ? def.keyPath : "(none)", row.keyPath ? row.keyPath : "(none)");
    EXPECT_EQ(def.consultsIgnoreList, n != 7 && n != 15);
    EXPECT_EQ(def.scanner == nullptr, def.repairer == nullptr);
  }
  for (int n : {4, 5, 9, 10, 15}) EXPECT_NE(SectionByNumber(n).scanner, nullptr) << n;
  EXPECT_THROW(SectionByNumber(0), std::out_of_range);
  EXPECT_THROW(SectionByNumber(18), std::out_of_range);
}

TEST(SectionContract, StatusEvery200thItemOnTheScanWideCounter) {
  MemoryPlatform mp;
  ProcessState state;
  RecordingPump pump;
  RecordingText status, count;
  TRegistryContents list;
  ScanContext ctx{mp.platform, state, pump, status, count, list};
  state.ProgressTicks = 198;
  ShowStatusEvery200th(ctx, "a");
  ShowStatusEvery200th(ctx, "b");
  ShowStatusEvery200th(ctx, "c");
  EXPECT_EQ(status.History(), (std::vector<std::string>{"b"}));
  EXPECT_EQ(state.ProgressTicks, 201);
}

TEST(SectionContract, OutcomeChecksTellGoneFromUnreadable) {
  MemoryPlatform mp;
  RegKeyHandle key;
  ASSERT_EQ(key.Open(mp.registry, kCurrentUser, "Software\\Kept", true), kOk);
  ASSERT_EQ(mp.registry.SetValue(key.Get(), "", kRegSz, Bytes{'x', 0}), kOk);
  key.Reset();
  struct Case {
    const char* fullKeyPath;
    const char* valueName;
    bool gone;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Kept", "default", false},
      {"HKEY_CURRENT_USER\\Software\\Kept", "other", true},
      {"HKEY_CURRENT_USER\\Software\\Missing", "default", true},
      {"HKEY_CURRENT_USER\\Software\\Locked", "default", false},
      {"NOT_A_ROOT\\Software\\Kept", "default", true},
  };
  mp.registry.DenyAccess(kCurrentUser, "Software\\Locked");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fullKeyPath + std::string("|") + c.valueName);
    EXPECT_EQ(ValueIsGone(mp.registry, c.fullKeyPath, c.valueName), c.gone);
  }
  EXPECT_FALSE(KeyIsGone(mp.registry, kCurrentUser, "Software\\Kept"));
  EXPECT_FALSE(KeyIsGone(mp.registry, kCurrentUser, "Software\\Locked"));
  EXPECT_TRUE(KeyIsGone(mp.registry, kCurrentUser, "Software\\Missing"));
}

}  // namespace
}  // namespace tw
