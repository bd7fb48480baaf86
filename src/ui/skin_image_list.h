// SkinImageList: the icons of a list view, held as file paths only. Every
// draw asks the shell for the file's icon again; nothing is kept between
// paints but a scratch buffer to draw through. A file on a network or
// removable drive is drawn with the icon of its type (icon_lookup.h), so a
// paint never waits on a drive.
#pragma once
#include "runtime/dib_surface.h"
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
  std::vector<std::string> paths_;
  int width_, height_;
  // A 32-bit buffer of the shell icon's size that each icon is drawn through.
  mutable DibSurface scratch_;
};

}  // namespace ql
