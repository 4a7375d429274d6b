// What only the in-memory file system has: configurable drives, times and the DOS wildcard rules.
#include "platform/memory/memory_files.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/wildcard_match.h"

namespace tw {
namespace {

TEST(WildcardMatch, StarsQuestionMarksAndTheDosExtensionRules) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*", "anything.txt", true},       {"*.*", "noextension", true},  {"*.*", ".", true},
      {"*.txt", "a.TXT", true},          {"*.txt", "a.txt.bak", false}, {"a?c", "abc", true},
      {"a?c", "ac", false},              {"a*c*e", "abcde", true},      {"a*c*e", "abcd", false},
      {"readme.*", "README", true},      {"*.", "noext", true},         {"*.", "has.ext", false},
      {"*a", "banana", true},            {"*ab*ab", "xabyab", true},    {"", "", true},
      {"abc", "ABC", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches);
  }
}

TEST(MemoryFiles, DrivesAreConfiguredPerLetter) {
  MemoryFiles files;
  EXPECT_EQ(files.LogicalDrives(), 1u << 2);
  files.SetDrive('d', kDriveCdRom, false);
  files.SetDrive('E', kDriveRemote, true, 100, 1000);
  EXPECT_EQ(files.LogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4));
  EXPECT_EQ(files.DriveType("D:\\"), kDriveCdRom);
  EXPECT_EQ(files.DriveType("e:"), kDriveRemote);
  EXPECT_EQ(files.DriveType("E:\\folder"), kDriveNoRootDir);  // roots only
  uint64_t freeBytes = 0, totalBytes = 0;
  EXPECT_FALSE(files.FreeSpace("D:\\", &freeBytes, &totalBytes));  // no disc in the drive
  EXPECT_FALSE(files.DirectoryExists("D:\\"));
  EXPECT_FALSE(files.MakeDirectory("D:\\x"));
  EXPECT_TRUE(files.FreeSpace("E:\\", &freeBytes, &totalBytes));
  EXPECT_EQ(freeBytes, 100u);
  EXPECT_EQ(totalBytes, 1000u);
  files.AddFile("E:\\share\\f.txt", "x");
  files.SetDrive('E', kDriveRemote);  // changing a drive keeps its files
  EXPECT_TRUE(files.FileExists("E:\\share\\f.txt"));
  files.RemoveDrive('E');
  EXPECT_FALSE(files.FileExists("E:\\share\\f.txt"));
  EXPECT_EQ(files.DriveType("E:\\"), kDriveNoRootDir);
}

TEST(MemoryFiles, PathsAreNormalisedAndRootedOnADrive) {
  MemoryFiles files;
  files.AddFile("C:\\Dir\\File.txt", "x");
  struct Case {
    const char* path;
    bool exists;
  };
  const Case cases[] = {
      {"C:\\Dir\\File.txt", true},    {"c:/dir/file.TXT", true},   {"C:\\Dir\\.\\File.txt", true},
      {"C:\\Other\\..\\Dir\\File.txt", true}, {"C:\\\\Dir\\\\File.txt", true}, {"Dir\\File.txt", false},
      {"\\Dir\\File.txt", false},     {"\\\\server\\share\\File.txt", false},  {"C:Dir\\File.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(files.FileExists(c.path), c.exists);
  }
}

TEST(MemoryFiles, RootSearchesHaveNoDotEntriesAndTimesAreStamped) {
  MemoryFiles files;
  files.SetDrive('F', kDriveFixed);
  files.SetClock(5000);
  ASSERT_TRUE(files.WriteWholeFile("F:\\new.txt", "abc"));
  FindData d;
  FindHandle h = files.FindFirst("F:\\*", &d);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(d.name, "new.txt");
  EXPECT_EQ(d.writeTime, 5000u);
  EXPECT_EQ(d.creationTime, 5000u);
  EXPECT_FALSE(files.FindNext(h, &d));
  EXPECT_EQ(files.OpenSearchCount(), 1u);
  files.FindClose(h);
  EXPECT_EQ(files.OpenSearchCount(), 0u);

  files.SetClock(9000);
  ASSERT_TRUE(files.CopyFileTo("F:\\new.txt", "F:\\copy.txt", true));
  ASSERT_NE(h = files.FindFirst("F:\\copy.txt", &d), 0u);
  files.FindClose(h);
  EXPECT_EQ(d.writeTime, 5000u);  // a copy keeps the time it was last written
  EXPECT_TRUE(files.SetTimes("F:\\copy.txt", 1, 2, 3));
  ASSERT_NE(h = files.FindFirst("F:\\COPY.TXT", &d), 0u);
  files.FindClose(h);
  EXPECT_EQ(d.creationTime, 1u);
  EXPECT_EQ(d.accessTime, 2u);
  EXPECT_EQ(d.writeTime, 3u);
}

TEST(MemoryFiles, MovesThatWouldLoseOrLoopAreRefused) {
  MemoryFiles files;
  files.SetDrive('D', kDriveFixed);
  files.AddFile("C:\\a\\b\\f.txt", "x");
  EXPECT_FALSE(files.MoveFileTo("C:\\a", "C:\\a\\b\\inside"));  // a folder into itself
  EXPECT_FALSE(files.MoveFileTo("C:\\a", "D:\\a"));             // folders stay on their drive
  EXPECT_TRUE(files.MoveFileTo("C:\\a\\b\\f.txt", "D:\\f.txt"));  // files may change drive
  EXPECT_TRUE(files.FileExists("D:\\f.txt"));
  EXPECT_FALSE(files.MoveFileTo("C:\\", "C:\\root"));
  EXPECT_FALSE(files.RemoveFolder("C:\\"));
}

}  // namespace
}  // namespace tw
