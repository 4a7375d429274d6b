#include "cli/cli_commands.h"

#include <algorithm>

#include "app/ignore_list.h"
#include "app/repair_pass.h"
#include "app/scan_driver.h"
#include "app/startup.h"
#include "backup/backup_catalogue.h"
#include "backup/backup_check.h"
#include "backup/export_writer.h"
#include "options/scheduled_task.h"
#include "options/update_check.h"
#include "platform/ansi_case.h"
#include "sections/section_contract.h"
#include "tools/junk_scan.h"
#include "tools/startup_manager.h"
#include "cli/cli_args.h"
#include "cli/cli_report.h"
#include "sections/section_table.h"

namespace tw {
namespace {

constexpr uint32_t kProgressInterval = 200;  // milliseconds between progress lines
constexpr size_t kProgressWidth = 79;

class TextHolder : public ITextTarget {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

// Nothing to pump: the console has no window.
class NoPump : public IMessagePump {
 public:
  void ProcessMessages() override {}
};

// The scan page of the console: the chosen sections are the ticked icons, and the status panel's current key
// becomes a progress line on standard error every 200 ms when that is a console.
class ConsoleScanPage : public IScanPage, private ITextTarget {
 public:
  ConsoleScanPage(IConsole& console, ISystem& system, const std::vector<int>& sections)
      : console_(console), system_(system), progress_(console.ErrIsTerminal()) {
    for (int n : sections) chosen_[n - 1] = true;
  }
  void Attach(const TScanDriver* driver) { driver_ = driver; }

  int IconTag(int index) const override { return chosen_[index] ? 1 : 0; }
  void SetIconImage(int, int) override {}
  ITextTarget& CountLabel(int index) override { return counts_[index]; }
  ITextTarget& StatusPanel() override { return *this; }
  IMessagePump& Pump() override { return pump_; }
  void StartScanTimer() override { lastShown_ = system_.TickCount() - kProgressInterval; }
  void StopScanTimer() override {
    if (shown_) console_.Err("\r" + std::string(kProgressWidth, ' ') + "\r");
  }

 private:
  void SetText(const std::string& text) override {
    status_ = text;
    if (!progress_ || !driver_ || driver_->CurrentSection() < 1) return;
    const uint32_t now = system_.TickCount();
    if (now - lastShown_ < kProgressInterval) return;
    lastShown_ = now;
    const int section = driver_->CurrentSection();
    std::string line = std::to_string(section) + " " + SectionByNumber(section).caption + " (" +
                       counts_[section - 1].Text() + "): " + text;
    if (line.size() > kProgressWidth) line.resize(kProgressWidth);
    line.resize(kProgressWidth, ' ');
    console_.Err("\r" + line);
    shown_ = true;
  }
  std::string Text() const override { return status_; }

  IConsole& console_;
  ISystem& system_;
  const bool progress_;
  const TScanDriver* driver_ = nullptr;
  bool chosen_[kSectionCount] = {};
  TextHolder counts_[kSectionCount];
  NoPump pump_;
  std::string status_;
  uint32_t lastShown_ = 0;
  bool shown_ = false;
};

std::vector<int> ChosenSections(const CliRequest& request) {
  if (!request.sections.empty()) return request.sections;
  std::vector<int> all;
  for (int n = 1; n <= kSectionCount; ++n) all.push_back(n);
  return all;
}

ToUtf8 Utf8Converter(ISystem& system) {
  return [&system](const std::string& text) { return Utf16ToUtf8(system.AnsiToUtf16(text)); };
}

// Writes the output where the request says: standard output, or the --out file.
bool Emit(Platform& platform, IConsole& console, const CliRequest& request, const std::string& output) {
  if (request.outFile.empty()) {
    if (request.format == CliFormat::Text) console.Out(output); else console.OutBytes(output);
    return true;
  }
  if (platform.files.WriteWholeFile(request.outFile, output)) return true;
  console.Err("Cannot write \"" + request.outFile + "\".\n");
  return false;
}

// An output file that cannot be written is found before any work is done.
bool OutputWritable(Platform& platform, IConsole& console, const CliRequest& request) {
  if (request.outFile.empty() || platform.files.WriteWholeFile(request.outFile, std::string())) return true;
  console.Err("Cannot write \"" + request.outFile + "\": check the folder and the file's permissions.\n");
  return false;
}

// Runs the chosen sections as Scan Now does: same order, same records, the same "ScanResult" file.
void ScanInto(Platform& platform, IConsole& console, const CliRequest& request, ProblemLists& lists) {
  ProcessState state;
  state.SelectAll = true;
  ConsoleScanPage page(console, platform.system, ChosenSections(request));
  TScanDriver driver(platform, state, lists, page);
  page.Attach(&driver);
  state.ScanState = kStateScanning;
  driver.Run();
  state.ScanState = kStateIdle;
  if (driver.IgnoreListUnreadable())
    console.Err(std::string("The ignore list \"") + kIgnoreFileName +
                "\" could not be read: entries you excluded may be listed.\n");
}

// One row per record, as the scan lists them, and the count per section caption.
CliTable FindingsTable(const TRegistryContents& records, const std::vector<int>& sections) {
  CliTable table;
  table.rowsName = "findings";
  table.columns = {"section", "caption", "fullKeyPath", "valueName", "valueData", "description", "title"};
  table.numeric = {true};
  table.countsName = "counts";
  for (int r = 0; r < records.Count(); ++r) {
    const TContent& c = records.Items(r).Content;
    const SectionDef& def = SectionByNumber(sections[static_cast<size_t>(r)]);
    table.rows.push_back({std::to_string(def.number), def.caption, c.FullKeyPath, c.ValueName, c.ValueData,
                          c.Description, c.Title});
    if (table.counts.empty() || table.counts.back().first != def.caption) table.counts.emplace_back(def.caption, 0);
    ++table.counts.back().second;
  }
  return table;
}

int Scan(Platform& platform, IConsole& console, const CliRequest& request) {
  if (!OutputWritable(platform, console, request)) return kExitCannotRun;
  ProblemLists lists;
  ScanInto(platform, console, request, lists);
  lists.BuildReview();
  const CliTable table = FindingsTable(lists.Review, ReviewSectionsOf(lists));
  if (!Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system),
                                                    "Problems found")))
    return kExitCannotRun;
  return table.rows.empty() ? kExitDone : kExitFound;
}

// The lines of an exclusion file: "KEYPATH|VALUENAME" leaves that value alone, "KEYPATH" every record of the
// key. Lines of the ignore list ("CATEGORY|KEYPATH|VALUENAME") are taken too. Names compare without case.
struct Exclusion {
  std::string keyPath;
  std::string valueName;
  bool wholeKey = false;
};

bool ReadExclusions(IFiles& files, const std::string& path, std::vector<Exclusion>* exclusions) {
  std::string text;
  if (!files.ReadWholeFile(path, &text)) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    std::vector<std::string> fields;
    for (size_t from = 0;;) {
      const size_t bar = line.find('|', from);
      fields.push_back(line.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    if (fields.size() == 1) exclusions->push_back({fields[0], std::string(), true});
    else exclusions->push_back({fields[fields.size() - 2], fields.back(), false});
  }
  return true;
}

bool Excluded(const std::vector<Exclusion>& exclusions, const TContent& record) {
  for (const Exclusion& e : exclusions)
    if (CompareNoCase(e.keyPath, record.FullKeyPath) == 0 &&
        (e.wholeKey || CompareNoCase(e.valueName, record.ValueName) == 0))
      return true;
  return false;
}

// A status line on standard error when that is a console: the latest text, at most every 200 ms.
class ConsoleProgress : public ITextTarget {
 public:
  ConsoleProgress(IConsole& console, ISystem& system)
      : console_(console), system_(system), shown_(console.ErrIsTerminal()),
        last_(system.TickCount() - kProgressInterval) {}
  void SetText(const std::string& text) override {
    text_ = text;
    const uint32_t now = system_.TickCount();
    if (!shown_ || now - last_ < kProgressInterval) return;
    last_ = now;
    std::string line = text.substr(0, kProgressWidth);
    line.resize(kProgressWidth, ' ');
    console_.Err("\r" + line);
    written_ = true;
  }
  std::string Text() const override { return text_; }
  void Done() {
    if (written_) console_.Err("\r" + std::string(kProgressWidth, ' ') + "\r");
  }

 private:
  IConsole& console_;
  ISystem& system_;
  const bool shown_;
  uint32_t last_;
  bool written_ = false;
  std::string text_;
};

int Repair(Platform& platform, IConsole& console, const CliRequest& request) {
  if (!OutputWritable(platform, console, request)) return kExitCannotRun;
  std::vector<Exclusion> exclusions;
  if (!request.excludeFrom.empty() && !ReadExclusions(platform.files, request.excludeFrom, &exclusions)) {
    console.Err("Cannot read \"" + request.excludeFrom + "\". Nothing was changed.\n");
    return kExitCannotRun;
  }
  // The window and this command never scan or repair at the same time.
  const std::unique_ptr<ISessionLock> work = platform.system.TryLock(kRegistryWorkLockName);
  if (!work) {
    console.Err("The Tarnwick window is scanning or repairing the registry. Nothing was changed; try again when "
                "it has finished.\n");
    return kExitCannotRun;
  }
  ProblemLists lists;
  ScanInto(platform, console, request, lists);
  lists.BuildReview();
  // Excluded records leave the list, so they are neither backed up nor repaired.
  TRegistryContents& review = lists.Review;
  std::vector<int> sections = ReviewSectionsOf(lists);
  for (int r = review.Count() - 1; r >= 0; --r) {
    TContent& record = review.Items(r).Content;
    record.Selected = 1;
    if (Excluded(exclusions, record)) {
      review.Delete(r);
      sections.erase(sections.begin() + r);
    }
  }
  const ToUtf8 toUtf8 = Utf8Converter(platform.system);
  if (!request.yes) {
    if (!Emit(platform, console, request,
              RenderTable(FindingsTable(review, sections), request.format, toUtf8, "Would be repaired")))
      return kExitCannotRun;
    console.Err("Preview only: nothing was changed. Add --yes to back up and repair.\n");
    return review.Count() > 0 ? kExitFound : kExitDone;
  }

  const SectionDef* table = SectionTable();
  auto removesOf = [&](int row) { return table[sections[static_cast<size_t>(row)] - 1].removes; };
  std::vector<int> notBackedUp;
  std::string backupPath;
  if (review.Count() > 0) {
    const RepairBackupResult backup = SaveRepairBackup(platform, review, removesOf);
    if (backup.outcome == BackupOutcome::Failed) {
      console.Err("The backup could not be written to \"" + backup.path + "\". Nothing was repaired.\n");
      return kExitCannotRun;
    }
    notBackedUp = backup.notBackedUp;
    if (backup.outcome == BackupOutcome::Written) {
      backupPath = backup.path;
      // The file as it is now, read back: a record whose deletion it does not prove is not repaired.
      for (int row : UnprovenRecords(platform, backup.path, review, removesOf))
        if (std::find(notBackedUp.begin(), notBackedUp.end(), row) == notBackedUp.end()) notBackedUp.push_back(row);
    }
  }

  // The repair pass reports after each section it ran; those are the sections with records and a repairer.
  std::vector<int> ranSections;
  for (int i = 0; i < kSectionCount; ++i)
    if (table[i].repairer && std::find(sections.begin(), sections.end(), table[i].number) != sections.end())
      ranSections.push_back(table[i].number);
  ProcessState state;
  NoPump pump;
  ConsoleProgress status(console, platform.system);
  TRepairContents results;
  std::vector<int> rowSections;  // the section of each result row
  size_t sectionsDone = 0;
  RunRepairPass({platform, state, pump, status, review, sections, table, results,
                 [&] {
                   const int section = sectionsDone < ranSections.size() ? ranSections[sectionsDone++] : 0;
                   rowSections.resize(static_cast<size_t>(results.Count()), section);
                 },
                 notBackedUp});
  status.Done();

  CliTable out;
  out.rowsName = "results";
  out.columns = {"section", "caption", "item", "status"};
  out.numeric = {true};
  out.countsName = "counts";
  bool allRepaired = true;
  for (int r = 0; r < results.Count(); ++r) {
    const TRepairRec& row = results.Items(r).Rec;
    const int section = static_cast<size_t>(r) < rowSections.size() ? rowSections[static_cast<size_t>(r)] : 0;
    out.rows.push_back({std::to_string(section), section ? SectionByNumber(section).caption : "", row.Caption,
                        row.Status});
    if (row.Status != kRepairedText) allRepaired = false;
    auto it = std::find_if(out.counts.begin(), out.counts.end(), [&](const auto& c) { return c.first == row.Status; });
    if (it == out.counts.end()) out.counts.emplace_back(row.Status, 1); else ++it->second;
  }
  if (!Emit(platform, console, request, RenderTable(out, request.format, toUtf8, "Repair results")))
    return kExitCannotRun;
  if (!backupPath.empty()) console.Err("Backup: " + backupPath + "\n");
  return allRepaired ? kExitDone : kExitFound;
}

int Ignore(Platform& platform, IConsole& console, const CliRequest& request) {
  const std::string file = ExecutableFolder(platform.files) + kIgnoreFileName;
  TIgnoreContents list;
  if (!LoadIgnoreList(platform.files, file, list)) {
    console.Err(std::string("The ignore list \"") + file + "\" cannot be read.\n");
    return kExitCannotRun;
  }
  if (request.action == "list") {
    std::string out;
    for (const TIgnoreContentItem& item : list)
      out += item.Category + "|" + item.FullKeyPath + "|" + item.ValueName + "\n";
    if (list.Count() == 0) out = "The ignore list is empty.\n";
    console.Out(out);
    return kExitDone;
  }
  const std::string category = SectionByNumber(std::stoi(request.operands[0])).ignoreCategory;
  const std::string& keyPath = request.operands[1];
  const std::string valueName = request.operands.size() > 2 ? request.operands[2] : "default";
  const bool listed = IsIgnored(list, category, keyPath, valueName) != 0;
  if (request.action == "add") {
    if (listed) {
      console.Out("Already in the ignore list.\n");
      return kExitDone;
    }
    if (!AppendIgnoreEntry(platform.files, file, category, keyPath, valueName)) {
      console.Err("Cannot write the ignore list \"" + file + "\".\n");
      return kExitCannotRun;
    }
    console.Out("Added: " + category + "|" + keyPath + "|" + valueName + "\n");
    return kExitDone;
  }
  if (!listed) {
    console.Out("Not in the ignore list: " + category + "|" + keyPath + "|" + valueName + "\n");
    return kExitDone;
  }
  if (!RemoveIgnoreEntries(platform.files, file, category, keyPath, valueName)) {
    console.Err("Cannot rewrite the ignore list \"" + file + "\"; it is unchanged.\n");
    return kExitCannotRun;
  }
  console.Out("Removed: " + category + "|" + keyPath + "|" + valueName + "\n");
  return kExitDone;
}

// Backup lists need no questions: the console command is the user's answer.
class NoPrompts : public IPrompts {
 public:
  PromptAnswer AskYesNo(const std::string&, const std::string&, PromptIcon, PromptAnswer) override {
    return PromptAnswer::Yes;
  }
  void Tell(const std::string&, const std::string&, PromptIcon) override {}
};

int Backups(Platform& platform, IConsole& console, const CliRequest& request) {
  NoPrompts prompts;
  NoPump pump;
  if (request.action == "list") {
    if (!OutputWritable(platform, console, request)) return kExitCannotRun;
    CliTable table;
    table.rowsName = "backups";
    table.columns = {"kind", "created", "path"};
    table.countsName = "counts";
    for (const auto& [kind, folder] : {std::pair<const char*, const char*>{"repair", kRepairBackupFolder},
                                       std::pair<const char*, const char*>{"full", kFullBackupFolder}}) {
      TBackupList list(platform, prompts, pump, folder, false);
      list.Load();
      for (const BackupRow& row : list.Rows()) table.rows.push_back({kind, row.Caption, row.Path});
      table.counts.emplace_back(kind, static_cast<long long>(list.Rows().size()));
    }
    return Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system),
                                                        "Backups"))
               ? kExitDone
               : kExitCannotRun;
  }
  // A bare file name is looked for among the backups beside the program as well.
  std::string path = request.operands[0];
  if (!platform.files.FileExists(path) && path.find_first_of("\\/:") == std::string::npos) {
    for (const char* folder : {kRepairBackupFolder, kFullBackupFolder}) {
      const std::string candidate = ExecutableFolder(platform.files) + folder + "\\" + path;
      if (platform.files.FileExists(candidate)) {
        path = candidate;
        break;
      }
    }
  }
  const std::unique_ptr<ISessionLock> work = platform.system.TryLock(kRegistryWorkLockName);
  if (!work) {
    console.Err("The Tarnwick window is scanning or repairing the registry. Nothing was restored; try again when "
                "it has finished.\n");
    return kExitCannotRun;
  }
  const bool abort = false;
  const RestoreResult result = RestoreBackupFile(platform, pump, path, abort);
  switch (result.outcome) {
    case RestoreOutcome::Restored:
      console.Out("Restored: the registry holds every key and value of \"" + path + "\".\n");
      return kExitDone;
    case RestoreOutcome::Incomplete:
      console.Err("The registry was not restored completely: " + std::to_string(result.check.keysMissing) +
                  " keys and " + std::to_string(result.check.valuesMissing) + " values of \"" + path +
                  "\" did not come back.\n");
      return kExitFound;
    case RestoreOutcome::FileGone:
      console.Err("The backup file \"" + path + "\" does not exist. Nothing was restored.\n");
      return kExitCannotRun;
    case RestoreOutcome::NotAnExport:
      console.Err("\"" + path + "\" is not a registry export file. Nothing was restored from it.\n");
      return kExitCannotRun;
    case RestoreOutcome::EditorNotStarted:
    case RestoreOutcome::Aborted:
      break;
  }
  console.Err("The registry editor could not be started, so nothing was restored from \"" + path + "\".\n");
  return kExitCannotRun;
}

const char* KindName(StartupKind kind) {
  switch (kind) {
    case StartupKind::StartupFolder: return "startup folder";
    case StartupKind::Registration: return "registry";
    case StartupKind::WinIni: return "win.ini";
    case StartupKind::Detail: break;
  }
  return "";
}

// Every entry the startup manager lists, in its order, with the version details of its program where known.
int Startup(Platform& platform, IConsole& console, const CliRequest& request) {
  if (!OutputWritable(platform, console, request)) return kExitCannotRun;
  NoPrompts prompts;
  NoPump pump;
  TStartupManagerForm manager(platform, prompts, pump);
  manager.Refresh();
  CliTable table;
  table.rowsName = "entries";
  table.columns = {"name", "path", "status", "kind", "location", "product", "publisher", "fileVersion", "description"};
  table.countsName = "counts";
  for (const StartupRow& row : manager.Rows()) {
    if (row.Kind == StartupKind::Detail) continue;
    std::string location = row.Location;
    if (row.Kind == StartupKind::Registration && row.Record >= 0)
      location = manager.FolderRecords()[static_cast<size_t>(row.Record)].Location;
    else if (row.Kind == StartupKind::WinIni && row.Record >= 0)
      location = "win.ini [" + manager.WinIniRecords()[static_cast<size_t>(row.Record)].Section + "]";
    else if (row.Kind == StartupKind::StartupFolder) {
      // A disabled file's row is named by the path it came from; its folder is the location.
      const std::string& file = row.Status == "Disable" ? row.Name : row.Path;
      location = file.substr(0, file.find_last_of('\\'));
    }
    TFilInfoeRecord details;
    if (row.DetailRecord >= 0) details = manager.Details()[static_cast<size_t>(row.DetailRecord)];
    table.rows.push_back({row.Name, row.Path, row.Status, KindName(row.Kind), location, details.ProductName,
                          details.Publisher, details.FileVersion, details.Description});
    auto it = std::find_if(table.counts.begin(), table.counts.end(), [&](const auto& c) { return c.first == row.Status; });
    if (it == table.counts.end()) table.counts.emplace_back(row.Status, 1); else ++it->second;
  }
  return Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system),
                                                      "Startup entries"))
             ? kExitDone
             : kExitCannotRun;
}

// The disk cleaner's search on the chosen drives (every fixed drive by default); nothing is deleted.
int Junk(Platform& platform, IConsole& console, const CliRequest& request) {
  if (!OutputWritable(platform, console, request)) return kExitCannotRun;
  std::vector<std::string> drives = request.drives;
  if (drives.empty())
    for (const DriveRow& drive : ListFixedDrives(platform)) drives.push_back(drive.Drive);
  for (const std::string& drive : drives) {
    if (!platform.files.DirectoryExists(drive + "\\")) {
      console.Err("There is no drive " + drive + ".\n");
      return kExitCannotRun;
    }
  }
  const JunkMatcher matcher(LoadJunkTypes(platform.files, ExecutableFolder(platform.files) + kJunkFileName));
  NoPump pump;
  ConsoleProgress progress(console, platform.system);
  std::vector<TTempFileInfo> found;
  for (const std::string& drive : drives)
    ScanJunkFolder(platform.files, drive, matcher, pump, progress, [] { return false; }, &found);
  progress.Done();
  CliTable table;
  table.rowsName = "found";
  table.columns = {"path", "size"};
  table.numeric = {false, true};
  table.countsName = "totals";
  for (const TTempFileInfo& file : found) table.rows.push_back({file.FullPath, std::to_string(file.Size)});
  for (const JunkDriveTotal& total : JunkTotalsByDrive(found))
    table.totals.push_back({total.Drive, static_cast<long long>(total.Count), static_cast<long long>(total.Bytes)});
  if (!Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system),
                                                    "Junk files found")))
    return kExitCannotRun;
  return found.empty() ? kExitDone : kExitFound;
}

// The controllers' message boxes as console text on standard error; a question is answered No, as the console
// commands ask nothing.
class ConsolePrompts : public IPrompts {
 public:
  explicit ConsolePrompts(IConsole& console) : console_(console) {}
  PromptAnswer AskYesNo(const std::string&, const std::string& text, PromptIcon, PromptAnswer) override {
    Tell("", text, PromptIcon::None);
    return PromptAnswer::No;
  }
  void Tell(const std::string&, const std::string& text, PromptIcon) override {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\r', '\n');
    console_.Err(line + "\n");
    ++shown_;
  }
  int Shown() const { return shown_; }

 private:
  IConsole& console_;
  int shown_ = 0;
};

constexpr const char* kProgramFileName = "tarnwick.exe";

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// The work item as the options window's page shows it: no row when there is none.
int ShowTask(Platform& platform, IConsole& console, const CliRequest& request, const TScheduledTask& task) {
  const std::string time = TwoDigits(task.Hour()) + ":" + TwoDigits(task.Minute());
  if (request.format == CliFormat::Text) {
    std::string text = std::string("No scheduled scan: the Task Scheduler holds no \"") + kTaskName + "\".\n";
    if (!task.TaskName().empty())
      text = "Scheduled scan: " + task.TaskName() + "\nStart time: " + time + "\nEvery: " +
             std::to_string(task.Days()) + " day(s)\nProgram: " + task.TaskProgram() + "\n";
    return Emit(platform, console, request, text) ? kExitDone : kExitCannotRun;
  }
  CliTable table;
  table.rowsName = "tasks";
  table.columns = {"name", "startTime", "days", "program"};
  table.numeric = {false, false, true};
  if (!task.TaskName().empty())
    table.rows.push_back({task.TaskName(), time, std::to_string(task.Days()), task.TaskProgram()});
  return Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system), ""))
             ? kExitDone
             : kExitCannotRun;
}

// The scheduled scan through the options window's own controller: the page filled, the box ticked or unticked,
// the time and days set, and "OK".
int Schedule(Platform& platform, IConsole& console, const CliRequest& request) {
  if (request.action == "show" && !OutputWritable(platform, console, request)) return kExitCannotRun;
  const std::string program = ExecutableFolder(platform.files) + kProgramFileName;
  if (request.action == "set" && !platform.files.FileExists(program)) {
    console.Err("\"" + program + "\" does not exist: the scheduled scan starts Tarnwick from this program's folder. "
                "Nothing was changed.\n");
    return kExitCannotRun;
  }
  ConsolePrompts prompts(console);
  TScheduledTask task(platform, prompts, program);
  if (!task.Connect()) {
    console.Err("The Task Scheduler is not available. Nothing was read or changed.\n");
    return kExitCannotRun;
  }
  task.FillPage();
  if (prompts.Shown()) return kExitCannotRun;  // the work item is there but could not be opened
  if (request.action == "show") return ShowTask(platform, console, request, task);

  if (request.action == "remove") {
    if (task.TaskName().empty()) {
      console.Out(std::string("There is no scheduled scan \"") + kTaskName + "\"; nothing was removed.\n");
      return kExitDone;
    }
    task.cbActiveTaskClick(false);
    if (!task.Apply()) return kExitCannotRun;
    console.Out(std::string("Removed the scheduled scan \"") + kTaskName + "\".\n");
    return kExitDone;
  }

  task.cbActiveTaskClick(true);
  task.SetStartTime(request.hour, request.minute);
  task.SetDays(request.days);
  if (!task.Apply()) return kExitCannotRun;
  // What the Task Scheduler now holds, read back as the page would show it.
  task.FillPage();
  if (prompts.Shown() || task.TaskName().empty()) {
    if (!prompts.Shown()) console.Err(std::string("\"") + kTaskName + "\" was saved but cannot be found again.\n");
    return kExitCannotRun;
  }
  console.Out("Saved.\n");
  const int shown = ShowTask(platform, console, request, task);
  // A work item of that name written by another program keeps its program; only its trigger is rewritten.
  if (CompareNoCase(task.TaskProgram(), program) != 0)
    console.Err("Note: \"" + std::string(kTaskName) + "\" starts \"" + task.TaskProgram() + "\", not \"" + program +
                "\"; remove it and set it again to start this Tarnwick.\n");
  return shown;
}

// The window's update check without its question: the result only, and never the updater.
int Update(Platform& platform, IConsole& console) {
  ConsolePrompts prompts(console);
  const std::string folder = ExecutableFolder(platform.files);
  TUpdateCheck check(platform, prompts, folder);
  switch (check.Run()) {
    case UpdateCheckResult::UpToDate:
      console.Out("up to date\n");
      return kExitDone;
    case UpdateCheckResult::UpdateAvailable:
      console.Out("update available: " +
                  platform.profile.ReadString(folder + kUpdateFileName, "Version", "Ver", "") + "\n");
      return kExitFound;
    case UpdateCheckResult::Failed:
      break;
  }
  console.Out("check failed\n");
  console.Err("No complete answer from " + UpdateAddress(platform.registry) + ", or \"" + folder + kUpdateFileName +
              "\" could not be written.\n");
  return kExitCannotRun;
}

}  // namespace

int RunCli(Platform& platform, IConsole& console, const std::vector<std::string>& args) {
  CliRequest request;
  std::string error;
  if (!ParseCliArgs(args, &request, &error)) {
    console.Err(error + "\n\n" + CliUsage(request.command));
    return kExitUsage;
  }
  if (request.help) {
    console.Out(CliUsage(request.command));
    return kExitDone;
  }
  if (request.command == "scan") return Scan(platform, console, request);
  if (request.command == "ignore") return Ignore(platform, console, request);
  if (request.command == "repair") return Repair(platform, console, request);
  if (request.command == "backups") return Backups(platform, console, request);
  if (request.command == "startup") return Startup(platform, console, request);
  if (request.command == "schedule") return Schedule(platform, console, request);
  if (request.command == "update") return Update(platform, console);
  return Junk(platform, console, request);
}

}  // namespace tw
