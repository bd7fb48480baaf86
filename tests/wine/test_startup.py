"""Start-up and exit of the whole program: the data file's error box, the
window's stored geometry, and what the exit command writes into 字段1."""
import os
import unittest

import flashdb
import harness
from harness import EXIT_COMMAND, WINDOW_CLASS, WS_CAPTION, WS_POPUP

ERROR_TEXT = "配置文件读取错误,请重新下载安装!"
ERROR_TITLE = "错误："
IDOK = 1
# 1024 - 380, 180, 312 x 653 on the 1024 x 768 screen.
DEFAULT_RECT = (644, 180, 312, 653)


def geometry_text(left, top, width, height):
    return "[控制配置]\r\n左边=%s\r\n顶边=%s\r\n宽度=%s\r\n高度=%s\r\n" % (left, top, width, height)


class StartupTest(harness.ProgramTest):

    def expect_error_box_then_default_window(self, shot=None):
        """The start-up box once, then the window at the default place."""
        box = self.driver.box(title=ERROR_TITLE, process=self.program.windows_exe, timeout=30)
        self.assertEqual(ERROR_TEXT, box.text)
        self.assertEqual([IDOK], [identifier for identifier, _ in box.buttons])
        if shot:
            self.screenshot(shot)
        # The window comes only after the box is answered.
        self.assertFalse([w for w in self.driver.windows(process=self.program.windows_exe)
                          if w.cls == WINDOW_CLASS and w.visible])
        self.driver.press(box, IDOK)
        window = self.main_window()
        self.assertEqual(DEFAULT_RECT, window.rect)
        self.assert_no_message_box()
        return window

    def exit_through_command(self, window):
        self.driver.command(window, EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())

    def test_missing_data_file_is_reported_once_and_defaults_apply(self):
        self.start_program()
        window = self.expect_error_box_then_default_window(shot="startup-error-box")
        self.assertEqual((harness.PROGRAM_TITLE, WINDOW_CLASS), (window.title, window.cls))
        self.assertTrue(window.style & WS_POPUP)
        self.assertFalse(window.style & WS_CAPTION)
        self.screenshot("startup-default-window")
        self.exit_through_command(window)
        self.assertFalse(os.path.exists(self.data_file))

    def test_file_that_is_not_a_database_is_reported_once_and_left_alone(self):
        junk = bytes((i * 37 + 11) % 256 for i in range(8192))
        with open(self.data_file, "wb") as f:
            f.write(junk)
        self.start_program()
        window = self.expect_error_box_then_default_window()
        self.exit_through_command(window)
        with open(self.data_file, "rb") as f:
            self.assertEqual(junk, f.read())

    def test_database_without_configuration_table_is_reported_once(self):
        # It opens, but nothing could ever be read from it or saved into it.
        open(self.data_file, "wb").close()  # an empty database: opens, has no tables
        self.start_program()
        window = self.expect_error_box_then_default_window()
        self.exit_through_command(window)

    def test_first_start_installs_the_player_library_and_replaces_another_copy(self):
        installed = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows",
                                 harness.PLAYER_LIBRARY)
        if os.path.exists(installed):
            os.remove(installed)
        self.make_data_file()
        self.start_program()
        window = self.main_window()
        with open(installed, "rb") as f:
            carried = f.read()
        self.assertEqual(b"MZ", carried[:2])
        self.exit_through_command(window)
        # The carried library already there is left as it is.
        os.utime(installed, (1000000000, 1000000000))
        self.start_program()
        self.exit_through_command(self.main_window())
        self.assertEqual(1000000000, int(os.path.getmtime(installed)))
        # Another copy (an older program's) gives way to the carried one.
        with open(installed, "wb") as f:
            f.write(carried[:4096])
        self.start_program()
        self.exit_through_command(self.main_window())
        with open(installed, "rb") as f:
            self.assertEqual(carried, f.read())
        self.assertFalse(os.path.exists(installed + ".part"))
        os.remove(installed)

    def test_stored_geometry_places_the_window_as_stored(self):
        # Values are used as stored, off-screen included; text to number takes
        # the leading decimal prefix and truncates toward zero.
        self.make_data_file(config1=geometry_text("-20", "30.9", "300px", "500"))
        self.start_program()
        window = self.main_window()
        self.assertEqual((-20, 30, 300, 500), window.rect)
        self.assert_no_message_box()
        self.screenshot("startup-stored-geometry")

    def test_exit_command_writes_the_geometry_into_field1_only(self):
        launcher = "[桌面图标]\r\n记事本=C:\\windows\\notepad.exe\r\n它's=x\r\n"
        tasks = "[任务1]\r\n执行类型=响铃\r\n备注=a'b\r\n"
        self.make_data_file(config1=geometry_text(10, 20, 312, 653) + "[fl配置]\r\n锁定=真\r\n",
                            config2=launcher, config3=tasks)
        self.start_program()
        window = self.main_window()
        self.assertEqual((10, 20, 312, 653), window.rect)
        self.driver.move(window, 100, 50, 320, 600)
        self.exit_through_command(window)

        records = self.config_records()
        self.assertEqual(1, len(records))
        number, field1, field2, field3 = records[0]
        self.assertEqual(1, number)
        saved = flashdb.parse_config(field1)
        self.assertEqual({"左边": "100", "顶边": "50", "宽度": "320", "高度": "600"},
                         {k: saved["控制配置"][k] for k in ("左边", "顶边", "宽度", "高度")})
        self.assertEqual("真", saved["fl配置"]["锁定"])
        self.assertTrue(field1.endswith(b"\r\n"))
        self.assertEqual((launcher.encode("gbk"), tasks.encode("gbk")), (field2, field3))

    def test_window_188_high_leaves_field1_byte_for_byte(self):
        # Bytes that are not valid GBK, a stray "[", no final CR LF.
        stored = (geometry_text(10, 20, 312, 653).encode("gbk") +
                  b"[\xff\xfe\r\nk=\x81\x7f'v\r\n[abc\r\nno newline \xa1\xa1")
        self.make_data_file(config1=stored)
        self.start_program()
        window = self.main_window()
        self.driver.move(window, 100, 50, 320, 188)
        self.exit_through_command(window)
        self.assertEqual(stored, flashdb.field1(self.data_file))

    def test_window_189_high_is_saved(self):
        self.make_data_file(config1=geometry_text(10, 20, 312, 653))
        self.start_program()
        window = self.main_window()
        self.driver.move(window, 100, 50, 320, 189)
        self.exit_through_command(window)
        saved = flashdb.parse_config(flashdb.field1(self.data_file))
        self.assertEqual("189", saved["控制配置"]["高度"])

    def test_only_the_first_of_two_records_is_read(self):
        self.make_data_file()
        first = geometry_text(-20, 40, 300, 500)
        second = geometry_text(200, 100, 312, 653)
        flashdb.execute(self.data_file, "delete from 配置表",
                        ("insert into 配置表 values (7, ?, '', '')", [first]),
                        ("insert into 配置表 values (1, ?, '', '')", [second]))
        self.start_program()
        window = self.main_window()
        self.assertEqual((-20, 40, 300, 500), window.rect)
        self.driver.move(window, 30, 60, 300, 500)
        self.exit_through_command(window)
        # Reading took the first record; saving addresses 编号=1.
        records = {number: field1 for number, field1, _, _ in self.config_records()}
        self.assertEqual(first.encode("gbk"), records[7])
        self.assertEqual(("30", "60"), tuple(flashdb.parse_config(records[1])["控制配置"][k]
                                             for k in ("左边", "顶边")))

    def test_odd_configuration_texts_load_and_unread_fields_stay(self):
        # Invalid GBK, stray "[", a 1 MB value, no CR: the program starts, and
        # the launcher and task texts, never changed, are never written.
        huge = b"[\xbf\xd8\xd6\xc6\xc5\xe4\xd6\xc3]\r\nbig=" + b"\xd7\xd6" * 500000 + b"\r\n"
        field2 = b"[\x81\r\n=\r\n[[[\n\n=v\rk=\xff"
        field3 = b"no lines at all \x80\x80"
        self.make_data_file(config1=huge, config2=field2, config3=field3)
        self.start_program()
        window = self.main_window()
        self.assertEqual(DEFAULT_RECT, window.rect)
        self.exit_through_command(window)
        _, saved1, saved2, saved3 = self.config_records()[0]
        self.assertEqual((field2, field3), (saved2, saved3))
        self.assertIn(b"\xd7\xd6" * 500000, saved1)

if __name__ == "__main__":
    unittest.main()
