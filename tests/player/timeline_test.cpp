// Timelines: placing and removing over frames, looping, sprites running
// their own frames, and the frame actions of the first AVM1 steps.
#include <gtest/gtest.h>

#include <memory>

#include "player/core/movie.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "player/core/stage.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::Path;
using swftest::ShapeBuilder;
namespace act = swftest::act;

// Runs a movie's timelines directly, as the player does each tick.
class TimelineRun {
 public:
  explicit TimelineRun(const Bytes& bytes) {
    EXPECT_TRUE(player::parseMovie(bytes.data(), bytes.size(), &movie_));
    stage_ = std::make_unique<player::Stage>(movie_, player::PlayerServices(), nullptr);
  }
  void advance() { stage_->advanceFrame(); }
  player::SpriteInstance& root() { return stage_->root(); }
  bool has(int depth) { return root().children().count(depth) > 0; }
  player::SpriteInstance* sprite(int depth) {
    auto it = root().children().find(depth);
    return it == root().children().end() ? nullptr : it->second.sprite.get();
  }

 private:
  player::Movie movie_;
  std::unique_ptr<player::Stage> stage_;
};

void defineBox(MovieBuilder& m, uint16_t id) {
  ShapeBuilder s;
  int fill = s.solidFill(0xFF000000);
  Path p;
  p.fill1(fill).rect(0, 0, 100, 100);
  m.defineShape(id, s, p, 0, 100, 0, 100);
}

// A sprite of `frames` frames that moves its box one pixel right per frame.
swftest::Timeline walkingSprite(int frames) {
  swftest::Timeline t;
  t.place(1, 1);
  t.showFrame();
  for (int f = 1; f < frames; ++f) {
    swftest::Matrix m;
    m.tx = 20 * f;
    t.move(1, m);
    t.showFrame();
  }
  return t;
}

double boxX(player::SpriteInstance& s) { return s.children().at(1).matrix.tx; }

}  // namespace

TEST(Timeline, PlacesRemovesAndLoopsToTheFirstFrame) {
  MovieBuilder m(10, 10, 12);
  defineBox(m, 1);
  m.root().place(1, 1);
  m.root().showFrame();
  m.root().place(2, 1);
  m.root().showFrame();
  m.root().remove(1);
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  EXPECT_EQ(3, run.root().frameCount());
  run.advance();
  EXPECT_TRUE(run.has(1));
  EXPECT_FALSE(run.has(2));
  run.advance();
  EXPECT_TRUE(run.has(1));
  EXPECT_TRUE(run.has(2));
  run.advance();
  EXPECT_FALSE(run.has(1));
  EXPECT_TRUE(run.has(2));
  run.advance();  // loops: the timeline's first frame again
  EXPECT_EQ(0, run.root().currentFrame());
  EXPECT_TRUE(run.has(1));
  EXPECT_FALSE(run.has(2));
}

TEST(Timeline, SpritesRunTheirOwnFramesAndKeepRunningAcrossTheRootLoop) {
  MovieBuilder m(10, 10, 12);
  defineBox(m, 1);
  m.defineSprite(2, walkingSprite(5), 5);
  m.root().place(1, 2);
  m.root().showFrame();
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  run.advance();
  ASSERT_NE(nullptr, run.sprite(1));
  EXPECT_EQ(0, run.sprite(1)->currentFrame());
  EXPECT_DOUBLE_EQ(0, boxX(*run.sprite(1)));
  run.advance();
  run.advance();  // root loops to its frame 1; the sprite stays and goes on
  EXPECT_EQ(0, run.root().currentFrame());
  EXPECT_EQ(2, run.sprite(1)->currentFrame());
  EXPECT_DOUBLE_EQ(40, boxX(*run.sprite(1)));
  for (int i = 0; i < 3; ++i) run.advance();  // the sprite loops too
  EXPECT_EQ(0, run.sprite(1)->currentFrame());
  EXPECT_DOUBLE_EQ(0, boxX(*run.sprite(1)));
}

TEST(Timeline, ASpritePlacedLaterStartsAtItsFirstFrame) {
  MovieBuilder m(10, 10, 12);
  defineBox(m, 1);
  m.defineSprite(2, walkingSprite(3), 3);
  m.root().showFrame();
  m.root().place(1, 2);
  m.root().showFrame();
  m.root().action(act::stop());
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  run.advance();
  EXPECT_EQ(nullptr, run.sprite(1));
  run.advance();
  ASSERT_NE(nullptr, run.sprite(1));
  EXPECT_EQ(0, run.sprite(1)->currentFrame());
  run.advance();
  EXPECT_EQ(1, run.sprite(1)->currentFrame());
}

TEST(Actions, StopHoldsTheFrameAndPlayedGotosMoveOn) {
  MovieBuilder m(10, 10, 12);
  m.root().showFrame();
  m.root().action(act::stop());
  m.root().showFrame();
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  for (int i = 0; i < 5; ++i) run.advance();
  EXPECT_EQ(1, run.root().currentFrame());
  EXPECT_FALSE(run.root().playing());
}

TEST(Actions, GotoFrameGotoLabelAndGotoFrame2) {
  MovieBuilder m(10, 10, 12);
  m.root().action(act::gotoLabel("END"));  // labels compare without case
  m.root().showFrame();
  m.root().showFrame();
  m.root().label("end");
  m.root().action(act::join({act::pushNumber(2), act::gotoFrame2(true)}));  // frame 2, playing
  m.root().showFrame();
  m.root().action(act::gotoFrame(0));
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  run.advance();
  // Frame 1 jumps to "end" (stopping there), whose own script then runs:
  // gotoAndPlay(2).
  EXPECT_EQ(1, run.root().currentFrame());
  EXPECT_TRUE(run.root().playing());
  run.advance();  // "end" again, and back to frame 2: frame 4 is never reached
  EXPECT_EQ(1, run.root().currentFrame());
  run.advance();
  EXPECT_EQ(1, run.root().currentFrame());
}

TEST(Actions, NextAndPrevFrameStop) {
  MovieBuilder m(10, 10, 12);
  m.root().action(act::nextFrame());
  m.root().showFrame();
  m.root().showFrame();
  m.root().action(act::prevFrame());
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  run.advance();
  EXPECT_EQ(1, run.root().currentFrame());
  EXPECT_FALSE(run.root().playing());
  run.advance();
  EXPECT_EQ(1, run.root().currentFrame());
}

TEST(Actions, GotoBackKeepsObjectsThatStayAndDropsLaterOnes) {
  MovieBuilder m(10, 10, 12);
  defineBox(m, 1);
  m.defineSprite(2, walkingSprite(4), 4);
  m.root().place(1, 2);
  m.root().showFrame();
  m.root().place(2, 1);
  m.root().showFrame();
  m.root().action(act::join({act::pushString("1"), act::gotoFrame2(false)}));
  m.root().showFrame();
  TimelineRun run(m.finish(false));
  run.advance();
  player::SpriteInstance* first = run.sprite(1);
  run.advance();
  EXPECT_TRUE(run.has(2));
  run.advance();  // frame 3 sends the root back to frame 1 and stops
  EXPECT_EQ(0, run.root().currentFrame());
  EXPECT_FALSE(run.has(2));
  EXPECT_EQ(first, run.sprite(1));  // the same sprite, still running
  EXPECT_EQ(2, run.sprite(1)->currentFrame());
}

TEST(PlayerFrames, AdvanceShowsFrameOneFirstAndCountsFromOne) {
  MovieBuilder m(10, 10, 30);
  m.root().showFrame();
  m.root().showFrame();
  Bytes bytes = m.finish(true);
  auto p = player::Player::load(bytes.data(), bytes.size());
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, p->currentFrame());
  EXPECT_DOUBLE_EQ(30, p->frameRate());
  EXPECT_EQ(2, p->frameCount());
  p->advanceFrame();
  EXPECT_EQ(1, p->currentFrame());
  p->advanceFrame();
  p->advanceFrame();
  EXPECT_EQ(1, p->currentFrame());
}
