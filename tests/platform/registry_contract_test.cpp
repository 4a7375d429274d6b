// The registry cases both back ends must answer alike: the memory model natively, the real API under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "support/test_platform.h"

namespace tw {
namespace {

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    tp_ = MakeTestPlatform();
    reg_ = &tp_->Registry();
    ASSERT_EQ(scratch_.Open(*reg_, kCurrentUser, tp_->ScratchKey(), false), kOk);
  }

  HKey Scratch() const { return scratch_.Get(); }

  // Opens (creating) a key below the scratch key; it is closed after the test.
  HKey Create(const std::string& path) {
    open_.emplace_back();
    EXPECT_EQ(open_.back().Open(*reg_, Scratch(), path, true), kOk) << path;
    return open_.back().Get();
  }

  long Open(const std::string& path, bool create = false) {
    RegKeyHandle key;
    return key.Open(*reg_, Scratch(), path, create);
  }

  std::vector<std::string> SubKeys(HKey key) {
    std::vector<std::string> names;
    std::string name;
    uint32_t i = 0;
    for (; reg_->EnumKey(key, i, &name) == kOk; ++i) names.push_back(name);
    EXPECT_EQ(reg_->EnumKey(key, i, &name), kErrNoMoreItems);
    return names;
  }

  std::vector<std::string> ValueNames(HKey key) {
    std::vector<std::string> names;
    std::string name;
    uint32_t type;
    Bytes data;
    uint32_t i = 0;
    for (; reg_->EnumValue(key, i, &name, &type, &data) == kOk; ++i) names.push_back(name);
    EXPECT_EQ(reg_->EnumValue(key, i, &name, &type, &data), kErrNoMoreItems);
    return names;
  }

  std::unique_ptr<TestPlatform> tp_;
  IRegistry* reg_ = nullptr;
  RegKeyHandle scratch_;
  std::vector<RegKeyHandle> open_;
};

TEST_F(RegistryContract, NamesCompareWithoutCaseButKeepTheirCase) {
  HKey child = Create("MixedCase\\Child");
  ASSERT_EQ(reg_->SetValue(child, "ValueName", kRegSz, B(std::string_view("one\0", 4))), kOk);

  EXPECT_EQ(Open("mixedcase\\CHILD"), kOk);
  EXPECT_EQ(Open("MIXEDCASE", true), kOk);  // opens the key there is, makes no second one
  EXPECT_EQ(SubKeys(Scratch()), std::vector<std::string>{"MixedCase"});
  EXPECT_EQ(SubKeys(Create("MIXEDCASE")), std::vector<std::string>{"Child"});

  uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(reg_->QueryValue(child, "VALUENAME", &type, &data), kOk);
  EXPECT_EQ(data, B(std::string_view("one\0", 4)));
  // Writing under another case replaces the value and keeps the name it was created with.
  ASSERT_EQ(reg_->SetValue(child, "valuename", kRegDword, B("\x01\x02\x03\x04")), kOk);
  EXPECT_EQ(ValueNames(child), std::vector<std::string>{"ValueName"});
  EXPECT_EQ(reg_->QueryValue(child, "ValueName", &type, &data), kOk);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(data, B("\x01\x02\x03\x04"));
}

TEST_F(RegistryContract, SubkeysEnumerateInCaseInsensitiveOrder) {
  struct Case {
    const char* name;
    std::vector<std::string> created;
    std::vector<std::string> windowsOrder;
    std::vector<std::string> wineOrder;  // empty: Wine agrees with Windows
  };
  const Case cases[] = {
      {"letters and digits", {"delta", "Bravo", "alpha", "Echo2", "Charlie", "echo10"},
       {"alpha", "Bravo", "Charlie", "delta", "echo10", "Echo2"}, {}},
      {"spaces sort first", {"ab", "a b", "aa"}, {"a b", "aa", "ab"}, {}},
      // Windows compares upper-cased names, so "_" (after "Z") sorts after the letters; Wine compares
      // lower-cased ones and puts it before them.
      {"underscore", {"a_b", "az", "AY"}, {"AY", "az", "a_b"}, {"a_b", "AY", "az"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HKey parent = Create(c.name);
    for (const std::string& name : c.created) Create(std::string(c.name) + "\\" + name);
    const auto& expected = tp_->IsWine() && !c.wineOrder.empty() ? c.wineOrder : c.windowsOrder;
    EXPECT_EQ(SubKeys(parent), expected);
  }
}

TEST_F(RegistryContract, ValuesEnumerateInCreationOrder) {
  HKey key = Create("values");
  for (const char* name : {"zulu", "Alpha", "mike", "", "bravo"}) ASSERT_EQ(reg_->SetValue(key, name, kRegSz, B("x")), kOk);
  ASSERT_EQ(reg_->DeleteValue(key, "mike"), kOk);
  ASSERT_EQ(reg_->SetValue(key, "zulu", kRegSz, B("rewritten")), kOk);  // keeps its place
  std::vector<std::string> names = ValueNames(key);
  if (tp_->IsWine()) {
    // Wine keeps values sorted by name, not in the order they were made.
    EXPECT_EQ(names, (std::vector<std::string>{"", "Alpha", "bravo", "zulu"}));
  } else {
    EXPECT_EQ(names, (std::vector<std::string>{"zulu", "Alpha", "", "bravo"}));
  }
}

TEST_F(RegistryContract, TheUnnamedValueIsTheEmptyName) {
  HKey key = Create("unnamed");
  uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(reg_->QueryValue(key, "", &type, &data), kErrNotFound);
  ASSERT_EQ(reg_->SetValue(key, "", kRegSz, B(std::string_view("default\0", 8))), kOk);
  ASSERT_EQ(reg_->SetValue(key, "named", kRegSz, B("n")), kOk);
  EXPECT_EQ(reg_->QueryValue(key, "", &type, &data), kOk);
  EXPECT_EQ(data, B(std::string_view("default\0", 8)));
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"", "named"}));
  KeyInfo info;
  ASSERT_EQ(reg_->QueryInfo(key, &info), kOk);
  EXPECT_EQ(info.values, 2u);
  EXPECT_EQ(reg_->DeleteValue(key, ""), kOk);
  EXPECT_EQ(reg_->QueryValue(key, "", &type, &data), kErrNotFound);
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"named"});
}

TEST_F(RegistryContract, ValuesKeepTheirTypeAndRawBytes) {
  struct Case {
    const char* name;
    uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {"sz with nul", kRegSz, B(std::string_view("C:\\x.exe\0", 9))},
      {"sz without nul", kRegSz, B("C:\\x.exe")},
      {"sz empty", kRegSz, {}},
      {"sz only nul", kRegSz, B(std::string_view("\0", 1))},
      {"expand sz", kRegExpandSz, B(std::string_view("%SystemRoot%\\a.dll\0", 19))},
      {"expand sz without nul", kRegExpandSz, B("%TEMP%")},
      {"binary", kRegBinary, {0x00, 0x01, 0xFF, 0x80, 0x00}},
      {"binary empty", kRegBinary, {}},
      {"dword", kRegDword, {0x78, 0x56, 0x34, 0x12}},
      {"dword short", kRegDword, {0x01, 0x02}},
      {"dword big endian", kRegDwordBigEndian, {0x12, 0x34, 0x56, 0x78}},
      {"multi sz", kRegMultiSz, B(std::string_view("one\0two\0\0", 9))},
      {"multi sz unterminated", kRegMultiSz, B(std::string_view("one\0two", 7))},
      {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"none", kRegNone, {0xDE, 0xAD}},
      {"none empty", kRegNone, {}},
      {"unknown type", 0x12345, {9, 8, 7}},
  };
  HKey key = Create("types");
  for (const Case& c : cases) ASSERT_EQ(reg_->SetValue(key, c.name, c.type, c.data), kOk) << c.name;
  std::vector<std::string> created;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    created.push_back(c.name);
    uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(reg_->QueryValue(key, c.name, &type, &data), kOk);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
  }
  // Enumeration hands out the same type and bytes.
  std::vector<std::string> enumerated;
  std::string name;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0; reg_->EnumValue(key, i, &name, &type, &data) == kOk; ++i) {
    SCOPED_TRACE(name);
    enumerated.push_back(name);
    auto c = std::find_if(std::begin(cases), std::end(cases), [&](const Case& x) { return name == x.name; });
    ASSERT_NE(c, std::end(cases));
    EXPECT_EQ(type, c->type);
    EXPECT_EQ(data, c->data);
  }
  if (tp_->IsWine()) {  // Wine enumerates in name order
    std::sort(created.begin(), created.end());
    std::sort(enumerated.begin(), enumerated.end());
  }
  EXPECT_EQ(enumerated, created);
}

TEST_F(RegistryContract, LargeValuesComeBackWhole) {
  HKey key = Create("large");
  Bytes big(100 * 1024);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7 + i / 251);
  Bytes text(100 * 1024, 'a');
  text.back() = 0;
  ASSERT_EQ(reg_->SetValue(key, "big", kRegBinary, big), kOk);
  ASSERT_EQ(reg_->SetValue(key, "text", kRegSz, text), kOk);

  KeyInfo info;
  ASSERT_EQ(reg_->QueryInfo(key, &info), kOk);
  EXPECT_EQ(info.maxValueLen, 2 * text.size());  // string data counts as stored, in UTF-16
  uint32_t type = 0;
  Bytes data;
  ASSERT_EQ(reg_->QueryValue(key, "big", &type, &data), kOk);
  EXPECT_EQ(data, big);
  ASSERT_EQ(reg_->QueryValue(key, "text", &type, &data), kOk);
  EXPECT_EQ(data, text);
  std::string name;
  for (uint32_t i = 0; i < 2; ++i) {
    ASSERT_EQ(reg_->EnumValue(key, i, &name, &type, &data), kOk);
    EXPECT_EQ(data, name == "big" ? big : text) << name;
  }
}

TEST_F(RegistryContract, OpenFindsOrCreatesKeys) {
  struct Case {
    const char* path;
    bool create;
    long expected;
  };
  const Case cases[] = {
      {"missing", false, kErrNotFound},
      {"made\\on\\the\\way", true, kOk},
      {"made\\on\\the\\way", false, kOk},
      {"\\made\\on", false, kOk},        // a leading backslash is taken from the parent
      {"\\lead\\created", true, kOk},
      {"lead\\created", false, kOk},
      {"made\\missing\\deeper", false, kErrNotFound},
      {"made\\on\\", false, kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Open(c.path, c.create), c.expected);
  }
  EXPECT_EQ(Open("made\\missing"), kErrNotFound);  // a failed open creates nothing
  EXPECT_EQ(SubKeys(Scratch()), (std::vector<std::string>{"lead", "made"}));

  // Without links on the path, the no-follow open finds what the plain one finds.
  HKey plain = 0;
  EXPECT_EQ(reg_->OpenKeyNoFollow(Scratch(), "\\made\\ON", &plain), kOk);
  EXPECT_EQ(SubKeys(plain), std::vector<std::string>{"the"});
  reg_->CloseKey(plain);
  EXPECT_EQ(reg_->OpenKeyNoFollow(Scratch(), "made\\missing", &plain), kErrNotFound);

  RegKeyHandle made;
  ASSERT_EQ(made.Open(*reg_, Scratch(), "made", false), kOk);
  RegKeyHandle relative;
  EXPECT_EQ(relative.Open(*reg_, made.Get(), "on\\the", false), kOk);
  EXPECT_EQ(SubKeys(relative.Get()), std::vector<std::string>{"way"});
}

TEST_F(RegistryContract, DeleteValueRemovesOnlyThatValue) {
  HKey key = Create("deletes");
  for (const char* name : {"first", "second", "third"}) ASSERT_EQ(reg_->SetValue(key, name, kRegSz, B("v")), kOk);
  EXPECT_EQ(reg_->DeleteValue(key, "SECOND"), kOk);
  EXPECT_EQ(reg_->DeleteValue(key, "second"), kErrNotFound);
  EXPECT_EQ(reg_->DeleteValue(key, "never"), kErrNotFound);
  EXPECT_EQ(reg_->QueryValue(key, "second", nullptr, nullptr), kErrNotFound);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"first", "third"}));
}

TEST_F(RegistryContract, DeleteTreeTakesTheWholeSubtree) {
  HKey deep = Create("tree\\x\\y");
  ASSERT_EQ(reg_->SetValue(deep, "v", kRegSz, B("v")), kOk);
  HKey top = Create("tree");
  ASSERT_EQ(reg_->SetValue(top, "", kRegSz, B("top")), kOk);
  Create("tree\\z");
  Create("keep\\tree");
  HKey inside = Create("tree\\x");

  EXPECT_EQ(reg_->DeleteTree(Scratch(), "TREE"), kOk);
  EXPECT_EQ(Open("tree"), kErrNotFound);
  EXPECT_EQ(Open("tree\\x\\y"), kErrNotFound);
  EXPECT_EQ(Open("keep\\tree"), kOk);
  // Handles still open on deleted keys answer that the key is gone.
  KeyInfo info;
  std::string name;
  EXPECT_EQ(reg_->QueryInfo(inside, &info), kErrKeyDeleted);
  EXPECT_EQ(reg_->EnumKey(inside, 0, &name), kErrKeyDeleted);
  EXPECT_EQ(reg_->QueryValue(deep, "v", nullptr, nullptr), kErrKeyDeleted);

  EXPECT_EQ(reg_->DeleteTree(Scratch(), "tree"), kErrNotFound);
  EXPECT_EQ(reg_->DeleteTree(Scratch(), "\\keep\\tree"), kOk);
  EXPECT_EQ(Open("keep\\tree"), kErrNotFound);
  // An empty path names no subkey: nothing is deleted, least of all the parent.
  EXPECT_EQ(reg_->DeleteTree(Scratch(), ""), kErrInvalidParameter);
  EXPECT_EQ(reg_->DeleteTree(Scratch(), "\\"), kErrInvalidParameter);
  EXPECT_EQ(SubKeys(Scratch()), std::vector<std::string>{"keep"});
}

TEST_F(RegistryContract, EnumerationGoesOnAfterASubkeyIsDeleted) {
  HKey parent = Create("list");
  for (const char* name : {"a", "b", "c", "d"}) Create(std::string("list\\") + name);
  std::string name;
  ASSERT_EQ(reg_->EnumKey(parent, 0, &name), kOk);
  ASSERT_EQ(reg_->EnumKey(parent, 1, &name), kOk);
  EXPECT_EQ(name, "b");
  ASSERT_EQ(reg_->DeleteTree(parent, "b"), kOk);
  ASSERT_EQ(reg_->EnumKey(parent, 1, &name), kOk);  // the index now names the next key
  EXPECT_EQ(name, "c");
  EXPECT_EQ(reg_->EnumKey(parent, 3, &name), kErrNoMoreItems);
  EXPECT_EQ(SubKeys(parent), (std::vector<std::string>{"a", "c", "d"}));
  KeyInfo info;
  ASSERT_EQ(reg_->QueryInfo(parent, &info), kOk);
  EXPECT_EQ(info.subKeys, 3u);
}

TEST_F(RegistryContract, QueryInfoCountsAndMeasures) {
  HKey key = Create("info");
  KeyInfo info;
  ASSERT_EQ(reg_->QueryInfo(key, &info), kOk);
  EXPECT_EQ(info.subKeys, 0u);
  EXPECT_EQ(info.values, 0u);
  EXPECT_EQ(info.maxSubKeyLen, 0u);
  EXPECT_EQ(info.maxValueNameLen, 0u);
  EXPECT_EQ(info.maxValueLen, 0u);

  Create("info\\ab");
  Create("info\\abcdef");
  ASSERT_EQ(reg_->SetValue(key, "v", kRegBinary, Bytes(10)), kOk);
  ASSERT_EQ(reg_->SetValue(key, "longername", kRegSz, B(std::string_view("abcdef\0", 7))), kOk);
  ASSERT_EQ(reg_->QueryInfo(key, &info), kOk);
  EXPECT_EQ(info.subKeys, 2u);
  EXPECT_EQ(info.values, 2u);
  EXPECT_EQ(info.maxSubKeyLen, 6u);  // characters, no terminator
  EXPECT_EQ(info.maxValueNameLen, 10u);
  EXPECT_EQ(info.maxValueLen, 14u);  // bytes as stored: the string in UTF-16

  std::string name;
  uint32_t type;
  Bytes data;
  EXPECT_EQ(reg_->EnumKey(key, 2, &name), kErrNoMoreItems);
  EXPECT_EQ(reg_->EnumValue(key, 2, &name, &type, &data), kErrNoMoreItems);
}

TEST_F(RegistryContract, TheRootKeysAreAlwaysOpen) {
  for (HKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig}) {
    SCOPED_TRACE(root);
    KeyInfo info;
    EXPECT_EQ(reg_->QueryInfo(root, &info), kOk);
    EXPECT_EQ(reg_->CloseKey(root), kOk);
    EXPECT_EQ(reg_->QueryInfo(root, &info), kOk);  // closing a root handle leaves it usable
  }
  RegKeyHandle viaRoot;
  EXPECT_EQ(viaRoot.Open(*reg_, kCurrentUser, tp_->ScratchKey(), false), kOk);
}

}  // namespace
}  // namespace tw
