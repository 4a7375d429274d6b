#include "options/update_check.h"

#include <vector>

#include "app/settings.h"
#include "platform/reg_access.h"

namespace tw {

namespace {

constexpr int kShowNormal = 1;
constexpr size_t kMaxPartDigits = 9;  // every part fits an int without overflow
constexpr const char* kUpToDateText =
    "There are no updates available at this time.\rYour Tarnwick is up-to-date.";
constexpr const char* kUpdateQuestion =
    "A newer version of Tarnwick is available, Tarnwick will shut down to install the newer version.\r"
    "Would you like to update now?";

// The numbers of a version text; false when the text is not digits separated by single dots.
bool ParseVersion(const std::string& text, std::vector<int>* parts) {
  parts->clear();
  size_t digits = 0;
  int part = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (++digits > kMaxPartDigits) return false;
      part = part * 10 + (c - '0');
    } else if (c == '.' && digits > 0) {
      parts->push_back(part);
      part = 0;
      digits = 0;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  parts->push_back(part);
  return true;
}

}  // namespace

std::optional<int> CompareVersions(const std::string& a, const std::string& b) {
  std::vector<int> left, right;
  if (!ParseVersion(a, &left) || !ParseVersion(b, &right)) return std::nullopt;
  for (size_t i = 0; i < left.size() || i < right.size(); ++i) {
    const int x = i < left.size() ? left[i] : 0;
    const int y = i < right.size() ? right[i] : 0;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

std::string UpdateAddress(IRegistry& reg) {
  TRegistry r(reg, kCurrentUser);
  std::string address;
  if (r.OpenKeyReadOnly(kSettingsKey)) address = r.ReadString(kUpdateUrlValue);
  return address.empty() ? kBuiltInUpdateUrl : address;
}

TUpdateCheck::TUpdateCheck(Platform& platform, IPrompts& prompts, std::string exeFolder)
    : platform_(platform), prompts_(prompts), exeFolder_(std::move(exeFolder)) {}

UpdateCheckResult TUpdateCheck::Run() {
  const HttpResponse response =
      platform_.http.Get(UpdateAddress(platform_.registry), kUpdateReadTimeoutMs, kUpdateFileLimit);
  if (response.outcome != HttpOutcome::Completed || response.status != 200) return UpdateCheckResult::Failed;
  // The updater reads the same file; a copy that could not be replaced would tell it about an old version.
  const std::string localCopy = exeFolder_ + kUpdateFileName;
  if (!platform_.files.WriteFileAtomically(localCopy, response.body)) return UpdateCheckResult::Failed;

  const std::string remote = platform_.profile.ReadString(localCopy, "Version", "Ver", "");
  TRegistry r(platform_.registry, kCurrentUser);
  const std::string local = r.OpenKey(kSettingsKey, true) ? r.ReadString("Version") : std::string();

  // A running version that is not known (empty) takes any version offered; a remote text that is not a
  // version offers nothing.
  const bool newer = local.empty() ? CompareVersions(remote, "0").has_value()
                                   : CompareVersions(remote, local).value_or(0) > 0;
  return newer ? UpdateCheckResult::UpdateAvailable : UpdateCheckResult::UpToDate;
}

bool TUpdateCheck::AutomaticCheck() { return Check() && AskAndStartUpdater(); }

bool TUpdateCheck::ManualCheck() {
  switch (Run()) {
    case UpdateCheckResult::Failed: return false;
    case UpdateCheckResult::UpToDate:
      prompts_.Tell("Tarnwick", kUpToDateText, PromptIcon::Information);
      return false;
    case UpdateCheckResult::UpdateAvailable: return AskAndStartUpdater();
  }
  return false;
}

bool TUpdateCheck::AskAndStartUpdater() {
  if (prompts_.AskYesNo("Tarnwick", kUpdateQuestion, PromptIcon::Information, PromptAnswer::Yes) != PromptAnswer::Yes)
    return false;
  const std::string updater = exeFolder_ + kUpdaterFileName;
  if (platform_.shell.Execute("open", updater, "", "", kShowNormal)) return true;
  prompts_.Tell("Tarnwick",
                "The updater could not be started:\r" + updater + "\r\rTarnwick keeps running; please download "
                "the newer version from the Tarnwick home page.",
                PromptIcon::Error);
  return false;
}

}  // namespace tw
