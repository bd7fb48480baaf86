#include "ui/tab_rules.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace ql {
namespace {

struct Recorder {
  std::vector<std::string> calls;
  bool allow = true;
  int change(TabModel& tabs, int n) {
    return tabs.change(
        n,
        [&](int to) {
          calls.push_back("about " + std::to_string(to));
          return allow;
        },
        [&](int from) { calls.push_back("unselect " + std::to_string(from)); },
        [&](int to) {
          calls.push_back("changed " + std::to_string(to) + " now " +
                          std::to_string(tabs.current()));
        });
  }
};

TabModel threeTabs() {
  TabModel tabs;
  tabs.add("桌面图标");
  tabs.add("常用软件");
  tabs.add("游戏");
  return tabs;
}

TEST(TabRules, ChangeAsksFirstThenStoresThenReports) {
  TabModel tabs = threeTabs();
  EXPECT_EQ(tabs.current(), 0);
  Recorder recorder;
  EXPECT_EQ(recorder.change(tabs, 2), 2);
  std::vector<std::string> expected = {"about 2", "unselect 0", "changed 2 now 2"};
  EXPECT_EQ(recorder.calls, expected);
  // Choosing the current tab again still goes through the routines.
  recorder.calls.clear();
  EXPECT_EQ(recorder.change(tabs, 2), 2);
  EXPECT_EQ(recorder.calls.size(), 3u);
}

TEST(TabRules, VetoAndInvalidIndicesKeepTheCurrentTab) {
  TabModel tabs = threeTabs();
  Recorder recorder;
  recorder.change(tabs, 1);
  recorder.calls.clear();
  recorder.allow = false;
  EXPECT_EQ(recorder.change(tabs, 3), 1);
  EXPECT_EQ(recorder.calls, std::vector<std::string>{"about 3"});
  recorder.allow = true;
  recorder.calls.clear();
  EXPECT_EQ(recorder.change(tabs, 0), 1);
  EXPECT_EQ(recorder.change(tabs, 4), 1);
  EXPECT_EQ(recorder.change(tabs, -2), 1);
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_EQ(tabs.current(), 1);
}

TEST(TabRules, RemovingTabsKeepsTheCurrentOneOrNone) {
  TabModel tabs = threeTabs();
  Recorder recorder;
  recorder.change(tabs, 3);
  EXPECT_TRUE(tabs.remove(1));
  EXPECT_EQ(tabs.current(), 2);
  EXPECT_EQ(tabs.text(2), "游戏");
  EXPECT_TRUE(tabs.remove(2));
  EXPECT_EQ(tabs.current(), 0);
  EXPECT_FALSE(tabs.remove(5));
  EXPECT_EQ(tabs.text(7), "");
  EXPECT_FALSE(tabs.setText(0, "x"));
  EXPECT_TRUE(tabs.setText(1, "改名"));
  EXPECT_EQ(tabs.text(1), "改名");
  tabs.clear();
  EXPECT_EQ(tabs.count(), 0);
}

TEST(TabRules, EdgesFollowMeasuredWidthsWithPaddingAndMinimum) {
  std::vector<int> edges = tabEdges({50, 10, 80}, 12, 48, 2);
  std::vector<int> expected = {2, 76, 124, 228};
  EXPECT_EQ(edges, expected);
  EXPECT_EQ(tabAt(edges, 1), 0);
  EXPECT_EQ(tabAt(edges, 2), 1);
  EXPECT_EQ(tabAt(edges, 75), 1);
  EXPECT_EQ(tabAt(edges, 76), 2);
  EXPECT_EQ(tabAt(edges, 227), 3);
  EXPECT_EQ(tabAt(edges, 228), 0);
  EXPECT_EQ(tabAt(tabEdges({}, 12, 48), 0), 0);
}

}  // namespace
}  // namespace ql
