// The per-repair export against the real registry and the system registry editor: seed keys, export them as a
// repair would, delete them as the repair does, import the export with "regedit /s" and compare every byte the
// registry stores (read through the Unicode API, so nothing hides behind the ANSI conversion).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/export_writer.h"
#include "e2e/registry_snapshot.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

constexpr const char* kUserKey = "Software\\TarnwickExportE2E";
constexpr const char* kClassKey = "TarnwickExportE2E.Class";

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Seed {
  std::string name;
  uint32_t type;
  Bytes data;
};

// Every type, the forms the plain notation would change, odd names and large data.
std::vector<Seed> SeedValues() {
  Bytes big(1 << 20);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  return {
      {"", kRegSz, B(std::string("unnamed\0", 8))},
      {"@", kRegSz, B(std::string("at sign\0", 8))},
      {"Default", kRegSz, B(std::string("named Default\0", 14))},
      {"Plain", kRegSz, B(std::string("C:\\Temp\\x.exe\0", 14))},
      {"quote \"and\" back\\slash", kRegSz, B(std::string("say \"hi\" \\ \\\\n\0", 15))},
      {"name\nwith line break", kRegDword, {1, 0, 0, 0}},
      {"EmptySz", kRegSz, {0}},
      {"NoBytesSz", kRegSz, {}},
      {"EmbeddedNul", kRegSz, B(std::string("a\0b\0", 4))},
      {"LineBreaks", kRegSz, B(std::string("one\r\ntwo\nthree\0", 15))},
      {"Accents", kRegSz, B(std::string("\xE9t\xE9 \x80 \xFF\0", 9))},
      {"Expand", kRegExpandSz, B(std::string("%SystemRoot%\\system32\\x.dll\0", 28))},
      {"ExpandAccents", kRegExpandSz, B(std::string("\xE9\x80\0", 3))},
      {"ExpandNoBytes", kRegExpandSz, {}},
      {"ExpandOnlyNul", kRegExpandSz, {0}},
      {"Multi", kRegMultiSz, B(std::string("a\0bc\0\xE9\0\0", 8))},
      {"MultiEmptyInside", kRegMultiSz, B(std::string("a\0\0b\0\0", 6))},
      {"MultiNoBytes", kRegMultiSz, {}},
      {"Binary", kRegBinary, {0, 1, 0, 0xFF}},
      {"BinaryNoBytes", kRegBinary, {}},
      {"Dword", kRegDword, {1, 0, 1, 0}},
      {"DwordThreeBytes", kRegDword, {1, 2, 3}},
      {"DwordEightBytes", kRegDword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"NoneNoBytes", kRegNone, {}},
      {"NoneData", kRegNone, {1, 2}},
      {"BigEndian", kRegDwordBigEndian, {0, 0, 0, 1}},
      {"Link", kRegLink, {'\\', 0, 'x', 0}},
      {"Qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"Type1c", 0x1c, {9}},
      {"TypeHigh", 0xFFFF0001u, {8}},
      {"BigBinary", kRegBinary, big},
      {"BigString", kRegSz, B(std::string(100000, 'x') + '\0')},
  };
}

// The real system, reporting another platform id: makes the REGEDIT4 file on an NT system.
class PlatformIdSystem : public Win32System {
 public:
  explicit PlatformIdSystem(uint32_t id) : id_(id) {}
  OsVersion Version() override {
    OsVersion v = Win32System::Version();
    v.platformId = id_;
    return v;
  }

 private:
  uint32_t id_;
};

class ExportRoundTripTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    Clean();
    for (const auto& path : written_) real_.files.RemoveFile(path);
  }
  void Clean() {
    real_.registry.DeleteTree(kCurrentUser, kUserKey);
    real_.registry.DeleteTree(kClassesRoot, kClassKey);
  }
  void Set(HKey root, const std::string& path, const Seed& seed) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(real_.registry, root, path, true), kOk) << path;
    ASSERT_EQ(real_.registry.SetValue(key.Get(), seed.name, seed.type, seed.data), kOk) << seed.name;
  }
  void MakeKey(HKey root, const std::string& path) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(real_.registry, root, path, true), kOk) << path;
  }
  test::RegistrySnapshot Snap() {
    test::RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_CURRENT_USER, kUserKey, snap);
    test::AddToSnapshot(HKEY_CLASSES_ROOT, kClassKey, snap);
    return snap;
  }

  Win32Platform real_;
  std::vector<std::string> written_;
};

TEST_P(ExportRoundTripTest, RegistryEditorRestoresEverythingTheRepairRemoved) {
  const std::string values = std::string(kUserKey) + "\\Values";
  const std::string tree = std::string(kUserKey) + "\\Tree";
  const std::vector<Seed> seeds = SeedValues();
  for (const auto& seed : seeds) Set(kCurrentUser, values, seed);
  Set(kCurrentUser, values, {"Kept", kRegSz, B(std::string("not in the review\0", 18))});
  Set(kCurrentUser, tree, {"", kRegExpandSz, B(std::string("%x%\0", 4))});
  Set(kCurrentUser, tree + "\\a]b", {"v", kRegMultiSz, B(std::string("m\0\0", 3))});
  Set(kCurrentUser, tree + "\\[x", {"@", kRegBinary, {1}});
  Set(kCurrentUser, tree + "\\sp ace ", {"", kRegSz, B(std::string(" \0", 2))});
  Set(kCurrentUser, tree + "\\x\"q;=@", {"=", kRegDword, {4, 0, 0, 0}});
  MakeKey(kCurrentUser, tree + "\\Empty");
  std::string deep = tree + "\\Deep";
  for (int i = 0; i < 30; ++i) deep += "\\" + std::to_string(i);
  Set(kCurrentUser, deep, {"bottom", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}});
  Set(kClassesRoot, std::string(kClassKey) + "\\CLSID", {"", kRegSz, B(std::string("{0}\0", 4))});
  Set(kClassesRoot, kClassKey, {"EditFlags", kRegBinary, {0, 0, 1, 0}});

  // The review list: one record per seeded value, the two trees, an unticked record and a file record.
  TRegistryContents review;
  std::vector<RepairRemoves> removes;
  auto add = [&](const std::string& fullKeyPath, const std::string& valueName, RepairRemoves what, bool selected) {
    TContent& c = review.Items(review.Add()).Content;
    c.Selected = selected ? 1 : 0;
    c.FullKeyPath = fullKeyPath;
    c.ValueName = valueName;
    removes.push_back(what);
  };
  const std::string valuesPath = "HKEY_CURRENT_USER\\" + values;
  for (const auto& seed : seeds) add(valuesPath, seed.name.empty() ? "default" : seed.name, RepairRemoves::Value, true);
  add(valuesPath, "Kept", RepairRemoves::Value, false);
  add("HKEY_CURRENT_USER\\" + tree, "default", RepairRemoves::KeyTree, true);
  add(std::string("HKEY_CLASSES_ROOT\\") + kClassKey, "default", RepairRemoves::KeyTree, true);
  add("C:\\WINDOWS\\Desktop\\Gone.lnk", "", RepairRemoves::File, true);

  PlatformIdSystem system(GetParam());
  Platform platform{real_.registry, real_.files, real_.profile, system,
                    real_.shell, real_.services, real_.scheduler, real_.http};
  const test::RegistrySnapshot before = Snap();
  RepairBackupResult backup = SaveRepairBackup(platform, review, [&](int i) { return removes.at(i); });
  ASSERT_EQ(backup.outcome, BackupOutcome::Written);
  written_.push_back(backup.path);

  // What the repair does to the selected records.
  for (int i = 0; i < review.Count(); ++i) {
    const TContent& c = review.Items(i).Content;
    if (!c.Selected) continue;
    size_t slash = c.FullKeyPath.find('\\');
    if (removes[i] == RepairRemoves::Value) DeleteValueAt(real_.registry, c.FullKeyPath, c.ValueName);
    if (removes[i] == RepairRemoves::KeyTree)
      DeleteKeyAt(real_.registry, RootKeyFromName(c.FullKeyPath.substr(0, slash)), c.FullKeyPath.substr(slash));
  }
  const test::RegistrySnapshot repaired = Snap();
  ASSERT_EQ(repaired.size(), 3u) << "only the top key, the Values key and its unticked value should remain";

  ASSERT_TRUE(test::ImportWithRegistryEditor(real_.files, backup.path));
  test::ExpectSameSnapshot(before, Snap());
}

INSTANTIATE_TEST_SUITE_P(Headers, ExportRoundTripTest, ::testing::Values(2u, 1u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                           return info.param == 2 ? std::string("Version5") : std::string("Regedit4");
                         });

}  // namespace
}  // namespace tw
