"""The skinned form and its windowless elements under Wine, through the gallery.

The showcase (a 312 x 653 skinned window at (100, 60)) logs where its elements
and list entries are; the tests look at screenshots at those places and drive
the window with posted mouse messages, the way the program closes its own
windows. The bare form ("gallery form --buttons N") shows one caption-button set.
"""
import os
import subprocess
import time
import unittest

from PIL import Image

import harness
from test_window_base import GALLERY, GalleryTest, Scene

ACCENT = (0x1B, 0x9A, 0xAA)
DANGER = (0xE5, 0x48, 0x4D)
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP = 0x0200, 0x0201, 0x0202
WS_MAXIMIZE = 0x01000000

# Caption buttons from the right edge: (bit, width). The showcase has the
# default set (close, maximise, minimise, menu) plus the skin button.
CAPTION_ORDER = [(2, 32), (4, 28), (8, 28), (64, 28), (16, 28)]
SHOWCASE_ORIGIN = (100, 60)
FORM_ORIGIN, FORM_SIZE = (120, 120), (360, 240)


def caption_buttons(button_set, width):
    """{bit: (x, y, w, h)} in client pixels."""
    rects, right = {}, width
    for bit, size in CAPTION_ORDER:
        if button_set & bit:
            rects[bit] = (right - size, 0, size, 20)
            right -= size
    return rects


def rect_of(value):
    return tuple(int(v) for v in value.split(b","))


def lparam(x, y):
    return (y << 16) | (x & 0xFFFF)


class Shot:
    """A screenshot read in a window's client coordinates."""

    def __init__(self, path, origin):
        self.image = Image.open(path).convert("RGB")
        self.origin = origin

    def pixel(self, x, y):
        return self.image.getpixel((self.origin[0] + x, self.origin[1] + y))

    def pixels(self, x, y, w, h):
        return [self.pixel(x + i, y + j) for j in range(h) for i in range(w)]


def near(colour, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def dark(colour):
    return sum(colour) < 330


def differing(pixels, background, threshold=60):
    return sum(1 for p in pixels if max(abs(a - b) for a, b in zip(p, background)) > threshold)


class SkinGalleryTest(GalleryTest):
    folder_prefix = "ql-skin-"

    def showcase(self):
        scene = self.start()
        window = scene.number("window")
        scene.fact("selected")  # the layout is logged once the window is up
        return scene, window

    def window_rect(self, window):
        for found in self.driver.windows(process=harness.windows_path(GALLERY)):
            if found.hwnd == window:
                return found.rect, found.style
        raise AssertionError("window 0x%x is gone" % window)

    def settled_shot(self, name, origin):
        time.sleep(1.0)  # fades and the first paint have run their course
        return Shot(harness.screenshot(name), origin)

    def test_showcase_draws_caption_buttons_entries_with_icons_and_the_selection_frame(self):
        scene, window = self.showcase()
        self.assertEqual((100, 60, 312, 653), rect_of(scene.fact("window-rect")))
        shot = self.settled_shot("skin_gallery_showcase", SHOWCASE_ORIGIN)

        # Each caption button shows a dark glyph in its middle and none at its corners.
        for bit, (x, y, w, h) in caption_buttons(2 | 4 | 8 | 64 | 16, 312).items():
            middle = shot.pixels(x + w // 2 - 6, y + h // 2 - 6, 12, 12)
            self.assertGreater(sum(1 for p in middle if dark(p)), 4, "glyph of caption button %d" % bit)
            self.assertFalse(dark(shot.pixel(x + 1, y + 2)), "corner of caption button %d" % bit)

        # Entries with a file show its shell icon; the placeholder without one shows none.
        entries = {int(k.split(".")[1]): rect_of(v) for k, v in scene.facts() if k.startswith("entry.")}
        self.assertEqual(8, len(entries))
        for index, (x, y, w, h) in entries.items():
            icon_x, icon_y = x + 2 + (w - 4 - 32) // 2, y + 2 + 6
            background = shot.pixel(x + 4, y + h // 2)
            changed = differing(shot.pixels(icon_x, icon_y, 32, 32), background)
            if index == 8:
                self.assertLess(changed, 10, "the placeholder has no icon")
            else:
                self.assertGreater(changed, 60, "icon of entry %d" % index)
            caption = shot.pixels(x + 8, y + 2 + 6 + 32 + 4, w - 16, 14)
            self.assertGreater(sum(1 for p in caption if max(p) < 200), 5, "caption of entry %d" % index)

        # Entry 2 is selected: a 1 px accent frame on the entry's cell inset by 2.
        self.assertEqual(2, scene.number("selected"))
        x, y, w, h = entries[2]
        for point in ((x + w // 2, y + 2), (x + 2, y + h // 2), (x + w // 2, y + h - 3)):
            self.assertTrue(near(shot.pixel(*point), ACCENT), "selection frame at %s: %s" % (point, shot.pixel(*point)))
        # A tinted fill inside it, and no frame around an unselected entry.
        inside = shot.pixel(x + 6, y + h - 10)
        self.assertTrue(inside[2] > inside[0] + 10, "selection fill %s" % (inside,))
        x1, y1, w1, h1 = entries[1]
        self.assertFalse(near(shot.pixel(x1 + w1 // 2, y1 + 2), ACCENT, 25))

    def test_posted_click_at_width_minus_8_closes_the_window(self):
        scene, window = self.showcase()
        self.driver.click(window, 312 - 8, 8)
        self.assertTrue(self.driver.gone(window))
        self.assertEqual(b"1", scene.fact("closed"))
        self.assertIn((b"event", b"12,2,1"), [(k.encode(), v) for k, v in scene.facts()],
                      "the close button reported its event")
        self.assertEqual(0, scene.process.wait(timeout=20))

        # The same click closes a form whose only caption button is close.
        scene = self.start("form", "--buttons", "2")
        window = scene.number("window")
        self.driver.click(window, FORM_SIZE[0] - 8, 8)
        self.assertTrue(self.driver.gone(window))

    def test_caption_double_click_maximises_and_restores_only_with_the_maximise_button(self):
        scene = self.start("form", "--buttons", "6")
        window = scene.number("window")
        self.assertEqual(b"360,240,0", scene.fact("size"))
        self.driver.click(window, 100, 8, double=True)
        self.assertEqual(b"2", scene.fact("size", occurrence=2).split(b",")[2])
        rect, style = self.window_rect(window)
        self.assertTrue(style & WS_MAXIMIZE)
        self.assertGreater(rect[2], FORM_SIZE[0])
        self.driver.click(window, 100, 8, double=True)
        self.assertEqual(b"360,240,0", scene.fact("size", occurrence=3))
        self.assertEqual(FORM_ORIGIN + FORM_SIZE, self.window_rect(window)[0])
        # Below the band a double-click does nothing.
        self.driver.click(window, 100, 30, double=True)
        time.sleep(1.0)
        self.assertEqual(3, len([k for k, _ in scene.facts() if k == "size"]))

        scene = self.start("form", "--buttons", "2")
        window = scene.number("window")
        scene.fact("size")
        self.driver.click(window, 100, 8, double=True)
        time.sleep(1.5)
        self.assertEqual(1, len([k for k, _ in scene.facts() if k == "size"]))
        self.assertEqual(FORM_ORIGIN + FORM_SIZE, self.window_rect(window)[0])

    def test_dragging_the_caption_band_moves_the_window(self):
        scene = self.start("form", "--buttons", "6")
        window = scene.number("window")
        scene.fact("size")
        self.driver.post(window, WM_LBUTTONDOWN, 1, lparam(100, 8))
        self.driver.post(window, WM_MOUSEMOVE, 1, lparam(150, 30))
        self.driver.post(window, WM_LBUTTONUP, 0, lparam(150, 30))
        time.sleep(1.0)
        self.assertEqual((170, 142) + FORM_SIZE, self.window_rect(window)[0])

    def test_edge_band_sizes_the_window_with_the_system_sizing_loop(self):
        scene = self.start("form", "--buttons", "6", "--resize", "4")
        window = scene.number("window")
        scene.fact("size")
        # The real pointer: the sizing loop follows the mouse, not posted messages.
        right = FORM_ORIGIN[0] + FORM_SIZE[0] - 2
        middle = FORM_ORIGIN[1] + FORM_SIZE[1] // 2
        for step in (["mousemove", str(right), str(middle)], ["mousedown", "1"],
                     ["mousemove", str(right + 20), str(middle)],
                     ["mousemove", str(right + 60), str(middle)], ["mouseup", "1"]):
            subprocess.run(["xdotool"] + step, check=True, timeout=10)
            time.sleep(0.3)
        self.assertEqual(b"1", scene.fact("exit-size-move"))
        self.assertEqual(FORM_ORIGIN + (FORM_SIZE[0] + 60, FORM_SIZE[1]), self.window_rect(window)[0])

    def test_tab_strip_veto_keeps_the_tab_and_a_change_follows_about_to_change(self):
        scene, window = self.showcase()
        tabs = {int(k.split(".")[1]): rect_of(v) for k, v in scene.facts() if k.startswith("tab.")}
        self.assertEqual(4, len(tabs))
        x, y, w, h = tabs[4]  # "已锁定" refuses
        self.driver.click(window, x + w // 2, y + h // 2)
        self.assertEqual(4, scene.number("tab-veto"))
        x, y, w, h = tabs[2]
        self.driver.click(window, x + w // 2, y + h // 2)
        self.assertEqual(2, scene.number("tab-changed", occurrence=2))
        changes = [v for k, v in scene.facts() if k == "tab-changed"]
        self.assertEqual([b"1", b"2"], changes)

    def test_list_click_selects_and_double_click_activates(self):
        scene, window = self.showcase()
        entries = {int(k.split(".")[1]): rect_of(v) for k, v in scene.facts() if k.startswith("entry.")}
        x, y, w, h = entries[5]
        self.driver.click(window, x + w // 2, y + h // 2)
        self.assertEqual(5, scene.number("selection"))
        self.driver.click(window, x + w // 2, y + h // 2, double=True)
        self.assertEqual("命令提示符".encode("gbk"), scene.fact("activate"))
        # A click on empty space leaves nothing selected.
        self.driver.click(window, 150, 600)
        self.assertEqual(0, scene.number("selection", occurrence=2))

    def test_layered_form_is_pushed_with_its_picture_and_caption_buttons(self):
        scene = self.start("form", "--buttons", "30", "--alpha", "255")
        scene.number("window")
        scene.fact("size")
        shot = self.settled_shot("skin_gallery_layered", FORM_ORIGIN)
        for bit, (x, y, w, h) in caption_buttons(30, FORM_SIZE[0]).items():
            middle = shot.pixels(x + w // 2 - 6, y + h // 2 - 6, 12, 12)
            self.assertGreater(sum(1 for p in middle if dark(p)), 4, "glyph of caption button %d" % bit)
        # The lower half shows the skin's pale gradient, not an empty (black) window.
        self.assertGreater(min(shot.pixel(180, 200)), 200)

    def test_skin_image_reads_gif_frames_and_delays_and_keeps_alpha(self):
        gif = os.path.join(self.folder, "three.gif")
        frames = [Image.new("RGB", (4, 3), colour) for colour in ((255, 0, 0), (0, 255, 0), (0, 0, 255))]
        frames[0].save(gif, save_all=True, append_images=frames[1:], duration=[100, 250, 70], loop=0)
        scene = self.start("image", harness.windows_path(gif))
        self.assertEqual(b"1", scene.fact("loaded"))
        self.assertEqual(b"4,3", scene.fact("size"))
        self.assertEqual(3, scene.number("frames"))
        self.assertEqual(b"10,25,7", scene.fact("delays"))  # hundredths of a second
        self.assertEqual([b"FFFF0000", b"FF00FF00", b"FF0000FF"],
                         [scene.fact("frame.%d" % i) for i in range(3)])
        self.assertEqual(3, scene.number("copy-frames"), "a copy keeps every frame")
        self.assertEqual(b"00000000", scene.fact("outside"))
        # 32-bit bitmaps and icons keep their alpha channel. A bitmap's pixels
        # are premultiplied (half-transparent green is 80 00 80 00 in it), an
        # icon's are not.
        self.assertEqual([b"FFFF0000", b"8000FF00", b"00000000", b"FF0000FF"],
                         [scene.fact("bitmap.%d" % i) for i in range(4)])
        self.assertEqual([b"FFFF0000", b"80008000", b"00000000", b"FF0000FF"],
                         [scene.fact("icon.%d" % i) for i in range(4)])
        self.assertEqual(b"00000000,3", scene.fact("empty"))

        png = os.path.join(self.folder, "half.png")
        Image.new("RGBA", (5, 4), (10, 20, 30, 128)).save(png)
        scene = self.start("image", harness.windows_path(png))
        self.assertEqual(b"5,4", scene.fact("size"))
        self.assertEqual(1, scene.number("frames"))
        self.assertEqual(b"", scene.fact("delays"))
        self.assertEqual(b"800A141E", scene.fact("frame.0"))

        scene = self.start("image", harness.windows_path(os.path.join(self.folder, "missing.png")))
        self.assertEqual(b"0", scene.fact("loaded"))
        self.assertEqual(0, scene.number("frames"))


if __name__ == "__main__":
    unittest.main()
