// The script machine: conversions as each SWF version has them, the heap
// and its collector, the interpreter through small movies, the order of
// frame scripts and clip events, the limits that stop runaway scripts, and
// the entry points the player's other parts use.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "player/core/sprite.h"
#include "player/sound/mixer.h"
#include "script_run.h"
#include "swf_builder.h"
#include "test_player.h"

namespace {

using avm1::Machine;
using avm1::String;
using avm1::Value;
using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::Script;

using swftest::Lines;
using swftest::scriptMovie;
using swftest::start;
using swftest::traces;

}  // namespace

// ------------------------------------------------------------ conversions

TEST(Avm1Values, NumbersPrintAsTheReferencePlayerPrintsThem) {
  EXPECT_EQ("0", Machine::numberToString(-0.0).str());
  EXPECT_EQ("123456789012345", Machine::numberToString(123456789012345.0).str());
  EXPECT_EQ("1e+15", Machine::numberToString(1e15).str());
  EXPECT_EQ("0.3", Machine::numberToString(0.1 + 0.2).str());
  EXPECT_EQ("0.333333333333333", Machine::numberToString(1.0 / 3).str());
  EXPECT_EQ("0.0001", Machine::numberToString(0.0001).str());
  EXPECT_EQ("0.00001", Machine::numberToString(0.00001).str());
  EXPECT_EQ("1e-6", Machine::numberToString(0.000001).str());
  EXPECT_EQ("-1.5e-7", Machine::numberToString(-1.5e-7).str());
  EXPECT_EQ("8.64e+15", Machine::numberToString(8.64e15).str());
  EXPECT_EQ("NaN", Machine::numberToString(NAN).str());
  EXPECT_EQ("-Infinity", Machine::numberToString(-INFINITY).str());
}

TEST(Avm1Values, TextReadsAsNumbersByTheRulesOfEachVersion) {
  Machine swf4(4, {}), swf5(5, {}), swf7(7, {});
  // SWF 4 reads a decimal prefix; anything else is 0.
  EXPECT_EQ(12, swf4.toNumber(Value("12abc")));
  EXPECT_EQ(0, swf4.toNumber(Value("0x10")));
  EXPECT_EQ(0, swf4.toNumber(Value("Infinity")));
  // Later versions want the whole text; hexadecimal and octal from SWF 6.
  EXPECT_TRUE(std::isnan(swf5.toNumber(Value("12abc"))));
  EXPECT_TRUE(std::isnan(swf5.toNumber(Value("0x10"))));
  EXPECT_EQ(16, swf7.toNumber(Value("0x10")));
  EXPECT_EQ(8, swf7.toNumber(Value("010")));
  EXPECT_EQ(19, swf7.toNumber(Value("019")));
  EXPECT_EQ(-1, swf7.toNumber(Value("0xFFFFFFFF")));
  EXPECT_EQ(1500, swf7.toNumber(Value("  1.5e3")));
  // undefined counts as 0 before SWF 7, as NaN after; text as "" or "undefined".
  EXPECT_EQ(0, swf5.toNumber(Value()));
  EXPECT_TRUE(std::isnan(swf7.toNumber(Value())));
  EXPECT_EQ("", swf5.toString(Value()).str());
  EXPECT_EQ("undefined", swf7.toString(Value()).str());
  // SWF 4 writes booleans as numbers.
  EXPECT_EQ("1", swf4.toString(Value(true)).str());
  EXPECT_EQ("true", swf5.toString(Value(true)).str());
}

TEST(Avm1Values, TextAsABooleanChangedWithSwf7) {
  Machine swf6(6, {}), swf7(7, {});
  EXPECT_FALSE(swf6.toBoolean(Value("abc")));  // a number, NaN: false
  EXPECT_TRUE(swf6.toBoolean(Value("2")));
  EXPECT_TRUE(swf7.toBoolean(Value("abc")));  // any text but ""
  EXPECT_FALSE(swf7.toBoolean(Value("")));
}

TEST(Avm1Values, EqualityAndOrderKeepTheReferencePlayersQuirks) {
  Machine m(8, {});
  // NaN equals NaN, loosely and strictly, in the reference player.
  EXPECT_TRUE(m.equals(Value(NAN), Value(NAN)));
  EXPECT_TRUE(Machine::strictEquals(Value(NAN), Value(NAN)));
  EXPECT_FALSE(Machine::strictEquals(Value(1.0), Value("1")));
  EXPECT_TRUE(m.equals(Value(), Value::null()));
  EXPECT_TRUE(m.equals(Value(1.0), Value("1")));
  EXPECT_TRUE(m.equals(Value(true), Value(1.0)));
  EXPECT_TRUE(m.lessThan(Value(1.0), Value(2.0)).boolean());
  EXPECT_TRUE(m.lessThan(Value("a"), Value("b")).boolean());
  EXPECT_TRUE(m.lessThan(Value(NAN), Value(1.0)).isUndefined());
  // A bare object's value is nothing, which equals undefined.
  avm1::Object* bare = m.heap().make<avm1::Object>(nullptr);
  EXPECT_TRUE(m.equals(Value(bare), Value()));
  EXPECT_FALSE(m.equals(Value(m.newObject()), Value()));
}

TEST(Avm1Values, Swf5TextComesFromTheSystemsCodePage) {
  // "中文" in GBK; a Western movie's byte 0xC5 is "Å" in code page 1252.
  Script s;
  s.push(std::string("\xD6\xD0\xCE\xC4")).op(Script::kTrace);
  s.push(std::string("A\xC5")).op(Script::kTrace);
  MovieBuilder m(10, 10, 12, 5);
  m.root().action(s.bytes());
  m.root().showFrame();
  Bytes movie = m.finish(false);
  player::PlayerServices gbk;
  gbk.codePage = 936;
  auto chinese = start(movie, std::move(gbk));
  chinese->player->advanceFrame();
  ASSERT_EQ(2u, chinese->lines.size());
  EXPECT_EQ("\xE4\xB8\xAD\xE6\x96\x87", chinese->lines[0]);
  player::PlayerServices western;
  western.codePage = 1252;
  auto latin = start(movie, std::move(western));
  latin->player->advanceFrame();
  ASSERT_EQ(2u, latin->lines.size());
  EXPECT_EQ("A\xC3\x85", latin->lines[1]);
}

// ------------------------------------------------------------ heap

TEST(Avm1Heap, UnreachableObjectsGoCyclesIncluded) {
  Machine m(8, {});
  m.collect();
  size_t base = m.heap().cellCount();
  avm1::Object* a = m.newObject();
  avm1::Object* b = m.newObject();
  a->define("other", Value(b));
  b->define("other", Value(a));
  m.global()->define("kept", Value(m.newObject()));
  m.collect();
  EXPECT_EQ(base + 1, m.heap().cellCount());  // the cycle went, the global's object stayed
  m.global()->removeOwn("kept", true);
  m.collect();
  EXPECT_EQ(base, m.heap().cellCount());
}

TEST(Avm1Heap, ClipsKeepTheirVariablesWhileOnStage) {
  Script s;
  s.push("mc").push(1).push("mc").push(2).getVariable("this").push("createEmptyMovieClip").op(Script::kCallMethod);
  s.op(Script::kPop);
  s.getVariable("mc").push("data").push(0).op(Script::kInitObject).op(Script::kSetMember);
  MovieBuilder m(10, 10, 12, 8);
  m.root().action(s.bytes());
  m.root().showFrame();
  Script later;
  later.getVariable("mc").push("data").op(Script::kGetMember).op(Script::kTypeOf).op(Script::kTrace);
  m.root().action(later.bytes());
  m.root().showFrame();
  auto run = start(m.finish(false));
  run->player->advanceFrame();
  run->player->stage().machine()->collect();
  run->player->advanceFrame();
  EXPECT_EQ(Lines{"object"}, run->lines);
}

// ------------------------------------------------------------ interpreter

TEST(Avm1Interpreter, ArithmeticStringsAndConversions) {
  Script s;
  s.push(2).push(3).op(Script::kAdd2).op(Script::kTrace);            // 5
  s.push("2").push(3).op(Script::kAdd2).op(Script::kTrace);          // 23
  s.push(7).push(2).op(Script::kModulo).op(Script::kTrace);          // 1
  s.push(1).push(0).op(Script::kDivide).op(Script::kTrace);          // Infinity
  s.push(-2.5).op(Script::kToInteger).op(Script::kTrace);            // -2
  s.pushUndefined().op(Script::kTypeOf).op(Script::kTrace);          // undefined
  s.push("abc").push("length").op(Script::kGetMember).op(Script::kTrace);
  EXPECT_EQ((Lines{"5", "23", "1", "Infinity", "-2", "undefined", "3"}), traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, BitsShiftAsInt32AndEqualityCrossesTypes) {
  constexpr uint8_t kBitAnd = 0x60, kBitOr = 0x61, kBitXor = 0x62, kShiftLeft = 0x63, kShiftRight = 0x64,
                    kShiftRightUnsigned = 0x65, kStrictEquals = 0x66, kGreater = 0x67;
  Script s;
  s.push(-1).push(0).op(kShiftRightUnsigned).op(Script::kTrace);    // signed up to SWF 8: -1
  s.push(1).push(33).op(kShiftLeft).op(Script::kTrace);             // the count is taken mod 32: 2
  s.push(4294967297.0).push(0).op(kBitOr).op(Script::kTrace);       // wraps to 1
  s.push(-5).push(1).op(kShiftRight).op(Script::kTrace);            // -3
  s.push(0xF0).push(0xFF).op(kBitXor).op(Script::kTrace);           // 15
  s.push("12").push(10).op(kBitAnd).op(Script::kTrace);             // 8
  s.push("1").push(1).op(Script::kEquals2).op(Script::kTrace);      // true
  s.push("1").push(1).op(kStrictEquals).op(Script::kTrace);         // false
  s.pushNull().pushUndefined().op(Script::kEquals2).op(Script::kTrace);  // true
  s.pushNull().push(0).op(Script::kEquals2).op(Script::kTrace);     // false
  s.getVariable("NaN").getVariable("NaN").op(Script::kEquals2).op(Script::kTrace);  // the reference's true
  s.push("b").push("a").op(kGreater).op(Script::kTrace);            // text by its characters: true
  s.push("10").push("9").op(Script::kLess2).op(Script::kTrace);     // true: "1" < "9"
  EXPECT_EQ((Lines{"-1", "2", "1", "-3", "15", "8", "true", "false", "true", "false", "true", "true", "true"}),
            traces(scriptMovie(s)));
  // From SWF 9 on, the unsigned shift gives an unsigned number.
  Script unsigned9;
  unsigned9.push(-1).push(0).op(kShiftRightUnsigned).op(Script::kTrace);
  EXPECT_EQ((Lines{"4294967295"}), traces(scriptMovie(unsigned9, 9)));
}

TEST(Avm1Interpreter, FunctionsClosuresAndLoops) {
  // function counter() { var n = 0; return function () { return ++n; }; }
  Script inner;
  inner.push("n").getVariable("n").op(Script::kIncrement).op(Script::kSetVariable).getVariable("n").op(Script::kReturn);
  Script outer;
  outer.push("n").push(0).op(Script::kDefineLocal).function("", {}, inner).op(Script::kReturn);
  Script s;
  s.function("counter", {}, outer);
  s.push("c").push(0).push("counter").op(Script::kCallFunction).op(Script::kDefineLocal);
  for (int i = 0; i < 3; ++i) s.push(0).push("c").op(Script::kCallFunction).op(Script::kPop);
  s.push(0).push("c").op(Script::kCallFunction).op(Script::kTrace);
  // i = 0; while (i < 5) i++; trace(i)
  s.push("i").push(0).op(Script::kSetVariable).label("top");
  s.getVariable("i").push(5).op(Script::kLess2).op(Script::kNot).ifTrue("done");
  s.push("i").getVariable("i").op(Script::kIncrement).op(Script::kSetVariable).jump("top").label("done");
  s.getVariable("i").op(Script::kTrace);
  EXPECT_EQ((Lines{"4", "5"}), traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, RegisterFunctionsPreloadWhatTheirFlagsAsk) {
  constexpr uint16_t kPreloadThis = 0x0001, kPreloadArguments = 0x0004, kPreloadRoot = 0x0040;
  // o = {x: 5}; o.f = function (a, b) { return a + b + this.x + arguments.length; }
  // with this in r1, arguments in r2, _root in r3, a and b in r4 and r5.
  Script body;
  body.pushRegister(4).pushRegister(5).op(Script::kAdd2);
  body.pushRegister(1).push("x").op(Script::kGetMember).op(Script::kAdd2);
  body.pushRegister(2).push("length").op(Script::kGetMember).op(Script::kAdd2);
  body.pushRegister(3).getVariable("_root").op(0x66).op(Script::kTrace);  // r3 === _root
  body.op(Script::kReturn);
  Script s;
  s.push("o").push("x").push(5).push(1).op(Script::kInitObject).op(Script::kSetVariable);
  s.getVariable("o").push("f");
  s.function2("", {{4, "a"}, {5, "b"}}, kPreloadThis | kPreloadArguments | kPreloadRoot, 6, body);
  s.op(Script::kSetMember);
  s.push(2).push(1).push(2).getVariable("o").push("f").op(Script::kCallMethod).op(Script::kTrace);
  // Registers are the function's own: a call leaves the caller's alone.
  s.push(7).storeRegister(1).op(Script::kPop);
  s.push(0).push(0).push(2).getVariable("o").push("f").op(Script::kCallMethod).op(Script::kPop);
  s.pushRegister(1).op(Script::kTrace);
  EXPECT_EQ((Lines{"true", "10", "true", "7"}), traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, TryCatchFinallyAndUncaughtThrows) {
  Script body, handler, finally;
  body.trace("try").push("boom").op(Script::kThrow).trace("not reached");
  handler.push("caught ").getVariable("e").op(Script::kAdd2).op(Script::kTrace);
  finally.trace("finally");
  Script s;
  s.tryCatch(body, "e", handler, &finally);
  s.trace("after");
  s.push("loose").op(Script::kThrow);
  s.trace("not reached either");
  EXPECT_EQ((Lines{"try", "caught boom", "finally", "after", "Warning: Uncaught exception, loose"}),
            traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, PrototypesConstructorsAndInstanceof) {
  // function Animal(name) { this.name = name; }  Animal.prototype.speak = function () { return this.name + "!"; }
  Script ctor;
  ctor.getVariable("this").push("name").getVariable("name").op(Script::kSetMember);
  Script speak;
  speak.getVariable("this").push("name").op(Script::kGetMember).push("!").op(Script::kAdd2).op(Script::kReturn);
  Script s;
  s.function("Animal", {"name"}, ctor);
  s.getVariable("Animal").push("prototype").op(Script::kGetMember).push("speak").function("", {}, speak).op(Script::kSetMember);
  s.push("a").push("Rex").push(1).push("Animal").op(Script::kNewObject).op(Script::kDefineLocal);
  s.push(0).getVariable("a").push("speak").op(Script::kCallMethod).op(Script::kTrace);
  s.getVariable("a").getVariable("Animal").op(0x54).op(Script::kTrace);  // instanceof
  s.getVariable("a").getVariable("Array").op(0x54).op(Script::kTrace);
  EXPECT_EQ((Lines{"Rex!", "true", "false"}), traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, ArraysSortAndJoin) {
  Script s;
  s.push("a").push(3).push(10).push(2).push(3).op(Script::kInitArray).op(Script::kDefineLocal);
  s.push(0).getVariable("a").push("sort").op(Script::kCallMethod).op(Script::kTrace);  // as text: 10,2,3
  s.push(16).push(1).getVariable("a").push("sort").op(Script::kCallMethod).op(Script::kTrace);  // numeric
  s.push("-").push(1).getVariable("a").push("join").op(Script::kCallMethod).op(Script::kTrace);
  s.getVariable("a").push("length").push(1).op(Script::kSetMember);
  s.getVariable("a").op(Script::kTrace);
  EXPECT_EQ((Lines{"10,2,3", "2,3,10", "2-3-10", "2"}), traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, GettersWatchersAndPathsFollowTheReferencePlayer) {
  Script s;
  // a = [1, 2, 3]; a.addProperty("2", function () { return 10; }, null);
  // trace(a[2]) reads the getter; a.pop() still takes the element.
  s.push("a").push(3).push(2).push(1).push(3).op(Script::kInitArray).op(Script::kDefineLocal);
  Script ten;
  ten.push(10).op(Script::kReturn);
  s.pushNull().function("", {}, ten).push("2").push(3).getVariable("a").push("addProperty").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("a").push(2).op(Script::kGetMember).op(Script::kTrace);
  s.push(0).getVariable("a").push("pop").op(Script::kCallMethod).op(Script::kTrace);
  // A watcher's old value comes from the prototype: p = {v: "old"};
  // o = {}; o.__proto__ = p; o.watch("v", function (n, was, now) { trace(was); return now; }); o.v = "new"
  Script watcher;
  watcher.getVariable("was").op(Script::kTrace).getVariable("now").op(Script::kReturn);
  s.push("p").push("v").push("old").push(1).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  s.getVariable("o").push("__proto__").getVariable("p").op(Script::kSetMember);
  s.function("", {"n", "was", "now"}, watcher).push("v").push(2).getVariable("o").push("watch").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("o").push("v").push("new").op(Script::kSetMember);
  // In a function, var with a path names a local; outside, what the path names.
  Script f;
  f.push("/:inside").push(1).op(Script::kDefineLocal);
  s.function("f", {}, f);
  s.push(0).push("f").op(Script::kCallFunction).op(Script::kPop);
  s.push("/:outside").push(2).op(Script::kDefineLocal);
  s.getVariable("inside").op(Script::kTrace).getVariable("outside").op(Script::kTrace);
  // A function found among another's locals is called on those locals:
  // function h() { var x = 5; var g = function () { trace(this.x); }; g(); }
  Script g, h;
  g.getVariable("this").push("x").op(Script::kGetMember).op(Script::kTrace);
  h.push("x").push(5).op(Script::kDefineLocal).push("g").function("", {}, g).op(Script::kDefineLocal);
  h.push(0).push("g").op(Script::kCallFunction).op(Script::kPop);
  s.function("h", {}, h).push(0).push("h").op(Script::kCallFunction).op(Script::kPop);
  // delete "q:c.f" deletes q.c.f; a primitive on the way gets the reference's warning.
  s.push("q").push("c").push("f").push(1).push(1).op(Script::kInitObject).push(1).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("q:c.f").op(0x3B).op(Script::kTrace);
  s.getVariable("q").push("t").push(2).op(Script::kSetMember);
  s.push("q.t.y").op(0x3B).op(Script::kTrace);
  EXPECT_EQ((Lines{"10", "3", "old", "undefined", "2", "5", "true",
                   "Parameters of primitive types are no longer coerced into the required type - Object.", "false"}),
            traces(scriptMovie(s)));
}

TEST(Avm1Interpreter, DatesAddAsTextFromSwf6AndSwf4ReadsObjectsByValueOf) {
  // d = new Date(); d.toString = function () { return "T"; }; d.valueOf = function () { return 1; }; trace(d + "")
  Script text, one;
  text.push("T").op(Script::kReturn);
  one.push(1).op(Script::kReturn);
  Script s;
  s.push("d").push(0).push("Date").op(Script::kNewObject).op(Script::kDefineLocal);
  s.getVariable("d").push("toString").function("", {}, text).op(Script::kSetMember);
  s.getVariable("d").push("valueOf").function("", {}, one).op(Script::kSetMember);
  s.getVariable("d").push("").op(Script::kAdd2).op(Script::kTrace);
  EXPECT_EQ((Lines{"T"}), traces(scriptMovie(s, 6)));
  EXPECT_EQ((Lines{"1"}), traces(scriptMovie(s, 5)));
  // SWF 4: o = {valueOf: ...}; trace(o == 1)
  Script old;
  old.push("o").push("valueOf").function("", {}, one).push(1).op(Script::kInitObject).op(Script::kSetVariable);
  old.getVariable("o").push(1).op(0x0E).op(Script::kTrace);
  EXPECT_EQ((Lines{"1"}), traces(scriptMovie(old, 4)));
}

TEST(Avm1Interpreter, DatesUseTheClocksLocalTime) {
  Script s;
  s.push("d").push(0).push("Date").op(Script::kNewObject).op(Script::kDefineLocal);
  for (const char* f : {"getHours", "getMinutes", "getTimezoneOffset", "getUTCHours"})
    s.push(0).getVariable("d").push(f).op(Script::kCallMethod).op(Script::kTrace);
  s.getVariable("d").op(Script::kTrace);
  // The reference suite's clock: 04:05 local time at UTC+5:45.
  EXPECT_EQ((Lines{"4", "5", "-345", "22", "Sat Feb 3 04:05:06 GMT+0545 2001"}), traces(scriptMovie(s)));

  // Another time zone: the same moment is 06:20 at UTC+8.
  class ChinaClock : public player::Clock {
   public:
    double utcMillis() override { return 981152406000.0; }
    double localOffsetMinutes(double) override { return 480; }
    double elapsedMillis() override { return 0; }
  };
  player::PlayerServices options;
  options.clock = std::make_unique<ChinaClock>();
  auto run = start(scriptMovie(s), std::move(options));
  run->player->advanceFrame();
  ASSERT_EQ(5u, run->lines.size());
  EXPECT_EQ("6", run->lines[0]);
  EXPECT_EQ("-480", run->lines[2]);
}

TEST(Avm1Interpreter, DateArithmeticRollsOverAndKnowsTheWeekday) {
  Script s;
  // object.method(args...) with the result left on the stack.
  auto call = [&s](const char* object, const char* method, std::vector<double> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) s.push(*it);
    s.push(static_cast<int>(args.size())).getVariable(object).push(method).op(Script::kCallMethod);
  };
  auto make = [&s](const char* name, std::vector<double> args) {
    s.push(name);
    for (auto it = args.rbegin(); it != args.rend(); ++it) s.push(*it);
    s.push(static_cast<int>(args.size())).push("Date").op(Script::kNewObject).op(Script::kSetVariable);
  };
  make("d", {2001, 0, 31});
  call("d", "setMonth", {1});  // 31 February is 3 March
  s.op(Script::kPop);
  call("d", "getMonth", {});
  s.push("/").op(Script::kAdd2);
  call("d", "getDate", {});
  s.op(Script::kAdd2).op(Script::kTrace);
  call("Date", "UTC", {2000, 0, 1});
  s.op(Script::kTrace);
  make("e", {2000, 0, 1});  // local midnight, 5:45 ahead of UTC
  call("e", "getTime", {});
  s.op(Script::kTrace);
  call("e", "setHours", {25});
  s.op(Script::kPop);
  call("e", "getDate", {});
  s.push(" ").op(Script::kAdd2);
  call("e", "getHours", {});
  s.op(Script::kAdd2).op(Script::kTrace);
  make("f", {2001, 1, 3});
  call("f", "getDay", {});
  s.op(Script::kTrace);
  s.push("NaN").op(Script::kGetVariable);
  s.push(1).getVariable("f").push("setDate").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("f").op(Script::kTrace);
  EXPECT_EQ((Lines{"2/3", "946684800000", "946664100000", "2 1", "6", "Invalid Date"}), traces(scriptMovie(s)));
}

// ------------------------------------------------------------ timelines

TEST(Avm1Timeline, FrameScriptsRunNewestClipFirstAndNewClipsAtOnce) {
  // A sprite of two frames tracing each, placed on the root's first frame.
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.action(Script().trace("child 1").bytes());
  child.showFrame();
  child.action(Script().trace("child 2").op(Script::kStop).bytes());
  child.showFrame();
  m.defineSprite(1, child, 2);
  m.root().action(Script().trace("root 1").bytes());
  m.root().place(1, 1);
  m.root().showFrame();
  m.root().action(Script().trace("root 2").op(Script::kStop).bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"root 1", "child 1", "child 2", "root 2"}), traces(m.finish(false), 2));
}

TEST(Avm1Timeline, InitActionsRunBeforeTheFramesScripts) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.action(Script().trace("child frame").bytes());
  child.showFrame();
  m.defineSprite(1, child, 1);
  m.root().action(Script().trace("root frame").bytes());
  m.root().place(1, 1);
  m.root().initAction(1, Script().trace("init").bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"init", "root frame", "child frame"}), traces(m.finish(false)));
}

TEST(Avm1Timeline, ClipEventsLoadEnterFrameAndUnloadInOrder) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.showFrame();
  m.defineSprite(1, child, 1);
  m.root().placeWithEvents(1, 1, "clip",
                           {{player::kEventLoad, Script().trace("load").bytes()},
                            {player::kEventEnterFrame, Script().trace("enterFrame").bytes()},
                            {player::kEventUnload, Script().trace("unload").bytes()}});
  m.root().showFrame();
  m.root().showFrame();
  m.root().remove(1);
  m.root().action(Script().op(Script::kStop).bytes());
  m.root().showFrame();
  // The third frame's enterFrame was queued before the root removed the clip:
  // a removed clip hears no more of it.
  EXPECT_EQ((Lines{"load", "enterFrame", "unload"}), traces(m.finish(false), 4));
}

TEST(Avm1Timeline, GotoDuringAScriptMovesAtOnceAndQueuesTheTargetsScripts) {
  MovieBuilder m(10, 10, 12, 8);
  m.root().action(Script().trace("frame 1").push(3).gotoFrame2(false).trace("after goto").bytes());
  m.root().showFrame();
  m.root().action(Script().trace("frame 2").bytes());
  m.root().showFrame();
  m.root().action(Script().trace("frame 3").bytes());
  m.root().showFrame();
  auto run = start(m.finish(false));
  run->player->advanceFrame();
  EXPECT_EQ((Lines{"frame 1", "after goto", "frame 3"}), run->lines);
  EXPECT_EQ(3, run->player->currentFrame());
}

TEST(Avm1Timeline, GotoPastTheEndStopsAtTheLastFrameAndUnknownTargetsHaveNoProperties) {
  auto setTarget = [](Script& s, const char* path) { s.push(path).op(0x20); };  // SetTarget2
  MovieBuilder m(10, 10, 12, 8);
  Script s;
  // tellTarget("nowhere") { trace(_currentframe); }
  setTarget(s, "nowhere");
  s.push("").push(4).op(0x22).op(Script::kTrace);
  setTarget(s, "");
  // gotoAndStop(99): the last frame, whose script does not run.
  s.push(99).gotoFrame2(false);
  s.push("").push(4).op(0x22).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  m.root().action(Script().trace("last frame's script").bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"undefined", "2"}), traces(m.finish(false), 2));
}

TEST(Avm1Timeline, ARewindClearsScriptClipsFromTimelineDepthsAndClipsAtOnePathAreEqual) {
  MovieBuilder m(10, 10, 12, 8);
  m.root().action(Script().trace("frame 1").bytes());
  m.root().showFrame();
  Script s;
  auto create = [&s](const char* name, int depth) {
    s.push(depth).push(name).push(2).getVariable("this").push("createEmptyMovieClip").op(Script::kCallMethod);
  };
  create("a", -100);
  s.op(Script::kPop);
  // Two clips named b: values for either stand for "_level0.b".
  create("b", 5);
  create("b", 6);
  s.op(0x66).op(Script::kTrace);  // StrictEquals
  s.push(1).gotoFrame2(false);
  s.getVariable("a").op(Script::kTypeOf).op(Script::kTrace);
  s.getVariable("b").op(Script::kTypeOf).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"frame 1", "true", "undefined", "movieclip", "frame 1"}), traces(m.finish(false), 2));
}

TEST(Avm1Timeline, RemoveObjectRemovesAClipAScriptSwappedIntoItsDepth) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.showFrame();
  m.defineSprite(1, child, 1);
  m.root().place(1, 1, swftest::Matrix(), 0, "first");
  m.root().place(2, 1, swftest::Matrix(), 0, "second");
  // second.swapDepths(first): second now sits at depth 1.
  Script s;
  s.getVariable("first").push(1).getVariable("second").push("swapDepths").op(Script::kCallMethod).op(Script::kPop);
  m.root().action(s.bytes());
  m.root().showFrame();
  m.root().remove(1);
  Script after;
  after.getVariable("first").op(Script::kTypeOf).op(Script::kTrace);
  after.getVariable("second").op(Script::kTypeOf).op(Script::kTrace);
  after.op(Script::kStop);
  m.root().action(after.bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"movieclip", "undefined"}), traces(m.finish(false), 2));
}

TEST(Avm1Timeline, ASpriteWithTagsAfterItsLastShowFrameRunsThemOnceAndStops) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.action(Script().trace("one").bytes());
  child.showFrame();
  child.action(Script().trace("two").bytes());  // no ShowFrame follows
  m.defineSprite(1, child, 1);
  m.root().place(1, 1);
  m.root().showFrame();
  EXPECT_EQ((Lines{"one", "two"}), traces(m.finish(false), 4));
}

TEST(Avm1Timeline, TheRootsLoadComesAfterItsFirstFramesScripts) {
  // _root.onLoad = function () { trace("loaded"); }
  Script body;
  body.trace("loaded");
  Script s;
  s.getVariable("_root").push("onLoad").function("", {}, body).op(Script::kSetMember);
  s.trace("frame 1");
  EXPECT_EQ((Lines{"frame 1", "loaded"}), traces(scriptMovie(s), 2));
}

TEST(Avm1Timeline, AnExportIsKnownOnceTheRootReachesItsFrameAndStaysKnown) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.showFrame();
  m.defineSprite(1, child, 1);
  // Each frame: trace(attachMovie("late", "c" + depth, depth)).
  auto attach = [](int depth) {
    Script s;
    s.push(depth).push("c" + std::to_string(depth)).push("late").push(3).push("attachMovie").op(Script::kCallFunction).op(Script::kTrace);
    return s.bytes();
  };
  m.root().action(attach(1));
  m.root().showFrame();
  m.exportAs(1, "late");
  m.root().action(attach(2));
  m.root().showFrame();
  m.root().action(attach(3));
  m.root().showFrame();
  // The fourth frame is the first again, which now knows the name.
  EXPECT_EQ((Lines{"undefined", "_level0.c2", "_level0.c3", "_level0.c1"}), traces(m.finish(false), 4));
}

TEST(Avm1Timeline, ScriptsMakeDuplicateAndRemoveClips) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.showFrame();
  m.defineSprite(1, child, 1);
  m.exportAs(1, "box");
  Script s;
  s.push("a").push(5).push("a").push("box").push(3).getVariable("this").push("attachMovie").op(Script::kCallMethod).op(Script::kDefineLocal);
  s.getVariable("a").op(Script::kTrace);
  s.push(6).push("b").push(2).getVariable("a").push("duplicateMovieClip").op(Script::kCallMethod).op(Script::kTrace);
  s.push(0).getVariable("a").push("getDepth").op(Script::kCallMethod).op(Script::kTrace);
  s.push(0).getVariable("this").push("getNextHighestDepth").op(Script::kCallMethod).op(Script::kTrace);
  s.push(0).getVariable("a").push("removeMovieClip").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("a").op(Script::kTypeOf).op(Script::kTrace);
  s.getVariable("b").push("_name").op(Script::kGetMember).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"_level0.a", "_level0.b", "5", "7", "movieclip", "b"}), traces(m.finish(false)));
}

TEST(Avm1Timeline, DrawingMethodsMakeShapesTheRendererDraws) {
  Script s;
  // beginFill(0xFF0000); moveTo(10,10); lineTo(90,10); lineTo(90,90); lineTo(10,90); endFill()
  s.push(0xFF0000).push(1).getVariable("this").push("beginFill").op(Script::kCallMethod).op(Script::kPop);
  const int points[5][2] = {{10, 10}, {90, 10}, {90, 90}, {10, 90}, {10, 10}};
  for (int i = 0; i < 5; ++i)
    s.push(points[i][1]).push(points[i][0]).push(2).getVariable("this").push(i ? "lineTo" : "moveTo").op(Script::kCallMethod).op(Script::kPop);
  s.push(0).getVariable("this").push("endFill").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("this").push("_width").op(Script::kGetMember).op(Script::kTrace);
  auto run = start(scriptMovie(s));
  run->player->advanceFrame();
  EXPECT_EQ(Lines{"80"}, run->lines);
  std::vector<uint32_t> pixels(100 * 100);
  run->player->render(pixels.data(), 100, 100, 400, true);
  EXPECT_EQ(0xFFFF0000u, pixels[50 * 100 + 50]);  // inside: red
  EXPECT_EQ(0xFFFFFFFFu, pixels[5 * 100 + 5]);    // outside: the white background
}

// ------------------------------------------------------------ limits

TEST(Avm1Limits, AnEndlessLoopIsStoppedAndTheTimelinePlaysOn) {
  MovieBuilder m(10, 10, 12, 8);
  m.root().action(Script().trace("start").label("top").jump("top").bytes());
  m.root().showFrame();
  m.root().action(Script().trace("never: scripts are off").bytes());
  m.root().showFrame();
  m.root().showFrame();
  Bytes movie = m.finish(false);
  auto run = start(movie);
  run->player->stage().machine()->limits().stepsPerFrame = 100000;
  for (int i = 0; i < 3; ++i) run->player->advanceFrame();
  EXPECT_EQ(Lines{"start"}, run->lines);
  EXPECT_STREQ("too many actions in one frame", run->player->stage().machine()->stopReason());
  EXPECT_EQ(3, run->player->currentFrame());
}

TEST(Avm1Limits, WallTimeIsBoundedToo) {
  Script s;
  s.label("top").push(1).push(2).op(Script::kAdd2).op(Script::kPop).jump("top");
  auto run = start(scriptMovie(s));
  run->player->stage().machine()->limits().secondsPerFrame = 0.05;
  auto t0 = std::chrono::steady_clock::now();
  run->player->advanceFrame();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(seconds, 1.0);
  EXPECT_STREQ("a script ran too long", run->player->stage().machine()->stopReason());
}

TEST(Avm1Limits, EndlessRecursionStopsAtTheCallDepth) {
  Script body;
  body.push(0).push("f").op(Script::kCallFunction).op(Script::kReturn);
  Script s;
  s.function("f", {}, body).push(0).push("f").op(Script::kCallFunction).op(Script::kPop).trace("not reached");
  auto run = start(scriptMovie(s));
  run->player->advanceFrame();
  EXPECT_TRUE(run->lines.empty());
  EXPECT_STREQ("too much recursion", run->player->stage().machine()->stopReason());
}

TEST(Avm1Limits, AFrameThatCallsItselfStopsAtTheCallDepth) {
  // Frame 1: trace("in"); call(1). Each call runs the frame's actions at
  // once, so it nests like a function call and must stop the same way.
  MovieBuilder m(10, 10, 12, 8);
  m.root().action(Script().trace("in").push(1).callFrame().bytes());
  m.root().showFrame();
  m.root().action(Script().trace("never: scripts are off").bytes());
  m.root().showFrame();
  auto run = start(m.finish(false));
  run->player->stage().machine()->limits().callDepth = 50;
  run->player->advanceFrame();
  run->player->advanceFrame();
  EXPECT_STREQ("too much recursion", run->player->stage().machine()->stopReason());
  EXPECT_EQ(Lines(51, "in"), run->lines);  // the frame's own run and 50 nested ones
  EXPECT_EQ(2, run->player->currentFrame());
}

TEST(Avm1Limits, RunawayAllocationAndTextAreStopped) {
  // a = []; while (true) a.push({});
  Script grow;
  grow.push("a").push(0).op(Script::kInitArray).op(Script::kDefineLocal).label("top");
  grow.push(0).op(Script::kInitObject).push(1).getVariable("a").push("push").op(Script::kCallMethod).op(Script::kPop).jump("top");
  auto run = start(scriptMovie(grow));
  run->player->stage().machine()->limits().heapCells = 20000;
  run->player->stage().machine()->heap().setMaxCells(30000);
  run->player->advanceFrame();
  ASSERT_NE(nullptr, run->player->stage().machine()->stopReason());
  EXPECT_STREQ("the script's heap is full", run->player->stage().machine()->stopReason());

  // s = "x"; while (true) s = s + s;
  Script text;
  text.push("s").push("x").op(Script::kDefineLocal).label("top");
  text.push("s").getVariable("s").getVariable("s").op(Script::kAdd2).op(Script::kSetVariable).jump("top");
  auto run2 = start(scriptMovie(text));
  run2->player->advanceFrame();
  EXPECT_STREQ("a text grew too long", run2->player->stage().machine()->stopReason());
}

// ------------------------------------------------------------ entry points

TEST(Avm1Stage, VariablesByPathForBoundText) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline child;
  child.showFrame();
  m.defineSprite(1, child, 1);
  m.root().place(1, 1, swftest::Matrix(), 0, "panel");
  m.root().action(Script().push("score").push(42).op(Script::kSetVariable).bytes());
  m.root().showFrame();
  auto run = start(m.finish(false));
  run->player->advanceFrame();
  player::Stage& stage = run->player->stage();
  player::SpriteInstance& root = stage.root();
  player::SpriteInstance& panel = *root.children().begin()->second.sprite;
  std::string text;
  ASSERT_TRUE(stage.getVariableText(root, "score", &text));
  EXPECT_EQ("42", text);
  ASSERT_TRUE(stage.getVariableText(panel, "_parent.score", &text));
  EXPECT_EQ("42", text);
  stage.setVariableText(root, "_root.panel.label", "hello");
  ASSERT_TRUE(stage.getVariableText(root, "/panel:label", &text));
  EXPECT_EQ("hello", text);
  ASSERT_TRUE(stage.getVariableText(panel, "label", &text));
  EXPECT_EQ("hello", text);
  EXPECT_FALSE(stage.getVariableText(root, "nothing", &text));
}

TEST(Avm1Stage, KeysAndMouseReachScripts) {
  // Key.addListener({onKeyDown: function () { trace(Key.getCode() + " " + Key.isDown(65)); }})
  Script onKey;
  onKey.push(0).getVariable("Key").push("getCode").op(Script::kCallMethod).push(" ").op(Script::kAdd2);
  onKey.push(65).push(1).getVariable("Key").push("isDown").op(Script::kCallMethod).op(Script::kAdd2).op(Script::kTrace);
  Script s;
  s.push("onKeyDown").function("", {}, onKey).push(1).op(Script::kInitObject);
  s.push(1).getVariable("Key").push("addListener").op(Script::kCallMethod).op(Script::kPop);
  Script onMouse;
  onMouse.getVariable("this").push("_xmouse").op(Script::kGetMember).op(Script::kTrace);
  s.getVariable("this").push("onMouseDown").function("", {}, onMouse).op(Script::kSetMember);
  auto run = start(scriptMovie(s));
  run->player->advanceFrame();
  player::Stage& stage = run->player->stage();
  stage.key(true, 65, 'a');
  stage.mouseMove(30, 40);
  stage.mouseButton(true);
  EXPECT_EQ((Lines{"65 true", "30"}), run->lines);
}

TEST(Avm1Stage, SoundObjectsPlayThroughTheMixer) {
  sound::Mixer mixer(nullptr);
  MovieBuilder m(10, 10, 12, 8);
  // One second of 8-bit mono 5.5 kHz samples a quarter of full scale up.
  m.defineSound(1, 0, 0, false, false, 5512, Bytes(5512, 0xA0));
  m.exportAs(1, "beep");
  // Frame 1: s = new Sound(); s.attachSound("beep"); s.start(0, 3).
  Script s;
  s.push("s").push(0).push("Sound").op(Script::kNewObject).op(Script::kSetVariable);
  s.push("beep").push(1).getVariable("s").push("attachSound").op(Script::kCallMethod).op(Script::kPop);
  s.push(3).push(0).push(2).getVariable("s").push("start").op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("s").push("duration").op(Script::kGetMember).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  // Frame 2: trace(s.position); s.setVolume(40).
  Script louder;
  louder.getVariable("s").push("position").op(Script::kGetMember).op(Script::kTrace);
  louder.push(40).push(1).getVariable("s").push("setVolume").op(Script::kCallMethod).op(Script::kPop);
  m.root().action(louder.bytes());
  m.root().showFrame();
  // Frame 3: stopAllSounds(); stop().
  Script quiet;
  quiet.push(0).push("stopAllSounds").op(Script::kCallFunction).op(Script::kPop).op(Script::kStop);
  m.root().action(quiet.bytes());
  m.root().showFrame();
  player::PlayerServices options;
  options.mixer = &mixer;
  auto run = start(m.finish(false), std::move(options));
  std::vector<int16_t> out(2 * 4410);
  run->player->advanceFrame();
  mixer.mix(out.data(), 4410);  // a tenth of a second
  EXPECT_EQ(32 * 256, out[100]);
  run->player->advanceFrame();
  mixer.mix(out.data(), 4410);
  EXPECT_NEAR(32 * 256 * 0.4, out[101], 1);
  EXPECT_FALSE(mixer.idle());
  run->player->advanceFrame();
  EXPECT_TRUE(mixer.idle());
  EXPECT_EQ((Lines{"1000", "100"}), run->lines);
}

TEST(Avm1Stage, EachClipsSoundObjectsSetTheVolumeOfThatClipsSounds) {
  sound::Mixer mixer(nullptr);
  MovieBuilder m(10, 10, 12, 8);
  m.defineSound(1, 0, 0, false, false, 5512, Bytes(5512, 0xA0));  // a quarter of full scale
  m.exportAs(1, "beep");
  swftest::Timeline empty;
  empty.showFrame();
  m.defineSprite(2, empty, 1);
  m.root().place(1, 2, swftest::Matrix(), 0, "a");
  m.root().place(2, 2, swftest::Matrix(), 0, "b");
  // sa = new Sound(a); sa.attachSound("beep"); sa.start(); the same for b;
  // then sa.setVolume(50).
  Script s;
  for (const char* clip : {"a", "b"}) {
    std::string name = std::string("s") + clip;
    s.push(name).getVariable(clip).push(1).push("Sound").op(Script::kNewObject).op(Script::kSetVariable);
    s.push("beep").push(1).getVariable(name).push("attachSound").op(Script::kCallMethod).op(Script::kPop);
    s.push(0).getVariable(name).push("start").op(Script::kCallMethod).op(Script::kPop);
  }
  s.push(50).push(1).getVariable("sa").push("setVolume").op(Script::kCallMethod).op(Script::kPop);
  m.root().action(s.bytes());
  m.root().showFrame();
  // Frame 2: sb.stop(); new Sound().setVolume(50) quietens everything.
  Script later;
  later.push(0).getVariable("sb").push("stop").op(Script::kCallMethod).op(Script::kPop);
  later.push(50).push(1).push(0).push("Sound").op(Script::kNewObject).push("setVolume").op(Script::kCallMethod);
  later.op(Script::kPop).op(Script::kStop);
  m.root().action(later.bytes());
  m.root().showFrame();
  player::PlayerServices options;
  options.mixer = &mixer;
  auto run = start(m.finish(false), std::move(options));
  std::vector<int16_t> out(2 * 441);
  run->player->advanceFrame();
  mixer.mix(out.data(), 441);
  EXPECT_EQ(8192 / 2 + 8192, out[100]);
  run->player->advanceFrame();
  mixer.mix(out.data(), 441);
  EXPECT_EQ(8192 / 4, out[100]);  // a's half, halved again
}

TEST(Avm1Stage, SoundObjectsFindTheirClipByItsPathAndReadPanAsTheReferenceDoes) {
  MovieBuilder m(10, 10, 12, 8);
  swftest::Timeline empty;
  empty.showFrame();
  m.defineSprite(2, empty, 1);
  m.root().place(1, 2, swftest::Matrix(), 0, "a");
  Script s;
  auto call = [&s](const char* object, const char* method, std::vector<double> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) s.push(*it);
    s.push(static_cast<int>(args.size())).getVariable(object).push(method).op(Script::kCallMethod);
  };
  // s1 = new Sound(a); renamed, a is not there for it; named back, it is.
  s.push("s1").getVariable("a").push(1).push("Sound").op(Script::kNewObject).op(Script::kSetVariable);
  s.getVariable("a").push("_name").push("renamed").op(Script::kSetMember);
  call("s1", "setVolume", {30});
  s.op(Script::kPop);
  call("s1", "getVolume", {});
  s.op(Script::kTrace);
  s.getVariable("renamed").push("_name").push("a").op(Script::kSetMember);
  call("s1", "getVolume", {});
  s.op(Script::kTrace);
  // s2 = new Sound(): no volume given is 0; pan is read off the left channel
  // unless that is full, by magnitude.
  s.push("s2").push(0).push("Sound").op(Script::kNewObject).op(Script::kSetVariable);
  for (auto step : std::vector<std::pair<const char*, std::vector<double>>>{
           {"setVolume", {}}, {"setPan", {200}}, {"setPan", {-3e9}}}) {
    call("s2", step.first, step.second);
    s.op(Script::kPop);
    call("s2", step.first[3] == 'V' ? "getVolume" : "getPan", {});
    s.op(Script::kTrace);
  }
  // setTransform({ll: NaN}): NaN is 0, so pan reads 100.
  s.push("ll").push(std::nan("")).push(1).op(Script::kInitObject);
  s.push(1).getVariable("s2").push("setTransform").op(Script::kCallMethod).op(Script::kPop);
  call("s2", "getPan", {});
  s.op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"undefined", "100", "0", "0", "2147483448", "100"}), traces(m.finish(false)));
}

TEST(Avm1Stage, SetMaskShowsAClipOnlyThroughAnother) {
  constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
  MovieBuilder m(100, 100, 12, 8);
  m.background(0xFFFFFF);
  m.defineRect(1, kRed, 0, 0, 100, 100);
  m.defineRect(2, kBlue, 0, 0, 50, 100);
  for (uint16_t id : {1, 2}) {
    swftest::Timeline t;
    t.place(1, id);
    t.showFrame();
    m.defineSprite(static_cast<uint16_t>(id + 10), t, 1);
  }
  m.root().place(1, 11, swftest::Matrix(), 0, "shown");
  m.root().place(2, 12, swftest::Matrix(), 0, "mask");
  // shown.setMask(mask); then, on a second frame, shown.setMask(null).
  Script s;
  s.getVariable("mask").push(1).getVariable("shown").push("setMask").op(Script::kCallMethod).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  Script off;
  off.pushNull().push(1).getVariable("shown").push("setMask").op(Script::kCallMethod).op(Script::kPop);
  off.op(Script::kStop);
  m.root().action(off.bytes());
  m.root().showFrame();
  swftest::TestPlayer p(m.finish(false));
  ASSERT_TRUE(p.loaded());
  p->advanceFrame();
  swftest::Picture masked = p.draw();
  EXPECT_EQ(kRed, masked.at(25, 50));    // inside the mask: the clip, not the mask's blue
  EXPECT_EQ(kWhite, masked.at(75, 50));  // outside: nothing
  p->advanceFrame();
  swftest::Picture plain = p.draw();
  EXPECT_EQ(kBlue, plain.at(25, 50));  // the mask is a clip like others again
  EXPECT_EQ(kRed, plain.at(75, 50));
}

// A text field as the mask: the clip shows through its glyphs, all of them
// (a mask's text is not cut at the field's bounds), and the field's own
// colour is not drawn.
TEST(Avm1Stage, SetMaskWithATextFieldShowsTheClipThroughItsGlyphs) {
  constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF;
  MovieBuilder m(100, 100, 12, 8);
  m.background(0xFFFFFF);
  m.defineRect(1, kRed, 0, 0, 100, 100);
  swftest::Timeline t;
  t.place(1, 1);
  t.showFrame();
  m.defineSprite(11, t, 1);
  swftest::defineBoxFont(m, 2);
  swftest::EditTextSpec e;
  e.xMax = 400;  // 20 px: B lies beyond the bounds
  e.yMax = 1400;
  e.fontId = 2;
  e.height = 1024;
  e.useOutlines = true;
  e.argb = 0xFF0000FF;
  e.text = "AB";
  m.defineEditText(3, e);
  m.root().place(1, 11, swftest::Matrix(), 0, "shown");
  m.root().place(2, 3, swftest::Matrix(), 0, "f");
  Script s;  // shown.setMask(f)
  s.getVariable("f").push(1).getVariable("shown").push("setMask").op(Script::kCallMethod).op(Script::kTrace);
  m.root().action(s.bytes());
  m.root().showFrame();
  swftest::TestPlayer p(m.finish(false));
  ASSERT_TRUE(p.loaded());
  p->advanceFrame();
  swftest::Picture masked = p.draw();
  EXPECT_EQ(kRed, masked.at(15, 20));    // A
  EXPECT_EQ(kRed, masked.at(40, 35));    // B, past the field's right edge
  EXPECT_EQ(kWhite, masked.at(40, 20));  // between the glyphs
  EXPECT_EQ(kWhite, masked.at(80, 80));
}

TEST(Avm1Stage, TextFieldsDrawTheColoursScriptsGiveThem) {
  MovieBuilder m(100, 100, 12, 8);
  m.background(0xFFFFFF);
  // createTextField("t", 1, 10, 10, 60, 20), then its ground, frame and text.
  Script s;
  s.push(20).push(60).push(10).push(10).push(1).push("t").push(6).getVariable("_root");
  s.push("createTextField").op(Script::kCallMethod).op(Script::kPop);
  auto set = [&s](const char* name, Value v) {
    s.getVariable("t").push(name);
    if (v.isBoolean()) {
      s.push(v.boolean());
    } else {
      s.push(v.number());
    }
    s.op(Script::kSetMember);
  };
  set("background", Value(true));
  set("backgroundColor", Value(0xFF0000));
  set("border", Value(true));
  set("borderColor", Value(0x0000FF));
  s.getVariable("t").push("text").push("Hi").op(Script::kSetMember);
  m.root().action(s.bytes());
  m.root().showFrame();
  swftest::TestPlayer p(m.finish(false));
  ASSERT_TRUE(p.loaded());
  p->advanceFrame();
  swftest::Picture picture = p.draw();
  EXPECT_EQ(0xFFFF0000u, picture.at(65, 25));  // the ground
  EXPECT_EQ(0xFF0000FFu, picture.at(10, 20));  // the frame's left side
  EXPECT_EQ(0xFFFFFFFFu, picture.at(80, 80));  // outside the field
}

TEST(Avm1Stage, Actionscript3MoviesPlayWithoutScripts) {
  MovieBuilder m(10, 10, 12, 9);
  swftest::Writer attributes;
  attributes.u32(0x08);  // ActionScript 3
  m.define(69, attributes.data());
  m.root().action(Script().trace("not run").bytes());
  m.root().showFrame();
  m.root().showFrame();
  auto run = start(m.finish(false));
  run->player->advanceFrame();
  run->player->advanceFrame();
  EXPECT_TRUE(run->lines.empty());
  EXPECT_EQ(nullptr, run->player->stage().machine());
  EXPECT_EQ(2, run->player->currentFrame());
}
