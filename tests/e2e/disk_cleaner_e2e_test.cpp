// The disk cleaner on a real drive: the suite's drive J: (a folder of the prefix of its own, with a link back to
// its root) is seeded with junk and non-junk files side by side; the wizard scans only J:, its report must count
// and sum exactly the seeded junk, and each cleanup mode must take exactly the found entries (to the Recycle
// Bin, into a folder, or deleted for good) and leave everything else as it was.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"
#include "support/test_platform.h"
#include "tools/disk_cleaner.h"

namespace tw {
namespace {

constexpr const char* kSeed = "J:\\seed";
constexpr uint64_t kHugeSize = (5ull << 30) + 123;  // a sparse file above 4 GiB

class Screen : public IDiskCleanerScreen {
 public:
  ITextTarget& ScanMessage() override { return message; }
  bool EditFileType(const std::string&, std::string*, std::string*) override { return false; }
  void ShowDetails(const std::vector<TTempFileInfo>&) override {}
  void Changed() override {}
  test::RecordingText message;
};

void MakeFile(const std::string& path, size_t size, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const std::string data(size, 'j');
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
  CloseHandle(file);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
}

// Every file and folder below `folder` with its size (-1 for a folder), reparse points not followed.
void ListTree(const std::string& folder, std::map<std::string, int64_t>* tree) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    const bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    (*tree)[path] = isFolder ? -1 : static_cast<int64_t>((uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow);
    if (isFolder && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ListTree(path, tree);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

struct Seeded {
  std::map<std::string, uint64_t> junk;  // full path: size, in the order the walk cannot be sure of
  std::string longFolder;
};

// The seed: junk beside non-junk, upper-case names the case-counting patterns must not find, a folder named like
// junk (entered, found after its contents), a read-only folder (not entered), a path over 260 characters.
Seeded Seed(IFiles& files) {
  Seeded s;
  RemoveFolderTree(files, kSeed);
  for (const char* folder : {"J:\\seed", "J:\\seed\\work", "J:\\seed\\other", "J:\\seed\\cache.tmp", "J:\\seed\\ro",
                             "J:\\seed\\sys", "J:\\seed\\big"})
    EXPECT_TRUE(CreateDirectoryA(folder, nullptr)) << folder;
  const struct {
    const char* path;
    size_t size;
    DWORD attributes;
    bool junk;
  } seed[] = {
      {"J:\\seed\\work\\a.tmp", 1000, FILE_ATTRIBUTE_NORMAL, true},
      {"J:\\seed\\work\\app.log", 3000, FILE_ATTRIBUTE_ARCHIVE, true},
      {"J:\\seed\\work\\~$doc.docx", 10, FILE_ATTRIBUTE_NORMAL, true},
      {"J:\\seed\\work\\hidden.tmp", 20, FILE_ATTRIBUTE_HIDDEN, true},
      {"J:\\seed\\work\\readonly.tmp", 30, FILE_ATTRIBUTE_READONLY, true},
      {"J:\\seed\\work\\locked.tmp", 40, FILE_ATTRIBUTE_NORMAL, true},
      {"J:\\seed\\other\\thumbs.db", 60, FILE_ATTRIBUTE_NORMAL, true},
      {"J:\\seed\\cache.tmp\\inner.bak", 70, FILE_ATTRIBUTE_NORMAL, true},
      {"J:\\seed\\work\\b.TMP", 11, FILE_ATTRIBUTE_NORMAL, false},
      {"J:\\seed\\work\\THUMBS.DB", 12, FILE_ATTRIBUTE_NORMAL, false},
      {"J:\\seed\\work\\keep.txt", 13, FILE_ATTRIBUTE_NORMAL, false},
      {"J:\\seed\\work\\report.LOG", 14, FILE_ATTRIBUTE_NORMAL, false},
      {"J:\\seed\\work\\tmp", 15, FILE_ATTRIBUTE_NORMAL, false},
      {"J:\\seed\\cache.tmp\\keep.dat", 16, FILE_ATTRIBUTE_NORMAL, false},
  };
  for (const auto& f : seed) {
    MakeFile(f.path, f.size, f.attributes);
    if (f.junk) s.junk[f.path] = f.size;
  }
  s.junk["J:\\seed\\cache.tmp"] = 0;

  // A read-only and a system folder: entered only when the file system reports their attribute word as one the
  // rule enters (Wine keeps no read-only attribute on folders and reports them as plain folders).
  int notEntered = 0;
  for (const auto& [folder, attribute] : {std::pair<std::string, DWORD>{"J:\\seed\\ro", FILE_ATTRIBUTE_READONLY},
                                          std::pair<std::string, DWORD>{"J:\\seed\\sys", FILE_ATTRIBUTE_SYSTEM}}) {
    MakeFile(folder + "\\inside.tmp", 17);
    EXPECT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY | attribute));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.c_str(), &found);
    EXPECT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    const DWORD word = found.dwFileAttributes;
    if (word == 0x10 || word == 0x12 || word == 0x13) s.junk[folder + "\\inside.tmp"] = 17;
    else ++notEntered;
  }
  EXPECT_GT(notEntered, 0) << "no folder the rule keeps out";

  // Folders nested past 260 characters, made through the long form of the path.
  std::string deep = "J:\\seed\\long";
  std::wstring wide = L"\\\\?\\J:\\seed\\long";
  EXPECT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
  for (int i = 0; deep.size() < 300; ++i) {
    const std::string part = "\\level" + std::to_string(i) + std::string(40, 'x');
    deep += part;
    wide += std::wstring(part.begin(), part.end());
    EXPECT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
  }
  HANDLE file = CreateFileW((wide + L"\\deep.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "deep", 4, &written, nullptr);
  CloseHandle(file);
  s.junk[deep + "\\deep.tmp"] = 4;
  s.longFolder = deep;

  // Above 4 GiB without taking the room: the end of file is moved, nothing written.
  file = CreateFileA("J:\\seed\\big\\huge.dmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(kHugeSize);
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  s.junk["J:\\seed\\big\\huge.dmp"] = kHugeSize;
  return s;
}

// The real shell, with the folder picker answered as a person would pick `folder`.
class PickingShell : public Win32Shell {
 public:
  bool BrowseForFolder(const std::string& title, std::string* chosen) override {
    titles.push_back(title);
    *chosen = folder;
    return true;
  }
  std::string folder;
  std::vector<std::string> titles;
};

uint64_t RecycledItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SHQueryRecycleBinA(nullptr, &info) == S_OK ? static_cast<uint64_t>(info.i64NumItems) : 0;
}

TEST(DiskCleanerE2E, ReportCountsTheSeedAndEachModeTakesOnlyWhatWasFound) {
  Win32Platform real;
  PickingShell shell;
  Platform platform{real.registry, real.files, real.profile, real.system,
                    shell, real.services, real.scheduler, real.http};
  IFiles& files = real.files;
  ASSERT_EQ(files.DriveType("J:\\"), kDriveFixed) << "the suite's drive J: is missing";
  const std::string dest = "J:\\moved";
  shell.folder = dest;

  for (CleanupMode mode : {CleanupMode::Recycle, CleanupMode::Move, CleanupMode::Delete}) {
    SCOPED_TRACE(static_cast<int>(mode));
    RemoveFolderTree(files, dest);
    const Seeded seeded = Seed(files);

    test::RecordingPrompts prompts;
    prompts.Answer(PromptAnswer::Yes);
    test::RecordingPump pump;
    Screen screen;
    TSysDiskCleanerForm form(platform, prompts, pump, screen);
    form.FormCreate();
    int drive = -1;
    for (size_t i = 0; i < form.Drives().size(); ++i) {
      const bool isJ = form.Drives()[i].Drive == "J:";
      if (isJ) drive = static_cast<int>(i);
      form.DriveCheckClick(static_cast<int>(i), isJ);
    }
    ASSERT_GE(drive, 0);
    EXPECT_FALSE(form.Drives()[static_cast<size_t>(drive)].Caption.empty());
    form.NextBtnClick();
    ASSERT_EQ(form.Types().size(), 47u);
    form.NextBtnClick();
    ASSERT_EQ(form.State(), kCleanerScanned);

    // Exactly the seeded junk below J:\seed, nothing from the read-only folder or through the link at J:\loop.
    std::map<std::string, uint64_t> found;
    for (const TTempFileInfo& f : form.Found()) found[f.FullPath] = f.Size;
    EXPECT_EQ(found, seeded.junk);
    ASSERT_LT(form.Found().size(), 100u);
    size_t folderAt = 0, innerAt = 0;
    for (size_t i = 0; i < form.Found().size(); ++i) {
      if (form.Found()[i].FullPath == "J:\\seed\\cache.tmp") folderAt = i;
      if (form.Found()[i].FullPath == "J:\\seed\\cache.tmp\\inner.bak") innerAt = i;
    }
    EXPECT_GT(folderAt, innerAt) << "a folder comes after its contents";

    uint64_t bytes = 0;
    for (const auto& [path, size] : seeded.junk) bytes += size;
    form.NextBtnClick();
    ASSERT_EQ(form.ReportRows().size(), 1u);
    EXPECT_EQ(form.ReportRows()[0].Total, std::to_string(seeded.junk.size()));
    EXPECT_EQ(form.ReportRows()[0].Space, std::to_string(bytes / 1024) + " KB");
    EXPECT_EQ(form.StatusPanels()[2], std::to_string(bytes / 1024) + " KB");

    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    MakeFile(dest + "\\a.tmp", 5);  // a name the move must not replace
    form.NextBtnClick();
    if (mode == CleanupMode::Delete) form.RadioButton1Click();
    if (mode == CleanupMode::Move) form.RadioButton3Click();

    // Between the scan and the cleanup: one file vanishes, one is held open by another program.
    std::map<std::string, int64_t> before;
    ListTree("J:", &before);
    ListTree("C:\\tarnwick-loop", &before);
    ASSERT_TRUE(DeleteFileA("J:\\seed\\big\\huge.dmp"));
    HANDLE locked = CreateFileA("J:\\seed\\work\\locked.tmp", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const uint64_t recycledBefore = RecycledItems();
    form.NextBtnClick();
    CloseHandle(locked);
    ASSERT_EQ(form.Page(), kCleanupPage);

    // One row per found entry; a success says the entry left, an error that it stayed.
    std::map<std::string, std::string> status;
    for (const CleanupRow& row : form.CleanupRows()) status[row.Path] = row.Status;
    ASSERT_EQ(status.size(), seeded.junk.size());
    const std::string done = mode == CleanupMode::Move ? "File Moved" : "File Deleted";
    const std::string failed = mode == CleanupMode::Move ? "Moved Error" : "Deleted Error";
    int left = 0;
    for (const auto& [path, text] : status) {
      if (path == "J:\\seed\\big\\huge.dmp") continue;  // gone before the cleanup began
      const bool gone = files.Attributes(path) == kInvalidAttributes;
      EXPECT_TRUE(text == done || text == failed) << path << ": " << text;
      EXPECT_EQ(text == done, gone) << path << ": " << text;
      if (text == done) ++left;
    }
    EXPECT_EQ(status["J:\\seed\\big\\huge.dmp"], failed);
    EXPECT_EQ(status["J:\\seed\\cache.tmp"], failed) << "a folder with other files in it stays";
    EXPECT_EQ(status["J:\\seed\\work\\a.tmp"], done);
    if (mode == CleanupMode::Delete) {
      EXPECT_EQ(status[seeded.longFolder + "\\deep.tmp"], done);
      EXPECT_EQ(status["J:\\seed\\work\\locked.tmp"], failed);
      EXPECT_EQ(status["J:\\seed\\work\\readonly.tmp"], failed);
    }
    if (mode == CleanupMode::Recycle) {
      EXPECT_EQ(RecycledItems(), recycledBefore + static_cast<uint64_t>(left));
    }

    // Nothing outside the found list changed.
    std::map<std::string, int64_t> after;
    ListTree("J:", &after);
    ListTree("C:\\tarnwick-loop", &after);
    for (const auto& [path, size] : before) {
      if (seeded.junk.count(path) || path == "J:\\seed\\big\\huge.dmp") continue;
      if (path.rfind(dest + "\\", 0) == 0) continue;
      auto it = after.find(path);
      EXPECT_TRUE(it != after.end() && it->second == size) << path << " was touched";
    }
    if (mode == CleanupMode::Move) {
      std::string kept;
      ASSERT_TRUE(files.ReadWholeFile(dest + "\\a.tmp", &kept));
      EXPECT_EQ(kept, std::string(5, 'j'));
      EXPECT_TRUE(files.FileExists(dest + "\\a (2).tmp"));
      EXPECT_TRUE(files.FileExists(dest + "\\app.log"));
    }
    if (mode == CleanupMode::Delete) {
      EXPECT_EQ(prompts.calls.size(), 1u);
    }
  }
  RemoveFolderTree(files, kSeed);
  RemoveFolderTree(files, dest);
}

}  // namespace
}  // namespace tw
