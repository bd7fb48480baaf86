// The player window: a layered popup that plays one movie with per-pixel
// alpha over whatever lies below it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "player/dll/qlswf_api.h"

namespace qlswf {

// Registers the window class on first use; null when that fails.
const char* playerWindowClass(HINSTANCE module);

// The volume FPC_SetSoundVolume gave a library handle (0..65535); 0 for a
// handle that is not (or no longer) loaded.
DWORD libraryVolume(HFPC library);

// Replaces the window's movie with the one in these bytes; empty or broken
// bytes leave the window empty. False when `window` is not a player window.
bool putMovie(HWND window, const uint8_t* data, size_t size);

}  // namespace qlswf
