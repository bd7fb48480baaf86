// Movie clips as scripts see them: the underscore properties and how they
// change the display list, depths, bounds and hit tests, target paths, and
// the interpreter's paths, with() and tellTarget.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/clip_object.h"
#include "player/avm1/code.h"
#include "player/avm1/interpreter.h"
#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "swf_builder.h"

namespace {

using avm1::Machine;
using avm1::Value;
using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::Script;

// A 200 × 200 stage with a sprite "box" (a 100 × 50 rectangle inside a
// sprite "inner") at (20, 30), and "other" at (150, 150).
class Clips : public ::testing::Test {
 protected:
  void SetUp() override {
    MovieBuilder m(200, 200, 12, 8);
    swftest::ShapeBuilder shape;
    shape.solidFill(0xFF0000FF);
    swftest::Path p;
    p.fill1(1).rect(0, 0, 2000, 1000);
    m.defineShape(1, shape, p, 0, 2000, 0, 1000);
    swftest::Timeline inner;
    inner.place(1, 1);
    inner.showFrame();
    m.defineSprite(2, inner, 1);
    swftest::Timeline box;
    box.place(1, 2, swftest::Matrix(), 0, "inner");
    box.showFrame();
    box.showFrame();
    box.showFrame();
    m.defineSprite(3, box, 3);
    swftest::Matrix at;
    at.tx = 400;
    at.ty = 600;
    m.root().place(1, 3, at, 0, "box");
    swftest::Matrix far;
    far.tx = 3000;
    far.ty = 3000;
    m.root().place(2, 2, far, 0, "other");
    m.root().showFrame();
    movie_ = m.finish(false);
    player::PlayerServices options;
    options.clock = player::fixedClock();
    options.trace = [this](const std::string& line) { lines_.push_back(line); };
    player_ = player::Player::load(movie_.data(), movie_.size(), std::move(options));
    ASSERT_NE(nullptr, player_);
    player_->advanceFrame();
    machine_ = player_->stage().machine();
    root_ = machine_->clipObject(&player_->stage().root());
  }

  Value clip(const char* path) {
    return machine_->getMember(Value(root_), path);
  }
  Value get(const Value& o, const char* name) { return machine_->getMember(o, name); }
  void set(const Value& o, const char* name, const Value& v) { machine_->setMember(o, name, v); }
  Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
    return machine_->callMethod(o, method, args.data(), args.size());
  }
  double number(const Value& v) { return machine_->toNumber(v); }

  Bytes movie_;
  std::unique_ptr<player::Player> player_;
  Machine* machine_ = nullptr;
  avm1::ClipObject* root_ = nullptr;
  std::vector<std::string> lines_;
};

}  // namespace

TEST_F(Clips, PositionScaleRotationAndAlphaReadBackAsSet) {
  Value box = clip("box");
  EXPECT_EQ(20, number(get(box, "_x")));
  EXPECT_EQ(30, number(get(box, "_y")));
  EXPECT_EQ(100, number(get(box, "_width")));
  set(box, "_x", 10.33);
  EXPECT_NEAR(10.35, number(get(box, "_x")), 1e-9);  // whole twips
  set(box, "_rotation", 270);
  EXPECT_EQ(-90, number(get(box, "_rotation")));  // kept within -180..180
  set(box, "_xscale", -50);
  EXPECT_EQ(-50, number(get(box, "_xscale")));  // the sign survives a rotation
  EXPECT_NEAR(-90, number(get(box, "_rotation")), 1e-9);
  set(box, "_rotation", 0);
  set(box, "_xscale", 100);
  set(box, "_width", 50);
  EXPECT_NEAR(50, number(get(box, "_xscale")), 1e-9);
  set(box, "_alpha", 25);
  const player::DisplayObject* o = player_->stage().root().children().at(1).sprite->displayObject();
  EXPECT_DOUBLE_EQ(0.25, o->colorTransform.aMul);
  set(box, "_visible", false);
  EXPECT_FALSE(o->visible);
  EXPECT_EQ(1, number(get(box, "_currentframe")));
  EXPECT_EQ(3, number(get(box, "_totalframes")));
  EXPECT_EQ("/box", machine_->toString(get(box, "_target")).str());
  EXPECT_EQ("_level0.box", machine_->toString(box).str());
  EXPECT_EQ("_level0.box.inner", machine_->toString(get(box, "inner")).str());
}

TEST_F(Clips, TheTimelineLeavesWhatScriptsMovedAlone) {
  Value box = clip("box");
  set(box, "_x", 77);
  player_->advanceFrame();  // the root loops to frame 1: its placement would put box back
  EXPECT_EQ(77, number(get(clip("box"), "_x")));
}

TEST_F(Clips, DepthsSwapAndScriptClipsSurviveTheTimeline) {
  Value made = call(Value(root_), "createEmptyMovieClip", {"made", 5});
  EXPECT_EQ(5, number(call(made, "getDepth")));
  EXPECT_EQ(6, number(call(Value(root_), "getNextHighestDepth")));
  Value box = clip("box");
  EXPECT_EQ(-16383, number(call(box, "getDepth")));
  call(box, "swapDepths", {made});
  EXPECT_EQ(5, number(call(box, "getDepth")));
  EXPECT_EQ(-16383, number(call(made, "getDepth")));
  EXPECT_EQ(box.object(), call(Value(root_), "getInstanceAtDepth", {5}).object());
  // Timeline clips moved to script depths stay when the timeline loops.
  player_->advanceFrame();
  EXPECT_EQ(box.object(), clip("box").object());
  call(box, "removeMovieClip");
  EXPECT_EQ("undefined", machine_->typeOf(clip("box")).str());
}

TEST_F(Clips, BoundsHitTestsAndCoordinates) {
  Value box = clip("box");
  Value bounds = call(box, "getBounds", {Value(root_)});
  EXPECT_EQ(20, number(get(bounds, "xMin")));
  EXPECT_EQ(120, number(get(bounds, "xMax")));
  EXPECT_EQ(80, number(get(bounds, "yMax")));
  EXPECT_TRUE(call(box, "hitTest", {50, 50}).boolean());
  EXPECT_FALSE(call(box, "hitTest", {150, 50}).boolean());
  EXPECT_FALSE(call(box, "hitTest", {clip("other")}).boolean());
  Value point(machine_->newObject());
  set(point, "x", 5);
  set(point, "y", 5);
  call(box, "localToGlobal", {point});
  EXPECT_EQ(25, number(get(point, "x")));
  call(box, "globalToLocal", {point});
  EXPECT_EQ(5, number(get(point, "y")));
  // An empty clip covers nothing: the reference player's odd figure.
  Value empty = call(Value(root_), "createEmptyMovieClip", {"empty", 9});
  EXPECT_EQ(6710886.35, number(get(call(empty, "getBounds"), "xMin")));
}

TEST_F(Clips, PathsReachClipsByEverySyntax) {
  avm1::Activation a;
  a.baseClip = root_;
  auto resolve = [&](const char* path) {
    return machine_->toString(avm1::resolveTargetPath(*machine_, a, root_, path)).str();
  };
  EXPECT_EQ("_level0.box.inner", resolve("box.inner"));
  EXPECT_EQ("_level0.box.inner", resolve("/box/inner"));
  EXPECT_EQ("_level0.box", resolve("/box/inner/.."));
  EXPECT_EQ("_level0.box.inner", resolve("_root.box.inner"));
  EXPECT_EQ("_level0.other", resolve("_level0.box._parent.other"));
  EXPECT_EQ("undefined", resolve("box//inner"));  // an empty step leads nowhere
  EXPECT_EQ("undefined", resolve("nothing.here"));
  std::string text;
  ASSERT_TRUE(player_->stage().getVariableText(player_->stage().root(), "/box:_x", &text));
  EXPECT_EQ("20", text);
}

TEST_F(Clips, TellTargetAndWithActOnTheirObjects) {
  // tellTarget("box") { nextFrame(); } then with (box) { trace(_x); }
  Bytes code = {0x8B, 4, 0, 'b', 'o', 'x', 0, Script::kNextFrame, 0x8B, 1, 0, 0};
  Bytes with = Script().getVariable("_x").op(Script::kTrace).bytes();
  Bytes box = Script().getVariable("box").bytes();
  code.insert(code.end(), box.begin(), box.end());
  code.insert(code.end(), {0x94, 2, 0, static_cast<uint8_t>(with.size()), 0});
  code.insert(code.end(), with.begin(), with.end());
  code.push_back(0);
  machine_->runBlock(std::make_shared<avm1::Code>(avm1::Code{code, 8, {}, {}}),
                     &player_->stage().root());
  EXPECT_EQ(2, number(get(clip("box"), "_currentframe")));
  EXPECT_EQ(1, player_->currentFrame());  // the root did not move
  ASSERT_EQ(1u, lines_.size());
  EXPECT_EQ("20", lines_[0]);
}

TEST_F(Clips, TextFieldsMadeAndChangedByScripts) {
  Value field = call(Value(root_), "createTextField", {"label", 20, 10, 20, 100, 30});
  ASSERT_EQ("object", machine_->typeOf(field).str());
  EXPECT_EQ(field.object(), clip("label").object());  // found by name too
  EXPECT_EQ("_level0.label", machine_->toString(field).str());
  set(field, "text", "a < b");
  EXPECT_EQ("a < b", machine_->toString(get(field, "text")).str());
  EXPECT_EQ(5, number(get(field, "length")));
  set(field, "html", true);
  set(field, "htmlText", "<p>one</p><p>two &amp; three</p>");
  EXPECT_EQ("one\rtwo & three\r", machine_->toString(get(field, "text")).str());
  set(field, "border", true);
  set(field, "borderColor", 0xFF0000);
  set(field, "textColor", 0x00FF00);
  EXPECT_TRUE(get(field, "border").boolean());
  EXPECT_EQ(0xFF0000, number(get(field, "borderColor")));
  EXPECT_EQ(0x00FF00, number(get(field, "textColor")));
  EXPECT_EQ(10, number(get(field, "_x")));
  set(field, "_x", 40);
  EXPECT_EQ(40, number(get(field, "_x")));
  EXPECT_EQ(100, number(get(field, "_width")));
  EXPECT_EQ(20, number(call(field, "getDepth")));
  // A bound field shows its variable's value as soon as a script reads it.
  set(field, "html", false);
  set(field, "variable", "score");
  set(Value(root_), "score", 42);
  EXPECT_EQ("42", machine_->toString(get(field, "text")).str());
  call(field, "removeTextField");
  EXPECT_TRUE(get(field, "text").isUndefined());
  EXPECT_EQ("undefined", machine_->typeOf(clip("label")).str());
}

TEST_F(Clips, ObjectsOfClipsAndFieldsOnStageOutliveCollections) {
  Value field = call(Value(root_), "createTextField", {"label", 20, 0, 0, 50, 20});
  set(field, "note", "kept");
  set(clip("box"), "note", "kept too");
  machine_->collect();
  // The same objects, with what scripts gave them.
  EXPECT_EQ(field.object(), clip("label").object());
  EXPECT_EQ("kept", machine_->toString(get(clip("label"), "note")).str());
  EXPECT_EQ("kept too", machine_->toString(get(clip("box"), "note")).str());
}

// ------------------------------------------------------------ transform and filters

namespace {

Value makeGeom(Machine& m, const char* package, const char* name, std::vector<Value> args) {
  Value cls = m.getMember(m.getMember(m.get(m.global(), "flash"), package), name);
  return m.construct(cls, args.data(), args.size());
}

}  // namespace

TEST_F(Clips, TransformObjectsReadAndChangeTheClipItself) {
  Value box = clip("box");
  player::DisplayObject* o = avm1::spriteOf(box)->displayObject();
  Value transform = get(box, "transform");
  set(transform, "colorTransform", makeGeom(*machine_, "geom", "ColorTransform", {0.5, 1, 1, 1, 10, 0, 0, 0}));
  EXPECT_EQ(0.5, o->colorTransform.rMul);
  EXPECT_EQ(10, o->colorTransform.rAdd);
  // What was read before is a copy: changing it leaves the clip alone.
  Value copy = get(get(box, "transform"), "colorTransform");
  set(copy, "redOffset", 99);
  EXPECT_EQ(10, o->colorTransform.rAdd);

  set(transform, "matrix", makeGeom(*machine_, "geom", "Matrix", {2, 0, 0, 2, 50, 60}));
  EXPECT_EQ(50, number(get(box, "_x")));
  EXPECT_EQ(200, number(get(box, "_xscale")));
  // A matrix of no numbers is refused whole.
  set(transform, "matrix", makeGeom(*machine_, "geom", "Matrix", {Value(NAN), 0, 0, 1, 0, 0}));
  EXPECT_EQ(50, number(get(box, "_x")));

  // The inner clip sits at the origin of a box moved to (50, 60) and doubled.
  Value inner = get(get(clip("box"), "inner"), "transform");
  Value whole = get(inner, "concatenatedMatrix");
  EXPECT_EQ(50, number(get(whole, "tx")));
  EXPECT_EQ(2, number(get(whole, "a")));
  EXPECT_EQ(0.5, number(get(get(inner, "concatenatedColorTransform"), "redMultiplier")));
  // The doubled 100 × 50 rectangle covers whole pixels from (50, 60).
  EXPECT_EQ("(x=50, y=60, w=200, h=100)",
            machine_->toString(get(get(clip("box"), "transform"), "pixelBounds")).str());
}

TEST_F(Clips, FiltersAndBlendModesSetFromScriptsReachTheDisplayObject) {
  Value box = clip("box");
  player::DisplayObject* o = avm1::spriteOf(box)->displayObject();
  EXPECT_EQ(0, number(get(get(box, "filters"), "length")));

  Value blur = makeGeom(*machine_, "filters", "BlurFilter", {8, 300, 2});
  Value glow = makeGeom(*machine_, "filters", "GlowFilter", {0x00FF00, 0.5});
  Value list = Value(machine_->newArray({blur, Value("not a filter"), glow}));
  set(box, "filters", list);
  ASSERT_TRUE(o->filters);
  ASSERT_EQ(2u, o->filters->size());
  EXPECT_EQ(8, (*o->filters)[0].blurX);
  EXPECT_EQ(255, (*o->filters)[0].blurY);  // kept within the renderer's range
  EXPECT_EQ(2, (*o->filters)[0].passes);
  EXPECT_EQ(0xFF, (*o->filters)[1].color.g);
  EXPECT_EQ(128, (*o->filters)[1].color.a);

  Value back = get(box, "filters");
  EXPECT_EQ(2, number(get(back, "length")));
  EXPECT_EQ(8, number(get(machine_->getMember(back, "0"), "blurX")));
  EXPECT_EQ(0x00FF00, number(get(machine_->getMember(back, "1"), "color")));
  // Changing a filter after setting it changes nothing until it is set again.
  set(blur, "blurX", 1);
  EXPECT_EQ(8, (*o->filters)[0].blurX);

  set(box, "filters", Value(machine_->newArray()));
  EXPECT_FALSE(o->filters);

  // Blend modes by name or by the file's number; others change nothing.
  EXPECT_EQ("normal", machine_->toString(get(box, "blendMode")).str());
  set(box, "blendMode", "multiply");
  EXPECT_EQ(swf::BlendMode::Multiply, o->blendMode);
  set(box, "blendMode", 14);
  EXPECT_EQ("hardlight", machine_->toString(get(box, "blendMode")).str());
  set(box, "blendMode", "Multiply");
  set(box, "blendMode", 15);
  EXPECT_EQ(swf::BlendMode::HardLight, o->blendMode);
  set(box, "cacheAsBitmap", 1);
  EXPECT_TRUE(o->cacheAsBitmap);
}

namespace {

std::vector<std::string> loaderEvents;

Value recordLoaderEvent(Machine& m, avm1::Call& c) {
  loaderEvents.push_back(m.toString(m.getMember(c.arg(0), "_name")).str() + " " + m.toString(c.arg(1)).str());
  return Value();
}

}  // namespace

TEST_F(Clips, ALoaderReportsThatItLoadsNothingAfterTheFrameAndLeavesTheClip) {
  loaderEvents.clear();
  Value loader = machine_->construct(machine_->get(machine_->global(), "MovieClipLoader"), nullptr, 0);
  set(loader, "onLoadError", Value(machine_->newNative(recordLoaderEvent)));
  Value box = clip("box");
  EXPECT_TRUE(machine_->toBoolean(call(loader, "loadClip", {"picture.jpg", box})));
  EXPECT_FALSE(machine_->toBoolean(call(loader, "loadClip", {"picture.jpg", Value()})));
  EXPECT_TRUE(loaderEvents.empty());  // not while the script runs
  player_->advanceFrame();
  EXPECT_EQ((std::vector<std::string>{"box URLNotFound"}), loaderEvents);
  EXPECT_EQ(20, number(get(clip("box"), "_x")));
  player_->advanceFrame();
  EXPECT_EQ(1u, loaderEvents.size());  // told once

  Value progress = call(loader, "getProgress", {box});
  EXPECT_EQ(number(call(box, "getBytesTotal")), number(get(progress, "bytesTotal")));
  EXPECT_TRUE(call(loader, "getProgress", {"nowhere"}).isUndefined());
  EXPECT_TRUE(machine_->toBoolean(call(loader, "unloadClip", {box})));
  EXPECT_TRUE(get(Value(root_), "box").isUndefined());
}
