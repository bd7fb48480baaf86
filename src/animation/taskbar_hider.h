// Taking a window off the taskbar and giving it back. A window owned by
// another window has no taskbar button, so a thread of its own keeps an
// invisible owner window (class "HideTaskbar") alive for as long as the
// window is hidden from the taskbar.
#pragma once
#include <windows.h>

namespace ql {

// True when `window` is owned by a taskbar-hiding owner window.
bool isOwnedByTaskbarHider(HWND window);
// False when `window` is not a window or no owner could be made.
bool hideFromTaskbar(HWND window);
// Gives the window its taskbar button back and leaves it as visible and as
// minimised as it was. False when `window` is not a window.
bool restoreToTaskbar(HWND window);

}  // namespace ql
