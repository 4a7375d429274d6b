// The benchmark's window under Windows: the main window's own throttled labels and message pump (ui/win32_ui)
// on two labels of a real top-level window; this file only makes the window and measures.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_host.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32_ui.h"

namespace tw::bench {
namespace {

// A second thread that asks the system a trivial question every millisecond and records each stretch in which no
// answer came for more than 5 ms: the system was busy with something else (under Wine, its server saving the
// registry), or the process was not given the processor. A gap of the scan inside such a stretch is not the scan's.
class SystemWatch {
 public:
  SystemWatch() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Run(); }) {}
  ~SystemWatch() {
    stop_ = true;
    thread_.join();
    CloseHandle(event_);
  }
  // The milliseconds of [from, to] that fall in a recorded stretch.
  double Overlap(double from, double to) {
    std::lock_guard<std::mutex> lock(mutex_);
    double total = 0;
    for (const auto& [start, end] : stalls_) total += std::max(0.0, std::min(end, to) - std::max(start, from));
    return total;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    stalls_.clear();
  }

 private:
  void Run() {
    double last = NowMs();
    while (!stop_) {
      WaitForSingleObject(event_, 0);
      const double now = NowMs();
      if (now - last > 5) {
        std::lock_guard<std::mutex> lock(mutex_);
        stalls_.emplace_back(last, now);
      }
      last = now;
      Sleep(1);  // a normal round takes 1 to 2 ms
    }
  }

  HANDLE event_;
  volatile bool stop_ = false;
  std::mutex mutex_;
  std::vector<std::pair<double, double>> stalls_;
  std::thread thread_;
};

// Counts what really reaches the screen: a real pump happens when the pump's interval has passed.
class MeasuredPump : public IMessagePump {
 public:
  MeasuredPump(PumpStats& stats, Win32Pump& inner) : stats_(stats), inner_(inner) {}
  void ProcessMessages() override {
    const double now = NowMs();
    ++stats_.calls;
    const double gap = now - lastCall_;
    if (gap > stats_.longestCallGapMs) stats_.longestCallGapMs = gap;
    if (gap > 5) gaps_.emplace_back(lastCall_, now);
    lastCall_ = now;
    const bool real = now - lastReal_ >= Win32Pump::kMinIntervalMs;
    inner_.ProcessMessages();
    if (real) {
      const double after = NowMs();
      if (after - lastReal_ > stats_.longestRealGapMs) stats_.longestRealGapMs = after - lastReal_;
      lastReal_ = after;
      ++stats_.realPumps;
    }
  }
  void Reset() {
    lastCall_ = lastReal_ = NowMs();
    gaps_.clear();
    watch_.Clear();
  }
  // The longest gap less what the system watch saw stalled in it.
  void Finish() {
    for (const auto& [from, to] : gaps_)
      stats_.longestOwnGapMs = std::max(stats_.longestOwnGapMs, to - from - watch_.Overlap(from, to));
  }

 private:
  PumpStats& stats_;
  Win32Pump& inner_;
  SystemWatch watch_;
  std::vector<std::pair<double, double>> gaps_;
  double lastCall_ = NowMs();
  double lastReal_ = NowMs();
};

class RealPlatform : public IBenchPlatform {
 public:
  Platform& Get() override { return real_.platform; }
  bool IsReal() const override { return true; }
  bool MakeShortcut(const std::string& link, const std::string& target) override {
    if (!comStarted_) comStarted_ = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell))))
      return false;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    const bool saved = SUCCEEDED(shell->SetPath(target.c_str())) &&
                       SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                       SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    shell->Release();
    return saved;
  }

 private:
  Win32Platform real_;
  bool comStarted_ = false;
};

HWND MakeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnwickBenchWindow";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassA(&wc);
  return CreateWindowA("TarnwickBenchWindow", "Tarnwick bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 160,
                       nullptr, nullptr, wc.hInstance, nullptr);
}

class Win32Screen : public IBenchScreen {
 public:
  Win32Screen() : window_(MakeWindow()), measured_(stats_, pump_) {
    status_.Attach(CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 8, 8, 600, 20, window_, nullptr, nullptr,
                                 nullptr));
    count_.Attach(CreateWindowA("STATIC", "0", WS_CHILD | WS_VISIBLE | SS_RIGHT, 8, 40, 80, 20, window_, nullptr,
                                nullptr, nullptr));
    pump_.AddLabel(&status_);
    pump_.AddLabel(&count_);
    pump_.ProcessNow();
  }
  ~Win32Screen() override { DestroyWindow(window_); }

  ITextTarget& StatusPanel() override { return status_; }
  ITextTarget& CountLabel() override { return count_; }
  IMessagePump& Pump() override { return measured_; }
  void ResetStats() override {
    stats_ = PumpStats();
    measured_.Reset();
  }
  PumpStats Finish() override {
    status_.Flush(true);
    count_.Flush(true);
    pump_.ProcessNow();
    measured_.Finish();
    return stats_;
  }
  const char* Kind() const override { return "Win32 window with the main window's throttled pump and labels"; }

 private:
  PumpStats stats_;
  HWND window_;
  Win32Label status_;
  Win32Label count_;
  Win32Pump pump_;
  MeasuredPump measured_;
};

}  // namespace

std::unique_ptr<IBenchScreen> CreateBenchScreen() { return std::make_unique<Win32Screen>(); }

std::unique_ptr<IBenchPlatform> CreateBenchPlatform() { return std::make_unique<RealPlatform>(); }

double NowSeconds() { return NowMs() / 1000.0; }

uint64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

}  // namespace tw::bench
