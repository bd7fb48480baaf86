#include "ui/list_model.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(ListModel, InsertBeforeAPositionOrAppendWithParallelFields) {
  ListModel list;
  EXPECT_EQ(list.insert("记事本", 1), 1);
  EXPECT_EQ(list.insert("注册表", 2, 0xFF0060C0, 7), 2);
  EXPECT_EQ(list.insert("首位", 3, kDefaultEntryColor, 9, 1), 1);
  EXPECT_EQ(list.insert("末尾", 4, kDefaultEntryColor, 0, 4), 4);  // past the end appends
  EXPECT_EQ(list.insert("中间", 5, kDefaultEntryColor, 0, 3), 3);
  ASSERT_EQ(list.count(), 5);
  const char* order[] = {"首位", "记事本", "中间", "注册表", "末尾"};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(list.text(i), order[i - 1]);
  // The fields travel with their entry.
  EXPECT_EQ(list.image(4), 2);
  EXPECT_EQ(list.color(4), 0xFF0060C0u);
  EXPECT_EQ(list.value(4), 7);
  EXPECT_EQ(list.value(1), 9);
  // No colour given: black at alpha 240.
  EXPECT_EQ(list.color(2), 0xF0000000u);
}

TEST(ListModel, OutOfRangeIndicesAreIgnored) {
  ListModel list;
  list.insert("a", 1);
  EXPECT_EQ(list.text(0), "");
  EXPECT_EQ(list.text(2), "");
  EXPECT_EQ(list.image(2), 0);
  EXPECT_FALSE(list.setText(2, "x"));
  EXPECT_FALSE(list.remove(0));
  EXPECT_FALSE(list.select(2));
  EXPECT_FALSE(list.select(-1));
  EXPECT_EQ(list.selected(), 0);
  EXPECT_TRUE(list.setText(1, "b"));
  EXPECT_EQ(list.text(1), "b");
}

TEST(ListModel, SelectionFollowsItsEntryThroughInsertAndDelete) {
  ListModel list;
  for (const char* text : {"a", "b", "c", "d"}) list.insert(text, 1);
  ASSERT_TRUE(list.select(3));  // "c"
  list.insert("x", 1, kDefaultEntryColor, 0, 1);
  EXPECT_EQ(list.selected(), 4);
  list.insert("y", 1, kDefaultEntryColor, 0, 5);  // after "c": no shift
  EXPECT_EQ(list.selected(), 4);
  EXPECT_EQ(list.text(list.selected()), "c");
  list.remove(1);
  EXPECT_EQ(list.text(list.selected()), "c");
  list.remove(5);  // after it
  EXPECT_EQ(list.text(list.selected()), "c");
  list.remove(list.selected());
  EXPECT_EQ(list.selected(), 0);
  list.select(2);
  list.clear();
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(list.select(0));
}

TEST(ListLayout, LargeIconsFillTheControlWindowsListInEvenColumns) {
  // The control window's list: 312 - 5 wide, 653 - 190 high, 32 px icons.
  ListLayout layout(ListViewStyle::LargeIcons, 307, 463, 32, 32, 16, 200);
  EXPECT_EQ(layout.columns(), 3);
  EXPECT_GE(layout.cellWidth(), ListLayout::kMinCellWidth);
  EXPECT_LE(layout.columns() * layout.cellWidth() + 2 * ListLayout::kPadding,
            307 - ListLayout::kScrollGutter);
  EXPECT_EQ(layout.rows(), 67);
  EXPECT_GT(layout.cellHeight(), 32 + 2 * 16);
  EXPECT_EQ(layout.contentHeight(), 67 * layout.cellHeight() + 2 * ListLayout::kPadding);
  EXPECT_EQ(layout.maxScroll(), layout.contentHeight() - 463);
  // A view narrower than one cell still shows one column.
  EXPECT_EQ(ListLayout(ListViewStyle::LargeIcons, 40, 100, 32, 32, 16, 3).columns(), 1);
}

TEST(ListLayout, EveryEntryIsFoundAtItsOwnCellInBothStyles) {
  for (ListViewStyle style : {ListViewStyle::LargeIcons, ListViewStyle::List}) {
    ListLayout layout(style, 307, 463, style == ListViewStyle::List ? 16 : 32,
                      style == ListViewStyle::List ? 16 : 32, 16, 47);
    for (int scroll : {0, 37, layout.maxScroll()}) {
      int first = 0, last = 0;
      layout.visibleRange(scroll, first, last);
      ASSERT_LE(first, last);
      for (int i = 1; i <= 47; ++i) {
        ListRect cell = layout.cell(i);
        int cx = cell.x + cell.width / 2, cy = cell.y + cell.height / 2 - scroll;
        bool inView = cy >= 0 && cy < 463;
        if (inView) {
          EXPECT_EQ(layout.entryAt(cx, cy, scroll), i);
          EXPECT_TRUE(i >= first && i <= last) << i;
        }
      }
    }
    // Below the last entry, in the gutter and outside: nothing.
    EXPECT_EQ(layout.entryAt(300, 10, 0), 0);
    EXPECT_EQ(layout.entryAt(-1, 10, 0), 0);
    EXPECT_EQ(layout.entryAt(10, 463, 0), 0);
  }
  ListLayout list(ListViewStyle::List, 307, 463, 16, 16, 16, 3);
  EXPECT_EQ(list.columns(), 1);
  EXPECT_EQ(list.cellHeight(), 24);
  EXPECT_EQ(list.entryAt(100, list.cell(3).y + list.cell(3).height, 0), 0);
  EXPECT_EQ(list.maxScroll(), 0);
}

TEST(ListLayout, ScrollingStaysInRangeAndBringsEntriesIntoView) {
  ListLayout layout(ListViewStyle::List, 300, 100, 16, 16, 16, 20);  // 24 px rows
  EXPECT_EQ(layout.clampScroll(-5), 0);
  EXPECT_EQ(layout.clampScroll(100000), layout.maxScroll());
  int scroll = layout.scrollToShow(10, 0);
  ListRect cell = layout.cell(10);
  EXPECT_LE(cell.y + cell.height, scroll + 100);
  EXPECT_GE(cell.y, scroll);
  EXPECT_EQ(layout.scrollToShow(1, scroll), 0);
  EXPECT_EQ(layout.scrollToShow(20, 0), layout.maxScroll());
  EXPECT_EQ(layout.scrollToShow(99, 40), 40);
  EXPECT_EQ(layout.wheelStep(), 72);

  int first = 0, last = 0;
  ListLayout empty(ListViewStyle::List, 300, 100, 16, 16, 16, 0);
  empty.visibleRange(0, first, last);
  EXPECT_GT(first, last);
}

TEST(ScrollBar, ThumbSpansTheTrackAndDragsToTheEnds) {
  ListLayout small(ListViewStyle::List, 300, 400, 16, 16, 16, 5);
  EXPECT_FALSE(ScrollBarGeometry::of(small, 0).visible);

  ListLayout layout(ListViewStyle::List, 300, 400, 16, 16, 16, 200);
  ScrollBarGeometry top = ScrollBarGeometry::of(layout, 0);
  ASSERT_TRUE(top.visible);
  EXPECT_EQ(top.thumb.y, top.track.y);
  EXPECT_GE(top.thumb.height, ScrollBarGeometry::kMinThumb);
  EXPECT_LE(top.track.x + top.track.width, 300);
  EXPECT_GE(top.track.x, 300 - ListLayout::kScrollGutter);
  ScrollBarGeometry bottom = ScrollBarGeometry::of(layout, layout.maxScroll());
  EXPECT_EQ(bottom.thumb.y + bottom.thumb.height, bottom.track.y + bottom.track.height);

  EXPECT_EQ(top.scrollForDrag(layout, 0, 10000), layout.maxScroll());
  EXPECT_EQ(top.scrollForDrag(layout, 0, -10), 0);
  int travel = top.track.height - top.thumb.height;
  EXPECT_NEAR(top.scrollForDrag(layout, 0, travel / 2), layout.maxScroll() / 2,
              layout.maxScroll() / travel + 1);
}

}  // namespace
}  // namespace ql
