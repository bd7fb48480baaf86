#include "launcher/launcher_commands.h"

#include <windows.h>

#include "control/commands.h"
#include "control/page_view.h"
#include "launcher/catalogue_edits.h"
#include "launcher/launcher_page.h"
#include "launcher/prompt_text.h"
#include "launcher/shortcuts.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "ui/window_base.h"

namespace ql {

namespace {

int currentTab() { return pageView().tabs.current(); }

void refreshAndSave() {
  refreshItems(currentTab());
  saveCatalogue();
}

void deleteItem() {
  std::string category = currentCategory();
  if (category.empty()) return;
  SkinListView& list = pageView().list;
  if (deleteItemAt(launcherConfig, category, list.selected(), list.entryCount())) refreshAndSave();
}

// The input window's check for a category name: taken names are refused.
PromptCheck categoryNameCheck(const std::string& oldName) {
  return [oldName](const std::string& typed) -> std::string {
    return nameRefusal(categoryNameProblem(launcherConfig, oldName, tidyCategoryName(typed)));
  };
}

void addCategoryCommand() {
  std::string name = tidyCategoryName(promptText(
      "请输入添加分类名称：", suggestedCategoryName(pageView().tabs.tabCount()), categoryNameCheck("")));
  if (name.empty()) return;
  addCategory(launcherConfig, name);
  rebuildCategories(0);
  rebuildMoveMenu();
  saveCatalogue();
}

void deleteCategoryCommand() {
  std::string category = currentCategory();
  if (category.empty()) return;
  if (showMessageBox(controlWindow().handle(), "删除当前软件分类\r\n包括分类下所有图标!  ",
                     MB_OKCANCEL | MB_ICONINFORMATION) != kAnswerOk)
    return;
  deleteCategory(launcherConfig, category);
  rebuildCategories(1);
  rebuildMoveMenu();
  saveCatalogue();
}

void renameItem() {
  std::string category = currentCategory(), name = selectedItemName();
  if (category.empty() || name.empty()) return;
  std::string answer = tidyItemName(
      promptText("请输入新项目名称!", name, [&](const std::string& typed) -> std::string {
        return nameRefusal(itemNameProblem(launcherConfig, category, name, tidyItemName(typed)));
      }));
  if (answer.empty() || answer == name) return;
  if (launcherConfig.renameKey(category, name, answer)) refreshAndSave();
}

void renameCategory() {
  std::string category = currentCategory();
  if (category.empty()) return;
  std::string answer =
      tidyCategoryName(promptText("请输入新分类名称!", category, categoryNameCheck(category)));
  if (answer.empty() || answer == category) return;
  if (!launcherConfig.renameSection(category, answer)) return;
  pageView().pages.remember(kLauncherPage, currentTab());
  rebuildCategories(0);
  // "移动到" shows the category names too.
  rebuildMoveMenu();
  saveCatalogue();
}

void placeItem() {
  std::string category = currentCategory(), name = selectedItemName();
  if (category.empty() || name.empty()) return;
  double position = textToNumber(promptText("请输入项目新位置!", intToText(pageView().list.selected())));
  if (!(position > 0.0000001)) return;
  std::string value = launcherConfig.getValue(category, name);
  launcherConfig.insertValue(category, name, value, position >= 2147483647.0 ? 2147483647 : int(position));
  refreshAndSave();
}

}  // namespace

void runLauncherCommand(int commandId) {
  switch (commandId) {
    case kCommandOpenItem: openItem(); break;
    case kCommandAddItem: addShortcut(); break;
    case kCommandDeleteItem: deleteItem(); break;
    case kCommandAddCategory: addCategoryCommand(); break;
    case kCommandDeleteCategory: deleteCategoryCommand(); break;
    case kCommandRenameItem: renameItem(); break;
    case kCommandRenameCategory: renameCategory(); break;
    case kCommandPlaceItem: placeItem(); break;
    case kCommandOpenFolder: openContainingFolder(); break;
    case kCommandAddFolder: addFolder(); break;
  }
}

void moveSelectedItem(int target) {
  std::string category = currentCategory(), name = selectedItemName();
  if (category.empty() || name.empty() || target == currentTab()) return;
  if (moveItem(launcherConfig, category, name, launcherConfig.sectionName(target))) refreshAndSave();
}

}  // namespace ql
