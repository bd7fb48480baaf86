// Prints what the task timer's tick costs with 500 scheduled tasks, and how
// late tasks run when the timer's messages come late, skip seconds or stall
// (the GUI thread busy): never missed and never early is the goal.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>

#include "runtime/text.h"
#include "store/config_text.h"
#include "tasks/task_schedule.h"

using namespace ql;

namespace {

double at(int hour, int minute, int second) {
  LocalTime t;
  t.year = 2026, t.month = 12, t.day = 7;
  t.hour = hour, t.minute = minute, t.second = second;
  return toOleDate(t);
}

std::string clockText(int seconds) {
  return intToText(seconds / 3600) + "时" + intToText(seconds / 60 % 60) + "分" +
         intToText(seconds % 60) + "秒";
}

void addTask(ConfigText& config, int number, int repeat, const std::string& time, int advance) {
  std::string id = "T" + intToText(number);
  config.setValue(id, "执行类型", "7");
  config.setValue(id, "执行次数", intToText(repeat));
  config.setValue(id, "执行时间", time);
  config.setValue(id, "执行提示", intToText(advance));
  config.setValue(id, "备注", "x");
}

class CountingEvents : public TaskEvents {
 public:
  long long countdowns = 0, reminders = 0;
  std::vector<std::pair<int, double>> runs;  // (row, when)
  double now = 0;
  void countdown(const ScheduledTask&, long long) override { ++countdowns; }
  void remind(const ScheduledTask&) override { ++reminders; }
  void execute(const ScheduledTask& task) override { runs.push_back({task.row, now}); }
};

void tickCost() {
  ConfigText config;
  for (int i = 0; i < 500; ++i)
    addTask(config, i, i % 3 == 0 ? kRepeatHourly : kRepeatDaily,
            i % 3 == 0 ? intToText(i % 60) + "分7秒" : clockText((11 * 3600 + i * 97) % 86400),
            i % 4 == 0 ? 30 : 0);
  const double start = at(10, 0, 0);

  auto loadBegin = std::chrono::steady_clock::now();
  TaskSchedule schedule;
  const int loads = 200;
  for (int i = 0; i < loads; ++i) schedule.load(config, start);
  double loadUs =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - loadBegin)
          .count() /
      loads;

  CountingEvents events;
  const int ticks = 3000;
  auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) {
    events.now = addSeconds(start, i);
    schedule.tick(events.now, events);
  }
  double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count() /
      ticks;
  std::printf(
      "tick with %d tasks: %.2f us per tick over %d ticks (%zu ran, %lld reminders); "
      "loading the %d tasks: %.0f us\n",
      schedule.size(), us, ticks, events.runs.size(), events.reminders, schedule.size(), loadUs);
}

// The window timer: an expiry every 1000 ms; each message comes late by a
// few milliseconds, now and then by up to a second, and sometimes the GUI
// thread is busy for seconds. Expiries that pile up while it is busy come
// as one message.
std::vector<double> lateTimerMessages(int seconds, std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<double> deliveries;
  double busyUntil = 0;
  for (int k = 1; k <= seconds; ++k) {
    double expiry = k * 1.0 + 0.004 * k;  // the period drifts a little too
    double roll = unit(random), late;
    if (roll < 0.80)
      late = 0.030 * unit(random);
    else if (roll < 0.95)
      late = 0.9 * unit(random);
    else
      late = 1.0 + 3.0 * unit(random);
    double delivery = std::max(expiry + late, busyUntil);
    if (!deliveries.empty() && delivery <= deliveries.back() + 0.001) continue;  // coalesced
    deliveries.push_back(delivery);
    busyUntil = delivery + (roll >= 0.95 ? late : 0.0);
  }
  return deliveries;
}

void lateness() {
  std::mt19937 random(2026);
  const int span = 600;
  // The seconds start at a fraction: a tick's whole-second time then moves
  // across second boundaries the way it does on a real clock.
  const double startFraction = 0.97;
  const int dayStart = 10 * 3600;

  ConfigText config;
  std::map<int, int> dueOfRow;
  std::uniform_int_distribution<int> dueSecond(20, span - 30);
  for (int i = 0; i < 200; ++i) {
    int due = dueSecond(random);
    if (i % 10 == 0 && i > 0) due = dueOfRow[i];  // now and then two in one second
    addTask(config, i, kRepeatDaily, clockText(dayStart + due), 0);
    dueOfRow[i + 1] = due;
  }
  TaskSchedule schedule;
  schedule.load(config, at(10, 0, 0));

  std::vector<double> deliveries = lateTimerMessages(span, random);
  CountingEvents events;
  std::set<int> tickSeconds;
  for (double delivery : deliveries) {
    int second = static_cast<int>(std::floor(delivery + startFraction));
    tickSeconds.insert(second);
    events.now = addSeconds(at(10, 0, 0), second);
    schedule.tick(events.now, events);
  }

  int early = 0, missed = 0, exactRuleMisses = 0;
  double totalLate = 0;
  std::vector<long long> lates;
  std::set<int> ran;
  for (const auto& [row, when] : events.runs) {
    long long late = -secondsUntil(addSeconds(at(10, 0, 0), dueOfRow[row]), when);
    if (late < 0) ++early;
    lates.push_back(late);
    totalLate += double(late);
    ran.insert(row);
  }
  std::sort(lates.begin(), lates.end());
  auto percentile = [&](double p) {
    return lates.empty() ? 0 : lates[size_t(p * double(lates.size() - 1))];
  };
  std::map<int, int> tasksDueIn;  // second -> how many
  for (const auto& [row, due] : dueOfRow) {
    if (!ran.count(row)) ++missed;
    ++tasksDueIn[due];
  }
  // That rule runs one task on a tick landing on the second, and none otherwise.
  for (const auto& [second, count] : tasksDueIn)
    exactRuleMisses += tickSeconds.count(second) ? count - 1 : count;
  std::printf(
      "%zu late timer messages over %d s (%d seconds skipped); %zu tasks: %d missed, %d early, "
      "lateness mean %.2f s, median %lld s, 95th percentile %lld s, max %lld s; a tick that "
      "must land on the due second would have missed %d\n",
      deliveries.size(), span, span - static_cast<int>(tickSeconds.size()), dueOfRow.size(), missed,
      early, lates.empty() ? 0.0 : totalLate / double(lates.size()), percentile(0.5),
      percentile(0.95), percentile(1.0), exactRuleMisses);
}

}  // namespace

int main() {
  tickCost();
  lateness();
  return 0;
}
