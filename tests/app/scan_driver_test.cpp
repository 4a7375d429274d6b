#include "app/scan_driver.h"

#include <gtest/gtest.h>

#include <array>

#include "app/fake_sections.h"
#include "app/ignore_list.h"
#include "platform/memory/memory_platform.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::Fakes;
using test::RecordingPump;
using test::RecordingText;

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\tarnwick.exe";
constexpr const char* kResult = "C:\\Program Files\\Tarnwick\\ScanResult";

class RecordingScanPage : public IScanPage {
 public:
  RecordingScanPage() { tags.fill(1); images.fill(kImageSectionOn); }
  int IconTag(int index) const override { return tags[static_cast<size_t>(index)]; }
  void SetIconImage(int index, int image) override {
    images[static_cast<size_t>(index)] = image;
    imageLog.push_back({index, image});
  }
  ITextTarget& CountLabel(int index) override { return counts[static_cast<size_t>(index)]; }
  ITextTarget& StatusPanel() override { return status; }
  IMessagePump& Pump() override { return pump; }
  void StartScanTimer() override { timerRunning = true; ++timerStarts; }
  void StopScanTimer() override { timerRunning = false; }

  std::array<int, kSectionCount> tags{};
  std::array<int, kSectionCount> images{};
  std::vector<std::pair<int, int>> imageLog;
  std::array<RecordingText, kSectionCount> counts;
  RecordingText status;
  RecordingPump pump;
  bool timerRunning = false;
  int timerStarts = 0;
};

class ScanDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mp.files.SetExecutablePath(kExe);
    test::ResetFakeScans(lists);
  }
  void Run(const SectionDef* table = test::FakeSectionTable()) {
    TScanDriver driver(mp.platform, state, lists, page, table);
    state.ScanState = kStateScanning;
    driver.Run();
  }
  std::string ResultFile() {
    std::string text;
    return mp.files.ReadWholeFile(kResult, &text) ? text : "<none>";
  }

  MemoryPlatform mp;
  ProcessState state;
  ProblemLists lists;
  RecordingScanPage page;
};

TEST_F(ScanDriverTest, RunsSelectedSectionsInOrderWithTheirRootsAndPaths) {
  for (int off : {2, 7, 12}) page.tags[static_cast<size_t>(off - 1)] = 0;
  Fakes().findings[4] = 2;
  // Section 8 has no scanner yet: selected, but not scanned.
  std::vector<SectionDef> table(test::FakeSectionTable(), test::FakeSectionTable() + kSectionCount);
  table[7].scanner = nullptr;
  Run(table.data());

  std::vector<int> order;
  for (const auto& call : Fakes().calls) order.push_back(call.section);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 3, 4, 5, 6, 9, 10, 11, 13, 14, 15, 16, 17}));
  const auto& calls = Fakes().calls;
  EXPECT_EQ(calls[1].root, kLocalMachine);
  EXPECT_EQ(calls[2].root, kUsers);  // section 3's second pass, same list
  EXPECT_EQ(calls[3].keyPath, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
  EXPECT_EQ(calls[6].keyPath, "");   // section 9 is handed no key path
  EXPECT_EQ(calls[8].root, 0u);      // section 11 is handed no root
  EXPECT_EQ(calls[0].root, kClassesRoot);

  for (int i = 0; i < kSectionCount; ++i) {
    SCOPED_TRACE(i + 1);
    const bool selected = page.tags[static_cast<size_t>(i)] == 1 && i + 1 != 8;
    const int expected = !selected ? kImageNone : i + 1 == 4 ? kImageProblemsFound : kImageNothingFound;
    EXPECT_EQ(page.images[static_cast<size_t>(i)], expected);
    EXPECT_EQ(page.counts[static_cast<size_t>(i)].Text(), !selected ? "" : i + 1 == 4 ? "2" : "0");
  }
  EXPECT_EQ(lists.Sections[4].Count(), 2);
  EXPECT_FALSE(page.timerRunning);
  EXPECT_EQ(page.timerStarts, 1);
}

TEST_F(ScanDriverTest, AbortStopsTheRunningSectionAndStartsNoOther) {
  Fakes().findings[2] = 1;
  Fakes().findings[5] = 5;
  Fakes().onItem = [&](int section, int item) {
    if (section == 5 && item == 1) state.ScanState = kStateAbort;
  };
  Run();

  EXPECT_EQ(Fakes().calls.back().section, 5);
  EXPECT_EQ(lists.Sections[5].Count(), 2);  // the scanner stops at its next item
  EXPECT_EQ(page.images[1], kImageProblemsFound);
  EXPECT_EQ(page.images[4], kImageProblemsFound);
  for (int i = 5; i < kSectionCount; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(page.images[static_cast<size_t>(i)], kImageNone);
    EXPECT_EQ(page.counts[static_cast<size_t>(i)].Text(), "");
  }
  EXPECT_EQ(ResultFile(), "[Scan]\r\nUser Software Settings=1\r\nFonts Sections=2\r\n");
}

TEST_F(ScanDriverTest, ResultFileHoldsTheCountsOfTheLastScanOnly) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> findings;  // section, problems
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"two sections", {{5, 3}, {15, 1}}, "[Scan]\r\nFonts Sections=3\r\nSounds Section=1\r\n"},
      {"replaced by the next scan", {{13, 12}}, "[Scan]\r\nFileExtensions=12\r\n"},
      {"nothing found leaves no file", {}, "<none>"},
      {"a new file after none", {{1, 1}, {17, 2}}, "[Scan]\r\nActiveX, OLE, COM=1\r\nMost Recently Used Files=2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lists.ClearAll();
    test::ResetFakeScans(lists);
    for (auto [section, count] : c.findings) Fakes().findings[section] = count;
    Run();
    EXPECT_EQ(ResultFile(), c.expected);
    EXPECT_FALSE(mp.files.FileExists(std::string(kResult) + ".tmp"));
  }
}

TEST_F(ScanDriverTest, StartsFromClearedIconsResetCountersAndTheIgnoreFile) {
  state.ProblemCounter = 41;
  state.ProgressTicks = 900;
  state.FileAttributes.entries["C:\\GONE.EXE"] = kInvalidAttributes;  // a file made since the last scan
  mp.files.AddFile("C:\\Program Files\\Tarnwick\\TarnwickIgnores.dat", "Fonts Sections|HKEY_X|a\r\n");
  Fakes().findings[1] = 2;
  Run();

  for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(page.imageLog[static_cast<size_t>(i)].second, kImageNone);
  EXPECT_EQ(lists.Sections[1].Items(0).Content.SeqNo, 1);
  EXPECT_EQ(state.ProblemCounter, 2);
  EXPECT_EQ(state.ProgressTicks, 0);
  EXPECT_TRUE(state.FileAttributes.entries.empty());
  ASSERT_EQ(state.Ignores.Count(), 1);
  EXPECT_EQ(state.Ignores.Items(0).Category, "Fonts Sections");
}

TEST_F(ScanDriverTest, FilesThatCannotBeReadOrReplacedAreNeverTakenForGood) {
  const std::string ignoreFile = "C:\\Program Files\\Tarnwick\\TarnwickIgnores.dat";
  const std::string temp = std::string(kResult) + ".tmp";
  struct Case {
    const char* name;
    std::vector<std::string> locked;  // files there but held by another program
    bool unreadable;                  // the driver says the ignore list could not be read
    bool selected;                    // the findings start ticked
    std::string result;               // ScanResult afterwards
    std::string status;               // the status panel's last text
  };
  const std::string fresh = "[Scan]\r\nFonts Sections=1\r\n";
  const std::vector<Case> cases = {
      {"all files usable", {}, false, true, fresh, ""},
      {"locked ignore list", {ignoreFile}, true, false, fresh, ""},
      {"locked old result", {kResult}, false, true, "[Scan]\r\nFileExtensions=9\r\n", kScanResultStaleText},
      {"locked leftover temporary file", {temp}, false, true, "<none>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform fresh_mp;
    fresh_mp.files.SetExecutablePath(kExe);
    fresh_mp.files.AddFile(ignoreFile, "Fonts Sections|HKEY_X|a\r\n");
    fresh_mp.files.AddFile(kResult, "[Scan]\r\nFileExtensions=9\r\n");
    fresh_mp.files.AddFile(temp, "[Scan]\r\nFileExtensions=8\r\n");
    for (const std::string& file : c.locked) fresh_mp.files.Lock(file);
    lists.ClearAll();
    test::ResetFakeScans(lists);
    Fakes().findings[5] = 1;
    page.status.SetText("");
    state.SelectAll = true;
    TScanDriver driver(fresh_mp.platform, state, lists, page, test::FakeSectionTable());
    state.ScanState = kStateScanning;
    driver.Run();
    EXPECT_EQ(driver.IgnoreListUnreadable(), c.unreadable);
    EXPECT_EQ(lists.Sections[5].Items(0).Content.Selected != 0, c.selected);
    EXPECT_TRUE(state.SelectAll) << "the setting itself stays";
    for (const std::string& file : c.locked) fresh_mp.files.Lock(file, false);
    std::string text;
    EXPECT_EQ(fresh_mp.files.ReadWholeFile(kResult, &text) ? text : "<none>", c.result);
    EXPECT_EQ(page.status.Text(), c.status);
  }
}

TEST_F(ScanDriverTest, TimerAnimatesTheSectionAtWork) {
  TScanDriver driver(mp.platform, state, lists, page, test::FakeSectionTable());
  page.imageLog.clear();
  driver.TimerTick();  // no section at work: nothing drawn
  EXPECT_TRUE(page.imageLog.empty());

  std::vector<int> frames;
  Fakes().findings[6] = 1;
  Fakes().onItem = [&](int section, int) {
    if (section != 6) return;
    page.imageLog.clear();
    for (int i = 0; i < 9; ++i) driver.TimerTick();
    for (auto [index, image] : page.imageLog) {
      EXPECT_EQ(index, 5);
      frames.push_back(image);
    }
  };
  state.ScanState = kStateScanning;
  driver.Run();
  EXPECT_EQ(frames, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 4, 5}));
  EXPECT_EQ(driver.CurrentSection(), -1);
}

}  // namespace
}  // namespace tw
