"""A minimal Flash movie of the program mark, written byte by byte.

One frame on a 128 x 128 stage: the teal tile, the round window, the sun
and two ranges of hills fading into mist, each a DefineShape3 with a solid
or linear-gradient fill, placed at its own depth. Compressed ("CWS"),
version 8.
"""
import math
import struct
import zlib

TWIPS = 20
STAGE = 128  # pixels


def signed_bits(v):
    return (v if v >= 0 else ~v).bit_length() + 1


class Bits:
    """Big-endian bit packing as the SWF format uses it."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def ub(self, value, nbits):
        for i in range(nbits - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.count += 1
            if self.count == 8:
                self.out.append(self.acc)
                self.acc = self.count = 0

    def sb(self, value, nbits):
        assert signed_bits(value) <= nbits
        self.ub(value & ((1 << nbits) - 1), nbits)

    def align(self):
        if self.count:
            self.ub(0, 8 - self.count)

    def bytes(self):
        self.align()
        return bytes(self.out)


def rect(xmin, xmax, ymin, ymax):
    bits = Bits()
    n = max(signed_bits(v) for v in (xmin, xmax, ymin, ymax))
    bits.ub(n, 5)
    for v in (xmin, xmax, ymin, ymax):
        bits.sb(v, n)
    return bits.bytes()


def vertical_gradient_matrix(y0, y1, x_centre):
    """Maps the gradient square (-16384..16384) onto y0..y1 (twips), top to bottom."""
    scale = round((y1 - y0) / 32768 * 65536)  # 16.16 fixed point
    bits = Bits()
    bits.ub(1, 1)  # HasScale: both scales 0, the rotation does the work
    bits.ub(1, 5)
    bits.sb(0, 1)
    bits.sb(0, 1)
    bits.ub(1, 1)  # HasRotate
    n = max(signed_bits(scale), signed_bits(-scale))
    bits.ub(n, 5)
    bits.sb(scale, n)   # RotateSkew0: gradient x -> stage y
    bits.sb(-scale, n)  # RotateSkew1
    tx, ty = x_centre, (y0 + y1) // 2
    n = max(signed_bits(tx), signed_bits(ty))
    bits.ub(n, 5)
    bits.sb(tx, n)
    bits.sb(ty, n)
    return bits.bytes()


def solid_fill(rgba):
    return bytes([0x00]) + bytes(rgba)


def gradient_fill(y0, y1, stops):
    """Linear gradient fill running down from y0 to y1: stops = [(ratio 0..255, rgba)]."""
    out = bytes([0x10]) + vertical_gradient_matrix(y0, y1, STAGE * TWIPS // 2)
    out += bytes([len(stops)])  # pad spread, normal interpolation, count
    for ratio, colour in stops:
        out += bytes([ratio]) + bytes(colour)
    return out


def shape_records(paths):
    """Edges of closed clockwise paths (points in twips), filled with the one fill style.

    A path is a start point followed by segments ('L', x, y) or
    ('Q', cx, cy, x, y), all absolute; deltas are taken between rounded
    points so every path closes exactly.
    """
    bits = Bits()
    bits.ub(1, 4)  # NumFillBits
    bits.ub(0, 4)  # NumLineBits
    for start, segments in paths:
        x, y = start
        # StyleChangeRecord: move to the start and fill on the right-hand side
        # of the edges (fill style 1), the inside of a path drawn clockwise.
        bits.ub(0, 1)
        bits.ub(0, 1)  # new styles
        bits.ub(0, 1)  # line style
        bits.ub(1, 1)  # fill style 1
        bits.ub(0, 1)  # fill style 0
        bits.ub(1, 1)  # move to
        n = max(signed_bits(x), signed_bits(y))
        bits.ub(n, 5)
        bits.sb(x, n)
        bits.sb(y, n)
        bits.ub(1, 1)  # fill style 1 = the first (and only) fill
        for seg in segments:
            if seg[0] == "L":
                dx, dy = seg[1] - x, seg[2] - y
                n = max(2, signed_bits(dx), signed_bits(dy))
                bits.ub(1, 1)
                bits.ub(1, 1)
                bits.ub(n - 2, 4)
                bits.ub(1, 1)  # general line
                bits.sb(dx, n)
                bits.sb(dy, n)
                x, y = seg[1], seg[2]
            else:
                cdx, cdy = seg[1] - x, seg[2] - y
                adx, ady = seg[3] - seg[1], seg[4] - seg[2]
                n = max(2, *(signed_bits(v) for v in (cdx, cdy, adx, ady)))
                bits.ub(1, 1)
                bits.ub(0, 1)
                bits.ub(n - 2, 4)
                for v in (cdx, cdy, adx, ady):
                    bits.sb(v, n)
                x, y = seg[3], seg[4]
    bits.ub(0, 6)  # end of shape
    return bits.bytes()


def tag(code, body):
    if len(body) < 0x3F:
        return struct.pack("<H", (code << 6) | len(body)) + body
    return struct.pack("<HI", (code << 6) | 0x3F, len(body)) + body


def define_shape3(shape_id, fill, paths):
    xs = [p[0] for start, segs in paths for p in [start] + [s[-2:] for s in segs]]
    ys = [p[1] for start, segs in paths for p in [start] + [s[-2:] for s in segs]]
    body = struct.pack("<H", shape_id) + rect(min(xs), max(xs), min(ys), max(ys))
    body += bytes([1]) + fill + bytes([0])  # one fill style, no line styles
    body += shape_records(paths)
    return tag(32, body)


def place(shape_id, depth):
    return tag(26, bytes([0x02]) + struct.pack("<HH", depth, shape_id))


# ---------------------------------------------------------------- geometry

def tw(v):
    """Stage fraction -> whole twips."""
    return round(v * STAGE * TWIPS)


def rounded_square(x0, y0, x1, y1, r):
    X0, Y0, X1, Y1, R = tw(x0), tw(y0), tw(x1), tw(y1), tw(r)
    return ((X0 + R, Y0), [("L", X1 - R, Y0), ("Q", X1, Y0, X1, Y0 + R), ("L", X1, Y1 - R),
                           ("Q", X1, Y1, X1 - R, Y1), ("L", X0 + R, Y1), ("Q", X0, Y1, X0, Y1 - R),
                           ("L", X0, Y0 + R), ("Q", X0, Y0, X0 + R, Y0)])


def circle(cx, cy, r, parts=8):
    """A circle of quadratic curves (each spans 45 degrees; error below 0.1%)."""
    half = math.pi / parts
    reach = r / math.cos(half)
    start = (tw(cx + r), tw(cy))
    segs = []
    for k in range(parts):
        a_ctl, a_end = (2 * k + 1) * half, (2 * k + 2) * half
        end = (start if k == parts - 1 else (tw(cx + r * math.cos(a_end)), tw(cy + r * math.sin(a_end))))
        segs.append(("Q", tw(cx + reach * math.cos(a_ctl)), tw(cy + reach * math.sin(a_ctl))) + end)
    return (start, segs)


def hills_in_disc(cx, cy, r, peaks, samples=48):
    """The part of the disc below a ridge line made of soft peaks (x, top, width)."""
    def ridge(x):
        y = 1.0
        for px, top, width in peaks:
            y = min(y, 1.0 - (1.0 - top) * math.exp(-(abs(x - px) / width) ** 1.7))
        return y

    top_edge, bottom_edge = [], []
    for k in range(samples + 1):
        x = cx - r + 2 * r * k / samples
        half = math.sqrt(max(0.0, r * r - (x - cx) ** 2))
        top_edge.append((x, min(max(ridge(x), cy - half), cy + half)))
        bottom_edge.append((x, cy + half))
    points = top_edge + bottom_edge[::-1][1:-1]
    start = (tw(points[0][0]), tw(points[0][1]))
    return (start, [("L", tw(x), tw(y)) for x, y in points[1:]] + [("L",) + start])


def mark_movie():
    c, r = 0.5, 0.36
    shapes = [
        (gradient_fill(tw(0.03), tw(0.97), [(0, (0x3C, 0xC6, 0xD2, 255)), (255, (0x11, 0x7D, 0x8B, 255))]),
         [rounded_square(0.03, 0.03, 0.97, 0.97, 0.21)]),
        (gradient_fill(tw(0.15), tw(0.85), [(0, (255, 255, 255, 255)), (255, (0xE6, 0xF6, 0xF7, 255))]),
         [circle(c, c, r)]),
        (solid_fill((0xFF, 0xD9, 0x8E, 255)), [circle(0.70, 0.31, 0.058)]),
        (gradient_fill(tw(0.45), tw(0.9), [(0, (0x8E, 0xD3, 0xDA, 255)), (255, (0x8E, 0xD3, 0xDA, 0))]),
         [hills_in_disc(c, c, r, [(0.56, 0.30, 0.2), (0.16, 0.5, 0.16)])]),
        (gradient_fill(tw(0.55), tw(0.95), [(0, (0x1B, 0x9A, 0xAA, 255)), (255, (0x1B, 0x9A, 0xAA, 0))]),
         [hills_in_disc(c, c, r, [(0.33, 0.44, 0.19), (0.9, 0.52, 0.17)])]),
    ]
    tags = tag(69, struct.pack("<I", 0))  # FileAttributes: no AS3, no network
    tags += tag(9, bytes((255, 255, 255)))  # SetBackgroundColor
    for i, (fill, paths) in enumerate(shapes, start=1):
        tags += define_shape3(i, fill, paths)
    for i in range(1, len(shapes) + 1):
        tags += place(i, i)
    tags += tag(1, b"") + tag(0, b"")  # ShowFrame, End

    body = rect(0, STAGE * TWIPS, 0, STAGE * TWIPS) + struct.pack("<HH", 12 << 8, 1) + tags
    return b"CWS" + bytes([8]) + struct.pack("<I", 8 + len(body)) + zlib.compress(body, 9)
