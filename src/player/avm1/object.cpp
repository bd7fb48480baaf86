#include "player/avm1/object.h"

#include <algorithm>
#include <cctype>

#include "player/text/encoding.h"

namespace avm1 {

namespace {

// Names are indexed once an object has this many properties.
constexpr size_t kIndexFrom = 12;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool isAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A letter as names compare it: the reference player folds the cases of the
// Latin, Greek, Cyrillic and Armenian letters, not those of later scripts.
char32_t foldLetter(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  // Latin Extended-A: pairs, upper case first.
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return c & ~char32_t(1);
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  if (c == 0x178) return 0xFF;
  // The digraphs' capital, title case and small letters.
  if (c >= 0x1C4 && c <= 0x1CC) return 0x1C6 + (c - 0x1C4) / 3 * 3;
  if (c >= 0x1F1 && c <= 0x1F3) return 0x1F3;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF)) return c | 1;
  if (c >= 0x4C1 && c <= 0x4CE) return (c & 1) ? c + 1 : c;
  if (c >= 0x531 && c <= 0x556) return c + 48;
  return c;
}

std::u32string foldedName(const std::string& s) {
  std::u32string out = text::decodeUtf8(s);
  for (char32_t& c : out) c = foldLetter(c);
  return out;
}

// Hash of a name with letters folded to lower case (FNV-1a).
size_t foldedHash(const std::string& s) {
  size_t h = static_cast<size_t>(14695981039346656037ull);
  if (!isAscii(s)) {
    for (char32_t c : foldedName(s)) {
      h ^= static_cast<size_t>(c);
      h *= static_cast<size_t>(1099511628211ull);
    }
    return h;
  }
  for (char c : s) {
    h ^= static_cast<size_t>(static_cast<unsigned char>(asciiLower(c)));
    h *= static_cast<size_t>(1099511628211ull);
  }
  return h;
}

// Names compare by the letters above only, whatever the C locale says.
bool sameName(const std::string& a, const std::string& b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  if (!isAscii(a) || !isAscii(b)) return foldedName(a) == foldedName(b);
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

}  // namespace

Heap::~Heap() {
  for (Cell* c : cells_) delete c;
}

void Heap::mark(const Value& v) {
  if (Object* o = v.object()) mark(o);
}

size_t Heap::sweep() {
  while (!pending_.empty()) {
    Cell* c = pending_.back();
    pending_.pop_back();
    c->trace(*this);
  }
  size_t bytes = 0;
  size_t kept = 0;
  for (Cell* c : cells_) {
    if (c->marked_) {
      c->marked_ = false;
      bytes += c->footprint();
      cells_[kept++] = c;
    } else {
      delete c;
    }
  }
  cells_.resize(kept);
  allocatedSinceCollect_ = 0;
  return bytes;
}

bool strcasecmpEqual(const std::string& a, const std::string& b) { return sameName(a, b, false); }

bool visibleToVersion(uint32_t flags, int swfVersion) {
  if (flags & kInternal) return false;
  if ((flags & kVersion5) && swfVersion < 5) return false;
  if ((flags & kVersion6) && swfVersion < 6) return false;
  if ((flags & kVersion7) && swfVersion < 7) return false;
  if ((flags & kVersion8) && swfVersion < 8) return false;
  if ((flags & kVersion9) && swfVersion < 9) return false;
  if ((flags & kVersion10) && swfVersion < 10) return false;
  return true;
}

Object::Object(Object* proto, Kind kind) : kind_(kind) {
  if (proto) define("__proto__", Value(proto), kDontEnum);
}

Property* Object::findOwn(const String& name, bool caseSensitive) {
  const std::string& key = name.str();
  if (index_) {
    auto range = index_->equal_range(foldedHash(key));
    Property* found = nullptr;
    for (auto it = range.first; it != range.second; ++it) {
      Property& p = props_[it->second];
      if (sameName(p.name.str(), key, caseSensitive) && (!found || &p < found)) found = &p;
    }
    return found;
  }
  for (Property& p : props_)
    if (sameName(p.name.str(), key, caseSensitive)) return &p;
  return nullptr;
}

Property& Object::define(const String& name, const Value& value, uint32_t flags) {
  Property* p = findOwn(name, true);
  if (!p) {
    props_.push_back(Property{name, value, nullptr, nullptr, flags});
    if (index_) {
      index_->emplace(foldedHash(name.str()), props_.size() - 1);
    } else if (props_.size() >= kIndexFrom) {
      rebuildIndex();
    }
    p = &props_.back();
  } else {
    p->value = value;
    p->getter = p->setter = nullptr;
    p->flags = flags;
  }
  propertyChanged(*p);
  return *p;
}

void Object::defineVirtual(const String& name, Object* getter, Object* setter, uint32_t flags) {
  Property& p = define(name, Value(), flags);
  p.getter = getter;
  p.setter = setter;
}

bool Object::removeOwn(const String& name, bool caseSensitive) {
  Property* p = findOwn(name, caseSensitive);
  if (!p) return false;
  bool wasProto = p->name.str() == "__proto__";
  props_.erase(props_.begin() + (p - props_.data()));
  if (index_) rebuildIndex();
  if (wasProto) proto_ = nullptr;
  return true;
}

Watcher* Object::findWatcher(const String& name, bool caseSensitive) {
  for (Watcher& w : watchers_)
    if (sameName(w.name.str(), name.str(), caseSensitive)) return &w;
  return nullptr;
}

void Object::propertyChanged(const Property& p) {
  if (p.name.str() == "__proto__") proto_ = p.isVirtual() ? nullptr : p.value.object();
}

void Object::rebuildIndex() {
  if (props_.size() < kIndexFrom) {
    index_.reset();
    return;
  }
  index_ = std::make_unique<std::unordered_multimap<size_t, size_t>>();
  for (size_t i = 0; i < props_.size(); ++i) index_->emplace(foldedHash(props_[i].name.str()), i);
}

void Object::trace(Heap& heap) {
  heap.mark(proto_);
  for (Property& p : props_) {
    heap.mark(p.value);
    heap.mark(p.getter);
    heap.mark(p.setter);
  }
  for (Watcher& w : watchers_) {
    heap.mark(w.callback);
    heap.mark(w.userData);
  }
}

size_t Object::footprint() const {
  return 96 + props_.capacity() * sizeof(Property) + watchers_.size() * sizeof(Watcher);
}

void Scope::trace(Heap& heap) {
  heap.mark(object);
  heap.mark(parent);
}

void FunctionObject::trace(Heap& heap) {
  Object::trace(heap);
  if (script) {
    heap.mark(script->scope);
    heap.mark(script->baseClip);
  }
}

void ArrayObject::trace(Heap& heap) {
  Object::trace(heap);
  for (const Value& v : elements) heap.mark(v);
}

void ArrayObject::assign(const Value* values, size_t count) {
  elements.assign(values, values + count);
  present.assign(count, true);
  flags.assign(count, 0);
  made.resize(count);
  for (size_t i = 0; i < count; ++i) made[i] = nextMade_++;
}

void ArrayObject::resizeElements(size_t n) {
  elements.resize(n);
  present.resize(n, false);
  flags.resize(n, 0);
  made.resize(n, 0);
}

void ArrayObject::put(size_t i, const Value& value) {
  if (i >= elements.size()) resizeElements(i + 1);
  elements[i] = value;
  if (!present[i]) {
    present[i] = true;
    flags[i] = 0;
    made[i] = nextMade_++;
  }
}

void ArrayObject::erase(size_t i) {
  present[i] = false;
  elements[i] = Value();
  flags[i] = 0;
}

std::vector<size_t> ArrayObject::elementsInOrder() const {
  std::vector<size_t> order;
  for (size_t i = 0; i < elements.size(); ++i)
    if (present[i]) order.push_back(i);
  std::sort(order.begin(), order.end(), [this](size_t a, size_t b) { return made[a] < made[b]; });
  return order;
}

void BoxedObject::trace(Heap& heap) {
  Object::trace(heap);
  heap.mark(primitive);
}

NativeObject* hiddenData(const Value& object, const char* name, int tag) {
  Object* o = object.object();
  const Property* p = o ? o->findOwn(name, true) : nullptr;
  if (!p || !(p->flags & kInternal)) return nullptr;
  Object* d = p->value.object();
  if (!d || d->kind() != Object::Kind::Native || static_cast<NativeObject*>(d)->tag != tag) return nullptr;
  return static_cast<NativeObject*>(d);
}

void attachHiddenData(Object* object, const char* name, NativeObject* data) {
  object->define(name, Value(data), kInternal | kDontEnum | kDontDelete);
}

}  // namespace avm1
