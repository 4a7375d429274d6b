#include "backup/backup_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n";
constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\T";

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

class BackupCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Set("Software\\T", "Path", kRegSz, B(std::string("C:\\x\0", 5)));
    Set("Software\\T", "", kRegDword, {1, 0, 0, 0});
    Set("Software\\T\\Sub", "B", kRegBinary, {1, 2});
    Set("Software\\T\\Sub\\Deep", "M", kRegMultiSz, B(std::string("a\0\0", 3)));
  }
  void Set(const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, kCurrentUser, path, true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  RegFileImage Image(const std::string& body) { return RegFileImage(ReadRegFile(kHeader + body)); }

  MemoryPlatform mp;
};

// The whole of the tree as the export writes it (string data in UTF-16 units).
const std::string kTree =
    "[HKEY_CURRENT_USER\\Software\\T]\r\n\"Path\"=hex(1):43,00,3a,00,5c,00,78,00,00,00\r\n@=dword:00000001\r\n"
    "[HKEY_CURRENT_USER\\Software\\T\\Sub]\r\n\"B\"=hex:01,02\r\n"
    "[HKEY_CURRENT_USER\\Software\\T\\Sub\\Deep]\r\n\"M\"=hex(7):61,00,00,00,00,00\r\n";

TEST_F(BackupCheckTest, ARecordIsProvenOnlyByItsDataInTheFile) {
  struct Case {
    const char* what;
    std::string file;  // after the header
    std::string fullKeyPath;
    std::string valueName;
    RepairRemoves removes;
    bool proven;
  };
  const std::string t = kKey;
  const Case cases[] = {
      {"the value as a string", "[" + t + "]\r\n\"Path\"=\"C:\\\\x\"\r\n", t, "Path", RepairRemoves::Value, true},
      {"names without regard to case", "[hkey_current_user\\software\\t]\r\n\"PATH\"=\"C:\\\\x\"\r\n", t, "path",
       RepairRemoves::Value, true},
      {"other bytes", "[" + t + "]\r\n\"Path\"=\"C:\\\\y\"\r\n", t, "Path", RepairRemoves::Value, false},
      {"other type", "[" + t + "]\r\n\"Path\"=hex(2):43,00,3a,00,5c,00,78,00,00,00\r\n", t, "Path",
       RepairRemoves::Value, false},
      {"under another key", "[" + t + "\\Sub]\r\n\"Path\"=\"C:\\\\x\"\r\n", t, "Path", RepairRemoves::Value, false},
      {"not in the file", "[" + t + "]\r\n", t, "Path", RepairRemoves::Value, false},
      {"deleted again by a later line", "[" + t + "]\r\n\"Path\"=\"C:\\\\x\"\r\n[" + t + "]\r\n\"Path\"=-\r\n", t,
       "Path", RepairRemoves::Value, false},
      {"the unnamed value", "[" + t + "]\r\n@=dword:00000001\r\n", t, "default", RepairRemoves::Value, true},
      {"a value the registry does not hold", "", t, "Gone", RepairRemoves::Value, true},
      {"a key the registry does not hold", "", t + "\\Gone", "x", RepairRemoves::KeyTree, true},
      {"an unreadable file proves no value", "", t, "Path", RepairRemoves::Value, false},
      {"a file record", "", "C:\\x.lnk", "", RepairRemoves::File, true},
      {"the whole tree", kTree, t, "default", RepairRemoves::KeyTree, true},
      {"a tree without its deepest key", kTree.substr(0, kTree.find("[HKEY_CURRENT_USER\\Software\\T\\Sub\\Deep]")),
       t, "default", RepairRemoves::KeyTree, false},
      {"a tree with one value changed", kTree.substr(0, kTree.size() - 4) + "01\r\n", t, "default",
       RepairRemoves::KeyTree, false},
      {"a tree whose subkey the file deletes", kTree + "[-" + t + "\\Sub]\r\n", t, "default", RepairRemoves::KeyTree,
       false},
      {"a subtree alone", kTree.substr(kTree.find("[HKEY_CURRENT_USER\\Software\\T\\Sub]")), t + "\\Sub\\", "",
       RepairRemoves::KeyTree, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(BackupHolds(mp.platform, Image(c.file), c.fullKeyPath, c.valueName, c.removes), c.proven);
  }
}

// The writer's own file proves every record it backed up; a file changed by hand afterwards stops exactly the
// records it no longer proves, and a file that is gone proves none.
TEST_F(BackupCheckTest, UnprovenRecordsOfAWrittenBackup) {
  mp.files.SetExecutablePath("C:\\Tarnwick\\tarnwick.exe");
  Set("Software\\T", "Name\"with\\odd", kRegExpandSz, B(std::string("%a%\xE9\0", 5)));
  Set("Software\\T", "Empty", kRegBinary, {});
  TRegistryContents review;
  std::vector<RepairRemoves> removes;
  auto add = [&](const std::string& path, const std::string& name, RepairRemoves what, bool selected = true) {
    TContent& c = review.Items(review.Add()).Content;
    c.Selected = selected ? 1 : 0;
    c.FullKeyPath = path;
    c.ValueName = name;
    removes.push_back(what);
  };
  add(kKey, "Path", RepairRemoves::Value);
  add(kKey, "default", RepairRemoves::Value);
  add(kKey, "Name\"with\\odd", RepairRemoves::Value);
  add(kKey, "Empty", RepairRemoves::Value);
  add(std::string(kKey) + "\\Sub", "", RepairRemoves::KeyTree);
  add(kKey, "Path", RepairRemoves::Value, false);
  const RemovesOfRecord removesOf = [&](int i) { return removes[static_cast<size_t>(i)]; };
  const RepairBackupResult backup = SaveRepairBackup(mp.platform, review, removesOf);
  ASSERT_EQ(backup.outcome, BackupOutcome::Written);
  EXPECT_EQ(UnprovenRecords(mp.platform, backup.path, review, removesOf), std::vector<int>{});

  std::string bytes;
  ASSERT_TRUE(mp.files.ReadWholeFile(backup.path, &bytes));
  // "B"=hex:01,02 becomes hex:01,03 in UTF-16: the tree of Sub is no longer proven.
  const std::string from = std::string("0\0" "2\0", 4);
  const size_t at = bytes.rfind(std::string("0\0" "1\0,\0", 6) + from);
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at + 6, 4, std::string("0\0" "3\0", 4));
  ASSERT_TRUE(mp.files.WriteWholeFile(backup.path, bytes));
  EXPECT_EQ(UnprovenRecords(mp.platform, backup.path, review, removesOf), std::vector<int>{4});

  ASSERT_TRUE(mp.files.RemoveFile(backup.path));
  EXPECT_EQ(UnprovenRecords(mp.platform, backup.path, review, removesOf), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(BackupCheckTest, RestoreCheckCountsWhatDidNotComeBack) {
  struct Case {
    const char* what;
    std::string file;
    bool readable;
    int keys;
    int values;
  };
  const std::string t = kKey;
  const Case cases[] = {
      {"all there", kHeader + kTree, true, 0, 0},
      {"a value with other data", std::string(kHeader) + "[" + t + "]\r\n\"Path\"=\"C:\\\\z\"\r\n@=dword:1\r\n", true,
       0, 1},
      {"a missing key and its values", std::string(kHeader) + "[" + t + "\\No]\r\n\"a\"=\"1\"\r\n\"b\"=-\r\n", true, 1,
       1},
      {"a deleted value still there", std::string(kHeader) + "[" + t + "]\r\n\"Path\"=-\r\n", true, 0, 1},
      {"a deleted key still there", std::string(kHeader) + "[-" + t + "\\Sub]\r\n", true, 1, 0},
      {"a deleted key gone", std::string(kHeader) + "[-" + t + "\\Gone]\r\n", true, 0, 0},
      {"a key deleted again by a later line", std::string(kHeader) + "[" + t + "\\New\\Below]\r\n\"x\"=\"1\"\r\n[-" + t +
                                                  "\\NEW]\r\n[" + t + "\\Sub]\r\n",
       true, 0, 0},
      {"not an export", "[" + t + "]\r\n", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mp.files.AddFile("C:\\b.reg", c.file);
    int keysSeen = 0;
    const RestoreCheck check = CheckRestored(mp.platform, "C:\\b.reg", [&] { ++keysSeen; });
    EXPECT_EQ(check.readable, c.readable);
    EXPECT_EQ(check.keysMissing, c.keys);
    EXPECT_EQ(check.valuesMissing, c.values);
    EXPECT_EQ(keysSeen > 0, c.readable);
  }
  EXPECT_FALSE(CheckRestored(mp.platform, "C:\\missing.reg", nullptr).readable);
}

}  // namespace
}  // namespace tw
