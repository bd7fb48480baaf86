// SkinImageList: the icons of a list view, held as file paths. The shell is
// asked for a path's icon when it is first drawn; its pixels (no icon handle)
// are kept until the list is cleared, so a repaint asks the shell nothing. A
// file on a network or removable drive is drawn with the icon of its type
// (icon_lookup.h), so a paint never waits on a drive.
#pragma once
#include "runtime/dib_surface.h"
#include "ui/gdiplus_headers.h"

#include <cstdint>
#include <map>
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
  void clear();
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
  // A shell icon as premultiplied pixels; none when the shell had no icon.
  struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
  };
  Picture shellPicture(const std::string& path) const;

  std::vector<std::string> paths_;
  int width_, height_;
  // The pictures drawn so far, by path.
  mutable std::map<std::string, Picture> pictures_;
  // A 32-bit buffer of the shell icon's size that each icon is drawn through.
  mutable DibSurface scratch_;
};

}  // namespace ql
