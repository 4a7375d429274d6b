// A cleaning run on registry entries that the ANSI functions cannot read exactly, on a chain deeper than a path
// of 260 characters and on a symbolic link inside a deleted key, all written through the wide functions: entries
// that cannot be read exactly are never reported, the repair deletes nothing that is not in its backup and
// nothing outside its records, and the system registry editor restores the backup to a snapshot taken through the
// wide functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ignore_list.h"
#include "app/main_window.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_form_view.h"
#include "e2e/registry_snapshot.h"

namespace tw {
namespace {

using test::RegistrySnapshot;

constexpr const wchar_t* kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kGoneEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarnwick-nl-gone.exe";
constexpr const wchar_t* kWideEntry = L"tarnwick-nl-\u4E2D.exe";  // a key whose own name has no ANSI form
constexpr const char* kPresentEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarnwick-nl-present.exe";
constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kLinkTarget = "SOFTWARE\\TarnwickNlTarget";
constexpr const wchar_t* kWideFolder = L"C:\\\u4E2D\u6587";
constexpr const wchar_t* kWideDll = L"C:\\tarnwick-nl\\\u4E2D.dll";
constexpr const wchar_t* kFontName = L"Tarnwick NL \u03B1 (TrueType)";
constexpr const char* kTag = "tarnwick-nl";
constexpr int kChainDepth = 150;

std::wstring W(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

HKEY Create(HKEY parent, const std::wstring& path, DWORD options = 0) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

void SetString(HKEY key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

void SetDword(HKEY key, const std::wstring& name, DWORD value) {
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
}

// Deletes a key tree through the wide functions, links as themselves.
void Remove(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  std::vector<std::wstring> children;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name, length);
  }
  for (const auto& child : children) Remove(key, child);
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  reinterpret_cast<NtDeleteKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")))(key);
  RegCloseKey(key);
}

class NothingLostE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ExecutableFolder(real_.files);
    RemoveSeeds();
    RemoveOwnFiles();
    CreateDirectoryW(kWideFolder, nullptr);
    CreateDirectoryW(L"C:\\tarnwick-nl", nullptr);
    CloseHandle(CreateFileW((std::wstring(kWideFolder) + L"\\app.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));

    HKEY appPaths = Create(HKEY_LOCAL_MACHINE, kAppPaths);
    // Valid entries that the ANSI functions would read as "C:\??\app.exe": never reported.
    HKEY present = Create(appPaths, L"tarnwick-nl-present.exe");
    SetString(present, L"", std::wstring(kWideFolder) + L"\\app.exe");
    RegCloseKey(present);
    HKEY byFolder = Create(appPaths, L"tarnwick-nl-folder.exe");
    SetString(byFolder, L"", L"app.exe");
    SetString(byFolder, L"Path", kWideFolder);
    RegCloseKey(byFolder);
    HKEY wideName = Create(appPaths, kWideEntry);
    SetString(wideName, L"", L"C:\\tarnwick-nl\\gone-too.exe");
    RegCloseKey(wideName);

    // The broken entry: names and data without ANSI form, a deep chain and a link to a key elsewhere.
    HKEY gone = Create(appPaths, L"tarnwick-nl-gone.exe");
    SetString(gone, L"", L"C:\\tarnwick-nl\\gone.exe");
    SetString(gone, L"Path", L"C:\\tarnwick-nl");
    HKEY sub = Create(gone, L"\u5B50\u952E");
    SetString(sub, L"\u540D\u524D", L"\u03B1\u03B2\u03B3");
    SetString(sub, L"", L"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1", REG_EXPAND_SZ);
    RegCloseKey(sub);
    HKEY level = Create(gone, L"chain");
    for (int i = 0; i < kChainDepth; ++i) {
      HKEY next = Create(level, L"level-" + std::to_wstring(1000 + i));
      SetDword(next, L"n", static_cast<DWORD>(i));
      RegCloseKey(level);
      level = next;
    }
    RegCloseKey(level);
    HKEY target = Create(HKEY_LOCAL_MACHINE, W(kLinkTarget) + L"\\Inner");
    SetString(target, L"Keep", L"must stay");
    RegCloseKey(target);
    HKEY link = Create(gone, L"link", REG_OPTION_CREATE_LINK);
    const std::wstring targetPath = L"\\Registry\\Machine\\" + W(kLinkTarget);
    EXPECT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(targetPath.c_str()),
                             static_cast<DWORD>(targetPath.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(link);
    RegCloseKey(gone);
    RegCloseKey(appPaths);

    // A missing shared library and a font whose names or data have no ANSI form: never reported.
    HKEY dlls = Create(HKEY_LOCAL_MACHINE, W(kSharedDlls));
    SetDword(dlls, kWideDll, 1);
    RegCloseKey(dlls);
    HKEY fonts = Create(HKEY_LOCAL_MACHINE, W(kFonts));
    SetString(fonts, kFontName, L"rt\u4E2D\u6587.ttf");
    SetString(fonts, L"Tarnwick NL (TrueType)", L"rt\u4E2D\u6587.ttf");
    RegCloseKey(fonts);
  }
  void TearDown() override {
    RemoveSeeds();
    RemoveOwnFiles();
  }

  void RemoveSeeds() {
    for (const wchar_t* entry : {L"tarnwick-nl-gone.exe", L"tarnwick-nl-present.exe", L"tarnwick-nl-folder.exe",
                                 kWideEntry})
      Remove(HKEY_LOCAL_MACHINE, std::wstring(kAppPaths) + L"\\" + entry);
    Remove(HKEY_LOCAL_MACHINE, W(kLinkTarget));
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(kSharedDlls).c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, kWideDll);
      RegCloseKey(key);
    }
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(kFonts).c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, kFontName);
      RegDeleteValueW(key, L"Tarnwick NL (TrueType)");
      RegCloseKey(key);
    }
    DeleteFileW((std::wstring(kWideFolder) + L"\\app.exe").c_str());
    RemoveDirectoryW(kWideFolder);
    RemoveDirectoryW(L"C:\\tarnwick-nl");
  }
  void RemoveOwnFiles() {
    real_.files.RemoveFile(folder_ + kScanResultFileName);
    for (const std::string& file : Backups()) real_.files.RemoveFile(file);
    real_.files.RemoveFolder(folder_ + "RepairBackup");
  }
  std::vector<std::string> Backups() {
    std::vector<std::string> found;
    FindData data;
    const std::string dir = folder_ + "RepairBackup\\";
    FindHandle h = real_.files.FindFirst(dir + "*.reg", &data);
    if (h == 0) return found;
    do found.push_back(dir + data.name);
    while (real_.files.FindNext(h, &data));
    real_.files.FindClose(h);
    return found;
  }

  RegistrySnapshot Snap() {
    RegistrySnapshot snap;
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kSharedDlls, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kFonts, snap);
    test::AddToSnapshot(HKEY_LOCAL_MACHINE, kLinkTarget, snap);
    return snap;
  }

  Win32Platform real_;
  std::string folder_;
};

TEST_F(NothingLostE2E, TheRepairDeletesExactlyWhatItsBackupHolds) {
  Settings settings;
  settings.SelectAll = true;
  test::RecordingFormView view;
  TTarnwickForm form(real_.platform, settings, view, "");
  form.FormCreate();
  const RegistrySnapshot before = Snap();
  // The seeds are what they should be: a chain whose path passes 260 characters, a link that leads elsewhere.
  std::wstring deepest = L"[SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarnwick-nl-gone.exe\\chain";
  for (int i = 0; i < kChainDepth; ++i) deepest += L"\\level-" + std::to_wstring(1000 + i);
  ASSERT_GT(deepest.size(), 1000u);
  ASSERT_TRUE(before.count(deepest + L"]"));
  HKEY followed = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (W(kGoneEntry) + L"\\link\\Inner").c_str(), 0, KEY_READ, &followed),
            ERROR_SUCCESS);
  RegCloseKey(followed);

  form.ScanNowBtnClick();
  ASSERT_EQ(form.Mode(), kModeReview);
  // Only the seeded entry with a plain name and plain data is found; the prefix's own findings are left unticked.
  std::vector<std::string> ours;
  for (int row = 0; row < form.Lists().Review.Count(); ++row) {
    const TContent& c = form.Lists().Review.Items(row).Content;
    // A "?" would be a character lost in an ANSI conversion.
    const std::string texts = c.FullKeyPath + "|" + c.ValueName + "|" + c.ValueData;
    const bool mine = texts.find(kTag) != std::string::npos || texts.find("Tarnwick NL") != std::string::npos ||
                      texts.find('?') != std::string::npos;
    if (mine) ours.push_back(c.FullKeyPath + "|" + c.ValueName);
    else form.ProblemsListBoxClickCheck(row);
  }
  ASSERT_EQ(ours, std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kGoneEntry) + "|Path"});

  form.RepairBtnClick();
  ASSERT_EQ(form.ScanPage(), kFinishPage);
  const TRepairContents& rows = form.Lists().Repairs;
  ASSERT_EQ(rows.Count(), 1);
  EXPECT_EQ(rows.Items(0).Rec.Status, "Repaired Successfully");
  EXPECT_FALSE(TRegistry(real_.registry, kLocalMachine).KeyExists(kGoneEntry));

  // The link went as itself: the key it pointed at is untouched.
  const RegistrySnapshot repaired = Snap();
  for (const auto& [entry, value] : before) {
    const std::string name = test::SnapshotEntryName(entry);
    if (name.find("tarnwick-nl-gone.exe") != std::string::npos) continue;
    auto it = repaired.find(entry);
    EXPECT_TRUE(it != repaired.end() && it->second == value) << "touched: " << name;
  }

  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  ASSERT_TRUE(test::ImportWithRegistryEditor(real_.files, backups[0]));
  test::ExpectSameSnapshot(before, Snap());
}

}  // namespace
}  // namespace tw
