#include "sections/software_settings_sections.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "sections/text_ops.h"
#include "support/section_fixture.h"

namespace tw {
namespace {

using test::ExpectTexts;

constexpr int kUserSection = 2;
constexpr int kSystemSection = 3;

class SoftwareSettingsSections : public test::SectionFixture {
 protected:
  void SetUp() override {
    SectionFixture::SetUp();
    mp.files.SetDrive('D', kDriveCdRom);
    state.SkippedDrives = {"D:"};
    Text(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files");
    mp.files.AddFolder("C:\\Present Folder");
    mp.files.AddFile("C:\\Present\\ok.exe");
  }
  void Raw(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk) << path;
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  void Text(HKey root, const std::string& path, const std::string& name, const std::string& data,
            uint32_t type = kRegSz) {
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(0);
    Raw(root, path, name, type, bytes);
  }
  // The section's findings as "KEY PATH|value name|value data", the root name left off (the key path in upper
  // case: the registry keeps the case a key was first created with).
  std::set<std::string> Findings(int section) {
    Scan(section);
    std::set<std::string> out;
    for (const auto& item : list) {
      const TContent& c = item.Content;
      out.insert(UpperText(c.FullKeyPath.substr(c.FullKeyPath.find('\\') + 1)) + "|" + c.ValueName + "|" +
                 c.ValueData);
    }
    return out;
  }
  // Writes the same value under the user's root and the machine's, for both sections to judge.
  void Both(const std::string& path, const std::string& name, const std::string& data, uint32_t type = kRegSz) {
    Text(kCurrentUser, path, name, data, type);
    Text(kLocalMachine, path, name, data, type);
  }
};

TEST_F(SoftwareSettingsSections, StringValuesNamingMissingFoldersAndFilesAreReported) {
  struct Case {
    std::string data;
    uint32_t type;
    std::string user;    // the path the user section reports, empty: none
    std::string system;  // the same for the system section
  } cases[] = {
      {"C:\\Gone Folder", kRegSz, "C:\\Gone Folder", "C:\\Gone Folder"},
      {"  C:\\Gone Blanks", kRegSz, "  C:\\Gone Blanks", "  C:\\Gone Blanks"},
      {"C:\\Present Folder", kRegSz, "", ""},
      {"\"C:\\Gone\\tool.exe\" /s", kRegSz, "C:\\Gone\\tool.exe", "C:\\Gone\\tool.exe"},
      {"C:\\Present\\ok.exe -x", kRegSz, "", ""},
      {"%ProgramFiles%\\Vendor\\gone.exe", kRegExpandSz, "C:\\PROGRAM FILES\\VENDOR\\GONE.EXE",
       "C:\\PROGRAM FILES\\VENDOR\\GONE.EXE"},
      {"%SystemRoot%\\gone.dll", kRegSz, "C:\\WINDOWS\\GONE.DLL", "C:\\WINDOWS\\GONE.DLL"},
      {"@%SystemRoot%\\res.dll,-101", kRegSz, "C:\\WINDOWS\\RES.DLL", "C:\\WINDOWS\\RES.DLL"},
      {"C:\\Gone\\tool.exe E:\\data.txt", kRegSz, "C:\\Gone\\tool.exe", "C:\\Gone\\tool.exe"},
      {"\\\\server\\share\\gone.exe", kRegSz, "", ""},
      {"D:\\Gone\\setup.exe", kRegSz, "", ""},
      {"A:\\gone.exe", kRegSz, "", ""},
      {"H:\\Gone\\tool.exe", kRegSz, "H:\\Gone\\tool.exe", ""},
      {"C:gone.exe", kRegSz, "C:gone.exe", ""},
      {"C:\\Gone\\MSOE.DLL", kRegSz, "", ""},
      {"C:\\Gone\\*.txt", kRegSz, "", ""},
      {"plain words", kRegSz, "", ""},
      {"C:\\Gone\\tool.exe", kRegDword, "", ""},
      {"C:\\Gone\\tool.exe", kRegBinary, "", ""},
      {"C:\\Gone\\tool.exe", kRegMultiSz, "", ""},
      {"C:\\Gone\\tool.exe", 0x4242, "", ""},
  };
  std::set<std::string> user, system;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string path = "Software\\Vendor\\Case" + std::to_string(i);
    Both(path, "v", cases[i].data, cases[i].type);
    if (!cases[i].user.empty()) user.insert(UpperText(path) + "|v|" + cases[i].user);
    if (!cases[i].system.empty()) system.insert(UpperText(path) + "|v|" + cases[i].system);
  }
  Raw(kCurrentUser, "Software\\Vendor\\NoNul", "v", kRegSz, Bytes{'C', ':', '\\', 'G', 'o', 'n', 'e'});
  user.insert("SOFTWARE\\VENDOR\\NONUL|v|C:\\Gone");
  EXPECT_EQ(Findings(kUserSection), user);
  EXPECT_EQ(Findings(kSystemSection), system);
}

TEST_F(SoftwareSettingsSections, RecordTextsOfEachVariant) {
  Text(kCurrentUser, "Software\\V", "", "C:\\Gone Folder");
  Text(kCurrentUser, "Software\\V\\Sub", "", "C:\\Gone\\a.exe /q");
  Text(kLocalMachine, "SOFTWARE\\V", "", "C:\\Gone Folder");
  Text(kLocalMachine, "SOFTWARE\\V\\Sub", "", "C:\\Gone\\a.exe /q");
  const std::string u = "HKEY_CURRENT_USER\\Software\\V", m = "HKEY_LOCAL_MACHINE\\SOFTWARE\\V";
  const std::string folder = "C:\\Gone Folder", file = "C:\\Gone\\a.exe";
  const std::string bad = " contains a bad path for the value", missing = ") does not exist at the specified location";
  Scan(kUserSection);
  ASSERT_EQ(list.Count(), 2);
  ExpectTexts(list.Items(0).Content, {u, folder, "", folder, " Key Path:" + u, " ValueName:", " Value:" + folder,
                                      "The file (" + folder + missing, "The Key " + folder + " under " + u + bad,
                                      "Missing or Invalid Path"});
  ExpectTexts(list.Items(1).Content, {u + "\\Sub", "", "", file, " Key Path:" + u + "\\Sub", " ValueName:",
                                      " Value:" + file, " The file (" + file + missing,
                                      "The Key " + file + " under " + u + "\\Sub" + bad, "Missing or Invalid Path"});
  Scan(kSystemSection);
  ASSERT_EQ(list.Count(), 2);
  ExpectTexts(list.Items(0).Content, {m, folder, "", folder, " Key Path:" + m, " ValueName:", " Value:" + folder,
                                      " The file (" + folder + missing, "The Key " + folder + " under " + m + bad,
                                      "Missing or Invalid Path"});
  ExpectTexts(list.Items(1).Content,
              {m + "\\Sub", "", "default", file, " Key Path:" + m + "\\Sub", " ValueName:default", " Value:" + file,
               " The file(" + file + ")does not exist at the specified location",
               "The Key " + file + " under " + m + "\\Sub" + bad, "Missing or Invalid Path"});
  EXPECT_EQ(Repair(kSystemSection), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  Scan(kUserSection);
  EXPECT_EQ(Repair(kUserSection), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  Scan(kSystemSection);
  Scan(kUserSection);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(SoftwareSettingsSections, KeysEachVariantLeavesOut) {
  struct Case {
    std::string path;
    bool user;
    bool system;
  } cases[] = {
      {"SYSTEM", true, true},  // a matched key's own values are examined
      {"SYSTEM\\CurrentControlSet", true, false},
      {"Software\\Policies\\System", true, true},
      {"Software\\Policies\\System\\Below", true, false},
      {"Software\\FileSystemTools\\Below", true, false},
      {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", true, true},
      {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", true, false},
      {"SOFTWARE\\Microsoft\\Rpc\\Sub", true, false},
      {"SOFTWARE\\Microsoft\\Cryptography\\Sub", true, false},
      {"Software\\Vendor\\Winlogon", true, true},
      {"Software\\Vendor\\Winlogon\\Notify", false, false},
      {"Software\\Vendor\\App Paths", true, false},
      {"Software\\Vendor\\App Paths\\tool.exe", true, false},
      {"Software\\Vendor\\Tool", true, true},
  };
  std::set<std::string> user, system;
  for (const auto& c : cases) {
    Both(c.path, "p", "C:\\Gone Folder");
    if (c.user) user.insert(UpperText(c.path) + "|p|C:\\Gone Folder");
    if (c.system) system.insert(UpperText(c.path) + "|p|C:\\Gone Folder");
  }
  Both("", "p", "C:\\Gone Folder");  // the root's own values are not examined
  EXPECT_EQ(Findings(kUserSection), user);
  EXPECT_EQ(Findings(kSystemSection), system);
}

TEST_F(SoftwareSettingsSections, DriverDataEndsTheKeyAndAnIgnoredEntryOnlyItself) {
  struct Case {
    const char* name;
    int section;
    std::string stopper;       // the data of the middle value
    std::string ignoredName;   // the ignore entry's value name for the first value, "-": none
    std::set<std::string> expected;
  } cases[] = {
      {"driver", kUserSection, "C:\\WINDOWS\\system32\\drivers\\x.sys", "-", {"|a.exe", "\\Sub|d.exe"}},
      {"vxd", kSystemSection, "C:\\WINDOWS\\x.VXD", "-", {"|a.exe", "\\Sub|d.exe"}},
      {"explorer stops the system only", kSystemSection, "C:\\WINDOWS\\Explorer.exe", "-", {"|a.exe", "\\Sub|d.exe"}},
      {"explorer, user", kUserSection, "C:\\gone\\explorer.exe", "-",
       {"|a.exe", "|explorer.exe", "|c.exe", "\\Sub|d.exe"}},
      {"user ignore", kUserSection, "C:\\gone\\b.exe", "", {"|b.exe", "|c.exe", "\\Sub|d.exe"}},
      {"system ignore, stored name", kSystemSection, "C:\\gone\\b.exe", "default", {"|b.exe", "|c.exe", "\\Sub|d.exe"}},
      {"system ignore, empty name", kSystemSection, "C:\\gone\\b.exe", "",
       {"|a.exe", "|b.exe", "|c.exe", "\\Sub|d.exe"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HKey root = c.section == kUserSection ? kCurrentUser : kLocalMachine;
    mp.registry.DeleteTree(root, "Software\\V");
    state.Ignores.Clear();
    Text(root, "Software\\V", "", "C:\\gone\\a.exe");
    Text(root, "Software\\V", "b", c.stopper);
    Text(root, "Software\\V", "c", "C:\\gone\\c.exe");
    Text(root, "Software\\V\\Sub", "d", "C:\\gone\\d.exe");
    if (std::string(c.ignoredName) != "-") Ignore(c.section, RootKeyName(root) + "\\Software\\V", c.ignoredName);
    Scan(c.section);
    std::set<std::string> found;
    for (const auto& item : list) {
      const std::string& path = item.Content.FullKeyPath;
      const std::string& data = item.Content.ValueData;
      found.insert(path.substr(path.find("\\V") + 2) + "|" + data.substr(data.rfind('\\') + 1));
    }
    EXPECT_EQ(found, c.expected);
  }
}

TEST_F(SoftwareSettingsSections, BadDataIsTestedAsTextOnceAndEachPathOncePerScan) {
  std::string manyPaths;
  for (int i = 0; i < 10000; ++i) manyPaths += (i ? ";" : "") + std::string("C:\\Gone\\p") + std::to_string(i) + ".dll";
  Text(kCurrentUser, "Software\\Bad", "many", manyPaths);
  Text(kCurrentUser, "Software\\Bad", "huge", "C:\\Gone\\" + std::string(1 << 20, 'x') + ".exe");
  Text(kCurrentUser, "Software\\Bad", "hugeText", std::string(1 << 20, 'y'));
  for (int i = 0; i < 300; ++i) Text(kCurrentUser, "Software\\Same\\K" + std::to_string(i), "v", "C:\\Gone\\same.exe");
  Text(kCurrentUser, "Software\\Same\\Other", "v", "c:\\gone\\SAME.EXE -q");
  Scan(kUserSection);
  EXPECT_EQ(list.Count(), 301 + 1 + 1);  // the shared path every time; one record each for the long values
  // A path is asked of the file system once however often it is named, and a long value a few times at most.
  EXPECT_LE(state.FileAttributes.tests, 12u);
  EXPECT_GE(state.FileAttributes.saved, 600u);
}

TEST_F(SoftwareSettingsSections, WalkStopsAtAbortAndShowsEvery200thKey) {
  for (int i = 0; i < 450; ++i) Key(kCurrentUser, "Software\\K" + std::to_string(i));
  Text(kCurrentUser, "Software\\K5", "v", "C:\\Gone Folder");
  state.ScanState = kStateScanning;
  pump.OnPump([this](int n) {
    if (n == 10) state.ScanState = kStateAbort;
  });
  Scan(kUserSection);
  EXPECT_EQ(pump.Count(), 10);
  EXPECT_EQ(list.Count(), 0);  // "K5" comes after "K10" ... "K106"
  pump.OnPump(nullptr);
  state.ScanState = kStateScanning;
  state.ProgressTicks = 0;
  const size_t shown = status.History().size();
  Scan(kUserSection);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(status.History().size() - shown, 2u);  // 451 keys: the 200th and the 400th
}

}  // namespace
}  // namespace tw
