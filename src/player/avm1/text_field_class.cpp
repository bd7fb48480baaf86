// TextField: edit text fields as scripts of SWF 6 and later see them: their
// text, look and settings, the display properties they share with clips,
// and MovieClip.createTextField.
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/text.h"
#include "player/avm1/text_format.h"
#include "player/core/sprite.h"
#include "player/core/text_field.h"
#include "player/core/text_focus.h"
#include "player/text/encoding.h"

namespace avm1 {

namespace {

class TextObject : public NativeObject {
 public:
  TextObject(Object* proto, player::SpriteInstance& parent, const std::shared_ptr<player::TextField>& field)
      : NativeObject(proto, kTextFieldTag), parent(parent.weak_from_this()), field(field) {}
  ~TextObject() override {
    if (auto f = field.lock())
      if (f->scriptObject() == this) f->setScriptObject(nullptr);
  }
  std::weak_ptr<player::SpriteInstance> parent;
  std::weak_ptr<player::TextField> field;
};

// The field a call is about, with its place on the display list; false once
// it is gone.
struct Placed {
  player::SpriteInstance* parent = nullptr;
  player::DisplayObject* object = nullptr;
  player::TextField* field = nullptr;
};

bool placedOf(const Value& v, Placed* out) {
  Placed ignored;
  if (!out) out = &ignored;
  Object* o = v.object();
  if (!o || o->kind() != Object::Kind::Native || static_cast<NativeObject*>(o)->tag != kTextFieldTag) return false;
  auto* t = static_cast<TextObject*>(o);
  auto parent = t->parent.lock();
  auto field = t->field.lock();
  if (!parent || !field || parent->removed()) return false;
  for (auto& entry : parent->children()) {
    if (entry.second.textField != field) continue;
    *out = Placed{parent.get(), &entry.second, field.get()};
    return true;
  }
  return false;
}

// Text without its HTML tags, entities read.
std::string plainOfHtml(const std::string& html) {
  std::string out;
  for (size_t i = 0; i < html.size(); ++i) {
    char c = html[i];
    if (c == '<') {
      size_t end = html.find('>', i);
      if (end == std::string::npos) break;
      std::string tag = html.substr(i + 1, end - i - 1);
      // Paragraph and line breaks read as line ends.
      if (strcasecmpEqual(tag, "/p") || strcasecmpEqual(tag, "br")) out += '\r';
      i = end;
      continue;
    }
    if (c == '&') {
      static const std::pair<const char*, char> kEntities[] = {
          {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
      bool known = false;
      for (const auto& e : kEntities) {
        size_t n = std::char_traits<char>::length(e.first);
        if (html.compare(i, n, e.first) == 0) {
          out += e.second;
          i += n - 1;
          known = true;
          break;
        }
      }
      if (known) continue;
    }
    out += c;
  }
  return out;
}

std::string escapeHtml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      default: out += c;
    }
  }
  return out;
}

// The properties, by the magic number of their getter and setter.
enum Property {
  kText,
  kHtmlText,
  kHtml,
  kTextColor,
  kBorder,
  kBorderColor,
  kBackground,
  kBackgroundColor,
  kVariable,
  kLength,
  kMultiline,
  kWordWrap,
  kAutoSize,
  kSelectable,
  kType,
  kPassword,
  kMaxChars,
  kEmbedFonts,
  kTextWidth,
  kTextHeight,
  kScroll,
  kMaxScroll,
  kHScroll,
  kMaxHScroll,
  kTarget,
  kParent,
  kRestrict,
  kDisplay,  // and beyond: the display properties by their index
};

const char* const kNames[] = {"text",       "htmlText",  "html",      "textColor",  "border",     "borderColor",
                              "background", "backgroundColor", "variable", "length", "multiline", "wordWrap",
                              "autoSize",   "selectable", "type",     "password",   "maxChars",   "embedFonts",
                              "textWidth",  "textHeight", "scroll",   "maxscroll",  "hscroll",    "maxhscroll",
                              "_target",    "_parent",    "restrict"};

static_assert(sizeof kNames / sizeof kNames[0] == kDisplay, "a name for every property");

String targetOf(Machine& m, const Placed& p) {
  String parent = m.toString(Value(m.clipObject(p.parent)));
  return String(parent.str() + "." + p.object->name);
}

// A field bound to a variable shows its value: scripts reading the text see
// it at once, not only once the frame is drawn.
void followVariable(Machine& m, const Placed& p) {
  const std::string& variable = p.field->def().variable;
  Value v;
  if (variable.empty() || !getVariableByPath(m, *p.parent, variable, &v) || v.isUndefined()) return;
  p.field->setText(m.toString(v).str());
}

Value getProperty(Machine& m, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p)) return Value();
  player::TextField& f = *p.field;
  if (c.callee->magic == kText || c.callee->magic == kHtmlText || c.callee->magic == kLength) followVariable(m, p);
  const swf::EditTextDef& d = f.def();
  int which = c.callee->magic;
  if (which >= kDisplay) {
    Value out;
    return getDisplayProperty(nullptr, *p.object, which - kDisplay, &out) ? out : Value();
  }
  switch (which) {
    case kText: return Value(String(d.html ? plainOfHtml(f.text()) : f.text()));
    case kHtmlText: return Value(String(f.text()));
    case kHtml: return Value(d.html);
    case kTextColor: return Value(static_cast<double>(f.textColor()));
    case kBorder: return Value(f.border());
    case kBorderColor: return Value(static_cast<double>(f.borderColor()));
    case kBackground: return Value(f.background());
    case kBackgroundColor: return Value(static_cast<double>(f.backgroundColor()));
    case kVariable: return d.variable.empty() ? Value::null() : Value(String(d.variable));
    case kLength: return Value(static_cast<double>(toUtf16(String(d.html ? plainOfHtml(f.text()) : f.text())).size()));
    case kMultiline: return Value(d.multiline);
    case kWordWrap: return Value(d.wordWrap);
    case kAutoSize: return Value(String(d.autoSize ? "left" : "none"));
    case kSelectable: return Value(!d.noSelect);
    case kType: return Value(String(d.readOnly ? "dynamic" : "input"));
    case kPassword: return Value(d.password);
    case kMaxChars: return d.maxLength ? Value(static_cast<double>(d.maxLength)) : Value::null();
    case kEmbedFonts: return Value(d.useOutlines);
    case kTextWidth: return Value(std::round(f.textWidth() / 20));
    case kTextHeight: return Value(std::round(f.textHeight() / 20));
    case kScroll: return Value(static_cast<double>(f.scroll()));
    case kMaxScroll: return Value(static_cast<double>(f.maxScroll()));
    case kHScroll: return Value(f.hscroll());
    case kMaxHScroll: return Value(f.maxHScroll());
    case kTarget: return Value(targetOf(m, p));
    case kParent: return Value(m.clipObject(p.parent));
    case kRestrict:
      return f.restrict().allowsAll() ? Value::null()
                                      : Value(String(text::encodeUtf8(f.restrict().pattern())));
  }
  return Value();
}

uint32_t colorOf(Machine& m, const Value& v) { return m.toUint32(v) & 0xFFFFFF; }

Value setProperty(Machine& m, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p)) return Value();
  player::TextField& f = *p.field;
  int which = c.callee->magic;
  Value v = c.arg(0);
  if (which >= kDisplay) {
    setDisplayProperty(m, nullptr, *p.object, which - kDisplay, v);
    return Value();
  }
  switch (which) {
    case kText: {
      std::string text = m.toString(v).str();
      f.setText(f.def().html ? escapeHtml(text) : text);
      break;
    }
    case kHtmlText: f.setText(m.toString(v).str()); break;
    case kHtml: f.settings().html = m.toBoolean(v); break;
    case kTextColor: f.setTextColor(colorOf(m, v)); break;
    case kBorder: f.setBorder(m.toBoolean(v), f.borderColor()); break;
    case kBorderColor: f.setBorder(f.border(), colorOf(m, v)); break;
    case kBackground: f.setBackground(m.toBoolean(v), f.backgroundColor()); break;
    case kBackgroundColor: f.setBackground(f.background(), colorOf(m, v)); break;
    case kVariable: f.settings().variable = v.isNullish() ? std::string() : m.toString(v).str(); break;
    case kMultiline: f.settings().multiline = m.toBoolean(v); break;
    case kWordWrap: f.settings().wordWrap = m.toBoolean(v); break;
    case kAutoSize: {
      // true or "left", "center", "right"; false or "none" for none.
      String s = m.toString(v);
      f.settings().autoSize = v.isBoolean() ? v.boolean() : !strcasecmpEqual(s.str(), "none") && !s.empty() &&
                                                                !strcasecmpEqual(s.str(), "false");
      break;
    }
    case kSelectable: f.settings().noSelect = !m.toBoolean(v); break;
    case kType: f.settings().readOnly = !strcasecmpEqual(m.toString(v).str(), "input"); break;
    case kPassword: f.settings().password = m.toBoolean(v); break;
    case kMaxChars: {
      double n = m.toNumber(v);
      f.settings().maxLength = std::isfinite(n) && n > 0 ? static_cast<int>(std::min(n, 1e9)) : 0;
      break;
    }
    case kEmbedFonts: f.settings().useOutlines = m.toBoolean(v); break;
    case kRestrict:
      f.setRestrict(v.isNullish() ? text::RestrictPattern()
                                  : text::RestrictPattern(text::decodeUtf8(m.toString(v).str())));
      break;
    default: break;  // read-only
  }
  return Value();
}

Value toStringMethod(Machine& m, Call& c) {
  Placed p;
  return placedOf(c.thisValue, &p) ? Value(targetOf(m, p)) : Value();
}

Value getDepth(Machine&, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p)) return Value();
  for (const auto& entry : p.parent->children())
    if (&entry.second == p.object) return Value(static_cast<double>(entry.first - 16384));
  return Value();
}

Value removeTextField(Machine&, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p)) return Value();
  for (const auto& entry : p.parent->children()) {
    // Only fields scripts made, at depths scripts use, can be removed.
    if (&entry.second == p.object && entry.second.placedByScript && entry.first >= 16384) {
      p.parent->removeChild(entry.first);
      break;
    }
  }
  return Value();
}

// The field keeps one format for all its text: a range asked for or set is
// answered by, or applied to, the whole field.
Value getTextFormat(Machine& m, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p)) return Value();
  return Value(makeTextFormat(m, p.field->format(), p.field->paragraphFormat()));
}

// setTextFormat([begin, [end,]] format) and setNewTextFormat(format).
Value setTextFormat(Machine& m, Call& c) {
  Placed p;
  if (!placedOf(c.thisValue, &p) || c.count == 0) return Value();
  Object* format = c.arg(c.count - 1).object();
  if (!format) return Value();
  text::CharFormat chars = p.field->format();
  text::ParagraphFormat paragraph = p.field->paragraphFormat();
  applyTextFormat(m, format, &chars, &paragraph);
  p.field->setFormat(chars, paragraph);
  return Value();
}

// addListener: the field becomes a broadcaster of its own on first use, so
// that each field keeps its own listeners (told of onChanged).
Value addListener(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || !placedOf(c.thisValue, nullptr)) return Value(false);
  if (!self->findOwn("_listeners", true)) makeBroadcaster(m, self);
  return m.callMethod(c.thisValue, "addListener", c.args, c.count);
}

Value textFieldConstructor(Machine&, Call&) { return Value(); }

// createTextField(name, depth, x, y, width, height): an empty field in the
// player's default look, a 12 point serif in black.
Value createTextField(Machine& m, Call& c) {
  player::SpriteInstance* s = spriteOf(c.thisValue);
  if (!s || c.count < 6 || !m.display()) return Value();
  double numbers[5];
  for (size_t i = 0; i < 5; ++i) {
    numbers[i] = m.toNumber(c.arg(i + 1));
    if (!std::isfinite(numbers[i])) numbers[i] = 0;
  }
  auto def = std::make_shared<player::CharacterDef>();
  def->kind = player::CharacterKind::EditText;
  def->editText = std::make_unique<swf::EditTextDef>();
  swf::EditTextDef& e = *def->editText;
  auto twips = [](double pixels) { return static_cast<int32_t>(std::max(-1e8, std::min(1e8, pixels * 20))); };
  e.bounds = swf::Rect{0, twips(std::fabs(numbers[3])), 0, twips(std::fabs(numbers[4]))};
  e.fontClass = "Times New Roman";
  e.hasColor = true;
  e.color = swf::Rgba{0, 0, 0, 255};
  e.readOnly = true;
  swf::Matrix at;
  at.tx = twips(numbers[1]);
  at.ty = twips(numbers[2]);
  int depth = static_cast<int>(std::max(-16384.0, std::min(numbers[0], 2130706428.0))) + 16384;
  player::DisplayObject* o = s->createScriptObject(depth, std::move(def), m.toString(c.arg(0)).str(), at);
  if (!o || m.swfVersion() < 8) return Value();
  return textObject(m, *s, *o);
}

}  // namespace

Value textObject(Machine& m, player::SpriteInstance& parent, player::DisplayObject& o) {
  if (!m.display() || !o.def || o.def->kind != player::CharacterKind::EditText) return Value();
  player::TextField& field = player::textFieldOf(o, *m.display()->movie);
  if (!field.scriptObject())
    field.setScriptObject(m.heap().make<TextObject>(m.protos().textField, parent, o.textField));
  return Value(field.scriptObject());
}

namespace {

// Calls a handler of a field (or of Selection) if it has one.
void callHandler(Machine& m, const Value& target, const char* name, std::initializer_list<Value> args) {
  Object* o = target.object();
  if (!o) return;
  Value fn = m.get(o, name);
  if (fn.object()) m.call(fn, target, args);
}

}  // namespace

void moveTextFocus(Machine& m, player::SpriteInstance* parent, player::DisplayObject* object) {
  player::RunContext* context = m.display();
  if (!context) return;
  player::FieldPlace old;
  bool had = player::focusedField(*context, &old);
  if ((had && old.object == object) || (!had && !object)) return;
  if (had) old.object->textField->setCaretShown(false, false);
  if (object && parent) {
    context->focus = player::RunContext::TextFocus{parent->weak_from_this(), object->textField};
  } else {
    context->focus = player::RunContext::TextFocus();
  }
  Value oldValue = had ? textObject(m, *old.parent, *old.object) : Value::null();
  Value newValue = object && parent ? textObject(m, *parent, *object) : Value::null();
  if (oldValue.isUndefined()) oldValue = Value::null();
  if (newValue.isUndefined()) newValue = Value::null();
  if (had) callHandler(m, oldValue, "onKillFocus", {newValue});
  if (object) callHandler(m, newValue, "onSetFocus", {oldValue});
  callHandler(m, m.get(m.global(), "Selection"), "broadcastMessage", {Value("onSetFocus"), oldValue, newValue});
}

void textChanged(Machine& m, player::SpriteInstance& parent, player::DisplayObject& object) {
  Value field = textObject(m, parent, object);
  callHandler(m, field, "onChanged", {field});
  Object* o = field.object();
  if (o && o->findOwn("_listeners", true)) callHandler(m, field, "broadcastMessage", {Value("onChanged"), field});
}

bool textFieldPlace(const Value& v, player::SpriteInstance** parent, player::DisplayObject** object) {
  Placed p;
  if (!placedOf(v, &p)) return false;
  *parent = p.parent;
  *object = p.object;
  return true;
}

Value textTargetPath(Machine& m, const Value& v) {
  Placed p;
  return placedOf(v, &p) ? Value(targetOf(m, p)) : Value();
}

void markTextObjects(Machine& m, player::SpriteInstance& sprite) {
  for (auto& entry : sprite.children())
    if (entry.second.textField) m.heap().mark(entry.second.textField->scriptObject());
}

void installTextField(Machine& m) {
  Prototypes& p = m.protos();
  p.textField = m.heap().make<Object>(p.object);
  Object* tp = p.textField;
  m.defineClass(m.global(), "TextField", textFieldConstructor, tp, kDontEnum | kVersion6);
  int index = 0;
  for (const char* name : kNames) {
    tp->defineVirtual(name, m.newNative(getProperty, index), m.newNative(setProperty, index), kDontEnum);
    ++index;
  }
  for (int i : {0, 1, 2, 3, 6, 7, 8, 9, 10, 13}) {
    static const char* const kDisplayNames[] = {"_x", "_y", "_xscale", "_yscale", "", "", "_alpha", "_visible",
                                                "_width", "_height", "_rotation", "", "", "_name"};
    tp->defineVirtual(kDisplayNames[i], m.newNative(getProperty, kDisplay + i), m.newNative(setProperty, kDisplay + i),
                      kDontEnum);
  }
  m.method(tp, "toString", toStringMethod);
  m.method(tp, "addListener", addListener);
  m.method(tp, "removeListener", returnFalse);
  m.method(tp, "getDepth", getDepth);
  m.method(tp, "removeTextField", removeTextField);
  m.method(tp, "getTextFormat", getTextFormat);
  m.method(tp, "getNewTextFormat", getTextFormat);
  m.method(tp, "setTextFormat", setTextFormat);
  m.method(tp, "setNewTextFormat", setTextFormat);
  m.method(p.movieClip, "createTextField", createTextField, 0, kDontEnum | kVersion6);
}

}  // namespace avm1
