#include "options/updater.h"

#include <cctype>

#include "app/settings.h"
#include "options/update_check.h"
#include "platform/reg_access.h"

namespace tw {

namespace {

constexpr const char* kTitle = "Tarnwick";
constexpr int kShowNormal = 1;

bool IsWebAddress(const std::string& url) {
  auto startsWith = [&](const char* prefix) {
    const std::string p(prefix);
    if (url.size() <= p.size()) return false;
    for (size_t i = 0; i < p.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(url[i])) != p[i]) return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
  return true;
}

std::string HomePage(IRegistry& reg) {
  TRegistry r(reg, kCurrentUser);
  std::string page;
  if (r.OpenKeyReadOnly(kSettingsKey)) page = r.ReadString("HomePage");
  return page.empty() ? kBuiltInHomePage : page;
}

std::string WhyDownloadFailed(const HttpResponse& response) {
  switch (response.outcome) {
    case HttpOutcome::CouldNotConnect: return "The server could not be reached.";
    case HttpOutcome::TimedOut: return "The server stopped answering.";
    case HttpOutcome::TooLarge: return "The download is larger than 64 MB.";
    case HttpOutcome::Interrupted: return "The connection broke off before the download was complete.";
    case HttpOutcome::Completed: break;
  }
  if (response.status != 200) return "The server answered with HTTP status " + std::to_string(response.status) + ".";
  return "The server sent an empty file.";
}

}  // namespace

std::string InstallerFileName(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? std::string() : path.substr(slash + 1);
  bool plain = !name.empty() && name.size() <= 64 && name[0] != '.';
  for (char c : name)
    plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_');
  return plain && (EndsWithNoCase(name, ".exe") || EndsWithNoCase(name, ".msi")) ? name : kDefaultInstallerName;
}

TUpdater::TUpdater(Platform& platform, IPrompts& prompts, ITextTarget& status, IMessagePump& pump,
                   std::string exeFolder)
    : platform_(platform), prompts_(prompts), status_(status), pump_(pump), exeFolder_(std::move(exeFolder)) {}

UpdaterOutcome TUpdater::Run() {
  const std::string updateFile = exeFolder_ + kUpdateFileName;
  status_.SetText("Reading " + updateFile);
  pump_.ProcessMessages();
  if (!platform_.files.FileExists(updateFile))
    return Fail("The update file\r" + updateFile +
                "\rwas not found. Please check for updates in Tarnwick (\"Update on line\") first.");
  const std::string version = platform_.profile.ReadString(updateFile, "Version", "Ver", "");
  const std::string url = platform_.profile.ReadString(updateFile, "Version", "Url", "");
  if (url.empty()) return OpenHomePage(version);
  if (!IsWebAddress(url))
    return Fail("The update file names no web address to download from:\r" + url);
  return DownloadAndStart(url, version);
}

UpdaterOutcome TUpdater::OpenHomePage(const std::string& version) {
  const std::string page = HomePage(platform_.registry);
  const std::string which = version.empty() ? "The newer version of Tarnwick" : "Tarnwick " + version;
  status_.SetText("Opening " + page);
  prompts_.Tell(kTitle, which + " can be downloaded from the Tarnwick home page, which opens now:\r" + page,
                PromptIcon::Information);
  if (!platform_.shell.Execute("open", page, "", "", kShowNormal))
    return Fail("The Tarnwick home page could not be opened:\r" + page);
  return UpdaterOutcome::HomePageOpened;
}

UpdaterOutcome TUpdater::DownloadAndStart(const std::string& url, const std::string& version) {
  const std::string which = version.empty() ? "the newer version of Tarnwick" : "Tarnwick " + version;
  const std::string heading = "Downloading " + which + " from\r" + url;
  status_.SetText(heading);
  pump_.ProcessMessages();
  const HttpResponse response =
      platform_.http.Get(url, kInstallerReadTimeoutMs, kInstallerLimit, [&](uint64_t received) {
        status_.SetText(heading + "\r" + std::to_string(received / 1024) + " KB received");
        pump_.ProcessMessages();
      });
  if (response.outcome != HttpOutcome::Completed || response.status != 200 || response.body.empty())
    return Fail("The newer version could not be downloaded from\r" + url + "\r\r" + WhyDownloadFailed(response));

  const std::string installer = platform_.files.TempDir() + InstallerFileName(url);
  status_.SetText("Saving " + installer);
  pump_.ProcessMessages();
  if (!platform_.files.WriteFileAtomically(installer, response.body))
    return Fail("The downloaded installer could not be saved as\r" + installer);
  status_.SetText("Starting " + installer);
  pump_.ProcessMessages();
  if (!platform_.shell.Execute("open", installer, "", "", kShowNormal))
    return Fail("The downloaded installer could not be started:\r" + installer);
  return UpdaterOutcome::InstallerStarted;
}

UpdaterOutcome TUpdater::Fail(const std::string& text) {
  status_.SetText(text);
  prompts_.Tell(kTitle, text, PromptIcon::Error);
  return UpdaterOutcome::Failed;
}

}  // namespace tw
