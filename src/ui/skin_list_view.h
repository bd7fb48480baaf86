// SkinListView: a list of entries (text, icon from a SkinImageList, text
// colour, user value) shown as large icons or as a list, with a slim scroll
// bar, wheel and keyboard scrolling, a 1-based selection (0 = none) framed
// by a rounded rectangle, and activation by double-click or Enter.
#pragma once
#include "ui/list_model.h"
#include "ui/skin_element.h"

namespace ql {

class SkinImageList;

class SkinListView : public SkinElement {
 public:
  // The icons the entries' image indices refer to (not owned; may be null).
  void setImageList(SkinImageList* images);
  SkinImageList* imageList() const { return images_; }
  ListViewStyle style() const { return style_; }
  void setStyle(ListViewStyle style);

  // Inserts before entry `position` (1..count), or appends for any other
  // position. Returns the new entry's index.
  int insertEntry(const std::string& text, int image = 0, uint32_t color = kDefaultEntryColor,
                  long long value = 0, int position = 0);
  bool deleteEntry(int index);
  void clear();
  int entryCount() const { return model_.count(); }
  std::string entryText(int index) const { return model_.text(index); }
  bool setEntryText(int index, const std::string& text);
  int entryImage(int index) const { return model_.image(index); }
  uint32_t entryColor(int index) const { return model_.color(index); }
  long long entryValue(int index) const { return model_.value(index); }
  bool setEntryValue(int index, long long value) { return model_.setValue(index, value); }

  int selected() const { return model_.selected(); }
  // 0 clears the selection; the entry is scrolled into view. Does not call
  // onSelectionChanged.
  bool setSelected(int index);
  int scrollOffset() const { return scroll_; }
  void scrollTo(int offset);
  // The entry under the element point (x, y), or 0.
  int entryAt(int x, int y) const;
  // Where entry `index` is drawn now, in form coordinates (it may lie outside
  // the visible part); empty for an invalid index.
  SkinRect entryRect(int index) const;

  // The user changed the selection (click, right-click or keys).
  std::function<void(SkinListView& list, int index)> onSelectionChanged;
  // An entry was double-clicked or Enter was pressed on it.
  std::function<void(SkinListView& list, int index)> onActivate;

  bool takesFocus() const override { return true; }
  void paint(Gdiplus::Graphics& graphics) override;
  void layout() override;
  void mouseMove(int x, int y, int keys) override;
  void mouseLeave() override;
  void leftDown(int x, int y, int keys) override;
  void leftUp(int x, int y, int keys) override;
  void rightDown(int x, int y, int keys) override;
  void doubleClick(int x, int y, int keys) override;
  void captureLost() override;
  bool wheel(int delta, int keys) override;
  bool keyDown(int key, int keys) override;
  bool animate(int elapsedMs) override;

 private:
  void relayout();
  void selectByUser(int index);
  // Repaints what a selection change from `old` touched, scrolling the new
  // selection into view.
  void showSelection(int old);
  void repaintEntry(int index);
  void repaintScrollBar();
  void paintEntry(Gdiplus::Graphics& graphics, int index, const ListRect& cell, float originX,
                  float originY);
  void paintScrollBar(Gdiplus::Graphics& graphics);

  ListModel model_;
  ListLayout layout_;
  ListViewStyle style_ = ListViewStyle::LargeIcons;
  SkinImageList* images_ = nullptr;
  int scroll_ = 0;
  int hot_ = 0;            // entry under the mouse
  bool barHot_ = false;    // mouse over the scroll bar
  bool dragging_ = false;  // dragging the thumb
  int dragStartY_ = 0, dragStartScroll_ = 0;
  float barGlow_ = 0;
};

}  // namespace ql
