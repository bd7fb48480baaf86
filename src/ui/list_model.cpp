#include "ui/list_model.h"

#include <algorithm>

namespace ql {

int ListModel::insert(const std::string& text, int image, uint32_t color, long long value,
                      int position) {
  size_t at = isValid(position) ? size_t(position - 1) : texts_.size();
  texts_.insert(texts_.begin() + at, text);
  images_.insert(images_.begin() + at, image);
  colors_.insert(colors_.begin() + at, color);
  values_.insert(values_.begin() + at, value);
  if (selected_ > int(at)) ++selected_;
  return int(at) + 1;
}

bool ListModel::remove(int index) {
  if (!isValid(index)) return false;
  size_t at = size_t(index - 1);
  texts_.erase(texts_.begin() + at);
  images_.erase(images_.begin() + at);
  colors_.erase(colors_.begin() + at);
  values_.erase(values_.begin() + at);
  if (selected_ == index)
    selected_ = 0;
  else if (selected_ > index)
    --selected_;
  return true;
}

void ListModel::clear() {
  texts_.clear();
  images_.clear();
  colors_.clear();
  values_.clear();
  selected_ = 0;
}

bool ListModel::setText(int index, const std::string& text) {
  if (!isValid(index)) return false;
  texts_[index - 1] = text;
  return true;
}

bool ListModel::setImage(int index, int image) {
  if (!isValid(index)) return false;
  images_[index - 1] = image;
  return true;
}

bool ListModel::setColor(int index, uint32_t color) {
  if (!isValid(index)) return false;
  colors_[index - 1] = color;
  return true;
}

bool ListModel::setValue(int index, long long value) {
  if (!isValid(index)) return false;
  values_[index - 1] = value;
  return true;
}

bool ListModel::select(int index) {
  if (index != 0 && !isValid(index)) return false;
  selected_ = index;
  return true;
}

ListLayout::ListLayout(ListViewStyle style, int viewWidth, int viewHeight, int iconWidth,
                       int iconHeight, int lineHeight, int entryCount)
    : style_(style),
      viewWidth_(std::max(0, viewWidth)),
      viewHeight_(std::max(0, viewHeight)),
      count_(std::max(0, entryCount)) {
  int usable = std::max(1, viewWidth_ - kScrollGutter - 2 * kPadding);
  if (style_ == ListViewStyle::LargeIcons) {
    // Icon on top, up to two caption lines below; spare width is shared out
    // between the columns so the grid fills the view evenly.
    int minWidth = std::max(kMinCellWidth, iconWidth + 16);
    columns_ = std::max(1, usable / minWidth);
    cellWidth_ = std::max(minWidth, usable / columns_);
    cellHeight_ = 8 + iconHeight + 4 + kTextLines * lineHeight + 6;
  } else {
    columns_ = 1;
    cellWidth_ = usable;
    cellHeight_ = std::max(iconHeight, lineHeight) + 8;
    if (cellHeight_ < 24) cellHeight_ = 24;
  }
  rows_ = (count_ + columns_ - 1) / columns_;
  contentHeight_ = rows_ * cellHeight_ + 2 * kPadding;
}

int ListLayout::maxScroll() const { return std::max(0, contentHeight_ - viewHeight_); }

int ListLayout::clampScroll(int scroll) const { return std::min(std::max(scroll, 0), maxScroll()); }

ListRect ListLayout::cell(int index) const {
  if (index < 1 || index > count_) return {0, 0, 0, 0};
  int row = (index - 1) / columns_, column = (index - 1) % columns_;
  return {kPadding + column * cellWidth_, kPadding + row * cellHeight_, cellWidth_, cellHeight_};
}

void ListLayout::visibleRange(int scroll, int& first, int& last) const {
  first = 1;
  last = 0;
  if (count_ == 0 || cellHeight_ <= 0) return;
  int top = scroll - kPadding, bottom = scroll + viewHeight_ - kPadding;  // exclusive
  int firstRow = std::max(0, top / cellHeight_);
  int lastRow = bottom <= 0 ? -1 : (bottom - 1) / cellHeight_;
  lastRow = std::min(lastRow, rows_ - 1);
  if (lastRow < firstRow) return;
  first = firstRow * columns_ + 1;
  last = std::min(count_, (lastRow + 1) * columns_);
}

int ListLayout::entryAt(int x, int y, int scroll) const {
  if (x < 0 || y < 0 || x >= viewWidth_ - kScrollGutter || y >= viewHeight_) return 0;
  int cx = x - kPadding, cy = y + scroll - kPadding;
  if (cx < 0 || cy < 0 || cellHeight_ <= 0) return 0;
  int column = cx / cellWidth_, row = cy / cellHeight_;
  if (column >= columns_ || row >= rows_) return 0;
  int index = row * columns_ + column + 1;
  return index <= count_ ? index : 0;
}

int ListLayout::scrollToShow(int index, int scroll) const {
  ListRect r = cell(index);
  if (r.height == 0) return clampScroll(scroll);
  if (r.y - kPadding < scroll)
    scroll = r.y - kPadding;
  else if (r.y + r.height + kPadding > scroll + viewHeight_)
    scroll = r.y + r.height + kPadding - viewHeight_;
  return clampScroll(scroll);
}

int ListLayout::wheelStep() const {
  return style_ == ListViewStyle::LargeIcons ? cellHeight_ : 3 * cellHeight_;
}

ScrollBarGeometry ScrollBarGeometry::of(const ListLayout& layout, int scroll) {
  ScrollBarGeometry bar;
  int max = layout.maxScroll();
  if (max <= 0 || layout.viewHeight() < 2 * ListLayout::kPadding + kMinThumb) return bar;
  bar.visible = true;
  int trackHeight = layout.viewHeight() - 2 * ListLayout::kPadding;
  bar.track = {layout.viewWidth() - kWidth - 2, ListLayout::kPadding, kWidth, trackHeight};
  long long thumbHeight = (long long)trackHeight * layout.viewHeight() / layout.contentHeight();
  int thumb = int(std::max<long long>(kMinThumb, std::min<long long>(thumbHeight, trackHeight)));
  int travel = trackHeight - thumb;
  int offset = int((long long)travel * layout.clampScroll(scroll) / max);
  bar.thumb = {bar.track.x, bar.track.y + offset, kWidth, thumb};
  return bar;
}

int ScrollBarGeometry::scrollForDrag(const ListLayout& layout, int startScroll, int dy) const {
  int travel = track.height - thumb.height;
  if (!visible || travel <= 0) return layout.clampScroll(startScroll);
  long long moved = (long long)dy * layout.maxScroll() / travel;
  return layout.clampScroll(startScroll + int(moved));
}

}  // namespace ql
