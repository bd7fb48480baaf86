// Loads every picture and sound compiled into the program back from its own
// resources and prints what it finds, one line each, for tests/assets to compare:
//   icon <side> <width>x<height>
//   asset <id> <bytes> <width>x<height>     (size as GDI+ decodes it; 0x0 for sounds)
#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <cstdio>

#include "assets/assets.h"

namespace {

const int kAssetIds[] = {
    ASSET_DEFAULT_SKIN,    ASSET_MINIMISE_NORMAL,  ASSET_MINIMISE_HOVER, ASSET_MINIMISE_PRESSED,
    ASSET_SETTINGS_NORMAL, ASSET_SETTINGS_HOVER,   ASSET_SETTINGS_PRESSED, ASSET_SKIN_NORMAL,
    ASSET_SKIN_HOVER,      ASSET_SKIN_PRESSED,     ASSET_PAGE_APPS,      ASSET_PAGE_FLASH,
    ASSET_PAGE_TASKS,      ASSET_LIST_MODE_OFF,    ASSET_LIST_MODE_ON,   ASSET_SKIN_MARKER,
    ASSET_MOVIE_NORMAL,    ASSET_MOVIE_HOVER,      ASSET_MOVIE_PRESSED,  ASSET_SPOKEN_CLIPS,
    ASSET_DEFAULT_RING,
};

void printIcon(int side) {
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ICON_PROGRAM),
                                             IMAGE_ICON, side, side, 0));
  ICONINFO info = {};
  BITMAP bitmap = {};
  if (icon && GetIconInfo(icon, &info) && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) {
    std::printf("icon %d %ldx%ld\n", side, bitmap.bmWidth, bitmap.bmHeight);
  } else {
    std::printf("icon %d missing\n", side);
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (icon) DestroyIcon(icon);
}

void printAsset(int id) {
  ql::Bytes bytes = ql::assetBytes(id);
  unsigned width = 0, height = 0;
  IStream* stream = bytes.empty() ? nullptr : SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (stream) {
    Gdiplus::Bitmap* picture = Gdiplus::Bitmap::FromStream(stream);
    if (picture && picture->GetLastStatus() == Gdiplus::Ok) {
      width = picture->GetWidth();
      height = picture->GetHeight();
    }
    delete picture;
    stream->Release();
  }
  std::printf("asset %d %u %ux%u\n", id, static_cast<unsigned>(bytes.size()), width, height);
}

}  // namespace

int main() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 1;
  for (int side : {16, 24, 32, 48, 256}) printIcon(side);
  for (int id : kAssetIds) printAsset(id);
  std::printf("asset 999 %u\n", static_cast<unsigned>(ql::assetBytes(999).size()));
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
