#include "ui/form_surface.h"

#include "ui/picture_region.h"
#include "ui/skin_element.h"
#include "ui/skin_image.h"

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

uint32_t premultiplied(uint32_t argb) {
  uint32_t a = argb >> 24;
  if (a == 255) return argb;
  uint32_t r = ((argb >> 16) & 0xFF) * a / 255, g = ((argb >> 8) & 0xFF) * a / 255,
           b = (argb & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// A premultiplied pixel at `alpha` / 255 of its opacity.
uint32_t faded(uint32_t pixel, int alpha) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8)
    result |= ((((pixel >> shift) & 0xFF) * uint32_t(alpha) + 127) / 255) << shift;
  return result;
}

}  // namespace

bool FormSurface::fit(HWND window, bool layered, int clientWidth, int clientHeight) {
  if (clientWidth <= 0 || clientHeight <= 0) return false;
  int width = clientWidth, height = clientHeight;
  originX_ = originY_ = 0;
  if (layered) {
    // A layered window is pushed whole: the frame around the client area is
    // part of the picture.
    RECT windowRect;
    POINT client = {0, 0};
    GetWindowRect(window, &windowRect);
    ClientToScreen(window, &client);
    originX_ = std::max(0, int(client.x - windowRect.left));
    originY_ = std::max(0, int(client.y - windowRect.top));
    width = std::max(clientWidth + originX_, int(windowRect.right - windowRect.left));
    height = std::max(clientHeight + originY_, int(windowRect.bottom - windowRect.top));
  }
  if (clientWidth != clientWidth_ || clientHeight != clientHeight_) backgroundReady_ = false;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  if (dib_.width() != width || dib_.height() != height) {
    canvas_.reset();
    if (!dib_.resize(width, height)) return false;
    // Whatever the client area leaves (a frame) starts see-through.
    std::memset(dib_.pixels(), 0, size_t(width) * size_t(height) * 4);
  }
  return true;
}

void FormSurface::release() {
  canvas_.reset();
  dib_.release();
  background_.clear();
  backgroundReady_ = false;
  clickMask_.clear();
  clientWidth_ = clientHeight_ = 0;
}

uint32_t* FormSurface::clientPixels() const {
  return dib_.pixels() + size_t(originY_) * size_t(dib_.width()) + size_t(originX_);
}

// The background, scaled once per size: it covers the client area, keeping
// its proportions, anchored at the top-left corner where skins put their design.
void FormSurface::makeBackground(const FormBackground& look) {
  size_t count = size_t(clientWidth_) * size_t(clientHeight_);
  uint32_t fill =
      look.seeThrough ? 0 : premultiplied(look.layered ? look.color : (look.color | 0xFF000000u));
  background_.assign(count, fill);
  backgroundReady_ = true;
  const SkinImage* picture = look.picture;
  if (picture && picture->valid() && picture->width() > 0 && picture->height() > 0) {
    SkinImage keyed;
    if (look.layered && look.transparentRgb != 0xFFFFFFFF) {
      // See-through pixels are cut from the picture before it is scaled.
      keyed = *picture;
      Gdiplus::Bitmap* bitmap = keyed.get();
      Gdiplus::Rect all(0, 0, keyed.width(), keyed.height());
      Gdiplus::BitmapData data;
      if (bitmap && bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                                     PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
        for (int y = 0; y < keyed.height(); ++y) {
          auto* row =
              reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
          for (int x = 0; x < keyed.width(); ++x)
            if ((row[x] & 0xFFFFFF) == look.transparentRgb) row[x] = 0;
        }
        bitmap->UnlockBits(&data);
        picture = &keyed;
      }
    }
    Gdiplus::Bitmap canvas(clientWidth_, clientHeight_, clientWidth_ * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(background_.data()));
    Gdiplus::Graphics graphics(&canvas);
    float scale = std::max(float(clientWidth_) / float(picture->width()),
                           float(clientHeight_) / float(picture->height()));
    float w = picture->width() * scale, h = picture->height() * scale;
    graphics.SetInterpolationMode(picture->width() == clientWidth_ &&
                                          picture->height() == clientHeight_
                                      ? Gdiplus::InterpolationModeNearestNeighbor
                                      : Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::ImageAttributes clampEdges;
    clampEdges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    graphics.DrawImage(picture->get(), Gdiplus::RectF(0, 0, w, h), 0, 0, float(picture->width()),
                       float(picture->height()), Gdiplus::UnitPixel, &clampEdges);
  }
  if (look.layered && look.alpha < 255)
    for (uint32_t& pixel : background_) pixel = faded(pixel, look.alpha);
}

Gdiplus::Bitmap* FormSurface::begin(const FormBackground& look, const SkinRect& area) {
  if (!dib_.pixels() || area.width <= 0 || area.height <= 0) return nullptr;
  if (!backgroundReady_) makeBackground(look);
  uint32_t* pixels = clientPixels();
  const size_t stride = size_t(dib_.width());
  for (int y = area.y; y < area.y + area.height; ++y)
    std::memcpy(pixels + size_t(y) * stride + size_t(area.x),
                background_.data() + size_t(y) * size_t(clientWidth_) + size_t(area.x),
                size_t(area.width) * 4);
  if (!canvas_)
    canvas_ =
        std::make_unique<Gdiplus::Bitmap>(clientWidth_, clientHeight_, dib_.width() * 4,
                                          PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels));
  return canvas_.get();
}

HDC FormSurface::clientDc() const {
  if (dib_.dc()) SetViewportOrgEx(dib_.dc(), originX_, originY_, nullptr);
  return dib_.dc();
}

void FormSurface::snapshot(const SkinRect& area, std::vector<uint32_t>& pixels) const {
  pixels.clear();
  const uint32_t* client = clientPixels();
  for (int y = area.y; y < area.y + area.height; ++y) {
    const uint32_t* row = client + size_t(y) * size_t(dib_.width()) + size_t(area.x);
    pixels.insert(pixels.end(), row, row + area.width);
  }
}

void FormSurface::makeChangedOpaque(const SkinRect& area, const std::vector<uint32_t>& before) {
  uint32_t* client = clientPixels();
  size_t i = 0;
  for (int y = area.y; y < area.y + area.height; ++y) {
    uint32_t* row = client + size_t(y) * size_t(dib_.width()) + size_t(area.x);
    for (int x = 0; x < area.width; ++x, ++i)
      if (i < before.size() && row[x] != before[i]) row[x] |= 0xFF000000u;
  }
}

void FormSurface::copyTo(HDC dc, const SkinRect& area) const {
  if (dib_.dc())
    BitBlt(dc, area.x, area.y, area.width, area.height, dib_.dc(), originX_ + area.x,
           originY_ + area.y, SRCCOPY);
}

void FormSurface::push(HWND window, bool clickThrough) {
  if (!dib_.dc()) return;
  GdiFlush();
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  POINT source = {0, 0};
  POINT position = {windowRect.left, windowRect.top};
  SIZE size = {dib_.width(), dib_.height()};
  // The background carries the form's alpha already.
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, nullptr, &position, &size, dib_.dc(), &source, 0, &blend, ULW_ALPHA);
  if (!clickThrough) return;
  const size_t count = size_t(dib_.width()) * size_t(dib_.height());
  std::vector<uint8_t> mask(count);
  for (size_t i = 0; i < count; ++i) mask[i] = (dib_.pixels()[i] >> 24) != 0;
  if (mask == clickMask_) return;
  clickMask_.swap(mask);
  std::vector<uint32_t> keyed(count);
  for (size_t i = 0; i < count; ++i) keyed[i] = clickMask_[i] ? 0xFFFFFF : 0;
  HRGN region = createRegionFromPixels(keyed.data(), dib_.width(), dib_.height(), 0);
  if (region && !SetWindowRgn(window, region, FALSE)) DeleteObject(region);
}

}  // namespace ql
