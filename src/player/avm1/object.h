// Heap objects of the script machine: plain objects with their properties
// and prototype, functions, arrays, scopes. Every object lives on the heap
// of one machine and is freed by its collector once nothing reaches it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "player/avm1/code.h"
#include "player/avm1/value.h"

namespace avm1 {

class Heap;
class Machine;
class Object;
class Scope;

// Anything the collector manages.
class Cell {
 public:
  virtual ~Cell() = default;
  // Hands every cell this one refers to to heap.mark().
  virtual void trace(Heap& heap) = 0;
  // Rough bytes held, for the heap's limit.
  virtual size_t footprint() const { return 64; }

 private:
  friend class Heap;
  bool marked_ = false;
};

// Thrown when the heap holds as many cells as it may.
struct HeapFull {};

class Heap {
 public:
  Heap() = default;
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;
  ~Heap();

  template <typename T, typename... Args>
  T* make(Args&&... args) {
    if (cells_.size() >= maxCells_) throw HeapFull{};
    T* cell = new T(std::forward<Args>(args)...);
    cells_.push_back(cell);
    ++allocatedSinceCollect_;
    return cell;
  }

  void mark(Cell* cell) {
    if (cell && !cell->marked_) {
      cell->marked_ = true;
      pending_.push_back(cell);
    }
  }
  void mark(const Value& v);
  // Marks what the roots reach (the caller has marked the roots), then frees
  // the rest. Returns the bytes still held.
  size_t sweep();

  size_t cellCount() const { return cells_.size(); }
  // No more cells than this, collected or not.
  void setMaxCells(size_t n) { maxCells_ = n; }
  size_t allocatedSinceCollect() const { return allocatedSinceCollect_; }

 private:
  std::vector<Cell*> cells_;
  std::vector<Cell*> pending_;
  size_t allocatedSinceCollect_ = 0;
  size_t maxCells_ = static_cast<size_t>(-1);
};

// Property attributes as ASSetPropFlags numbers them.
enum PropertyFlag : uint32_t {
  kDontEnum = 1,
  kDontDelete = 2,
  kReadOnly = 4,
  // Hidden from movies older than the version named (1 << 8 hides nothing).
  kVersion6 = 1u << 7,
  kVersion7 = 1u << 10,
  kVersion8 = 1u << 12,
  kVersion9 = 1u << 13,
  kVersion10 = 1u << 14,
  // Hidden from SWF 4 movies (the machine's own flag).
  kVersion5 = 1u << 29,
  // Scripts never see these: the machine keeps notes of its own in them.
  kInternal = 1u << 30,
};

// Names equal but for ASCII letter case.
bool strcasecmpEqual(const std::string& a, const std::string& b);

// True when a property with these flags exists for a movie of this version.
bool visibleToVersion(uint32_t flags, int swfVersion);

struct Property {
  String name;
  Value value;
  Object* getter = nullptr;  // addProperty: both may be set
  Object* setter = nullptr;
  uint32_t flags = 0;
  // Getter, setter and watcher calls on this property now running.
  int busy = 0;
  bool isVirtual() const { return getter != nullptr; }
};

// A watch() callback on one property.
struct Watcher {
  String name;
  Object* callback = nullptr;
  Value userData;
  // Calls of the callback now running.
  int busy = 0;
};

class Object : public Cell {
 public:
  enum class Kind : uint8_t {
    Plain,
    Function,
    Array,
    Clip,
    Boxed,  // Number, String and Boolean objects
    Date,
    Native,  // other built-in classes keeping data of their own
  };

  // The prototype is the "__proto__" property, hidden from for..in.
  explicit Object(Object* proto, Kind kind = Kind::Plain);
  Kind kind() const { return kind_; }
  Object* proto() const { return proto_; }

  // Own properties, in the order they were made.
  const std::vector<Property>& properties() const { return props_; }
  Property* findOwn(const String& name, bool caseSensitive);
  const Property* findOwn(const String& name, bool caseSensitive) const {
    return const_cast<Object*>(this)->findOwn(name, caseSensitive);
  }
  // Adds or replaces a plain value property, flags as given.
  Property& define(const String& name, const Value& value, uint32_t flags = 0);
  void defineVirtual(const String& name, Object* getter, Object* setter, uint32_t flags);
  bool removeOwn(const String& name, bool caseSensitive);
  void setFlags(Property& p, uint32_t flags) { p.flags = flags; }
  // Keeps the prototype link in step with the "__proto__" property.
  void propertyChanged(const Property& p);

  std::vector<Watcher>& watchers() { return watchers_; }
  // The watch() callback on `name`, null when there is none.
  Watcher* findWatcher(const String& name, bool caseSensitive);
  bool isPrototypeObject = false;

  void trace(Heap& heap) override;
  size_t footprint() const override;

 protected:

 private:
  void rebuildIndex();
  Kind kind_;
  Object* proto_ = nullptr;
  std::vector<Property> props_;
  // Hash of the lower-cased name → index in props_, kept once there are many.
  std::unique_ptr<std::unordered_multimap<size_t, size_t>> index_;
  std::vector<Watcher> watchers_;
};

// A link of a scope chain: a function's locals, a with() object, a timeline
// or the globals.
class Scope : public Cell {
 public:
  enum class Kind : uint8_t { Global, Timeline, Local, With };
  Scope(Kind kind, Object* object, Scope* parent) : kind(kind), object(object), parent(parent) {}
  void trace(Heap& heap) override;

  Kind kind;
  Object* object;
  Scope* parent;
};

struct Call;
using NativeFunction = Value (*)(Machine& m, Call& call);

struct ScriptFunction {
  std::shared_ptr<const Code> code;
  size_t start = 0, length = 0;
  std::vector<std::pair<uint8_t, String>> params;  // (register or 0, name)
  uint16_t flags = 0;  // DefineFunction2 flags; 0 for DefineFunction
  uint8_t registerCount = 0;
  bool isFunction2 = false;
  std::shared_ptr<const std::vector<String>> constants;
  Scope* scope = nullptr;
  Object* baseClip = nullptr;  // the timeline the function was defined on
};

class FunctionObject : public Object {
 public:
  FunctionObject(Object* proto, NativeFunction native)
      : Object(proto, Kind::Function), native(native) {}
  FunctionObject(Object* proto, ScriptFunction script)
      : Object(proto, Kind::Function), script(std::make_unique<ScriptFunction>(std::move(script))) {}
  void trace(Heap& heap) override;

  NativeFunction native = nullptr;
  // What `new` makes before calling a native constructor (null: a plain object).
  Object* (*allocate)(Machine& m, Object* proto) = nullptr;
  std::unique_ptr<ScriptFunction> script;
  int magic = 0;  // picks among natives that share one routine
  String name;
};

// Arrays keep their dense elements apart from named properties.
class ArrayObject : public Object {
 public:
  explicit ArrayObject(Object* proto) : Object(proto, Kind::Array) {}
  void trace(Heap& heap) override;
  size_t footprint() const override {
    return Object::footprint() + elements.size() * (sizeof(Value) + sizeof(uint32_t) + sizeof(uint64_t));
  }

  // Elements 0..elements.size()-1; holes are marked in `present`. Each
  // element has flags like a named property's, and the number of its making,
  // since for..in lists elements in the order they were made.
  std::vector<Value> elements;
  std::vector<bool> present;
  std::vector<uint32_t> flags;
  std::vector<uint64_t> made;
  double length = 0;

  // Makes elements 0..count-1 of these values, in that order, dropping all others.
  void assign(const Value* values, size_t count);
  // Room for elements 0..n-1; those past n are dropped.
  void resizeElements(size_t n);
  // Sets element i, making it after all others when it is new.
  void put(size_t i, const Value& value);
  void erase(size_t i);
  // Indices of the present elements in the order they were made.
  std::vector<size_t> elementsInOrder() const;

 private:
  uint64_t nextMade_ = 0;
};

// Number, String and Boolean objects made with `new`.
class BoxedObject : public Object {
 public:
  BoxedObject(Object* proto, Value primitive) : Object(proto, Kind::Boxed), primitive(std::move(primitive)) {}
  void trace(Heap& heap) override;
  Value primitive;
};

class DateObject : public Object {
 public:
  explicit DateObject(Object* proto) : Object(proto, Kind::Date) {}
  double time = 0;  // milliseconds since 1970 UTC; NaN when invalid
};

// Built-in classes with data of their own (Color, Sound, ...) keep it in a
// subclass of this; `tag` tells which.
// What a NativeObject carries, one value per built-in class, so that one
// class's data is never taken for another's.
enum NativeTag : int {
  kSuperTag = 1,
  kColorTag,
  kSoundTag,
  kTextFieldTag,
  kColorTransformTag,
  kTransformTag,
  kRegistryTag,
  kFilterTag,
  kSnapshotTag,
  kVideoTag,
  kBitmapDataTag,
};

class NativeObject : public Object {
 public:
  NativeObject(Object* proto, int tag) : Object(proto, Kind::Native), tag(tag) {}
  int tag;
};

// Data a built-in class hangs on an object under a name scripts cannot
// see, so that any object, a subclass's included, becomes one of its kind
// when the class's constructor runs on it (as super() does).
NativeObject* hiddenData(const Value& object, const char* name, int tag);
void attachHiddenData(Object* object, const char* name, NativeObject* data);

}  // namespace avm1
