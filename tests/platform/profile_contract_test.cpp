// The initialisation-file cases both back ends must answer alike.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "support/test_platform.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;

class ProfileContract : public ::testing::Test {
 protected:
  void SetUp() override {
    tp_ = MakeTestPlatform();
    profile_ = &tp_->Profile();
    ini_ = tp_->ScratchFolder() + "\\test.ini";
  }

  void WriteText(const std::string& text) { ASSERT_TRUE(tp_->Files().WriteWholeFile(ini_, text)); }
  std::string Text() {
    std::string text;
    tp_->Files().ReadWholeFile(ini_, &text);
    return text;
  }

  std::unique_ptr<TestPlatform> tp_;
  IProfile* profile_ = nullptr;
  std::string ini_;
};

TEST_F(ProfileContract, WritesCreateTheFileSectionsAndKeys) {
  EXPECT_TRUE(profile_->WriteString(ini_, "One", "a", "1"));
  EXPECT_TRUE(profile_->WriteString(ini_, "Two", "b", "x"));
  EXPECT_TRUE(profile_->WriteString(ini_, "one", "C", "3"));   // into the existing section
  EXPECT_TRUE(profile_->WriteString(ini_, "ONE", "A", "11"));  // replaces, keeps the key's own case
  EXPECT_EQ(Text(), "[One]\r\na=11\r\nC=3\r\n[Two]\r\nb=x\r\n");
  EXPECT_EQ(profile_->ReadString(ini_, "one", "a", "none"), "11");
  EXPECT_EQ(profile_->ReadString(ini_, "TWO", "B", "none"), "x");
  EXPECT_FALSE(profile_->WriteString(tp_->ScratchFolder() + "\\missing\\x.ini", "s", "k", "v"));
}

TEST_F(ProfileContract, ReadStringTrimsUnquotesAndFallsBack) {
  WriteText(
      "; a comment before the first section\r\n"
      "[Main]\r\n"
      "  padded  =  value with  inner  blanks  \r\n"
      "dq=\"double quoted\"\r\n"
      "sq='single'\r\n"
      "half=\"open\r\n"
      "empty=\r\n"
      "bare\r\n"
      "path=C:\\Program Files\\x.exe\n"
      "\r\n"
      "[ Spaced ]\r\n"
      "k=v\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
  };
  const Case cases[] = {
      {"main", "PADDED", "-", "value with  inner  blanks"},
      {"Main", "dq", "-", "double quoted"},
      {"Main", "sq", "-", "single"},
      {"Main", "half", "-", "\"open"},
      {"Main", "empty", "-", ""},
      {"Main", "bare", "fallback", "fallback"},  // a line without "=" has no value
      {"Main", "path", "-", "C:\\Program Files\\x.exe"},
      {"Main", "missing", "fallback", "fallback"},
      {"Main", "missing", "  keeps leading, not trailing  ", "  keeps leading, not trailing"},
      {"Spaced", "k", "-", "v"},
      {"Absent", "k", "-", "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(profile_->ReadString(ini_, c.section, c.key, c.defaultValue), c.expected);
  }
  EXPECT_EQ(profile_->ReadString(tp_->ScratchFolder() + "\\none.ini", "Main", "k", "d"), "d");
}

TEST_F(ProfileContract, ReadIntegerReadsTheLeadingNumber) {
  WriteText("[N]\r\nplain=42\r\nneg=-12abc\r\nhex=0x1F\r\nspaced=  7  \r\nword=abc\r\nempty=\r\nbig=4294967295\r\n");
  struct Case {
    const char* key;
    int expected;
  };
  const Case cases[] = {
      {"plain", 42}, {"neg", -12}, {"hex", 31}, {"spaced", 7}, {"word", 0}, {"empty", 99}, {"missing", 99}, {"big", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(profile_->ReadInteger(ini_, "N", c.key, 99), c.expected);
  }
}

TEST_F(ProfileContract, NamesComeInFileOrder) {
  WriteText("[Zeta]\r\nz2=1\r\n;comment=1\r\nnovalue\r\n  A1 =  \"2\" \r\n\r\n[alpha]\r\nk=v\r\n[Empty]\r\n");
  EXPECT_EQ(profile_->SectionNames(ini_), (Names{"Zeta", "alpha", "Empty"}));
  EXPECT_EQ(profile_->KeyNames(ini_, "zeta"), (Names{"z2", "A1"}));
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(profile_->ReadSection(ini_, "zeta"), (Pairs{{"z2", "1"}, {"novalue", ""}, {"A1", "\"2\""}}));
  EXPECT_EQ(profile_->ReadSection(ini_, "Empty"), Pairs{});
  EXPECT_EQ(profile_->ReadSection(ini_, "absent"), Pairs{});
  EXPECT_EQ(profile_->KeyNames(ini_, "Empty"), Names{});
  EXPECT_EQ(profile_->KeyNames(ini_, "absent"), Names{});
  EXPECT_EQ(profile_->SectionNames(tp_->ScratchFolder() + "\\none.ini"), Names{});
}

TEST_F(ProfileContract, DeleteKeyAndSection) {
  WriteText("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
  EXPECT_TRUE(profile_->DeleteKey(ini_, "a", "X"));
  EXPECT_EQ(profile_->ReadString(ini_, "A", "x", "gone"), "gone");
  EXPECT_EQ(profile_->ReadString(ini_, "A", "y", "gone"), "2");
  EXPECT_TRUE(profile_->DeleteSection(ini_, "b"));
  EXPECT_EQ(profile_->SectionNames(ini_), (Names{"A", "C"}));
  EXPECT_EQ(profile_->ReadString(ini_, "B", "z", "gone"), "gone");
  EXPECT_EQ(profile_->ReadString(ini_, "C", "w", "gone"), "4");
  EXPECT_TRUE(profile_->DeleteKey(ini_, "A", "never"));
  EXPECT_EQ(profile_->KeyNames(ini_, "A"), Names{"y"});
}

TEST_F(ProfileContract, TheEmptyFileNameIsWinIni) {
  const std::string section = "TarnwickTest" + tp_->ScratchKey().substr(tp_->ScratchKey().rfind('\\') + 1);
  ASSERT_TRUE(profile_->WriteString("", section, "Key", "Value"));
  EXPECT_EQ(profile_->ReadString("", section, "key", "-"), "Value");
  EXPECT_EQ(profile_->ReadString(tp_->Files().WindowsDir() + "\\win.ini", section, "Key", "-"), "Value");
  EXPECT_TRUE(profile_->DeleteSection("", section));
  EXPECT_EQ(profile_->ReadString("", section, "Key", "-"), "-");
}

}  // namespace
}  // namespace tw
