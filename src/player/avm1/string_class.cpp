// String and Math.
#include <algorithm>
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/text.h"

namespace avm1 {

namespace {

// The text a String method works on: a string value, a String object's
// text, or any value's text.
std::u16string thisText(Machine& m, const Call& c) {
  if (Object* o = c.thisValue.object()) {
    Value stored = storedPrimitive(o);
    if (stored.isString()) return toUtf16(stored.string());
  }
  return toUtf16(m.toString(c.thisValue));
}

String out(Machine& m, const std::u16string& s) {
  if (s.size() > m.limits().stringBytes / 2) throw ScriptAbort{"a text grew too long"};
  return fromUtf16(s);
}

// An argument as a whole index: 32-bit, wrapping (NaN counts as 0).
double index(Machine& m, const Value& v) { return static_cast<double>(m.toInt32(v)); }

Value stringConstructor(Machine& m, Call& c) {
  String s = c.count > 0 ? m.toString(c.arg(0)) : String();
  if (c.constructing) {
    if (Object* o = c.thisValue.object()) {
      storePrimitive(o, Value(s));
      o->define("length", Value(static_cast<double>(s.units())), kDontEnum | kDontDelete);
    }
    return Value();
  }
  return Value(s);
}

Value stringToString(Machine& m, Call& c) {
  if (c.thisValue.isString()) return c.thisValue;
  if (Object* o = c.thisValue.object()) {
    Value stored = storedPrimitive(o);
    if (stored.isString()) return stored;
    // Another object borrowing this method: asking it for its text would
    // come straight back here.
    return Value(String("[object Object]"));
  }
  return Value(m.toString(c.thisValue));
}

Value charAt(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  double i = index(m, c.arg(0));
  if (i < 0 || i >= static_cast<double>(s.size())) return Value(String());
  return Value(fromUtf16(s.substr(static_cast<size_t>(i), 1)));
}

Value charCodeAt(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  double i = index(m, c.arg(0));
  if (i < 0) return Value(NAN);
  // SWF 5 reads past the end as the text's ending zero.
  if (i >= static_cast<double>(s.size())) return Value(m.swfVersion() < 6 ? 0.0 : NAN);
  return Value(static_cast<double>(s[static_cast<size_t>(i)]));
}

Value concat(Machine& m, Call& c) {
  std::string s = m.toString(c.thisValue.object() && c.thisValue.object()->kind() == Object::Kind::Boxed
                                 ? static_cast<BoxedObject*>(c.thisValue.object())->primitive
                                 : c.thisValue)
                      .str();
  for (size_t i = 0; i < c.count; ++i) {
    s += m.toString(c.args[i]).str();
    if (s.size() > m.limits().stringBytes) throw ScriptAbort{"a text grew too long"};
  }
  return Value(m.makeString(std::move(s)));
}

Value indexOf(Machine& m, Call& c) {
  if (c.count == 0) return Value();
  std::u16string s = thisText(m, c);
  std::u16string what = toUtf16(m.toString(c.arg(0)));
  double from = c.count > 1 ? index(m, c.arg(1)) : 0;
  if (from < 0) from = 0;
  if (from > static_cast<double>(s.size())) return Value(-1.0);
  size_t at = s.find(what, static_cast<size_t>(from));
  return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
}

Value lastIndexOf(Machine& m, Call& c) {
  if (c.count == 0) return Value();
  std::u16string s = thisText(m, c);
  std::u16string what = toUtf16(m.toString(c.arg(0)));
  double from = c.count > 1 && !c.arg(1).isUndefined() ? index(m, c.arg(1)) : static_cast<double>(s.size());
  if (from < 0) return Value(-1.0);
  size_t at = s.rfind(what, static_cast<size_t>(std::min(from, static_cast<double>(s.size()))));
  return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
}

// substr and substring with nothing to go by: SWF 5 gives undefined, later
// versions the whole text.
Value noArguments(Machine& m, const std::u16string& s) {
  if (m.swfVersion() < 6) return Value();
  return Value(out(m, s));
}

Value slice(Machine& m, Call& c) {
  // SWF 5 slices nothing without a start.
  if (c.count == 0 && m.swfVersion() < 6) return Value();
  std::u16string s = thisText(m, c);
  double n = static_cast<double>(s.size());
  if (c.count == 0) return noArguments(m, s);
  double start = index(m, c.arg(0));
  double end = c.count > 1 && !c.arg(1).isUndefined() ? index(m, c.arg(1)) : n;
  if (start < 0) start = std::max(0.0, n + start);
  if (end < 0) end = std::max(0.0, n + end);
  start = std::min(start, n);
  end = std::min(end, n);
  if (end <= start) return Value(String());
  return Value(out(m, s.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
}

Value substring(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  double n = static_cast<double>(s.size());
  if (c.count == 0) return noArguments(m, s);
  double start = std::min(std::max(index(m, c.arg(0)), 0.0), n);
  double end = c.count > 1 && !c.arg(1).isUndefined() ? std::min(std::max(index(m, c.arg(1)), 0.0), n) : n;
  if (end < start) std::swap(start, end);
  return Value(out(m, s.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
}

Value substr(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  double n = static_cast<double>(s.size());
  if (c.count == 0) return noArguments(m, s);
  double start = index(m, c.arg(0));
  if (start < 0) start = std::max(0.0, n + start);
  start = std::min(start, n);
  double length = c.count > 1 && !c.arg(1).isUndefined() ? index(m, c.arg(1)) : n - start;
  if (length < 0) {
    // A negative length counts back from the end of the whole text.
    length = n + length;
    if (start + length >= n) length = 0;
  }
  length = std::min(length, n - start);
  if (length <= 0) return Value(String());
  return Value(out(m, s.substr(static_cast<size_t>(start), static_cast<size_t>(length))));
}

Value split(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  ArrayObject* result = m.newArray();
  double limit = c.count > 1 && !c.arg(1).isUndefined() ? m.toNumber(c.arg(1)) : 4294967295.0;
  if (std::isnan(limit)) limit = 0;
  std::vector<Value> parts;
  // SWF 5 splits at commas when no separator is given, and keeps the text
  // whole at an empty one; later versions the other way round.
  bool noSeparator = c.count == 0 || c.arg(0).isUndefined();
  bool legacy = m.swfVersion() < 6;
  std::u16string sep = noSeparator ? (legacy ? u"," : u"") : toUtf16(m.toString(c.arg(0)));
  if ((noSeparator && !legacy) || (sep.empty() && legacy)) {
    if (limit >= 1) parts.push_back(Value(out(m, s)));
  } else {
    if (sep.empty()) {
      for (char16_t ch : s) {
        if (static_cast<double>(parts.size()) >= limit) break;
        parts.push_back(Value(fromUtf16(std::u16string(1, ch))));
      }
    } else {
      size_t start = 0;
      while (static_cast<double>(parts.size()) < limit) {
        size_t at = s.find(sep, start);
        if (at == std::u16string::npos) {
          parts.push_back(Value(out(m, s.substr(start))));
          break;
        }
        parts.push_back(Value(out(m, s.substr(start, at - start))));
        start = at + sep.size();
      }
    }
  }
  m.charge(static_cast<int64_t>(parts.size()));
  result->assign(parts.data(), parts.size());
  result->length = static_cast<double>(parts.size());
  return Value(result);
}

Value toLowerCase(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  for (auto& ch : s) ch = lowerUnit(ch);
  return Value(out(m, s));
}

Value toUpperCase(Machine& m, Call& c) {
  std::u16string s = thisText(m, c);
  for (auto& ch : s) ch = upperUnit(ch);
  return Value(out(m, s));
}

Value fromCharCodeFn(Machine& m, Call& c) {
  std::u16string s;
  for (size_t i = 0; i < c.count; ++i) {
    uint32_t u = m.toUint32(c.args[i]) & 0xFFFF;
    if (u == 0) break;  // text ends at a zero
    s += static_cast<char16_t>(u);
  }
  return Value(out(m, s));
}

Object* allocateString(Machine& m, Object* proto) { return m.heap().make<BoxedObject>(proto, Value(String())); }

// ------------------------------------------------------------ Math

// Every Math function converts its first two arguments, in order, whether
// it uses them or not (their valueOf methods run); a missing one is NaN.
struct MathArgs {
  double x = NAN, y = NAN;
};
MathArgs mathArgs(Machine& m, const Call& c) {
  MathArgs a;
  if (c.count > 0) a.x = m.toNumber(c.args[0]);
  if (c.count > 1) a.y = m.toNumber(c.args[1]);
  return a;
}

Value mathUnary(Machine& m, Call& c) {
  double x = mathArgs(m, c).x;
  switch (c.callee->magic) {
    case 0: return Value(std::fabs(x));
    case 1: return Value(std::acos(x));
    case 2: return Value(std::asin(x));
    case 3: return Value(std::atan(x));
    case 4: return Value(std::ceil(x));
    case 5: return Value(std::cos(x));
    case 6: return Value(std::exp(x));
    case 7: return Value(std::floor(x));
    case 8: return Value(std::log(x));
    case 9: return Value(std::floor(x + 0.5));  // round: halves up
    case 10: return Value(std::sin(x));
    case 11: return Value(std::sqrt(x));
    case 12: return Value(std::tan(x));
    default: return Value(NAN);
  }
}

Value mathAtan2(Machine& m, Call& c) {
  MathArgs a = mathArgs(m, c);
  return Value(std::atan2(a.x, a.y));
}

Value mathPow(Machine& m, Call& c) {
  MathArgs a = mathArgs(m, c);
  return Value(std::pow(a.x, a.y));
}

// Of two numbers only; with none, the identity of the comparison.
Value mathMinMax(Machine& m, Call& c) {
  bool max = c.callee->magic == 1;
  if (c.count == 0) return Value(max ? -INFINITY : INFINITY);
  MathArgs a = mathArgs(m, c);
  if (std::isnan(a.x) || std::isnan(a.y)) return Value(NAN);
  return Value(max ? std::max(a.x, a.y) : std::min(a.x, a.y));
}

Value mathRandom(Machine& m, Call& c) {
  mathArgs(m, c);
  return Value(m.environment().random());
}

}  // namespace

Value mathBeyondTable(Machine& m, Call& c) {
  mathArgs(m, c);
  return Value(NAN);
}

void installString(Machine& m) {
  Prototypes& p = m.protos();
  p.string = m.heap().make<Object>(p.object);
  Object* sp = p.string;
  FunctionObject* string = m.defineClass(m.global(), "String", stringConstructor, sp);
  string->allocate = allocateString;
  m.method(sp, "toString", stringToString);
  m.method(sp, "valueOf", stringToString);
  m.method(sp, "charAt", charAt);
  m.method(sp, "charCodeAt", charCodeAt);
  m.method(sp, "concat", concat);
  m.method(sp, "indexOf", indexOf);
  m.method(sp, "lastIndexOf", lastIndexOf);
  m.method(sp, "slice", slice);
  m.method(sp, "substring", substring);
  m.method(sp, "substr", substr);
  m.method(sp, "split", split);
  m.method(sp, "toLowerCase", toLowerCase);
  m.method(sp, "toUpperCase", toUpperCase);
  m.method(string, "fromCharCode", fromCharCodeFn);
}

void installMath(Machine& m) {
  Object* math = m.newObject();
  m.global()->define("Math", Value(math), kDontEnum);
  const char* unary[] = {"abs", "acos", "asin", "atan", "ceil", "cos", "exp",
                         "floor", "log", "round", "sin", "sqrt", "tan"};
  for (int i = 0; i < 13; ++i) m.method(math, unary[i], mathUnary, i);
  m.method(math, "atan2", mathAtan2);
  m.method(math, "pow", mathPow);
  m.method(math, "min", mathMinMax, 0);
  m.method(math, "max", mathMinMax, 1);
  m.method(math, "random", mathRandom);
  uint32_t constant = kDontEnum | kDontDelete | kReadOnly;
  math->define("E", Value(2.718281828459045), constant);
  math->define("LN10", Value(2.302585092994046), constant);
  math->define("LN2", Value(0.6931471805599453), constant);
  math->define("LOG10E", Value(0.4342944819032518), constant);
  math->define("LOG2E", Value(1.442695040888963387), constant);
  math->define("PI", Value(3.141592653589793), constant);
  math->define("SQRT1_2", Value(0.7071067811865476), constant);
  math->define("SQRT2", Value(1.4142135623730951), constant);
}

}  // namespace avm1
