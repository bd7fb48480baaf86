"""Drawing helpers shared by the picture generators.

Everything is drawn at SS times the final size and scaled down with a
Lanczos filter, which gives smooth anti-aliased edges without needing an
anti-aliasing rasteriser. All randomness comes from seeded generators so
that every run writes the same bytes.
"""
import math
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

SS = 4  # supersampling factor


def rgb(text):
    """'#RRGGBB' -> (r, g, b)."""
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def rgba(text, alpha=1.0):
    return rgb(text) + (round(255 * alpha),)


def mix(a, b, t):
    """Colour between a and b (tuples of equal length), t in 0..1."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def smoothstep(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3 - 2 * t)


def vertical_gradient(size, stops, mode="RGBA"):
    """Image of the given size whose rows blend between stops.

    stops: [(y, colour), ...] in ascending y (pixels of this image); colours
    are tuples matching mode. Rows above the first / below the last stop
    take that stop's colour. Blending eases in and out so no band shows.
    """
    w, h = size
    column = []
    for y in range(h):
        if y <= stops[0][0]:
            column.append(tuple(stops[0][1]))
            continue
        if y >= stops[-1][0]:
            column.append(tuple(stops[-1][1]))
            continue
        for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
            if y0 <= y <= y1:
                t = 0 if y1 == y0 else (y - y0) / (y1 - y0)
                column.append(mix(c0, c1, smoothstep(t)))
                break
    strip = Image.new(mode, (1, h))
    strip.putdata(column if mode != "L" else [c[0] for c in column])
    return strip.resize((w, h), Image.Resampling.NEAREST)


def paint_through(base, colour_or_image, mask):
    """Composites colour (or an RGBA image) over base where mask (L) is set."""
    if isinstance(colour_or_image, Image.Image):
        layer = colour_or_image.copy()
    else:
        layer = Image.new("RGBA", base.size, colour_or_image)
    alpha = ImageChops.multiply(layer.getchannel("A"), mask)
    layer.putalpha(alpha)
    base.alpha_composite(layer)


def new_mask(size):
    return Image.new("L", size, 0)


def round_rect_mask(size, box, radius):
    mask = new_mask(size)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)
    return mask


def soft_disc(size, centre, radius, blur):
    """Mask of a disc with a blurred edge (a glow)."""
    mask = new_mask(size)
    cx, cy = centre
    ImageDraw.Draw(mask).ellipse((cx - radius, cy - radius, cx + radius, cy + radius), fill=255)
    if blur > 0:
        mask = mask.filter(ImageFilter.GaussianBlur(blur))
    return mask


def scale_mask(mask, factor):
    """Mask with every value multiplied by factor (0..1)."""
    return mask.point(lambda v: round(v * factor))


def downsample(img, size=None, factor=SS):
    if size is None:
        size = (img.width // factor, img.height // factor)
    return img.resize(size, Image.Resampling.LANCZOS)


def ridge_profile(rng, width, base, amplitude, roughness=0.55, smoothing=0.02, peaks=()):
    """Heights (one y per column) of a mountain ridge line.

    Midpoint displacement gives the natural, uneven skyline; a light moving
    average rounds it into the soft hills of an ink landscape. peaks adds
    gentle bumps: (x fraction, height fraction of amplitude, width fraction).
    """
    n = 1
    while n + 1 < 257:
        n *= 2
    points = [0.0] * (n + 1)
    points[0] = rng.uniform(0.2, 0.8)
    points[n] = rng.uniform(0.2, 0.8)
    step, scale = n, 1.0
    while step > 1:
        half = step // 2
        for i in range(half, n, step):
            points[i] = (points[i - half] + points[i + half]) / 2 + rng.uniform(-0.5, 0.5) * scale
        step, scale = half, scale * roughness
    # Stretch over the width with linear interpolation.
    heights = []
    for x in range(width):
        p = x / max(1, width - 1) * n
        i = min(int(p), n - 1)
        t = p - i
        heights.append(points[i] * (1 - t) + points[i + 1] * t)
    window = max(1, int(width * smoothing))
    if window > 1:
        prefix = [0.0]
        for v in heights:
            prefix.append(prefix[-1] + v)
        smoothed = []
        for x in range(width):
            a, b = max(0, x - window), min(width, x + window + 1)
            smoothed.append((prefix[b] - prefix[a]) / (b - a))
        heights = smoothed
    lo, hi = min(heights), max(heights)
    span = (hi - lo) or 1.0
    heights = [(v - lo) / span for v in heights]
    for px, ph, pw in peaks:
        for x in range(width):
            d = (x / width - px) / pw
            heights[x] += ph * math.exp(-d * d)
    return [base - amplitude * v for v in heights]


def ridge_mask(size, profile):
    """Mask of everything below the ridge line."""
    w, h = size
    mask = new_mask(size)
    outline = [(0, h)] + [(x, profile[x]) for x in range(w)] + [(w - 1, h)]
    ImageDraw.Draw(mask).polygon(outline, fill=255)
    return mask


def ridge_layer(base, profile, colour, alpha, fade_from, fade_to):
    """Paints a ridge whose opacity fades with height into mist.

    The ridge is at full `alpha` above y = fade_from and gone by y = fade_to,
    the way far hills dissolve into a valley's mist.
    """
    fade = vertical_gradient(base.size, [(fade_from, (round(255 * alpha),)), (fade_to, (0,))], mode="L")
    mask = ImageChops.multiply(ridge_mask(base.size, profile), fade)
    paint_through(base, rgba(colour) if isinstance(colour, str) else colour, mask)


def noise_image(size, seed, levels):
    """Grey noise 0..levels-1, the same for a given seed."""
    rng = random.Random(seed)
    data = bytes(b % levels for b in rng.randbytes(size[0] * size[1]))
    return Image.frombytes("L", size, data)


def dither(img, seed, strength=2):
    """Adds faint zero-mean noise so smooth gradients do not band in JPEG."""
    rgb_img = img.convert("RGB")
    up = Image.merge("RGB", [noise_image(img.size, seed, strength + 1)] * 3)
    down = Image.merge("RGB", [noise_image(img.size, seed + 1, strength + 1)] * 3)
    return ImageChops.subtract(ImageChops.add(rgb_img, up), down)


def stroke_polyline(draw, points, width, fill):
    """A polyline with round joins and caps (ImageDraw's own joins are mitred)."""
    draw.line(points, fill=fill, width=round(width), joint="curve")
    r = width / 2
    for x, y in (points[0], points[-1]):
        draw.ellipse((x - r, y - r, x + r, y + r), fill=fill)


def halo(mask, spread, blur, strength):
    """A soft light surround of a glyph mask, to keep it readable on any skin."""
    grown = mask.filter(ImageFilter.MaxFilter(spread * 2 + 1)) if spread > 0 else mask
    return scale_mask(grown.filter(ImageFilter.GaussianBlur(blur)), strength)


def overlay(base):
    """A clear layer the size of base and a pen for it.

    ImageDraw stores RGBA fills as they are instead of blending them, so
    translucent shapes are drawn here and composited with base.alpha_composite.
    """
    layer = Image.new("RGBA", base.size, (0, 0, 0, 0))
    return layer, ImageDraw.Draw(layer)
