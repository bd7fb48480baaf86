// XMLNode and XML: a document tree scripts build, read and print. Nodes
// keep their links (parentNode, firstChild, siblings, childNodes) as plain
// properties, renewed whenever a parent's children change. load and send
// reach no server here: a load fails as a missing file does.
#include <string>
#include <utility>
#include <vector>

#include "player/avm1/builtins.h"

namespace avm1 {

std::string escapeXmlText(const std::string& s) {
  std::string out;
  for (char ch : s) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string unescapeXmlText(const std::string& s) {
  struct Entity {
    const char* name;
    char ch;
  };
  static const Entity entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    bool replaced = false;
    if (s[i] == '&') {
      for (const Entity& e : entities) {
        std::string name = e.name;
        if (s.compare(i, name.size(), name) == 0) {
          out += e.ch;
          i += name.size() - 1;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += s[i];
  }
  return out;
}

namespace {

enum NodeType { kElement = 1, kText = 3 };

// Reasons a parse stops, as `status` reports them.
enum ParseStatus {
  kParsed = 0,
  kCdataUnterminated = -2,
  kDeclarationUnterminated = -3,
  kDoctypeUnterminated = -4,
  kCommentUnterminated = -5,
  kElementMalformed = -6,
  kAttributeMalformed = -8,
  kEndTagMissing = -9,
  kStartTagMissing = -10,
};

// The tree's own links: scripts read them but cannot write them, so a
// script cannot leave the tree inconsistent.
void setLink(Object* node, const char* name, const Value& value) { node->define(name, value, kReadOnly); }

Object* nodePrototype(Machine& m) {
  Object* cls = m.get(m.global(), "XMLNode").object();
  Object* proto = cls ? m.get(cls, "prototype").object() : nullptr;
  return proto ? proto : m.protos().object;
}

void initNode(Machine& m, Object* node, int type, const Value& value) {
  setLink(node, "nodeType", Value(static_cast<double>(type)));
  m.set(node, "nodeName", type == kElement ? value : Value::null());
  m.set(node, "nodeValue", type == kElement ? Value::null() : value);
  m.set(node, "attributes", Value(m.newObject()));
  setLink(node, "childNodes", Value(m.newArray()));
  for (const char* link : {"parentNode", "firstChild", "lastChild", "previousSibling", "nextSibling"})
    setLink(node, link, Value::null());
}

Object* newNode(Machine& m, int type, const Value& value) {
  Object* node = m.heap().make<Object>(nodePrototype(m));
  initNode(m, node, type, value);
  return node;
}

Object* childList(Machine& m, Object* node) { return m.get(node, "childNodes").object(); }

// Renews the links of `parent` and its children after a change.
void relink(Machine& m, Object* parent) {
  Object* list = childList(m, parent);
  double n = list ? m.arrayLength(list) : 0;
  m.charge(static_cast<int64_t>(n));
  Value previous = Value::null();
  for (double i = 0; i < n; ++i) {
    Value child = m.arrayGet(list, i);
    Object* c = child.object();
    if (!c) continue;
    setLink(c, "parentNode", Value(parent));
    setLink(c, "previousSibling", previous);
    setLink(c, "nextSibling", i + 1 < n ? m.arrayGet(list, i + 1) : Value::null());
    previous = child;
  }
  setLink(parent, "firstChild", n > 0 ? m.arrayGet(list, 0) : Value::null());
  setLink(parent, "lastChild", n > 0 ? m.arrayGet(list, n - 1) : Value::null());
}

// Takes `node` out of its parent's children, if it has a parent.
void detach(Machine& m, Object* node) {
  Object* parent = m.get(node, "parentNode").object();
  if (!parent) return;
  Object* list = childList(m, parent);
  double n = list ? m.arrayLength(list) : 0;
  m.charge(static_cast<int64_t>(n));
  std::vector<Value> kept;
  for (double i = 0; i < n; ++i) {
    Value child = m.arrayGet(list, i);
    if (child.object() != node) kept.push_back(child);
  }
  setLink(parent, "childNodes", Value(m.newArray(kept)));
  setLink(node, "parentNode", Value::null());
  setLink(node, "previousSibling", Value::null());
  setLink(node, "nextSibling", Value::null());
  relink(m, parent);
}

bool isAncestorOrSelf(Machine& m, Object* node, Object* of) {
  for (Object* p = of; p; p = m.get(p, "parentNode").object()) {
    m.charge(1);
    if (p == node) return true;
  }
  return false;
}

// Puts a node with no parent after `parent`'s last child, touching only the
// links that change, so building a long list stays linear.
void appendOrphan(Machine& m, Object* parent, Object* child) {
  Object* list = childList(m, parent);
  if (!list) {
    list = m.newArray();
    setLink(parent, "childNodes", Value(list));
  }
  double n = m.arrayLength(list);
  Value last = n > 0 ? m.arrayGet(list, n - 1) : Value::null();
  m.arraySet(list, n, Value(child));
  setLink(child, "parentNode", Value(parent));
  setLink(child, "previousSibling", last);
  setLink(child, "nextSibling", Value::null());
  if (Object* previous = last.object()) setLink(previous, "nextSibling", Value(child));
  if (n == 0) setLink(parent, "firstChild", Value(child));
  setLink(parent, "lastChild", Value(child));
}

// Puts `child` among `parent`'s children before `before` (null: at the end).
void insertChild(Machine& m, Object* parent, Object* child, Object* before) {
  // A node cannot hold itself or its own ancestors.
  if (!parent || !child || child == before || isAncestorOrSelf(m, child, parent)) return;
  // `before` must be one of parent's children, or nothing is inserted.
  if (before && m.get(before, "parentNode").object() != parent) return;
  detach(m, child);
  if (!before) {
    appendOrphan(m, parent, child);
    return;
  }
  Object* list = childList(m, parent);
  double n = list ? m.arrayLength(list) : 0;
  m.charge(static_cast<int64_t>(n));
  std::vector<Value> children;
  bool placed = false;
  for (double i = 0; i < n; ++i) {
    Value existing = m.arrayGet(list, i);
    if (!placed && existing.object() == before) {
      children.push_back(Value(child));
      placed = true;
    }
    children.push_back(existing);
  }
  if (!placed) children.push_back(Value(child));
  setLink(parent, "childNodes", Value(m.newArray(children)));
  relink(m, parent);
}

// ------------------------------------------------------------ printing

void printNode(Machine& m, Object* node, std::string* out, int depth) {
  m.charge(1);
  // Trees are built by scripts; a degenerate one stops at a sane depth.
  if (depth > 256) return;
  Value type = m.get(node, "nodeType");
  if (m.toNumber(type) == kText) {
    Value value = m.get(node, "nodeValue");
    if (!value.isNull() && !value.isUndefined()) *out += escapeXmlText(m.toString(value).str());
    return;
  }
  Value name = m.get(node, "nodeName");
  bool named = !name.isNull() && !name.isUndefined();
  if (named) {
    *out += '<' + m.toString(name).str();
    if (Object* attributes = m.get(node, "attributes").object()) {
      // for..in lists the newest first; the text keeps the order they were set in.
      std::vector<String> keys = m.enumerate(attributes);
      for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        *out += ' ' + key->str() + "=\"" + escapeXmlText(m.toString(m.get(attributes, *key)).str()) + '"';
    }
  }
  Object* list = childList(m, node);
  double n = list ? m.arrayLength(list) : 0;
  if (named && n == 0) {
    *out += " />";
    return;
  }
  if (named) *out += '>';
  for (double i = 0; i < n; ++i)
    if (Object* child = m.arrayGet(list, i).object()) printNode(m, child, out, depth + 1);
  if (named) *out += "</" + m.toString(name).str() + '>';
}

Value nodeToString(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value("");
  std::string out;
  // A document prints its declarations first.
  for (const char* part : {"xmlDecl", "docTypeDecl"}) {
    Value v = m.get(self, part);
    if (!v.isUndefined() && !v.isNull() && m.get(self, "nodeName").isNull()) out += m.toString(v).str();
  }
  printNode(m, self, &out, 0);
  return m.makeString(out);
}

// ------------------------------------------------------------ parsing

bool isSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

bool allSpace(const std::string& s) {
  for (char ch : s)
    if (!isSpace(ch)) return false;
  return true;
}

struct Parser {
  Parser(Machine& machine, const std::string& source, bool skipWhite, Object* doc)
      : m(machine), text(source), ignoreWhite(skipWhite), document(doc) {}

  Machine& m;
  const std::string& text;
  bool ignoreWhite;
  Object* document;
  size_t pos = 0;
  std::vector<Object*> open;  // elements whose end tag is still to come

  Object* current() const { return open.empty() ? document : open.back(); }

  void addText(const std::string& raw, bool decode) {
    if (raw.empty() || (ignoreWhite && allSpace(raw))) return;
    appendOrphan(m, current(), newNode(m, kText, Value(m.makeString(decode ? unescapeXmlText(raw) : raw))));
  }

  // Text up to `end`, or false when the text ends first.
  bool readUntil(const char* end, std::string* out) {
    size_t at = text.find(end, pos);
    if (at == std::string::npos) return false;
    *out = text.substr(pos, at - pos);
    pos = at + std::string(end).size();
    return true;
  }

  std::string readName() {
    size_t start = pos;
    while (pos < text.size() && !isSpace(text[pos]) && text[pos] != '>' && text[pos] != '/' && text[pos] != '=')
      ++pos;
    return text.substr(start, pos - start);
  }

  void skipSpace() {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
  }

  int element() {
    std::string name = readName();
    if (name.empty()) return kElementMalformed;
    Object* node = newNode(m, kElement, Value(m.makeString(name)));
    Object* attributes = m.get(node, "attributes").object();
    for (;;) {
      skipSpace();
      if (pos >= text.size()) return kElementMalformed;
      if (text[pos] == '>' || text[pos] == '/') break;
      std::string key = readName();
      skipSpace();
      if (key.empty() || pos >= text.size() || text[pos] != '=') return kAttributeMalformed;
      ++pos;
      skipSpace();
      if (pos >= text.size() || (text[pos] != '"' && text[pos] != '\'')) return kAttributeMalformed;
      char quote = text[pos++];
      size_t end = text.find(quote, pos);
      if (end == std::string::npos) return kAttributeMalformed;
      m.set(attributes, m.makeString(key), Value(m.makeString(unescapeXmlText(text.substr(pos, end - pos)))));
      pos = end + 1;
    }
    appendOrphan(m, current(), node);
    if (text[pos] == '/') {
      if (pos + 1 >= text.size() || text[pos + 1] != '>') return kElementMalformed;
      pos += 2;
    } else {
      ++pos;
      open.push_back(node);
    }
    return kParsed;
  }

  int endTag() {
    std::string name = readName();
    skipSpace();
    if (pos >= text.size() || text[pos] != '>') return kElementMalformed;
    ++pos;
    if (open.empty() || m.toString(m.get(open.back(), "nodeName")).str() != name) return kStartTagMissing;
    open.pop_back();
    return kParsed;
  }

  int run() {
    while (pos < text.size()) {
      m.charge(1);
      size_t lt = text.find('<', pos);
      if (lt == std::string::npos) lt = text.size();
      addText(text.substr(pos, lt - pos), true);
      pos = lt;
      if (pos >= text.size()) break;
      std::string part;
      int status = kParsed;
      if (text.compare(pos, 9, "<![CDATA[") == 0) {
        pos += 9;
        if (!readUntil("]]>", &part)) return kCdataUnterminated;
        addText(part, false);
      } else if (text.compare(pos, 4, "<!--") == 0) {
        pos += 4;
        if (!readUntil("-->", &part)) return kCommentUnterminated;
      } else if (text.compare(pos, 2, "<?") == 0) {
        size_t start = pos;
        if (!readUntil("?>", &part)) return kDeclarationUnterminated;
        Value previous = m.get(document, "xmlDecl");
        std::string decl = text.substr(start, pos - start);
        m.set(document, "xmlDecl",
              Value(m.makeString(previous.isString() ? m.toString(previous).str() + decl : decl)));
      } else if (text.compare(pos, 2, "<!") == 0) {
        size_t start = pos;
        if (!readUntil(">", &part)) return kDoctypeUnterminated;
        m.set(document, "docTypeDecl", Value(m.makeString(text.substr(start, pos - start))));
      } else if (text.compare(pos, 2, "</") == 0) {
        pos += 2;
        status = endTag();
      } else {
        ++pos;
        status = element();
      }
      if (status != kParsed) return status;
    }
    return open.empty() ? kParsed : kEndTagMissing;
  }
};

// Replaces the document's content with the parsed text; `status` tells how
// the parse went, and what was read before a fault stays.
void parseInto(Machine& m, Object* document, const std::string& text) {
  // The old children, which scripts may still hold, belong to no one now.
  if (Object* old = childList(m, document)) {
    double n = m.arrayLength(old);
    m.charge(static_cast<int64_t>(n));
    for (double i = 0; i < n; ++i)
      if (Object* child = m.arrayGet(old, i).object())
        for (const char* link : {"parentNode", "previousSibling", "nextSibling"}) setLink(child, link, Value::null());
  }
  setLink(document, "childNodes", Value(m.newArray()));
  relink(m, document);
  m.set(document, "xmlDecl", Value());
  m.set(document, "docTypeDecl", Value());
  Parser parser(m, text, m.toBoolean(m.get(document, "ignoreWhite")), document);
  m.set(document, "status", Value(static_cast<double>(parser.run())));
}

// ------------------------------------------------------------ methods

Value xmlNodeConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || c.count < 2) return Value();
  int type = static_cast<int>(m.toNumber(c.arg(0)));
  initNode(m, self, type == kText ? kText : kElement, m.toString(c.arg(1)));
  return Value();
}

Value xmlConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  initNode(m, self, kElement, Value::null());
  m.set(self, "status", Value(0.0));
  m.set(self, "loaded", Value());
  if (c.count > 0 && !c.arg(0).isUndefined() && !c.arg(0).isNull()) parseInto(m, self, m.toString(c.arg(0)).str());
  return Value();
}

Value appendChild(Machine& m, Call& c) {
  insertChild(m, c.thisValue.object(), c.arg(0).object(), nullptr);
  return Value();
}

Value insertBefore(Machine& m, Call& c) {
  Object* before = c.arg(1).object();
  if (before) insertChild(m, c.thisValue.object(), c.arg(0).object(), before);
  return Value();
}

Value removeNode(Machine& m, Call& c) {
  if (Object* self = c.thisValue.object()) detach(m, self);
  return Value();
}

Value hasChildNodes(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  Object* list = self ? childList(m, self) : nullptr;
  return Value(list && m.arrayLength(list) > 0);
}

Object* cloneTree(Machine& m, Object* node, bool deep, int depth) {
  m.charge(1);
  int type = m.toNumber(m.get(node, "nodeType")) == kText ? kText : kElement;
  Object* copy = newNode(m, type, m.get(node, type == kText ? "nodeValue" : "nodeName"));
  Object* from = m.get(node, "attributes").object();
  Object* to = m.get(copy, "attributes").object();
  if (from && to)
    for (const String& key : m.enumerate(from)) m.set(to, key, m.get(from, key));
  if (!deep || depth > 256) return copy;
  Object* list = childList(m, node);
  double n = list ? m.arrayLength(list) : 0;
  for (double i = 0; i < n; ++i)
    if (Object* child = m.arrayGet(list, i).object()) appendOrphan(m, copy, cloneTree(m, child, true, depth + 1));
  return copy;
}

Value cloneNode(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  return Value(cloneTree(m, self, m.toBoolean(c.arg(0)), 0));
}

// The namespace a prefix stands for at this node: the nearest xmlns:prefix
// (xmlns for "") on the node or its ancestors; null when none declares it.
Value getNamespaceForPrefix(Machine& m, Call& c) {
  std::string prefix = m.toString(c.arg(0)).str();
  String name = m.makeString(prefix.empty() ? "xmlns" : "xmlns:" + prefix);
  for (Object* node = c.thisValue.object(); node; node = m.get(node, "parentNode").object()) {
    m.charge(1);
    Object* attributes = m.get(node, "attributes").object();
    if (attributes && m.hasOwnProperty(attributes, name)) return m.get(attributes, name);
  }
  return Value::null();
}

// The prefix the nearest declaration of a namespace gives it; null when none.
Value getPrefixForNamespace(Machine& m, Call& c) {
  std::string uri = m.toString(c.arg(0)).str();
  for (Object* node = c.thisValue.object(); node; node = m.get(node, "parentNode").object()) {
    Object* attributes = m.get(node, "attributes").object();
    if (!attributes) continue;
    for (const String& key : m.enumerate(attributes)) {
      m.charge(1);
      const std::string& k = key.str();
      if (k.compare(0, 5, "xmlns") != 0 || m.toString(m.get(attributes, key)).str() != uri) continue;
      if (k.size() == 5) return Value("");
      if (k[5] == ':') return Value(m.makeString(k.substr(6)));
    }
  }
  return Value::null();
}

Value createElement(Machine& m, Call& c) { return Value(newNode(m, kElement, m.toString(c.arg(0)))); }
Value createTextNode(Machine& m, Call& c) { return Value(newNode(m, kText, m.toString(c.arg(0)))); }

Value parseXml(Machine& m, Call& c) {
  if (Object* self = c.thisValue.object()) parseInto(m, self, m.toString(c.arg(0)).str());
  return Value();
}

Value xmlLoad(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || c.count == 0) return Value(false);
  m.set(self, "loaded", Value(false));
  callAfterScripts(m, c.thisValue, "onData", {});
  return Value(true);
}

// The answer goes to the target document, which hears that nothing came.
Value xmlSendAndLoad(Machine& m, Call& c) {
  Object* target = c.arg(1).object();
  if (!target || c.count < 2) return Value(false);
  m.set(target, "loaded", Value(false));
  callAfterScripts(m, c.arg(1), "onData", {});
  return Value(true);
}

// What arrived, or undefined when the load failed.
Value xmlOnData(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  bool arrived = !c.arg(0).isUndefined();
  if (arrived) parseInto(m, self, m.toString(c.arg(0)).str());
  m.set(self, "loaded", Value(arrived));
  Value result(arrived);
  m.callMethod(c.thisValue, "onLoad", &result, 1);
  return Value();
}

}  // namespace

void installXml(Machine& m) {
  // The methods of both prototypes are enumerable, as the reference player
  // has them; each list is in the order it defines them.
  Object* nodeProto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "XMLNode", xmlNodeConstructor, nodeProto, kDontEnum);
  const std::pair<const char*, NativeFunction> nodeMethods[] = {
      {"cloneNode", cloneNode},         {"removeNode", removeNode}, {"insertBefore", insertBefore},
      {"appendChild", appendChild},     {"hasChildNodes", hasChildNodes}, {"toString", nodeToString},
      {"getNamespaceForPrefix", getNamespaceForPrefix}, {"getPrefixForNamespace", getPrefixForNamespace}};
  for (const auto& method : nodeMethods) m.method(nodeProto, method.first, method.second, 0, 0);

  Object* xmlProto = m.heap().make<Object>(nodeProto);
  m.defineClass(m.global(), "XML", xmlConstructor, xmlProto, kDontEnum);
  const std::pair<const char*, NativeFunction> xmlMethods[] = {
      {"createElement", createElement}, {"createTextNode", createTextNode}, {"parseXML", parseXml},
      {"load", xmlLoad},                {"send", returnFalse},               {"sendAndLoad", xmlSendAndLoad},
      {"onLoad", returnNothing},        {"onData", xmlOnData},               {"getBytesLoaded", returnZero},
      {"getBytesTotal", returnZero},    {"addRequestHeader", returnNothing}};
  for (const auto& method : xmlMethods) m.method(xmlProto, method.first, method.second, 0, 0);
}

}  // namespace avm1
