"""The skin of the control window and the chooser "更改外观!" under Wine: the
skin at start (stored, built-in or missing), previews, OK storing "皮肤",
Cancel restoring, and a picture of the user's own through the file dialog.
Screenshots under build/shots (control-skin-*.png)."""
import os
import shutil
import subprocess
import time
import unittest

import harness
from controlwin import (DEFAULT_SKIN, SKIN, built_in_skin, near, pixel, program_windows,
                        real_click, saved_config, screen_point, shot, shows_skin)
from harness import EXIT_COMMAND, windows_path

CHOOSER_TITLE = "更改外观!"
CHOOSER_SIZE = (320, 170)
OK = (212, 153)
CANCEL = (283, 153)
CUSTOM = (49, 153)
MARKER_TEAL = (39, 159, 174)
IDOK, IDCANCEL = 1, 2


def thumbnail(index):
    """Top-left corner of thumbnail 1..12 in the chooser."""
    column, row = (index - 1) % 6, (index - 1) // 6
    return 8 + 51 * column, 28 if row == 0 else 81


def thumbnail_centre(index):
    x, y = thumbnail(index)
    return x + 24, y + 24


class StartedFromTheRoot(harness.Program):
    """The program started with "/" as its current folder."""

    def __init__(self, folder):
        self.folder = folder
        self.exe = os.path.join(folder, "qinglan.exe")
        self.log = open(os.path.join(folder, "wine.log"), "wb")
        self.process = subprocess.Popen([harness.WINE, self.exe], cwd="/", stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True)


class SkinTest(harness.ProgramTest):

    def start(self, config1=None):
        if os.path.exists(self.data_file):
            os.remove(self.data_file)
        self.make_data_file(config1=config1, config2="[工具]\r\n添加项目=\r\n")
        self.start_program()
        self.window = self.main_window()
        time.sleep(1.0)
        return self.window

    def exit_program(self):
        self.driver.command(self.window, EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())

    def stored_skin(self):
        return saved_config(self)["控制配置"].get("皮肤")

    def shows(self, skin, name):
        return shows_skin(shot(self, "skin-" + name), self.window, skin)

    def open_chooser(self):
        """Clicks the title bar's skin button with the real mouse."""
        x, y = screen_point(self.window, SKIN)
        real_click(x, y)
        chooser = self.driver.find(cls=harness.WINDOW_CLASS, title=CHOOSER_TITLE,
                                   process=self.program.windows_exe, visible=True)[0]
        time.sleep(0.6)
        # At the pointer's x - 520, 22 below the control window's top.
        self.assertEqual((x - 520, self.window.rect[1] + 22) + CHOOSER_SIZE, chooser.rect)
        return chooser

    def click_in(self, window, point):
        self.driver.click(window, *point)
        time.sleep(0.8)

    def close_with(self, chooser, button):
        self.driver.click(chooser, *button)
        # Windows close late without a window manager (Xvfb): allow for it.
        self.assertTrue(self.driver.gone(chooser, timeout=15))
        time.sleep(0.5)

    def marked(self, picture, chooser, index):
        x, y = thumbnail(index)
        return near(pixel(picture, chooser, (x + 4, y + 39)), MARKER_TEAL, 40)

    def test_preview_ok_stores_and_cancel_restores(self):
        self.start()
        self.assertTrue(self.shows(DEFAULT_SKIN, "default"))
        chooser = self.open_chooser()
        picture = shot(self, "skin-chooser")
        self.assertTrue(self.marked(picture, chooser, 1))
        self.assertFalse(self.marked(picture, chooser, 5))

        self.click_in(chooser, thumbnail_centre(5))
        picture = shot(self, "skin-preview-5")
        self.assertTrue(shows_skin(picture, self.window, built_in_skin(5)))
        self.assertTrue(self.marked(picture, chooser, 5))
        self.close_with(chooser, OK)
        self.assertTrue(self.shows(built_in_skin(5), "kept-5"))
        self.exit_program()
        self.assertEqual("imgs\\skins_5.jpg", self.stored_skin())

        # The next start shows it; a preview undone with Cancel changes nothing.
        self.start(config1="[控制配置]\r\n皮肤=imgs\\skins_5.jpg\r\n")
        self.assertTrue(self.shows(built_in_skin(5), "restarted-5"))
        chooser = self.open_chooser()
        self.assertTrue(self.marked(shot(self, "skin-chooser-5"), chooser, 5))
        self.click_in(chooser, thumbnail_centre(1))
        self.assertTrue(self.shows(DEFAULT_SKIN, "preview-default"))
        self.close_with(chooser, CANCEL)
        self.assertTrue(self.shows(built_in_skin(5), "cancelled"))

        # The default picture chosen with OK stores the empty text.
        chooser = self.open_chooser()
        self.click_in(chooser, thumbnail_centre(1))
        self.close_with(chooser, OK)
        self.assertTrue(self.shows(DEFAULT_SKIN, "back-to-default"))
        self.exit_program()
        self.assertEqual("", self.stored_skin())

    def test_closing_the_chooser_keeps_the_picture_in_use(self):
        self.start()
        chooser = self.open_chooser()
        self.click_in(chooser, thumbnail_centre(8))
        self.assertTrue(self.shows(built_in_skin(8), "preview-8"))
        # The chooser's own close button undoes the preview, as Cancel does.
        self.close_with(chooser, (CHOOSER_SIZE[0] - 8, 8))
        self.assertTrue(self.shows(DEFAULT_SKIN, "closed"))
        self.exit_program()
        self.assertIsNone(self.stored_skin())

    def test_own_picture_through_the_file_dialog_and_after_it_is_deleted(self):
        own = os.path.join(self.folder, "my skin.jpg")
        shutil.copy(built_in_skin(9), own)
        self.start()
        chooser = self.open_chooser()
        self.click_in(chooser, CUSTOM)
        dialog = self.driver.find(cls="#32770", title="选择皮肤图片!",
                                  process=self.program.windows_exe, visible=True)[0]
        shot(self, "skin-file-dialog")
        name_box = [w for w in self.driver.children(dialog) if w.cls == "Edit"][0]
        self.driver.run("settext", "0x%x" % name_box.hwnd, windows_path(own))
        self.driver.press(dialog, IDOK)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        time.sleep(0.8)
        picture = shot(self, "skin-own-picture")
        self.assertTrue(shows_skin(picture, self.window, own))
        self.assertTrue(self.marked(picture, chooser, 12))
        self.close_with(chooser, OK)
        self.exit_program()
        self.assertEqual(windows_path(own), self.stored_skin())

        # Stored, it selects thumbnail 12 at the next start.
        self.start(config1="[控制配置]\r\n皮肤=%s\r\n" % windows_path(own))
        self.assertTrue(self.shows(own, "own-restarted"))
        chooser = self.open_chooser()
        self.assertTrue(self.marked(shot(self, "skin-chooser-own"), chooser, 12))
        self.close_with(chooser, CANCEL)
        self.exit_program()

        # Once the file is gone the built-in picture shows.
        os.remove(own)
        self.start(config1="[控制配置]\r\n皮肤=%s\r\n" % windows_path(own))
        self.assertTrue(self.shows(DEFAULT_SKIN, "own-deleted"))
        chooser = self.open_chooser()
        self.assertTrue(self.marked(shot(self, "skin-chooser-own-deleted"), chooser, 1))
        self.close_with(chooser, CANCEL)

    def test_own_picture_then_cancel_keeps_the_skin_in_use(self):
        own = os.path.join(self.folder, "my skin.jpg")
        shutil.copy(built_in_skin(9), own)
        self.start(config1="[控制配置]\r\n皮肤=imgs\\skins_4.jpg\r\n")
        chooser = self.open_chooser()
        # The file dialog cancelled: nothing changes.
        self.click_in(chooser, CUSTOM)
        dialog = self.driver.find(cls="#32770", title="选择皮肤图片!",
                                  process=self.program.windows_exe, visible=True)[0]
        self.driver.press(dialog, IDCANCEL)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        time.sleep(0.8)
        picture = shot(self, "skin-file-dialog-cancelled")
        self.assertTrue(shows_skin(picture, self.window, built_in_skin(4)))
        self.assertTrue(self.marked(picture, chooser, 4))
        # A picture chosen, then the chooser cancelled: the skin in use comes back.
        self.click_in(chooser, CUSTOM)
        dialog = self.driver.find(cls="#32770", title="选择皮肤图片!",
                                  process=self.program.windows_exe, visible=True)[0]
        name_box = [w for w in self.driver.children(dialog) if w.cls == "Edit"][0]
        self.driver.run("settext", "0x%x" % name_box.hwnd, windows_path(own))
        self.driver.press(dialog, IDOK)
        self.assertTrue(self.driver.gone(dialog, timeout=15))
        time.sleep(0.8)
        self.assertTrue(self.shows(own, "own-preview"))
        self.close_with(chooser, CANCEL)
        self.assertTrue(self.shows(built_in_skin(4), "own-cancelled"))
        self.exit_program()
        self.assertEqual("imgs\\skins_4.jpg", self.stored_skin())

    def test_relative_skin_is_found_beside_the_program(self):
        # Started from elsewhere (as Windows starts it at log-on), the stored
        # relative path still names the picture in the program's folder.
        self.make_data_file(config1="[控制配置]\r\n皮肤=imgs\\skins_3.jpg\r\n")
        self.program = StartedFromTheRoot(self.folder)
        self.window = self.main_window()
        time.sleep(1.0)
        self.assertTrue(self.shows(built_in_skin(3), "relative-path"))
        self.assertEqual([], [w for w in program_windows(self, "#32770") if w.visible])


if __name__ == "__main__":
    unittest.main()
