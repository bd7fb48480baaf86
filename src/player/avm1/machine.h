// The AVM1 machine of one player: the heap, the globals and built-in
// classes, value conversions as each SWF version has them, property access
// with getters, setters and watchers, function calls and the running of
// action blocks with the limits that keep a runaway script from stalling the
// player.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/object.h"
#include "player/avm1/value.h"

#include "player/core/sound_mixer.h"

namespace player {
class SpriteInstance;
struct RunContext;
}

namespace text {
class DeviceFonts;
}

namespace avm1 {

class ClipObject;
struct Activation;

// What a script throws: a value that try/catch may take.
struct ScriptThrow {
  Value value;
};

// Thrown when a script goes past a limit. As the reference player does
// when it gives up on a runaway script, the action list is abandoned and the
// movie's scripts stay off; its timelines play on.
struct ScriptAbort {
  const char* reason;
};

// One call of a function: its `this`, its arguments and how it was invoked.
struct Call {
  Value thisValue;
  const Value* args = nullptr;
  size_t count = 0;
  bool constructing = false;
  // Run by `new` or by super(): its super() is the constructor the prototype
  // it was given names.
  bool constructorChain = false;
  FunctionObject* callee = nullptr;
  Object* superObject = nullptr;  // the prototype `super` starts at
  // Set by a native constructor whose arguments make no object: `new` then
  // gives undefined.
  bool refused = false;

  Value arg(size_t i) const { return i < count ? args[i] : Value(); }
};

// Limits of what scripts may use.
struct Limits {
  // Actions and native work per frame, and the wall time that may take.
  int64_t stepsPerFrame = 20000000;
  double secondsPerFrame = 1.5;
  // Nested function calls, as the reference player counts them.
  int callDepth = 256;
  // Bytes of the thread's stack the running scripts may take.
  size_t stackBytes = size_t(640) << 10;
  // Nested getter, setter and watcher calls on one property before it acts
  // plain (other properties count their own), from SWF 7.
  int virtualPropertyDepth = 65;
  // Live heap cells (objects, scopes) and their rough bytes.
  size_t heapCells = 1000000;
  size_t heapBytes = size_t(256) << 20;
  // Longest text a script may build, in bytes.
  size_t stringBytes = size_t(16) << 20;
  // Values on the operand stack.
  size_t stackValues = 1000000;
};

// Clocks and outputs the machine reads and writes; the player fills them in.
struct Environment {
  // trace() lines, UTF-8.
  std::function<void(const std::string&)> trace;
  // Milliseconds since 1970 UTC, and the local time zone's offset from UTC
  // (minutes, east positive) at such a moment.
  std::function<double()> utcMillis;
  std::function<double(double utcMs)> localOffsetMinutes;
  // Milliseconds since the movie started (getTimer).
  std::function<double()> elapsedMillis;
  // 0 ≤ r < 1 for Math.random and random().
  std::function<double()> random;
};

// A setInterval or setTimeout callback.
struct Timer {
  int id = 0;
  Value function;  // a function, or an object whose `method` is called
  String method;
  std::vector<Value> args;
  double interval = 0;  // milliseconds
  double due = 0;       // on the getTimer clock
  bool once = false;
};

// The mouse and keys as the player last reported them, and a dragged clip.
struct InputState {
  double mouseX = 0, mouseY = 0;  // stage pixels
  bool mouseDown = false;
  bool keys[256] = {};
  int lastKey = 0;   // Windows virtual-key code
  int lastChar = 0;  // character typed, 0 for none
  bool mouseHidden = false;
  Object* dragged = nullptr;
  bool dragConstrained = false;
  double dragBox[4] = {0, 0, 0, 0};  // left, top, right, bottom (pixels)
  double dragOffsetX = 0, dragOffsetY = 0;  // twips
  // The key code a keyPress clip event names for the last key.
  uint8_t lastKeyPressCode() const;
};

struct Prototypes {
  Object* object = nullptr;
  Object* function = nullptr;
  Object* array = nullptr;
  Object* string = nullptr;
  Object* number = nullptr;
  Object* boolean = nullptr;
  Object* date = nullptr;
  Object* movieClip = nullptr;
  Object* error = nullptr;
  Object* color = nullptr;
  Object* sound = nullptr;
  Object* xmlNode = nullptr;
  Object* textField = nullptr;
  Object* point = nullptr;
  Object* rectangle = nullptr;
  Object* matrix = nullptr;
  Object* colorTransform = nullptr;
  Object* button = nullptr;
  Object* textFormat = nullptr;
  Object* video = nullptr;
  Object* bitmapData = nullptr;
};

class Machine {
 public:
  Machine(int swfVersion, Environment environment);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The version whose rules apply now: the running code's (functions in
  // SWF 4 movies follow SWF 5), else the movie's.
  int swfVersion() const { return activeVersion_; }
  bool caseSensitive() const { return activeVersion_ >= 7; }
  void setActiveVersion(int version) { activeVersion_ = version; }
  int movieVersion() const { return swfVersion_; }
  Heap& heap() { return heap_; }
  Limits& limits() { return limits_; }
  Environment& environment() { return env_; }
  Object* global() const { return global_; }
  InputState& input() { return input_; }
  // Code page of SWF 5 text (0: the system's).
  unsigned codePage() const { return codePage_; }
  void setCodePage(unsigned codePage) { codePage_ = codePage; }
  // Where Sound objects play; null: silent.
  player::SoundMixer* mixer() const { return mixer_; }
  void setMixer(player::SoundMixer* mixer) { mixer_ = mixer; }
  // The system's fonts, for measuring text; null when the host has none.
  void setDeviceFonts(text::DeviceFonts* fonts) { deviceFonts_ = fonts; }
  text::DeviceFonts* deviceFonts() const { return deviceFonts_; }
  // Volume and pan of the sounds of the movie as a whole.
  player::SoundTransform& globalSoundTransform() { return globalSound_; }
  // The movie's address as _url reports it.
  const std::string& movieUrl() const { return movieUrl_; }
  void setMovieUrl(std::string url) { movieUrl_ = std::move(url); }
  const Prototypes& protos() const { return protos_; }
  Prototypes& protos() { return protos_; }
  // Scripts are off for good once a limit was passed; why, or null.
  bool disabled() const { return stopReason_ != nullptr; }
  const char* stopReason() const { return stopReason_; }

  // The display side: the running root timeline and what its timelines share.
  void attachDisplay(player::SpriteInstance* root, player::RunContext* context) {
    root_ = root;
    display_ = context;
  }
  player::SpriteInstance* root() const { return root_; }
  player::RunContext* display() const { return display_; }
  // The script object of a clip, made on first use.
  ClipObject* clipObject(player::SpriteInstance* sprite);

  // --- running ---
  // Runs an action block with `clip` as its timeline. A block that throws
  // or passes a limit is given up; the player goes on.
  void runBlock(const std::shared_ptr<const Code>& code, player::SpriteInstance* clip);
  // Calls a function from outside any script (events, intervals).
  Value callFromOutside(const Value& function, const Value& thisValue, const std::vector<Value>& args);
  // Action blocks and outside calls run so far: whether input reached any
  // script at all.
  uint64_t scriptsRun() const { return scriptsRun_; }
  // Runs `work` (look-ups that may call getters, say) from outside any
  // script, within the same limits.
  void runOutside(const std::function<void()>& work);
  // Starts a frame's budget of steps and time.
  void beginFrame();
  // Counts `n` units of work against the frame's budget; past it the
  // running script is given up.
  void charge(int64_t n) {
    steps_ += n;
    if (steps_ >= nextClockCheck_) checkBudget();
  }
  // Frees what nothing reaches. Only between scripts or from the interpreter's
  // safe points.
  void collect();
  void collectIfDue();

  // --- conversions ---
  double toNumber(const Value& v);
  String toString(const Value& v);
  bool toBoolean(const Value& v);
  int32_t toInt32(const Value& v);
  uint32_t toUint32(const Value& v) { return static_cast<uint32_t>(toInt32(v)); }
  // Number or string: objects through valueOf (hint number) or toString.
  Value toPrimitive(const Value& v, bool preferString = false);
  // Boxes primitives; null for undefined and null.
  Object* toObject(const Value& v);
  // A primitive made an object the way member access and calls make it:
  // `new` of the global Boolean, Number or String, whatever a script put
  // there. Null when that is no function (and for undefined and null).
  Object* coerceToObject(const Value& v);
  String typeOf(const Value& v);
  // Text as trace() prints it.
  String toTraceString(const Value& v);
  static String numberToString(double n);
  // Number of a text as the running version reads it (NaN when none).
  double stringToNumber(const String& s) const;

  // --- comparisons ---
  bool equals(const Value& a, const Value& b);        // ==
  static bool strictEquals(const Value& a, const Value& b);  // ===
  // a < b: true, false, or undefined when a NaN takes part.
  Value lessThan(const Value& a, const Value& b);

  // --- properties ---
  Value get(Object* object, const String& name);
  Value get(Object* object, const String& name, const Value& thisValue, bool askResolve = true);
  // obj.name on any value: primitives are boxed for the look-up.
  Value getMember(const Value& base, const String& name);
  void set(Object* object, const String& name, const Value& value);
  void setMember(const Value& base, const String& name, const Value& value);
  bool remove(Object* object, const String& name);
  // Own or inherited, as `in` and hasOwnProperty see them.
  bool hasProperty(Object* object, const String& name);
  bool hasOwnProperty(Object* object, const String& name);
  // Own property visible to this movie's version, or null.
  Property* findOwnVisible(Object* object, const String& name);
  // Names a for..in sees, nearest object first.
  std::vector<String> enumerate(Object* object);

  // --- calls ---
  Value call(const Value& function, const Value& thisValue, const Value* args, size_t count,
             Object* superObject = nullptr, bool constructorChain = false);
  Value call(const Value& function, const Value& thisValue, std::initializer_list<Value> args) {
    return call(function, thisValue, args.begin(), args.size());
  }
  // The calls the interpreter makes, whose values all live in the new
  // activation: a collection may run inside them.
  Value callFromScript(const Value& function, const Value& thisValue, const Value* args, size_t count,
                       Object* superObject = nullptr, bool constructorChain = false);
  Object* constructFromScript(FunctionObject* function, const Value* args, size_t count, Object* superObject);
  Value callMethod(const Value& object, const String& name, const Value* args, size_t count);
  Value construct(const Value& function, const Value* args, size_t count);
  // Makes a new object whose prototype is function.prototype and runs the
  // function on it; `constructor` and `__constructor__` are set. Null when
  // a native constructor refused its arguments.
  Object* constructWith(FunctionObject* function, const Value* args, size_t count,
                        Object* superObject = nullptr);

  // --- making objects ---
  Object* newObject();
  ArrayObject* newArray();
  ArrayObject* newArray(const std::vector<Value>& values);
  FunctionObject* newNative(NativeFunction fn, int magic = 0);
  // A native method on `owner`, hidden from for..in.
  FunctionObject* method(Object* owner, const char* name, NativeFunction fn, int magic = 0,
                         uint32_t flags = kDontEnum);
  // A class: constructor function with its prototype object linked both ways.
  FunctionObject* defineClass(Object* owner, const char* name, NativeFunction constructor,
                              Object* prototype, uint32_t flags = kDontEnum);
  // Error objects as the built-in classes throw them.
  [[noreturn]] void throwError(const char* message);
  // Text made by a script, refused past the string limit.
  String makeString(std::string text);
  // Counts bytes a script makes outside heap cells (elements, text) against
  // the heap's limit; collects when it may.
  void account(size_t bytes);

  // Array helpers that work on any object through its properties.
  double arrayLength(Object* object);
  Value arrayGet(Object* object, double index);
  void arraySet(Object* object, double index, const Value& value);

  // The activation running now (null between scripts).
  Activation* current() const { return current_; }
  void setCurrent(Activation* a) { current_ = a; }
  std::vector<Value>& stack() { return stack_; }
  int callDepth() const { return callDepth_; }
  // True when the running scripts took more of the thread's stack than allowed.
  bool stackExhausted() const;

  // Script functions from DefineFunction and DefineFunction2.
  Value invokeScript(FunctionObject* function, Call& call);

  // One more nested script run: a function, or a frame's actions that
  // call() runs at once. Past the call depth or the stack allowed it throws
  // ScriptAbort.
  class NestedRun {
   public:
    explicit NestedRun(Machine& m);
    ~NestedRun() { --m_.callDepth_; }
    NestedRun(const NestedRun&) = delete;
    NestedRun& operator=(const NestedRun&) = delete;

   private:
    Machine& m_;
  };

  // The clip whose timeline the running code targets, if any.
  player::SpriteInstance* targetSprite() const;

  // Extra roots the display side or built-ins keep (intervals, listeners).
  std::vector<std::function<void(Heap&)>>& rootTracers() { return rootTracers_; }

  std::vector<Timer>& timers() { return timers_; }
  int& nextTimerId() { return nextTimerId_; }

  // Registered classes for attachMovie (Object.registerClass).
  std::vector<std::pair<String, Object*>>& registeredClasses() { return registeredClasses_; }

 private:
  friend struct Interpreter;
  struct NoCollection;
  void installBuiltins();
  void checkBudget();
  // Runs fn, giving up on what it runs past a limit or on an uncaught throw.
  template <typename Fn>
  void guarded(Fn fn);
  bool watchSet(Object* object, const String& name, Value* value);
  void setVirtual(Object* object, Object* owner, Property* p, Value value);
  // Nested calls of one property's getter, setter or watcher allowed.
  int propertyCallLimit() const;

  int swfVersion_;
  int activeVersion_;
  uint64_t scriptsRun_ = 0;
  Environment env_;
  InputState input_;
  unsigned codePage_ = 0;
  player::SoundMixer* mixer_ = nullptr;
  text::DeviceFonts* deviceFonts_ = nullptr;
  player::SoundTransform globalSound_;
  std::string movieUrl_;
  Limits limits_;
  Heap heap_;
  Object* global_ = nullptr;
  Prototypes protos_;
  player::SpriteInstance* root_ = nullptr;
  player::RunContext* display_ = nullptr;
  std::vector<Value> stack_;
  Activation* current_ = nullptr;
  int callDepth_ = 0;
  int unsafeDepth_ = 0;
  const char* stopReason_ = nullptr;
  // Where the outermost running script's stack began.
  const char* stackBase_ = nullptr;
  int64_t steps_ = 0;
  int64_t nextClockCheck_ = 0;
  std::chrono::steady_clock::time_point frameStart_;
  size_t liveBytes_ = 0;
  size_t bytesSinceCollect_ = 0;
  std::vector<std::function<void(Heap&)>> rootTracers_;
  std::vector<std::pair<String, Object*>> registeredClasses_;
  std::vector<Timer> timers_;
  int nextTimerId_ = 1;
};

}  // namespace avm1
