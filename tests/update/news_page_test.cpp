#include "update/news_page.h"

#include <gtest/gtest.h>

#include <set>

namespace ql {
namespace {

// A 1024 x 768 screen with a 30-pixel task bar at the bottom.
const NewsRect kWorkArea{0, 0, 1024, 738};

std::string newsPage(const std::string& title, const std::string& jumps = std::string()) {
  return "<HTML><HEAD><TITLE>" + title + "</TITLE></HEAD><BODY>青岚软件新闻" + jumps +
         "</BODY></HTML>";
}

TEST(NewsLayout, SitsInTheBottomRightCornerWithTheBrowserOverhanging) {
  NewsLayout start = newsLayout(kWorkArea, kNewsWidth, kNewsHeight);
  EXPECT_EQ(start.window.left, 724);
  EXPECT_EQ(start.window.top, 538);
  EXPECT_EQ(start.window.width, 300);
  EXPECT_EQ(start.window.height, 200);
  EXPECT_EQ(start.browser.left, -2);
  EXPECT_EQ(start.browser.top, -2);
  EXPECT_EQ(start.browser.width, 320);
  EXPECT_EQ(start.browser.height, 220);
  EXPECT_EQ(start.closeLabel.left, 265);
  EXPECT_EQ(start.closeLabel.top, 0);

  // A work area that does not start at the origin (task bar at the top left).
  NewsLayout shifted = newsLayout({100, 40, 900, 700}, 400, 250);
  EXPECT_EQ(shifted.window.left, 600);
  EXPECT_EQ(shifted.window.top, 490);

  // Never larger than the work area.
  NewsLayout huge = newsLayout(kWorkArea, 5000, 4000);
  EXPECT_EQ(huge.window.left, 0);
  EXPECT_EQ(huge.window.top, 0);
  EXPECT_EQ(huge.window.width, 1024);
  EXPECT_EQ(huge.window.height, 738);
}

TEST(NewsPage, TheTitleSizesTheWindowOnlyInThreeParts) {
  NewsPageReading page = readNewsPage(newsPage("400*250*x"), 1);
  EXPECT_TRUE(page.ownPage);
  ASSERT_TRUE(page.sized);
  EXPECT_EQ(page.width, 400);
  EXPECT_EQ(page.height, 250);
  NewsLayout layout = newsLayout(kWorkArea, page.width, page.height);
  EXPECT_EQ(layout.closeLabel.left, 365);
  EXPECT_EQ(layout.window.left, 624);
  EXPECT_EQ(layout.window.top, 488);
  EXPECT_EQ(layout.browser.width, 420);
  EXPECT_EQ(layout.browser.height, 270);

  EXPECT_FALSE(readNewsPage(newsPage("400*250"), 1).sized);
  EXPECT_FALSE(readNewsPage(newsPage("400*250*x*y"), 1).sized);
  EXPECT_FALSE(readNewsPage(newsPage("新闻"), 1).sized);
  // A window of no size could not be seen or closed.
  EXPECT_FALSE(readNewsPage(newsPage("0*250*x"), 1).sized);
  EXPECT_FALSE(readNewsPage(newsPage("400*-5*x"), 1).sized);
  EXPECT_FALSE(readNewsPage(newsPage("400*1e300*x"), 1).sized);
  // Lower-case markers and a fractional size.
  page = readNewsPage("<html><title>320.7*180*新闻</title>青岚软件</html>", 1);
  ASSERT_TRUE(page.sized);
  EXPECT_EQ(page.width, 320);
  EXPECT_EQ(page.height, 180);
}

TEST(NewsPage, OnlyPagesWithTheMarkAfterTheFirstCharacterAreNewsPages) {
  EXPECT_FALSE(readNewsPage("<html><title>400*250*x</title>Other site</html>", 1).ownPage);
  EXPECT_FALSE(readNewsPage("<html><title>400*250*x</title>Other site</html>", 1).sized);
  EXPECT_FALSE(readNewsPage("青岚软件<title>400*250*x</title>", 1).ownPage);
  EXPECT_TRUE(readNewsPage("x青岚软件", 1).ownPage);
  EXPECT_FALSE(readNewsPage("", 1).ownPage);
}

TEST(NewsPage, JumpsToOneOfItsAddresses) {
  const std::string list =
      "跳转网址开始http://a.cn/1\r\nhttp://b.cn/2\r\nhttps://c.cn/3跳转网址结束";
  std::set<std::string> reached;
  for (unsigned seed = 0; seed < 200; ++seed)
    reached.insert(readNewsPage(newsPage("t", list), seed).jumpTo);
  EXPECT_EQ(reached, (std::set<std::string>{"http://a.cn/1", "http://b.cn/2", "https://c.cn/3"}));

  EXPECT_EQ(readNewsPage(newsPage("t"), 1).jumpTo, "");
  EXPECT_EQ(readNewsPage(newsPage("t", "跳转网址开始跳转网址结束"), 1).jumpTo, "");
  // A foreign page's list is not followed.
  EXPECT_EQ(readNewsPage("<p>" + list + "</p>", 1).jumpTo, "");
}

TEST(NewsPage, FollowsOnlyWebAddresses) {
  const std::string hostile =
      "跳转网址开始\r\nfile:///C:/Windows/System32/calc.exe\r\nC:\\x\\setup.exe\r\n"
      " http://ok.cn/news \r\njavascript:alert(1)\r\n跳转网址结束";
  for (unsigned seed = 0; seed < 50; ++seed)
    EXPECT_EQ(readNewsPage(newsPage("t", hostile), seed).jumpTo, "http://ok.cn/news");
  EXPECT_EQ(readNewsPage(newsPage("t", "跳转网址开始file:///c:/a.exe跳转网址结束"), 1).jumpTo, "");
}

TEST(NewsTicks, ShowsTheLabelOnTheThirdTickAndClosesOnTheThirtieth) {
  NewsTicks ticks;
  EXPECT_EQ(ticks.tick(), NewsTicks::kNothing);
  EXPECT_EQ(ticks.tick(), NewsTicks::kNothing);
  EXPECT_EQ(ticks.tick(), NewsTicks::kShowCloseLabel);
  for (int i = 4; i < 29; ++i) EXPECT_EQ(ticks.tick(), NewsTicks::kNothing) << i;
  // A page finishing on the 29th tick starts the count again.
  EXPECT_EQ(ticks.tick(), NewsTicks::kNothing);
  ticks.pageLoaded();
  for (int i = 1; i < 30; ++i) EXPECT_NE(ticks.tick(), NewsTicks::kClose) << i;
  EXPECT_EQ(ticks.tick(), NewsTicks::kClose);
}

}  // namespace
}  // namespace ql
