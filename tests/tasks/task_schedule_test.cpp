#include <gtest/gtest.h>

#include <functional>

#include "runtime/text.h"
#include "tasks/task_schedule.h"
#include "task_test_support.h"

using namespace ql;

namespace {

const double kStart = at(2026, 12, 7, 10, 0, 0);  // a Monday

double secondsAfterStart(long long seconds) { return addSeconds(kStart, double(seconds)); }

// Records what the ticks hand on, as "what:row@second" (seconds after kStart).
class Recorder : public TaskEvents {
 public:
  std::vector<std::string> log;
  std::vector<std::pair<int, long long>> countdowns;  // (row, remaining)
  double now = kStart;
  std::function<void()> duringExecute;

  void countdown(const ScheduledTask& task, long long remaining) override {
    countdowns.push_back({task.row, remaining});
  }
  void remind(const ScheduledTask& task) override { log.push_back(entry("remind", task)); }
  void execute(const ScheduledTask& task) override {
    log.push_back(entry("run", task));
    if (duringExecute) duringExecute();
  }

 private:
  std::string entry(const char* what, const ScheduledTask& task) const {
    return std::string(what) + ":" + intToText(task.row) + "@" +
           intToText(secondsUntil(now, kStart));
  }
};

class ScheduleTest : public ::testing::Test {
 protected:
  void load(const std::string& text, long long atSecond = 0) {
    config = configOf(text);
    schedule.load(config, secondsAfterStart(atSecond));
  }
  void tickAt(long long second) {
    events.now = secondsAfterStart(second);
    schedule.tick(events.now, events);
  }
  void tickEverySecond(long long from, long long to) {
    for (long long s = from; s <= to; ++s) tickAt(s);
  }

  ConfigText config;
  TaskSchedule schedule;
  Recorder events;
};

// "10时00分30秒": 30 seconds after kStart, daily.
const std::string kDailyIn30 = taskSection("A", 0, kRepeatDaily, "10时00分30秒", "10");

}  // namespace

TEST_F(ScheduleTest, RemindsAtTheAdvanceAndRunsOnTheDueSecond) {
  load(taskSection("A", 7, kRepeatOnce, "2026年12月7日10时00分30秒", "10") +
       taskSection("B", 7, kRepeatOnce, "2026年12月7日10时00分40秒", "0"));
  tickEverySecond(1, 45);
  EXPECT_EQ(events.log, (std::vector<std::string>{"remind:1@20", "run:1@30", "run:2@40"}));
  EXPECT_TRUE(schedule.empty());  // once tasks leave the schedule
}

TEST_F(ScheduleTest, CountdownOnlyOutsideTheWarningTime) {
  load(kDailyIn30);
  tickEverySecond(18, 22);
  std::vector<std::pair<int, long long>> expected = {{1, 12}, {1, 11}};
  EXPECT_EQ(events.countdowns, expected);
}

TEST_F(ScheduleTest, LateAndSkippedTicksRunTheTaskLateButNeverEarlyNorTwice) {
  load(kDailyIn30);
  // The timer skips seconds 20 and 30: the reminder opens at 19 remaining
  // 11 > 10, so at 21 (9 left); the task runs at 32, once.
  for (long long s : {19, 21, 22, 29, 32, 33, 34}) tickAt(s);
  EXPECT_EQ(events.log, (std::vector<std::string>{"remind:1@21", "run:1@32"}));
  // The next day, again on time, without a reload.
  tickEverySecond(86400 + 29, 86400 + 31);
  EXPECT_EQ(events.log.back(), "run:1@86430");
  EXPECT_EQ(events.log.size(), 4u);  // and a second reminder before it
}

TEST_F(ScheduleTest, TwoTasksDueInOneSecondRunOnConsecutiveTicks) {
  load(kDailyIn30 + taskSection("B", 7, kRepeatDaily, "10时00分30秒") +
       taskSection("C", 7, kRepeatOnce, "2026年12月7日10时00分30秒"));
  tickEverySecond(29, 33);
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"remind:1@29", "run:1@30", "run:2@31", "run:3@32"}));
}

TEST_F(ScheduleTest, ABacklogLongerThanTheGraceStillRunsWholeOneATick) {
  std::string text;
  for (int i = 0; i < 70; ++i)
    text += taskSection("T" + intToText(i), 7, kRepeatOnce, "2026年12月7日10时00分30秒");
  load(text);
  tickEverySecond(1, 120);
  ASSERT_EQ(events.log.size(), 70u);
  EXPECT_EQ(events.log.front(), "run:1@30");
  EXPECT_EQ(events.log.back(), "run:70@99");  // 69 s late, ticks flowing all along
}

TEST_F(ScheduleTest, TasksFoundLongPastAreMovedOnWithoutRunning) {
  load(kDailyIn30 + taskSection("B", 1, kRepeatOnce, "2026年12月7日10时00分30秒") +
       taskSection("C", 7, kRepeatHourly, "00分30秒"));
  // The computer slept through the due time: back 61 s later.
  tickAt(91);
  EXPECT_TRUE(events.log.empty());
  ASSERT_EQ(schedule.size(), 3);
  EXPECT_EQ(schedule.tasks()[0].due, addSeconds(secondsAfterStart(30), 86400));
  EXPECT_EQ(schedule.tasks()[2].due, secondsAfterStart(3630));
  // The once task stays listed as past and never runs.
  tickEverySecond(92, 200);
  EXPECT_TRUE(events.log.empty());
  EXPECT_EQ(taskRowStatus(schedule, 2, secondsAfterStart(200)).text, "当前任务时间已过去!");
  // 60 s late is still on time.
  load(kDailyIn30);
  tickAt(90);
  EXPECT_EQ(events.log, std::vector<std::string>{"run:1@90"});
}

TEST_F(ScheduleTest, SeveralDaysAsleepGoOnToTheNextDueTimeAhead) {
  load(kDailyIn30 + taskSection("B", 7, kRepeatMonthly, "07日10时00分30秒"));
  tickAt(3 * 86400 + 100);
  EXPECT_EQ(schedule.tasks()[0].due, addSeconds(secondsAfterStart(30), 4 * 86400));
  EXPECT_EQ(schedule.tasks()[1].due, at(2027, 1, 7, 10, 0, 30));
  EXPECT_TRUE(events.log.empty());
}

TEST_F(ScheduleTest, TasksAlreadyPastWhenLoadedNeverRun) {
  // Loaded 5 s after the once task's time: within the grace, yet it never ran
  // while scheduled, so it stays past.
  load(taskSection("A", 1, kRepeatOnce, "2026年12月7日10时00分30秒"), 35);
  tickEverySecond(36, 100);
  EXPECT_TRUE(events.log.empty());
  EXPECT_EQ(schedule.size(), 1);
}

TEST_F(ScheduleTest, ATaskInsideItsWarningTimeWhenLoadedRemindsAtOnce) {
  load(kDailyIn30, 25);
  tickAt(26);
  EXPECT_EQ(events.log, std::vector<std::string>{"remind:1@26"});
  // No reminder without an advance.
  load(taskSection("A", 0, kRepeatDaily, "10时00分30秒"), 25);
  events.log.clear();
  tickEverySecond(26, 31);
  EXPECT_EQ(events.log, std::vector<std::string>{"run:1@30"});
}

TEST_F(ScheduleTest, ANestedTickWhileATaskRunsDoesNotRunItAgain) {
  load(kDailyIn30 + taskSection("B", 7, kRepeatOnce, "2026年12月7日10时00分50秒"));
  bool nested = false;
  events.duringExecute = [&] {
    if (nested) return;
    nested = true;
    schedule.tick(events.now, events);  // a shell call that pumps messages
  };
  tickAt(30);
  EXPECT_EQ(events.log, (std::vector<std::string>{"run:1@30"}));
  events.duringExecute = nullptr;
  nested = false;
  tickEverySecond(31, 51);
  EXPECT_EQ(events.log.back(), "run:2@50");
  EXPECT_EQ(schedule.size(), 1);
}

TEST_F(ScheduleTest, RowStatusTexts) {
  load(kDailyIn30 + taskSection("B", 1, kRepeatOnce, "2026年12月7日10时00分20秒") +
       taskSection("C", 1, kRepeatOnce, "2020年1月1日"));
  EXPECT_EQ(taskRowStatus(schedule, 0, kStart).text, "");
  EXPECT_EQ(taskRowStatus(schedule, 1, kStart).text, "剩余时间：0时0分30秒");
  EXPECT_EQ(taskRowStatus(schedule, 3, kStart).text, "当前任务时间已过去!");
  tickAt(20);  // B runs and leaves the schedule; its row stays in the list
  RowStatus gone = taskRowStatus(schedule, 2, secondsAfterStart(21));
  EXPECT_EQ(gone.text, "当前计划任务已执行完毕!");
  EXPECT_TRUE(gone.clearSoon);
  // Rows below it still show their own task.
  EXPECT_EQ(taskRowStatus(schedule, 1, secondsAfterStart(21)).text, "剩余时间：0时0分9秒");
  EXPECT_EQ(taskRowStatus(schedule, 4, kStart).text, "当前计划任务已执行完毕!");
}
