// Whether a top-level window can be seen at all: shown, not minimised, on a
// screen and not fully covered by opaque windows above it.
#pragma once
#include <windows.h>

namespace qlswf {

// Cheap: shown and not minimised.
bool isShown(HWND window);

// Walks the windows above `window` and takes away what they cover. Only windows
// that surely paint every pixel of their frame count (not layered, not
// click-through, not cloaked), so that a doubt never stops the animation.
bool isUncovered(HWND window);

}  // namespace qlswf
