"""The skinned form on its window under Wine, through the gallery's form
scenes: the window's own paint routine draws on a skin, a form can be taken
off and another put on, a layered form keeps a framed window's size, a
see-through frame shows and passes clicks to the window beneath, Tab and
Enter in a dialog-like window, a window whose object went first takes its
hidden owner along, and the list does not repaint while the pointer rests
on it. Screenshots go to build/shots (forms-*.png)."""
import subprocess
import time
import unittest

from PIL import Image

import harness
from controlwin import near, pointer, real_click
from test_window_base import GalleryTest

WM_APP = 0x8000
PUSH_AGAIN = WM_APP + 20
LOG_PAINTS = WM_APP + 12
RED = (220, 30, 30)
TEAL = (0x1B, 0x9A, 0xAA)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True, timeout=30)
    time.sleep(0.4)


def shot(name):
    return Image.open(harness.screenshot("forms-" + name)).convert("RGB")


class SkinFormTest(GalleryTest):
    folder_prefix = "ql-forms-"

    def test_paint_routine_draws_on_a_plain_and_a_layered_skin(self):
        for alpha, name in (("-1", "paint-opaque"), ("200", "paint-layered")):
            scene = self.start("paint", "--alpha", alpha)
            scene.number("window")
            scene.number("painted")
            time.sleep(1.0)
            picture = shot(name)
            # The window is at (120, 120); the routine fills (40, 40)-(120, 80).
            self.assertTrue(near(picture.getpixel((120 + 60, 120 + 60)), RED, 6),
                            "%s: %s" % (name, picture.getpixel((180, 180))))
            self.assertFalse(near(picture.getpixel((120 + 200, 120 + 150)), RED, 60))

    def test_a_form_taken_off_and_another_put_on_works_and_leaves_no_property(self):
        scene = self.start("reattach")
        window = scene.number("window")
        self.assertEqual(0, scene.number("filter_after_detach"))
        self.assertEqual(0, scene.number("button_after_detach"), "its elements left with it")
        baseline = scene.number("properties_before_attach")
        self.assertEqual(baseline, scene.number("properties_after_detach"))
        self.assertEqual(1, scene.number("form_of_window"))
        self.driver.click(window, 70, 53)
        self.assertEqual("第二个".encode("gbk"), scene.fact("clicked"))
        time.sleep(0.5)
        self.assertEqual(1, len([k for k, _ in scene.facts() if k == "clicked"]), "one click, one event")
        self.driver.post(window, harness.WM_CLOSE)
        self.assertEqual(baseline, scene.number("properties_before_destroy"))
        self.assertEqual(0, scene.number("exit"))
        self.assertEqual(1, scene.number("toolkit_stopped"), "stopped once the windows were gone")

    def test_a_layered_form_keeps_the_size_of_a_framed_window(self):
        scene = self.start("framed")
        window = scene.number("window")
        before = scene.fact("rect_before")
        self.driver.post(window, PUSH_AGAIN, 5, 0)
        self.assertEqual(before, scene.fact("rect_after"))
        shot("framed-layered")

    def test_see_through_frame_shows_its_band_and_lets_clicks_through_its_middle(self):
        scene = self.start("see-through")
        scene.number("frame")
        scene.number("beneath")
        time.sleep(1.5)
        picture = shot("see-through")
        # The frame is at (150, 150), 500 x 320, over the teal window.
        self.assertTrue(near(picture.getpixel((400, 310)), TEAL, 8), "the middle shows what is beneath")
        band = picture.getpixel((150 + 200, 150 + 10))
        self.assertLess(sum(band), 330, "a dark band carries the caption: %s" % (band,))
        self.assertFalse(near(picture.getpixel((151, 310)), TEAL, 8), "a frame along the edge")
        real_click(400, 310)
        self.assertEqual(b"300,210", scene.fact("beneath_click"))
        real_click(150 + 350, 150 + 10)  # check box 1, "总在最前"
        self.assertEqual(1, scene.number("checked.1"))

    def test_a_window_whose_object_went_first_takes_its_hidden_owner_along(self):
        scene = self.start("orphan")
        self.assertEqual(1, scene.number("owner_alive_after_object"))
        self.assertEqual(0, scene.number("owner_alive_after_window"))

    def test_tab_moves_through_edit_and_buttons_and_enter_is_ok(self):
        scene = self.start("dialog")
        scene.number("window")
        real_click(300 + 110, 200 + 41)  # into the edit box
        key("Tab")
        key("Tab")
        shot("dialog-focus-on-cancel")
        key("Return")  # presses the focused button: Cancel
        self.assertEqual(b"cancel-button", scene.fact("result"))
        self.assertEqual(1, scene.number("closed"))

        scene = self.start("dialog")
        scene.number("window")
        real_click(300 + 110, 200 + 41)
        key("Return")  # from the edit box: the window's OK
        self.assertEqual("ok:青岚".encode("gbk"), scene.fact("result"))

    def test_the_list_does_not_repaint_while_the_pointer_rests_on_it(self):
        scene = self.start()
        window = scene.number("window")
        x, y, w, h = (int(v) for v in scene.fact("entry.4").split(b","))
        pointer(10, 10)
        time.sleep(0.5)

        def paints(occurrence):
            self.driver.post(window, LOG_PAINTS)
            return scene.number("list_paints", occurrence)

        before = paints(1)
        pointer(100 + x + w // 2, 60 + y + h // 2)  # onto an entry (the window is at 100, 60)
        time.sleep(1.5)
        entered = paints(2)
        time.sleep(1.5)
        resting = paints(3)
        print("\nlist paints: entering %d, resting 1.5 s %d" % (entered - before, resting - entered))
        self.assertLessEqual(entered - before, 3, "entering costs a paint or two, not a fade")
        self.assertEqual(entered, resting)


if __name__ == "__main__":
    unittest.main()
