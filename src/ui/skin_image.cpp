#include "ui/skin_image.h"

#include <cstring>

#include "runtime/dib_surface.h"

namespace ql {

namespace {

// GDI+'s time dimension of multi-frame pictures (FrameDimensionTime).
const GUID kFrameDimensionTime = {
    0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
const PROPID kFrameDelayTag = 0x5100;

// `format` says how the pixels hold alpha: straight (PixelFormat32bppARGB) or
// premultiplied (PixelFormat32bppPARGB); GDI+ converts as it takes them.
Gdiplus::Bitmap* bitmapFromPixels(const std::vector<uint32_t>& pixels, int width, int height,
                                  Gdiplus::PixelFormat format = PixelFormat32bppARGB) {
  auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data;
  if (bitmap->GetLastStatus() != Gdiplus::Ok ||
      bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok) {
    delete bitmap;
    return nullptr;
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<uint8_t*>(data.Scan0) + y * data.Stride, &pixels[size_t(y) * width],
                size_t(width) * 4);
  bitmap->UnlockBits(&data);
  return bitmap;
}

bool anyAlpha(const std::vector<uint32_t>& pixels) {
  for (uint32_t p : pixels)
    if (p >> 24) return true;
  return false;
}

}  // namespace

SkinImage::SkinImage() = default;

SkinImage::~SkinImage() { clear(); }

SkinImage::SkinImage(const SkinImage& other) { *this = other; }

SkinImage& SkinImage::operator=(const SkinImage& other) {
  if (this == &other) return *this;
  clear();
  if (!other.valid()) return *this;
  if (other.stream_) {
    // Re-open from a copy of the stream so that all GIF frames come along.
    STATSTG stat = {};
    LARGE_INTEGER zero = {};
    if (other.stream_->Stat(&stat, STATFLAG_NONAME) == S_OK &&
        other.stream_->Seek(zero, STREAM_SEEK_SET, nullptr) == S_OK) {
      std::vector<uint8_t> bytes(size_t(stat.cbSize.QuadPart));
      ULONG read = 0;
      if (other.stream_->Read(bytes.data(), ULONG(bytes.size()), &read) == S_OK &&
          read == bytes.size())
        loadMemory(bytes.data(), bytes.size());
    }
    return *this;
  }
  adopt(other.bitmap_->Clone(0, 0, other.width(), other.height(), PixelFormat32bppARGB));
  return *this;
}

SkinImage::SkinImage(SkinImage&& other) noexcept
    : bitmap_(std::move(other.bitmap_)), stream_(other.stream_) {
  other.stream_ = nullptr;
}

SkinImage& SkinImage::operator=(SkinImage&& other) noexcept {
  if (this != &other) {
    clear();
    bitmap_ = std::move(other.bitmap_);
    stream_ = other.stream_;
    other.stream_ = nullptr;
  }
  return *this;
}

void SkinImage::clear() {
  bitmap_.reset();
  if (stream_) stream_->Release();
  stream_ = nullptr;
}

bool SkinImage::adopt(Gdiplus::Bitmap* bitmap) {
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
    delete bitmap;
    clear();
    return false;
  }
  bitmap_.reset(bitmap);
  return true;
}

bool SkinImage::loadFile(const std::string& path) {
  // Read the bytes ourselves: GDI+ would keep the file locked.
  Bytes bytes;
  if (!readWholeFile(path, bytes)) {
    clear();
    return false;
  }
  return loadMemory(bytes);
}

bool SkinImage::loadMemory(const uint8_t* data, size_t size) {
  clear();
  if (!data || size == 0) return false;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, data, size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
    GlobalFree(memory);
    return false;
  }
  auto* bitmap = new Gdiplus::Bitmap(stream);
  if (!adopt(bitmap)) {
    stream->Release();
    return false;
  }
  stream_ = stream;
  return true;
}

bool SkinImage::fromBitmap(HBITMAP handle) {
  clear();
  BITMAP info = {};
  if (!handle || !GetObject(handle, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
    return false;
  int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (info.bmBitsPixel != 32) return adopt(Gdiplus::Bitmap::FromHBITMAP(handle, nullptr));
  std::vector<uint32_t> pixels;
  if (!readBitmapPixels(handle, width, height, pixels)) return false;
  // A 32-bit bitmap that never set its alpha channel is opaque, not invisible;
  // one that did was drawn with alpha blending and holds premultiplied pixels.
  if (!anyAlpha(pixels)) {
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    return adopt(bitmapFromPixels(pixels, width, height));
  }
  return adopt(bitmapFromPixels(pixels, width, height, PixelFormat32bppPARGB));
}

bool SkinImage::fromIcon(HICON icon) {
  clear();
  ICONINFO parts = {};
  if (!icon || !GetIconInfo(icon, &parts)) return false;
  bool ok = false;
  BITMAP info = {};
  HBITMAP colour = parts.hbmColor;
  if (GetObject(colour ? colour : parts.hbmMask, sizeof info, &info)) {
    int width = info.bmWidth;
    // A monochrome icon keeps its AND mask and XOR picture stacked in one bitmap.
    int height = colour ? info.bmHeight : info.bmHeight / 2;
    std::vector<uint32_t> pixels, mask;
    bool read = colour ? readBitmapPixels(colour, width, height, pixels)
                       : readBitmapPixels(parts.hbmMask, width, height * 2, mask);
    if (read && !colour) {
      pixels.assign(mask.begin() + size_t(width) * height, mask.end());
      mask.resize(size_t(width) * height);
    } else if (read && parts.hbmMask && !anyAlpha(pixels)) {
      read = readBitmapPixels(parts.hbmMask, width, height, mask);
    }
    if (read) {
      if (!mask.empty()) {
        // Old-style icon: the mask says which pixels are transparent.
        for (size_t i = 0; i < pixels.size(); ++i)
          pixels[i] = (mask[i] & 0xFFFFFF) ? 0 : (pixels[i] | 0xFF000000u);
      }
      ok = adopt(bitmapFromPixels(pixels, width, height));
    }
  }
  if (parts.hbmColor) DeleteObject(parts.hbmColor);
  if (parts.hbmMask) DeleteObject(parts.hbmMask);
  return ok;
}

bool SkinImage::createEmpty(int width, int height) {
  clear();
  if (width <= 0 || height <= 0) return false;
  auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
  if (!adopt(bitmap)) return false;
  Gdiplus::Graphics graphics(bitmap);
  graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
  return true;
}

int SkinImage::width() const { return bitmap_ ? int(bitmap_->GetWidth()) : 0; }

int SkinImage::height() const { return bitmap_ ? int(bitmap_->GetHeight()) : 0; }

uint32_t SkinImage::pixel(int x, int y) const {
  if (!bitmap_ || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  Gdiplus::Color color;
  if (bitmap_->GetPixel(x, y, &color) != Gdiplus::Ok) return 0;
  return color.GetValue();
}

int SkinImage::frameCount() const {
  if (!bitmap_) return 0;
  UINT count = bitmap_->GetFrameCount(&kFrameDimensionTime);
  return count > 0 ? int(count) : 1;
}

std::vector<int> SkinImage::frameDelays() const {
  std::vector<int> delays;
  if (!bitmap_) return delays;
  UINT size = bitmap_->GetPropertyItemSize(kFrameDelayTag);
  if (size < sizeof(Gdiplus::PropertyItem)) return delays;
  std::vector<uint8_t> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (bitmap_->GetPropertyItem(kFrameDelayTag, size, item) != Gdiplus::Ok || !item->value)
    return delays;
  size_t count = item->length / 4;
  const uint8_t* value = static_cast<const uint8_t*>(item->value);
  for (size_t i = 0; i < count; ++i) {
    uint32_t delay;
    std::memcpy(&delay, value + i * 4, 4);
    delays.push_back(int(delay));
  }
  return delays;
}

bool SkinImage::selectFrame(int index) {
  if (!bitmap_ || index < 0 || index >= frameCount()) return false;
  if (frameCount() == 1) return index == 0;
  return bitmap_->SelectActiveFrame(&kFrameDimensionTime, UINT(index)) == Gdiplus::Ok;
}

}  // namespace ql
