#include "backup/export_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backup/export_writer.h"
#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

constexpr const char* kV5 = "Windows Registry Editor Version 5.00";

// Text as UTF-16 LE bytes.
Bytes W(const std::u16string& text) {
  Bytes out;
  for (char16_t c : text) out.push_back(static_cast<uint8_t>(c & 0xFF)), out.push_back(static_cast<uint8_t>(c >> 8));
  return out;
}

std::string Utf16File(const std::u16string& text, bool mark = true) {
  std::string out = mark ? "\xFF\xFE" : "";
  for (char16_t c : text) out += static_cast<char>(c & 0xFF), out += static_cast<char>(c >> 8);
  return out;
}

TEST(ExportReaderTest, HeadersEncodingsAndLineEnds) {
  const std::u16string body = u"\r\n[HKEY_CURRENT_USER\\S\\\u4E2D]\r\n\"\u540D\"=\"\u03B1\"\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    RegHeader header;
    bool utf16;
    size_t keys;
  };
  const Case cases[] = {
      {"UTF-16 with mark", Utf16File(u"Windows Registry Editor Version 5.00" + body), RegHeader::Version5, true, 1},
      {"UTF-16 without mark", Utf16File(u"Windows Registry Editor Version 5.00" + body, false),
       RegHeader::Version5, true, 1},
      {"ANSI CR LF", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\S]\r\n\"a\"=\"b\"\r\n", RegHeader::Regedit4, false, 1},
      {"ANSI LF", "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=\"b\"\n", RegHeader::Regedit4, false, 1},
      {"no line end at the end", "REGEDIT4\n[HKEY_CURRENT_USER\\S]", RegHeader::Regedit4, false, 1},
      {"blanks after the header", "REGEDIT4  \r\n[HKEY_CURRENT_USER\\S]\r\n", RegHeader::Regedit4, false, 1},
      {"empty file", "", RegHeader::None, false, 0},
      {"empty first line", "\r\n[HKEY_CURRENT_USER\\S]\r\n", RegHeader::None, false, 0},
      {"not an export", "[HKEY_CURRENT_USER\\S]\r\n\"a\"=\"b\"\r\n", RegHeader::None, false, 0},
      {"half a header", "REGEDIT", RegHeader::None, false, 0},
      {"mark alone", "\xFF\xFE", RegHeader::None, true, 0},
      {"odd last byte", Utf16File(u"REGEDIT4\r\n[HKEY_USERS\\x]") + "\x01", RegHeader::Regedit4, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RegFile file = ReadRegFile(c.bytes);
    EXPECT_EQ(file.header, c.header);
    EXPECT_EQ(file.utf16, c.utf16);
    ASSERT_EQ(file.keys.size(), c.keys);
    if (c.utf16 && c.keys && c.header == RegHeader::Version5) {
      EXPECT_EQ(file.keys[0].path, u"HKEY_CURRENT_USER\\S\\\u4E2D");
      ASSERT_EQ(file.keys[0].values.size(), 1u);
      EXPECT_EQ(file.keys[0].values[0].name, u"\u540D");
      EXPECT_EQ(file.keys[0].values[0].data, W(u"\u03B1" + std::u16string(1, u'\0')));
    }
  }
}

TEST(ExportReaderTest, ValueLinesGiveTypeAndStoredBytes) {
  struct Case {
    std::string line;  // below one key line of a version 5 file
    std::u16string name;
    uint32_t type;
    Bytes data;
    bool deleted = false;
  };
  const Case cases[] = {
      {"@=\"x\"", u"", kRegSz, W(std::u16string(u"x\0", 2))},
      {"\"a\"=\"C:\\\\Temp \\\"q\\\"\"", u"a", kRegSz, W(std::u16string(u"C:\\Temp \"q\"\0", 12))},
      {"\"q \\\"\\\\ ]=@\"=\"\"", u"q \"\\ ]=@", kRegSz, W(std::u16string(u"\0", 1))},
      {"\"n\\nr\\r\"=dword:1", u"n\nr\r", kRegDword, {1, 0, 0, 0}},
      {"\"d\"=dword:00010001", u"d", kRegDword, {1, 0, 1, 0}},
      {"\"d\"=DWORD:FFFFFFFF", u"d", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"\"b\"=hex:01,00,ff", u"b", kRegBinary, {1, 0, 0xFF}},
      {"\"b\"=hex:", u"b", kRegBinary, {}},
      {"\"b\" = hex: 01 , 2 ,", u"b", kRegBinary, {1, 2}},
      {"\"e\"=hex(2):61,00,62,00", u"e", kRegExpandSz, W(u"ab")},
      {"\"m\"=hex(7):61,00,00,00,00,00", u"m", kRegMultiSz, W(std::u16string(u"a\0\0", 3))},
      {"\"q\"=hex(b):01,02,03,04,05,06,07,08", u"q", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"\"t\"=hex(ffff0001):08", u"t", 0xFFFF0001u, {8}},
      {"\"z\"=hex(0):", u"z", kRegNone, {}},
      {"\"c\"=hex:01,02,\\\r\n  03,04,\\\n\t05", u"c", kRegBinary, {1, 2, 3, 4, 5}},
      {"\"gone\"=-", u"gone", kRegNone, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const RegFile file = ReadRegFile(std::string(kV5) + "\r\n[HKEY_USERS\\k]\r\n" + c.line + "\r\n");
    EXPECT_EQ(file.skippedLines, 0);
    ASSERT_EQ(file.keys.size(), 1u);
    ASSERT_EQ(file.keys[0].values.size(), 1u);
    const RegFileValue& v = file.keys[0].values[0];
    EXPECT_EQ(v.name, c.name);
    EXPECT_EQ(v.type, c.type);
    EXPECT_EQ(v.data, c.data);
    EXPECT_EQ(v.deleted, c.deleted);
  }
}

// Under "REGEDIT4" string data is text of the code page; the import stores it as UTF-16.
TEST(ExportReaderTest, AnsiStringsAreDecodedThroughTheCodePage) {
  const CodePageDecoder euro = [](const std::string& text) {
    std::u16string out;
    for (char c : text) out.push_back(static_cast<uint8_t>(c) == 0x80 ? u'\u20AC' : static_cast<uint8_t>(c));
    return out;
  };
  const RegFile file = ReadRegFile(
      "REGEDIT4\r\n[HKEY_USERS\\\x80]\r\n\"\x80\"=\"\x80\"\r\n\"e\"=hex(2):80,00\r\n\"m\"=hex(7):61,00,00\r\n"
      "\"b\"=hex:80\r\n",
      euro);
  ASSERT_EQ(file.keys.size(), 1u);
  EXPECT_EQ(file.keys[0].path, u"HKEY_USERS\\\u20AC");
  const std::vector<RegFileValue>& v = file.keys[0].values;
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].name, u"\u20AC");
  EXPECT_EQ(v[0].data, W(std::u16string(u"\u20AC\0", 2)));
  EXPECT_EQ(v[1].data, W(std::u16string(u"\u20AC\0", 2)));
  EXPECT_EQ(v[2].data, W(std::u16string(u"a\0\0", 3)));
  EXPECT_EQ(v[3].data, Bytes{0x80});
}

TEST(ExportReaderTest, KeyLinesAndDeletions) {
  const RegFile file = ReadRegFile(std::string(kV5) +
                                   "\r\n[HKEY_USERS\\a]b]  \r\n\"v\"=\"1\"\r\n[-HKEY_USERS\\gone]\r\n\"ignored\"=\"x\"\r\n"
                                   "; a comment\r\n[HKEY_USERS\\a]b]\r\n@=-\r\n");
  ASSERT_EQ(file.keys.size(), 3u);
  EXPECT_EQ(file.keys[0].path, u"HKEY_USERS\\a]b");
  EXPECT_EQ(file.keys[0].values.size(), 1u);
  EXPECT_TRUE(file.keys[1].deleted);
  EXPECT_EQ(file.keys[1].path, u"HKEY_USERS\\gone");
  EXPECT_TRUE(file.keys[1].values.empty());
  ASSERT_EQ(file.keys[2].values.size(), 1u);
  EXPECT_TRUE(file.keys[2].values[0].deleted);
  EXPECT_EQ(file.skippedLines, 0);
}

TEST(ExportReaderTest, LinesThatCannotBeReadAreCountedAndPassedOver) {
  struct Case {
    const char* what;
    std::string body;  // after the header and one key line
    int skipped;
    size_t values;  // read all the same
  };
  const Case cases[] = {
      {"unclosed name", "\"a=\"x\"\r\n\"ok\"=\"1\"", 1, 1},
      {"unclosed string", "\"a\"=\"x\r\n\"ok\"=\"1\"", 1, 1},
      {"text after the string", "\"a\"=\"x\" y", 1, 0},
      {"no equals sign", "\"a\" \"x\"", 1, 0},
      {"unknown data", "\"a\"=word:1", 1, 0},
      {"empty dword", "\"a\"=dword:", 1, 0},
      {"long dword", "\"a\"=dword:123456789", 1, 0},
      {"bad dword digit", "\"a\"=dword:0000000g", 1, 0},
      {"three digits", "\"a\"=hex:123", 1, 0},
      {"bad hex", "\"a\"=hex:0g", 1, 0},
      {"unclosed type", "\"a\"=hex(2:00", 1, 0},
      {"empty type", "\"a\"=hex():00", 1, 0},
      {"cut in a continuation", "\"a\"=hex:01,\\", 1, 0},
      {"continuation without comma", "\"a\"=hex:01\\\r\n02", 2, 0},
      {"stray text", "garbage\r\n\"ok\"=\"1\"", 1, 1},
      {"key without bracket", "[HKEY_USERS\\x\r\n\"v\"=\"1\"", 2, 0},
      {"cut in the middle of a line", "\"a\"=hex:01,0", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RegFile file = ReadRegFile(std::string(kV5) + "\r\n[HKEY_USERS\\k]\r\n" + c.body);
    EXPECT_EQ(file.skippedLines, c.skipped);
    size_t values = 0;
    for (const RegFileKey& key : file.keys) values += key.values.size();
    EXPECT_EQ(values, c.values);
  }
  // A value line before any key line belongs nowhere.
  EXPECT_EQ(ReadRegFile(std::string(kV5) + "\r\n\"a\"=\"b\"\r\n").skippedLines, 1);
}

// Every value the writer renders reads back with its type and the bytes the registry stores.
TEST(ExportReaderTest, ReadsBackWhatTheWriterWrites) {
  MemoryPlatform mp;
  struct Case {
    std::u16string name;
    uint32_t type;
    Bytes data;  // as stored: string data in UTF-16 units
  };
  const std::vector<Case> cases = {
      {u"", kRegSz, W(std::u16string(u"x\0", 2))},
      {u"quote \" back\\slash\r\n", kRegSz, W(std::u16string(u"C:\\a \"b\"\0", 8))},
      {u"Lines", kRegSz, W(std::u16string(u"one\r\ntwo\0", 9))},
      {u"Nul inside", kRegSz, W(std::u16string(u"a\0b\0", 4))},
      {u"No bytes", kRegSz, {}},
      {u"Odd bytes", kRegSz, {0x61, 0, 0x62}},
      {u"Accents \u00E9", kRegExpandSz, W(std::u16string(u"\u00E9%x%\0", 5))},
      {u"Multi", kRegMultiSz, W(std::u16string(u"a\0bc\0\0", 6))},
      {u"Binary", kRegBinary, {0, 1, 0xFF}},
      {u"Dword", kRegDword, {1, 0, 1, 0}},
      {u"Short dword", kRegDword, {1, 2}},
      {u"None", kRegNone, {7}},
      {u"Qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {u"High type", 0xFFFF0001u, {9}},
  };
  for (RegFileKind kind : {RegFileKind::Version5, RegFileKind::Regedit4}) {
    SCOPED_TRACE(RegFileHeader(kind));
    RegExportContext ctx{mp.registry, mp.system, kind};
    RegLines lines{mp.system.AnsiToUtf16(RegFileHeader(kind)), u"[HKEY_USERS\\k]"};
    std::vector<const Case*> written;
    for (const Case& c : cases) {
      std::u16string line;
      if (!RegValueLine(ctx, c.name, c.type, c.data, &line)) continue;  // not expressible in this kind of file
      lines.push_back(line);
      written.push_back(&c);
    }
    EXPECT_GE(written.size(), cases.size() - 1);
    const RegFile file = ReadRegFile(RegFileBytes(ctx, lines));
    ASSERT_EQ(file.keys.size(), 1u);
    ASSERT_EQ(file.keys[0].values.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
      const RegFileValue& v = file.keys[0].values[i];
      SCOPED_TRACE(std::string(written[i]->name.begin(), written[i]->name.end()));
      EXPECT_EQ(v.name, written[i]->name);
      EXPECT_EQ(v.type, written[i]->type);
      EXPECT_EQ(v.data, written[i]->data);
    }
  }
}

// The fuzzing corpus (writer output, editor output, damaged files and what the fuzzer found) reads to its end,
// and the streaming form sees the same keys as the collecting one.
TEST(ExportReaderTest, FuzzCorpusReadsToTheEnd) {
  const std::filesystem::path folder = std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests/backup/export_reader_corpus";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const RegFile file = ReadRegFile(bytes);
    size_t streamed = 0;
    ReadRegFile(bytes, nullptr, [&streamed](RegFileKey&&) { ++streamed; });
    EXPECT_EQ(streamed, file.keys.size());
    ++files;
  }
  EXPECT_GE(files, 7);
}

}  // namespace
}  // namespace tw
