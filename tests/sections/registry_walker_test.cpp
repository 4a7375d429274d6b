#include "sections/registry_walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_registry.h"

namespace tw {
namespace {

void Create(MemoryRegistry& reg, HKey root, const std::string& path) {
  RegKeyHandle key;
  ASSERT_EQ(key.Open(reg, root, path, true), kOk) << path;
}

// Records what the walker reports; stops or skips where told.
class RecordingVisitor : public IWalkVisitor {
 public:
  std::vector<std::string> events;
  std::set<std::string> skip;       // names passed over
  std::set<std::string> visitOnly;  // names visited without their subkeys
  size_t stopAfterVisits = SIZE_MAX;
  std::function<void(const WalkedKey&)> onVisit;

  bool ShouldStop() override { return visits_ >= stopAfterVisits; }
  WalkStep Approach(const std::string& path, const std::string& name, int depth) override {
    events.push_back("A " + path + " " + std::to_string(depth));
    if (visitOnly.count(name)) return WalkStep::VisitOnly;
    return skip.count(name) ? WalkStep::Skip : WalkStep::Enter;
  }
  void Visit(const WalkedKey& key) override {
    ++visits_;
    visited.push_back(key.path);
    events.push_back("V " + key.path);
    if (onVisit) onVisit(key);
  }
  void Leave(const std::string& path) override { events.push_back("L " + path); }

  std::vector<std::string> visited;

 private:
  size_t visits_ = 0;
};

// Passes every call to a memory registry, but refuses to enumerate names longer than a buffer (as
// RegEnumKeyEx answers ERROR_MORE_DATA) and refuses the key information of chosen keys.
class ShortBufferRegistry : public MemoryRegistry {
 public:
  size_t nameBuffer = 1000;
  std::set<std::string> infoRefused;  // key names whose QueryInfo fails

  long OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) override {
    long rc = MemoryRegistry::OpenKeyNoFollow(parent, path, out);
    if (rc == kOk) names_[*out] = path.substr(path.rfind('\\') == std::string::npos ? 0 : path.rfind('\\') + 1);
    return rc;
  }
  long QueryInfo(HKey key, KeyInfo* info) override {
    auto it = names_.find(key);
    if (it != names_.end() && infoRefused.count(it->second)) return kErrAccessDenied;
    return MemoryRegistry::QueryInfo(key, info);
  }
  long EnumKey(HKey key, uint32_t index, std::string* name) override {
    std::string found;
    long rc = MemoryRegistry::EnumKey(key, index, &found);
    if (rc != kOk) return rc;
    if (found.size() >= nameBuffer) return kErrMoreData;
    *name = found;
    return kOk;
  }

 private:
  std::map<HKey, std::string> names_;
};

TEST(RegistryWalkerTest, VisitsDepthFirstInEnumerationOrderWithJoinedPaths) {
  MemoryRegistry reg;
  for (const char* path : {"b\\x", "a\\y\\z", "a\\c", "Outside"}) Create(reg, kClassesRoot, path);
  Create(reg, kCurrentUser, "a\\other");

  struct Case {
    std::string start;
    std::vector<std::string> visited;
  };
  const Case cases[] = {
      {"", {"a", "a\\c", "a\\y", "a\\y\\z", "b", "b\\x", "Outside"}},
      {"\\a\\", {"a\\c", "a\\y", "a\\y\\z"}},
      {"a\\y\\z", {}},
      {"missing", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("start '" + c.start + "'");
    RecordingVisitor v;
    WalkRegistry(reg, kClassesRoot, c.start, v);
    EXPECT_EQ(v.visited, c.visited);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
  }

  RecordingVisitor v;
  WalkRegistry(reg, kClassesRoot, "b", v);
  EXPECT_EQ(v.events, (std::vector<std::string>{"A b\\x 1", "V b\\x", "L b\\x"}));
}

TEST(RegistryWalkerTest, SkipAndStopEndWhereTheVisitorSaysAndCloseEveryKey) {
  MemoryRegistry reg;
  for (const char* path : {"AppID\\{1}\\deep", "Other\\AppID", "Other\\x", "z"}) Create(reg, kClassesRoot, path);

  RecordingVisitor skipping;
  skipping.skip = {"AppID"};
  WalkRegistry(reg, kClassesRoot, "", skipping);
  EXPECT_EQ(skipping.visited, (std::vector<std::string>{"Other", "Other\\x", "z"}));
  EXPECT_EQ(reg.OpenHandleCount(), 0u);

  RecordingVisitor shallow;
  shallow.visitOnly = {"AppID"};
  WalkRegistry(reg, kClassesRoot, "", shallow);
  EXPECT_EQ(shallow.visited, (std::vector<std::string>{"AppID", "Other", "Other\\AppID", "Other\\x", "z"}));
  EXPECT_EQ(reg.OpenHandleCount(), 0u);

  RecordingVisitor stopping;
  stopping.stopAfterVisits = 2;
  WalkRegistry(reg, kClassesRoot, "", stopping);
  EXPECT_EQ(stopping.visited, (std::vector<std::string>{"AppID", "AppID\\{1}"}));
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(RegistryWalkerTest, EndsOnChainsDeeperThanTheStackCouldRecurse) {
  struct Case {
    int levels;
    int expectDeepest;
    uint64_t expectLimitHits;
  };
  const Case cases[] = {{kMaxRegistryDepth, kMaxRegistryDepth, 0}, {5000, kMaxRegistryDepth, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.levels);
    MemoryRegistry reg;
    std::string path;
    for (int i = 0; i < c.levels; ++i) path += (i ? "\\k" : "k");
    Create(reg, kUsers, path);
    RecordingVisitor v;
    const WalkStats stats = WalkRegistry(reg, kUsers, "", v);
    EXPECT_EQ(stats.deepestLevel, c.expectDeepest);
    EXPECT_EQ(stats.depthLimitHits, c.expectLimitHits);
    EXPECT_EQ(v.visited.size(), static_cast<size_t>(c.expectDeepest));
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
  }
}

TEST(RegistryWalkerTest, PassesOverKeysItCannotOpenOrEnumerateAndKeepsTheirSiblings) {
  ShortBufferRegistry reg;
  reg.nameBuffer = 20;
  reg.infoRefused = {"NoInfo"};
  const std::string longName(40, 'L');
  for (const std::string& path : {std::string("a\\denied\\below"), std::string("a\\") + longName + "\\below",
                                   std::string("a\\NoInfo\\below"), std::string("a\\zz"), std::string("b")})
    Create(reg, kLocalMachine, path);
  reg.DenyAccess(kLocalMachine, "a\\denied");

  RecordingVisitor v;
  const WalkStats stats = WalkRegistry(reg, kLocalMachine, "", v);
  EXPECT_EQ(v.visited, (std::vector<std::string>{"a", "a\\NoInfo", "a\\zz", "b"}));
  EXPECT_EQ(stats.openFailures, 1u);
  EXPECT_EQ(stats.enumFailures, 2u);  // the long name, the refused information
  // A key that would not open is still left, so per-key work after it (the message pump) happens.
  EXPECT_NE(std::find(v.events.begin(), v.events.end(), "L a\\denied"), v.events.end());
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(RegistryWalkerTest, NeverFollowsSymbolicLinksIntoLoops) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // link path -> target path, in HKCR
    std::vector<std::string> visited;
  };
  const Case cases[] = {
      {"link to its parent", {{"top\\mid\\up", "top\\mid"}}, {"top", "top\\mid", "top\\mid\\leaf", "top\\mid\\up"}},
      {"two links to the top",
       {{"top\\mid\\l1", "top"}, {"top\\mid\\l2", "top"}},
       {"top", "top\\mid", "top\\mid\\l1", "top\\mid\\l2", "top\\mid\\leaf"}},
      {"link to itself", {{"top\\self", "top\\self"}}, {"top", "top\\mid", "top\\mid\\leaf", "top\\self"}},
      {"dangling link", {{"top\\dangling", "nowhere"}}, {"top", "top\\dangling", "top\\mid", "top\\mid\\leaf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry reg;
    Create(reg, kClassesRoot, "top\\mid\\leaf");
    for (const auto& [link, target] : c.links) reg.MakeLink(kClassesRoot, link, kClassesRoot, target);
    RecordingVisitor v;
    WalkRegistry(reg, kClassesRoot, "", v);
    EXPECT_EQ(v.visited, c.visited);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
  }
}

TEST(RegistryWalkerTest, KeysRemovedDuringTheWalkEndItCleanly) {
  MemoryRegistry reg;
  for (const char* path : {"a\\1", "b\\2", "c\\3", "d"}) Create(reg, kCurrentUser, path);
  RecordingVisitor v;
  v.onVisit = [&](const WalkedKey& key) {
    if (key.path == "a") {
      reg.DeleteTree(kCurrentUser, "c");
      reg.DeleteTree(kCurrentUser, "d");
    }
  };
  WalkRegistry(reg, kCurrentUser, "", v);
  EXPECT_EQ(v.visited, (std::vector<std::string>{"a", "a\\1", "b", "b\\2"}));
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tw
