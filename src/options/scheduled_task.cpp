#include "options/scheduled_task.h"

#include <algorithm>
#include <cstdio>

namespace tw {

std::string SchedulerCodeText(SchedulerResult code) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<uint32_t>(code)));
  return text;
}

TScheduledTask::TScheduledTask(Platform& platform, IPrompts& prompts, std::string exePath)
    : platform_(platform), prompts_(prompts), exePath_(std::move(exePath)) {}

void TScheduledTask::Tell(const std::string& text) { prompts_.Tell("Tarnwick", text, PromptIcon::None); }

bool TScheduledTask::Connect() {
  const SchedulerResult result = platform_.scheduler.Connect();
  available_ = SchedulerSucceeded(result) && platform_.scheduler.Connected();
  if (!available_) Tell(kTaskConnectError + SchedulerCodeText(result));
  return available_;
}

void TScheduledTask::cbActiveTaskClick(bool ticked) {
  active_ = ticked;
  controlsEnabled_ = ticked;
  if (ticked) {
    const LocalTime now = platform_.system.Now();
    hour_ = now.hour;
    minute_ = now.minute;
  } else {
    hour_ = 9;
    minute_ = 30;
  }
  days_ = 1;
}

void TScheduledTask::SetStartTime(int hour, int minute) {
  hour_ = std::clamp(hour, 0, 23);
  minute_ = std::clamp(minute, 0, 59);
}

void TScheduledTask::SetDays(int days) { days_ = std::clamp(days, kTaskMinDays, kTaskMaxDays); }

void TScheduledTask::FillPage() {
  workItem_.reset();
  taskName_.clear();
  taskProgram_.clear();
  cbActiveTaskClick(false);
  if (!available_) return;
  platform_.scheduler.EnumWorkItems([this](const std::string& name) {
    if (name != kTaskName) return true;  // letter case counts
    cbActiveTaskClick(true);
    std::unique_ptr<IWorkItem> item;
    const SchedulerResult result = platform_.scheduler.Activate(name, &item);
    if (!SchedulerSucceeded(result) || !item) {
      Tell(kTaskActivateError + SchedulerCodeText(result));
      return false;
    }
    WorkItemProperties properties;
    item->Read(&properties);
    taskProgram_ = properties.applicationName;
    taskName_ = name;
    // An item written by another program may have no trigger, or one of another kind: the page then keeps the
    // time and day count the tick gave it.
    TaskTrigger trigger;
    if (SchedulerSucceeded(item->GetTrigger0(&trigger))) {
      SetStartTime(trigger.startHour, trigger.startMinute);
      if (trigger.triggerType == kTriggerDaily) SetDays(trigger.typeWords[0]);
    }
    workItem_ = std::move(item);
    return false;
  });
}

bool TScheduledTask::SaveWorkItem() {
  const SchedulerResult result = workItem_->Save();
  if (result == kSchedulerNoInterface) {
    Tell(kTaskNoPersistFile);
    return false;
  }
  if (!SchedulerSucceeded(result)) {
    Tell(kTaskSaveError + SchedulerCodeText(result));
    return false;
  }
  return true;
}

bool TScheduledTask::CreateWorkItem() {
  std::unique_ptr<IWorkItem> item;
  const SchedulerResult result = platform_.scheduler.NewWorkItem(kTaskName, &item);
  if (!SchedulerSucceeded(result) || !item) {
    Tell(kTaskCreateError + SchedulerCodeText(result));
    return false;
  }
  WorkItemProperties properties;
  properties.applicationName = exePath_;
  properties.workingDirectory = exePath_.substr(0, exePath_.find_last_of('\\') + 1);
  properties.parameters = kTaskParameters;
  properties.flags = kWorkItemRunOnlyIfLoggedOn;
  properties.comment = kTaskComment;
  properties.account = platform_.system.UserName();
  properties.taskFlags = 0;
  // A setter the scheduler does not support (Wine has no task flags) leaves the item usable.
  item->SetProperties(properties);
  workItem_ = std::move(item);
  if (!SaveWorkItem()) {
    workItem_.reset();  // nothing was written: the next "OK" starts anew
    return false;
  }
  taskName_ = kTaskName;
  taskProgram_ = exePath_;
  return true;
}

bool TScheduledTask::Apply() {
  if (!available_) return true;
  if (active_) {
    if (!workItem_ && !CreateWorkItem()) return false;
    const LocalTime today = platform_.system.Now();
    TaskTrigger trigger;
    trigger.beginYear = static_cast<uint16_t>(today.year);
    trigger.beginMonth = static_cast<uint16_t>(today.month);
    trigger.beginDay = static_cast<uint16_t>(today.day);
    trigger.startHour = static_cast<uint16_t>(hour_);
    trigger.startMinute = static_cast<uint16_t>(minute_);
    trigger.triggerType = kTriggerDaily;
    trigger.typeWords[0] = static_cast<uint16_t>(days_);
    const SchedulerResult result = workItem_->SetTrigger0(trigger);
    if (!SchedulerSucceeded(result)) {
      Tell(kTaskTriggerError + SchedulerCodeText(result));
      return false;
    }
    return SaveWorkItem();
  }
  if (!workItem_) return true;
  const SchedulerResult result = platform_.scheduler.Delete(kTaskName);
  // An item already deleted by someone else is gone just the same.
  if (!SchedulerSucceeded(result) && result != kSchedulerFileNotFound) {
    Tell(kTaskDeleteError + SchedulerCodeText(result));
    return false;
  }
  workItem_.reset();
  taskName_.clear();
  taskProgram_.clear();
  return true;
}

}  // namespace tw
