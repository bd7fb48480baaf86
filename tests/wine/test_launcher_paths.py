"""The launcher's paths under Wine that reach beyond the input window: the
placeholder activated in the list, a vanished target (Yes and No), adding a
file and a folder through the system dialogs, opening the containing
folder, renaming a category; and a "配置表" without any record."""
import os
import time
import unittest

import flashdb
import harness
from controlwin import shot, wait_until
from test_launcher_commands import ENTRY_CELLS, LauncherSession, entries

IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
TVM_EXPAND, TVM_GETNEXTITEM, TVM_SELECTITEM = 0x1102, 0x110A, 0x110B
TVE_EXPAND, TVGN_ROOT, TVGN_NEXT, TVGN_CHILD, TVGN_CARET = 2, 0, 1, 4, 9


class LauncherPathTest(LauncherSession):

    def items(self):
        return entries(self.field2())

    def dialog(self, title):
        return self.driver.find(cls="#32770", title=title, process=self.program.windows_exe,
                                visible=True, timeout=15)[0]

    def answer_dialog(self, dialog, text, button=IDOK):
        """Types into the dialog's edit box and presses a button."""
        edit = [w for w in self.driver.children(dialog) if w.cls == "Edit"][0]
        self.driver.run("settext", "0x%x" % edit.hwnd, text)
        self.driver.press(dialog, button)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        time.sleep(0.5)

    def select_folder(self, dialog, path):
        """Selects a Unix folder in the folder dialog's tree, the way a user
        would click down to it: Wine shows the file system's root "/" under
        the desktop. The dialog's edit box names the selected folder."""
        children = self.driver.children(dialog)
        tree = [w for w in children if w.cls == "SysTreeView32"][0]
        edit = [w for w in children if w.cls == "Edit"][0]

        def shown():
            return [w for w in self.driver.children(dialog) if w.hwnd == edit.hwnd][0].title

        item = self.driver.send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)
        for name in ["/"] + [part for part in path.split("/") if part]:
            self.driver.send(tree, TVM_EXPAND, TVE_EXPAND, item)
            child = self.driver.send(tree, TVM_GETNEXTITEM, TVGN_CHILD, item)
            while child:
                self.driver.send(tree, TVM_SELECTITEM, TVGN_CARET, child)
                if shown() == name:
                    break
                child = self.driver.send(tree, TVM_GETNEXTITEM, TVGN_NEXT, child)
            self.assertTrue(child, "no folder %s in the dialog" % name)
            item = child

    def test_the_placeholder_activated_adds_a_file_and_the_add_command_can_be_cancelled(self):
        self.start("[工具]\r\n添加项目=\r\n记事本=C:\\windows\\notepad.exe\r\n")
        chosen = os.path.join(self.folder, "a=b.txt")
        with open(chosen, "w") as f:
            f.write("x")
        self.driver.click(self.window, *ENTRY_CELLS[1], double=True)
        dialog = self.dialog("添加快捷方式图标!")
        shot(self, "launcher-add-file-dialog")
        self.answer_dialog(dialog, harness.windows_path(chosen))
        self.assertTrue(wait_until(lambda: ("工具", "a-b.txt", harness.windows_path(chosen))
                                   in self.items()), self.items())

        before = self.items()
        self.command(2002)
        dialog = self.dialog("添加快捷方式图标!")
        self.driver.press(dialog, IDCANCEL)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        time.sleep(0.5)
        self.assertEqual(before, self.items())

    def test_a_vanished_target_is_deleted_on_yes_only(self):
        self.start("[工具]\r\n旧程序=C:\\nowhere\\gone.exe\r\n记事本=C:\\windows\\notepad.exe\r\n")
        before = self.items()
        self.select(1)
        self.command(2001)
        box = self.driver.box(title="信息", process=self.program.windows_exe)
        self.assertEqual("当前项目已失效!是否删除？ ", box.text)
        self.assertEqual([IDYES, IDNO], [b for b, _ in box.buttons])
        self.driver.press(box, IDNO)
        time.sleep(0.8)
        self.assertEqual(before, self.items())

        self.select(1)
        self.command(2001)
        box = self.driver.box(title="信息", process=self.program.windows_exe)
        self.driver.press(box, IDYES)
        self.assertTrue(wait_until(
            lambda: self.items() == [("工具", "记事本", "C:\\windows\\notepad.exe")]), self.items())
        shot(self, "launcher-vanished-deleted")

    def test_a_folder_is_added_through_the_folder_dialog(self):
        self.start("[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n")
        source = os.path.join(self.folder, "导入")
        os.makedirs(os.path.join(source, "子目录"))
        for name in ("x.lnk", "y.txt", "a=b.txt"):
            with open(os.path.join(source, name), "w") as f:
                f.write("x")
        self.command(2010)
        dialog = self.dialog("选择文件夹")
        self.select_folder(dialog, source)
        shot(self, "launcher-folder-dialog")
        self.driver.press(dialog, IDOK)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        folder = harness.windows_path(source) + "\\"
        self.assertTrue(wait_until(lambda: len(self.items()) == 4), self.items())
        self.assertEqual(sorted([("工具", "记事本", "C:\\windows\\notepad.exe"),
                                 ("工具", "x", folder + "x.lnk"),
                                 ("工具", "y.txt", folder + "y.txt"),
                                 ("工具", "a-b.txt", folder + "a=b.txt")]),
                         sorted(self.items()))

    def test_the_containing_folder_opens_in_the_shell(self):
        self.start("[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n")
        self.select(1)
        self.command(2009)
        shell = self.driver.find(cls="ExplorerWClass", title="windows", visible=True, timeout=20)
        self.assertEqual(1, len(shell))
        self.assert_no_message_box(1.0)

    def test_a_catalogue_beyond_the_drivers_statement_limit_is_saved(self):
        # About 110,000 characters: the Access driver (and its stand-in here)
        # refuses statements over 64,000, so the text must travel apart.
        items = "".join("程序%04d=C:\\Program Files\\应用软件\\程序%04d\\启动'%04d.exe\r\n"
                        % (i, i, i) for i in range(1500))
        self.start("[工具]\r\n" + items)
        self.select(1)
        self.command(2003)  # deletes 程序0000 and saves
        self.assertTrue(wait_until(lambda: len(self.items()) == 1499), len(self.items()))
        self.assertEqual(("工具", "程序0001", "C:\\Program Files\\应用软件\\程序0001\\启动'0001.exe"),
                         self.items()[0])

    def test_an_empty_configuration_table_starts_with_defaults_and_keeps_changes(self):
        self.make_data_file()
        flashdb.execute(self.data_file, "delete from 配置表")
        self.start_program()
        self.window = self.main_window()
        self.assert_no_message_box(2.0)
        shot(self, "launcher-empty-table")
        self.command(2004)
        prompt = self.driver.find(cls=harness.WINDOW_CLASS, title="请输入添加分类名称：",
                                  process=self.program.windows_exe, visible=True)[0]
        time.sleep(0.5)
        edit = [w for w in self.driver.children(prompt) if w.cls == "Edit"][0]
        self.driver.run("settext", "0x%x" % edit.hwnd, "办公")
        self.driver.click(prompt, 121, 73)
        self.assertTrue(self.driver.gone(prompt, timeout=15))
        self.assertTrue(wait_until(lambda: len(flashdb.config_records(self.data_file)) == 1))
        self.assertEqual([("桌面图标", "添加项目", ""), ("办公", "添加项目", "")], self.items())
        self.driver.command(self.window, harness.EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        self.assertIn(b"\xbf\xd8\xd6\xc6\xc5\xe4\xd6\xc3", flashdb.field1(self.data_file))  # [控制配置]


if __name__ == "__main__":
    unittest.main()
