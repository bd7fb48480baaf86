// A built movie running in the engine for a test: device fonts from the
// installed Chinese faces, an optional mixer, and pictures of its frames.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "player/core/player.h"
#include "player/sound/mixer.h"
#include "player/text/freetype_fonts.h"
#include "swf_builder.h"

namespace swftest {

struct Picture {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
  // Pixels in [x0, x1) × [y0, y1) that differ from `ground`.
  int inked(int x0, int y0, int x1, int y1, uint32_t ground) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) != ground;
    return n;
  }
};

class TestPlayer {
 public:
  explicit TestPlayer(const Bytes& movie, sound::Mixer* mixer = nullptr) {
    fonts_ = text::makeFreeTypeFonts(text::installedChineseFonts());
    player::PlayerServices services;
    services.deviceFonts = fonts_.get();
    services.mixer = mixer;
    player_ = player::Player::load(movie.data(), movie.size(), services);
  }
  bool loaded() const { return player_ != nullptr; }
  player::Player& operator*() { return *player_; }
  player::Player* operator->() { return player_.get(); }
  // The stage at its own size over its background.
  Picture draw() {
    Picture p{player_->stageWidth(), player_->stageHeight(), {}};
    p.px.assign(size_t(p.w) * p.h, 0);
    player_->render(p.px.data(), p.w, p.h, p.w * 4, true);
    return p;
  }

 private:
  std::unique_ptr<text::DeviceFonts> fonts_;
  std::unique_ptr<player::Player> player_;
};

}  // namespace swftest
