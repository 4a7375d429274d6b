#include "app/main_window.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "app/fake_sections.h"
#include "platform/memory/memory_platform.h"
#include "support/recording_form_view.h"

namespace tw {
namespace {

using test::Fakes;
using test::RecordingPump;
using test::RecordingFormView;

constexpr const char* kExe = "C:\\Tarnwick\\tarnwick.exe";

// The bottom panel as the view shows it: status, Select All, Scan Now, Abort, Repair, Finish.
std::string Shown(const TTarnwickForm& form) {
  std::string s;
  s += form.StatusPanelVisible() ? 'S' : '-';
  s += form.SelectAllVisible() ? 'A' : '-';
  s += form.ScanNowVisible() ? 'N' : '-';
  s += form.AbortVisible() ? 'X' : '-';
  s += form.RepairVisible() ? 'R' : '-';
  s += form.FinishVisible() ? 'F' : '-';
  return s;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mp.files.SetExecutablePath(kExe);
    settings.HelpURL = "http://help.example/";
    settings.SelectAll = true;
  }
  TTarnwickForm& Make(const std::string& startArgument = "") {
    form = std::make_unique<TTarnwickForm>(mp.platform, settings, view, startArgument, test::FakeSectionTable());
    test::ResetFakeScans(form->Lists());
    form->FormCreate();
    return *form;
  }

  MemoryPlatform mp;
  Settings settings;
  RecordingFormView view;
  std::unique_ptr<TTarnwickForm> form;
};

TEST_F(MainWindowTest, ModesShowTheirControlsThroughAScan) {
  TTarnwickForm& f = Make();
  EXPECT_EQ(f.Mode(), kModeIdle);
  EXPECT_EQ(Shown(f), "-AN---");
  EXPECT_EQ(f.MainPage(), kScanSheet);
  EXPECT_EQ(f.ScanPage(), kScanSectionsPage);

  struct Case {
    const char* name;
    int problemsInSection3;
    int page;
    int mode;
    std::string shown;
  };
  for (const Case& c : std::vector<Case>{{"with problems", 2, kRepairPage, kModeReview, "-A--R-"},
                                         {"without problems", 0, kFinishPage, kModeFinish, "-----F"}}) {
    SCOPED_TRACE(c.name);
    f.ScanBtnClick();
    test::ResetFakeScans(f.Lists());
    Fakes().findings[3] = c.problemsInSection3;
    std::string during;
    uint8_t stateDuring = 0;
    view.pump.OnPump([&](int) {
      during = Shown(f);
      stateDuring = f.State().ScanState;
    });
    f.ScanNowBtnClick();
    if (c.problemsInSection3 > 0) {
      EXPECT_EQ(during, "S--X--");
      EXPECT_EQ(stateDuring, kStateScanning);
    }
    EXPECT_EQ(f.State().ScanState, kStateIdle);
    EXPECT_EQ(f.ScanPage(), c.page);
    EXPECT_EQ(f.Mode(), c.mode);
    EXPECT_EQ(Shown(f), c.shown);
  }
  ASSERT_EQ(f.Lists().Repairs.Count(), 1);
  EXPECT_EQ(f.Lists().Repairs.Items(0).Rec.Caption, "Problems Found: 0");
  EXPECT_EQ(f.Lists().Repairs.Items(0).Rec.Status, "");
}

TEST_F(MainWindowTest, ScanWithProblemsFillsTheReviewInSectionOrder) {
  TTarnwickForm& f = Make();
  Fakes().findings[9] = 1;
  Fakes().findings[2] = 2;
  f.ScanNowBtnClick();
  const TRegistryContents& review = f.Lists().Review;
  ASSERT_EQ(review.Count(), 3);
  EXPECT_EQ(review.Items(0).Content.FullKeyPath, "HKEY_CURRENT_USER\\fake\\2");
  EXPECT_EQ(review.Items(2).Content.FullKeyPath, "HKEY_LOCAL_MACHINE\\fake\\9");
  EXPECT_EQ(f.ProblemsHeading(), "  Details of Problems Found: 3");
  EXPECT_EQ(f.Icon(1).Image, kImageProblemsFound);
  EXPECT_EQ(view.counts[1].Text(), "2");
  EXPECT_EQ(f.Icon(2).Image, kImageNothingFound);
  EXPECT_EQ(view.counts[2].Text(), "0");

  // A second scan starts from empty lists.
  test::ResetFakeScans(f.Lists());
  Fakes().findings[17] = 1;
  f.ScanNowBtnClick();
  ASSERT_EQ(f.Lists().Review.Count(), 1);
  EXPECT_EQ(f.Lists().Sections[2].Count(), 0);
  EXPECT_EQ(f.ProblemsHeading(), "  Details of Problems Found: 1");
}

TEST_F(MainWindowTest, AnIgnoreListThatCannotBeReadIsToldAfterTheScan) {
  for (bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "locked" : "readable");
    view.prompts.calls.clear();
    mp.files.AddFile("C:\\Tarnwick\\TarnwickIgnores.dat", "");
    mp.files.Lock("C:\\Tarnwick\\TarnwickIgnores.dat", locked);
    TTarnwickForm& f = Make();
    Fakes().findings[4] = 1;
    f.ScanNowBtnClick();
    EXPECT_EQ(f.ProblemChecked(0), !locked);
    ASSERT_EQ(view.prompts.calls.size(), locked ? 1u : 0u);
    if (locked) {
      EXPECT_EQ(view.prompts.calls[0].title, "Tarnwick");
      EXPECT_EQ(view.prompts.calls[0].text,
                "The ignore list\rC:\\Tarnwick\\TarnwickIgnores.dat\rcould not be read.\r\rEntries you excluded may "
                "be listed again, so the problems found start unselected.");
    }
  }
}

TEST_F(MainWindowTest, NoSectionSelectedRunsNothingAndEndsOnTheFinishPage) {
  mp.files.AddFile("C:\\Tarnwick\\ScanResult", "[Scan]\r\nFonts Sections=3\r\n");
  TTarnwickForm& f = Make();
  f.cbSelectAllClick(false);
  for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(f.Icon(i).Image, kImageSectionOff);
  f.ScanNowBtnClick();
  EXPECT_TRUE(Fakes().calls.empty());
  for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(f.Icon(i).Image, kImageNone);
  EXPECT_FALSE(mp.files.FileExists("C:\\Tarnwick\\ScanResult"));
  EXPECT_EQ(f.ScanPage(), kFinishPage);
  EXPECT_EQ(f.Lists().Repairs.Items(0).Rec.Caption, "Problems Found: 0");
  EXPECT_EQ(f.ProblemsHeading(), "");
}

TEST_F(MainWindowTest, AbortEndsTheScanAndReviewsWhatWasFound) {
  TTarnwickForm& f = Make();
  Fakes().findings[1] = 1;
  Fakes().findings[5] = 4;
  Fakes().findings[6] = 1;
  Fakes().onItem = [&](int section, int item) {
    if (section == 5 && item == 0) f.AbortScanBtnClick();
  };
  f.ScanNowBtnClick();
  EXPECT_EQ(f.State().ScanState, kStateIdle);
  EXPECT_EQ(f.Mode(), kModeReview);
  EXPECT_EQ(f.Lists().Review.Count(), 2);  // section 1's and the first of section 5
  for (int i = 5; i < kSectionCount; ++i) EXPECT_EQ(f.Icon(i).Image, kImageNone);
}

TEST_F(MainWindowTest, SectionSelection) {
  TTarnwickForm& f = Make();
  f.picSection01Click(4);
  EXPECT_EQ(f.Icon(4).Tag, 0);
  EXPECT_EQ(f.Icon(4).Image, kImageSectionOff);
  f.picSection01Click(4);
  EXPECT_EQ(f.Icon(4).Tag, 1);
  EXPECT_EQ(f.Icon(4).Image, kImageSectionOn);

  f.picSection01Click(0);
  f.abSelectAllClick();  // the label toggles the box: unchecked, every section off
  EXPECT_FALSE(f.SelectAllChecked());
  for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(f.Icon(i).Tag, 0);
  f.abSelectAllClick();
  EXPECT_TRUE(f.SelectAllChecked());
  for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(f.Icon(i).Image, kImageSectionOn);

  // An icon clicked while the scan runs changes a section not yet reached.
  Fakes().findings[2] = 1;
  Fakes().onItem = [&](int section, int) {
    if (section == 2) f.picSection01Click(9);
  };
  f.ScanNowBtnClick();
  for (const auto& call : Fakes().calls) EXPECT_NE(call.section, 10);
}

TEST_F(MainWindowTest, SelectAllOnTheReviewPageSelectsProblems) {
  settings.SelectAll = false;
  TTarnwickForm& f = Make();
  Fakes().findings[4] = 2;
  f.ScanNowBtnClick();
  ASSERT_EQ(f.ScanPage(), kRepairPage);
  EXPECT_EQ(f.Lists().Review.Items(0).Content.Selected, 0);
  f.cbSelectAllClick(true);
  for (const auto& item : f.Lists().Review) EXPECT_EQ(item.Content.Selected, 1);
  for (int i = 0; i < kSectionCount; ++i) EXPECT_NE(f.Icon(i).Image, kImageSectionOn);  // icons keep their outcome
  f.cbSelectAllClick(false);
  for (const auto& item : f.Lists().Review) EXPECT_EQ(item.Content.Selected, 0);
}

TEST_F(MainWindowTest, BarButtons) {
  struct Case {
    BarButton button;
    int mainPage;
    std::string shown;
  };
  const std::vector<Case> cases = {{BarButton::Backup, kBackupSheet, "------"},
                                   {BarButton::SystemOptimize, kAdvancedSheet, "------"},
                                   {BarButton::ManageStartup, kAdvancedSheet, "------"},
                                   {BarButton::UninstallManager, kAdvancedSheet, "------"},
                                   {BarButton::DiskCleaner, kAdvancedSheet, "------"},
                                   {BarButton::IERestore, kAdvancedSheet, "------"},
                                   {BarButton::Scan, kScanSheet, "-AN---"}};
  TTarnwickForm& f = Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.button));
    f.State().ScanState = kStateRepairCancelled;
    f.BarButtonClick(c.button);
    EXPECT_EQ(f.ActiveBarButton(), c.button);
    EXPECT_EQ(f.MainPage(), c.mainPage);
    EXPECT_EQ(Shown(f), c.shown);
  }
  EXPECT_EQ(f.State().ScanState, kStateIdle);  // the Scan button ends the cancelled state

  // While a scan runs the bar ignores every click.
  Fakes().findings[1] = 1;
  Fakes().onItem = [&](int, int) {
    f.BackupBtnClick();
    f.ScanBtnClick();
  };
  f.ScanNowBtnClick();
  EXPECT_EQ(f.ActiveBarButton(), BarButton::Scan);
  EXPECT_EQ(f.MainPage(), kScanSheet);
  EXPECT_EQ(f.Mode(), kModeReview);
}

// The Backup button lists the per-repair backups afresh; while a restore waits for the registry editor the bar,
// the scan and the page's other buttons do nothing.
TEST_F(MainWindowTest, TheBackupPageListsTheRepairBackupsAndRestores) {
  const std::string folder = "C:\\Tarnwick\\RepairBackup\\";
  TTarnwickForm& f = Make();
  f.BackupBtnClick();
  EXPECT_TRUE(f.BackupList().Rows().empty());
  mp.files.AddFile(folder + "_20261207_120509.reg", "Windows Registry Editor Version 5.00\r\n");
  f.BackupBtnClick();
  ASSERT_EQ(f.BackupList().Rows().size(), 1u);
  EXPECT_EQ(f.BackupList().Rows()[0].Path, folder + "_20261207_120509.reg");

  f.FullBackupBtnClick();
  EXPECT_EQ(view.fullBackupWindows, 1);

  mp.shell.programPolls = 3;
  int pumps = 0;
  view.pump.OnPump([&](int) {
    ++pumps;
    f.ScanBtnClick();
    f.ScanNowBtnClick();
    f.RemoveBackupBtnClick();
    f.FullBackupBtnClick();
  });
  view.prompts.Answer(PromptAnswer::Yes);
  f.BackupListViewSelect(0);
  f.RestoreRegistryBtnClick();
  EXPECT_GE(pumps, 2);
  EXPECT_EQ(f.MainPage(), kBackupSheet);
  EXPECT_EQ(f.Mode(), kModeIdle);
  EXPECT_EQ(view.fullBackupWindows, 1);
  ASSERT_EQ(view.prompts.calls.size(), 2u);
  EXPECT_EQ(view.prompts.calls[1].text, "Restore registry successfully!");
  EXPECT_TRUE(mp.files.FileExists(folder + "_20261207_120509.reg"));
}

TEST_F(MainWindowTest, ToolWindowsAreCreatedFreedOrKeptByTheBarRule) {
  using B = BarButton;
  struct Case {
    const char* name;
    std::vector<B> clicks;
    std::string log;
    B shown;
  };
  const std::vector<Case> cases = {
      {"optimizer anew at each opening", {B::SystemOptimize, B::SystemOptimize},
       "create Optimizer, show Optimizer, free Optimizer, create Optimizer, show Optimizer", B::SystemOptimize},
      {"startup manager freed by any click",
       {B::ManageStartup, B::Backup, B::Scan},
       "create Startup, show Startup, free Startup", B::Scan},
      {"disk cleaner kept", {B::DiskCleaner, B::Backup, B::DiskCleaner, B::DiskCleaner},
       "create Cleaner, show Cleaner, hide Cleaner, show Cleaner, show Cleaner", B::DiskCleaner},
      {"kept and fresh windows mixed", {B::UninstallManager, B::SystemOptimize, B::IERestore, B::UninstallManager},
       "create Uninstall, show Uninstall, hide Uninstall, create Optimizer, show Optimizer, free Optimizer, "
       "create IE, show IE, hide IE, show Uninstall",
       B::UninstallManager},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.tools = test::RecordingToolWindows();
    TTarnwickForm& f = Make();
    for (B button : c.clicks) f.BarButtonClick(button);
    EXPECT_EQ(view.tools.log, c.log);
    EXPECT_EQ(f.ShownTool(), c.shown);
  }

  // A window that cannot be created is tried again at the next opening; nothing is shown meanwhile.
  view.tools = test::RecordingToolWindows();
  view.tools.failCreate = true;
  TTarnwickForm& f = Make();
  f.IERestoreBtnClick();
  f.IERestoreBtnClick();
  EXPECT_EQ(view.tools.log, "create IE, create IE");
  EXPECT_EQ(f.ShownTool(), B::Scan);
  EXPECT_EQ(f.MainPage(), kAdvancedSheet);

  // While the shown tool runs a long loop the bar ignores clicks, as during a scan.
  view.tools = test::RecordingToolWindows();
  TTarnwickForm& g = Make();
  g.DiskCleanerBtnClick();
  view.tools.busy = true;
  g.ScanBtnClick();
  g.ManageStartupBtnClick();
  EXPECT_EQ(view.tools.log, "create Cleaner, show Cleaner");
  EXPECT_EQ(g.ActiveBarButton(), B::DiskCleaner);
}

TEST_F(MainWindowTest, ExitStopsWhatRunsAndStartsNothingMore) {
  struct Case {
    const char* name;
    std::string startArgument;
    int exitAtPump;  // 0: at section 5's first item
    std::vector<int> scanned;
  };
  const std::vector<Case> cases = {
      {"during the first-activation wait", "-Scan", 3, {}},
      {"during a scan", "-Scan", 0, {1, 2, 3, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.pump = RecordingPump();
    view.tools = test::RecordingToolWindows();
    TTarnwickForm& f = Make(c.startArgument);
    Fakes().findings[5] = 2;
    if (c.exitAtPump) {
      view.pump.OnPump([&](int n) {
        if (n == c.exitAtPump) f.ExitRequested();
      });
    } else {
      Fakes().onItem = [&](int section, int item) {
        if (section == 5 && item == 0) f.ExitRequested();
      };
    }
    f.FormActivate();
    std::vector<int> scanned;
    for (const auto& call : Fakes().calls) scanned.push_back(call.section);
    EXPECT_EQ(scanned, c.scanned);
    if (c.exitAtPump) {
      EXPECT_LT(view.pump.Count(), 10);  // the wait ends at once
    }
    EXPECT_EQ(f.State().ScanState, kStateIdle);

    // Nothing starts any more; a tool's long loop is told to stop.
    f.ScanNowBtnClick();
    EXPECT_EQ(Fakes().calls.size(), c.scanned.size());
    EXPECT_FALSE(f.ScanRequestedByAnotherStart());
  }
  view.tools = test::RecordingToolWindows();
  TTarnwickForm& f = Make();
  f.DiskCleanerBtnClick();
  f.ExitRequested();
  EXPECT_EQ(view.tools.log, "create Cleaner, show Cleaner, abort Cleaner");
}

TEST_F(MainWindowTest, AnotherStartWithAnArgumentScansWhenIdle) {
  struct Case {
    const char* name;
    std::function<void(TTarnwickForm&)> before;
    bool scans;
  };
  const std::vector<Case> cases = {
      {"idle on the scan page", [](TTarnwickForm&) {}, true},
      {"on a tool page", [](TTarnwickForm& f) { f.SystemOptimizeBtnClick(); }, true},
      {"on the review page", [](TTarnwickForm& f) { Fakes().findings[2] = 1; f.ScanNowBtnClick(); }, true},
      {"while scanning", [](TTarnwickForm& f) { f.State().ScanState = kStateScanning; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.pump = RecordingPump();
    view.tools = test::RecordingToolWindows();
    TTarnwickForm& f = Make();
    c.before(f);
    test::ResetFakeScans(f.Lists());
    Fakes().findings[7] = 1;
    const uint32_t before = mp.system.TickCount();
    uint32_t scanStartedAfter = 0;
    bool nested = true;
    Fakes().onItem = [&](int, int) {
      scanStartedAfter = mp.system.TickCount() - before;
      nested = f.ScanRequestedByAnotherStart();  // a request during the scan is refused
    };
    EXPECT_EQ(f.ScanRequestedByAnotherStart(), c.scans);
    EXPECT_EQ(Fakes().calls.size(), c.scans ? static_cast<size_t>(kSectionCount + 1) : 0u);
    if (!c.scans) continue;
    EXPECT_GE(scanStartedAfter, kFirstActivationWaitMs);
    EXPECT_FALSE(nested);
    EXPECT_EQ(f.ActiveBarButton(), BarButton::Scan);
    EXPECT_EQ(f.ShownTool(), BarButton::Scan);
    EXPECT_EQ(f.MainPage(), kScanSheet);
    EXPECT_EQ(f.ScanPage(), kRepairPage);
    EXPECT_EQ(f.Lists().Review.Count(), 1);
  }
}

TEST_F(MainWindowTest, ScanButtonReturnsToAFreshScanPage) {
  TTarnwickForm& f = Make();
  Fakes().findings[4] = 2;
  f.ScanNowBtnClick();
  f.ScanBtnClick();
  EXPECT_EQ(f.ScanPage(), kScanSectionsPage);
  EXPECT_EQ(f.Mode(), kModeIdle);
  for (int i = 0; i < kSectionCount; ++i) {
    EXPECT_EQ(f.Icon(i).Image, kImageSectionOn);
    EXPECT_EQ(view.counts[static_cast<size_t>(i)].Text(), "");
  }
  EXPECT_EQ(f.Lists().Review.Count(), 2);  // the lists stay until the next scan
}

TEST_F(MainWindowTest, FinishReturnsToTheScanPageExceptFromTheReview) {
  TTarnwickForm& f = Make();
  Fakes().findings[3] = 1;
  f.ScanNowBtnClick();
  f.FinishBtnClick();  // ignored on the review page
  EXPECT_EQ(f.ScanPage(), kRepairPage);

  test::ResetFakeScans(f.Lists());
  f.ScanNowBtnClick();  // nothing found: the finish page
  f.State().ScanState = kStateRepairCancelled;
  f.FinishBtnClick();
  EXPECT_EQ(f.ScanPage(), kScanSectionsPage);
  EXPECT_EQ(f.Mode(), kModeIdle);
  EXPECT_EQ(f.State().ScanState, kStateIdle);
  EXPECT_EQ(f.Lists().Repairs.Count(), 0);
  EXPECT_EQ(f.Lists().Review.Count(), 0);
}

TEST_F(MainWindowTest, ScanNowInsideARunningScanIsIgnored) {
  TTarnwickForm& f = Make();
  Fakes().findings[1] = 3;
  int nested = 0;
  Fakes().onItem = [&](int, int) {
    ++nested;
    f.ScanNowBtnClick();
  };
  f.ScanNowBtnClick();
  EXPECT_EQ(nested, 3);
  EXPECT_EQ(f.Lists().Review.Count(), 3);
}

TEST_F(MainWindowTest, FirstActivationScansOnlyWithANonBlankArgument) {
  struct Case {
    std::string argument;
    bool scans;
  };
  for (const Case& c : std::vector<Case>{{"", false}, {"   ", false}, {"-Scan", true}, {"x", true}}) {
    SCOPED_TRACE("argument '" + c.argument + "'");
    view.pump = RecordingPump();
    TTarnwickForm& f = Make(c.argument);
    Fakes().findings[5] = 1;
    const uint32_t before = mp.system.TickCount();
    uint32_t scanStartedAfter = 0;
    Fakes().onItem = [&](int, int) { scanStartedAfter = mp.system.TickCount() - before; };
    f.FormActivate();
    f.FormActivate();  // later activations never scan
    EXPECT_EQ(Fakes().calls.size(), c.scans ? static_cast<size_t>(kSectionCount + 1) : 0u);
    if (c.scans) {
      EXPECT_GE(scanStartedAfter, kFirstActivationWaitMs);
      EXPECT_GE(view.pump.Count(), 50);  // the wait keeps the window live
      EXPECT_EQ(f.Mode(), kModeReview);
    }
  }
}

TEST_F(MainWindowTest, HeaderButtonsAndTitle) {
  TTarnwickForm& f = Make();
  f.HelpBtnClick();
  ASSERT_EQ(mp.shell.browserCalls.size(), 1u);
  EXPECT_EQ(mp.shell.browserCalls[0].address, "http://help.example/");
  f.AboutBtnClick();
  EXPECT_EQ(view.aboutShown, 1);
  EXPECT_EQ(f.AppNameVersion(), "Tarnwick v3.0");
}

TEST_F(MainWindowTest, ProblemsHeadingKeepsItsTextUntilTheNextScanFillsTheList) {
  TTarnwickForm& f = Make();
  EXPECT_EQ(f.ProblemsHeading(), "  Details of Problems found");
  Fakes().findings[4] = 2;
  f.ScanNowBtnClick();
  ASSERT_EQ(f.ProblemsHeading(), "  Details of Problems Found: 2");
  f.cbSelectAllClick(false);
  f.RepairBtnClick();
  f.FinishBtnClick();
  EXPECT_EQ(f.Lists().Review.Count(), 0);
  EXPECT_EQ(f.ProblemsHeading(), "  Details of Problems Found: 2");
}

TEST_F(MainWindowTest, ResizeSetsTheListColumns) {
  TTarnwickForm& f = Make();
  f.FormResize(600, 170, 580);
  EXPECT_EQ(f.FinishFirstColumnWidth(), 410);
  EXPECT_EQ(f.BackupColumnWidth(), 560);
}

}  // namespace
}  // namespace tw
