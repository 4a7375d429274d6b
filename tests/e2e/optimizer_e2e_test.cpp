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
  // Every value a tweak touches, the service keys and the key a tweak creates, with the existence of each key on
  // the way (the big system keys that hold tweak values change by themselves, so only the values count there).
  test::RegistrySnapshot Snapshot() {
    test::RegistrySnapshot snap;
    std::set<std::pair<HKey, std::string>> keys;
    auto add = [&](HKey root, const std::string& path) {
      keys.insert({root, path});
      for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
        keys.insert({root, path.substr(0, slash)});
    };
    for (int number = 1; number <= kRestoreSectionCount; ++number) {
      const RestoreSection& section = RestoreSectionOf(number);
      for (const TweakValue& value : section.values) {
        add(value.root, value.key);
        RegKeyHandle key;
        uint32_t type = 0;
        Bytes data;
        if (key.Open(win.platform.registry, value.root, value.key, false) == kOk &&
            win.platform.registry.QueryValue(key.Get(), value.name, &type, &data) == kOk) {
          const std::string entry = RootKeyName(value.root) + "\\" + value.key + " = " + value.name;
          snap[std::wstring(entry.begin(), entry.end())] = {type, std::string(data.begin(), data.end())};
        }
      }
      if (section.createdKey) {
        add(kLocalMachine, section.createdKey);
        test::AddToSnapshot(HKEY_LOCAL_MACHINE, section.createdKey, snap);
      }
    }
    for (const ServiceBox& box : ServiceBoxTable()) {
      add(kLocalMachine, ServiceKeyPath(box.service));
      test::AddToSnapshot(HKEY_LOCAL_MACHINE, ServiceKeyPath(box.service), snap);
    }
    for (const auto& [root, path] : keys)
      if (TRegistry(win.platform.registry, root).KeyExists(path)) {
        const std::string entry = "exists " + RootKeyName(root) + "\\" + path;
        snap[std::wstring(entry.begin(), entry.end())] = {0, ""};
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

// Services switched through the service control manager: one the test registers (the do-nothing service under
// a managed name) and one that does not exist.
TEST(OptimizerServicesE2E, ServicesSwitchThroughTheServiceControlManager) {
  Win32Platform win;
  char exe[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string servicePath(exe, n);
  servicePath = servicePath.substr(0, servicePath.find_last_of('\\') + 1) + "tarnwick_test_service.exe";
  ASSERT_TRUE(win.files.FileExists(servicePath)) << servicePath;
  const char* name = "mnmsrvc";  // a managed service Wine does not have
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, servicePath.c_str(), nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(service, nullptr) << GetLastError();
  auto runningWithin = [&](bool wanted) {
    for (int i = 0; i < 100; ++i) {
      bool running = !wanted;
      if (win.services.QueryRunning(name, &running) && running == wanted) return true;
      Sleep(50);
    }
    return false;
  };
  auto start = [&](const char* svc) {
    TRegistry reg(win.registry, kLocalMachine);
    int32_t value = -1;
    if (!reg.OpenKeyReadOnly(ServiceKeyPath(svc)) || !reg.ReadInteger("Start", &value)) return -1;
    return static_cast<int>(value);
  };
  struct Case {
    bool enable;
    int startValue;
  };
  for (const Case& c : {Case{true, 2}, Case{false, 4}, Case{true, 2}}) {
    SCOPED_TRACE(c.enable ? "enable" : "disable");
    EXPECT_TRUE(SwitchService(win.platform, name, c.enable));
    EXPECT_EQ(start(name), c.startValue);
    EXPECT_TRUE(runningWithin(c.enable));
  }
  const std::string missing = "tarnwick-no-such-service";
  EXPECT_TRUE(SwitchService(win.platform, missing, true));
  EXPECT_FALSE(TRegistry(win.registry, kLocalMachine).KeyExists(ServiceKeyPath(missing)));

  win.services.Stop(name);
  runningWithin(false);
  DeleteService(service);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

}  // namespace
}  // namespace tw
