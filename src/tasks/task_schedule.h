// The schedule: the tasks of taskConfig with their next due times, and the
// one-second tick that warns before a task, runs it and moves it on.
//
// A window timer's ticks come late under load and skip seconds, so a task
// does not wait for a tick that lands exactly on its second: it runs on the
// first tick at or after its due time. One task runs per tick; tasks due in
// the same second run on consecutive ticks, however many there are. Only
// when the ticks themselves stopped for longer than kGraceSeconds (the
// computer slept) are the tasks overdue by more than that moved on by their
// repeat rule without running.
#pragma once
#include <string>
#include <vector>

#include "tasks/task_model.h"

namespace ql {

class ConfigText;

// What a tick hands on.
class TaskEvents {
 public:
  virtual ~TaskEvents() = default;
  // A task outside its warning time: `remaining` whole seconds to go.
  virtual void countdown(const ScheduledTask& task, long long remaining) = 0;
  // A task's warning time has begun (once per due time).
  virtual void remind(const ScheduledTask& task) = 0;
  // A task's time has come; the schedule has already moved it on (or
  // dropped it, a once task), so a nested tick cannot run it twice.
  virtual void execute(const ScheduledTask& task) = 0;
};

class TaskSchedule {
 public:
  static constexpr long long kGraceSeconds = 60;

  // Rebuilds the schedule from taskConfig at `now`.
  void load(const ConfigText& tasks, double now);
  bool empty() const { return tasks_.empty(); }
  int size() const { return static_cast<int>(tasks_.size()); }
  const std::vector<ScheduledTask>& tasks() const { return tasks_; }
  // The scheduled task of a list row, or null (an executed once task).
  const ScheduledTask* taskAtRow(int row) const;

  // One tick at `now` (whole seconds).
  void tick(double now, TaskEvents& events);

 private:
  std::vector<ScheduledTask> tasks_;
  double lastTick_ = kEarliestDateTime;  // the previous tick, or the load
};

// What the status label says when a list row is clicked: empty for no row.
struct RowStatus {
  std::string text;
  bool clearSoon = false;  // emptied again after a second
};
RowStatus taskRowStatus(const TaskSchedule& schedule, int row, double now);

}  // namespace ql
