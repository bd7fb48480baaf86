#include "update/news_window.h"

#include <windows.h>

#include "ui/static_label.h"
#include "ui/web_browser_host.h"
#include "ui/window_base.h"
#include "update/news_page.h"
#include "update/server_addresses.h"

namespace ql {

namespace {

constexpr UINT_PTR kNewsTimer = 15818;

struct NewsParts {
  WindowBase window;
  WebBrowserHost browser;
  StaticLabel closeLabel;
  NewsTicks ticks;
  NewsRect workArea;
};

NewsParts& news() {
  static NewsParts parts;
  return parts;
}

void place(WindowBase& window, const NewsRect& rect) {
  window.move(rect.left, rect.top, rect.width, rect.height);
}

void closeNewsWindow() {
  NewsParts& n = news();
  if (!n.window.exists()) return;
  KillTimer(n.window.handle(), kNewsTimer);
  // Posted: the label's click handler is still running inside the window.
  n.window.post(WM_CLOSE);
}

void onNewsPageLoaded() {
  NewsParts& n = news();
  NewsPageReading page = readNewsPage(n.browser.outerHtml(), GetTickCount());
  if (page.ownPage) {
    if (!page.jumpTo.empty()) n.browser.navigate(page.jumpTo);
    const int width = page.sized ? page.width : n.window.width();
    const int height = page.sized ? page.height : n.window.height();
    NewsLayout layout = newsLayout(n.workArea, width, height);
    place(n.window, layout.window);
    place(n.browser, layout.browser);
  } else if (!n.window.isVisible()) {
    // The news page did not come (an error page, say): show another site.
    n.browser.navigate(std::string(kStartPage));
  }
  // Shown without taking the focus from whatever the user is doing.
  ShowWindow(n.window.handle(), SW_SHOWNOACTIVATE);
  place(n.closeLabel, newsLayout(n.workArea, n.window.width(), n.window.height()).closeLabel);
  n.ticks.pageLoaded();
}

void onNewsTimer(UINT_PTR timer) {
  if (timer != kNewsTimer) return;
  NewsParts& n = news();
  switch (n.ticks.tick()) {
    case NewsTicks::kShowCloseLabel:
      n.closeLabel.setVisible(true);
      n.closeLabel.invalidate();
      break;
    case NewsTicks::kClose:
      closeNewsWindow();
      break;
    case NewsTicks::kNothing:
      break;
  }
}

void onNewsCreated(HWND window) {
  NewsParts& n = news();
  const NewsLayout layout = newsLayout(n.workArea, kNewsWidth, kNewsHeight);
  n.browser.onDocumentComplete = [](const std::string&) { onNewsPageLoaded(); };
  // Clips its siblings: the close label stays on top of the page.
  if (!n.browser.create(window, std::string(), WS_CLIPSIBLINGS, layout.browser.left,
                        layout.browser.top, layout.browser.width, layout.browser.height)) {
    // No browser can be hosted here: nothing to show.
    n.window.post(WM_CLOSE);
    return;
  }
  n.browser.setSilent(true);  // no script error boxes from a page of the network

  n.closeLabel.create(window, " 关闭", SS_NOTIFY | SS_CENTERIMAGE, layout.closeLabel.left,
                      layout.closeLabel.top, layout.closeLabel.width, layout.closeLabel.height);
  n.closeLabel.setVisible(false);
  n.closeLabel.setTextColor(RGB(255, 255, 255));
  n.closeLabel.setBackgroundColor(RGB(64, 64, 64));
  n.closeLabel.onLeftUp = [](int, int, int) {
    closeNewsWindow();
    return true;
  };
  SetWindowPos(n.closeLabel.handle(), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  n.window.onTimer = onNewsTimer;
  SetTimer(window, kNewsTimer, 1000, nullptr);
  n.browser.navigate(std::string(kNewsServer) + kNewsPagePath);
}

}  // namespace

void showNewsWindow() {
  NewsParts& n = news();
  if (n.window.exists()) return;
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  n.workArea = {area.left, area.top, area.right - area.left, area.bottom - area.top};
  const NewsRect corner = newsLayout(n.workArea, kNewsWidth, kNewsHeight).window;
  TopLevelArgs args;
  args.created = onNewsCreated;
  args.left = corner.left;
  args.top = corner.top;
  args.width = corner.width;
  args.height = corner.height;
  args.style = WS_POPUP;
  args.show = false;
  n.window.createTopLevel(args);
}

}  // namespace ql
