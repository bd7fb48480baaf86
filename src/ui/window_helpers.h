// Free helpers for windows: their text, the modifier keys, where a window
// fits on the screen, and the program's one message pump.
//
// ---- The message pump and WM_QUIT -------------------------------------------
// Every loop of the program runs through pumpMessage below: the hosted ATL
// control's keys, the accelerators, the dialog keys of a dialog-like window
// (window_base.h), then TranslateMessage and DispatchMessageA.
// WM_QUIT ends runMessageLoop, which returns its parameter. A modal loop or a
// pass over pending messages that meets WM_QUIT leaves it in the queue
// (posting it again) and returns at once, so every loop up to the outermost
// one ends and the outermost one sees the quit.
#pragma once
#include <windows.h>

#include <string>

#include "ui/screen_fit.h"

namespace ql {

// Any length; empty for no window.
std::string windowText(HWND window);

// kModControl | kModShift | kModAlt as the keyboard holds them now.
int modifierKeys();
// The same for a mouse message: Control and Shift come with the message.
int mouseModifierKeys(WPARAM mouseFlags);

// The work area of the monitor nearest to the screen point.
ScreenRect workAreaAt(int x, int y);
// x, y moved so that a window of width x height lies inside the work area
// of the monitor nearest to (x, y).
void fitInWorkArea(int& x, int& y, int width, int height);

struct TopLevelArgs;
class WindowBase;
// A modal WS_POPUP window owned by `owner`, its top-left `dx`, `dy` from the
// owner's, moved into the work area where it would stick out.
TopLevelArgs modalPopupArgs(const WindowBase& owner, const std::string& title, int dx, int dy,
                            int width, int height);

// Returns non-zero to end runMessageLoop.
using LoopFilter = int (*)(MSG& message);

// Runs until WM_QUIT (returns its parameter), until the filter returns
// non-zero, or until `owner` (when given) is gone. With `atlKeys`, keyboard
// messages first go to the accelerator handling of a hosted ATL control.
WPARAM runMessageLoop(HWND owner = nullptr, HACCEL accelerators = nullptr,
                      LoopFilter filter = nullptr, bool atlKeys = false);
// Runs until `window` is gone (or WM_QUIT comes, which stays queued).
void runModalLoop(HWND window, HACCEL accelerators);
// Handles what is queued now; stops before WM_QUIT, which stays queued.
void processPendingMessages();

}  // namespace ql
