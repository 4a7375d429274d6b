// The scan result file through the real profile functions, which cache files: each scan's file must hold that
// scan's sections only, and a scan without problems must leave none.
#include <gtest/gtest.h>

#include "app/scan_driver.h"
#include "platform/win32/win32_platform.h"
#include "support/test_platform.h"

namespace tw {
namespace {

TEST(ScanResultE2E, EachScanReplacesTheFileThroughTheProfileCache) {
  auto tp = MakeTestPlatform();
  Platform& platform = tp->Get();
  const std::string path = tp->ScratchFolder() + "\\ScanResult";
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> findings;  // section number, problems
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"first scan", {{4, 2}, {5, 1}}, "[Scan]\r\nShared DLL's Sections=2\r\nFonts Sections=1\r\n"},
      {"second scan, other sections", {{10, 3}}, "[Scan]\r\nApplication Paths=3\r\n"},
      {"nothing found", {}, ""},
      {"after no file", {{15, 1}}, "[Scan]\r\nSounds Section=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProblemLists lists;
    for (auto [section, count] : c.findings)
      for (int i = 0; i < count; ++i) lists.Sections[section].Add();
    WriteScanResult(platform, path, lists);
    std::string text;
    const bool exists = platform.files.ReadWholeFile(path, &text);
    EXPECT_EQ(exists, !c.expected.empty());
    EXPECT_EQ(text, c.expected);
    EXPECT_FALSE(platform.files.FileExists(path + ".tmp"));
  }
}

}  // namespace
}  // namespace tw
