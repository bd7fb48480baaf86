// libFuzzer entry: load a movie, run a few frames with both edge qualities
// and draw them into a small picture, with the pointer moving and pressing
// across it and its sounds mixed. Built and run by run.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/player.h"
#include "player/sound/mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sound::Mixer mixer(nullptr);
  player::PlayerServices services;
  services.mixer = &mixer;
  auto player = player::Player::load(data, size, services);
  if (!player) return 0;
  static std::vector<uint32_t> pixels(64 * 48);
  static std::vector<int16_t> sound(2 * 1024);
  for (int frame = 0; frame < 4; ++frame) {
    player->setAntialias(frame % 2 == 0);
    player->advanceFrame();
    player->render(pixels.data(), 64, 48, 64 * 4, frame < 2);
    player->pointerMove(frame * 16 + 4, frame * 12 + 4);
    player->pointerButton(frame % 2 == 0);
    mixer.mix(sound.data(), 1024);
  }
  player->pointerLeave();
  return 0;
}
