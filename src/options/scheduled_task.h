// The "Scheduling" page of the options window: one Task Scheduler work item, "Tarnwick.job", that starts the
// program with "-Scan" every few days at a fixed time. The page shows whether the item exists, its start time
// and day count; "OK" creates, rewrites or deletes it.
#pragma once
#include <memory>
#include <string>

#include "app/prompts.h"
#include "platform/platform.h"

namespace tw {

constexpr const char* kTaskName = "Tarnwick.job";
constexpr const char* kTaskParameters = "-Scan";
constexpr const char* kTaskComment = "Runs Tarnwick at Scheduled Time.";
constexpr const char* kTaskConnectError = "Error in ActiveX.CoCreateInstance.Error Code :";
constexpr const char* kTaskActivateError = "Error in SchedulingAgent.Activate.Error Code :";
constexpr const char* kTaskNoPersistFile = "Error in  Task.QueryInterface(IID_IPersistFile, pIPersistFile):";
constexpr const char* kTaskCreateError = "Error in SchedulingAgent.NewWorkItem.Error Code :";
constexpr const char* kTaskTriggerError = "Error in TaskTrigger.SetTrigger.Error Code :";
constexpr const char* kTaskSaveError = "Error in PersistFile.Save.Error Code :";
constexpr const char* kTaskDeleteError = "Error in SchedulingAgent.Delete.Error Code :";

constexpr int kTaskMinDays = 1;
constexpr int kTaskMaxDays = 31;

// A failing scheduler code as the messages show it: 8 upper-case hexadecimal digits.
std::string SchedulerCodeText(SchedulerResult code);

class TScheduledTask {
 public:
  TScheduledTask(Platform& platform, IPrompts& prompts, std::string exePath);

  // Makes the program-wide Task Scheduler connection when there is none yet. False when there is no Task
  // Scheduler: the message has been shown and the page must be disabled; the rest of the window works.
  bool Connect();
  bool Available() const { return available_; }
  // From the window's showing and from switching to the page: the state of the work item as saved.
  void FillPage();
  // The box clicked (also when the program ticks or unticks it).
  void cbActiveTaskClick(bool ticked);
  // The time picker changed (hours and minutes only).
  void SetStartTime(int hour, int minute);
  // The day count changed; kept within 1..31.
  void SetDays(int days);
  // "OK": creates or rewrites the work item when the box is ticked, deletes it when unticked. False (the
  // message shown) when creating, saving or deleting failed.
  bool Apply();

  bool Active() const { return active_; }
  bool ControlsEnabled() const { return controlsEnabled_; }
  int Hour() const { return hour_; }
  int Minute() const { return minute_; }
  int Days() const { return days_; }
  // abTaskName: the found task's name, empty when none.
  const std::string& TaskName() const { return taskName_; }
  // The found task's application name, for ImageTask's icon; empty when none.
  const std::string& TaskProgram() const { return taskProgram_; }

 private:
  void Tell(const std::string& text);
  bool CreateWorkItem();
  bool SaveWorkItem();

  Platform& platform_;
  IPrompts& prompts_;
  std::string exePath_;
  bool available_ = false;
  bool active_ = false;
  bool controlsEnabled_ = false;
  int hour_ = 9;
  int minute_ = 30;
  int days_ = 1;
  std::string taskName_;
  std::string taskProgram_;
  std::unique_ptr<IWorkItem> workItem_;  // the known work item, when the page found it or Apply created it
};

}  // namespace tw
