// libFuzzer entry: load a movie, run a few frames with both edge qualities
// and draw them into a small picture. Built and run by run.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto player = player::Player::load(data, size);
  if (!player) return 0;
  static std::vector<uint32_t> pixels(64 * 48);
  for (int frame = 0; frame < 4; ++frame) {
    player->setAntialias(frame % 2 == 0);
    player->advanceFrame();
    player->render(pixels.data(), 64, 48, 64 * 4, frame < 2);
  }
  return 0;
}
