// The "计划任务" page of the control window, the task commands and the
// scheduler timer (551, once a second on the control window, running only
// while tasks are scheduled).
#pragma once
#include <windows.h>

#include <string>

namespace ql {

// Rebuilds the schedule from taskConfig ("字段3") and restarts the timer.
void reloadTasks();
// The control window's timer messages: runs a tick for timer 551.
void onSchedulerTick(UINT_PTR timer);
// The page's heading tab and its rows.
void showTaskPage();
// Refills the list with the tasks of taskConfig.
void refreshTaskList();
// The selected row (1-based), 0 when none or when the task page is not showing.
int selectedTask();
// A row was clicked: its state goes to the status label.
void onTaskRowClicked(int row);
// The list was double-clicked (or Enter pressed) on a row, or on no row (0):
// the editor opens to change that task, or to add one.
void onTaskRowActivated(int row);
// Opens the task editor with the given caption ("添加计划任务!" or "修改计划任务!").
void openTaskEditor(const std::string& caption);
// Command "删除计划任务": removes the selected task and stores "字段3".
void deleteSelectedTask();
// Stores "字段3" after a change.
void saveTasks();

}  // namespace ql
