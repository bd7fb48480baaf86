// The news popup's rules, apart from its window: what a finished page asks
// of the window (size from the title, a random jump) and where the window,
// its browser and its close label sit.
#pragma once
#include <string>

namespace ql {

constexpr int kNewsWidth = 300, kNewsHeight = 200;
constexpr int kCloseLabelWidth = 35, kCloseLabelHeight = 15;
extern const char kNewsPagePath[];       // "/deskorb/gg.html"
extern const char kNewsOwnershipMark[];  // "青岚软件"

struct NewsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct NewsLayout {
  NewsRect window;      // screen
  NewsRect browser;     // client: its border and scroll bars lie outside the window
  NewsRect closeLabel;  // client: the top-right corner
};

// A window of width x height in the bottom-right corner of the work area;
// never larger than the work area.
NewsLayout newsLayout(const NewsRect& workArea, int width, int height);

struct NewsPageReading {
  bool ownPage = false;    // holds the ownership mark (a news page)
  bool sized = false;      // the title gives width and height
  int width = 0, height = 0;
  std::string jumpTo;      // a web address from the page's jump list, or empty
};

// Reads a finished page's HTML. A title "W*H*anything" sizes the window
// (positive sizes only); the text between "跳转网址开始" and "跳转网址结束"
// holds CR LF separated addresses, of which one web address is picked at
// random from `seed`. Only a news page is read.
NewsPageReading readNewsPage(const std::string& html, unsigned seed);

// The once-a-second count of the popup: the close label shows on the 3rd
// tick and the window closes on the 30th, both counted from the last page
// that finished loading.
class NewsTicks {
 public:
  enum Step { kNothing, kShowCloseLabel, kClose };
  Step tick();
  void pageLoaded() { count_ = 0; }

 private:
  int count_ = 0;
};

}  // namespace ql
