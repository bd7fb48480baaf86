// Getter/setter properties and watchers calling themselves, as the reference
// player limits them, and the edges of `super` inside methods.
#include <gtest/gtest.h>

#include <string>

#include "player/avm1/machine.h"
#include "player/core/player.h"
#include "script_run.h"
#include "swf_builder.h"

namespace {

using swftest::Lines;
using swftest::Script;
using swftest::scriptMovie;
using swftest::start;
using swftest::traces;

constexpr uint16_t kPreloadThis = 0x01, kPreloadSuper = 0x10;

// name = name + 1
void count(Script& s, const std::string& name) {
  s.push(name).getVariable(name).push(1).op(Script::kAdd2).op(Script::kSetVariable);
}

// target.addProperty(name, getter, setter); the setter may be left out.
void addProperty(Script& s, const std::string& target, const std::string& name, const Script& getter,
                 const Script* setter) {
  if (setter) s.function("", {"v"}, *setter);
  else s.pushNull();
  s.function("", {}, getter).push(name).push(3).getVariable(target).push("addProperty");
  s.op(Script::kCallMethod).op(Script::kPop);
}

void traceVariable(Script& s, const std::string& name) { s.getVariable(name).op(Script::kTrace); }

}  // namespace

TEST(Avm1Accessors, EachPropertyNestsItsOwnCallsSixtyFiveDeep) {
  // o.addProperty("p", function () { g++; return this.q; }, function (v) { s++; this.q = v + 1; })
  // and "q" the same way round, reading and setting "p": each of the two
  // runs 65 deep, so 130 calls nest in all.
  Script s;
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("g").push(0).op(Script::kDefineLocal).push("s").push(0).op(Script::kDefineLocal);
  for (const char* own : {"p", "q"}) {
    std::string other = own[0] == 'p' ? "q" : "p";
    Script getter, setter;
    count(getter, "g");
    getter.getVariable("this").push(other).op(Script::kGetMember).op(Script::kReturn);
    count(setter, "s");
    setter.getVariable("this").push(other).getVariable("v").push(1).op(Script::kAdd2).op(Script::kSetMember);
    addProperty(s, "o", own, getter, &setter);
  }
  s.getVariable("o").push("p").push(1).op(Script::kSetMember);
  traceVariable(s, "s");
  // Reading back: the innermost read is past the limit and gives what was
  // assigned to "p" last, which is the outermost assignment, 1.
  s.getVariable("o").push("p").op(Script::kGetMember).op(Script::kTrace);
  traceVariable(s, "g");
  EXPECT_EQ((Lines{"130", "1", "130"}), traces(scriptMovie(s, 7)));
}

TEST(Avm1Accessors, PastTheLimitAPropertyReadsAndStoresPlainly) {
  // o.p's setter assigns o.p again: 65 setter calls, the 66th assignment
  // is only stored; afterwards every finished setter stores its own value.
  // Its getter reads o.p and adds a mark: 65 getter calls, the innermost
  // read gives the stored value. Before SWF 7 none of them is re-entered.
  Script s;
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("s").push(0).op(Script::kDefineLocal).push("g").push(0).op(Script::kDefineLocal);
  Script getter, setter;
  count(getter, "g");
  getter.getVariable("this").push("p").op(Script::kGetMember).push("?").op(Script::kAdd2).op(Script::kReturn);
  count(setter, "s");
  setter.getVariable("this").push("p").getVariable("v").push("!").op(Script::kAdd2).op(Script::kSetMember);
  addProperty(s, "o", "p", getter, &setter);
  s.getVariable("o").push("p").push("a").op(Script::kSetMember);
  traceVariable(s, "s");
  s.getVariable("o").push("p").op(Script::kGetMember).op(Script::kTrace);
  traceVariable(s, "g");
  // Another object's property with the same getter counts on its own; with
  // no setter nothing was ever stored in it.
  s.push("r").push(0).op(Script::kInitObject).op(Script::kDefineLocal).push("g").push(0).op(Script::kSetVariable);
  addProperty(s, "r", "p", getter, nullptr);
  s.getVariable("r").push("p").op(Script::kGetMember).op(Script::kTrace);
  traceVariable(s, "g");
  std::string marks(65, '?');
  EXPECT_EQ((Lines{"65", "a" + marks, "65", "undefined" + marks, "65"}), traces(scriptMovie(s, 7)));
  EXPECT_EQ((Lines{"1", "a?", "1", "?", "1"}), traces(scriptMovie(s, 6)));
}

TEST(Avm1Accessors, WatchersOnGetterSetterPropertiesRunBeforeTheSetter) {
  // Each watcher is function (n, was, now) { trace(n + ":" + was + ">" + now); return now + "w"; }
  Script getter, setter, watcher;
  getter.push("got").op(Script::kReturn);
  setter.push("set ").getVariable("v").op(Script::kAdd2).op(Script::kTrace);
  watcher.getVariable("n").push(":").op(Script::kAdd2).getVariable("was").op(Script::kAdd2);
  watcher.push(">").op(Script::kAdd2).getVariable("now").op(Script::kAdd2).op(Script::kTrace);
  watcher.getVariable("now").push("w").op(Script::kAdd2).op(Script::kReturn);
  auto watch = [&watcher](Script& s, const std::string& target) {
    s.function("", {"n", "was", "now"}, watcher).push("p").push(2).getVariable(target).push("watch");
    s.op(Script::kCallMethod).op(Script::kPop);
  };
  Script s;
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("q").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  // o.addProperty("p", ...); o.watch("p", ...); o.p = "x"; o.p = "y"
  // The watcher sees the value last stored (none at first), the setter gets
  // what the watcher returned, and that value is stored too.
  addProperty(s, "o", "p", getter, &setter);
  watch(s, "o");
  s.getVariable("o").push("p").push("x").op(Script::kSetMember);
  s.getVariable("o").push("p").push("y").op(Script::kSetMember);
  s.getVariable("o").push("p").op(Script::kGetMember).op(Script::kTrace);
  // q.watch("p", ...); q.p = 1; q.addProperty("p", ...) runs the watcher as
  // if undefined were assigned and keeps its answer; unwatch then fails and
  // the watcher goes on seeing assignments.
  watch(s, "q");
  s.getVariable("q").push("p").push(1).op(Script::kSetMember);
  addProperty(s, "q", "p", getter, &setter);
  s.push("p").push(1).getVariable("q").push("unwatch").op(Script::kCallMethod).op(Script::kTrace);
  s.getVariable("q").push("p").push(2).op(Script::kSetMember);
  EXPECT_EQ((Lines{"p:undefined>x", "set xw", "p:xw>y", "set yw", "got",  //
                   "p:undefined>1", "p:1w>undefined", "false", "p:undefinedw>2", "set 2w"}),
            traces(scriptMovie(s, 7)));
}

TEST(Avm1Accessors, WatchersOnTwoPropertiesEachNestSixtyFiveDeep) {
  // o.watch("a", ...) sets o.b, o.watch("b", ...) sets o.a: 65 calls each.
  Script s;
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("calls").push(0).op(Script::kDefineLocal);
  for (const char* own : {"a", "b"}) {
    std::string other = own[0] == 'a' ? "b" : "a";
    Script watcher;
    count(watcher, "calls");
    watcher.getVariable("o").push(other).push(1).op(Script::kSetMember);
    watcher.getVariable("now").op(Script::kReturn);
    s.function("", {"n", "was", "now"}, watcher).push(own).push(2).getVariable("o").push("watch");
    s.op(Script::kCallMethod).op(Script::kPop);
  }
  s.getVariable("o").push("a").push(1).op(Script::kSetMember);
  traceVariable(s, "calls");
  EXPECT_EQ((Lines{"130"}), traces(scriptMovie(s, 7)));
}

TEST(Avm1Accessors, AGetterRemakingItsPropertyEndsAtTheCallDepth) {
  // function f() { delete o.p; o.addProperty("p", f, null); return o.p; }
  // Each read meets a new property, so no property's own limit applies:
  // the call depth stops the script instead.
  Script s;
  s.push("o").push(0).op(Script::kInitObject).op(Script::kDefineLocal);
  Script f;
  f.getVariable("o").push("p").op(0x3A).op(Script::kPop);  // delete o.p
  f.pushNull().getVariable("f").push("p").push(3).getVariable("o").push("addProperty");
  f.op(Script::kCallMethod).op(Script::kPop);
  f.getVariable("o").push("p").op(Script::kGetMember).op(Script::kReturn);
  s.function("f", {}, f);
  s.pushNull().getVariable("f").push("p").push(3).getVariable("o").push("addProperty");
  s.op(Script::kCallMethod).op(Script::kPop);
  s.getVariable("o").push("p").op(Script::kGetMember).op(Script::kTrace);
  auto run = start(scriptMovie(s, 7));
  run->player->advanceFrame();
  EXPECT_TRUE(run->lines.empty());
  EXPECT_STREQ("too much recursion", run->player->stage().machine()->stopReason());
}

TEST(Avm1Accessors, NativeGettersOnManyPropertiesStopAtTheStackLimit) {
  // o = {length: 200}; each of o[0] .. o[199] has Array.prototype.join as
  // its getter, so reading o[0] joins o, which reads o[0] again, through
  // native calls only; every property allows 65 levels of its own, so the
  // stack limit ends the script.
  Script s;
  s.push("o").push("length").push(200).push(1).op(Script::kInitObject).op(Script::kDefineLocal);
  s.push("i").push(0).op(Script::kDefineLocal);
  s.label("more");
  s.pushNull().getVariable("Array").push("prototype").op(Script::kGetMember).push("join").op(Script::kGetMember);
  s.getVariable("i").push(3).getVariable("o").push("addProperty").op(Script::kCallMethod).op(Script::kPop);
  count(s, "i");
  s.getVariable("i").push(200).op(Script::kLess2).ifTrue("more");
  s.getVariable("o").push("0").op(Script::kGetMember).op(Script::kTrace);
  auto run = start(scriptMovie(s, 7));
  run->player->advanceFrame();
  EXPECT_TRUE(run->lines.empty());
  EXPECT_STREQ("too much recursion", run->player->stage().machine()->stopReason());
}

TEST(Avm1Super, AMethodsSuperLooksAboveTheObjectItWasFoundOn) {
  // obj = {__constructor__: ctor, m: function () { trace(super()); },
  //        n: function () { trace(super._x); }}
  Script ctor, callSuper, readSuper, resolve;
  ctor.trace("ctor ran").push("made").op(Script::kReturn);
  callSuper.push(0).pushRegister(2).pushUndefined().op(Script::kCallMethod).op(Script::kTrace);
  readSuper.pushRegister(2).push("_x").op(Script::kGetMember).op(Script::kTrace);
  resolve.trace("resolve asked").getVariable("ctor").op(Script::kReturn);
  Script s;
  s.function("ctor", {}, ctor);
  s.push("obj").push("__constructor__").getVariable("ctor");
  s.push("m").function2("", {}, kPreloadThis | kPreloadSuper, 3, callSuper);
  s.push("n").function2("", {}, kPreloadThis | kPreloadSuper, 3, readSuper);
  s.push(3).op(Script::kInitObject).op(Script::kDefineLocal);
  auto callBoth = [&s] {
    s.push(0).getVariable("obj").push("m").op(Script::kCallMethod).op(Script::kPop);
    s.push(0).getVariable("obj").push("n").op(Script::kCallMethod).op(Script::kPop);
  };
  // The object's own __constructor__ is not super's, nor does __resolve
  // on the prototype above supply one.
  s.getVariable("obj").push("__proto__").push("__resolve").function("", {"name"}, resolve);
  s.push(1).op(Script::kInitObject).op(Script::kSetMember);
  s.push(0).getVariable("obj").push("m").op(Script::kCallMethod).op(Script::kPop);
  // One on the prototype above is.
  s.getVariable("obj").push("__proto__").push("__constructor__").getVariable("ctor").push("_x").push(5);
  s.push(2).op(Script::kInitObject).op(Script::kSetMember);
  callBoth();
  // A clip above gives super nothing, not even its own properties.
  s.getVariable("obj").push("__proto__").getVariable("_root").op(Script::kSetMember);
  s.getVariable("_root").push("__constructor__").getVariable("ctor").op(Script::kSetMember);
  callBoth();
  EXPECT_EQ((Lines{"undefined", "ctor ran", "made", "5", "undefined", "undefined"}), traces(scriptMovie(s, 7)));
}

TEST(Avm1Super, ARegisteredClipClassCallsItsParentConstructor) {
  // function A() { trace("A"); }  A extends MovieClip
  // function B() { super(); trace("B"); }  B extends A
  // Object.registerClass("symbol", B); attachMovie("symbol", "made", 1)
  swftest::MovieBuilder m(100, 100, 12, 8);
  swftest::Timeline t;
  t.showFrame();
  m.defineSprite(1, t, 1);
  m.exportAs(1, "symbol");
  Script a, b;
  a.trace("A");
  b.push(0).pushRegister(2).pushUndefined().op(Script::kCallMethod).op(Script::kPop).trace("B");
  Script s;
  s.function("A", {}, a).function2("B", {}, kPreloadThis | kPreloadSuper, 3, b);
  s.getVariable("A").getVariable("MovieClip").op(0x69);  // extends
  s.getVariable("B").getVariable("A").op(0x69);
  s.getVariable("B").push("symbol").push(2).getVariable("Object").push("registerClass").op(Script::kCallMethod);
  s.op(Script::kPop);
  s.push(1).push("made").push("symbol").push(3).getVariable("_root").push("attachMovie");
  s.op(Script::kCallMethod).op(Script::kPop).op(Script::kStop);
  m.root().action(s.bytes());
  m.root().showFrame();
  EXPECT_EQ((Lines{"A", "B"}), traces(m.finish(false)));
}
