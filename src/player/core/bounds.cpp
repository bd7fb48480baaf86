#include "player/core/bounds.h"

#include <algorithm>

namespace player {

namespace {

void addCorners(double x0, double y0, double x1, double y1, const swf::Matrix& m, double* box) {
  double xs[2] = {x0, x1}, ys[2] = {y0, y1};
  for (double x : xs)
    for (double y : ys) {
      double px = m.mapX(x, y), py = m.mapY(x, y);
      box[0] = std::min(box[0], px);
      box[1] = std::min(box[1], py);
      box[2] = std::max(box[2], px);
      box[3] = std::max(box[3], py);
    }
}

void addRect(const swf::Rect& r, const swf::Matrix& m, double* box) {
  addCorners(r.xMin, r.yMin, r.xMax, r.yMax, m, box);
}

}  // namespace

void clearBox(double* box) {
  box[0] = box[1] = 1e300;
  box[2] = box[3] = -1e300;
}

bool boxIsEmpty(const double* box) { return !(box[0] <= box[2]) || !(box[1] <= box[3]); }

void addObjectBounds(const DisplayObject& o, const swf::Matrix& m, double* box) {
  if (!o.def) return;
  if (o.def->kind == CharacterKind::Shape || (o.def->kind == CharacterKind::Bitmap && !o.scriptBitmap))
    addRect(o.def->shape.bounds, m, box);
  if (o.def->kind == CharacterKind::Morph) {
    if (o.morphShape) {
      addRect(o.morphShape->bounds, m, box);
    } else {
      addRect(o.def->morph->start.bounds, m, box);
    }
  }
  if (o.def->kind == CharacterKind::EditText) addRect(o.def->editText->bounds, m, box);
  if (o.def->kind == CharacterKind::Video) addRect(swf::Rect{0, o.def->video->width * 20, 0, o.def->video->height * 20}, m, box);
  if (o.def->kind == CharacterKind::StaticText)
    addRect(o.def->staticText->bounds, m * o.def->staticText->matrix, box);
  // A disposed bitmap covers nothing.
  if (o.scriptBitmap && o.scriptBitmap->bitmap.width > 0) {
    const swf::Bitmap& b = o.scriptBitmap->bitmap;
    addRect(swf::Rect{0, b.width * 20, 0, b.height * 20}, m, box);
  }
  // Sprites and the state a button shows.
  if (o.sprite) addSpriteBounds(*o.sprite, m, box);
}

void addBoxCorners(const double* from, const swf::Matrix& m, double* box) {
  if (!boxIsEmpty(from)) addCorners(from[0], from[1], from[2], from[3], m, box);
}

void addSpriteBounds(const SpriteInstance& sprite, const swf::Matrix& m, double* box) {
  if (const Drawing* d = sprite.drawing())
    if (!d->shape.layers.empty()) addRect(d->shape.bounds, m, box);
  for (const auto& entry : sprite.children()) addObjectBounds(entry.second, m * entry.second.matrix, box);
}

}  // namespace player
