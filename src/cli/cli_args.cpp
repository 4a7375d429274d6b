#include "cli/cli_args.h"

#include <algorithm>
#include <cctype>

namespace tw {
namespace {

struct CommandDef {
  const char* name;
  std::vector<std::string> actions;  // empty: the command takes no action word
  std::vector<std::string> options;  // long options the command accepts
  const char* usage;
};

const std::vector<CommandDef>& Commands() {
  static const std::vector<CommandDef> commands = {
      {"scan", {}, {"--sections", "--format", "--out"},
       "tarnwick-cli scan [--sections 1,4,17] [--format text|csv|json] [--out FILE]\n"
       "  Scans the chosen registry sections (all by default) with the ignore list beside the program and lists\n"
       "  every problem found. Exit code 0: nothing found, 1: problems found.\n"},
      {"repair", {}, {"--sections", "--format", "--out", "--exclude-from", "--yes"},
       "tarnwick-cli repair [--sections ...] [--exclude-from FILE] [--format text|csv|json] [--out FILE] --yes\n"
       "  Scans, writes and checks the backup in RepairBackup\\, then repairs what was found. Without --yes it only\n"
       "  lists what would be repaired. --exclude-from names a file of lines \"KEYPATH|VALUENAME\" (or \"KEYPATH\"\n"
       "  for every finding of a key; ignore-list lines are taken too) to leave alone.\n"
       "  Exit code 0: all repaired or nothing found, 1: some repairs failed (or, without --yes, problems found),\n"
       "  3: the backup failed or the Tarnwick window is scanning or repairing.\n"},
      {"backups", {"list", "restore"}, {"--format", "--out"},
       "tarnwick-cli backups list [--format text|csv|json] [--out FILE] | restore FILE\n"
       "  Lists the backups in RepairBackup\\ and FullBackup\\, or imports one with the registry editor and checks\n"
       "  that the registry holds all it names. FILE may be a bare name from the list.\n"
       "  Exit code 0: restored, 1: not restored completely, 3: no such file or not a registry export.\n"},
      {"startup", {"list"}, {"--format", "--out"},
       "tarnwick-cli startup list [--format text|csv|json] [--out FILE]\n"
       "  Lists every program started with Windows, with its status, kind, location and version details.\n"},
      {"junk", {"scan"}, {"--drives", "--format", "--out"},
       "tarnwick-cli junk scan [--drives C:,D:] [--format text|csv|json] [--out FILE]\n"
       "  Lists the junk files the disk cleaner finds on the chosen fixed drives. Nothing is deleted.\n"},
      {"ignore", {"list", "add", "remove"}, {},
       "tarnwick-cli ignore list | add SECTION KEYPATH [VALUENAME] | remove SECTION KEYPATH [VALUENAME]\n"
       "  Shows or changes the ignore list beside the program. SECTION is a section number, 1 to 17; without a\n"
       "  value name the entry stands for the key's unnamed value (\"default\").\n"},
      {"schedule", {"show", "set", "remove"}, {"--days", "--format", "--out"},
       "tarnwick-cli schedule show [--format text|csv|json] [--out FILE] | set HH:MM [--days N] | remove\n"
       "  Shows, creates or rewrites, or deletes the scheduled scan \"Tarnwick.job\" as the options window does:\n"
       "  Windows starts tarnwick.exe (beside this program) with -Scan every N days (1 to 31, 1 by default) at\n"
       "  HH:MM. Exit code 0: done (also when there was no task to remove), 3: no Task Scheduler, tarnwick.exe\n"
       "  missing, or the task could not be read, saved or deleted.\n"},
      {"update", {"check"}, {},
       "tarnwick-cli update check\n"
       "  Fetches Update.ini as the window's update check does and compares versions; it never starts the\n"
       "  updater. Prints \"up to date\" (exit code 0), \"update available: VERSION\" (1) or \"check failed\" (3).\n"},
  };
  return commands;
}

const CommandDef* FindCommand(const std::string& name) {
  for (const CommandDef& c : Commands())
    if (c.name == name) return &c;
  return nullptr;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

bool ParseSections(const std::string& text, std::vector<int>* sections, std::string* error) {
  std::vector<int> numbers;
  for (const std::string& part : SplitList(text)) {
    const bool digits = !part.empty() && part.size() <= 2 &&
                        std::all_of(part.begin(), part.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    const int n = digits ? std::stoi(part) : 0;
    if (n < 1 || n > 17) {
      *error = "\"" + part + "\" is not a section number; sections are numbered 1 to 17.";
      return false;
    }
    if (std::find(numbers.begin(), numbers.end(), n) == numbers.end()) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  *sections = numbers;
  return true;
}

bool ParseDrives(const std::string& text, std::vector<std::string>* drives, std::string* error) {
  for (std::string part : SplitList(text)) {
    if (part.size() == 3 && part[2] == '\\') part.pop_back();
    if (part.size() != 2 || part[1] != ':' || !std::isalpha(static_cast<unsigned char>(part[0]))) {
      *error = "\"" + part + "\" is not a drive; write drives as C: or C:,D:.";
      return false;
    }
    part[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(part[0])));
    if (!Has(*drives, part)) drives->push_back(part);
  }
  return true;
}

bool OneOrTwoDigits(const std::string& text) {
  return !text.empty() && text.size() <= 2 &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// "H:MM" or "HH:MM", 00:00 to 23:59.
bool ParseTime(const std::string& text, int* hour, int* minute) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || text.size() != colon + 3) return false;
  const std::string h = text.substr(0, colon), m = text.substr(colon + 1);
  if (!OneOrTwoDigits(h) || !OneOrTwoDigits(m)) return false;
  *hour = std::stoi(h);
  *minute = std::stoi(m);
  return *hour <= 23 && *minute <= 59;
}

}  // namespace

bool ParseCliArgs(const std::vector<std::string>& args, CliRequest* request, std::string* error) {
  *request = CliRequest();
  std::vector<std::string> words;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h" || a == "/?") request->help = true; else words.push_back(a);
  }
  if (words.empty()) {
    if (request->help) return true;
    *error = "No command given.";
    return false;
  }
  if (words[0] == "help") {
    request->help = true;
    if (words.size() > 1) request->command = words[1];
    return true;
  }
  const CommandDef* def = FindCommand(words[0]);
  if (!def) {
    *error = "\"" + words[0] + "\" is not a command.";
    return false;
  }
  request->command = def->name;
  size_t i = 1;
  if (!def->actions.empty()) {
    if (i >= words.size() || !Has(def->actions, words[i])) {
      if (request->help) return true;
      *error = i >= words.size() ? "\"" + request->command + "\" needs one of: " : "\"" + words[i] + "\" is not one of: ";
      for (size_t a = 0; a < def->actions.size(); ++a) *error += (a ? ", " : "") + def->actions[a];
      *error += ".";
      return false;
    }
    request->action = words[i++];
  }
  for (; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
      request->operands.push_back(word);
      continue;
    }
    std::string name = word, value;
    bool hasValue = false;
    if (const size_t eq = word.find('='); eq != std::string::npos) {
      name = word.substr(0, eq);
      value = word.substr(eq + 1);
      hasValue = true;
    }
    if (!Has(def->options, name)) {
      *error = "\"" + name + "\" is not an option of \"" + request->command + "\".";
      return false;
    }
    if (name == "--yes") {
      if (hasValue) {
        *error = "--yes takes no value.";
        return false;
      }
      request->yes = true;
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= words.size()) {
        *error = name + " needs a value.";
        return false;
      }
      value = words[++i];
    }
    if (name == "--sections") {
      if (!ParseSections(value, &request->sections, error)) return false;
    } else if (name == "--format") {
      std::string f = value;
      for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (f == "text") request->format = CliFormat::Text;
      else if (f == "csv") request->format = CliFormat::Csv;
      else if (f == "json") request->format = CliFormat::Json;
      else {
        *error = "\"" + value + "\" is not a format; use text, csv or json.";
        return false;
      }
    } else if (name == "--out") {
      request->outFile = value;
    } else if (name == "--exclude-from") {
      request->excludeFrom = value;
    } else if (name == "--drives") {
      if (!ParseDrives(value, &request->drives, error)) return false;
    } else if (name == "--days") {
      request->days = OneOrTwoDigits(value) ? std::stoi(value) : 0;
      if (request->days < 1 || request->days > 31) {
        *error = "\"" + value + "\" is not a number of days; give 1 to 31.";
        return false;
      }
    }
    if (value.empty()) {
      *error = name + " needs a value.";
      return false;
    }
  }
  if (request->help) return true;
  size_t minOperands = 0, maxOperands = 0;
  if (request->action == "restore" || request->action == "set") minOperands = maxOperands = 1;
  if (request->command == "ignore" && request->action != "list") minOperands = 2, maxOperands = 3;
  if (request->operands.size() < minOperands || request->operands.size() > maxOperands) {
    *error = request->operands.size() > maxOperands ? "Unexpected \"" + request->operands[maxOperands] + "\"."
                                                    : "Missing arguments.";
    return false;
  }
  if (request->command == "schedule") {
    // --days belongs to "set", the output options to "show".
    const bool show = request->action == "show", set = request->action == "set";
    const char* stray = request->days && !set ? "--days"
                        : !show && request->format != CliFormat::Text ? "--format"
                        : !show && !request->outFile.empty()          ? "--out"
                                                                      : nullptr;
    if (stray) {
      *error = std::string("\"") + stray + "\" is not an option of \"schedule " + request->action + "\".";
      return false;
    }
    if (set && !ParseTime(request->operands[0], &request->hour, &request->minute)) {
      *error = "\"" + request->operands[0] + "\" is not a time; give HH:MM, 00:00 to 23:59.";
      return false;
    }
    if (set && !request->days) request->days = 1;
  }
  if (minOperands == 2) {
    std::vector<int> section;
    if (!ParseSections(request->operands[0], &section, error) || section.size() != 1) {
      if (error->empty()) *error = "Give one section number.";
      return false;
    }
  }
  return true;
}

std::string CliUsage(const std::string& command) {
  if (const CommandDef* def = FindCommand(command)) return std::string("Usage: ") + def->usage;
  std::string text =
      "Tarnwick console: the registry cleaner and its tools for scripts.\n\nUsage: tarnwick-cli COMMAND [options]\n\n";
  for (const CommandDef& c : Commands()) text += std::string(c.usage) + "\n";
  text += "tarnwick-cli help COMMAND, or COMMAND --help, shows one command.\n"
          "Exit codes: 0 nothing found or all done, 1 problems found, some repairs failed or an update available,\n"
          "2 bad usage, 3 could not run.\n";
  return text;
}

}  // namespace tw
