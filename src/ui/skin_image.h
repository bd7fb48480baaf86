// SkinImage: one GDI+ picture for the skins and the skinned elements. Made
// from a file, bytes in memory, a bitmap handle, an icon handle, or empty.
// Animated GIFs keep their frames; the active frame can be chosen.
#pragma once
#include "runtime/files.h"
#include "ui/gdiplus_headers.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ql {

class SkinImage {
 public:
  SkinImage();
  ~SkinImage();
  SkinImage(const SkinImage& other);
  SkinImage& operator=(const SkinImage& other);
  SkinImage(SkinImage&& other) noexcept;
  SkinImage& operator=(SkinImage&& other) noexcept;

  // Each replaces the picture; on failure the image is left empty.
  bool loadFile(const std::string& path);  // path in the system code page
  bool loadMemory(const uint8_t* data, size_t size);
  bool loadMemory(const Bytes& bytes) { return loadMemory(bytes.data(), bytes.size()); }
  // Copies the bitmap's pixels; a 32-bit bitmap keeps its alpha channel.
  bool fromBitmap(HBITMAP bitmap);
  // Copies the icon's picture with its transparency.
  bool fromIcon(HICON icon);
  // A transparent 32-bit picture.
  bool createEmpty(int width, int height);
  void clear();

  bool valid() const { return bitmap_ != nullptr; }
  Gdiplus::Bitmap* get() const { return bitmap_.get(); }
  int width() const;
  int height() const;
  // 0xAARRGGBB of the pixel at (x, y) of the active frame; 0 outside.
  uint32_t pixel(int x, int y) const;

  // Frames along the time dimension (animated GIF); 1 for a still picture,
  // 0 when empty.
  int frameCount() const;
  // One delay per frame in hundredths of a second; empty for stills.
  std::vector<int> frameDelays() const;
  // Makes frame `index` (0-based) the one drawn and read.
  bool selectFrame(int index);

 private:
  bool adopt(Gdiplus::Bitmap* bitmap);
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
  // GDI+ decodes lazily from the stream, so it lives as long as the picture.
  IStream* stream_ = nullptr;
};

}  // namespace ql
