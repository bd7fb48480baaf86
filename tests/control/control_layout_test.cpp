#include <gtest/gtest.h>

#include "control/control_layout.h"
#include "control/page_memory.h"

using namespace ql;

TEST(ControlLayout, TitleButtonsFollowTheRightEdge) {
  ControlLayout layout = layoutControls(312, 653);
  EXPECT_EQ(layout.minimiseButton.x, 273);
  EXPECT_EQ(layout.settingsButton.x, 245);
  EXPECT_EQ(layout.skinButton.x, 217);  // W - 95
  EXPECT_EQ(layout.minimiseButton.width + layout.minimiseButton.x, 312);
  EXPECT_EQ(layout.settingsButton.x + layout.settingsButton.width, layout.minimiseButton.x);
  EXPECT_EQ(layout.skinButton.x + layout.skinButton.width, layout.settingsButton.x);

  ControlLayout wide = layoutControls(500, 400);
  EXPECT_EQ(wide.minimiseButton.x, 461);
  EXPECT_EQ(wide.skinButton.x, 405);
}

TEST(ControlLayout, ListTabsLabelAndModeBoxFollowTheSize) {
  ControlLayout layout = layoutControls(312, 653);
  EXPECT_EQ(layout.itemList.x, 0);
  EXPECT_EQ(layout.itemList.y, 150);
  EXPECT_EQ(layout.itemList.width, 307);
  EXPECT_EQ(layout.itemList.height, 463);
  EXPECT_EQ(layout.categoryTabs.y, 118);
  EXPECT_EQ(layout.categoryTabs.width, 312);
  EXPECT_EQ(layout.statusLabel.x, 15);
  EXPECT_EQ(layout.statusLabel.y, 623);
  EXPECT_EQ(layout.statusLabel.width, 282);
  EXPECT_EQ(layout.statusLabel.height, 25);
  EXPECT_EQ(layout.listModeBox.x, 292);
  EXPECT_EQ(layout.listModeBox.y, 102);
  // The list ends 40 px above the bottom, leaving room for the status label.
  EXPECT_EQ(layout.itemList.y + layout.itemList.height, 653 - 40);
}

TEST(ControlLayout, PageButtonsSitSideBySide) {
  EXPECT_EQ(pageButtonRect(1).x, 15);
  EXPECT_EQ(pageButtonRect(2).x, 92);
  EXPECT_EQ(pageButtonRect(3).x, 169);
  for (int page = 1; page <= 3; ++page) {
    EXPECT_EQ(pageButtonRect(page).y, 35);
    EXPECT_EQ(pageButtonRect(page).width, 72);
    EXPECT_EQ(pageButtonRect(page).height, 72);
  }
}

TEST(PageMemory, EachPageKeepsTheCategoryItWasLeftOn) {
  PageMemory pages;
  EXPECT_EQ(pages.current(), kLauncherPage);
  for (int page = 1; page <= 3; ++page) EXPECT_EQ(pages.category(page), 1);

  EXPECT_TRUE(pages.switchTo(kAnimationPage, 3));  // leaves the launcher on tab 3
  EXPECT_EQ(pages.current(), kAnimationPage);
  EXPECT_EQ(pages.category(kLauncherPage), 3);
  EXPECT_TRUE(pages.switchTo(kTaskPage, 2));
  EXPECT_TRUE(pages.switchTo(kLauncherPage, 1));
  EXPECT_EQ(pages.category(kLauncherPage), 3);
  EXPECT_EQ(pages.category(kAnimationPage), 2);
  EXPECT_EQ(pages.category(kTaskPage), 1);
}

TEST(PageMemory, TheShowingPageOrNoPageChangesNothing) {
  PageMemory pages;
  pages.remember(kLauncherPage, 4);
  EXPECT_FALSE(pages.switchTo(kLauncherPage, 2));
  EXPECT_EQ(pages.category(kLauncherPage), 4);
  EXPECT_FALSE(pages.switchTo(0, 2));
  EXPECT_FALSE(pages.switchTo(4, 2));
  EXPECT_EQ(pages.current(), kLauncherPage);
  pages.reset();
  EXPECT_EQ(pages.category(kLauncherPage), 1);
}
