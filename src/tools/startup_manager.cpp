#include "tools/startup_manager.h"

#include "platform/ansi_case.h"
#include "sections/path_tests.h"

namespace tw {

namespace {

constexpr const char* kRunKeys[4] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"};
constexpr const char* kEnable = "Enable";
constexpr const char* kDisable = "Disable";
constexpr const char* kWinIniStatus = "Win.ini";
// How many copies of one file name ("name (2).lnk", ...) the copy folder may hold.
constexpr int kMaxCopiesPerName = 10000;

std::string ProgramFolderOf(IFiles& files) {
  const std::string exe = files.ExecutablePath();
  const size_t slash = exe.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

void MakeFileIfMissing(IFiles& files, const std::string& path) {
  if (files.Attributes(path) == kInvalidAttributes) files.WriteFileAtomically(path, "");
}

StartupRow EntryRow(std::string name, std::string path, std::string status, StartupKind kind) {
  StartupRow row;
  row.Name = std::move(name);
  row.Path = std::move(path);
  row.Status = std::move(status);
  row.Kind = kind;
  row.HasMark = true;
  return row;
}

StartupRow DetailRow(const char* caption, const std::string& value) {
  StartupRow row;
  row.Name = caption;
  row.Path = value;
  return row;
}

}  // namespace

const char* const TStartupManagerForm::kHeaderLines[3] = {
    "You can choose which applications are launched when you start your ",
    "computer.Select an item above and click a button to enable,disable, or ", "remove it."};

TStartupManagerForm::TStartupManagerForm(Platform& platform, IPrompts& prompts, IMessagePump& pump)
    : platform_(platform),
      prompts_(prompts),
      pump_(pump),
      reader_(platform.files),
      storage_(ProgramFolderOf(platform.files) + "RepairBackup"),
      copyFolder_(storage_ + "\\del"),
      startupDat_(platform.files, storage_ + "\\startup.dat"),
      removeDat_(platform.files, storage_ + "\\removestartup.dat"),
      delTxt_(platform.files, storage_ + "\\del.txt"),
      exports_(platform, storage_) {
  IFiles& files = platform_.files;
  if (!files.DirectoryExists(storage_)) files.MakeDirectory(storage_);
  if (!files.DirectoryExists(copyFolder_)) files.MakeDirectory(copyFolder_);
  for (const RecordFile* file : {&startupDat_, &removeDat_, &delTxt_}) MakeFileIfMissing(files, file->Path());
  startupFolders_ = StartupFolders(platform_.registry);
}

void TStartupManagerForm::Refresh() {
  rows_.clear();
  folderData_.clear();
  winIni_.clear();
  details_.clear();
  startupDat_.Load();
  delTxt_.Load();
  ListFolders();
  ListRunKeys();
  ListWinIni();
  ListDisabledRecords();
}

void TStartupManagerForm::ListFolders() {
  IFiles& files = platform_.files;
  for (const TFolderData& folder : startupFolders_) {
    if (folder.Data.empty() || !files.DirectoryExists(folder.Data)) continue;
    FindData found;
    const FindHandle search = files.FindFirst(folder.Data + "\\*.*", &found);
    if (!search) continue;
    do {
      if (found.name == "." || found.name == "..") continue;
      if (found.attributes & (kAttrHidden | kAttrSystem)) continue;
      rows_.push_back(EntryRow(found.name, folder.Data + "\\" + found.name, kEnable, StartupKind::StartupFolder));
      pump_.ProcessMessages();
    } while (files.FindNext(search, &found));
    files.FindClose(search);
  }
  for (const std::string& line : delTxt_.Lines()) {
    FileRecord record;
    if (!ParseFileRecord(line, &record) || !record.marked) continue;
    bool listed = false;
    for (const StartupRow& row : rows_) listed = listed || EqualNoCase(row.Path, record.copy);
    if (listed || files.Attributes(record.source) != kInvalidAttributes) continue;
    StartupRow row = EntryRow(record.source, record.copy, kDisable, StartupKind::StartupFolder);
    row.Location = line;
    rows_.push_back(std::move(row));
  }
}

void TStartupManagerForm::ListRunKeys() {
  IRegistry& reg = platform_.registry;
  for (HKey root : {kLocalMachine, kCurrentUser}) {
    for (const char* keyPath : kRunKeys) {
      RegKeyHandle key;
      if (key.Open(reg, root, keyPath, false) != kOk) continue;
      std::string name;
      uint32_t type = 0;
      Bytes data;
      for (uint32_t i = 0; reg.EnumValue(key.Get(), i, &name, &type, &data) == kOk; ++i) {
        TFolderData record{root, keyPath, name, ValueText(type, data), RootKeyName(root) + "\\" + keyPath};
        StartupRow row = EntryRow(name, record.Data, StatusOf(record.Location, name, record.Data),
                                  StartupKind::Registration);
        row.Location = record.Location;
        row.HasExpander = true;
        row.Record = static_cast<int>(folderData_.size());
        const std::string program = ExtractCommandPath(platform_.files, record.Data);
        if (!program.empty() && platform_.files.FileExists(program)) {
          reader_.Read(program);
          row.DetailRecord = static_cast<int>(details_.size());
          details_.push_back({"Registry", record.Location, reader_.String(TAppObj::ProductName),
                              reader_.String(TAppObj::CompanyName), reader_.String(TAppObj::FileVersion),
                              reader_.String(TAppObj::FileDescription), name, program});
        }
        folderData_.push_back(std::move(record));
        rows_.push_back(std::move(row));
      }
    }
  }
}

void TStartupManagerForm::ListWinIni() {
  for (const char* section : {"Load", "Run"}) {
    for (auto& [key, value] : platform_.profile.ReadSection("", section)) {
      StartupRow row = EntryRow(key, value, kWinIniStatus, StartupKind::WinIni);
      row.HasExpander = std::string(section) == "Load";
      row.Record = static_cast<int>(winIni_.size());
      winIni_.push_back({section, key});
      rows_.push_back(std::move(row));
    }
  }
}

void TStartupManagerForm::ListDisabledRecords() {
  for (const std::string& line : startupDat_.Lines()) {
    RegistryRecord record;
    if (!ParseRegistryRecord(line, &record)) continue;  // kept in the file, never listed
    StartupRow row = EntryRow(record.name, record.data, kDisable, StartupKind::Registration);
    row.Location = line;
    row.HasExpander = true;
    row.Record = static_cast<int>(folderData_.size());
    folderData_.push_back({record.root, record.keyPath, record.name, record.data, record.location});
    rows_.push_back(std::move(row));
  }
}

std::string TStartupManagerForm::StatusOf(const std::string& location, const std::string& name,
                                          const std::string& data) {
  for (const std::string& line : startupDat_.Lines()) {
    RegistryRecord record;
    if (ParseRegistryRecord(line, &record) && EqualNoCase(record.location, location) &&
        EqualNoCase(record.name, name) && record.data == data)
      return kDisable;
  }
  return kEnable;
}

void TStartupManagerForm::ImageEx1Click() {
  page_ = Page::Startup;
  Refresh();
}

void TStartupManagerForm::ImageEx2Click() {
  FillRestoreList();
  page_ = Page::Restoral;
}

void TStartupManagerForm::ToggleMark(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || !rows_[row].HasMark) return;
  rows_[row].Marked = !rows_[row].Marked;
}

void TStartupManagerForm::ToggleExpander(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || !rows_[row].HasExpander) return;
  StartupRow& entry = rows_[row];
  const auto below = rows_.begin() + row + 1;
  if (entry.Expanded) {
    entry.Expanded = false;
    auto end = below;
    while (end != rows_.end() && end->Kind == StartupKind::Detail) ++end;
    rows_.erase(below, end);
    return;
  }
  entry.Expanded = true;
  if (entry.DetailRecord < 0) return;
  const TFilInfoeRecord& d = details_[entry.DetailRecord];
  const std::vector<StartupRow> detail = {
      DetailRow("Type", d.Type),           DetailRow("Postion", d.Location),     DetailRow("Product Name", d.ProductName),
      DetailRow("Publish Name", d.Publisher), DetailRow("Version", d.FileVersion), DetailRow("Description", d.Description),
      DetailRow("File Path", d.FilePath)};
  rows_.insert(below, detail.begin(), detail.end());
}

void TStartupManagerForm::SetRestoreChecked(int row, bool checked) {
  if (row >= 0 && row < static_cast<int>(restoreRows_.size())) restoreRows_[row].Checked = checked;
}

void TStartupManagerForm::DeleteItemBtnClick() {
  for (const StartupRow& row : rows_) {
    if (!row.Marked || row.Status == kDisable) continue;
    if (row.Kind == StartupKind::StartupFolder) {
      TakeFolderFile(row, true);
    } else if (row.Kind == StartupKind::Registration) {
      TakeRegistryValue(row, startupDat_);
    } else if (row.Kind == StartupKind::WinIni) {
      const TWinIniData& record = winIni_[row.Record];
      platform_.profile.DeleteKey("", record.Section, record.Key);
    }
  }
  Refresh();
}

void TStartupManagerForm::OpenPathBtnClick() {
  for (const StartupRow& row : rows_) {
    if (!row.Marked || row.Status != kDisable) continue;
    if (row.Kind == StartupKind::StartupFolder) {
      PutFileBack(row.Name, row.Path, row.Location);
    } else if (row.Kind == StartupKind::Registration) {
      PutValueBack(row.Location, startupDat_);
    }
  }
  Refresh();
}

void TStartupManagerForm::BtRemoveClick() {
  const PromptAnswer answer = prompts_.AskYesNo(
      "Tarnwick",
      "Are you sure you want to remove this entry from startup folder?\nYou will not be able to revert this action!",
      PromptIcon::Warning, PromptAnswer::No);
  if (answer == PromptAnswer::Yes) {
    for (const StartupRow& row : rows_) {
      if (!row.Marked) continue;
      const bool disabled = row.Status == kDisable;
      if (row.Kind == StartupKind::StartupFolder && !disabled) {
        TakeFolderFile(row, false);
      } else if (row.Kind == StartupKind::StartupFolder) {
        FileRecord record;
        if (!ParseFileRecord(row.Location, &record)) continue;
        delTxt_.Load();
        if (!delTxt_.RemoveLine(row.Location)) continue;
        delTxt_.Lines().push_back(FileRecordLine(record.source, record.copy, false));
        delTxt_.Save();
      } else if (row.Kind == StartupKind::Registration && !disabled) {
        TakeRegistryValue(row, removeDat_);
      } else if (row.Kind == StartupKind::Registration) {
        // Recorded as removed before it leaves the disabled records, so a failed write loses nothing.
        removeDat_.Load();
        removeDat_.Lines().push_back(row.Location);
        if (!removeDat_.Save()) continue;
        startupDat_.Load();
        startupDat_.RemoveLine(row.Location);
        if (!startupDat_.Save()) {
          removeDat_.Load();
          removeDat_.RemoveLine(row.Location);
          removeDat_.Save();
        }
      } else if (row.Kind == StartupKind::WinIni) {
        const TWinIniData& record = winIni_[row.Record];
        platform_.profile.DeleteKey("", record.Section, record.Key);
      }
    }
  }
  Refresh();
}

void TStartupManagerForm::RestoreBtnClick() {
  for (const RestoreRow& row : restoreRows_) {
    if (!row.Checked) continue;
    if (row.IsFile) {
      PutFileBack(row.Name, row.Info, row.Line);
    } else {
      PutValueBack(row.Line, removeDat_);
    }
  }
  FillRestoreList();
}

void TStartupManagerForm::FillRestoreList() {
  restoreRows_.clear();
  removeDat_.Load();
  for (const std::string& line : removeDat_.Lines()) {
    RegistryRecord record;
    if (ParseRegistryRecord(line, &record)) restoreRows_.push_back({record.name, record.data, line, false, false});
  }
  delTxt_.Load();
  for (const std::string& line : delTxt_.Lines()) {
    FileRecord record;
    if (ParseFileRecord(line, &record) && !record.marked)
      restoreRows_.push_back({record.source, record.copy, line, true, false});
  }
}

bool TStartupManagerForm::TakeFolderFile(const StartupRow& row, bool disable) {
  IFiles& files = platform_.files;
  if (!files.DirectoryExists(copyFolder_)) files.MakeDirectory(copyFolder_);
  const std::string copy = FreeCopyPath(row.Name);
  if (copy.empty()) return false;
  if (!files.CopyFileTo(row.Path, copy, true)) return false;
  if (!SameSize(row.Path, copy)) {
    files.RemoveFile(copy);
    return false;
  }
  const std::string line = FileRecordLine(row.Path, copy, disable);
  delTxt_.Load();
  delTxt_.Lines().push_back(line);
  if (!delTxt_.Save()) {
    files.RemoveFile(copy);
    return false;
  }
  if (files.RemoveFile(row.Path) && files.Attributes(row.Path) == kInvalidAttributes) return true;
  // The file stays where it was: its record and copy go again.
  delTxt_.Load();
  delTxt_.RemoveLine(line);
  if (delTxt_.Save()) files.RemoveFile(copy);
  return false;
}

bool TStartupManagerForm::TakeRegistryValue(const StartupRow& row, RecordFile& into) {
  if (row.Record < 0) return false;
  const TFolderData& entry = folderData_[row.Record];
  IRegistry& reg = platform_.registry;
  RegKeyHandle key;
  if (key.Open(reg, entry.RootKey, entry.KeyPath, false) != kOk) return false;
  uint32_t type = 0;
  Bytes data;
  if (reg.QueryValue(key.Get(), entry.Name, &type, &data) != kOk) return false;
  RegistryRecord record{entry.Location, entry.Name, ValueText(type, data), entry.RootKey, entry.KeyPath};
  const std::string line = RegistryRecordLine(record.location, record.name, record.data);
  if (!exports_.Save(record, line)) return false;
  into.Load();
  into.Lines().push_back(line);
  if (!into.Save()) {
    exports_.Remove(record, line);
    return false;
  }
  Bytes left;
  uint32_t leftType = 0;
  if (reg.DeleteValue(key.Get(), entry.Name) == kOk && reg.QueryValue(key.Get(), entry.Name, &leftType, &left) != kOk)
    return true;
  // The value is still there: it is not recorded as gone.
  into.Load();
  into.RemoveLine(line);
  if (into.Save()) exports_.Remove(record, line);
  return false;
}

bool TStartupManagerForm::PutFileBack(const std::string& source, const std::string& copy,
                                      const std::string& recordLine) {
  IFiles& files = platform_.files;
  // A file that is back at its place already is never overwritten.
  if (files.Attributes(source) != kInvalidAttributes) return false;
  if (!files.CopyFileTo(copy, source, true)) return false;
  if (!SameSize(copy, source)) {
    files.RemoveFile(source);
    return false;
  }
  delTxt_.Load();
  delTxt_.RemoveLine(recordLine);
  if (!delTxt_.Save()) return false;
  files.RemoveFile(copy);
  return true;
}

bool TStartupManagerForm::PutValueBack(const std::string& line, RecordFile& from) {
  RegistryRecord record;
  if (!ParseRegistryRecord(line, &record) || record.root == 0) return false;
  IRegistry& reg = platform_.registry;
  RegKeyHandle key;
  if (key.Open(reg, record.root, record.keyPath, false) != kOk) return false;
  uint32_t type = kRegSz;
  Bytes data;
  if (!exports_.Find(record, line, &type, &data)) {
    type = kRegSz;
    data.assign(record.data.begin(), record.data.end());
    data.push_back(0);
  }
  uint32_t backType = 0;
  Bytes back;
  if (reg.SetValue(key.Get(), record.name, type, data) != kOk ||
      reg.QueryValue(key.Get(), record.name, &backType, &back) != kOk)
    return false;
  from.Load();
  from.RemoveLine(line);
  if (!from.Save()) return false;
  exports_.Remove(record, line);
  return true;
}

std::string TStartupManagerForm::FreeCopyPath(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
  const std::string extension = dot == std::string::npos || dot == 0 ? std::string() : fileName.substr(dot);
  for (int n = 1; n <= kMaxCopiesPerName; ++n) {
    const std::string path =
        copyFolder_ + "\\" + (n == 1 ? fileName : stem + " (" + std::to_string(n) + ")" + extension);
    if (platform_.files.Attributes(path) == kInvalidAttributes) return path;
  }
  return {};
}

bool TStartupManagerForm::SameSize(const std::string& a, const std::string& b) {
  IFiles& files = platform_.files;
  FindData first, second;
  const FindHandle ha = files.FindFirst(a, &first);
  if (!ha) return false;
  files.FindClose(ha);
  const FindHandle hb = files.FindFirst(b, &second);
  if (!hb) return false;
  files.FindClose(hb);
  return first.size == second.size && !(first.attributes & kAttrDirectory);
}

}  // namespace tw
