// SkinImageList: the icons of a list view, held as file paths only. Each
// draw asks the shell for the file's icon, draws it at the list's icon size
// and destroys it again, so nothing is cached.
#pragma once
#include "ui/gdiplus_headers.h"

#include <string>
#include <vector>

namespace ql {

class SkinImageList {
 public:
  SkinImageList(int iconWidth = 32, int iconHeight = 32) : width_(iconWidth), height_(iconHeight) {}

  // Returns the path's 1-based index.
  int add(const std::string& path);
  void clear() { paths_.clear(); }
  int count() const { return int(paths_.size()); }
  std::string path(int index) const;
  int iconWidth() const { return width_; }
  int iconHeight() const { return height_; }
  // Above 16 pixels the shell's large icon is used, else its small one.
  void setIconSize(int width, int height);

  // Draws icon `index` with its top-left corner at (x, y); false when the
  // index is out of range or the shell has no icon for the path.
  bool draw(Gdiplus::Graphics& graphics, int index, float x, float y, float opacity = 1.0f) const;

 private:
  std::vector<std::string> paths_;
  int width_, height_;
};

}  // namespace ql
