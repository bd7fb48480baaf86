#include "skins/skin_picture.h"

#include <windows.h>

#include "assets/assets.h"
#include "shell/app.h"
#include "skins/skin_choice.h"
#include "ui/skin_form.h"

namespace ql {

namespace {

Bytes& pictureInUse() {
  static Bytes picture;
  return picture;
}

SkinForm* skinTarget = nullptr;

}  // namespace

const Bytes& currentSkinPicture() { return pictureInUse(); }

void showSkinsOn(SkinForm& form) { skinTarget = &form; }

Bytes setSkinPicture(const Bytes& picture, bool apply) {
  if (!apply) return pictureInUse();
  if (skinTarget) skinTarget->setSkinPicture(picture);
  pictureInUse() = picture;
  return Bytes();
}

Bytes defaultSkinPicture() { return assetBytes(ASSET_DEFAULT_SKIN); }

std::string skinFilePath(const std::string& stored) {
  return skinFileLocation(stored, programFolder());
}

void loadSkinAtStart() {
  std::string path = skinFilePath(appConfig.getValue("控制配置", "皮肤"));
  Bytes picture;
  if (path.empty() || !fileExists(path) || !readWholeFile(path, picture)) picture = defaultSkinPicture();
  pictureInUse() = picture;
}

bool trimWorkingSet() {
  return SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                                  static_cast<SIZE_T>(-1)) != FALSE;
}

}  // namespace ql
