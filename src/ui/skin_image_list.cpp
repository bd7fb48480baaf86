#include "ui/skin_image_list.h"

#include "ui/icon_lookup.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace ql {

SkinImageList::~SkinImageList() = default;

int SkinImageList::add(const std::string& path) {
  paths_.push_back(path);
  return count();
}

std::string SkinImageList::path(int index) const {
  return index >= 1 && index <= count() ? paths_[size_t(index - 1)] : std::string();
}

void SkinImageList::clear() {
  paths_.clear();
  pictures_.clear();
}

void SkinImageList::setIconSize(int width, int height) {
  width_ = width;
  height_ = height;
  pictures_.clear();  // the shell's large or small icons
}

namespace {

DriveKind driveKindOf(const std::string& path) {
  if (isNetworkPath(path)) return DriveKind::Remote;
  std::string root = driveRootOf(path);
  // No root (an empty or relative path): the shell resolves it here, locally.
  if (root.empty()) return DriveKind::Local;
  switch (GetDriveTypeA(root.c_str())) {
    case DRIVE_FIXED:
    case DRIVE_RAMDISK: return DriveKind::Local;
    case DRIVE_REMOTE: return DriveKind::Remote;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM: return DriveKind::Removable;
    default: return DriveKind::Unknown;
  }
}

}  // namespace

SkinImageList::Picture SkinImageList::shellPicture(const std::string& path) const {
  // The shell answers with its own image list and the icon's place in it:
  // the same picture SHGFI_ICON would hand out, drawn from there without
  // making (and destroying) an icon handle.
  Picture picture;
  SHFILEINFOA info = {};
  UINT flags = SHGFI_SYSICONINDEX | (width_ > 16 ? SHGFI_LARGEICON : SHGFI_SMALLICON);
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (!lookUpIconOfFile(driveKindOf(path))) {
    flags |= SHGFI_USEFILEATTRIBUTES;
    if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
      attributes = FILE_ATTRIBUTE_DIRECTORY;
  }
  auto shellIcons = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, flags));
  int width = 0, height = 0;
  if (!shellIcons || info.iIcon < 0 || !ImageList_GetIconSize(shellIcons, &width, &height) ||
      !scratch_.resize(width, height))
    return picture;
  size_t pixelCount = size_t(width) * size_t(height);
  std::memset(scratch_.pixels(), 0, pixelCount * 4);
  if (!ImageList_Draw(shellIcons, info.iIcon, scratch_.dc(), 0, 0, ILD_NORMAL)) return picture;
  GdiFlush();
  bool hasAlpha = false;
  for (size_t i = 0; i < pixelCount && !hasAlpha; ++i) hasAlpha = (scratch_.pixels()[i] >> 24) != 0;
  picture.pixels.assign(scratch_.pixels(), scratch_.pixels() + pixelCount);
  if (!hasAlpha) {
    // An icon without an alpha channel: its mask says what is opaque.
    std::memset(scratch_.pixels(), 0xFF, pixelCount * 4);
    ImageList_Draw(shellIcons, info.iIcon, scratch_.dc(), 0, 0, ILD_MASK);
    GdiFlush();
    for (size_t i = 0; i < pixelCount; ++i)
      picture.pixels[i] = (scratch_.pixels()[i] & 0xFFFFFF) ? 0 : (picture.pixels[i] | 0xFF000000u);
  }
  // Premultiplied pixels, as alpha-blended drawing leaves them.
  picture.width = width;
  picture.height = height;
  return picture;
}

bool SkinImageList::draw(Gdiplus::Graphics& graphics, int index, float x, float y,
                         float opacity) const {
  if (index < 1 || index > count()) return false;
  const std::string& path = paths_[size_t(index - 1)];
  auto found = pictures_.find(path);
  if (found == pictures_.end()) found = pictures_.emplace(path, shellPicture(path)).first;
  const Picture& picture = found->second;
  if (picture.pixels.empty()) return false;
  Gdiplus::Bitmap icon(picture.width, picture.height, picture.width * 4, PixelFormat32bppPARGB,
                       reinterpret_cast<BYTE*>(const_cast<uint32_t*>(picture.pixels.data())));
  Gdiplus::RectF box(x, y, float(width_), float(height_));
  if (opacity >= 1) {
    graphics.DrawImage(&icon, box);
  } else {
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                    {0, 1, 0, 0, 0},
                                    {0, 0, 1, 0, 0},
                                    {0, 0, 0, opacity, 0},
                                    {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    graphics.DrawImage(&icon, box, 0, 0, float(picture.width), float(picture.height),
                       Gdiplus::UnitPixel, &attributes);
  }
  return true;
}

}  // namespace ql
