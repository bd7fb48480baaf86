// Which input field has the keyboard focus, and which one a click lands on.
#pragma once

#include "player/core/sprite.h"

namespace player {

struct FieldPlace {
  SpriteInstance* parent = nullptr;
  DisplayObject* object = nullptr;
};

// The focused field, while it is still on the stage.
bool focusedField(RunContext& context, FieldPlace* out);

// The topmost field a user may type into under a point of the stage
// (twips); its own twips at that point go to *localX, *localY.
bool typingFieldAt(SpriteInstance& root, double x, double y, FieldPlace* out, double* localX, double* localY);

}  // namespace player
