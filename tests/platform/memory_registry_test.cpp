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
