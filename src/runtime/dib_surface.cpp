#include "runtime/dib_surface.h"

namespace ql {

namespace {

BITMAPINFO topDownInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool DibSurface::resize(int width, int height) {
  if (dc_ && width == width_ && height == height_) return true;
  release();
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = topDownInfo(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(nullptr);
  if (!bitmap_ || !dc_ || !bits) {
    release();
    return false;
  }
  previous_ = SelectObject(dc_, bitmap_);
  pixels_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void DibSurface::release() {
  if (dc_) {
    if (previous_) SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

bool readBitmapPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = topDownInfo(width, height);
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                       DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == height;
}

}  // namespace ql
