"""The desktop animation's player window under Wine.

A test program creates player windows through the player library's entry
points (via FlashPlayerWindow) over magenta backdrop windows; screenshots show
the movie's own pixels where it draws and the backdrop through what it leaves
empty. Wine without a compositor shows a half-transparent pixel unblended (its
premultiplied colour over black), so blending is reported, not required.
"""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import harness
from harness import windows_path

PLAYER_DIR = os.path.join(harness.WIN_BUILD, "tests", "wine", "player")
SUITE = os.path.join(os.path.dirname(harness.ROOT), "shared", "swf-suite", "visual")

BACKDROP = (255, 0, 255)  # magenta: in neither movie
RED = (255, 0, 0)
GREEN = (0, 255, 0)
BLUE = (0, 0, 255)
WM_SYSCOMMAND, SC_MINIMIZE, SC_RESTORE = 0x0112, 0xF020, 0xF120
# The test program's layout (player_window_test.cpp).
TOP, WIDTH, HEIGHT, LEFT_X, RIGHT_X = 100, 400, 300, 60, 540


# ---- A tiny movie: white stage 400 x 300, an opaque red rectangle over the
# middle half and a green square at half alpha at (20, 20)-(80, 80). ----

class _Bits:
    def __init__(self):
        self.bits = []

    def u(self, value, n):
        self.bits += [(value >> i) & 1 for i in range(n - 1, -1, -1)]

    def s(self, value, n):
        self.u(value & ((1 << n) - 1), n)

    def bytes(self):
        b = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, b[i:i + 8])), 2) for i in range(0, len(b), 8))


def _nbits(*values):
    n = 2
    while any(not -(1 << (n - 1)) <= v < (1 << (n - 1)) for v in values):
        n += 1
    return n


def _rect(x0, x1, y0, y1):
    b = _Bits()
    n = _nbits(x0, x1, y0, y1)
    b.u(n, 5)
    for v in (x0, x1, y0, y1):
        b.s(v, n)
    return b.bytes()


def _tag(code, body):
    if len(body) < 63:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 63, len(body)) + body


def _rectangle_shape(shape_id, x0, y0, x1, y1, rgba):
    """DefineShape3 of one solid rectangle, in pixels."""
    t = [v * 20 for v in (x0, y0, x1, y1)]
    body = struct.pack("<H", shape_id) + _rect(t[0], t[2], t[1], t[3])
    body += bytes([1, 0x00]) + bytes(rgba) + bytes([0])  # one solid fill, no lines
    b = _Bits()
    b.u(1, 4)
    b.u(0, 4)
    n = _nbits(t[0], t[1])
    b.u(0b000101, 6)  # style change: fill style 1, move to
    b.u(n, 5)
    b.s(t[0], n)
    b.s(t[1], n)
    b.u(1, 1)
    for dx, dy in ((t[2] - t[0], 0), (0, t[3] - t[1]), (t[0] - t[2], 0), (0, t[1] - t[3])):
        d = dx or dy
        m = _nbits(d)
        b.u(0b11, 2)
        b.u(m - 2, 4)
        b.u(0, 1)
        b.u(1 if dx == 0 else 0, 1)
        b.s(d, m)
    b.u(0, 6)
    return _tag(32, body + b.bytes())


def _movie(frames, fps, tags):
    body = _rect(0, 8000, 0, 6000) + bytes([0, fps]) + struct.pack("<H", frames)
    body += _tag(9, bytes([255, 255, 255])) + tags + _tag(0, b"")
    return b"FWS" + bytes([8]) + struct.pack("<I", len(body) + 8) + body


def _place(shape_id, depth):
    return _tag(26, bytes([0x02]) + struct.pack("<HH", depth, shape_id))


def tiny_movie():
    return _movie(1, 12, _rectangle_shape(1, 100, 75, 300, 225, (255, 0, 0, 255))
                  + _rectangle_shape(2, 20, 20, 80, 80, (0, 255, 0, 128))
                  + _place(1, 1) + _place(2, 2) + _tag(1, b""))


def blinking_movie():
    """Two frames at 4 fps: the middle rectangle red, then green."""
    return _movie(2, 4, _rectangle_shape(1, 100, 75, 300, 225, (255, 0, 0, 255))
                  + _rectangle_shape(2, 100, 75, 300, 225, (0, 255, 0, 255))
                  + _place(1, 1) + _tag(1, b"")
                  + _tag(28, struct.pack("<H", 1)) + _place(2, 1) + _tag(1, b""))


# ---- A scripted movie: every frame a bar as wide as the local time says,
# red until the mouse goes down on the movie, then green, blue once a "b" is
# typed. ----

def _push(*values):
    body = b""
    for v in values:
        if isinstance(v, str):
            body += b"\x00" + v.encode() + b"\x00"
        else:
            body += b"\x06" + struct.pack("<II", *reversed(struct.unpack("<II", struct.pack("<d", v))))
    return bytes([0x96]) + struct.pack("<H", len(body)) + body


def _function(name, body):
    header = name.encode() + b"\x00" + struct.pack("<HH", 0, len(body))
    return bytes([0x9B]) + struct.pack("<H", len(header)) + header + body


def _call(name, *args):
    """name(args) as a statement."""
    code = b""
    for a in reversed(args):
        code += _push(a) if not isinstance(a, bytes) else a
    return code + _push(float(len(args)), name) + bytes([0x3D, 0x17])  # CallFunction, Pop


GET = bytes([0x1C])


def bar_width(hours, minutes):
    return (hours * 60 + minutes) % 200 + 50


def clock_bar_movie():
    width = _push("w") + GET
    draw = (_push("d", 0.0, "Date") + bytes([0x40, 0x3C])  # var d = new Date()
            + _push("w", 0.0, "d") + GET + _push("getHours") + bytes([0x52]) + _push(60.0) + bytes([0x0C])
            + _push(0.0, "d") + GET + _push("getMinutes") + bytes([0x52, 0x47])
            + _push(200.0) + bytes([0x3F]) + _push(50.0) + bytes([0x47, 0x3C])
            + _call("clear") + _call("beginFill", _push("colour") + GET)
            + _call("moveTo", 0.0, 100.0) + _call("lineTo", width, 100.0)
            + _call("lineTo", width, 200.0) + _call("lineTo", 0.0, 200.0) + _call("endFill"))
    # A typed "b" (the character, not only the key) turns it blue.
    blue = _push("colour", float(0x0000FF)) + bytes([0x1D])
    typed_b = (_push(0.0, "Key") + GET + _push("getAscii") + bytes([0x52]) + _push(98.0)
               + bytes([0x49, 0x12, 0x9D, 2, 0]) + struct.pack("<h", len(blue)) + blue)
    script = (_push("colour", float(0xFF0000)) + bytes([0x1D])
              + _function("onEnterFrame", draw)
              + _function("onMouseDown", _push("colour", float(0x00FF00)) + bytes([0x1D]))
              + _function("onKeyDown", typed_b)
              + _push("this") + GET + _push(1.0, "Key") + GET + _push("addListener") + bytes([0x52, 0x17]))
    return _movie(1, 12, _tag(12, script + b"\x00") + _tag(1, b""))


# ---- Pictures ----

def read_ppm(data):
    """(width, height, RGB bytes) from a binary PPM (P6, 8-bit)."""
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    width, height = int(fields[1]), int(fields[2])
    # Exactly one whitespace byte separates the header from the pixels.
    return width, height, data[at + 1:at + 1 + width * height * 3]


class Picture:
    def __init__(self, path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True, timeout=60).stdout
        self.width, self.height, self.data = read_ppm(ppm)

    def at(self, x, y):
        i = (int(y) * self.width + int(x)) * 3
        return tuple(self.data[i:i + 3])


def screenshot(name):
    """The screen, kept in build/shots for whoever wants to look."""
    return Picture(harness.screenshot("player-" + name))


def near(a, b, tolerance=8):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def shows_soon(name, x, y, colour, seconds=5):
    """Whether the screen shows about that colour at (x, y) within a few seconds."""
    deadline = time.time() + seconds
    while not near(screenshot(name).at(x, y), colour):
        if time.time() > deadline:
            return False
        time.sleep(0.2)
    return True


class PlayerWindows:
    """player_window_test.exe on one movie, until closed."""

    def __init__(self, movie_path, folder):
        self.log = os.path.join(folder, "log.txt")
        self.process = subprocess.Popen(
            [harness.WINE, os.path.join(PLAYER_DIR, "player_window_test.exe"),
             windows_path(movie_path), windows_path(self.log)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.facts = {}
        deadline = time.time() + 60
        while "ready" not in self.facts and time.time() < deadline:
            time.sleep(0.2)
            self.read_facts()
        # Let a few frames play before looking.
        time.sleep(1.0)

    def read_facts(self):
        if os.path.exists(self.log):
            with open(self.log) as f:
                self.facts = dict(line.strip().split("=", 1) for line in f if "=" in line)

    def close(self):
        self.process.kill()
        self.process.wait(timeout=30)


def stage_to_screen(x, y, stage_w, stage_h, window_x, window_w=WIDTH, window_h=HEIGHT):
    """Where a stage point lands in a window that shows all of the stage, centred."""
    scale = min(window_w / stage_w, window_h / stage_h)
    return (window_x + (window_w - stage_w * scale) / 2 + (x + 0.5) * scale,
            TOP + (window_h - stage_h * scale) / 2 + (y + 0.5) * scale)


class PlayerWindowTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        for name in ("player_window_test.exe", "player_library_test.exe",
                     harness.PLAYER_LIBRARY):
            if not os.path.exists(os.path.join(PLAYER_DIR, name)):
                raise AssertionError("not built: %s (run scripts/setup.sh)" % name)

    def setUp(self):
        harness.kill_wine()
        self.folder = tempfile.mkdtemp(prefix="ql-player-")
        self._driver = None

    def tearDown(self):
        if self._driver:
            self._driver.close()
        harness.kill_wine()
        shutil.rmtree(self.folder, ignore_errors=True)

    @property
    def driver(self):
        if self._driver is None:
            self._driver = harness.Driver()
        return self._driver

    def movie_file(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_library_binding_and_deployment(self):
        code, out, _ = harness.run_wine([os.path.join(PLAYER_DIR, "player_library_test.exe")],
                                        timeout=180)
        out = out.decode("gbk", "replace")
        failed = [line for line in out.splitlines() if line.startswith("FAIL")]
        self.assertEqual([], failed)
        self.assertEqual(0, code, out)
        self.assertIn("0 failed", out)

    def test_tiny_movie_over_the_desktop(self):
        windows = PlayerWindows(self.movie_file("box.swf", tiny_movie()), self.folder)
        try:
            facts = windows.facts
            self.assertEqual("1", facts.get("ready"), facts)
            self.assertNotEqual("0", facts["path_window"])
            self.assertNotEqual("0", facts["memory_window"])
            self.assertEqual("1", facts["owner_ok"])
            self.assertEqual(("100", "100"), (facts["volume_150"], facts["volume_after_150"]))
            self.assertEqual(("0", "0"), (facts["volume_minus_5"], facts["volume_after_minus_5"]))
            self.assertEqual(("1", "1", "1"),
                             (facts["topmost"], facts["click_through"], facts["layered"]))

            shot = screenshot("tiny-movie")
            for x in (LEFT_X, RIGHT_X):  # by path, from memory
                self.assertTrue(near(shot.at(x + 200, TOP + 150), RED), shot.at(x + 200, TOP + 150))
                for empty in ((10, 10), (390, 290), (200, 40), (350, 150)):
                    self.assertEqual(BACKDROP, shot.at(x + empty[0], TOP + empty[1]), empty)
                half = shot.at(x + 50, TOP + 50)
                self.assertTrue(half[1] in range(120, 136), half)
                blended = near(half, (127, 128, 127))
                print("half-transparent pixel %s: %s" % (
                    half, "blended with the backdrop" if blended else "not blended (no compositor)"))

            # Narrower: the stage is drawn again at half size, centred.
            self.driver.move(int(facts["path_window"]), LEFT_X, TOP, 200, 300)
            time.sleep(0.5)
            shot = screenshot("tiny-movie-narrow")
            self.assertTrue(near(shot.at(LEFT_X + 100, TOP + 150), RED))
            self.assertEqual(BACKDROP, shot.at(LEFT_X + 100, TOP + 100))  # above the small stage
            self.assertEqual(BACKDROP, shot.at(LEFT_X + 250, TOP + 150))  # where the window was
            # Red exactly where half scale puts it: 50..150 across, 112.5..187.5 down.
            self.assertTrue(near(shot.at(LEFT_X + 52, TOP + 115), RED))
            self.assertEqual(BACKDROP, shot.at(LEFT_X + 47, TOP + 150))
            self.assertEqual(BACKDROP, shot.at(LEFT_X + 100, TOP + 110))
        finally:
            windows.close()

    def test_frames_advance_and_resume_after_minimising(self):
        windows = PlayerWindows(self.movie_file("blink.swf", blinking_movie()), self.folder)
        centre = (LEFT_X + 200, TOP + 150)

        def colours_over(seconds):
            seen = set()
            end = time.time() + seconds
            while time.time() < end:
                seen.add(screenshot("blinking").at(*centre))
                time.sleep(0.05)
            return seen

        try:
            window = int(windows.facts["path_window"])
            self.assertTrue({RED, GREEN} <= colours_over(1.5))
            self.driver.send(window, WM_SYSCOMMAND, SC_MINIMIZE)
            time.sleep(0.3)
            self.assertEqual({BACKDROP}, colours_over(0.6))
            self.driver.send(window, WM_SYSCOMMAND, SC_RESTORE)
            self.assertTrue({RED, GREEN} <= colours_over(1.5))
        finally:
            windows.close()

    def test_scripted_movie_tells_the_time_and_hears_the_mouse_and_keys(self):
        windows = PlayerWindows(self.movie_file("clock.swf", clock_bar_movie()), self.folder)
        try:
            self.assertEqual("1", windows.facts.get("ready"), windows.facts)
            now = time.localtime()
            before = time.localtime(time.time() - 60)
            widths = {bar_width(now.tm_hour, now.tm_min), bar_width(before.tm_hour, before.tm_min)}
            shot = screenshot("scripted-clock")
            # The bar ends where the local time puts it: red before, backdrop after.
            ends = [w for w in widths
                    if near(shot.at(LEFT_X + w - 3, TOP + 150), RED)
                    and shot.at(LEFT_X + w + 3, TOP + 150) == BACKDROP]
            self.assertTrue(ends, "bar of width %s expected, row: %s" % (
                sorted(widths), [shot.at(LEFT_X + x, TOP + 150) for x in range(0, 260, 20)]))
            self.assertEqual(BACKDROP, shot.at(LEFT_X + 20, TOP + 80))  # above the bar

            # A real click on the movie reaches its onMouseDown.
            subprocess.run(["xdotool", "mousemove", str(LEFT_X + 20), str(TOP + 150)], check=True, timeout=30)
            subprocess.run(["xdotool", "click", "1"], check=True, timeout=30)
            self.assertTrue(shows_soon("scripted-clock-clicked", LEFT_X + 20, TOP + 150, GREEN))
            # The click gave the movie the keyboard: a typed "b" reaches its listener.
            subprocess.run(["xdotool", "key", "b"], check=True, timeout=30)
            self.assertTrue(shows_soon("scripted-clock-typed", LEFT_X + 20, TOP + 150, BLUE))
            # The movie on the right lets clicks through: it stays red.
            self.assertTrue(near(screenshot("scripted-clock-right").at(RIGHT_X + 20, TOP + 150), RED))
        finally:
            windows.close()

    def test_reference_movie_by_path_and_from_memory(self):
        case = os.path.join(SUITE, "simple_shapes", "layers")
        expected = Picture(os.path.join(case, "output.expected.png"))
        windows = PlayerWindows(os.path.join(case, "test.swf"), self.folder)
        try:
            self.assertEqual("1", windows.facts.get("ready"), windows.facts)
            shot = screenshot("reference-layers")
            checked = {"movie": 0, "empty": 0}
            # Inside uniform patches only: edges fall between pixels once scaled.
            for y in range(10, expected.height - 10, 23):
                for x in range(10, expected.width - 10, 23):
                    colour = expected.at(x, y)
                    if any(expected.at(x + dx, y + dy) != colour
                           for dx in (-6, 0, 6) for dy in (-6, 0, 6)):
                        continue
                    if colour == (255, 255, 255):
                        want, kind = BACKDROP, "empty"  # the stage colour is not painted
                    elif colour in ((255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)):
                        want, kind = colour, "movie"
                    else:
                        continue  # half-transparent: see the tiny movie's test
                    for window_x in (LEFT_X, RIGHT_X):
                        sx, sy = stage_to_screen(x, y, expected.width, expected.height, window_x)
                        got = shot.at(sx, sy)
                        self.assertTrue(near(got, want), "stage (%d, %d): %s, not %s" % (x, y, got, want))
                        checked[kind] += 1
            print("reference movie: %(movie)d movie pixels and %(empty)d empty ones as expected" % checked)
            self.assertGreater(checked["movie"], 20)
            self.assertGreater(checked["empty"], 20)
        finally:
            windows.close()


if __name__ == "__main__":
    unittest.main()
