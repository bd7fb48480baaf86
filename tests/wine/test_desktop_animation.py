"""The desktop animation in the running program: the catalogue page, the
player on the desktop, the adjustment frame, the four options and the exit.

The program runs over a stand-in for the Windows desktop's own window (qldrive
"desktop"), so that its host window has the desktop to go under, with the
shipped catalogue in its data file. Wine without a compositor shows a
half-transparent pixel as its premultiplied colour over black: screenshots
show the movies darker at their soft edges than Windows does.
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from PIL import Image

import flashdb
import harness
from controlwin import PAGE_BUTTONS, TAB_TEXT_Y, TRAY_ITEMS, close_menu, read_menu, wait_until

CATALOGUE = os.path.join(harness.ROOT, "build", "native", "catalogue")
SWF_BENCH = os.path.join(harness.ROOT, "build", "native", "tools", "swf-bench", "swf-bench")

PLAYER_CLASS = "QlSwfPlayerWindow"
DEFAULT_PLACE = (224, 100, 600, 400)  # 1024 - 800 from the left, 100 down, 600 x 400
WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_LAYERED = 0x8, 0x20, 0x80000
VOLUME_PROPERTY = "QlSwfVolume"
VOLUME_70 = 70 * 655
WM_EXITSIZEMOVE = 0x0232
LOAD_MOVIE = 0x153D

# The "桌面Flash" page: tab centres and list cells (large icons), client points.
TABS = {"特效": 34, "动漫": 90, "时钟": 146, "生活": 202, "其他": 258}
CELLS = [(51, 185), (148, 185), (244, 185), (51, 265)]
# The frame's band for a frame 600 wide: the check boxes, the close and
# maximise buttons (client points).
BOX_POINTS = {"总在最前": (466, 10), "穿透": (408, 10), "静音": (364, 10)}
CLOSE_POINT, MAXIMISE_POINT = (584, 10), (554, 10)


def config(**values):
    """An "fl配置" section (keys as given) as the text of 字段1."""
    keys = {"address": "fl地址", "lock": "锁定", "top": "总在最前", "through": "穿透", "mute": "静音",
            "left": "左边", "up": "顶边", "width": "宽度", "height": "高度"}
    return "[fl配置]\r\n" + "".join("%s=%s\r\n" % (keys[k], v) for k, v in values.items())


def xdotool(*words):
    subprocess.run(["xdotool"] + [str(w) for w in words], check=True, timeout=30)


def drag(start, end):
    """Presses the real X mouse at `start`, moves it in steps to `end`, lets go."""
    xdotool("mousemove", *start)
    time.sleep(0.2)
    xdotool("mousedown", 1)
    for k in range(1, 9):
        xdotool("mousemove", start[0] + (end[0] - start[0]) * k // 8, start[1] + (end[1] - start[1]) * k // 8)
        time.sleep(0.05)
    time.sleep(0.2)
    xdotool("mouseup", 1)
    time.sleep(0.5)


class DesktopAnimationTest(harness.ProgramTest):
    # ---- Arrangements ----

    def start(self, text="", movies=CATALOGUE):
        self.desktop = self.driver.desktop()
        self.make_data_file(config1=text, movies=movies)
        self.start_program()
        self.control = self.main_window()
        self.assertTrue(wait_until(lambda: self.player_or_none() is not None))
        return self.control

    def program_windows(self):
        return self.driver.windows(process=self.program.windows_exe)

    def player_or_none(self):
        players = [w for w in self.program_windows() if w.cls == PLAYER_CLASS]
        return players[0] if players else None

    def player(self):
        player = self.player_or_none()
        self.assertIsNotNone(player, "no player window")
        return player

    def frame(self):
        """The adjustment frame (owned by the player), or None."""
        player = self.player()
        frames = [w for w in self.program_windows()
                  if w.cls == harness.WINDOW_CLASS and w.owner == player.hwnd and w.visible]
        return frames[0] if frames else None

    def volume(self):
        return self.driver.property(self.player(), VOLUME_PROPERTY)

    def ink(self, rect=None):
        """Pixels of the player's rectangle unlike the wallpaper beside it,
        left of the control window."""
        picture = Image.open(harness.screenshot("desktop-ink")).convert("RGB")
        left, top, width, height = rect or self.player().rect
        count = 0
        for y in range(max(top, 0), min(top + height, 768), 4):
            wallpaper = picture.getpixel((1016, y))
            for x in range(max(left, 0), min(left + width, 640), 4):
                if sum(abs(a - b) for a, b in zip(picture.getpixel((x, y)), wallpaper)) > 60:
                    count += 1
        return count

    def plays(self):
        """Something shows in the player and it changes."""
        first = self.ink()
        if first < 50:
            return False
        before = Image.open(harness.screenshot("desktop-before")).convert("RGB")
        time.sleep(0.6)
        after = Image.open(harness.screenshot("desktop-after")).convert("RGB")
        left, top, width, height = self.player().rect
        box = (max(left, 0), max(top, 0), min(left + width, 640), min(top + height, 768))
        return before.crop(box).tobytes() != after.crop(box).tobytes()

    def exit_and_read(self):
        self.driver.command(self.control, harness.EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        return flashdb.parse_config(flashdb.field1(self.data_file)).get("fl配置", {})

    def open_page(self, tab):
        self.driver.click(self.control, *PAGE_BUTTONS[2])
        self.driver.click(self.control, TABS[tab], TAB_TEXT_Y)
        time.sleep(0.5)

    def sample_movies(self):
        folder = tempfile.mkdtemp(prefix="ql-samples-", dir=self.folder)
        subprocess.run([SWF_BENCH, "--write-samples", folder], check=True, stdout=subprocess.DEVNULL)
        return folder

    def tray_marks(self):
        """The check marks of 1004, 1005, 1008 and 1009 as the tray menu shows them."""
        self.driver.post(self.control, harness.TRAY_MESSAGE, 1, harness.WM_RBUTTONDOWN)
        menu, rows, _ = read_menu(self, "desktop-tray")
        close_menu(self, self.control)
        marks = {}
        for item, (_, _, checked) in zip([i for i in TRAY_ITEMS], rows):
            marks[item] = checked
        return {item: marks[item] for item in (1004, 1005, 1008, 1009)}

    # ---- Start ----

    def test_empty_settings_give_the_default_place_an_open_frame_and_no_movie(self):
        self.start()
        player = self.player()
        self.assertEqual(DEFAULT_PLACE, player.rect)
        self.assertTrue(player.exstyle & WS_EX_LAYERED)
        self.assertFalse(player.exstyle & (WS_EX_TOPMOST | WS_EX_TRANSPARENT))
        self.assertEqual(VOLUME_70, self.volume())
        # The host sits under the desktop's own window and owns the player.
        hosts = self.driver.children(self.desktop)
        self.assertEqual([player.owner], [w.hwnd for w in hosts if w.cls == harness.WINDOW_CLASS])
        frame = self.frame()
        self.assertIsNotNone(frame, "no adjustment frame")
        self.assertEqual(DEFAULT_PLACE, frame.rect)
        self.assertLess(self.ink((227, 125, 410, 372)), 20, "the frame's middle shows more than the desktop")
        self.screenshot("desktop-empty-frame")
        self.assertEqual({1004: False, 1005: False, 1008: False, 1009: False}, self.tray_marks())
        saved = self.exit_and_read()
        self.assertEqual(("224", "100", "600", "400"), (saved["左边"], saved["顶边"], saved["宽度"], saved["高度"]))
        self.assertNotIn("fl地址", saved)

    def test_stored_options_and_place_apply_at_start(self):
        # Any text but "假" is on; each side under 200 reads as 380 on its own.
        self.start(config(top="真", through="真", mute="是", lock="真", left="-40", up="60", width="199",
                          height="200", address="特效###泡泡"))
        player = self.player()
        self.assertEqual((-40, 60, 380, 200), player.rect)
        self.assertTrue(player.exstyle & WS_EX_TOPMOST)
        self.assertTrue(player.exstyle & WS_EX_TRANSPARENT)
        self.assertEqual(0, self.volume())
        self.assertIsNone(self.frame())
        self.assertEqual({1004: True, 1005: True, 1008: True, 1009: True}, self.tray_marks())
        self.assertTrue(self.plays())

    # ---- The catalogue and custom movies ----

    def test_an_activated_catalogue_entry_plays_and_is_remembered(self):
        self.start(config(lock="真"))
        self.assertLess(self.ink(), 20)
        self.open_page("时钟")
        self.screenshot("desktop-flash-page")
        self.driver.click(self.control, *CELLS[1], double=True)  # "经典挂钟"
        self.assertTrue(wait_until(lambda: self.ink() > 500), "the clock does not show")
        self.screenshot("desktop-clock-on-the-desktop")
        self.open_page("特效")
        self.driver.click(self.control, *CELLS[1], double=True)  # "飘雪" (泡泡, 飘雪, 烟花, ...)
        self.assertTrue(wait_until(self.plays), "the snow does not fall")
        self.screenshot("desktop-snow-on-the-desktop")
        self.assertEqual("特效###飘雪", self.exit_and_read()["fl地址"])

    def test_an_entry_with_a_quote_in_its_name_plays(self):
        movies = os.path.join(self.folder, "movies")
        os.makedirs(os.path.join(movies, "其他"))
        shutil.copy(os.path.join(CATALOGUE, "其他", "蝴蝶.swf"), os.path.join(movies, "其他", "Tom's 蝴蝶.swf"))
        self.start(config(lock="真"), movies=movies)
        self.open_page("其他")
        self.driver.click(self.control, *CELLS[0], double=True)
        self.assertTrue(wait_until(self.plays), "the entry does not play")
        self.assertEqual("其他###Tom's 蝴蝶", self.exit_and_read()["fl地址"])

    def choose_file(self, path):
        """Answers the open-file dialog of command 1001 with `path` (None: cancel)."""
        self.driver.command(self.control, 1001)
        dialog = self.driver.find(cls="#32770", title="请选择自定义Flash文件", process=self.program.windows_exe,
                                  visible=True, timeout=15)[0]
        if path is None:
            self.driver.press(dialog, 2)
        else:
            names = [w for w in self.driver.children(dialog) if w.id == 1148]
            self.assertTrue(names, "no file name field")
            self.driver.run("settext", "0x%x" % names[0].hwnd, path)
            self.driver.press(dialog, 1)
        self.assertTrue(self.driver.gone(dialog, timeout=10))

    def test_a_chosen_file_plays_and_its_path_is_kept_even_with_hashes_in_it(self):
        folder = os.path.join(self.folder, "my###movies")
        os.makedirs(folder)
        movie = os.path.join(folder, "a###b.swf")
        shutil.copy(os.path.join(CATALOGUE, "动漫", "金鱼缸.swf"), movie)
        self.start(config(lock="真", address="生活###烛光"))
        self.assertTrue(self.plays())
        candles = self.ink()
        self.choose_file(None)  # cancelled: the candles play on
        self.assertTrue(self.plays())
        self.choose_file(harness.windows_path(movie))
        self.assertTrue(wait_until(lambda: abs(self.ink() - candles) > 300), "the fish bowl does not show")
        self.assertEqual(harness.windows_path(movie), self.exit_and_read()["fl地址"])
        # At the next start the text names a file: it is a path, not a catalogue entry.
        self.start_program()
        self.control = self.main_window()
        self.assertTrue(wait_until(self.plays), "the chosen movie does not play at the next start")

    def test_a_vanished_file_plays_nothing(self):
        self.start(config(lock="真", address="Z:\\nowhere\\gone.swf"))
        time.sleep(1)
        self.assertLess(self.ink(), 20)

    def test_three_parts_play_nothing(self):
        self.start(config(lock="真", address="特效###泡泡###x"))
        time.sleep(1)
        self.assertLess(self.ink(), 20)

    # ---- Options ----

    def test_each_tray_toggle_changes_the_window_and_only_its_own_box(self):
        self.start(config(address="其他###蝴蝶"))
        self.assertIsNotNone(self.frame())
        self.driver.command(self.control, 1005)
        self.assertTrue(wait_until(lambda: self.player().exstyle & WS_EX_TOPMOST))
        self.driver.command(self.control, 1009)
        self.assertTrue(wait_until(lambda: self.player().exstyle & WS_EX_TRANSPARENT))
        self.driver.command(self.control, 1008)
        self.assertTrue(wait_until(lambda: self.volume() == 0))
        self.assertEqual({1004: False, 1005: True, 1008: True, 1009: True}, self.tray_marks())
        self.driver.command(self.control, 1008)
        self.assertTrue(wait_until(lambda: self.volume() == VOLUME_70))
        self.driver.command(self.control, 1009)
        self.assertTrue(wait_until(lambda: not self.player().exstyle & WS_EX_TRANSPARENT))
        self.assertTrue(self.player().exstyle & WS_EX_LAYERED)
        # Each toggle moved only its own box: now on top is checked, mute and
        # click-through are not. Clicking a box flips it from there.
        frame = self.frame()
        self.screenshot("desktop-frame-boxes")
        self.driver.click(frame, *BOX_POINTS["静音"])
        self.assertTrue(wait_until(lambda: self.volume() == 0), "the mute box was left checked")
        self.driver.click(frame, *BOX_POINTS["总在最前"])
        self.assertTrue(wait_until(lambda: not self.player().exstyle & WS_EX_TOPMOST),
                        "the on-top box was left unchecked")
        self.driver.click(frame, *BOX_POINTS["穿透"])
        self.assertTrue(wait_until(lambda: self.player().exstyle & WS_EX_TRANSPARENT))
        # The tray marks follow what the boxes stored.
        self.assertEqual({1004: False, 1005: False, 1008: True, 1009: True}, self.tray_marks())
        saved = self.exit_and_read()
        self.assertEqual(("假", "真", "真"), (saved["总在最前"], saved["静音"], saved["穿透"]))

    def test_locking_closes_the_frame_and_closing_the_frame_locks(self):
        self.start(config(address="时钟###小闹钟"))
        self.driver.command(self.control, 1004)
        self.assertTrue(wait_until(lambda: self.frame() is None))
        self.driver.command(self.control, 1004)
        self.assertTrue(wait_until(lambda: self.frame() is not None))
        self.assertEqual(DEFAULT_PLACE, self.frame().rect)
        # The frame's own close button: the animation is locked.
        frame = self.frame()
        self.driver.click(frame, *CLOSE_POINT)
        self.assertTrue(wait_until(lambda: self.frame() is None))
        self.assertEqual({1004: True, 1005: False, 1008: False, 1009: False}, self.tray_marks())
        self.assertEqual("真", self.exit_and_read()["锁定"])
        self.start_program()
        self.control = self.main_window()
        self.assertTrue(wait_until(lambda: self.player_or_none() is not None))
        time.sleep(1)
        self.assertIsNone(self.frame())

    def test_moving_and_sizing_the_frame_moves_the_player_inside_it(self):
        self.start(config(address="动漫###摇摆企鹅"))
        frame = self.frame()
        left, top, width, height = frame.rect
        # Dragged by its band with the real mouse, away from the control window.
        drag((left + 250, top + 10), (left + 50, top + 70))
        moved = self.frame().rect
        self.assertEqual((left - 200, top + 60, width, height), moved)
        self.assertTrue(wait_until(lambda: self.player().rect == (moved[0] + 3, moved[1] + 3, width - 6, height - 6)),
                        self.player().rect)
        self.screenshot("desktop-frame-moved")
        # Sized from its bottom right corner.
        corner = (moved[0] + width - 1, moved[1] + height - 1)
        drag(corner, (corner[0] - 120, corner[1] - 60))
        sized = self.frame().rect
        self.assertLess(sized[2], width)
        self.assertTrue(wait_until(lambda: self.player().rect == (sized[0] + 3, sized[1] + 3, sized[2] - 6, sized[3] - 6)),
                        (sized, self.player().rect))
        # The maximise button: the player follows a moment later.
        self.driver.click(self.frame(), sized[2] - 46, 10)
        self.assertTrue(wait_until(lambda: self.frame().rect[2] > 900))
        big = self.frame().rect
        self.assertTrue(wait_until(lambda: self.player().rect == (big[0] + 3, big[1] + 3, big[2] - 6, big[3] - 6)),
                        (big, self.player().rect))
        player = self.player().rect
        saved = self.exit_and_read()
        self.assertEqual(tuple(str(v) for v in player),
                         (saved["左边"], saved["顶边"], saved["宽度"], saved["高度"]))

    # ---- Robustness ----

    def test_hostile_and_heavy_movies_leave_the_control_window_answering(self):
        samples = self.sample_movies()
        for name in ("endless-scripts", "deep-masks", "nested-blurs", "heavy"):
            self.start(config(lock="真", address=harness.windows_path(os.path.join(samples, name + ".swf"))))
            time.sleep(1)
            answers = self.driver.latency(self.control, 4)
            self.assertLess(answers["mean"], 60, (name, answers))
            self.assertLess(answers["max"], 1000, (name, answers))
            if name == "heavy":
                self.assertTrue(wait_until(lambda: self.ink() > 500), "the heavy movie does not show")
                self.screenshot("desktop-heavy-movie")
            self.program.kill()
            self.driver.close()
            self._driver = None
            os.remove(self.data_file)

    def test_a_posted_or_foreign_load_message_is_refused(self):
        self.start(config(lock="真", address="特效###樱花飘落"))
        player = self.player()
        self.driver.post(player, LOAD_MOVIE, 0, 0x1234)  # posted: no address of the program's
        self.driver.send(player, LOAD_MOVIE, 0, 0x5678)  # sent from another process
        self.driver.send(self.control, 0)
        self.assertTrue(self.program.running())
        # (Its first petals may take a moment to show.)
        self.assertTrue(wait_until(self.plays), "the movie stopped")
        self.assertEqual("特效###樱花飘落", self.exit_and_read()["fl地址"])


if __name__ == "__main__":
    unittest.main()
