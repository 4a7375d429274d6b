#include "sections/path_tests.h"

#include <cctype>

#include "platform/reg_access.h"
#include "sections/text_ops.h"

namespace tw {

namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Drops what stands before the drive letter of the first colon (such as a program running the library).
std::string FromDriveLetter(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return text;
  return text.substr(colon - 1);
}

// A path and its arguments, no second drive: the folder part and the file name cut after its extension.
std::string CutAfterFileName(const std::string& text) {
  size_t cut = text.find_last_of("\\:");
  std::string folder = cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
  std::string rest = cut == std::string::npos ? text : text.substr(cut + 1);
  size_t dot = rest.find('.');
  size_t end = dot == std::string::npos ? 0 : dot;
  while (end < rest.size() && IsNameChar(rest[end])) ++end;
  return FromDriveLetter(folder + rest.substr(0, end));
}

std::string ExtractPath(IFiles& files, const std::string& text, CommandLineKind kind) {
  if (files.FileExists(text)) return text;
  size_t first = text.find(':');
  size_t second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
  if (second == std::string::npos) return CutAfterFileName(text);
  // A program followed by an argument on another drive: keep up to the second drive letter, then cut
  // the argument off what is left.
  size_t start = first == 0 ? 0 : first - 1;
  std::string result = text.substr(start, second - start);
  size_t dot = result.rfind('.');
  if (dot != std::string::npos && result.size() - dot > 4) return ExtractPath(files, result, kind);
  return result;
}

}  // namespace

std::string WindowsFolderGuess(IFiles& files) {
  std::string system = files.SystemDir();
  // Without regard to case: current systems name the folder "Windows", and an exact-case test would send
  // every %SystemRoot% path to a "WINNT" folder that does not exist, reporting sound entries as broken.
  return system.substr(0, 3) + (ContainsNoCase(system, "WINDOWS") ? "WINDOWS\\" : "WINNT\\");
}

std::string ExtractCommandPath(IFiles& files, const std::string& text, CommandLineKind kind) {
  std::string line = text;
  if (kind == CommandLineKind::Settings) {
    if (!line.empty() && line[0] == '@') line.erase(0, 1);
    line = RemoveChars(line, "\"");
    if (Contains(UpperText(line), "%SYSTEMROOT%\\"))
      line = ReplaceAll(UpperText(line), "%SYSTEMROOT%\\", WindowsFolderGuess(files));
  }
  return ExtractPath(files, line, kind);
}

bool IsFilePathCandidate(const std::string& path) {
  static const std::string kBad = "%/*?\"<>|;,";
  std::string p = TrimText(ReplaceAll(path, "\"", " "));
  if (p.find_first_of(kBad) != std::string::npos) return false;
  std::string name = FileNamePart(p);
  std::string ext = FileExtension(p);
  if (name.empty() || ext.size() < 2) return false;
  if (p.size() < 2 || !IsAsciiLetter(p[0]) || p[1] != ':') return false;
  // No colon after the drive's, the very last character excepted.
  size_t other = p.find(':', 2);
  return other == std::string::npos || other == p.size() - 1;
}

bool HasPlainPathChars(const std::string& path) {
  return path.size() <= 260 && path.find_first_of("/*?\"<>|;.+-&@!,%") == std::string::npos;
}

std::string ExpandPathVariables(IFiles& files, IRegistry& reg, const std::string& text) {
  std::string result = text;
  const std::string windows = UpperText(files.WindowsDir());
  auto expand = [&result](const char* variable, const std::string& value) {
    if (Contains(UpperText(result), variable)) result = ReplaceAll(UpperText(result), variable, value);
  };
  expand("%SYSTEMROOT%", windows);
  expand("%WINDIR%", windows);
  if (Contains(UpperText(result), "%PROGRAMFILES%")) expand("%PROGRAMFILES%", UpperText(ProgramFolder(reg, 0)));
  return result;
}

bool NotOnSkippedDrive(const std::vector<std::string>& skippedDrives, const std::string& path) {
  for (const auto& drive : skippedDrives)
    if (!drive.empty() && ContainsNoCase(path, drive)) return false;
  return true;
}

std::string TempDriveRoot(IFiles& files) { return files.TempDir().substr(0, 3); }

std::vector<std::string> BuildSkippedDrives(IFiles& files) {
  std::vector<std::string> drives;
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    uint32_t type = files.DriveType(std::string(1, letter) + ":\\");
    if (type == kDriveRemovable || type == kDriveRemote || type == kDriveCdRom || type == kDriveRamDisk)
      drives.push_back(std::string(1, letter) + ":");
  }
  return drives;
}

bool ContainsNetworkPath(const std::string& path) { return Contains(path, "\\\\"); }

bool MentionsDriveA(const std::string& path) { return Contains(UpperText(path), "A:"); }

bool PassesPathFilters(const std::vector<std::string>& skippedDrives, const std::string& path) {
  return !ContainsNetworkPath(path) && !MentionsDriveA(path) && NotOnSkippedDrive(skippedDrives, path);
}

}  // namespace tw
