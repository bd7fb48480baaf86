#include "tasks/task_model.h"

#include <cmath>
#include <random>
#include <unordered_map>

#include "runtime/text.h"
#include "store/config_text.h"

namespace ql {

namespace {

const char* const kActionTexts[kActionCount] = {"响铃",     "关机",     "重启",     "待机",
                                                "注销",     "打开网页", "运行程序", "气泡提示",
                                                "语音报时", "快速关机"};
const char* const kRepeatTexts[kRepeatCount] = {"一次",   "每天",   "每月",   "星期一",
                                                "星期二", "星期三", "星期四", "星期五",
                                                "星期六", "星期日", "每小时"};

constexpr int kSecondsPerDay = 86400;

std::string dateText(const LocalTime& t) {
  return intToText(t.year) + "年" + intToText(t.month) + "月" + intToText(t.day) + "日";
}

bool isWeekly(int repeat) { return repeat >= kRepeatMonday && repeat <= kRepeatSunday; }

// 0 = Sunday .. 6 = Saturday.
int weeklyTargetDay(int repeat) { return (repeat - 2) % 7; }

int numberIn(const std::string& text) {
  double value = textToNumber(text);
  if (!(std::fabs(value) < 2e9)) return 0;
  return static_cast<int>(value);
}

}  // namespace

const char kKeyAction[] = "执行类型";
const char kKeyRepeat[] = "执行次数";
const char kKeyTime[] = "执行时间";
const char kKeyAdvance[] = "执行提示";
const char kKeyParameter[] = "备注";

const char* actionText(int action) {
  return action >= 0 && action < kActionCount ? kActionTexts[action] : "";
}

const char* repeatText(int repeat) {
  return repeat >= 0 && repeat < kRepeatCount ? kRepeatTexts[repeat] : "";
}

const char* pickerFormat(int repeat) {
  switch (repeat) {
    case kRepeatOnce: return "yyyy年M月dd日 HH时mm分ss秒";
    case kRepeatMonthly: return "dd日 HH时mm分ss秒";
    case kRepeatHourly: return "mm分ss秒";
    default: return "HH时mm分ss秒";
  }
}

std::string removeSpaces(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ') {
      ++i;
    } else if (c == 0xA1 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0xA1) {
      i += 2;
    } else {
      size_t length = isGbkLeadByte(c) && i + 1 < text.size() ? 2 : 1;
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

long long secondsUntil(double due, double now) { return std::llround(secondsBetween(due, now)); }

int storedMonthDay(const std::string& stored) {
  std::string text = removeSpaces(stored);
  size_t mark = text.find("日");
  if (mark == 0 || mark == std::string::npos || mark > 2) return 0;
  for (size_t i = 0; i < mark; ++i)
    if (text[i] < '0' || text[i] > '9') return 0;
  int day = std::stoi(text.substr(0, mark));
  return day >= 1 && day <= 31 ? day : 0;
}

std::string dueTimeText(const std::string& stored, int repeat, const LocalTime& now) {
  const std::string text = removeSpaces(stored);
  // No time at all is unreadable, not midnight.
  if (text.empty() || repeat == kRepeatOnce) return text;
  switch (repeat) {
    case kRepeatMonthly: {
      std::string yearMonth = intToText(now.year) + "年" + intToText(now.month) + "月";
      int last = daysInMonth(now.year, now.month);
      // Day 31 in a 30-day month: the month's last day.
      if (storedMonthDay(text) > last)
        return yearMonth + intToText(last) + text.substr(text.find("日"));
      return yearMonth + text;
    }
    case kRepeatHourly: return dateText(now) + intToText(now.hour) + "时" + text;
    default: return dateText(now) + text;
  }
}

double nextMonthlyDue(double due, int monthDay) {
  LocalTime t = fromOleDate(due);
  if (++t.month > 12) t.month = 1, ++t.year;
  int day = monthDay > 0 ? monthDay : t.day;
  int last = daysInMonth(t.year, t.month);
  t.day = day < last ? day : last;
  return toOleDate(t);
}

double nextDue(const ScheduledTask& task) {
  switch (task.repeat) {
    case kRepeatDaily: return addSeconds(task.due, kSecondsPerDay);
    case kRepeatMonthly: return nextMonthlyDue(task.due, task.monthDay);
    case kRepeatHourly: return addSeconds(task.due, 3600);
    default: return isWeekly(task.repeat) ? addSeconds(task.due, 7.0 * kSecondsPerDay) : task.due;
  }
}

std::vector<StoredTask> readStoredTasks(const ConfigText& tasks) {
  std::vector<std::string> sections;
  tasks.sectionNames(sections);
  std::vector<StoredTask> stored(sections.size());
  std::unordered_map<std::string, size_t> indexOf;
  for (size_t i = 0; i < sections.size(); ++i) {
    stored[i].id = sections[i];
    indexOf.emplace(sections[i], i);
  }
  // The first entry of a key counts, as for ConfigText::getValue.
  std::vector<unsigned> seen(sections.size(), 0);
  const std::pair<const char*, std::string StoredTask::*> fields[] = {
      {kKeyAction, &StoredTask::action},
      {kKeyRepeat, &StoredTask::repeat},
      {kKeyTime, &StoredTask::time},
      {kKeyAdvance, &StoredTask::advance},
      {kKeyParameter, &StoredTask::parameter}};
  for (const ConfigText::Entry& entry : tasks.entries()) {
    auto found = indexOf.find(entry.section);
    if (found == indexOf.end()) continue;
    for (unsigned f = 0; f < 5; ++f) {
      if (entry.key != fields[f].first || (seen[found->second] & (1u << f))) continue;
      seen[found->second] |= 1u << f;
      stored[found->second].*fields[f].second = entry.value;
    }
  }
  return stored;
}

ScheduledTask scheduleTask(const StoredTask& stored, int row, double now) {
  ScheduledTask task;
  task.action = numberIn(stored.action);
  task.repeat = numberIn(stored.repeat);
  task.advance = numberIn(stored.advance);
  if (task.advance < 0) task.advance = 0;
  task.parameter = stored.parameter;
  task.row = row;

  const LocalTime today = fromOleDate(now);
  if (task.repeat == kRepeatMonthly) task.monthDay = storedMonthDay(stored.time);
  task.due = parseDateTime(dueTimeText(stored.time, task.repeat, today));

  const bool ahead = secondsUntil(task.due, now) >= 1;
  if (task.due != kEarliestDateTime) {
    if (isWeekly(task.repeat)) {
      int days = (weeklyTargetDay(task.repeat) - today.weekday() + 7) % 7;
      if (days == 0 && !ahead) days = 7;
      task.due = addSeconds(task.due, double(days) * kSecondsPerDay);
    } else if (task.repeat != kRepeatOnce && !ahead) {
      task.due = nextDue(task);
    }
  }
  task.armedFrom = now;
  return task;
}

std::vector<ScheduledTask> loadTasks(const ConfigText& tasks, double now) {
  std::vector<StoredTask> stored = readStoredTasks(tasks);
  std::vector<ScheduledTask> schedule;
  schedule.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i)
    schedule.push_back(scheduleTask(stored[i], static_cast<int>(i + 1), now));
  return schedule;
}

std::string formatCountdown(long long seconds) {
  long long days = seconds / kSecondsPerDay;
  long long hours = seconds / 3600 % 24;
  long long minutes = seconds % 3600 / 60;
  std::string clock =
      intToText(hours) + "时" + intToText(minutes) + "分" + intToText(seconds % 60) + "秒";
  return days <= 0 ? clock : intToText(days) + "天" + clock;
}

std::string taskRowText(const StoredTask& stored) {
  return std::string(actionText(numberIn(stored.action))) + " " +
         repeatText(numberIn(stored.repeat)) + " " + stored.time + " " + stored.parameter;
}

std::string makeTaskId(uint32_t seed, const ConfigText& tasks) {
  static const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> pick(0, 35);
  std::string id;
  do {
    id.clear();
    for (int i = 0; i < 16; ++i) id += kAlphabet[pick(generator)];
  } while (tasks.hasSection(id));
  return id;
}

std::string reminderLine(const ScheduledTask& task) {
  std::string when = formatDateTime(task.due);
  const char* mark = nullptr;
  switch (task.repeat) {
    case kRepeatOnce: break;
    case kRepeatMonthly: mark = "月"; break;
    case kRepeatHourly: mark = "时"; break;
    default: mark = "日"; break;
  }
  if (mark) {
    size_t at = when.find(mark);
    when = at == std::string::npos ? std::string() : when.substr(at + std::string(mark).size());
  }
  std::string repeat = task.repeat == kRepeatOnce ? "" : repeatText(task.repeat);
  return "  亲.您的计划任务：" + repeat + " " + when + " 执行 " + actionText(task.action) +
         " 时间快到了!";
}

}  // namespace ql
