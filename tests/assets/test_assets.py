"""Checks the built-in pictures that tools/assets/make_assets.py draws.

Run with Debian's Python (it has Pillow):
    /usr/bin/python3 -m unittest discover -s tests/assets -v
The Wine check of the compiled resources runs when QL_WIN_BUILD names a
Windows build folder holding src/assets/asset_probe.exe (scripts/env.sh sets it).
"""
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

from PIL import Image

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "assets"))

import make_assets  # noqa: E402

SKINS = ["default_skin.jpg"] + ["imgs/skins_%d.jpg" % n for n in range(2, 13)]
CAPTION_SIZES = {"minimise": (39, 20), "settings": (28, 20), "skin": (28, 20), "movie": (28, 20)}
TEXT = (0x26, 0x34, 0x3B)


def luminance(colour):
    def linear(v):
        v /= 255
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = colour[:3]
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)


def contrast_with_text(colour):
    return (luminance(colour) + 0.05) / (luminance(TEXT) + 0.05)


def ico_entries(data):
    """(width, height, bits per pixel, payload) of each image in an .ico file."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    entries = []
    for i in range(count):
        w, h, _, _, _, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append((w or 256, h or 256, bpp, data[offset:offset + size]))
    return entries


class BitReader:
    def __init__(self, data, pos=0):
        self.data, self.bit = data, pos * 8

    def ub(self, n):
        v = 0
        for _ in range(n):
            v = (v << 1) | ((self.data[self.bit // 8] >> (7 - self.bit % 8)) & 1)
            self.bit += 1
        return v

    def sb(self, n):
        v = self.ub(n)
        return v - (1 << n) if n and v >> (n - 1) else v

    def align(self):
        self.bit = (self.bit + 7) // 8 * 8

    @property
    def pos(self):
        return self.bit // 8


def read_rect(r):
    n = r.ub(5)
    rect = [r.sb(n) for _ in range(4)]
    r.align()
    return rect


def read_matrix(r):
    if r.ub(1):
        n = r.ub(5)
        r.sb(n), r.sb(n)
    if r.ub(1):
        n = r.ub(5)
        r.sb(n), r.sb(n)
    n = r.ub(5)
    r.sb(n), r.sb(n)
    r.align()


def read_shape3(body):
    """Shape id, bounds and the closed paths (lists of points) of a DefineShape3."""
    shape_id = struct.unpack_from("<H", body)[0]
    r = BitReader(body, 2)
    bounds = read_rect(r)
    pos = r.pos
    fill_count, pos = body[pos], pos + 1
    for _ in range(fill_count):
        kind, pos = body[pos], pos + 1
        if kind == 0x00:  # solid RGBA
            pos += 4
        else:
            assert kind == 0x10, "unexpected fill type %#x" % kind
            r = BitReader(body, pos)
            read_matrix(r)
            pos = r.pos
            pos += 1 + 5 * (body[pos] & 0x0F)  # gradient records: ratio and RGBA
    assert body[pos] == 0, "no line styles expected"
    r = BitReader(body, pos + 1)
    fill_bits, line_bits = r.ub(4), r.ub(4)
    paths, x, y = [], 0, 0
    while True:
        if r.ub(1) == 0:
            flags = r.ub(5)
            if flags == 0:
                break
            assert not flags & 0x10, "no new styles expected"
            if flags & 0x01:
                n = r.ub(5)
                x, y = r.sb(n), r.sb(n)
                paths.append([(x, y)])
            for bit in (0x02, 0x04):
                if flags & bit:
                    r.ub(fill_bits)
            if flags & 0x08:
                r.ub(line_bits)
        elif r.ub(1):  # straight edge
            n = r.ub(4) + 2
            if r.ub(1):
                x, y = x + r.sb(n), y + r.sb(n)
            elif r.ub(1):
                y += r.sb(n)
            else:
                x += r.sb(n)
            paths[-1].append((x, y))
        else:  # curved edge
            n = r.ub(4) + 2
            cx, cy = x + r.sb(n), y + r.sb(n)
            x, y = cx + r.sb(n), cy + r.sb(n)
            paths[-1].append((x, y))
    return shape_id, bounds, paths


class GeneratedPictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="ql-assets-")
        make_assets.main(["make_assets.py", cls.out])

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def read(self, name):
        with open(os.path.join(self.out, name), "rb") as f:
            return f.read()

    def picture(self, name):
        return Image.open(io.BytesIO(self.read(name)))

    def test_the_list_names_exactly_the_files_written(self):
        written = set()
        for folder, _, files in os.walk(self.out):
            for f in files:
                written.add(os.path.relpath(os.path.join(folder, f), self.out).replace(os.sep, "/"))
        self.assertEqual(written, set(make_assets.builders()))

    def test_skins_are_distinct_jpegs_of_the_window_size(self):
        seen = set()
        for name in SKINS:
            img = self.picture(name)
            self.assertEqual((img.format, img.mode, img.size), ("JPEG", "RGB", (312, 653)), name)
            header = img.crop((0, 0, 312, 100)).resize((1, 1), Image.Resampling.BOX).getpixel((0, 0))
            self.assertNotIn(header, seen, name + " looks like another skin")
            seen.add(header)

    def test_dark_text_reads_on_every_skin(self):
        for name in SKINS:
            img = self.picture(name).convert("RGB")
            # The item list and status line: AAA contrast for body text.
            content = img.crop((0, 150, 312, 653)).reduce(4)
            self.assertGreaterEqual(min(contrast_with_text(p) for p in content.getdata()), 7.0, name)
            # Behind the page-button captions (drawn by the buttons in dark text).
            captions = img.crop((15, 88, 241, 107)).reduce(2)
            self.assertGreaterEqual(min(contrast_with_text(p) for p in captions.getdata()), 4.5, name)

    def test_caption_buttons_have_three_states_of_their_size(self):
        for button, size in CAPTION_SIZES.items():
            for state in make_assets.STATES:
                img = self.picture("%s_%s.png" % (button, state))
                self.assertEqual((img.format, img.mode, img.size), ("PNG", "RGBA", size))
                alpha = img.getchannel("A")
                if state == "normal":  # the skin shows around the glyph
                    self.assertEqual(alpha.getpixel((0, 0)), 0, button)
                else:  # hover and pressed fill the whole button
                    self.assertGreater(alpha.getextrema()[0], 200, button)
            self.assertNotEqual(self.read("%s_hover.png" % button), self.read("%s_pressed.png" % button))

    def test_page_pictures_leave_the_caption_band_clear(self):
        for page in ("apps", "flash", "tasks"):
            img = self.picture("page_%s.png" % page)
            self.assertEqual((img.format, img.mode, img.size), ("PNG", "RGBA", (72, 72)))
            alpha = img.getchannel("A")
            self.assertEqual(alpha.crop((0, 52, 72, 72)).getextrema(), (0, 0), page)
            self.assertEqual(alpha.getpixel((36, 26)), 255, page)  # the tile itself is opaque

    def test_small_pictures(self):
        for name, size in (("list_mode_off.png", (18, 18)), ("list_mode_on.png", (18, 18)),
                           ("skin_marker.png", (20, 20))):
            img = self.picture(name)
            self.assertEqual((img.format, img.mode, img.size), ("PNG", "RGBA", size), name)
            self.assertEqual(img.getchannel("A").getpixel((0, 0)), 0, name)
        self.assertNotEqual(self.read("list_mode_off.png"), self.read("list_mode_on.png"))

    def check_icon(self, name, sides):
        data = self.read(name)
        entries = ico_entries(data)
        self.assertEqual([(w, h) for w, h, _, _ in entries], [(s, s) for s in sides], name)
        for w, h, bpp, payload in entries:
            self.assertEqual(bpp, 32)
            if w == 256:
                self.assertTrue(payload.startswith(b"\x89PNG"), "the 256 px image is stored as PNG")
            else:
                header = struct.unpack_from("<IiiHH", payload)
                self.assertEqual(header, (40, w, 2 * h, 1, 32))
                mask_stride = (w + 31) // 32 * 4
                self.assertEqual(len(payload), 40 + w * h * 4 + mask_stride * h)
        icon = Image.open(io.BytesIO(data))
        for side in sides:
            icon.size = (side, side)
            img = icon.convert("RGBA")
            self.assertEqual(img.size, (side, side))
            self.assertEqual(img.getchannel("A").getpixel((side // 2, side // 2)), 255, "%s at %d" % (name, side))

    def test_program_icon(self):
        self.check_icon("qinglan.ico", [16, 24, 32, 48, 256])

    def test_task_clock_icon(self):
        self.check_icon("imgs/sj.ico", [16, 24, 32, 48])

    def test_movie_is_a_valid_compressed_swf(self):
        data = self.read("imgs/swf.swf")
        self.assertEqual(data[:3], b"CWS")
        self.assertGreaterEqual(data[3], 6)  # compression needs version 6 or later
        body = zlib.decompress(data[8:])
        self.assertEqual(struct.unpack_from("<I", data, 4)[0], 8 + len(body))
        r = BitReader(body)
        stage = read_rect(r)
        self.assertEqual(stage[0::2], [0, 0])
        self.assertGreater(stage[1], 0)
        frame_rate, frame_count = struct.unpack_from("<HH", body, r.pos)
        self.assertGreater(frame_rate, 0)
        self.assertEqual(frame_count, 1)
        pos, tags = r.pos + 4, []
        while pos < len(body):
            code_len = struct.unpack_from("<H", body, pos)[0]
            code, length, pos = code_len >> 6, code_len & 0x3F, pos + 2
            if length == 0x3F:
                length, pos = struct.unpack_from("<I", body, pos)[0], pos + 4
            tags.append((code, body[pos:pos + length]))
            pos += length
        self.assertEqual(pos, len(body), "tags run past the end")
        codes = [code for code, _ in tags]
        self.assertEqual(codes[0], 69, "FileAttributes comes first")
        self.assertEqual(codes[-2:], [1, 0], "one ShowFrame, then End")
        shapes = [read_shape3(b) for code, b in tags if code == 32]
        placed = [struct.unpack_from("<BHH", b) for code, b in tags if code == 26]
        self.assertEqual(len(shapes), 5)
        self.assertEqual(sorted(p[2] for p in placed), sorted(s[0] for s in shapes))
        self.assertEqual(len({p[1] for p in placed}), len(placed), "one depth per shape")
        for shape_id, (xmin, xmax, ymin, ymax), paths in shapes:
            self.assertTrue(paths, shape_id)
            for path in paths:
                self.assertEqual(path[0], path[-1], "path of shape %d is not closed" % shape_id)
                for x, y in path:
                    self.assertTrue(xmin <= x <= xmax and ymin <= y <= ymax, "shape %d leaves its bounds" % shape_id)
                    self.assertTrue(0 <= x <= stage[1] and 0 <= y <= stage[3], "shape %d leaves the stage" % shape_id)

    def test_every_run_writes_the_same_bytes(self):
        builders = make_assets.builders()
        for name in ("imgs/swf.swf", "qinglan.ico", "imgs/skins_6.jpg"):
            self.assertEqual(builders[name](), self.read(name), name)


class CompiledResources(unittest.TestCase):
    """The resources as the program itself loads them, under Wine."""

    def test_every_resource_loads_back(self):
        build = os.environ.get("QL_WIN_BUILD", "")
        wine = os.environ.get("QL_WINE", "wine")
        probe = os.path.join(build, "src", "assets", "asset_probe.exe")
        if not build or not os.path.exists(probe) or not shutil.which(wine):
            self.skipTest("no Windows build with asset_probe.exe (QL_WIN_BUILD) or no wine")
        result = subprocess.run([wine, probe], capture_output=True, text=True, timeout=180)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = set(result.stdout.split("\n"))
        for side in (16, 24, 32, 48, 256):
            self.assertIn("icon %d %dx%d" % (side, side, side), lines)
        ids = read_asset_ids()
        expected = {"ASSET_DEFAULT_SKIN": (312, 653), "ASSET_PAGE_APPS": (72, 72), "ASSET_PAGE_FLASH": (72, 72),
                    "ASSET_PAGE_TASKS": (72, 72), "ASSET_LIST_MODE_OFF": (18, 18), "ASSET_LIST_MODE_ON": (18, 18),
                    "ASSET_SKIN_MARKER": (20, 20), "ASSET_SPOKEN_CLIPS": (0, 0), "ASSET_DEFAULT_RING": (0, 0)}
        for button, size in CAPTION_SIZES.items():
            for state in make_assets.STATES:
                expected["ASSET_%s_%s" % (button.upper(), state.upper())] = size
        self.assertEqual(set(expected), {k for k in ids if k.startswith("ASSET_")})
        found = {}
        for line in lines:
            parts = line.split()
            if len(parts) == 4 and parts[0] == "asset":
                found[int(parts[1])] = (int(parts[2]), parts[3])
        for name, (w, h) in expected.items():
            size, dims = found.get(ids[name], (0, ""))
            self.assertGreater(size, 0, name)
            self.assertEqual(dims, "%dx%d" % (w, h), name)
        self.assertIn("asset 999 0", lines, "a missing resource gives no bytes")


def read_asset_ids():
    ids = {}
    with open(os.path.join(ROOT, "src", "assets", "asset_ids.h")) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "#define" and parts[2].isdigit():
                ids[parts[1]] = int(parts[2])
    return ids


if __name__ == "__main__":
    unittest.main()
