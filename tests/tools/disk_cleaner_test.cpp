#include "tools/disk_cleaner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::RecordingPrompts;
using test::RecordingPump;
using test::RecordingText;

constexpr const char* kExe = "C:\\Tarnwick\\Tarnwick.exe";

class RecordingScreen : public IDiskCleanerScreen {
 public:
  ITextTarget& ScanMessage() override { return message; }
  bool EditFileType(const std::string& title, std::string* pattern, std::string* description) override {
    titles.push_back(title);
    if (!answer) return false;
    *pattern = nextPattern;
    *description = nextDescription;
    return true;
  }
  void ShowDetails(const std::vector<TTempFileInfo>& files) override { details.push_back(files); }
  void Changed() override {}

  RecordingText message;
  bool answer = true;
  std::string nextPattern, nextDescription;
  std::vector<std::string> titles;
  std::vector<std::vector<TTempFileInfo>> details;
};

class DiskCleanerTest : public ::testing::Test {
 protected:
  DiskCleanerTest() {
    mp.files.SetExecutablePath(kExe);
    mp.files.SetDrive('D', kDriveFixed);
    mp.files.SetDrive('E', kDriveCdRom);
    mp.files.SetDrive('F', kDriveFixed, true, 0, 1 << 30);  // full: skipped
    mp.shell.SetItemInfo("C:\\", {"Local Disk (C:)", 3});
  }
  void UseTypes(const std::vector<TJunkType>& types) {
    mp.files.WriteWholeFile("C:\\Tarnwick\\JunkFile.dat", "");
    ASSERT_TRUE(SaveJunkTypes(mp.files, "C:\\Tarnwick\\JunkFile.dat", types));
  }
  // Drives page to the report page.
  void ScanToReport() {
    form.FormCreate();
    form.NextBtnClick();  // types
    form.NextBtnClick();  // scan
    form.NextBtnClick();  // report
  }
  std::vector<std::string> FoundPaths() {
    std::vector<std::string> paths;
    for (const TTempFileInfo& f : form.Found()) paths.push_back(f.FullPath);
    return paths;
  }

  MemoryPlatform mp;
  RecordingPrompts prompts;
  RecordingPump pump;
  RecordingScreen screen;
  TSysDiskCleanerForm form{mp.platform, prompts, pump, screen};
};

TEST_F(DiskCleanerTest, DrivesAreTheFixedOnesWithSpace) {
  form.FormCreate();
  ASSERT_EQ(form.Drives().size(), 2u);
  EXPECT_EQ(form.Drives()[0].Caption, "Local Disk (C:)");
  EXPECT_EQ(form.Drives()[0].IconIndex, 3);
  EXPECT_EQ(form.Drives()[0].TotalSpace, "40960MB");
  EXPECT_EQ(form.Drives()[0].FreeSpace, "10240MB");
  EXPECT_EQ(form.Drives()[1].Caption, "D:\\");
  EXPECT_EQ(form.Drives()[1].Drive, "D:");
}

// The walk over a seeded tree: which entries are found, in which order, with the attribute rule for folders.
TEST_F(DiskCleanerTest, ScanFindsTheTickedTypesByTheAttributeRule) {
  UseTypes({{true, "*.tmp", ""}, {true, "thumbs.db", ""}, {true, "~*.*", ""}, {true, "file????._dd", ""},
            {false, "*.log", ""}});
  mp.files.AddFolder("D:\\junk");
  mp.files.AddFile("D:\\junk\\a.tmp", std::string(10, 'x'));
  mp.files.AddFile("D:\\junk\\Thumbs.db");       // case counts
  mp.files.AddFile("D:\\junk\\b.TMP");           // case counts
  mp.files.AddFile("D:\\junk\\~$doc.doc");
  mp.files.AddFile("D:\\junk\\file0001._dd");
  mp.files.AddFile("D:\\junk\\x.log");           // unticked
  mp.files.AddFile("D:\\junk\\hidden.tmp", "", kAttrHidden);
  mp.files.AddFile("D:\\dir.tmp\\inner.tmp");    // a folder named like junk: contents first, then itself
  mp.files.AddFile("D:\\ro\\in-ro.tmp");
  mp.files.SetAttributes("D:\\ro", kAttrDirectory | kAttrReadOnly);  // 0x11: not entered
  mp.files.AddFile("D:\\ro.tmp\\in.tmp");
  mp.files.SetAttributes("D:\\ro.tmp", kAttrDirectory | kAttrReadOnly);  // not entered, still tested
  mp.files.AddFile("D:\\sys\\in-sys.tmp");
  mp.files.SetAttributes("D:\\sys", kAttrDirectory | kAttrSystem | kAttrHidden);  // 0x16: not entered
  mp.files.AddFile("D:\\big.tmp");
  mp.files.SetReportedSize("D:\\big.tmp", 5ull << 30);
  form.FormCreate();
  form.DriveCheckClick(0, false);
  form.NextBtnClick();
  form.NextBtnClick();
  std::vector<std::string> found = FoundPaths();
  const std::vector<std::string> expected = {"D:\\big.tmp", "D:\\dir.tmp\\inner.tmp", "D:\\dir.tmp",
                                             "D:\\junk\\a.tmp", "D:\\junk\\file0001._dd",
                                             "D:\\junk\\hidden.tmp", "D:\\junk\\~$doc.doc", "D:\\ro.tmp"};
  EXPECT_EQ(found, expected);
  EXPECT_EQ(form.State(), kCleanerScanned);
  EXPECT_EQ(form.ScanRows()[0].Status, "Finished");
  EXPECT_EQ(screen.message.Text(), "");
  EXPECT_EQ(mp.files.OpenSearchCount(), 0u);

  form.NextBtnClick();
  ASSERT_EQ(form.ReportRows().size(), 1u) << "a drive without findings has no row";
  EXPECT_EQ(form.ReportRows()[0].Total, "8");
  EXPECT_EQ(form.ReportRows()[0].Space, std::to_string(((5ull << 30) + 10) / 1024) + " KB");
  EXPECT_EQ(form.StatusPanels()[1], "8");
  EXPECT_EQ(form.StatusPanels()[2], "5242880 KB");
  form.ReportCheckClick(0, false);
  EXPECT_EQ(form.StatusPanels()[1], "0");
  form.ReportListViewDblClick(0);
  form.Label23Click();
  ASSERT_EQ(screen.details.size(), 2u);
  EXPECT_EQ(screen.details[0].size(), 8u);
  EXPECT_EQ(TSysDiskCleanerForm::DetailLines(screen.details[0][0]),
            (std::array<std::string, 3>{"FileName: big.tmp", "Path: D:\\big.tmp", "Size: 5242880KB"}));
}

TEST_F(DiskCleanerTest, StopMarksTheCurrentDriveAndLeavesTheRest) {
  UseTypes({{true, "*.tmp", ""}});
  for (int i = 0; i < 50; ++i) mp.files.AddFile("C:\\many\\" + std::to_string(i) + ".tmp");
  pump.OnPump([&](int n) {
    if (n == 20) form.StopScanBtnClick();
    if (n == 21) form.NextBtnClick();  // ignored while the scan runs
  });
  form.FormCreate();
  form.NextBtnClick();
  form.NextBtnClick();
  EXPECT_EQ(form.State(), kCleanerStopped);
  ASSERT_EQ(form.ScanRows().size(), 2u);
  EXPECT_EQ(form.ScanRows()[0].Status, "User Stop");
  EXPECT_EQ(form.ScanRows()[1].Status, "");
  EXPECT_EQ(form.Page(), kScanPage);
  EXPECT_LT(form.Found().size(), 50u);
  EXPECT_EQ(mp.files.OpenSearchCount(), 0u);
}

// Each cleanup mode on files that go, files that cannot go, and entries the cleanup must not touch.
TEST_F(DiskCleanerTest, CleanupModesReportEachFile) {
  struct Case {
    const char* what;
    CleanupMode mode;
    std::vector<std::string> statuses;  // for a.tmp, locked.tmp, gone.tmp, full.tmp (a folder)
  };
  const std::vector<Case> cases = {
      {"delete", CleanupMode::Delete, {"File Deleted", "Deleted Error", "Deleted Error", "Deleted Error"}},
      {"recycle", CleanupMode::Recycle, {"File Deleted", "Deleted Error", "Deleted Error", "Deleted Error"}},
      {"move", CleanupMode::Move, {"File Moved", "Moved Error", "Moved Error", "Moved Error"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPlatform p;
    p.files.SetExecutablePath(kExe);
    SaveJunkTypes(p.files, "C:\\Tarnwick\\JunkFile.dat", {{true, "*.tmp", ""}});
    p.files.AddFile("C:\\w\\a.tmp", "a");
    p.files.AddFile("C:\\w\\locked.tmp", "l");
    p.files.AddFile("C:\\w\\gone.tmp", "g");
    p.files.AddFile("C:\\w\\full.tmp\\keep.txt", "k");
    p.files.AddFile("C:\\dest\\a.tmp", "already there");
    p.files.SetAttributes("C:\\dest", kAttrDirectory | kAttrReadOnly);  // not entered by the scan
    RecordingPrompts ask;
    ask.Answer(PromptAnswer::Yes);
    RecordingPump pp;
    RecordingScreen sc;
    p.shell.QueueFolderPick("C:\\dest");
    TSysDiskCleanerForm f{p.platform, ask, pp, sc};
    f.FormCreate();
    for (int i = 0; i < 4; ++i) f.NextBtnClick();
    if (c.mode == CleanupMode::Delete) f.RadioButton1Click();
    if (c.mode == CleanupMode::Move) f.RadioButton3Click();
    p.files.Lock("C:\\w\\locked.tmp");
    p.files.RemoveFile("C:\\w\\gone.tmp");
    f.NextBtnClick();
    ASSERT_EQ(f.Page(), kCleanupPage);
    std::vector<std::string> ordered;  // by the file names above
    for (const char* name : {"a.tmp", "locked.tmp", "gone.tmp", "full.tmp"})
      for (const CleanupRow& row : f.CleanupRows())
        if (row.Path == std::string("C:\\w\\") + name) ordered.push_back(row.Status);
    EXPECT_EQ(ordered, c.statuses);
    EXPECT_FALSE(p.files.FileExists("C:\\w\\a.tmp"));
    EXPECT_TRUE(p.files.FileExists("C:\\w\\full.tmp\\keep.txt"));
    std::string kept;
    p.files.ReadWholeFile("C:\\dest\\a.tmp", &kept);
    EXPECT_EQ(kept, "already there");
    EXPECT_EQ(ask.calls.size(), c.mode == CleanupMode::Delete ? 1u : 0u);
    if (c.mode == CleanupMode::Recycle) {
      EXPECT_EQ(p.shell.recycled, std::vector<std::string>{"C:\\w\\a.tmp"});
      EXPECT_EQ(p.shell.fileOperations[0].flags, 0x450u);
    }
    if (c.mode == CleanupMode::Move) {
      EXPECT_EQ(p.shell.browseTitles, std::vector<std::string>{"Select Directory"});
      EXPECT_TRUE(p.files.FileExists("C:\\dest\\a (2).tmp"));
    }
  }
}

TEST_F(DiskCleanerTest, UnsafeCleanupsStopOrFailBeforeTouchingAnything) {
  UseTypes({{true, "*.tmp", ""}});
  mp.files.AddFile("C:\\w\\a.tmp", "a");
  mp.shell.QueueFolderPick("C:\\dest");
  mp.files.AddFolder("C:\\dest");
  form.FormCreate();
  for (int i = 0; i < 4; ++i) form.NextBtnClick();
  // Permanent deletion answered No: the wizard stays on the options page.
  form.RadioButton1Click();
  form.NextBtnClick();
  EXPECT_EQ(form.Page(), kCleanupOptionsPage);
  EXPECT_EQ(prompts.calls.at(0).defaultAnswer, PromptAnswer::No);
  // Moving into a folder that vanished.
  form.RadioButton3Click();
  EXPECT_EQ(form.MoveFolder(), "C:\\dest");
  mp.files.RemoveFolder("C:\\dest");
  form.NextBtnClick();
  ASSERT_FALSE(form.CleanupRows().empty());
  for (const CleanupRow& row : form.CleanupRows()) EXPECT_EQ(row.Status, "Moved Error") << row.Path;
  EXPECT_TRUE(mp.files.FileExists("C:\\w\\a.tmp"));
  EXPECT_FALSE(mp.files.DirectoryExists("C:\\dest"));
  EXPECT_EQ(form.NextCaption(), std::string("Finish"));
  EXPECT_FALSE(form.BackEnabled());
  form.NextBtnClick();
  EXPECT_EQ(form.Page(), kDrivesPage);
}

TEST_F(DiskCleanerTest, TypeTableIsLoadedOnPageOneAndSavedOnPageTwo) {
  form.FormCreate();
  form.NextBtnClick();
  EXPECT_EQ(form.Types().size(), 47u);
  EXPECT_TRUE(mp.files.FileExists("C:\\Tarnwick\\JunkFile.dat"));
  screen.nextPattern = "*.zzz";
  screen.nextDescription = "Mine";
  form.AddBtnClick();
  form.JunkFilesListViewMouseDown(0);
  screen.nextPattern = "*.swq";
  form.EditBtnClick();
  form.JunkFilesListViewMouseDown(1);
  prompts.Answer(PromptAnswer::Yes);
  form.DelBtnClick();
  EXPECT_EQ(screen.titles, (std::vector<std::string>{"Add a new file type", "Modify file type"}));
  EXPECT_EQ(prompts.calls.at(0).text, "You want to Delete selected item?");
  form.BackBtnClick();
  form.NextBtnClick();  // page 1 again: unsaved changes are dropped
  EXPECT_EQ(form.Types().size(), 47u);
  form.AddBtnClick();
  form.NextBtnClick();  // page 2 saves
  form.BackBtnClick();
  form.BackBtnClick();
  form.NextBtnClick();
  ASSERT_EQ(form.Types().size(), 48u);
  EXPECT_EQ(form.Types().back().Pattern, "*.swq");
}

}  // namespace
}  // namespace tw
