"""The player window's text, sound and buttons under Wine.

The movies come from the native build's swf-media-movies. A test program
checks the library's Windows parts alone (MP3 through the audio compression
manager, GDI glyph outlines, the mixer, wave output); the rest plays the
movies in real player windows (player_window_test.exe: the left window
takes the pointer, the right one lets clicks through) and drives them with
the X pointer, as a user would.
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import windows_path
from test_player_window import (BACKDROP, GREEN, LEFT_X, PLAYER_DIR, RED, RIGHT_X, TOP, PlayerWindows,
                                near, screenshot)

MOVIES_TOOL = os.path.join(os.environ["QL_NATIVE_BUILD"], "tests", "player", "swf-media-movies")
BLUE = (0, 0, 255)
BLACK = (0, 0, 0)


def xdotool(*words):
    subprocess.run(["xdotool"] + [str(w) for w in words], check=True, timeout=30)
    time.sleep(0.3)


class PlayerMediaTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        for path in (MOVIES_TOOL, os.path.join(PLAYER_DIR, "player_media_test.exe")):
            if not os.path.exists(path):
                raise AssertionError("not built: %s (run scripts/setup.sh)" % path)

    def setUp(self):
        harness.kill_wine()
        self.folder = tempfile.mkdtemp(prefix="ql-media-")
        subprocess.run([MOVIES_TOOL, self.folder], check=True, timeout=60)

    def tearDown(self):
        harness.kill_wine()
        shutil.rmtree(self.folder, ignore_errors=True)

    def movie(self, name):
        return os.path.join(self.folder, name)

    def test_codec_glyphs_mixer_and_output(self):
        code, out, _ = harness.run_wine([os.path.join(PLAYER_DIR, "player_media_test.exe"),
                                         windows_path(self.folder)], timeout=180)
        out = out.decode("gbk", "replace")
        print(out)
        self.assertEqual([], [line for line in out.splitlines() if line.startswith("FAIL")])
        self.assertIn(" 0 failed", out)
        self.assertEqual(0, code)

    def test_click_shows_the_states_and_runs_the_action(self):
        windows = PlayerWindows(self.movie("button.swf"), self.folder)
        try:
            self.assertEqual("1", windows.facts.get("ready"), windows.facts)
            # The stage is 400 x 300, as the windows: stage pixels are window pixels.
            button, marker = (200, 150), (50, 50)
            left = lambda p: (LEFT_X + p[0], TOP + p[1])
            right = lambda p: (RIGHT_X + p[0], TOP + p[1])
            shot = screenshot("button-up")
            self.assertTrue(near(shot.at(*left(button)), RED), shot.at(*left(button)))
            self.assertEqual(BACKDROP, shot.at(*left(marker)))

            xdotool("mousemove", *left((150, 100)))
            xdotool("mousemove", *left(button))
            shot = screenshot("button-over")
            self.assertTrue(near(shot.at(*left(button)), GREEN), shot.at(*left(button)))
            xdotool("mousedown", 1)
            shot = screenshot("button-down")
            self.assertTrue(near(shot.at(*left(button)), BLUE), shot.at(*left(button)))
            self.assertEqual(BACKDROP, shot.at(*left(marker)))
            xdotool("mouseup", 1)
            shot = screenshot("button-released")
            self.assertTrue(near(shot.at(*left(button)), GREEN), shot.at(*left(button)))
            self.assertTrue(near(shot.at(*left(marker)), BLACK), "the release ran the action")

            xdotool("mousemove", LEFT_X + 390, TOP + 290)  # off the button
            shot = screenshot("button-left")
            self.assertTrue(near(shot.at(*left(button)), RED), shot.at(*left(button)))

            # The click-through window takes no pointer at all.
            xdotool("mousemove", *right(button))
            xdotool("click", 1)
            shot = screenshot("button-click-through")
            self.assertTrue(near(shot.at(*right(button)), RED), shot.at(*right(button)))
            self.assertEqual(BACKDROP, shot.at(*right(marker)))
        finally:
            windows.close()

    def test_chinese_device_text(self):
        windows = PlayerWindows(self.movie("chinese.swf"), self.folder)
        try:
            self.assertEqual("1", windows.facts.get("ready"), windows.facts)
            shot = screenshot("chinese-text")
            # 600 x 400 shown at 400 x 300: two thirds, 17 px bands at the top.
            for x0 in (LEFT_X, RIGHT_X):
                dark = sum(1 for y in range(TOP + 10, TOP + 250, 2) for x in range(x0 + 10, x0 + 390, 2)
                           if max(shot.at(x, y)) < 100)
                print("dark pixels sampled: %d" % dark)
                self.assertGreater(dark, 2000)
                self.assertEqual(BACKDROP, shot.at(x0 + 380, TOP + 280))  # below the page
        finally:
            windows.close()

    def test_typing_into_an_input_field(self):
        windows = PlayerWindows(self.movie("input.swf"), self.folder)
        white = (255, 255, 255)
        # Character i of a field at stage y `top` (1:1 in the window): its
        # middle column; a tall "A" inks `tall`, a short "B" only `low` too.
        cell = lambda x0, i: x0 + 20 + 2 + 40 * i + 20
        tall, low = 40, 78
        try:
            self.assertEqual("1", windows.facts.get("ready"), windows.facts)
            shot = screenshot("input-empty")
            self.assertEqual(white, shot.at(cell(LEFT_X, 0), TOP + low))
            xdotool("mousemove", LEFT_X + 200, TOP + 70)
            xdotool("click", 1)
            # Lower case goes in as capitals ("A-Z"); Backspace takes one back.
            xdotool("type", "--delay", "120", "ab")
            xdotool("key", "BackSpace")
            xdotool("type", "--delay", "120", "ba")
            time.sleep(0.5)
            shot = screenshot("input-typed")
            for top, name in ((0, "input"), (140, "bound variable's field")):
                row = [(shot.at(cell(LEFT_X, i), TOP + top + tall), shot.at(cell(LEFT_X, i), TOP + top + low))
                       for i in range(4)]
                self.assertEqual([(BLUE, BLUE), (white, BLUE), (BLUE, BLUE), (white, white)], row,
                                 "%s shows ABA" % name)
            # The caret after the third character blinks.
            seen = set()
            end = time.time() + 1.6
            while time.time() < end:
                seen.add(screenshot("input-caret").at(LEFT_X + 20 + 2 + 120, TOP + 60))
                time.sleep(0.1)
            self.assertIn(white, seen)
            self.assertTrue(any(near(c, BLUE, 60) for c in seen), seen)
            # The click-through window took nothing.
            self.assertEqual(white, screenshot("input-right").at(cell(RIGHT_X, 0), TOP + low))

            # Chinese arrives as GBK characters (the window is an ANSI one)
            # and shows in the system's face.
            dark = lambda shot: sum(1 for y in range(TOP + 268, TOP + 293) for x in range(LEFT_X + 23, LEFT_X + 200)
                                    if max(shot.at(x, y)) < 128)
            xdotool("mousemove", LEFT_X + 300, TOP + 280)
            xdotool("click", 1)
            self.assertEqual(0, dark(screenshot("input-chinese-empty")))
            xdotool("type", "--delay", "150", "中文字")
            time.sleep(0.5)
            inked = dark(screenshot("input-chinese"))
            print("dark pixels of the Chinese typed: %d" % inked)
            self.assertGreater(inked, 60)
        finally:
            windows.close()

    def test_sound_movie_plays_on_without_a_sound_device(self):
        windows = PlayerWindows(self.movie("sound.swf"), self.folder)
        centre = (LEFT_X + 200, TOP + 150)
        try:
            seen = set()
            end = time.time() + 2.0
            while time.time() < end:
                seen.add(screenshot("sound-movie").at(*centre))
                time.sleep(0.05)
            self.assertTrue({RED, GREEN} <= seen, seen)
        finally:
            windows.close()


if __name__ == "__main__":
    unittest.main()
