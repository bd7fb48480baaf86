// ExternalInterface's readers of the XML a page's script would send: each
// value is an element named by its type (<number>5</number>, <true/>,
// <array><property id="0">...</property></array>, ...). No page sends any
// here, but movies and their libraries call these readers directly.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

Value childAt(Machine& m, const Value& node, double i) {
  Value list = m.getMember(node, "childNodes");
  return list.object() ? m.arrayGet(list.object(), i) : Value();
}

double childCount(Machine& m, const Value& node) {
  Value list = m.getMember(node, "childNodes");
  return list.object() ? m.arrayLength(list.object()) : 0;
}

Value toValue(Machine& m, const Value& node, int depth);

// A decimal number after optional leading spaces, and nothing after it;
// NaN otherwise (words such as Infinity, and hexadecimal, included).
double readNumber(const std::string& text) {
  size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return std::nan("");
  size_t digits = start + ((text[start] == '-' || text[start] == '+') ? 1 : 0);
  if (digits >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.'))
    return std::nan("");
  if (text.compare(digits, 2, "0x") == 0 || text.compare(digits, 2, "0X") == 0) return std::nan("");
  const char* begin = text.c_str() + start;
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  return (end == begin || *end != '\0') ? std::nan("") : value;
}

// <property id="name">value</property> children onto `target`.
void readProperties(Machine& m, const Value& node, Object* target, int depth) {
  double n = childCount(m, node);
  m.charge(static_cast<int64_t>(n));
  for (double i = 0; i < n; ++i) {
    Value property = childAt(m, node, i);
    if (!property.object() || m.toString(m.getMember(property, "nodeName")).str() != "property") continue;
    String id = m.toString(m.getMember(m.getMember(property, "attributes"), "id"));
    m.set(target, id, toValue(m, m.getMember(property, "firstChild"), depth + 1));
  }
}

Value toArray(Machine& m, const Value& node, int depth) {
  ArrayObject* array = m.newArray();
  if (node.object() && depth < 64) readProperties(m, node, array, depth);
  return Value(array);
}

Value toObject(Machine& m, const Value& node, int depth) {
  Object* object = m.newObject();
  if (node.object() && depth < 64) readProperties(m, node, object, depth);
  return Value(object);
}

Value toValue(Machine& m, const Value& node, int depth) {
  if (!node.object() || depth >= 64) return Value();
  // The type is read from text only: a String object serves, any other
  // object does not, whatever its toString says.
  Value name = m.getMember(node, "nodeName");
  if (Object* boxed = name.object()) {
    if (boxed->kind() != Object::Kind::Boxed) return Value();
    name = static_cast<BoxedObject*>(boxed)->primitive;
  }
  if (!name.isString()) return Value();
  std::string type = m.toString(name).str();
  if (type == "null") return Value::null();
  if (type == "true") return Value(true);
  if (type == "false") return Value(false);
  if (type == "string")
    return Value(m.makeString(unescapeXmlText(m.toString(m.getMember(node, "firstChild")).str())));
  if (type == "number") return Value(readNumber(m.toString(m.getMember(node, "firstChild")).str()));
  if (type == "array") return toArray(m, node, depth);
  if (type == "object") return toObject(m, node, depth);
  return Value();
}

Value toAs(Machine& m, Call& c) { return toValue(m, c.arg(0), 0); }
Value arrayToAs(Machine& m, Call& c) { return toArray(m, c.arg(0), 0); }
Value objectToAs(Machine& m, Call& c) { return toObject(m, c.arg(0), 0); }

// Each child is one argument.
Value argumentsToAs(Machine& m, Call& c) {
  ArrayObject* args = m.newArray();
  if (!c.arg(0).object()) return Value(args);
  double n = childCount(m, c.arg(0));
  m.charge(static_cast<int64_t>(n));
  for (double i = 0; i < n; ++i) m.arraySet(args, i, toValue(m, childAt(m, c.arg(0), i), 0));
  return Value(args);
}

Value escapeXml(Machine& m, Call& c) { return m.makeString(escapeXmlText(m.toString(c.arg(0)).str())); }
Value unescapeXml(Machine& m, Call& c) { return m.makeString(unescapeXmlText(m.toString(c.arg(0)).str())); }

}  // namespace

void installExternalValueReaders(Machine& m, Object* externalInterface) {
  m.method(externalInterface, "_toAS", toAs);
  m.method(externalInterface, "_arrayToAS", arrayToAs);
  m.method(externalInterface, "_objectToAS", objectToAs);
  m.method(externalInterface, "_argumentsToAS", argumentsToAs);
  m.method(externalInterface, "_escapeXML", escapeXml);
  m.method(externalInterface, "_unescapeXML", unescapeXml);
}

}  // namespace avm1
