// Seeds the real HKEY_CLASSES_ROOT with broken and sound COM entries, runs section 1 over the whole root and
// repairs its findings; and walks a chain of keys as deep as the real registry allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "sections/com_section.h"
#include "sections/registry_walker.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kBrokenServer = "CLSID\\{7A12E2E0-0000-4000-8000-000000000001}";
constexpr const char* kDanglingLib = "CLSID\\{7A12E2E0-0000-4000-8000-000000000002}";
constexpr const char* kSoundClass = "CLSID\\{7A12E2E0-0000-4000-8000-000000000003}";
constexpr const char* kLib = "TypeLib\\{7A12E2E0-0000-4000-8000-0000000000AA}";
constexpr const char* kAppId = "AppID\\{7A12E2E0-0000-4000-8000-000000000004}";
constexpr const char* kMarker = "{7A12E2E0-";

class ComSectionE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Remove();
    Write(std::string(kBrokenServer) + "\\InprocServer32", "");
    Write(std::string(kDanglingLib) + "\\TypeLib", "{7A12E2E0-0000-4000-8000-0000000000BB}");
    Write(std::string(kSoundClass) + "\\InprocServer32", "C:\\windows\\system32\\ole32.dll");
    Write(std::string(kSoundClass) + "\\TypeLib", "{7A12E2E0-0000-4000-8000-0000000000AA}");
    Write(std::string(kLib) + "\\1.0\\HELPDIR", "");
    Write(std::string(kAppId) + "\\LocalServer32", "");
  }
  void TearDown() override { Remove(); }

  void Write(const std::string& path, const std::string& value) {
    TRegistry reg(real.registry, kClassesRoot);
    ASSERT_TRUE(reg.OpenKey(path, true)) << path;
    ASSERT_TRUE(reg.WriteString("", value));
  }
  void Remove() {
    for (const char* path : {kBrokenServer, kDanglingLib, kSoundClass, kLib, kAppId})
      DeleteKeyAt(real.registry, kClassesRoot, path);
  }
  bool Exists(const std::string& path) {
    TRegistry reg(real.registry, kClassesRoot);
    return reg.KeyExists(path);
  }

  Win32Platform real;
};

TEST_F(ComSectionE2E, FindsAndRepairsTheSeededEntriesInTheRealRoot) {
  ProcessState state;
  state.SelectAll = true;
  test::RecordingPump pump;
  test::RecordingText status, count;
  TRegistryContents all;
  ScanContext ctx{real.platform, state, pump, status, count, all};
  ScanComSection(ctx, kClassesRoot, "");

  // Only the seeded entries are judged here; the prefix may hold findings of its own.
  TRegistryContents list;
  for (const auto& item : all)
    if (item.Content.FullKeyPath.find(kMarker) != std::string::npos) list.Items(list.Add()) = item;
  // Paths keep the case the registry stores (Wine names its key "Typelib"), so compare without case.
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  std::vector<std::string> found;
  for (const auto& item : list) found.push_back(upper(item.Content.FullKeyPath));
  EXPECT_EQ(found, (std::vector<std::string>{
                       upper(std::string("HKEY_CLASSES_ROOT\\") + kBrokenServer + "\\InprocServer32"),
                       upper(std::string("HKEY_CLASSES_ROOT\\") + kLib + "\\1.0\\HELPDIR"),
                       upper(std::string("HKEY_CLASSES_ROOT\\") + kDanglingLib + "\\TypeLib"),
                   }));

  TRepairContents results;
  test::RecordingText label;
  RepairContext repair{real.platform, state, pump, label, results, list};
  RepairComSection(repair);
  ASSERT_EQ(results.Count(), 3);
  for (const auto& row : results) EXPECT_EQ(row.Rec.Status, "Repaired Successfully") << row.Rec.Caption;
  EXPECT_FALSE(Exists(std::string(kBrokenServer) + "\\InprocServer32"));
  EXPECT_TRUE(Exists(kBrokenServer));
  EXPECT_FALSE(Exists(std::string(kDanglingLib) + "\\TypeLib"));
  EXPECT_FALSE(Exists(std::string(kLib) + "\\1.0\\HELPDIR"));
  EXPECT_TRUE(Exists(std::string(kSoundClass) + "\\InprocServer32"));
  EXPECT_TRUE(Exists(std::string(kAppId) + "\\LocalServer32"));
}

class CountingVisitor : public IWalkVisitor {
 public:
  WalkStep Approach(const std::string&, const std::string&, int) override { return WalkStep::Enter; }
  void Visit(const WalkedKey&) override { ++visited; }
  void Leave(const std::string&) override {}
  int visited = 0;
};

TEST(RegistryWalkerE2E, WalksTheDeepestChainTheRealRegistryHolds) {
  Win32Platform real;
  const std::string top = "Software\\TarnwickWalkE2E";
  DeleteKeyAt(real.registry, kCurrentUser, top);
  // Create one level at a time until the registry refuses (Windows stops at 512 levels below the root).
  RegKeyHandle parent;
  ASSERT_EQ(parent.Open(real.registry, kCurrentUser, top, true), kOk);
  int created = 0;
  for (int level = 0; level < 600; ++level) {
    RegKeyHandle child;
    if (child.Open(real.registry, parent.Get(), "k", true) != kOk) break;
    parent = std::move(child);
    ++created;
  }
  parent.Reset();
  ASSERT_GT(created, 100);

  CountingVisitor visitor;
  const WalkStats stats = WalkRegistry(real.registry, kCurrentUser, top, visitor);
  EXPECT_EQ(visitor.visited, std::min(created, kMaxRegistryDepth));
  EXPECT_EQ(stats.openFailures, 0u);
  EXPECT_EQ(DeleteKeyAt(real.registry, kCurrentUser, top), true);
}

}  // namespace
}  // namespace tw
