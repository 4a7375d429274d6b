#include "options/scheduled_task.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/recording_prompts.h"

namespace tw {
namespace {

constexpr const char* kExe = "C:\\Program Files\\Tarnwick\\tarnwick.exe";

TaskTrigger Trigger(uint32_t type, uint16_t hour, uint16_t minute, uint16_t word0) {
  TaskTrigger t;
  t.beginYear = 2001;
  t.beginMonth = 2;
  t.beginDay = 3;
  t.startHour = hour;
  t.startMinute = minute;
  t.triggerType = type;
  t.typeWords[0] = word0;
  return t;
}

struct Page {
  bool active;
  bool enabled;
  int hour, minute, days;
  std::string name, program;
};

Page PageOf(const TScheduledTask& task) {
  return {task.Active(), task.ControlsEnabled(), task.Hour(), task.Minute(), task.Days(), task.TaskName(),
          task.TaskProgram()};
}

void ExpectPage(const TScheduledTask& task, const Page& expected) {
  const Page page = PageOf(task);
  EXPECT_EQ(page.active, expected.active);
  EXPECT_EQ(page.enabled, expected.enabled);
  EXPECT_EQ(page.hour, expected.hour);
  EXPECT_EQ(page.minute, expected.minute);
  EXPECT_EQ(page.days, expected.days);
  EXPECT_EQ(page.name, expected.name);
  EXPECT_EQ(page.program, expected.program);
}

// The memory clock says 2008-03-14 15:09.
TEST(ScheduledTask, FillPageShowsTheSavedItem) {
  struct Case {
    const char* label;
    std::vector<SavedWorkItem> items;
    Page expected;
  };
  const SavedWorkItem ours{kTaskName, {kExe, "", "-Scan", 0x2000, "", "", 0}, Trigger(kTriggerDaily, 21, 45, 31)};
  const SavedWorkItem other{"Other.job", {"C:\\other.exe", "", "", 0, "", "", 0}, Trigger(kTriggerDaily, 1, 2, 3)};
  const Case cases[] = {
      {"none", {}, {false, false, 9, 30, 1, "", ""}},
      {"another item only", {other}, {false, false, 9, 30, 1, "", ""}},
      {"ours among others", {other, ours}, {true, true, 21, 45, 31, kTaskName, kExe}},
      {"name in other case", {{"tarnwick.JOB", ours.properties, ours.trigger0}}, {false, false, 9, 30, 1, "", ""}},
      {"another program's, no trigger",
       {{kTaskName, {"C:\\other.exe", "", "", 0, "", "", 0}, std::nullopt}},
       {true, true, 15, 9, 1, kTaskName, "C:\\other.exe"}},
      {"weekly trigger", {{kTaskName, ours.properties, Trigger(2, 6, 7, 2)}}, {true, true, 6, 7, 1, kTaskName, kExe}},
      {"days out of range", {{kTaskName, ours.properties, Trigger(kTriggerDaily, 6, 7, 0)}},
       {true, true, 6, 7, 1, kTaskName, kExe}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MemoryPlatform mp;
    for (const SavedWorkItem& item : c.items) mp.scheduler.Put(item);
    test::RecordingPrompts prompts;
    TScheduledTask task(mp.platform, prompts, kExe);
    ASSERT_TRUE(task.Connect());
    task.cbActiveTaskClick(true);  // whatever the page showed before is dropped
    task.SetDays(5);
    task.FillPage();
    ExpectPage(task, c.expected);
    EXPECT_TRUE(prompts.calls.empty());
  }
}

TEST(ScheduledTask, ApplyCreatesRewritesAndDeletes) {
  MemoryPlatform mp;
  mp.system.SetUserName("Alice");
  test::RecordingPrompts prompts;
  {
    TScheduledTask task(mp.platform, prompts, kExe);
    ASSERT_TRUE(task.Connect());
    task.FillPage();
    task.cbActiveTaskClick(true);
    EXPECT_EQ(task.Hour(), 15);
    EXPECT_EQ(task.Minute(), 9);
    task.SetStartTime(21, 45);
    task.SetDays(31);
    ASSERT_TRUE(task.Apply());
  }
  const SavedWorkItem* saved = mp.scheduler.Find(kTaskName);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->name, kTaskName);
  const WorkItemProperties& p = saved->properties;
  EXPECT_EQ(p.applicationName, kExe);
  EXPECT_EQ(p.workingDirectory, "C:\\Program Files\\Tarnwick\\");
  EXPECT_EQ(p.parameters, "-Scan");
  EXPECT_EQ(p.flags, 0x2000u);
  EXPECT_EQ(p.comment, "Runs Tarnwick at Scheduled Time.");
  EXPECT_EQ(p.account, "Alice");
  EXPECT_EQ(p.taskFlags, 0u);
  TaskTrigger expected;
  expected.beginYear = 2008;
  expected.beginMonth = 3;
  expected.beginDay = 14;
  expected.startHour = 21;
  expected.startMinute = 45;
  expected.triggerType = kTriggerDaily;
  expected.typeWords[0] = 31;
  ASSERT_TRUE(saved->trigger0);
  EXPECT_EQ(*saved->trigger0, expected);

  // Reopened a day later: the same time and interval; "OK" rewrites trigger 0 with today's date.
  mp.system.SetNow({2008, 3, 15, 8, 0, 0, 0, 6});
  {
    TScheduledTask task(mp.platform, prompts, kExe);
    ASSERT_TRUE(task.Connect());
    task.FillPage();
    ExpectPage(task, {true, true, 21, 45, 31, kTaskName, kExe});
    task.SetDays(2);
    ASSERT_TRUE(task.Apply());
  }
  expected.beginDay = 15;
  expected.typeWords[0] = 2;
  EXPECT_EQ(*mp.scheduler.Find(kTaskName)->trigger0, expected);
  EXPECT_EQ(mp.scheduler.Count(), 1u);

  // Unticked: "OK" deletes the item; with none known, it does nothing.
  {
    TScheduledTask task(mp.platform, prompts, kExe);
    ASSERT_TRUE(task.Connect());
    task.FillPage();
    task.cbActiveTaskClick(false);
    ExpectPage(task, {false, false, 9, 30, 1, kTaskName, kExe});
    ASSERT_TRUE(task.Apply());
    EXPECT_EQ(mp.scheduler.Count(), 0u);
    EXPECT_EQ(task.TaskName(), "");
    EXPECT_TRUE(task.Apply());
  }
  EXPECT_TRUE(prompts.calls.empty());
  EXPECT_EQ(mp.scheduler.ConnectCalls(), 3);
}

// Another program's item keeps its own program; "OK" gives it a trigger 0.
TEST(ScheduledTask, ApplyRewritesOnlyTheTriggerOfAForeignItem) {
  MemoryPlatform mp;
  const WorkItemProperties foreign{"C:\\other.exe", "C:\\", "/x", 0, "theirs", "Bob", 0};
  mp.scheduler.Put({kTaskName, foreign, std::nullopt});
  test::RecordingPrompts prompts;
  TScheduledTask task(mp.platform, prompts, kExe);
  ASSERT_TRUE(task.Connect());
  task.FillPage();
  task.SetStartTime(7, 5);
  ASSERT_TRUE(task.Apply());
  const SavedWorkItem* saved = mp.scheduler.Find(kTaskName);
  EXPECT_EQ(saved->properties.applicationName, "C:\\other.exe");
  EXPECT_EQ(saved->properties.comment, "theirs");
  ASSERT_TRUE(saved->trigger0);
  EXPECT_EQ(saved->trigger0->startHour, 7);
  EXPECT_EQ(saved->trigger0->startMinute, 5);
  EXPECT_EQ(saved->trigger0->typeWords[0], 1);
}

TEST(ScheduledTask, FailuresShowTheirMessage) {
  struct Case {
    const char* label;
    bool noScheduler;
    bool noPersistFile;
    const char* caseItem;  // an item the scheduler holds under another case
    bool available;
    bool applied;
    const char* message;
  };
  const Case cases[] = {
      {"no Task Scheduler", true, false, nullptr, false, true,
       "Error in ActiveX.CoCreateInstance.Error Code :80040154"},
      {"no file interface", false, true, nullptr, true, false,
       "Error in  Task.QueryInterface(IID_IPersistFile, pIPersistFile):"},
      {"name taken in other case", false, false, "TARNWICK.JOB", true, false,
       "Error in SchedulingAgent.NewWorkItem.Error Code :80070050"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MemoryPlatform mp;
    if (c.noScheduler) mp.scheduler.SetConnectFailure(kSchedulerNotRegistered);
    mp.scheduler.SetCanPersist(!c.noPersistFile);
    if (c.caseItem) mp.scheduler.Put({c.caseItem, {}, std::nullopt});
    test::RecordingPrompts prompts;
    TScheduledTask task(mp.platform, prompts, kExe);
    EXPECT_EQ(task.Connect(), c.available);
    EXPECT_EQ(task.Available(), c.available);
    task.FillPage();
    ExpectPage(task, {false, false, 9, 30, 1, "", ""});
    task.cbActiveTaskClick(true);
    EXPECT_EQ(task.Apply(), c.applied);
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_FALSE(prompts.calls[0].question);
    EXPECT_EQ(prompts.calls[0].title, "Tarnwick");
    EXPECT_EQ(prompts.calls[0].text, c.message);
    EXPECT_EQ(mp.scheduler.Find(kTaskName) != nullptr, c.caseItem != nullptr);
  }
}

TEST(ScheduledTask, DaysAndTimeStayInRange) {
  MemoryPlatform mp;
  test::RecordingPrompts prompts;
  TScheduledTask task(mp.platform, prompts, kExe);
  const int days[][2] = {{0, 1}, {1, 1}, {31, 31}, {32, 31}, {-4, 1}, {17, 17}};
  for (const auto& d : days) {
    task.SetDays(d[0]);
    EXPECT_EQ(task.Days(), d[1]) << d[0];
  }
  task.SetStartTime(24, 60);
  EXPECT_EQ(task.Hour() * 100 + task.Minute(), 2359);
  task.SetStartTime(-1, -1);
  EXPECT_EQ(task.Hour() * 100 + task.Minute(), 0);
}

}  // namespace
}  // namespace tw
