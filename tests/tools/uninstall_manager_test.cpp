#include "tools/uninstall_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"

namespace tw {
namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

class UninstallManagerTest : public ::testing::Test {
 protected:
  UninstallManagerTest() { m.files.SetExecutablePath("C:\\Tarnwick\\Tarnwick.exe"); }
  void Set(const std::string& entry, const std::string& name, uint32_t type, const Bytes& data) {
    RegKeyHandle key;
    ASSERT_EQ(key.Open(m.registry, kLocalMachine, std::string(kUninstall) + "\\" + entry, true), kOk);
    ASSERT_EQ(m.registry.SetValue(key.Get(), name, type, data), kOk);
  }
  bool Exists(const std::string& entry) {
    RegKeyHandle key;
    return key.Open(m.registry, kLocalMachine, std::string(kUninstall) + "\\" + entry, false) == kOk;
  }
  int RowOf(const std::string& name) {
    for (size_t i = 0; i < form.Rows().size(); ++i)
      if (form.Rows()[i].DisplayName == name) return static_cast<int>(i);
    return -1;
  }

  MemoryPlatform m;
  test::RecordingPrompts prompts;
  TInstalledManageForm form{m.platform, prompts};
};

TEST_F(UninstallManagerTest, ListsEntriesWithBothValuesAndShowsTheirProperties) {
  const std::string longName(65536, 'L');
  Set("A", "DisplayName", kRegSz, Sz("Alpha \"quoted\""));
  Set("A", "UninstallString", kRegExpandSz, Sz("\"C:\\A\\un.exe\" /x"));
  Set("A", "DisplayVersion", kRegSz, Sz("1.2"));
  Set("B", "DisplayName", kRegBinary, {0x41, 0x42});
  Set("B", "UninstallString", kRegSz, Sz("b.exe"));
  Set("B", "DisplayIcon", kRegSz, Sz("b.ico"));
  Set("C", "DisplayName", kRegSz, Sz("Only a name"));
  Set("D", "UninstallString", kRegSz, Sz("d.exe"));
  Set("E", "DisplayName", kRegSz, Sz(longName));
  Set("E", "UninstallString", kRegDword, {1, 0, 0, 0});
  form.FormShow();
  struct Want {
    std::string name, command, key;
    std::vector<std::pair<std::string, std::string>> properties;
  };
  const std::string base = "\\" + std::string(kUninstall) + "\\";
  const std::vector<Want> want = {
      {"Alpha \"quoted\"", "\"C:\\A\\un.exe\" /x", base + "A",
       {{"Name", "Alpha \"quoted\""}, {"UninstallString", "\"C:\\A\\un.exe\" /x"}, {"Version", "1.2"}}},
      {"", "b.exe", base + "B", {{"Name", ""}, {"UninstallString", "b.exe"}, {"Icon", "b.ico"}}},
      {longName, "", base + "E", {{"Name", longName}, {"UninstallString", ""}}},
  };
  ASSERT_EQ(form.Rows().size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(form.Rows()[i].DisplayName, want[i].name);
    EXPECT_EQ(form.Rows()[i].UninstallPath, want[i].command);
    EXPECT_EQ(form.Rows()[i].KeyPath, want[i].key);
    form.ListInstalledClick(static_cast<int>(i));
    EXPECT_EQ(form.PanelText(), want[i].name);
    EXPECT_EQ(form.Properties(), want[i].properties);
  }
}

TEST_F(UninstallManagerTest, ButtonsWithoutSelectionSayUncheckedAndChangeNothing) {
  Set("A", "DisplayName", kRegSz, Sz("Alpha"));
  Set("A", "UninstallString", kRegSz, Sz("un.exe"));
  form.FormShow();
  form.TbtUninstallClick();
  form.TbrRemoveClick();
  form.ListInstalledClick(0);
  form.ListInstalledClick(-1);  // the selection went away again
  form.TbtUninstallClick();
  ASSERT_EQ(prompts.calls.size(), 3u);
  for (const test::PromptCall& call : prompts.calls) {
    EXPECT_FALSE(call.question);
    EXPECT_EQ(call.title, "Tarnwick");
    EXPECT_EQ(call.text, "Unchecked");
    EXPECT_EQ(call.icon, PromptIcon::Warning);
  }
  EXPECT_TRUE(m.shell.commandLines.empty());
  EXPECT_TRUE(Exists("A"));
}

TEST_F(UninstallManagerTest, UninstallStartsTheCommandAsItIs) {
  Set("A", "DisplayName", kRegSz, Sz("Alpha"));
  Set("A", "UninstallString", kRegSz, Sz("\"C:\\Program Files\\A\\un.exe\" /S \"x\""));
  form.FormShow();
  form.ListInstalledClick(0);
  form.TbtUninstallClick();
  EXPECT_EQ(m.shell.commandLines, std::vector<std::string>{"\"C:\\Program Files\\A\\un.exe\" /S \"x\""});
  EXPECT_EQ(form.Rows().size(), 1u);
}

// Remove exports the key with its subtree to the backup folder before deleting it; No, or an export that
// cannot be written, leaves the key.
TEST_F(UninstallManagerTest, RemoveKeepsAnExportOfTheKeyItDeletes) {
  struct Case {
    PromptAnswer answer;
    bool folderWritable;
    bool removed;
  };
  for (const Case& c : std::vector<Case>{{PromptAnswer::No, true, false},
                                          {PromptAnswer::Yes, false, false},
                                          {PromptAnswer::Yes, true, true}}) {
    SCOPED_TRACE(static_cast<int>(c.answer) * 10 + c.folderWritable);
    Set("Gone", "DisplayName", kRegSz, Sz("Gone App"));
    Set("Gone", "UninstallString", kRegSz, Sz("g.exe"));
    Set("Gone\\Sub", "Data", kRegDword, {7, 0, 0, 0});
    if (!c.folderWritable) m.files.AddFile("C:\\Tarnwick\\RepairBackup", "a file where the folder should be");
    form.FormShow();
    form.ListInstalledClick(RowOf("Gone App"));
    prompts.Answer(c.answer);
    form.TbrRemoveClick();
    EXPECT_EQ(prompts.calls.back().text,
              "Are you sure you want to remove this entry from registry?\nYou will not be able to revert this action!");
    EXPECT_EQ(prompts.calls.back().defaultAnswer, PromptAnswer::No);
    EXPECT_EQ(Exists("Gone"), !c.removed);
    EXPECT_EQ(RowOf("Gone App") < 0, c.removed);
    m.files.RemoveFile("C:\\Tarnwick\\RepairBackup");
  }
  FindData found;
  const FindHandle search = m.files.FindFirst("C:\\Tarnwick\\RepairBackup\\*.reg", &found);
  ASSERT_NE(search, 0u);
  std::string text;
  m.files.ReadWholeFile("C:\\Tarnwick\\RepairBackup\\" + found.name, &text);
  std::erase(text, '\0');  // the export is UTF-16; its text here is plain ASCII
  EXPECT_NE(text.find("Uninstall\\Gone]"), std::string::npos);
  EXPECT_NE(text.find("Uninstall\\Gone\\Sub]"), std::string::npos);
  EXPECT_FALSE(m.files.FindNext(search, &found));
  m.files.FindClose(search);
}

}  // namespace
}  // namespace tw
