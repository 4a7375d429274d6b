#include <string>

#include "platform/memory/memory_platform.h"
#include "support/test_platform.h"

namespace tw {
namespace {

class MemoryTestPlatform : public TestPlatform {
 public:
  MemoryTestPlatform() {
    static int counter = 0;
    std::string n = std::to_string(++counter);
    scratchKey_ = "Software\\TarnwickTests\\" + n;
    scratchFolder_ = "C:\\tarnwick-scratch\\" + n;
    RegKeyHandle key;
    key.Open(memory_.registry, kCurrentUser, scratchKey_, true);
    memory_.files.AddFolder(scratchFolder_);
  }
  Platform& Get() override { return memory_.platform; }
  bool IsReal() const override { return false; }
  bool IsWine() const override { return false; }

 private:
  MemoryPlatform memory_;
};

}  // namespace

std::unique_ptr<TestPlatform> MakeTestPlatform() { return std::make_unique<MemoryTestPlatform>(); }

}  // namespace tw
