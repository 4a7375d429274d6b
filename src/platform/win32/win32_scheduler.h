// The Task Scheduler 1.0 interfaces: one scheduler object per program run, created at the first Connect on
// the thread that calls it (COM is initialised there) and released with this object.
#pragma once
#include <string>

#include "platform/scheduler.h"

struct ITaskScheduler;

namespace tw {

class Win32Scheduler : public IScheduler {
 public:
  Win32Scheduler() = default;
  Win32Scheduler(const Win32Scheduler&) = delete;
  Win32Scheduler& operator=(const Win32Scheduler&) = delete;
  ~Win32Scheduler() override;

  SchedulerResult Connect() override;
  bool Connected() const override { return scheduler_ != nullptr; }
  SchedulerResult EnumWorkItems(const std::function<bool(const std::string& name)>& visit) override;
  SchedulerResult Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) override;
  SchedulerResult NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) override;
  SchedulerResult Delete(const std::string& name) override;

 private:
  ITaskScheduler* scheduler_ = nullptr;
  bool comStarted_ = false;
};

}  // namespace tw
