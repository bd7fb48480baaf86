// The desktop animation's stored settings and the adjustment frame's layout.
#include <gtest/gtest.h>

#include <set>

#include "animation/adjust_frame_layout.h"
#include "animation/movie_reference.h"
#include "animation/player_settings.h"
#include "store/config_text.h"

namespace ql {
namespace {

ConfigText playerSection(std::initializer_list<std::pair<const char*, const char*>> values) {
  ConfigText config;
  for (const auto& v : values) config.setValue(kPlayerSection, v.first, v.second);
  return config;
}

TEST(PlayerGeometry, DefaultsAndTheSmallSideRule) {
  PlayerGeometry g = storedPlayerGeometry(ConfigText(), 1024);
  EXPECT_EQ(224, g.left);
  EXPECT_EQ(100, g.top);
  EXPECT_EQ(600, g.width);
  EXPECT_EQ(400, g.height);
  // Each side on its own: 199 is too small, 200 is not.
  g = storedPlayerGeometry(playerSection({{"宽度", "199"}, {"高度", "200"}}), 1024);
  EXPECT_EQ(380, g.width);
  EXPECT_EQ(200, g.height);
  // Numbers are read from the text's start and cut toward zero; off-screen
  // places stay as stored.
  g = storedPlayerGeometry(
      playerSection({{"左边", "-35.9px"}, {"顶边", "abc"}, {"宽度", "640.7"}, {"高度", "-900"}}),
      800);
  EXPECT_EQ(-35, g.left);
  EXPECT_EQ(0, g.top);
  EXPECT_EQ(640, g.width);
  EXPECT_EQ(380, g.height);
}

TEST(PlayerGeometry, StoredAsDecimalTextAndReadBack) {
  ConfigText config;
  storePlayerGeometry(config, {-20, 35, 640, 480});
  EXPECT_EQ("-20", config.getValue(kPlayerSection, "左边"));
  EXPECT_EQ("480", config.getValue(kPlayerSection, "高度"));
  PlayerGeometry g = storedPlayerGeometry(config, 1024);
  EXPECT_EQ(-20, g.left);
  EXPECT_EQ(35, g.top);
  EXPECT_EQ(640, g.width);
  EXPECT_EQ(480, g.height);
}

TEST(AnimationOptions, OnUnlessExactlyFalse) {
  ConfigText config =
      playerSection({{"总在最前", "真"}, {"穿透", "假"}, {"静音", "是"}, {"锁定", "假 "}});
  EXPECT_TRUE(animationOptionOn(config, kOptionOnTop));
  EXPECT_FALSE(animationOptionOn(config, kOptionClickThrough));
  EXPECT_TRUE(animationOptionOn(config, kOptionMute));
  EXPECT_TRUE(animationOptionOn(config, kOptionLock));
  EXPECT_FALSE(animationOptionOn(ConfigText(), kOptionMute));
  storeAnimationOption(config, kOptionMute, false);
  storeAnimationOption(config, kOptionClickThrough, true);
  EXPECT_EQ("假", config.getValue(kPlayerSection, "静音"));
  EXPECT_EQ("真", config.getValue(kPlayerSection, "穿透"));
  EXPECT_EQ(0, volumeFor(true));
  EXPECT_EQ(70, volumeFor(false));
}

TEST(MovieReference, PathsWinOverTheSeparator) {
  std::set<std::string> files = {"D:\\movies\\a###b.swf", "D:\\cat.swf"};
  auto exists = [&](const std::string& path) { return files.count(path) > 0; };
  MovieReference r = parseMovieReference("D:\\movies\\a###b.swf", exists);
  EXPECT_EQ(MovieReference::File, r.kind);
  EXPECT_EQ("D:\\movies\\a###b.swf", r.path);
  r = parseMovieReference(catalogueReference("时钟", "经典挂钟"), exists);
  EXPECT_EQ(MovieReference::Catalogue, r.kind);
  EXPECT_EQ("时钟", r.category);
  EXPECT_EQ("经典挂钟", r.name);
  // A file gone and no separator, three parts, or nothing: no movie.
  EXPECT_EQ(MovieReference::None, parseMovieReference("D:\\gone.swf", exists).kind);
  EXPECT_EQ(MovieReference::None, parseMovieReference("a###b###c", exists).kind);
  EXPECT_EQ(MovieReference::None, parseMovieReference("", exists).kind);
  r = parseMovieReference("###name", exists);
  EXPECT_EQ(MovieReference::Catalogue, r.kind);
  EXPECT_EQ("", r.category);
}

TEST(AdjustFrameLayout, ControlsRunLeftFromTheButtonAndTheLabelGivesWay) {
  AdjustFrameLayout l = layOutAdjustFrame(606);
  EXPECT_EQ(508, l.movieButton.x);
  EXPECT_EQ(-1, l.movieButton.y);
  EXPECT_EQ(436, l.boxes[0].x);
  EXPECT_EQ(72, l.boxes[0].width);
  EXPECT_EQ(392, l.boxes[1].x);
  EXPECT_EQ(348, l.boxes[2].x);
  EXPECT_EQ(1, l.boxes[2].y);
  EXPECT_TRUE(l.labelShown);
  // Box 3 starts at W - 258: the label shows only while that is past 168.
  EXPECT_TRUE(layOutAdjustFrame(427).labelShown);
  EXPECT_FALSE(layOutAdjustFrame(426).labelShown);
  EXPECT_FALSE(layOutAdjustFrame(100).labelShown);
}

TEST(AdjustFrameLayout, PlayerSitsThreePixelsInside) {
  ControlRect r = playerInsideFrame(100, 50, 706, 456);
  EXPECT_EQ(103, r.x);
  EXPECT_EQ(53, r.y);
  EXPECT_EQ(600, r.width);
  EXPECT_EQ(400, r.height);
}

}  // namespace
}  // namespace ql
