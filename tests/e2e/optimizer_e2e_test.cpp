// The optimizer on the real registry: every tweak and every managed service through Optimize, then Restore
// from the restore point it wrote, must leave each touched key and value exactly as before.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "e2e/registry_snapshot.h"
#include "optimizer/optimizer.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kVxd = "System\\CurrentControlSet\\Services\\VxD";

HKEY RootHandle(HKey root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)); }

class OptimizerE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    vxdExisted_ = TRegistry(win.platform.registry, kLocalMachine).KeyExists(kVxd);
    // An "existing" key with one value of three, so those tweaks write and the others have nothing to do.
    TRegistry bios(win.platform.registry, kLocalMachine);
    ASSERT_TRUE(bios.OpenKey(std::string(kVxd) + "\\BIOS", true));
    ASSERT_TRUE(bios.WriteInteger("PCIConcur", 0));
  }
  void TearDown() override {
    if (!vxdExisted_) win.platform.registry.DeleteTree(kLocalMachine, kVxd);
    if (!restorePoint_.empty()) win.platform.files.RemoveFile(restorePoint_);
  }
  // Every key a tweak or a service switch touches, with the existence of each key above it.
  test::RegistrySnapshot Snapshot() {
    test::RegistrySnapshot snap;
    std::set<std::pair<HKey, std::string>> keys;
    for (int number = 1; number <= kRestoreSectionCount; ++number) {
      const RestoreSection& section = RestoreSectionOf(number);
      for (const TweakValue& value : section.values) keys.insert({value.root, value.key});
      if (section.createdKey) keys.insert({kLocalMachine, section.createdKey});
    }
    for (const ServiceBox& box : ServiceBoxTable()) keys.insert({kLocalMachine, ServiceKeyPath(box.service)});
    for (const auto& [root, path] : keys) {
      test::AddToSnapshot(RootHandle(root), path, snap);
      for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        const std::string above = path.substr(0, slash);
        if (TRegistry(win.platform.registry, root).KeyExists(above))
          snap[L"exists " + std::wstring(above.begin(), above.end()) + L" in " + std::to_wstring(root)] = {0, ""};
      }
    }
    return snap;
  }

  Win32Platform win;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
  bool vxdExisted_ = false;
  std::string restorePoint_;
};

TEST_F(OptimizerE2E, OptimizeThenRestoreLeavesTheRegistryAsBefore) {
  const test::RegistrySnapshot before = Snapshot();
  TOptimizeForm form(win.platform, prompts, pump);
  for (int i = 0; i < kTweakCount; ++i) form.TweakBoxClick(i, true);
  for (int i = 0; i < kServiceBoxCount; ++i) form.ServiceBoxClick(i, i % 2 == 0);
  form.btnExeClick();
  restorePoint_ = form.RestorePointPath();
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].text,
            "system optimization is finished,if you want to recover back\r\nto the previous system setup,please click "
            "Reset.");
  EXPECT_NE(Snapshot(), before);

  form.btnDefaultClick();
  int row = -1;
  for (size_t i = 0; i < form.RestorePoints().size(); ++i)
    if (form.RestorePoints()[i].path == restorePoint_) row = static_cast<int>(i);
  ASSERT_GE(row, 0) << restorePoint_;
  form.ListView1Select(row);
  form.BtnRestoreClick();
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_EQ(prompts.calls[1].text, "Reset successful!");
  test::ExpectSameSnapshot(before, Snapshot());
}

}  // namespace
}  // namespace tw
