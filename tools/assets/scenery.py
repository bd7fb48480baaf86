"""Skin pictures: a misty mountain header over a calm, light content area.

The control window is 312 x 653 by default and its controls sit at fixed
places: caption buttons along the top right (y 0..20), three 72 x 72 page
buttons at y 35, the list-mode box at (W - 20, 102), the category tabs at
y 118 and the item list below. Each picture keeps the scenery in the header
(peaks around y 40..80, mist over the page-button captions at y 85..115)
and fades into a near-white content area that dark text (#26343B) reads on.
Nothing has a hard edge at a fixed height, so the picture also looks right
when a skinned window stretches it to another size.
"""
import math
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

from paint import (SS, dither, downsample, new_mask, noise_image, overlay, paint_through,
                   ridge_layer, ridge_profile, rgba, scale_mask, soft_disc, vertical_gradient)

WIDTH, HEIGHT = 312, 653


def s(v):
    """1x pixels -> supersampled pixels."""
    return round(v * SS)


class Theme:
    def __init__(self, name, seed, sky, content, ridges, mist="#FFFFFF", mist_alpha=0.55,
                 watermark=None, decorations=()):
        self.name = name
        self.seed = seed
        self.sky = sky                # [(y, '#RRGGBB'), ...] header stops, y at 1x
        self.content = content        # (top colour, bottom colour) of the list area
        self.ridges = ridges          # far to near: (base y, amplitude, colour, alpha, peaks)
        self.mist = mist
        self.mist_alpha = mist_alpha
        self.watermark = watermark    # (colour, alpha) of the faint hills at the bottom
        self.decorations = decorations


# ---------------------------------------------------------------- decorations

def sun(x, y, r, colour, glow=2.6, glow_alpha=0.55, alpha=0.95):
    def draw(img, rng):
        paint_through(img, rgba(colour), scale_mask(soft_disc(img.size, (s(x), s(y)), s(r * glow), s(r * glow * 0.55)), glow_alpha))
        paint_through(img, rgba(colour), scale_mask(soft_disc(img.size, (s(x), s(y)), s(r), s(0.6)), alpha))
    return draw


def moon(x, y, r, colour="#FFF4D6"):
    def draw(img, rng):
        paint_through(img, rgba(colour), scale_mask(soft_disc(img.size, (s(x), s(y)), s(r * 3.2), s(r * 1.8)), 0.35))
        disc = soft_disc(img.size, (s(x), s(y)), s(r), s(0.4))
        bite = soft_disc(img.size, (s(x + r * 0.55), s(y - r * 0.35)), s(r * 0.9), s(0.4))
        paint_through(img, rgba(colour), ImageChops.subtract(disc, bite))
    return draw


def stars(count, top, bottom, avoid=None, colour="#FFFFFF"):
    def draw(img, rng):
        layer, d = overlay(img)
        for _ in range(count):
            x, y = rng.uniform(4, WIDTH - 4), rng.uniform(top, bottom)
            if avoid and math.hypot(x - avoid[0], y - avoid[1]) < avoid[2]:
                continue
            r = rng.choice((0.45, 0.55, 0.7, 0.9))
            a = rng.uniform(0.45, 0.95) * (1 - 0.6 * (y - top) / (bottom - top))
            d.ellipse((s(x - r), s(y - r), s(x + r), s(y + r)), fill=rgba(colour, a))
            if r >= 0.9:  # a few bright ones twinkle
                for dx, dy in ((2.6, 0), (0, 2.6)):
                    d.line((s(x - dx), s(y - dy), s(x + dx), s(y + dy)), fill=rgba(colour, a * 0.6), width=s(0.35))
        img.alpha_composite(layer)
    return draw


def birds(spots, colour, alpha=0.55):
    def draw(img, rng):
        layer, d = overlay(img)
        for x, y, size in spots:
            w = size
            for side in (-1, 1):
                pts = [(x + side * w * t, y - w * 0.45 * math.sin(math.pi * t) + w * 0.12 * t) for t in (0, 0.2, 0.4, 0.6, 0.8, 1.0)]
                d.line([(s(px), s(py)) for px, py in pts], fill=rgba(colour, alpha), width=s(0.95), joint="curve")
        img.alpha_composite(layer)
    return draw


def petal_shape(length, width, colour, alpha):
    """One cherry petal, pointing up, with the notch at its tip."""
    img = Image.new("RGBA", (s(width) + 4, s(length) + 4), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)  # a fresh clear picture: plain writes are right here
    w, h = s(width), s(length)
    d.ellipse((2, 2, 2 + w, 2 + h), fill=rgba(colour, alpha))
    d.polygon([(2 + w * 0.5 - w * 0.12, 2), (2 + w * 0.5, 2 + h * 0.16), (2 + w * 0.5 + w * 0.12, 2)], fill=(0, 0, 0, 0))
    return img


def blossom(img, x, y, r, colour, centre):
    for k in range(5):
        petal = petal_shape(r * 1.15, r * 0.85, colour, 0.92)
        angle = 72 * k + 12
        rotated = petal.rotate(angle, resample=Image.Resampling.BICUBIC, expand=True)
        # Petal base at the flower centre, tip outwards.
        a = math.radians(angle + 90)
        cx, cy = s(x) + math.cos(a) * s(r * 0.55), s(y) - math.sin(a) * s(r * 0.55)
        img.alpha_composite(rotated, (round(cx - rotated.width / 2), round(cy - rotated.height / 2)))
    layer, d = overlay(img)
    d.ellipse((s(x - r * 0.28), s(y - r * 0.28), s(x + r * 0.28), s(y + r * 0.28)), fill=rgba(centre, 0.9))
    img.alpha_composite(layer)


def sakura_branch():
    def draw(img, rng):
        layer, d = overlay(img)
        bark = rgba("#8C6A70", 0.62)
        main = [(-4, 6), (26, 12), (52, 15), (80, 20), (108, 21), (132, 27)]
        twigs = [[(52, 15), (60, 5), (70, 0)], [(80, 20), (92, 30), (104, 33)], [(26, 12), (34, 24), (40, 30)]]
        for path, width in [(main, 2.4)] + [(t, 1.2) for t in twigs]:
            for (x0, y0), (x1, y1) in zip(path, path[1:]):
                d.line((s(x0), s(y0), s(x1), s(y1)), fill=bark, width=s(width))
                d.ellipse((s(x1 - width / 2), s(y1 - width / 2), s(x1 + width / 2), s(y1 + width / 2)), fill=bark)
            width *= 0.8
        img.alpha_composite(layer)
        for x, y, r in ((70, 2, 4.2), (104, 32, 4.6), (40, 29, 3.6), (132, 26, 4.4), (88, 13, 3.2), (18, 6, 3.0), (118, 16, 2.8)):
            blossom(img, x, y, r, "#F6B3C6", "#D96A8A")
    return draw


def falling_petals(count, region, colour="#F2A7BC", alpha=(0.35, 0.75)):
    def draw(img, rng):
        x0, y0, x1, y1 = region
        for _ in range(count):
            x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
            size = rng.uniform(2.6, 4.4)
            petal = petal_shape(size, size * 0.7, colour, rng.uniform(*alpha))
            petal = petal.rotate(rng.uniform(0, 360), resample=Image.Resampling.BICUBIC, expand=True)
            img.alpha_composite(petal, (s(x), s(y)))
    return draw


def leaf_polygon(cx, cy, r, angle):
    """A maple leaf: five pointed lobes (long in the middle, short at the base)."""
    lobes = [(0, 1.0, 30), (52, 0.86, 26), (-52, 0.86, 26), (112, 0.55, 22), (-112, 0.55, 22)]
    pts = []
    for k in range(360):
        theta = k - 180  # degrees from the leaf's tip direction
        rr = 0.3
        for centre, length, half in lobes:
            d = abs(theta - centre)
            if d < half:
                rr = max(rr, 0.3 + (length - 0.3) * (1 - d / half) ** 1.6)
        a = angle + math.radians(theta)
        pts.append((cx + r * rr * math.sin(a), cy - r * rr * math.cos(a)))
    return pts


def maple_leaves(spots, colours):
    def draw(img, rng):
        layer, d = overlay(img)
        for i, (x, y, r, a) in enumerate(spots):
            colour = colours[i % len(colours)]
            angle = rng.uniform(-0.8, 0.8)
            d.polygon([(s(px), s(py)) for px, py in leaf_polygon(x, y, r, angle)], fill=rgba(colour, a))
            stem_a = angle + math.pi
            d.line((s(x), s(y), s(x + r * 0.9 * math.sin(stem_a)), s(y - r * 0.9 * math.cos(stem_a))),
                   fill=rgba(colour, a), width=s(0.5))
        img.alpha_composite(layer)
    return draw


def snowflakes(count, region, colour="#FFFFFF"):
    def draw(img, rng):
        layer, d = overlay(img)
        x0, y0, x1, y1 = region
        for _ in range(count):
            x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
            r = rng.choice((0.7, 0.9, 1.1, 1.4))
            fade = 1 - max(0.0, (y - 100) / (y1 - 100)) if y1 > 100 else 1
            a = rng.uniform(0.6, 0.95) * fade
            d.ellipse((s(x - r), s(y - r), s(x + r), s(y + r)), fill=rgba(colour, a))
            if r >= 1.4:  # larger flakes get six arms
                for k in range(3):
                    ang = math.pi / 3 * k
                    dx, dy = 2.8 * math.cos(ang), 2.8 * math.sin(ang)
                    d.line((s(x - dx), s(y - dy), s(x + dx), s(y + dy)), fill=rgba(colour, a), width=s(0.45))
        img.alpha_composite(layer)
    return draw


def bamboo(stalks, colour, leaf_colour):
    """Bamboo at the right edge, fading out above the tab strip."""
    def draw(img, rng):
        layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        for x, width, lean, alpha in stalks:
            y = -10
            while y < 170:
                seg = rng.uniform(26, 34)
                xa, xb = x + lean * y, x + lean * (y + seg)
                d.polygon([(s(xa - width / 2), s(y + 0.8)), (s(xa + width / 2), s(y + 0.8)),
                           (s(xb + width / 2), s(y + seg - 0.8)), (s(xb - width / 2), s(y + seg - 0.8))],
                          fill=rgba(colour, alpha))
                # The node ring between segments.
                d.rounded_rectangle((s(xb - width / 2 - 0.6), s(y + seg - 0.9), s(xb + width / 2 + 0.6), s(y + seg + 0.3)),
                                    radius=s(0.5), fill=rgba(colour, min(1.0, alpha + 0.15)))
                y += seg
        for x, y, length, angle, alpha in _bamboo_leaves(rng):
            leaf = Image.new("RGBA", (s(length) + 4, s(length * 0.22) + 4), (0, 0, 0, 0))
            ld = ImageDraw.Draw(leaf)
            w, h = s(length), s(length * 0.22)
            pts = []
            for k in range(25):
                t = k / 24
                pts.append((2 + w * t, 2 + h / 2 - h / 2 * math.sin(math.pi * t ** 0.8)))
            for k in range(25):
                t = 1 - k / 24
                pts.append((2 + w * t, 2 + h / 2 + h / 2 * math.sin(math.pi * t ** 0.8)))
            ld.polygon(pts, fill=rgba(leaf_colour, alpha))
            rotated = leaf.rotate(angle, resample=Image.Resampling.BICUBIC, expand=True)
            # Leaves hang from their base (the left end before rotation).
            a = math.radians(angle)
            bx = s(x) + math.cos(a) * w / 2
            by = s(y) - math.sin(a) * w / 2
            layer.alpha_composite(rotated, (round(bx - rotated.width / 2), round(by - rotated.height / 2)))
        # Faint behind the caption buttons, gone before the tab strip.
        fade = vertical_gradient(img.size, [(0, (110,)), (s(28), (255,)), (s(100), (255,)), (s(165), (0,))], mode="L")
        layer.putalpha(ImageChops.multiply(layer.getchannel("A"), fade))
        img.alpha_composite(layer)
    return draw


def _bamboo_leaves(rng):
    clusters = [(276, 34), (300, 58), (262, 74)]
    for cx, cy in clusters:
        for _ in range(4):
            yield (cx + rng.uniform(-3, 3), cy + rng.uniform(-3, 3), rng.uniform(15, 22),
                   rng.uniform(150, 235), rng.uniform(0.45, 0.7))


def lake(top, bottom, tint, streak_colour="#FFFFFF"):
    """Still water in the valley: a faint reflection of the hills and light streaks."""
    def draw(img, rng):
        water = vertical_gradient(img.size, [(s(top - 6), rgba(tint, 0.0)), (s(top + 6), rgba(tint, 0.35)),
                                             (s(bottom - 8), rgba(tint, 0.22)), (s(bottom + 10), rgba(tint, 0.0))])
        img.alpha_composite(water)
        layer, d = overlay(img)
        for _ in range(26):
            y = rng.uniform(top + 2, bottom - 4)
            x = rng.uniform(-10, WIDTH)
            length = rng.uniform(14, 60)
            a = rng.uniform(0.35, 0.75) * (1 - (y - top) / (bottom - top) * 0.5)
            d.line((s(x), s(y), s(x + length), s(y)), fill=rgba(streak_colour, a), width=s(0.6))
        img.alpha_composite(layer)
    return draw


def seal(x, y, size, colour="#B83A2E"):
    """A small red artist's seal, as on an ink painting (abstract strokes, no text)."""
    def draw(img, rng):
        layer, d = overlay(img)
        d.rounded_rectangle((s(x), s(y), s(x + size), s(y + size)), radius=s(1.2), fill=rgba(colour, 0.82))
        inner = rgba("#F7EFE6", 0.9)
        m = size * 0.2
        d.rounded_rectangle((s(x + m * 0.55), s(y + m * 0.55), s(x + size - m * 0.55), s(y + size - m * 0.55)),
                            radius=s(0.8), outline=inner, width=s(0.5))
        # The carving: 山 (mountain), three strokes on a base.
        left, right, bottom = x + m * 1.7, x + size - m * 1.7, y + size - m * 1.7
        mid = (left + right) / 2
        d.line((s(left), s(bottom), s(right), s(bottom)), fill=inner, width=s(0.9))
        d.line((s(mid), s(y + m * 1.5), s(mid), s(bottom)), fill=inner, width=s(0.9))
        for xx in (left + 0.45, right - 0.45):
            d.line((s(xx), s(y + size * 0.42), s(xx), s(bottom)), fill=inner, width=s(0.9))
        img.alpha_composite(layer)
    return draw


def paper_grain(strength):
    """Rice-paper grain for the ink skin."""
    def draw(img, rng):
        grain = noise_image((img.width // 2, img.height // 2), 4242, 256)
        grain = grain.filter(ImageFilter.GaussianBlur(1.2)).resize(img.size, Image.Resampling.BILINEAR)
        shade = Image.merge("RGBA", [Image.new("L", img.size, 90)] * 3 + [grain.point(lambda v: max(0, v - 128) * strength // 64)])
        img.alpha_composite(shade)
    return draw


# ---------------------------------------------------------------- the picture

def paint_scene(theme, size=(WIDTH, HEIGHT)):
    rng = random.Random(theme.seed)
    w, h = s(size[0]), s(size[1])
    content_top, content_bottom = theme.content
    stops = [(s(y), rgba(c)) for y, c in theme.sky]
    stops += [(s(150), rgba(content_top)), (s(size[1]), rgba(content_bottom))]
    img = vertical_gradient((w, h), stops)

    # Decorations that belong to the sky go behind the hills.
    sky_layer, front_layer = [], []
    for deco in theme.decorations:
        (front_layer if getattr(deco, "front", False) else sky_layer).append(deco)
    for deco in sky_layer:
        deco(img, rng)

    for base, amplitude, colour, alpha, peaks in theme.ridges:
        profile = ridge_profile(rng, w, s(base), s(amplitude), peaks=peaks)
        ridge_layer(img, profile, colour, alpha, min(profile), s(base + 26))
        # Mist at the foot of each range keeps the ranges apart.
        mist = scale_mask(soft_disc_band((w, h), s(base + 6), s(9)), theme.mist_alpha)
        paint_through(img, rgba(theme.mist), mist)

    # The broad band of mist behind the page-button captions and the tabs.
    band = scale_mask(soft_disc_band((w, h), s(106), s(18)), min(1.0, theme.mist_alpha + 0.25))
    paint_through(img, rgba(theme.mist), band)
    blend = vertical_gradient((w, h), [(s(112), rgba(content_top, 0.0)), (s(150), rgba(content_top, 1.0))])
    img.alpha_composite(blend)

    if theme.watermark:
        colour, alpha = theme.watermark
        for base, amplitude, a in ((size[1] - 40, 36, alpha * 0.6), (size[1] - 14, 26, alpha)):
            profile = ridge_profile(rng, w, s(base), s(amplitude), peaks=((0.78, 0.5, 0.12),))
            ridge_layer(img, profile, colour, a, min(profile), s(size[1] + 10))

    for deco in front_layer:
        deco(img, rng)

    out = downsample(img, size)
    return dither(out, theme.seed + 99)


def soft_disc_band(size, y, half_height):
    """A horizontal band of mist: solid in the middle, soft at top and bottom."""
    mask = new_mask(size)
    ImageDraw.Draw(mask).rectangle((0, y - half_height // 2, size[0], y + half_height // 2), fill=255)
    return mask.filter(ImageFilter.GaussianBlur(half_height * 0.6))


def front(deco):
    """Marks a decoration that is drawn over the hills and the mist."""
    deco.front = True
    return deco


# ---------------------------------------------------------------- the themes

DEFAULT = Theme(
    "qinglan", 1201,
    sky=[(0, "#CDE7EB"), (60, "#E4F2F4"), (112, "#F4FAFA")],
    content=("#F6FAFB", "#ECF4F5"),
    ridges=[(70, 34, "#A7CFD5", 0.75, ((0.82, 0.55, 0.07),)),
            (84, 28, "#74B6BF", 0.62, ((0.18, 0.3, 0.1),)),
            (98, 20, "#3E9AA6", 0.42, ())],
    watermark=("#1B9AAA", 0.11),
    decorations=[sun(290, 32, 9, "#FFF3D9", glow=3.4, glow_alpha=0.7)],
)

THEMES = [
    # 2 晨雾: cool morning mist, the quietest of the set.
    Theme("mist", 202,
          sky=[(0, "#D6DEE5"), (70, "#E9EEF2"), (112, "#F5F7F9")],
          content=("#F6F8FA", "#ECF0F4"),
          ridges=[(66, 30, "#BCC8D2", 0.8, ((0.3, 0.4, 0.08),)),
                  (82, 26, "#98A9B7", 0.6, ((0.75, 0.5, 0.09),)),
                  (98, 18, "#6F8597", 0.45, ())],
          mist_alpha=0.7, watermark=("#5F7487", 0.10),
          decorations=[sun(60, 30, 11, "#FFFFFF", glow=3.0, glow_alpha=0.7, alpha=0.8)]),
    # 3 破晓: dawn, rose and apricot light over violet hills.
    Theme("dawn", 303,
          sky=[(0, "#E9CFDC"), (45, "#F7DDD2"), (85, "#FCEBD9"), (112, "#FDF4EC")],
          content=("#FDF9F6", "#F7EEE9"),
          ridges=[(70, 30, "#D9B5C3", 0.75, ((0.7, 0.4, 0.1),)),
                  (86, 26, "#B793A6", 0.6, ((0.25, 0.45, 0.08),)),
                  (100, 18, "#8D6D84", 0.45, ())],
          mist="#FFF8F1", watermark=("#A57088", 0.11),
          decorations=[sun(282, 44, 12, "#FFE3B3", glow=3.4, glow_alpha=0.75),
                       front(birds([(40, 19, 5.5), (55, 13, 4.2), (64, 23, 3.4)], "#6E4E62", 0.55))]),
    # 4 翠玉: jade green hills.
    Theme("jade", 404,
          sky=[(0, "#CFE9DC"), (60, "#E3F3EA"), (112, "#F2F9F5")],
          content=("#F5FBF8", "#EAF5EF"),
          ridges=[(68, 32, "#A5D4BC", 0.78, ((0.55, 0.5, 0.09),)),
                  (84, 27, "#6DB794", 0.62, ((0.15, 0.35, 0.08), (0.85, 0.3, 0.06))),
                  (99, 19, "#2F8F6B", 0.45, ())],
          watermark=("#2F8F6B", 0.11),
          decorations=[sun(250, 36, 9, "#F8FFF0", glow=3.0, glow_alpha=0.6)]),
    # 5 水墨: ink wash on rice paper with a red seal.
    Theme("ink", 505,
          sky=[(0, "#EDEBE5"), (70, "#F3F1EC"), (112, "#F7F5F1")],
          content=("#F7F5F1", "#EFECE5"),
          ridges=[(64, 34, "#BDBCB7", 0.8, ((0.8, 0.6, 0.06),)),
                  (82, 28, "#8C8D89", 0.7, ((0.3, 0.4, 0.07),)),
                  (98, 20, "#4E504F", 0.5, ())],
          mist="#F8F6F1", mist_alpha=0.7, watermark=("#3C3E3D", 0.10),
          decorations=[sun(56, 26, 9, "#FFFFFF", glow=2.4, glow_alpha=0.5, alpha=0.7),
                       front(birds([(232, 20, 5.0), (246, 26, 3.8)], "#3C3E3D", 0.6)),
                       front(seal(284, 58, 13)), front(paper_grain(10))]),
    # 6 樱: cherry blossom.
    Theme("sakura", 606,
          sky=[(0, "#FADDE5"), (60, "#FCEAEE"), (112, "#FDF5F7")],
          content=("#FFF9FA", "#F9EEF1"),
          ridges=[(72, 28, "#EBC3CF", 0.7, ((0.78, 0.6, 0.08),)),
                  (87, 24, "#D9A1B3", 0.55, ((0.2, 0.3, 0.1),)),
                  (100, 16, "#C07F96", 0.4, ())],
          mist="#FFF7F9", watermark=("#C07F96", 0.10),
          decorations=[front(sakura_branch()),
                       front(falling_petals(9, (200, 22, 300, 96))),
                       front(falling_petals(5, (262, 180, 302, 620), alpha=(0.18, 0.3)))]),
    # 7 夜: moonlit night; the header is dusk blue, the list stays light.
    Theme("night", 707,
          sky=[(0, "#2C3A63"), (40, "#4A5A8C"), (76, "#97A5CD"), (104, "#D8DEF0")],
          content=("#F4F6FB", "#E9EDF6"),
          ridges=[(70, 30, "#5A6A9B", 0.75, ((0.62, 0.5, 0.08),)),
                  (86, 26, "#44528A", 0.6, ((0.2, 0.35, 0.1),)),
                  (100, 18, "#36427A", 0.3, ())],
          mist="#DDE3F3", mist_alpha=0.6, watermark=("#36427A", 0.11),
          decorations=[stars(70, 2, 70, avoid=(40, 18, 12)), moon(40, 17, 8)]),
    # 8 秋: autumn amber with a few maple leaves.
    Theme("autumn", 808,
          sky=[(0, "#F4DDBF"), (60, "#F9EAD6"), (112, "#FCF5EC")],
          content=("#FDFAF5", "#F6EFE4"),
          ridges=[(70, 30, "#E4BC94", 0.72, ((0.3, 0.45, 0.08),)),
                  (85, 26, "#CC9064", 0.58, ((0.8, 0.5, 0.07),)),
                  (100, 18, "#A8643C", 0.42, ())],
          mist="#FFF9F1", watermark=("#A8643C", 0.10),
          decorations=[sun(64, 30, 10, "#FFF1D2", glow=3.0, glow_alpha=0.6),
                       front(maple_leaves([(262, 34, 7.8, 0.72), (290, 50, 6.0, 0.62), (248, 66, 5.0, 0.5),
                                           (298, 26, 4.6, 0.55), (282, 80, 4.2, 0.4), (12, 24, 4.8, 0.45)],
                                          ["#D9652E", "#E59A34", "#C8452E"]))]),
    # 9 湖: a blue lake beneath the hills.
    Theme("lake", 909,
          sky=[(0, "#C9DFF2"), (60, "#DDEBF7"), (112, "#EEF5FB")],
          content=("#F5F9FD", "#EAF1F8"),
          ridges=[(68, 30, "#A6C4E2", 0.75, ((0.8, 0.55, 0.08),)),
                  (82, 26, "#7AA3CF", 0.6, ((0.35, 0.4, 0.09),))],
          mist="#F5F9FD", watermark=("#4B7FB5", 0.10),
          decorations=[sun(262, 30, 9, "#FFFFFF", glow=3.0, glow_alpha=0.75, alpha=0.9),
                       front(lake(92, 124, "#8FB4DA"))]),
    # 10 雪: snow on the peaks, flakes in the air.
    Theme("snow", 1010,
          sky=[(0, "#C8D9E8"), (60, "#DCE7F0"), (112, "#F3F7FA")],
          content=("#F9FBFD", "#EEF3F7"),
          ridges=[(68, 32, "#A9BDCE", 0.85, ((0.6, 0.6, 0.07),)),
                  (84, 26, "#8AA3B9", 0.65, ((0.2, 0.4, 0.09),)),
                  (99, 18, "#6C8BA5", 0.4, ())],
          mist="#FAFCFE", mist_alpha=0.6, watermark=("#6C8BA5", 0.10),
          decorations=[front(snowflakes(60, (4, 4, 308, 140))),
                       front(snowflakes(14, (200, 160, 308, 640)))]),
    # 11 竹: bamboo grove in green.
    Theme("bamboo", 1111,
          sky=[(0, "#DDEED6"), (60, "#EAF4E4"), (112, "#F5FAF2")],
          content=("#F7FBF5", "#EDF4E9"),
          ridges=[(72, 26, "#BBD8AE", 0.72, ((0.4, 0.4, 0.1),)),
                  (88, 22, "#8DBE7F", 0.55, ((0.75, 0.3, 0.08),))],
          mist="#F8FCF6", watermark=("#4F8F46", 0.10),
          decorations=[front(bamboo([(300, 5.0, -0.02, 0.5), (280, 3.8, 0.03, 0.38), (312, 4.2, -0.05, 0.32)],
                                    "#5E9A55", "#4F8F46"))]),
    # 12 紫霞: violet evening glow.
    Theme("dusk", 1212,
          sky=[(0, "#DCCDEB"), (50, "#EFDDE8"), (90, "#FAE6DC"), (112, "#FCF2EC")],
          content=("#FBF8FC", "#F2EDF6"),
          ridges=[(70, 30, "#C9B6DC", 0.75, ((0.25, 0.5, 0.08),)),
                  (86, 26, "#A08AC4", 0.6, ((0.78, 0.45, 0.09),)),
                  (100, 18, "#7763A6", 0.42, ())],
          mist="#FDF5F3", watermark=("#7763A6", 0.10),
          decorations=[sun(46, 24, 12, "#FFD9B8", glow=3.6, glow_alpha=0.7)]),
]
