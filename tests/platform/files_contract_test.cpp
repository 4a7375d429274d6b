// The file system cases both back ends must answer alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/test_platform.h"

namespace tw {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) ==
                                                std::toupper(static_cast<unsigned char>(b)); });
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    tp_ = MakeTestPlatform();
    files_ = &tp_->Files();
    dir_ = tp_->ScratchFolder();
  }

  std::string P(const std::string& name) const { return dir_ + "\\" + name; }

  void Write(const std::string& name, const std::string& contents) {
    ASSERT_TRUE(files_->WriteWholeFile(P(name), contents)) << name;
  }

  std::string Read(const std::string& name) {
    std::string contents = "<missing>";
    files_->ReadWholeFile(P(name), &contents);
    return contents;
  }

  // Names a search finds, "." and ".." first as found, the others sorted (the order of the rest is the
  // file system's own).
  std::vector<std::string> Search(const std::string& pattern, std::vector<FindData>* found = nullptr) {
    std::vector<std::string> dots, names;
    FindData d;
    FindHandle h = files_->FindFirst(pattern, &d);
    if (!h) return names;
    do {
      (d.name == "." || d.name == ".." ? dots : names).push_back(d.name);
      if (found) found->push_back(d);
    } while (files_->FindNext(h, &d));
    files_->FindClose(h);
    std::sort(names.begin(), names.end());
    dots.insert(dots.end(), names.begin(), names.end());
    return dots;
  }

  std::unique_ptr<TestPlatform> tp_;
  IFiles* files_ = nullptr;
  std::string dir_;
};

TEST_F(FilesContract, ExistenceAndAttributeWords) {
  Write("Data.TXT", "x");
  ASSERT_TRUE(files_->MakeDirectory(P("Sub")));
  struct Case {
    std::string path;
    bool file, folder;
    uint32_t attributes;
  };
  const Case cases[] = {
      {P("Data.TXT"), true, false, kAttrArchive},
      {P("data.txt"), true, false, kAttrArchive},
      {Upper(P("data.txt")), true, false, kAttrArchive},
      {P("Sub"), false, true, kAttrDirectory},
      {P("sub") + "\\", false, true, kAttrDirectory},
      {dir_, false, true, kAttrDirectory},
      {P("missing.txt"), false, false, kInvalidAttributes},
      {P("missing\\inside.txt"), false, false, kInvalidAttributes},
      {P("Data.TXT\\below"), false, false, kInvalidAttributes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(files_->FileExists(c.path), c.file);
    EXPECT_EQ(files_->DirectoryExists(c.path), c.folder);
    EXPECT_EQ(files_->Attributes(c.path), c.attributes);
  }
  EXPECT_TRUE(files_->SetAttributes(P("data.txt"), kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(files_->Attributes(P("Data.TXT")), kAttrReadOnly | kAttrArchive);
  EXPECT_TRUE(files_->SetAttributes(P("data.txt"), kAttrArchive));
  EXPECT_EQ(files_->Attributes(P("Data.TXT")), kAttrArchive);
  EXPECT_FALSE(files_->SetAttributes(P("missing.txt"), kAttrArchive));
}

TEST_F(FilesContract, FindFirstAndNextMatchWildcards) {
  Write("b.txt", "12345");
  Write("A.log", "");
  Write("notes.txt.bak", "1");
  ASSERT_TRUE(files_->MakeDirectory(P("sub")));
  Write("sub\\inner.txt", "");
  struct Case {
    std::string pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {P("*"), {".", "..", "A.log", "b.txt", "notes.txt.bak", "sub"}},
      {P("*.*"), {".", "..", "A.log", "b.txt", "notes.txt.bak", "sub"}},
      {P("*.txt"), {"b.txt"}},
      {P("*.TXT*"), {"b.txt", "notes.txt.bak"}},
      {P("?.log"), {"A.log"}},
      {P("a.LOG"), {"A.log"}},  // no wildcard: the one entry, with its own case
      {P("s?b"), {"sub"}},
      {P("sub\\*"), {".", "..", "inner.txt"}},
      {P("nothing*"), {}},
      {P("missing\\*"), {}},
      {dir_, {dir_.substr(dir_.rfind('\\') + 1)}},  // a folder without a mask finds itself
      {dir_ + "\\", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Search(c.pattern), c.names);
  }

  std::vector<FindData> found;
  Search(P("*"), &found);
  for (const FindData& d : found) {
    SCOPED_TRACE(d.name);
    bool folder = d.name == "." || d.name == ".." || d.name == "sub";
    EXPECT_EQ((d.attributes & kAttrDirectory) != 0, folder);
    if (d.name == "b.txt") {
      EXPECT_EQ(d.size, 5u);
    }
    if (!folder) {
      EXPECT_NE(d.writeTime, 0u);
    }
  }
}

TEST_F(FilesContract, RemoveFileAndFolder) {
  Write("gone.txt", "x");
  Write("locked.txt", "x");
  ASSERT_TRUE(files_->SetAttributes(P("locked.txt"), kAttrReadOnly));
  ASSERT_TRUE(files_->MakeDirectory(P("full")));
  Write("full\\f.txt", "");
  ASSERT_TRUE(files_->MakeDirectory(P("empty")));

  EXPECT_TRUE(files_->RemoveFile(P("GONE.txt")));
  EXPECT_FALSE(files_->FileExists(P("gone.txt")));
  EXPECT_FALSE(files_->RemoveFile(P("gone.txt")));
  EXPECT_FALSE(files_->RemoveFile(P("locked.txt")));  // read-only files stay
  EXPECT_TRUE(files_->FileExists(P("locked.txt")));
  EXPECT_FALSE(files_->RemoveFile(P("empty")));  // not for folders
  EXPECT_FALSE(files_->RemoveFolder(P("full")));
  EXPECT_FALSE(files_->RemoveFolder(P("locked.txt")));
  EXPECT_TRUE(files_->RemoveFolder(P("Empty")));
  EXPECT_FALSE(files_->DirectoryExists(P("empty")));
  EXPECT_FALSE(files_->MakeDirectory(P("full")));  // already there
  EXPECT_FALSE(files_->MakeDirectory(P("no\\such\\parent")));
  ASSERT_TRUE(files_->SetAttributes(P("locked.txt"), kAttrNormal));
}

TEST_F(FilesContract, CopyKeepsTheSourceAndHonoursFailIfExists) {
  Write("src.txt", "source");
  Write("dst.txt", "old");
  EXPECT_TRUE(files_->CopyFileTo(P("SRC.txt"), P("new.txt"), true));
  EXPECT_EQ(Read("new.txt"), "source");
  EXPECT_EQ(Read("src.txt"), "source");
  EXPECT_FALSE(files_->CopyFileTo(P("src.txt"), P("dst.txt"), true));
  EXPECT_EQ(Read("dst.txt"), "old");
  EXPECT_TRUE(files_->CopyFileTo(P("src.txt"), P("DST.txt"), false));
  EXPECT_EQ(Read("dst.txt"), "source");
  EXPECT_FALSE(files_->CopyFileTo(P("missing.txt"), P("x.txt"), false));
  EXPECT_FALSE(files_->CopyFileTo(P("src.txt"), P("nofolder\\x.txt"), false));

  ASSERT_TRUE(files_->SetAttributes(P("src.txt"), kAttrReadOnly | kAttrArchive));
  EXPECT_TRUE(files_->CopyFileTo(P("src.txt"), P("ro-copy.txt"), true));
  EXPECT_EQ(files_->Attributes(P("ro-copy.txt")), kAttrReadOnly | kAttrArchive);  // attributes travel along
  // Windows copies over no read-only file. Wine lets the Unix user decide, and root may write anything.
  if (!tp_->IsWine()) {
    EXPECT_FALSE(files_->CopyFileTo(P("new.txt"), P("ro-copy.txt"), false));
  }
  ASSERT_TRUE(files_->SetAttributes(P("src.txt"), kAttrNormal));
  ASSERT_TRUE(files_->SetAttributes(P("ro-copy.txt"), kAttrNormal));
}

TEST_F(FilesContract, MoveRenamesFilesAndFolders) {
  Write("a.txt", "a");
  Write("taken.txt", "t");
  ASSERT_TRUE(files_->MakeDirectory(P("box")));
  Write("box\\in.txt", "in");

  EXPECT_TRUE(files_->MoveFileTo(P("A.TXT"), P("box\\moved.txt")));
  EXPECT_FALSE(files_->FileExists(P("a.txt")));
  EXPECT_EQ(Read("box\\moved.txt"), "a");
  EXPECT_FALSE(files_->MoveFileTo(P("box\\moved.txt"), P("taken.txt")));  // never over another file
  EXPECT_EQ(Read("taken.txt"), "t");
  EXPECT_FALSE(files_->MoveFileTo(P("missing.txt"), P("x.txt")));
  EXPECT_TRUE(files_->MoveFileTo(P("box"), P("crate")));
  EXPECT_EQ(Read("crate\\in.txt"), "in");
  EXPECT_FALSE(files_->DirectoryExists(P("box")));

  // A rename that changes only the case takes the new case on Windows; Wine keeps the old name.
  EXPECT_TRUE(files_->MoveFileTo(P("taken.txt"), P("TAKEN.txt")));
  EXPECT_EQ(Search(P("taken.txt")), std::vector<std::string>{tp_->IsWine() ? "taken.txt" : "TAKEN.txt"});
}

TEST_F(FilesContract, WholeFilesAreWrittenReadAndAppended) {
  const std::string binary("line\r\nnul\0byte\xFF", 15);
  Write("f.bin", binary);
  EXPECT_EQ(Read("F.BIN"), binary);
  Write("f.bin", "short");  // replaces, leaves nothing of the longer contents
  EXPECT_EQ(Read("f.bin"), "short");
  EXPECT_TRUE(files_->AppendToFile(P("f.bin"), "+more"));
  EXPECT_EQ(Read("f.bin"), "short+more");
  EXPECT_TRUE(files_->AppendToFile(P("new.log"), "first"));
  EXPECT_EQ(Read("new.log"), "first");
  Write("empty.txt", "");
  EXPECT_EQ(Read("empty.txt"), "");
  EXPECT_FALSE(files_->WriteWholeFile(P("nofolder\\x.txt"), "x"));
  EXPECT_FALSE(files_->AppendToFile(P("nofolder\\x.txt"), "x"));
  EXPECT_EQ(Read("missing.txt"), "<missing>");
  ASSERT_TRUE(files_->MakeDirectory(P("folder")));
  EXPECT_FALSE(files_->WriteWholeFile(P("folder"), "x"));

  ASSERT_TRUE(files_->SetAttributes(P("f.bin"), kAttrReadOnly));
  // Windows writes into no read-only file. Wine lets the Unix user decide, and root may write anything.
  if (!tp_->IsWine()) {
    EXPECT_FALSE(files_->WriteWholeFile(P("f.bin"), "x"));
    EXPECT_FALSE(files_->AppendToFile(P("f.bin"), "x"));
    EXPECT_EQ(Read("f.bin"), "short+more");
  }
  ASSERT_TRUE(files_->SetAttributes(P("f.bin"), kAttrNormal));

  ASSERT_TRUE(files_->SetAttributes(P("new.log"), kAttrHidden | kAttrArchive));
  EXPECT_TRUE(files_->WriteWholeFile(P("new.log"), "rewritten"));  // hidden files can be rewritten
  EXPECT_EQ(Read("new.log"), "rewritten");

  // A new file is made only where nothing has the name yet; what is there stays as it was.
  EXPECT_EQ(files_->WriteNewFile(P("fresh.reg"), "one"), NewFileResult::Written);
  EXPECT_EQ(files_->WriteNewFile(P("FRESH.reg"), "two"), NewFileResult::NameTaken);
  EXPECT_EQ(files_->WriteNewFile(P("folder"), "x"), NewFileResult::NameTaken);
  EXPECT_EQ(files_->WriteNewFile(P("nofolder\\x.reg"), "x"), NewFileResult::Failed);
  EXPECT_EQ(Read("fresh.reg"), "one");
}

// An atomic write replaces the whole file and leaves nothing else in the folder; a folder of that name stays.
TEST_F(FilesContract, AtomicWritesReplaceTheWholeFile) {
  Write("table.dat", std::string(1000, 'x'));
  EXPECT_TRUE(files_->WriteFileAtomically(P("table.dat"), "new"));
  EXPECT_EQ(Read("TABLE.DAT"), "new");
  EXPECT_TRUE(files_->WriteFileAtomically(P("fresh.dat"), ""));
  EXPECT_EQ(Read("fresh.dat"), "");
  ASSERT_TRUE(files_->MakeDirectory(P("folder.dat")));
  EXPECT_FALSE(files_->WriteFileAtomically(P("folder.dat"), "x"));
  EXPECT_TRUE(files_->DirectoryExists(P("folder.dat")));
  EXPECT_FALSE(files_->WriteFileAtomically(P("nofolder\\x.dat"), "x"));
  EXPECT_EQ(Search(P("*.*")), (std::vector<std::string>{".", "..", "folder.dat", "fresh.dat", "table.dat"}));
}

// A file without a version resource, and a missing file, have none (real programs are read in the Wine suite).
TEST_F(FilesContract, FilesWithoutVersionResourceHaveNone) {
  Write("plain.exe", "MZ not a program");
  VersionResource resource;
  resource.fileVersionMS = 7;
  EXPECT_FALSE(files_->ReadVersionResource(P("plain.exe"), &resource));
  EXPECT_FALSE(files_->ReadVersionResource(P("missing.exe"), &resource));
  EXPECT_EQ(resource.fileVersionMS, 7u);
}

TEST_F(FilesContract, SystemFoldersAndDrives) {
  const std::string windows = files_->WindowsDir();
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(files_->DirectoryExists(windows));
  const std::string system = files_->SystemDir();
  EXPECT_TRUE(StartsWithNoCase(system, windows + "\\"));
  EXPECT_EQ(Upper(system.substr(windows.size())), "\\SYSTEM32");
  EXPECT_TRUE(files_->DirectoryExists(system));
  const std::string temp = files_->TempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files_->DirectoryExists(temp));
  EXPECT_TRUE(files_->FileExists(files_->ExecutablePath()));

  EXPECT_EQ(files_->DriveType("C:\\"), kDriveFixed);
  EXPECT_EQ(files_->DriveType("c:\\"), kDriveFixed);
  EXPECT_TRUE(files_->LogicalDrives() & (1u << 2));
  uint64_t freeBytes = 0, totalBytes = 0;
  EXPECT_TRUE(files_->FreeSpace("C:\\", &freeBytes, &totalBytes));
  EXPECT_GT(totalBytes, 0u);
  EXPECT_LE(freeBytes, totalBytes);
  // A letter no drive uses.
  int unused = 25;
  while (unused > 3 && (files_->LogicalDrives() & (1u << unused))) --unused;
  const std::string missing = std::string(1, static_cast<char>('A' + unused)) + ":\\";
  EXPECT_EQ(files_->DriveType(missing), kDriveNoRootDir);
  EXPECT_FALSE(files_->FreeSpace(missing, &freeBytes, &totalBytes));
}

}  // namespace
}  // namespace tw
