#include "backup/backup_catalogue.h"

#include <cstdio>

#include "app/scan_driver.h"
#include "backup/backup_check.h"
#include "backup/export_reader.h"

namespace tw {

namespace {

// How long one wait for the registry editor lasts before the window is pumped again.
constexpr uint32_t kWaitSliceMs = 20;
// How many names "_2", "_3", ... are tried before a full backup gives up.
constexpr int kMaxNameTries = 1000;
// Enough of a file's start to hold the first line of an export in either encoding.
constexpr size_t kHeaderProbeBytes = 512;

std::string WithText(const char* format, const std::string& text) {
  std::string out = format;
  const size_t at = out.find("%s");
  return at == std::string::npos ? out : out.replace(at, 2, text);
}

bool EndsWithReg(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".reg";
}

std::string TimeStamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year % 10000, t.month % 100, t.day % 100,
                t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

}  // namespace

std::string FormatBackupTime(const LocalTime& time) {
  static const char* const kMonths[12] = {"Jan.", "Feb.", "Mar.",  "Apr.", "May.", "June.",
                                          "July.", "Aug.", "Sept.", "Oct.", "Nov.", "Dec."};
  const char* month = time.month >= 1 && time.month <= 12 ? kMonths[time.month - 1] : "";
  char text[96];
  std::snprintf(text, sizeof text, "%s %d, %d %d:%d:%d %s", month, time.day, time.year, time.hour % 12, time.minute,
                time.second, time.hour < 12 ? "AM" : "PM");
  return text;
}

bool RunRegistryEditor(Platform& platform, IMessagePump& pump, const std::string& parameters, const bool& abort) {
  const ProgramHandle editor = platform.shell.StartHidden("Regedit", parameters);
  if (!editor) return false;
  bool ended = false;
  while (!abort && !(ended = platform.shell.ProgramEnded(editor, kWaitSliceMs))) pump.ProcessMessages();
  platform.shell.CloseProgram(editor);
  return ended;
}

FullBackupResult StartFullBackup(Platform& platform, IMessagePump& pump, const bool& abort) {
  IFiles& files = platform.files;
  const std::string folder = ExecutableFolder(files) + kFullBackupFolder;
  if (!files.DirectoryExists(folder)) files.MakeDirectory(folder);
  const std::string stem = folder + "\\Backup_" + TimeStamp(platform.system.Now());
  FullBackupResult result{stem + ".reg", false};
  // A second backup in the same second gets its own name instead of overwriting the first.
  for (int n = 2; files.Attributes(result.path) != kInvalidAttributes; ++n) {
    if (n > kMaxNameTries) return result;
    result.path = stem + "_" + std::to_string(n) + ".reg";
  }
  if (!RunRegistryEditor(platform, pump, "/E \"" + result.path + "\"", abort)) return result;
  FindData data;
  const FindHandle found = files.FindFirst(result.path, &data);
  if (found) {
    files.FindClose(found);
    result.created = !(data.attributes & kAttrDirectory) && data.size > 0;
  }
  return result;
}

TBackupList::TBackupList(Platform& platform, IPrompts& prompts, IMessagePump& pump, const char* folderName,
                         bool partial)
    : platform_(platform), prompts_(prompts), pump_(pump), folderName_(folderName), partial_(partial) {}

std::string TBackupList::Folder() const { return ExecutableFolder(platform_.files) + folderName_ + "\\"; }

void TBackupList::Load() {
  rows_.clear();
  selected_ = -1;
  IFiles& files = platform_.files;
  const std::string folder = Folder();
  FindData data;
  const FindHandle search = files.FindFirst(folder + "*.reg", &data);
  if (!search) return;
  do {
    // Folders named like a backup, and names the pattern matched only through their short form, are no backups.
    if ((data.attributes & kAttrDirectory) || !EndsWithReg(data.name)) continue;
    std::string caption = FormatBackupTime(platform_.system.FileTimeToLocal(data.creationTime));
    if (partial_) caption += kPartialSuffix;
    rows_.push_back({caption, folder + data.name});
  } while (files.FindNext(search, &data));
  files.FindClose(search);
}

void TBackupList::AddRow(const std::string& path) {
  FindData data;
  const FindHandle found = platform_.files.FindFirst(path, &data);
  if (!found) return;
  platform_.files.FindClose(found);
  std::string caption = FormatBackupTime(platform_.system.FileTimeToLocal(data.creationTime));
  if (partial_) caption += kPartialSuffix;
  rows_.push_back({caption, path});
}

void TBackupList::RestoreRegistryBtnClick() {
  if (busy_) return;
  if (selected_ < 0) {
    prompts_.Tell(kBackupTitle, kNoRowSelectedText, PromptIcon::None);
    return;
  }
  if (prompts_.AskYesNo(kBackupTitle, kAskRestoreText, PromptIcon::Information, PromptAnswer::Yes) !=
      PromptAnswer::Yes)
    return;
  const std::string path = rows_[static_cast<size_t>(selected_)].Path;
  busy_ = true;
  const RestoreResult result = RestoreBackupFile(platform_, pump_, path, abort_);
  busy_ = false;
  switch (result.outcome) {
    case RestoreOutcome::Restored:
      prompts_.Tell(kBackupTitle, kRestoredText, PromptIcon::None);
      break;
    case RestoreOutcome::FileGone:
      prompts_.Tell(kBackupTitle, WithText(kRestoreFileGoneText, path), PromptIcon::Warning);
      break;
    case RestoreOutcome::EditorNotStarted:
      prompts_.Tell(kBackupTitle, WithText(kEditorNotStartedText, path), PromptIcon::Error);
      break;
    case RestoreOutcome::NotAnExport:
      prompts_.Tell(kBackupTitle, WithText(kNotAnExportText, path), PromptIcon::Warning);
      break;
    case RestoreOutcome::Incomplete: {
      char counts[160];
      std::snprintf(counts, sizeof counts, kNotRestoredText, result.check.keysMissing, result.check.valuesMissing, "%s");
      prompts_.Tell(kBackupTitle, WithText(counts, path), PromptIcon::Error);
      break;
    }
    case RestoreOutcome::Aborted:
      break;
  }
}

RestoreResult RestoreBackupFile(Platform& platform, IMessagePump& pump, const std::string& path, const bool& abort) {
  RestoreResult result;
  if (!platform.files.FileExists(path)) return result;
  // Only a registry export goes to the registry editor: its header stands in the first line, so a short prefix of
  // the file tells.
  std::string bytes;
  if (!platform.files.ReadWholeFile(path, &bytes) ||
      ReadRegFile(bytes.substr(0, kHeaderProbeBytes), nullptr, [](RegFileKey&&) {}).header == RegHeader::None) {
    result.outcome = RestoreOutcome::NotAnExport;
    return result;
  }
  if (!RunRegistryEditor(platform, pump, "/s \"" + path + "\"", abort)) {
    result.outcome = abort ? RestoreOutcome::Aborted : RestoreOutcome::EditorNotStarted;
    return result;
  }
  int keys = 0;
  result.check = CheckRestored(platform, path, [&pump, &keys] {
    if (++keys % 64 == 0) pump.ProcessMessages();
  });
  if (abort) result.outcome = RestoreOutcome::Aborted;
  else if (!result.check.readable) result.outcome = RestoreOutcome::NotAnExport;
  else if (result.check.keysMissing || result.check.valuesMissing) result.outcome = RestoreOutcome::Incomplete;
  else result.outcome = RestoreOutcome::Restored;
  return result;
}

void TBackupList::RemoveBackupBtnClick() {
  if (busy_) return;
  if (selected_ < 0) {
    prompts_.Tell(kBackupTitle, kNoRowSelectedText, PromptIcon::None);
    return;
  }
  if (prompts_.AskYesNo(kBackupTitle, kAskRemoveText, PromptIcon::Warning, PromptAnswer::Yes) != PromptAnswer::Yes)
    return;
  const std::string path = rows_[static_cast<size_t>(selected_)].Path;
  if (!platform_.files.FileExists(path)) return;
  if (!platform_.files.RemoveFile(path)) {
    prompts_.Tell(kBackupTitle, kRemoveFailedText, PromptIcon::Warning);
    return;
  }
  rows_.erase(rows_.begin() + selected_);
  selected_ = -1;
  prompts_.Tell(kBackupTitle, kRemovedText, PromptIcon::None);
}

TRegBackupForm::TRegBackupForm(Platform& platform, IPrompts& prompts, IMessagePump& pump, IRegBackupFormView& view)
    : platform_(platform),
      prompts_(prompts),
      pump_(pump),
      view_(view),
      list_(platform, prompts, pump, kFullBackupFolder, false) {}

void TRegBackupForm::FormShow() {
  list_.Load();
  view_.RowsChanged();
}

void TRegBackupForm::BackupRegistryBtnClick() {
  if (Busy()) return;
  backingUp_ = true;
  view_.ShowHint(kBackupHintText);
  const FullBackupResult backup = StartFullBackup(platform_, pump_, list_.Aborted());
  view_.CloseHint();
  backingUp_ = false;
  if (list_.Aborted()) return;
  if (backup.created) {
    list_.AddRow(backup.path);
    view_.RowsChanged();
    prompts_.Tell(kBackupTitle, kFullBackupCreatedText, PromptIcon::None);
  } else {
    prompts_.Tell(kBackupTitle, kFullBackupFailedText, PromptIcon::Warning);
  }
}

void TRegBackupForm::RestoreRegistryBtnClick() {
  if (!Busy()) list_.RestoreRegistryBtnClick();
}

void TRegBackupForm::RemoveBackupBtnClick() {
  if (Busy()) return;
  list_.RemoveBackupBtnClick();
  view_.RowsChanged();
}

void TRegBackupForm::CloseBtnClick() {
  if (!Busy()) view_.Close();
}

TFirstFullBackupDialog::TFirstFullBackupDialog(Platform& platform, IMessagePump& pump, IFirstFullBackupView& view)
    : platform_(platform), pump_(pump), view_(view) {}

void TFirstFullBackupDialog::OKButtonClick() {
  if (running_) return;
  if (buttonCaption_ != kBackupNowCaption) {
    view_.Close();
    return;
  }
  message_ = kBackupInProcessText;
  messageVisible_ = true;
  running_ = true;
  view_.Repaint();
  const FullBackupResult backup = StartFullBackup(platform_, pump_, abort_);
  running_ = false;
  message_ = backup.created ? kBackupCompleteMessage : kFullBackupFailedText;
  buttonCaption_ = "OK";
  view_.Repaint();
}

}  // namespace tw
