// The skin chooser "更改外观!": twelve thumbnails (the built-in picture, the
// pictures of "imgs" and one of the user's own), previewed on the control
// window as they are clicked; OK keeps and stores the choice, Cancel
// restores the picture in use before.
#pragma once
#include <windows.h>

namespace ql {

// Opens the chooser near the control window's skin button; returns when it closes.
void openSkinChooser(HWND owner);

}  // namespace ql
