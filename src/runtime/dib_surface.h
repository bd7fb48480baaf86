// 32-bit top-down pictures in memory, the form every off-screen surface of the
// program (skinned forms, icon scratch, the player's frames) is drawn into.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace ql {

// A DIB section selected into a memory DC.
class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface() { release(); }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // Makes the surface width x height (its pixels then hold garbage); keeps it
  // when the size is unchanged. False when the picture cannot be made.
  bool resize(int width, int height);
  void release();

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  uint32_t* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Reads a bitmap's pixels as 32-bit values, top row first.
bool readBitmapPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>& pixels);

}  // namespace ql
