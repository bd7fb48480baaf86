// Pixels a script made (a BitmapData): its script object owns them, and the
// display objects that show them (attachBitmap) share them, so that what the
// script paints shows on the next frame.
#pragma once
#include "player/swf/bitmap.h"

namespace avm1 {
class Object;
}

namespace player {

struct ScriptBitmap {
  swf::Bitmap bitmap;  // no pixels once disposed
  // The script's cell holding the pixels, kept by the collector while they
  // are shown; null once it is freed.
  avm1::Object* owner = nullptr;
};

}  // namespace player
