// The desktop animation's host window: attached to the desktop, it owns the
// player window that shows the chosen movie.
#pragma once
#include <windows.h>

namespace ql {

class ConfigText;
class FlashPlayerWindow;

// The desktop animation's one player. Made first thing at start-up: making it
// installs the player library when it is missing.
FlashPlayerWindow& desktopPlayer();

// Creation handler of the host window (the control window creates it): puts
// the host under the desktop's own window, makes the player at its stored
// place, plays the remembered movie and applies the stored options.
void createDesktopAnimation(HWND host);

// The player's place into "fl配置" (written at exit with the other windows');
// nothing when there is no player window.
void storeDesktopPlayerGeometry(ConfigText& config);

}  // namespace ql
