"""The program looked at from inside (tests/wine/control/program_probe.cpp):
its six menus and "移动到" read back item by item, the list filled by the
creation itself, minimising while the shell refuses the tray icon, object
counts over many page switches and hovers, and an end when the control
window cannot be made."""
import os
import shutil
import unittest

import harness

PROBE = os.path.join(harness.WIN_BUILD, "tests", "wine", "control", "program_probe.exe")
LAUNCHER = ("[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n命令行=C:\\windows\\system32\\cmd.exe\r\n"
            "添加项目=\r\n[系统]\r\n资源管理器=C:\\windows\\explorer.exe\r\n[第三类]\r\n添加项目=\r\n")

S = ("separator", 0, "")
MENUS = {
    "menu0": [("item", 1001, "Fl_打开(&O)"), S, ("item", 1002, "版本更新(&Q)"),
              ("item", 1003, "关于!(&G)"), S, ("item", 1009, "Fl_穿透(&T)"),
              ("item", 1008, "Fl_静音(&Y)"), ("item", 1005, "Fl_总在最前(&Z)"),
              ("item", 1004, "Fl_锁定(&X)"), S, ("item", 1006, "显示控制窗口(&L)"), S,
              ("item", 1007, "退出(&C)")],
    "menu1": [("item", 2001, "打开项目"), S, ("item", 2002, "添加项目"), ("item", 2010, "添加目录"),
              ("item", 2003, "删除项目"), ("item", 2006, "重命名项目"), S, ("submenu", 0, "移动到"), S,
              ("item", 2008, "排序"), S, ("item", 2004, "添加分类"), ("item", 2005, "删除当前分类"),
              ("item", 2007, "重命名分类"), S, ("item", 2009, "打开所在目录")],
    "menu2": [("item", 3001, "添加计划任务"), S, ("item", 3002, "修改计划任务"), S,
              ("item", 3003, "删除计划任务")],
    "menu4": [("item", 2002, "添加项目"), ("item", 2010, "添加目录"), S, ("item", 2004, "添加分类"),
              ("item", 2005, "删除当前分类"), ("item", 2007, "重命名分类")],
    "menu5": [("item", 6001, "设置开机启动(&X)"), S, ("item", 1007, "退出(&C)")],
}
MOVE_TO = [("item", 4001, "工具"), ("item", 4002, "系统"), ("item", 4003, "第三类")]


def parse(output):
    facts = {}
    for line in output.decode("gbk", "replace").splitlines():
        key, _, value = line.partition("=")
        facts[key] = value
    return facts


def menu_items(facts, name):
    """[(kind, id, text)] and the checked ids of one menu, in order."""
    items, checked, index = [], [], 0
    while "%s.%d" % (name, index) in facts:
        kind, _, rest = facts["%s.%d" % (name, index)].partition(" id=")
        number, _, rest = rest.partition(" checked=")
        mark, _, text = rest.partition(" text=")
        items.append((kind, int(number), text))
        if mark == "1":
            checked.append(int(number))
        index += 1
    return items, checked


class ProgramProbeTest(harness.ProgramTest):

    def probe(self, *arguments, config1=None, timeout=120):
        self.make_data_file(config1=config1, config2=LAUNCHER)
        shutil.copy(PROBE, self.folder)
        code, out, err = harness.run_wine([os.path.join(self.folder, "program_probe.exe")] +
                                          list(arguments), cwd=self.folder, timeout=timeout)
        return code, parse(out)

    def test_menus_read_back_exactly_and_the_list_is_filled_at_creation(self):
        code, facts = self.probe("menus")
        self.assertEqual(0, code)
        for name, expected in MENUS.items():
            items, checked = menu_items(facts, name)
            self.assertEqual(expected, items, name)
            self.assertEqual([], checked, "%s: no marks before the tray menu opens" % name)
        self.assertEqual(MOVE_TO, menu_items(facts, "menu1.7")[0], "移动到 under the item menu")
        self.assertEqual(MOVE_TO, menu_items(facts, "menu3")[0])
        # The first category's items are listed before the first layout's timer.
        self.assertEqual("3", facts["list_entries"])
        self.assertEqual(["记事本", "命令行", "添加项目"], [facts["entry.%d" % i] for i in (1, 2, 3)])

    def test_minimising_without_a_tray_icon_keeps_the_window_reachable(self):
        code, facts = self.probe("refuse-tray")
        self.assertEqual(0, code)
        self.assertEqual("visible:1 minimised:0 tray:0", facts["started"])
        # Not hidden: minimised, its taskbar button is the way back.
        self.assertEqual("visible:1 minimised:1 tray:0", facts["refused"])
        # Once the shell takes the icon (asked again), the window hides in the tray.
        self.assertEqual("visible:0 minimised:0 tray:1", facts["accepted"])

    def test_restoring_from_the_tray_keeps_the_page_as_it_was(self):
        code, facts = self.probe("restore")
        self.assertEqual(0, code)
        self.assertEqual("visible:0 minimised:0 tray:1", facts["hidden"])
        self.assertEqual("visible:1 minimised:0 tray:1", facts["restored"])
        self.assertEqual("2", facts["selected"], "no layout at 0 x 0, no page rebuilt")

    def test_object_counts_stay_flat_over_page_switches_and_hovers(self):
        code, facts = self.probe("resources", "300", timeout=300)
        self.assertEqual(0, code)
        gdi_before, gdi_after = (int(v) for v in facts["gdi"].split(","))
        user_before, user_after = (int(v) for v in facts["user"].split(","))
        print("\nGetGuiResources over %s page switches and hovers: GDI %d -> %d, USER %d -> %d"
              % (facts["rounds"], gdi_before, gdi_after, user_before, user_after))
        self.assertGreaterEqual(int(facts["gdi_check"]), 3, "the count sees new objects")
        self.assertLessEqual(gdi_after - gdi_before, 2)
        self.assertLessEqual(user_after - user_before, 2)

    def test_no_control_window_ends_the_process_and_logs_it(self):
        code, facts = self.probe("no-window", timeout=60)
        self.assertEqual(1, code, "ended, not left running or returning")
        self.assertNotIn("returned", facts)
        with open(os.path.join(self.folder, "qinglan.log"), "rb") as log:
            self.assertIn("青岚桌面工具箱".encode("gbk") + b"\" not created", log.read())


if __name__ == "__main__":
    unittest.main()
