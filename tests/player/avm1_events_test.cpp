// Scripts driven from outside a frame's scripts: the pointer over clips that
// answer it, intervals on the movie's clock, text fields reading their
// variables, and clips of registered classes made by attachMovie.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "player/core/text_field.h"
#include "script_run.h"
#include "swf_builder.h"

namespace {

using swftest::Lines;
using swftest::MovieBuilder;
using swftest::Script;

bool has(const Lines& lines, const char* line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

}  // namespace

TEST(Avm1Pointer, ClipsWithHandlersTakeThePointerAsButtonsDo) {
  MovieBuilder m(100, 100, 12, 8);
  m.defineRect(1, 0xFF00FF00, 0, 0, 50, 50);
  swftest::Timeline t;
  t.place(1, 1);
  t.showFrame();
  m.defineSprite(2, t, 1);
  m.root().place(1, 2, swftest::Matrix(), 0, "hot");
  Script s;
  for (const char* handler : {"onRollOver", "onPress", "onRelease", "onRollOut"})
    s.getVariable("hot").push(handler).function("", {}, Script().trace(handler)).op(Script::kSetMember);
  // The root hears every press, over the clip or not.
  s.getVariable("_root").push("onMouseDown").function("", {}, Script().trace("mouse down")).op(Script::kSetMember);
  s.op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  auto run = swftest::start(m.finish(false));
  player::Player& p = *run->player;
  p.advanceFrame();
  std::vector<uint32_t> pixels(100 * 100);
  p.render(pixels.data(), 100, 100, 400, true);  // the pointer maps through the picture drawn

  EXPECT_TRUE(p.pointerMove(10, 10));
  EXPECT_TRUE(p.pointerOverButton());
  EXPECT_EQ((Lines{"onRollOver"}), run->lines);
  run->lines.clear();
  EXPECT_TRUE(p.pointerButton(true));
  EXPECT_TRUE(has(run->lines, "onPress") && has(run->lines, "mouse down")) << run->lines.size();
  run->lines.clear();
  EXPECT_TRUE(p.pointerButton(false));
  EXPECT_EQ((Lines{"onRelease"}), run->lines);
  run->lines.clear();
  EXPECT_TRUE(p.pointerMove(90, 90));
  EXPECT_FALSE(p.pointerOverButton());
  EXPECT_EQ((Lines{"onRollOut"}), run->lines);
  run->lines.clear();
  // Moving where nothing listens changes nothing on the picture.
  EXPECT_FALSE(p.pointerMove(95, 95));
  // A press off the clip reaches the root alone.
  p.pointerButton(true);
  EXPECT_EQ((Lines{"mouse down"}), run->lines);
}

TEST(Avm1Timers, IntervalsFireWhenDueAndStopWhenCleared) {
  // n = 0; id = setInterval(function () { trace("tick"); if (++n == 3) clearInterval(id); }, 250);
  Script tick;
  tick.trace("tick");
  tick.push("n").getVariable("n").op(Script::kIncrement).op(Script::kSetVariable);
  tick.getVariable("n").push(3).op(Script::kEquals2).op(Script::kNot).ifTrue("done");
  tick.getVariable("id").push(1).push("clearInterval").op(Script::kCallFunction).op(Script::kPop);
  tick.label("done");
  Script s;
  s.push("n").push(0).op(Script::kSetVariable);
  s.push("id").push(250).function("", {}, tick).push(2).push("setInterval").op(Script::kCallFunction);
  s.op(Script::kSetVariable);
  MovieBuilder m(10, 10, 10, 8);  // 100 ms a frame on the fixed clock
  m.root().action(s.bytes());
  m.root().showFrame();
  m.root().action(Script().op(Script::kStop).bytes());
  m.root().showFrame();
  auto run = swftest::start(m.finish(false));
  run->player->advanceFrame();
  run->player->advanceFrame();
  run->player->advanceFrame();
  EXPECT_EQ(1u, run->lines.size());  // due at 250 ms: once by the third frame
  for (int i = 0; i < 20; ++i) run->player->advanceFrame();
  EXPECT_EQ((Lines{"tick", "tick", "tick"}), run->lines);
}

TEST(Avm1Stage, BoundTextSurvivesAVariableThatThrows) {
  MovieBuilder m(100, 100, 12, 8);
  swftest::EditTextSpec field;
  field.variable = "score";
  field.text = "start";
  m.defineEditText(1, field);
  m.root().place(1, 1, swftest::Matrix(), 0, "label");
  // _root.addProperty("score", function () { throw "broken"; }, null)
  Script s;
  s.pushNull().function("", {}, Script().push("broken").op(Script::kThrow)).push("score").push(3);
  s.getVariable("_root").push("addProperty").op(Script::kCallMethod).op(Script::kPop);
  m.root().action(s.bytes());
  m.root().showFrame();
  m.root().action(Script().trace("still running").op(Script::kStop).bytes());
  m.root().showFrame();
  auto run = swftest::start(m.finish(false));
  run->player->advanceFrame();
  run->player->advanceFrame();
  EXPECT_TRUE(has(run->lines, "still running"));
  ASSERT_NE(nullptr, run->player->stage().machine());
  EXPECT_FALSE(run->player->stage().machine()->disabled());
}

TEST(Avm1Timeline, AttachedClipsOfARegisteredClassAreConstructedWithTheirInitObject) {
  MovieBuilder m(100, 100, 12, 8);
  swftest::Timeline t;
  t.showFrame();
  m.defineSprite(1, t, 1);
  m.exportAs(1, "symbol");
  // C = function () { trace("construct " + this.label); };
  // C.prototype.__proto__ = MovieClip.prototype;
  // C.prototype.onLoad = function () { trace("load " + this._name); };
  // Object.registerClass("symbol", C);
  // attachMovie("symbol", "made", 1, {label: "x"}); trace(made instanceof C);
  Script s;
  s.push("C").function("", {}, Script().push("construct ").push("this").op(Script::kGetVariable).push("label")
                                   .op(Script::kGetMember).op(Script::kAdd2).op(Script::kTrace));
  s.op(Script::kSetVariable);
  s.getVariable("C").push("prototype").op(Script::kGetMember).push("__proto__");
  s.getVariable("MovieClip").push("prototype").op(Script::kGetMember).op(Script::kSetMember);
  s.getVariable("C").push("prototype").op(Script::kGetMember).push("onLoad");
  s.function("", {}, Script().push("load ").push("this").op(Script::kGetVariable).push("_name")
                         .op(Script::kGetMember).op(Script::kAdd2).op(Script::kTrace));
  s.op(Script::kSetMember);
  s.getVariable("C").push("symbol").push(2).getVariable("Object").push("registerClass").op(Script::kCallMethod);
  s.op(Script::kPop);
  s.push("label").push("x").push(1).op(Script::kInitObject).push(1).push("made").push("symbol").push(4);
  s.getVariable("_root").push("attachMovie").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("made").getVariable("C").op(0x54).op(Script::kTrace);  // InstanceOf
  s.op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  Lines lines = swftest::traces(m.finish(false), 2);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("construct x", lines[0]);  // the init object's properties come first
  EXPECT_TRUE(has(lines, "true"));
  EXPECT_TRUE(has(lines, "load made"));
}

TEST(Avm1Pointer, DraggedClipsFollowThePointerWithinTheirBox) {
  MovieBuilder m(100, 100, 12, 8);
  m.defineRect(1, 0xFF00FF00, 0, 0, 10, 10);
  swftest::Timeline t;
  t.place(1, 1);
  t.showFrame();
  m.defineSprite(2, t, 1);
  m.root().place(1, 2, swftest::Matrix(), 0, "box");
  m.root().place(2, 2, swftest::Matrix(), 0, "kept");
  // box.startDrag(true); Mouse.hide()
  Script s;
  s.push(true).push(1).getVariable("box").push("startDrag").op(Script::kCallMethod).op(Script::kPop);
  s.push(0).getVariable("Mouse").push("hide").op(Script::kCallMethod).op(Script::kPop);
  s.op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  auto run = swftest::start(m.finish(false));
  player::Player& p = *run->player;
  p.advanceFrame();
  std::vector<uint32_t> pixels(100 * 100);
  p.render(pixels.data(), 100, 100, 400, true);
  EXPECT_TRUE(p.stage().mouseHidden());
  EXPECT_TRUE(p.pointerMove(50, 60));  // the picture changes: the clip moved
  avm1::Machine& machine = *p.stage().machine();
  avm1::Value root(machine.clipObject(&p.stage().root()));
  avm1::Value box = machine.getMember(root, "box");
  EXPECT_EQ(50, machine.toNumber(machine.getMember(box, "_x")));
  EXPECT_EQ(60, machine.toNumber(machine.getMember(box, "_y")));
  // Another clip dragged, kept inside 0..30 by 0..30, with its offset from
  // the pointer kept.
  avm1::Value kept = machine.getMember(root, "kept");
  std::vector<avm1::Value> args = {avm1::Value(false), avm1::Value(0.0), avm1::Value(0.0), avm1::Value(30.0),
                                   avm1::Value(30.0)};
  machine.callMethod(kept, "startDrag", args.data(), args.size());
  p.pointerMove(90, 90);
  EXPECT_EQ(30, machine.toNumber(machine.getMember(kept, "_x")));
  EXPECT_EQ(50, machine.toNumber(machine.getMember(box, "_x")));  // the first one was let go
  machine.callMethod(kept, "stopDrag", nullptr, 0);
  EXPECT_FALSE(p.pointerMove(10, 10));
}

TEST(Avm1Stage, BoundTextFollowsItsVariableAndGivesItItsText) {
  MovieBuilder m(100, 100, 12, 5);
  swftest::EditTextSpec shown;
  shown.variable = "clock";
  m.defineEditText(1, shown);
  swftest::EditTextSpec typed;
  typed.variable = "/:entry";
  typed.text = "start";
  m.defineEditText(2, typed);
  m.root().place(1, 1);
  m.root().place(2, 2);
  // clock = "中文" (GBK in an SWF 5 movie), then trace(entry) a frame later.
  m.root().action(Script().push("clock").push(std::string("\xD6\xD0\xCE\xC4")).op(Script::kSetVariable).bytes());
  m.root().showFrame();
  m.root().action(Script().getVariable("entry").op(Script::kTrace).op(Script::kStop).bytes());
  m.root().showFrame();
  player::PlayerServices services;
  services.codePage = 936;
  auto run = swftest::start(m.finish(false), std::move(services));
  run->player->advanceFrame();
  const player::DisplayObject& field = run->player->stage().root().children().at(1);
  ASSERT_NE(nullptr, field.textField);
  EXPECT_EQ("\xD6\xD0\xCE\xC4", field.textField->text());  // back in the movie's own encoding
  run->player->advanceFrame();
  EXPECT_EQ((Lines{"start"}), run->lines);
}
