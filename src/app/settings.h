// The settings store under HKEY_CURRENT_USER\Software\Tarnwick.
#pragma once
#include <string>

#include "platform/registry.h"

namespace tw {

constexpr const char* kSettingsKey = "\\Software\\Tarnwick";
constexpr const char* kProgramVersion = "3.0";
// The addresses used when "HomePage" or "HelpURL" is empty or absent.
constexpr const char* kBuiltInHomePage = "http://www.tarnwick.com/";
constexpr const char* kBuiltInHelpUrl = "http://www.tarnwick.com/help/";
// Where the update check fetches "Update.ini", unless the settings key holds a string value "UpdateURL".
constexpr const char* kBuiltInUpdateUrl = "http://www.tarnwick.com/update/Update.ini";
constexpr const char* kUpdateUrlValue = "UpdateURL";

struct Settings {
  std::string HomePage;
  std::string HelpURL;
  bool NotAutoBackup = false;
  bool OneTimePending = false;  // the one-time full-backup offer is still to be made
  bool SelectAll = false;
  bool CheckUpdate = false;
};

// Loads the settings, then writes the defaults of absent values and the version.
Settings LoadSettings(IRegistry& reg);
// Writes one stored value ("NotAutoBackup", "OneTime", ...) as a string.
bool StoreSetting(IRegistry& reg, const std::string& name, const std::string& value);

}  // namespace tw
