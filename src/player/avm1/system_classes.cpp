// System (security, capabilities, IME), flash.external.ExternalInterface and
// LocalConnection as a desktop player has them: no browser page around the
// movie, and no other movie to talk to, so connections reach only the
// movie's own receivers.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

// ------------------------------------------------------------ System

void installSystemObject(Machine& m) {
  Object* system = m.newObject();
  m.global()->define("System", Value(system), kDontEnum | kVersion6);
  system->define("useCodepage", Value(false), kDontEnum);

  Object* security = m.newObject();
  system->define("security", Value(security), kDontEnum);
  // A movie played from the computer's own disk.
  security->define("sandboxType", Value("localWithNetwork"), kDontEnum | kDontDelete | kReadOnly);
  // There is nothing to load across domains, so nothing to allow.
  m.method(security, "allowDomain", returnNothing);
  m.method(security, "allowInsecureDomain", returnNothing);
  m.method(security, "loadPolicyFile", returnNothing);

  Object* capabilities = m.newObject();
  system->define("capabilities", Value(capabilities), kDontEnum);
  struct Text {
    const char* name;
    const char* value;
  };
  const Text texts[] = {{"os", "Windows"}, {"language", "zh-CN"}, {"playerType", "StandAlone"},
                        {"version", "WIN 8,0,0,0"}};
  for (const Text& t : texts) capabilities->define(t.name, Value(t.value), kDontEnum | kReadOnly);
  struct Flag {
    const char* name;
    bool value;
  };
  const Flag flags[] = {{"hasAudio", true},         {"hasMP3", true},          {"hasAudioEncoder", false},
                        {"hasVideoEncoder", false}, {"hasPrinting", false},    {"hasStreamingAudio", true},
                        {"hasIME", true},           {"isDebugger", false},     {"localFileReadDisable", false},
                        {"avHardwareDisable", true}, {"hasAccessibility", false}};
  for (const Flag& f : flags) capabilities->define(f.name, Value(f.value), kDontEnum | kReadOnly);

  // The input method belongs to the system: scripts may listen, not steer it.
  Object* ime = m.newObject();
  system->define("IME", Value(ime), kDontEnum);
  makeBroadcaster(m, ime);
  m.method(ime, "getEnabled", returnFalse);
  m.method(ime, "setEnabled", returnFalse);
  m.method(ime, "setConversionMode", returnFalse);
  m.method(ime, "setCompositionString", returnFalse);
  m.method(ime, "doConversion", returnFalse);
  m.method(ime, "getConversionMode", [](Machine&, Call&) { return Value("UNKNOWN"); });
  for (const char* mode : {"ALPHANUMERIC_FULL", "ALPHANUMERIC_HALF", "CHINESE", "JAPANESE_HIRAGANA",
                           "JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_HALF", "KOREAN", "UNKNOWN"})
    ime->define(mode, Value(mode), kDontEnum | kDontDelete | kReadOnly);
}

// ------------------------------------------------------------ ExternalInterface

// Text with its double quotes escaped for a script call; null for none.
Value jsQuoteString(Machine& m, Call& c) {
  if (c.count == 0) return Value::null();
  std::string s = m.toString(c.arg(0)).str();
  if (s.empty()) return Value::null();
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    if (ch == '"') out += '\\';
    out += ch;
  }
  return m.makeString(out);
}

void installExternalInterface(Machine& m) {
  Object* flash = flashPackage(m);
  Object* external = m.newObject();
  flash->define("external", Value(external), kDontEnum);
  Object* proto = m.newObject();
  FunctionObject* ei = m.defineClass(external, "ExternalInterface", returnNothing, proto);
  // No page hosts the movie: nothing answers calls or registers callbacks.
  ei->define("available", Value(false), kDontEnum | kDontDelete | kReadOnly);
  m.method(ei, "addCallback", returnFalse);
  m.method(ei, "call", returnNull);
  m.method(ei, "_jsQuoteString", jsQuoteString);
  installExternalValueReaders(m, ei);
}

// ------------------------------------------------------------ LocalConnection

struct Message {
  Object* sender;
  std::string channel;
  String method;
  std::vector<Value> args;
  bool heard;  // a receiver listened on the channel when it was sent
};

// Which connection listens on which channel, and what waits for the end
// of the frame.
class ConnectionRegistry : public NativeObject {
 public:
  ConnectionRegistry() : NativeObject(nullptr, kRegistryTag) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    for (auto& l : listeners) heap.mark(l.second);
    for (Message& msg : queue) {
      heap.mark(msg.sender);
      for (const Value& v : msg.args) heap.mark(v);
    }
  }
  Object* listenerOn(const std::string& channel) const {
    for (auto& l : listeners)
      if (l.first == channel) return l.second;
    return nullptr;
  }
  std::string channelOf(Object* connection) const {
    for (auto& l : listeners)
      if (l.second == connection) return l.first;
    return std::string();
  }
  void close(Object* connection) {
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [&](const std::pair<std::string, Object*>& l) { return l.second == connection; }),
                    listeners.end());
  }
  std::vector<std::pair<std::string, Object*>> listeners;
  std::vector<Message> queue;
};

const char kRegistryName[] = "localConnections";
const char kDomain[] = "localhost";
// A movie's queue of unsent messages stays within reason.
constexpr size_t kMaxQueuedMessages = 10000;

ConnectionRegistry* findRegistry(Machine& m) {
  return static_cast<ConnectionRegistry*>(hiddenData(Value(m.global()), kRegistryName, kRegistryTag));
}

ConnectionRegistry* registryOf(Machine& m) {
  if (ConnectionRegistry* r = findRegistry(m)) return r;
  ConnectionRegistry* r = m.heap().make<ConnectionRegistry>();
  attachHiddenData(m.global(), kRegistryName, r);
  return r;
}

std::string lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// The channel a name means: names starting with "_" are the same from any
// domain, others belong to one ("localhost:name" when none is given).
std::string channelName(const std::string& name) {
  if (name[0] == '_' || name.find(':') != std::string::npos) return lower(name);
  return lower(std::string(kDomain) + ":" + name);
}

bool isNonEmptyString(const Value& v) { return v.isString() && !v.string().empty(); }

Value lcConnect(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || !isNonEmptyString(c.arg(0))) return Value(false);
  std::string name = c.arg(0).string().str();
  // A receiver names its channel without a domain: it always listens on its own.
  if (name.find(':') != std::string::npos) return Value(false);
  ConnectionRegistry* r = registryOf(m);
  std::string channel = channelName(name);
  if (!r->channelOf(self).empty() || r->listenerOn(channel)) return Value(false);
  r->listeners.emplace_back(channel, self);
  return Value(true);
}

Value lcClose(Machine& m, Call& c) {
  if (Object* self = c.thisValue.object()) registryOf(m)->close(self);
  return Value();
}

Value lcSend(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || !isNonEmptyString(c.arg(0)) || !isNonEmptyString(c.arg(1))) return Value(false);
  String method = c.arg(1).string();
  for (const char* reserved : {"send", "connect", "close", "allowDomain", "allowInsecureDomain", "domain"})
    if (strcasecmpEqual(method.str(), reserved)) return Value(false);
  ConnectionRegistry* r = registryOf(m);
  if (r->queue.size() >= kMaxQueuedMessages) return Value(false);
  std::string channel = channelName(c.arg(0).string().str());
  Message msg{self, channel, method, {}, r->listenerOn(channel) != nullptr};
  for (size_t i = 2; i < c.count; ++i) msg.args.push_back(c.args[i]);
  r->queue.push_back(std::move(msg));
  return Value(true);
}

Value lcDomain(Machine&, Call&) { return Value(kDomain); }

Value lcConstructor(Machine&, Call&) { return Value(); }

}  // namespace

void deliverLocalMessages(Machine& m) {
  if (m.disabled()) return;
  ConnectionRegistry* r = findRegistry(m);
  if (!r || r->queue.empty()) return;
  // Messages sent while these are handled wait for the next frame.
  std::vector<Message> batch;
  batch.swap(r->queue);
  // Keeps the batch's objects alive through collections the calls may run.
  std::vector<Value> hold;
  for (Message& msg : batch) {
    hold.push_back(Value(msg.sender));
    hold.insert(hold.end(), msg.args.begin(), msg.args.end());
  }
  m.rootTracers().push_back([&hold](Heap& heap) {
    for (const Value& v : hold) heap.mark(v);
  });
  struct HoldRoots {
    Machine& m;
    ~HoldRoots() { m.rootTracers().pop_back(); }
  } holdRoots{m};
  for (Message& msg : batch) {
    // The sender hears first; the receiver listening at the end of the
    // frame then runs the method, if it was there when the message went.
    Object* receiver = msg.heard ? r->listenerOn(msg.channel) : nullptr;
    Object* status = m.newObject();
    m.set(status, "level", Value(receiver ? "status" : "error"));
    m.runOutside([&] {
      Value onStatus = m.get(msg.sender, "onStatus");
      if (onStatus.object()) m.callFromOutside(onStatus, Value(msg.sender), {Value(status)});
    });
    // onStatus may have closed the receiver (and the collector freed it).
    receiver = receiver ? r->listenerOn(msg.channel) : nullptr;
    if (!receiver) continue;
    m.runOutside([&] {
      Value fn = m.get(receiver, msg.method);
      if (fn.object() && fn.object()->kind() == Object::Kind::Function)
        m.callFromOutside(fn, Value(receiver), msg.args);
    });
  }
}

void installSystem(Machine& m) {
  installSystemObject(m);
  installExternalInterface(m);

  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "LocalConnection", lcConstructor, proto, kDontEnum | kVersion6);
  const uint32_t flags = kDontEnum | kDontDelete;
  m.method(proto, "connect", lcConnect, 0, flags);
  m.method(proto, "send", lcSend, 0, flags);
  m.method(proto, "close", lcClose, 0, flags);
  m.method(proto, "domain", lcDomain, 0, flags);
}

}  // namespace avm1
