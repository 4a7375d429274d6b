#include "sections/history_shortcut_sections.h"

#include <gtest/gtest.h>

#include "support/section_fixture.h"

namespace tw {
namespace {

using test::ExpectTexts;

constexpr const char* kOpenSave = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";

class HistoryShortcutSections : public test::SectionFixture {
 protected:
  void SetUp() override {
    state.SelectAll = true;
    mp.files.SetDrive('D', kDriveCdRom);
    mp.files.SetDrive('E', kDriveFixed);
    state.SkippedDrives = {"D:"};
  }
  void Write(const std::string& path, const std::string& name, const std::string& data, uint32_t type = kRegSz) {
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(0);
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, kCurrentUser, path, true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, bytes), kOk);
  }
  void Link(const std::string& file, const std::string& target) {
    mp.files.AddFile(file, "L");
    mp.shell.SetShortcut(file, target);
  }
};

TEST_F(HistoryShortcutSections, EveryHistoryValueIsReported) {
  const std::string os = kOpenSave;
  Write(os + "\\txt", "a", "C:\\notes.txt");
  Write(os + "\\txt", "MRUList", "ba");
  Write(os + "\\txt", "b", "C:\\b.txt", kRegBinary);
  Write(os + "\\doc", "a", "C:\\x.doc");
  Write(kRunMruKey, "a", "notepad\\1");
  Write(kRunMruKey, "b", "regedit\\1", kRegExpandSz);  // not a plain string
  Write(kRunMruKey, "c", "cmd\\1");
  Write(kRunMruKey, "MRUList", "ca");
  const std::string rTxt = "HKEY_CURRENT_USER\\" + os + "\\txt";
  const std::string rRun = "HKEY_CURRENT_USER\\" + std::string(kRunMruKey);
  Ignore(17, rTxt, "MRUList");
  Ignore(17, rRun, "a");  // an ignored value is skipped; the Run history is still listed
  Scan(17);
  EXPECT_EQ(Found(&TContent::ValueName), (std::vector<std::string>{"a", "a", "b", "c", "MRUList"}));
  EXPECT_EQ(Found(&TContent::KeyName), (std::vector<std::string>{"doc", "txt", "txt", "RunMRU", "RunMRU"}));
  ExpectTexts(list.Items(1).Content, {rTxt, "txt", "a", "", " Key Path:" + rTxt, " ValueName:a", " Value:Emtpy",
                                      " Recently Key:a", rTxt + " is Empty", "Empty Key: " + rTxt});
  ExpectTexts(list.Items(3).Content,
              {rRun, "RunMRU", "c", "cmd\\1", " Key Path:" + rRun, " ValueName:c", " Value:cmd\\1",
               " Recently Key:cmd\\1",
               "The Key " + std::string(kRunMruKey) + " under " + rRun + " contains a bad path for the value",
               "Missing or Invalid Path"});
  EXPECT_EQ(Repair(17), (std::vector<std::string>(5, "Repaired Successfully")));
  state.Ignores.Clear();
  Scan(17);
  EXPECT_EQ(Found(&TContent::ValueName), (std::vector<std::string>{"MRUList", "a"}));
}

TEST_F(HistoryShortcutSections, ShortcutsWithAMissingTargetAreReported) {
  mp.files.AddFile("C:\\Apps\\here.exe");
  mp.files.AddFolder("C:\\Apps\\Folder");
  mp.files.AddFolder("C:\\Apps\\App 2.0");
  mp.files.AddFile("C:\\Apps\\README");
  struct Case {
    const char* link;
    const char* target;  // nullptr: the file does not load as a shortcut
    const char* kind;    // "file", "folder" or nullptr: not reported
  } cases[] = {
      {"C:\\Links\\gone.lnk", "C:\\Apps\\gone.exe", "file"},
      {"C:\\Links\\here.lnk", "C:\\Apps\\here.exe", nullptr},
      {"C:\\Links\\nofolder.lnk", "C:\\Apps\\NoFolder", "folder"},
      {"C:\\Links\\folder.lnk", "C:\\Apps\\Folder", nullptr},
      {"C:\\Links\\dotted.lnk", "C:\\Apps\\App 2.0", nullptr},  // a folder with a dot is there
      {"C:\\Links\\readme.lnk", "C:\\Apps\\README", nullptr},   // a file without extension is there
      {"C:\\Links\\UPPER.LNK", "C:\\Apps\\gone.exe", nullptr},  // only ".lnk" exactly
      {"C:\\Links\\broken.lnk", nullptr, nullptr},
      {"C:\\Links\\empty.lnk", "", nullptr},
      {"C:\\Links\\cd.lnk", "d:\\setup.exe", nullptr},
      {"C:\\Links\\floppy.lnk", "A:\\setup.exe", nullptr},
      {"C:\\Links\\web.lnk", "http://host/x.htm", nullptr},
      {"C:\\Links\\ignored.lnk", "C:\\Apps\\gone2.exe", nullptr},
      {"C:\\Links\\Recent Projects\\gone.lnk", "C:\\Apps\\gone.exe", nullptr},
      {"C:\\Links\\recently.lnk", "C:\\Apps\\gone.exe", nullptr},
      {"C:\\Links\\ReadOnly\\gone.lnk", "C:\\Apps\\gone.exe", nullptr},
      {"C:\\Links\\Sub\\Deep\\gone.lnk", "C:\\Apps\\gone.exe", "file"},
      {"C:\\Links\\unc.lnk", "\\\\server\\share\\gone.exe", "file"},  // only "//" leaves a target out
      {"C:\\Links\\Zz last.lnk", "C:\\Apps\\gone.exe", "file"},
      {"D:\\gone.lnk", "C:\\Apps\\gone.exe", nullptr},  // a CD-ROM drive is not walked
      {"E:\\gone.lnk", "C:\\Apps\\gone.exe", "file"},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    if (c.target) Link(c.link, c.target);
    else mp.files.AddFile(c.link, "garbage");
    if (c.kind) expected.push_back(std::string(c.link) + (c.kind[1] == 'i' ? " file" : " folder"));
  }
  mp.files.SetAttributes("C:\\Links\\ReadOnly", kAttrReadOnly);
  mp.files.SetAttributes("C:\\Links\\Sub", kAttrHidden | kAttrSystem);
  Ignore(11, "c:\\links\\ignored.lnk", "C:\\Apps\\gone2.exe");
  Scan(11);
  std::vector<std::string> found;
  for (const auto& item : list)
    found.push_back(item.Content.KeyName + (item.Content.Description[0] == ' ' ? " file" : " folder"));
  EXPECT_EQ(found, expected);
  EXPECT_EQ(mp.files.OpenSearchCount(), 0u);

  const std::string f = "C:\\Links\\gone.lnk";
  ExpectTexts(list.Items(0).Content,
              {f, f, "C:\\Apps\\gone.exe", "", " File Path:" + f, " File Name:C:\\Apps\\gone.exe", " Value:" + f,
               " The file (C:\\Apps\\gone.exe) does not exist at the specified location",
               "The shortcut gone.lnk in the folder " + f + " linked to a missing target.", "Invalid Shortcut"});
  const std::string n = "C:\\Links\\nofolder.lnk";
  EXPECT_EQ(list.Items(1).Content.Description, "This shortcut (" + n + ") is invalid.");
}

TEST_F(HistoryShortcutSections, ShortcutRepairSendsTheFileToTheRecycleBin) {
  Link("C:\\Links\\a.lnk", "C:\\gone.exe");
  Link("C:\\Links\\b.lnk", "C:\\gone.exe");
  Link("C:\\Links\\c.lnk", "C:\\gone.exe");
  Scan(11);
  ASSERT_EQ(list.Count(), 3);
  list.Items(2).Content.Selected = 0;
  mp.shell.RefuseRecycling("C:\\Links\\b.lnk");
  const int pumps = pump.Count();
  EXPECT_EQ(Repair(11), (std::vector<std::string>{"Repaired Successfully", "Repair Error"}));
  EXPECT_EQ(mp.shell.recycled, (std::vector<std::string>{"C:\\Links\\a.lnk"}));
  EXPECT_FALSE(mp.files.FileExists("C:\\Links\\a.lnk"));
  EXPECT_TRUE(mp.files.FileExists("C:\\Links\\b.lnk"));
  EXPECT_TRUE(mp.files.FileExists("C:\\Links\\c.lnk"));
  EXPECT_EQ(repairLabel.Text(), "C:\\Links\\b.lnk");
  EXPECT_EQ(pump.Count(), pumps);  // this repair does not pump
}

TEST_F(HistoryShortcutSections, ShortcutWalkPumpsAtEveryEntryAndStopsAtAbort) {
  for (int i = 0; i < 450; ++i) Link("C:\\Many\\" + std::to_string(1000 + i) + ".lnk", "C:\\gone.exe");
  Scan(11);
  EXPECT_EQ(list.Count(), 450);
  EXPECT_GE(pump.Count(), 450);
  EXPECT_EQ(status.History().size(), static_cast<size_t>(state.ProgressTicks / 200));

  state.ScanState = kStateScanning;
  pump.OnPump([this](int) {
    if (list.Count() == 3) state.ScanState = kStateAbort;
  });
  Scan(11);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(mp.files.OpenSearchCount(), 0u);
}

}  // namespace
}  // namespace tw
