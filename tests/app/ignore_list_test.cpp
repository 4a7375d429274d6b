#include "app/ignore_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

constexpr const char* kFolder = "C:\\Tarnwick";
constexpr const char* kFile = "C:\\Tarnwick\\TarnwickIgnores.dat";

struct Entry {
  std::string category, path, value;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) { *os << "{" << e.category << "|" << e.path << "|" << e.value << "}"; }

std::vector<Entry> Entries(const TIgnoreContents& list) {
  std::vector<Entry> out;
  for (const auto& item : list) out.push_back({item.Category, item.FullKeyPath, item.ValueName});
  return out;
}

class IgnoreListTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(mp.files.MakeDirectory(kFolder)); }
  std::vector<Entry> LoadText(const std::string& text) {
    EXPECT_TRUE(mp.files.WriteWholeFile(kFile, text));
    TIgnoreContents list;
    LoadIgnoreList(mp.files, kFile, list);
    return Entries(list);
  }
  std::string FileText() {
    std::string text;
    EXPECT_TRUE(mp.files.ReadWholeFile(kFile, &text));
    return text;
  }
  MemoryPlatform mp;
};

TEST_F(IgnoreListTest, LoadSplitsLinesAndFields) {
  const std::string longPath = "HKEY_CURRENT_USER\\" + std::string(6000, 'k');
  struct Case {
    const char* desc;
    std::string text;
    std::vector<Entry> entries;
  };
  const std::vector<Case> cases = {
      {"empty file", "", {}},
      {"one entry", "Fonts Sections|HKEY_LOCAL_MACHINE\\A|Arial\r\n", {{"Fonts Sections", "HKEY_LOCAL_MACHINE\\A", "Arial"}}},
      {"value name keeps its bars", "c|p|a|b||\r\n", {{"c", "p", "a|b||"}}},
      {"blank lines skipped", "\r\n\r\nc|p|v\r\n\r\n", {{"c", "p", "v"}}},
      {"no bar: all in the value name", "just text\r\n", {{"", "", "just text"}}},
      {"one bar: empty key path", "c|rest\r\n", {{"c", "", "rest"}}},
      {"empty fields", "||\r\n", {{"", "", ""}}},
      {"blanks are not empty", " \r\n", {{"", "", " "}}},
      {"last line without CR LF", "a|b|c\r\nd|e|f", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"LF-only line ends", "a|b|c\nd|e|f\n\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"CR at the very end", "a|b|c\r", {{"a", "b", "c"}}},
      {"CR inside a line stays", "a|b\rx|c\r\n", {{"a", "b\rx", "c"}}},
      {"thousands of characters", "c|" + longPath + "|v\r\n", {{"c", longPath, "v"}}},
      {"bytes from 0x80 kept", "\xC4\xFF|HKEY_USERS\\\xE9\x80|\x81\r\n", {{"\xC4\xFF", "HKEY_USERS\\\xE9\x80", "\x81"}}},
      {"NUL byte kept", std::string("a|b|c\0d\r\n", 9), {{"a", "b", std::string("c\0d", 3)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    EXPECT_EQ(LoadText(c.text), c.entries);
  }
}

TEST_F(IgnoreListTest, LoadEmptiesTheListFirst) {
  TIgnoreContents list;
  list.Items(list.Add()).Category = "stale";

  LoadIgnoreList(mp.files, kFile, list);
  EXPECT_EQ(list.Count(), 0) << "missing file";

  list.Items(list.Add()).Category = "stale";
  ASSERT_TRUE(mp.files.WriteWholeFile(kFile, "c|p|v\r\n"));
  LoadIgnoreList(mp.files, kFile, list);
  EXPECT_EQ(Entries(list), (std::vector<Entry>{{"c", "p", "v"}}));
}

TEST_F(IgnoreListTest, AppendWritesOneLinePerEntry) {
  EXPECT_TRUE(AppendIgnoreEntry(mp.files, kFile, "Help Sections", "HKEY_LOCAL_MACHINE\\SOFTWARE\\H", "x.hlp"));
  EXPECT_EQ(FileText(), "Help Sections|HKEY_LOCAL_MACHINE\\SOFTWARE\\H|x.hlp\r\n");
  EXPECT_TRUE(AppendIgnoreEntry(mp.files, kFile, "Help Sections", "HKEY_LOCAL_MACHINE\\SOFTWARE\\H", "x.hlp"));
  EXPECT_TRUE(AppendIgnoreEntry(mp.files, kFile, "Fonts Sections", "HKEY_LOCAL_MACHINE\\F", "default"));
  EXPECT_EQ(FileText(),
            "Help Sections|HKEY_LOCAL_MACHINE\\SOFTWARE\\H|x.hlp\r\n"
            "Help Sections|HKEY_LOCAL_MACHINE\\SOFTWARE\\H|x.hlp\r\n"
            "Fonts Sections|HKEY_LOCAL_MACHINE\\F|default\r\n");

  TIgnoreContents list;
  LoadIgnoreList(mp.files, kFile, list);
  ASSERT_EQ(list.Count(), 3) << "the same entry twice loads twice";
  EXPECT_EQ(IsIgnored(list, "Help Sections", "HKEY_LOCAL_MACHINE\\SOFTWARE\\H", "x.hlp"), 1);
}

TEST_F(IgnoreListTest, AppendAfterLastLineWithoutLineEnd) {
  ASSERT_TRUE(mp.files.WriteWholeFile(kFile, "a|b|c"));
  EXPECT_TRUE(AppendIgnoreEntry(mp.files, kFile, "d", "e", "f"));
  EXPECT_EQ(FileText(), "a|b|cd|e|f\r\n") << "the line is appended as it is, nothing repaired";
}

TEST_F(IgnoreListTest, BarsRoundTripOnlyInTheValueName) {
  AppendIgnoreEntry(mp.files, kFile, "Application Paths", "HKEY_LOCAL_MACHINE\\K", "v|w");
  AppendIgnoreEntry(mp.files, kFile, "Application Paths", "HKEY_LOCAL_MACHINE\\K|L", "v");
  TIgnoreContents list;
  LoadIgnoreList(mp.files, kFile, list);
  EXPECT_EQ(Entries(list), (std::vector<Entry>{{"Application Paths", "HKEY_LOCAL_MACHINE\\K", "v|w"},
                                               {"Application Paths", "HKEY_LOCAL_MACHINE\\K", "L|v"}}));
  EXPECT_EQ(IsIgnored(list, "Application Paths", "HKEY_LOCAL_MACHINE\\K", "v|w"), 1);
  EXPECT_EQ(IsIgnored(list, "Application Paths", "HKEY_LOCAL_MACHINE\\K|L", "v"), 0);
}

TEST_F(IgnoreListTest, AppendedEntryCountsFromTheNextLoad) {
  TIgnoreContents list;
  LoadIgnoreList(mp.files, kFile, list);
  AppendIgnoreEntry(mp.files, kFile, "Invalid ShortCuts", "HKEY_CURRENT_USER\\S", "a.lnk");
  EXPECT_EQ(IsIgnored(list, "Invalid ShortCuts", "HKEY_CURRENT_USER\\S", "a.lnk"), 0);
  LoadIgnoreList(mp.files, kFile, list);
  EXPECT_EQ(IsIgnored(list, "Invalid ShortCuts", "HKEY_CURRENT_USER\\S", "a.lnk"), 1);
}

TEST(IgnoreMatchTest, CategoryAndPathIgnoreCaseValueNameExact) {
  TIgnoreContents list;
  const Entry stored[] = {
      {"Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "Arial"},
      {"Startup Programs", "HKEY_CURRENT_USER\\Run\\\xE9t\xE9", "default"},
      {"", "", "no bar line"},
  };
  for (const Entry& e : stored) {
    TIgnoreContentItem& item = list.Items(list.Add());
    item.Category = e.category;
    item.FullKeyPath = e.path;
    item.ValueName = e.value;
  }
  struct Case {
    const char* desc;
    Entry query;
    int expected;
  };
  const Case cases[] = {
      {"exact", {"Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "Arial"}, 1},
      {"path case", {"Fonts Sections", "hkey_local_machine\\SOFTWARE\\fonts", "Arial"}, 1},
      {"category case", {"FONTS SECTIONS", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "Arial"}, 1},
      {"value name case", {"Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "arial"}, 0},
      {"other category", {"Help Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "Arial"}, 0},
      {"longer path", {"Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts\\X", "Arial"}, 0},
      {"shorter path", {"Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Font", "Arial"}, 0},
      {"default is not the empty name", {"Startup Programs", "HKEY_CURRENT_USER\\Run\\\xE9t\xE9", ""}, 0},
      {"bytes from 0x80 equal", {"Startup Programs", "hkey_current_user\\RUN\\\xE9T\xE9", "default"}, 1},
      {"accented letters upper-cased by the code page", {"Startup Programs", "HKEY_CURRENT_USER\\Run\\\xC9t\xC9", "default"}, 1},
      {"other bytes from 0x80 compared as they are", {"Startup Programs", "HKEY_CURRENT_USER\\Run\\\xCAt\xC9", "default"}, 0},
      {"no-bar line under a real category", {"Fonts Sections", "", "no bar line"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    EXPECT_EQ(IsIgnored(list, c.query.category, c.query.path, c.query.value), c.expected);
  }
  EXPECT_EQ(IsIgnored(TIgnoreContents{}, "Fonts Sections", "HKEY_LOCAL_MACHINE\\Software\\Fonts", "Arial"), 0);
}

TEST(IgnoreMatchTest, OnlyLettersFoldCase) {
  // '@' and '`' sit 0x20 below 'A'/'a' and '[' / '{' right after 'Z'/'z': folding must not touch them.
  TIgnoreContents list;
  TIgnoreContentItem& item = list.Items(list.Add());
  item.Category = "c";
  item.FullKeyPath = "K\\@[";
  item.ValueName = "v";
  EXPECT_EQ(IsIgnored(list, "C", "k\\@[", "v"), 1);
  EXPECT_EQ(IsIgnored(list, "c", "K\\`{", "v"), 0);
}

}  // namespace
}  // namespace tw
