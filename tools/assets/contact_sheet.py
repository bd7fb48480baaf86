#!/usr/bin/python3
"""Contact sheet of the built-in pictures, to judge them as a user sees them.

    contact_sheet.py [OUT_DIR]      (default: build/assets under the repository)

Draws the pictures into OUT_DIR/out, then mocks up the control window on
every skin (caption buttons, page buttons, list-mode box, category tabs and
a filled item list; half of them on the task page in list mode) and writes:
    OUT_DIR/contact.png       all twelve skins side by side, chooser
                              thumbnails, and every small picture at 1x and 4x
    OUT_DIR/mock/skin_N.png   one mocked window per skin, at 1x
The mock stands in for the real toolkit; its colours follow the house look.
"""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import make_assets  # noqa: E402
from paint import (SS, downsample, paint_through, rgb, rgba, round_rect_mask,  # noqa: E402
                   vertical_gradient)

W, H = 312, 653
ACCENT = rgb("#1B9AAA")
TEXT = rgb("#26343B")
SECONDARY = rgb("#6B7C85")
HAIRLINE = rgb("#D5E1E4")
FONT_FILES = ["/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"]


def font(size):
    for path in FONT_FILES:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


FONT12 = font(12)
FONT14 = font(14)


def text_width(text, f=FONT12):
    return f.getlength(text)


def rounded(img, box, radius, fill=None, outline=None):
    """Anti-aliased rounded rectangle (supersampled), composited onto img."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    if fill:
        paint_through(layer, fill, round_rect_mask(layer.size, (0, 0, w * SS - 1, h * SS - 1), radius * SS))
    if outline:
        outer = round_rect_mask(layer.size, (0, 0, w * SS - 1, h * SS - 1), radius * SS)
        inner = round_rect_mask(layer.size, (SS, SS, w * SS - 1 - SS, h * SS - 1 - SS), (radius - 1) * SS)
        paint_through(layer, outline, ImageChops.subtract(outer, inner))
    img.alpha_composite(downsample(layer, (w, h)), (x0, y0))


def item_icon(kind):
    """Stand-ins for the shell icons of launcher items (32 x 32)."""
    colours = {"add": ("#9FB4BB", "#7D959D"), "folder": ("#FFD36E", "#F2A93B"), "doc": ("#6EA8F7", "#3D78D8"),
               "web": ("#56C7A8", "#23977A"), "music": ("#F58BA8", "#D9577E"), "photo": ("#B59CF0", "#8566D8"),
               "note": ("#F7B267", "#E07F3B"), "calc": ("#8FA3AD", "#5E737D")}
    top, bottom = colours[kind]
    layer = Image.new("RGBA", (32 * SS, 32 * SS), (0, 0, 0, 0))
    grad = vertical_gradient(layer.size, [(2 * SS, rgba(top)), (30 * SS, rgba(bottom))])
    paint_through(layer, grad, round_rect_mask(layer.size, (2 * SS, 2 * SS, 30 * SS, 30 * SS), 7 * SS))
    d = ImageDraw.Draw(layer)
    white = (255, 255, 255, 235)
    u = SS
    if kind == "add":
        d.rectangle((15 * u, 9 * u, 17 * u, 23 * u), fill=white)
        d.rectangle((9 * u, 15 * u, 23 * u, 17 * u), fill=white)
    elif kind == "folder":
        d.rounded_rectangle((8 * u, 11 * u, 24 * u, 23 * u), radius=2 * u, fill=white)
    elif kind == "doc":
        for y in (10, 14, 18, 22):
            d.rectangle((10 * u, y * u, (22 if y < 22 else 17) * u, (y + 1.5) * u), fill=white)
    elif kind == "web":
        d.ellipse((9 * u, 9 * u, 23 * u, 23 * u), outline=white, width=2 * u)
        d.line((9 * u, 16 * u, 23 * u, 16 * u), fill=white, width=u + 2)
    elif kind == "music":
        d.ellipse((10 * u, 18 * u, 16 * u, 23 * u), fill=white)
        d.rectangle((14 * u, 9 * u, 16 * u, 21 * u), fill=white)
        d.polygon([(16 * u, 9 * u), (22 * u, 11 * u), (22 * u, 14 * u), (16 * u, 12 * u)], fill=white)
    elif kind == "photo":
        d.polygon([(8 * u, 23 * u), (14 * u, 14 * u), (18 * u, 19 * u), (20 * u, 17 * u), (24 * u, 23 * u)], fill=white)
        d.ellipse((19 * u, 9 * u, 23 * u, 13 * u), fill=white)
    elif kind == "note":
        d.rounded_rectangle((10 * u, 8 * u, 22 * u, 24 * u), radius=u, outline=white, width=2 * u)
        d.rectangle((13 * u, 13 * u, 19 * u, 14.5 * u), fill=white)
    elif kind == "calc":
        for r in range(3):
            for c in range(3):
                d.rectangle(((9 + c * 5) * u, (9 + r * 5) * u, (12 + c * 5) * u, (12 + r * 5) * u), fill=white)
    return downsample(layer, (32, 32))


ITEMS = [("添加项目", "add"), ("我的文档", "folder"), ("浏览器", "web"), ("工作周报.doc", "doc"),
         ("音乐", "music"), ("相册", "photo"), ("记事本", "note"), ("计算器", "calc"),
         ("下载", "folder"), ("项目资料", "folder")]
TASKS = ["每天 07:30 响铃", "每周五 18:00 打开网页", "每月 1 日 09:00 提醒交房租",
         "每小时 整点报时", "2026年12月31日 23:59 关机", "每天 22:30 气球提示：早点休息"]


def mock_window(skin_path, assets, page, selected_item=2):
    img = Image.open(skin_path).convert("RGBA").resize((W, H))
    d = ImageDraw.Draw(img)
    # Caption buttons: skin, settings, minimise from left to right.
    for name, x in (("skin", W - 95), ("settings", W - 67), ("minimise", W - 39)):
        img.alpha_composite(assets["%s_normal.png" % name], (x, 0))
    # Page buttons with their captions.
    labels = ["应用工具", "桌面Flash", "计划任务"]
    for i, (label, picture) in enumerate(zip(labels, ("page_apps.png", "page_flash.png", "page_tasks.png"))):
        x, y = 15 + 77 * i, 35
        if i + 1 == page:
            rounded(img, (x, y, x + 72, y + 72), 8, fill=(255, 255, 255, 190))
            rounded(img, (x, y, x + 72, y + 72), 8, fill=ACCENT + (46,), outline=ACCENT + (255,))
        else:
            rounded(img, (x, y, x + 72, y + 72), 8, fill=(255, 255, 255, 96), outline=(255, 255, 255, 150))
        img.alpha_composite(assets[picture], (x, y))
        d.text((x + 36 - text_width(label) / 2, y + 52), label, font=FONT12, fill=TEXT)
    # List-mode box and tabs.
    img.alpha_composite(assets["list_mode_on.png" if page == 3 else "list_mode_off.png"], (W - 20, 102))
    tabs = ["桌面图标", "常用软件", "工作"] if page == 1 else ["全部任务"]
    d.line((0, 147, W, 147), fill=HAIRLINE)
    x = 4
    for i, tab in enumerate(tabs):
        width = round(text_width(tab)) + 24
        if i == 0:
            rounded(img, (x, 120, x + width, 148), 4, fill=(255, 255, 255, 200))
            d.rectangle((x + 6, 145, x + width - 6, 147), fill=ACCENT)
        d.text((x + 12, 126), tab, font=FONT12, fill=TEXT if i == 0 else SECONDARY)
        x += width + 2
    if page == 1:  # large icons: 4 columns of 72 x 72 cells
        for k, (label, kind) in enumerate(ITEMS):
            cx, cy = 8 + (k % 4) * 74, 158 + (k // 4) * 78
            if k + 1 == selected_item:
                rounded(img, (cx, cy, cx + 72, cy + 72), 6, fill=ACCENT + (46,), outline=ACCENT + (255,))
            img.alpha_composite(item_icon(kind), (cx + 20, cy + 8))
            shown = label if text_width(label) <= 68 else label[:5] + "…"
            d.text((cx + 36 - text_width(shown) / 2, cy + 46), shown, font=FONT12, fill=TEXT)
    else:  # list mode: the task list with the clock icon
        clock = Image.open(os.path.join(OUT, "imgs", "sj.ico"))
        clock.size = (32, 32)
        clock = clock.convert("RGBA")
        for k, task in enumerate(TASKS):
            y = 154 + k * 40
            if k + 1 == selected_item:
                rounded(img, (4, y, W - 9, y + 38), 5, fill=ACCENT + (46,), outline=ACCENT + (255,))
            img.alpha_composite(clock, (10, y + 3))
            d.text((50, y + 12), task, font=FONT12, fill=TEXT)
        status = "距下一个任务：02时15分08秒"
        d.text((15, H - 30 + 6), status, font=FONT12, fill=SECONDARY)
    return img


OUT = None


def main(argv):
    global OUT
    root = os.path.normpath(os.path.join(HERE, "..", ".."))
    base = argv[1] if len(argv) > 1 else os.path.join(root, "build", "assets")
    OUT = os.path.join(base, "out")
    make_assets.main(["make_assets.py", OUT])
    assets = {name: Image.open(os.path.join(OUT, name)).convert("RGBA")
              for name in make_assets.builders() if name.endswith(".png")}
    skins = [("1 青岚 (default)", os.path.join(OUT, "default_skin.jpg"))]
    names = ["晨雾", "破晓", "翠玉", "水墨", "樱", "夜", "秋", "湖", "雪", "竹", "紫霞"]
    skins += [("%d %s" % (n, names[n - 2]), os.path.join(OUT, "imgs", "skins_%d.jpg" % n)) for n in range(2, 13)]

    os.makedirs(os.path.join(base, "mock"), exist_ok=True)
    gap, label_h = 16, 24
    sheet_w = 6 * (W + gap) + gap
    sheet = Image.new("RGBA", (sheet_w, 2 * (H + label_h + gap) + 720), rgb("#E4E9EB") + (255,))
    d = ImageDraw.Draw(sheet)
    for k, (label, path) in enumerate(skins):
        page = 1 if k % 2 == 0 else 3
        mock = mock_window(path, assets, page, selected_item=2 if page == 1 else 1)
        mock.convert("RGB").save(os.path.join(base, "mock", "skin_%d.png" % (k + 1)))
        x, y = gap + (k % 6) * (W + gap), gap + (k // 6) * (H + label_h + gap)
        d.text((x, y), label, font=FONT14, fill=TEXT)
        sheet.alpha_composite(mock, (x, y + label_h))

    # Chooser thumbnails (48 x 48) on the chooser's white: the whole picture
    # squeezed, and the top square scaled down.
    y = 2 * (H + label_h + gap) + gap
    d.text((gap, y), "Chooser thumbnails (48 x 48): whole picture squeezed / top 312 x 312 scaled", font=FONT14, fill=TEXT)
    for row, crop in enumerate(((0, 0, W, H), (0, 0, W, W))):
        top = y + 24 + row * 64
        rounded(sheet, (gap, top, gap + 12 * 51 + 12, top + 64), 6, fill=(255, 255, 255, 255))
        for k, (_, path) in enumerate(skins):
            thumb = Image.open(path).convert("RGBA").crop(crop).resize((48, 48), Image.Resampling.LANCZOS)
            sheet.alpha_composite(thumb, (gap + 8 + 51 * k, top + 8))
        sheet.alpha_composite(assets["skin_marker.png"], (gap + 8, top + 8 + 48 - 19))
    y += 64

    # Small pictures at 1x and 4x, on a light and a dark ground.
    y += 110
    d.text((gap, y), "Icons and buttons (1x and 4x)", font=FONT14, fill=TEXT)
    y += 24
    x = gap
    mark = Image.open(os.path.join(OUT, "qinglan.ico"))
    for side in (16, 24, 32, 48, 256):
        mark.size = (side, side)
        im = mark.convert("RGBA")
        sheet.alpha_composite(im, (x, y))
        x += side + 10
    clock = Image.open(os.path.join(OUT, "imgs", "sj.ico"))
    for side in (16, 24, 32, 48):
        clock.size = (side, side)
        sheet.alpha_composite(clock.convert("RGBA"), (x, y))
        x += side + 10
    x0 = x + 10
    for row, ground in enumerate(((255, 255, 255, 255), rgb("#3B4A70") + (255,))):
        x = x0
        yy = y + row * 96
        rounded(sheet, (x - 6, yy - 6, sheet_w - gap, yy + 90), 6, fill=ground)
        for name in ("skin", "settings", "minimise"):
            for state in make_assets.STATES:
                im = assets["%s_%s.png" % (name, state)]
                sheet.alpha_composite(im, (x, yy))
                big = im.resize((im.width * 3, im.height * 3), Image.Resampling.NEAREST)
                sheet.alpha_composite(big, (x, yy + 26))
                x += big.width + 6
        for name in ("page_apps.png", "page_flash.png", "page_tasks.png", "list_mode_off.png",
                     "list_mode_on.png", "skin_marker.png"):
            sheet.alpha_composite(assets[name], (x, yy))
            x += assets[name].width + 8
    zoom_y = y + 266
    x = gap
    for side in (16, 24, 32, 48):
        mark.size = (side, side)
        big = mark.convert("RGBA").resize((side * 4, side * 4), Image.Resampling.NEAREST)
        sheet.alpha_composite(big, (x, zoom_y))
        x += big.width + 10
    for side in (16, 32):
        clock.size = (side, side)
        big = clock.convert("RGBA").resize((side * 4, side * 4), Image.Resampling.NEAREST)
        sheet.alpha_composite(big, (x, zoom_y))
        x += big.width + 10
    for name in ("page_apps.png", "page_flash.png", "page_tasks.png"):
        big = assets[name].resize((144, 144), Image.Resampling.NEAREST)
        sheet.alpha_composite(big, (x, zoom_y))
        x += 150
    sheet = sheet.crop((0, 0, sheet_w, zoom_y + 200))
    path = os.path.join(base, "contact.png")
    sheet.convert("RGB").save(path)
    print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
