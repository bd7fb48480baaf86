// The control window's six popup menus.
#pragma once
#include "ui/menu_handle.h"

namespace ql {

enum ControlMenu : int {
  kTrayMenu = 0,
  kItemMenu = 1,  // a launcher item under the cursor
  kTaskMenu = 2,
  kMoveToMenu = 3,  // "移动到", rebuilt with the categories
  kPageMenu = 4,    // the launcher page without an item
  kSettingsMenu = 5,
  kControlMenuCount = 6,
};

MenuHandle& controlMenu(int index);

// Creates the six menus and fills the launcher and task menus; "移动到"
// stays empty until the launcher lists its categories.
void createControlMenus();

// Fills the tray and settings menus, with the autostart mark given.
void fillTrayAndSettingsMenus(bool autostartOn);

// Shows `menu` at a screen point; its command goes to the control window.
void showControlMenu(int menu, int x, int y);

}  // namespace ql
