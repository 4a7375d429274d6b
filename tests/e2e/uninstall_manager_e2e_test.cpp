// The uninstall manager on the real registry: an entry whose uninstall command starts a stand-in uninstaller
// (which writes a marker file), and Remove followed by a restore of its export from the backup page, which
// brings the key back exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/scan_driver.h"
#include "backup/backup_catalogue.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"
#include "support/test_platform.h"
#include "tools/uninstall_manager.h"
#include "registry_snapshot.h"

namespace tw {
namespace {

constexpr const char* kEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarnwickE2E App";

class UninstallManagerE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    real_.registry.DeleteTree(kLocalMachine, kEntry);
    folder_ = ExecutableFolder(real_.files);
    marker_ = folder_ + "uninstall marker.txt";
    real_.files.RemoveFile(marker_);
  }
  void TearDown() override {
    real_.registry.DeleteTree(kLocalMachine, kEntry);
    real_.files.RemoveFile(marker_);
    RemoveFolderTree(real_.files, folder_ + kRepairBackupFolder);
  }
  test::RegistrySnapshot Snapshot() {
    test::RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kEntry, snap);
    return snap;
  }
  int RowOf(const TInstalledManageForm& form, const std::string& name) {
    for (size_t i = 0; i < form.Rows().size(); ++i)
      if (form.Rows()[i].DisplayName == name) return static_cast<int>(i);
    return -1;
  }

  Win32Platform real_;
  std::string folder_, marker_;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
};

TEST_F(UninstallManagerE2E, UninstallStartsTheCommandAndRemoveComesBackFromTheBackupPage) {
  const std::string program = folder_ + "tarnwick_test_uninstaller.exe";
  ASSERT_TRUE(real_.files.FileExists(program)) << program;
  const std::string command = "\"" + program + "\" \"" + marker_ + "\" /S \"with space\"";
  TRegistry reg(real_.registry, kLocalMachine);
  ASSERT_TRUE(reg.OpenKey(kEntry, true));
  ASSERT_TRUE(reg.WriteString("DisplayName", "TarnwickE2E \"App\""));
  ASSERT_TRUE(reg.WriteExpandString("UninstallString", command));
  ASSERT_TRUE(reg.WriteString("DisplayVersion", "1.2.3"));
  ASSERT_TRUE(reg.WriteBinary("EstimatedSize", {0x10, 0, 0, 0x80}));
  TRegistry sub(real_.registry, kLocalMachine);
  ASSERT_TRUE(sub.OpenKey(std::string(kEntry) + "\\Parts", true));
  ASSERT_TRUE(sub.WriteInteger("Count", 3));
  reg.CloseKey();
  sub.CloseKey();
  const test::RegistrySnapshot before = Snapshot();

  TInstalledManageForm form(real_.platform, prompts);
  form.FormShow();
  const int row = RowOf(form, "TarnwickE2E \"App\"");
  ASSERT_GE(row, 0);
  EXPECT_EQ(form.Rows()[row].UninstallPath, command);
  form.ListInstalledClick(row);
  EXPECT_EQ(form.Properties(), (std::vector<std::pair<std::string, std::string>>{
                                   {"Name", "TarnwickE2E \"App\""}, {"UninstallString", command}, {"Version", "1.2.3"}}));

  form.TbtUninstallClick();
  std::string marker;
  for (int i = 0; i < 200 && !real_.files.ReadWholeFile(marker_, &marker); ++i) Sleep(50);
  EXPECT_EQ(marker, "arguments=4 show=1 last=with space");

  form.ListInstalledClick(RowOf(form, "TarnwickE2E \"App\""));
  prompts.Answer(PromptAnswer::Yes);
  form.TbrRemoveClick();
  EXPECT_TRUE(Snapshot().empty());
  EXPECT_LT(RowOf(form, "TarnwickE2E \"App\""), 0);

  TBackupList page(real_.platform, prompts, pump, kRepairBackupFolder, true);
  page.Load();
  ASSERT_EQ(page.Rows().size(), 1u);
  page.Select(0);
  prompts.Answer(PromptAnswer::Yes);
  page.RestoreRegistryBtnClick();
  EXPECT_EQ(prompts.calls.back().text, "Restore registry successfully!");
  test::ExpectSameSnapshot(before, Snapshot());
}

}  // namespace
}  // namespace tw
