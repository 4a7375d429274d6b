// The command line of the console front end: commands, options and their checks.
#pragma once
#include <string>
#include <vector>

namespace tw {

enum class CliFormat { Text, Csv, Json };

struct CliRequest {
  std::string command;     // "scan", "repair", "backups", "startup", "junk", "ignore", "schedule", "update"
  std::string action;      // "list", "restore", "add", "remove", "scan", "show", "set", "check" where there is one
  std::vector<std::string> operands;
  std::vector<int> sections;  // 1 to 17, ascending, no repeats; all when none was given
  CliFormat format = CliFormat::Text;
  std::string outFile;
  std::string excludeFrom;
  std::vector<std::string> drives;  // "C:", ...
  bool yes = false;
  int hour = -1, minute = -1;  // "schedule set HH:MM"
  int days = 0;                // --days, 1 to 31; 0 when not given
  bool help = false;
};

// Exit codes.
constexpr int kExitDone = 0;
constexpr int kExitFound = 1;  // problems found, or some repairs failed
constexpr int kExitUsage = 2;
constexpr int kExitCannotRun = 3;

// Reads the arguments after the program name. False with `error` set when they are not a valid command line.
bool ParseCliArgs(const std::vector<std::string>& args, CliRequest* request, std::string* error);

// The usage text of one command, or of the program when `command` is empty or unknown.
std::string CliUsage(const std::string& command);

}  // namespace tw
