#include "tools/startup_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\Tarnwick.exe";
constexpr const char* kStorage = "C:\\Program Files\\Tarnwick\\RepairBackup";
constexpr const char* kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kCommon = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup";
constexpr const char* kUser = "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Startup";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class StartupManagerTest : public ::testing::Test {
 protected:
  StartupManagerTest() {
    m.files.SetExecutablePath(kExe);
    Set(kLocalMachine, kShellFolders, "Common Startup", kRegSz, Sz(kCommon));
    Set(kCurrentUser, kShellFolders, "Startup", kRegSz, Sz(kUser));
    m.files.AddFolder(kCommon);
    m.files.AddFolder(kUser);
  }
  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(m.registry, root, path, true), kOk);
    ASSERT_EQ(m.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  bool Get(HKey root, const std::string& path, const std::string& name, uint32_t* type, Bytes* data) {
    RegKeyHandle key;
    return key.Open(m.registry, root, path, false) == kOk && m.registry.QueryValue(key.Get(), name, type, data) == kOk;
  }
  std::string File(const std::string& name) {
    std::string text;
    m.files.ReadWholeFile(std::string(kStorage) + "\\" + name, &text);
    return text;
  }
  TStartupManagerForm& Open() {
    form.reset();
    form = std::make_unique<TStartupManagerForm>(m.platform, prompts, pump);
    form->FormShow();
    return *form;
  }
  int RowOf(const std::string& name, const std::string& status, const std::string& location = "") {
    const auto& rows = form->Rows();
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].Name == name && rows[i].Status == status &&
          (location.empty() || rows[i].Location.rfind(location, 0) == 0))
        return static_cast<int>(i);
    return -1;
  }
  void Mark(const std::string& name, const std::string& status, const std::string& location = "") {
    const int row = RowOf(name, status, location);
    ASSERT_GE(row, 0) << name;
    form->ToggleMark(row);
  }

  MemoryPlatform m;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
  std::unique_ptr<TStartupManagerForm> form;
};

TEST_F(StartupManagerTest, ListsEveryPlaceInOrderWithStatusKindAndLocation) {
  m.files.AddFile(std::string(kCommon) + "\\Common.lnk", "c");
  m.files.AddFile(std::string(kUser) + "\\Mine.lnk", "u");
  m.files.AddFile(std::string(kUser) + "\\desktop.ini", "h", kAttrHidden | kAttrSystem);
  Set(kLocalMachine, kRun, "Machine", kRegExpandSz, Sz("%windir%\\m.exe"));
  Set(kLocalMachine, kRunOnce, "Number", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF});
  Set(kCurrentUser, kRun, "Blob", kRegBinary, {1, 2});
  Set(kCurrentUser, kRun, "Updater", kRegSz, Sz("C:\\u.exe /q"));
  m.files.AddFile("C:\\WINDOWS\\win.ini", "[windows]\r\nload=x.exe\r\n[Run]\r\nR=r.exe\r\n[Load]\r\nL=l.exe\r\nNoValue\r\n");
  m.files.AddFile(std::string(kStorage) + "\\startup.dat",
                  "HKEY_CURRENT_USER\\" + std::string(kRun) + "#Old|C:\\old.exe\r\n"
                  "no separators here\r\n\r\n"
                  "HKEY_CURRENT_USER\\" + std::string(kRun) + "#Updater|C:\\u.exe /q\r\n");
  m.files.AddFile(std::string(kStorage) + "\\del.txt",
                  "C:\\gone\\Off.lnk#" + std::string(kStorage) + "\\del\\Off.lnk|E\r\n"
                  "C:\\gone\\Removed.lnk#" + std::string(kStorage) + "\\del\\Removed.lnk\r\n"
                  + std::string(kCommon) + "\\Common.lnk#" + kStorage + "\\del\\Common.lnk|E\r\n");
  Open();
  struct Want {
    const char* name;
    const char* status;
    StartupKind kind;
    bool expander;
  };
  const std::vector<Want> want = {
      {"Common.lnk", "Enable", StartupKind::StartupFolder, false},
      {"Mine.lnk", "Enable", StartupKind::StartupFolder, false},
      {"C:\\gone\\Off.lnk", "Disable", StartupKind::StartupFolder, false},
      {"Machine", "Enable", StartupKind::Registration, true},
      {"Number", "Enable", StartupKind::Registration, true},
      {"Blob", "Enable", StartupKind::Registration, true},
      {"Updater", "Disable", StartupKind::Registration, true},  // a disabled record with the same place and data
      {"L", "Win.ini", StartupKind::WinIni, true},
      {"NoValue", "Win.ini", StartupKind::WinIni, true},
      {"R", "Win.ini", StartupKind::WinIni, false},
      {"Old", "Disable", StartupKind::Registration, true},
      {"Updater", "Disable", StartupKind::Registration, true},
  };
  const auto& rows = form->Rows();
  ASSERT_EQ(rows.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].Name, want[i].name);
    EXPECT_EQ(rows[i].Status, want[i].status);
    EXPECT_EQ(rows[i].Kind, want[i].kind);
    EXPECT_EQ(rows[i].HasExpander, want[i].expander);
    EXPECT_TRUE(rows[i].HasMark);
  }
  EXPECT_EQ(rows[3].Path, "%windir%\\m.exe");
  EXPECT_EQ(rows[4].Path, "-2");
  EXPECT_EQ(rows[5].Path, "");
  EXPECT_EQ(rows[3].Location, "HKEY_LOCAL_MACHINE\\" + std::string(kRun));
  EXPECT_EQ(rows[10].Location, "HKEY_CURRENT_USER\\" + std::string(kRun) + "#Old|C:\\old.exe");
  EXPECT_EQ(rows[2].Path, std::string(kStorage) + "\\del\\Off.lnk");
}

// Every value type comes back with its type and bytes after disable-enable and remove-restore; the record
// lines keep their plain "location#name|data" form.
TEST_F(StartupManagerTest, DisableEnableAndRemoveRestoreBringValuesBackByteForByte) {
  struct Case {
    const char* name;
    uint32_t type;
    Bytes data;
    const char* recordData;
  };
  const std::vector<Case> cases = {
      {"Plain", kRegSz, Sz("C:\\a.exe -x"), "C:\\a.exe -x"},
      {"Expand", kRegExpandSz, Sz("%SystemRoot%\\b.exe"), "%SystemRoot%\\b.exe"},
      {"Number", kRegDword, {0x2A, 0, 0, 0}, "42"},
      {"Blob", kRegBinary, {0, 0xFF, 0x22, 0x5C}, ""},
      {"Multi", kRegMultiSz, {'a', 0, 'b', 0, 0}, ""},
      {"Quote\"Hash#", kRegSz, Sz("say \"hi\"|#\\x"), "say \"hi\"|#\\x"},
      {"High", kRegSz, Sz("C:\\\xE9t\xE9.exe"), "C:\\\xE9t\xE9.exe"},
  };
  for (bool remove : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (remove ? " remove" : " disable"));
      Set(kCurrentUser, kRun, c.name, c.type, c.data);
      Open();
      Mark(c.name, "Enable");
      if (remove) {
        prompts.Answer(PromptAnswer::Yes);
        form->BtRemoveClick();
      } else {
        form->DeleteItemBtnClick();
      }
      uint32_t type = 0;
      Bytes data;
      EXPECT_FALSE(Get(kCurrentUser, kRun, c.name, &type, &data));
      const std::string line = "HKEY_CURRENT_USER\\" + std::string(kRun) + "#" + c.name + "|" + c.recordData + "\r\n";
      EXPECT_EQ(File(remove ? "removestartup.dat" : "startup.dat"), line);
      if (remove) {
        form->ImageEx2Click();
        ASSERT_EQ(form->RestoreRows().size(), 1u);
        form->SetRestoreChecked(0, true);
        form->RestoreBtnClick();
        EXPECT_TRUE(form->RestoreRows().empty());
      } else {
        Mark(c.name, "Disable");
        form->OpenPathBtnClick();
      }
      ASSERT_TRUE(Get(kCurrentUser, kRun, c.name, &type, &data));
      EXPECT_EQ(type, c.type);
      EXPECT_EQ(data, c.data);
      EXPECT_EQ(File(remove ? "removestartup.dat" : "startup.dat"), "");
      FindData found;
      EXPECT_EQ(m.files.FindFirst(std::string(kStorage) + "\\*.reg", &found), 0u);
      RegKeyHandle key;
      key.Open(m.registry, kCurrentUser, kRun, false);
      m.registry.DeleteValue(key.Get(), c.name);
    }
  }
}

// A record without its export (written by hand, or by an older version) comes back as a string.
TEST_F(StartupManagerTest, RecordWithoutExportComesBackAsString) {
  Set(kCurrentUser, kRun, "Other", kRegSz, Sz("keep"));
  m.files.AddFile(std::string(kStorage) + "\\startup.dat",
                  "HKEY_CURRENT_USER\\" + std::string(kRun) + "#Hand|C:\\h.exe\r\nHKEY_NOWHERE\\Run#X|y\r\n");
  Open();
  Mark("Hand", "Disable");
  Mark("X", "Disable");
  form->OpenPathBtnClick();
  uint32_t type = 0;
  Bytes data;
  ASSERT_TRUE(Get(kCurrentUser, kRun, "Hand", &type, &data));
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(data, Sz("C:\\h.exe"));
  EXPECT_EQ(File("startup.dat"), "HKEY_NOWHERE\\Run#X|y\r\n");  // an unknown root stays recorded
}

TEST_F(StartupManagerTest, EachRowActsOnItsOwnEntry) {
  Set(kLocalMachine, kRun, "Updater", kRegSz, Sz("C:\\machine.exe"));
  Set(kCurrentUser, kRun, "Updater", kRegSz, Sz("C:\\user.exe"));
  Set(kCurrentUser, kRunOnce, "Updater", kRegSz, Sz("C:\\once.exe"));
  m.files.AddFile("C:\\WINDOWS\\win.ini", "[Load]\r\nDup=a.exe\r\n[Run]\r\nDup=b.exe\r\n");
  Open();
  Mark("Updater", "Enable", "HKEY_CURRENT_USER\\" + std::string(kRun));
  Mark("Dup", "Win.ini");  // the first, in "Load"
  form->ToggleMark(static_cast<int>(form->Rows().size()) - 1);  // the last, "Dup" in "Run"
  form->ToggleMark(static_cast<int>(form->Rows().size()) - 1);  // unmarked again
  form->DeleteItemBtnClick();
  uint32_t type = 0;
  Bytes data;
  EXPECT_TRUE(Get(kLocalMachine, kRun, "Updater", &type, &data));
  EXPECT_FALSE(Get(kCurrentUser, kRun, "Updater", &type, &data));
  EXPECT_TRUE(Get(kCurrentUser, kRunOnce, "Updater", &type, &data));
  EXPECT_EQ(File("startup.dat"), "HKEY_CURRENT_USER\\" + std::string(kRun) + "#Updater|C:\\user.exe\r\n");
  EXPECT_EQ(m.profile.ReadString("", "Load", "Dup", "-"), "-");
  EXPECT_EQ(m.profile.ReadString("", "Run", "Dup", "-"), "b.exe");
  // Only the disabled entry reads "Disable"; the others of the same name stay "Enable".
  EXPECT_GE(RowOf("Updater", "Enable", "HKEY_LOCAL_MACHINE"), 0);
  EXPECT_GE(RowOf("Updater", "Enable", "HKEY_CURRENT_USER\\" + std::string(kRunOnce)), 0);
  EXPECT_GE(RowOf("Updater", "Disable"), 0);
}

TEST_F(StartupManagerTest, FolderFilesOfOneNameGetCopiesOfTheirOwnAndComeBack) {
  m.files.AddFile(std::string(kCommon) + "\\Tool.lnk", "common shortcut");
  m.files.AddFile(std::string(kUser) + "\\Tool.lnk", "user's");
  m.files.AddFile(std::string(kUser) + "\\Other.lnk", "other");
  Open();
  for (size_t i = 0; i < form->Rows().size(); ++i)
    if (form->Rows()[i].Name == "Tool.lnk") form->ToggleMark(static_cast<int>(i));
  form->DeleteItemBtnClick();
  const std::string del = std::string(kStorage) + "\\del\\";
  EXPECT_EQ(File("del.txt"), std::string(kCommon) + "\\Tool.lnk#" + del + "Tool.lnk|E\r\n" + kUser +
                                 "\\Tool.lnk#" + del + "Tool (2).lnk|E\r\n");
  EXPECT_FALSE(m.files.FileExists(std::string(kCommon) + "\\Tool.lnk"));
  // Remove the other file, then restore it; enable both disabled ones.
  Mark("Other.lnk", "Enable");
  prompts.Answer(PromptAnswer::Yes);
  form->BtRemoveClick();
  EXPECT_FALSE(m.files.FileExists(std::string(kUser) + "\\Other.lnk"));
  form->ImageEx2Click();
  ASSERT_EQ(form->RestoreRows().size(), 1u);
  form->SetRestoreChecked(0, true);
  form->RestoreBtnClick();
  form->ImageEx1Click();
  Mark(std::string(kCommon) + "\\Tool.lnk", "Disable");
  Mark(std::string(kUser) + "\\Tool.lnk", "Disable");
  form->OpenPathBtnClick();
  for (const auto& [path, contents] : std::vector<std::pair<std::string, std::string>>{
           {std::string(kCommon) + "\\Tool.lnk", "common shortcut"},
           {std::string(kUser) + "\\Tool.lnk", "user's"},
           {std::string(kUser) + "\\Other.lnk", "other"}}) {
    std::string text;
    EXPECT_TRUE(m.files.ReadWholeFile(path, &text)) << path;
    EXPECT_EQ(text, contents);
  }
  EXPECT_EQ(File("del.txt"), "");
  FindData found;
  EXPECT_EQ(m.files.FindFirst(del + "*.lnk", &found), 0u);
}

// When a record cannot be written, nothing is taken away: the value and the file stay, no copy is left.
TEST_F(StartupManagerTest, NothingIsTakenWithoutItsRecord) {
  struct Case {
    const char* failing;  // the file whose writes fail
    bool remove;
  };
  for (const Case& c : std::vector<Case>{{"startup.dat", false}, {"removestartup.dat", true},
                                          {"del.txt", false}, {"del.txt", true}}) {
    SCOPED_TRACE(std::string(c.failing) + (c.remove ? " remove" : " disable"));
    const std::string failing = std::string(kStorage) + "\\" + c.failing;
    Set(kCurrentUser, kRun, "Entry", kRegExpandSz, Sz("C:\\e.exe"));
    m.files.AddFile(std::string(kUser) + "\\File.lnk", "data");
    m.files.AddFile(failing, "kept line\r\n");
    Open();
    m.files.SetWritesFail(failing, true);
    Mark("Entry", "Enable");
    Mark("File.lnk", "Enable");
    if (c.remove) prompts.Answer(PromptAnswer::Yes);
    c.remove ? form->BtRemoveClick() : form->DeleteItemBtnClick();
    m.files.SetWritesFail(failing, false);
    uint32_t type = 0;
    Bytes data;
    const bool registryRecord = std::string(c.failing) != "del.txt";
    EXPECT_EQ(Get(kCurrentUser, kRun, "Entry", &type, &data), registryRecord);
    EXPECT_EQ(m.files.FileExists(std::string(kUser) + "\\File.lnk"), !registryRecord);
    EXPECT_EQ(File(c.failing), "kept line\r\n");
    FindData found;
    const std::string leftovers = registryRecord ? "\\*.reg" : "\\del\\*.lnk";
    EXPECT_EQ(m.files.FindFirst(std::string(kStorage) + leftovers, &found), 0u);
    // Back to a clean state for the next case.
    RegKeyHandle key;
    key.Open(m.registry, kCurrentUser, kRun, false);
    m.registry.DeleteValue(key.Get(), "Entry");
    m.files.RemoveFile(std::string(kUser) + "\\File.lnk");
    for (const char* name : {"startup.dat", "removestartup.dat", "del.txt"}) m.files.AddFile(std::string(kStorage) + "\\" + name, "");
    for (FindHandle h = m.files.FindFirst(std::string(kStorage) + "\\del\\*.lnk", &found); h;
         h = m.files.FindFirst(std::string(kStorage) + "\\del\\*.lnk", &found)) {
      m.files.FindClose(h);
      m.files.RemoveFile(std::string(kStorage) + "\\del\\" + found.name);
    }
  }
}

TEST_F(StartupManagerTest, MalformedRecordLinesAreKeptAndSkipped) {
  const std::string run = "HKEY_CURRENT_USER\\" + std::string(kRun);
  const std::string longLine(100000, 'x');
  const std::string kept = "\r\n   \r\nno separators\r\n" + longLine + "\r\nHKEY_UNKNOWN\\X#N|d\r\n\xFF\xFE#|\x80\r\n";
  m.files.AddFile(std::string(kStorage) + "\\startup.dat", kept + run + "#Off|C:\\off.exe\r\n");
  m.files.AddFile(std::string(kStorage) + "\\removestartup.dat", kept + run + "#Gone|C:\\g.exe\r\n");
  m.files.AddFile(std::string(kStorage) + "\\del.txt", kept);
  Set(kCurrentUser, kRun, "Present", kRegSz, Sz("p"));
  Open();
  Mark("Off", "Disable");
  form->OpenPathBtnClick();
  form->ImageEx2Click();
  for (size_t i = 0; i < form->RestoreRows().size(); ++i)
    form->SetRestoreChecked(static_cast<int>(i), form->RestoreRows()[i].Name == "Gone");
  form->RestoreBtnClick();
  EXPECT_EQ(File("startup.dat"), kept);
  EXPECT_EQ(File("removestartup.dat"), kept);
  EXPECT_EQ(File("del.txt"), kept);
  uint32_t type = 0;
  Bytes data;
  EXPECT_TRUE(Get(kCurrentUser, kRun, "Off", &type, &data));
  EXPECT_TRUE(Get(kCurrentUser, kRun, "Gone", &type, &data));
}

// A Startup folder that is unnamed, missing or a file lists nothing and hides nothing else; a win.ini section of
// 10,000 keys lists every key, and disabling one deletes that one only.
TEST_F(StartupManagerTest, UnusableFoldersAndHugeSectionsListWhatIsThere) {
  struct Case {
    std::string commonFolder;
    int keys;
  };
  m.files.AddFile("C:\\NotAFolder", "x");
  m.files.AddFile(std::string(kUser) + "\\Mine.lnk", "u");
  for (const Case& c : std::vector<Case>{{"", 3}, {"C:\\Nowhere", 0}, {"C:\\NotAFolder", 10000}}) {
    SCOPED_TRACE(c.commonFolder);
    Set(kLocalMachine, kShellFolders, "Common Startup", kRegSz, Sz(c.commonFolder));
    std::string ini = "[Load]\r\n";
    for (int i = 0; i < c.keys; ++i) ini += "k" + std::to_string(i) + "=p" + std::to_string(i) + ".exe\r\n";
    m.files.AddFile("C:\\WINDOWS\\win.ini", ini);
    Open();
    std::vector<std::string> folderRows;
    int iniRows = 0;
    for (const StartupRow& row : form->Rows()) {
      if (row.Kind == StartupKind::StartupFolder) folderRows.push_back(row.Path);
      iniRows += row.Kind == StartupKind::WinIni && row.Path == "p" + row.Name.substr(1) + ".exe";
    }
    EXPECT_EQ(folderRows, std::vector<std::string>{std::string(kUser) + "\\Mine.lnk"});
    EXPECT_EQ(iniRows, c.keys);
    if (c.keys < 2) continue;
    Mark("k1", "Win.ini");
    form->DeleteItemBtnClick();
    EXPECT_EQ(m.profile.ReadSection("", "Load").size(), static_cast<size_t>(c.keys - 1));
    EXPECT_EQ(m.profile.ReadString("", "Load", "k1", "-"), "-");
  }
}

TEST_F(StartupManagerTest, RemoveAsksOnceAndNoChangesNothing) {
  Set(kCurrentUser, kRun, "A", kRegSz, Sz("a"));
  Set(kCurrentUser, kRun, "B", kRegSz, Sz("b"));
  m.files.AddFile(std::string(kUser) + "\\F.lnk", "f");
  Open();
  Mark("A", "Enable");
  Mark("B", "Enable");
  Mark("F.lnk", "Enable");
  form->BtRemoveClick();
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].title, "Tarnwick");
  EXPECT_EQ(prompts.calls[0].text,
            "Are you sure you want to remove this entry from startup folder?\nYou will not be able to revert this "
            "action!");
  EXPECT_EQ(prompts.calls[0].icon, PromptIcon::Warning);
  EXPECT_EQ(prompts.calls[0].defaultAnswer, PromptAnswer::No);
  EXPECT_GE(RowOf("A", "Enable"), 0);
  EXPECT_TRUE(m.files.FileExists(std::string(kUser) + "\\F.lnk"));
  EXPECT_EQ(File("removestartup.dat"), "");
}

TEST_F(StartupManagerTest, ExpanderShowsTheSevenDetailRowsOfTheRowsOwnProgram) {
  m.files.AddFile("C:\\Apps\\tool.exe", "MZ");
  m.files.AddFile("C:\\Apps\\bare.exe", "MZ");
  VersionResource version;
  version.fileVersionMS = 0x00020003;
  version.fileVersionLS = 0x00040005;
  version.hasTranslation = true;
  version.language = 0x409;
  version.codePage = 0x4b0;
  version.strings = {{"ProductName", "  Tool Suite "}, {"CompanyName", "Maker"}, {"FileVersion", "2.3"},
                     {"FileDescription", "The tool"}};
  m.files.SetVersionResource("C:\\Apps\\tool.exe", version);
  Set(kLocalMachine, kRun, "Tool", kRegSz, Sz("\"C:\\Apps\\tool.exe\" /min"));
  Set(kCurrentUser, kRun, "Tool", kRegSz, Sz("C:\\Apps\\bare.exe"));
  Set(kCurrentUser, kRun, "Missing", kRegSz, Sz("C:\\Apps\\none.exe"));
  Open();
  const std::string machine = "HKEY_LOCAL_MACHINE\\" + std::string(kRun);
  struct Case {
    int row;
    std::vector<std::pair<std::string, std::string>> details;  // empty: none inserted
  };
  const std::vector<Case> cases = {
      {0, {{"Type", "Registry"}, {"Postion", machine}, {"Product Name", "Tool Suite"}, {"Publish Name", "Maker"},
           {"Version", "2.3"}, {"Description", "The tool"}, {"File Path", "C:\\Apps\\tool.exe"}}},
      {1, {{"Type", "Registry"}, {"Postion", "HKEY_CURRENT_USER\\" + std::string(kRun)}, {"Product Name", ""},
           {"Publish Name", ""}, {"Version", ""}, {"Description", ""}, {"File Path", "C:\\Apps\\bare.exe"}}},
      {2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const size_t before = form->Rows().size();
    form->ToggleExpander(c.row);
    EXPECT_TRUE(form->Rows()[c.row].Expanded);
    ASSERT_EQ(form->Rows().size(), before + c.details.size());
    for (size_t i = 0; i < c.details.size(); ++i) {
      const StartupRow& row = form->Rows()[c.row + 1 + i];
      EXPECT_EQ(row.Name, c.details[i].first);
      EXPECT_EQ(row.Path, c.details[i].second);
      EXPECT_FALSE(row.HasMark);
    }
    form->StartupListViewDblClick(c.row);
    EXPECT_EQ(form->Rows().size(), before);
    EXPECT_FALSE(form->Rows()[c.row].Expanded);
  }
}

TEST(AppObjTest, ReadsVersionTextTranslationKeyAndTrimmedStrings) {
  MemoryPlatform m;
  m.files.AddFile("C:\\a.exe", "MZ");
  m.files.AddFile("C:\\b.exe", "MZ");
  VersionResource version;
  version.fileVersionMS = 0x0001000A;
  version.fileVersionLS = 0xFFFF0000;
  version.hasTranslation = true;
  version.language = 0x0409;
  version.codePage = 0x04B0;
  version.strings = {{"Comments", " note\t"}, {"LegalTradeMarks", "TM"}};
  m.files.SetVersionResource("C:\\a.exe", version);
  TAppObj app(m.files);
  app.Read("C:\\a.exe");
  EXPECT_EQ(app.String(TAppObj::VersionText), "1.10.65535.0");
  EXPECT_EQ(app.TranslationKey(), "040904b0");
  EXPECT_EQ(app.String(TAppObj::Comments), "note");
  EXPECT_EQ(app.String(TAppObj::LegalTradeMarks), "TM");
  EXPECT_EQ(app.String(TAppObj::CompanyName), "");
  EXPECT_EQ(app.FileName(), "a.exe");
  app.Read("C:\\b.exe");
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(app.String(i), "") << i;
  EXPECT_EQ(app.TranslationKey(), "");
}

}  // namespace
}  // namespace tw
