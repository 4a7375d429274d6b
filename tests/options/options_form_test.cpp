#include "options/options_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_prompts.h"

namespace tw {
namespace {

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\tarnwick.exe";
constexpr const char* kIgnoreFile = "C:\\Program Files\\Tarnwick\\TarnwickIgnores.dat";

class OptionsFormTest : public ::testing::Test {
 protected:
  OptionsFormTest() { Write(kLocalMachine, kRunKey, "Other", "other.exe"); }
  std::string Read(HKey root, const char* key, const std::string& name) {
    TRegistry r(m.registry, root);
    return r.OpenKeyReadOnly(key) ? r.ReadString(name) : "<no key>";
  }
  void Write(HKey root, const char* key, const std::string& name, const std::string& value) {
    TRegistry r(m.registry, root);
    ASSERT_TRUE(r.OpenKey(key, true));
    ASSERT_TRUE(r.WriteString(name, value));
  }

  MemoryPlatform m;
  test::RecordingPrompts prompts;
  Settings running;
  TFormOptions form{m.platform, prompts, running, kExe};
};

TEST_F(OptionsFormTest, GeneralPageReadsAndWritesAutostartAndSettings) {
  struct Case {
    const char* name;
    const char* runData;  // nullptr: no Run value
    bool settingsKey;
    bool exeThere;
    bool wantRun;
    const char* wantLabel;
  };
  const Case cases[] = {
      {"our path", kExe, true, true, true, "Version: 3.0, Last Time: 3/14/2008 3:09:26 PM"},
      {"moved program", "D:\\Old\\tarnwick.exe", true, true, false, "Version: 3.0, Last Time: 3/14/2008 3:09:26 PM"},
      {"path differs in case", "c:\\program files\\tarnwick\\tarnwick.exe", true, true, false, nullptr},
      {"no settings key", nullptr, false, true, false, "Version: , Last Time: 3/14/2008 3:09:26 PM"},
      {"executable gone", nullptr, true, false, false, "Unknowable Version"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryPlatform fresh;
    fresh.files.SetTimes(kExe, 0, 0, 128499809660000000ull);  // 2008-03-14 15:09:26
    if (!c.exeThere) fresh.files.RemoveFile(kExe);
    if (c.runData) {
      TRegistry r(fresh.registry, kLocalMachine);
      ASSERT_TRUE(r.OpenKey(kRunKey, true) && r.WriteString("tarnwick.exe", c.runData));
    }
    if (c.settingsKey) {
      TRegistry r(fresh.registry, kCurrentUser);
      ASSERT_TRUE(r.OpenKey(kSettingsKey, true) && r.WriteString("SelectAll", "1") && r.WriteString("Version", " "));
    }
    Settings settings;
    TFormOptions options(fresh.platform, prompts, settings, kExe);
    options.FormCreate();
    options.FormShow();
    EXPECT_EQ(options.ChkRun, c.wantRun);
    EXPECT_EQ(options.ChkCheckItem, c.settingsKey);
    EXPECT_FALSE(options.ChkAutoBackup);
    if (c.wantLabel) {
      EXPECT_EQ(options.LabelVer(), c.wantLabel);
    }

    // OK with the boxes as shown keeps the state; a foreign Run value under our name goes when the box is unticked.
    options.cbCheckUpdate = true;
    EXPECT_TRUE(options.BitBtn1Click());
    TRegistry run(fresh.registry, kLocalMachine);
    ASSERT_TRUE(run.OpenKeyReadOnly(kRunKey));
    EXPECT_EQ(run.ValueExists("tarnwick.exe"), c.wantRun);
    EXPECT_TRUE(settings.CheckUpdate);
    EXPECT_EQ(settings.SelectAll, c.settingsKey);
  }
}

TEST_F(OptionsFormTest, OkTakesEffectAtOnceAndPageZeroDropsUnsavedTicks) {
  Write(kCurrentUser, kSettingsKey, "NotAutoBackup", "0");
  form.FormCreate();
  form.FormShow();
  form.ChkRun = true;
  form.ChkAutoBackup = true;
  form.MainPageControlChange(kIgnorePage);
  form.MainPageControlChange(kGeneralPage);
  EXPECT_FALSE(form.ChkRun);
  EXPECT_FALSE(form.ChkAutoBackup);

  form.ChkRun = true;
  form.ChkAutoBackup = true;
  form.ChkCheckItem = false;
  EXPECT_TRUE(form.BitBtn1Click());
  EXPECT_EQ(Read(kLocalMachine, kRunKey, "tarnwick.exe"), kExe);
  EXPECT_EQ(Read(kCurrentUser, kSettingsKey, "NotAutoBackup"), "1");
  EXPECT_EQ(Read(kCurrentUser, kSettingsKey, "SelectAll"), "0");
  EXPECT_TRUE(running.NotAutoBackup);

  // Reopened, the window shows what was saved.
  TFormOptions again(m.platform, prompts, running, kExe);
  again.FormCreate();
  again.FormShow();
  EXPECT_TRUE(again.ChkRun);
  EXPECT_TRUE(again.ChkAutoBackup);
  EXPECT_FALSE(again.ChkCheckItem);
  EXPECT_TRUE(prompts.calls.empty());

  // Without rights to the machine's Run key the user is told; the settings are written all the same.
  m.registry.DenyAccess(kLocalMachine, kRunKey);
  again.ChkRun = false;
  again.ChkAutoBackup = false;
  EXPECT_TRUE(again.BitBtn1Click());
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].text, kAutostartFailedText);
  EXPECT_FALSE(running.NotAutoBackup);
}

TEST_F(OptionsFormTest, IgnorePageShowsOneRowPerLineAndRemovesExactlyThatLine) {
  const std::string longKey = "HKEY_CURRENT_USER\\" + std::string(5000, 'k');
  m.files.AddFile(kIgnoreFile,
                  "Fonts|HKEY_LOCAL_MACHINE\\Fonts|Arial\r\n"
                  "\r\n"
                  "   \r\n"
                  "no bar at all\r\n"
                  "Fonts|HKEY_LOCAL_MACHINE\\Fonts|Arial\r\n"
                  "Help|" + longKey + "|x\n"
                  "Sound|Sound|HKEY_CURRENT_USER\\AppEvents|");
  form.FormCreate();
  form.FormShow();
  struct Want { std::string category, key; };
  const std::vector<Want> want = {{"Fonts", "HKEY_LOCAL_MACHINE\\Fonts"}, {"", "no bar at all"},
                                  {"Fonts", "HKEY_LOCAL_MACHINE\\Fonts"}, {"Help", longKey},
                                  {"Sound", "HKEY_CURRENT_USER\\AppEvents"}};
  ASSERT_EQ(form.IgnoreRows().size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(form.IgnoreRows()[i].Category, want[i].category) << i;
    EXPECT_EQ(form.IgnoreRows()[i].RegistryKey, want[i].key) << i;
  }

  // The second of two equal lines goes, and only it; blank lines stay where they were.
  form.RemoveSelectBtnClick(2);
  std::string contents;
  ASSERT_TRUE(m.files.ReadWholeFile(kIgnoreFile, &contents));
  EXPECT_EQ(contents, "Fonts|HKEY_LOCAL_MACHINE\\Fonts|Arial\r\n\r\n   \r\nno bar at all\r\nHelp|" + longKey +
                          "|x\r\nSound|Sound|HKEY_CURRENT_USER\\AppEvents|\r\n");
  EXPECT_EQ(form.IgnoreRows().size(), 4u);
  EXPECT_EQ(form.IgnoreRows()[2].Category, "Help");

  // A file that cannot be written keeps every entry, and the user is told.
  m.files.SetWritesFail(kIgnoreFile, true);
  form.RemoveSelectBtnClick(0);
  std::string after;
  ASSERT_TRUE(m.files.ReadWholeFile(kIgnoreFile, &after));
  EXPECT_EQ(after, contents);
  EXPECT_EQ(form.IgnoreRows().size(), 4u);
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].text, kIgnoreSaveFailedText);
  form.RemoveSelectBtnClick(-1);
  form.RemoveSelectBtnClick(9);
  EXPECT_EQ(form.IgnoreRows().size(), 4u);
}

}  // namespace
}  // namespace tw
