"""Small pictures: the program mark, the task clock, caption-button glyphs,
the page-button tiles, the list-mode check box and the skin chooser's marker.

Coordinates of the marks are fractions of the picture's side, so one design
serves every icon size; small sizes leave out detail that would only blur.
"""
import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter

from paint import (SS, downsample, halo, new_mask, paint_through, rgba, round_rect_mask,
                   scale_mask, soft_disc, stroke_polyline, vertical_gradient)

ACCENT = "#1B9AAA"
ACCENT_HOVER = "#23B0C0"
ACCENT_PRESSED = "#147A87"
TEXT = "#26343B"


def canvas(w, h):
    return Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))


def rounded_polygon_mask(size, points, radius):
    """Polygon with its corners rounded: blur, then cut at half strength."""
    mask = new_mask(size)
    ImageDraw.Draw(mask).polygon(points, fill=255)
    if radius > 0:
        mask = mask.filter(ImageFilter.GaussianBlur(radius)).point(lambda v: 255 if v >= 128 else 0)
    return mask


def wave_points(x0, x1, y, amplitude, waves, steps=48):
    return [(x0 + (x1 - x0) * k / steps,
             y - amplitude * math.sin(2 * math.pi * waves * k / steps)) for k in range(steps + 1)]


def stroke_mask(size, points, width):
    mask = new_mask(size)
    stroke_polyline(ImageDraw.Draw(mask), points, width, 255)
    return mask


# ---------------------------------------------------------------- program mark

def program_mark(side):
    """The 青岚 mark: misty blue-green hills seen through a round moon window
    on a teal tile."""
    n = side * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))

    def p(x, y):
        return (x * n, y * n)

    margin = 0.0 if side <= 24 else 0.03
    radius = 0.2 if side <= 24 else 0.22
    tile = round_rect_mask(img.size, (margin * n, margin * n, (1 - margin) * n - 1, (1 - margin) * n - 1), radius * n)
    paint_through(img, vertical_gradient(img.size, [(margin * n, rgba("#3CC6D2")), ((1 - margin) * n, rgba("#117D8B"))]), tile)
    if side >= 48:
        # Soft light from the top left gives the tile a little depth.
        glow = soft_disc(img.size, p(0.25, 0.1), 0.55 * n, 0.25 * n)
        paint_through(img, rgba("#FFFFFF"), scale_mask(ImageChops.multiply(glow, tile), 0.16))

    disc_r = 0.36 if side > 16 else 0.40
    disc = soft_disc(img.size, p(0.5, 0.5), disc_r * n, 0)
    paint_through(img, vertical_gradient(img.size, [(0.15 * n, rgba("#FFFFFF")), (0.85 * n, rgba("#E6F6F7"))]), disc)
    if side >= 24:
        paint_through(img, rgba("#FFD98E"), ImageChops.multiply(soft_disc(img.size, p(0.70, 0.31), 0.058 * n, 0), disc))

    def peaks(spec, colour, fade_from, fade_to):
        """A range of soft peaks that dissolves into mist towards its foot."""
        pts = [(0, n)]
        for k in range(129):
            x = k / 128
            y = 1.0
            for px, top, width in spec:
                y = min(y, 1.0 - (1.0 - top) * math.exp(-(abs(x - px) / width) ** 1.7))
            pts.append((x * n, y * n))
        pts.append((n, n))
        mask = new_mask(img.size)
        ImageDraw.Draw(mask).polygon(pts, fill=255)
        fade = vertical_gradient(img.size, [(fade_from * n, (255,)), (fade_to * n, (0,))], mode="L")
        paint_through(img, rgba(colour), ImageChops.multiply(ImageChops.multiply(mask, fade), disc))

    if side > 16:
        peaks([(0.56, 0.30, 0.2), (0.16, 0.5, 0.16)], "#8ED3DA", 0.45, 0.9)
        peaks([(0.33, 0.44, 0.19), (0.9, 0.52, 0.17)], "#1B9AAA", 0.55, 0.95)
        if side >= 48:
            mist = stroke_mask(img.size, wave_points(0.12 * n, 0.8 * n, 0.71 * n, 0.018 * n, 1.0), 0.03 * n)
            paint_through(img, rgba("#FFFFFF", 0.85), ImageChops.multiply(mist, disc))
    else:
        peaks([(0.45, 0.3, 0.3)], "#1B9AAA", 0.45, 1.0)
    return downsample(img, (side, side))


# ---------------------------------------------------------------- task clock

def task_clock(side):
    """The task list's row icon: a clock with a teal rim, at ten past ten."""
    n = side * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    c = n / 2
    rim = max(1.4, side * 0.09) * SS
    r = n * 0.46
    d.ellipse((c - r, c - r, c + r, c + r), fill=rgba(ACCENT))
    inner = r - rim
    face = vertical_gradient(img.size, [(c - inner, rgba("#FFFFFF")), (c + inner, rgba("#EAF4F6"))])
    paint_through(img, face, soft_disc(img.size, (c, c), inner, 0))
    if side >= 32:
        for k in range(12):  # hour ticks
            a = math.pi / 6 * k
            long_tick = k % 3 == 0
            r0, r1 = inner * (0.72 if long_tick else 0.8), inner * 0.9
            d.line((c + r0 * math.sin(a), c - r0 * math.cos(a), c + r1 * math.sin(a), c - r1 * math.cos(a)),
                   fill=rgba("#9DB3BA" if not long_tick else "#6B7C85"), width=round(max(1, side / 32) * SS * (1.2 if long_tick else 0.8)))
    hand = max(1.2, side * 0.075) * SS
    stroke_polyline(d, [(c + inner * 0.5 * math.sin(math.radians(-60)), c - inner * 0.5 * math.cos(math.radians(-60))), (c, c)], hand, rgba(TEXT))
    stroke_polyline(d, [(c, c), (c + inner * 0.72 * math.sin(math.radians(60)), c - inner * 0.72 * math.cos(math.radians(60)))], hand * 0.8, rgba(TEXT))
    dot = hand * 0.75
    d.ellipse((c - dot, c - dot, c + dot, c + dot), fill=rgba(ACCENT_PRESSED))
    return downsample(img, (side, side))


# ---------------------------------------------------------------- caption buttons

def glyph_minimise(size):
    w, h = size
    mask = new_mask(size)
    d = ImageDraw.Draw(mask)
    bar = 1.4 * SS
    y = h / 2 + 0.5 * SS
    d.rounded_rectangle((w / 2 - 5 * SS, y - bar / 2, w / 2 + 5 * SS, y + bar / 2), radius=bar / 2, fill=255)
    return mask


def glyph_gear(size):
    w, h = size
    mask = new_mask(size)
    d = ImageDraw.Draw(mask)
    cx, cy = w / 2, h / 2
    teeth, outer, root = 8, 6.3 * SS, 4.7 * SS
    pts = []
    for k in range(teeth * 4):
        a = 2 * math.pi * k / (teeth * 4) - math.pi / (teeth * 4)
        rr = outer if k % 4 in (1, 2) else root
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    d.polygon(pts, fill=255)
    hole = 2.2 * SS
    d.ellipse((cx - hole, cy - hole, cx + hole, cy + hole), fill=0)
    return mask


def glyph_shirt(size):
    """A T-shirt, the usual sign for changing the look."""
    w, h = size
    u = SS
    cx, top = w / 2, h / 2 - 5.5 * u
    pts = [(cx - 2.4 * u, top), (cx - 6.8 * u, top + 2.2 * u), (cx - 6.8 * u, top + 5.4 * u),
           (cx - 4.4 * u, top + 5.4 * u), (cx - 4.4 * u, top + 11 * u), (cx + 4.4 * u, top + 11 * u),
           (cx + 4.4 * u, top + 5.4 * u), (cx + 6.8 * u, top + 5.4 * u), (cx + 6.8 * u, top + 2.2 * u),
           (cx + 2.4 * u, top)]
    mask = rounded_polygon_mask(size, pts, 0.45 * u)
    collar = new_mask(size)
    ImageDraw.Draw(collar).ellipse((cx - 2.4 * u, top - 2.2 * u, cx + 2.4 * u, top + 2.0 * u), fill=255)
    return ImageChops.subtract(mask, collar)


def glyph_movie(size):
    """A screen with a play mark: choosing a movie of one's own."""
    w, h = size
    u = SS
    cx, cy = w / 2, h / 2
    mask = new_mask(size)
    d = ImageDraw.Draw(mask)
    d.rounded_rectangle((cx - 6.5 * u, cy - 5 * u, cx + 6.5 * u, cy + 5 * u), radius=1.6 * u, fill=255)
    d.rounded_rectangle((cx - 5.1 * u, cy - 3.6 * u, cx + 5.1 * u, cy + 3.6 * u), radius=0.8 * u, fill=0)
    d.polygon([(cx - 1.6 * u, cy - 2.4 * u), (cx + 2.6 * u, cy), (cx - 1.6 * u, cy + 2.4 * u)], fill=255)
    return mask


def caption_button(w, h, glyph, state, on_dark=False):
    """One state of a caption button: 'normal', 'hover' or 'pressed'.

    Normal is a dark glyph with a soft white surround so it reads on light
    and dark skins alike (on a dark band: a white glyph with a dark
    surround); hover and pressed fill the button with the accent.
    """
    img = canvas(w, h)
    mask = glyph(img.size)
    if state == "normal" and on_dark:
        paint_through(img, rgba("#10181C"), halo(mask, SS, SS * 0.8, 0.6))
        paint_through(img, rgba("#F2F6F8"), mask)
    elif state == "normal":
        paint_through(img, rgba("#FFFFFF"), halo(mask, SS, SS * 0.8, 0.95))
        paint_through(img, rgba("#33444C"), mask)
    else:
        fill = ACCENT_HOVER if state == "hover" else ACCENT_PRESSED
        paint_through(img, rgba(fill, 0.94), Image.new("L", img.size, 255))
        paint_through(img, rgba("#FFFFFF"), mask)
    return downsample(img, (w, h))


# ---------------------------------------------------------------- page tiles

PAGE_SIZE = 72
TILE_BOX = (16, 6, 56, 46)  # the coloured tile
CAPTION_TOP = 52  # rows from here down are left clear for the button's caption


def page_tile(top_colour, bottom_colour, draw_glyph):
    img = canvas(PAGE_SIZE, PAGE_SIZE)
    x0, y0, x1, y1 = (v * SS for v in TILE_BOX)
    side = x1 - x0
    shadow = round_rect_mask(img.size, (x0 + 1 * SS, y0 + 2 * SS, x1 - 1 * SS, y1 + 2 * SS), 0.26 * side)
    shadow = scale_mask(shadow.filter(ImageFilter.GaussianBlur(2.2 * SS)), 0.32)
    # The blur's faint tail stops above the caption band, which stays clear.
    shadow = ImageChops.multiply(shadow, round_rect_mask(img.size, (0, 0, img.width, CAPTION_TOP * SS - 1), 0))
    paint_through(img, rgba(bottom_colour), shadow)
    tile = round_rect_mask(img.size, (x0, y0, x1 - 1, y1 - 1), 0.26 * side)
    paint_through(img, vertical_gradient(img.size, [(y0, rgba(top_colour)), (y1, rgba(bottom_colour))]), tile)
    # A faint sheen over the upper half.
    sheen = vertical_gradient(img.size, [(y0, rgba("#FFFFFF", 0.22)), (y0 + side * 0.55, rgba("#FFFFFF", 0.0))])
    paint_through(img, sheen, tile)
    glyph = new_mask(img.size)
    draw_glyph(ImageDraw.Draw(glyph), (x0, y0, side))
    paint_through(img, rgba(bottom_colour), scale_mask(glyph.filter(ImageFilter.GaussianBlur(0.8 * SS)), 0.35))
    paint_through(img, rgba("#FFFFFF"), glyph)
    return downsample(img, (PAGE_SIZE, PAGE_SIZE))


def glyph_apps(d, box):
    """Four rounded squares: a launcher of applications."""
    x0, y0, side = box
    cell, gap = side * 0.23, side * 0.09
    left = x0 + (side - 2 * cell - gap) / 2
    top = y0 + (side - 2 * cell - gap) / 2
    for row in range(2):
        for col in range(2):
            x, y = left + col * (cell + gap), top + row * (cell + gap)
            if row == 0 and col == 1:
                d.ellipse((x, y, x + cell, y + cell), fill=255)
            else:
                d.rounded_rectangle((x, y, x + cell, y + cell), radius=cell * 0.28, fill=255)


def glyph_flash(d, box):
    """A film frame with a play mark and a spark: desktop animation."""
    x0, y0, side = box
    fx0, fy0, fx1, fy1 = x0 + side * 0.2, y0 + side * 0.27, x0 + side * 0.76, y0 + side * 0.77
    line = side * 0.065
    d.rounded_rectangle((fx0, fy0, fx1, fy1), radius=side * 0.08, outline=255, width=round(line))
    for k in range(4):  # sprocket holes along top and bottom
        hx = fx0 + (fx1 - fx0) * (0.2 + 0.2 * k)
        for hy in (fy0 + line * 1.9, fy1 - line * 1.9):
            d.rectangle((hx - line * 0.5, hy - line * 0.45, hx + line * 0.5, hy + line * 0.45), fill=255)
    cx, cy = (fx0 + fx1) / 2, (fy0 + fy1) / 2
    t = side * 0.11
    d.polygon([(cx - t * 0.75, cy - t), (cx - t * 0.75, cy + t), (cx + t * 1.0, cy)], fill=255)
    # Four-pointed spark at the top right corner of the frame.
    sx, sy, r = x0 + side * 0.76, y0 + side * 0.26, side * 0.15
    k = r * 0.24
    d.polygon([(sx, sy - r), (sx + k, sy - k), (sx + r, sy), (sx + k, sy + k),
               (sx, sy + r), (sx - k, sy + k), (sx - r, sy), (sx - k, sy - k)], fill=255)


def glyph_tasks(d, box):
    """A clock face with a calendar tab: scheduled tasks."""
    x0, y0, side = box
    cx, cy, r = x0 + side * 0.5, y0 + side * 0.52, side * 0.3
    line = side * 0.07
    d.ellipse((cx - r, cy - r, cx + r, cy + r), outline=255, width=round(line))
    stroke_polyline(d, [(cx, cy - r * 0.6), (cx, cy), (cx + r * 0.45, cy + r * 0.3)], line, 255)
    # Two bells on top, as on an alarm clock.
    for side_sign in (-1, 1):
        bx = cx + side_sign * r * 0.78
        by = cy - r * 0.95
        d.pieslice((bx - r * 0.36, by - r * 0.36, bx + r * 0.36, by + r * 0.36),
                   start=180 + (0 if side_sign < 0 else 60), end=300 + (0 if side_sign < 0 else 60), fill=255)


PAGES = {
    "apps": ("#3CC3CF", "#178C9A", glyph_apps),
    "flash": ("#FFA46E", "#E4664A", glyph_flash),
    "tasks": ("#77A5F5", "#3F6FD1", glyph_tasks),
}


# ---------------------------------------------------------------- check box and marker

def list_mode_box(checked):
    size = 18
    img = canvas(size, size)
    box = (2 * SS, 2 * SS, 16 * SS - 1, 16 * SS - 1)
    radius = 3.5 * SS
    if checked:
        fill = vertical_gradient(img.size, [(box[1], rgba(ACCENT_HOVER)), (box[3], rgba(ACCENT_PRESSED))])
        paint_through(img, fill, round_rect_mask(img.size, box, radius))
        mark = stroke_mask(img.size, [(5.2 * SS, 9.2 * SS), (7.9 * SS, 11.8 * SS), (12.8 * SS, 6.4 * SS)], 1.9 * SS)
        paint_through(img, rgba("#FFFFFF"), mark)
    else:
        outer = round_rect_mask(img.size, box, radius)
        inner = round_rect_mask(img.size, (box[0] + 1.2 * SS, box[1] + 1.2 * SS, box[2] - 1.2 * SS, box[3] - 1.2 * SS), radius - 1.2 * SS)
        paint_through(img, rgba("#8FA6AE"), outer)
        paint_through(img, rgba("#FFFFFF", 0.94), inner)
    return downsample(img, (size, size))


def selection_marker():
    """The skin chooser's mark on the chosen thumbnail: a teal tick in a white ring."""
    size = 20
    img = canvas(size, size)
    c = size * SS / 2
    paint_through(img, rgba("#000000", 0.22), soft_disc(img.size, (c, c + 0.8 * SS), 8.6 * SS, 1.0 * SS))
    paint_through(img, rgba("#FFFFFF"), soft_disc(img.size, (c, c), 8.8 * SS, 0))
    paint_through(img, rgba(ACCENT), soft_disc(img.size, (c, c), 7.3 * SS, 0))
    mark = stroke_mask(img.size, [(6.0 * SS, 10.2 * SS), (8.7 * SS, 12.9 * SS), (14.0 * SS, 7.4 * SS)], 1.9 * SS)
    paint_through(img, rgba("#FFFFFF"), mark)
    return downsample(img, (size, size))
