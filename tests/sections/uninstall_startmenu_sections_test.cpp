#include "sections/uninstall_startmenu_sections.h"

#include <gtest/gtest.h>

#include "support/section_fixture.h"

namespace tw {
namespace {

using test::ExpectTexts;

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kMenuOrder = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder";
constexpr const char* kStartMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";

class UninstallStartMenuSections : public test::SectionFixture {
 protected:
  void SetUp() override {
    state.SelectAll = true;
    mp.files.SetDrive('D', kDriveCdRom);
    state.SkippedDrives = {"D:"};
  }
  void Write(HKey root, const std::string& path, const std::string& name, const std::string& data,
             uint32_t type = kRegSz) {
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(0);
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, bytes), kOk);
  }
};

TEST_F(UninstallStartMenuSections, UninstallEntriesWithAMissingProgramAreReported) {
  mp.files.AddFile("C:\\Apps\\here\\uninst.exe");
  mp.files.AddFile("C:\\WINDOWS\\system32\\rundll32.exe");
  struct Case {
    const char* sub;
    const char* command;  // nullptr: no value
    uint32_t type;
    const char* reported;  // the data reported, nullptr: not reported
  } cases[] = {
      {"a", "\"C:\\Apps\\gone\\uninst.exe\" /S", kRegSz, "C:\\Apps\\gone\\uninst.exe /S"},
      {"b", "\"C:\\Apps\\here\\uninst.exe\" /S", kRegSz, nullptr},
      {"c", "RunDll32.exe C:\\Apps\\gone\\setup.dll,Remove", kRegExpandSz,
       "RunDll32.exe C:\\Apps\\gone\\setup.dll,Remove"},
      {"c2", "RunDll32.exe C:\\Apps\\here\\uninst.exe,Remove", kRegSz, nullptr},
      {"d", "MsiExec.exe /X{1234}", kRegSz, nullptr},  // no colon: a bare command
      {"e", "\\\\server\\share\\uninst.exe", kRegSz, nullptr},
      {"f", "D:\\setup\\uninst.exe", kRegSz, nullptr},
      {"g", "a:\\uninst.exe", kRegSz, nullptr},
      {"h", "", kRegSz, nullptr},
      {"i", nullptr, kRegSz, nullptr},
      {"j", "C:\\Apps\\gone\\x.exe", kRegBinary, nullptr},
      {"k", "C:\\Apps\\ignored\\uninst.exe", kRegSz, nullptr},
      {"l", "C:\\Apps\\gone\\last.exe", kRegSz, "C:\\Apps\\gone\\last.exe"},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    const std::string path = std::string(kUninstall) + "\\" + c.sub;
    if (c.command) Write(kLocalMachine, path, "UninstallString", c.command, c.type);
    else Write(kLocalMachine, path, "DisplayName", c.sub);
    if (c.reported) expected.push_back(c.reported);
  }
  Ignore(8, "HKEY_LOCAL_MACHINE\\" + std::string(kUninstall) + "\\k", "UninstallString");
  list.Items(list.Add()).Content.FullKeyPath = "stale";
  Scan(8);
  EXPECT_EQ(Found(&TContent::ValueData), expected);

  const std::string r = "HKEY_LOCAL_MACHINE\\" + std::string(kUninstall) + "\\a";
  const std::string c = "C:\\Apps\\gone\\uninst.exe /S";
  ExpectTexts(list.Items(0).Content,
              {r, "a", "UninstallString", c, " Key Path:" + r, " ValueName:UninstallString", " Value:" + c,
               "The file (" + c + ") does not exist at the specified location",
               "The Key " + c + " under " + r + " contains a bad path for the value", "Missing or Invalid Path"});
  list.Items(1).Content.Selected = 0;
  EXPECT_EQ(Repair(8), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  TRegistry key(mp.registry, kLocalMachine);
  ASSERT_TRUE(key.OpenKeyReadOnly(r.substr(19)));  // the entry's key stays, its command goes
  EXPECT_FALSE(key.ValueExists("UninstallString"));
  Scan(8);
  EXPECT_EQ(Found(&TContent::KeyName), (std::vector<std::string>{"c"}));  // left unselected
}

TEST_F(UninstallStartMenuSections, OrderKeysWithoutAProgramFolderAreReported) {
  const std::string shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  Write(kCurrentUser, shell + "User Shell Folders", "Programs", "%USERPROFILE%\\Start Menu\\Programs", kRegExpandSz);
  Write(kCurrentUser, shell + "Shell Folders", "Programs", "C:\\Documents and Settings\\User\\Start Menu\\Programs");
  mp.files.AddFolder("C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Common App");
  mp.files.AddFolder("C:\\Documents and Settings\\User\\Start Menu\\Programs\\User App");
  Key(kCurrentUser, std::string(kMenuOrder) + "\\Favorites\\Gone Favourite");
  const std::string order = std::string(kMenuOrder) + "\\Start Menu\\Programs";
  for (const char* name : {"Common App", "Gone App", "Ignored App", "user app", "Z Gone"})
    Key(kCurrentUser, order + "\\" + name);
  const std::string r = "HKEY_CURRENT_USER\\" + order;
  Ignore(14, r + "\\Ignored App", "Ignored App");
  Scan(14);
  EXPECT_EQ(Found(&TContent::KeyName), (std::vector<std::string>{"Gone App", "Z Gone"}));
  ExpectTexts(list.Items(0).Content, {r + "\\Gone App", "Gone App", "Gone App", "", " Key Path:" + r + "\\Gone App",
                                      " ValueName:Gone App", " Value:Gone App",
                                      " The key does not exist at the specified location", "", ""});
  EXPECT_EQ(Repair(14), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  EXPECT_FALSE(HasKey(kCurrentUser, order + "\\Gone App"));
  EXPECT_TRUE(HasKey(kCurrentUser, order + "\\Common App"));

  // A Programs folder on a skipped drive leaves every order key alone; without both folders nothing can be told.
  Write(kCurrentUser, shell + "Shell Folders", "Programs", "D:\\Start Menu\\Programs");
  Scan(14);
  EXPECT_EQ(list.Count(), 0);
  mp.registry.DeleteTree(kCurrentUser, shell + "Shell Folders");
  mp.registry.DeleteTree(kCurrentUser, shell + "User Shell Folders");
  Scan(14);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(UninstallStartMenuSections, StartMenuItemsListEveryKeyAndValue) {
  const std::string p = kStartMenu;
  Write(kCurrentUser, p + "\\Accessories", "Order", "x", kRegBinary);
  Write(kCurrentUser, p + "\\Accessories", "Extra", "y", kRegBinary);
  Key(kCurrentUser, p + "\\Games");
  Write(kCurrentUser, p + "\\Tools", "Order", "z", kRegBinary);
  Write(kCurrentUser, p + "\\Tools", "Skip me", "z", kRegBinary);
  const std::string r = "HKEY_CURRENT_USER\\" + p;
  Ignore(16, r + "\\Tools", "Skip me");
  Scan(16);
  EXPECT_EQ(Found(&TContent::ValueName),
            (std::vector<std::string>{"default", "default", "default",  // the key records
                                      "default", "Order", "default", "Extra", "default", "Order", "default"}));
  EXPECT_EQ(Found(&TContent::KeyName),
            (std::vector<std::string>{"Accessories", "Games", "Tools", "Accessories", "Accessories", "Accessories",
                                      "Accessories", "Tools", "Tools", "Tools"}));
  const std::string a = r + "\\Accessories";
  const std::string detail = "The Key default under " + a + " contains a bad path for the value";
  ExpectTexts(list.Items(0).Content, {a, "Accessories", "default", "key", " Key Path:" + a, " ValueName:default",
                                      " Value:Empty", " The key does not exist at the specified location", detail,
                                      "Missing or Invalid Path"});
  ExpectTexts(list.Items(3).Content, {a, "Accessories", "default", "", "", "", "", "", detail, "Missing or Invalid Path"});
  ExpectTexts(list.Items(4).Content, {a, "Accessories", "Order", "", " Key Path:" + a, " ValueName:Order",
                                      " Value:Empty", " The key does not exist at the specified location", detail,
                                      "Missing or Invalid Path"});

  // Ignoring a key's record leaves its default records out too; the rest goes on.
  Ignore(16, a, "default");
  Scan(16);
  EXPECT_EQ(list.Count(), 7);

  list.Items(0).Content.Selected = 0;  // Games' key record
  EXPECT_EQ(Repair(16), (std::vector<std::string>(6, "Repaired Successfully")));
  EXPECT_TRUE(HasKey(kCurrentUser, p + "\\Games"));
  EXPECT_FALSE(HasKey(kCurrentUser, p + "\\Tools"));
  EXPECT_TRUE(HasKey(kCurrentUser, p + "\\Accessories"));  // only default and value records were selected
  EXPECT_EQ(pump.Count(), 7);  // the repair pumps before each record; the scan does not
}

}  // namespace
}  // namespace tw
