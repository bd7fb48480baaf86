#include "ui/skin_image_list.h"

#include "ui/skin_button.h"
#include "ui/skin_image.h"

#include <shellapi.h>

namespace ql {

int SkinImageList::add(const std::string& path) {
  paths_.push_back(path);
  return count();
}

std::string SkinImageList::path(int index) const {
  return index >= 1 && index <= count() ? paths_[size_t(index - 1)] : std::string();
}

void SkinImageList::setIconSize(int width, int height) {
  width_ = width;
  height_ = height;
}

bool SkinImageList::draw(Gdiplus::Graphics& graphics, int index, float x, float y, float opacity) const {
  if (index < 1 || index > count()) return false;
  SHFILEINFOA info = {};
  UINT size = width_ > 16 ? SHGFI_LARGEICON : SHGFI_SMALLICON;
  if (!SHGetFileInfoA(paths_[size_t(index - 1)].c_str(), 0, &info, sizeof info, SHGFI_ICON | size) || !info.hIcon)
    return false;
  SkinImage icon;
  bool ok = icon.fromIcon(info.hIcon);
  DestroyIcon(info.hIcon);
  if (ok) drawPicture(graphics, icon, Gdiplus::RectF(x, y, float(width_), float(height_)), opacity);
  return ok;
}

}  // namespace ql
