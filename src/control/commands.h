// The numbers of the program's menu commands, as the menus deliver them.
#pragma once

namespace ql {

// Tray menu.
constexpr int kCommandOpenMovie = 1001;
constexpr int kCommandUpdateCheck = 1002;
constexpr int kCommandAbout = 1003;
constexpr int kCommandLock = 1004;
constexpr int kCommandOnTop = 1005;
constexpr int kCommandShowWindow = 1006;
constexpr int kCommandExit = 1007;
constexpr int kCommandMute = 1008;
constexpr int kCommandClickThrough = 1009;

// Launcher menus.
constexpr int kCommandOpenItem = 2001;
constexpr int kCommandAddItem = 2002;
constexpr int kCommandDeleteItem = 2003;
constexpr int kCommandAddCategory = 2004;
constexpr int kCommandDeleteCategory = 2005;
constexpr int kCommandRenameItem = 2006;
constexpr int kCommandRenameCategory = 2007;
constexpr int kCommandPlaceItem = 2008;
constexpr int kCommandOpenFolder = 2009;
constexpr int kCommandAddFolder = 2010;

// Task list menu.
constexpr int kCommandAddTask = 3001;
constexpr int kCommandModifyTask = 3002;
constexpr int kCommandDeleteTask = 3003;

// "移动到": 4000 + the target category's 1-based number.
constexpr int kCommandMoveToBase = 4000;
// Settings menu.
constexpr int kCommandAutostart = 6001;

}  // namespace ql
