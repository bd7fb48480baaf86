// The skin chooser's rules between the stored "皮肤" value and the twelve
// thumbnails. No Win32 here.
#pragma once
#include <string>

namespace ql {

constexpr int kDefaultSkinIndex = 1;  // the built-in picture
constexpr int kCustomSkinIndex = 12;  // "imgs\skins_12.jpg" or the user's own picture
constexpr int kSkinThumbnailCount = 12;

// "imgs\skins_N.jpg", relative to the program's folder.
std::string builtInSkinPath(int index);

// Where a stored picture path is read from: a relative path ("imgs\...")
// lies in the program's folder whatever the current directory is (started
// with Windows, the program runs from the system folder).
std::string skinFileLocation(const std::string& stored, const std::string& programFolder);

// The thumbnail a stored value selects: the built-in picture it names (2..12,
// exact text), else 12 when it names an existing file of the user's, else 1.
int skinIndexForStoredValue(const std::string& stored, bool storedFileExists);

// What OK stores for the selected thumbnail: empty for the default picture,
// the custom path for thumbnail 12 when that file exists, otherwise the
// built-in picture's relative path.
std::string storedValueForSkin(int index, const std::string& customPath, bool customFileExists);

struct ThumbnailRect {
  int x, y, width, height;
};
// Thumbnails 1..6 on the first row, 7..12 on the second.
ThumbnailRect thumbnailRect(int index);

}  // namespace ql
