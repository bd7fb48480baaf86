"""The launcher's menu commands under Wine, through the control window's
dispatcher: the list's two right-click menus, the input window (adding and
renaming, refusing names that exist or would not read back), deleting
categories and items, moving and placing items. Every change is in 字段2 at
once."""
import time
import unittest

import flashdb
import harness
from controlwin import close_menu, read_menu, shot, wait_until

LAUNCHER = ("[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n注册表=C:\\windows\\regedit.exe\r\n"
            "命令行=C:\\windows\\system32\\cmd.exe\r\n"
            "[系统]\r\n资源管理器=C:\\windows\\explorer.exe\r\n")
ENTRY_CELLS = {1: (52, 177), 2: (148, 177), 3: (244, 177)}
EMPTY_LIST_POINT = (150, 450)
PROMPT_OK = (121, 73)      # "确 定" of the 230 x 90 input window
PROMPT_CANCEL = (192, 73)  # "取 消"


def entries(text):
    """[(section, key, value)] of a configuration text, in order."""
    found, section = [], None
    for line in text.decode("gbk").split("\r\n"):
        if line.startswith("["):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            found.append((section, key, value))
    return found


class LauncherSession(harness.ProgramTest):
    """The program started on a launcher catalogue, driven through its menu commands."""

    def start(self, launcher):
        self.make_data_file(config2=launcher)
        self.start_program()
        self.window = self.main_window()
        time.sleep(1.0)

    def field2(self):
        return flashdb.config_records(self.data_file)[0][2]

    def command(self, identifier):
        self.driver.command(self.window, identifier)

    def select(self, entry):
        self.driver.click(self.window, *ENTRY_CELLS[entry])
        time.sleep(0.3)


class LauncherCommandTest(LauncherSession):

    def setUp(self):
        super().setUp()
        self.start(LAUNCHER)

    def prompt(self, title):
        window = self.driver.find(cls=harness.WINDOW_CLASS, title=title,
                                  process=self.program.windows_exe, visible=True)[0]
        time.sleep(0.5)
        edit = [w for w in self.driver.children(window) if w.cls == "Edit"][0]
        return window, edit

    def answer(self, title, text, expected_initial=None, name=None):
        """Types `text` into the input window and presses "确 定"."""
        window, edit = self.prompt(title)
        self.assertEqual(230, window.rect[2])
        if expected_initial is not None:
            self.assertEqual(expected_initial, edit.title)
        if name:
            shot(self, name)
        self.driver.run("settext", "0x%x" % edit.hwnd, text)
        self.driver.click(window, *PROMPT_OK)
        return window

    def assert_closed(self, window):
        self.assertTrue(self.driver.gone(window, timeout=15))
        time.sleep(0.3)

    def test_right_click_shows_the_item_menu_or_the_page_menu(self):
        self.driver.click(self.window, *ENTRY_CELLS[1], button="right")
        _, rows, _ = read_menu(self, "launcher-item-menu")
        close_menu(self, self.window)
        self.assertEqual(11, len(rows))  # 打开项目 ... 打开所在目录
        self.driver.click(self.window, *EMPTY_LIST_POINT, button="right")
        _, rows, _ = read_menu(self, "launcher-page-menu")
        close_menu(self, self.window)
        self.assertEqual(5, len(rows))   # 添加项目 ... 重命名分类

    def test_adding_a_category_refuses_an_existing_name(self):
        self.command(2004)
        window = self.answer("请输入添加分类名称：", "工具", expected_initial="分类软件3",
                             name="launcher-add-category")
        box = self.driver.box(title="信息", process=self.program.windows_exe)
        self.assertEqual("当前分类名称已存在!  ", box.text)
        self.driver.press(box, 1)
        time.sleep(0.5)
        _, edit = self.prompt("请输入添加分类名称：")  # still open
        self.driver.run("settext", "0x%x" % edit.hwnd, "办公")
        self.driver.click(window, *PROMPT_OK)
        self.assert_closed(window)
        self.assertEqual(("办公", "添加项目", ""), entries(self.field2())[-1])
        shot(self, "launcher-category-added")

        # Cancel leaves everything as it was.
        before = self.field2()
        self.command(2004)
        window, _ = self.prompt("请输入添加分类名称：")
        self.driver.click(window, *PROMPT_CANCEL)
        self.assert_closed(window)
        self.assertEqual(before, self.field2())

    def test_deleting_categories_down_to_the_default_one(self):
        left = [("系统", "资源管理器", "C:\\windows\\explorer.exe")]
        for expected in (left, [("默认分类", "添加项目", "")]):
            self.command(2005)
            box = self.driver.box(title="信息", process=self.program.windows_exe)
            self.assertEqual("删除当前软件分类\r\n包括分类下所有图标!  ", box.text)
            self.driver.press(box, 1)  # OK
            self.assertTrue(wait_until(lambda: entries(self.field2()) == expected),
                            entries(self.field2()))
        shot(self, "launcher-default-category")

    def test_moving_renaming_placing_and_deleting_items(self):
        self.select(1)
        self.command(4002)  # "移动到" the second category
        time.sleep(0.5)
        self.assertIn(("系统", "记事本", "C:\\windows\\notepad.exe"), entries(self.field2()))
        self.assertNotIn("记事本", [k for s, k, _ in entries(self.field2()) if s == "工具"])

        self.select(1)  # now 注册表
        self.command(2006)
        window = self.answer("请输入新项目名称!", "编辑注册表", expected_initial="注册表")
        self.assert_closed(window)
        self.select(2)  # 命令行 to the first place
        self.command(2008)
        window = self.answer("请输入项目新位置!", "1", expected_initial="2")
        self.assert_closed(window)
        self.assertEqual(["命令行", "编辑注册表"],
                         [k for s, k, _ in entries(self.field2()) if s == "工具"])
        shot(self, "launcher-items-changed")

        # The last entry is never deleted: the placeholder joins instead
        # (and is stored with the next save).
        self.select(2)
        self.command(2003)
        self.select(1)
        self.command(2003)
        time.sleep(0.5)
        self.assertEqual(["编辑注册表", "添加项目"],
                         [k for s, k, _ in entries(self.field2()) if s == "工具"])

    def refused(self, window, edit, text, message):
        """Types a name that the input window must refuse with `message`."""
        self.driver.run("settext", "0x%x" % edit.hwnd, text)
        self.driver.click(window, *PROMPT_OK)
        box = self.driver.box(title="信息", process=self.program.windows_exe)
        self.assertEqual(message, box.text, text)
        self.driver.press(box, 1)
        time.sleep(0.5)
        self.assertFalse(self.driver.gone(window, timeout=0.5), text)  # still open

    def test_renaming_an_item_refuses_names_that_would_not_read_back(self):
        before = self.field2()
        self.select(1)
        self.command(2006)
        window, edit = self.prompt("请输入新项目名称!")
        self.refused(window, edit, "命令行", "当前项目名称已存在!  ")
        self.refused(window, edit, " 注册表 ", "当前项目名称已存在!  ")
        self.refused(window, edit, "[新程序]", "项目名称不能以\"[\"开头!  ")
        self.refused(window, edit, "系统", "当前分类名称已存在!  ")
        shot(self, "launcher-rename-refused")
        self.assertEqual(before, self.field2())
        # Blanks around the name go, "=" is mended as for names from files.
        self.driver.run("settext", "0x%x" % edit.hwnd, "　笔记=本 ")
        self.driver.click(window, *PROMPT_OK)
        self.assert_closed(window)
        self.assertEqual([("工具", "笔记-本", "C:\\windows\\notepad.exe"),
                          ("工具", "注册表", "C:\\windows\\regedit.exe"),
                          ("工具", "命令行", "C:\\windows\\system32\\cmd.exe")],
                         [e for e in entries(self.field2()) if e[0] == "工具"])

        # Blanks only: cancelled.
        before = self.field2()
        self.select(1)
        self.command(2006)
        window = self.answer("请输入新项目名称!", "   ", expected_initial="笔记-本")
        self.assert_closed(window)
        self.assertEqual(before, self.field2())

    def test_renaming_a_category_refuses_a_taken_name_and_trims(self):
        self.command(2007)
        window, edit = self.prompt("请输入新分类名称!")
        self.assertEqual("工具", edit.title)
        self.refused(window, edit, "系统", "当前分类名称已存在!  ")
        self.refused(window, edit, " 系统　", "当前分类名称已存在!  ")
        self.driver.run("settext", "0x%x" % edit.hwnd, " 常用 [软件] ")
        self.driver.click(window, *PROMPT_OK)
        self.assert_closed(window)
        self.assertEqual(["常用 [软件]", "系统"],
                         list(dict.fromkeys(s for s, _, _ in entries(self.field2()))))
        self.assertTrue(self.field2().startswith("[常用 [软件]]\r\n".encode("gbk")))
        shot(self, "launcher-category-renamed")

        before = self.field2()
        self.command(2007)
        window = self.answer("请输入新分类名称!", "  ", expected_initial="常用 [软件]")
        self.assert_closed(window)
        self.assertEqual(before, self.field2())

    def test_an_emptied_category_is_written_once(self):
        for _ in range(3):
            self.select(1)
            self.command(4002)
            time.sleep(0.5)
        # Empty now; the delete command on it brings the placeholder back,
        # and the next change saves it.
        self.command(2003)
        self.command(2004)
        window = self.answer("请输入添加分类名称：", "办公")
        self.assert_closed(window)
        self.assertTrue(wait_until(lambda: b"[" + "办公".encode("gbk") in self.field2()))
        self.assertEqual(("[工具]\r\n添加项目=\r\n"
                          "[系统]\r\n资源管理器=C:\\windows\\explorer.exe\r\n"
                          "记事本=C:\\windows\\notepad.exe\r\n注册表=C:\\windows\\regedit.exe\r\n"
                          "命令行=C:\\windows\\system32\\cmd.exe\r\n"
                          "[办公]\r\n添加项目=\r\n").encode("gbk"), self.field2())
        shot(self, "launcher-emptied-category")


if __name__ == "__main__":
    unittest.main()
