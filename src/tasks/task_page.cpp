#include "tasks/task_page.h"

#include "control/page_view.h"
#include "runtime/files.h"
#include "shell/app.h"
#include "store/config_table.h"

namespace ql {

// The schedule, its rows, the editor and the row actions arrive with the
// task subsystem; until then the page lists no tasks.
void reloadTasks() {}
void onTaskRowClicked(int) {}
void onTaskRowActivated(int) {}
void openTaskEditor(const std::string&) {}

void showTaskPage() {
  SkinTabStrip& tabs = pageView().tabs;
  tabs.clearTabs();
  tabs.addTab("计划任务——双击列表可添加修改计划任务!");
  tabs.setCurrent(1);
}

void refreshTaskList() {
  SkinImageList& images = pageView().images;
  images.clear();
  images.add(programFolder() + "\\imgs\\sj.ico");
  pageView().list.clear();
}

int selectedTask() { return pageView().pages.current() == kTaskPage ? pageView().list.selected() : 0; }

void deleteSelectedTask() {
  int row = selectedTask();
  if (row < 1) return;
  taskConfig.remove(taskConfig.sectionName(row));
  reloadTasks();
  refreshTaskList();
  configTable().save(ConfigField::Task, taskConfig);
}

}  // namespace ql
