#include "launcher/launcher_page.h"

#include <algorithm>
#include <vector>

#include "control/commands.h"
#include "control/control_menus.h"
#include "control/page_view.h"
#include "shell/app.h"
#include "store/config_table.h"

namespace ql {

void refreshItems(int tab) {
  SkinImageList& images = pageView().images;
  SkinListView& list = pageView().list;
  images.clear();
  list.clear();
  std::string category = launcherConfig.sectionName(tab);
  if (category.empty()) return;
  std::vector<std::string> keys;
  launcherConfig.keyNames(category, keys);
  for (const std::string& key : keys) {
    int image = images.add(launcherConfig.getValue(category, key));
    list.insertEntry(key, image, kLauncherEntryColor);
  }
}

void rebuildCategories(int fill) {
  SkinTabStrip& tabs = pageView().tabs;
  tabs.clearTabs();
  std::vector<std::string> names;
  launcherConfig.sectionNames(names);
  for (const std::string& name : names) tabs.addTab(name);
  // A remembered tab that no longer exists (its category was deleted) falls
  // back to the last one.
  int remembered = std::min(pageView().pages.category(kLauncherPage), tabs.tabCount());
  int shown = tabs.setCurrent(std::max(remembered, 1));
  if (fill > 0 && shown == 0) refreshItems(0);  // selecting a tab refills the list itself
}

void rebuildMoveMenu() {
  MenuHandle& moveTo = controlMenu(kMoveToMenu);
  while (moveTo.count() > 0) moveTo.remove(0, true);
  std::vector<std::string> names;
  launcherConfig.sectionNames(names);
  for (size_t i = 0; i < names.size(); ++i)
    moveTo.appendItem(kCommandMoveToBase + static_cast<UINT>(i + 1), names[i]);
}

void saveCatalogue() { configTable().save(ConfigField::Launcher, launcherConfig); }

std::string currentCategory() { return launcherConfig.sectionName(pageView().tabs.current()); }

std::string selectedItemName() {
  SkinListView& list = pageView().list;
  return list.selected() > 0 ? list.entryText(list.selected()) : std::string();
}

}  // namespace ql
