// Seeds the real registry and file system with broken and sound entries for the shared DLL, font,
// help, application path and sound sections, scans and repairs them, and checks the registry after.
#include <gtest/gtest.h>

#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "sections/fixed_key_sections.h"
#include "sections/path_tests.h"
#include "sections/section_contract.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

using test::RecordingPump;
using test::RecordingText;

constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kSounds = "Control Panel\\Sounds";
constexpr const char* kFolder = "C:\\tarnwick-e2e";
constexpr const char* kTag = "tarnwick-e2e";

class FixedKeySectionsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    soundsExisted_ = reg().KeyExists(kSounds);
    helpExisted_ = reg().KeyExists(kHelp);
    files().MakeDirectory(kFolder);
    fontsFolder_ = files().WindowsDir() + "\\Fonts";
    files().MakeDirectory(fontsFolder_);
    ASSERT_TRUE(files().WriteWholeFile(std::string(kFolder) + "\\here.dll", "x"));
    ASSERT_TRUE(files().WriteWholeFile(std::string(kFolder) + "\\zero.dll", "x"));
    ASSERT_TRUE(files().WriteWholeFile(std::string(kFolder) + "\\here.hlp", "x"));
    ASSERT_TRUE(files().WriteWholeFile(std::string(kFolder) + "\\here.exe", "x"));
    ASSERT_TRUE(files().WriteWholeFile(fontsFolder_ + "\\tarnwick-e2e-here.ttf", "x"));

    ASSERT_TRUE(reg().OpenKey(kSharedDlls, true));
    reg().WriteInteger(std::string(kFolder) + "\\gone.dll", 1);
    reg().WriteInteger(std::string(kFolder) + "\\here.dll", 2);
    reg().WriteInteger(std::string(kFolder) + "\\zero.dll", 0);
    reg().WriteInteger(std::string(kFolder) + "\\msoe.dll", 1);
    ASSERT_TRUE(reg().OpenKey(kFonts, true));
    reg().WriteString("Tarnwick E2E Gone (TrueType)", "tarnwick-e2e-gone.ttf");
    reg().WriteString("Tarnwick E2E Here (TrueType)", "tarnwick-e2e-here.ttf");
    ASSERT_TRUE(reg().OpenKey(kHelp, true));
    reg().WriteString("tarnwick-e2e-gone.hlp", kFolder);
    reg().WriteString("here.hlp", std::string(kFolder) + "\\");
    ASSERT_TRUE(reg().OpenKey(std::string(kAppPaths) + "\\tarnwick-e2e-gone.exe", true));
    reg().WriteString("", std::string(kFolder) + "\\gone.exe");
    ASSERT_TRUE(reg().OpenKey(std::string(kAppPaths) + "\\tarnwick-e2e-here.exe", true));
    reg().WriteString("", "here.exe");
    reg().WriteString("Path", kFolder);
    ASSERT_TRUE(reg().OpenKey(kSounds, true));
    reg().WriteString("", "tarnwick-e2e.wav");
    reg().CloseKey();
  }

  void TearDown() override {
    for (const char* name : {"gone.dll", "here.dll", "zero.dll", "msoe.dll"})
      DeleteValueAt(win.platform.registry, "HKEY_LOCAL_MACHINE\\" + std::string(kSharedDlls),
                    std::string(kFolder) + "\\" + name);
    for (const char* name : {"Tarnwick E2E Gone (TrueType)", "Tarnwick E2E Here (TrueType)"})
      DeleteValueAt(win.platform.registry, "HKEY_LOCAL_MACHINE\\" + std::string(kFonts), name);
    if (helpExisted_) {
      for (const char* name : {"tarnwick-e2e-gone.hlp", "here.hlp"})
        DeleteValueAt(win.platform.registry, "HKEY_LOCAL_MACHINE\\" + std::string(kHelp), name);
    } else {
      DeleteKeyAt(win.platform.registry, kLocalMachine, kHelp);
    }
    DeleteKeyAt(win.platform.registry, kLocalMachine, std::string(kAppPaths) + "\\tarnwick-e2e-gone.exe");
    DeleteKeyAt(win.platform.registry, kLocalMachine, std::string(kAppPaths) + "\\tarnwick-e2e-here.exe");
    if (soundsExisted_)
      DeleteValueAt(win.platform.registry, "HKEY_LOCAL_MACHINE\\" + std::string(kSounds), "default");
    else
      DeleteKeyAt(win.platform.registry, kLocalMachine, kSounds);
    for (const char* name : {"here.dll", "zero.dll", "here.hlp", "here.exe"})
      files().RemoveFile(std::string(kFolder) + "\\" + name);
    files().RemoveFile(fontsFolder_ + "\\tarnwick-e2e-here.ttf");
    files().RemoveFolder(kFolder);
  }

  TRegistry& reg() { return machine_; }
  IFiles& files() { return win.platform.files; }

  // Scans a section and keeps the records that name what this test seeded, selected; others unselected.
  std::vector<TContent> ScanSeeded(int section) {
    list.Clear();
    const SectionDef& def = SectionByNumber(section);
    ScanContext ctx{win.platform, state, pump, status, count, list};
    def.scanner(ctx, def.root, def.keyPath ? def.keyPath : "");
    std::vector<TContent> seeded;
    for (auto& item : list) {
      const TContent& c = item.Content;
      const bool ours = c.ValueData.find(kTag) != std::string::npos || c.ValueName.find(kTag) != std::string::npos;
      item.Content.Selected = ours ? 1 : 0;
      if (ours) seeded.push_back(c);
    }
    return seeded;
  }
  std::vector<std::string> Repair(int section) {
    TRepairContents results;
    RepairContext ctx{win.platform, state, pump, repairLabel, results, list};
    SectionByNumber(section).repairer(ctx);
    std::vector<std::string> statuses;
    for (const auto& row : results) statuses.push_back(row.Rec.Status);
    return statuses;
  }
  bool HasValue(const std::string& path, const std::string& name) {
    TRegistry r(win.platform.registry, kLocalMachine);
    return r.OpenKeyReadOnly(path) && r.ValueExists(name);
  }

  Win32Platform win;
  ProcessState state;
  RecordingPump pump;
  RecordingText status, count, repairLabel;
  TRegistryContents list;

 private:
  TRegistry machine_{win.platform.registry, kLocalMachine};
  std::string fontsFolder_;
  bool soundsExisted_ = false;
  bool helpExisted_ = false;
};

TEST_F(FixedKeySectionsE2E, FindsTheBrokenEntriesAndRepairsThem) {
  state.SelectAll = true;
  state.SkippedDrives = BuildSkippedDrives(files());
  const std::string folder = kFolder;

  auto dlls = ScanSeeded(4);
  ASSERT_EQ(dlls.size(), 2u);
  EXPECT_EQ(dlls[0].ValueName, folder + "\\gone.dll");
  EXPECT_EQ(dlls[0].ValueData, "1");
  EXPECT_EQ(dlls[0].Description, " The file (" + folder + "\\gone.dll) does not exist at the specified location");
  EXPECT_EQ(dlls[1].ValueName, folder + "\\zero.dll");
  EXPECT_EQ(dlls[1].ValueData, "0");
  EXPECT_EQ(Repair(4), (std::vector<std::string>{"Repaired Successfully", "Repaired Successfully"}));
  EXPECT_FALSE(HasValue(kSharedDlls, folder + "\\gone.dll"));
  EXPECT_FALSE(HasValue(kSharedDlls, folder + "\\zero.dll"));
  EXPECT_TRUE(HasValue(kSharedDlls, folder + "\\here.dll"));
  EXPECT_TRUE(HasValue(kSharedDlls, folder + "\\msoe.dll"));

  auto fonts = ScanSeeded(5);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].ValueName, "Tarnwick E2E Gone (TrueType)");
  EXPECT_EQ(fonts[0].ValueText, " Value:tarnwick-e2e-gone.ttf");
  EXPECT_EQ(Repair(5), (std::vector<std::string>{"Repaired Successfully"}));
  EXPECT_FALSE(HasValue(kFonts, "Tarnwick E2E Gone (TrueType)"));
  EXPECT_TRUE(HasValue(kFonts, "Tarnwick E2E Here (TrueType)"));

  auto help = ScanSeeded(9);
  ASSERT_EQ(help.size(), 1u);
  EXPECT_EQ(help[0].ValueData, folder + "\\tarnwick-e2e-gone.hlp");
  EXPECT_EQ(help[0].KeyName, "tarnwick-e2e-gone.hlp");
  EXPECT_EQ(Repair(9), (std::vector<std::string>{"Repaired Successfully"}));
  EXPECT_EQ(repairLabel.Text(), "\\" + std::string(kHelp));
  EXPECT_FALSE(HasValue(kHelp, "tarnwick-e2e-gone.hlp"));
  EXPECT_TRUE(HasValue(kHelp, "here.hlp"));

  auto apps = ScanSeeded(10);
  ASSERT_EQ(apps.size(), 1u);
  EXPECT_EQ(apps[0].FullKeyPath, "HKEY_LOCAL_MACHINE\\" + std::string(kAppPaths) + "\\tarnwick-e2e-gone.exe");
  EXPECT_EQ(apps[0].ValueData, folder + "\\gone.exe");
  EXPECT_EQ(Repair(10), (std::vector<std::string>{"Repaired Successfully"}));
  EXPECT_FALSE(reg().KeyExists(std::string(kAppPaths) + "\\tarnwick-e2e-gone.exe"));
  EXPECT_TRUE(reg().KeyExists(std::string(kAppPaths) + "\\tarnwick-e2e-here.exe"));

  auto sounds = ScanSeeded(15);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].ValueData, "tarnwick-e2e.wav");
  EXPECT_EQ(Repair(15), (std::vector<std::string>{"Repaired Successfully"}));
  EXPECT_FALSE(HasValue(kSounds, ""));
  EXPECT_TRUE(reg().KeyExists(kSounds));
}

}  // namespace
}  // namespace tw
