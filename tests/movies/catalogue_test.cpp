// The shipped movies, played by the engine the way the desktop plays them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue.h"
#include "player/core/player.h"

namespace {

constexpr int kWidth = 300, kHeight = 200;

const std::vector<catalogue::ShippedMovie>& movies() {
  static const std::vector<catalogue::ShippedMovie> all = catalogue::allMovies();
  return all;
}

std::vector<uint32_t> picture(player::Player& movie) {
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  movie.render(pixels.data(), kWidth, kHeight, kWidth * 4, false);
  return pixels;
}

// How many pixels of two pictures differ by more than a rounding step.
int differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 32; shift += 8) {
      int d = int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF);
      if (d > 2 || d < -2) {
        ++count;
        break;
      }
    }
  return count;
}

TEST(ShippedMovies, FillEveryCategoryWithUniqueNames) {
  const std::set<std::string> categories = {u8"特效", u8"动漫", u8"时钟", u8"生活", u8"其他"};
  std::map<std::string, int> perCategory;
  std::set<std::string> names;
  for (const auto& movie : movies()) {
    EXPECT_TRUE(categories.count(movie.category)) << movie.category;
    EXPECT_TRUE(names.insert(movie.name).second) << "two movies named " << movie.name;
    EXPECT_EQ(movie.name.find('\''), std::string::npos);
    ++perCategory[movie.category];
  }
  for (const std::string& category : categories) EXPECT_GE(perCategory[category], 3) << category;
}

// Each movie loads at the desktop player's size, leaves much of the desktop
// showing (nothing is painted behind its figures), and moves.
TEST(ShippedMovies, PlayOverTheDesktop) {
  for (const auto& movie : movies()) {
    SCOPED_TRACE(movie.name);
    auto player = player::Player::load(movie.bytes.data(), movie.bytes.size());
    ASSERT_TRUE(player);
    EXPECT_EQ(player->stageWidth(), 600);
    EXPECT_EQ(player->stageHeight(), 400);
    EXPECT_GE(player->frameRate(), 12);
    player->advanceFrame();
    std::vector<uint32_t> first = picture(*player);
    int clear = 0, drawn = 0;
    for (uint32_t p : first) (p >> 24 ? drawn : clear) += 1;
    EXPECT_GT(clear, int(first.size()) / 4) << "covers the desktop";
    EXPECT_GT(drawn, int(first.size()) / 200) << "shows almost nothing";
    if (movie.readsTime) continue;  // a clock may show one second a while
    for (int i = 0; i < 6; ++i) player->advanceFrame();
    EXPECT_GT(differing(first, picture(*player)), 20) << "stands still";
  }
}

// After one whole loop the picture is the first one again: no seam.
TEST(ShippedMovies, LoopWithoutASeam) {
  for (const auto& movie : movies()) {
    if (movie.readsTime) continue;  // the time of day moves on
    SCOPED_TRACE(movie.name);
    auto player = player::Player::load(movie.bytes.data(), movie.bytes.size());
    ASSERT_TRUE(player);
    player->advanceFrame();
    std::vector<uint32_t> first = picture(*player);
    player->advanceFrame();
    std::vector<uint32_t> second = picture(*player);
    for (int i = 2; i <= movie.loopFrames; ++i) player->advanceFrame();
    EXPECT_EQ(differing(first, picture(*player)), 0);
    player->advanceFrame();
    EXPECT_EQ(differing(second, picture(*player)), 0);
  }
}

}  // namespace
