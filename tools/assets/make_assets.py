#!/usr/bin/python3
"""Draws the program's built-in pictures into a folder.

    make_assets.py OUTDIR     write every picture under OUTDIR
    make_assets.py --list     print the relative paths it writes, one a line

Files under imgs/ are shipped beside the program; the others are embedded
in qinglan.exe as resources (assets.rc). The output depends only on this
code: every run writes the same bytes.
"""
import io
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import marks  # noqa: E402
import scenery  # noqa: E402
from icofile import ico_bytes  # noqa: E402
from swffile import mark_movie  # noqa: E402

CAPTION_GLYPHS = {"minimise": (39, marks.glyph_minimise), "settings": (28, marks.glyph_gear),
                  "skin": (28, marks.glyph_shirt)}
# The adjustment frame's button sits on the frame's dark caption band.
BAND_GLYPHS = {"movie": (28, marks.glyph_movie)}
STATES = ("normal", "hover", "pressed")


def jpeg(img):
    out = io.BytesIO()
    # 4:4:4 keeps the thin ridge edges and coloured mist free of chroma smear.
    img.convert("RGB").save(out, format="JPEG", quality=90, subsampling=0, optimize=True)
    return out.getvalue()


def png(img):
    out = io.BytesIO()
    img.save(out, format="PNG", optimize=True)
    return out.getvalue()


def builders():
    """Relative path -> routine that returns the file's bytes."""
    files = {
        "qinglan.ico": lambda: ico_bytes([marks.program_mark(s) for s in (16, 24, 32, 48, 256)]),
        "default_skin.jpg": lambda: jpeg(scenery.paint_scene(scenery.DEFAULT)),
    }
    for name, (width, glyph) in CAPTION_GLYPHS.items():
        for state in STATES:
            files["%s_%s.png" % (name, state)] = (
                lambda w=width, g=glyph, s=state: png(marks.caption_button(w, 20, g, s)))
    for name, (width, glyph) in BAND_GLYPHS.items():
        for state in STATES:
            files["%s_%s.png" % (name, state)] = (
                lambda w=width, g=glyph, s=state: png(marks.caption_button(w, 20, g, s, on_dark=True)))
    for page, (top, bottom, glyph) in marks.PAGES.items():
        files["page_%s.png" % page] = lambda t=top, b=bottom, g=glyph: png(marks.page_tile(t, b, g))
    files["list_mode_off.png"] = lambda: png(marks.list_mode_box(False))
    files["list_mode_on.png"] = lambda: png(marks.list_mode_box(True))
    files["skin_marker.png"] = lambda: png(marks.selection_marker())
    for number, theme in enumerate(scenery.THEMES, start=2):
        files["imgs/skins_%d.jpg" % number] = lambda t=theme: jpeg(scenery.paint_scene(t))
    files["imgs/sj.ico"] = lambda: ico_bytes([marks.task_clock(s) for s in (16, 24, 32, 48)])
    files["imgs/swf.swf"] = mark_movie
    return files


def main(argv):
    if len(argv) == 2 and argv[1] == "--list":
        print("\n".join(builders()))
        return 0
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out_dir = argv[1]
    for rel, build in builders().items():
        path = os.path.join(out_dir, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(build())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
