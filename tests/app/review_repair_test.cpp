// The review page, the repair with its backup and progress dialog, and the finish page of TTarnwickForm, driven
// through its handlers over fake sections whose records name real entries of the in-memory registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fake_sections.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_form_view.h"

namespace tw {
namespace {

using test::Fakes;
using test::RecordingFormView;

constexpr const char* kExe = "C:\\Tarnwick\\tarnwick.exe";
constexpr const char* kBackupFolder = "C:\\Tarnwick\\RepairBackup\\";
constexpr const char* kBackupFile = "C:\\Tarnwick\\RepairBackup\\_20080314_150926.reg";
constexpr const char* kIgnoreFile = "C:\\Tarnwick\\TarnwickIgnores.dat";

const std::string kCompleteMessage =
    "Registry backup complete! Backup file at \rC:\\Tarnwick\\RepairBackup\\ folder.\r\rYou can use registry "
    "restore function to restore it.\rPress OK to repair problems now!";

// The fake scanner's record `item` of `section`: "<root>\fake\<section>", value "value<item>".
std::string FakeKey(int section) { return "fake\\" + std::to_string(section); }
std::string FakeValue(int item) { return "value" + std::to_string(item); }

// The text of a UTF-16 export whose characters are all ASCII.
std::string Utf16Text(const std::string& bytes) {
  std::string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
  return text;
}

class ReviewRepairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fresh();
    settings.SelectAll = true;
  }

  // Seeds the entries the fake records name and scans: `findings` problems in each listed section.
  TTarnwickForm& Scan(const std::vector<std::pair<int, int>>& findings) {
    form.reset();
    form = std::make_unique<TTarnwickForm>(mp().platform, settings, view, "", test::FakeSectionTable());
    test::ResetFakeScans(form->Lists());
    form->FormCreate();
    for (const auto& [section, count] : findings) {
      Fakes().findings[section] = count;
      for (int i = 0; i < count; ++i) Seed(section, i);
    }
    form->ScanNowBtnClick();
    return *form;
  }
  void Seed(int section, int item) {
    TRegistry reg(mp().registry, SectionByNumber(section).root);
    ASSERT_TRUE(reg.OpenKey(FakeKey(section), true));
    ASSERT_TRUE(reg.WriteString(FakeValue(item), "data of " + FakeValue(item)));
  }
  bool Present(int section, int item) {
    TRegistry reg(mp().registry, SectionByNumber(section).root);
    return reg.OpenKey(FakeKey(section), false) && reg.ValueExists(FakeValue(item));
  }
  bool KeyPresent(int section) {
    return TRegistry(mp().registry, SectionByNumber(section).root).KeyExists(FakeKey(section));
  }
  std::string Backup() {
    std::string bytes;
    return mp().files.ReadWholeFile(kBackupFile, &bytes) ? Utf16Text(bytes) : std::string();
  }
  std::vector<std::string> Repaired() {
    std::vector<std::string> out;
    for (const auto& r : Fakes().repairs) out.push_back(std::to_string(r.section) + ":" + r.valueName);
    return out;
  }

  // A new empty machine; the next Scan makes a new form on it.
  void Fresh() {
    form.reset();
    platform_ = std::make_unique<MemoryPlatform>();
    mp().files.SetExecutablePath(kExe);
  }
  MemoryPlatform& mp() { return *platform_; }

  std::unique_ptr<MemoryPlatform> platform_ = std::make_unique<MemoryPlatform>();
  Settings settings;
  RecordingFormView view;
  std::unique_ptr<TTarnwickForm> form;
};

TEST_F(ReviewRepairTest, OnlyTickedRowsAreExportedAndRepaired) {
  struct Case {
    const char* name;
    bool selectAllSetting;
    std::vector<int> toggled;  // rows clicked on their check box
    std::vector<std::string> repaired;
  };
  // Rows: 0 and 1 are section 4's values, 2 is section 5's value.
  const std::vector<Case> cases = {
      {"all ticked by the setting, one unticked", true, {1}, {"4:value0", "5:value0"}},
      {"none ticked by the setting, two ticked", false, {0, 2}, {"4:value0", "5:value0"}},
      {"every row unticked", true, {0, 1, 2}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    view.prompts.calls.clear();
    settings.SelectAll = c.selectAllSetting;
    TTarnwickForm& f = Scan({{4, 2}, {5, 1}});
    ASSERT_EQ(f.Mode(), kModeReview);
    EXPECT_EQ(f.SelectAllChecked(), c.selectAllSetting);
    for (int row : c.toggled) f.ProblemsListBoxClickCheck(row);
    f.RepairBtnClick();

    EXPECT_EQ(Repaired(), c.repaired);
    EXPECT_EQ(Present(4, 0), c.repaired.empty());
    EXPECT_TRUE(Present(4, 1));
    EXPECT_EQ(Present(5, 0), c.repaired.empty());
    const std::string backup = Backup();
    if (c.repaired.empty()) {
      EXPECT_EQ(backup, "");
    } else {
      EXPECT_EQ(backup,
                "Windows Registry Editor Version 5.00\r\n"
                "[HKEY_LOCAL_MACHINE\\fake\\4]\r\n\"value0\"=\"data of value0\"\r\n"
                "[HKEY_LOCAL_MACHINE\\fake\\5]\r\n\"value0\"=\"data of value0\"\r\n");
    }
    // The message comes also when there was nothing to export; the repair goes on.
    ASSERT_EQ(view.prompts.calls.size(), 1u);
    EXPECT_FALSE(view.prompts.calls[0].question);
    EXPECT_EQ(view.prompts.calls[0].title, "Tarnwick");
    EXPECT_EQ(view.prompts.calls[0].text, kCompleteMessage);
    EXPECT_EQ(view.prompts.calls[0].icon, PromptIcon::Information);

    EXPECT_EQ(f.ScanPage(), kFinishPage);
    EXPECT_EQ(f.Mode(), kModeFinish);
    const TRepairContents& rows = f.Lists().Repairs;
    ASSERT_EQ(rows.Count(), static_cast<int>(c.repaired.size()));
    for (const auto& row : rows) EXPECT_EQ(row.Rec.Status, "Repaired Successfully");
  }
}

TEST_F(ReviewRepairTest, ARecordTheBackupCannotHoldWholeIsNotRepaired) {
  struct Case {
    const char* name;
    std::string locked;  // a key below section 10's record that cannot be read; empty: none
    bool autoBackupOff;
    std::string status;  // of section 10's row
  };
  const std::vector<Case> cases = {
      {"a subkey that cannot be read", "fake\\10\\Locked", false, "Not repaired: not in the backup (Backup Error)"},
      {"everything readable", "", false, "Repaired Successfully"},
      {"no backup asked for: the delete is tried", "fake\\10\\Locked", true, "Repair Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    settings.NotAutoBackup = c.autoBackupOff;
    Seed(10, 0);
    if (!c.locked.empty()) mp().registry.DenyAccess(kLocalMachine, c.locked);
    TTarnwickForm& f = Scan({{4, 1}, {10, 1}});
    f.RepairBtnClick();
    const TRepairContents& rows = f.Lists().Repairs;
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Items(0).Rec.Status, "Repaired Successfully");
    EXPECT_EQ(rows.Items(1).Rec.Status, c.status);
    EXPECT_FALSE(Present(4, 0));
    if (!c.autoBackupOff && !c.locked.empty()) {
      EXPECT_TRUE(Present(10, 0));
      EXPECT_EQ(Backup(), "Windows Registry Editor Version 5.00\r\n"
                          "[HKEY_LOCAL_MACHINE\\fake\\4]\r\n\"value0\"=\"data of value0\"\r\n");
    }
  }
  settings.NotAutoBackup = false;
}

TEST_F(ReviewRepairTest, TheRepairDialogShowsEachKeyAndIsFreedAfterwards) {
  TTarnwickForm& f = Scan({{4, 1}, {10, 1}, {15, 1}});
  f.RepairBtnClick();
  ASSERT_EQ(view.dialogs.size(), 1u);
  const test::RepairDialogRecord& dialog = *view.dialogs[0];
  EXPECT_EQ(dialog.label.History(),
            (std::vector<std::string>{"Repair", "HKEY_LOCAL_MACHINE\\fake\\4", "HKEY_LOCAL_MACHINE\\fake\\10",
                                      "HKEY_LOCAL_MACHINE\\fake\\15"}));
  EXPECT_TRUE(dialog.freed);
  EXPECT_FALSE(KeyPresent(10));  // section 10 removes the whole key
  EXPECT_FALSE(Present(15, 0));
  ASSERT_EQ(f.Lists().Repairs.Count(), 3);
  EXPECT_EQ(f.Lists().Repairs.Items(1).Rec.Caption, "HKEY_LOCAL_MACHINE\\fake\\10");
  EXPECT_FALSE(f.Repairing());
}

TEST_F(ReviewRepairTest, ExcludeWritesTheIgnoreLineAndDropsTheRow) {
  // Section 13's ignore category differs from its caption.
  TTarnwickForm& f = Scan({{4, 1}, {13, 2}});
  const std::string heading = f.ProblemsHeading();

  f.Excludeandaddkeytoignorelist1Click();  // no current row: nothing happens
  EXPECT_FALSE(mp().files.FileExists(kIgnoreFile));
  EXPECT_EQ(f.Lists().Review.Count(), 3);

  f.ProblemsListBoxClick(1);
  f.Excludeandaddkeytoignorelist1Click();
  std::string lines;
  ASSERT_TRUE(mp().files.ReadWholeFile(kIgnoreFile, &lines));
  EXPECT_EQ(lines, "File Extensions|HKEY_CLASSES_ROOT\\fake\\13|value0\r\n");
  ASSERT_EQ(f.Lists().Review.Count(), 2);
  EXPECT_EQ(f.Lists().Review.Items(1).Content.ValueName, "value1");
  EXPECT_EQ(f.CurrentProblem(), 1);  // the next row becomes current
  EXPECT_EQ(f.ProblemsHeading(), heading);

  f.Excludeandaddkeytoignorelist1Click();  // the last row: the row before it becomes current
  ASSERT_TRUE(mp().files.ReadWholeFile(kIgnoreFile, &lines));
  EXPECT_EQ(lines,
            "File Extensions|HKEY_CLASSES_ROOT\\fake\\13|value0\r\n"
            "File Extensions|HKEY_CLASSES_ROOT\\fake\\13|value1\r\n");
  EXPECT_EQ(f.CurrentProblem(), 0);

  // The excluded records are neither exported nor repaired; the section of each remaining row is kept right.
  f.RepairBtnClick();
  EXPECT_EQ(Repaired(), std::vector<std::string>{"4:value0"});
  EXPECT_TRUE(Present(13, 0));
  EXPECT_TRUE(Present(13, 1));
  EXPECT_EQ(Backup().find("fake\\13"), std::string::npos);
}

TEST_F(ReviewRepairTest, AnIgnoreLineThatCannotBeWrittenKeepsTheRow) {
  mp().files.AddFolder(kIgnoreFile);  // a folder in the file's place
  TTarnwickForm& f = Scan({{4, 1}});
  f.ProblemsListBoxClick(0);
  f.Excludeandaddkeytoignorelist1Click();
  EXPECT_EQ(f.Lists().Review.Count(), 1);
  ASSERT_EQ(view.prompts.calls.size(), 1u);
  EXPECT_EQ(view.prompts.calls[0].title, "Tarnwick");
  EXPECT_EQ(view.prompts.calls[0].icon, PromptIcon::Error);
}

TEST_F(ReviewRepairTest, ContextMenuSelectsAndDeselectsEveryRow) {
  TTarnwickForm& f = Scan({{4, 2}, {9, 1}});
  f.SelectNone1Click();
  for (int row = 0; row < 3; ++row) EXPECT_FALSE(f.ProblemChecked(row));
  EXPECT_FALSE(f.SelectAllChecked());
  f.SelectAll1Click();
  for (int row = 0; row < 3; ++row) EXPECT_TRUE(f.ProblemChecked(row));
  EXPECT_TRUE(f.SelectAllChecked());
  f.ProblemsListBoxClickCheck(2);
  f.ProblemsListBoxClickCheck(7);  // outside the list: ignored
  EXPECT_FALSE(f.ProblemChecked(2));
  EXPECT_FALSE(f.SelectAllChecked());  // the box follows the rows
  f.ProblemsListBoxClickCheck(2);
  EXPECT_TRUE(f.ProblemChecked(2));
  EXPECT_TRUE(f.SelectAllChecked());
  f.SelectNone1Click();
  f.RepairBtnClick();
  f.FinishBtnClick();
  EXPECT_TRUE(f.SelectAllChecked());  // back on the scan page with every section selected
}

TEST_F(ReviewRepairTest, CancelStopsBeforeTheNextRecordAndNoFurtherSectionStarts) {
  struct Case {
    const char* name;
    int cancelAtPump;  // pumps come before each record of the repair
    std::vector<std::string> repaired;
  };
  // Records: section 4's three, then section 5's two.
  const std::vector<Case> cases = {
      {"before the first record", 1, {}},
      {"during section 4", 3, {"4:value0", "4:value1"}},
      {"before section 5's second record", 5, {"4:value0", "4:value1", "4:value2", "5:value0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTarnwickForm& f = Scan({{4, 3}, {5, 2}});
    const int pumpsBefore = view.pump.Count();
    view.pump.OnPump([&, pumpsBefore](int n) {
      if (n - pumpsBefore == c.cancelAtPump) view.dialogs.back()->form->CancelBtnClick();
    });
    f.RepairBtnClick();
    EXPECT_EQ(Repaired(), c.repaired);
    EXPECT_TRUE(view.dialogs.back()->closed);
    EXPECT_TRUE(view.dialogs.back()->freed);
    EXPECT_EQ(f.State().ScanState, kStateRepairCancelled);
    EXPECT_EQ(f.Lists().Repairs.Count(), static_cast<int>(c.repaired.size()));  // the rows so far are shown
    EXPECT_EQ(f.ScanPage(), kFinishPage);
    EXPECT_EQ(f.Mode(), kModeFinish);
    view.pump.OnPump(nullptr);
    f.FinishBtnClick();
    EXPECT_EQ(f.State().ScanState, kStateIdle);
  }
}

TEST_F(ReviewRepairTest, ExitCancelsTheRepairOrKeepsItFromStarting) {
  struct Case {
    const char* name;
    bool atBackupMessage;  // otherwise at the third pump of the repair
    std::vector<std::string> repaired;
    size_t dialogs;
  };
  const std::vector<Case> cases = {{"at the backup message", true, {}, 0},
                                   {"during the repair", false, {"4:value0", "4:value1"}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.dialogs.clear();
    TTarnwickForm& f = Scan({{4, 3}});
    const int pumpsBefore = view.pump.Count();
    if (c.atBackupMessage) {
      view.prompts.onCall = [&] { f.ExitRequested(); };
    } else {
      view.pump.OnPump([&, pumpsBefore](int n) {
        if (n - pumpsBefore == 3) f.ExitRequested();
      });
    }
    f.RepairBtnClick();
    EXPECT_EQ(Repaired(), c.repaired);
    ASSERT_EQ(view.dialogs.size(), c.dialogs);
    if (c.dialogs) {
      EXPECT_TRUE(view.dialogs[0]->closed);
    }
    EXPECT_FALSE(f.Repairing());
    view.prompts.onCall = nullptr;
    view.pump.OnPump(nullptr);
  }
}

TEST_F(ReviewRepairTest, FinishReturnsToTheIdleScanPage) {
  TTarnwickForm& f = Scan({{4, 2}});
  f.RepairBtnClick();
  ASSERT_EQ(f.ScanPage(), kFinishPage);
  f.FinishBtnClick();
  EXPECT_EQ(f.ScanPage(), kScanSectionsPage);
  EXPECT_EQ(f.MainPage(), kScanSheet);
  EXPECT_EQ(f.Mode(), kModeIdle);
  EXPECT_TRUE(f.ScanNowVisible());
  for (int i = 0; i < kSectionCount; ++i) {
    EXPECT_EQ(f.Icon(i).Tag, 1);
    EXPECT_EQ(f.Icon(i).Image, kImageSectionOn);
    EXPECT_EQ(view.counts[static_cast<size_t>(i)].Text(), "");
  }
  EXPECT_EQ(f.Lists().Review.Count(), 0);
  EXPECT_EQ(f.Lists().Sections[4].Count(), 0);
  EXPECT_EQ(f.Lists().Repairs.Count(), 0);
  EXPECT_EQ(f.CurrentProblem(), -1);
}

TEST_F(ReviewRepairTest, AFailedBackupAsksBeforeRepairingWithoutOne) {
  struct Case {
    const char* name;
    PromptAnswer answer;
    bool repairs;
  };
  for (const Case& c : std::vector<Case>{{"No", PromptAnswer::No, false}, {"Yes", PromptAnswer::Yes, true}}) {
    SCOPED_TRACE(c.name);
    Fresh();
    mp().files.AddFile("C:\\Tarnwick\\RepairBackup");  // a file in the folder's place
    view.prompts = test::RecordingPrompts();
    view.prompts.Answer(c.answer);
    view.dialogs.clear();
    TTarnwickForm& f = Scan({{4, 1}, {5, 1}});
    f.RepairBtnClick();

    ASSERT_EQ(view.prompts.calls.size(), 1u);  // the question and no completion message
    const test::PromptCall& ask = view.prompts.calls[0];
    EXPECT_TRUE(ask.question);
    EXPECT_EQ(ask.title, "Tarnwick");
    EXPECT_EQ(ask.defaultAnswer, PromptAnswer::No);
    EXPECT_NE(ask.text.find(kBackupFolder), std::string::npos) << ask.text;
    EXPECT_EQ(Present(4, 0), !c.repairs);
    EXPECT_EQ(Present(5, 0), !c.repairs);
    EXPECT_EQ(view.dialogs.size(), c.repairs ? 1u : 0u);
    EXPECT_EQ(f.ScanPage(), c.repairs ? kFinishPage : kRepairPage);
    EXPECT_EQ(f.Mode(), c.repairs ? kModeFinish : kModeReview);
    EXPECT_FALSE(f.Repairing());
  }
}

// While a repair from the console holds the registry, the window neither scans nor repairs, and says why.
TEST_F(ReviewRepairTest, TheWindowWaitsForARepairFromTheConsole) {
  TTarnwickForm& f = Scan({{4, 1}});
  std::unique_ptr<ISessionLock> console = mp().system.TryLock(kRegistryWorkLockName);
  ASSERT_TRUE(console);
  f.RepairBtnClick();
  f.ScanNowBtnClick();
  ASSERT_EQ(view.prompts.calls.size(), 2u);
  EXPECT_EQ(view.prompts.calls[1].text, kConsoleRepairRunningText);
  EXPECT_TRUE(Present(4, 0));
  EXPECT_EQ(f.Mode(), kModeReview);
  console.reset();
  f.RepairBtnClick();
  EXPECT_FALSE(Present(4, 0));
}

TEST_F(ReviewRepairTest, WithAutomaticBackupsOffNothingIsExported) {
  settings.NotAutoBackup = true;
  TTarnwickForm& f = Scan({{4, 1}});
  f.RepairBtnClick();
  EXPECT_FALSE(mp().files.DirectoryExists(kBackupFolder));
  EXPECT_TRUE(view.prompts.calls.empty());
  EXPECT_FALSE(Present(4, 0));
  EXPECT_EQ(f.ScanPage(), kFinishPage);
}

// The backup is read back after its message: a record the file no longer proves (changed or deleted by hand while
// the message was up) is not repaired and its row says why; the others are repaired.
TEST_F(ReviewRepairTest, ARecordTheBackupDoesNotProveIsNotRepaired) {
  struct Case {
    const char* name;
    std::string from, to;  // replaced in the file's text while the message is up; empty `from`: the file removed
    std::vector<std::string> statuses;
  };
  const std::string ok = "Repaired Successfully";
  const std::string refused = "Not repaired: not in the backup (Backup Error)";
  const std::vector<Case> cases = {
      {"untouched", "[", "[", {ok, ok, ok}},
      {"data changed", "data of value1", "data of valuE1", {ok, refused, ok}},
      {"value renamed", "fake\\5]\r\n\"value0\"", "fake\\5]\r\n\"valueX\"", {ok, ok, refused}},
      {"file removed", "", "", {refused, refused, refused}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    TTarnwickForm& f = Scan({{4, 2}, {5, 1}});
    view.prompts.onCall = [&] {
      if (c.from.empty()) {
        mp().files.RemoveFile(kBackupFile);
        return;
      }
      std::string text = Backup();
      const size_t at = text.find(c.from);
      ASSERT_NE(at, std::string::npos);
      text.replace(at, c.from.size(), c.to);
      std::string bytes = "\xFF\xFE";
      for (char ch : text) bytes += ch, bytes += '\0';
      mp().files.WriteWholeFile(kBackupFile, bytes);
    };
    f.RepairBtnClick();
    view.prompts.onCall = nullptr;
    std::vector<std::string> statuses;
    for (const auto& row : f.Lists().Repairs) statuses.push_back(row.Rec.Status);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(Present(4, 0), c.statuses[0] != ok);
    EXPECT_EQ(Present(4, 1), c.statuses[1] != ok);
    EXPECT_EQ(Present(5, 0), c.statuses[2] != ok);
  }
}

TEST_F(ReviewRepairTest, TheOneTimeFullBackupOfferIsRecordedOnlyWhenMade) {
  struct Case {
    const char* name;
    bool pending;
    bool made;
    bool keyExists;
    int offers;          // over two repairs
    std::string stored;  // "OneTime" afterwards, "-" for no key
  };
  const std::vector<Case> cases = {
      {"offer made", true, true, true, 1, "1"},
      {"offer could not be made: still pending", true, false, true, 2, "0"},
      {"already made", false, true, true, 0, "0"},
      {"settings key gone: not created", true, true, false, 1, "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    if (c.keyExists) {
      TRegistry reg(mp().registry, kCurrentUser);
      ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
      reg.WriteString("OneTime", "0");
    }
    settings.OneTimePending = c.pending;
    view.fullBackupOfferMade = c.made;
    view.fullBackupOffers = 0;
    TTarnwickForm& f = Scan({{4, 1}});
    f.RepairBtnClick();
    f.FinishBtnClick();
    Seed(4, 0);
    f.ScanNowBtnClick();
    f.RepairBtnClick();
    EXPECT_EQ(view.fullBackupOffers, c.offers);
    TRegistry reg(mp().registry, kCurrentUser);
    EXPECT_EQ(reg.OpenKey(kSettingsKey, false) ? reg.ReadString("OneTime") : std::string("-"), c.stored);
  }
}

TEST_F(ReviewRepairTest, TheMainWindowTakesNoInputWhileRepairing) {
  TTarnwickForm& f = Scan({{4, 2}});
  const int pumpsBefore = view.pump.Count();
  int repairsInside = 0;
  view.pump.OnPump([&](int n) {
    if (n - pumpsBefore != 1) return;
    EXPECT_TRUE(f.Repairing());
    f.RepairBtnClick();
    f.ScanNowBtnClick();
    f.FinishBtnClick();
    f.ScanBtnClick();
    f.ProblemsListBoxClick(1);
    f.Excludeandaddkeytoignorelist1Click();
    f.SelectNone1Click();
    repairsInside = static_cast<int>(view.dialogs.size());
  });
  f.RepairBtnClick();
  EXPECT_EQ(repairsInside, 1);
  EXPECT_EQ(Repaired(), (std::vector<std::string>{"4:value0", "4:value1"}));
  EXPECT_FALSE(mp().files.FileExists(kIgnoreFile));
  EXPECT_EQ(f.ScanPage(), kFinishPage);
  EXPECT_EQ(f.Mode(), kModeFinish);

  // Repair does nothing where its button is not shown.
  f.FinishBtnClick();
  f.RepairBtnClick();
  EXPECT_EQ(view.dialogs.size(), 1u);
}

}  // namespace
}  // namespace tw
