"""What the control window's whole-program tests share: where its controls
sit, the real X mouse (menus and the skin chooser open where the pointer is),
screenshots as pictures, check marks read off a menu on the screen (Wine keeps
a menu inside its process, so another process cannot ask for its state) and
a window's owner."""
import os
import subprocess
import time

from PIL import Image

import flashdb
import harness

# Client points of the control window in its default 312 x 653 size.
MINIMISE = (292, 10)
SETTINGS = (259, 10)
SKIN = (231, 10)
PAGE_BUTTONS = {1: (51, 71), 2: (128, 71), 3: (205, 71)}
LIST_MODE_BOX = (301, 111)
TAB_TEXT_Y = 133
TAB_UNDERLINE_Y = 145
LIST_TOP = 150
# Points of the skin itself: the caption band right of the title, and the
# strip between the caption and the page buttons' plate.
SKIN_POINTS = ((160, 12), (140, 26), (300, 60))

ACCENT = (27, 154, 170)
ASSET_OUT = os.path.join(harness.WIN_BUILD, "src", "assets", "out")
DEFAULT_SKIN = os.path.join(ASSET_OUT, "default_skin.jpg")

TRAY_ITEMS = [1001, 1002, 1003, 1009, 1008, 1005, 1004, 1006, 1007]
SETTINGS_ITEMS = [6001, 1007]


def near(a, b, tolerance=12):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def pointer(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True, timeout=30)
    time.sleep(0.2)


def real_click(x, y, button=1):
    """Moves the X pointer there and clicks, as a user would."""
    pointer(x, y)
    subprocess.run(["xdotool", "click", str(button)], check=True, timeout=30)


def shot(test, name):
    """A screenshot kept under build/shots, as an RGB picture."""
    return Image.open(test.screenshot("control-" + name)).convert("RGB")


def screen_point(window, point):
    return window.rect[0] + point[0], window.rect[1] + point[1]


def pixel(picture, window, point):
    return picture.getpixel(screen_point(window, point))


def ink(picture, box, background, tolerance=40):
    """How many pixels of the box (left, top, right, bottom) differ from the background."""
    count = 0
    for y in range(box[1], box[3]):
        for x in range(box[0], box[2]):
            if not near(picture.getpixel((x, y)), background, tolerance):
                count += 1
    return count


def picture_pixel(path, point):
    return Image.open(path).convert("RGB").getpixel(point)


def shows_skin(picture, window, skin_path):
    """Whether the window shows the skin picture (drawn 1:1 at the default size)."""
    return all(near(pixel(picture, window, point), picture_pixel(skin_path, point))
               for point in SKIN_POINTS)


def built_in_skin(number):
    return os.path.join(harness.APP_DIR, "imgs", "skins_%d.jpg" % number)


def owner(driver, window):
    """The owner window's handle (0 for none), from qldrive's listing."""
    handle = b"hwnd=0x%x " % window.hwnd
    for line in driver.run("windows"):
        if line.startswith(handle):
            fields = dict(w.split(b"=", 1) for w in line.partition(b" title=")[0].split(b" ")
                          if b"=" in w)
            return int(fields[b"owner"], 16)
    return None


def program_windows(test, cls):
    return [w for w in test.driver.windows(process=test.program.windows_exe) if w.cls == cls]


def open_menu(test, timeout=10):
    """The program's popup menu window, once it shows."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        menus = [w for w in program_windows(test, "#32768") if w.visible]
        if menus:
            return menus[0]
        time.sleep(0.1)
    raise AssertionError("no menu showed")


def read_menu(test, name, timeout=10):
    """The menu that shows (its window, items and picture), once it has been
    drawn: the menu window shows before X has painted it."""
    menu = open_menu(test, timeout)
    deadline, previous = time.time() + timeout, None
    while True:
        picture = shot(test, name)
        rows = menu_rows(picture, menu)
        if rows and rows == previous:
            return menu, rows, picture
        if time.time() > deadline:
            raise AssertionError("the menu was not drawn")
        previous = rows
        time.sleep(0.3)


def menu_rows(picture, menu):
    """The items of a menu on the screen: (top, bottom, checked) for each
    line of text, top to bottom. Separators are grey, text and marks black."""
    left, top, width, height = menu.rect
    dark = lambda x, y: sum(picture.getpixel((x, y))) < 240
    inked = [y for y in range(top + 2, top + height - 2)
             if any(dark(x, y) for x in range(left + 20, left + width - 4))]
    # Rows of ink a few pixels apart belong to one line (glyphs have gaps).
    rows = []
    for y in inked:
        if rows and y - rows[-1][1] <= 3:
            rows[-1] = (rows[-1][0], y + 1)
        else:
            rows.append((y, y + 1))
    marks = []
    for row_top, row_bottom in rows:
        checked = any(dark(x, y) for y in range(row_top, row_bottom)
                      for x in range(left + 2, left + 18))
        marks.append((row_top, row_bottom, checked))
    return marks


def close_menu(test, window):
    """WM_CANCELMODE ends the menu's tracking, as a click elsewhere would."""
    test.driver.post(window, 0x001F)
    # Answered once the menu's loop has ended (hiding the menu may take a
    # while without a window manager).
    test.driver.send(window, 0, timeout=15)
    deadline = time.time() + 10
    while [w for w in program_windows(test, "#32768") if w.visible] and time.time() < deadline:
        time.sleep(0.1)


def wait_until(condition, timeout=15):
    """Polls until the condition holds; False when the time ran out."""
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            return False
        time.sleep(0.1)
    return True


def saved_config(test):
    return flashdb.parse_config(flashdb.field1(test.data_file))
