// The list view's model and geometry without Win32: entries in parallel
// arrays with a 1-based selection, the cell layout of the two view styles,
// and the scrolling and scroll-bar maths. The drawing class replays these.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

// Entries whose colour is not given are drawn black at alpha 240.
constexpr uint32_t kDefaultEntryColor = 0xF0000000;

class ListModel {
 public:
  int count() const { return int(texts_.size()); }
  bool isValid(int index) const { return index >= 1 && index <= count(); }

  // Inserts before the entry at `position` (1..count); any other position
  // appends. Keeps the selection on the entry it was on. Returns the new
  // entry's index.
  int insert(const std::string& text, int image, uint32_t color = kDefaultEntryColor,
             long long value = 0, int position = 0);
  // Removing the selected entry leaves nothing selected; removing one before
  // it keeps the selection on the same entry.
  bool remove(int index);
  void clear();

  // Readers give 0 or the empty text outside the range; setters do nothing there.
  std::string text(int index) const { return isValid(index) ? texts_[index - 1] : std::string(); }
  int image(int index) const { return isValid(index) ? images_[index - 1] : 0; }
  uint32_t color(int index) const { return isValid(index) ? colors_[index - 1] : 0; }
  long long value(int index) const { return isValid(index) ? values_[index - 1] : 0; }
  bool setText(int index, const std::string& text);
  bool setImage(int index, int image);
  bool setColor(int index, uint32_t color);
  bool setValue(int index, long long value);

  int selected() const { return selected_; }
  // 0 clears the selection; an index outside the range is ignored (false).
  bool select(int index);

 private:
  std::vector<std::string> texts_;
  std::vector<int> images_;
  std::vector<uint32_t> colors_;
  std::vector<long long> values_;
  int selected_ = 0;
};

enum class ListViewStyle { LargeIcons = 0, List = 1 };

struct ListRect {
  int x, y, width, height;
  bool contains(int px, int py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
};

// Where entries sit inside a view of the given size. Entry rectangles are in
// content coordinates (scroll offset not applied); the view shows content
// rows [scroll, scroll + viewHeight).
class ListLayout {
 public:
  // Room kept free at the right edge for the slim scroll bar.
  static constexpr int kScrollGutter = 10;
  static constexpr int kPadding = 4;  // around the content
  static constexpr int kMinCellWidth = 76;
  static constexpr int kTextLines = 2;  // caption lines under a large icon

  ListLayout() = default;
  ListLayout(ListViewStyle style, int viewWidth, int viewHeight, int iconWidth, int iconHeight,
             int lineHeight, int entryCount);

  ListViewStyle style() const { return style_; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  int cellWidth() const { return cellWidth_; }
  int cellHeight() const { return cellHeight_; }
  int viewWidth() const { return viewWidth_; }
  int viewHeight() const { return viewHeight_; }
  int contentHeight() const { return contentHeight_; }
  int maxScroll() const;
  int clampScroll(int scroll) const;

  // The cell of entry `index` (1-based), in content coordinates.
  ListRect cell(int index) const;
  // Entries with any part inside the view at `scroll`: [first, last], or
  // first > last when none.
  void visibleRange(int scroll, int& first, int& last) const;
  // The entry under view point (x, y) at `scroll`, or 0.
  int entryAt(int x, int y, int scroll) const;
  // The scroll offset closest to `scroll` that shows the whole of entry `index`.
  int scrollToShow(int index, int scroll) const;
  // How far one wheel notch (120 units) moves the content.
  int wheelStep() const;

 private:
  ListViewStyle style_ = ListViewStyle::LargeIcons;
  int viewWidth_ = 0, viewHeight_ = 0, count_ = 0;
  int columns_ = 1, rows_ = 0, cellWidth_ = 0, cellHeight_ = 0, contentHeight_ = 0;
};

// The slim vertical scroll bar at the view's right edge.
struct ScrollBarGeometry {
  static constexpr int kWidth = 6;
  static constexpr int kMinThumb = 24;

  bool visible = false;        // only when the content is taller than the view
  ListRect track{0, 0, 0, 0};  // view coordinates
  ListRect thumb{0, 0, 0, 0};

  static ScrollBarGeometry of(const ListLayout& layout, int scroll);
  // Scroll offset after dragging the thumb by dy pixels from where it sat at startScroll.
  int scrollForDrag(const ListLayout& layout, int startScroll, int dy) const;
};

}  // namespace ql
