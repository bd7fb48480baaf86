// Finding and describing the windows of other processes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct WindowFilter {
  std::string className;  // exact, empty: any
  std::string title;      // exact, empty: any
  std::string process;    // image file name or full path, any letter case; empty: any
  bool visibleOnly = false;
};

std::vector<HWND> topLevelWindows(const WindowFilter& filter);
std::vector<HWND> childWindows(HWND parent);

std::string windowClass(HWND window);
std::string windowTitle(HWND window);
std::string processImage(DWORD processId);

// Text made safe for one line: backslash, CR and LF become \\, \r and \n.
// Works on bytes, so GBK trail bytes equal to "\\" come back intact.
std::string escapeLine(const std::string& text);

// One line: hwnd=... pid=... class=... visible=... rect=L,T,W,H style=... exstyle=...
// owner=... title=...
// The title comes last and runs to the end of the line.
std::string describeWindow(HWND window);
