#include "sections/class_filter_empty_key_sections.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/section_fixture.h"

namespace tw {
namespace {

using test::ExpectTexts;

class ClassFilterEmptyKeySections : public test::SectionFixture {
 protected:
  void Value(HKey root, const std::string& path, const std::string& name, uint32_t type, Bytes data = {}) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk) << path;
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk);
  }
};

const std::string kClassBase = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

TEST_F(ClassFilterEmptyKeySections, FilterListsAreReportedOnTheCdRomClassOnly) {
  struct Case {
    const char* classId;
    const char* value;
    uint32_t type;
    Bytes data;
    bool reported;
  } cases[] = {
      {"{4D36E965-E325-11CE-BFC1-08002BE10318}", "UpperFilters", kRegMultiSz, {'x', 0, 0}, true},
      {"{4D36E965-E325-11CE-BFC1-08002BE10318}", "LOWERFILTERS", kRegMultiSz, {}, true},  // present but empty
      {"{4D36E965-E325-11CE-BFC1-08002BE10318}", "UpperFilter", kRegMultiSz, {'x', 0, 0}, false},
      {"{4d36e965-e325-11ce-bfc1-08002be10318}", "LowerFilters", kRegDword, {1, 0, 0, 0}, true},  // any type
      {"{4D36E967-E325-11CE-BFC1-08002BE10318}", "UpperFilters", kRegMultiSz, {'x', 0, 0}, false},  // disk drives
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.classId) + " " + c.value);
    mp.registry.DeleteTree(kLocalMachine, "SYSTEM");
    Value(kLocalMachine, kClassBase + c.classId, c.value, c.type, c.data);
    Scan(7);
    EXPECT_EQ(list.Count(), c.reported ? 1 : 0);
  }
  mp.registry.DeleteTree(kLocalMachine, "SYSTEM");
  Value(kLocalMachine, kCdRomClassKey, "LowerFilters", kRegMultiSz, {'y', 0, 0});
  Value(kLocalMachine, kCdRomClassKey, "UpperFilters", kRegMultiSz, {'x', 0, 0});
  Scan(7);
  ASSERT_EQ(list.Count(), 2);
  const std::string r = "HKEY_LOCAL_MACHINE\\" + std::string(kCdRomClassKey);
  ExpectTexts(list.Items(0).Content, {r, "", "UpperFilters", "", " Key Path:" + r, " ValueName:Upperfilters",
                                      " Value: Empty", " The bad key",
                                      "The Key Upperfilters under " + r + " contains a bad key for the value",
                                      "The bad key"});
  EXPECT_EQ(list.Items(1).Content.ValueNameText, " ValueName:Lowerfilters");
  EXPECT_EQ(Repair(7), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  TRegistry key(mp.registry, kLocalMachine);
  ASSERT_TRUE(key.OpenKeyReadOnly(kCdRomClassKey));
  EXPECT_TRUE(key.GetValueNames().empty());
}

TEST_F(ClassFilterEmptyKeySections, EmptyKeysBelowTheUsersAreReported) {
  struct Case {
    const char* path;
    bool reported;
  } cases[] = {
      {"S-1-5-21-7\\Software\\Empty", true},
      {"S-1-5-21-7\\Software\\Full\\Leaf", true},  // "Full" has a subkey, so only its leaf
      {".Default\\Software\\Other", false},  // the default profile, stored in another case
      {".DEFAULT\\Software\\Empty", false},
      {"S-1-5-19_Classes", false},
      {"S-1-5-19\\Software\\Classes", false},
      {"S-1-5-19\\Software\\Other", true},
      {"S-1-5-20_Classes", false},
      {"S-1-5-20\\Software\\Classes", false},
      {"S-1-5-21-7\\Software\\Classes\\MIME\\Database", false},
      {"S-1-5-21-7\\Software\\mimetypes", false},
      {"S-1-5-21-7\\Software\\Ignored", false},
      {"S-1-5-21-7\\Software\\Z Last", true},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    Key(kUsers, c.path);
    if (c.reported) expected.push_back("HKEY_USERS\\" + std::string(c.path));
  }
  Value(kUsers, "S-1-5-21-7\\Software\\Named", "x", kRegSz, {0});
  Value(kUsers, "S-1-5-21-7\\Software\\Unnamed", "", kRegNone);
  auto& ignore = state.Ignores.Items(state.Ignores.Add());
  ignore.Category = "Empty Registry Keys";
  ignore.FullKeyPath = "HKEY_USERS\\S-1-5-21-7\\SOFTWARE\\Ignored";
  ignore.ValueName = "default";
  Scan(12);
  std::vector<std::string> found = Found(&TContent::FullKeyPath);
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);

  list.Clear();
  mp.registry.DeleteTree(kUsers, "S-1-5-19");
  mp.registry.DeleteTree(kUsers, "S-1-5-20");
  mp.registry.DeleteTree(kUsers, "S-1-5-21-7\\Software\\Classes");
  Scan(12);
  const std::string r = "HKEY_USERS\\S-1-5-21-7\\Software\\Empty";
  ExpectTexts(list.Items(0).Content, {r, "S-1-5-21-7\\Software\\Empty", "default", "", " Key Path:" + r,
                                      " ValueName:default", " Value: empty", " The key is empty key", r + " is Empty",
                                      "Empty Key: " + r});
}

TEST_F(ClassFilterEmptyKeySections, EmptyKeyRepairDeletesOnlyKeysStillEmpty) {
  Key(kUsers, "U\\Parent\\A");
  Key(kUsers, "U\\Parent\\B");
  Scan(12);
  EXPECT_EQ(Found(&TContent::KeyName), (std::vector<std::string>{"U\\Parent\\A", "U\\Parent\\B"}));
  Value(kUsers, "U\\Parent\\B", "since", kRegSz, {0});  // filled between scan and repair
  EXPECT_EQ(Repair(12), (std::vector<std::string>{"Repaired Successfully", "Repair Error"}));
  EXPECT_FALSE(HasKey(kUsers, "U\\Parent\\A"));
  EXPECT_TRUE(HasKey(kUsers, "U\\Parent\\B"));
  mp.registry.DeleteTree(kUsers, "U\\Parent\\B");
  Scan(12);  // with its empty subkeys gone, the parent is empty itself
  EXPECT_EQ(Found(&TContent::KeyName), (std::vector<std::string>{"U\\Parent"}));
}

TEST_F(ClassFilterEmptyKeySections, EmptyKeyWalkStopsAtAbort) {
  for (int i = 0; i < 5; ++i) Key(kUsers, "U\\K" + std::to_string(i));
  state.ScanState = kStateScanning;
  pump.OnPump([this](int n) {
    if (n == 1) state.ScanState = kStateAbort;
  });
  Scan(12);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace tw
