// The backup catalogue with the system registry editor: a full backup is waited for and holds the registry; a
// restore is believed only when the registry holds the file's keys and values afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/scan_driver.h"
#include "backup/backup_catalogue.h"
#include "backup/export_reader.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"
#include "support/test_platform.h"

namespace tw {
namespace {

constexpr const char* kKey = "Software\\TarnwickCatalogueE2E";

class BackupCatalogueE2E : public ::testing::Test {
 protected:
  void SetUp() override { real_.registry.DeleteTree(kCurrentUser, kKey); }
  void TearDown() override {
    real_.registry.DeleteTree(kCurrentUser, kKey);
    RemoveFolderTree(real_.files, ExecutableFolder(real_.files) + kFullBackupFolder);
    RemoveFolderTree(real_.files, ExecutableFolder(real_.files) + kRepairBackupFolder);
  }

  Win32Platform real_;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
};

TEST_F(BackupCatalogueE2E, AFullBackupIsWaitedForAndHoldsTheRegistry) {
  TRegistry reg(real_.registry, kCurrentUser);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  ASSERT_TRUE(reg.WriteString("Marker", "full \"backup\" \\ marker"));
  bool abort = false;
  const FullBackupResult backup = StartFullBackup(real_.platform, pump, abort);
  ASSERT_TRUE(backup.created) << backup.path;
  EXPECT_EQ(backup.path.rfind(ExecutableFolder(real_.files) + "FullBackup\\Backup_", 0), 0u) << backup.path;
  EXPECT_GT(pump.Count(), 0);  // the window answered while the editor ran

  std::string bytes;
  ASSERT_TRUE(real_.files.ReadWholeFile(backup.path, &bytes));
  bool found = false;
  const RegFileSummary file = ReadRegFile(bytes, nullptr, [&](RegFileKey&& key) {
    // The whole registry is HKEY_LOCAL_MACHINE and HKEY_USERS, the current user's key among the users.
    const std::u16string tail = u"\\Software\\TarnwickCatalogueE2E";
    if (key.path.rfind(u"HKEY_USERS\\", 0) != 0 || key.path.size() < tail.size() ||
        key.path.compare(key.path.size() - tail.size(), tail.size(), tail) != 0)
      return;
    for (const RegFileValue& value : key.values)
      found = found || (value.name == u"Marker" && value.type == kRegSz &&
                        value.data.size() == 2 * (sizeof "full \"backup\" \\ marker"));
  });
  EXPECT_EQ(file.header, RegHeader::Version5);
  EXPECT_TRUE(found);
}

TEST_F(BackupCatalogueE2E, ARestoreTheImportDoesNotCompleteIsReported) {
  const std::string folder = ExecutableFolder(real_.files) + kRepairBackupFolder;
  ASSERT_TRUE(real_.files.MakeDirectory(folder));
  const std::string file = folder + "\\_20261207_120509.reg";
  ASSERT_TRUE(real_.files.WriteWholeFile(
      file, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\TarnwickCatalogueE2E]\r\n\"a\"=\"1\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\TarnwickCatalogueE2E\\Sub]\r\n\"b\"=dword:00000002\r\n"
            "[-HKEY_CURRENT_USER\\Software\\TarnwickCatalogueE2E\\Sub]\r\n"));
  TBackupList page(real_.platform, prompts, pump, kRepairBackupFolder, true);
  page.Load();
  ASSERT_EQ(page.Rows().size(), 1u);
  page.Select(0);
  prompts.Answer(PromptAnswer::Yes);
  page.RestoreRegistryBtnClick();
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_EQ(prompts.calls[1].text, "Restore registry successfully!");
  TRegistry reg(real_.registry, kCurrentUser);
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString("a"), "1");

  // A key the registry cannot hold (its name is longer than any key name may be) does not come back, nor its
  // value: the check reads the registry, not the editor's word.
  ASSERT_TRUE(real_.files.WriteWholeFile(
      file, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\TarnwickCatalogueE2E]\r\n\"a\"=\"1\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\TarnwickCatalogueE2E\\" + std::string(400, 'k') + "]\r\n\"c\"=hex:01\r\n"));
  prompts.Answer(PromptAnswer::Yes);
  page.RestoreRegistryBtnClick();
  ASSERT_EQ(prompts.calls.size(), 4u);
  EXPECT_EQ(prompts.calls[3].text,
            "The registry was not restored completely: 1 keys and 1 values of the backup file did not come back.\r\r" +
                file);
}

}  // namespace
}  // namespace tw
