// Array: elements kept densely with a length of their own, and its methods.
#include <algorithm>
#include <cmath>
#include <utility>

#include "player/avm1/builtins.h"
#include "player/avm1/text.h"

namespace avm1 {

namespace {

enum SortFlag : uint32_t {
  kCaseInsensitive = 1,
  kDescending = 2,
  kUniqueSort = 4,
  kReturnIndexedArray = 8,
  kNumeric = 16,
};

// Elements beyond this are kept as plain properties, not in the dense vector.
constexpr uint32_t kDenseLimit = 1u << 20;

ArrayObject* asArray(const Value& v) {
  Object* o = v.object();
  return o && o->kind() == Object::Kind::Array ? static_cast<ArrayObject*>(o) : nullptr;
}

std::vector<Value> readAll(Machine& m, Object* o) {
  std::vector<Value> out;
  double n = m.arrayLength(o);
  m.charge(static_cast<int64_t>(std::min(n, 1e9)));
  m.account(static_cast<size_t>(n) * sizeof(Value));
  out.reserve(static_cast<size_t>(n));
  for (double i = 0; i < n; ++i) out.push_back(m.arrayGet(o, i));
  return out;
}

// Replaces a real array's elements; other objects get them set one by one.
void writeAll(Machine& m, Object* o, const std::vector<Value>& values) {
  if (o->kind() == Object::Kind::Array) {
    auto* a = static_cast<ArrayObject*>(o);
    a->assign(values.data(), values.size());
    a->length = static_cast<double>(values.size());
    return;
  }
  for (size_t i = 0; i < values.size(); ++i) m.arraySet(o, static_cast<double>(i), values[i]);
  m.set(o, "length", Value(static_cast<double>(values.size())));
}

double clampIndex(double i, double length) {
  if (std::isnan(i)) return 0;
  i = std::trunc(i);
  if (i < 0) return std::max(0.0, length + i);
  return std::min(i, length);
}

Value arrayConstructor(Machine& m, Call& c) {
  ArrayObject* a = c.constructing ? asArray(c.thisValue) : nullptr;
  if (!a) {
    if (c.constructing) {
      // A subclass's super(): its object takes the elements as properties.
      Object* o = c.thisValue.object();
      if (o) {
        for (size_t i = 0; i < c.count; ++i) m.arraySet(o, static_cast<double>(i), c.args[i]);
        m.set(o, "length", Value(static_cast<double>(c.count)));
      }
      return Value();
    }
    a = m.newArray();
  }
  if (c.count == 1 && c.args[0].isNumber()) {
    a->length = static_cast<double>(m.toInt32(c.args[0]));
  } else {
    a->assign(c.args, c.count);
    a->length = static_cast<double>(c.count);
  }
  return c.constructing ? Value() : Value(a);
}

Value push(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  double n = m.arrayLength(o);
  for (size_t i = 0; i < c.count; ++i) m.arraySet(o, n + static_cast<double>(i), c.args[i]);
  double length = n + static_cast<double>(c.count);
  if (o->kind() != Object::Kind::Array) m.set(o, "length", Value(length));
  return Value(length);
}

Value pop(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  double n = m.arrayLength(o);
  if (n <= 0) return Value();
  Value last = m.arrayGet(o, n - 1);
  m.set(o, "length", Value(n - 1));
  return last;
}

void removeIndex(Machine& m, Object* o, size_t i) { m.remove(o, Machine::numberToString(static_cast<double>(i))); }

// An element that could not be deleted outlives a shorter length.
void setLengthAfterMove(Machine& m, Object* o, size_t length) {
  if (o->kind() == Object::Kind::Array) static_cast<ArrayObject*>(o)->length = static_cast<double>(length);
  else m.set(o, "length", Value(static_cast<double>(length)));
}

// The reference player's shift and unshift delete every element and set the
// new ones again, holes included, so for..in sees them made anew; elements
// that may not be deleted stay where they were made, and keep their flags.
Value shift(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  std::vector<Value> all = readAll(m, o);
  if (all.empty()) return Value();
  for (size_t i = 0; i < all.size(); ++i) removeIndex(m, o, i);
  for (size_t i = 1; i < all.size(); ++i) m.arraySet(o, static_cast<double>(i - 1), all[i]);
  setLengthAfterMove(m, o, all.size() - 1);
  return all.front();
}

Value unshift(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  std::vector<Value> all = readAll(m, o);
  for (size_t i = 0; i < all.size(); ++i) removeIndex(m, o, i);
  // The old elements move up last first, then the new ones come in order.
  for (size_t i = all.size(); i-- > 0;) m.arraySet(o, static_cast<double>(i + c.count), all[i]);
  for (size_t i = 0; i < c.count; ++i) m.arraySet(o, static_cast<double>(i), c.args[i]);
  size_t length = all.size() + c.count;
  setLengthAfterMove(m, o, length);
  return Value(static_cast<double>(length));
}

Value slice(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  double n = m.arrayLength(o);
  double start = c.count > 0 ? clampIndex(m.toNumber(c.arg(0)), n) : 0;
  double end = c.count > 1 && !c.arg(1).isUndefined() ? clampIndex(m.toNumber(c.arg(1)), n) : n;
  std::vector<Value> out;
  for (double i = start; i < end; ++i) out.push_back(m.arrayGet(o, i));
  m.charge(static_cast<int64_t>(out.size()));
  return Value(m.newArray(out));
}

Value splice(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o || c.count == 0) return Value();
  std::vector<Value> all = readAll(m, o);
  double n = static_cast<double>(all.size());
  double start = clampIndex(m.toNumber(c.arg(0)), n);
  double count = c.count > 1 ? std::trunc(m.toNumber(c.arg(1))) : n - start;
  if (std::isnan(count) || count < 0) count = 0;
  count = std::min(count, n - start);
  auto first = all.begin() + static_cast<ptrdiff_t>(start);
  std::vector<Value> removed(first, first + static_cast<ptrdiff_t>(count));
  all.erase(first, first + static_cast<ptrdiff_t>(count));
  if (c.count > 2) all.insert(all.begin() + static_cast<ptrdiff_t>(start), c.args + 2, c.args + c.count);
  writeAll(m, o, all);
  return Value(m.newArray(removed));
}

Value concat(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  std::vector<Value> all = readAll(m, o);
  for (size_t i = 0; i < c.count; ++i) {
    if (ArrayObject* a = asArray(c.args[i])) {
      std::vector<Value> more = readAll(m, a);
      all.insert(all.end(), more.begin(), more.end());
    } else {
      all.push_back(c.args[i]);
    }
  }
  return Value(m.newArray(all));
}

String joinValues(Machine& m, const std::vector<Value>& values, const std::string& separator) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += separator;
    if (!values[i].isNullish() || m.swfVersion() >= 7) out += m.toString(values[i]).str();
    else if (values[i].isNull()) out += "null";
    if (out.size() > m.limits().stringBytes) throw ScriptAbort{"a text grew too long"};
  }
  return m.makeString(std::move(out));
}

Value join(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  std::string separator = c.count > 0 && !c.arg(0).isUndefined() ? m.toString(c.arg(0)).str() : ",";
  return Value(joinValues(m, readAll(m, o), separator));
}

Value arrayToString(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  return Value(joinValues(m, readAll(m, o), ","));
}

Value reverse(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  // Pair by pair from the outside in, as the reference player does: both
  // are deleted, then set the other way round, the lower index first.
  std::vector<Value> all = readAll(m, o);
  for (size_t lo = 0; lo < all.size() / 2; ++lo) {
    size_t hi = all.size() - 1 - lo;
    removeIndex(m, o, lo);
    removeIndex(m, o, hi);
    m.arraySet(o, static_cast<double>(lo), all[hi]);
    m.arraySet(o, static_cast<double>(hi), all[lo]);
  }
  return c.thisValue;
}

// Orders two values as sort() does without a compare function.
int compareDefault(Machine& m, const Value& a, const Value& b, uint32_t flags) {
  // Numeric order is for two numbers; any other pair compares as text.
  if ((flags & kNumeric) && a.isNumber() && b.isNumber()) {
    double x = a.number(), y = b.number();
    if (std::isnan(x) || std::isnan(y)) {
      // NaN sorts after numbers.
      if (std::isnan(x) && std::isnan(y)) return 0;
      return std::isnan(x) ? 1 : -1;
    }
    return x < y ? -1 : x > y ? 1 : 0;
  }
  std::u16string x = toUtf16(m.toString(a)), y = toUtf16(m.toString(b));
  if (flags & kCaseInsensitive) {
    for (auto& ch : x) ch = lowerUnit(ch);
    for (auto& ch : y) ch = lowerUnit(ch);
  }
  return x < y ? -1 : x > y ? 1 : 0;
}

// The reference player's quicksort, whose order of comparisons scripts can
// see through a compare function: the first item of a range is the pivot and
// always the compare's first argument. Ranges wait on a list of our own, so a
// long run of already sorted items cannot exhaust the thread's stack, and
// every index stays inside the range whatever `compare` answers.
template <typename Compare>
void referenceQuickSort(std::vector<size_t>& items, Compare compare) {
  if (items.size() < 2) return;
  std::vector<std::pair<size_t, size_t>> ranges{{0, items.size() - 1}};
  while (!ranges.empty()) {
    auto [lo, hi] = ranges.back();
    ranges.pop_back();
    if (lo >= hi) continue;
    size_t pivot = items[lo], i = lo + 1, j = hi;
    for (;;) {
      while (i < j && compare(pivot, items[i]) > 0) ++i;
      while (j > lo && compare(pivot, items[j]) <= 0) --j;
      if (i >= j) break;
      std::swap(items[i], items[j]);
    }
    std::swap(items[lo], items[j]);
    // The left part is sorted first, as the reference's recursion does.
    ranges.push_back({j + 1, hi});
    if (j > lo) ranges.push_back({lo, j - 1});
  }
}

// Sorts values (with their original indices), then builds what sort() returns.
Value sortValues(Machine& m, Object* o, std::vector<Value> all,
                 const std::function<int(const Value&, const Value&)>& compare, uint32_t flags) {
  std::vector<size_t> order(all.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  bool duplicate = false;
  referenceQuickSort(order, [&](size_t a, size_t b) {
    // Sorted input costs the quicksort n² comparisons: each one is counted.
    m.charge(1);
    int r = compare(all[a], all[b]);
    if (r == 0) duplicate = true;
    return (flags & kDescending) ? -r : r;
  });
  if ((flags & kUniqueSort) && duplicate) return Value(0.0);
  if (flags & kReturnIndexedArray) {
    std::vector<Value> indices;
    for (size_t i : order) indices.push_back(Value(static_cast<double>(i)));
    return Value(m.newArray(indices));
  }
  std::vector<Value> sorted;
  for (size_t i : order) sorted.push_back(all[i]);
  writeAll(m, o, sorted);
  return Value(o);
}

Value sort(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  Value compareFn;
  uint32_t flags = 0;
  if (c.count > 0) {
    // A compare function or flags first; flags given second win.
    Object* f = c.arg(0).object();
    if (!f && !c.arg(0).isNumber()) return Value();
    if (f && f->kind() == Object::Kind::Function) compareFn = c.arg(0);
    if (c.count > 1 && !c.arg(1).isUndefined()) {
      flags = m.toUint32(c.arg(1));
    } else if (c.arg(0).isNumber()) {
      flags = m.toUint32(c.arg(0));
    }
  }
  std::vector<Value> all = readAll(m, o);
  std::function<int(const Value&, const Value&)> compare;
  if (compareFn.isUndefined()) {
    compare = [&](const Value& a, const Value& b) { return compareDefault(m, a, b, flags); };
  } else {
    compare = [&](const Value& a, const Value& b) {
      Value args[] = {a, b};
      double r = m.toNumber(m.call(compareFn, Value(), args, 2));
      return r < 0 ? -1 : r > 0 ? 1 : 0;
    };
  }
  return sortValues(m, o, std::move(all), compare, flags);
}

Value fieldOf(Machine& m, const Value& item, const String& field) {
  Object* o = item.object();
  // Arrays and clips keep some fields (length, _x, ...) outside their properties.
  if (o && (o->kind() == Object::Kind::Array || o->kind() == Object::Kind::Clip)) return m.get(o, field);
  const Property* p = o ? o->findOwn(field, m.caseSensitive()) : nullptr;
  return p && !p->isVirtual() ? p->value : item;
}

Value sortOn(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o || c.count == 0) return Value();
  std::vector<String> fields;
  std::vector<uint32_t> fieldFlags;
  if (Object* list = c.arg(0).object()) {
    double n = m.arrayLength(list);
    for (double i = 0; i < n && i < 1000; ++i) fields.push_back(m.toString(m.arrayGet(list, i)));
  } else {
    fields.push_back(m.toString(c.arg(0)));
  }
  uint32_t flags = 0;
  if (Object* list = c.arg(1).object()) {
    double n = m.arrayLength(list);
    for (double i = 0; i < n && i < 1000; ++i) fieldFlags.push_back(m.toUint32(m.arrayGet(list, i)));
    if (fieldFlags.size() != fields.size()) fieldFlags.clear();
  } else if (c.count > 1) {
    flags = m.toUint32(c.arg(1));
  }
  std::vector<Value> all = readAll(m, o);
  auto compare = [&](const Value& a, const Value& b) {
    for (size_t k = 0; k < fields.size(); ++k) {
      uint32_t f = fieldFlags.empty() ? flags : fieldFlags[k];
      // An item's own stored field (no getter runs, none is inherited); an
      // item without one is compared itself.
      Value x = fieldOf(m, a, fields[k]), y = fieldOf(m, b, fields[k]);
      int r = compareDefault(m, x, y, f);
      if (!fieldFlags.empty() && (f & kDescending)) r = -r;
      if (r) return r;
    }
    return 0;
  };
  // With flags per field, the first field's also say how to answer.
  if (!fieldFlags.empty()) flags = fieldFlags[0] & (kUniqueSort | kReturnIndexedArray);
  return sortValues(m, o, std::move(all), compare, flags);
}

Object* allocateArray(Machine& m, Object* proto) { return m.heap().make<ArrayObject>(proto); }

}  // namespace

bool arrayIndex(const String& name, uint32_t* index) {
  const std::string& s = name.str();
  if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0')) return false;
  uint64_t v = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + static_cast<uint64_t>(ch - '0');
  }
  if (v >= 4294967295ull) return false;
  *index = static_cast<uint32_t>(v);
  return true;
}

bool arrayGetOwn(ArrayObject* a, const String& name, Value* out) {
  uint32_t i;
  if (arrayIndex(name, &i)) {
    if (i < a->elements.size() && a->present[i]) {
      *out = a->elements[i];
      return true;
    }
    return false;
  }
  if (name.str() == "length") {
    *out = Value(a->length);
    return true;
  }
  return false;
}

uint32_t* arrayElementFlags(ArrayObject* a, const String& name) {
  uint32_t i;
  if (!arrayIndex(name, &i) || i >= a->elements.size() || !a->present[i]) return nullptr;
  return &a->flags[i];
}

namespace {

// The reference player keeps an array's length as a 32-bit signed integer:
// any name made of digits (perhaps after a minus) is read modulo 2^32.
bool wrappedIndex(const String& name, int32_t* index) {
  const std::string& s = name.str();
  size_t at = !s.empty() && s[0] == '-' ? 1 : 0;
  if (at == s.size()) return false;
  uint32_t v = 0;
  for (size_t k = at; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return false;
    v = v * 10u + static_cast<uint32_t>(s[k] - '0');
  }
  *index = static_cast<int32_t>(at ? 0u - v : v);
  return true;
}

// A shorter length drops the elements past it.
void setLength(ArrayObject* a, int32_t length) {
  size_t keep = static_cast<size_t>(std::max(length, 0));
  if (keep < a->elements.size()) a->resizeElements(keep);
  a->length = length;
}

}  // namespace

bool arraySetOwn(Machine& m, ArrayObject* a, const String& name, const Value& value) {
  int32_t wrapped;
  if (wrappedIndex(name, &wrapped) && wrapped >= static_cast<int32_t>(a->length)) {
    // One past the element, wrapping at 2^31 like the reference.
    int32_t next = static_cast<int32_t>(static_cast<uint32_t>(wrapped) + 1u);
    if (next < static_cast<int32_t>(a->length)) setLength(a, next);
    else a->length = next;
  }
  uint32_t i;
  if (arrayIndex(name, &i)) {
    if (i < kDenseLimit || i < a->elements.size() * 2) {
      if (i >= a->elements.size()) {
        m.charge(static_cast<int64_t>(i - a->elements.size()));
        m.account((i + 1 - a->elements.size()) * sizeof(Value));
      } else if (a->present[i] && (a->flags[i] & kReadOnly)) {
        return true;
      }
      a->put(i, value);
    } else {
      a->define(name, value);
    }
    return true;
  }
  if (name.str() != "length") return false;
  // length: cut or grow.
  double n = m.toNumber(value);
  if (!std::isnan(n)) setLength(a, wrapToInt32(n));
  return true;
}

void installArray(Machine& m) {
  Prototypes& p = m.protos();
  p.array = m.heap().make<Object>(p.object);
  Object* ap = p.array;
  FunctionObject* array = m.defineClass(m.global(), "Array", arrayConstructor, ap);
  array->allocate = allocateArray;
  m.method(ap, "push", push);
  m.method(ap, "pop", pop);
  m.method(ap, "shift", shift);
  m.method(ap, "unshift", unshift);
  m.method(ap, "slice", slice);
  m.method(ap, "splice", splice);
  m.method(ap, "concat", concat);
  m.method(ap, "join", join);
  m.method(ap, "reverse", reverse);
  m.method(ap, "sort", sort);
  m.method(ap, "sortOn", sortOn);
  m.method(ap, "toString", arrayToString);
  uint32_t constant = kDontEnum | kDontDelete | kReadOnly;
  array->define("CASEINSENSITIVE", Value(1.0), constant);
  array->define("DESCENDING", Value(2.0), constant);
  array->define("UNIQUESORT", Value(4.0), constant);
  array->define("RETURNINDEXEDARRAY", Value(8.0), constant);
  array->define("NUMERIC", Value(16.0), constant);
}

}  // namespace avm1
