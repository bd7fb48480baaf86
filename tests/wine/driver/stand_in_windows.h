// Windows of other programs that the tests need around the program, each kept
// by a thread of its own for the rest of qldrive's life:
// - a stand-in for the Windows desktop's own window ("Progman", "Program
//   Manager"), which Wine without a desktop of its own lacks: full screen,
//   at the bottom of the z-order, painted like a wallpaper;
// - opaque covers, always on top, to hide a part of the screen.
#pragma once
#include <windows.h>

// The desktop's window; null when it cannot be made. A second call gives the
// same one.
HWND startDesktopWindow();

// A plain grey window over everything at that screen rectangle; null when it
// cannot be made.
HWND openCoverWindow(int left, int top, int width, int height);
