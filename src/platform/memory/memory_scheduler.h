// An in-memory Task Scheduler for tests: saved work items by name (names compared without case, as the task
// folder's file names are, and enumerated in the case they were saved with). It can be told that there is no
// Task Scheduler, or that work items cannot be saved to a file.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ansi_case.h"
#include "platform/scheduler.h"

namespace tw {

struct SavedWorkItem {
  std::string name;
  WorkItemProperties properties;
  std::optional<TaskTrigger> trigger0;
};

class MemoryScheduler : public IScheduler {
 public:
  SchedulerResult Connect() override;
  bool Connected() const override { return connected_; }
  SchedulerResult EnumWorkItems(const std::function<bool(const std::string& name)>& visit) override;
  SchedulerResult Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) override;
  SchedulerResult NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) override;
  SchedulerResult Delete(const std::string& name) override;

  // The code Connect fails with from now on (kSchedulerNotRegistered: no Task Scheduler); 0 makes it work again.
  void SetConnectFailure(SchedulerResult code) { connectFailure_ = code; }
  // When false, work items have no file interface: Save answers kSchedulerNoInterface.
  void SetCanPersist(bool canPersist) { canPersist_ = canPersist; }
  // Puts a work item straight into the task folder, as another program would.
  void Put(const SavedWorkItem& item);
  // The saved work item `name` (found without case), or null.
  const SavedWorkItem* Find(const std::string& name) const;
  size_t Count() const { return items_.size(); }
  int ConnectCalls() const { return connectCalls_; }

 private:
  class Item;

  std::map<std::string, SavedWorkItem, NoCaseLess> items_;
  SchedulerResult connectFailure_ = kSchedulerOk;
  bool canPersist_ = true;
  bool connected_ = false;
  int connectCalls_ = 0;
};

}  // namespace tw
