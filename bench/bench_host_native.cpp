#include <sys/resource.h>

#include <chrono>
#include <string>

#include "bench_host.h"
#include "platform/memory/memory_platform.h"

namespace tw::bench {
namespace {

class MemoryText : public ITextTarget {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

class NativePlatform : public IBenchPlatform {
 public:
  Platform& Get() override { return memory_.platform; }
  bool IsReal() const override { return false; }
  bool MakeShortcut(const std::string& link, const std::string& target) override {
    memory_.files.AddFile(link, "L");
    memory_.shell.SetShortcut(link, target);
    return true;
  }

 private:
  MemoryPlatform memory_;
};

class GapPump : public IMessagePump {
 public:
  explicit GapPump(PumpStats& stats) : stats_(stats) {}
  void ProcessMessages() override {
    const double now = NowSeconds();
    const double gap = (now - last_) * 1000.0;
    if (gap > stats_.longestCallGapMs) stats_.longestCallGapMs = gap;
    last_ = now;
    ++stats_.calls;
    ++stats_.realPumps;
  }
  void Reset() { last_ = NowSeconds(); }

 private:
  PumpStats& stats_;
  double last_ = NowSeconds();
};

class NativeScreen : public IBenchScreen {
 public:
  ITextTarget& StatusPanel() override { return status_; }
  ITextTarget& CountLabel() override { return count_; }
  IMessagePump& Pump() override { return pump_; }
  void ResetStats() override {
    stats_ = PumpStats();
    pump_.Reset();
  }
  PumpStats Finish() override {
    stats_.longestRealGapMs = stats_.longestOwnGapMs = stats_.longestCallGapMs;
    return stats_;
  }
  const char* Kind() const override { return "memory targets, no window"; }

 private:
  PumpStats stats_;
  MemoryText status_;
  MemoryText count_;
  GapPump pump_{stats_};
};

}  // namespace

std::unique_ptr<IBenchScreen> CreateBenchScreen() { return std::make_unique<NativeScreen>(); }

std::unique_ptr<IBenchPlatform> CreateBenchPlatform() { return std::make_unique<NativePlatform>(); }

double NowSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

uint64_t PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

}  // namespace tw::bench
