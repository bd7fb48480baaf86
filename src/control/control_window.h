// The control window: the program's main window, a skinned popup at the
// right of the screen with three pages ("应用工具", "桌面Flash", "计划任务")
// that share one category tab strip and one item list.
#pragma once
#include <windows.h>

namespace ql {

// Creation handler of the control window: builds its whole interface, with
// the pages' shared controls (page_view.h) on its form.
void onControlWindowCreated(HWND window);

// Refills the list of the showing page for category tab `tab`.
void refreshPage(int tab);

// Shows the window (restored when hidden or minimised), brings it to the
// front and gives it its taskbar button back.
void showControlWindow();

}  // namespace ql
