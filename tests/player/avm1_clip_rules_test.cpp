// Finer rules of clips as the reference player keeps them: bounds moved
// into another clip's space, sizing empty clips, shape-flag hit tests,
// clips that wait for their unload handlers, the order of a goto's scripts,
// and placed videos as objects.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/hit_test.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "script_run.h"
#include "swf_builder.h"

namespace {

using avm1::Value;
using swftest::Lines;
using swftest::MovieBuilder;
using swftest::Script;

constexpr double kHalfRoot2 = 0.70710678118654752;

// Runs a movie for a frame and gives scripts' view of it.
class ClipRules : public ::testing::Test {
 protected:
  void load(const MovieBuilder& m) {
    movie_ = m.finish(false);
    run_ = swftest::start(movie_);
    run_->player->advanceFrame();
    machine_ = run_->player->stage().machine();
    root_ = Value(machine_->clipObject(&run_->player->stage().root()));
  }
  Value get(const Value& o, const char* name) { return machine_->getMember(o, name); }
  void set(const Value& o, const char* name, const Value& v) { machine_->setMember(o, name, v); }
  Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
    return machine_->callMethod(o, method, args.data(), args.size());
  }
  double number(const Value& v) { return machine_->toNumber(v); }
  bool hits(const Value& clip, double x, double y) { return call(clip, "hitTest", {x, y, true}).boolean(); }

  swftest::Bytes movie_;
  std::unique_ptr<swftest::Run> run_;
  avm1::Machine* machine_ = nullptr;
  Value root_;
};

swftest::Matrix rotated45() {
  swftest::Matrix m;
  m.a = m.b = m.d = kHalfRoot2;
  m.c = -kHalfRoot2;
  return m;
}

// "a" holds "r", a 100-pixel square turned 45 degrees about its corner.
void squareInTurnedClip(MovieBuilder& m) {
  m.defineRect(1, 0xFF0000FF, 0, 0, 100, 100);
  swftest::Timeline r;
  r.place(1, 1);
  r.showFrame();
  m.defineSprite(2, r, 1);
  swftest::Timeline a;
  a.place(1, 2, rotated45(), 0, "r");
  a.showFrame();
  m.defineSprite(3, a, 1);
  m.root().place(1, 3, swftest::Matrix(), 0, "a");
  m.root().showFrame();
}

}  // namespace

TEST_F(ClipRules, BoundsInAnotherSpaceAreTheClipsOwnBoxMoved) {
  MovieBuilder m(400, 400, 12, 8);
  squareInTurnedClip(m);
  load(m);
  Value a = get(root_, "a");
  Value own = call(a, "getBounds");
  EXPECT_NEAR(-70.71, number(get(own, "xMin")), 0.01);
  EXPECT_NEAR(141.42, number(get(own, "yMax")), 0.01);
  // Turned back by 45 degrees the square would be square again; what is
  // moved is a's box, which lands as a larger diamond's box.
  Value turned = call(root_, "createEmptyMovieClip", {"turned", 1});
  set(turned, "_rotation", 45);
  Value b = call(a, "getBounds", {turned});
  EXPECT_NEAR(-50, number(get(b, "xMin")), 0.01);
  EXPECT_NEAR(150, number(get(b, "xMax")), 0.01);
  EXPECT_NEAR(-50, number(get(b, "yMin")), 0.01);
  EXPECT_NEAR(150, number(get(b, "yMax")), 0.01);
  // A target that is not a clip is a path from this clip; one that leads
  // nowhere, or an empty one, gives nothing.
  Value inR = call(a, "getBounds", {"r"});
  EXPECT_NEAR(-50, number(get(inR, "xMin")), 0.01);
  EXPECT_NEAR(150, number(get(inR, "yMax")), 0.01);
  EXPECT_NEAR(number(get(own, "xMax")), number(get(call(a, "getBounds", {"/a"}), "xMax")), 1e-9);
  EXPECT_TRUE(call(a, "getBounds", {""}).isUndefined());
  EXPECT_TRUE(call(a, "getBounds", {"nothing"}).isUndefined());
  EXPECT_TRUE(call(a, "getBounds", {Value()}).isUndefined());
}

TEST_F(ClipRules, SizingAClipThatCoversNothingCollapsesItUntilSizedAgain) {
  MovieBuilder m(400, 400, 12, 8);
  m.root().showFrame();
  load(m);
  Value e = call(root_, "createEmptyMovieClip", {"e", 1});
  set(e, "_width", 20);
  EXPECT_EQ(0, number(get(e, "_width")));
  call(e, "beginFill", {0xFF0000});
  call(e, "moveTo", {0, 0});
  call(e, "lineTo", {100, 0});
  call(e, "lineTo", {100, 40});
  call(e, "lineTo", {0, 40});
  call(e, "endFill");
  // Content does not bring it back: it covers nothing either way.
  EXPECT_EQ(0, number(get(e, "_width")));
  EXPECT_EQ(0, number(get(e, "_height")));
  // Sizing it again scales from its size unscaled.
  set(e, "_width", 50);
  EXPECT_NEAR(50, number(get(e, "_width")), 1e-9);
  EXPECT_NEAR(40, number(get(e, "_height")), 1e-9);
  EXPECT_NEAR(50, number(get(e, "_xscale")), 1e-9);
}

TEST_F(ClipRules, ShapeFlagHitTestsFollowGlyphsMasksAndDrawnOutlines) {
  MovieBuilder m(400, 400, 12, 8);
  swftest::defineBoxFont(m, 1);
  // "AB" at 400 twips: A covers 39..161 twips across and 273 up from the
  // baseline, B from 339 across and 137 up.
  m.defineText(2, 1, 400, 0xFF000000, swftest::Matrix(), {{0, 300}, {1, 300}});
  swftest::Timeline words;
  words.place(1, 2);
  words.showFrame();
  m.defineSprite(3, words, 1);
  // A square half hidden by a clipping layer over its left half.
  m.defineRect(4, 0xFF00FF00, 0, 0, 100, 100);
  m.defineRect(5, 0xFF00FF00, 0, 0, 50, 100);
  swftest::Timeline masked;
  masked.place(1, 5, swftest::Matrix(), 2);
  masked.place(2, 4);
  masked.showFrame();
  m.defineSprite(6, masked, 1);
  swftest::Matrix at;
  at.tx = 2000;
  at.ty = 2000;
  m.root().place(1, 3, at, 0, "words");
  at.ty = 4000;
  m.root().place(2, 6, at, 0, "masked");
  m.root().showFrame();
  load(m);
  Value text = get(root_, "words");
  EXPECT_TRUE(hits(text, 105, 95));   // on A
  EXPECT_FALSE(hits(text, 112, 98));  // between the glyphs, inside the text's box
  EXPECT_FALSE(hits(text, 120, 90));  // above B
  EXPECT_TRUE(hits(text, 120, 98));   // on B
  Value maskedClip = get(root_, "masked");
  EXPECT_TRUE(hits(maskedClip, 120, 250));
  EXPECT_FALSE(hits(maskedClip, 180, 250));
  EXPECT_TRUE(call(maskedClip, "hitTest", {180, 250}).boolean());  // its box still covers it
  // A drawn fill left open is closed with the pen's line, which counts.
  Value drawn = call(root_, "createEmptyMovieClip", {"drawn", 1});
  call(drawn, "lineStyle", {10, 0});
  call(drawn, "beginFill", {0xFF0000});
  call(drawn, "moveTo", {300, 300});
  call(drawn, "lineTo", {380, 300});
  call(drawn, "lineTo", {300, 380});
  call(drawn, "endFill");
  EXPECT_TRUE(hits(drawn, 297, 340));
  EXPECT_FALSE(hits(drawn, 290, 340));
}

TEST(Avm1ClipRules, HairlinesCatchNoPoint) {
  swftest::ShapeBuilder shape;
  int line = shape.lineStyle(0, 0xFF000000);
  swftest::Path p;
  p.line(line).moveTo(0, 0).lineTo(2000, 0);
  MovieBuilder m(200, 200, 12, 8);
  m.defineShape(1, shape, p, 0, 2000, -10, 10);
  m.root().place(1, 1);
  m.root().showFrame();
  auto run = swftest::start(m.finish(false));
  run->player->advanceFrame();
  const player::DisplayObject& o = run->player->stage().root().children().begin()->second;
  EXPECT_FALSE(player::characterContains(*run->player->stage().machine()->display()->movie, *o.def, nullptr, 1000, 0));
}

TEST(Avm1ClipRules, AClipWithAnUnloadHandlerWaitsBelowEveryDepthForAFrame) {
  MovieBuilder m(100, 100, 12, 8);
  m.defineRect(1, 0xFF0000FF, 0, 0, 10, 10);
  swftest::Timeline child;
  child.place(1, 1);
  child.showFrame();
  m.defineSprite(2, child, 1);
  m.root().placeWithEvents(1, 2, "kept", {{player::kEventUnload, Script().trace("unload").bytes()}});
  m.root().place(3, 2, swftest::Matrix(), 0, "gone");
  m.root().showFrame();
  Script frame2;
  frame2.push(0).getVariable("kept").push("getDepth").op(Script::kCallMethod).op(Script::kTrace);
  frame2.getVariable("gone").op(Script::kTypeOf).op(Script::kTrace);
  m.root().action(frame2.bytes());
  m.root().remove(1);
  m.root().remove(3);
  m.root().showFrame();
  m.root().action(Script().getVariable("kept").op(Script::kTypeOf).op(Script::kTrace).op(Script::kStop).bytes());
  m.root().showFrame();
  // Still there (at -1 - its depth) while its handler runs; gone by the next frame.
  EXPECT_EQ((Lines{"-16386", "undefined", "unload", "undefined"}), swftest::traces(m.finish(false), 3));
}

TEST(Avm1ClipRules, AGotoRunsTheTargetFramesTagsInTheirOrder) {
  MovieBuilder m(100, 100, 12, 8);
  swftest::Timeline a, b;
  a.action(Script().trace("a").bytes());
  a.showFrame();
  b.action(Script().trace("b").bytes());
  b.showFrame();
  m.defineSprite(1, a, 1);
  m.defineSprite(2, b, 1);
  m.root().action(Script().push(3).gotoFrame2(false).bytes());
  m.root().showFrame();
  m.root().place(1, 1, swftest::Matrix(), 0, "a");
  m.root().showFrame();
  m.root().action(Script().trace("root 3").bytes());
  m.root().place(2, 2, swftest::Matrix(), 0, "b");
  m.root().showFrame();
  // Clips of the frames passed over first, then the frame's tags in order.
  EXPECT_EQ((Lines{"a", "root 3", "b"}), swftest::traces(m.finish(false), 1));
}

TEST_F(ClipRules, APlacedVideoIsAnObjectOfItsOwn) {
  MovieBuilder m(400, 400, 12, 8);
  // DefineVideoStream 7: 10 frames of 160 × 120, smoothing on, codec 2.
  m.define(60, {7, 0, 10, 0, 160, 0, 120, 0, 1, 2});
  swftest::Matrix at;
  at.tx = 200;
  m.root().place(1, 7, at, 0, "screen");
  m.root().place(2, 7);  // unnamed: scripts do not see it
  m.root().showFrame();
  load(m);
  Value screen = get(root_, "screen");
  ASSERT_EQ("object", machine_->typeOf(screen).str());
  EXPECT_EQ("_level0.screen", machine_->toString(screen).str());
  EXPECT_EQ("screen", machine_->toString(get(screen, "_name")).str());
  EXPECT_EQ(10, number(get(screen, "_x")));
  EXPECT_EQ(160, number(get(screen, "_width")));
  Value video = machine_->get(machine_->global(), "Video");
  EXPECT_EQ(get(video, "prototype").object(), get(screen, "__proto__").object());
  set(screen, "_x", 30);
  EXPECT_EQ(30, number(get(screen, "_x")));
  EXPECT_EQ(screen.object(), get(root_, "screen").object());  // the same object each time
  EXPECT_EQ(2u, run_->player->stage().root().children().size());
}
