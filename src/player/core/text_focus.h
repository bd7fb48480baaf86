// Which input field has the keyboard focus, and which one a click lands on.
#pragma once

#include "player/core/sprite.h"

namespace player {

struct FieldPlace {
  SpriteInstance* parent = nullptr;
  DisplayObject* object = nullptr;
  swf::Matrix toLocal;  // from the stage's twips to the field's own
};

// The focused field, while it is still on the stage.
bool focusedField(RunContext& context, FieldPlace* out);

// The topmost field a user may type into under a point of the stage (twips).
bool typingFieldAt(SpriteInstance& root, double x, double y, FieldPlace* out);

}  // namespace player
