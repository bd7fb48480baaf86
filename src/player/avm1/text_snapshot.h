// The characters of the static text on a clip, as TextSnapshot reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace player {
class SpriteInstance;
}

namespace avm1 {

struct SnapshotChar {
  char32_t code = 0;
  bool startsLine = false;  // first of a line after an earlier one
  uint32_t indexInRun = 0;
  std::string font;         // the face name, UTF-8
  uint32_t color = 0;       // 0xRRGGBB
  double height = 0;        // em size, twips
  // The character's cell in the clip's space, twips.
  double left = 0, top = 0, right = 0, bottom = 0;
};

// Texts in depth order, their runs and glyphs in order; a run on another
// baseline, or another text, begins a line.
std::vector<SnapshotChar> snapshotChars(player::SpriteInstance& sprite);

}  // namespace avm1
