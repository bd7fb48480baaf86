// The program's message loop.
#pragma once
#include <windows.h>

namespace ql {

// Returns non-zero to end the loop.
using MessageFilter = int (*)(MSG& message);

// Runs until WM_QUIT (returns its parameter), until the filter returns
// non-zero, or until `owner` (when given) is gone. With `atlKeys`, keyboard
// messages first go to the accelerator handling of a hosted ATL control.
WPARAM runMessageLoop(HWND owner = nullptr, HACCEL accelerators = nullptr,
                      MessageFilter filter = nullptr, bool atlKeys = false);

}  // namespace ql
