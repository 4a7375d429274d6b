#include "sections/file_association_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/section_fixture.h"

namespace tw {
namespace {

using test::ExpectTexts;

constexpr const char* kFileExts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

class FileAssociationSections : public test::SectionFixture {
 protected:
  void Raw(HKey root, const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(mp.registry, root, path, true), kOk) << path;
    ASSERT_EQ(mp.registry.SetValue(key.Get(), name, type, data), kOk) << name;
  }
  void Text(HKey root, const std::string& path, const std::string& name, const std::string& data,
            uint32_t type = kRegSz) {
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(0);
    Raw(root, path, name, type, bytes);
  }
};

TEST(ClassesRootSplit, DropsFolderLikeNamesAndSeparatesExtensions) {
  const ClassesRootNames split = SplitClassesRootNames(
      {"*", ".txt", "txtfile", "Directory", "Folder", "MyFolderType", ".folderx", "Drive", "Unknown", ".unknown",
       "AllFilesystemObjects", ".Folder", "directory", "CLSID", ".a*b"});
  EXPECT_EQ(split.extensions, (std::vector<std::string>{".txt", ".folderx", ".unknown"}));
  EXPECT_EQ(split.classNames, (std::vector<std::string>{"txtfile", "AllFilesystemObjects", "directory", "CLSID"}));
}

TEST_F(FileAssociationSections, AnExtensionIsReportedWhenItsFileTypeIsKnownNowhere) {
  Key(kClassesRoot, "txtfile");
  Key(kClassesRoot, "Some.FolderDoc");
  Key(kCurrentUser, std::string(kFileExts) + "\\.seen");
  Text(kCurrentUser, std::string(kFileExts) + "\\.other\\OpenWithProgids", "Opened.Type", "", kRegNone);
  mp.files.SetDrive('D', kDriveCdRom);
  state.SkippedDrives = {"D:"};
  struct Case {
    const char* extension;
    std::string progId;
    uint32_t type;
    bool reported;
  } cases[] = {
      {".txt", "TXTFILE", kRegSz, false},             // a class, compared without case
      {".folderdoc", "Some.FolderDoc", kRegSz, true},  // its class is dropped by the split
      {".gone", "Gone.Type", kRegSz, true},
      {".xgone", "Gone.Type", kRegExpandSz, true},
      {".seen", "Gone.Type", kRegSz, false},           // the user's shell has met the extension
      {".SEEN2", "Opened.Type", kRegSz, false},        // a file type some extension was opened with
      {".path", "C:\\x\\Type", kRegSz, false},
      {".cd", "D:Type", kRegSz, false},
      {".empty", "", kRegSz, false},
      {".dword", "Gone.Type", kRegDword, false},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    Text(kClassesRoot, c.extension, "", c.progId, c.type);
    if (c.reported) expected.push_back(std::string("HKEY_CLASSES_ROOT\\") + c.extension);
  }
  Key(kClassesRoot, ".novalue");
  Text(kClassesRoot, ".ignored", "", "Gone.Type");
  Ignore(6, "HKEY_CLASSES_ROOT\\.IGNORED", "default");
  Scan(6);
  EXPECT_EQ(Found(&TContent::FullKeyPath), expected);

  const std::string r = "HKEY_CLASSES_ROOT\\.gone";
  ExpectTexts(list.Items(1).Content,
              {r, ".gone", "default", "Gone.Type", " Key Path:" + r, " ValueName:default", " Value:Gone.Type",
               " The file (Gone.Type) does not exist at the specified location",
               "The Key Gone.Type under " + r + " contains a bad path for the value", "Missing or Invalid Path"});
  EXPECT_EQ(Repair(6), std::vector<std::string>(expected.size(), "Repaired Successfully"));
  EXPECT_TRUE(HasKey(kClassesRoot, ".gone"));  // only its unnamed value goes
  Scan(6);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(FileAssociationSections, AnExtensionHoldingOnlyAnEmptyTypeIsReportedAndDeleted) {
  struct Case {
    const char* extension;
    uint32_t type;
    const char* data;
    const char* otherValue;  // a further value, or nullptr
    const char* subKey;      // a subkey, or nullptr
    bool reported;
  } cases[] = {
      {".empty", kRegSz, "", nullptr, nullptr, true},
      {".xempty", kRegExpandSz, "", nullptr, nullptr, true},
      {".withprogids", kRegSz, "", nullptr, "OpenWithProgids", false},
      {".withnew", kRegSz, "", nullptr, "ShellNew", false},
      {".withtype", kRegSz, "", "Content Type", nullptr, false},
      {".named", kRegSz, "txtfile", nullptr, nullptr, false},
      {".dword", kRegDword, "", nullptr, nullptr, false},
  };
  Key(kClassesRoot, "txtfile");
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    if (c.type == kRegDword) {
      Raw(kClassesRoot, c.extension, "", kRegDword, {0, 0, 0, 0});
    } else {
      Text(kClassesRoot, c.extension, "", c.data, c.type);
    }
    if (c.otherValue) Text(kClassesRoot, c.extension, c.otherValue, "text/plain");
    if (c.subKey) Key(kClassesRoot, std::string(c.extension) + "\\" + c.subKey);
    if (c.reported) expected.push_back(std::string("HKEY_CLASSES_ROOT\\") + c.extension);
  }
  Key(kClassesRoot, ".novalue");
  Text(kClassesRoot, "emptyclass", "", "");
  Text(kClassesRoot, ".ignored", "", "");
  Ignore(13, "HKEY_CLASSES_ROOT\\.ignored", "default");
  Scan(13);
  EXPECT_EQ(Found(&TContent::FullKeyPath), expected);
  Scan(6);  // an empty type is not section 6's
  EXPECT_EQ(list.Count(), 0);

  Scan(13);
  const std::string r = "HKEY_CLASSES_ROOT\\.empty";
  ExpectTexts(list.Items(0).Content, {r, ".empty", "default", "", " Key Path:" + r, " ValueName:default", " Value:",
                                      " The file()does not exist at the specified location",
                                      "The Key default under " + r + " contains a bad path for the value",
                                      "Missing or Invalid Path"});
  Key(kClassesRoot, ".xempty\\ShellNew");  // registered since the scan
  EXPECT_EQ(Repair(13), (std::vector<std::string>{"Repaired Successfully", "Repair Error"}));
  EXPECT_FALSE(HasKey(kClassesRoot, ".empty"));
  EXPECT_TRUE(HasKey(kClassesRoot, ".xempty\\ShellNew"));
}

}  // namespace
}  // namespace tw
