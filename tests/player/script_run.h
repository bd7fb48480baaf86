// Scripted movies run for a test: what their trace() calls print, on the
// reference suite's fixed clock.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "player/core/player.h"
#include "swf_builder.h"

namespace swftest {

using Lines = std::vector<std::string>;

// A movie of one frame running `script`, SWF `version`.
inline Bytes scriptMovie(const Script& script, int version = 8) {
  MovieBuilder m(100, 100, 12, version);
  m.root().action(script.bytes());
  m.root().showFrame();
  return m.finish(false);
}

struct Run {
  std::unique_ptr<player::Player> player;
  Lines lines;
};

inline std::unique_ptr<Run> start(const Bytes& movie, player::PlayerServices options = {}) {
  auto run = std::make_unique<Run>();
  Run* r = run.get();
  options.trace = [r](const std::string& line) { r->lines.push_back(line); };
  if (!options.clock) options.clock = player::fixedClock();
  run->player = player::Player::load(movie.data(), movie.size(), std::move(options));
  EXPECT_NE(nullptr, run->player);
  return run;
}

// What a movie's trace() calls print over `frames` frames.
inline Lines traces(const Bytes& movie, int frames = 1) {
  auto run = start(movie);
  for (int i = 0; i < frames; ++i) run->player->advanceFrame();
  return run->lines;
}

}  // namespace swftest
