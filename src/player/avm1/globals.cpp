// Global functions (escape, parseInt, setInterval, ASSetPropFlags, ...) and
// the installation of every built-in class.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/text.h"

namespace avm1 {

namespace {

// ------------------------------------------------------------ escape

}  // namespace

Value returnNothing(Machine&, Call&) { return Value(); }
Value returnNull(Machine&, Call&) { return Value::null(); }
Value returnFalse(Machine&, Call&) { return Value(false); }
Value returnZero(Machine&, Call&) { return Value(0.0); }
Value returnMinusOne(Machine&, Call&) { return Value(-1.0); }

void callAfterScripts(Machine& m, const Value& self, const char* method, std::vector<Value> args) {
  Timer t;
  t.function = self;
  t.method = method;
  t.args = std::move(args);
  t.once = true;
  t.due = m.environment().elapsedMillis ? m.environment().elapsedMillis() : 0;
  m.timers().push_back(std::move(t));
}

std::string escapeText(const std::string& s) {
  std::string out;
  for (unsigned char ch : s) {
    if (std::isalnum(ch)) {
      out += static_cast<char>(ch);
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", ch);
      out += buf;
    }
  }
  return out;
}

namespace {

Value escape(Machine& m, Call& c) { return m.makeString(escapeText(m.toString(c.arg(0)).str())); }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string unescapeText(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() + 0 && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
      i += 2;
    } else if (s[i] == '%' && i + 1 < s.size() && s[i + 1] == 'u' && i + 5 < s.size()) {
      int v = 0;
      bool ok = true;
      for (int k = 2; k < 6; ++k) {
        int d = hexDigit(s[i + k]);
        if (d < 0) ok = false;
        v = v * 16 + d;
      }
      if (ok) {
        out += fromCharCode(static_cast<uint32_t>(v)).str();
        i += 5;
      } else {
        out += s[i];
      }
    } else {
      out += s[i];
    }
  }
  return out;
}

namespace {

Value unescape(Machine& m, Call& c) { return m.makeString(unescapeText(m.toString(c.arg(0)).str())); }

// ------------------------------------------------------------ numbers

Value parseIntFn(Machine& m, Call& c) {
  if (c.count == 0) return Value();
  std::u16string s = toUtf16(m.toString(c.arg(0)));
  int radix = 0;
  if (c.count > 1) {
    double radixArg = m.toNumber(c.arg(1));
    radix = std::isnan(radixArg) ? 0 : wrapToInt32(radixArg);
    if (radix < 2 || radix > 36) return Value(NAN);
  }
  auto isSpace = [&](size_t k) { return k < s.size() && (s[k] == ' ' || s[k] == '\t' || s[k] == '\n' || s[k] == '\r'); };
  auto isX = [&](size_t k) { return k < s.size() && (s[k] == 'x' || s[k] == 'X'); };
  auto readSign = [&](size_t* k) {
    bool minus = *k < s.size() && s[*k] == '-';
    if (*k < s.size() && (s[*k] == '-' || s[*k] == '+')) ++*k;
    return minus;
  };
  size_t i = 0;
  bool negative = false;
  // The reference player looks for "0x" only at the very start of the text:
  // after it come spaces and a sign; a sign before it is dropped along with
  // the 0, and leading spaces turn off both hexadecimal and octal.
  if (s.size() >= 2 && s[0] == '0' && isX(1)) {
    i = 2;
    if (radix == 0) radix = 16;
    while (isSpace(i)) ++i;
    negative = readSign(&i);
  } else if (s.size() >= 3 && (s[0] == '-' || s[0] == '+') && s[1] == '0' && isX(2)) {
    i = 2;
    if (radix == 0) radix = 10;
  } else {
    while (isSpace(i)) ++i;
    bool spaced = i > 0;
    negative = readSign(&i);
    if (radix == 0) {
      radix = 10;
      // A leading zero reads octal when the rest is all octal digits.
      if (!spaced && i + 1 < s.size() && s[i] == '0') {
        bool octal = true;
        for (size_t k = i; k < s.size(); ++k)
          if (s[k] < '0' || s[k] > '7') octal = false;
        if (octal) radix = 8;
      }
    }
  }
  double v = 0;
  bool any = false;
  for (; i < s.size(); ++i) {
    char16_t ch = s[i];
    int d = ch >= '0' && ch <= '9' ? ch - '0'
            : ch >= 'a' && ch <= 'z' ? ch - 'a' + 10
            : ch >= 'A' && ch <= 'Z' ? ch - 'A' + 10 : 99;
    if (d >= radix) break;
    v = v * radix + d;
    any = true;
  }
  if (!any) return Value(NAN);
  return Value(negative ? -v : v);
}

// Reads digits as the reference player does: each fraction digit added at
// its own tenth (so not always the nearest double), dots after the first
// skipped, and then no exponent; the exponent wraps at 32 bits.
Value parseFloatFn(Machine& m, Call& c) {
  if (c.count == 0) return Value();
  std::string s = m.toString(c.arg(0)).str();
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  double v = 0, place = 1;
  bool any = false, dot = false, secondDot = false;
  for (; i < s.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(s[i]))) {
      if (dot) {
        place /= 10;
        v += (s[i] - '0') * place;
      } else {
        v = v * 10 + (s[i] - '0');
      }
      any = true;
    } else if (s[i] == '.') {
      secondDot = dot;
      dot = true;
    } else {
      break;
    }
  }
  if (!any) return Value(NAN);
  int32_t exponent = 0;
  if (!secondDot && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t e = i + 1;
    bool negativeExponent = e < s.size() && s[e] == '-';
    if (e < s.size() && (s[e] == '-' || s[e] == '+')) ++e;
    uint32_t magnitude = 0;
    for (; e < s.size() && std::isdigit(static_cast<unsigned char>(s[e])); ++e) magnitude = magnitude * 10 + static_cast<uint32_t>(s[e] - '0');
    exponent = static_cast<int32_t>(negativeExponent ? 0u - magnitude : magnitude);
  }
  if (exponent != 0 && v != 0) v *= std::pow(10.0, exponent);
  return Value(negative ? -v : v);
}

// With nothing to test, isNaN says true and isFinite false.
Value isNaNFn(Machine& m, Call& c) {
  return Value(c.count == 0 || static_cast<bool>(std::isnan(m.toNumber(c.arg(0)))));
}
Value isFiniteFn(Machine& m, Call& c) {
  return Value(c.count > 0 && static_cast<bool>(std::isfinite(m.toNumber(c.arg(0)))));
}

// ------------------------------------------------------------ ASSetPropFlags

Value asSetPropFlags(Machine& m, Call& c) {
  Object* o = c.arg(0).object();
  if (!o) return Value();
  // The machine's own notes stay out of a script's reach.
  uint32_t set = m.toUint32(c.arg(2)) & ~static_cast<uint32_t>(kInternal);
  uint32_t clear = (c.count > 3 ? m.toUint32(c.arg(3)) : 0) & ~static_cast<uint32_t>(kInternal);
  std::vector<String> names;
  bool all = c.arg(1).isNull();
  if (!all) {
    if (Object* list = c.arg(1).object()) {
      double n = m.arrayLength(list);
      for (double i = 0; i < n && i < 1e6; ++i) names.push_back(m.toString(m.arrayGet(list, i)));
    } else {
      // "a,b,c"
      std::string s = m.toString(c.arg(1)).str();
      size_t start = 0;
      while (start <= s.size()) {
        size_t comma = s.find(',', start);
        if (comma == std::string::npos) comma = s.size();
        names.push_back(String(s.substr(start, comma - start)));
        start = comma + 1;
      }
    }
  }
  auto apply = [&](uint32_t& flags) { flags = (flags & ~clear) | set; };
  auto* array = o->kind() == Object::Kind::Array ? static_cast<ArrayObject*>(o) : nullptr;
  if (all) {
    for (const Property& p : o->properties()) {
      Property* q = o->findOwn(p.name, true);
      if (q) apply(q->flags);
    }
    if (array)
      for (size_t i = 0; i < array->elements.size(); ++i)
        if (array->present[i]) apply(array->flags[i]);
  } else {
    for (const String& n : names) {
      uint32_t* elementFlags = array ? arrayElementFlags(array, n) : nullptr;
      if (elementFlags) {
        apply(*elementFlags);
      } else if (Property* p = o->findOwn(n, m.caseSensitive())) {
        apply(p->flags);
      }
    }
  }
  return Value();
}

// ------------------------------------------------------------ timers

Value addTimer(Machine& m, Call& c, bool once) {
  Timer t;
  size_t next = 0;
  Value first = c.arg(0);
  if (first.object() && first.object()->kind() == Object::Kind::Function) {
    t.function = first;
    next = 1;
  } else if (first.object() && c.count >= 2) {
    t.function = first;
    t.method = m.toString(c.arg(1));
    next = 2;
  } else {
    return Value();
  }
  if (c.count <= next) return Value();
  // An interval that is no number at all runs as often as it can.
  if (c.arg(next).isUndefined()) return Value();
  double interval = m.toNumber(c.arg(next));
  t.interval = std::isnan(interval) ? 0 : std::max(0.0, interval);
  for (size_t i = next + 1; i < c.count; ++i) t.args.push_back(c.args[i]);
  t.once = once;
  t.id = m.nextTimerId()++;
  t.due = m.environment().elapsedMillis() + t.interval;
  m.timers().push_back(std::move(t));
  return Value(static_cast<double>(m.timers().back().id));
}

Value setIntervalFn(Machine& m, Call& c) { return addTimer(m, c, false); }
Value setTimeoutFn(Machine& m, Call& c) { return addTimer(m, c, true); }

Value clearTimerFn(Machine& m, Call& c) {
  double id = m.toNumber(c.arg(0));
  auto& list = m.timers();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->id == id) {
      list.erase(it);
      break;
    }
  }
  return Value();
}

Value noop(Machine&, Call&) { return Value(); }

}  // namespace

bool runNextTimer(Machine& m, double until) {
  if (m.disabled()) return false;
  std::vector<Timer>& list = m.timers();
  // The one due first (the earliest set among equals) fires next.
  auto next = list.end();
  for (auto it = list.begin(); it != list.end(); ++it)
    if (it->due <= until && (next == list.end() || it->due < next->due)) next = it;
  if (next == list.end()) return false;
  Timer t = *next;
  if (t.once) {
    list.erase(next);
  } else {
    next->due = t.due + std::max(t.interval, 1.0);
  }
  if (t.method.empty()) {
    m.callFromOutside(t.function, Value(), t.args);
  } else {
    Value fn;
    try {
      fn = m.getMember(t.function, t.method);
    } catch (...) {
      return true;
    }
    m.callFromOutside(fn, t.function, t.args);
  }
  return true;
}

void installGlobals(Machine& m) {
  Object* g = m.global();
  installObjectClasses(m);
  installArray(m);
  installString(m);
  installMath(m);
  installDate(m);
  installMovieClip(m);
  installColor(m);
  installInput(m);
  installSound(m);
  installTextField(m);
  installGeom(m);
  installColorTransform(m);
  installSystem(m);
  installNativeTable(m);
  installFilters(m);
  installMovieClipLoader(m);
  installXml(m);
  installStyleSheet(m);
  installNetworkClasses(m);
  installDeviceClasses(m);
  installTextSnapshot(m);
  installTextFormat(m);
  installButton(m);
  installBitmapData(m);

  m.method(g, "escape", escape);
  m.method(g, "unescape", unescape);
  m.method(g, "parseInt", parseIntFn);
  m.method(g, "parseFloat", parseFloatFn);
  m.method(g, "isNaN", isNaNFn);
  m.method(g, "isFinite", isFiniteFn);
  m.method(g, "setInterval", setIntervalFn);
  m.method(g, "clearInterval", clearTimerFn);
  m.method(g, "setTimeout", setTimeoutFn);
  m.method(g, "clearTimeout", clearTimerFn);
  m.method(g, "ASSetPropFlags", asSetPropFlags);
  m.method(g, "updateAfterEvent", noop);
  g->define("NaN", Value(NAN), kDontEnum | kVersion5);
  g->define("Infinity", Value(INFINITY), kDontEnum | kVersion5);
  // The reference player's globals hold an "o" that is null.
  g->define("o", Value::null(), kDontEnum);
}

}  // namespace avm1
