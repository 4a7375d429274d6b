// What only the in-memory registry has: its test hooks and its handle bookkeeping.
#include "platform/memory/memory_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

std::vector<std::string> SubKeys(IRegistry& reg, HKey key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; reg.EnumKey(key, i, &name) == kOk; ++i) names.push_back(name);
  return names;
}

TEST(MemoryRegistry, DeniedKeysRefuseToOpenButKeepTheirPlace) {
  MemoryRegistry reg;
  RegKeyHandle k;
  ASSERT_EQ(k.Open(reg, kLocalMachine, "A\\Locked\\Below", true), kOk);
  reg.DenyAccess(kLocalMachine, "a\\locked");
  EXPECT_EQ(k.Open(reg, kLocalMachine, "A\\Locked", false), kErrAccessDenied);
  EXPECT_EQ(k.Open(reg, kLocalMachine, "A\\Locked", true), kErrAccessDenied);
  EXPECT_EQ(k.Open(reg, kLocalMachine, "A\\Locked\\Below", false), kOk);  // no check on the way through
  ASSERT_EQ(k.Open(reg, kLocalMachine, "A", false), kOk);
  EXPECT_EQ(SubKeys(reg, k.Get()), std::vector<std::string>{"Locked"});
  EXPECT_EQ(reg.DeleteTree(kLocalMachine, "A"), kErrAccessDenied);  // the refused key and its parent stay
  EXPECT_EQ(k.Open(reg, kLocalMachine, "A\\Locked\\Below", false), kErrNotFound);
  reg.DenyAccess(kLocalMachine, "A\\Locked", false);
  EXPECT_EQ(k.Open(reg, kLocalMachine, "A\\Locked", false), kOk);
}

TEST(MemoryRegistry, LinksOpenTheirTargetUnlessAskedNotTo) {
  struct Case {
    const char* name;
    const char* link;
    const char* target;
    const char* open;
    long followed;     // OpenKey
    long notFollowed;  // OpenKeyNoFollow
    std::vector<std::string> followedSubKeys;
  };
  const Case cases[] = {
      {"to a key", "L", "Target", "L", kOk, kOk, {"Child"}},
      {"through a link", "L", "Target", "L\\Child", kOk, kOk, {}},
      {"case of the link name", "Link", "Target", "LINK", kOk, kOk, {"Child"}},
      {"dangling", "L", "Nowhere", "L", kErrNotFound, kOk, {}},
      {"to itself", "Self", "Self", "Self", kErrNotFound, kOk, {}},
      {"to its parent", "Target\\Up", "Target", "Target\\Up\\Up\\Child", kOk, kOk, {}},  // links on the way are followed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry reg;
    RegKeyHandle k;
    ASSERT_EQ(k.Open(reg, kCurrentUser, "Target\\Child", true), kOk);
    reg.MakeLink(kCurrentUser, c.link, kCurrentUser, c.target);
    HKey h = 0;
    EXPECT_EQ(reg.OpenKey(kCurrentUser, c.open, false, &h), c.followed);
    if (c.followed == kOk) {
      EXPECT_EQ(SubKeys(reg, h), c.followedSubKeys);
      reg.CloseKey(h);
    }
    EXPECT_EQ(reg.OpenKeyNoFollow(kCurrentUser, c.open, &h), c.notFollowed);
    if (c.notFollowed == kOk && std::string(c.open) == c.link) {
      EXPECT_EQ(SubKeys(reg, h), std::vector<std::string>{});  // the link itself has no subkeys
    }
    if (c.notFollowed == kOk) reg.CloseKey(h);
    k.Reset();
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
  }
}

TEST(MemoryRegistry, DeleteTreeRemovesLinksAsThemselves) {
  struct Case {
    const char* name;
    const char* link;    // made to point at "Target"
    const char* delete_;
  };
  const Case cases[] = {
      {"a link below the deleted key", "Entry\\L", "Entry"},
      {"the deleted key is a link", "Entry", "Entry"},
      {"the deleted key is a link, named in another case", "Entry", "ENTRY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry reg;
    RegKeyHandle k;
    ASSERT_EQ(k.Open(reg, kCurrentUser, "Target\\Child", true), kOk);
    k.Reset();
    reg.MakeLink(kCurrentUser, c.link, kCurrentUser, "Target");
    EXPECT_EQ(reg.DeleteTree(kCurrentUser, c.delete_), kOk);
    HKey h = 0;
    EXPECT_EQ(reg.OpenKeyNoFollow(kCurrentUser, "Entry", &h), kErrNotFound);
    EXPECT_EQ(k.Open(reg, kCurrentUser, "Target\\Child", false), kOk) << "the target went with the link";
  }
}

// The registry's ANSI code page here is Latin-1: "é" has an ANSI form, "中", "α" and "子键" have none.
TEST(MemoryRegistry, AnsiReadsRefuseWhatHasNoAnsiForm) {
  MemoryRegistry reg;
  RegKeyHandle key;
  ASSERT_EQ(key.Open(reg, kCurrentUser, "K", true), kOk);
  HKey sub = 0;
  ASSERT_EQ(reg.CreateSubKeyExact(key.Get(), u"\u5B50\u952E", &sub), kOk);
  reg.CloseKey(sub);
  ASSERT_EQ(reg.CreateSubKeyExact(key.Get(), u"caf\u00E9", &sub), kOk);
  reg.CloseKey(sub);
  struct Case {
    const char* desc;
    std::u16string name;
    uint32_t type;
    Bytes stored;
    long ansiRead;  // EnumValue and QueryValue by the ANSI name
    Bytes ansiData;
  };
  const std::vector<Case> cases = {
      {"Latin-1 string", u"S", kRegSz, {0xE9, 0, 0, 0}, kOk, {0xE9, 0}},
      {"string outside the code page", u"C", kRegSz, {0x2D, 0x4E, 0, 0}, kErrNoUnicodeTranslation, {}},
      {"expandable string outside", u"E", kRegExpandSz, {0xB1, 0x03, 0, 0}, kErrNoUnicodeTranslation, {}},
      {"multi-string outside", u"M", kRegMultiSz, {0x61, 0, 0, 0, 0xB1, 0x03, 0, 0, 0, 0}, kErrNoUnicodeTranslation, {}},
      {"string of an odd byte count", u"O", kRegSz, {0x61, 0, 0x62}, kErrNoUnicodeTranslation, {}},
      {"binary is never converted", u"B", kRegBinary, {0x2D, 0x4E}, kOk, {0x2D, 0x4E}},
      {"name outside the code page", u"\u540D", kRegDword, {1, 0, 0, 0}, kErrNoUnicodeTranslation, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.desc);
    ASSERT_EQ(reg.SetValueExact(key.Get(), c.name, c.type, c.stored), kOk);
    std::string name;
    uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(reg.EnumValue(key.Get(), static_cast<uint32_t>(i), &name, &type, &data), c.ansiRead);
    if (c.ansiRead == kOk) {
      EXPECT_EQ(data, c.ansiData);
    }
    std::u16string exactName;
    EXPECT_EQ(reg.EnumValueExact(key.Get(), static_cast<uint32_t>(i), &exactName, &type, &data), kOk);
    EXPECT_EQ(exactName, c.name);
    EXPECT_EQ(data, c.stored);
  }
  // An ANSI lookup never meets a name it cannot express, not even through the "?" a lossy conversion would give.
  uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(reg.QueryValue(key.Get(), "C", &type, &data), kErrNoUnicodeTranslation);
  EXPECT_EQ(reg.QueryValue(key.Get(), "?", &type, &data), kErrNotFound);
  std::string name;
  EXPECT_EQ(reg.EnumKey(key.Get(), 0, &name), kErrNoUnicodeTranslation);
  EXPECT_EQ(reg.EnumKey(key.Get(), 1, &name), kOk);
  EXPECT_EQ(name, "caf\xE9");
  std::u16string exact;
  EXPECT_EQ(reg.EnumKeyExact(key.Get(), 0, &exact), kOk);
  EXPECT_EQ(exact, u"\u5B50\u952E");
  EXPECT_EQ(reg.OpenSubKeyExact(key.Get(), exact, &sub), kOk);
  reg.CloseKey(sub);
  EXPECT_EQ(reg.OpenKey(key.Get(), "??", false, &sub), kErrNotFound);
  // What an ANSI call writes reads back the same through either door.
  ASSERT_EQ(reg.SetValue(key.Get(), "W", kRegSz, {'a', 0xE9, 0}), kOk);
  EXPECT_EQ(reg.QueryValue(key.Get(), "w", &type, &data), kOk);
  EXPECT_EQ(data, (Bytes{'a', 0xE9, 0}));
  EXPECT_EQ(reg.QueryValueExact(key.Get(), u"W", &type, &data), kOk);
  EXPECT_EQ(data, (Bytes{'a', 0, 0xE9, 0, 0, 0}));
}

TEST(MemoryRegistry, HandlesAreCheckedAndReused) {
  MemoryRegistry reg;
  HKey a = 0, b = 0;
  ASSERT_EQ(reg.OpenKey(kCurrentUser, "x", true, &a), kOk);
  ASSERT_EQ(reg.OpenKey(kCurrentUser, "x", false, &b), kOk);
  EXPECT_NE(a, b);
  EXPECT_EQ(reg.OpenHandleCount(), 2u);
  EXPECT_EQ(reg.CloseKey(a), kOk);
  EXPECT_EQ(reg.CloseKey(a), kErrInvalidHandle);
  KeyInfo info;
  EXPECT_EQ(reg.QueryInfo(a, &info), kErrInvalidHandle);
  for (HKey bogus : {HKey{0}, HKey{3}, HKey{4000}, HKey{0x80000004u}}) {
    SCOPED_TRACE(bogus);
    EXPECT_EQ(reg.QueryInfo(bogus, &info), kErrInvalidHandle);
  }
  EXPECT_EQ(reg.CloseKey(b), kOk);
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
  EXPECT_EQ(reg.DeleteTree(kCurrentUser, "x"), kOk);
  EXPECT_EQ(reg.KeyCount(), 5u);
}

TEST(MemoryRegistry, EnumerationByIndexFollowsChangesBetweenCalls) {
  MemoryRegistry reg;
  RegKeyHandle parent;
  ASSERT_EQ(parent.Open(reg, kClassesRoot, "p", true), kOk);
  RegKeyHandle k;
  for (int i = 0; i < 100; ++i) ASSERT_EQ(k.Open(reg, parent.Get(), "k" + std::to_string(1000 + i), true), kOk);
  std::string name;
  // Forwards, backwards and jumping about give the same names.
  ASSERT_EQ(reg.EnumKey(parent.Get(), 99, &name), kOk);
  EXPECT_EQ(name, "k1099");
  ASSERT_EQ(reg.EnumKey(parent.Get(), 3, &name), kOk);
  EXPECT_EQ(name, "k1003");
  ASSERT_EQ(reg.EnumKey(parent.Get(), 4, &name), kOk);
  EXPECT_EQ(name, "k1004");
  ASSERT_EQ(k.Open(reg, parent.Get(), "k0", true), kOk);  // sorts first, shifting every index
  ASSERT_EQ(reg.EnumKey(parent.Get(), 5, &name), kOk);
  EXPECT_EQ(name, "k1004");
  ASSERT_EQ(reg.EnumKey(parent.Get(), 70, &name), kOk);
  EXPECT_EQ(name, "k1069");
}

}  // namespace
}  // namespace tw
