// flash.geom arithmetic, ColorTransform on other objects, System and
// ExternalInterface per version, and LocalConnection delivery between a
// movie's own connections.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/machine.h"

namespace {

using avm1::Call;
using avm1::Machine;
using avm1::Object;
using avm1::Value;

class Geom : public ::testing::Test {
 protected:
  explicit Geom(int version = 8) : m(version, {}) {}

  Value call(const Value& object, const char* method, std::vector<Value> args = {}) {
    return m.callMethod(object, method, args.data(), args.size());
  }
  Value geomClass(const char* name) { return m.getMember(m.getMember(m.get(m.global(), "flash"), "geom"), name); }
  Value make(const char* name, std::vector<Value> args = {}) {
    return m.construct(geomClass(name), args.data(), args.size());
  }
  double num(const Value& object, const char* name) { return m.toNumber(m.getMember(object, name)); }
  std::string text(const Value& v) { return m.toString(v).str(); }

  Machine m;
};

class GeomSwf7 : public Geom {
 protected:
  GeomSwf7() : Geom(7) {}
};

}  // namespace

TEST_F(Geom, MatrixInverseUndoesTheMatrixAndPointsMoveOrNotByTheTranslation) {
  Value t = make("Matrix", {2, 1, -1, 3, 10, -20});
  Value inverse = call(t, "clone");
  call(inverse, "invert");
  call(inverse, "concat", {t});
  const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
  const double identity[] = {1, 0, 0, 1, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(identity[i], num(inverse, names[i]), 1e-12) << names[i];

  Value p = make("Point", {1, 1});
  Value moved = call(t, "transformPoint", {p});
  EXPECT_EQ("(x=11, y=-16)", text(moved));
  EXPECT_EQ("(x=1, y=4)", text(call(t, "deltaTransformPoint", {p})));
  // The original is untouched and the result is a point.
  EXPECT_EQ("(x=1, y=1)", text(p));
  EXPECT_TRUE(m.toBoolean(call(moved, "equals", {make("Point", {11, -16})})));

  // A matrix with no inverse gives numbers that are no numbers, not a crash.
  Value flat = make("Matrix", {1, 2, 2, 4, 0, 0});
  call(flat, "invert");
  EXPECT_FALSE(std::isfinite(num(flat, "a")));
}

TEST_F(Geom, MatrixBuildsRotationsScalesAndGradientBoxes) {
  Value t = make("Matrix");
  EXPECT_EQ("(a=1, b=0, c=0, d=1, tx=0, ty=0)", text(t));
  call(t, "scale", {2, 3});
  call(t, "translate", {5, 6});
  call(t, "rotate", {M_PI / 2});
  // Scaled to (2, 0), moved to (7, 6), then turned a quarter.
  Value p = call(t, "transformPoint", {make("Point", {1, 0})});
  EXPECT_NEAR(-6, num(p, "x"), 1e-12);
  EXPECT_NEAR(7, num(p, "y"), 1e-12);

  Value box = make("Matrix");
  call(box, "createGradientBox", {1638.4 * 2, 1638.4, 0, 100, 50});
  EXPECT_DOUBLE_EQ(2, num(box, "a"));
  EXPECT_DOUBLE_EQ(1, num(box, "d"));
  EXPECT_DOUBLE_EQ(100 + 1638.4, num(box, "tx"));
  EXPECT_DOUBLE_EQ(50 + 1638.4 / 2, num(box, "ty"));
}

TEST_F(Geom, RectanglesThatDoNotOverlapMeetInNothingAndJoinAroundBoth) {
  Value a = make("Rectangle", {0, 0, 10, 10});
  Value b = make("Rectangle", {10, 0, 5, 5});  // touching only along an edge
  EXPECT_FALSE(m.toBoolean(call(a, "intersects", {b})));
  EXPECT_TRUE(m.toBoolean(call(call(a, "intersection", {b}), "isEmpty")));
  EXPECT_EQ("(x=0, y=0, w=15, h=10)", text(call(a, "union", {b})));
  // Equal numbers are not enough: the other must be a rectangle.
  Object* plain = m.newObject();
  for (const char* name : {"x", "y", "width", "height"}) m.set(plain, name, m.getMember(a, name));
  EXPECT_FALSE(m.toBoolean(call(a, "equals", {Value(plain)})));
  EXPECT_TRUE(m.toBoolean(call(a, "equals", {call(a, "clone")})));
  // Moving an edge keeps the opposite one.
  m.setMember(a, "left", Value(4));
  EXPECT_EQ(10, num(a, "right"));
  m.setMember(a, "bottomRight", make("Point", {20, 30}));
  EXPECT_EQ("(x=4, y=0, w=16, h=30)", text(a));
}

TEST_F(Geom, ColorTransformNumbersLiveOnAnyObjectItsConstructorRanOn) {
  // A subclass's own object, handed to the constructor as super() does.
  Object* own = m.newObject();
  m.set(m.global(), "own", Value(own));  // kept through the collection below
  std::vector<Value> args = {0.5, 1, 1, 1, 10, 0, 0, 0};
  m.call(geomClass("ColorTransform"), Value(own), args.data(), args.size());
  m.set(own, "toString", m.getMember(m.getMember(geomClass("ColorTransform"), "prototype"), "toString"));
  EXPECT_EQ("(redMultiplier=0.5, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=10, "
            "greenOffset=0, blueOffset=0, alphaOffset=0)",
            text(Value(own)));
  // A second construction reads its arguments but changes nothing, and
  // the hidden numbers survive a collection.
  std::vector<Value> again = {2, 2, 2, 2, 0, 0, 0, 0};
  m.call(geomClass("ColorTransform"), Value(own), again.data(), again.size());
  m.collect();
  EXPECT_EQ(0, text(Value(own)).find("(redMultiplier=0.5,"));
  // Objects that are not colour transforms answer nothing and take nothing.
  Value ct = make("ColorTransform");
  call(ct, "concat", {Value(m.newObject())});
  EXPECT_EQ(1, num(ct, "redMultiplier"));
  m.setMember(ct, "rgb", Value(0x102030));
  EXPECT_EQ(0x102030, num(ct, "rgb"));
  EXPECT_EQ(0, num(ct, "greenMultiplier"));
}

TEST_F(Geom, SystemAndExternalInterfaceTellOfADesktopPlayer) {
  Value system = m.get(m.global(), "System");
  EXPECT_EQ("localWithNetwork", text(m.getMember(m.getMember(system, "security"), "sandboxType")));
  Value ime = m.getMember(system, "IME");
  EXPECT_FALSE(m.toBoolean(call(ime, "getEnabled")));
  EXPECT_EQ(m.getMember(m.get(m.global(), "AsBroadcaster"), "addListener").object(),
            m.getMember(ime, "addListener").object());

  Value ei = m.getMember(m.getMember(m.get(m.global(), "flash"), "external"), "ExternalInterface");
  EXPECT_FALSE(m.toBoolean(m.getMember(ei, "available")));
  EXPECT_TRUE(call(ei, "call", {"alert", "hi"}).isNull());
  EXPECT_FALSE(m.toBoolean(call(ei, "addCallback", {"f", Value::null(), Value::null()})));
  EXPECT_EQ("say \\\"hi\\\"", text(call(ei, "_jsQuoteString", {"say \"hi\""})));
}

TEST_F(GeomSwf7, PackagesOfLaterPlayersAreHiddenFromOlderMovies) {
  EXPECT_TRUE(m.get(m.global(), "flash").isUndefined());
  EXPECT_FALSE(m.get(m.global(), "System").isUndefined());
  Machine swf5(5, {});
  EXPECT_TRUE(swf5.get(swf5.global(), "System").isUndefined());
  EXPECT_TRUE(swf5.get(swf5.global(), "LocalConnection").isUndefined());
}

// ------------------------------------------------------------ LocalConnection

namespace {

std::vector<std::string> heard;

Value recordCall(Machine& m, Call& c) {
  std::string line = m.toString(m.getMember(c.thisValue, "name")).str() + ":";
  for (size_t i = 0; i < c.count; ++i) line += " " + m.toString(c.args[i]).str();
  heard.push_back(line);
  return Value();
}

Value recordStatus(Machine& m, Call& c) {
  heard.push_back(m.toString(m.getMember(c.thisValue, "name")).str() + " status " +
                  m.toString(m.getMember(c.arg(0), "level")).str());
  return Value();
}

class Connections : public Geom {
 protected:
  Connections() { heard.clear(); }
  Value connection(const char* name) {
    Value lc = m.construct(m.get(m.global(), "LocalConnection"), nullptr, 0);
    m.setMember(lc, "name", Value(name));
    m.setMember(lc, "onStatus", Value(m.newNative(recordStatus)));
    m.setMember(lc, "hello", Value(m.newNative(recordCall)));
    return lc;
  }
};

}  // namespace

TEST_F(Connections, MessagesReachTheReceiverAtTheEndOfTheFrameWithTheirArguments) {
  Value receiver = connection("receiver"), sender = connection("sender");
  EXPECT_TRUE(m.toBoolean(call(receiver, "connect", {"Channel"})));
  // One listener per channel, one channel per listener; names ignore case.
  EXPECT_FALSE(m.toBoolean(call(sender, "connect", {"channel"})));
  EXPECT_FALSE(m.toBoolean(call(receiver, "connect", {"other"})));

  Object* payload = m.newObject();
  m.set(payload, "toString", Value(m.newNative([](Machine&, Call&) { return Value("payload"); })));
  EXPECT_TRUE(m.toBoolean(call(sender, "send", {"localhost:CHANNEL", "hello", 1, Value(payload)})));
  EXPECT_FALSE(m.toBoolean(call(sender, "send", {"channel", "close"})));
  EXPECT_FALSE(m.toBoolean(call(sender, "send", {"", "hello"})));
  EXPECT_TRUE(heard.empty());
  // Queued arguments outlive a collection before the frame ends.
  payload = nullptr;
  m.collect();
  avm1::deliverLocalMessages(m);
  EXPECT_EQ((std::vector<std::string>{"sender status status", "receiver: 1 payload"}), heard);

  // Delivered once only.
  heard.clear();
  avm1::deliverLocalMessages(m);
  EXPECT_TRUE(heard.empty());
}

TEST_F(Connections, MessagesWithNoReceiverThenOrNowFailAndClosingFreesTheChannel) {
  Value receiver = connection("receiver"), sender = connection("sender");
  // Sent before anyone listened: an error even though one listens by then.
  call(sender, "send", {"channel", "hello"});
  call(receiver, "connect", {"channel"});
  avm1::deliverLocalMessages(m);
  // Sent while it listened, closed before the frame ended.
  call(sender, "send", {"channel", "hello"});
  call(receiver, "close");
  avm1::deliverLocalMessages(m);
  EXPECT_EQ((std::vector<std::string>{"sender status error", "sender status error"}), heard);

  EXPECT_TRUE(m.toBoolean(call(sender, "connect", {"channel"})));
  EXPECT_EQ("localhost", text(call(sender, "domain")));
}

TEST_F(Connections, AReceiverSendingFromItsHandlerWaitsForTheNextFrame) {
  Value a = connection("a");
  call(a, "connect", {"_loop"});
  // Its handler sends to itself again: each frame delivers one round.
  m.setMember(a, "hello", Value(m.newNative([](Machine& m, Call& c) {
                heard.push_back("round");
                return m.callMethod(c.thisValue, "send", std::vector<Value>{"_loop", "hello"}.data(), 2);
              })));
  call(a, "send", {"_loop", "hello"});
  avm1::deliverLocalMessages(m);
  avm1::deliverLocalMessages(m);
  int rounds = 0;
  for (const std::string& line : heard) rounds += line == "round";
  EXPECT_EQ(2, rounds);
}

// ------------------------------------------------------------ __resolve

namespace {

Value resolveByName(Machine& m, Call& c) { return m.makeString("resolved " + m.toString(c.arg(0)).str()); }

}  // namespace

TEST_F(Geom, MissingPropertiesAreAskedOfResolveFromSwf6Only) {
  Object* proto = m.newObject();
  proto->define("__resolve", Value(m.newNative(resolveByName)));
  Object* o = m.heap().make<Object>(proto);
  m.set(m.global(), "o", Value(o));
  m.set(o, "here", Value(1));
  EXPECT_EQ("resolved missing", text(m.get(o, "missing")));
  EXPECT_EQ(1, m.toNumber(m.get(o, "here")));
  // Asking for __resolve itself gives the function, not a call of it.
  EXPECT_NE(nullptr, m.get(o, "__resolve").object());

  Machine swf5(5, {});
  Object* old = swf5.newObject();
  old->define("__resolve", Value(swf5.newNative(resolveByName)));
  EXPECT_TRUE(swf5.get(old, "missing").isUndefined());
}

TEST_F(Connections, AReceiverClosedWhileTheSenderHearsIsNotCalledNorKeptAlive) {
  Value receiver = connection("receiver"), sender = connection("sender");
  call(receiver, "connect", {"channel"});
  m.set(m.global(), "receiverToClose", receiver);
  m.setMember(sender, "onStatus", Value(m.newNative([](Machine& m, Call&) {
                Value r = m.get(m.global(), "receiverToClose");
                m.remove(m.global(), "receiverToClose");
                m.callMethod(r, "close", nullptr, 0);
                // Nothing holds the receiver now: a collection frees it.
                m.collect();
                heard.push_back("closed");
                return Value();
              })));
  call(sender, "send", {"channel", "hello"});
  receiver = Value();
  avm1::deliverLocalMessages(m);
  EXPECT_EQ((std::vector<std::string>{"closed"}), heard);
}

TEST_F(Geom, ConvolutionWeightsFollowTheMatrixSizeAndNativeAccessorsReachThem) {
  Value filters = m.getMember(m.get(m.global(), "flash"), "filters");
  std::vector<Value> args = {2, 2, Value(m.newArray({1, 2, 3, 4, 5, 6}))};
  Value f = m.construct(m.getMember(filters, "ConvolutionFilter"), args.data(), args.size());
  // Extra weights are dropped; a larger matrix is padded with zeros.
  EXPECT_EQ("1,2,3,4", text(m.getMember(f, "matrix")));
  m.setMember(f, "matrixX", Value(3));
  EXPECT_EQ("1,2,3,4,0,0", text(m.getMember(f, "matrix")));
  m.setMember(f, "matrixY", Value(1000));  // past the largest size the player takes
  EXPECT_EQ(15, num(f, "matrixY"));
  EXPECT_EQ(45, num(m.getMember(f, "matrix"), "length"));
  EXPECT_TRUE(m.toBoolean(m.getMember(f, "preserveAlpha")));  // defaults of the arguments left out

  // The width's getter and setter by number (after one skipped pair), under
  // a name of the script's.
  std::vector<Value> accessor = {f, 1109, ",matrixWidth", -1};
  m.call(m.get(m.global(), "ASSetNativeAccessor"), Value(), accessor.data(), accessor.size());
  EXPECT_EQ(3, num(f, "matrixWidth"));
  m.setMember(f, "matrixWidth", Value(4));
  EXPECT_EQ(4, num(f, "matrixX"));
  // Numbers of no known routine make the name, with nothing in it.
  std::vector<Value> unknown = {f, 9999, "nothing", 1};
  m.call(m.get(m.global(), "ASSetNativeAccessor"), Value(), unknown.data(), unknown.size());
  EXPECT_TRUE(m.hasOwnProperty(f.object(), "nothing"));
  EXPECT_TRUE(m.getMember(f, "nothing").isUndefined());
  std::vector<Value> nativeArgs = {1109, 99};
  EXPECT_TRUE(m.call(m.get(m.global(), "ASnative"), Value(), nativeArgs.data(), nativeArgs.size()).isUndefined());
}

TEST_F(Geom, ForInListsThePrototypesNamesFirstAndEachNameOnce) {
  Object* proto = m.newObject();
  m.set(proto, "shared", Value(1));
  m.set(proto, "fromProto", Value(2));
  Object* o = m.heap().make<Object>(proto);
  m.set(o, "first", Value(3));
  m.set(o, "Shared", Value(4));
  std::vector<std::string> names;
  for (const avm1::String& n : m.enumerate(o)) names.push_back(n.str());
  // SWF 8 names differ by case; a name already seen below is not listed again.
  EXPECT_EQ((std::vector<std::string>{"fromProto", "shared", "Shared", "first"}), names);

  Machine swf6(6, {});
  Object* p6 = swf6.newObject();
  swf6.set(p6, "shared", Value(1));
  Object* o6 = swf6.heap().make<Object>(p6);
  swf6.set(o6, "SHARED", Value(2));
  ASSERT_EQ(1u, swf6.enumerate(o6).size());
  EXPECT_EQ("SHARED", swf6.enumerate(o6)[0].str());
}

TEST_F(Geom, FilterNumbersKeepTheirUnitsAndRangesAndClonesStandApart) {
  Value filters = m.getMember(m.get(m.global(), "flash"), "filters");
  std::vector<Value> args = {10, 90, 0x336699, 2, 4, 4, 1, 40};
  Value shadow = m.construct(m.getMember(filters, "DropShadowFilter"), args.data(), args.size());
  // Degrees in, degrees out, whatever the renderer keeps.
  EXPECT_DOUBLE_EQ(90, num(shadow, "angle"));
  EXPECT_EQ(0x336699, num(shadow, "color"));
  EXPECT_EQ(1, num(shadow, "alpha"));     // at most 1
  EXPECT_EQ(15, num(shadow, "quality"));  // at most 15
  m.setMember(shadow, "angle", Value(450));
  EXPECT_DOUBLE_EQ(90, num(shadow, "angle"));
  m.setMember(shadow, "distance", Value(NAN));
  EXPECT_EQ(0, num(shadow, "distance"));

  Value copy = m.callMethod(shadow, "clone", nullptr, 0);
  m.setMember(copy, "color", Value(0));
  EXPECT_EQ(0x336699, num(shadow, "color"));
  EXPECT_FALSE(m.toBoolean(m.getMember(copy, "hideObject")));

  // A colour matrix hands out copies of its numbers.
  std::vector<Value> none;
  Value cm = m.construct(m.getMember(filters, "ColorMatrixFilter"), none.data(), 0);
  EXPECT_EQ("1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0", text(m.getMember(cm, "matrix")));
  Value numbers = m.getMember(cm, "matrix");
  m.arraySet(numbers.object(), 0, Value(5));
  EXPECT_EQ(1, m.toNumber(m.arrayGet(m.getMember(cm, "matrix").object(), 0)));
}

TEST_F(Geom, PropertyFlagsFromScriptsLeaveTheMachinesOwnNotesAlone) {
  Value lc = m.construct(m.get(m.global(), "LocalConnection"), nullptr, 0);
  std::vector<Value> connect = {"somewhere"};
  m.callMethod(lc, "connect", connect.data(), 1);
  // Every flag cleared and then every flag set on every global.
  std::vector<Value> clearAll = {Value(m.global()), Value::null(), 0, 4294967295.0};
  m.call(m.get(m.global(), "ASSetPropFlags"), Value(), clearAll.data(), clearAll.size());
  std::vector<Value> setAll = {Value(m.global()), Value::null(), 4294967295.0, 0};
  m.call(m.get(m.global(), "ASSetPropFlags"), Value(), setAll.data(), setAll.size());
  // The connection's channel is still taken.
  Value other = m.construct(m.get(m.global(), "LocalConnection"), nullptr, 0);
  EXPECT_FALSE(m.toBoolean(m.callMethod(other, "connect", connect.data(), 1)));
}
