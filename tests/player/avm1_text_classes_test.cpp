// TextSnapshot over a clip's static text, TextFormat with the text field
// format methods and getTextExtent, buttons and shapes as scripts see them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "player/text/freetype_fonts.h"
#include "swf_builder.h"

using avm1::Machine;
using avm1::Value;
using swftest::MovieBuilder;

namespace {

// Static "AB " and, on another line, "BA" (each glyph 300 twips wide), a
// button "btn" of a 20-pixel square and that square as "box", all on the root.
class TextClasses : public ::testing::Test {
 protected:
  void load(text::DeviceFonts* fonts = nullptr) {
    MovieBuilder m(200, 200, 12, 8);
    swftest::defineBoxFont(m, 1);
    swftest::Matrix first;
    first.tx = 200;
    first.ty = 400;
    m.defineText(2, 1, 400, 0xFF112233, first, {{0, 300}, {1, 300}, {2, 300}});
    swftest::Matrix second = first;
    second.ty = 1000;
    m.defineText(3, 1, 400, 0xFF000000, second, {{1, 300}, {0, 300}});
    swftest::ShapeBuilder shape;
    shape.solidFill(0xFF0000FF);
    swftest::Path p;
    p.fill1(1).rect(0, 0, 400, 400);
    m.defineShape(4, shape, p, 0, 400, 0, 400);
    m.defineButton2(5, {{15, 4, 1, swftest::Matrix()}});
    m.exportAs(5, "ButtonSymbol");
    m.root().place(1, 2);
    m.root().place(2, 3);
    m.root().place(3, 5, swftest::Matrix(), 0, "btn");
    m.root().place(4, 4, swftest::Matrix(), 0, "box");
    m.root().showFrame();
    movie_ = m.finish(false);
    player::PlayerServices options;
    options.clock = player::fixedClock();
    options.deviceFonts = fonts;
    player_ = player::Player::load(movie_.data(), movie_.size(), std::move(options));
    ASSERT_NE(nullptr, player_);
    player_->advanceFrame();
    machine_ = player_->stage().machine();
    root_ = Value(machine_->clipObject(&player_->stage().root()));
  }

  Value get(const Value& o, const char* name) { return machine_->getMember(o, name); }
  Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
    return machine_->callMethod(o, method, args.data(), args.size());
  }
  std::string text(const Value& v) { return machine_->toString(v).str(); }
  double number(const Value& v) { return machine_->toNumber(v); }
  Value make(const char* className, std::vector<Value> args = {}) {
    return machine_->construct(get(Value(machine_->global()), className), args.data(), args.size());
  }

  swftest::Bytes movie_;
  std::unique_ptr<player::Player> player_;
  Machine* machine_ = nullptr;
  Value root_;
};

}  // namespace

TEST_F(TextClasses, SnapshotReadsStaticTextInDepthOrderWithLineEnds) {
  load();
  Value snapshot = call(root_, "getTextSnapshot");
  EXPECT_EQ(5, number(call(snapshot, "getCount")));
  EXPECT_EQ("AB BA", text(call(snapshot, "getText", {0, 5})));
  EXPECT_EQ("AB \nBA", text(call(snapshot, "getText", {0, 5, true})));
  // Ranges are clamped: the start into the text, the end past the start.
  EXPECT_EQ("A", text(call(snapshot, "getText", {-3, -1})));
  EXPECT_EQ("A", text(call(snapshot, "getText", {40, 2})));
  EXPECT_EQ("B BA", text(call(snapshot, "getText", {1, 99})));
  EXPECT_TRUE(call(snapshot, "getText", {0}).isUndefined());
  EXPECT_TRUE(call(snapshot, "getText", {0, 1, true, 2}).isUndefined());

  EXPECT_EQ(3, number(call(snapshot, "findText", {0, "ba", false})));
  EXPECT_EQ(-1, number(call(snapshot, "findText", {0, "ba", true})));
  EXPECT_EQ(-1, number(call(snapshot, "findText", {4, "BA", true})));

  call(snapshot, "setSelected", {1, 3, true});
  EXPECT_FALSE(machine_->toBoolean(call(snapshot, "getSelected", {0, 1})));
  EXPECT_TRUE(machine_->toBoolean(call(snapshot, "getSelected", {0, 2})));
  EXPECT_EQ("B ", text(call(snapshot, "getSelectedText", {false})));

  // The cells are where the glyphs are drawn: "A" spans 10..25 px.
  EXPECT_EQ(0, number(call(snapshot, "hitTestTextNearPos", {12, 18})));
  EXPECT_EQ(-1, number(call(snapshot, "hitTestTextNearPos", {150, 150, 5})));
  Value runs = call(snapshot, "getTextRunInfo", {0, 1});
  Value first = get(runs, "0");
  EXPECT_EQ(0x112233, number(get(first, "color")));
  EXPECT_EQ("Boxes", text(get(first, "font")));
  EXPECT_EQ(20, number(get(first, "height")));
}

TEST_F(TextClasses, SnapshotsMadeByHandOrOfAnythingButAClipHoldNothing) {
  load();
  EXPECT_TRUE(avm1::instanceOf(*machine_, call(root_, "getTextSnapshot"), get(Value(machine_->global()), "TextSnapshot")));
  Value empty = make("TextSnapshot", {"not a clip"});
  EXPECT_EQ(0, number(call(empty, "getCount")));
  EXPECT_EQ("", text(call(empty, "getText", {0, 3})));
  EXPECT_EQ(-1, number(call(empty, "findText", {0, "A", false})));
  EXPECT_EQ("", text(call(empty, "getSelectedText")));
}

TEST_F(TextClasses, TextFormatsReadAndSetAFieldsFormat) {
  load();
  Value format = make("TextFormat", {"Arial", 14, 0xFF0000, true});
  EXPECT_EQ("Arial", text(get(format, "font")));
  EXPECT_EQ(14, number(get(format, "size")));
  EXPECT_TRUE(get(format, "italic").isNull());
  EXPECT_TRUE(get(format, "align").isNull());

  Value field = call(root_, "createTextField", {"label", 20, 0, 0, 100, 20});
  call(field, "setTextFormat", {format});
  Value read = call(field, "getTextFormat");
  EXPECT_EQ("Arial", text(get(read, "font")));
  EXPECT_EQ(14, number(get(read, "size")));
  EXPECT_EQ(0xFF0000, number(get(read, "color")));
  EXPECT_TRUE(machine_->toBoolean(get(read, "bold")));
  EXPECT_FALSE(machine_->toBoolean(get(read, "italic")));
  EXPECT_EQ("left", text(get(read, "align")));
  EXPECT_EQ(0xFF0000, number(get(field, "textColor")));

  // Null properties leave the field's as they were; a nonsense size is refused.
  Value change = make("TextFormat");
  machine_->setMember(change, "align", Value("CENTER"));
  machine_->setMember(change, "size", Value(-5));
  call(field, "setTextFormat", {0, 3, change});
  read = call(field, "getNewTextFormat");
  EXPECT_EQ("center", text(get(read, "align")));
  EXPECT_EQ(14, number(get(read, "size")));
  EXPECT_EQ("Arial", text(get(read, "font")));
  // Not a format: ignored.
  call(field, "setNewTextFormat", {Value("big")});
  EXPECT_EQ(14, number(get(call(field, "getTextFormat"), "size")));
}

TEST_F(TextClasses, TextExtentWrapsWithinTheWidthAsked) {
  std::unique_ptr<text::DeviceFonts> fonts = text::makeFreeTypeFonts(text::installedChineseFonts());
  if (!fonts) GTEST_SKIP() << "no fonts installed";
  load(fonts.get());
  Value format = make("TextFormat", {"_sans", 12});
  Value line = call(format, "getTextExtent", {"Lorem ipsum dolor sit amet"});
  double width = number(get(line, "width")), height = number(get(line, "height"));
  EXPECT_GT(width, 100);
  EXPECT_LT(width, 250);
  EXPECT_NEAR(number(get(line, "ascent")) + number(get(line, "descent")), height, 1);
  EXPECT_EQ(width + 4, number(get(line, "textFieldWidth")));
  EXPECT_EQ(height + 4, number(get(line, "textFieldHeight")));
  EXPECT_TRUE(get(line, "__proto__").isUndefined());

  Value wrapped = call(format, "getTextExtent", {"Lorem ipsum dolor sit amet", 60});
  EXPECT_EQ(60, number(get(wrapped, "textFieldWidth")));
  EXPECT_LE(number(get(wrapped, "width")), 56);
  EXPECT_GE(number(get(wrapped, "height")), 3 * height);

  // A larger size gives a taller line.
  Value big = call(make("TextFormat", {"_sans", 24}), "getTextExtent", {"Lorem"});
  EXPECT_GT(number(get(big, "height")), 1.5 * height);
}

TEST_F(TextClasses, ButtonsAreObjectsOfTheButtonClassAndShapesNameTheirClip) {
  load();
  Value button = get(root_, "btn");
  ASSERT_TRUE(button.isObject());
  EXPECT_EQ("object", machine_->typeOf(button).str());
  EXPECT_TRUE(avm1::instanceOf(*machine_, button, get(Value(machine_->global()), "Button")));
  EXPECT_EQ(3 - 16384, number(call(button, "getDepth")));
  EXPECT_EQ("btn", text(get(button, "_name")));
  EXPECT_EQ(20, number(get(button, "_width")));
  EXPECT_TRUE(machine_->toBoolean(get(button, "enabled")));
  // Clip methods are not a button's.
  EXPECT_TRUE(get(button, "gotoAndStop").isUndefined());

  // Attached from the library, a button stays of its class whatever class
  // its symbol was registered for.
  Value global(machine_->global());
  call(get(global, "Object"), "registerClass", {"ButtonSymbol", get(global, "Array")});
  Value attached = call(root_, "attachMovie", {"ButtonSymbol", "more", 10});
  ASSERT_TRUE(attached.isObject());
  EXPECT_EQ("object", machine_->typeOf(attached).str());
  EXPECT_TRUE(avm1::instanceOf(*machine_, attached, get(global, "Button")));
  EXPECT_FALSE(avm1::instanceOf(*machine_, attached, get(global, "Array")));
  EXPECT_EQ(20, number(get(attached, "_height")));

  // A named shape has no object: its name leads to its clip, and for..in lists it.
  EXPECT_TRUE(machine_->strictEquals(root_, get(root_, "box")));
  std::vector<std::string> names;
  for (const avm1::String& name : machine_->enumerate(root_.object())) names.push_back(name.str());
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "box"));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "btn"));
}
