// The library's entry points. Each is a plain stdcall function exported by
// name (qlswf.def), found by the program with GetProcAddress.
#include <mutex>
#include <set>

#include "player/core/player.h"
#include "player/dll/player_window.h"
#include "player/dll/qlswf_api.h"

// A library handle: what FPC_LoadRegisteredOCX hands out, with the volume
// its windows play at and the windows made through it, which also carry the
// volume as a property.
struct QlSwfLibrary {
  DWORD volume = 65535;
  std::set<HWND> windows;
};

namespace {

HINSTANCE thisModule;

std::mutex& librariesLock() {
  static std::mutex lock;
  return lock;
}

std::set<HFPC>& liveLibraries() {
  static std::set<HFPC> libraries;
  return libraries;
}

bool isLive(HFPC library) {
  std::lock_guard<std::mutex> hold(librariesLock());
  return library && liveLibraries().count(library) != 0;
}

// One frame of an empty 1 × 1 stage: if the engine takes this, it can play.
bool engineCanPlay() {
  static const uint8_t kTinyMovie[] = {
      'F', 'W', 'S', 6, 20, 0, 0, 0,  // version 6, 20 bytes in all
      0x30, 0x0A, 0x00, 0xA0,         // stage 0..20 × 0..20 twips, 6-bit fields
      0x00, 0x0C, 0x01, 0x00,         // 12 fps, 1 frame
      0x40, 0x00,                     // ShowFrame
      0x00, 0x00,                     // End
  };
  try {
    return player::Player::load(kTinyMovie, sizeof kTinyMovie) != nullptr;
  } catch (...) {
    return false;
  }
}

}  // namespace

DWORD qlswf::libraryVolume(HFPC library) {
  std::lock_guard<std::mutex> hold(librariesLock());
  return library && liveLibraries().count(library) ? library->volume : 0;
}

extern "C" {

BOOL WINAPI FPCIsFlashInstalled(void) {
  static const bool canPlay = engineCanPlay();
  return canPlay ? TRUE : FALSE;
}

// Per-pixel alpha layered popups exist on every Windows this runs on; the
// check stays so that a system without them says so.
BOOL WINAPI FPCIsTransparentAvailable(void) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 && GetProcAddress(user32, "UpdateLayeredWindow") ? TRUE : FALSE;
}

HFPC WINAPI FPC_LoadRegisteredOCX(void) {
  HFPC library = new (std::nothrow) QlSwfLibrary;
  if (!library) return nullptr;
  std::lock_guard<std::mutex> hold(librariesLock());
  liveLibraries().insert(library);
  return library;
}

BOOL WINAPI FPC_UnloadCode(HFPC library) {
  {
    std::lock_guard<std::mutex> hold(librariesLock());
    if (!library || !liveLibraries().erase(library)) return FALSE;
  }
  delete library;
  return TRUE;
}

// The window is always a layered popup: per-pixel alpha needs WS_EX_LAYERED,
// and a child window could not float over the desktop. `parent` becomes its
// owner. The caller's instance and creation parameter are not ours to use.
HWND WINAPI FPC_CreateWindowA(HFPC library, DWORD exStyle, LPCSTR windowName, DWORD style, int x,
                              int y, int width, int height, HWND parent, HMENU menu,
                              HINSTANCE instance, LPVOID param) {
  (void)menu;
  (void)instance;
  (void)param;
  if (!isLive(library)) return nullptr;
  const char* className = qlswf::playerWindowClass(thisModule);
  if (!className) return nullptr;
  style = (style & ~WS_CHILD) | WS_POPUP;
  HWND window = CreateWindowExA(exStyle | WS_EX_LAYERED, className, windowName, style, x, y, width,
                                height, parent, nullptr, thisModule, library);
  if (!window) return nullptr;
  std::lock_guard<std::mutex> hold(librariesLock());
  if (liveLibraries().count(library)) {
    library->windows.insert(window);
    SetPropA(window, QLSWF_VOLUME_PROPERTY, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(library->volume)));
  }
  return window;
}

BOOL WINAPI FPCPutMovieFromMemory(HWND window, const void* data, DWORD size) {
  return qlswf::putMovie(window, static_cast<const uint8_t*>(data), size) ? TRUE : FALSE;
}

DWORD WINAPI FPC_GetSoundVolume(HFPC library) { return qlswf::libraryVolume(library); }

BOOL WINAPI FPC_SetSoundVolume(HFPC library, DWORD volume) {
  std::lock_guard<std::mutex> hold(librariesLock());
  if (!library || !liveLibraries().count(library)) return FALSE;
  library->volume = volume > 65535 ? 65535 : volume;
  for (auto it = library->windows.begin(); it != library->windows.end();) {
    if (!IsWindow(*it)) {
      it = library->windows.erase(it);
      continue;
    }
    SetPropA(*it, QLSWF_VOLUME_PROPERTY, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(library->volume)));
    ++it;
  }
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    thisModule = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

}  // extern "C"
