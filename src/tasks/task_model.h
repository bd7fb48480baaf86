// Scheduled tasks as stored in taskConfig ("字段3", one section per task) and
// as scheduled in memory: the kinds, the stored keys and time texts, the next
// due time of each task and the texts the task page shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/datetime.h"

namespace ql {

class ConfigText;

// "执行类型": what a task does. Stored as decimal text.
enum ActionType : int {
  kActionRing = 0,          // "响铃": the parameter is an optional sound file
  kActionShutdown = 1,      // "关机"
  kActionRestart = 2,       // "重启"
  kActionStandby = 3,       // "待机"
  kActionLogOff = 4,        // "注销"
  kActionOpenPage = 5,      // "打开网页": the parameter is the address
  kActionRunProgram = 6,    // "运行程序": the parameter is the file
  kActionBalloon = 7,       // "气泡提示": the parameter is the balloon's text
  kActionSpeakTime = 8,     // "语音报时"
  kActionFastShutdown = 9,  // "快速关机"
};
constexpr int kActionCount = 10;

// "执行次数": how a task repeats. Stored as decimal text.
enum RepeatKind : int {
  kRepeatOnce = 0,     // "一次"
  kRepeatDaily = 1,    // "每天"
  kRepeatMonthly = 2,  // "每月"
  kRepeatMonday = 3,   // "星期一" .. "星期日" are 3 .. 9
  kRepeatSunday = 9,
  kRepeatHourly = 10,  // "每小时"
};
constexpr int kRepeatCount = 11;

// The list texts; empty for values out of range.
const char* actionText(int action);
const char* repeatText(int repeat);

// Keys of a task's section, in the order the editor writes them.
extern const char kKeyAction[];     // "执行类型"
extern const char kKeyRepeat[];     // "执行次数"
extern const char kKeyTime[];       // "执行时间"
extern const char kKeyAdvance[];    // "执行提示": seconds of warning; empty or 0 for none
extern const char kKeyParameter[];  // "备注"

// The picker's display format for a repeat kind; the stored time text is
// what the picker shows in it, spaces removed.
const char* pickerFormat(int repeat);

// Removes every ASCII and full-width space.
std::string removeSpaces(const std::string& text);

// One task of the schedule.
struct ScheduledTask {
  int action = kActionRing;
  int repeat = kRepeatOnce;
  double due = kEarliestDateTime;  // next execution, whole seconds
  std::string parameter;
  int advance = 0;   // seconds of warning, never negative
  int row = 0;       // its section's number in taskConfig (1-based)
  int monthDay = 0;  // monthly tasks: the day of the month asked for
  // Scheduler state: the task executes only for a due time later than
  // armedFrom (the time it was loaded or last moved on), and opens its
  // reminder once per due time.
  double armedFrom = kEarliestDateTime;
  bool reminded = false;
};

// Whole seconds from `now` to `due` (negative when past). Both are whole
// seconds, so the difference is rounded, never cut short by a rounding error.
long long secondsUntil(double due, double now);

// The date-time text a stored time text stands for at `now`: monthly texts
// get the current year and month, hourly ones today's date and the current
// hour (also hour 0, written "0时"), daily and weekly ones today's date; a
// once text stands alone. A monthly day past the month's end becomes the
// month's last day. An empty text stays empty (unreadable).
std::string dueTimeText(const std::string& stored, int repeat, const LocalTime& now);
// The day of the month a monthly text asks for (1..31), 0 when unreadable.
int storedMonthDay(const std::string& stored);

// One month on from `due`, on `monthDay` or the month's last day.
double nextMonthlyDue(double due, int monthDay);
// Due time moved on by one period of its repeat kind (not for once tasks).
double nextDue(const ScheduledTask& task);

// The stored texts of one task: its section's first value of each key.
struct StoredTask {
  std::string id, action, repeat, time, advance, parameter;
};
// Every section of taskConfig in order, read in one pass over its entries.
std::vector<StoredTask> readStoredTasks(const ConfigText& tasks);

// A stored task with its next due time at `now`: the stored time read as
// above, moved on once by the repeat rule when it is not in the future. A
// once task keeps a past time (it is listed, never run). Texts that are not
// numbers read as 0.
ScheduledTask scheduleTask(const StoredTask& stored, int row, double now);
// Every task of taskConfig, in order.
std::vector<ScheduledTask> loadTasks(const ConfigText& tasks, double now);

// "1天2时3分4秒", or without the days part below one day.
std::string formatCountdown(long long seconds);

// A row of the task list: action, repeat, the stored time text and the
// parameter, separated by spaces.
std::string taskRowText(const StoredTask& stored);

// A new task id: 16 characters of 0-9 and A-Z drawn from a generator seeded
// with `seed`, drawn again while a section of that name exists.
std::string makeTaskId(uint32_t seed, const ConfigText& tasks);

// The line the reminder popup shows for a task.
std::string reminderLine(const ScheduledTask& task);

}  // namespace ql
