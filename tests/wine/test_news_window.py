"""The news popup under Wine. Wine here has no browser engine (mshtml is
switched off and Gecko is not installed): the browser control is made and
asks the maker's site for the news page, but no page ever finishes loading.
What can be seen is the popup failing softly: created hidden in the
bottom-right corner 22 to 33 seconds after start, never shown, and closed by
its own 30-second count while the program goes on. What a finished page does
to the window (size from the title, jumps, the close label) is covered by the
unit tests of the news page rules."""
import time
import unittest

import harness
from controlwin import owner
from maker_servers import MakerServers

NEWS_PAGE = ("<html><head><title>400*250*news</title></head><body>青岚软件 news"
             "跳转网址开始http://www.qinglan-soft.cn/a.html跳转网址结束</body></html>")
# The screen has no task bar under Xvfb: the work area is the whole screen.
CORNER = (harness.SCREEN[0] - 300, harness.SCREEN[1] - 200, 300, 200)


class NewsWindowTest(harness.ProgramTest):

    def setUp(self):
        super().setUp()
        self.servers = MakerServers()
        self.addCleanup(self.servers.close)

    def news_windows(self):
        """The program's popups that host a browser."""
        found = []
        for window in self.driver.windows(process=self.program.windows_exe):
            if (window.cls == harness.WINDOW_CLASS and window.style & harness.WS_POPUP and
                    any(child.cls == "AtlAxWin" for child in self.driver.children(window))):
                found.append(window)
        return found

    def test_the_popup_asks_for_the_news_page_and_closes_itself_unseen(self):
        self.servers.serve(self.servers.news_page_address, NEWS_PAGE.encode("gbk"))
        self.make_data_file()
        self.start_program(web_proxy=self.servers.proxy)
        self.main_window()
        started = time.time()

        news = []
        while not news and time.time() < started + 40:
            time.sleep(0.5)
            news = self.news_windows()
        appeared = time.time()
        self.assertEqual(1, len(news), "no news popup within 40 s")
        popup = news[0]
        # The start-up timer was armed just before the window showed.
        self.assertGreater(appeared - started, 20)
        self.assertEqual(CORNER, popup.rect)
        self.assertFalse(popup.visible)
        self.assertEqual("", popup.title)
        self.assertNotEqual(0, owner(self.driver, popup))  # a hidden owner: no task bar button

        children = self.driver.children(popup)
        browser = [c for c in children if c.cls == "AtlAxWin"][0]
        self.assertEqual((CORNER[0] - 2, CORNER[1] - 2, 320, 220), browser.rect)
        label = [c for c in children if c.cls == "Static"][0]
        self.assertEqual(" 关闭", label.title)
        self.assertFalse(label.visible)
        self.assertTrue(self.servers.count(self.servers.news_page_address))
        self.screenshot("news-popup-hidden")

        # No page finishes loading: nothing is shown, the count runs out.
        time.sleep(max(0.0, appeared + 26 - time.time()))
        self.assertEqual(1, len(self.news_windows()))
        self.assertTrue(self.driver.gone(popup, timeout=10))
        self.assertLess(time.time() - appeared, 34)
        self.assertEqual(0, self.servers.count(self.servers.start_page))
        self.assertTrue(self.program.running())
        self.assertTrue(self.driver.find(cls=harness.WINDOW_CLASS, title=harness.PROGRAM_TITLE,
                                         process=self.program.windows_exe, visible=True))
        self.assertEqual([], self.message_boxes())


if __name__ == "__main__":
    unittest.main()
