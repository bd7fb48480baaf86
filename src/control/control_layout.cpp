#include "control/control_layout.h"

namespace ql {

ControlLayout layoutControls(int width, int height) {
  ControlLayout layout;
  layout.minimiseButton = {width - 39, 0, 39, 20};
  layout.settingsButton = {width - 67, 0, 28, 20};
  layout.skinButton = {layout.settingsButton.x - 28, 0, 28, 20};
  layout.itemList = {0, kItemListTop, width - 5, height - 190};
  layout.categoryTabs = {0, kCategoryTabsTop, width, kCategoryTabsHeight};
  layout.statusLabel = {15, height - 30, width - 30, 25};
  layout.listModeBox = {width - 20, kCategoryTabsTop - 16, 18, 18};
  return layout;
}

ControlRect pageButtonRect(int page) { return {(page - 1) * 72 + page * 5 + 10, 35, 72, 72}; }

}  // namespace ql
