"""The version check under Wine, against the maker's servers played by a
proxy on 127.0.0.1: the silent check at start, command 1002 "版本更新(&Q)"
with its answers, the fallback server, the download page opened through the
shell (seen by the prefix's URL handler), and declining, which ends the
program without saving "字段1"."""
import os
import stat
import subprocess
import time
import unittest

import flashdb
import harness
from controlwin import real_click, wait_until
from maker_servers import MakerServers, upgrade_file

UPDATE_COMMAND = 1002
IDOK, IDYES, IDNO = 1, 6, 7
QUESTION_TITLE = "qinglan.exe"
NO_NEWER_TITLE, NO_NEWER_TEXT = "提示!", "当前还没有更新版本~   "
FAILED_TITLE, FAILED_TEXT = "错误!", "检查版本失败,请确定网络连接正常! "
DOWNLOAD_PAGE = "http://dl.qinglan-soft.cn/deskorb/2.1.html"
BROWSER_KEY = "HKCU\\Software\\Wine\\WineBrowser"
GEOMETRY = "[控制配置]\r\n左边=600\r\n顶边=100\r\n宽度=312\r\n高度=653\r\n"


def question(version):
    return "检查到新版本,请问是否更新？   \r\n\r\n当前版本：2  更新到：" + version


def reg(*arguments):
    return subprocess.run([harness.WINE, "reg"] + list(arguments), capture_output=True,
                          timeout=60)


class UpdateCheckTest(harness.ProgramTest):

    def setUp(self):
        super().setUp()
        self.servers = MakerServers()
        # The prefix's URL handler (winebrowser) hands web addresses to the
        # first program of this list: a recorder of the test's own.
        self.opened_file = os.path.join(self.folder, "opened.txt")
        recorder = os.path.join(self.folder, "record-url")
        with open(recorder, "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$@\" >> '%s'\n" % self.opened_file)
        os.chmod(recorder, os.stat(recorder).st_mode | stat.S_IXUSR)
        reg("add", BROWSER_KEY, "/v", "Browsers", "/t", "REG_SZ", "/d", recorder, "/f")

    def tearDown(self):
        super().tearDown()
        reg("delete", BROWSER_KEY, "/v", "Browsers", "/f")
        harness.kill_wine()
        self.servers.close()

    def start(self, upgrade, config1=GEOMETRY):
        """Starts the program with the primary server's file; returns its window once the
        start-up check has asked (a question it raises is left showing)."""
        self.make_data_file(config1=config1)
        self.servers.serve(self.servers.upgrade_file_address, upgrade)
        self.start_program(web_proxy=self.servers.proxy)
        window = self.driver.find(cls=harness.WINDOW_CLASS, title=harness.PROGRAM_TITLE,
                                  process=self.program.windows_exe, visible=True, timeout=30)[0]
        self.assertTrue(wait_until(lambda: self.servers.count(self.servers.upgrade_file_address)))
        return window

    def box(self, title):
        return self.driver.box(title=title, process=self.program.windows_exe, timeout=20)

    def answer(self, box, button):
        """Clicks a button of a message box with the X pointer, as a user would."""
        for child in self.driver.children(box.window):
            if child.id == button:
                left, top, width, height = child.rect
                real_click(left + width // 2, top + height // 2)
                self.assertTrue(self.driver.gone(box.window))
                return
        self.fail("no button %d in %r" % (button, box))

    def opened(self):
        if not os.path.exists(self.opened_file):
            return []
        with open(self.opened_file) as f:
            return f.read().split()

    def check_by_menu(self, title, text):
        """Command 1002 shows one box with `title` and `text`; returns it."""
        self.driver.command(self.window, UPDATE_COMMAND)
        return self.check_box(title, text)

    def check_box(self, title, text):
        box = self.box(title)
        self.assertEqual(text, box.text)
        return box

    def test_a_current_version_is_silent_at_start_and_reported_by_the_menu(self):
        self.window = self.start(upgrade_file("2.0", DOWNLOAD_PAGE))
        self.assert_no_message_box(3.0)
        box = self.check_by_menu(NO_NEWER_TITLE, NO_NEWER_TEXT)
        self.assertEqual([IDOK], [identifier for identifier, _ in box.buttons])
        self.screenshot("update-no-newer-version")
        self.answer(box, IDOK)
        self.assertTrue(self.program.running())
        # The primary server had the file: the fallback was never asked.
        self.assertEqual(0, self.servers.count(self.servers.fallback_file_address))

        # "2.0000001" is not above the current version either.
        self.servers.serve(self.servers.upgrade_file_address,
                           upgrade_file("2.0000001", DOWNLOAD_PAGE))
        self.answer(self.check_by_menu(NO_NEWER_TITLE, NO_NEWER_TEXT), IDOK)

    def test_malformed_and_hostile_files_fail_the_check_and_open_nothing(self):
        self.window = self.start(upgrade_file("9.9", DOWNLOAD_PAGE, line_end="\n"))
        self.assert_no_message_box(3.0)
        box = self.check_by_menu(FAILED_TITLE, FAILED_TEXT)
        self.screenshot("update-check-failed")
        self.answer(box, IDOK)

        # A newer version whose download address is a local program or file.
        for hostile in ("C:\\windows\\system32\\winver.exe",
                        "file:///C:/windows/system32/winver.exe",
                        "\\\\127.0.0.1\\c$\\windows\\winver.exe"):
            self.servers.serve(self.servers.upgrade_file_address, upgrade_file("9.9", hostile))
            self.answer(self.check_by_menu(FAILED_TITLE, FAILED_TEXT), IDOK)
        # Nothing was started either (winver would show its about box).
        time.sleep(1.0)
        self.assertEqual([], [w for w in self.driver.windows() if w.visible and w.cls == "#32770"])
        self.assertEqual([], self.opened())
        self.assertTrue(self.program.running())

        # Neither server has a file: the fallback was asked each time.
        self.servers.serve(self.servers.upgrade_file_address, b"<html>500</html>", status=500)
        before = self.servers.count(self.servers.fallback_file_address)
        self.answer(self.check_by_menu(FAILED_TITLE, FAILED_TEXT), IDOK)
        self.assertEqual(before + 1, self.servers.count(self.servers.fallback_file_address))

    def test_an_error_page_sends_the_check_to_the_fallback_and_yes_opens_its_page(self):
        self.servers.serve(self.servers.fallback_file_address, upgrade_file("2.1", DOWNLOAD_PAGE))
        self.window = self.start(b"<html><title>404</title>\xb0\xe6\xb1\xbe</html>")
        # The start-up check asks on its own thread: the window stays responsive meanwhile.
        box = self.box(QUESTION_TITLE)
        self.assertEqual(question("2.1"), box.text)
        self.assertEqual([IDYES, IDNO], [identifier for identifier, _ in box.buttons])
        self.driver.send(self.window, harness.WM_MOUSEMOVE, 0, 0, timeout=5)
        self.screenshot("update-question")
        self.answer(box, IDYES)
        self.assertTrue(wait_until(lambda: self.opened() == [DOWNLOAD_PAGE], timeout=20),
                        self.opened())
        self.assertEqual(1, self.servers.count(self.servers.fallback_file_address))

        # The menu asks again; after Yes nothing more is shown.
        self.driver.command(self.window, UPDATE_COMMAND)
        box = self.box(QUESTION_TITLE)
        self.answer(box, IDYES)
        self.assertTrue(wait_until(lambda: len(self.opened()) == 2, timeout=20))
        self.assert_no_message_box(2.0)
        self.assertTrue(self.program.running())

    def test_a_server_that_does_not_answer_leaves_the_window_working(self):
        self.window = self.start(upgrade_file("2.0", DOWNLOAD_PAGE))
        self.assert_no_message_box(2.0)
        self.servers.hold(self.servers.upgrade_file_address)
        self.driver.command(self.window, UPDATE_COMMAND)
        self.assertTrue(wait_until(lambda: self.servers.count(self.servers.upgrade_file_address) == 2))
        # The window answers at once while the check waits, and a second pick
        # starts no second check.
        self.driver.send(self.window, harness.WM_MOUSEMOVE, 0, 0, timeout=2)
        self.driver.command(self.window, UPDATE_COMMAND)
        self.driver.send(self.window, harness.WM_MOUSEMOVE, 0, 0, timeout=2)
        self.assert_no_message_box(1.0)
        self.servers.release()
        self.answer(self.check_box(NO_NEWER_TITLE, NO_NEWER_TEXT), IDOK)
        self.assert_no_message_box(2.0)
        self.assertEqual(2, self.servers.count(self.servers.upgrade_file_address))

    def test_declining_ends_the_program_without_saving(self):
        self.window = self.start(upgrade_file("2.0", DOWNLOAD_PAGE))
        self.assert_no_message_box(2.0)
        # A change that the exit command would store.
        self.driver.move(self.window, 100, 50, 320, 660)
        self.servers.serve(self.servers.upgrade_file_address, upgrade_file("3.5", DOWNLOAD_PAGE))
        self.driver.command(self.window, UPDATE_COMMAND)
        box = self.box(QUESTION_TITLE)
        self.assertEqual(question("3.5"), box.text)
        self.answer(box, IDNO)
        self.assertEqual(0, self.program.wait_exit(timeout=20))
        self.assertEqual(GEOMETRY.encode("gbk"), flashdb.field1(self.data_file))
        self.assertEqual([], self.opened())

    def test_declining_at_start_ends_the_program_too(self):
        self.start(upgrade_file("10", DOWNLOAD_PAGE))
        box = self.box(QUESTION_TITLE)
        self.assertEqual(question("10"), box.text)
        self.answer(box, IDNO)
        self.assertEqual(0, self.program.wait_exit(timeout=20))
        self.assertEqual(GEOMETRY.encode("gbk"), flashdb.field1(self.data_file))


if __name__ == "__main__":
    unittest.main()
