#include "sections/com_section.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

Bytes Sz(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

class ComSectionTest : public ::testing::Test {
 protected:
  void Key(const std::string& path) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mem.registry, kClassesRoot, path, true), kOk) << path;
  }
  void Value(const std::string& path, uint32_t type, const Bytes& data, const std::string& name = "") {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mem.registry, kClassesRoot, path, true), kOk) << path;
    ASSERT_EQ(mem.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  bool Exists(const std::string& path) {
    RegKeyHandle key;
    return key.Open(mem.registry, kClassesRoot, path, false) == kOk;
  }
  void Ignore(const std::string& fullKeyPath) {
    auto& item = state.Ignores.Items(state.Ignores.Add());
    item.Category = kComCategory;
    item.FullKeyPath = fullKeyPath;
    item.ValueName = "default";
  }
  std::vector<std::string> Found() const {
    std::vector<std::string> paths;
    for (const auto& item : list) paths.push_back(item.Content.FullKeyPath);
    return paths;
  }
  void Scan() { ScanComSection(ctx, kClassesRoot, ""); }

  MemoryPlatform mem;
  ProcessState state;
  test::RecordingPump pump;
  test::RecordingText status;
  test::RecordingText count;
  TRegistryContents list;
  ScanContext ctx{mem.platform, state, pump, status, count, list};
};

TEST_F(ComSectionTest, ReportsServerAndHelpKeysWhoseUnnamedValueIsAnEmptyPlainString) {
  struct Case {
    const char* path;
    uint32_t type;  // kRegNone: no unnamed value at all
    Bytes data;
    bool reported;
  };
  const Case cases[] = {
      {"CLSID\\{01}\\InprocServer32", kRegSz, Sz(""), true},
      {"CLSID\\{02}\\InprocServer32", kRegSz, Bytes{}, true},
      {"CLSID\\{03}\\LocalServer32", kRegSz, Sz(""), true},
      {"CLSID\\{04}\\InprocServer", kRegSz, Sz(""), true},
      {"CLSID\\{05}\\InprocServer32", kRegNone, Bytes{}, false},
      {"CLSID\\{06}\\InprocServer32", kRegExpandSz, Sz(""), false},
      {"CLSID\\{07}\\InprocServer32", kRegSz, Sz("C:\\x.dll"), false},
      {"CLSID\\{08}\\InprocServer32", kRegBinary, Bytes{}, false},
      {"CLSID\\{09}\\inprocserver32", kRegSz, Sz(""), false},
      {"CLSID\\{10}\\Server32", kRegSz, Sz(""), false},
      {"TypeLib\\{L1}\\1.0\\HELPDIR", kRegSz, Sz(""), true},
      {"TypeLib\\{L2}\\1.0\\HelpDir", kRegSz, Sz(""), false},
      {"AppID\\{11}\\InprocServer32", kRegSz, Sz(""), false},
      {"Deep\\AppID\\InprocServer32", kRegSz, Sz(""), false},
      {"Sub\\appid\\{12}\\InprocServer32", kRegSz, Sz(""), true},
      {"AppIDs\\{13}\\LocalServer32", kRegSz, Sz(""), true},
  };
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    if (c.type == kRegNone) {
      Key(c.path);
    } else {
      Value(c.path, c.type, c.data);
    }
    if (c.reported) expected.push_back(std::string("HKEY_CLASSES_ROOT\\") + c.path);
  }
  ComEmptyEntryWalk(ctx, kClassesRoot, "");
  std::vector<std::string> found = Found();
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

TEST_F(ComSectionTest, FillsEachKindOfRecordWithItsOwnTexts) {
  Value("CLSID\\{A}\\InprocServer32", kRegSz, Sz(""));
  Value("CLSID\\{A}\\TypeLib", kRegSz, Sz("{NOLIB}"));
  Value("TypeLib\\{L}\\1.0\\HELPDIR", kRegSz, Sz(""));
  state.SelectAll = true;
  state.ProblemCounter = 7;
  Scan();
  ASSERT_EQ(list.Count(), 3);

  struct Expect {
    std::string full, keyName, valueData, keyPathText, valueNameText, valueText, description, detail, title;
  };
  const std::string server = "HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32";
  const std::string help = "HKEY_CLASSES_ROOT\\TypeLib\\{L}\\1.0\\HELPDIR";
  const std::string typeLib = "HKEY_CLASSES_ROOT\\CLSID\\{A}\\TypeLib";
  const Expect expects[] = {
      {server, "InprocServer32", "", " Key Path:" + server, " ValueName:default", " Value:", " The key is Emtpy",
       server + " is Empty", "Empty Key: " + server},
      {help, "HELPDIR", "TypeLib\\{L}\\1.0\\HELPDIR", " Key Path:" + help, " ValueName:default",
       " Value:TypeLib\\{L}\\1.0\\HELPDIR", " The key is Emtpy", help + "is Empty", "Empty Key: " + help},
      {typeLib, "TypeLib", "{NOLIB}", "Key Path:" + typeLib, "ValueName:default", "Value:{NOLIB}",
       "The following App ID or CLSID doesn't exist",
       "The Key default under " + typeLib + " contains a bad path for the value", "Missing or Invalid Path"},
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(expects[i].full);
    const TContent& c = list.Items(i).Content;
    const Expect& e = expects[i];
    EXPECT_EQ(c.FullKeyPath, e.full);
    EXPECT_EQ(c.KeyName, e.keyName);
    EXPECT_EQ(c.ValueName, "default");
    EXPECT_EQ(c.ValueData, e.valueData);
    EXPECT_EQ(c.KeyPathText, e.keyPathText);
    EXPECT_EQ(c.ValueNameText, e.valueNameText);
    EXPECT_EQ(c.ValueText, e.valueText);
    EXPECT_EQ(c.Description, e.description);
    EXPECT_EQ(c.Detail, e.detail);
    EXPECT_EQ(c.Title, e.title);
    EXPECT_EQ(c.Selected, 1);
    EXPECT_EQ(c.SeqNo, 8 + i);
  }
  EXPECT_EQ(count.History(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ComSectionTest, ReportsTypeLibraryReferencesThatTypeLibDoesNotList) {
  Key("TypeLib\\{LIB}");
  Key("TypeLib\\{LOCKED}");
  mem.registry.DenyAccess(kClassesRoot, "TypeLib\\{LOCKED}");
  struct Case {
    const char* id;
    uint32_t type;  // kRegNone: a TypeLib key without an unnamed value; 99: no TypeLib key
    const char* libId;
    bool reported;
  };
  const Case cases[] = {
      {"{C1}", kRegSz, "{LIB}", false},        {"{C2}", kRegSz, "{MISSING}", true},
      {"{C3}", 99, "", false},                 {"{C4}", kRegSz, "", false},
      {"{C5}", kRegSz, "{lib}", false},        {"{C6}", kRegNone, "", false},
      {"{C7}", kRegExpandSz, "{GONE}", true},  {"{C8}", kRegSz, "{LOCKED}", false},
      {"{C9}", kRegSz, "{LIB}\\1.0", true},    {"{CA}", kRegDword, "\x01\x02\x03", false},
  };
  for (const Case& c : cases) {
    const std::string classKey = std::string("CLSID\\") + c.id;
    if (c.type == 99) {
      Key(classKey);
    } else if (c.type == kRegNone) {
      Key(classKey + "\\TypeLib");
    } else {
      Value(classKey + "\\TypeLib", c.type, Sz(c.libId));
    }
  }
  ComTypeLibPass(ctx, kClassesRoot, "");
  std::vector<std::string> expected;
  for (const Case& c : cases)
    if (c.reported) expected.push_back(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + c.id + "\\TypeLib");
  EXPECT_EQ(Found(), expected);
  EXPECT_EQ(status.History().front(), "CLSID\\{C1}\\TypeLib");
}

TEST_F(ComSectionTest, WithoutATypeLibKeyNoReferenceIsReported) {
  Value("CLSID\\{C1}\\TypeLib", kRegSz, Sz("{MISSING}"));
  ComTypeLibPass(ctx, kClassesRoot, "");
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ComSectionTest, AnIgnoreHitSkipsExactlyThatEntryInBothPasses) {
  Key("TypeLib\\{LIB}");
  for (const char* id : {"{C1}", "{C2}", "{C3}"}) Value(std::string("CLSID\\") + id + "\\TypeLib", kRegSz, Sz("{NO}"));
  Value("CLSID\\{C1}\\InprocServer32", kRegSz, Sz(""));
  Value("CLSID\\{C2}\\InprocServer32", kRegSz, Sz(""));
  Ignore("hkey_classes_root\\clsid\\{c1}\\inprocserver32");
  Ignore("HKEY_CLASSES_ROOT\\CLSID\\{C2}\\TypeLib");
  // Another section's entry or another value name leaves the finding in place.
  state.Ignores.Items(state.Ignores.Add()) = {"Empty Registry Keys", "HKEY_CLASSES_ROOT\\CLSID\\{C3}\\TypeLib", "default"};
  state.Ignores.Items(state.Ignores.Add()) = {kComCategory, "HKEY_CLASSES_ROOT\\CLSID\\{C1}\\TypeLib", "Default"};
  Scan();
  EXPECT_EQ(Found(), (std::vector<std::string>{"HKEY_CLASSES_ROOT\\CLSID\\{C2}\\InprocServer32",
                                               "HKEY_CLASSES_ROOT\\CLSID\\{C1}\\TypeLib",
                                               "HKEY_CLASSES_ROOT\\CLSID\\{C3}\\TypeLib"}));
  EXPECT_EQ(state.ProblemCounter, 3);
}

TEST_F(ComSectionTest, AbortStopsTheWalkAtTheNextKeyAndSkipsTheTypeLibraryPass) {
  for (const char* id : {"{C1}", "{C2}", "{C3}", "{C4}"}) {
    Value(std::string("CLSID\\") + id + "\\InprocServer32", kRegSz, Sz(""));
    Value(std::string("CLSID\\") + id + "\\TypeLib", kRegSz, Sz("{NO}"));
  }
  Key("TypeLib");
  // Pumps come after each key's subtree: CLSID\{C1}\InprocServer32, CLSID\{C1}\TypeLib, CLSID\{C1}, ...
  pump.OnPump([&](int n) {
    if (n == 3) state.ScanState = kStateAbort;
  });
  Scan();
  EXPECT_EQ(Found(), (std::vector<std::string>{"HKEY_CLASSES_ROOT\\CLSID\\{C1}\\InprocServer32"}));
  EXPECT_EQ(status.Text(), "CLSID\\{C1}\\TypeLib");
}

TEST_F(ComSectionTest, AbortDuringTheTypeLibraryPassStopsBeforeTheNextClass) {
  Key("TypeLib");
  for (const char* id : {"{C1}", "{C2}", "{C3}"}) Value(std::string("CLSID\\") + id + "\\TypeLib", kRegSz, Sz("{NO}"));
  struct Case {
    int abortAtPump;  // the pass pumps before each class
    int found;
  };
  const Case cases[] = {{1, 0}, {2, 1}, {3, 2}, {99, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.abortAtPump);
    list.Clear();
    state.ScanState = kStateScanning;
    int pumps = 0;
    pump.OnPump([&](int) {
      if (++pumps == c.abortAtPump) state.ScanState = kStateAbort;
    });
    ComTypeLibPass(ctx, kClassesRoot, "");
    EXPECT_EQ(list.Count(), c.found);
  }
}

TEST_F(ComSectionTest, ShowsEveryVisitedKeyButNoAppIdKey) {
  Key("AppID\\{A}");
  Key("CLSID\\{B}\\InprocServer32");
  ComEmptyEntryWalk(ctx, kClassesRoot, "");
  EXPECT_EQ(status.History(), (std::vector<std::string>{"CLSID", "CLSID\\{B}", "CLSID\\{B}\\InprocServer32"}));
  EXPECT_EQ(pump.Count(), 3);
}

TEST_F(ComSectionTest, RepairDeletesEachSelectedKeyWithItsSubtreeAndReportsTheOutcome) {
  Value("CLSID\\{A}\\InprocServer32", kRegSz, Sz(""));
  Value("CLSID\\{A}\\InprocServer32", kRegSz, Sz("Apartment"), "ThreadingModel");
  Key("CLSID\\{A}\\InprocServer32\\below");
  Value("CLSID\\{B}\\LocalServer32", kRegSz, Sz(""));
  Value("CLSID\\{C}\\TypeLib", kRegSz, Sz("{NO}"));
  Value("CLSID\\{D}\\InprocServer32", kRegSz, Sz(""));
  mem.registry.DenyAccess(kClassesRoot, "CLSID\\{D}\\InprocServer32");
  Key("TypeLib");
  state.SelectAll = true;
  Scan();
  ASSERT_EQ(list.Count(), 3);  // {D} cannot be opened, so the walk passes it over
  list.Items(1).Content.Selected = 0;
  auto addRecord = [&](const std::string& fullKeyPath) {
    TContent& c = list.Items(list.Add()).Content;
    c.FullKeyPath = fullKeyPath;
    c.Selected = 1;
  };
  addRecord("HKEY_CLASSES_ROOT\\CLSID\\{D}\\InprocServer32");
  addRecord("HKEY_CURRENT_USER\\CLSID\\{B}\\LocalServer32");
  addRecord("HKEY_CLASSES_ROOT\\");

  TRepairContents results;
  test::RecordingText label;
  RepairContext repair{mem.platform, state, pump, label, results, list};
  RepairComSection(repair);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32", "Repaired Successfully"},
      {"HKEY_CLASSES_ROOT\\CLSID\\{C}\\TypeLib", "Repaired Successfully"},
      {"HKEY_CLASSES_ROOT\\CLSID\\{D}\\InprocServer32", "Repair Error"},
      {"HKEY_CURRENT_USER\\CLSID\\{B}\\LocalServer32", "Repair Error"},
      {"HKEY_CLASSES_ROOT\\", "Repair Error"},
  };
  ASSERT_EQ(results.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < results.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(results.Items(i).Rec.Caption, expected[i].first);
    EXPECT_EQ(results.Items(i).Rec.Status, expected[i].second);
  }
  EXPECT_TRUE(label.History().empty());  // this repair leaves the status label alone
  EXPECT_FALSE(Exists("CLSID\\{A}\\InprocServer32"));
  EXPECT_TRUE(Exists("CLSID\\{A}"));
  EXPECT_TRUE(Exists("CLSID\\{B}\\LocalServer32"));
  EXPECT_FALSE(Exists("CLSID\\{C}\\TypeLib"));
  EXPECT_TRUE(Exists("CLSID"));
}

}  // namespace
}  // namespace tw
