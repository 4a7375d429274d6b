#include "optimizer/optimizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_access.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"

namespace tw {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Tarnwick\\RepairBackup\\";

class OptimizerTest : public ::testing::Test {
 protected:
  // "page|Reset:+|..." with each bottom button's caption, "+" enabled or "-" disabled, and "h" when hidden.
  static std::string Summary(const TOptimizeForm& f) {
    std::string text = std::to_string(f.Page());
    for (const OptimizerButton* b : {&f.btnDefault(), &f.btnOneClick(), &f.btnExe(), &f.ReturnBtn(), &f.btnOptimize()})
      text += "|" + b->caption + ":" + (b->enabled ? "+" : "-") + (b->visible ? "" : "h");
    return text;
  }
  template <typename Boxes>
  static std::string Checked(const Boxes& boxes) {
    std::string text;
    for (bool b : boxes) text += b ? '1' : '0';
    return text;
  }
  uint32_t Start(const std::string& service) {
    TRegistry reg(mp.registry, kLocalMachine);
    int32_t value = -1;
    if (!reg.OpenKeyReadOnly("SYSTEM\\CurrentControlSet\\Services\\" + service) || !reg.ReadInteger("Start", &value))
      return 0;
    return static_cast<uint32_t>(value);
  }

  MemoryPlatform mp;
  test::RecordingPrompts prompts;
  test::RecordingPump pump;
};

// The pages and the bottom buttons through every path the handlers allow.
TEST_F(OptimizerTest, PagesAndButtonsFollowTheHandlers) {
  struct Case {
    std::string clicks;  // N Next, B Back, R Reset/Return
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", "1|Reset:+|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"N", "2|Reset:-|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"NN", "3|Reset:-|Fast Optimize:+|Optimize:+|Back:+|Next:+h"},
      {"NNN", "3|Reset:-|Fast Optimize:+|Optimize:+|Back:+|Next:+h"},
      {"NNB", "2|Reset:-|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"NNBB", "1|Reset:+|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"NB", "1|Reset:+|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"B", "1|Reset:+|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"R", "4|Return:+|Fast Optimize:-|Optimize:-h|Back:-|Next:-"},
      {"RN", "4|Return:+|Fast Optimize:-|Optimize:-h|Back:-|Next:-"},
      {"RR", "1|Reset:+|Fast Optimize:+|Optimize:+h|Back:+|Next:+"},
      {"NBR", "4|Return:+|Fast Optimize:-|Optimize:-h|Back:-|Next:-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks);
    TOptimizeForm f(mp.platform, prompts, pump);
    for (char click : c.clicks) {
      if (click == 'N') f.btnOptimizeClick();
      if (click == 'B') f.ReturnBtnClick();
      if (click == 'R') f.btnDefaultClick();
    }
    EXPECT_EQ(Summary(f), c.expected);
  }
}

// Models preset the boxes as the pages are reached: services on leaving page "1", tweaks on reaching page "3".
TEST_F(OptimizerTest, ModelsPresetTheBoxes) {
  struct Case {
    int model;
    std::string services, tweaks;  // after Next, Next, from all boxes checked
  };
  const std::string all22(22, '1'), all27(27, '1');
  const std::vector<Case> cases = {
      {0, all22, all27},
      {1, "1101111110000001000011", "100011010010110000110011000"},
      {4, "0110110000000000110000", "110011010010111111111011100"},
      {6, all22, std::string(27, '0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    TOptimizeForm f(mp.platform, prompts, pump);
    for (int i = 0; i < kServiceBoxCount; ++i) f.ServiceBoxClick(i, true);
    for (int i = 0; i < kTweakCount; ++i) f.TweakBoxClick(i, true);
    f.RGModeClick(c.model);
    EXPECT_EQ(f.MemoText(), ServiceModels()[c.model].description);
    f.btnOptimizeClick();
    f.btnOptimizeClick();
    EXPECT_EQ(Checked(f.ServiceBoxStates()), c.services);
    EXPECT_EQ(Checked(f.TweakBoxStates()), c.tweaks);
  }
}

// Optimize and Fast Optimize: what they switch and write, and what they say.
TEST_F(OptimizerTest, OptimizeRunsSwitchAndReport) {
  for (const char* service : {"WZCSVC", "Spooler", "Eventlog"})
    TRegistry(mp.registry, kLocalMachine).OpenKey(std::string("SYSTEM\\CurrentControlSet\\Services\\") + service, true);
  struct Case {
    std::string name;
    bool fast;
    bool deniedDesktop;
    std::string title, text;
    uint32_t wzcsvc, spooler;
  };
  const std::vector<Case> cases = {
      {"Optimize", false, false, "Hint",
       "system optimization is finished,if you want to recover back\r\nto the previous system setup,please click "
       "Reset.",
       2, 4},
      {"Fast Optimize", true, false, "Tarnwick", "System Optimization Completed", 2, 2},
      {"Fast Optimize, failing", true, true, "Tarnwick",
       "System Optimization Completed, but 3 changes could not be written.", 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.calls.clear();
    mp.registry.DenyAccess(kCurrentUser, "Control Panel\\Desktop", c.deniedDesktop);
    TOptimizeForm f(mp.platform, prompts, pump);
    f.ServiceBoxClick(1, false);  // chk2 and chk5 both drive WZCSVC: the later box wins
    f.ServiceBoxClick(4, true);
    if (c.fast)
      f.btnOneClickClick();
    else
      f.btnExeClick();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].title, c.title);
    EXPECT_EQ(prompts.calls[0].text, c.text);
    EXPECT_EQ(Start("WZCSVC"), c.wzcsvc);
    EXPECT_EQ(Start("Spooler"), c.spooler);
    EXPECT_TRUE(mp.files.FileExists(f.RestorePointPath()));
    EXPECT_EQ(mp.profile.SectionNames(f.RestorePointPath()).size(), c.fast ? 12u : 1u);
  }
}

// The restore-point page: which files are listed, and Restore and Delete Item with their messages.
TEST_F(OptimizerTest, RestorePointPageListsRestoresAndDeletes) {
  mp.files.AddFile(std::string(kFolder) + "notes.ini", "[Disable Recent File]\r\nF1=0\r\n");
  mp.files.AddFile(std::string(kFolder) + "SPEEDRESTORE20260101_000000.ini", "[Disable Recent File]\r\nF1=0\r\n");
  mp.files.AddFile(std::string(kFolder) + "speedRestore20260102_000000.ini", "junk");
  mp.files.AddFile(std::string(kFolder) + "speedRestore20260103_000000.txt", "");
  struct Case {
    std::string name;
    int row;
    bool removeFirst;
    bool remove;
    std::string text;  // the one message, "" for none
  };
  const std::vector<Case> cases = {
      {"no row", -1, false, false, "You have to choose options from the list at first"},
      {"restore", 0, false, false, "Reset successful!"},
      {"nothing to restore", 1, false, false, "Nothing could be restored from this restore point."},
      {"file gone", 0, true, false, ""},
      {"delete without row", -1, false, true, "You have to choose options from the list at first"},
      {"delete", 1, false, true, "Deletion Completed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.calls.clear();
    TOptimizeForm f(mp.platform, prompts, pump);
    f.btnDefaultClick();
    ASSERT_EQ(f.RestorePoints().size(), 2u);
    EXPECT_EQ(f.RestorePoints()[0].caption, "SPEEDRESTORE20260101_000000.ini");
    EXPECT_EQ(f.RestorePoints()[1].path, std::string(kFolder) + "speedRestore20260102_000000.ini");
    f.ListView1Select(c.row);
    if (c.removeFirst) mp.files.RemoveFile(f.RestorePoints()[0].path);
    if (c.remove)
      f.btndeleteClick();
    else
      f.BtnRestoreClick();
    EXPECT_EQ(prompts.calls.empty() ? "" : prompts.calls[0].text, c.text);
    for (const auto& call : prompts.calls) EXPECT_EQ(call.title, "Hint");
    EXPECT_EQ(f.Page(), c.remove && c.row >= 0 ? 1 : 4);
    EXPECT_EQ(f.RestorePoints().size(), 2u);
    if (c.removeFirst) mp.files.AddFile(std::string(kFolder) + "SPEEDRESTORE20260101_000000.ini", "");
    EXPECT_EQ(mp.files.FileExists(f.RestorePoints()[1].path), !(c.remove && c.row >= 0));
  }
}

}  // namespace
}  // namespace tw
