// The startup manager on the real registry, the real Startup folders with shortcuts made by the shell's link
// object, and win.ini through the profile functions: the listing holds exactly what was seeded, and a
// disable-enable and a remove-restore round trip bring every value back with its type and bytes and every
// file with its contents. The version reader reads the resource of a program Wine ships.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/scan_driver.h"
#include "backup/backup_catalogue.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"
#include "support/test_platform.h"
#include "tools/startup_manager.h"
#include "registry_snapshot.h"

namespace tw {
namespace {

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunServices = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr const char* kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct SeedValue {
  HKey root;
  const char* key;
  const char* name;
  uint32_t type;
  Bytes data;
};

Bytes Sz(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

bool MakeShortcut(const std::string& file, const std::string& target, const std::string& arguments) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool saved = false;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link->SetArguments(arguments.c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    saved = SUCCEEDED(persist->Save(wide, TRUE));
    persist->Release();
  }
  link->Release();
  return saved;
}

// A row as the test compares it: name, path, status and location.
using RowText = std::vector<std::string>;
RowText TextOf(const StartupRow& row) { return {row.Name, row.Path, row.Status, row.Location}; }

class StartupManagerE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    windows_ = real_.files.WindowsDir();
    storage_ = ExecutableFolder(real_.files) + kRepairBackupFolder;
    RemoveFolderTree(real_.files, storage_);
    // The Startup folders, made and entered in the Shell Folders key as the shell does.
    for (const auto& [csidl, root, name] : {std::tuple{CSIDL_COMMON_STARTUP, kLocalMachine, "Common Startup"},
                                            std::tuple{CSIDL_STARTUP, kCurrentUser, "Startup"}}) {
      char path[MAX_PATH] = {};
      ASSERT_EQ(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
      TRegistry reg(real_.registry, root);
      ASSERT_TRUE(reg.OpenKey(kShellFolders, true));
      if (reg.ReadString(name) != path) {
        ASSERT_TRUE(reg.WriteString(name, path));
      }
      folders_.push_back(path);
    }
    baseline_ = Listing();
    seed_ = {
        {kLocalMachine, kRun, "TwE2E Editor", kRegSz, Sz("\"" + windows_ + "\\regedit.exe\" /s x.reg")},
        {kLocalMachine, kRun, "TwE2E Same", kRegExpandSz, Sz("%SystemRoot%\\machine.exe")},
        {kLocalMachine, kRunServices, "TwE2E Binary", kRegBinary, {0, 1, 0xFF, 0x22}},
        {kCurrentUser, kRun, "TwE2E Same", kRegSz, Sz("C:\\user \"#|\" \xE9.exe")},
        {kCurrentUser, kRunOnce, "TwE2E Number", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}},
    };
    for (const SeedValue& value : seed_) {
      RegKeyHandle key;
      ASSERT_EQ(key.Open(real_.registry, value.root, value.key, true), kOk);
      ASSERT_EQ(real_.registry.SetValue(key.Get(), value.name, value.type, value.data), kOk);
    }
    // Two shortcuts of one name, one in each folder, and one more in the user's.
    shortcuts_ = {folders_[0] + "\\TwE2E Tool.lnk", folders_[1] + "\\TwE2E Mine.lnk", folders_[1] + "\\TwE2E Tool.lnk"};
    ASSERT_TRUE(MakeShortcut(shortcuts_[0], windows_ + "\\notepad.exe", "/common"));
    ASSERT_TRUE(MakeShortcut(shortcuts_[1], windows_ + "\\regedit.exe", ""));
    ASSERT_TRUE(MakeShortcut(shortcuts_[2], windows_ + "\\notepad.exe", "/user \"with quotes\""));
    ASSERT_TRUE(real_.profile.WriteString("", "Load", "TwE2ELoad", "C:\\load me.exe"));
    ASSERT_TRUE(real_.profile.WriteString("", "Run", "TwE2ERun", "run.exe /r"));
  }

  void TearDown() override {
    for (const SeedValue& value : seed_) {
      RegKeyHandle key;
      if (key.Open(real_.registry, value.root, value.key, false) == kOk) real_.registry.DeleteValue(key.Get(), value.name);
    }
    for (const std::string& file : shortcuts_) real_.files.RemoveFile(file);
    real_.profile.DeleteKey("", "Load", "TwE2ELoad");
    real_.profile.DeleteKey("", "Run", "TwE2ERun");
    RemoveFolderTree(real_.files, storage_);
    CoUninitialize();
  }

  std::vector<RowText> Listing() {
    TStartupManagerForm form(real_.platform, prompts, pump);
    form.FormShow();
    std::vector<RowText> rows;
    for (const StartupRow& row : form.Rows()) rows.push_back(TextOf(row));
    return rows;
  }
  // The rows of the form that were not there before the seed.
  std::vector<RowText> SeededRows(const TStartupManagerForm& form) {
    std::vector<RowText> rows;
    for (const StartupRow& row : form.Rows())
      if (std::find(baseline_.begin(), baseline_.end(), TextOf(row)) == baseline_.end()) rows.push_back(TextOf(row));
    return rows;
  }
  test::RegistrySnapshot Snapshot() {
    test::RegistrySnapshot snap;
    for (const SeedValue& value : seed_)
      test::AddToSnapshot(value.root == kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, value.key, snap);
    return snap;
  }
  std::map<std::string, std::string> Contents() {
    std::map<std::string, std::string> contents;
    for (const std::string& file : shortcuts_)
      if (!real_.files.ReadWholeFile(file, &contents[file])) contents[file] = "<missing>";
    return contents;
  }
  // Marks every seeded registry and folder row in the given status.
  void MarkSeeded(TStartupManagerForm& form, const std::string& status) {
    for (size_t i = 0; i < form.Rows().size(); ++i) {
      const StartupRow& row = form.Rows()[i];
      if (row.Status == status && row.Kind != StartupKind::WinIni && row.Name.find("TwE2E") != std::string::npos)
        form.ToggleMark(static_cast<int>(i));
    }
  }
  std::string Location(HKey root, const char* key) { return RootKeyName(root) + "\\" + key; }

  Win32Platform real_;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
  std::string windows_, storage_;
  std::vector<std::string> folders_, shortcuts_;
  std::vector<SeedValue> seed_;
  std::vector<RowText> baseline_;
};

TEST_F(StartupManagerE2E, ListsTheSeedAndRoundTripsBringEverythingBackExactly) {
  const std::string editor = "\"" + windows_ + "\\regedit.exe\" /s x.reg";
  TStartupManagerForm form(real_.platform, prompts, pump);
  form.FormShow();
  std::vector<RowText> rows = SeededRows(form);
  // The user's folder lists its files in the order the file system gives them.
  ASSERT_GE(rows.size(), 3u);
  std::sort(rows.begin() + 1, rows.begin() + 3);
  const std::vector<RowText> want = {
      {"TwE2E Tool.lnk", shortcuts_[0], "Enable", ""},
      {"TwE2E Mine.lnk", shortcuts_[1], "Enable", ""},
      {"TwE2E Tool.lnk", shortcuts_[2], "Enable", ""},
      {"TwE2E Editor", editor, "Enable", Location(kLocalMachine, kRun)},
      {"TwE2E Same", "%SystemRoot%\\machine.exe", "Enable", Location(kLocalMachine, kRun)},
      {"TwE2E Binary", "", "Enable", Location(kLocalMachine, kRunServices)},
      {"TwE2E Same", "C:\\user \"#|\" \xE9.exe", "Enable", Location(kCurrentUser, kRun)},
      {"TwE2E Number", "-2", "Enable", Location(kCurrentUser, kRunOnce)},
      {"TwE2ELoad", "C:\\load me.exe", "Win.ini", ""},
      {"TwE2ERun", "run.exe /r", "Win.ini", ""},
  };
  EXPECT_EQ(rows, want);

  // The detail rows of the entry that starts Wine's registry editor carry its version resource.
  int entry = -1;
  for (size_t i = 0; i < form.Rows().size(); ++i)
    if (form.Rows()[i].Name == "TwE2E Editor") entry = static_cast<int>(i);
  ASSERT_GE(entry, 0);
  form.ToggleExpander(entry);
  ASSERT_GT(form.Rows().size(), static_cast<size_t>(entry) + 7);
  std::map<std::string, std::string> details;
  for (int i = entry + 1; i <= entry + 7; ++i) details[form.Rows()[i].Name] = form.Rows()[i].Path;
  EXPECT_EQ(details["Type"], "Registry");
  EXPECT_EQ(details["Postion"], Location(kLocalMachine, kRun));
  EXPECT_EQ(details["Product Name"], "Wine");
  EXPECT_EQ(details["Publish Name"], "Microsoft Corporation");
  EXPECT_EQ(details["Version"], "5.2.3790.0");
  EXPECT_EQ(details["Description"], "Wine Registry Editor");
  EXPECT_EQ(details["File Path"], windows_ + "\\regedit.exe");

  const test::RegistrySnapshot before = Snapshot();
  const std::map<std::string, std::string> contents = Contents();
  // Disable, then enable; remove, then restore.
  for (bool remove : {false, true}) {
    SCOPED_TRACE(remove ? "remove-restore" : "disable-enable");
    TStartupManagerForm round(real_.platform, prompts, pump);
    round.FormShow();
    MarkSeeded(round, "Enable");
    if (remove) {
      prompts.Answer(PromptAnswer::Yes);
      round.BtRemoveClick();
    } else {
      round.DeleteItemBtnClick();
    }
    for (const auto& [file, text] : Contents()) EXPECT_EQ(text, "<missing>") << file;
    for (const auto& [entryName, value] : Snapshot())
      EXPECT_EQ(entryName.find(L"TwE2E"), std::wstring::npos) << test::SnapshotEntryName(entryName);
    if (remove) {
      round.ImageEx2Click();
      EXPECT_EQ(round.RestoreRows().size(), seed_.size() + shortcuts_.size());
      for (size_t i = 0; i < round.RestoreRows().size(); ++i) round.SetRestoreChecked(static_cast<int>(i), true);
      round.RestoreBtnClick();
      EXPECT_TRUE(round.RestoreRows().empty());
    } else {
      MarkSeeded(round, "Disable");
      round.OpenPathBtnClick();
    }
    test::ExpectSameSnapshot(before, Snapshot());
    EXPECT_EQ(Contents(), contents);
    FindData found;
    EXPECT_EQ(real_.files.FindFirst(storage_ + "\\del\\*.lnk", &found), 0u);
  }

  // Disable deletes only the marked win.ini key; the other section keeps its own.
  TStartupManagerForm ini(real_.platform, prompts, pump);
  ini.FormShow();
  for (size_t i = 0; i < ini.Rows().size(); ++i)
    if (ini.Rows()[i].Name == "TwE2ELoad") ini.ToggleMark(static_cast<int>(i));
  ini.DeleteItemBtnClick();
  EXPECT_EQ(real_.profile.ReadString("", "Load", "TwE2ELoad", "-"), "-");
  EXPECT_EQ(real_.profile.ReadString("", "Run", "TwE2ERun", "-"), "run.exe /r");
}

// A removed value's export is listed on the backup page, and restoring it there brings the value back with its
// type and bytes.
TEST_F(StartupManagerE2E, ARemovedValueComesBackFromTheBackupPage) {
  const test::RegistrySnapshot before = Snapshot();
  TStartupManagerForm form(real_.platform, prompts, pump);
  form.FormShow();
  for (size_t i = 0; i < form.Rows().size(); ++i)
    if (form.Rows()[i].Name == "TwE2E Binary") form.ToggleMark(static_cast<int>(i));
  prompts.Answer(PromptAnswer::Yes);
  form.BtRemoveClick();
  EXPECT_NE(before, Snapshot());
  TBackupList page(real_.platform, prompts, pump, kRepairBackupFolder, true);
  page.Load();
  ASSERT_EQ(page.Rows().size(), 1u);
  page.Select(0);
  prompts.Answer(PromptAnswer::Yes);
  page.RestoreRegistryBtnClick();
  EXPECT_EQ(prompts.calls.back().text, "Restore registry successfully!");
  test::ExpectSameSnapshot(before, Snapshot());
}

TEST(AppObjE2E, ReadsTheVersionResourceOfAWineProgram) {
  Win32Platform real;
  TAppObj app(real.files);
  app.Read(real.files.WindowsDir() + "\\regedit.exe");
  EXPECT_EQ(app.String(TAppObj::VersionText), "5.2.3790.0");
  EXPECT_EQ(app.TranslationKey(), "040904b0");
  const std::vector<std::string> want = {"5.2.3790.0", "Microsoft Corporation", "Wine Registry Editor", "5.2.3790.0",
                                         "REGEDIT", app.String(TAppObj::LegalCopyright), "", "REGEDIT.EXE", "Wine",
                                         "5.2", ""};
  for (int i = 0; i <= TAppObj::Comments; ++i) EXPECT_EQ(app.String(i), want[static_cast<size_t>(i)]) << i;
  EXPECT_NE(app.String(TAppObj::LegalCopyright).find("Wine project"), std::string::npos);
  EXPECT_EQ(app.FileName(), "regedit.exe");
  // A program without a version resource (the test suite itself) leaves every string empty.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  app.Read(self);
  for (int i = 0; i <= TAppObj::Comments; ++i) EXPECT_EQ(app.String(i), "") << i;
}

}  // namespace
}  // namespace tw
