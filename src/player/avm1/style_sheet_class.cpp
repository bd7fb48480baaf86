// TextField.StyleSheet: named styles a movie sets by hand or reads from CSS
// text. Selector names are case-insensitive, so they are kept lower-cased;
// CSS property names become script names ("font-size" is fontSize).
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

std::string lowerCase(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

std::string trim(const std::string& s) {
  size_t start = s.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t\r\n");
  return s.substr(start, end - start + 1);
}

// "font-size" -> "fontSize".
std::string scriptName(const std::string& css) {
  std::string out;
  bool upper = false;
  for (char ch : css) {
    if (ch == '-') {
      upper = true;
    } else {
      out += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
      upper = false;
    }
  }
  return out;
}

// The styles hang on the sheet under a name scripts do not enumerate.
Object* styles(Machine& m, const Value& sheet, bool make) {
  Object* self = sheet.object();
  if (!self) return nullptr;
  Object* table = m.get(self, "_styles").object();
  if (!table && make) {
    table = m.newObject();
    self->define("_styles", Value(table), kDontEnum);
  }
  return table;
}

// A copy, so later changes to the caller's object do not reach the sheet.
Object* copyStyle(Machine& m, Object* from) {
  Object* copy = m.newObject();
  for (const String& name : m.enumerate(from)) m.set(copy, name, m.get(from, name));
  return copy;
}

Value setStyle(Machine& m, Call& c) {
  Object* table = styles(m, c.thisValue, true);
  if (!table || c.count == 0) return Value();
  String name = m.makeString(lowerCase(m.toString(c.arg(0)).str()));
  Object* style = c.arg(1).object();
  if (style) {
    m.set(table, name, Value(copyStyle(m, style)));
  } else {
    m.remove(table, name);  // null or nothing takes the style away
  }
  return Value();
}

Value getStyle(Machine& m, Call& c) {
  Object* table = styles(m, c.thisValue, false);
  if (!table) return Value::null();
  Object* style = m.get(table, m.makeString(lowerCase(m.toString(c.arg(0)).str()))).object();
  return style ? Value(copyStyle(m, style)) : Value::null();
}

Value getStyleNames(Machine& m, Call& c) {
  ArrayObject* names = m.newArray();
  Object* table = styles(m, c.thisValue, false);
  if (!table) return Value(names);
  std::vector<String> keys = m.enumerate(table);
  double i = 0;
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) m.arraySet(names, i++, Value(*key));
  return Value(names);
}

Value clearStyles(Machine& m, Call& c) {
  if (Object* table = styles(m, c.thisValue, false))
    for (const String& name : m.enumerate(table)) m.remove(table, name);
  return Value();
}

// Reads "sel1, sel2 { prop: value; ... }" blocks; comments are skipped.
// False, with the sheet untouched, when the text is not CSS.
bool parseCss(Machine& m, const Value& sheet, std::string css) {
  for (size_t open = css.find("/*"); open != std::string::npos; open = css.find("/*")) {
    size_t close = css.find("*/", open + 2);
    if (close == std::string::npos) return false;
    css.erase(open, close + 2 - open);
  }
  struct Rule {
    std::vector<std::string> selectors;
    std::vector<std::pair<std::string, std::string>> properties;
  };
  std::vector<Rule> rules;
  size_t pos = 0;
  while (pos < css.size()) {
    m.charge(1);
    size_t brace = css.find('{', pos);
    if (brace == std::string::npos) {
      if (!trim(css.substr(pos)).empty()) return false;
      break;
    }
    size_t end = css.find('}', brace);
    if (end == std::string::npos) return false;
    Rule rule;
    std::string head = css.substr(pos, brace - pos);
    for (size_t start = 0; start <= head.size();) {
      size_t comma = head.find(',', start);
      if (comma == std::string::npos) comma = head.size();
      std::string selector = trim(head.substr(start, comma - start));
      if (selector.empty()) return false;
      rule.selectors.push_back(lowerCase(selector));
      start = comma + 1;
    }
    std::string body = css.substr(brace + 1, end - brace - 1);
    for (size_t start = 0; start < body.size();) {
      size_t semi = body.find(';', start);
      if (semi == std::string::npos) semi = body.size();
      std::string declaration = trim(body.substr(start, semi - start));
      start = semi + 1;
      if (declaration.empty()) continue;
      size_t colon = declaration.find(':');
      if (colon == std::string::npos) return false;
      rule.properties.emplace_back(scriptName(trim(declaration.substr(0, colon))),
                                   trim(declaration.substr(colon + 1)));
    }
    rules.push_back(std::move(rule));
    pos = end + 1;
  }
  Object* table = styles(m, sheet, true);
  if (!table) return false;
  for (const Rule& rule : rules) {
    for (const std::string& selector : rule.selectors) {
      // Later rules add to a selector's earlier ones.
      Object* style = m.get(table, m.makeString(selector)).object();
      if (!style) {
        style = m.newObject();
        m.set(table, m.makeString(selector), Value(style));
      }
      for (const auto& p : rule.properties) m.set(style, m.makeString(p.first), Value(m.makeString(p.second)));
    }
  }
  return true;
}

Value parseCssMethod(Machine& m, Call& c) {
  return Value(parseCss(m, c.thisValue, m.toString(c.arg(0)).str()));
}

// No file is loaded: the sheet hears onLoad(false) after the frame.
Value loadStyleSheet(Machine& m, Call& c) {
  if (!c.thisValue.object() || c.count == 0) return Value(false);
  callAfterScripts(m, c.thisValue, "onLoad", {Value(false)});
  return Value(true);
}

}  // namespace

void installStyleSheet(Machine& m) {
  Object* textField = m.get(m.global(), "TextField").object();
  if (!textField) return;
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(textField, "StyleSheet", returnNothing, proto, kDontEnum | kVersion7);
  m.method(proto, "setStyle", setStyle);
  m.method(proto, "getStyle", getStyle);
  m.method(proto, "getStyleNames", getStyleNames);
  m.method(proto, "clear", clearStyles);
  m.method(proto, "parseCSS", parseCssMethod);
  m.method(proto, "load", loadStyleSheet);
  m.method(proto, "onLoad", returnNothing);
}

}  // namespace avm1
