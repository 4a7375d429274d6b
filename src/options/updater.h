// The updater "TarnwickUpdate.exe": reads "Update.ini" beside itself; when its section "Version" names a download
// address ("Url"), downloads that installer into the temporary folder and starts it, otherwise opens the home page
// where the newer version can be fetched. Every step is shown, every failure told.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/prompts.h"
#include "platform/platform.h"
#include "sections/scan_context.h"

namespace tw {

constexpr size_t kInstallerLimit = 64u * 1024 * 1024;
constexpr uint32_t kInstallerReadTimeoutMs = 30000;
constexpr const char* kDefaultInstallerName = "TarnwickSetup.exe";

enum class UpdaterOutcome { InstallerStarted, HomePageOpened, Failed };

// The file name the installer at `url` is saved under: the address's last path segment when it is a plain
// ".exe" or ".msi" name, otherwise "TarnwickSetup.exe".
std::string InstallerFileName(const std::string& url);

class TUpdater {
 public:
  // `exeFolder` is the updater's own folder with its trailing backslash; `status` is the line that says what the
  // updater is doing, `pump` keeps its window alive during the download.
  TUpdater(Platform& platform, IPrompts& prompts, ITextTarget& status, IMessagePump& pump, std::string exeFolder);
  UpdaterOutcome Run();

 private:
  UpdaterOutcome OpenHomePage(const std::string& version);
  UpdaterOutcome DownloadAndStart(const std::string& url, const std::string& version);
  UpdaterOutcome Fail(const std::string& text);

  Platform& platform_;
  IPrompts& prompts_;
  ITextTarget& status_;
  IMessagePump& pump_;
  std::string exeFolder_;
};

}  // namespace tw
