#include "sections/fixed_key_sections.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::RecordingPump;
using test::RecordingText;

constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kHtmlHelp = "SOFTWARE\\Microsoft\\Windows\\Html Help";
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kSounds = "Control Panel\\Sounds";

class FixedKeySections : public ::testing::Test {
 protected:
  void SetUp() override {
    mp.files.SetDrive('D', kDriveCdRom);
    mp.files.SetDrive('E', kDriveRemote);
    state.SkippedDrives = {"D:", "E:"};
    state.SelectAll = true;
    Write(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files");
  }

  void Write(HKey root, const std::string& path, const std::string& name, const std::string& data,
             uint32_t type = kRegSz) {
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(0);
    WriteRaw(root, path, name, type, bytes);
  }
  void WriteRaw(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  void WriteDword(HKey root, const std::string& path, const std::string& name, uint32_t value) {
    WriteRaw(root, path, name, kRegDword,
             Bytes{uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
  }
  bool HasValue(HKey root, const std::string& path, const std::string& name) {
    TRegistry reg(mp.registry, root);
    return reg.OpenKeyReadOnly(path) && reg.ValueExists(name);
  }
  bool HasKey(HKey root, const std::string& path) { return TRegistry(mp.registry, root).KeyExists(path); }

  // Runs a section's scanner as the scan driver does.
  void Scan(int section) {
    const SectionDef& def = SectionByNumber(section);
    ScanContext ctx{mp.platform, state, pump, status, count, list};
    def.scanner(ctx, def.root, def.keyPath ? def.keyPath : "");
  }
  void Repair(int section) {
    RepairContext ctx{mp.platform, state, pump, repairLabel, results, list};
    SectionByNumber(section).repairer(ctx);
  }
  void Ignore(int section, const std::string& fullKeyPath, const std::string& valueName) {
    auto& item = state.Ignores.Items(state.Ignores.Add());
    item.Category = SectionByNumber(section).ignoreCategory;
    item.FullKeyPath = fullKeyPath;
    item.ValueName = valueName;
  }
  std::vector<std::string> Found(std::string TContent::*field) const {
    std::vector<std::string> out;
    for (const auto& item : list) out.push_back(item.Content.*field);
    return out;
  }
  std::vector<std::string> Statuses() const {
    std::vector<std::string> out;
    for (const auto& item : results) out.push_back(item.Rec.Status);
    return out;
  }

  MemoryPlatform mp;
  ProcessState state;
  RecordingPump pump;
  RecordingText status, count, repairLabel;
  TRegistryContents list;
  TRepairContents results;
};

void ExpectTexts(const TContent& c, const std::vector<std::string>& expected) {
  EXPECT_EQ((std::vector<std::string>{c.FullKeyPath, c.KeyName, c.ValueName, c.ValueData, c.KeyPathText,
                                      c.ValueNameText, c.ValueText, c.Description, c.Detail, c.Title}),
            expected);
}

// --- Shared DLLs ----------------------------------------------------------------------------------

TEST_F(FixedKeySections, SharedDllsReportsMissingFilesAndZeroCounts) {
  mp.files.AddFile("C:\\WINDOWS\\system32\\here.dll");
  mp.files.AddFile("C:\\WINDOWS\\system32\\zero.dll");
  struct Entry {
    const char* name;
    uint32_t type;
    Bytes data;
    const char* reportedCount;  // nullptr: not reported
  } entries[] = {
      {"C:\\WINDOWS\\system32\\gone.dll", kRegSz, {'1', 0}, "1"},
      {"C:\\WINDOWS\\system32\\here.dll", kRegDword, {3, 0, 0, 0}, nullptr},
      {"C:\\Office\\msoe.dll", kRegDword, {1, 0, 0, 0}, nullptr},  // never reported, and the scan goes on
      {"C:\\WINDOWS\\SYSTEM32\\ZERO.DLL", kRegDword, {0, 0, 0, 0}, "0"},  // a count of 0 even though it exists
      {"C:\\WINDOWS\\system32\\bytes15.dll", kRegBinary, {0x15, 0}, "15"},
      {"C:\\WINDOWS\\system32\\bytes1a.dll", kRegBinary, {0x1A}, "0"},
      {"C:\\WINDOWS\\system32\\text.dll", kRegSz, {'a', 'b', 0}, "0"},
      {"C:\\WINDOWS\\system32\\qword.dll", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}, "-1"},
      {"C:\\WINDOWS\\system32\\drivers\\gone.sys", kRegDword, {1, 0, 0, 0}, nullptr},
      {"C:\\WINDOWS\\system\\gone.VxD", kRegDword, {1, 0, 0, 0}, nullptr},
      {"\\\\server\\share\\gone.dll", kRegDword, {1, 0, 0, 0}, nullptr},
      {"A:\\gone.dll", kRegDword, {1, 0, 0, 0}, nullptr},
      {"D:\\gone.dll", kRegDword, {1, 0, 0, 0}, nullptr},
      {"e:\\gone.dll", kRegDword, {1, 0, 0, 0}, nullptr},
      {"C:\\Later\\last.dll", kRegDword, {2, 0, 0, 0}, "2"},
  };
  std::vector<std::string> names, counts;
  for (const auto& e : entries) {
    WriteRaw(kLocalMachine, kSharedDlls, e.name, e.type, e.data);
    if (e.reportedCount) {
      names.push_back(e.name);
      counts.push_back(e.reportedCount);
    }
  }
  Scan(4);
  EXPECT_EQ(Found(&TContent::ValueName), names);
  EXPECT_EQ(Found(&TContent::ValueData), counts);
}

TEST_F(FixedKeySections, SharedDllsRecordTexts) {
  WriteDword(kLocalMachine, kSharedDlls, "C:\\Apps\\gone.dll", 4);
  Scan(4);
  ASSERT_EQ(list.Count(), 1);
  const std::string r = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
  ExpectTexts(list.Items(0).Content,
              {r, "SharedDlls", "C:\\Apps\\gone.dll", "4", " Key Path:" + r, " ValueName:default",
               " Value:C:\\Apps\\gone.dll", " The file (C:\\Apps\\gone.dll) does not exist at the specified location",
               "The Key C:\\Apps\\gone.dll under " + r + " contains a bad path for the value",
               "Missing or Invalid Path"});
  EXPECT_EQ(list.Items(0).Content.Selected, 1);
  EXPECT_EQ(status.History().back(), "C:\\Apps\\gone.dll");
}

TEST_F(FixedKeySections, SharedDllsEmptiesItsListFirst) {
  list.Items(list.Add()).Content.FullKeyPath = "stale";
  WriteDword(kLocalMachine, kSharedDlls, "C:\\Apps\\gone.dll", 1);
  Scan(4);
  EXPECT_EQ(Found(&TContent::FullKeyPath).size(), 1u);
  EXPECT_NE(list.Items(0).Content.FullKeyPath, "stale");
}

// --- Fonts ----------------------------------------------------------------------------------------

TEST_F(FixedKeySections, FontsTestsTheDataInsideTheFontsFolder) {
  mp.files.AddFile("C:\\WINDOWS\\Fonts\\arial.ttf");
  mp.files.AddFile("C:\\Other\\elsewhere.ttf");
  Write(kLocalMachine, kFonts, "Arial (TrueType)", "arial.ttf");
  Write(kLocalMachine, kFonts, "Gone (TrueType)", "gone.ttf");
  Write(kLocalMachine, kFonts, "Expand (TrueType)", "expand.ttf", kRegExpandSz);
  WriteDword(kLocalMachine, kFonts, "Number", 7);
  Write(kLocalMachine, kFonts, "Elsewhere", "C:\\Other\\elsewhere.ttf");  // a full path is tested where it says
  Write(kLocalMachine, kFonts, "Elsewhere gone", "C:\\Other\\gone.ttf");
  Scan(5);
  EXPECT_EQ(Found(&TContent::ValueName),
            (std::vector<std::string>{"Gone (TrueType)", "Expand (TrueType)", "Elsewhere gone"}));
  EXPECT_EQ(status.History().front(), std::string(kFonts) + "Arial (TrueType)");
}

TEST_F(FixedKeySections, FontsRecordTexts) {
  Write(kLocalMachine, kFonts, "Gone (TrueType)", "gone.ttf");
  Scan(5);
  ASSERT_EQ(list.Count(), 1);
  const std::string r = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  ExpectTexts(list.Items(0).Content,
              {r, "Fonts", "Gone (TrueType)", "gone.ttf", " Key Path:" + r, " ValueName:Gone (TrueType)",
               " Value:gone.ttf", " The file (gone.ttf) does not exist at the specified location",
               "The Key gone.ttf under " + r + " contains a bad path for the value", "Missing or Invalid Path"});
}

// --- Help -----------------------------------------------------------------------------------------

TEST_F(FixedKeySections, HelpTestsFolderAndValueNameInBothKeys) {
  mp.files.AddFile("C:\\WINDOWS\\Help\\here.hlp");
  Write(kLocalMachine, kHelp, "here.hlp", "C:\\WINDOWS\\Help");
  Write(kLocalMachine, kHelp, "gone.hlp", "C:\\WINDOWS\\Help");
  Write(kLocalMachine, kHelp, "slash.hlp", "C:\\Apps\\");
  Write(kLocalMachine, kHelp, "net.hlp", "\\\\server\\help");
  Write(kLocalMachine, kHelp, "cd.hlp", "D:\\help");
  WriteDword(kLocalMachine, kHelp, "number.hlp", 1);
  Write(kLocalMachine, kHtmlHelp, "gone.chm", "C:\\Apps\\Docs", kRegExpandSz);
  Scan(9);
  EXPECT_EQ(Found(&TContent::ValueData),
            (std::vector<std::string>{"C:\\WINDOWS\\Help\\gone.hlp", "C:\\Apps\\slash.hlp",
                                      "C:\\Apps\\Docs\\gone.chm"}));
  EXPECT_EQ(Found(&TContent::FullKeyPath),
            (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kHelp),
                                      "HKEY_LOCAL_MACHINE\\" + std::string(kHelp),
                                      "HKEY_LOCAL_MACHINE\\" + std::string(kHtmlHelp)}));
}

TEST_F(FixedKeySections, HelpRecordTexts) {
  Write(kLocalMachine, kHelp, "gone.hlp", "C:\\Apps");
  Scan(9);
  ASSERT_EQ(list.Count(), 1);
  const std::string r = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
  ExpectTexts(list.Items(0).Content,
              {r, "gone.hlp", "gone.hlp", "C:\\Apps\\gone.hlp", " Key Path:" + r, " ValueName:default",
               " Value:C:\\Apps\\gone.hlp", " The file (C:\\Apps\\gone.hlp) does not exist at the specified location",
               "The Key C:\\Apps\\gone.hlp under " + r + " contains a bad path for the value",
               "Missing or Invalid Path"});
}

// --- App Paths ------------------------------------------------------------------------------------

TEST_F(FixedKeySections, AppPathsBuildsTheFileFromTheEntry) {
  mp.files.AddFile("C:\\Tools\\here.exe");
  mp.files.AddFile("C:\\Program Files\\Suite\\suite.exe");
  mp.files.AddFile("C:\\WINDOWS\\system32\\sys.exe");
  const std::string k = kAppPaths;
  struct Entry {
    const char* sub;
    uint32_t type;
    const char* data;
    const char* path;  // nullptr: no "Path" value
    const char* reported;  // the file tested, nullptr: not reported
  } entries[] = {
      {"a_bare.exe", kRegSz, "gone.exe", "C:\\Tools", "C:\\Tools\\gone.exe"},
      {"b_slash.exe", kRegSz, "gone.exe", "C:\\Tools\\", "C:\\Tools\\gone.exe"},
      {"c_here.exe", kRegSz, "here.exe", "C:\\Tools", nullptr},
      {"d_full.exe", kRegSz, "\"C:\\Tools\\missing.exe\"", nullptr, "C:\\Tools\\missing.exe"},
      {"e_full.exe", kRegSz, "\"C:\\Tools\\here.exe\"", nullptr, nullptr},
      {"f_pf.exe", kRegSz, "%ProgramFiles%\\Suite\\suite.exe", nullptr, nullptr},
      {"g_pf.exe", kRegSz, "\"%ProgramFiles%\\Suite\\gone.exe\"", nullptr, "C:\\Program Files\\Suite\\gone.exe"},
      {"h_sys.exe", kRegSz, "%SystemRoot%\\system32\\sys.exe", nullptr, nullptr},
      {"i_sys.exe", kRegSz, "%SystemRoot%\\system32\\nosys.exe", nullptr, "C:\\WINDOWS\\system32\\nosys.exe"},
      {"j_expand.exe", kRegExpandSz, "C:\\Tools\\gone.exe", nullptr, nullptr},
      {"k_noext", kRegSz, "C:\\Tools\\gone", nullptr, nullptr},
      {"l_net.exe", kRegSz, "\\\\server\\gone.exe", nullptr, nullptr},
      {"m_cd.exe", kRegSz, "D:\\gone.exe", nullptr, nullptr},
      {"n_drivea.exe", kRegSz, "A:\\gone.exe", nullptr, nullptr},
  };
  std::vector<std::string> expected, subs;
  for (const auto& e : entries) {
    Write(kLocalMachine, k + "\\" + e.sub, "", e.data, e.type);
    if (e.path) Write(kLocalMachine, k + "\\" + e.sub, "Path", e.path);
    if (e.reported) {
      expected.push_back(e.reported);
      subs.push_back(e.sub);
    }
  }
  Write(kLocalMachine, k + "\\o_nodefault.exe", "Path", "C:\\Nowhere");
  Scan(10);
  EXPECT_EQ(Found(&TContent::ValueData), expected);
  EXPECT_EQ(Found(&TContent::KeyName), subs);
  EXPECT_EQ(status.History().front(), "HKEY_LOCAL_MACHINE\\" + k + "\\a_bare.exe");
}

TEST_F(FixedKeySections, AppPathsRecordTexts) {
  Write(kLocalMachine, std::string(kAppPaths) + "\\tool.exe", "", "C:\\Tools\\tool.exe");
  Scan(10);
  ASSERT_EQ(list.Count(), 1);
  const std::string r = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe";
  ExpectTexts(list.Items(0).Content,
              {r, "tool.exe", "Path", "C:\\Tools\\tool.exe", " Key Path:" + r, " ValueName:Path",
               " Value:C:\\Tools\\tool.exe", " The file (C:\\Tools\\tool.exe) does not exist at the specified location",
               "The Key C:\\Tools\\tool.exe under " + r + " contains a bad path for the value",
               "Missing or Invalid Path"});
}

// --- Sounds ---------------------------------------------------------------------------------------

TEST_F(FixedKeySections, SoundsReportsANonEmptyUnnamedValue) {
  struct Case {
    const char* unnamed;  // nullptr: none
    int expected;
  } cases[] = {{"Windows Default", 1}, {"", 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unnamed ? c.unnamed : "(none)");
    mp.registry.DeleteTree(kLocalMachine, "Control Panel");
    list.Clear();
    Write(kLocalMachine, kSounds, "Beep", "yes");
    if (c.unnamed) Write(kLocalMachine, kSounds, "", c.unnamed);
    Scan(15);
    EXPECT_EQ(list.Count(), c.expected);
  }
  const std::string r = "HKEY_LOCAL_MACHINE\\Control Panel\\Sounds";
  Write(kLocalMachine, kSounds, "", "ding.wav");
  list.Clear();
  Scan(15);
  ASSERT_EQ(list.Count(), 1);
  ExpectTexts(list.Items(0).Content,
              {r, "Sounds", "default", "ding.wav", " Key Path:" + r, " ValueName:default", " Value:ding.wav",
               " The file (ding.wav) does not exist at the specified location",
               "The Key ding.wav under " + r + " contains a bad path for the value", "Missing or Invalid Path"});
  EXPECT_EQ(pump.Count(), 0);
}

// --- What all five share --------------------------------------------------------------------------

TEST_F(FixedKeySections, SeqNoRunsAcrossSectionsAndTheCountLabelShowsTheListCount) {
  WriteDword(kLocalMachine, kSharedDlls, "C:\\Apps\\one.dll", 1);
  WriteDword(kLocalMachine, kSharedDlls, "C:\\Apps\\two.dll", 1);
  Write(kLocalMachine, kFonts, "F", "f.ttf");
  state.SelectAll = false;
  Scan(4);
  EXPECT_EQ(count.History(), (std::vector<std::string>{"1", "2"}));
  TRegistryContents sharedDlls = list;
  list.Clear();
  Scan(5);
  EXPECT_EQ(count.Text(), "1");
  EXPECT_EQ(sharedDlls.Items(0).Content.SeqNo, 1);
  EXPECT_EQ(sharedDlls.Items(1).Content.SeqNo, 2);
  EXPECT_EQ(list.Items(0).Content.SeqNo, 3);
  EXPECT_EQ(list.Items(0).Content.Selected, 0);
  EXPECT_EQ(state.ProblemCounter, 3);
}

// Seeds the n-th broken entry of sections 4, 5, 9 and 10 and names its ignore entry.
class FixedKeySectionsShared : public FixedKeySections {
 public:
  void Seed(int section, int n) {
    const std::string i = std::to_string(n);
    switch (section) {
      case 4: WriteDword(kLocalMachine, kSharedDlls, "C:\\Apps\\gone" + i + ".dll", 1); break;
      case 5: Write(kLocalMachine, kFonts, "Font " + i, "gone" + i + ".ttf"); break;
      case 9: Write(kLocalMachine, kHelp, "gone" + i + ".hlp", "C:\\Apps"); break;
      case 10: Write(kLocalMachine, std::string(kAppPaths) + "\\app" + i + ".exe", "", "C:\\Apps\\gone" + i + ".exe");
    }
  }
  std::pair<std::string, std::string> Entry(int section, int n) {
    const std::string i = std::to_string(n);
    const std::string hklm = "HKEY_LOCAL_MACHINE\\";
    switch (section) {
      case 4: return {hklm + kSharedDlls, "C:\\Apps\\gone" + i + ".dll"};
      case 5: return {hklm + kFonts, "Font " + i};
      case 9: return {hklm + kHelp, "gone" + i + ".hlp"};
      default: return {hklm + kAppPaths + "\\app" + i + ".exe", "Path"};
    }
  }
};

TEST_F(FixedKeySectionsShared, AnIgnoredEntryIsSkippedAndTheScanGoesOn) {
  for (int section : {4, 5, 9, 10}) {
    SCOPED_TRACE(section);
    for (int n = 1; n <= 3; ++n) Seed(section, n);
    state.Ignores.Clear();
    const auto entry = Entry(section, 2);
    // A stored key path in another case still matches.
    std::string shouted = entry.first;
    for (char& ch : shouted) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    Ignore(section, shouted, entry.second);
    Ignore(section == 4 ? 5 : 4, entry.first, Entry(section, 3).second);  // another section's entry
    list.Clear();
    Scan(section);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0).Content.FullKeyPath + "|" + list.Items(0).Content.ValueName,
              Entry(section, 1).first + "|" + Entry(section, 1).second);
    EXPECT_EQ(list.Items(1).Content.FullKeyPath + "|" + list.Items(1).Content.ValueName,
              Entry(section, 3).first + "|" + Entry(section, 3).second);
  }
}

TEST_F(FixedKeySectionsShared, AbortStopsBeforeTheNextItem) {
  for (int section : {4, 5, 9, 10}) {
    SCOPED_TRACE(section);
    for (int n = 1; n <= 3; ++n) Seed(section, n);
    state.ScanState = kStateScanning;
    pump.OnPump([this](int) { state.ScanState = kStateAbort; });
    list.Clear();
    Scan(section);
    EXPECT_EQ(list.Count(), 1);
    state.ScanState = kStateAbort;
    list.Clear();
    Scan(section);
    EXPECT_EQ(list.Count(), 0);
    pump.OnPump(nullptr);
  }
}

// --- Repairs --------------------------------------------------------------------------------------

TEST_F(FixedKeySectionsShared, RepairDeletesWhatEachSectionNames) {
  Write(kLocalMachine, kSounds, "", "ding.wav");
  for (int section : {4, 5, 9, 10, 15}) {
    SCOPED_TRACE(section);
    if (section != 15) Seed(section, 1);
    list.Clear();
    results.Clear();
    Scan(section);
    ASSERT_EQ(list.Count(), 1);
    Repair(section);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(results.Items(0).Rec.Status, "Repaired Successfully");
    const TContent& c = list.Items(0).Content;
    const std::string path = c.FullKeyPath.substr(std::string("HKEY_LOCAL_MACHINE\\").size());
    if (section == 10) {
      EXPECT_FALSE(HasKey(kLocalMachine, path));
      EXPECT_TRUE(HasKey(kLocalMachine, kAppPaths));
    } else {
      EXPECT_FALSE(HasValue(kLocalMachine, path, c.ValueName == "default" ? "" : c.ValueName));
      EXPECT_TRUE(HasKey(kLocalMachine, path));
    }
    const std::string caption = section == 9 ? c.FullKeyPath.substr(std::string("HKEY_LOCAL_MACHINE").size())
                                             : c.FullKeyPath;
    EXPECT_EQ(results.Items(0).Rec.Caption, caption);
    EXPECT_EQ(repairLabel.Text(), caption);
  }
}

TEST_F(FixedKeySectionsShared, AFailedRepairIsReportedAndTheNextRecordIsRepaired) {
  for (int n = 1; n <= 2; ++n) Seed(10, n);
  Scan(10);
  ASSERT_EQ(list.Count(), 2);
  // A record whose key is already gone counts as repaired.
  TContent alreadyGone = list.Items(1).Content;
  alreadyGone.FullKeyPath = "HKEY_LOCAL_MACHINE\\" + std::string(kAppPaths) + "\\never.exe";
  list.Items(list.Add()).Content = alreadyGone;
  const std::string app1 = std::string(kAppPaths) + "\\app1.exe";
  mp.registry.DenyAccess(kLocalMachine, app1 + "\\Locked");
  Repair(10);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Repair Error", "Repaired Successfully", "Repaired Successfully"}));
  EXPECT_TRUE(HasKey(kLocalMachine, app1));
  EXPECT_FALSE(HasKey(kLocalMachine, std::string(kAppPaths) + "\\app2.exe"));
}

TEST_F(FixedKeySectionsShared, AValueThatCannotBeDeletedIsARepairError) {
  Seed(4, 1);
  Scan(4);
  ASSERT_EQ(list.Count(), 1);
  mp.registry.DenyAccess(kLocalMachine, kSharedDlls);
  Repair(4);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Repair Error"}));
  mp.registry.DenyAccess(kLocalMachine, kSharedDlls, false);
  EXPECT_TRUE(HasValue(kLocalMachine, kSharedDlls, "C:\\Apps\\gone1.dll"));
}

TEST_F(FixedKeySectionsShared, RepairSkipsUnselectedRecordsAndStopsWhenCancelled) {
  for (int n = 1; n <= 4; ++n) Seed(4, n);
  Scan(4);
  ASSERT_EQ(list.Count(), 4);
  list.Items(0).Content.Selected = 0;
  int repairPumps = 0;
  pump.OnPump([this, &repairPumps](int) {
    if (++repairPumps == 3) state.ScanState = kStateRepairCancelled;
  });
  Repair(4);
  ASSERT_EQ(results.Count(), 1);
  EXPECT_EQ(results.Items(0).Rec.Caption, list.Items(1).Content.FullKeyPath);
  EXPECT_TRUE(HasValue(kLocalMachine, kSharedDlls, "C:\\Apps\\gone1.dll"));
  EXPECT_FALSE(HasValue(kLocalMachine, kSharedDlls, "C:\\Apps\\gone2.dll"));
  EXPECT_TRUE(HasValue(kLocalMachine, kSharedDlls, "C:\\Apps\\gone3.dll"));
}

TEST_F(FixedKeySectionsShared, FontAndSoundRepairsDoNotPump) {
  Seed(5, 1);
  Write(kLocalMachine, kSounds, "", "ding.wav");
  for (int section : {5, 15}) {
    SCOPED_TRACE(section);
    list.Clear();
    Scan(section);
    const int pumpsBefore = pump.Count();
    Repair(section);
    EXPECT_EQ(pump.Count(), pumpsBefore);
  }
  Seed(4, 1);
  list.Clear();
  Scan(4);
  const int pumpsBefore = pump.Count();
  Repair(4);
  EXPECT_EQ(pump.Count(), pumpsBefore + 1);
}

}  // namespace
}  // namespace tw
