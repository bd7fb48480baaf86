// libFuzzer entry: load a movie, run a few frames with both edge qualities,
// with mouse and key input for its scripts, and draw them into a small
// picture. Scripts get tight limits so that a runaway one costs little
// time. Built and run by run.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/avm1/machine.h"
#include "player/core/player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  player::StageOptions options;
  options.clock = player::fixedClock();
  options.randomSeed = 1;
  auto player = player::Player::load(data, size, std::move(options));
  if (!player) return 0;
  if (avm1::Machine* machine = player->stage().machine()) {
    machine->limits().stepsPerFrame = 200000;
    machine->limits().secondsPerFrame = 0.5;
  }
  static std::vector<uint32_t> pixels(64 * 48);
  // Input comes from the movie's last bytes, so it varies with the input.
  uint8_t seed = size ? data[size - 1] : 0;
  for (int frame = 0; frame < 4; ++frame) {
    player->setAntialias(frame % 2 == 0);
    player->advanceFrame();
    player::Stage& stage = player->stage();
    stage.mouseMove((seed * 7 + frame * 13) % 600, (seed * 3 + frame * 29) % 400);
    stage.mouseButton(frame % 2 == 0);
    stage.key(frame % 2 == 0, 32 + (seed + frame) % 64, 'a' + frame);
    player->render(pixels.data(), 64, 48, 64 * 4, frame < 2);
  }
  return 0;
}
