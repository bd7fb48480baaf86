// The player window: a layered popup that plays one movie with per-pixel
// alpha over whatever lies below it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace qlswf {

// Registers the window class on first use; null when that fails.
const char* playerWindowClass(HINSTANCE module);

// Replaces the window's movie with the one in these bytes; empty or broken
// bytes leave the window empty. False when `window` is not a player window.
bool putMovie(HWND window, const uint8_t* data, size_t size);

}  // namespace qlswf
