#include "tools/disk_cleaner.h"

#include "app/main_window.h"
#include "app/scan_driver.h"

namespace tw {

namespace {

// The flags of the Recycle Bin and the move: no error dialog, undo allowed, no confirmation.
constexpr uint32_t kCleanupFlags = kFofNoErrorUi | kFofAllowUndo | kFofNoConfirmation;

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

// A folder that can be listed and holds nothing but "." and "..".
bool FolderIsEmpty(IFiles& files, const std::string& folder) {
  FindData entry;
  const FindHandle search = files.FindFirst(folder + "\\*.*", &entry);
  if (!search) return false;  // what it holds is unknown
  bool empty = true;
  do empty = IsDots(entry.name);
  while (empty && files.FindNext(search, &entry));
  files.FindClose(search);
  return empty;
}

// `folder\name`, or `folder\stem (2).ext` and so on when that is taken, so a move never replaces a file.
std::string FreeTarget(IFiles& files, const std::string& folder, const std::string& name) {
  std::string target = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + name;
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (int n = 2; files.Attributes(target) != kInvalidAttributes; ++n)
    target = folder + (folder.back() == '\\' ? "" : "\\") + stem + " (" + std::to_string(n) + ")" + ext;
  return target;
}

}  // namespace

TSysDiskCleanerForm::TSysDiskCleanerForm(Platform& platform, IPrompts& prompts, IMessagePump& pump,
                                         IDiskCleanerScreen& screen)
    : platform_(platform), prompts_(prompts), pump_(pump), screen_(screen) {}

bool TSysDiskCleanerForm::FileTypeOkEnabled(const std::string& pattern) {
  return pattern.find_first_not_of(' ') != std::string::npos;
}

std::array<std::string, 3> TSysDiskCleanerForm::DetailLines(const TTempFileInfo& file) {
  return {"FileName: " + file.FileName, "Path: " + file.FullPath, "Size: " + std::to_string(file.Size / 1024) + "KB"};
}

std::string TSysDiskCleanerForm::TablePath() { return ExecutableFolder(platform_.files) + kJunkFileName; }

void TSysDiskCleanerForm::FormCreate() {
  drives_ = ListFixedDrives(platform_);
  page_ = kDrivesPage;
  screen_.Changed();
}

void TSysDiskCleanerForm::NextBtnClick() {
  if (Busy()) return;
  if (page_ == kCleanupPage) {
    page_ = kDrivesPage;
    screen_.Changed();
    return;
  }
  // A cleanup that cannot be undone is confirmed before it starts.
  if (page_ == kCleanupOptionsPage && mode_ == CleanupMode::Delete &&
      prompts_.AskYesNo(kAppTitle, kDeletePermanentlyQuestion, PromptIcon::Warning, PromptAnswer::No) !=
          PromptAnswer::Yes)
    return;
  ++page_;
  screen_.Changed();
  switch (page_) {
    case kJunkFilesPage: LoadTypes(); break;
    case kScanPage:
      SaveJunkTypes(platform_.files, TablePath(), types_);
      state_ = kCleanerScanning;
      scanRows_.clear();
      for (const DriveRow& drive : drives_)
        if (drive.Checked) scanRows_.push_back({drive.Caption, "", drive.Drive});
      screen_.Changed();
      scanning_ = true;
      RunScan();
      scanning_ = false;
      if (state_ == kCleanerScanning) state_ = kCleanerScanned;
      break;
    case kReportPage: BuildReport(); break;
    case kCleanupPage:
      state_ = kCleanerCleaning;
      RunCleanup();
      break;
    default: break;
  }
  screen_.Changed();
}

void TSysDiskCleanerForm::BackBtnClick() {
  if (Busy() || page_ == kDrivesPage) return;
  --page_;
  screen_.Changed();
}

void TSysDiskCleanerForm::StopScanBtnClick() {
  if (state_ == kCleanerScanning) state_ = kCleanerStopped;
}

void TSysDiskCleanerForm::LoadTypes() {
  types_ = LoadJunkTypes(platform_.files, TablePath());
  selectedType_ = -1;
}

void TSysDiskCleanerForm::cbJunkFileSelectAllClick(bool checked) {
  selectAllTypes_ = checked;
  for (TJunkType& type : types_) type.Ticked = checked;
  screen_.Changed();
}

void TSysDiskCleanerForm::JunkFilesListViewMouseDown(int row) {
  selectedType_ = row >= 0 && row < static_cast<int>(types_.size()) ? row : -1;
}

void TSysDiskCleanerForm::TypeCheckClick(int row, bool checked) {
  if (row >= 0 && row < static_cast<int>(types_.size())) types_[static_cast<size_t>(row)].Ticked = checked;
}

void TSysDiskCleanerForm::DriveCheckClick(int row, bool checked) {
  if (row >= 0 && row < static_cast<int>(drives_.size())) drives_[static_cast<size_t>(row)].Checked = checked;
}

void TSysDiskCleanerForm::ReportCheckClick(int row, bool checked) {
  if (row < 0 || row >= static_cast<int>(reportRows_.size())) return;
  reportRows_[static_cast<size_t>(row)].Checked = checked;
  UpdateStatusBar();
  screen_.Changed();
}

void TSysDiskCleanerForm::AddBtnClick() {
  std::string pattern, description;
  if (!screen_.EditFileType("Add a new file type", &pattern, &description)) return;
  types_.push_back({true, pattern, description});
  screen_.Changed();
}

void TSysDiskCleanerForm::EditBtnClick() {
  if (selectedType_ < 0 || selectedType_ >= static_cast<int>(types_.size())) return;
  TJunkType& type = types_[static_cast<size_t>(selectedType_)];
  std::string pattern = type.Pattern, description = type.Description;
  if (!screen_.EditFileType("Modify file type", &pattern, &description)) return;
  type.Pattern = pattern;
  type.Description = description;
  screen_.Changed();
}

void TSysDiskCleanerForm::DelBtnClick() {
  if (selectedType_ < 0 || selectedType_ >= static_cast<int>(types_.size())) return;
  if (prompts_.AskYesNo(kAppTitle, kRemoveTypeQuestion, PromptIcon::Warning, PromptAnswer::No) != PromptAnswer::Yes)
    return;
  types_.erase(types_.begin() + selectedType_);
  selectedType_ = -1;
  screen_.Changed();
}

void TSysDiskCleanerForm::RunScan() {
  found_.clear();
  const JunkMatcher matcher(types_);
  const auto stopped = [this] { return state_ == kCleanerStopped; };
  for (ScanRow& row : scanRows_) {
    if (stopped()) break;
    row.Status = "Scanning";
    screen_.Changed();
    ScanJunkFolder(platform_.files, row.Drive, matcher, pump_, screen_.ScanMessage(), stopped, &found_);
    row.Status = stopped() ? "User Stop" : "Finished";
    screen_.Changed();
    pump_.ProcessMessages();
  }
  screen_.ScanMessage().SetText("");
}

std::vector<TTempFileInfo> TSysDiskCleanerForm::FoundOn(const std::string& drive) const {
  std::vector<TTempFileInfo> files;
  for (const TTempFileInfo& file : found_)
    if (JunkDriveOf(file.FullPath) == drive) files.push_back(file);
  return files;
}

void TSysDiskCleanerForm::BuildReport() {
  reportRows_.clear();
  const std::vector<JunkDriveTotal> totals = JunkTotalsByDrive(found_);
  for (const ScanRow& row : scanRows_) {
    for (const JunkDriveTotal& total : totals) {
      if (total.Drive != row.Drive || (total.Count == 0 && total.Bytes == 0)) continue;
      ReportRow report;
      report.Caption = row.Caption;
      report.Count = total.Count;
      report.Kilobytes = total.Bytes / 1024;
      report.Total = std::to_string(report.Count);
      report.Space = std::to_string(report.Kilobytes) + " KB";
      report.Drive = row.Drive;
      reportRows_.push_back(report);
    }
  }
  UpdateStatusBar();
}

void TSysDiskCleanerForm::UpdateStatusBar() {
  uint64_t count = 0, kilobytes = 0;
  for (const ReportRow& row : reportRows_) {
    if (!row.Checked) continue;
    count += row.Count;
    kilobytes += row.Kilobytes;
  }
  statusPanels_[1] = std::to_string(count);
  statusPanels_[2] = std::to_string(kilobytes) + " KB";
}

void TSysDiskCleanerForm::ReportListViewDblClick(int row) {
  if (row < 0 || row >= static_cast<int>(reportRows_.size())) return;
  screen_.ShowDetails(FoundOn(reportRows_[static_cast<size_t>(row)].Drive));
}

void TSysDiskCleanerForm::Label23Click() {
  if (!found_.empty()) screen_.ShowDetails(found_);
}

void TSysDiskCleanerForm::RadioButton1Click() {
  mode_ = CleanupMode::Delete;
  moveFolder_.clear();
  screen_.Changed();
}

void TSysDiskCleanerForm::RadioButton2Click() {
  mode_ = CleanupMode::Recycle;
  screen_.Changed();
}

void TSysDiskCleanerForm::RadioButton3Click() {
  mode_ = CleanupMode::Move;
  std::string folder;
  if (platform_.shell.BrowseForFolder("Select Directory", &folder)) moveFolder_ = folder;
  screen_.Changed();
}

void TSysDiskCleanerForm::RunCleanup() {
  cleanupRows_.clear();
  cleaning_ = true;
  cleanupAborted_ = false;
  for (const ReportRow& row : reportRows_) {
    if (!row.Checked) continue;
    for (const TTempFileInfo& file : FoundOn(row.Drive)) {
      if (cleanupAborted_) break;
      cleanupRows_.push_back({file.FullPath, CleanOne(file)});
      screen_.Changed();
      pump_.ProcessMessages();
    }
  }
  cleaning_ = false;
}

// One found entry by the chosen mode. Only what was found is touched: a folder is removed only when it is empty
// (its junk contents went before it), a move never replaces a file in the destination, and an entry that is gone
// or a destination that vanished gives the error status without asking the shell.
std::string TSysDiskCleanerForm::CleanOne(const TTempFileInfo& file) {
  IFiles& files = platform_.files;
  const bool move = mode_ == CleanupMode::Move;
  const char* failed = move ? "Moved Error" : "Deleted Error";
  const char* done = move ? "File Moved" : "File Deleted";
  const uint32_t attributes = files.Attributes(file.FullPath);
  if (attributes == kInvalidAttributes) return failed;
  const bool folder = (attributes & kAttrDirectory) != 0;
  if (folder && !FolderIsEmpty(files, file.FullPath)) return failed;
  switch (mode_) {
    case CleanupMode::Delete: {
      const bool ok = folder ? files.RemoveFolder(file.FullPath) : files.RemoveFile(file.FullPath);
      return ok ? done : failed;
    }
    case CleanupMode::Recycle:
      platform_.shell.FileOperation(ShellFileOp::Delete, file.FullPath, "", kCleanupFlags);
      return files.Attributes(file.FullPath) == kInvalidAttributes ? done : failed;
    case CleanupMode::Move: {
      if (moveFolder_.empty() || !files.DirectoryExists(moveFolder_)) return failed;
      const std::string target = FreeTarget(files, moveFolder_, file.FileName);
      platform_.shell.FileOperation(ShellFileOp::Move, file.FullPath, target, kCleanupFlags);
      return files.Attributes(file.FullPath) == kInvalidAttributes && files.Attributes(target) != kInvalidAttributes
                 ? done
                 : failed;
    }
  }
  return failed;
}

}  // namespace tw
