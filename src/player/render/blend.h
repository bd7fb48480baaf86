// Compositing a finished layer (an object drawn on its own) onto the
// picture below it with the object's blend mode. Premultiplied 0xAARRGGBB.
#pragma once
#include <cstdint>

#include "player/swf/display.h"

namespace render {

// dst[i] = blend(dst[i], src[i]) for n pixels.
void blendRow(swf::BlendMode mode, uint32_t* dst, const uint32_t* src, int n);

}  // namespace render
