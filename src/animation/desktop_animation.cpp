#include "animation/desktop_animation.h"

namespace ql {

// The player is not attached to the desktop yet: the host stays an empty,
// hidden window.
void createDesktopAnimation(HWND) {}

}  // namespace ql
