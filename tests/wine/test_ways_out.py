"""The ways out of the program under Wine: the exit command and the end of
the session leave no icon of ours in the tray; the session's end saves
"字段1" as the exit command does (same condition, same writes), once; and
the keyboard in the launcher's input window (Esc cancels, Enter confirms),
with real keys after a real click. The input window and the skin chooser
open inside the work area."""
import os
import subprocess
import time
import unittest

import flashdb
import harness
from controlwin import SKIN, program_windows, real_click, saved_config, screen_point, wait_until

WM_QUERYENDSESSION, WM_ENDSESSION = 0x0011, 0x0016
ADD_CATEGORY = 2004
LAUNCHER = "[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n"


def key(name):
    subprocess.run(["xdotool", "key", name], check=True, timeout=30)
    time.sleep(0.5)


class WaysOutTest(harness.ProgramTest):

    def start(self, config1="[控制配置]\r\n皮肤=\r\n", config2=LAUNCHER):
        self.make_data_file(config1=config1, config2=config2)
        self.start_program()
        self.window = self.main_window()
        self.assertTrue(wait_until(lambda: self.driver.tray_icon(self.window)), "the icon is in the tray")
        return self.window

    def test_exit_command_takes_the_icon_out_of_the_tray(self):
        self.start()
        self.driver.command(self.window, harness.EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        self.assertFalse(self.driver.tray_icon(self.window), "no dead icon after exit")

    def test_session_end_saves_field1_once_and_leaves_no_icon(self):
        self.start()
        self.driver.move(self.window, 600, 100, 312, 653)
        code, _, _ = harness.run_wine(["wineboot", "--end-session"], timeout=60)
        self.assertEqual(0, self.program.wait_exit(timeout=30))
        config = saved_config(self)
        self.assertEqual("600", config["控制配置"]["左边"])
        self.assertEqual("100", config["控制配置"]["顶边"])
        self.assertEqual("653", config["控制配置"]["高度"])
        self.assertFalse(self.driver.tray_icon(self.window))

    def test_session_end_writes_once_and_keeps_the_short_window_rule(self):
        self.start()
        self.driver.move(self.window, 500, 120, 312, 653)
        # The query saves; the end itself does not write a second time.
        self.assertEqual(1, self.driver.send(self.window, WM_QUERYENDSESSION, 0, 0))
        self.assertEqual("500", saved_config(self)["控制配置"]["左边"])
        flashdb.execute(self.data_file, ("update 配置表 set 字段1=? where 编号=1",
                                         ["[控制配置]\r\n左边=7\r\n".encode("gbk")]))
        self.driver.post(self.window, WM_ENDSESSION, 1, 0)
        self.assertEqual(0, self.program.wait_exit(timeout=30))
        self.assertEqual("7", saved_config(self)["控制配置"]["左边"])
        self.assertFalse(self.driver.tray_icon(self.window))

        # A window 188 pixels high is not saved at the session's end either.
        os.remove(self.data_file)
        self.start(config1="[控制配置]\r\n左边=3\r\n")
        self.driver.move(self.window, 400, 100, 312, 188)
        self.driver.post(self.window, WM_ENDSESSION, 1, 0)
        self.assertEqual(0, self.program.wait_exit(timeout=30))
        self.assertEqual("[控制配置]\r\n左边=3\r\n".encode("gbk"), flashdb.field1(self.data_file))

    def categories(self):
        return list(flashdb.parse_config(flashdb.config_records(self.data_file)[0][2]))

    def prompt(self):
        windows = [w for w in program_windows(self, harness.WINDOW_CLASS)
                   if w.visible and w.title == "请输入添加分类名称："]
        return windows[0] if windows else None

    def open_prompt(self):
        self.driver.command(self.window, ADD_CATEGORY)
        self.assertTrue(wait_until(lambda: self.prompt() is not None))
        prompt = self.prompt()
        # A real click into the edit box first, as a user does.
        real_click(*screen_point(prompt, (110, 41)))
        return prompt

    def test_escape_cancels_and_enter_confirms_the_input_window(self):
        self.start(config1="[控制配置]\r\n顶边=600\r\n")
        prompt = self.open_prompt()
        left, top, width, height = prompt.rect
        self.assertLessEqual(top + height, harness.SCREEN[1], "inside the work area")
        self.screenshot("prompt-keyboard")
        key("Escape")
        self.assertTrue(self.driver.gone(prompt))
        time.sleep(0.5)
        self.assertEqual(["工具"], self.categories())

        prompt = self.open_prompt()
        key("Return")
        self.assertTrue(self.driver.gone(prompt))
        time.sleep(0.5)
        self.assertEqual(["工具", "分类软件2"],
                         self.categories())

    def test_skin_chooser_opens_inside_the_work_area(self):
        self.start(config1="[控制配置]\r\n左边=0\r\n")
        real_click(*screen_point(self.window, SKIN))
        chooser = lambda: [w for w in program_windows(self, harness.WINDOW_CLASS)
                           if w.visible and w.title == "更改外观!"]
        self.assertTrue(wait_until(chooser))
        chooser = chooser()
        left, top, width, height = chooser[0].rect
        self.assertGreaterEqual(left, 0)
        self.assertLessEqual(left + width, harness.SCREEN[0])
        self.screenshot("skin-chooser-at-the-left")
        key("Escape")
        self.assertTrue(self.driver.gone(chooser[0]))


if __name__ == "__main__":
    unittest.main()
