// 青岚桌面工具箱: one GUI process, no command line.
#include <windows.h>

#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ExitProcess(static_cast<UINT>(ql::runProgram()));
}
