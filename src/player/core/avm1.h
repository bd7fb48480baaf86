// The first steps of the AVM1 interpreter: frame control actions and the
// little stack they need. Actions it does not know are skipped.
#pragma once
#include <cstddef>
#include <cstdint>

namespace player {

class SpriteInstance;

// Runs one DoAction block on the timeline that holds it.
void runActions(const uint8_t* code, size_t size, SpriteInstance& target);

}  // namespace player
