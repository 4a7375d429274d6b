// The path tests the sections (and the startup manager and browser repair) use to decide whether a
// registry entry names a file that is really missing.
#pragma once
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace tw {

enum class CommandLineKind {
  Settings,   // software settings and startup entries: drops a leading "@" and the quotes, expands %SystemRoot%\ .
  Uninstall,  // uninstall commands: the caller has removed the quotes already
};

// The file a command line names: a quoted program with arguments, a library-runner line such as
// "rundll32.exe C:\WINDOWS\system32\shell32.dll,Control_RunDLL", or a resource reference.
std::string ExtractCommandPath(IFiles& files, const std::string& text,
                               CommandLineKind kind = CommandLineKind::Settings);

// True for a drive-rooted path with a file name and extension and no wildcard or separator characters.
bool IsFilePathCandidate(const std::string& path);

// True for a path of at most 260 characters without any of / * ? " < > | ; . + - & @ ! , %
// (so only folders and names without an extension pass).
bool HasPlainPathChars(const std::string& path);

// Replaces %SystemRoot%, %windir% and %ProgramFiles% (any case); the result is upper case when
// anything was replaced and unchanged otherwise.
std::string ExpandPathVariables(IFiles& files, IRegistry& reg, const std::string& text);

// "C:\WINDOWS\" or "C:\WINNT\", guessed from the system folder's drive and name.
std::string WindowsFolderGuess(IFiles& files);

// False when the path mentions one of the skipped drives ("D:", ...), compared without case.
bool NotOnSkippedDrive(const std::vector<std::string>& skippedDrives, const std::string& path);

// The root of the drive the temporary folder is on, such as "C:\".
std::string TempDriveRoot(IFiles& files);

// The drives C: to Z: on removable, network, CD-ROM or RAM disks, as "D:" entries.
std::vector<std::string> BuildSkippedDrives(IFiles& files);

// The filters all sections apply before an existence test: no network path ("\\"), nothing that
// mentions "A:", nothing on a skipped drive.
bool ContainsNetworkPath(const std::string& path);  // two backslashes anywhere
bool MentionsDriveA(const std::string& path);
bool PassesPathFilters(const std::vector<std::string>& skippedDrives, const std::string& path);

}  // namespace tw
