#include "sections/path_tests.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"

namespace tw {
namespace {

// A machine whose system folder is named in another case or on another drive.
class OtherSystemFolder : public MemoryFiles {
 public:
  explicit OtherSystemFolder(std::string systemDir) : systemDir_(std::move(systemDir)) {}
  std::string SystemDir() override { return systemDir_; }

 private:
  std::string systemDir_;
};

TEST(ExtractCommandPath, PullsTheFileOutOfACommandLine) {
  MemoryPlatform mp;
  mp.files.AddFile("C:\\My Files\\two words.exe");
  struct Case {
    const char* text;
    CommandLineKind kind;
    const char* expected;
  } cases[] = {
      {"rundll32.exe C:\\WINDOWS\\system32\\shell32.dll,Control_RunDLL", CommandLineKind::Settings,
       "C:\\WINDOWS\\system32\\shell32.dll"},
      {"\"C:\\Program Files\\Tool\\tool.exe\" /s", CommandLineKind::Settings, "C:\\Program Files\\Tool\\tool.exe"},
      {"C:\\Program Files\\Tool\\tool.exe D:\\Data\\file.txt", CommandLineKind::Settings,
       "C:\\Program Files\\Tool\\tool.exe"},
      {"rundll32.exe D:\\lib\\x.dll,Entry E:\\file", CommandLineKind::Settings, "D:\\lib\\x.dll"},
      {"@C:\\WINDOWS\\system32\\shell32.dll,-21", CommandLineKind::Settings, "C:\\WINDOWS\\system32\\shell32.dll"},
      {"%SystemRoot%\\system32\\sndvol32.exe -t", CommandLineKind::Settings, "C:\\WINDOWS\\SYSTEM32\\SNDVOL32.EXE"},
      {"C:\\My Files\\two words.exe", CommandLineKind::Settings, "C:\\My Files\\two words.exe"},
      {"C:\\My Files\\gone words.exe -x", CommandLineKind::Settings, "C:\\My Files\\gone words.exe"},
      {"C:\\Tools\\runme /q", CommandLineKind::Settings, "C:\\Tools\\runme"},
      {"C:\\Tools\\setup.v2.exe,1", CommandLineKind::Settings, "C:\\Tools\\setup.v2.exe"},
      {"C:\\Tools\\plain.exe", CommandLineKind::Uninstall, "C:\\Tools\\plain.exe"},
      {"C:\\Tools\\un.exe /x C:\\Tools\\log.txt", CommandLineKind::Uninstall, "C:\\Tools\\un.exe"},
      {"%SystemRoot%\\system32\\x.exe", CommandLineKind::Uninstall, "%SystemRoot%\\system32\\x.exe"},
      {"setup.exe /remove", CommandLineKind::Uninstall, "setup.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ExtractCommandPath(mp.files, c.text, c.kind), c.expected);
  }
}

TEST(IsFilePathCandidate, AcceptsOnlyDriveRootedFileNames) {
  struct Case {
    const char* path;
    bool expected;
  } cases[] = {
      {"C:\\WINDOWS\\notepad.exe", true},   {"\"C:\\WINDOWS\\notepad.exe\"", true},
      {"  z:\\x\\y.txt ", true},            {"C:\\WINDOWS\\*.exe", false},
      {"C:\\a\\b.exe,1", false},            {"C:\\a\\b.exe;C:\\c.exe", false},
      {"C:\\a%b\\c.exe", false},            {"C:\\a\\b", false},
      {"C:\\a\\b.", false},                 {"C:\\a\\", false},
      {"\\\\server\\share\\x.exe", false},  {"1:\\x.exe", false},
      {"C:\\a:b\\c.exe", false},            {"C:/a/b.exe", false},
      {"C:\\a\\b.exe <x>", false},          {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsFilePathCandidate(c.path), c.expected);
  }
}

TEST(HasPlainPathChars, PassesFoldersWithoutSpecialCharacters) {
  struct Case {
    std::string path;
    bool expected;
  } cases[] = {
      {"C:\\Program Files\\Tool", true},
      {"C:\\a\\b.txt", false},
      {"C:\\a+b", false},
      {"C:\\a-b", false},
      {"C:\\Tom & Jerry", false},
      {"C:\\Users\\me@home", false},
      {"C:\\Wow!", false},
      {"%TEMP%", false},
      {"C:\\" + std::string(257, 'x'), true},
      {"C:\\" + std::string(258, 'x'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(HasPlainPathChars(c.path), c.expected);
  }
}

TEST(ExpandPathVariables, ReplacesTheFolderVariablesInUpperCase) {
  MemoryPlatform mp;
  TRegistry reg(mp.registry, kLocalMachine);
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true));
  ASSERT_TRUE(reg.WriteString("ProgramFilesDir", "C:\\Program Files"));
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"%SystemRoot%\\system32\\x.dll", "C:\\WINDOWS\\SYSTEM32\\X.DLL"},
      {"%systemroot%\\a.exe;%SYSTEMROOT%\\b.exe", "C:\\WINDOWS\\A.EXE;C:\\WINDOWS\\B.EXE"},
      {"%windir%\\x.exe", "C:\\WINDOWS\\X.EXE"},
      {"%ProgramFiles%\\Tool\\t.exe", "C:\\PROGRAM FILES\\TOOL\\T.EXE"},
      {"C:\\Plain\\Path.exe", "C:\\Plain\\Path.exe"},
      {"%TEMP%\\x.tmp", "%TEMP%\\x.tmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ExpandPathVariables(mp.files, mp.registry, c.text), c.expected);
  }
}

TEST(WindowsFolderGuess, FollowsTheSystemFolderName) {
  struct Case {
    const char* systemDir;
    const char* expected;
  } cases[] = {
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS\\"},
      {"D:\\WINNT\\system32", "D:\\WINNT\\"},
      {"C:\\windows\\system32", "C:\\WINDOWS\\"},
      {"C:\\Windows\\System32", "C:\\WINDOWS\\"},
      {"E:\\OS\\system32", "E:\\WINNT\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.systemDir);
    OtherSystemFolder files(c.systemDir);
    EXPECT_EQ(WindowsFolderGuess(files), c.expected);
  }
}

TEST(SkippedDrives, ListsRemovableNetworkCdAndRamDrivesFromC) {
  MemoryFiles files;
  files.SetDrive('A', kDriveRemovable);
  files.SetDrive('D', kDriveCdRom, false);
  files.SetDrive('E', kDriveRemote);
  files.SetDrive('F', kDriveRemovable);
  files.SetDrive('G', kDriveRamDisk);
  files.SetDrive('H', kDriveFixed);
  EXPECT_EQ(BuildSkippedDrives(files), (std::vector<std::string>{"D:", "E:", "F:", "G:"}));
}

TEST(PathFilters, RejectNetworkDriveAAndSkippedDrivePaths) {
  const std::vector<std::string> skipped = {"D:", "E:"};
  struct Case {
    const char* path;
    bool notOnSkippedDrive;
    bool passes;
  } cases[] = {
      {"C:\\WINDOWS\\x.dll", true, true},
      {"H:\\x.dll", true, true},
      {"d:\\setup\\x.exe", false, false},        // CD-ROM, any case
      {"E:\\share\\x.exe", false, false},        // network drive
      {"C:\\tools\\x.exe e:\\file", false, false},  // anywhere in the text
      {"\\\\server\\share\\x.dll", true, false},
      {"C:\\dir\\\\x.dll", true, false},
      {"A:\\x.exe", true, false},
      {"C:\\data:x.exe", true, false},           // "A:" anywhere, in upper case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(NotOnSkippedDrive(skipped, c.path), c.notOnSkippedDrive);
    EXPECT_EQ(PassesPathFilters(skipped, c.path), c.passes);
  }
}

TEST(TempDriveRoot, IsTheTemporaryFolderDrive) {
  MemoryFiles files;
  files.SetDrive('D', kDriveFixed);
  files.SetTempDir("D:\\Temp\\");
  EXPECT_EQ(TempDriveRoot(files), "D:\\");
}

}  // namespace
}  // namespace tw
