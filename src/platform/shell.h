// The shell: starting programs and documents, web addresses. Grows with the tools that need it.
// Implemented by MemoryShell (platform/memory) and Win32Shell (platform/win32).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

using ProgramHandle = std::uintptr_t;  // 0: no program

// The shell's file operations and their flags, numbered as the shell numbers them.
enum class ShellFileOp : uint32_t { Move = 1, Delete = 3 };
constexpr uint32_t kFofNoConfirmation = 0x10;
constexpr uint32_t kFofAllowUndo = 0x40;
constexpr uint32_t kFofNoErrorUi = 0x400;

// What the shell shows for a file, folder or drive: its display name and its small icon's index in the system
// image list (-1 for none).
struct ShellItemInfo {
  std::string displayName;
  int iconIndex = -1;
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Starts a program or document with a verb ("open", "runas"); true when it started.
  virtual bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCommand) = 0;
  // Opens the address with the browser automation object, sized to the screen; false when the object
  // cannot be created.
  virtual bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) = 0;
  // Loads a shortcut (".lnk") through the shell's link object and gives the path it points at, in its network
  // form where it has one. False when the file cannot be loaded as a shortcut; a shortcut that names no
  // file-system path gives true and an empty target. A target without an exact ANSI form counts as not loadable.
  virtual bool ResolveShortcut(const std::string& linkFile, std::string* target) = 0;
  // Sends the files (full paths) to the Recycle Bin in one operation, without confirmation, error dialog or
  // progress window. True when the operation ran to its end; whether each file is gone is for the caller to
  // check, since a file the Recycle Bin cannot take may be left where it was.
  virtual bool RecycleFiles(const std::vector<std::string>& paths) = 0;
  // Starts a command line as it is (program and arguments as Windows parses them), its window shown normally,
  // and does not wait for it; true when the process started.
  virtual bool StartCommandLine(const std::string& commandLine) = 0;
  // The display name and icon of a path ("C:\\" for a drive); false when the shell knows nothing of it.
  virtual bool ItemInfo(const std::string& path, ShellItemInfo* info) = 0;
  // The shell's folder picker titled `title`; false when it was cancelled.
  virtual bool BrowseForFolder(const std::string& title, std::string* folder) = 0;
  // One shell file operation on one path: Delete (to the Recycle Bin with kFofAllowUndo) or Move to `to`, a full
  // target path. True when the shell reported success and nothing was aborted; the caller checks the outcome.
  virtual bool FileOperation(ShellFileOp op, const std::string& from, const std::string& to, uint32_t flags) = 0;
  // Starts a program (found as the shell finds it) with its window hidden, so that its end can be waited for;
  // 0 when it did not start. Every handle given is closed with CloseProgram.
  virtual ProgramHandle StartHidden(const std::string& file, const std::string& parameters) = 0;
  // Waits at most `milliseconds` for the program to end; true once it has ended.
  virtual bool ProgramEnded(ProgramHandle program, uint32_t milliseconds) = 0;
  virtual void CloseProgram(ProgramHandle program) = 0;
};

}  // namespace tw
