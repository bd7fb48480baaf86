"""The control window under Wine: its look at the right of the screen, the
pages with their remembered categories, the list-mode box, the tray menu's
marks, minimising to the tray, and exit from both menus. Screenshots of each
state are kept under build/shots (control-*.png)."""
import os
import time
import unittest

import flashdb
import harness
from controlwin import (ACCENT, DEFAULT_SKIN, LIST_MODE_BOX, MINIMISE, PAGE_BUTTONS,
                        SETTINGS, SETTINGS_ITEMS, TAB_TEXT_Y, TAB_UNDERLINE_Y, TRAY_ITEMS,
                        close_menu, ink, near, owner, pixel, read_menu,
                        program_windows, real_click, saved_config, screen_point, shot,
                        shows_skin)
from harness import EXIT_COMMAND, TRAY_MESSAGE, WM_LBUTTONDOWN, WM_RBUTTONDOWN

DEFAULT_RECT = (644, 180, 312, 653)
# Programs every Wine prefix has, so that the shell gives their icons.
LAUNCHER = ("[工具]\r\n记事本=C:\\windows\\notepad.exe\r\n注册表=C:\\windows\\regedit.exe\r\n"
            "命令行=C:\\windows\\system32\\cmd.exe\r\n添加项目=\r\n"
            "[系统]\r\n资源管理器=C:\\windows\\explorer.exe\r\n")
# The list's background where nothing is drawn, and the first entries' cells.
LIST_BACKGROUND_POINT = (200, 560)
LARGE_ICON_CELLS = [(36, 160, 68, 194), (132, 160, 164, 194)]     # entries 1 and 2 as large icons
LIST_ROWS = [(16, 156, 40, 172), (16, 180, 40, 196)]              # entries 1 and 2 as list rows
TAB_CENTRES = {1: 34, 2: 90}
# A point on each page button's tile and the tile's colour (teal, orange, blue).
PAGE_TILES = {1: ((35, 61), (42, 167, 180)), 2: ((112, 61), (241, 132, 92)),
              3: ((189, 61), (91, 137, 227))}


class ControlWindowTest(harness.ProgramTest):

    def start(self, config1=None, config2=LAUNCHER):
        self.make_data_file(config1=config1, config2=config2)
        self.start_program()
        self.window = self.main_window()
        time.sleep(1.0)  # the first layout's page refresh (50 ms) and painting
        return self.window

    def click(self, point, **options):
        self.driver.click(self.window, point[0], point[1], **options)
        time.sleep(0.8)  # fades and the tab underline's slide

    def exit_program(self):
        self.driver.command(self.window, EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())

    def selected_tab(self, picture):
        """The tab whose underline shows."""
        lit = [tab for tab, x in TAB_CENTRES.items()
               if near(pixel(picture, self.window, (x, TAB_UNDERLINE_Y)), ACCENT, 30)]
        self.assertEqual(1, len(lit), "one underlined tab expected, got %s" % lit)
        return lit[0]

    def list_background(self, picture):
        return pixel(picture, self.window, LIST_BACKGROUND_POINT)

    def cells_with_icons(self, picture, cells):
        background = self.list_background(picture)
        return [ink(picture, self.offset(cell), background) > 40 for cell in cells]

    def offset(self, box):
        left, top = screen_point(self.window, box[:2])
        right, bottom = screen_point(self.window, box[2:])
        return left, top, right, bottom

    def control_window(self):
        return [w for w in program_windows(self, harness.WINDOW_CLASS)
                if w.hwnd == self.window.hwnd][0]

    def wait_for(self, condition, timeout=10):
        deadline = time.time() + timeout
        while not condition():
            if time.time() > deadline:
                return False
            time.sleep(0.1)
        return True

    # ---- Look ----

    def test_window_sits_at_the_right_with_skin_pages_tabs_and_list(self):
        window = self.start()
        self.assertEqual(DEFAULT_RECT, window.rect)
        self.assertTrue(window.style & harness.WS_POPUP)
        picture = shot(self, "window")
        self.assertTrue(shows_skin(picture, window, DEFAULT_SKIN))
        for page, (point, colour) in PAGE_TILES.items():
            self.assertTrue(near(pixel(picture, window, point), colour, 40),
                            "page %d tile: %s" % (page, pixel(picture, window, point)))
        self.assertEqual(1, self.selected_tab(picture))
        self.assertEqual([True, True], self.cells_with_icons(picture, LARGE_ICON_CELLS))
        self.assert_no_message_box(seconds=0.5)

    # ---- Pages ----

    def test_each_page_keeps_the_category_it_was_left_on(self):
        self.start()
        self.click((TAB_CENTRES[2], TAB_TEXT_Y))
        picture = shot(self, "page1-tab2")
        self.assertEqual(2, self.selected_tab(picture))
        # "系统" holds one item: the second cell stays empty.
        self.assertEqual([True, False], self.cells_with_icons(picture, LARGE_ICON_CELLS))

        # Clicking the showing page's button rebuilds nothing.
        self.click(PAGE_BUTTONS[1])
        self.assertEqual(2, self.selected_tab(shot(self, "page1-clicked-again")))

        self.click(PAGE_BUTTONS[2])
        picture = shot(self, "page2")
        self.assertEqual(1, self.selected_tab(picture))  # "特效", the first of five
        self.click((TAB_CENTRES[2], TAB_TEXT_Y))          # "动漫"
        self.click(PAGE_BUTTONS[3])
        shot(self, "page3")
        self.click(PAGE_BUTTONS[1])
        picture = shot(self, "page1-back")
        self.assertEqual(2, self.selected_tab(picture))
        self.assertEqual([True, False], self.cells_with_icons(picture, LARGE_ICON_CELLS))
        self.click(PAGE_BUTTONS[2])
        self.assertEqual(2, self.selected_tab(shot(self, "page2-back")))

    def test_list_mode_box_switches_the_view_and_is_saved_at_exit(self):
        self.start()
        self.assertEqual([True, True], self.cells_with_icons(shot(self, "large-icons"),
                                                             LARGE_ICON_CELLS))
        self.click(LIST_MODE_BOX)
        picture = shot(self, "list-mode")
        self.assertEqual([True, True], self.cells_with_icons(picture, LIST_ROWS))
        self.assertEqual([True, False], self.cells_with_icons(picture, LARGE_ICON_CELLS))
        self.exit_program()
        self.assertEqual("真", saved_config(self)["控制配置"]["列表方式"])

        # The next start shows the list, and switching back stores "假".
        self.start_program()
        self.window = self.main_window()
        time.sleep(1.0)
        picture = shot(self, "list-mode-restarted")
        self.assertEqual([True, True], self.cells_with_icons(picture, LIST_ROWS))
        box_fill = (LIST_MODE_BOX[0] - 6, LIST_MODE_BOX[1] - 6)  # the checked box's teal corner
        self.assertTrue(near(pixel(picture, self.window, box_fill), ACCENT, 40))
        self.click(LIST_MODE_BOX)
        self.exit_program()
        self.assertEqual("假", saved_config(self)["控制配置"]["列表方式"])

    def test_empty_launcher_shows_the_first_run_category(self):
        # The desktop animation's frame, open by default, reaches over the list
        # on this small screen: locked, it stays out of the picture.
        self.start(config1="[fl配置]\r\n锁定=真\r\n", config2="")
        picture = shot(self, "first-run")
        self.assertEqual(1, self.selected_tab(picture))
        # One entry: the placeholder "添加项目".
        background = self.list_background(picture)
        self.assertGreater(ink(picture, self.offset((20, 190, 90, 205)), background), 20)
        self.assertEqual(0, ink(picture, self.offset((120, 160, 300, 240)), background))

    # ---- Tray ----

    def tray(self, event):
        self.driver.post(self.window, TRAY_MESSAGE, 1, event)

    def test_tray_menu_marks_come_from_the_animation_settings(self):
        # Anything but exactly "假" is on; a missing value is off.
        self.start(config1="[fl配置]\r\n锁定=真\r\n静音=1\r\n穿透=假\r\n")
        self.tray(WM_RBUTTONDOWN)
        _, rows, _ = read_menu(self, "tray-menu")
        self.assertEqual(len(TRAY_ITEMS), len(rows))
        checked = [item for item, (_, _, mark) in zip(TRAY_ITEMS, rows) if mark]
        self.assertEqual([1008, 1004], checked)  # 静音, 锁定
        close_menu(self, self.window)

    def test_minimise_leaves_the_taskbar_and_a_tray_click_brings_it_back(self):
        window = self.start()
        self.assertEqual(0, owner(self.driver, window))
        self.click(MINIMISE)
        # Hiding waits for a window manager that Xvfb lacks: up to 2 s.
        self.assertTrue(self.wait_for(lambda: not self.control_window().visible))
        shot(self, "minimised")
        hider = program_windows(self, "HideTaskbar")
        self.assertEqual(1, len(hider))
        # Owned by the invisible tool window: no taskbar button.
        self.assertEqual(hider[0].hwnd, owner(self.driver, window))
        self.assertEqual((0x04C00000, 0x180), (hider[0].style, hider[0].exstyle))

        self.tray(WM_LBUTTONDOWN)
        shown = self.main_window()
        self.assertEqual(window.hwnd, shown.hwnd)
        self.assertEqual(DEFAULT_RECT, shown.rect)
        self.assertTrue(self.wait_for(lambda: not program_windows(self, "HideTaskbar")))
        self.assertEqual(0, owner(self.driver, window))
        time.sleep(0.8)
        self.assertTrue(shows_skin(shot(self, "restored"), window, DEFAULT_SKIN))

    # ---- Exit ----

    def exit_through_menu(self, open_it, items, name):
        open_it()
        menu, rows, _ = read_menu(self, name)
        self.assertEqual(len(items), len(rows))
        top, bottom, _ = rows[items.index(EXIT_COMMAND)]
        real_click(menu.rect[0] + 40, (top + bottom) // 2)
        self.assertEqual(0, self.program.wait_exit())
        return flashdb.field1(self.data_file)

    def test_exit_from_the_settings_menu_saves_like_exit_from_the_tray(self):
        config1 = "[控制配置]\r\n列表方式=假\r\n"
        self.start(config1=config1)
        self.driver.move(self.window, 600, 40, 312, 653)
        self.click(LIST_MODE_BOX)
        settings = (600 + SETTINGS[0], 40 + SETTINGS[1])
        from_settings = self.exit_through_menu(lambda: real_click(*settings), SETTINGS_ITEMS,
                                               "settings-menu")

        os.remove(self.data_file)
        self.start(config1=config1)
        self.driver.move(self.window, 600, 40, 312, 653)
        self.click(LIST_MODE_BOX)
        from_tray = self.exit_through_menu(lambda: self.tray(WM_RBUTTONDOWN), TRAY_ITEMS,
                                           "tray-menu-exit")
        self.assertEqual(from_tray, from_settings)
        saved = saved_config(self)["控制配置"]
        self.assertEqual(("600", "40", "312", "653", "真"),
                         tuple(saved[k] for k in ("左边", "顶边", "宽度", "高度", "列表方式")))


if __name__ == "__main__":
    unittest.main()
