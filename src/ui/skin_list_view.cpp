#include "ui/skin_list_view.h"

#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/skin_image_list.h"

#include <algorithm>
#include <cmath>

namespace ql {

namespace {
constexpr float kEntryCorner = 6;
}  // namespace

void SkinListView::setImageList(SkinImageList* images) {
  images_ = images;
  relayout();
  repaint();
}

void SkinListView::setStyle(ListViewStyle style) {
  if (style_ == style) return;
  style_ = style;
  relayout();
  scroll_ = layout_.scrollToShow(selected(), 0);
  repaint();
}

int SkinListView::insertEntry(const std::string& text, int image, uint32_t color, long long value,
                              int position) {
  int index = model_.insert(text, image, color, value, position);
  if (hot_ >= index) hot_ = 0;
  relayout();
  repaint();
  return index;
}

bool SkinListView::deleteEntry(int index) {
  if (!model_.remove(index)) return false;
  hot_ = 0;
  relayout();
  repaint();
  return true;
}

void SkinListView::clear() {
  model_.clear();
  hot_ = 0;
  scroll_ = 0;
  relayout();
  repaint();
}

bool SkinListView::setEntryText(int index, const std::string& text) {
  if (!model_.setText(index, text)) return false;
  repaint();
  return true;
}

bool SkinListView::setSelected(int index) {
  int old = model_.selected();
  if (!model_.select(index)) return false;
  showSelection(old);
  return true;
}

void SkinListView::scrollTo(int offset) {
  int clamped = layout_.clampScroll(offset);
  if (clamped == scroll_) return;
  scroll_ = clamped;
  repaint();
}

int SkinListView::entryAt(int x, int y) const { return layout_.entryAt(x, y, scroll_); }

SkinRect SkinListView::entryRect(int index) const {
  if (!model_.isValid(index)) return {};
  ListRect cell = layout_.cell(index);
  return {left() + cell.x, top() + cell.y - scroll_, cell.width, cell.height};
}

void SkinListView::layout() { relayout(); }

void SkinListView::relayout() {
  int iconWidth = images_ ? images_->iconWidth() : (style_ == ListViewStyle::List ? 16 : 32);
  int iconHeight = images_ ? images_->iconHeight() : iconWidth;
  int lineHeight = int(std::ceil(font().height()));
  if (lineHeight <= 0) lineHeight = 16;
  layout_ =
      ListLayout(style_, width(), height(), iconWidth, iconHeight, lineHeight, model_.count());
  scroll_ = layout_.clampScroll(scroll_);
}

void SkinListView::repaintEntry(int index) {
  SkinRect cell = entryRect(index);
  if (cell.width <= 0 || !form()) return;
  // Only the part inside the list: entries scrolled out of view cost nothing.
  int top = std::max(cell.y, this->top()),
      bottom = std::min(cell.y + cell.height, this->top() + height());
  if (bottom > top) form()->invalidate({cell.x, top, cell.width, bottom - top});
}

void SkinListView::repaintScrollBar() {
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (bar.visible && form())
    form()->invalidate({left() + bar.track.x - 1, top(), bar.track.width + 2, height()});
}

void SkinListView::showSelection(int old) {
  int index = model_.selected();
  int scroll = index ? layout_.scrollToShow(index, scroll_) : scroll_;
  if (scroll != scroll_) {
    scrollTo(scroll);
  } else {
    repaintEntry(old);
    repaintEntry(index);
  }
}

void SkinListView::selectByUser(int index) {
  int old = model_.selected();
  if (index == old || !model_.select(index)) return;
  showSelection(old);
  if (onSelectionChanged) onSelectionChanged(*this, index);
  report(kEventSelectionChanged);
}

// ---- Mouse and keys -------------------------------------------------------------

void SkinListView::mouseMove(int x, int y, int) {
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (dragging_) {
    scrollTo(bar.scrollForDrag(layout_, dragStartScroll_, y - dragStartY_));
    return;
  }
  bool onBar = bar.visible && x >= bar.track.x - 3;
  int hot = onBar ? 0 : entryAt(x, y);
  if (onBar != barHot_) {
    barHot_ = onBar;
    startAnimation();
  }
  if (hot != hot_) {
    repaintEntry(hot_);
    hot_ = hot;
    repaintEntry(hot_);
  }
}

void SkinListView::mouseLeave() {
  SkinElement::mouseLeave();
  if (dragging_) return;
  barHot_ = false;
  if (hot_) {
    repaintEntry(hot_);
    hot_ = 0;
  }
}

void SkinListView::leftDown(int x, int y, int keys) {
  SkinElement::leftDown(x, y, keys);
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (bar.visible && x >= bar.track.x - 3) {
    if (y >= bar.thumb.y && y < bar.thumb.y + bar.thumb.height) {
      dragging_ = true;
      dragStartY_ = y;
      dragStartScroll_ = scroll_;
      startAnimation();
    } else {
      int page = std::max(layout_.cellHeight(), layout_.viewHeight() - layout_.cellHeight());
      scrollTo(y < bar.thumb.y ? scroll_ - page : scroll_ + page);
    }
    return;
  }
  selectByUser(entryAt(x, y));
}

void SkinListView::leftUp(int x, int y, int keys) {
  SkinElement::leftUp(x, y, keys);
  if (dragging_) {
    dragging_ = false;
    startAnimation();
  }
}

void SkinListView::captureLost() {
  SkinElement::captureLost();
  dragging_ = false;
  startAnimation();
}

void SkinListView::rightDown(int x, int y, int) {
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (bar.visible && x >= bar.track.x - 3) return;
  selectByUser(entryAt(x, y));
}

void SkinListView::doubleClick(int x, int y, int keys) {
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (bar.visible && x >= bar.track.x - 3) {
    leftDown(x, y, keys);
    return;
  }
  SkinElement::leftDown(x, y, keys);
  int index = entryAt(x, y);
  selectByUser(index);
  if (!index) return;
  if (onActivate) onActivate(*this, index);
  report(kEventActivate);
}

bool SkinListView::wheel(int delta, int) {
  if (layout_.maxScroll() == 0) return false;
  scrollTo(scroll_ - delta * layout_.wheelStep() / 120);
  return true;
}

bool SkinListView::keyDown(int key, int) {
  int count = model_.count();
  if (count == 0) return false;
  int current = model_.selected();
  int columns = layout_.columns();
  int perPage = std::max(1, layout_.viewHeight() / std::max(1, layout_.cellHeight())) * columns;
  int next = current;
  switch (key) {
    case VK_UP: next = current ? current - columns : 1; break;
    case VK_DOWN: next = current ? current + columns : 1; break;
    case VK_LEFT: next = current ? current - 1 : 1; break;
    case VK_RIGHT: next = current ? current + 1 : 1; break;
    case VK_HOME: next = 1; break;
    case VK_END: next = count; break;
    case VK_PRIOR: next = current - perPage; break;
    case VK_NEXT: next = current + perPage; break;
    case VK_RETURN:
      if (!current) return false;
      if (onActivate) onActivate(*this, current);
      report(kEventActivate);
      return true;
    default: return false;
  }
  next = std::min(std::max(next, 1), count);
  selectByUser(next);
  return true;
}

bool SkinListView::animate(int elapsedMs) {
  bool running = SkinElement::animate(elapsedMs);
  float before = barGlow_;
  if (fade(barGlow_, barHot_ || dragging_ ? 1.0f : 0.0f, elapsedMs, barHot_ ? 120 : 300))
    running = true;
  if (barGlow_ != before) repaintScrollBar();
  return running;
}

// ---- Painting --------------------------------------------------------------------

void SkinListView::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  graphics.SetClip(box, Gdiplus::CombineModeIntersect);
  if (backColor() >> 24) {
    Gdiplus::SolidBrush brush(argbColor(backColor()));
    graphics.FillRectangle(&brush, box);
  }
  // Only entries inside the area being painted: each one asks the shell for its icon.
  Gdiplus::RectF area;
  graphics.GetClipBounds(&area);
  int first = 0, last = 0;
  layout_.visibleRange(scroll_, first, last);
  for (int i = first; i <= last; ++i) {
    SkinRect cell = entryRect(i);
    if (float(cell.x + cell.width) <= area.X || float(cell.x) >= area.X + area.Width ||
        float(cell.y + cell.height) <= area.Y || float(cell.y) >= area.Y + area.Height)
      continue;
    paintEntry(graphics, i, layout_.cell(i), float(left()), float(top() - scroll_));
  }
  paintScrollBar(graphics);
}

void SkinListView::paintEntry(Gdiplus::Graphics& graphics, int index, const ListRect& cell,
                              float originX, float originY) {
  Gdiplus::RectF box(originX + float(cell.x) + 2, originY + float(cell.y) + 2,
                     float(cell.width) - 4, float(cell.height) - 4);
  if (index == model_.selected()) {
    drawRoundRect(graphics, box, kEntryCorner, theme::kSelectionFill, 1, kRoundFill);
    drawRoundRect(graphics, box, kEntryCorner, theme::kAccent, 1, kRoundOutline);
  } else if (index == hot_) {
    drawRoundRect(graphics, box, kEntryCorner, theme::kHoverFill, 1, kRoundFill);
  }
  float iconWidth =
      float(layout_.style() == ListViewStyle::List ? (images_ ? images_->iconWidth() : 16)
                                                   : (images_ ? images_->iconWidth() : 32));
  float iconHeight = float(images_ ? images_->iconHeight() : iconWidth);
  uint32_t color = model_.color(index);
  if (!isEnabled()) color = withAlpha(color, int((color >> 24) / 2));
  if (layout_.style() == ListViewStyle::LargeIcons) {
    float iconX = std::floor(box.X + (box.Width - iconWidth) / 2), iconY = box.Y + 6;
    if (images_)
      images_->draw(graphics, model_.image(index), iconX, iconY, isEnabled() ? 1.0f : 0.5f);
    float textTop = iconY + iconHeight + 4;
    drawSkinText(
        graphics, model_.text(index), font(),
        Gdiplus::RectF(box.X + 3, textTop, box.Width - 6, box.Y + box.Height - textTop - 2), color,
        kAlignCenter, kTextTop);
  } else {
    float iconX = box.X + 6, iconY = std::floor(box.Y + (box.Height - iconHeight) / 2);
    if (images_)
      images_->draw(graphics, model_.image(index), iconX, iconY, isEnabled() ? 1.0f : 0.5f);
    float textLeft = iconX + iconWidth + 8;
    drawSkinText(graphics, model_.text(index), font(),
                 Gdiplus::RectF(textLeft, box.Y, std::max(0.0f, box.X + box.Width - textLeft - 4),
                                box.Height),
                 color, kAlignLeft, kTextSingleLine);
  }
}

void SkinListView::paintScrollBar(Gdiplus::Graphics& graphics) {
  ScrollBarGeometry bar = ScrollBarGeometry::of(layout_, scroll_);
  if (!bar.visible) return;
  float x = float(left()), y = float(top());
  float glow = barGlow_;
  Gdiplus::RectF track(x + float(bar.track.x), y + float(bar.track.y), float(bar.track.width),
                       float(bar.track.height));
  drawRoundRect(graphics, track, float(bar.track.width),
                withAlpha(theme::kText, int(14 + 16 * glow)), 1, kRoundFill);
  Gdiplus::RectF thumb(x + float(bar.thumb.x), y + float(bar.thumb.y), float(bar.thumb.width),
                       float(bar.thumb.height));
  uint32_t color =
      dragging_ ? withAlpha(theme::kAccentPressed, 200)
                : mixColors(withAlpha(theme::kText, 80), withAlpha(theme::kAccent, 190), glow);
  drawRoundRect(graphics, thumb, float(bar.thumb.width), color, 1, kRoundFill);
}

}  // namespace ql
