// SkinImageList: the icons of a list view, held as file paths only. Every
// draw asks the shell for the file's icon again; nothing is kept between
// paints but a scratch buffer to draw through.
#pragma once
#include "ui/gdiplus_headers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ql {

class SkinImageList {
 public:
  SkinImageList(int iconWidth = 32, int iconHeight = 32) : width_(iconWidth), height_(iconHeight) {}
  ~SkinImageList();
  SkinImageList(const SkinImageList&) = delete;
  SkinImageList& operator=(const SkinImageList&) = delete;

  // Returns the path's 1-based index.
  int add(const std::string& path);
  void clear() { paths_.clear(); }
  int count() const { return int(paths_.size()); }
  std::string path(int index) const;
  int iconWidth() const { return width_; }
  int iconHeight() const { return height_; }
  // Above 16 pixels wide the shell's large icons are used, else its small ones.
  void setIconSize(int width, int height);

  // Draws icon `index` stretched to the icon size with its top-left corner at
  // (x, y); false when the index is out of range or the shell has no icon
  // for the path (an empty or vanished one).
  bool draw(Gdiplus::Graphics& graphics, int index, float x, float y, float opacity = 1.0f) const;

 private:
  bool ensureScratch(int width, int height) const;
  void releaseScratch() const;

  std::vector<std::string> paths_;
  int width_, height_;
  // A 32-bit buffer of the shell icon's size that each icon is drawn through.
  mutable HDC scratchDc_ = nullptr;
  mutable HBITMAP scratch_ = nullptr;
  mutable HGDIOBJ scratchOld_ = nullptr;
  mutable uint32_t* scratchPixels_ = nullptr;
  mutable int scratchWidth_ = 0, scratchHeight_ = 0;
};

}  // namespace ql
