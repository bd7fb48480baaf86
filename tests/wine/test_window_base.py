"""The window base under Wine, through the gallery's window scenes: modal
windows, the close request, the tray icon, centring and picture regions.

Each scene writes key=value facts to a log file; the tests read them and look
at the windows through qldrive.
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness

GALLERY = os.path.join(harness.WIN_BUILD, "tests", "wine", "gallery", "gallery.exe")
WS_DISABLED = 0x08000000
WM_KEYDOWN = 0x0100
VK_RETURN, VK_DOWN = 0x0D, 0x28
WM_APP = 0x8000
TRAY_FORGET = WM_APP + 2  # the tray scene drops its icon behind the window's back


class Scene:
    """gallery.exe running one window scene, with its log of facts."""

    def __init__(self, folder, *arguments):
        self.log_path = os.path.join(folder, "scene.log")
        self.output = open(os.path.join(folder, "wine.log"), "wb")
        command = [harness.WINE, GALLERY] + list(arguments) + ["--log", harness.windows_path(self.log_path)]
        # Wine reads the command line in the locale's encoding (UTF-8), not GBK.
        self.process = subprocess.Popen(command, cwd=folder,
                                        stdout=self.output, stderr=subprocess.STDOUT,
                                        start_new_session=True)

    def facts(self):
        """[(key, value bytes)] in the order written."""
        try:
            with open(self.log_path, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            return []
        facts = []
        for line in data.split(b"\n"):
            line = line.rstrip(b"\r")
            if b"=" in line:
                key, _, value = line.partition(b"=")
                facts.append((key.decode(), value))
        return facts

    def fact(self, key, occurrence=1, timeout=20):
        """The value of the occurrence-th fact `key` (bytes), waiting for it."""
        deadline = time.time() + timeout
        while True:
            values = [v for k, v in self.facts() if k == key]
            if len(values) >= occurrence:
                return values[occurrence - 1]
            if time.time() > deadline or self.process.poll() is not None:
                raise AssertionError("no fact %s (#%d); log: %r" % (key, occurrence, self.facts()))
            time.sleep(0.1)

    def number(self, key, occurrence=1, timeout=20):
        return int(self.fact(key, occurrence, timeout), 0)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)
        self.output.close()


class GalleryTest(unittest.TestCase):
    """Base of the tests that drive the gallery program: a fresh folder per
    test, Wine cleared before and after, one scene at a time."""
    folder_prefix = "ql-gallery-"

    @classmethod
    def setUpClass(cls):
        for path in (GALLERY, harness.QLDRIVE):
            if not os.path.exists(path):
                raise AssertionError("not built: %s (run scripts/setup.sh)" % path)

    def setUp(self):
        harness.kill_wine()
        self.folder = tempfile.mkdtemp(prefix=self.folder_prefix)
        self.scene = None
        self.driver = harness.Driver()

    def tearDown(self):
        self.driver.close()
        if self.scene:
            self.scene.kill()
        harness.kill_wine()
        if os.environ.get("QL_KEEP_TEST_FOLDERS") != "1":
            shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *arguments):
        """Starts a scene, ending the one before."""
        if self.scene:
            self.scene.kill()
            if os.path.exists(self.scene.log_path):
                os.remove(self.scene.log_path)
        self.scene = Scene(self.folder, *arguments)
        return self.scene


class WindowBaseTest(GalleryTest):
    folder_prefix = "ql-window-"

    def window(self, title):
        return self.driver.find(cls=harness.WINDOW_CLASS, title=title,
                                process=harness.windows_path(GALLERY))[0]

    def test_modal_window_disables_its_owner_and_reactivates_it_after(self):
        scene = self.start("modal")
        owner = scene.number("owner")
        modal = scene.number("modal")
        self.window("模态窗口")
        self.assertTrue(self.window("模态所有者").style & WS_DISABLED,
                        "the owner is disabled while the modal window is open")
        with self.assertRaises(AssertionError):
            scene.fact("modal_returned", timeout=1)  # the creating call is still running

        self.driver.post(modal, harness.WM_CLOSE)
        self.assertTrue(self.driver.gone(modal))
        self.assertEqual(1, scene.number("modal_returned"))
        self.assertEqual(1, scene.number("owner_enabled_after"))
        self.assertEqual(1, scene.number("owner_active_after"))
        self.assertFalse(self.window("模态所有者").style & WS_DISABLED)
        self.assertEqual(2, len([k for k, _ in scene.facts() if k == "owner_activated"]),
                         "activated when shown and again when the modal window closed")

        self.driver.post(owner, harness.WM_CLOSE)
        self.assertEqual(0, scene.number("exit"))

    def test_close_request_answered_true_keeps_the_window(self):
        scene = self.start("close-veto")
        window = scene.number("window")
        self.driver.post(window, harness.WM_CLOSE)
        self.assertEqual(1, scene.number("close_requested"))
        self.assertFalse(self.driver.gone(window, timeout=1))
        self.assertTrue(self.window("关闭否决").visible)

        # The routine lets the second request through.
        self.driver.post(window, harness.WM_CLOSE)
        self.assertTrue(self.driver.gone(window))
        self.assertEqual(1, scene.number("destroyed"))
        self.assertEqual(0, scene.number("exit"))

    def test_taskbar_created_adds_the_icon_again_with_the_same_tip(self):
        scene = self.start("tray", "--tip", "青岚桌面工具箱 - 运行中")
        window = scene.number("window")
        self.assertEqual(1, scene.number("added"))
        self.assertEqual(1, scene.number("shell_has_icon"))
        self.assertEqual("青岚桌面工具箱 - 运行中".encode("gbk"), scene.fact("tip"))

        # As after a shell restart: the shell has lost the icon, then says so.
        self.driver.send(window, TRAY_FORGET)
        self.assertEqual(1, scene.number("forgotten"))
        self.driver.send(window, self.driver.registered_message("TaskbarCreated"))
        self.assertEqual(1, scene.number("shell_has_icon", occurrence=2))
        self.assertEqual(scene.fact("tip"), scene.fact("tip", occurrence=2))

        # The icon's callback reaches the tray routine as event codes; button-up is not reported.
        for mouse in (harness.WM_RBUTTONDOWN, harness.WM_LBUTTONUP, 0x405):  # 0x405: balloon clicked
            self.driver.send(window, harness.TRAY_MESSAGE, 1, mouse)
        self.assertEqual(2, scene.number("tray_event"))
        self.assertEqual(10, scene.number("tray_event", occurrence=2))
        self.assertEqual(2, len([k for k, _ in scene.facts() if k == "tray_event"]))

    def test_tray_tip_is_cut_to_127_bytes_before_a_split_character(self):
        long_tip = "a" + "青岚桌面工具箱" * 10  # 141 bytes in GBK
        scene = self.start("tray", "--tip", long_tip)
        self.assertEqual(long_tip.encode("gbk")[:127], scene.fact("tip"))
        self.driver.post(scene.number("window"), harness.WM_CLOSE)
        scene.number("exit")

        # Without the leading "a" byte 127 would fall inside a character: 126 stay.
        self.scene.kill()
        os.remove(self.scene.log_path)
        scene = self.start("tray", "--tip", long_tip[1:])
        self.assertEqual(long_tip[1:].encode("gbk")[:126], scene.fact("tip"))

    def test_window_state_3_centres_the_window_without_resizing_it(self):
        scene = self.start("centre")
        scene.number("window")
        window = self.window("居中测试")
        width, height = harness.SCREEN
        self.assertEqual(((width - 300) // 2, (height - 200) // 2, 300, 200), window.rect)
        self.assertTrue(window.visible)

    def test_region_from_picture_keeps_only_opaque_pixels(self):
        scene = self.start("region")
        self.assertEqual(1, scene.number("applied"))
        self.assertEqual(1, scene.number("solid_inside"))
        self.assertEqual(0, scene.number("dot_inside"))
        self.assertEqual(0, scene.number("lace_hole_inside"))
        self.assertEqual(1, scene.number("lace_solid_inside"))
        scene.number("ready")
        harness.screenshot("window_base_region")

    def test_standard_controls_in_a_modal_window(self):
        scene = self.start("controls")
        scene.number("ready")
        self.assertEqual(3, scene.number("combo_count"))
        self.assertEqual("每天".encode("gbk"), scene.fact("combo_selected_text"))
        # The picker gives back the date-time it was given.
        self.assertEqual("2024年3月15日8时30分".encode("gbk"), scene.fact("picker_value"))
        self.assertEqual("标签".encode("gbk"), scene.fact("label_text"))
        self.assertNotEqual(b"", scene.fact("font"), "the toolkit has a default font")
        if scene.number("browser_created") == 0:
            # Without a browser engine every browser call answers empty.
            self.assertEqual(1, scene.number("browser_html_empty"))

        # Enter inside a modal window reaches the edit box's key-down routine
        # (the dialog-key handling would take it otherwise).
        self.driver.post(scene.number("edit"), WM_KEYDOWN, VK_RETURN, 1)
        self.assertEqual("青岚".encode("gbk"), scene.fact("enter_text"))
        # The combo box's change notification goes to the combo box's own routine.
        self.driver.post(scene.number("combo"), WM_KEYDOWN, VK_DOWN, 1)
        self.assertEqual(2, scene.number("combo_changed"))
        harness.screenshot("window_base_controls")


if __name__ == "__main__":
    unittest.main()
