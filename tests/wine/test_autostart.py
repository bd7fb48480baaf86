"""Starting with Windows under Wine: "设置开机启动(&X)" writes and removes the
Run value "deskorb", its mark shows what the registry holds, and without
rights on the machine-wide key the value goes to the user's Run key (the
probe program refuses the machine scope as a user without administrator
rights is refused)."""
import os
import subprocess
import time
import unittest

import harness
from controlwin import SETTINGS, SETTINGS_ITEMS, close_menu, read_menu, real_click, saved_config, \
    screen_point
from harness import EXIT_COMMAND, windows_path

RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
MACHINE, USER = "HKLM\\" + RUN_KEY, "HKCU\\" + RUN_KEY
AUTOSTART_COMMAND = 6001
PROBE = os.path.join(harness.WIN_BUILD, "tests", "wine", "control", "autostart_probe.exe")


def run_value(key):
    """The data of "deskorb" under the key, or None when there is none."""
    result = subprocess.run([harness.WINE, "reg", "query", key, "/v", "deskorb"], capture_output=True,
                            timeout=60)
    if result.returncode != 0:
        return None
    for line in result.stdout.decode("gbk", "replace").splitlines():
        words = line.split(None, 2)
        if len(words) >= 2 and words[0] == "deskorb":
            return words[2] if len(words) == 3 else ""
    return None


def set_run_value(key, data):
    subprocess.run([harness.WINE, "reg", "add", key, "/v", "deskorb", "/t", "REG_SZ", "/d", data, "/f"],
                   check=True, capture_output=True, timeout=60)


def delete_run_value(key):
    subprocess.run([harness.WINE, "reg", "delete", key, "/v", "deskorb", "/f"], capture_output=True,
                   timeout=60)


class AutostartTest(harness.ProgramTest):

    def setUp(self):
        super().setUp()
        for key in (MACHINE, USER):
            delete_run_value(key)

    def tearDown(self):
        for key in (MACHINE, USER):
            delete_run_value(key)
        super().tearDown()

    def start(self):
        self.make_data_file(config2="[工具]\r\n添加项目=\r\n")
        self.start_program()
        self.window = self.main_window()
        time.sleep(1.0)

    def autostart_marked(self, name):
        """Opens the settings menu with the real mouse and reads its mark."""
        real_click(*screen_point(self.window, SETTINGS))
        _, rows, _ = read_menu(self, name)
        close_menu(self, self.window)
        self.assertEqual(len(SETTINGS_ITEMS), len(rows))
        return rows[SETTINGS_ITEMS.index(AUTOSTART_COMMAND)][2]

    def switch(self):
        self.driver.command(self.window, AUTOSTART_COMMAND)
        self.driver.send(self.window, 0)  # the command has run once this returns
        time.sleep(0.3)

    def test_switching_on_writes_the_machine_value_and_off_removes_it(self):
        self.start()
        self.assertFalse(self.autostart_marked("autostart-off"))
        self.switch()
        self.assertEqual(self.program.windows_exe, run_value(MACHINE))
        self.assertIsNone(run_value(USER))
        self.assertTrue(self.autostart_marked("autostart-on"))
        self.switch()
        self.assertIsNone(run_value(MACHINE))
        self.assertFalse(self.autostart_marked("autostart-off-again"))
        self.driver.command(self.window, EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        self.assertEqual("假", saved_config(self)["控制配置"]["开机启动"])

    def test_the_first_mark_comes_from_either_run_key(self):
        set_run_value(MACHINE, "")  # present but empty: off
        self.start()
        self.assertFalse(self.autostart_marked("autostart-empty-value"))
        self.driver.command(self.window, EXIT_COMMAND)
        self.program.wait_exit()

        # A value under the user's key, even naming another folder, is on;
        # switching it off removes it.
        set_run_value(USER, "C:\\old\\place\\qinglan.exe")
        os.remove(self.data_file)
        self.start()
        self.assertTrue(self.autostart_marked("autostart-user-value"))
        self.switch()
        self.assertIsNone(run_value(USER))
        self.assertIsNone(run_value(MACHINE))
        self.assertFalse(self.autostart_marked("autostart-user-value-off"))

    def probe(self, state):
        code, out, err = harness.run_wine([PROBE, state], cwd=self.folder)
        self.assertEqual(0, code, err.decode("gbk", "replace"))
        return out.decode("gbk").strip()

    def test_without_rights_on_the_machine_key_the_user_key_holds_the_value(self):
        self.assertEqual("state=1 mark=1 config=真", self.probe("on"))
        self.assertIsNone(run_value(MACHINE))
        self.assertEqual(windows_path(PROBE), run_value(USER))
        self.assertEqual("state=0 mark=0 config=假", self.probe("off"))
        self.assertIsNone(run_value(USER))

        # A machine value that cannot be removed keeps autostart on, and the
        # mark says so.
        set_run_value(MACHINE, "C:\\青岚\\qinglan.exe")
        self.assertEqual("state=1 mark=1 config=真", self.probe("off"))
        self.assertEqual("C:\\青岚\\qinglan.exe", run_value(MACHINE))


if __name__ == "__main__":
    unittest.main()
