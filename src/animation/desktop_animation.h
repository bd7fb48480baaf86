// The desktop animation's host window: attached to the desktop, it owns the
// player window that shows the chosen movie.
#pragma once
#include <windows.h>

namespace ql {

class FlashPlayerWindow;

// The desktop animation's one player. Made first thing at start-up: making it
// installs the player library when it is missing.
FlashPlayerWindow& desktopPlayer();

// Creation handler of the host window (the control window creates it).
void createDesktopAnimation(HWND host);

}  // namespace ql
