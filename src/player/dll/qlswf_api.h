// The player library's face: the entry points the program binds by name and
// the window messages its player window understands. Shared by the library
// and by the program's player window, so both sides agree on the signatures.
#pragma once
#include <windows.h>

// File name of the library: one per architecture, since both programs may
// install theirs into the same Windows folder.
#ifdef _WIN64
#define QLSWF_LIBRARY_NAME "qlswf64.dll"
#else
#define QLSWF_LIBRARY_NAME "qlswf.dll"
#endif

// A loaded instance of the library, as handed out by FPC_LoadRegisteredOCX.
typedef struct QlSwfLibrary* HFPC;

// lParam: address of a QlSwfLoadMovie; loads the movie from that path.
#define QLSWF_MSG_LOAD_MOVIE 0x153D
// lParam: address of an int; turns the right-click menu off. Accepted, answers 0.
#define QLSWF_MSG_CONTEXT_MENU_OFF 0x1405

// Movies are small: a file larger than this is not one, and neither side
// reads it.
#define QLSWF_LARGEST_MOVIE_BYTES (256LL << 20)

// Every player window carries its library's sound volume (0..65535) as this
// window property, for whoever plays its sounds and for anyone who asks.
#define QLSWF_VOLUME_PROPERTY "QlSwfVolume"

struct QlSwfLoadMovie {
  const char* path;  // GBK
  int reserved;      // 0
};

// Volume runs 0..65535.
typedef BOOL(WINAPI* FPCIsFlashInstalledFn)(void);
typedef BOOL(WINAPI* FPCIsTransparentAvailableFn)(void);
typedef HFPC(WINAPI* FPC_LoadRegisteredOCXFn)(void);
typedef HWND(WINAPI* FPC_CreateWindowAFn)(HFPC library, DWORD exStyle, LPCSTR windowName,
                                          DWORD style, int x, int y, int width, int height,
                                          HWND parent, HMENU menu, HINSTANCE instance,
                                          LPVOID param);
typedef BOOL(WINAPI* FPCPutMovieFromMemoryFn)(HWND window, const void* data, DWORD size);
typedef DWORD(WINAPI* FPC_GetSoundVolumeFn)(HFPC library);
typedef BOOL(WINAPI* FPC_SetSoundVolumeFn)(HFPC library, DWORD volume);
typedef BOOL(WINAPI* FPC_UnloadCodeFn)(HFPC library);
