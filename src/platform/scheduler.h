// The Task Scheduler: the work items in its task folder, each a program started by its triggers.
// Implemented by MemoryScheduler (platform/memory) and Win32Scheduler (platform/win32).
// Every call answers with a COM result code: 0 (or another non-negative code) for success, a negative one
// (shown to the user as 8 hexadecimal digits) for failure.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

using SchedulerResult = int32_t;

constexpr SchedulerResult kSchedulerOk = 0;
constexpr SchedulerResult kSchedulerFalse = 1;  // the enumeration has ended
constexpr SchedulerResult kSchedulerNoInterface = static_cast<int32_t>(0x80004002);
constexpr SchedulerResult kSchedulerFail = static_cast<int32_t>(0x80004005);
constexpr SchedulerResult kSchedulerFileNotFound = static_cast<int32_t>(0x80070002);
constexpr SchedulerResult kSchedulerFileExists = static_cast<int32_t>(0x80070050);
constexpr SchedulerResult kSchedulerNotRegistered = static_cast<int32_t>(0x80040154);  // class not registered
constexpr SchedulerResult kSchedulerTriggerNotFound = static_cast<int32_t>(0x80041309);

inline bool SchedulerSucceeded(SchedulerResult result) { return result >= 0; }

constexpr uint32_t kWorkItemRunOnlyIfLoggedOn = 0x2000;
constexpr uint32_t kTriggerDaily = 1;

// The scheduler's trigger record (48 bytes), field by field.
struct TaskTrigger {
  uint16_t size = 48;
  uint16_t reserved1 = 0;
  uint16_t beginYear = 0, beginMonth = 0, beginDay = 0;
  uint16_t endYear = 0, endMonth = 0, endDay = 0;
  uint16_t startHour = 0, startMinute = 0;
  uint32_t minutesDuration = 0;
  uint32_t minutesInterval = 0;
  uint32_t flags = 0;
  uint32_t triggerType = 0;  // 0 once, 1 daily, 2 weekly, 3 monthly by date, 4 monthly by weekday, 5.. events
  // The words of the type's own part. Daily: [0] days between runs. Weekly: [0] weeks between runs, [1] days
  // of the week. Monthly by date: [0] and [1] the days (low word first), [2] the months. Monthly by weekday:
  // [0] which week, [1] days of the week, [2] the months.
  uint16_t typeWords[3] = {0, 0, 0};
  uint16_t reserved2 = 0;
  uint16_t randomMinutesInterval = 0;

  bool operator==(const TaskTrigger&) const = default;
};

// What a work item runs and how; the order of the fields is the order Create sets them in.
struct WorkItemProperties {
  std::string applicationName;
  std::string workingDirectory;
  std::string parameters;
  uint32_t flags = 0;
  std::string comment;
  std::string account;  // run as this user, with no password
  uint32_t taskFlags = 0;
};

// One work item, held open. Changes stay in the object until Save writes them to the item's file.
class IWorkItem {
 public:
  virtual ~IWorkItem() = default;
  // The item's properties as held (the account as the scheduler reports it; empty when it cannot say).
  virtual SchedulerResult Read(WorkItemProperties* properties) = 0;
  // Sets every property, in the order of the fields; the first failing setter's code (the rest are still set).
  virtual SchedulerResult SetProperties(const WorkItemProperties& properties) = 0;
  // Trigger 0; kSchedulerTriggerNotFound when the item has no trigger.
  virtual SchedulerResult GetTrigger0(TaskTrigger* trigger) = 0;
  // Stores `trigger` as trigger 0, creating it when the item has no trigger yet.
  virtual SchedulerResult SetTrigger0(const TaskTrigger& trigger) = 0;
  // Writes the item to its own file; kSchedulerNoInterface when the item cannot be saved to a file at all.
  virtual SchedulerResult Save() = 0;
};

class IScheduler {
 public:
  virtual ~IScheduler() = default;
  // Makes the connection to the Task Scheduler when there is none; the creation's code (the first one's when
  // already connected).
  virtual SchedulerResult Connect() = 0;
  virtual bool Connected() const = 0;
  // Calls `visit` with the name of every work item (file name with its ".job") until it returns false or the
  // items end.
  virtual SchedulerResult EnumWorkItems(const std::function<bool(const std::string& name)>& visit) = 0;
  // Opens the work item `name` as saved.
  virtual SchedulerResult Activate(const std::string& name, std::unique_ptr<IWorkItem>* item) = 0;
  // A new, empty work item `name`, written only by its Save; fails when an item of that name exists.
  virtual SchedulerResult NewWorkItem(const std::string& name, std::unique_ptr<IWorkItem>* item) = 0;
  virtual SchedulerResult Delete(const std::string& name) = 0;
};

}  // namespace tw
