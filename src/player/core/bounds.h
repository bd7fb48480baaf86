// What display objects cover, for scripts (_width, getBounds, hitTest) and
// for the renderer's cached pictures.
#pragma once
#include "player/core/sprite.h"

namespace player {

// An empty box, ready to grow: x0, y0, x1, y1.
void clearBox(double* box);
bool boxIsEmpty(const double* box);
// Grows the box by what the object covers through m (m includes the
// object's own matrix).
void addObjectBounds(const DisplayObject& o, const swf::Matrix& m, double* box);
// Grows the box by the corners of another box through m: what scripts see of
// a clip in another clip's space is its own box moved, not its drawing.
void addBoxCorners(const double* from, const swf::Matrix& m, double* box);
// Grows the box by what a clip's drawing and children cover through m.
void addSpriteBounds(const SpriteInstance& sprite, const swf::Matrix& m, double* box);

}  // namespace player
