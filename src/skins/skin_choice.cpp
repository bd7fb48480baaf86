#include "skins/skin_choice.h"

#include "runtime/text.h"

namespace ql {

std::string builtInSkinPath(int index) { return "imgs\\skins_" + intToText(index) + ".jpg"; }

std::string skinFileLocation(const std::string& stored, const std::string& programFolder) {
  bool absolute = (stored.size() >= 2 && stored[1] == ':') ||
                  (!stored.empty() && (stored[0] == '\\' || stored[0] == '/'));
  if (stored.empty() || absolute) return stored;
  return programFolder + "\\" + stored;
}

int skinIndexForStoredValue(const std::string& stored, bool storedFileExists) {
  for (int index = 2; index <= kSkinThumbnailCount; ++index)
    if (stored == builtInSkinPath(index)) return index;
  return storedFileExists ? kCustomSkinIndex : kDefaultSkinIndex;
}

std::string storedValueForSkin(int index, const std::string& customPath, bool customFileExists) {
  if (index < 2) return std::string();
  if (index == kCustomSkinIndex && customFileExists) return customPath;
  return builtInSkinPath(index);
}

ThumbnailRect thumbnailRect(int index) {
  int column = (index - 1) % 6;
  int row = (index - 1) / 6;
  return {8 + 51 * column, row == 0 ? 28 : 81, 48, 48};
}

}  // namespace ql
