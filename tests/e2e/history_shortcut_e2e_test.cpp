// Shortcuts made through the shell's link object in a real folder tree, with broken shortcut files, a folder
// named "Recent...", a path beyond 260 characters and a folder that links back to itself; the walk finds
// exactly the shortcuts whose target is gone, and the repair sends them to the Recycle Bin.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "sections/history_shortcut_sections.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"
#include "support/test_platform.h"

namespace tw {
namespace {

constexpr const char* kRoot = "C:\\tarnwick-lnk";
// Made by the Wine test runner: entries "self" and "up" that lead back into the folder and above it.
constexpr const char* kLoopFixture = "C:\\tarnwick-loop";

// Makes a shortcut to `target` through the shell's link object.
bool MakeShortcut(const std::string& file, const std::string& target) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool saved = false;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    saved = SUCCEEDED(persist->Save(wide, TRUE));
    persist->Release();
  }
  link->Release();
  return saved;
}

// The display names of the items in the Recycle Bin.
std::vector<std::string> RecycleBinNames() {
  std::vector<std::string> names;
  IShellFolder* desktop = nullptr;
  LPITEMIDLIST binId = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) return names;
  IShellFolder* bin = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binId)) &&
      SUCCEEDED(desktop->BindToObject(binId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bin)))) {
    IEnumIDList* items = nullptr;
    if (bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK) {
      LPITEMIDLIST item = nullptr;
      ULONG got = 0;
      while (items->Next(1, &item, &got) == S_OK) {
        STRRET text;
        char name[MAX_PATH] = {};
        if (SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_NORMAL, &text))) StrRetToBufA(&text, item, name, MAX_PATH);
        names.push_back(name);
        CoTaskMemFree(item);
      }
      items->Release();
    }
    bin->Release();
  }
  CoTaskMemFree(binId);
  desktop->Release();
  return names;
}

class ShortcutSectionE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    if (files().DirectoryExists(kRoot)) RemoveFolderTree(files(), kRoot);
    ASSERT_TRUE(files().MakeDirectory(kRoot));
    state.SelectAll = true;
    state.SkippedDrives = BuildSkippedDrives(files());
  }
  void TearDown() override {
    if (!longFolder_.empty()) RemoveLongTree();
    RemoveFolderTree(files(), kRoot);
    CoUninitialize();
  }

  IFiles& files() { return win.platform.files; }
  std::string At(const std::string& name) { return std::string(kRoot) + "\\" + name; }
  void File(const std::string& name, const std::string& bytes) { ASSERT_TRUE(files().WriteWholeFile(At(name), bytes)); }
  // A shortcut whose target existed when it was made and is removed afterwards.
  void BrokenShortcut(const std::string& name, const std::string& target, bool folder) {
    if (folder) ASSERT_TRUE(files().MakeDirectory(target));
    else ASSERT_TRUE(files().WriteWholeFile(target, "x"));
    ASSERT_TRUE(MakeShortcut(At(name), target)) << name;
    if (folder) ASSERT_TRUE(files().RemoveFolder(target));
    else ASSERT_TRUE(files().RemoveFile(target));
  }

  // A chain of folders below the root whose deepest path is longer than 260 characters, holding a broken shortcut.
  void MakeLongTree(const std::string& shortcut) {
    std::wstring path = L"\\\\?\\C:\\tarnwick-lnk\\a-long";
    longFolder_.push_back(path);
    CreateDirectoryW(path.c_str(), nullptr);
    while (path.size() < 300) {
      path += L"\\" + std::wstring(40, L'd');
      longFolder_.push_back(path);
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    }
    std::wstring from(shortcut.begin(), shortcut.end());
    ASSERT_TRUE(CopyFileW(from.c_str(), (path + L"\\deep.lnk").c_str(), FALSE));
  }
  void RemoveLongTree() {
    DeleteFileW((longFolder_.back() + L"\\deep.lnk").c_str());
    for (auto it = longFolder_.rbegin(); it != longFolder_.rend(); ++it) RemoveDirectoryW(it->c_str());
  }

  std::vector<std::string> Walk(const std::string& folder) {
    list.Clear();
    ScanContext ctx{win.platform, state, pump, status, count, list};
    ScanShortcutsIn(ctx, folder);
    std::vector<std::string> found;
    for (const auto& item : list) found.push_back(item.Content.KeyName + " -> " + item.Content.ValueName);
    return found;
  }

  Win32Platform win;
  ProcessState state;
  test::RecordingPump pump;
  test::RecordingText status, count, repairLabel;
  TRegistryContents list;

 private:
  std::vector<std::wstring> longFolder_;
};

TEST_F(ShortcutSectionE2E, FindsBrokenShortcutsAndRecyclesThem) {
  File("here.exe", "x");
  ASSERT_TRUE(MakeShortcut(At("good.lnk"), At("here.exe")));
  BrokenShortcut("gone-file.lnk", At("gone.exe"), false);
  BrokenShortcut("gone-folder.lnk", At("GoneFolder"), true);
  ASSERT_TRUE(MakeShortcut(At("to-link.lnk"), At("good.lnk")));  // a link to a link that is there
  File("zero.lnk", "");
  File("garbage.lnk", std::string(300, '\x5a'));
  std::string whole;
  ASSERT_TRUE(files().ReadWholeFile(At("gone-file.lnk"), &whole));
  File("truncated.lnk", whole.substr(0, 40));
  ASSERT_TRUE(files().MakeDirectory(At("Recent Projects")));
  ASSERT_TRUE(files().CopyFileTo(At("gone-file.lnk"), At("Recent Projects\\gone.lnk"), false));
  ASSERT_TRUE(files().MakeDirectory(At("ReadOnly")));
  ASSERT_TRUE(files().CopyFileTo(At("gone-file.lnk"), At("ReadOnly\\gone.lnk"), false));
  ASSERT_TRUE(files().SetAttributes(At("ReadOnly"), kAttrDirectory | kAttrReadOnly));
  ASSERT_TRUE(files().MakeDirectory(At("Sub")));
  ASSERT_TRUE(files().CopyFileTo(At("gone-file.lnk"), At("Sub\\copied.lnk"), false));
  MakeLongTree(At("gone-file.lnk"));

  std::vector<std::string> found = Walk(kRoot);
  // Whether a path beyond 260 characters can be listed through the ANSI calls differs between systems; the walk
  // goes on either way.
  found.erase(std::remove_if(found.begin(), found.end(),
                             [](const std::string& f) { return f.find("deep.lnk") != std::string::npos; }),
              found.end());
  const std::string gone = At("gone.exe");
  std::vector<std::string> expected{At("gone-file.lnk") + " -> " + gone,
                                    At("gone-folder.lnk") + " -> " + At("GoneFolder"),
                                    At("Sub\\copied.lnk") + " -> " + gone};
  // A read-only folder is not entered; a file system that cannot keep the attribute on a folder walks it.
  if (files().Attributes(At("ReadOnly")) == kAttrDirectory)
    expected.insert(expected.begin() + 2, At("ReadOnly\\gone.lnk") + " -> " + gone);
  EXPECT_EQ(found, expected);
  for (int i = list.Count() - 1; i >= 0; --i)
    if (list.Items(i).Content.KeyName.find("deep.lnk") != std::string::npos) list.Delete(i);
  ASSERT_GE(list.Count(), 3);
  while (list.Count() > 3) list.Delete(2);
  EXPECT_EQ(list.Items(0).Content.Description, " The file (" + gone + ") does not exist at the specified location");
  EXPECT_EQ(list.Items(1).Content.Description, "This shortcut (" + At("gone-folder.lnk") + ") is invalid.");
  files().SetAttributes(At("ReadOnly"), kAttrDirectory);

  list.Items(2).Content.Selected = 0;
  TRepairContents results;
  RepairContext ctx{win.platform, state, pump, repairLabel, results, list};
  RepairShortcuts(ctx);
  ASSERT_EQ(results.Count(), 2);
  EXPECT_EQ(results.Items(0).Rec.Status, "Repaired Successfully");
  EXPECT_EQ(results.Items(1).Rec.Status, "Repaired Successfully");
  EXPECT_FALSE(files().FileExists(At("gone-file.lnk")));
  EXPECT_FALSE(files().FileExists(At("gone-folder.lnk")));
  EXPECT_TRUE(files().FileExists(At("Sub\\copied.lnk")));
  const std::vector<std::string> bin = RecycleBinNames();
  EXPECT_NE(std::find(bin.begin(), bin.end(), "gone-file.lnk"), bin.end());
  EXPECT_NE(std::find(bin.begin(), bin.end(), "gone-folder.lnk"), bin.end());
}

TEST_F(ShortcutSectionE2E, NeverFollowsLinksBackIntoAFolder) {
  // A junction made through the file system where it can make one; the test runner's links under Wine.
  const std::string loop = At("loop");
  const bool fixture = files().DirectoryExists(kLoopFixture);
  const std::string fixtureLink = std::string(kLoopFixture) + "\\gone.lnk";
  ASSERT_TRUE(files().MakeDirectory(loop));
  ASSERT_TRUE(files().WriteWholeFile(At("gone.exe"), "x"));
  ASSERT_TRUE(MakeShortcut(loop + "\\gone.lnk", At("gone.exe")));
  if (fixture) {
    ASSERT_TRUE(MakeShortcut(fixtureLink, At("gone.exe")));
  }
  ASSERT_TRUE(files().RemoveFile(At("gone.exe")));
  ASSERT_TRUE(files().MakeDirectory(loop + "\\junction"));
  const bool junction = [&] {
    HANDLE h = CreateFileA((loop + "\\junction").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const std::wstring substitute = L"\\??\\C:\\tarnwick-lnk\\loop";
    const std::wstring print = L"C:\\tarnwick-lnk\\loop";
    std::vector<BYTE> buffer(16 + (substitute.size() + print.size() + 2) * 2);
    auto word = [&](size_t at, size_t v) { buffer[at] = BYTE(v); buffer[at + 1] = BYTE(v >> 8); };
    const size_t subBytes = substitute.size() * 2, printBytes = print.size() * 2;
    *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
    word(4, buffer.size() - 8);
    word(8, 0);
    word(10, subBytes);
    word(12, subBytes + 2);
    word(14, printBytes);
    memcpy(buffer.data() + 16, substitute.data(), subBytes);
    memcpy(buffer.data() + 16 + subBytes + 2, print.data(), printBytes);
    DWORD got = 0;
    const bool made = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), DWORD(buffer.size()), nullptr, 0,
                                      &got, nullptr) != FALSE;
    CloseHandle(h);
    return made;
  }();
  ASSERT_TRUE(junction || fixture) << "no folder that links back to itself could be made";
  if (junction) {
    EXPECT_NE(files().Attributes(loop + "\\junction") & 0x400, 0u);
    EXPECT_EQ(Walk(loop), (std::vector<std::string>{loop + "\\gone.lnk -> " + At("gone.exe")}));
  }
  if (fixture) {
    EXPECT_EQ(files().Attributes(std::string(kLoopFixture) + "\\self"), 0x410u);
    EXPECT_EQ(Walk(kLoopFixture), (std::vector<std::string>{fixtureLink + " -> " + At("gone.exe")}));
    files().RemoveFile(fixtureLink);
  }
  if (junction) RemoveDirectoryA((loop + "\\junction").c_str());
}

}  // namespace
}  // namespace tw
