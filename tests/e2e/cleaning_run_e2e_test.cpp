// A whole cleaning run on the real registry: seed broken entries for the built sections, scan through the main
// window, untick one, exclude one, repair, then import the repair's backup with the system registry editor and
// compare the affected keys with their state before the repair.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ignore_list.h"
#include "app/main_window.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_form_view.h"
#include "e2e/registry_snapshot.h"

namespace tw {
namespace {

using test::RegistrySnapshot;

constexpr const char* kTag = "tarnwick-run";
constexpr const char* kFolder = "C:\\tarnwick-run";
constexpr const char* kRepairedClass = "CLSID\\{7A12E2E1-0000-4000-8000-000000000001}";
constexpr const char* kExcludedClass = "CLSID\\{7A12E2E1-0000-4000-8000-000000000002}";
constexpr const char* kClassMarker = "{7A12E2E1-";
constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kAppPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarnwick-run-gone.exe";
constexpr const char* kSounds = "Control Panel\\Sounds";
constexpr const char* kKeptDll = "C:\\tarnwick-run\\kept.dll";
constexpr const char* kGoneDll = "C:\\tarnwick-run\\gone.dll";
constexpr const char* kFont = "Tarnwick Run Gone (TrueType)";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class CleaningRunE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ExecutableFolder(real_.files);
    helpExisted_ = TRegistry(real_.registry, kLocalMachine).KeyExists(kHelp);
    soundsExisted_ = TRegistry(real_.registry, kLocalMachine).KeyExists(kSounds);
    RemoveSeeds();
    RemoveOwnFiles();

    // Section 1: two classes whose in-process server names no file, one with values and a subkey below it.
    const std::string server = std::string(kRepairedClass) + "\\InprocServer32";
    Set(kClassesRoot, server, "", kRegSz, Sz(""));
    Set(kClassesRoot, server, "ThreadingModel", kRegSz, Sz("Apartment"));
    Set(kClassesRoot, server + "\\Extra", "Blob", kRegBinary, {0, 1, 0, 0xFE});
    Set(kClassesRoot, server + "\\Extra", "Paths", kRegMultiSz, Bytes{'a', 0, '\\', 'b', 0, 0});
    Set(kClassesRoot, std::string(kExcludedClass) + "\\InprocServer32", "", kRegSz, Sz(""));
    // Section 4: two counts of missing libraries; one is left unticked.
    Set(kLocalMachine, kSharedDlls, kGoneDll, kRegDword, {1, 0, 0, 0});
    Set(kLocalMachine, kSharedDlls, kKeptDll, kRegDword, {3, 0, 0, 0});
    // Sections 5, 9, 10 and 15.
    Set(kLocalMachine, kFonts, kFont, kRegSz, Sz("tarnwick-run-gone.ttf"));
    Set(kLocalMachine, kHelp, "tarnwick-run-gone.hlp", kRegSz, Sz(kFolder));
    Set(kLocalMachine, kAppPath, "", kRegSz, Sz("C:\\tarnwick-run\\gone.exe"));
    Set(kLocalMachine, kAppPath, "Path", kRegSz, Sz(kFolder));
    Set(kLocalMachine, kAppPath, "UseURL", kRegDword, {1, 0, 0, 0});
    Set(kLocalMachine, kSounds, "", kRegSz, Sz("tarnwick-run.wav"));
  }
  void TearDown() override {
    RemoveSeeds();
    RemoveOwnFiles();
  }

  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(real_.registry, root, path, true), kOk) << path;
    ASSERT_EQ(real_.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  void RemoveSeeds() {
    IRegistry& reg = real_.registry;
    DeleteKeyAt(reg, kClassesRoot, kRepairedClass);
    DeleteKeyAt(reg, kClassesRoot, kExcludedClass);
    const std::string machine = "HKEY_LOCAL_MACHINE\\";
    DeleteValueAt(reg, machine + kSharedDlls, kGoneDll);
    DeleteValueAt(reg, machine + kSharedDlls, kKeptDll);
    DeleteValueAt(reg, machine + kFonts, kFont);
    if (helpExisted_) DeleteValueAt(reg, machine + kHelp, "tarnwick-run-gone.hlp");
    else DeleteKeyAt(reg, kLocalMachine, kHelp);
    DeleteKeyAt(reg, kLocalMachine, kAppPath);
    if (soundsExisted_) DeleteValueAt(reg, machine + kSounds, "default");
    else DeleteKeyAt(reg, kLocalMachine, kSounds);
  }
  void RemoveOwnFiles() {
    real_.files.RemoveFile(folder_ + kIgnoreFileName);
    real_.files.RemoveFile(folder_ + kScanResultFileName);
    for (const std::string& file : Backups()) real_.files.RemoveFile(file);
    real_.files.RemoveFolder(folder_ + "RepairBackup");
  }
  std::vector<std::string> Backups() {
    std::vector<std::string> found;
    FindData data;
    const std::string dir = folder_ + "RepairBackup\\";
    FindHandle h = real_.files.FindFirst(dir + "*.reg", &data);
    if (h == 0) return found;
    do found.push_back(dir + data.name);
    while (real_.files.FindNext(h, &data));
    real_.files.FindClose(h);
    return found;
  }

  // Every key this run may touch.
  RegistrySnapshot Snap() {
    RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_CLASSES_ROOT, kRepairedClass, snap);
    test::AddToSnapshot(HKEY_CLASSES_ROOT, kExcludedClass, snap);
    for (const char* key : {kSharedDlls, kFonts, kHelp, kAppPath, kSounds})
      test::AddToSnapshot(HKEY_LOCAL_MACHINE, key, snap);
    return snap;
  }

  static bool Ours(const TContent& c) {
    for (const std::string* text : {&c.FullKeyPath, &c.ValueName, &c.ValueData})
      if (text->find(kTag) != std::string::npos || text->find(kClassMarker) != std::string::npos) return true;
    return false;
  }
  static int RowOf(const TTarnwickForm& form, const std::string& needle) {
    const TRegistryContents& review = form.Lists().Review;
    for (int row = 0; row < review.Count(); ++row) {
      const TContent& c = review.Items(row).Content;
      if (c.FullKeyPath.find(needle) != std::string::npos || c.ValueName == needle) return row;
    }
    return -1;
  }

  Win32Platform real_;
  std::string folder_;
  bool helpExisted_ = false;
  bool soundsExisted_ = false;
};

TEST_F(CleaningRunE2E, TheRegistryEditorRestoresWhatTheRepairRemovedAndNothingElseIsTouched) {
  Settings settings;
  settings.SelectAll = true;
  test::RecordingFormView view;
  TTarnwickForm form(real_.platform, settings, view, "");
  form.FormCreate();
  const RegistrySnapshot before = Snap();

  form.ScanNowBtnClick();
  ASSERT_EQ(form.Mode(), kModeReview);
  // The prefix may hold findings of its own: only the seeded ones stay ticked.
  std::vector<std::string> ours;
  for (int row = 0; row < form.Lists().Review.Count(); ++row) {
    const TContent& c = form.Lists().Review.Items(row).Content;
    if (Ours(c)) ours.push_back(c.FullKeyPath + "|" + c.ValueName);
    else form.ProblemsListBoxClickCheck(row);
  }
  ASSERT_EQ(ours.size(), 8u) << ::testing::PrintToString(ours);

  const int kept = RowOf(form, kKeptDll);
  ASSERT_GE(kept, 0);
  form.ProblemsListBoxClickCheck(kept);
  const int excluded = RowOf(form, kExcludedClass);
  ASSERT_GE(excluded, 0);
  const TContent excludedRecord = form.Lists().Review.Items(excluded).Content;
  form.ProblemsListBoxClick(excluded);
  form.Excludeandaddkeytoignorelist1Click();
  ASSERT_EQ(RowOf(form, kExcludedClass), -1);
  std::string ignoreLines;
  ASSERT_TRUE(real_.files.ReadWholeFile(folder_ + kIgnoreFileName, &ignoreLines));
  EXPECT_EQ(ignoreLines, "ActiveX, OLE, COM|" + excludedRecord.FullKeyPath + "|" + excludedRecord.ValueName + "\r\n");

  form.RepairBtnClick();
  ASSERT_EQ(form.ScanPage(), kFinishPage);
  ASSERT_EQ(view.prompts.calls.size(), 1u);
  EXPECT_EQ(view.prompts.calls[0].text,
            "Registry backup complete! Backup file at \r" + folder_ +
                "RepairBackup\\ folder.\r\rYou can use registry restore function to restore it.\rPress OK to repair "
                "problems now!");
  const TRepairContents& rows = form.Lists().Repairs;
  ASSERT_EQ(rows.Count(), 6);
  for (const auto& row : rows) EXPECT_EQ(row.Rec.Status, "Repaired Successfully") << row.Rec.Caption;

  // The repair removed exactly the six ticked findings; the unticked and the excluded entries are as they were.
  const RegistrySnapshot repaired = Snap();
  for (const auto& [entry, value] : before) {
    const std::string name = test::SnapshotEntryName(entry);
    const bool untouched = name.find("{7A12E2E1-0000-4000-8000-000000000002}") != std::string::npos ||
                           name.find(kKeptDll) != std::string::npos;
    if (untouched) {
      auto it = repaired.find(entry);
      EXPECT_TRUE(it != repaired.end() && it->second == value) << "touched: " << name;
    }
  }
  TRegistry classes(real_.registry, kClassesRoot);
  EXPECT_FALSE(classes.KeyExists(std::string(kRepairedClass) + "\\InprocServer32"));
  EXPECT_FALSE(TRegistry(real_.registry, kLocalMachine).KeyExists(kAppPath));
  TRegistry sounds(real_.registry, kLocalMachine);
  EXPECT_FALSE(sounds.OpenKey(kSounds, false) && sounds.ValueExists(""));

  // Restored through the backup page: the registry editor imports the file, and the check after it finds
  // every key and value of the file back.
  ASSERT_EQ(Backups().size(), 1u);
  form.BackupBtnClick();
  ASSERT_EQ(form.BackupList().Rows().size(), 1u);
  form.BackupListViewSelect(0);
  view.prompts.Answer(PromptAnswer::Yes);
  form.RestoreRegistryBtnClick();
  ASSERT_EQ(view.prompts.calls.size(), 3u);
  EXPECT_EQ(view.prompts.calls[1].text, "Do you want to restore registry now?");
  EXPECT_EQ(view.prompts.calls[2].text, "Restore registry successfully!");
  test::ExpectSameSnapshot(before, Snap());
  form.ScanBtnClick();

  // Back to the scan page; the next scan finds the restored entries again but not the excluded one.
  form.FinishBtnClick();
  ASSERT_EQ(form.ScanPage(), kScanSectionsPage);
  form.ScanNowBtnClick();
  EXPECT_EQ(RowOf(form, kExcludedClass), -1);
  EXPECT_GE(RowOf(form, kRepairedClass), 0);
  EXPECT_GE(RowOf(form, kGoneDll), 0);
  EXPECT_GE(RowOf(form, kFont), 0);
}

}  // namespace
}  // namespace tw
