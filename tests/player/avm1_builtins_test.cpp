// The built-in classes and global functions, called through the machine as
// scripts call them: Array, String, Number, Math, Object and Function
// methods, property flags, getters, watchers and the global functions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/machine.h"

namespace {

using avm1::Machine;
using avm1::Object;
using avm1::String;
using avm1::Value;

class Builtins : public ::testing::Test {
 protected:
  explicit Builtins(int version = 8) : m(version, {}) {}

  // object.method(args...)
  Value call(const Value& object, const char* method, std::vector<Value> args = {}) {
    return m.callMethod(object, method, args.data(), args.size());
  }
  // A global function or class: name(args...)
  Value global(const char* name, std::vector<Value> args = {}) {
    return m.call(m.get(m.global(), name), Value(), args.data(), args.size());
  }
  Value make(const char* className, std::vector<Value> args = {}) {
    return m.construct(m.get(m.global(), className), args.data(), args.size());
  }
  std::string text(const Value& v) { return m.toString(v).str(); }
  Value array(std::vector<Value> values) { return Value(m.newArray(values)); }

  Machine m;
};

class BuiltinsSwf5 : public Builtins {
 protected:
  BuiltinsSwf5() : Builtins(5) {}
};

}  // namespace

TEST_F(Builtins, ArrayMethodsChangeTheArrayAndAnswerAsScriptsExpect) {
  Value a = array({1, 2, 3});
  EXPECT_EQ(5, call(a, "push", {4, 5}).number());
  EXPECT_EQ(5, call(a, "pop").number());
  EXPECT_EQ(1, call(a, "shift").number());
  EXPECT_EQ(4, call(a, "unshift", {0}).number());
  EXPECT_EQ("0,2,3,4", text(a));
  EXPECT_EQ("2,3", text(call(a, "slice", {1, -1})));
  EXPECT_EQ("2,3", text(call(a, "splice", {1, 2, "x", "y", "z"})));
  EXPECT_EQ("0,x,y,z,4", text(a));
  EXPECT_EQ("4,z,y,x,0", text(call(a, "reverse")));
  EXPECT_EQ("4|z|y|x|0", text(call(a, "join", {"|"})));
  EXPECT_EQ("1,2,3,4", text(call(array({1, 2}), "concat", {array({3, 4})})));
  // Arrays of arrays stay nested one level down.
  EXPECT_EQ(3, m.arrayLength(call(array({1}), "concat", {2, array({array({3})})}).object()));
}

TEST_F(Builtins, ArrayLengthHolesAndIndexesAsText) {
  Value a = array({});
  m.set(a.object(), "5", Value("five"));
  EXPECT_EQ(6, m.get(a.object(), "length").number());
  EXPECT_TRUE(m.get(a.object(), "2").isUndefined());
  EXPECT_FALSE(m.hasOwnProperty(a.object(), "2"));
  m.set(a.object(), "length", Value(2));
  EXPECT_TRUE(m.get(a.object(), "5").isUndefined());
  // Names that are not canonical indexes are plain properties.
  m.set(a.object(), "01", Value(1));
  EXPECT_EQ(2, m.get(a.object(), "length").number());
  // A huge index does not allocate a huge array; the length is a 32-bit
  // signed integer, so this index reads as a negative one and changes nothing.
  m.set(a.object(), "4000000000", Value(true));
  EXPECT_EQ(2, m.get(a.object(), "length").number());
  EXPECT_TRUE(m.get(a.object(), "4000000000").boolean());
  // One past the largest index wraps to the most negative length, which
  // drops the elements; index names read modulo 2^32.
  m.set(a.object(), "0", Value("zero"));
  m.set(a.object(), "2147483647", Value(1));
  EXPECT_EQ(-2147483648.0, m.get(a.object(), "length").number());
  EXPECT_TRUE(m.get(a.object(), "0").isUndefined());
  EXPECT_EQ(0, m.arrayLength(a.object()));
  m.set(a.object(), "-4294967296", Value(2));
  EXPECT_EQ(1, m.get(a.object(), "length").number());
  EXPECT_EQ(-1, m.get(make("Array", {-1}).object(), "length").number());
}

// for..in lists the most recently made first.
std::string keysOf(Machine& m, Object* o) {
  std::string out;
  for (const String& name : m.enumerate(o)) out += name.str() + ",";
  return out;
}

TEST_F(Builtins, ArrayElementsKeepFlagsAndTheOrderTheyWereMadeIn) {
  Object* a = m.newArray();
  m.set(a, "2", Value(2));
  m.set(a, "0", Value(0));
  m.set(a, "1", Value(1));
  m.set(a, "2", Value(22));  // an existing element keeps its place
  EXPECT_EQ("1,0,2,", keysOf(m, a));
  // Element flags: hidden, kept from delete, read-only.
  global("ASSetPropFlags", {Value(a), "0", 1});
  global("ASSetPropFlags", {Value(a), "1", 2 | 4});
  EXPECT_EQ("1,2,", keysOf(m, a));
  EXPECT_FALSE(call(Value(a), "isPropertyEnumerable", {"0"}).boolean());
  EXPECT_TRUE(call(Value(a), "isPropertyEnumerable", {"2"}).boolean());
  EXPECT_FALSE(m.remove(a, "1"));
  m.set(a, "1", Value(9));
  EXPECT_EQ("0,1,22", text(Value(a)));
  // A deleted element made again has no flags and comes last.
  EXPECT_TRUE(m.remove(a, "0"));
  m.set(a, "0", Value(0));
  EXPECT_EQ("0,1,2,", keysOf(m, a));
  // null names every element.
  global("ASSetPropFlags", {Value(a), Value::null(), 1});
  EXPECT_EQ("", keysOf(m, a));
  // Cutting the length drops the flags with the elements.
  global("ASSetPropFlags", {Value(a), "0,1,2", 0, 7});
  global("ASSetPropFlags", {Value(a), "2", 1});
  m.set(a, "length", Value(2));
  m.set(a, "2", Value(2));
  EXPECT_EQ("2,0,1,", keysOf(m, a));
}

TEST_F(Builtins, ReverseShiftAndUnshiftDeleteAndRemakeElements) {
  // reverse: each pair from the outside in is deleted and set again, the
  // lower index first; holes become elements; the middle stays.
  Value a = array({1, 2, 3, 4, 5});
  call(a, "reverse");
  EXPECT_EQ("3,1,4,0,2,", keysOf(m, a.object()));
  Value holes = array({});
  m.set(holes.object(), "3", Value(3));
  call(holes, "reverse");
  EXPECT_EQ("3,undefined,undefined,undefined", text(holes));
  EXPECT_EQ("2,1,3,0,", keysOf(m, holes.object()));
  // An element kept from delete stays where it was made; read-only as well,
  // it keeps its value too. Read-only alone goes with the delete.
  Value kept = array({1, 2, 3, 4, 5});
  global("ASSetPropFlags", {kept, "0", 2 | 4});
  global("ASSetPropFlags", {kept, "1", 4});
  call(kept, "reverse");
  EXPECT_EQ("1,4,3,2,1", text(kept));
  EXPECT_EQ("3,1,4,2,0,", keysOf(m, kept.object()));

  // shift: every element deleted, the rest set again in order.
  Value s = array({});
  m.set(s.object(), "2", Value(2));
  m.set(s.object(), "3", Value(3));
  EXPECT_TRUE(call(s, "shift").isUndefined());
  EXPECT_EQ("2,1,0,", keysOf(m, s.object()));
  // An element that cannot be deleted outlives the shorter length.
  Value t = array({1, 2, 3});
  global("ASSetPropFlags", {t, "2", 2});
  EXPECT_EQ(1, call(t, "shift").number());
  EXPECT_EQ("2,3", text(t));
  EXPECT_EQ("1,0,2,", keysOf(m, t.object()));
  EXPECT_EQ(3, m.get(t.object(), "2").number());

  // unshift: old elements set again from the top down, then the new ones.
  Value u = array({1, 2, 3});
  global("ASSetPropFlags", {u, "0", 2 | 4});
  EXPECT_EQ(5, call(u, "unshift", {"x", "y"}).number());
  EXPECT_EQ("1,y,1,2,3", text(u));
  EXPECT_EQ("1,2,3,4,0,", keysOf(m, u.object()));
}

TEST_F(Builtins, SortWithFlagsCompareFunctionsAndFields) {
  EXPECT_EQ("10,2,3", text(call(array({3, 10, 2}), "sort")));
  EXPECT_EQ("2,3,10", text(call(array({3, 10, 2}), "sort", {16})));         // NUMERIC
  EXPECT_EQ("10,3,2", text(call(array({3, 10, 2}), "sort", {16 | 2})));     // and DESCENDING
  EXPECT_EQ("1,2,0", text(call(array({"c", "a", "b"}), "sort", {8})));      // RETURNINDEXEDARRAY
  EXPECT_EQ(0, call(array({1, 2, 1}), "sort", {4}).number());              // UNIQUESORT with a repeat
  EXPECT_EQ("a,B,c", text(call(array({"c", "B", "a"}), "sort", {1})));      // CASEINSENSITIVE
  EXPECT_TRUE(call(array({1, 2}), "sort", {Value(true)}).isUndefined());  // neither flags nor function
  Object* byField = m.newArray();
  for (int n : {3, 1, 2}) {
    Object* o = m.newObject();
    m.set(o, "n", Value(n));
    call(Value(byField), "push", {Value(o)});
  }
  call(Value(byField), "sortOn", {"n"});
  EXPECT_EQ(1, m.get(m.arrayGet(byField, 0).object(), "n").number());
  EXPECT_EQ(3, m.get(m.arrayGet(byField, 2).object(), "n").number());
  // A compare function that contradicts itself loses and repeats nothing.
  static int calls = 0;
  Value fickle(m.newNative([](Machine&, avm1::Call&) { return Value(++calls % 3 - 1.0); }));
  std::vector<Value> many;
  for (int i = 0; i < 100; ++i) many.push_back(Value(i));
  Value shuffled = call(array(many), "sort", {fickle});
  double sum = 0;
  for (int i = 0; i < 100; ++i) sum += m.arrayGet(shuffled.object(), i).number();
  EXPECT_EQ(4950, sum);
}

TEST_F(Builtins, StringMethodsCountUtf16UnitsAndKeepTheReferencesEdges) {
  Value s("h\xC3\xA9llo w\xC3\xB6" "rld");
  EXPECT_EQ(11, m.getMember(s, "length").number());
  EXPECT_EQ("\xC3\xB6", text(call(s, "charAt", {7})));
  EXPECT_EQ(246, call(s, "charCodeAt", {7}).number());
  EXPECT_EQ(7, call(s, "indexOf", {"\xC3\xB6"}).number());
  EXPECT_EQ(-1, call(s, "indexOf", {"x"}).number());
  EXPECT_EQ(4, call(s, "lastIndexOf", {"o", 6}).number());
  EXPECT_EQ("H\xC3\x89LLO W\xC3\x96RLD", text(call(s, "toUpperCase")));
  EXPECT_EQ("w\xC3\xB6" "rld", text(call(s, "substr", {-5})));
  EXPECT_EQ("llo", text(call(s, "substring", {5, 2})));  // ends swap
  EXPECT_EQ("w\xC3\xB6r", text(call(s, "slice", {6, -2})));
  // A negative length counts back from the end of the whole text.
  EXPECT_EQ("lo worl", text(call(Value("hello world"), "substr", {3, -4})));
  EXPECT_EQ("", text(call(Value("hello world"), "substr", {3, -3})));
  EXPECT_EQ("a|b||c", text(call(call(Value("a,b,,c"), "split", {","}), "join", {"|"})));
  EXPECT_EQ("a,b", text(call(Value("a,b,c"), "split", {",", 2})));
  EXPECT_EQ("AB", text(m.callMethod(m.get(m.global(), "String"), "fromCharCode",
                                    std::vector<Value>{65, 66}.data(), 2)));
  // Outside the BMP: two units, as the reference player counts them.
  EXPECT_EQ(2, m.getMember(Value("\xF0\x9F\x98\x80"), "length").number());
}

TEST_F(Builtins, NumbersMathAndTheGlobalFunctions) {
  EXPECT_EQ("ff", text(call(make("Number", {255}), "toString", {16})));
  EXPECT_EQ("-101", text(call(make("Number", {-5}), "toString", {2})));
  EXPECT_EQ(3, m.toNumber(m.callMethod(m.get(m.global(), "Math"), "max", std::vector<Value>{1, 3, 2}.data(), 3)));
  EXPECT_TRUE(std::isnan(m.toNumber(m.callMethod(m.get(m.global(), "Math"), "min", std::vector<Value>{1}.data(), 1))));
  EXPECT_EQ(-2, m.toNumber(m.callMethod(m.get(m.global(), "Math"), "round", std::vector<Value>{-2.5}.data(), 1)));
  EXPECT_EQ(255, global("parseInt", {"0xFF"}).number());
  EXPECT_EQ(8, global("parseInt", {"010"}).number());  // octal when all digits allow
  EXPECT_EQ(10, global("parseInt", {"010z"}).number());
  EXPECT_EQ(5, global("parseInt", {"101", 2}).number());
  EXPECT_TRUE(std::isnan(global("parseInt", {"12", 1}).number()));
  EXPECT_EQ(3.5, global("parseFloat", {"  3.5e0abc"}).number());
  EXPECT_TRUE(std::isnan(global("parseFloat", {".e1"}).number()));
  EXPECT_EQ("a%20b%2Fc%E4%B8%AD", text(global("escape", {"a b/c\xE4\xB8\xAD"})));
  EXPECT_EQ("a b/c\xE4\xB8\xAD", text(global("unescape", {"a%20b%2Fc%E4%B8%AD"})));
  EXPECT_TRUE(global("isNaN", {"abc"}).boolean());
  EXPECT_FALSE(global("isFinite", {Value(INFINITY)}).boolean());
}

TEST_F(Builtins, NumbersReadFromTextTheWayTheReferencePlayerReadsThem) {
  // "0x" counts only at the very start; a sign before it is lost with the 0,
  // one after it counts, and leading spaces turn off hexadecimal and octal.
  EXPECT_EQ(1296, global("parseInt", {"0x100", 36}).number());
  EXPECT_EQ(1540944, global("parseInt", {"-0x100", 36}).number());
  EXPECT_EQ(-1540944, global("parseInt", {" -0x100", 36}).number());
  EXPECT_TRUE(std::isnan(global("parseInt", {"-0x100"}).number()));
  EXPECT_EQ(-256, global("parseInt", {"0x -100"}).number());
  EXPECT_EQ(0, global("parseInt", {" 0x-100"}).number());
  EXPECT_EQ(77, global("parseInt", {"  077"}).number());
  EXPECT_EQ(-64, global("parseInt", {"-0100"}).number());
  EXPECT_TRUE(std::isnan(global("parseInt", {"0x"}).number()));
  EXPECT_TRUE(std::isnan(global("parseInt", {"+0x123", 33}).number()));
  // Fraction digits add up one tenth at a time, not to the nearest double.
  EXPECT_EQ(0.14999990000000005, global("parseFloat", {".1499999"}).number());
  EXPECT_EQ("5e-25", text(global("parseFloat", {".0000000000000000000000005"})));
  EXPECT_EQ(1.2345678, global("parseFloat", {"1.2345.678e9"}).number());  // later dots skipped, no exponent
  EXPECT_EQ(10, global("parseFloat", {"1e4294967297"}).number());       // the exponent wraps
  EXPECT_EQ(-16, m.toNumber(Value("0x-10")));  // a sign may follow "0x" too
}

TEST_F(Builtins, MathTakesTwoArgumentsAndConvertsBothInOrder) {
  Value math = m.get(m.global(), "Math");
  auto mathCall = [&](const char* name, std::vector<Value> args) {
    return m.toNumber(m.callMethod(math, name, args.data(), args.size()));
  };
  EXPECT_EQ(2, mathCall("max", {1, 2, 3}));
  EXPECT_EQ(1, mathCall("pow", {1, Value()}));
  // Each of the first two arguments' valueOf runs once, left to right, even
  // where the function uses one; the third is not touched.
  static std::string order;
  order.clear();
  Object* proto = m.newObject();
  m.method(proto, "valueOf", [](Machine& machine, avm1::Call& call) {
    Value n = machine.get(call.thisValue.object(), "n");
    order += machine.toString(n).str();
    return n;
  });
  std::vector<Value> args;
  for (int n : {-4, 5, 6}) {
    Object* o = m.heap().make<Object>(proto);
    m.set(o, "n", Value(n));
    args.push_back(Value(o));
  }
  EXPECT_EQ(4, mathCall("abs", args));
  EXPECT_EQ("-45", order);
  order.clear();
  EXPECT_EQ(5, mathCall("max", args));
  EXPECT_EQ("-45", order);
}

TEST_F(Builtins, BoxedPrimitivesAndConversionsByValueOfAndToString) {
  Value n = make("Number", {5});
  EXPECT_EQ("object", text(m.typeOf(n)));
  EXPECT_EQ(6, m.toNumber(n) + 1);
  Value s = make("String", {"abc"});
  EXPECT_EQ(3, m.get(s.object(), "length").number());
  EXPECT_TRUE(global("Boolean", {"x"}).boolean());
  // valueOf for numbers, toString for text; a toString giving no text names the type.
  Object* o = m.newObject();
  EXPECT_EQ("[object Object]", text(Value(o)));
  o->define("toString", m.get(m.get(m.global(), "Object").object(), "prototype"));  // not a function
  EXPECT_EQ("[type Object]", text(Value(o)));
}

TEST_F(Builtins, PropertiesGettersWatchersAndFlags) {
  // addProperty: a getter with a setter, and one without.
  Object* o = m.newObject();
  Object* store = m.newObject();
  m.global()->define("store", Value(store));
  auto getter = [](Machine& mm, avm1::Call&) { return mm.get(mm.get(mm.global(), "store").object(), "v"); };
  auto setter = [](Machine& mm, avm1::Call& c) {
    mm.set(mm.get(mm.global(), "store").object(), "v", Value(mm.toNumber(c.arg(0)) * 2));
    return Value();
  };
  EXPECT_TRUE(call(Value(o), "addProperty", {"p", Value(m.newNative(getter)), Value(m.newNative(setter))}).boolean());
  m.set(o, "p", Value(21));
  EXPECT_EQ(42, m.get(o, "p").number());
  EXPECT_FALSE(call(Value(o), "addProperty", {"q", Value(m.newNative(getter))}).boolean());  // no setter given
  // watch: the callback's answer is what is set.
  auto doubled = [](Machine& mm, avm1::Call& c) { return Value(mm.toNumber(c.arg(2)) * 10); };
  EXPECT_TRUE(call(Value(o), "watch", {"w", Value(m.newNative(doubled))}).boolean());
  m.set(o, "w", Value(3));
  EXPECT_EQ(30, m.get(o, "w").number());
  call(Value(o), "unwatch", {"w"});
  m.set(o, "w", Value(4));
  EXPECT_EQ(4, m.get(o, "w").number());
  // ASSetPropFlags: hidden from for..in, kept from delete, read-only.
  o->define("a", Value(1));
  global("ASSetPropFlags", {Value(o), "a", 1 | 2 | 4});
  for (const String& name : m.enumerate(o)) EXPECT_NE("a", name.str());
  EXPECT_FALSE(m.remove(o, "a"));
  m.set(o, "a", Value(2));
  EXPECT_EQ(1, m.get(o, "a").number());
  EXPECT_FALSE(call(Value(o), "isPropertyEnumerable", {"a"}).boolean());
}

TEST_F(Builtins, FunctionCallApplyAndBroadcasters) {
  auto self = [](Machine&, avm1::Call& c) { return c.thisValue; };
  Value f(m.newNative(self));
  Object* o = m.newObject();
  EXPECT_EQ(o, call(f, "call", {Value(o)}).object());
  EXPECT_EQ(m.global(), call(f, "call", {Value::null()}).object());  // no this: the globals
  auto count = [](Machine&, avm1::Call& c) { return Value(static_cast<double>(c.count)); };
  EXPECT_EQ(3, call(Value(m.newNative(count)), "apply", {Value(), array({1, 2, 3})}).number());
  // AsBroadcaster: listeners hear broadcasts in the order they were added.
  Object* b = m.newObject();
  m.callMethod(m.get(m.global(), "AsBroadcaster"), "initialize", std::vector<Value>{Value(b)}.data(), 1);
  Object* heard = m.newArray();
  m.global()->define("heard", Value(heard));
  auto record = [](Machine& mm, avm1::Call& c) {
    Value arg = c.arg(0);
    return mm.callMethod(mm.get(mm.global(), "heard"), "push", &arg, 1);
  };
  for (const char* name : {"first", "second"}) {
    Object* listener = m.newObject();
    listener->define("onPing", Value(m.newNative(record)));
    listener->define("name", Value(name));
    call(Value(b), "addListener", {Value(listener)});
  }
  EXPECT_TRUE(call(Value(b), "broadcastMessage", {"onPing", "hi"}).boolean());
  EXPECT_EQ("hi,hi", text(Value(heard)));
  // Listeners compare by ==: adding null replaces undefined (moving it
  // last), and removing with no argument takes the null out again.
  Object* other = m.newObject();
  m.callMethod(m.get(m.global(), "AsBroadcaster"), "initialize", std::vector<Value>{Value(other)}.data(), 1);
  Object* listeners = m.get(other, "_listeners").object();
  call(Value(other), "addListener");
  call(Value(other), "addListener", {false});
  call(Value(other), "addListener", {Value::null()});
  EXPECT_EQ(2, m.arrayLength(listeners));
  EXPECT_TRUE(m.arrayGet(listeners, 1).isNull());
  EXPECT_TRUE(call(Value(other), "removeListener").boolean());
  EXPECT_EQ("false", text(Value(listeners)));
  // An empty message name calls each listener itself.
  Object* calls = m.newArray();
  m.global()->define("heard", Value(calls));
  Value itself(m.newNative(record));
  call(Value(other), "addListener", {itself});
  call(Value(other), "broadcastMessage", {"", "direct"});
  EXPECT_EQ("direct", text(Value(calls)));
}

TEST_F(BuiltinsSwf5, Swf5RulesForTextNumbersAndNames) {
  // Names compare without letter case before SWF 7.
  Object* o = m.newObject();
  m.set(o, "Name", Value(1));
  EXPECT_EQ(1, m.get(o, "NAME").number());
  // Latin, Cyrillic and the digraphs fold too, later scripts do not; the
  // same holds once the object's names are indexed.
  for (int i = 0; i < 20; ++i) m.set(o, ("filler" + std::to_string(i)).c_str(), Value(i));
  m.set(o, "\xC3\x84pfel", Value(2));           // Äpfel
  m.set(o, "\xD3\xA4", Value(3));               // Ӥ
  m.set(o, "\xC8\xBA", Value(4));               // Ⱥ
  EXPECT_EQ(2, m.get(o, "\xC3\xA4PFEL").number());  // äPFEL
  EXPECT_EQ(3, m.get(o, "\xD3\xA5").number());      // ӥ
  EXPECT_TRUE(m.get(o, "\xE2\xB1\xA5").isUndefined());  // ⱥ
  // "" and non-numbers are NaN; booleans read "true"; no hexadecimal.
  EXPECT_TRUE(std::isnan(m.toNumber(Value("0x10"))));
  EXPECT_EQ("true", text(Value(true)));
  EXPECT_EQ(0, m.toNumber(Value()));
  // split with no separator splits at commas, an empty one keeps the text
  // whole; substr and substring need an argument.
  Value s = Value("a,b,c");
  EXPECT_EQ(3, m.arrayLength(call(s, "split").object()));
  EXPECT_EQ(1, m.arrayLength(call(s, "split", {""}).object()));
  EXPECT_EQ(0, m.arrayLength(call(s, "split", {Value(), 0}).object()));
  EXPECT_TRUE(call(s, "substr").isUndefined());
  EXPECT_TRUE(call(s, "substring").isUndefined());
  EXPECT_EQ("a,b,c", text(call(s, "substr", {Value(), Value()})));
}

namespace {
int replacedConstructorCalls = 0;
Value countConstruction(Machine&, avm1::Call&) {
  ++replacedConstructorCalls;
  return Value();
}
int resolveCalls = 0;
Value countResolve(Machine&, avm1::Call&) {
  ++resolveCalls;
  return Value("resolved");
}
}  // namespace

TEST_F(Builtins, PrimitivesBecomeObjectsThroughTheGlobalConstructorsAsTheyStand) {
  // A script's own String, whose prototype still leads to the real one.
  Object* realStringProto = m.get(m.get(m.global(), "String").object(), "prototype").object();
  Object* proto = m.newObject();
  proto->define("__proto__", Value(realStringProto));
  replacedConstructorCalls = 0;
  m.defineClass(m.global(), "String", countConstruction, proto, 0);
  EXPECT_EQ("e", text(call(Value("hello"), "charAt", {1})));
  EXPECT_EQ(5, m.getMember(Value("world"), "length").number());
  EXPECT_EQ(2, replacedConstructorCalls);
  // String's text method borrowed by an object without a text of its own
  // answers instead of asking that object again, without end.
  Object* borrower = m.newObject();
  borrower->define("toString", m.get(realStringProto, "toString"));
  EXPECT_EQ("[object Object]", text(Value(borrower)));

  // No function under the name: the primitive has no members at all.
  m.global()->define("Number", Value(m.newObject()));
  EXPECT_TRUE(m.getMember(Value(42), "toString").isUndefined());
  EXPECT_TRUE(call(Value(42), "toString").isUndefined());
  // call() on a primitive this runs on the globals then.
  Value fn = Value(m.newNative([](Machine&, avm1::Call& c) { return c.thisValue; }));
  EXPECT_EQ(m.global(), call(fn, "call", {Value(42)}).object());
}

TEST_F(Builtins, ValueOfAndToStringAreNotAskedOfResolve) {
  Object* bare = m.heap().make<Object>(nullptr);
  bare->define("__resolve", Value(m.newNative(countResolve)));
  resolveCalls = 0;
  EXPECT_TRUE(std::isnan(m.toNumber(Value(bare))));
  EXPECT_EQ("resolved", text(m.get(bare, "anything")));
  EXPECT_EQ(1, resolveCalls);
}

TEST_F(Builtins, InstanceofReadsOnlyTheClassesOwnStoredPrototype) {
  Object* proto = m.newObject();
  Object* instance = m.heap().make<Object>(proto);
  Object* direct = m.newObject();
  direct->define("prototype", Value(proto));
  EXPECT_TRUE(avm1::instanceOf(m, Value(instance), Value(direct)));
  // Primitives are of no class; a class inheriting its prototype is none.
  EXPECT_FALSE(avm1::instanceOf(m, Value("text"), Value(direct)));
  Object* inherited = m.heap().make<Object>(direct);
  EXPECT_FALSE(avm1::instanceOf(m, Value(instance), Value(inherited)));
  // A prototype behind a getter is not asked for.
  replacedConstructorCalls = 0;
  Object* byGetter = m.newObject();
  byGetter->defineVirtual("prototype", m.newNative(countConstruction), nullptr, 0);
  EXPECT_FALSE(avm1::instanceOf(m, Value(instance), Value(byGetter)));
  EXPECT_EQ(0, replacedConstructorCalls);
  // A text as the prototype is made an object, through the global String.
  m.defineClass(m.global(), "String", countConstruction, m.newObject(), 0);
  Object* textual = m.newObject();
  textual->define("prototype", Value("proto"));
  EXPECT_FALSE(avm1::instanceOf(m, Value(instance), Value(textual)));
  EXPECT_EQ(1, replacedConstructorCalls);
}

namespace {
std::string comparisons;
Value recordComparison(Machine& m, avm1::Call& c) {
  comparisons += m.toString(c.arg(0)).str() + m.toString(c.arg(1)).str() + " ";
  double x = m.toNumber(c.arg(0)), y = m.toNumber(c.arg(1));
  return Value(x < y ? -1.0 : x > y ? 1.0 : 0.0);
}
}  // namespace

TEST_F(Builtins, SortComparesInTheReferencesOrderAndSurvivesSortedInput) {
  // The first item of each range is the pivot and the compare's first argument.
  comparisons.clear();
  Value a = array({2, 3, 1});
  call(a, "sort", {Value(m.newNative(recordComparison))});
  EXPECT_EQ("1,2,3", text(a));
  EXPECT_EQ("23 21 21 23 21 ", comparisons);
  // Equal items are not kept in their order.
  EXPECT_EQ("HELLO,hello,TeSt,test", text(call(array({"TeSt", "hello", "HELLO", "test"}), "sort", {Value(1.0)})));
  // NUMERIC orders two numbers by value, anything else as text.
  EXPECT_EQ("1,2,22,3,test", text(call(array({"test", 3, "22", 2, 1}), "sort", {Value(16.0)})));
  // sortOn: items that are no objects are compared themselves; a field is
  // an item's own stored one, never asked of a getter.
  EXPECT_EQ("a,bb,ccc", text(call(array({"ccc", "a", "bb"}), "sortOn", {"length"})));
  replacedConstructorCalls = 0;
  Object* withGetter = m.newObject();
  withGetter->defineVirtual("n", m.newNative(countConstruction), nullptr, 0);
  Object* plain = m.newObject();
  plain->define("n", Value(1.0));
  call(array({Value(withGetter), Value(plain)}), "sortOn", {"n"});
  EXPECT_EQ(0, replacedConstructorCalls);
  // Already sorted input: the worst case of the quicksort, deep but no
  // crash; far more of it is stopped by the step budget, not left to run.
  std::vector<Value> many;
  for (int i = 0; i < 3000; ++i) many.push_back(Value(static_cast<double>(i)));
  Value big = array(many);
  call(big, "sort", {Value(16.0)});
  EXPECT_EQ(2999, m.arrayGet(big.object(), 2999).number());
  for (int i = 3000; i < 20000; ++i) many.push_back(Value(static_cast<double>(i)));
  EXPECT_THROW(call(array(many), "sort", {Value(16.0)}), avm1::ScriptAbort);
}

TEST_F(Builtins, DatesFarOutOfRangeFollowTheReferencesIntegerArithmetic) {
  // An infinite time: Invalid Date, yet fields made of the smallest 32-bit integer.
  Value inf = make("Date", {Value(INFINITY)});
  EXPECT_EQ("Invalid Date", text(inf));
  EXPECT_EQ(-2147481678, call(inf, "getUTCFullYear").number());
  EXPECT_EQ(0, call(inf, "getUTCMonth").number());
  EXPECT_EQ(-2147483647, call(inf, "getUTCDate").number());
  EXPECT_EQ(-2147483641, call(inf, "getUTCDay").number());
  EXPECT_EQ(-2147483624, call(inf, "getUTCHours").number());
  EXPECT_EQ(-2147482648, call(inf, "getUTCMilliseconds").number());
  EXPECT_TRUE(std::isnan(call(inf, "getTimezoneOffset").number()));
  EXPECT_TRUE(std::isnan(call(make("Date", {Value(NAN)}), "getUTCHours").number()));
  // Setting anything on it makes it invalid.
  EXPECT_TRUE(std::isnan(call(inf, "setUTCFullYear", {2000}).number()));
  EXPECT_TRUE(std::isnan(call(inf, "getTime").number()));

  // A year that is no number is the smallest integer; fields add up
  // unchecked, so an infinite day makes an infinite time.
  Value date = m.get(m.global(), "Date");
  EXPECT_NEAR(-6.77681005680576e+19, call(date, "UTC", {Value(NAN), 0, 0}).number(), 1e5);
  EXPECT_EQ(INFINITY, call(date, "UTC", {0, 0, Value(INFINITY)}).number());
  EXPECT_TRUE(std::isnan(call(date, "UTC", {0, Value(INFINITY)}).number()));
  // Past 2^31 years the year estimate sticks at the smallest integer.
  Value far = make("Date", {-6.77681005680576e+19});
  EXPECT_EQ(-2147481678, call(far, "getUTCFullYear").number());
  EXPECT_EQ(-719528, call(far, "getUTCDate").number());
  EXPECT_EQ(952, call(far, "getUTCMilliseconds").number());
  // A year just short of that estimate's limit passes the 32-bit integers.
  EXPECT_NE(std::string::npos, text(make("Date", {6.776e19})).find(" 2147"));
  // The constructor keeps times beyond ECMAScript's range; setters do not.
  EXPECT_DOUBLE_EQ(1e16, call(make("Date", {1e16}), "getTime").number());
  Value d = make("Date", {0});
  EXPECT_TRUE(std::isnan(call(d, "setTime", {8.64e15 + 1}).number()));
  EXPECT_EQ(5, call(d, "setTime", {5.5}).number());
  // Near the range's start the last millisecond of an hour shows as the
  // next hour, while setters start from the exact one.
  Value edge = make("Date", {-8640000000000001.0});
  EXPECT_EQ(0, call(edge, "getUTCHours").number());
  EXPECT_EQ(59, call(edge, "getUTCMinutes").number());
  EXPECT_EQ(956188799999, call(edge, "setUTCFullYear", {2000}).number());  // 2000-04-19 23:59:59.999
  EXPECT_EQ(23, call(make("Date", {-1}), "getUTCHours").number());

  // Each setter converts its arguments its own way.
  Value t = make("Date", {1594844387653.0});  // 2020-07-15 20:19:47.653 UTC
  EXPECT_EQ(-127254175632347, call(t, "setUTCMinutes", {Value(NAN)}).number());
  t = make("Date", {1594844387653.0});
  EXPECT_EQ(1579119587653, call(t, "setUTCMonth", {}).number());  // no month is January
  t = make("Date", {1594844387653.0});
  EXPECT_TRUE(std::isnan(call(t, "setUTCMonth", {Value(INFINITY)}).number()));
  t = make("Date", {1594844387653.0});
  EXPECT_TRUE(std::isnan(call(t, "setUTCHours", {}).number()));
  // setYear takes a month and a day too, and only 0..99 are the 1900s.
  t = make("Date", {0});
  call(t, "setYear", {-1, 11, 31});
  EXPECT_EQ(-1, call(t, "getUTCFullYear").number());
  EXPECT_EQ(31, call(t, "getUTCDate").number());
  call(t, "setYear", {5});
  EXPECT_EQ(1905, call(t, "getUTCFullYear").number());
}
