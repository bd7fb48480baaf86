// The control window: the program's main window.
#pragma once
#include <windows.h>

namespace ql {

// Creation handler of the control window: builds its whole interface.
void onControlWindowCreated(HWND window);

}  // namespace ql
