// The in-memory profile's own file handling, system clock and shell recorder.
#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

TEST(IniProfile, LinesACallDoesNotTouchStayAsTheyWere) {
  MemoryPlatform mp;
  const std::string ini = "C:\\x.ini";
  mp.files.AddFile(ini, "; note\n[S]\n  spaced  =  kept as is  \nold=1\n\n[T]\nt = 2\n");
  ASSERT_TRUE(mp.profile.WriteString(ini, "s", "OLD", "new"));
  ASSERT_TRUE(mp.profile.WriteString(ini, "S", "added", "3"));
  std::string text;
  ASSERT_TRUE(mp.files.ReadWholeFile(ini, &text));
  EXPECT_EQ(text, "; note\r\n[S]\r\n  spaced  =  kept as is  \r\nold=new\r\nadded=3\r\n\r\n[T]\r\nt = 2\r\n");
}

TEST(IniProfile, BareFileNamesLiveInTheWindowsFolder) {
  MemoryPlatform mp;
  ASSERT_TRUE(mp.profile.WriteString("app.ini", "S", "k", "v"));
  EXPECT_TRUE(mp.files.FileExists("C:\\WINDOWS\\app.ini"));
  ASSERT_TRUE(mp.profile.WriteString("", "S", "k", "w"));
  EXPECT_TRUE(mp.files.FileExists("C:\\WINDOWS\\win.ini"));
  EXPECT_EQ(mp.profile.ReadString("C:\\windows\\WIN.INI", "s", "K", ""), "w");
}

TEST(ProfileStringToInteger, ReadsLikeGetProfileInt) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {{"0", 0},       {"+5", 5},      {"-0x10", -16}, {"0b101", 5},     {"0o17", 15},
                        {"12.5", 12},   {"0x", 0},      {"  -3", -3},   {"2147483648", -2147483647 - 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ProfileStringToInteger(c.text), c.value);
  }
}

TEST(MemorySystemAndShell, SleepMovesTheClockAndTheShellRecords) {
  MemoryPlatform mp;
  uint32_t start = mp.system.TickCount();
  mp.platform.system.Sleep(250);
  EXPECT_EQ(mp.system.TickCount(), start + 250);

  EXPECT_TRUE(mp.platform.shell.Execute("runas", "C:\\x.exe", "-Scan", "C:\\", 1));
  mp.shell.SetExecuteResult(false);
  EXPECT_FALSE(mp.platform.shell.Execute("open", "doc.txt", "", "", 5));
  ASSERT_EQ(mp.shell.executeCalls.size(), 2u);
  EXPECT_EQ(mp.shell.executeCalls[0].verb, "runas");
  EXPECT_EQ(mp.shell.executeCalls[0].parameters, "-Scan");
  EXPECT_EQ(mp.shell.executeCalls[1].showCommand, 5);

  EXPECT_TRUE(mp.platform.shell.OpenInBrowserObject("http://a/", 0, 0, 800, 570));
  mp.shell.SetBrowserAvailable(false);
  EXPECT_FALSE(mp.platform.shell.OpenInBrowserObject("http://b/", 0, 0, 800, 570));
  ASSERT_EQ(mp.shell.browserCalls.size(), 1u);
  EXPECT_EQ(mp.shell.browserCalls[0].address, "http://a/");
  EXPECT_EQ(mp.shell.browserCalls[0].height, 570);
}

}  // namespace
}  // namespace tw
