#include "control/control_menus.h"

#include "control/commands.h"
#include "shell/app.h"
#include "ui/window_base.h"

namespace ql {

MenuHandle& controlMenu(int index) {
  static MenuHandle menus[kControlMenuCount];
  return menus[index];
}

void createControlMenus() {
  for (int i = 0; i < kControlMenuCount; ++i) controlMenu(i).createPopup();

  MenuHandle& item = controlMenu(kItemMenu);
  item.appendItem(kCommandOpenItem, "打开项目");
  item.appendSeparator();
  item.appendItem(kCommandAddItem, "添加项目");
  item.appendItem(kCommandAddFolder, "添加目录");
  item.appendItem(kCommandDeleteItem, "删除项目");
  item.appendItem(kCommandRenameItem, "重命名项目");
  item.appendSeparator();
  item.appendSubMenu(controlMenu(kMoveToMenu), "移动到");
  item.appendSeparator();
  item.appendItem(kCommandPlaceItem, "排序");
  item.appendSeparator();
  item.appendItem(kCommandAddCategory, "添加分类");
  item.appendItem(kCommandDeleteCategory, "删除当前分类");
  item.appendItem(kCommandRenameCategory, "重命名分类");
  item.appendSeparator();
  item.appendItem(kCommandOpenFolder, "打开所在目录");

  MenuHandle& task = controlMenu(kTaskMenu);
  task.appendItem(kCommandAddTask, "添加计划任务");
  task.appendSeparator();
  task.appendItem(kCommandModifyTask, "修改计划任务");
  task.appendSeparator();
  task.appendItem(kCommandDeleteTask, "删除计划任务");

  MenuHandle& page = controlMenu(kPageMenu);
  page.appendItem(kCommandAddItem, "添加项目");
  page.appendItem(kCommandAddFolder, "添加目录");
  page.appendSeparator();
  page.appendItem(kCommandAddCategory, "添加分类");
  page.appendItem(kCommandDeleteCategory, "删除当前分类");
  page.appendItem(kCommandRenameCategory, "重命名分类");
}

void fillTrayAndSettingsMenus(bool autostartOn) {
  MenuHandle& tray = controlMenu(kTrayMenu);
  tray.appendItem(kCommandOpenMovie, "Fl_打开(&O)");
  tray.appendSeparator();
  tray.appendItem(kCommandUpdateCheck, "版本更新(&Q)");
  tray.appendItem(kCommandAbout, "关于!(&G)");
  tray.appendSeparator();
  tray.appendItem(kCommandClickThrough, "Fl_穿透(&T)");
  tray.appendItem(kCommandMute, "Fl_静音(&Y)");
  tray.appendItem(kCommandOnTop, "Fl_总在最前(&Z)");
  tray.appendItem(kCommandLock, "Fl_锁定(&X)");
  tray.appendSeparator();
  tray.appendItem(kCommandShowWindow, "显示控制窗口(&L)");
  tray.appendSeparator();
  tray.appendItem(kCommandExit, "退出(&C)");

  MenuHandle& settings = controlMenu(kSettingsMenu);
  settings.appendItem(kCommandAutostart, "设置开机启动(&X)");
  settings.appendSeparator();
  settings.appendItem(kCommandExit, "退出(&C)");
  settings.check(kCommandAutostart, autostartOn);
}

void showControlMenu(int menu, int x, int y) {
  controlMenu(menu).showPopup(x, y, controlWindow().handle());
}

}  // namespace ql
