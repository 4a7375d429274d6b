#include <string>

#include "platform/win32/win32_platform.h"
#include "support/test_platform.h"

namespace tw {
namespace {

constexpr const char* kScratchKeys = "Software\\TarnwickTests";
constexpr const char* kScratchFolders = "C:\\tarnwick-scratch";

class Win32TestPlatform : public TestPlatform {
 public:
  Win32TestPlatform() {
    static int counter = 0;
    std::string n = std::to_string(++counter);
    scratchKey_ = std::string(kScratchKeys) + "\\" + n;
    scratchFolder_ = std::string(kScratchFolders) + "\\" + n;
    Clean();  // left over by an earlier run that did not end
    RegKeyHandle key;
    key.Open(real_.registry, kCurrentUser, scratchKey_, true);
    real_.files.MakeDirectory(kScratchFolders);
    real_.files.MakeDirectory(scratchFolder_);
  }
  ~Win32TestPlatform() override { Clean(); }

  Platform& Get() override { return real_.platform; }
  bool IsReal() const override { return true; }
  bool IsWine() const override { return RunningOnWine(); }

 private:
  void Clean() {
    real_.registry.DeleteTree(kCurrentUser, scratchKey_);
    if (real_.files.DirectoryExists(scratchFolder_)) RemoveFolderTree(real_.files, scratchFolder_);
  }

  Win32Platform real_;
};

}  // namespace

std::unique_ptr<TestPlatform> MakeTestPlatform() { return std::make_unique<Win32TestPlatform>(); }

}  // namespace tw
