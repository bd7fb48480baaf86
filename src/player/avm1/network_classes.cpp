// LoadVars, SharedObject and the streaming classes. This player loads no
// files and reaches no server for a movie, so loads fail the way a missing
// file does (told after the frame's scripts) and connections connect to
// nothing. SharedObject keeps a movie's settings in memory for the run.
#include <string>
#include <utility>
#include <vector>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

// ------------------------------------------------------------ LoadVars

// "a=1&b=two" onto `target`, names and values unescaped; "+" is a space.
void decodeVariables(Machine& m, Object* target, const std::string& text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string::npos) end = text.size();
    std::string pair = text.substr(start, end - start);
    size_t eq = pair.find('=');
    if (eq != std::string::npos && eq > 0) {
      auto decode = [](std::string s) {
        for (char& ch : s)
          if (ch == '+') ch = ' ';
        return unescapeText(s);
      };
      m.set(target, m.makeString(decode(pair.substr(0, eq))), Value(m.makeString(decode(pair.substr(eq + 1)))));
    }
    start = end + 1;
  }
}

Value loadVarsDecode(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (self && c.count > 0) decodeVariables(m, self, m.toString(c.arg(0)).str());
  return Value();
}

// The object's enumerable values as "name=value&...", newest first as
// for..in lists them; functions are left out.
Value loadVarsToString(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value("");
  std::string out;
  for (const String& name : m.enumerate(self)) {
    Value v = m.get(self, name);
    if (v.isObject() && m.typeOf(v).str() == "function") continue;
    if (!out.empty()) out += '&';
    out += escapeText(name.str()) + '=' + escapeText(m.toString(v).str());
  }
  return m.makeString(out);
}

Value loadVarsLoad(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || c.count == 0) return Value(false);
  m.set(self, "loaded", Value(false));
  callAfterScripts(m, c.thisValue, "onData", {});
  return Value(true);
}

// What arrived, or undefined when the load failed.
Value loadVarsOnData(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  if (c.arg(0).isUndefined()) {
    Value failed(false);
    m.callMethod(c.thisValue, "onLoad", &failed, 1);
    return Value();
  }
  m.callMethod(c.thisValue, "decode", c.args, 1);
  m.set(self, "loaded", Value(true));
  Value loaded(true);
  m.callMethod(c.thisValue, "onLoad", &loaded, 1);
  return Value();
}

Value loadVarsSendAndLoad(Machine& m, Call& c) {
  Object* target = c.arg(1).object();
  if (!target || c.count < 2) return Value(false);
  m.set(target, "loaded", Value(false));
  callAfterScripts(m, c.arg(1), "onData", {});
  return Value(true);
}

void installLoadVars(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "LoadVars", returnNothing, proto, kDontEnum | kVersion6);
  // In the reference player's order; toString alone is enumerable.
  m.method(proto, "load", loadVarsLoad);
  m.method(proto, "send", returnFalse);
  m.method(proto, "sendAndLoad", loadVarsSendAndLoad);
  m.method(proto, "decode", loadVarsDecode);
  m.method(proto, "getBytesLoaded", returnZero);
  m.method(proto, "getBytesTotal", returnZero);
  m.method(proto, "toString", loadVarsToString, 0, 0);
  proto->define("contentType", Value("application/x-www-form-urlencoded"), kDontEnum);
  m.method(proto, "onLoad", returnNothing);
  m.method(proto, "onData", loadVarsOnData);
  m.method(proto, "addRequestHeader", returnNothing);
}

// ------------------------------------------------------------ SharedObject

// getLocal hands out one object per name (and path) for the whole run, so
// settings a movie saves are there when it asks again. The objects hang on
// the class, which keeps them alive.
Value sharedObjectGetLocal(Machine& m, Call& c) {
  Object* cls = c.thisValue.object();
  std::string name = m.toString(c.arg(0)).str();
  if (!cls || c.count == 0 || name.empty()) return Value::null();
  // Names a file system would trip on are refused, as the reference player
  // refuses them.
  for (char ch : name)
    if (std::string("~%&\\;:\"',<>?# ").find(ch) != std::string::npos) return Value::null();
  std::string key = name + "|" + (c.count > 1 && !c.arg(1).isUndefined() ? m.toString(c.arg(1)).str() : "");
  // Kept where scripts cannot reach or replace it.
  const Property* held = cls->findOwn("sharedObjects", true);
  Object* store = held && (held->flags & kInternal) ? held->value.object() : nullptr;
  if (!store) {
    store = m.newObject();
    cls->define("sharedObjects", Value(store), kInternal | kDontEnum | kDontDelete);
  }
  Value existing = m.get(store, m.makeString(key));
  if (existing.isObject()) return existing;
  Value so = m.construct(Value(cls), nullptr, 0);
  Object* object = so.object();
  if (!object) return Value::null();
  object->define("data", Value(m.newObject()), kDontDelete);
  store->define(m.makeString(key), so, kDontEnum);
  return so;
}

// Nothing to write out: the data stays in memory, so a flush succeeds.
Value sharedObjectFlush(Machine&, Call&) { return Value(true); }

Value sharedObjectClear(Machine& m, Call& c) {
  Object* data = m.getMember(c.thisValue, "data").object();
  if (!data) return Value();
  for (const String& name : m.enumerate(data)) m.remove(data, name);
  return Value();
}

// Roughly the bytes the data would take stored: names and values as text.
Value sharedObjectGetSize(Machine& m, Call& c) {
  Object* data = m.getMember(c.thisValue, "data").object();
  if (!data) return Value(0.0);
  double size = 0;
  for (const String& name : m.enumerate(data))
    size += static_cast<double>(name.str().size() + m.toString(m.get(data, name)).str().size() + 2);
  return Value(size);
}

void installSharedObject(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  FunctionObject* cls = m.defineClass(m.global(), "SharedObject", returnNothing, proto, kDontEnum | kVersion6);
  m.method(cls, "getLocal", sharedObjectGetLocal, 0, 0);
  m.method(cls, "getRemote", returnNull, 0, 0);
  m.method(cls, "deleteAll", returnNothing);
  m.method(cls, "getDiskUsage", returnZero);
  m.method(proto, "connect", returnFalse);
  m.method(proto, "send", returnNothing);
  m.method(proto, "flush", sharedObjectFlush);
  m.method(proto, "close", returnNothing);
  m.method(proto, "getSize", sharedObjectGetSize);
  m.method(proto, "setFps", returnFalse);
  m.method(proto, "clear", sharedObjectClear);
}

// ------------------------------------------------------------ streams

// connect(null) is the local mode that plays files without a server; any
// server address fails, told through onStatus after the frame.
Value netConnectionConnect(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value(false);
  bool local = c.arg(0).isNull();
  m.set(self, "isConnected", Value(local));
  Object* info = m.newObject();
  m.set(info, "level", Value(local ? "status" : "error"));
  m.set(info, "code", Value(local ? "NetConnection.Connect.Success" : "NetConnection.Connect.Failed"));
  callAfterScripts(m, c.thisValue, "onStatus", {Value(info)});
  return Value(local);
}

Value netConnectionClose(Machine& m, Call& c) {
  if (Object* self = c.thisValue.object()) m.set(self, "isConnected", Value(false));
  return Value();
}

Value netStreamConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  for (const char* name : {"time", "bufferLength", "bufferTime", "bytesLoaded", "bytesTotal", "currentFps"})
    m.set(self, name, Value(0.0));
  return Value();
}

// There is no file to play: the stream reports it not found.
Value netStreamPlay(Machine& m, Call& c) {
  Object* info = m.newObject();
  m.set(info, "level", Value("error"));
  m.set(info, "code", Value("NetStream.Play.StreamNotFound"));
  callAfterScripts(m, c.thisValue, "onStatus", {Value(info)});
  return Value();
}

Value netStreamSetBufferTime(Machine& m, Call& c) {
  if (Object* self = c.thisValue.object()) m.set(self, "bufferTime", Value(m.toNumber(c.arg(0))));
  return Value();
}

// A socket to nowhere: connect fails, told through onConnect(false).
Value xmlSocketConnect(Machine& m, Call& c) {
  callAfterScripts(m, c.thisValue, "onConnect", {Value(false)});
  return Value(false);
}

void installStreams(Machine& m) {
  // Methods in the reference player's order.
  Object* connection = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "NetConnection", returnNothing, connection, kDontEnum | kVersion6);
  connection->define("proxyType", Value("none"), kDontEnum);
  m.method(connection, "connect", netConnectionConnect);
  m.method(connection, "close", netConnectionClose);
  m.method(connection, "call", returnNothing);
  m.method(connection, "addHeader", returnNothing);

  Object* stream = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "NetStream", netStreamConstructor, stream, kDontEnum | kVersion6);
  const std::pair<const char*, NativeFunction> streamMethods[] = {
      {"publish", returnNothing},      {"play", netStreamPlay},          {"play2", netStreamPlay},
      {"receiveAudio", returnNothing}, {"receiveVideo", returnNothing},  {"pause", returnNothing},
      {"seek", returnNothing},         {"onPeerConnect", returnNothing}, {"close", returnNothing},
      {"attachAudio", returnNothing},  {"attachVideo", returnNothing},   {"send", returnNothing},
      {"setBufferTime", netStreamSetBufferTime}, {"getInfo", returnNull}};
  for (const auto& method : streamMethods) m.method(stream, method.first, method.second);

  Object* socket = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "XMLSocket", returnNothing, socket, kDontEnum | kVersion6);
  m.method(socket, "connect", xmlSocketConnect);
  m.method(socket, "send", returnNothing);
  m.method(socket, "close", returnNothing);
  m.method(socket, "onData", returnNothing);
  m.method(socket, "getTimeout", returnZero);
  m.method(socket, "setTimeout", returnNothing);
}

}  // namespace

void installNetworkClasses(Machine& m) {
  installLoadVars(m);
  installSharedObject(m);
  installStreams(m);
}

}  // namespace avm1
