// The skin picture: the background of the program's skinned windows.
#pragma once
#include <string>

#include "runtime/files.h"

namespace ql {

class SkinForm;

// The picture in use (a JPEG, BMP, PNG or GIF file's bytes).
const Bytes& currentSkinPicture();

// The form the skin is shown on (the control window's), set once it exists.
void showSkinsOn(SkinForm& form);

// With `apply`: shows `picture` on that form and makes it the
// current picture; returns nothing. Without: returns a copy of the current one.
Bytes setSkinPicture(const Bytes& picture, bool apply);

// The built-in picture shown when no skin file is chosen.
Bytes defaultSkinPicture();

// The file of a stored "皮肤" value, in the program's folder when relative.
std::string skinFilePath(const std::string& stored);

// The skin at start: the file "控制配置"/"皮肤" names when it exists, else the
// built-in picture. The control window is then built with it.
void loadSkinAtStart();

// Asks the system to empty the process's working set; run after each layout
// of the control window.
bool trimWorkingSet();

}  // namespace ql
