#include "tools/junk_types.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/memory/memory_files.h"

namespace tw {
namespace {

constexpr const char* kTable = "C:\\Tarnwick\\JunkFile.dat";

TEST(JunkTypes, DefaultsSplitAtTheFirstComma) {
  const std::vector<TJunkType> defaults = DefaultJunkTypes();
  ASSERT_EQ(defaults.size(), 47u);
  for (const TJunkType& type : defaults) EXPECT_TRUE(type.Ticked);
  struct Case {
    size_t index;
    const char* pattern;
    const char* description;
  };
  for (const Case& c : std::vector<Case>{{0, "*.swp", "Temporary Junk Files"},
                                         {9, "*.??~", "Temporary Junk Files"},
                                         {24, "*.sik", "junk files..."},
                                         {26, "*.fts", "Word List File of *.HLP"},
                                         {32, "file????._dd", "CHKDSK Log Files"},
                                         {46, "readme.txt", "Readme Files"}}) {
    EXPECT_EQ(defaults[c.index].Pattern, c.pattern);
    EXPECT_EQ(defaults[c.index].Description, c.description);
  }
  EXPECT_EQ(SplitJunkDefault("*.x, *.x, again *.x,  ").Description, "again");
  EXPECT_EQ(SplitJunkDefault("no comma").Pattern, "no comma");
}

TEST(JunkTypes, RecordsKeepTheirLayoutAndCutTextsTo100) {
  MemoryFiles files;
  files.AddFolder("C:\\Tarnwick");
  const std::string long101(101, 'p');
  ASSERT_TRUE(SaveJunkTypes(files, kTable, {{true, "*.tmp", "Temp"}, {false, long101, ""}}));
  std::string bytes;
  ASSERT_TRUE(files.ReadWholeFile(kTable, &bytes));
  ASSERT_EQ(bytes.size(), 2 * kJunkRecordSize);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes.substr(1, 6), std::string("\x05*.tmp", 6));
  EXPECT_EQ(bytes.substr(102, 5), std::string("\x04Temp", 5));
  EXPECT_EQ(bytes[203], 0);
  EXPECT_EQ(static_cast<uint8_t>(bytes[204]), 100);
  const std::vector<TJunkType> back = LoadJunkTypes(files, kTable);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].Pattern, "*.tmp");
  EXPECT_EQ(back[1].Pattern, std::string(100, 'p'));
  EXPECT_FALSE(back[1].Ticked);

  TRecordStream stream(bytes);
  EXPECT_EQ(stream.RecordNo(), 1u);
  stream.Next();
  EXPECT_EQ(stream.RecordNo(), 2u);
  EXPECT_THROW(stream.Next(), std::out_of_range);
  EXPECT_THROW(TRecordStream("").Read(), std::out_of_range);
}

// Whatever "JunkFile.dat" holds, loading it never fails: whole records are read, the tail is ignored.
TEST(JunkTypes, MalformedTablesLoadTheirWholeRecords) {
  std::string random(10 << 20, '\0');
  std::mt19937 gen(7);
  for (char& c : random) c = static_cast<char>(gen());
  std::string longLength(203, '\0');
  longLength[1] = static_cast<char>(0xFF);
  longLength.replace(2, 100, std::string(100, 'x'));
  struct Case {
    const char* what;
    std::string bytes;
    size_t count;
  };
  const std::vector<Case> cases = {
      {"0 bytes", "", 0},
      {"1 byte", "\x01", 0},
      {"202 bytes", std::string(202, 'a'), 0},
      {"a record and a short tail", std::string(203 + 5, '\0'), 1},
      {"random bytes", random, random.size() / 203},
      {"a length above 100", longLength, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFiles files;
    files.AddFile(kTable, c.bytes);
    const std::vector<TJunkType> types = LoadJunkTypes(files, kTable);
    EXPECT_EQ(types.size(), c.count);
    for (const TJunkType& type : types) EXPECT_LE(type.Pattern.size(), 100u);
    std::string after;
    files.ReadWholeFile(kTable, &after);
    EXPECT_EQ(after.size(), c.bytes.size()) << "loading must not rewrite an existing table";
  }
  // Missing: the defaults, saved at once. A folder by that name: the defaults, the folder left alone.
  MemoryFiles files;
  files.AddFolder("C:\\Tarnwick");
  EXPECT_EQ(LoadJunkTypes(files, kTable).size(), 47u);
  std::string saved;
  ASSERT_TRUE(files.ReadWholeFile(kTable, &saved));
  EXPECT_EQ(saved.size(), 47 * kJunkRecordSize);
  MemoryFiles folder;
  folder.AddFolder(kTable);
  EXPECT_EQ(LoadJunkTypes(folder, kTable).size(), 47u);
  EXPECT_TRUE(folder.DirectoryExists(kTable));
}

TEST(JunkTypes, PatternsMatchNamesWithCaseCounting) {
  struct Case {
    std::string pattern, name;
    bool matches;
  };
  const std::vector<Case> cases = {
      {"thumbs.db", "thumbs.db", true},
      {"thumbs.db", "Thumbs.db", false},
      {"*.tmp", "a.tmp", true},
      {"*.tmp", "a.TMP", false},
      {"*.tmp", "a.tmp.txt", false},
      {"*.tmp", "tmp", false},
      {"*.tmp", ".tmp", true},
      {"*.~*", "doc.~1", true},
      {"*.~*", "doc.1~", false},
      {"~*.*", "~$doc.doc", true},
      {"~*.*", "~nodot", false},
      {"~*.*", "a~b.c", false},
      {"*.??~", "a.do~", true},
      {"*.??~", "a.d~", false},
      {"ffastun.*", "ffastun.ffa", true},
      {"ffastun.*", "FFASTUN.FFA", false},
      {"file????._dd", "file0001._dd", true},
      {"file????._dd", "file001._dd", false},
      {"twain???.mtx", "twain001.mtx", true},
      {std::string(100, '*'), "anything at all", true},
      {std::string(100, '?'), std::string(99, 'a'), false},
      {std::string(50, '*') + "b", std::string(100, 'a'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(JunkPattern(c.pattern).Matches(c.name), c.matches) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace tw
