#include "platform/memory/memory_scheduler.h"

namespace tw {

// A work item held open: a copy of the saved one, written back by Save.
class MemoryScheduler::Item : public IWorkItem {
 public:
  Item(MemoryScheduler& scheduler, SavedWorkItem item) : scheduler_(scheduler), item_(std::move(item)) {}

  SchedulerResult Read(WorkItemProperties* properties) override {
    *properties = item_.properties;
    return kSchedulerOk;
  }
  SchedulerResult SetProperties(const WorkItemProperties& properties) override {
    item_.properties = properties;
    return kSchedulerOk;
  }
  SchedulerResult GetTrigger0(TaskTrigger* trigger) override {
    if (!item_.trigger0) return kSchedulerTriggerNotFound;
    *trigger = *item_.trigger0;
    return kSchedulerOk;
  }
  SchedulerResult SetTrigger0(const TaskTrigger& trigger) override {
    item_.trigger0 = trigger;
    return kSchedulerOk;
  }
  SchedulerResult Save() override {
    if (!scheduler_.canPersist_) return kSchedulerNoInterface;
    scheduler_.Put(item_);
    return kSchedulerOk;
  }

 private:
  MemoryScheduler& scheduler_;
  SavedWorkItem item_;
};

SchedulerResult MemoryScheduler::Connect() {
  ++connectCalls_;
  if (connected_) return kSchedulerOk;
  if (!SchedulerSucceeded(connectFailure_)) return connectFailure_;
  connected_ = true;
  return kSchedulerOk;
}

SchedulerResult MemoryScheduler::EnumWorkItems(const std::function<bool(const std::string& name)>& visit) {
  if (!connected_) return kSchedulerFail;
  for (const auto& [name, item] : items_)
    if (!visit(item.name)) break;
  return kSchedulerOk;
}

SchedulerResult MemoryScheduler::Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) {
  if (!connected_) return kSchedulerFail;
  const SavedWorkItem* saved = Find(name);
  if (!saved) return kSchedulerFileNotFound;
  *item = std::make_unique<Item>(*this, *saved);
  return kSchedulerOk;
}

SchedulerResult MemoryScheduler::NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) {
  if (!connected_) return kSchedulerFail;
  if (Find(name)) return kSchedulerFileExists;
  *item = std::make_unique<Item>(*this, SavedWorkItem{name, {}, std::nullopt});
  return kSchedulerOk;
}

SchedulerResult MemoryScheduler::Delete(const std::string& name) {
  if (!connected_) return kSchedulerFail;
  return items_.erase(name) ? kSchedulerOk : kSchedulerFileNotFound;
}

void MemoryScheduler::Put(const SavedWorkItem& item) {
  auto it = items_.find(item.name);
  if (it == items_.end()) {
    items_.emplace(item.name, item);
    return;
  }
  // A file written again under a name in another case keeps its first name.
  const std::string name = it->second.name;
  it->second = item;
  it->second.name = name;
}

const SavedWorkItem* MemoryScheduler::Find(const std::string& name) const {
  auto it = items_.find(name);
  return it == items_.end() ? nullptr : &it->second;
}

}  // namespace tw
