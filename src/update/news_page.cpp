#include "update/news_page.h"

#include <algorithm>
#include <random>
#include <vector>

#include "runtime/text.h"
#include "update/web_address.h"

namespace ql {

const char kNewsPagePath[] = "/deskorb/gg.html";
const char kNewsOwnershipMark[] = "青岚软件";

NewsLayout newsLayout(const NewsRect& workArea, int width, int height) {
  NewsLayout layout;
  width = std::min(width, workArea.width);
  height = std::min(height, workArea.height);
  layout.window = {workArea.left + workArea.width - width, workArea.top + workArea.height - height,
                   width, height};
  layout.browser = {-2, -2, width + 20, height + 20};
  layout.closeLabel = {width - kCloseLabelWidth, 0, kCloseLabelWidth, kCloseLabelHeight};
  return layout;
}

NewsPageReading readNewsPage(const std::string& html, unsigned seed) {
  NewsPageReading reading;
  const size_t mark = findNoCase(html, kNewsOwnershipMark);
  reading.ownPage = mark != std::string::npos && mark > 0;
  if (!reading.ownPage) return reading;

  std::vector<std::string> size = splitText(textBetween(html, "<title>", "</title>"), "*");
  if (size.size() == 3) {
    const double width = textToNumber(size[0]), height = textToNumber(size[1]);
    // A window of no size could never be seen or closed by the user.
    if (width >= 1 && height >= 1 && width <= 1e5 && height <= 1e5) {
      reading.sized = true;
      reading.width = static_cast<int>(width);
      reading.height = static_cast<int>(height);
    }
  }

  // The page comes over plain HTTP: only web pages are followed.
  std::vector<std::string> jumps;
  for (const std::string& part : splitText(textBetween(html, "跳转网址开始", "跳转网址结束"), "\r\n")) {
    std::string address = trimSpaces(part);
    if (isWebAddress(address)) jumps.push_back(address);
  }
  if (!jumps.empty()) {
    std::mt19937 random(seed);
    reading.jumpTo = jumps[std::uniform_int_distribution<size_t>(0, jumps.size() - 1)(random)];
  }
  return reading;
}

NewsTicks::Step NewsTicks::tick() {
  ++count_;
  if (count_ >= 30) return kClose;
  return count_ == 3 ? kShowCloseLabel : kNothing;
}

}  // namespace ql
