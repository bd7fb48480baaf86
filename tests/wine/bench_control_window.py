#!/usr/bin/python3
"""Start-up benchmark of the control window under Wine (prints figures; not a test).

For an empty configuration and for one with 100 launcher items: the time from
starting the process (wineserver already running) to the control window
painted (its first page tile and first list entry on the screen, read from X
every 2 ms), then the process's memory once the first layout's working-set
trim has run. A plain Win32 program's memory under the same Wine is printed
as the floor that Wine itself costs.

    /usr/bin/python3 tests/wine/bench_control_window.py [RUNS]
"""
import ctypes
import ctypes.util
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import harness

TILE = (35, 61)              # client point on the first page button's tile
TILE_COLOUR = (42, 167, 180)
ENTRY_TEXT = (20, 192, 84, 206)  # the first list entry's caption
LEFT, TOP = 644, 180


class XImage(ctypes.Structure):
    """The start of Xlib's XImage, up to its destroy function."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong), ("obdata", ctypes.c_void_p),
                ("create_image", ctypes.c_void_p),
                ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]


class Screen:
    """Reads pixels of the X root window (24-bit, 32 bits a pixel) through Xlib."""

    def __init__(self):
        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XGetImage.restype = ctypes.POINTER(XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11 = x11
        self.display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
        self.root = x11.XDefaultRootWindow(self.display)

    def area(self, left, top, width, height):
        """[(r, g, b)] of a rectangle, row by row."""
        image = self.x11.XGetImage(self.display, self.root, left, top, width, height,
                                   0xFFFFFFFF, 2)  # AllPlanes, ZPixmap
        if not image:
            return []
        header = image.contents
        data = ctypes.string_at(header.data, header.bytes_per_line * height)
        pixels = []
        for y in range(height):
            row = y * header.bytes_per_line
            for x in range(width):
                b, g, r = data[row + 4 * x:row + 4 * x + 3]
                pixels.append((r, g, b))
        header.destroy_image(ctypes.cast(image, ctypes.c_void_p))
        return pixels


def near(a, b, tolerance=40):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def painted(screen):
    tile = screen.area(LEFT + TILE[0], TOP + TILE[1], 1, 1)
    if not tile or not near(tile[0], TILE_COLOUR):
        return False
    left, top, right, bottom = ENTRY_TEXT
    text = screen.area(LEFT + left, TOP + top, right - left, bottom - top)
    return sum(1 for p in text if sum(p) < 600) > 20  # dark caption pixels on the light list


def memory(pid):
    """(RSS, private) in MB from /proc."""
    fields = {}
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2 and parts[1].isdigit():
                fields[parts[0].rstrip(":")] = int(parts[1])
    private = fields.get("Private_Clean", 0) + fields.get("Private_Dirty", 0)
    return fields["Rss"] / 1024.0, private / 1024.0


def make_folder(items):
    folder = tempfile.mkdtemp(prefix="ql-bench-")
    shutil.copytree(harness.APP_DIR, folder, dirs_exist_ok=True,
                    ignore=shutil.ignore_patterns("flash.mdb"))
    launcher = None
    if items:
        launcher = "[工具]\r\n" + "".join(
            "程序%03d=C:\\windows\\%s\r\n" % (i, ("notepad.exe", "regedit.exe", "explorer.exe")[i % 3])
            for i in range(items))
    arguments = [harness.MKDB]
    if launcher:
        seed = os.path.join(folder, "config2.seed")
        with open(seed, "wb") as f:
            f.write(launcher.encode("gbk"))
        arguments += ["--config2", harness.windows_path(seed)]
    arguments.append(harness.windows_path(os.path.join(folder, "flash.mdb")))
    code, out, err = harness.run_wine(arguments, cwd=folder)
    if code:
        raise SystemExit("mkdb failed: %s" % (out + err).decode("gbk", "replace"))
    return folder


def run_once(folder, screen, driver):
    started = time.perf_counter()
    process = subprocess.Popen([harness.WINE, os.path.join(folder, "qinglan.exe")], cwd=folder,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        while not painted(screen):
            if time.perf_counter() - started > 30:
                raise SystemExit("the window was not painted within 30 s")
            time.sleep(0.002)
        elapsed = time.perf_counter() - started
        time.sleep(1.5)  # the first layout's timer (50 ms) has trimmed by now
        figures = memory(process.pid)
        window = driver.find(cls=harness.WINDOW_CLASS, title=harness.PROGRAM_TITLE, visible=True)[0]
        driver.command(window, harness.EXIT_COMMAND)
        process.wait(timeout=30)
        # Without a window manager Wine's desktop process takes up to 2 s to
        # drop the ended program's tray icon, and a program starting
        # meanwhile waits for it: let it settle, as a user would not restart
        # within that moment anyway.
        time.sleep(3)
        return elapsed, figures
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def floor_memory():
    """Memory of qldrive (a console Win32 program) idling under the same Wine."""
    process = subprocess.Popen([harness.WINE, harness.QLDRIVE], stdin=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(2)
    try:
        return memory(process.pid)
    finally:
        process.kill()
        process.wait()


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    harness.kill_wine()
    # The driver keeps the Wine server and its services up, so that each run
    # measures the program's own start.
    driver = harness.Driver()
    screen = Screen()
    try:
        for label, items in (("empty configuration", 0), ("100 launcher items", 100)):
            folder = make_folder(items)
            try:
                run_once(folder, screen, driver)  # warms the file cache
                results = [run_once(folder, screen, driver) for _ in range(runs)]
            finally:
                shutil.rmtree(folder, ignore_errors=True)
            times = [t * 1000 for t, _ in results]
            rss = [m[0] for _, m in results]
            private = [m[1] for _, m in results]
            print("%s: painted after %.0f ms (median of %d; min %.0f, max %.0f); "
                  "after the trim: RSS %.1f MB, private %.1f MB"
                  % (label, statistics.median(times), runs, min(times), max(times),
                     statistics.median(rss), statistics.median(private)))
        rss, private = floor_memory()
        print("floor (a console Win32 program idling under this Wine): RSS %.1f MB, private %.1f MB"
              % (rss, private))
    finally:
        driver.close()
        harness.kill_wine()


if __name__ == "__main__":
    main()
