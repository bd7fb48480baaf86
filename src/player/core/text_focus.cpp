#include "player/core/text_focus.h"

#include "player/core/text_field.h"

namespace player {

namespace {

bool findField(SpriteInstance& sprite, const swf::Matrix& toStage, double x, double y, FieldPlace* out,
               int nesting) {
  if (nesting > RunContext::kMaxNesting) return false;
  auto& children = sprite.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    DisplayObject& o = it->second;
    if (!o.visible || o.clipDepth > 0 || !o.def) continue;
    swf::Matrix m = toStage * o.matrix;
    if (o.sprite) {
      if (findField(*o.sprite, m, x, y, out, nesting + 1)) return true;
      continue;
    }
    if (o.def->kind != CharacterKind::EditText || !o.textField || !o.textField->takesTyping()) continue;
    swf::Matrix toLocal;
    if (!m.invert(&toLocal)) continue;
    if (!o.textField->contains(toLocal.mapX(x, y), toLocal.mapY(x, y))) continue;
    *out = FieldPlace{&sprite, &o, toLocal};
    return true;
  }
  return false;
}

}  // namespace

bool focusedField(RunContext& context, FieldPlace* out) {
  auto parent = context.focus.parent.lock();
  auto field = context.focus.field.lock();
  if (!parent || !field || parent->removed()) return false;
  for (auto& entry : parent->children()) {
    if (entry.second.textField != field) continue;
    *out = FieldPlace{parent.get(), &entry.second, swf::Matrix()};
    return true;
  }
  return false;
}

bool typingFieldAt(SpriteInstance& root, double x, double y, FieldPlace* out) {
  const DisplayObject* own = root.displayObject();
  return findField(root, own ? own->matrix : swf::Matrix(), x, y, out, 0);
}

}  // namespace player
