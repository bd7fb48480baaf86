// flash.display.BitmapData: pixels in and out, the rectangles its methods cut
// to the bitmap, disposal and the sizes it refuses, its pixels' place on the
// heap, and bitmaps attached to clips as the renderer draws them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "script_run.h"
#include "swf_builder.h"

namespace {

using avm1::Machine;
using avm1::Value;
using swftest::Lines;
using swftest::Script;

constexpr uint8_t kNewMethod = 0x53;

// A 100 × 100 white stage with a bitmap exported as "pic", whose scripts
// the tests call into.
class BitmapData : public ::testing::Test {
 protected:
  void SetUp() override {
    swftest::MovieBuilder builder(100, 100, 12, 8);
    // Green, then red at half alpha (premultiplied).
    builder.defineLosslessBitmap(5, 2, 1, {0xFF00FF00u, 0x80800000u});
    builder.exportAs(5, "pic");
    builder.root().showFrame();
    swftest::Bytes movie = builder.finish(false);
    player::PlayerServices options;
    options.clock = player::fixedClock();
    player_ = player::Player::load(movie.data(), movie.size(), std::move(options));
    ASSERT_NE(nullptr, player_);
    player_->advanceFrame();
    m_ = player_->stage().machine();
    root_ = Value(m_->clipObject(&player_->stage().root()));
  }

  Value flashClass(const char* package, const char* name) {
    return m_->getMember(m_->getMember(m_->getMember(Value(m_->global()), "flash"), package), name);
  }
  Value bitmap(std::vector<Value> args) {
    return m_->construct(flashClass("display", "BitmapData"), args.data(), args.size());
  }
  Value rect(double x, double y, double w, double h) {
    Value args[] = {x, y, w, h};
    return m_->construct(flashClass("geom", "Rectangle"), args, 4);
  }
  Value point(double x, double y) {
    Value args[] = {x, y};
    return m_->construct(flashClass("geom", "Point"), args, 2);
  }
  Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
    return m_->callMethod(o, method, args.data(), args.size());
  }
  double number(const Value& v) { return m_->toNumber(v); }
  double get(const Value& o, const char* name) { return number(m_->getMember(o, name)); }
  // getPixel32 as an unsigned 0xAARRGGBB.
  uint32_t argb(const Value& b, int x, int y) {
    return static_cast<uint32_t>(static_cast<int32_t>(number(call(b, "getPixel32", {x, y}))));
  }
  uint32_t shown(int x, int y) {
    std::vector<uint32_t> pixels(100 * 100);
    player_->render(pixels.data(), 100, 100, 400, true);
    return pixels[size_t(y) * 100 + size_t(x)];
  }

  std::unique_ptr<player::Player> player_;
  Machine* m_ = nullptr;
  Value root_;
};

}  // namespace

TEST_F(BitmapData, PixelsReadBackUnpremultipliedAndOpaqueBitmapsStayOpaque) {
  Value b = bitmap({4, 3});
  EXPECT_EQ(4, get(b, "width"));
  EXPECT_EQ(3, get(b, "height"));
  EXPECT_TRUE(m_->toBoolean(m_->getMember(b, "transparent")));
  EXPECT_EQ(-1, number(call(b, "getPixel32", {0, 0})));  // opaque white reads negative
  call(b, "setPixel32", {1, 1, 0x80FF0000u * 1.0});
  EXPECT_EQ(0x80FF0000u, argb(b, 1, 1));
  call(b, "setPixel32", {2, 1, 0x40336699 * 1.0});
  uint32_t p = argb(b, 2, 1);  // premultiplied storage rounds, but only a little
  EXPECT_EQ(0x40u, p >> 24);
  EXPECT_NEAR(0x33, (p >> 16) & 255, 2);
  EXPECT_NEAR(0x66, (p >> 8) & 255, 2);
  EXPECT_NEAR(0x99, p & 255, 2);
  call(b, "setPixel32", {3, 1, 0x00FFFFFF});
  EXPECT_EQ(0u, argb(b, 3, 1));  // nothing of a clear pixel's colour is kept
  // setPixel keeps the alpha; getPixel leaves it out.
  call(b, "setPixel", {1, 1, 0x0000FF});
  EXPECT_EQ(0x800000FFu, argb(b, 1, 1));
  EXPECT_EQ(0x0000FF, number(call(b, "getPixel", {1, 1})));
  // Outside the bitmap nothing is set and 0 is read.
  call(b, "setPixel32", {4, 0, 0xFF000000u * 1.0});
  EXPECT_EQ(0, number(call(b, "getPixel32", {4, 0})));
  EXPECT_EQ(0, number(call(b, "getPixel", {-1, 0})));

  Value opaque = bitmap({2, 2, false, 0x12345678});
  EXPECT_FALSE(m_->toBoolean(m_->getMember(opaque, "transparent")));
  EXPECT_EQ(0xFF345678u, argb(opaque, 0, 0));
  call(opaque, "setPixel32", {1, 1, 0x00ABCDEF});
  EXPECT_EQ(0xFFABCDEFu, argb(opaque, 1, 1));

  Value copy = call(b, "clone");
  call(b, "setPixel32", {0, 0, 0});
  EXPECT_EQ(0xFFFFFFFFu, argb(copy, 0, 0));  // a copy, not the same pixels
  EXPECT_EQ(0x800000FFu, argb(copy, 1, 1));
  Value r = m_->getMember(copy, "rectangle");
  EXPECT_EQ("(x=0, y=0, w=4, h=3)", m_->toString(r).str());
}

TEST_F(BitmapData, LoadBitmapCopiesAnExportedBitmapCharacter) {
  Value cls = flashClass("display", "BitmapData");
  Value pic = call(cls, "loadBitmap", {"pic"});
  EXPECT_EQ(2, get(pic, "width"));
  EXPECT_EQ(1, get(pic, "height"));
  EXPECT_EQ(0xFF00FF00u, argb(pic, 0, 0));
  EXPECT_EQ(0x80FF0000u, argb(pic, 1, 0));
  call(pic, "setPixel32", {0, 0, 0});
  EXPECT_EQ(0xFF00FF00u, argb(call(cls, "loadBitmap", {"pic"}), 0, 0));  // the character is untouched
  EXPECT_TRUE(call(cls, "loadBitmap", {"nothing"}).isUndefined());
}

TEST_F(BitmapData, SizesOutsideTheLimitsMakeNothingAndDisposedBitmapsReadAsInvalid) {
  EXPECT_TRUE(bitmap({}).isUndefined());
  EXPECT_TRUE(bitmap({0, 10}).isUndefined());
  EXPECT_TRUE(bitmap({10, -1}).isUndefined());
  EXPECT_TRUE(bitmap({2881, 1}).isUndefined());
  EXPECT_TRUE(bitmap({1, 2881}).isUndefined());
  Value big = bitmap({2880, 1});
  EXPECT_EQ(2880, get(big, "width"));

  Value b = bitmap({5, 5, true, 0xFF00FF00u * 1.0});
  call(b, "dispose");
  EXPECT_EQ(-1, get(b, "width"));
  EXPECT_EQ(-1, get(b, "height"));
  EXPECT_EQ(-1, get(b, "rectangle"));
  EXPECT_EQ(0, number(call(b, "getPixel32", {0, 0})));
  call(b, "setPixel32", {0, 0, 1});
  call(b, "fillRect", {rect(0, 0, 5, 5), 1});
  EXPECT_TRUE(call(b, "clone").isUndefined());
  call(big, "copyPixels", {b, rect(0, 0, 5, 5), point(0, 0)});
  EXPECT_EQ(0xFFFFFFFFu, argb(big, 0, 0));
  // The prototype is no bitmap either.
  EXPECT_EQ(-1, get(m_->getMember(flashClass("display", "BitmapData"), "prototype"), "width"));
}

TEST_F(BitmapData, FillRectAndCopyPixelsCutTheirRectanglesToBothBitmaps) {
  Value b = bitmap({10, 10, true, 0});
  call(b, "fillRect", {rect(-5, -5, 8, 7), 0xFFFF0000u * 1.0});
  EXPECT_EQ(0xFFFF0000u, argb(b, 0, 0));
  EXPECT_EQ(0xFFFF0000u, argb(b, 2, 1));
  EXPECT_EQ(0u, argb(b, 3, 1));
  EXPECT_EQ(0u, argb(b, 2, 2));
  // Corners and sizes at the ends of the 32-bit range neither wrap nor fill.
  call(b, "fillRect", {rect(2147483647.0, 0, 2147483647.0, 10), 0xFF00FF00u * 1.0});
  call(b, "fillRect", {rect(-2147483648.0, 5, 10, 10), 0xFF00FF00u * 1.0});
  call(b, "fillRect", {rect(9, 9, -3, -3), 0xFF00FF00u * 1.0});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_NE(0xFF00FF00u, argb(b, x, y)) << x << "," << y;
  call(b, "fillRect", {rect(8, 8, 1e9, 1e9), 0xFF0000FFu * 1.0});
  EXPECT_EQ(0xFF0000FFu, argb(b, 9, 9));

  // A source rectangle reaching past the source's corner moves the
  // destination with it; the destination cuts what falls off its edges.
  Value from = bitmap({4, 4, true, 0xFF112233u * 1.0});
  call(from, "setPixel32", {0, 0, 0xFFAABBCCu * 1.0});
  Value to = bitmap({6, 6, true, 0});
  call(to, "copyPixels", {from, rect(-2, -2, 4, 4), point(3, 3)});
  EXPECT_EQ(0u, argb(to, 4, 4));
  EXPECT_EQ(0xFFAABBCCu, argb(to, 5, 5));
  call(to, "copyPixels", {from, rect(0, 0, 4, 4), point(-3, -3)});
  EXPECT_EQ(0xFF112233u, argb(to, 0, 0));
  EXPECT_EQ(0u, argb(to, 1, 1));
  // Within one bitmap, overlapping rows are read as they were.
  Value row = bitmap({4, 1, true, 0});
  for (int x = 0; x < 4; ++x) call(row, "setPixel32", {x, 0, (0xFF000000u + x) * 1.0});
  call(row, "copyPixels", {row, rect(0, 0, 3, 1), point(1, 0)});
  EXPECT_EQ(0xFF000000u, argb(row, 1, 0));
  EXPECT_EQ(0xFF000001u, argb(row, 2, 0));
  EXPECT_EQ(0xFF000002u, argb(row, 3, 0));
  // Half-clear pixels replace what is there, or with mergeAlpha go over it.
  Value half = bitmap({1, 1, true, 0x800000FFu * 1.0});
  Value under = bitmap({2, 1, true, 0xFFFF0000u * 1.0});
  call(under, "copyPixels", {half, rect(0, 0, 1, 1), point(0, 0)});
  call(under, "copyPixels", {half, rect(0, 0, 1, 1), point(1, 0), Value(), Value(), true});
  EXPECT_EQ(0x800000FFu, argb(under, 0, 0));
  uint32_t merged = argb(under, 1, 0);
  EXPECT_EQ(0xFFu, merged >> 24);
  EXPECT_NEAR(0x7F, (merged >> 16) & 255, 1);
  EXPECT_NEAR(0x80, merged & 255, 1);
}

TEST_F(BitmapData, AnAttachedBitmapIsDrawnWithWhatIsPaintedLaterUntilDisposed) {
  Value clip = call(root_, "createEmptyMovieClip", {"c", 1});
  Value b = bitmap({20, 10, false, 0x0000FF});
  call(clip, "attachBitmap", {b, 1});
  m_->setMember(clip, "_x", 30);
  m_->setMember(clip, "_y", 40);
  m_->setMember(clip, "_xscale", 200);
  EXPECT_EQ(40, get(clip, "_width"));
  EXPECT_EQ(10, get(clip, "_height"));
  call(b, "fillRect", {rect(0, 0, 5, 10), 0x00FF00});
  EXPECT_EQ(0xFF00FF00u, shown(35, 45));
  EXPECT_EQ(0xFF0000FFu, shown(55, 45));
  EXPECT_EQ(0xFFFFFFFFu, shown(75, 45));
  EXPECT_EQ(0xFFFFFFFFu, shown(35, 55));
  EXPECT_TRUE(m_->toBoolean(call(clip, "hitTest", {55, 45, true})));
  EXPECT_FALSE(m_->toBoolean(call(clip, "hitTest", {75, 45, true})));
  call(b, "dispose");
  EXPECT_EQ(0xFFFFFFFFu, shown(55, 45));
  EXPECT_EQ(0, get(clip, "_width"));
  EXPECT_FALSE(m_->toBoolean(call(clip, "hitTest", {55, 45, true})));
  // Nothing is attached for a disposed bitmap or without a depth.
  call(clip, "attachBitmap", {b, 2});
  call(clip, "attachBitmap", {bitmap({3, 3})});
  EXPECT_EQ(0, get(clip, "_width"));
  // Shown, a bitmap's pixels stay with their script object although no
  // script reaches it.
  call(clip, "attachBitmap", {bitmap({3, 3}), 3});
  const player::DisplayObject& o = player_->stage().root().children().at(16385).sprite->children().at(16387);
  ASSERT_TRUE(o.scriptBitmap);
  const avm1::Object* owner = o.scriptBitmap->owner;
  ASSERT_NE(nullptr, owner);
  m_->collect();
  EXPECT_EQ(owner, o.scriptBitmap->owner);
  EXPECT_EQ(3, o.scriptBitmap->bitmap.width);
}

// The pixels count against the script heap: bitmaps nothing reaches, or
// that were disposed, are freed, and bitmaps kept past the limit stop the
// script.
namespace {

Lines makeBitmaps(bool keep, bool dispose) {
  Script s;
  s.push("a").push(0).op(Script::kInitArray).op(Script::kSetVariable);
  s.push("i").push(0).op(Script::kSetVariable);
  s.label("top");
  // b = new flash.display.BitmapData(1000, 1000): 4 MB of pixels each time.
  s.push("b").push(1000).push(1000).push(2).getVariable("flash").push("display").op(Script::kGetMember);
  s.push("BitmapData").op(kNewMethod).op(Script::kSetVariable);
  if (keep) s.getVariable("b").push(1).getVariable("a").push("push").op(Script::kCallMethod).op(Script::kPop);
  if (dispose) s.push(0).getVariable("b").push("dispose").op(Script::kCallMethod).op(Script::kPop);
  s.push("i").getVariable("i").op(Script::kIncrement).op(Script::kSetVariable);
  s.getVariable("i").push(100).op(Script::kLess2).ifTrue("top");
  s.trace("done");
  return swftest::traces(swftest::scriptMovie(s));
}

}  // namespace

TEST(BitmapDataHeap, PixelsNothingReachesOrThatWereDisposedAreFreedAndKeptOnesCount) {
  EXPECT_EQ(Lines{"done"}, makeBitmaps(false, false));
  EXPECT_EQ(Lines{"done"}, makeBitmaps(true, true));
  EXPECT_EQ(Lines{}, makeBitmaps(true, false));  // 400 MB: past the heap's limit
}
