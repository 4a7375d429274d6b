// A shell that records what it is asked to start, with settable outcomes. Shortcut targets come from a table
// the tests fill; files sent to the Recycle Bin leave the file system it is given and are listed in `recycled`.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace tw {

class MemoryShell : public IShell {
 public:
  explicit MemoryShell(IFiles* files = nullptr) : files_(files) {}

  struct ExecuteCall {
    std::string verb, file, parameters, directory;
    int showCommand = 0;
  };
  struct BrowserCall {
    std::string address;
    int left = 0, top = 0, width = 0, height = 0;
  };

  bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int showCommand) override {
    executeCalls.push_back({verb, file, parameters, directory, showCommand});
    return executeResult_;
  }
  bool OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) override {
    if (!browserAvailable_) return false;
    browserCalls.push_back({address, left, top, width, height});
    return true;
  }

  bool ResolveShortcut(const std::string& linkFile, std::string* target) override {
    ++resolveCalls;
    if (files_ && !files_->FileExists(linkFile)) return false;
    const auto found = shortcuts_.find(linkFile);
    if (found == shortcuts_.end()) return false;
    *target = found->second;
    return true;
  }
  bool StartCommandLine(const std::string& commandLine) override {
    commandLines.push_back(commandLine);
    return executeResult_;
  }
  // A started program runs its `onStart` action (what the program would do) at once and ends after
  // `programPolls` calls of ProgramEnded.
  ProgramHandle StartHidden(const std::string& file, const std::string& parameters) override {
    startCalls.push_back({"", file, parameters, "", 0});
    if (!executeResult_) return 0;
    if (onStart) onStart(file, parameters);
    programs_.push_back(programPolls);
    return programs_.size();
  }
  bool ProgramEnded(ProgramHandle program, uint32_t) override {
    int& left = programs_.at(program - 1);
    return left <= 0 || --left == 0;
  }
  void CloseProgram(ProgramHandle program) override {
    if (program) ++closedPrograms;
  }
  bool RecycleFiles(const std::vector<std::string>& paths) override {
    for (const std::string& path : paths) {
      if (refused_.count(path)) continue;  // left where it was, as the Recycle Bin may do
      if (files_ && !files_->RemoveFile(path)) continue;
      recycled.push_back(path);
    }
    return true;
  }

  bool ItemInfo(const std::string& path, ShellItemInfo* info) override {
    const auto found = items_.find(path);
    if (found == items_.end()) return false;
    *info = found->second;
    return true;
  }
  bool BrowseForFolder(const std::string& title, std::string* folder) override {
    browseTitles.push_back(title);
    if (picks_.empty() || picks_.front().empty()) {
      if (!picks_.empty()) picks_.erase(picks_.begin());
      return false;
    }
    *folder = picks_.front();
    picks_.erase(picks_.begin());
    return true;
  }
  // Deletes (to `recycled` with kFofAllowUndo) a file or an empty folder, or moves a file, in the file system.
  bool FileOperation(ShellFileOp op, const std::string& from, const std::string& to, uint32_t flags) override {
    fileOperations.push_back({op, from, to, flags});
    if (!files_ || refused_.count(from)) return false;
    if (op == ShellFileOp::Move) return files_->MoveFileTo(from, to);
    if (!(files_->DirectoryExists(from) ? files_->RemoveFolder(from) : files_->RemoveFile(from))) return false;
    if (flags & kFofAllowUndo) recycled.push_back(from);
    return true;
  }
  // What ItemInfo answers for a path.
  void SetItemInfo(const std::string& path, const ShellItemInfo& info) { items_[path] = info; }
  // The folder the next folder picker returns; an empty one cancels it.
  void QueueFolderPick(const std::string& folder) { picks_.push_back(folder); }

  // A shortcut file whose link object names `target`; a file without an entry does not load as a shortcut.
  void SetShortcut(const std::string& linkFile, const std::string& target) { shortcuts_[linkFile] = target; }
  // A file the Recycle Bin will not take.
  void RefuseRecycling(const std::string& path) { refused_.insert(path); }

  void SetExecuteResult(bool started) { executeResult_ = started; }
  // Without the browser object OpenInBrowserObject fails and records nothing.
  void SetBrowserAvailable(bool available) { browserAvailable_ = available; }

  std::vector<ExecuteCall> executeCalls;
  std::vector<ExecuteCall> startCalls;  // StartHidden: file and parameters
  std::function<void(const std::string& file, const std::string& parameters)> onStart;
  int programPolls = 1;
  int closedPrograms = 0;
  std::vector<BrowserCall> browserCalls;
  std::vector<std::string> recycled;
  std::vector<std::string> commandLines;  // StartCommandLine, in order
  struct FileOperationCall {
    ShellFileOp op;
    std::string from, to;
    uint32_t flags;
  };
  std::vector<FileOperationCall> fileOperations;
  std::vector<std::string> browseTitles;
  int resolveCalls = 0;

 private:
  bool executeResult_ = true;
  std::vector<int> programs_;  // polls left for each started program
  bool browserAvailable_ = true;
  IFiles* files_;
  std::map<std::string, std::string, NoCaseLess> shortcuts_;
  std::set<std::string, NoCaseLess> refused_;
  std::map<std::string, ShellItemInfo, NoCaseLess> items_;
  std::vector<std::string> picks_;
};

}  // namespace tw
