#include <gtest/gtest.h>

#include <set>

#include "tasks/task_model.h"
#include "task_test_support.h"

using namespace ql;

namespace {

// 7 December 2026 is a Monday.
const double kMonday1040 = at(2026, 12, 7, 10, 40, 0);

ScheduledTask loadOne(int repeat, const std::string& time, double now) {
  return loadTasks(configOf(taskSection("T", 0, repeat, time)), now).at(0);
}

}  // namespace

TEST(TaskDueTime, DailyIsTodayWhileAheadElseTomorrow) {
  EXPECT_EQ(loadOne(kRepeatDaily, "11时00分00秒", kMonday1040).due, at(2026, 12, 7, 11));
  EXPECT_EQ(loadOne(kRepeatDaily, "08时30分00秒", kMonday1040).due, at(2026, 12, 8, 8, 30));
  // Due this very second is not ahead: tomorrow.
  EXPECT_EQ(loadOne(kRepeatDaily, "10时40分00秒", kMonday1040).due, at(2026, 12, 8, 10, 40));
  EXPECT_EQ(loadOne(kRepeatDaily, "10时40分01秒", kMonday1040).due, at(2026, 12, 7, 10, 40, 1));
  // The last day of the year goes on into the next.
  EXPECT_EQ(loadOne(kRepeatDaily, "08时00分00秒", at(2026, 12, 31, 9)).due, at(2027, 1, 1, 8));
}

TEST(TaskDueTime, WeeklyGoesToTheNextOfItsWeekday) {
  const int monday = kRepeatMonday, sunday = kRepeatSunday;
  // Today's weekday: today while ahead, else in 7 days.
  EXPECT_EQ(loadOne(monday, "11时00分00秒", kMonday1040).due, at(2026, 12, 7, 11));
  EXPECT_EQ(loadOne(monday, "08时30分00秒", kMonday1040).due, at(2026, 12, 14, 8, 30));
  // Yesterday's weekday: in 6 days, whatever the time of day.
  EXPECT_EQ(loadOne(sunday, "08时30分00秒", kMonday1040).due, at(2026, 12, 13, 8, 30));
  EXPECT_EQ(loadOne(sunday, "23时00分00秒", kMonday1040).due, at(2026, 12, 13, 23));
  // Tomorrow's weekday, even at a time already past today.
  EXPECT_EQ(loadOne(monday + 1, "08时00分00秒", kMonday1040).due, at(2026, 12, 8, 8));
  // Saturday from a Sunday.
  EXPECT_EQ(loadOne(kRepeatMonday + 5, "08时00分00秒", at(2026, 12, 13, 9)).due,
            at(2026, 12, 19, 8));
}

TEST(TaskDueTime, HourlyTakesTheCurrentHourOrTheNext) {
  EXPECT_EQ(loadOne(kRepeatHourly, "30分00秒", kMonday1040).due, at(2026, 12, 7, 11, 30));
  EXPECT_EQ(loadOne(kRepeatHourly, "30分00秒", at(2026, 12, 7, 10, 20)).due,
            at(2026, 12, 7, 10, 30));
  // Hour 0 is read like any other hour.
  EXPECT_EQ(loadOne(kRepeatHourly, "30分00秒", at(2026, 12, 7, 0, 10)).due, at(2026, 12, 7, 0, 30));
  EXPECT_EQ(loadOne(kRepeatHourly, "05分00秒", at(2026, 12, 7, 0, 10)).due, at(2026, 12, 7, 1, 5));
  // Past the last hour of the day: the first hour of the next.
  EXPECT_EQ(loadOne(kRepeatHourly, "30分00秒", at(2026, 12, 31, 23, 40)).due,
            at(2027, 1, 1, 0, 30));
}

TEST(TaskDueTime, MonthlyKeepsItsDayAndEndsShortMonthsOnTheirLastDay) {
  EXPECT_EQ(loadOne(kRepeatMonthly, "09日08时30分00秒", at(2026, 5, 20)).due,
            at(2026, 6, 9, 8, 30));
  EXPECT_EQ(loadOne(kRepeatMonthly, "25日08时30分00秒", at(2026, 5, 20)).due,
            at(2026, 5, 25, 8, 30));
  EXPECT_EQ(loadOne(kRepeatMonthly, "09日08时30分00秒", at(2026, 12, 20)).due,
            at(2027, 1, 9, 8, 30));
  // Day 31 in April is 30 April; once that has passed, 31 May.
  ScheduledTask april = loadOne(kRepeatMonthly, "31日08时00分00秒", at(2026, 4, 10));
  EXPECT_EQ(april.due, at(2026, 4, 30, 8));
  EXPECT_EQ(april.monthDay, 31);
  EXPECT_EQ(loadOne(kRepeatMonthly, "31日08时00分00秒", at(2026, 4, 30, 9)).due,
            at(2026, 5, 31, 8));
  // From 31 January to the end of February, then back to the 31st.
  ScheduledTask january = loadOne(kRepeatMonthly, "31日08时00分00秒", at(2028, 1, 31, 9));
  EXPECT_EQ(january.due, at(2028, 2, 29, 8));
  january.due = nextDue(january);
  EXPECT_EQ(january.due, at(2028, 3, 31, 8));
}

TEST(TaskDueTime, OnceKeepsItsTimeAndUnreadableTextIsLongPast) {
  EXPECT_EQ(loadOne(kRepeatOnce, "2026年12月09日08时30分00秒", kMonday1040).due,
            at(2026, 12, 9, 8, 30));
  EXPECT_EQ(loadOne(kRepeatOnce, "2016年5月09日08时30分00秒", kMonday1040).due,
            at(2016, 5, 9, 8, 30));
  for (int repeat : {kRepeatOnce, kRepeatDaily, kRepeatMonthly, kRepeatMonday, kRepeatHourly})
    EXPECT_EQ(loadOne(repeat, "nonsense", kMonday1040).due, kEarliestDateTime) << repeat;
  EXPECT_EQ(loadOne(kRepeatDaily, "", kMonday1040).due, kEarliestDateTime);
  EXPECT_EQ(loadOne(kRepeatMonthly, "32日08时00分00秒", kMonday1040).due, kEarliestDateTime);
}

TEST(TaskDueTime, SpacesInStoredTimesAreRead) {
  EXPECT_EQ(loadOne(kRepeatDaily,
                    "11时 00分\xA1\xA1"
                    "00秒",
                    kMonday1040)
                .due,
            at(2026, 12, 7, 11));
  EXPECT_EQ(loadOne(kRepeatMonthly, " 31日 08时00分00秒", at(2026, 4, 10)).due, at(2026, 4, 30, 8));
}

TEST(TaskLoading, ReadsTheFirstValueOfEachKeyLikeTheConfigurationText) {
  ConfigText config = configOf(taskSection("A", 7, 1, "11时00分00秒", "30", "喝水") + "[B]\r\n");
  config.setValue("B", "备注", "b");
  config.setValue("A", "x", "1");
  std::vector<StoredTask> stored = readStoredTasks(config);
  ASSERT_EQ(stored.size(), 2u);
  for (const StoredTask& task : stored) {
    EXPECT_EQ(task.action, config.getValue(task.id, kKeyAction));
    EXPECT_EQ(task.repeat, config.getValue(task.id, kKeyRepeat));
    EXPECT_EQ(task.time, config.getValue(task.id, kKeyTime));
    EXPECT_EQ(task.advance, config.getValue(task.id, kKeyAdvance));
    EXPECT_EQ(task.parameter, config.getValue(task.id, kKeyParameter));
  }
  EXPECT_EQ(stored[1].parameter, "b");
}

TEST(TaskLoading, ReadsKeysAsNumbersAndRowsInSectionOrder) {
  ConfigText config = configOf(taskSection("A", 7, 1, "11时00分00秒", "30", "喝水") +
                               "[B]\r\n执行时间=11时00分00秒\r\n执行提示=x\r\n" +
                               taskSection("C", 5, 0, "2030年1月1日", "-4", "http://a"));
  std::vector<ScheduledTask> tasks = loadTasks(config, kMonday1040);
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[0].action, kActionBalloon);
  EXPECT_EQ(tasks[0].repeat, kRepeatDaily);
  EXPECT_EQ(tasks[0].advance, 30);
  EXPECT_EQ(tasks[0].parameter, "喝水");
  EXPECT_EQ(tasks[0].row, 1);
  // Missing and unreadable keys are 0: a ring, once, without a reminder.
  EXPECT_EQ(tasks[1].action, kActionRing);
  EXPECT_EQ(tasks[1].repeat, kRepeatOnce);
  EXPECT_EQ(tasks[1].advance, 0);
  EXPECT_EQ(tasks[1].due, kEarliestDateTime);
  EXPECT_EQ(tasks[2].advance, 0);  // never negative
  EXPECT_EQ(tasks[2].due, at(2030, 1, 1));
  EXPECT_EQ(tasks[2].row, 3);
}

TEST(TaskTexts, CountdownAndRows) {
  EXPECT_EQ(formatCountdown(0), "0时0分0秒");
  EXPECT_EQ(formatCountdown(300), "0时5分0秒");
  EXPECT_EQ(formatCountdown(86399), "23时59分59秒");
  EXPECT_EQ(formatCountdown(86400), "1天0时0分0秒");
  EXPECT_EQ(formatCountdown(93784), "1天2时3分4秒");
  EXPECT_EQ(formatCountdown(40 * 86400LL + 61), "40天0时1分1秒");

  std::vector<StoredTask> stored = readStoredTasks(
      configOf(taskSection("A", 7, 3, "08时30分00秒", "", "喝水") + taskSection("B", 12, 0, "x")));
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(taskRowText(stored[0]), "气泡提示 星期一 08时30分00秒 喝水");
  EXPECT_EQ(taskRowText(stored[1]), " 一次 x ");  // an unknown action has no text
}

TEST(TaskTexts, ReminderLineShowsThePartOfTheTimeItsRepeatNeeds) {
  ScheduledTask task;
  task.repeat = kRepeatDaily;
  task.due = at(2026, 12, 7, 8, 30);
  EXPECT_EQ(reminderLine(task), "  亲.您的计划任务：每天 8时30分 执行 响铃 时间快到了!");
  task.repeat = kRepeatOnce;
  task.action = kActionShutdown;
  EXPECT_EQ(reminderLine(task), "  亲.您的计划任务： 2026年12月7日8时30分 执行 关机 时间快到了!");
  task.repeat = kRepeatHourly;
  EXPECT_EQ(reminderLine(task), "  亲.您的计划任务：每小时 30分 执行 关机 时间快到了!");
  task.repeat = kRepeatMonthly;
  task.due = at(2026, 12, 9, 8, 30, 5);
  EXPECT_EQ(reminderLine(task), "  亲.您的计划任务：每月 9日8时30分5秒 执行 关机 时间快到了!");
  task.repeat = kRepeatSunday;
  EXPECT_EQ(reminderLine(task), "  亲.您的计划任务：星期日 8时30分5秒 执行 关机 时间快到了!");
}

TEST(TaskTexts, PickerFormatsAndSpaces) {
  EXPECT_STREQ(pickerFormat(kRepeatOnce), "yyyy年M月dd日 HH时mm分ss秒");
  EXPECT_STREQ(pickerFormat(kRepeatMonthly), "dd日 HH时mm分ss秒");
  EXPECT_STREQ(pickerFormat(kRepeatHourly), "mm分ss秒");
  EXPECT_STREQ(pickerFormat(kRepeatDaily), "HH时mm分ss秒");
  EXPECT_STREQ(pickerFormat(kRepeatSunday), "HH时mm分ss秒");
  EXPECT_EQ(removeSpaces("2016年5月09日 08时\xA1\xA1"
                         "30分 00秒"),
            "2016年5月09日08时30分00秒");
  // A double-byte character whose second byte is A1 is kept whole.
  EXPECT_EQ(removeSpaces("\xB0\xA1\xA1\xA1\xB0\xA1"), "\xB0\xA1\xB0\xA1");
}

TEST(TaskIds, SixteenCharactersNeverAnExistingSection) {
  ConfigText config;
  std::set<std::string> seen;
  for (uint32_t seed = 0; seed < 50; ++seed) {
    std::string id = makeTaskId(seed, config);
    ASSERT_EQ(id.size(), 16u);
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 50u);
  // The same tick count twice: the second id differs from the first.
  std::string first = makeTaskId(7, config);
  config.setValue(first, kKeyAction, "0");
  EXPECT_NE(makeTaskId(7, config), first);
}
