// The control window: the program's main window, a skinned popup at the
// right of the screen with three pages ("应用工具", "桌面Flash", "计划任务")
// that share one category tab strip and one item list.
#pragma once
#include <windows.h>

#include "control/page_memory.h"

namespace ql {

class SkinForm;
class SkinImageList;
class SkinLabel;
class SkinListView;
class SkinTabStrip;

// Creation handler of the control window: builds its whole interface.
void onControlWindowCreated(HWND window);

// The shared controls the pages fill.
SkinForm& controlForm();
SkinTabStrip& categoryTabs();
SkinListView& itemList();
SkinImageList& itemImages();
SkinLabel& statusLabel();

// The showing page and each page's remembered category tab.
PageMemory& pages();
// Refills the list of the showing page for category tab `tab`.
void refreshPage(int tab);

// Shows the window (restored when hidden or minimised), brings it to the
// front and gives it its taskbar button back.
void showControlWindow();

// The list's entry colour on the launcher and animation pages.
constexpr unsigned kLauncherEntryColor = 0xF00060C0;

}  // namespace ql
