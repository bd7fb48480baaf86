// The skinned form's off-screen picture and its way to the screen: a 32-bit
// premultiplied DIB, the skin scaled to the client area once per size, the
// copy to a plain window's DC, and the push of a layered window (the whole
// window, frame included, so a framed window keeps its size), with a region
// that leaves fully see-through pixels out.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/dib_surface.h"
#include "ui/gdiplus_headers.h"

namespace ql {

class SkinImage;
struct SkinRect;

// How the background under everything else is made.
struct FormBackground {
  const SkinImage* picture;  // may be empty
  uint32_t color;            // ARGB, where there is no picture
  uint32_t transparentRgb;   // 0x00RRGGBB, or 0xFFFFFFFF for none
  bool layered;
  int alpha;        // 0..255: the background's opacity when layered
  bool seeThrough;  // no background at all
};

class FormSurface {
 public:
  // Sizes the picture for `window`: the client area for a plain window, the
  // whole window for a layered one. False when it cannot be made.
  bool fit(HWND window, bool layered, int clientWidth, int clientHeight);
  // The background must be made again (new picture, colour, size or alpha).
  void invalidateBackground() { backgroundReady_ = false; }
  void release();

  // Puts the background under `area` (client pixels) and returns a GDI+
  // bitmap over the client part of the picture to draw the rest with.
  Gdiplus::Bitmap* begin(const FormBackground& background, const SkinRect& area);
  // The picture's DC with its origin at the client area's top-left corner.
  HDC clientDc() const;
  // Pixels of the client area, for the GDI paint routine's opacity fix.
  void snapshot(const SkinRect& area, std::vector<uint32_t>& pixels) const;
  // Pixels changed since `before` (a snapshot of `area`) become opaque.
  void makeChangedOpaque(const SkinRect& area, const std::vector<uint32_t>& before);

  // Copies `area` to a plain window's DC.
  void copyTo(HDC dc, const SkinRect& area) const;
  // Pushes the whole window to the screen; with `clickThrough` the fully
  // see-through pixels are left out of the window's region.
  void push(HWND window, bool clickThrough);

 private:
  void makeBackground(const FormBackground& background);
  uint32_t* clientPixels() const;

  DibSurface dib_;
  int clientWidth_ = 0, clientHeight_ = 0;
  int originX_ = 0, originY_ = 0;  // the client area inside the picture
  std::vector<uint32_t> background_;
  bool backgroundReady_ = false;
  std::vector<uint8_t> clickMask_;  // of the last region set: 1 takes clicks
  std::unique_ptr<Gdiplus::Bitmap> canvas_;
};

}  // namespace ql
