"""Windows .ico writer.

Sizes below 256 are stored as 32-bit DIBs with an AND mask, which every
Windows version and windres read; the 256 px image is stored as PNG, as
Windows Vista and later expect.
"""
import io
import struct


def _dib(image):
    w, h = image.size
    rgba = image.convert("RGBA")
    pixels = rgba.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows
        for x in range(w):
            r, g, b, a = pixels[x, y]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    and_mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if pixels[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        and_mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(and_mask)


def _png(image):
    out = io.BytesIO()
    image.save(out, format="PNG", optimize=True)
    return out.getvalue()


def ico_bytes(images):
    """Icon file holding the given square RGBA images, smallest first."""
    images = sorted(images, key=lambda im: im.width)
    blobs = [_png(im) if im.width >= 256 else _dib(im) for im in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        side = 0 if im.width >= 256 else im.width  # 0 means 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)
