#include "tasks/task_page.h"

#include "control/page_view.h"
#include "runtime/datetime.h"
#include "runtime/files.h"
#include "shell/app.h"
#include "store/config_table.h"
#include "tasks/reminder_popup.h"
#include "tasks/task_actions.h"
#include "tasks/task_platform.h"
#include "tasks/task_schedule.h"
#include "ui/window_base.h"

namespace ql {

namespace {

constexpr UINT_PTR kSchedulerTimer = 551;
constexpr UINT kSchedulerPeriodMs = 1000;
// Empties the status label a second after a row click showed a passing note.
constexpr UINT_PTR kStatusClearTimer = 552;

TaskSchedule& schedule() {
  static TaskSchedule tasks;
  return tasks;
}

void startSchedulerTimer() {
  SetTimer(controlWindow().handle(), kSchedulerTimer, kSchedulerPeriodMs, nullptr);
}
void stopSchedulerTimer() { KillTimer(controlWindow().handle(), kSchedulerTimer); }

// What a tick hands on, done on the control window.
class PageEvents : public TaskEvents {
 public:
  void countdown(const ScheduledTask& task, long long remaining) override {
    if (selectedTask() == task.row)
      pageView().status.setText("剩余时间：" + formatCountdown(remaining));
  }
  void remind(const ScheduledTask& task) override { openReminder(task); }
  void execute(const ScheduledTask& task) override {
    reminderTaskFired(task);
    // A forced shutdown or log-off sends the program no word of the session's
    // end: its settings are stored first.
    if (actionEndsSession(task.action)) saveAppConfig();
    performAction(task, systemCalls(), taskMediaPlayer());
  }
};

void CALLBACK clearStatus(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  pageView().status.setText("");
}

}  // namespace

void reloadTasks() {
  stopSchedulerTimer();
  schedule().load(taskConfig, now());
  if (!schedule().empty()) startSchedulerTimer();
}

void onSchedulerTick(UINT_PTR timer) {
  if (timer != kSchedulerTimer) return;
  PageEvents events;
  schedule().tick(now(), events);
  if (schedule().empty()) stopSchedulerTimer();
}

void showTaskPage() {
  SkinTabStrip& tabs = pageView().tabs;
  tabs.clearTabs();
  tabs.addTab("计划任务——双击列表可添加修改计划任务!");
  tabs.setCurrent(1);
  pageView().status.setText("");
}

void refreshTaskList() {
  SkinImageList& images = pageView().images;
  images.clear();
  int icon = images.add(programFolder() + "\\imgs\\sj.ico");
  SkinListView& list = pageView().list;
  list.clear();
  for (const StoredTask& task : readStoredTasks(taskConfig))
    list.insertEntry(taskRowText(task), icon);
}

int selectedTask() {
  return pageView().pages.current() == kTaskPage ? pageView().list.selected() : 0;
}

void onTaskRowClicked(int row) {
  RowStatus status = taskRowStatus(schedule(), row, now());
  if (row < 1) return;
  pageView().status.setText(status.text);
  HWND window = controlWindow().handle();
  if (status.clearSoon)
    SetTimer(window, kStatusClearTimer, 1000, clearStatus);
  else
    KillTimer(window, kStatusClearTimer);
}

void onTaskRowActivated(int row) { openTaskEditor(row > 0 ? "修改计划任务!" : "添加计划任务!"); }

void deleteSelectedTask() {
  int row = selectedTask();
  if (row < 1) return;
  taskConfig.remove(taskConfig.sectionName(row));
  reloadTasks();
  refreshTaskList();
  saveTasks();
}

void saveTasks() { configTable().save(ConfigField::Task, taskConfig); }

}  // namespace ql
