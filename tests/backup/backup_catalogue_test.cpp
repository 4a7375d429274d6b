#include "backup/backup_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::PromptCall;

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\tarnwick.exe";
constexpr const char* kRepairFolder = "C:\\Program Files\\Tarnwick\\RepairBackup\\";
constexpr const char* kFullFolder = "C:\\Program Files\\Tarnwick\\FullBackup\\";
constexpr uint64_t kTicksPerSecond = 10000000;
// 2026-12-07 00:00:00 as a file time.
constexpr uint64_t kDec7 = 13441075200ull * kTicksPerSecond;

LocalTime At(int year, int month, int day, int hour, int minute, int second) {
  LocalTime t;
  t.year = year, t.month = month, t.day = day, t.hour = hour, t.minute = minute, t.second = second;
  return t;
}

TEST(BackupTimeTest, CaptionsAndFileTimes) {
  struct Case {
    LocalTime time;
    const char* text;
  };
  const char* const months[12] = {"Jan.", "Feb.", "Mar.", "Apr.", "May.", "June.",
                                  "July.", "Aug.", "Sept.", "Oct.", "Nov.", "Dec."};
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(FormatBackupTime(At(2026, m, 1, 1, 2, 3)), std::string(months[m - 1]) + " 1, 2026 1:2:3 AM");
  const Case cases[] = {
      {At(2026, 12, 7, 0, 47, 57), "Dec. 7, 2026 0:47:57 AM"},
      {At(2026, 12, 7, 12, 5, 9), "Dec. 7, 2026 0:5:9 PM"},
      {At(2026, 12, 7, 11, 59, 59), "Dec. 7, 2026 11:59:59 AM"},
      {At(2026, 12, 7, 23, 0, 0), "Dec. 7, 2026 11:0:0 PM"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatBackupTime(c.time), c.text);

  struct Stamp {
    uint64_t fileTime;
    const char* text;
  };
  const Stamp stamps[] = {
      {0, "Jan. 1, 1601 0:0:0 AM"},
      {kDec7 + (47 * 60 + 57) * kTicksPerSecond, "Dec. 7, 2026 0:47:57 AM"},
      {13353681600ull * kTicksPerSecond, "Feb. 29, 2024 0:0:0 PM"},
      {13353681600ull * kTicksPerSecond - 1, "Feb. 29, 2024 11:59:59 AM"},
  };
  for (const Stamp& s : stamps) EXPECT_EQ(FormatBackupTime(FileTimeToCalendar(s.fileTime)), s.text) << s.text;
}

class BackupCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mp.files.SetExecutablePath(kExe);
    mp.files.SetClock(kDec7 + (12 * 3600 + 5 * 60 + 9) * kTicksPerSecond);
  }
  // A value under HKEY_CURRENT_USER\Software\T.
  void Set(const std::string& name, const std::string& text) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, kCurrentUser, "Software\\T", true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, kRegSz, Bytes(text.begin(), text.end() + 1)), kOk);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const PromptCall& call : prompts.calls) texts.push_back(call.text);
    return texts;
  }

  MemoryPlatform mp;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
};

TEST_F(BackupCatalogueTest, ListsTheBackupFilesOfItsFolder) {
  TBackupList page(mp.platform, prompts, pump, kRepairBackupFolder, true);
  page.Load();
  EXPECT_TRUE(page.Rows().empty());  // no folder yet
  mp.files.AddFile(std::string(kRepairFolder) + "_20261207_120509.reg", "x");
  mp.files.AddFolder(std::string(kRepairFolder) + "x.reg");
  mp.files.AddFile(std::string(kRepairFolder) + "speedRestore20261207_120509.ini", "x");
  mp.files.AddFile(std::string(kRepairFolder) + "a.REG", "x");
  page.Load();
  ASSERT_EQ(page.Rows().size(), 2u);
  EXPECT_EQ(page.Rows()[0].Caption, "Dec. 7, 2026 0:5:9 PM(Partial)");
  EXPECT_EQ(page.Rows()[0].Path, std::string(kRepairFolder) + "a.REG");
  EXPECT_EQ(page.Rows()[1].Path, std::string(kRepairFolder) + "_20261207_120509.reg");

  TBackupList full(mp.platform, prompts, pump, kFullBackupFolder, false);
  mp.files.AddFile(std::string(kFullFolder) + "Backup_20261207_120509.reg", "x");
  full.Load();
  ASSERT_EQ(full.Rows().size(), 1u);
  EXPECT_EQ(full.Rows()[0].Caption, "Dec. 7, 2026 0:5:9 PM");
  EXPECT_TRUE(prompts.calls.empty());
}

// Restore imports with the registry editor, waits for it, and believes only what the registry then holds.
TEST_F(BackupCatalogueTest, RestoreReportsWhatTheRegistryHoldsAfterTheImport) {
  const std::string file = std::string(kRepairFolder) + "_1.reg";
  const std::string body = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"a\"=\"1\"\r\n"
                           "\"b\"=\"2\"\r\n[HKEY_CURRENT_USER\\Software\\T\\Sub]\r\n";
  struct Case {
    const char* what;
    bool select;
    PromptAnswer answer;
    std::string contents;  // empty: no file
    bool editorStarts;
    std::vector<std::string> importSets;  // what the import writes: "name=text", "Sub" for the key
    std::string lastText;
    bool started;
  };
  const std::string gone = "The backup file no longer exists:\r" + file + "\r\rNothing was restored.";
  const Case cases[] = {
      {"no row", false, PromptAnswer::Yes, body, true, {}, kNoRowSelectedText, false},
      {"answered No", true, PromptAnswer::No, body, true, {}, kAskRestoreText, false},
      {"file gone", true, PromptAnswer::Yes, "", true, {}, gone, false},
      {"editor does not start", true, PromptAnswer::Yes, body, false, {},
       "The registry editor could not be started, so nothing was restored from\r" + file, true},
      {"all back", true, PromptAnswer::Yes, body, true, {"a=1", "b=2", "Sub"}, kRestoredText, true},
      {"a value and a key missing", true, PromptAnswer::Yes, body, true, {"a=1", "b=3"},
       "The registry was not restored completely: 1 keys and 1 values of the backup file did not come back.\r\r" +
           file,
       true},
      {"not an export", true, PromptAnswer::Yes, "hello", true, {},
       file + "\r\ris not a registry export file. Nothing was restored from it.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mp.registry.DeleteTree(kCurrentUser, "Software\\T");
    mp.files.RemoveFile(file);
    if (!c.contents.empty()) mp.files.AddFile(file, c.contents);
    mp.shell.startCalls.clear();
    mp.shell.SetExecuteResult(c.editorStarts);
    mp.shell.programPolls = 3;
    mp.shell.onStart = [&](const std::string&, const std::string&) {
      for (const std::string& set : c.importSets) {
        const size_t eq = set.find('=');
        if (eq == std::string::npos) {
          RegKeyHandle key;
          key.Open(mp.registry, kCurrentUser, "Software\\T\\" + set, true);
        } else {
          Set(set.substr(0, eq), set.substr(eq + 1));
        }
      }
    };
    test::RecordingPrompts prompts;
    prompts.Answer(c.answer);
    TBackupList page(mp.platform, prompts, pump, kRepairBackupFolder, true);
    mp.files.AddFile(file, "");  // listed even when the case takes it away again
    page.Load();
    mp.files.RemoveFile(file);
    if (!c.contents.empty()) mp.files.AddFile(file, c.contents);
    page.Select(c.select ? 0 : -1);
    const int pumpsBefore = pump.Count();
    page.RestoreRegistryBtnClick();
    ASSERT_FALSE(prompts.calls.empty());
    EXPECT_EQ(prompts.calls.back().text, c.lastText);
    ASSERT_EQ(mp.shell.startCalls.size(), c.started ? 1u : 0u);
    if (c.started) {
      EXPECT_EQ(mp.shell.startCalls[0].file, "Regedit");
      EXPECT_EQ(mp.shell.startCalls[0].parameters, "/s \"" + file + "\"");
      // The window answered while the editor ran.
      if (c.editorStarts) {
        EXPECT_GE(pump.Count() - pumpsBefore, 2);
      }
    }
    EXPECT_FALSE(page.Busy());
  }
}

TEST_F(BackupCatalogueTest, RemoveDeletesTheFileAndItsRow) {
  const std::string file = std::string(kRepairFolder) + "_1.reg";
  struct Case {
    const char* what;
    bool select;
    PromptAnswer answer;
    uint32_t attributes;  // 0: the file is gone by the time of the click
    std::vector<std::string> texts;
    size_t rowsAfter;
    bool fileAfter;
  };
  const Case cases[] = {
      {"no row", false, PromptAnswer::Yes, kAttrArchive, {kNoRowSelectedText}, 1, true},
      {"answered No", true, PromptAnswer::No, kAttrArchive, {kAskRemoveText}, 1, true},
      {"already gone", true, PromptAnswer::Yes, 0, {kAskRemoveText}, 1, false},
      {"read-only", true, PromptAnswer::Yes, kAttrReadOnly, {kAskRemoveText, kRemoveFailedText}, 1, true},
      {"removed", true, PromptAnswer::Yes, kAttrArchive, {kAskRemoveText, kRemovedText}, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mp.files.SetAttributes(file, kAttrArchive);
    mp.files.RemoveFile(file);
    mp.files.AddFile(file, "x");
    test::RecordingPrompts prompts;
    TBackupList page(mp.platform, prompts, pump, kRepairBackupFolder, true);
    page.Load();
    if (c.attributes) {
      mp.files.SetAttributes(file, c.attributes);
    } else {
      mp.files.RemoveFile(file);
    }
    page.Select(c.select ? 0 : -1);
    prompts.Answer(c.answer);
    page.RemoveBackupBtnClick();
    std::vector<std::string> texts;
    for (const PromptCall& call : prompts.calls) texts.push_back(call.text);
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(page.Rows().size(), c.rowsAfter);
    EXPECT_EQ(mp.files.FileExists(file), c.fileAfter);
  }
}

class RecordingBackupForm : public IRegBackupFormView {
 public:
  void ShowHint(const std::string& text) override { log += "hint " + text + ";"; }
  void CloseHint() override { log += "close hint;"; }
  void RowsChanged() override { ++rowChanges; }
  void Close() override { log += "close;"; }
  std::string log;
  int rowChanges = 0;
};

// A full backup runs "Regedit /E" into a new file, waits for it, and counts only a file that is there and
// not empty.
TEST_F(BackupCatalogueTest, FullBackupWaitsForTheEditorAndChecksItsFile) {
  mp.system.SetNow(At(2026, 12, 7, 12, 5, 9));
  const std::string first = std::string(kFullFolder) + "Backup_20261207_120509.reg";
  struct Case {
    const char* what;
    bool editorStarts;
    std::string written;  // what the editor leaves in the file; empty: no file
    std::string path;
    std::string text;
    size_t rows;
  };
  const Case cases[] = {
      {"created", true, "REGEDIT4", first, kFullBackupCreatedText, 1},
      {"same second again", true, "REGEDIT4", std::string(kFullFolder) + "Backup_20261207_120509_2.reg",
       kFullBackupCreatedText, 2},
      {"empty file", true, "\0", std::string(kFullFolder) + "Backup_20261207_120509_3.reg", kFullBackupFailedText, 2},
      {"editor does not start", false, "", std::string(kFullFolder) + "Backup_20261207_120509_4.reg",
       kFullBackupFailedText, 2},
  };
  RecordingBackupForm view;
  TRegBackupForm form(mp.platform, prompts, pump, view);
  form.FormShow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mp.shell.SetExecuteResult(c.editorStarts);
    mp.shell.startCalls.clear();
    std::string exported;
    mp.shell.onStart = [&](const std::string&, const std::string& parameters) {
      exported = parameters.substr(4, parameters.size() - 5);
      if (c.written != std::string(1, '\0')) mp.files.WriteWholeFile(exported, c.written);
      if (c.written == std::string(1, '\0')) mp.files.WriteWholeFile(exported, "");
    };
    prompts.calls.clear();
    view.log.clear();
    form.BackupRegistryBtnClick();
    EXPECT_EQ(view.log, "hint Backup registry, please wait...;close hint;");
    EXPECT_EQ(Texts(), std::vector<std::string>{c.text});
    ASSERT_EQ(mp.shell.startCalls.size(), 1u);
    EXPECT_EQ(mp.shell.startCalls[0].parameters, "/E \"" + c.path + "\"");
    EXPECT_EQ(form.List().Rows().size(), c.rows);
    EXPECT_EQ(form.List().Rows().back().Path, first.substr(0, first.size() - 4) + (c.rows == 2 ? "_2.reg" : ".reg"));
  }
  // The list is read again from the folder when the window is shown.
  form.FormShow();
  EXPECT_EQ(form.List().Rows().size(), 3u);
}

class RecordingFirstBackup : public IFirstFullBackupView {
 public:
  explicit RecordingFirstBackup(const TFirstFullBackupDialog*& dialog) : dialog_(dialog) {}
  void Repaint() override {
    log += dialog_->Message() + "|" + dialog_->ButtonCaption() + (dialog_->ButtonEnabled() ? "" : " (disabled)") + ";";
  }
  void Close() override { log += "close;"; }
  std::string log;

 private:
  const TFirstFullBackupDialog*& dialog_;
};

TEST_F(BackupCatalogueTest, FirstFullBackupDialogBacksUpOnceThenCloses) {
  const TFirstFullBackupDialog* shown = nullptr;
  RecordingFirstBackup view(shown);
  mp.shell.onStart = [&](const std::string&, const std::string& parameters) {
    mp.files.WriteWholeFile(parameters.substr(4, parameters.size() - 5), "REGEDIT4");
  };
  TFirstFullBackupDialog dialog(mp.platform, pump, view);
  shown = &dialog;
  EXPECT_FALSE(dialog.MessageVisible());
  EXPECT_EQ(dialog.ButtonCaption(), "Backup Now");
  dialog.OKButtonClick();
  EXPECT_EQ(view.log,
            "Backup is in process, please wait.|Backup Now (disabled);Backup registry complete!|OK;");
  EXPECT_TRUE(dialog.MessageVisible());
  dialog.OKButtonClick();
  EXPECT_EQ(view.log.substr(view.log.size() - 6), "close;");
  EXPECT_EQ(mp.shell.startCalls.size(), 1u);

  // A backup that leaves no file says so in the dialog.
  mp.shell.onStart = nullptr;
  RecordingFirstBackup failedView(shown);
  TFirstFullBackupDialog failed(mp.platform, pump, failedView);
  shown = &failed;
  failed.OKButtonClick();
  EXPECT_EQ(failed.Message(), kFullBackupFailedText);
}

}  // namespace
}  // namespace tw
