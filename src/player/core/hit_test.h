// Whether a point falls on what a character draws: the fill areas and
// strokes of shapes, the boxes of text, the contents of sprites and the hit
// areas of buttons, and what scripts drew in clips. Points are in the
// character's own twips.
#pragma once
#include "player/core/movie.h"
#include "player/core/sprite.h"

namespace player {

bool shapeContains(const swf::ShapeDef& shape, double x, double y);

// `instance` is the running sprite or button of `def`, when there is one;
// without it a sprite's first frame stands for its contents.
bool characterContains(const Movie& movie, const CharacterDef& def, const SpriteInstance* instance, double x,
                       double y, int nesting = 0);

// A button's hit area.
bool buttonHitContains(const Movie& movie, const swf::ButtonDef& button, double x, double y, int nesting = 0);

}  // namespace player
