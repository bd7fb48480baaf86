// The adjustment frame: a see-through skinned popup over the player while
// the animation is unlocked. Moving or sizing it moves the player 3 px inside
// it; its check boxes switch always on top, click-through and mute, its
// button picks a movie of the user's own; closing it locks the animation.
#pragma once
#include <windows.h>

#include "animation/player_settings.h"

namespace ql {

// Opens the frame, owned by the player window, at the given rectangle.
void openAdjustFrame(HWND player, int left, int top, int width, int height);
// Closes the frame, if it is open.
void closeAdjustFrame();
// Moves the player 3 px inside the frame's rectangle.
void syncPlayerToFrame(HWND frame);
// Sets the frame's box for an option (always on top, click-through, mute)
// while the frame is open.
void syncFrameCheckBox(AnimationOption option, bool on);

}  // namespace ql
