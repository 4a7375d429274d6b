#include "cli/cli_commands.h"

#include <algorithm>

#include "app/ignore_list.h"
#include "app/scan_driver.h"
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

int Scan(Platform& platform, IConsole& console, const CliRequest& request) {
  if (!OutputWritable(platform, console, request)) return kExitCannotRun;
  ProcessState state;
  state.SelectAll = true;
  ProblemLists lists;
  ConsoleScanPage page(console, platform.system, ChosenSections(request));
  TScanDriver driver(platform, state, lists, page);
  page.Attach(&driver);
  state.ScanState = kStateScanning;
  driver.Run();
  state.ScanState = kStateIdle;
  if (driver.IgnoreListUnreadable())
    console.Err(std::string("The ignore list \"") + kIgnoreFileName +
                "\" could not be read: entries you excluded may be listed.\n");

  CliTable table;
  table.rowsName = "findings";
  table.columns = {"section", "caption", "fullKeyPath", "valueName", "valueData", "description", "title"};
  table.numeric = {true};
  table.countsName = "counts";
  for (int i = 0; i < kSectionCount; ++i) {
    const SectionDef& def = SectionTable()[i];
    const TRegistryContents& found = lists.Sections[def.number];
    for (const TRegistryContentItem& item : found) {
      const TContent& c = item.Content;
      table.rows.push_back({std::to_string(def.number), def.caption, c.FullKeyPath, c.ValueName, c.ValueData,
                            c.Description, c.Title});
    }
    if (found.Count() > 0) table.counts.emplace_back(def.caption, found.Count());
  }
  if (!Emit(platform, console, request, RenderTable(table, request.format, Utf8Converter(platform.system),
                                                    "Problems found")))
    return kExitCannotRun;
  return table.rows.empty() ? kExitDone : kExitFound;
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

int NotBuilt(IConsole& console, const char* what) {
  console.Err(std::string(what) + " is not part of this version of Tarnwick.\n");
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
  if (request.command == "repair") return NotBuilt(console, "Repairing from the console");
  if (request.command == "backups") return NotBuilt(console, "The backup catalogue");
  if (request.command == "startup") return NotBuilt(console, "The startup manager");
  return NotBuilt(console, "The disk cleaner");
}

}  // namespace tw
