#include "options/options_form.h"

#include "app/ignore_list.h"
#include "platform/reg_access.h"
#include "sections/text_ops.h"

namespace tw {

namespace {

// The rows of the ignore page: the category is the text before the first "|"; the "category|" fields at the start
// of the line are taken off (a key path that ends in the category's name keeps it), and the registry key is what
// then stands before the next "|" (the whole rest when there is none).
IgnoreRow RowOfLine(const std::string& line, size_t index) {
  IgnoreRow row;
  row.Line = index;
  const size_t bar = line.find('|');
  if (bar == std::string::npos) {
    row.RegistryKey = line;
    return row;
  }
  row.Category = line.substr(0, bar);
  std::string rest = line;
  const std::string marker = row.Category + "|";
  while (rest.compare(0, marker.size(), marker) == 0) rest.erase(0, marker.size());
  row.RegistryKey = rest.substr(0, rest.find('|'));
  return row;
}

}  // namespace

TFormOptions::TFormOptions(Platform& platform, IPrompts& prompts, Settings& running, std::string exePath)
    : platform_(platform),
      prompts_(prompts),
      running_(running),
      exePath_(std::move(exePath)),
      schedule_(platform, prompts, exePath_) {}

// Without a Task Scheduler the "Scheduling" page stays disabled and the rest of the window works.
void TFormOptions::FormCreate() {
  schedule_.Connect();
  lines_.clear();
  rows_.clear();
  page_ = kGeneralPage;
}

void TFormOptions::FormShow() {
  FillGeneralPage();
  FillIgnorePage();
  if (schedule_.Available()) schedule_.FillPage();
}

void TFormOptions::MainPageControlChange(int page) {
  page_ = page;
  if (page == kGeneralPage) FillGeneralPage();
  if (page == kIgnorePage) FillIgnorePage();
  if (page == kSchedulingPage && schedule_.Available()) schedule_.FillPage();
}

std::string TFormOptions::ExeFileName() const { return FileNamePart(exePath_); }

std::string TFormOptions::IgnoreFilePath() const {
  return exePath_.substr(0, exePath_.size() - ExeFileName().size()) + kIgnoreFileName;
}

void TFormOptions::FillGeneralPage() {
  TRegistry run(platform_.registry, kLocalMachine);
  if (run.OpenKeyReadOnly(kRunKey)) ChkRun = !exePath_.empty() && run.ReadString(ExeFileName()) == exePath_;

  std::string version;
  TRegistry settings(platform_.registry, kCurrentUser);
  if (settings.OpenKeyReadOnly(kSettingsKey)) {
    ChkAutoBackup = settings.ReadString("NotAutoBackup") == "1";
    ChkCheckItem = settings.ReadString("SelectAll") == "1";
    cbCheckUpdate = settings.ReadString("CheckUpdate") == "1";
    version = TrimText(settings.ReadString("Version")).empty() ? kProgramVersion : settings.ReadString("Version");
  }

  FindData found;
  const FindHandle search = platform_.files.FindFirst(exePath_, &found);
  if (search == 0) {
    labelVer_ = kUnknowableVersion;
    return;
  }
  platform_.files.FindClose(search);
  labelVer_ = "Version: " + version + ", Last Time: " +
              platform_.system.FormatDateTime(platform_.system.FileTimeToLocal(found.writeTime));
}

void TFormOptions::FillIgnorePage() {
  lines_.clear();
  rows_.clear();
  std::string contents;
  const std::string path = IgnoreFilePath();
  if (!platform_.files.FileExists(path) || !platform_.files.ReadWholeFile(path, &contents)) return;
  // Lines end at LF, CR LF or a lone CR, as the file's own writers and editors may leave them.
  size_t start = 0;
  while (start < contents.size()) {
    const size_t end = contents.find_first_of("\r\n", start);
    lines_.push_back(contents.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + (contents.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  FillIgnoreRows();
}

void TFormOptions::FillIgnoreRows() {
  rows_.clear();
  for (size_t i = 0; i < lines_.size(); ++i)
    if (!TrimText(lines_[i]).empty()) rows_.push_back(RowOfLine(lines_[i], i));
}

void TFormOptions::RemoveSelectBtnClick(int row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  std::vector<std::string> kept = lines_;
  kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(rows_[static_cast<size_t>(row)].Line));
  std::string contents;
  for (const std::string& line : kept) contents += line + "\r\n";
  // The file is replaced whole or not at all: a failed write keeps every entry, and the page shows the file.
  if (!platform_.files.WriteFileAtomically(IgnoreFilePath(), contents)) {
    prompts_.Tell("Tarnwick", kIgnoreSaveFailedText, PromptIcon::Warning);
    FillIgnorePage();
    return;
  }
  lines_ = std::move(kept);
  FillIgnoreRows();
}

bool TFormOptions::WriteAutostart() {
  TRegistry run(platform_.registry, kLocalMachine);
  if (!run.OpenKey(kRunKey, true)) return false;
  const std::string name = ExeFileName();
  if (ChkRun) return run.WriteString(name, exePath_);
  return !run.ValueExists(name) || run.DeleteValue(name);
}

void TFormOptions::WriteSettings() {
  TRegistry settings(platform_.registry, kCurrentUser);
  if (!settings.OpenKey(kSettingsKey, true)) return;
  settings.WriteString("NotAutoBackup", ChkAutoBackup ? "1" : "0");
  settings.WriteString("SelectAll", ChkCheckItem ? "1" : "0");
  settings.WriteString("CheckUpdate", cbCheckUpdate ? "1" : "0");
  running_.NotAutoBackup = ChkAutoBackup;
  running_.SelectAll = ChkCheckItem;
  running_.CheckUpdate = cbCheckUpdate;
}

bool TFormOptions::BitBtn1Click() {
  if (!WriteAutostart()) prompts_.Tell("Tarnwick", kAutostartFailedText, PromptIcon::Warning);
  WriteSettings();
  if (schedule_.Available()) schedule_.Apply();
  return true;
}

}  // namespace tw
