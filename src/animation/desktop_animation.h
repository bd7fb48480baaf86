// The desktop animation's host window: attached to the desktop, it owns the
// player window that shows the chosen movie.
#pragma once
#include <windows.h>

namespace ql {

// Creation handler of the host window (the control window creates it).
void createDesktopAnimation(HWND host);

}  // namespace ql
