// The options window `TFormOptions` ("Preferences"): start with Windows, three stored settings, the ignore list,
// the version label and the daily scheduled scan. The window holds its controls' state here; "OK" writes it.
#pragma once
#include <string>
#include <vector>

#include "app/prompts.h"
#include "app/settings.h"
#include "options/scheduled_task.h"
#include "platform/platform.h"

namespace tw {

constexpr const char* kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kUnknowableVersion = "Unknowable Version";
constexpr const char* kAutostartFailedText =
    "Tarnwick could not change the programs started with Windows.\r"
    "Administrator rights are needed to change \"Run at windows startup\".";
constexpr const char* kIgnoreSaveFailedText =
    "The ignore list could not be saved, so the entry was not removed.";

enum OptionsPage { kGeneralPage = 0, kIgnorePage = 1, kSchedulingPage = 2 };

struct IgnoreRow {
  std::string Category;
  std::string RegistryKey;
  size_t Line = 0;  // index of the row's own line in the loaded lines
};

class TFormOptions {
 public:
  static constexpr const char* kCaption = "Preferences";

  // `running` is the program's loaded settings, which take the new values on "OK"; `exePath` is the full path of
  // the executable (the autostart value's data, and the folder of the ignore file).
  TFormOptions(Platform& platform, IPrompts& prompts, Settings& running, std::string exePath);

  void FormCreate();
  void FormShow();
  void MainPageControlChange(int page);
  // "OK": writes the autostart value and the settings and applies the scheduled task; true when the window may
  // close (it always may: failures have been told).
  bool BitBtn1Click();
  void BtnCancelClick() {}
  void RemoveSelectBtnClick(int row);

  // The boxes of page 0, set by the view as the user clicks them.
  bool ChkRun = false;
  bool ChkAutoBackup = false;
  bool ChkCheckItem = false;
  bool cbCheckUpdate = false;

  int ActivePage() const { return page_; }
  const std::string& LabelVer() const { return labelVer_; }
  const std::vector<IgnoreRow>& IgnoreRows() const { return rows_; }
  // The "Scheduling" page.
  TScheduledTask& Schedule() { return schedule_; }

 private:
  void FillGeneralPage();
  void FillIgnorePage();
  void FillIgnoreRows();  // one row per non-blank loaded line
  bool WriteAutostart();
  void WriteSettings();
  std::string ExeFileName() const;
  std::string IgnoreFilePath() const;

  Platform& platform_;
  IPrompts& prompts_;
  Settings& running_;
  std::string exePath_;
  int page_ = kGeneralPage;
  std::string labelVer_;
  std::vector<std::string> lines_;
  std::vector<IgnoreRow> rows_;
  TScheduledTask schedule_;
};

}  // namespace tw
