// libFuzzer entry: load a movie, run a few frames with both edge qualities
// and draw them into a small picture, with the pointer moving and pressing
// across it, keys for its scripts and its sounds mixed. Scripts get tight
// limits so that a runaway one costs little time. Built and run by run.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/sound/mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sound::Mixer mixer(nullptr);
  player::PlayerServices services;
  services.mixer = &mixer;
  services.clock = player::fixedClock();
  services.randomSeed = 1;
  auto player = player::Player::load(data, size, std::move(services));
  if (!player) return 0;
  if (avm1::Machine* machine = player->stage().machine()) {
    machine->limits().stepsPerFrame = 200000;
    machine->limits().secondsPerFrame = 0.5;
  }
  static std::vector<uint32_t> pixels(64 * 48);
  static std::vector<int16_t> sound(2 * 1024);
  // Input comes from the movie's last bytes, so it varies with the input.
  uint8_t seed = size ? data[size - 1] : 0;
  for (int frame = 0; frame < 4; ++frame) {
    player->setAntialias(frame % 2 == 0);
    player->advanceFrame();
    player->stage().key(frame % 2 == 0, 32 + (seed + frame) % 64, 'a' + frame);
    player->render(pixels.data(), 64, 48, 64 * 4, frame < 2);
    player->pointerMove((seed * 7 + frame * 13) % 64, (seed * 3 + frame * 29) % 48);
    player->pointerButton(frame % 2 == 0);
    mixer.mix(sound.data(), 1024);
  }
  player->pointerLeave();
  return 0;
}
