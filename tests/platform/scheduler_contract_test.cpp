// The Task Scheduler cases both back ends must answer alike.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/scheduler.h"
#include "support/test_platform.h"

namespace tw {
namespace {

constexpr const char* kItem = "TarnwickContract.job";
constexpr const char* kLowerItem = "tarnwickcontract.job";

class SchedulerContract : public ::testing::Test {
 protected:
  void SetUp() override {
    tp_ = MakeTestPlatform();
    scheduler_ = &tp_->Scheduler();
    ASSERT_EQ(scheduler_->Connect(), kSchedulerOk);
    scheduler_->Delete(kItem);  // left over by an earlier run that did not end
  }
  void TearDown() override {
    if (scheduler_->Connected()) scheduler_->Delete(kItem);
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    EXPECT_EQ(scheduler_->EnumWorkItems([&names](const std::string& name) {
      names.push_back(name);
      return true;
    }), kSchedulerOk);
    return names;
  }
  bool Listed(const std::string& name) {
    for (const std::string& n : Names())
      if (n == name) return true;
    return false;
  }

  std::unique_ptr<TestPlatform> tp_;
  IScheduler* scheduler_ = nullptr;
};

TaskTrigger Daily(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t days) {
  TaskTrigger t;
  t.beginYear = year;
  t.beginMonth = month;
  t.beginDay = day;
  t.startHour = hour;
  t.startMinute = minute;
  t.triggerType = kTriggerDaily;
  t.typeWords[0] = days;
  return t;
}

TEST_F(SchedulerContract, CreateReadBackRewriteAndDelete) {
  const WorkItemProperties props{"C:\\Program Files\\Tarnwick\\tarnwick.exe", "C:\\Program Files\\Tarnwick\\",
                                 "-Scan", kWorkItemRunOnlyIfLoggedOn, "Runs Tarnwick at Scheduled Time.",
                                 tp_->Get().system.UserName(), 0};
  std::unique_ptr<IWorkItem> item;
  ASSERT_EQ(scheduler_->NewWorkItem(kItem, &item), kSchedulerOk);
  ASSERT_TRUE(item);
  // Wine has no task flags (a stub answering E_NOTIMPL) and keeps no account.
  const bool wine = tp_->IsWine();
  EXPECT_EQ(item->SetProperties(props), wine ? static_cast<SchedulerResult>(0x80004001) : kSchedulerOk);
  TaskTrigger none;
  EXPECT_EQ(item->GetTrigger0(&none), kSchedulerTriggerNotFound);
  const SchedulerResult firstSave = item->Save();
  EXPECT_EQ(firstSave, kSchedulerOk) << std::hex << firstSave;
  const TaskTrigger first = Daily(2026, 12, 8, 21, 45, 31);
  EXPECT_EQ(item->SetTrigger0(first), kSchedulerOk);
  EXPECT_EQ(item->Save(), kSchedulerOk);
  item.reset();

  EXPECT_TRUE(Listed(kItem));
  EXPECT_FALSE(Listed("TARNWICKCONTRACT.JOB"));
  std::unique_ptr<IWorkItem> again;
  std::unique_ptr<IWorkItem> clash;
  EXPECT_EQ(scheduler_->NewWorkItem(kItem, &clash), kSchedulerFileExists);
  EXPECT_FALSE(clash);
  ASSERT_EQ(scheduler_->Activate(kItem, &again), kSchedulerOk);
  WorkItemProperties read;
  EXPECT_EQ(again->Read(&read), kSchedulerOk);
  EXPECT_EQ(read.applicationName, props.applicationName);
  EXPECT_EQ(read.workingDirectory, props.workingDirectory);
  EXPECT_EQ(read.parameters, props.parameters);
  EXPECT_EQ(read.flags, props.flags);
  EXPECT_EQ(read.comment, props.comment);
  EXPECT_EQ(read.taskFlags, props.taskFlags);
  EXPECT_EQ(read.account, wine ? "" : props.account);
  TaskTrigger got;
  ASSERT_EQ(again->GetTrigger0(&got), kSchedulerOk);
  EXPECT_EQ(got, first);

  const TaskTrigger second = Daily(2027, 1, 2, 6, 5, 1);
  EXPECT_EQ(again->SetTrigger0(second), kSchedulerOk);
  EXPECT_EQ(again->Save(), kSchedulerOk);
  again.reset();
  ASSERT_EQ(scheduler_->Activate(kItem, &again), kSchedulerOk);
  EXPECT_EQ(again->GetTrigger0(&got), kSchedulerOk);
  EXPECT_EQ(got, second);
  again.reset();

  EXPECT_EQ(scheduler_->Delete(kItem), kSchedulerOk);
  EXPECT_FALSE(Listed(kItem));
  std::unique_ptr<IWorkItem> gone;
  const SchedulerResult activateGone = scheduler_->Activate(kItem, &gone);
  EXPECT_FALSE(SchedulerSucceeded(activateGone)) << std::hex << activateGone;
  EXPECT_FALSE(gone);
  EXPECT_FALSE(SchedulerSucceeded(scheduler_->Delete(kItem)));
}

// An item saved by another program under a name in other letter case, without a trigger.
TEST_F(SchedulerContract, NamesKeepTheirCaseAndAnItemMayLackATrigger) {
  std::unique_ptr<IWorkItem> item;
  ASSERT_EQ(scheduler_->NewWorkItem(kLowerItem, &item), kSchedulerOk);
  item->SetProperties({"C:\\other.exe", "C:\\", "", 0, "", "", 0});
  ASSERT_EQ(item->Save(), kSchedulerOk);
  item.reset();

  EXPECT_TRUE(Listed(kLowerItem));
  EXPECT_FALSE(Listed(kItem));
  std::unique_ptr<IWorkItem> clash;
  EXPECT_EQ(scheduler_->NewWorkItem(kItem, &clash), kSchedulerFileExists);  // file names do not count case
  ASSERT_EQ(scheduler_->Activate(kItem, &item), kSchedulerOk);
  WorkItemProperties read;
  EXPECT_EQ(item->Read(&read), kSchedulerOk);
  EXPECT_EQ(read.applicationName, "C:\\other.exe");
  TaskTrigger trigger;
  // Wine reads an item saved without a trigger back with a default one (daily, from the time of reading).
  if (!tp_->IsWine()) {
    EXPECT_EQ(item->GetTrigger0(&trigger), kSchedulerTriggerNotFound);
  }
  const TaskTrigger daily = Daily(2026, 2, 28, 0, 59, 7);
  EXPECT_EQ(item->SetTrigger0(daily), kSchedulerOk);
  EXPECT_EQ(item->Save(), kSchedulerOk);
  item.reset();

  EXPECT_TRUE(Listed(kLowerItem));  // saved again, the file keeps its name
  ASSERT_EQ(scheduler_->Activate(kLowerItem, &item), kSchedulerOk);
  EXPECT_EQ(item->GetTrigger0(&trigger), kSchedulerOk);
  EXPECT_EQ(trigger, daily);
  item.reset();
  EXPECT_EQ(scheduler_->Delete(kItem), kSchedulerOk);
  EXPECT_FALSE(Listed(kLowerItem));
}

}  // namespace
}  // namespace tw
