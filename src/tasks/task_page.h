// The "计划任务" page of the control window and the task commands.
#pragma once
#include <string>

namespace ql {

// Rebuilds the task schedule from taskConfig ("字段3").
void reloadTasks();
// The page's heading tab and its rows.
void showTaskPage();
// Refills the list with the scheduled tasks.
void refreshTaskList();
// The selected row (1-based), 0 when none or when the task page is not showing.
int selectedTask();
// A row was clicked: its state goes to the status label.
void onTaskRowClicked(int row);
// A row was double-clicked (or Enter pressed on it).
void onTaskRowActivated(int row);
// Opens the task editor with the given caption ("添加计划任务!" or "修改计划任务!").
void openTaskEditor(const std::string& caption);
// Command "删除计划任务": removes the selected task and stores "字段3".
void deleteSelectedTask();

}  // namespace ql
