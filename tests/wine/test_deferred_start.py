"""The control window's deferred start-up work under Wine: 22 to 33 seconds
after start, a launcher that holds only the placeholder gets the desktops'
files (the shared desktop's first, then the user's), and not a moment
earlier. The import is stored with the launcher's next save."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import flashdb
import harness
from controlwin import ink, screen_point, shot, wait_until
from harness import windows_path

USER_FOLDERS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"
CELLS = [(36, 160, 68, 194), (132, 160, 164, 194), (228, 160, 260, 194)]
PROMPT_OK = (121, 73)


def common_desktop():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "Public", "Desktop")


def reg(*arguments):
    return subprocess.run([harness.WINE, "reg"] + list(arguments), capture_output=True, timeout=60)


class DeferredStartTest(harness.ProgramTest):

    def setUp(self):
        super().setUp()
        # The user's desktop is a folder of the test's own.
        self.desktop = tempfile.mkdtemp(prefix="ql-desktop-")
        previous = reg("query", USER_FOLDERS, "/v", "Desktop").stdout.decode("gbk", "replace")
        self.previous_desktop = next((line.split(None, 2)[2] for line in previous.splitlines()
                                      if line.split()[:1] == ["Desktop"]), None)
        reg("add", USER_FOLDERS, "/v", "Desktop", "/t", "REG_SZ", "/d",
            windows_path(self.desktop), "/f")
        self.common_file = os.path.join(common_desktop(), "公共程序.lnk")
        os.makedirs(common_desktop(), exist_ok=True)

    def tearDown(self):
        super().tearDown()
        if self.previous_desktop is None:
            reg("delete", USER_FOLDERS, "/v", "Desktop", "/f")
        else:
            reg("add", USER_FOLDERS, "/v", "Desktop", "/t", "REG_EXPAND_SZ", "/d",
                self.previous_desktop, "/f")
        harness.kill_wine()
        shutil.rmtree(self.desktop, ignore_errors=True)
        if os.path.exists(self.common_file):
            os.remove(self.common_file)

    def entries_shown(self, window, name):
        """Forces a layout (which re-shows the page) and counts the list's entries."""
        self.driver.move(window, 644, 180, 312, 652)
        self.driver.move(window, 644, 180, 312, 653)
        time.sleep(1.0)
        picture = shot(self, name)
        background = picture.getpixel(screen_point(window, (200, 560)))
        count = 0
        for cell in CELLS:
            left, top = screen_point(window, cell[:2])
            right, bottom = screen_point(window, cell[2:])
            if ink(picture, (left, top, right, bottom), background) > 40:
                count += 1
        return count

    def test_desktop_files_replace_the_placeholder_after_22_to_33_seconds(self):
        with open(self.common_file, "wb") as f:
            f.write(b"not really a shortcut")
        for name in ("记事本.lnk", "a=b.txt"):
            with open(os.path.join(self.desktop, name), "wb") as f:
                f.write(b"x")
        self.make_data_file(config2="")
        self.start_program()
        window = self.main_window()
        found = time.time()

        time.sleep(20)  # the timer was armed before the window showed
        self.assertEqual(1, self.entries_shown(window, "deferred-before"))
        time.sleep(max(0.0, found + 34 - time.time()))
        self.assertEqual(3, self.entries_shown(window, "deferred-after"))

        # The launcher's next save stores the import.
        self.driver.command(window, 2004)
        prompt = self.driver.find(cls=harness.WINDOW_CLASS, title="请输入添加分类名称：",
                                  process=self.program.windows_exe, visible=True)[0]
        time.sleep(0.5)
        self.driver.click(prompt, *PROMPT_OK)
        self.assertTrue(wait_until(lambda: b"[" in flashdb.config_records(self.data_file)[0][2]))
        lines = flashdb.config_records(self.data_file)[0][2].decode("gbk").split("\r\n")
        user = windows_path(self.desktop)
        # The shared desktop first; each folder in the order the system lists it.
        self.assertEqual(["[桌面图标]", "公共程序=C:\\users\\Public\\Desktop\\公共程序.lnk"], lines[:2])
        self.assertEqual({"记事本=%s\\记事本.lnk" % user, "a-b.txt=%s\\a=b.txt" % user},
                         set(lines[2:4]))
        self.assertEqual(["[分类软件2]", "添加项目=", ""], lines[4:])

if __name__ == "__main__":
    unittest.main()
