#include "tools/browser_repair.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::RecordingPrompts;
using test::RecordingPump;

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\Tarnwick.exe";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMachineMain = "Software\\Microsoft\\Internet Explorer\\Main";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}
const Bytes kDword0 = {0, 0, 0, 0};
const Bytes kDword1 = {1, 0, 0, 0};

struct Value {
  uint32_t type;
  Bytes data;
  bool operator==(const Value&) const = default;
};

void Put(IRegistry& reg, HKey root, const std::string& path, const std::string& name, uint32_t type,
         const Bytes& data) {
  HKey key = 0;
  ASSERT_EQ(reg.OpenKey(root, path, true, &key), kOk);
  reg.SetValue(key, name, type, data);
  reg.CloseKey(key);
}

std::optional<Value> Get(IRegistry& reg, HKey root, const std::string& path, const std::string& name) {
  RegKeyHandle key;
  if (key.Open(reg, root, path, false) != kOk) return std::nullopt;
  Value v{};
  if (reg.QueryValue(key.Get(), name, &v.type, &v.data) != kOk) return std::nullopt;
  return v;
}

bool KeyExists(IRegistry& reg, HKey root, const std::string& path) {
  RegKeyHandle key;
  return key.Open(reg, root, path, false) == kOk;
}

class BrowserRepairTest : public ::testing::Test {
 protected:
  BrowserRepairTest() {
    mp.files.SetExecutablePath(kExe);
    form.FormCreate();
  }
  void TickOnly(int row) {
    form.cbSelectAllClick(false);
    form.RowCheckClick(row, true);
  }
  std::vector<std::string> Backups() {
    std::vector<std::string> names;
    FindData data;
    const FindHandle h = mp.files.FindFirst("C:\\Program Files\\Tarnwick\\RepairBackup\\*.reg", &data);
    if (!h) return names;
    do names.push_back(data.name);
    while (mp.files.FindNext(h, &data));
    mp.files.FindClose(h);
    return names;
  }

  MemoryPlatform mp;
  RecordingPrompts prompts;
  RecordingPump pump;
  TBrowserRepairForm form{mp.platform, prompts, pump};
};

// Each item, run alone on a registry holding hijacked values, leaves the value as the item's default (or gone).
TEST_F(BrowserRepairTest, EachItemPutsItsValuesBack) {
  struct Case {
    int row;
    HKey root;
    std::string path, name;
    std::optional<Value> after;  // nullopt: deleted
  };
  const std::string pol = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
  const std::string ieRestr = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
  const std::vector<Case> cases = {
      {0, kLocalMachine, kMachineMain, "start page", Value{kRegSz, Sz("about:blank")}},
      {0, kCurrentUser, kMachineMain, "Window Title", Value{kRegSz, Sz("Microsoft Internet Explorer")}},
      {0, kLocalMachine, kMachineMain, "Default_Search_URL", Value{kRegSz, Sz("")}},
      {1, kLocalMachine, pol + "Explorer", "NoFolderOptions", Value{kRegBinary, kDword0}},
      {1, kUsers, ".DEFAULT\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Pan", "homepage",
       Value{kRegDword, kDword0}},
      {2, kCurrentUser, pol + "System", "DisableRegistryTools", Value{kRegDword, kDword0}},
      {3, kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Search", "SearchAssistant",
       Value{kRegSz, Sz(kSearchAssistantPage)}},
      {4, kCurrentUser, ieRestr, "NoLinksBar", Value{kRegDword, kDword0}},
      {4, kUsers, ".DEFAULT\\Software\\Policies\\Microsoft\\InternetExplorer\\Restrictions", "NoBrowserContextMenu",
       Value{kRegDword, kDword0}},
      {5, kCurrentUser, ieRestr, "NoBrowserContextMenu", Value{kRegDword, kDword0}},
      {6, kCurrentUser, pol + "Explorer", "NoDesktop", Value{kRegDword, kDword0}},
      {7, kCurrentUser, pol + "Explorer", "NoFolderOptions", Value{kRegBinary, kDword0}},
      {7, kCurrentUser, pol + "Explorer", "RestrictRun", Value{kRegDword, kDword0}},
      {8, kUsers, ".DEFAULT\\" + pol + "Explorer", "NoStartBanner", Value{kRegDword, kDword0}},
      {9, kCurrentUser, pol + "System", "NoFileSharingControl", Value{kRegDword, kDword0}},
      {10, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\MenuExt", "&Ad search", std::nullopt},
      {11, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls", "url1", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + c.name);
    MemoryPlatform fresh;
    Put(fresh.registry, c.root, c.path, c.name, kRegDword, kDword1);
    RunBrowserRepairItem(fresh.platform, c.row);
    EXPECT_EQ(Get(fresh.registry, c.root, c.path, c.name), c.after);
  }
}

// The home page repair's run-key cleaning: an entry named after the old start page, else every string command
// holding it; silent registry imports in any case; the "registry.exe" entry and program.
TEST_F(BrowserRepairTest, HomePageRepairCleansTheRunKey) {
  struct Case {
    const char* what;
    std::optional<std::string> startPage;
    std::vector<std::pair<std::string, Value>> run;  // seeded values
    std::vector<std::string> left;                   // names still there after the repair
  };
  const std::vector<Case> cases = {
      {"a value named after the start page goes alone",
       "http://ads.example/",
       {{"http://ads.example/", Value{kRegSz, Sz("x.exe")}}, {"Other", Value{kRegSz, Sz("http://ads.example/")}}},
       {"Other"}},
      {"string commands holding the start page, case counts",
       "about:blank",
       {{"A", Value{kRegSz, Sz("ie.exe about:blank")}},
        {"B", Value{kRegExpandSz, Sz("%x% about:blank")}},
        {"C", Value{kRegBinary, Sz("about:blank")}},
        {"D", Value{kRegSz, Sz("ie.exe ABOUT:BLANK")}}},
       {"C", "D"}},
      {"no start page: the unnamed value, nothing else",
       std::nullopt,
       {{"", Value{kRegSz, Sz("x.exe")}}, {"E", Value{kRegSz, Sz("x.exe")}}},
       {"E"}},
      {"no start page and no unnamed value: nothing matches the empty text", std::nullopt,
       {{"E", Value{kRegSz, Sz("x.exe")}}}, {"E"}},
      {"silent imports in any case",
       "http://home.example/",
       {{"F", Value{kRegSz, Sz("REGEDIT /S C:\\x.reg")}},
        {"G", Value{kRegSz, Sz("regedit -s c:\\y.reg")}},
        {"H", Value{kRegSz, Sz("regedit.exe c:\\y.reg")}}},
       {"H"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPlatform fresh;
    if (c.startPage) Put(fresh.registry, kLocalMachine, kMachineMain, "start page", kRegSz, Sz(*c.startPage));
    for (const auto& [name, value] : c.run) Put(fresh.registry, kLocalMachine, kRun, name, value.type, value.data);
    RunBrowserRepairItem(fresh.platform, 0);
    std::vector<std::string> left;
    for (const auto& [name, value] : c.run)
      if (Get(fresh.registry, kLocalMachine, kRun, name)) left.push_back(name);
    EXPECT_EQ(left, c.left);
  }
  const std::string blankRun = "Software\\Microsoft\\Windows\\Current Version\\Run";
  Put(mp.registry, kLocalMachine, blankRun, "registry.exe", kRegSz, Sz("C:\\Program Files\\registry.exe"));
  Put(mp.registry, kLocalMachine, blankRun, "keep", kRegSz, Sz("y.exe"));
  mp.files.AddFile("C:\\Program Files\\registry.exe", "MZ");
  RunBrowserRepairItem(mp.platform, 0);
  EXPECT_FALSE(Get(mp.registry, kLocalMachine, blankRun, "registry.exe"));
  EXPECT_TRUE(Get(mp.registry, kLocalMachine, blankRun, "keep"));
  EXPECT_EQ(mp.shell.recycled, std::vector<std::string>{"C:\\Program Files\\registry.exe"});
}

TEST_F(BrowserRepairTest, EmptyingKeysKeepsWhatTheItemDoesNotName) {
  const std::string menuExt = "Software\\Microsoft\\Internet Explorer\\MenuExt";
  const std::string ext = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
  Put(mp.registry, kCurrentUser, menuExt, "v", kRegSz, Sz("x"));
  Put(mp.registry, kCurrentUser, menuExt + "\\&Search", "", kRegSz, Sz("res://x"));
  Put(mp.registry, kLocalMachine, ext + "\\{AAAA}", "ButtonText", kRegSz, Sz("x"));
  Put(mp.registry, kLocalMachine, ext + "\\Any Name\\deep", "v", kRegDword, kDword1);
  Put(mp.registry, kLocalMachine, ext, "kept", kRegSz, Sz("y"));
  RunBrowserRepairItem(mp.platform, 10);
  RunBrowserRepairItem(mp.platform, 12);
  EXPECT_FALSE(Get(mp.registry, kCurrentUser, menuExt, "v"));
  EXPECT_TRUE(Get(mp.registry, kCurrentUser, menuExt + "\\&Search", ""));
  EXPECT_FALSE(KeyExists(mp.registry, kLocalMachine, ext + "\\{AAAA}"));
  EXPECT_FALSE(KeyExists(mp.registry, kLocalMachine, ext + "\\Any Name"));
  EXPECT_TRUE(Get(mp.registry, kLocalMachine, ext, "kept"));
  // Emptying opens without creating.
  MemoryPlatform bare;
  RunBrowserRepairItem(bare.platform, 11);
  EXPECT_FALSE(KeyExists(bare.registry, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls"));
}

// "Restore": the question, then a backup of the ticked rows' keys, then the ticked rows with their statuses.
TEST_F(BrowserRepairTest, RestoreAsksBacksUpAndRunsTheTickedRows) {
  const std::string pol = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
  Put(mp.registry, kCurrentUser, pol + "Explorer", "NoDesktop", kRegDword, kDword1);
  Put(mp.registry, kCurrentUser, pol + "System", "DisableRegistryTools", kRegDword, kDword1);

  // No: nothing happens.
  form.DeleteItemBtnClick();
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].text, kBrowserRepairQuestion);
  EXPECT_EQ(prompts.calls[0].title, "Tarnwick");
  EXPECT_EQ(Get(mp.registry, kCurrentUser, pol + "Explorer", "NoDesktop"), (Value{kRegDword, kDword1}));
  EXPECT_TRUE(Backups().empty());

  // Yes with nothing ticked: nothing happens either.
  form.cbSelectAllClick(false);
  prompts.Answer(PromptAnswer::Yes);
  form.DeleteItemBtnClick();
  EXPECT_TRUE(Backups().empty());
  for (const BrowserRepairRow& row : form.Rows()) EXPECT_EQ(row.Status, "");

  // Yes with row 7 ticked: its key is exported before it changes, only that row runs.
  TickOnly(6);
  std::vector<std::string> seenStatuses;
  form.RowsChanged = [&](int row) { seenStatuses.push_back(form.Rows()[static_cast<size_t>(row)].Status); };
  prompts.Answer(PromptAnswer::Yes);
  form.DeleteItemBtnClick();
  EXPECT_EQ(seenStatuses, (std::vector<std::string>{"Repairing", "Completed"}));
  EXPECT_EQ(pump.Count(), kBrowserRepairItemCount);
  EXPECT_EQ(Get(mp.registry, kCurrentUser, pol + "Explorer", "NoDesktop"), (Value{kRegDword, kDword0}));
  EXPECT_EQ(Get(mp.registry, kCurrentUser, pol + "System", "DisableRegistryTools"), (Value{kRegDword, kDword1}));
  ASSERT_EQ(Backups().size(), 1u);
  std::string text;
  ASSERT_TRUE(mp.files.ReadWholeFile(form.LastBackup(), &text));
  const std::string ansi = [&] {
    std::string out;
    for (size_t i = 2; i + 1 < text.size(); i += 2) out += text[i];
    return out;
  }();
  EXPECT_NE(ansi.find("[HKEY_CURRENT_USER\\" + pol + "Explorer]"), std::string::npos);
  EXPECT_NE(ansi.find("\"NoDesktop\"=dword:00000001"), std::string::npos);
  EXPECT_EQ(ansi.find("System]"), std::string::npos);
  for (int i = 0; i < kBrowserRepairItemCount; ++i) EXPECT_EQ(form.Rows()[static_cast<size_t>(i)].Status, i == 6 ? "Completed" : "");
}

TEST_F(BrowserRepairTest, ABackupThatCannotBeWrittenAsksBeforeAnythingChanges) {
  const std::string pol = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  Put(mp.registry, kCurrentUser, pol, "NoDesktop", kRegDword, kDword1);
  mp.files.AddFile("C:\\Program Files\\Tarnwick\\RepairBackup", "a file where the folder belongs");
  TickOnly(6);
  prompts.Answer(PromptAnswer::Yes);  // the question
  form.DeleteItemBtnClick();          // the backup question takes its default, No
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_EQ(prompts.calls[1].defaultAnswer, PromptAnswer::No);
  EXPECT_EQ(Get(mp.registry, kCurrentUser, pol, "NoDesktop"), (Value{kRegDword, kDword1}));
  EXPECT_EQ(form.Rows()[6].Status, "");
  prompts.Answer(PromptAnswer::Yes);
  prompts.Answer(PromptAnswer::Yes);
  form.DeleteItemBtnClick();
  EXPECT_EQ(Get(mp.registry, kCurrentUser, pol, "NoDesktop"), (Value{kRegDword, kDword0}));
}

}  // namespace
}  // namespace tw
