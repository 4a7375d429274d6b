// Starting programs and documents through the Windows shell, web addresses through the browser's
// automation object, shortcut targets through the shell's link object, the Recycle Bin through the shell's
// file operation.
#pragma once
#include <string>

#include "platform/shell.h"

namespace tw {

class Win32Shell : public IShell {
 public:
  bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int showCommand) override;
  bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) override;
  bool ResolveShortcut(const std::string& linkFile, std::string* target) override;
  bool RecycleFiles(const std::vector<std::string>& paths) override;
  bool StartCommandLine(const std::string& commandLine) override;
  bool ItemInfo(const std::string& path, ShellItemInfo* info) override;
  bool BrowseForFolder(const std::string& title, std::string* folder) override;
  bool FileOperation(ShellFileOp op, const std::string& from, const std::string& to, uint32_t flags) override;
  ProgramHandle StartHidden(const std::string& file, const std::string& parameters) override;
  bool ProgramEnded(ProgramHandle program, uint32_t milliseconds) override;
  void CloseProgram(ProgramHandle program) override;
  ~Win32Shell() override;

 private:
  // COM is initialised on this thread once, at the first shortcut, and released with the shell.
  bool comStarted_ = false;
  bool comTried_ = false;
};

}  // namespace tw
