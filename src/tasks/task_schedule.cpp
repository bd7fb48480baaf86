#include "tasks/task_schedule.h"

namespace ql {

namespace {

// A task found long past its time: a repeating one goes on to its next due
// time still ahead, a once task stays past and never runs.
void moveOn(ScheduledTask& task, double now) {
  if (task.repeat == kRepeatOnce) {
    task.armedFrom = task.due;
    return;
  }
  do {
    task.armedFrom = task.due;
    task.due = nextDue(task);
  } while (secondsUntil(task.due, now) < 1 && task.due > task.armedFrom);
  task.reminded = false;
}

}  // namespace

void TaskSchedule::load(const ConfigText& tasks, double now) {
  tasks_ = loadTasks(tasks, now);
  lastTick_ = now;
}

const ScheduledTask* TaskSchedule::taskAtRow(int row) const {
  for (const ScheduledTask& task : tasks_)
    if (task.row == row) return &task;
  return nullptr;
}

void TaskSchedule::tick(double now, TaskEvents& events) {
  const bool slept = secondsUntil(now, lastTick_) > kGraceSeconds;
  lastTick_ = now;
  for (size_t i = 0; i < tasks_.size(); ++i) {
    ScheduledTask& task = tasks_[i];
    long long remaining = secondsUntil(task.due, now);
    if (remaining > 0) {
      if (remaining > task.advance) {
        events.countdown(task, remaining);
      } else if (!task.reminded) {
        task.reminded = true;
        events.remind(task);
      }
      continue;
    }
    if (task.due <= task.armedFrom) continue;  // past when loaded: never runs
    if (slept && -remaining > kGraceSeconds) {
      moveOn(task, now);
      continue;
    }
    ScheduledTask due = task;
    if (task.repeat == kRepeatOnce) {
      tasks_.erase(tasks_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      task.armedFrom = task.due;
      task.due = nextDue(task);
      task.reminded = false;
    }
    events.execute(due);
    return;
  }
}

RowStatus taskRowStatus(const TaskSchedule& schedule, int row, double now) {
  if (row < 1) return {};
  const ScheduledTask* task = schedule.taskAtRow(row);
  if (!task) return {"当前计划任务已执行完毕!", true};
  long long remaining = secondsUntil(task->due, now);
  if (remaining < 0) return {"当前任务时间已过去!", false};
  return {"剩余时间：" + formatCountdown(remaining), false};
}

}  // namespace ql
