#include "backup/export_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kBackupFolder = "C:\\Program Files\\Tarnwick\\RepairBackup";
constexpr const char* kVersion5 = "Windows Registry Editor Version 5.00";

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The version 5 file as the registry editor reads it: byte-order mark, then every character as a 16-bit unit.
std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

std::u16string U(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// ASCII text of UTF-16 lines; any other unit shows as "#".
std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '#';
  return out;
}

// String data as the registry stores it: one UTF-16 unit per byte.
Bytes Stored(uint32_t type, const Bytes& data) {
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return data;
  Bytes out;
  for (uint8_t b : data) out.insert(out.end(), {b, 0});
  return out;
}

std::string ValueLine(const RegExportContext& ctx, const std::string& name, uint32_t type, const Bytes& data) {
  std::u16string line;
  return RegValueLine(ctx, U(name), type, Stored(type, data), &line) ? Narrow(line) : "(refused)";
}

std::string Joined(const Lines& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

class ExportWriterTest : public ::testing::Test {
 protected:
  void Set(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk);
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  void MakeKey(HKey root, const std::string& path) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk);
  }
  // The lines of one record; a record the file cannot hold whole gives the one line "(refused)".
  Lines Entry(const std::string& fullKeyPath, const std::string& valueName, RepairRemoves removes,
              RegFileKind kind = RegFileKind::Version5) {
    RegExportContext ctx{mp.registry, mp.system, kind};
    RegLines lines;
    if (!AppendRegEntry(ctx, fullKeyPath, valueName, removes, lines)) return {"(refused)"};
    Lines out;
    for (const auto& line : lines) out.push_back(Narrow(line));
    return out;
  }
  void AddRecord(const std::string& fullKeyPath, const std::string& valueName, bool selected = true) {
    TContent& c = review.Items(review.Add()).Content;
    c.Selected = selected ? 1 : 0;
    c.FullKeyPath = fullKeyPath;
    c.ValueName = valueName;
  }
  RepairBackupResult Save(RepairRemoves removes = RepairRemoves::Value) {
    return SaveRepairBackup(mp.platform, review, [removes](int) { return removes; });
  }
  std::string FileAt(const std::string& path) {
    std::string contents;
    EXPECT_TRUE(mp.files.ReadWholeFile(path, &contents)) << path;
    return contents;
  }
  void SetPlatformId(uint32_t id) {
    OsVersion v = mp.system.Version();
    v.platformId = id;
    mp.system.SetVersion(v);
  }

  MemoryPlatform mp;
  TRegistryContents review;
};

TEST_F(ExportWriterTest, ValueLinesImportBackToTheSameTypeAndBytes) {
  struct Case {
    const char* desc;
    std::string name;
    uint32_t type;
    Bytes data;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"string with backslash", "Path", kRegSz, B(std::string("C:\\Temp\0", 8)), "\"Path\"=\"C:\\\\Temp\""},
      {"string with quotes", "S", kRegSz, B(std::string("say \"hi\"\0", 9)), "\"S\"=\"say \\\"hi\\\"\""},
      {"empty string with its NUL", "S", kRegSz, B(std::string("\0", 1)), "\"S\"=\"\""},
      {"string without NUL", "S", kRegSz, B("ab"), "\"S\"=hex(1):61,00,62,00"},
      {"string with embedded NUL", "S", kRegSz, B(std::string("a\0b\0", 4)), "\"S\"=hex(1):61,00,00,00,62,00,00,00"},
      {"string of no bytes", "S", kRegSz, {}, "\"S\"=hex(1):"},
      {"string with a line break", "S", kRegSz, B(std::string("a\r\nb\0", 5)),
       "\"S\"=hex(1):61,00,0D,00,0A,00,62,00,00,00"},
      {"dword 1", "Flag", kRegDword, {1, 0, 0, 0}, "\"Flag\"=dword:00000001"},
      {"dword 0", "D", kRegDword, {0, 0, 0, 0}, "\"D\"=dword:00000000"},
      {"dword 65537", "D", kRegDword, {1, 0, 1, 0}, "\"D\"=dword:00010001"},
      {"dword high bytes", "D", kRegDword, {0xEF, 0xBE, 0xAD, 0xDE}, "\"D\"=dword:DEADBEEF"},
      {"dword of three bytes", "D", kRegDword, {1, 2, 3}, "\"D\"=hex(4):01,02,03"},
      {"dword of no bytes", "D", kRegDword, {}, "\"D\"=hex(4):"},
      {"expandable without NUL", "X", kRegExpandSz, B("ab"), "\"X\"=hex(2):61,00,62,00"},
      {"expandable with NUL", "X", kRegExpandSz, B(std::string("%a%\0", 4)), "\"X\"=hex(2):25,00,61,00,25,00,00,00"},
      {"expandable of no bytes", "X", kRegExpandSz, {}, "\"X\"=hex(2):"},
      {"expandable of only its NUL", "X", kRegExpandSz, {0}, "\"X\"=hex(2):00,00"},
      {"multi-string a b", "M", kRegMultiSz, B(std::string("a\0b\0\0", 5)),
       "\"M\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
      {"multi-string of no bytes", "M", kRegMultiSz, {}, "\"M\"=hex(7):"},
      {"multi-string with an empty string inside", "M", kRegMultiSz, B(std::string("a\0\0b\0\0", 6)),
       "\"M\"=hex(7):61,00,00,00,00,00,62,00,00,00,00,00"},
      {"multi-string without its final NUL", "M", kRegMultiSz, B(std::string("a\0b", 3)),
       "\"M\"=hex(7):61,00,00,00,62,00"},
      {"binary", "B", kRegBinary, {0x01, 0x00, 0xFF}, "\"B\"=hex:01,00,FF"},
      {"binary with zeros inside", "B", kRegBinary, {0xAB, 0, 0, 0xCD}, "\"B\"=hex:AB,00,00,CD"},
      {"binary of no bytes", "B", kRegBinary, {}, "\"B\"=hex:"},
      {"none", "N", kRegNone, {1, 2}, "\"N\"=hex(0):01,02"},
      {"none of no bytes", "N", kRegNone, {}, "\"N\"=hex(0):"},
      {"big-endian dword", "E", kRegDwordBigEndian, {0, 0, 0, 1}, "\"E\"=hex(5):00,00,00,01"},
      {"link", "L", kRegLink, {0x5C, 0, 0x41, 0}, "\"L\"=hex(6):5C,00,41,00"},
      {"qword", "Q", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}, "\"Q\"=hex(b):01,02,03,04,05,06,07,08"},
      {"resource list", "R", 8, {0xAA}, "\"R\"=hex(8):AA"},
      {"large type number", "T", 0xFFFF0001u, {0x10}, "\"T\"=hex(ffff0001):10"},
      {"unnamed value", "", kRegSz, B(std::string("x\0", 2)), "@=\"x\""},
      {"value named @", "@", kRegSz, B(std::string("x\0", 2)), "\"@\"=\"x\""},
      {"name with backslash and quote", "a\\b\"c", kRegDword, {1, 0, 0, 0}, "\"a\\\\b\\\"c\"=dword:00000001"},
      {"name with line break", "a\r\nb", kRegBinary, {1}, "\"a\\r\\nb\"=hex:01"},
      {"name that looks escaped", "\\n", kRegBinary, {1}, "\"\\\\n\"=hex:01"},
  };
  RegExportContext ctx{mp.registry, mp.system, RegFileKind::Version5};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desc);
    EXPECT_EQ(ValueLine(ctx, c.name, c.type, c.data), c.line);
  }
}

TEST_F(ExportWriterTest, NamesAndStringsAreWrittenExactlyOrTheRecordIsRefused) {
  // "中" (U+4E2D) has no form in the ANSI code page; "é" (U+00E9) has one.
  const std::u16string han = u"\u4E2D";
  struct Case {
    const char* desc;
    RegFileKind kind;
    std::u16string name;
    uint32_t type;
    Bytes data;  // as stored
    std::u16string line;  // empty: refused
  };
  const std::vector<Case> cases = {
      {"version 5 string", RegFileKind::Version5, u"V", kRegSz, {0x2D, 0x4E, 0, 0}, u"\"V\"=\"" + han + u"\""},
      {"version 5 name", RegFileKind::Version5, han, kRegDword, {1, 0, 0, 0}, u"\"" + han + u"\"=dword:00000001"},
      {"version 5 expandable keeps the stored units", RegFileKind::Version5, u"V", kRegExpandSz, {0x2D, 0x4E, 0, 0},
       u"\"V\"=hex(2):2D,4E,00,00"},
      {"version 5 string of an odd byte count", RegFileKind::Version5, u"V", kRegSz, {0x41, 0, 0x42},
       u"\"V\"=hex(1):41,00,42"},
      {"version 5 lone surrogate", RegFileKind::Version5, u"V", kRegSz, {0x00, 0xD8, 0, 0}, u"\"V\"=hex(1):00,D8,00,00"},
      {"REGEDIT4 expandable in code-page bytes", RegFileKind::Regedit4, u"V", kRegExpandSz, {0xE9, 0, 0, 0},
       u"\"V\"=hex(2):E9,00"},
      {"REGEDIT4 string", RegFileKind::Regedit4, u"V", kRegSz, {0xE9, 0, 0, 0}, u"\"V\"=\"\u00E9\""},
      {"REGEDIT4 string outside the code page", RegFileKind::Regedit4, u"V", kRegSz, {0x2D, 0x4E, 0, 0}, u""},
      {"REGEDIT4 multi-string outside the code page", RegFileKind::Regedit4, u"V", kRegMultiSz,
       {0x2D, 0x4E, 0, 0, 0, 0}, u""},
      {"REGEDIT4 name outside the code page", RegFileKind::Regedit4, han, kRegBinary, {1}, u""},
      {"headerless odd byte count", RegFileKind::Headerless, u"V", kRegExpandSz, {0x41}, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desc);
    RegExportContext ctx{mp.registry, mp.system, c.kind};
    std::u16string line;
    const bool written = RegValueLine(ctx, c.name, c.type, c.data, &line);
    EXPECT_EQ(written, !c.line.empty());
    if (written) {
      EXPECT_EQ(line, c.line);
    }
  }
}

TEST_F(ExportWriterTest, ValueRecordsExportTheirKeyAndValue) {
  Set(kLocalMachine, "SOFTWARE\\Classes\\.xyz", "Content", kRegSz, B(std::string("text/x\0", 7)));
  Set(kLocalMachine, "SOFTWARE\\Classes\\.xyz", "", kRegSz, B(std::string("xyzfile\0", 8)));
  Set(kLocalMachine, "SOFTWARE\\Classes\\.xyz", "Default", kRegDword, {7, 0, 0, 0});
  Set(kLocalMachine, "SOFTWARE\\Classes\\.xyz", "@", kRegBinary, {9});
  MakeKey(kLocalMachine, "SOFTWARE\\Empty");
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz]";
  struct Case {
    const char* desc;
    std::string fullKeyPath, valueName;
    RepairRemoves removes;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"named value", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "Content", RepairRemoves::Value,
       {key, "\"Content\"=\"text/x\""}},
      {"key path in another case", "HKEY_LOCAL_MACHINE\\software\\classes\\.XYZ", "content", RepairRemoves::Value,
       {"[HKEY_LOCAL_MACHINE\\software\\classes\\.XYZ]", "\"content\"=\"text/x\""}},
      {"default is the unnamed value", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "default", RepairRemoves::Value,
       {key, "@=\"xyzfile\""}},
      {"Default is a value of that name", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "Default",
       RepairRemoves::Value, {key, "\"Default\"=dword:00000007"}},
      {"a value named @", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "@", RepairRemoves::Value,
       {key, "\"@\"=hex:09"}},
      {"default on a key without unnamed value", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty", "default",
       RepairRemoves::Value, {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty]"}},
      {"leading backslash in the key path", "HKEY_LOCAL_MACHINE\\\\SOFTWARE\\Classes\\.xyz", "Content",
       RepairRemoves::Value, {key, "\"Content\"=\"text/x\""}},
      {"missing value", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "Gone", RepairRemoves::Value, {}},
      {"missing key", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Nothing", "default", RepairRemoves::Value, {}},
      {"root name in another case", "hkey_local_machine\\SOFTWARE\\Classes\\.xyz", "Content", RepairRemoves::Value, {}},
      {"unknown root", "HKLM\\SOFTWARE\\Classes\\.xyz", "Content", RepairRemoves::Value, {}},
      {"a file record", "C:\\WINDOWS\\Desktop\\Gone.lnk", "", RepairRemoves::File, {}},
      {"a file record named like a key", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.xyz", "Content",
       RepairRemoves::File, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desc);
    EXPECT_EQ(Entry(c.fullKeyPath, c.valueName, c.removes), c.lines);
  }
}

TEST_F(ExportWriterTest, KeyTreeRecordsExportTheWholeSubtree) {
  const std::string base = "SOFTWARE\\Classes\\CLSID\\{1}";
  Set(kLocalMachine, base, "", kRegSz, B(std::string("Thing\0", 6)));
  Set(kLocalMachine, base, "Flags", kRegDword, {2, 0, 0, 0});
  Set(kLocalMachine, base + "\\InprocServer32", "", kRegExpandSz, B(std::string("%x%\0", 4)));
  Set(kLocalMachine, base + "\\InprocServer32", "ThreadingModel", kRegSz, B(std::string("Both\0", 5)));
  MakeKey(kLocalMachine, base + "\\b\\Deep\\Deeper");
  Set(kLocalMachine, base + "\\a", "v", kRegBinary, {1});
  Set(kLocalMachine, "SOFTWARE\\Classes\\CLSID\\{10}", "not", kRegBinary, {1});

  const std::string k = "[HKEY_LOCAL_MACHINE\\" + base;
  const Lines expected = {k + "]",
                          "@=\"Thing\"",
                          "\"Flags\"=dword:00000002",
                          k + "\\a]",
                          "\"v\"=hex:01",
                          k + "\\b]",
                          k + "\\b\\Deep]",
                          k + "\\b\\Deep\\Deeper]",
                          k + "\\InprocServer32]",
                          "@=hex(2):25,00,78,00,25,00,00,00",
                          "\"ThreadingModel\"=\"Both\""};
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\" + base, "default", RepairRemoves::KeyTree), expected);
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\" + base, "anything", RepairRemoves::KeyTree), expected);

  // A subkey and a value whose names have no ANSI form ("子键", "名前" = "αβγ") are written exactly in the version 5
  // file; an ANSI file cannot hold them, so the record is refused whole.
  RegKeyHandle key, sub;
  ASSERT_EQ(key.Open(mp.registry, kLocalMachine, base + "\\b", false), kOk);
  HKey handle = 0;
  ASSERT_EQ(mp.registry.CreateSubKeyExact(key.Get(), u"\u5B50\u952E", &handle), kOk);
  sub = RegKeyHandle(mp.registry, handle);
  ASSERT_EQ(mp.registry.SetValueExact(sub.Get(), u"\u540D\u524D", kRegSz, {0xB1, 3, 0xB2, 3, 0xB3, 3, 0, 0}), kOk);
  sub.Reset();
  key.Reset();
  Lines withWide = expected;
  withWide.insert(withWide.begin() + 6, {k + "\\b\\##]", "\"##\"=\"###\""});
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\" + base, "default", RepairRemoves::KeyTree), withWide);
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\" + base, "default", RepairRemoves::KeyTree, RegFileKind::Regedit4),
            Lines{"(refused)"});
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing", "default", RepairRemoves::KeyTree), Lines{});
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE", "default", RepairRemoves::KeyTree), Lines{});
  EXPECT_EQ(Entry("HKEY_LOCAL_MACHINE\\", "default", RepairRemoves::KeyTree), Lines{});
  EXPECT_EQ(mp.registry.OpenHandleCount(), 0u);
}

TEST_F(ExportWriterTest, KeyTreeWalkEndsOnDeepTreesAndLinks) {
  std::string deep = "Software\\Deep";
  for (int i = 0; i < 600; ++i) deep += "\\k";
  MakeKey(kCurrentUser, deep);
  // Deeper than any registry holds: the backup cannot be complete.
  Lines lines = Entry("HKEY_CURRENT_USER\\Software\\Deep", "default", RepairRemoves::KeyTree);
  EXPECT_EQ(lines, Lines{"(refused)"});

  Set(kCurrentUser, "Software\\Loop\\Inner", "v", kRegBinary, {1});
  mp.registry.MakeLink(kCurrentUser, "Software\\Loop\\Inner\\Back", kCurrentUser, "Software\\Loop");
  // The link is written as itself: the delete removes the link, never what it points at.
  lines = Entry("HKEY_CURRENT_USER\\Software\\Loop", "default", RepairRemoves::KeyTree);
  EXPECT_EQ(lines, (Lines{"[HKEY_CURRENT_USER\\Software\\Loop]", "[HKEY_CURRENT_USER\\Software\\Loop\\Inner]",
                          "\"v\"=hex:01", "[HKEY_CURRENT_USER\\Software\\Loop\\Inner\\Back]"}));
  EXPECT_EQ(mp.registry.OpenHandleCount(), 0u);
}

TEST_F(ExportWriterTest, SaveWritesSelectedRecordsInReviewOrder) {
  Set(kCurrentUser, "Software\\App", "A", kRegSz, B(std::string("1\0", 2)));
  Set(kCurrentUser, "Software\\App", "B", kRegDword, {2, 0, 0, 0});
  Set(kCurrentUser, "Software\\App", "C", kRegBinary, {3});
  Set(kCurrentUser, "Software\\Tree\\Sub", "v", kRegBinary, Bytes(300, 0x5A));
  mp.system.SetNow({2026, 12, 7, 0, 47, 57, 0, 1});
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "B");
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "C", false);
  AddRecord("HKEY_CURRENT_USER\\Software\\Gone", "X");
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "A");
  AddRecord("HKEY_CURRENT_USER\\Software\\Tree", "default");
  const std::map<int, RepairRemoves> removes = {{4, RepairRemoves::KeyTree}};

  RepairBackupResult r = SaveRepairBackup(mp.platform, review, [&](int i) {
    auto it = removes.find(i);
    return it == removes.end() ? RepairRemoves::Value : it->second;
  });

  std::string big = "\"v\"=hex:5A";
  for (int i = 1; i < 300; ++i) big += ",5A";
  EXPECT_EQ(r.outcome, BackupOutcome::Written);
  EXPECT_EQ(r.path, std::string(kBackupFolder) + "\\_20261207_004757.reg");
  EXPECT_EQ(FileAt(r.path), Utf16(Joined({kVersion5, "[HKEY_CURRENT_USER\\Software\\App]", "\"B\"=dword:00000002",
                                         "[HKEY_CURRENT_USER\\Software\\App]", "\"A\"=\"1\"",
                                         "[HKEY_CURRENT_USER\\Software\\Tree]",
                                         "[HKEY_CURRENT_USER\\Software\\Tree\\Sub]",
                                         big})));
}

TEST_F(ExportWriterTest, SaveWritesTheHeaderAndEncodingOfThePlatform) {
  Set(kCurrentUser, "Software\\App", "E", kRegExpandSz, B(std::string("ab\0", 3)));
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "E");
  struct Case {
    const char* desc;
    uint32_t platformId;
    std::string contents;
  };
  const std::vector<Case> cases = {
      {"NT family", 2,
       Utf16(Joined({kVersion5, "[HKEY_CURRENT_USER\\Software\\App]", "\"E\"=hex(2):61,00,62,00,00,00"}))},
      {"Windows 9x family", 1, Joined({"REGEDIT4", "[HKEY_CURRENT_USER\\Software\\App]", "\"E\"=hex(2):61,62,00"})},
      {"Win32s", 0, Joined({"", "[HKEY_CURRENT_USER\\Software\\App]", "\"E\"=hex(2):61,62,00"})},
      {"unknown platform", 7, Joined({"", "[HKEY_CURRENT_USER\\Software\\App]", "\"E\"=hex(2):61,62,00"})},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].desc);
    SetPlatformId(cases[i].platformId);
    mp.system.SetNow({2027, 1, 2, 3, 4, static_cast<int>(i), 0, 0});
    RepairBackupResult r = Save();
    EXPECT_EQ(r.outcome, BackupOutcome::Written);
    EXPECT_EQ(FileAt(r.path), cases[i].contents);
  }
}

TEST_F(ExportWriterTest, SaveInTheSameSecondKeepsEarlierBackups) {
  Set(kCurrentUser, "Software\\App", "A", kRegBinary, {1});
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "A");
  mp.system.SetNow({2026, 1, 2, 13, 4, 5, 0, 0});
  const std::string stem = std::string(kBackupFolder) + "\\_20260102_130405";
  const std::string first = Save().path;
  Set(kCurrentUser, "Software\\App", "A", kRegBinary, {2});
  const std::string second = Save().path;
  const std::string third = Save().path;
  EXPECT_EQ(first, stem + ".reg");
  EXPECT_EQ(second, stem + "_2.reg");
  EXPECT_EQ(third, stem + "_3.reg");
  EXPECT_NE(FileAt(first).find(Utf16("=hex:01").substr(2)), std::string::npos);
  EXPECT_NE(FileAt(second).find(Utf16("=hex:02").substr(2)), std::string::npos);
}

TEST_F(ExportWriterTest, SaveWithNothingToExportWritesNoFile) {
  Set(kCurrentUser, "Software\\App", "A", kRegBinary, {1});
  mp.system.SetNow({2026, 12, 7, 12, 5, 9, 0, 1});
  const std::string path = std::string(kBackupFolder) + "\\_20261207_120509.reg";
  struct Case {
    const char* desc;
    std::vector<std::pair<std::string, bool>> records;
  };
  const std::vector<Case> cases = {
      {"empty review", {}},
      {"nothing selected", {{"A", false}}},
      {"selected values all gone", {{"Gone", true}, {"Missing", true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desc);
    review.Clear();
    for (const auto& [name, selected] : c.records) AddRecord("HKEY_CURRENT_USER\\Software\\App", name, selected);
    RepairBackupResult r = Save();
    EXPECT_EQ(r.outcome, BackupOutcome::NothingToExport);
    EXPECT_EQ(r.path, path);
    EXPECT_TRUE(mp.files.DirectoryExists(kBackupFolder));
    EXPECT_FALSE(mp.files.FileExists(path));
  }
}

// Files whose writes fail, as on a full disk.
class FullDiskFiles : public MemoryFiles {
 public:
  NewFileResult WriteNewFile(const std::string&, const std::string&) override { return NewFileResult::Failed; }
};

TEST_F(ExportWriterTest, SaveReportsAFolderOrFileThatCannotBeWritten) {
  Set(kCurrentUser, "Software\\App", "A", kRegBinary, {1});
  AddRecord("HKEY_CURRENT_USER\\Software\\App", "A");
  mp.system.SetNow({2026, 12, 7, 0, 47, 57, 0, 1});

  mp.files.AddFile(kBackupFolder, "a file where the folder belongs");
  RepairBackupResult r = Save();
  EXPECT_EQ(r.outcome, BackupOutcome::Failed);
  EXPECT_EQ(r.path, std::string(kBackupFolder) + "\\_20261207_004757.reg");

  FullDiskFiles full;
  Platform platform{mp.registry, full, mp.profile, mp.system, mp.shell, mp.services, mp.scheduler, mp.http};
  r = SaveRepairBackup(platform, review, [](int) { return RepairRemoves::Value; });
  EXPECT_EQ(r.outcome, BackupOutcome::Failed);
  EXPECT_TRUE(full.DirectoryExists(kBackupFolder));
}

}  // namespace
}  // namespace tw
