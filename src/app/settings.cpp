#include "app/settings.h"

#include "platform/reg_access.h"

namespace tw {

namespace {

// The stored flags: value name, the text written when it is empty or absent, the variable it sets and
// the text rule that turns the variable on.
struct FlagSetting {
  const char* name;
  const char* defaultText;
  bool Settings::*flag;
  bool (*isOn)(const std::string& text);
};

bool IsOne(const std::string& text) { return text == "1"; }
bool IsZeroOrEmpty(const std::string& text) { return text.empty() || text == "0"; }

const FlagSetting kFlags[] = {
    {"NotAutoBackup", "0", &Settings::NotAutoBackup, IsOne},
    {"OneTime", "0", &Settings::OneTimePending, IsZeroOrEmpty},
    {"SelectAll", "1", &Settings::SelectAll, IsOne},
    {"CheckUpdate", "1", &Settings::CheckUpdate, IsOne},
};

std::string OrBuiltIn(const std::string& text, const char* builtIn) { return text.empty() ? builtIn : text; }

}  // namespace

Settings LoadSettings(IRegistry& reg) {
  Settings settings;
  TRegistry r(reg, kCurrentUser);
  if (!r.OpenKey(kSettingsKey, true)) return settings;

  settings.HomePage = OrBuiltIn(r.ReadString("HomePage"), kBuiltInHomePage);
  settings.HelpURL = OrBuiltIn(r.ReadString("HelpURL"), kBuiltInHelpUrl);

  // The variables take the values as found; the defaults written below count from the next start.
  // A value of a non-string type reads as empty text and so is replaced by its default.
  for (const FlagSetting& f : kFlags) settings.*f.flag = f.isOn(r.ReadString(f.name));
  for (const FlagSetting& f : kFlags)
    if (r.ReadString(f.name).empty()) r.WriteString(f.name, f.defaultText);

  r.WriteString("Version", kProgramVersion);
  return settings;
}

bool StoreSetting(IRegistry& reg, const std::string& name, const std::string& value) {
  TRegistry r(reg, kCurrentUser);
  return r.OpenKey(kSettingsKey, true) && r.WriteString(name, value);
}

}  // namespace tw
