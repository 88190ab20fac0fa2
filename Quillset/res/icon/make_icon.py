#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

The icon is the front of a five-pin DIN socket, the MIDI connector: a silver shell, a dark face
with the key notch at the bottom, and five gold contacts on the upper half circle. From 32 pixels
up a small blue gear at the lower right says "settings".

Every image is drawn from the shapes below (no bitmap is edited by hand), anti-aliased by the
distance of each pixel centre to the shape's edge. The file holds, in this order: 48, 32 and 16
pixels at 8 bits per pixel (own palette, AND mask for transparency), then 256, 48, 32 and 16
pixels at 32 bits per pixel with alpha. Every image is an uncompressed bitmap (no PNG).

Usage: make_icon.py OUTPUT.ico [--png-dir DIR]   (--png-dir also writes each image as a PNG)
"""
import math
import struct
import sys
import zlib

IMAGES = [(48, 8), (32, 8), (16, 8), (256, 32), (48, 32), (32, 32), (16, 32)]


# ---- colours --------------------------------------------------------------------------------

def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(x + (y - x) * t for x, y in zip(a, b))


SHELL_LIGHT = hex_rgb("#f1f4f8")
SHELL_DARK = hex_rgb("#8a94a3")
OUTLINE = hex_rgb("#394150")
BEVEL_TOP = hex_rgb("#5d6676")
BEVEL_BOTTOM = hex_rgb("#c3cad4")
FACE_CENTRE = hex_rgb("#2b3242")
FACE_EDGE = hex_rgb("#11141b")
GOLD_LIGHT = hex_rgb("#ffe598")
GOLD_DARK = hex_rgb("#b9861a")
PIN_HOLE = hex_rgb("#3b2b0a")
BADGE_LIGHT = hex_rgb("#4f93f0")
BADGE_DARK = hex_rgb("#1f58b8")
GEAR = hex_rgb("#ffffff")


# ---- shapes: signed distances in icon units (the icon spans -1..1 on both axes, y down) ------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, outer, inner):
    return lambda x, y: max(math.hypot(x - cx, y - cy) - outer, inner - math.hypot(x - cx, y - cy))


def box(cx, cy, half_w, half_h):
    def distance(x, y):
        dx = abs(x - cx) - half_w
        dy = abs(y - cy) - half_h
        return math.hypot(max(dx, 0.0), max(dy, 0.0)) + min(max(dx, dy), 0.0)
    return distance


def gear(cx, cy, r, teeth, depth, hole):
    def distance(x, y):
        dx, dy = x - cx, y - cy
        radius = math.hypot(dx, dy)
        angle = math.atan2(dy, dx) * teeth / (2 * math.pi)
        # Trapezoid teeth: a clipped triangle wave around the rim.
        wave = min(1.0, max(0.0, 2.2 * (1.0 - 2.0 * abs(angle - math.floor(angle) - 0.5)) - 0.6))
        return max(radius - (r + depth * wave), hole - radius)
    return distance


class Layer:
    def __init__(self, shape, colour):
        self.shape = shape
        self.colour = colour if callable(colour) else (lambda x, y, c=colour: c)


def design(size):
    """The layers for one image size, back to front. Small sizes get bolder, fewer details."""
    px = 2.0 / size                      # one pixel in icon units
    outline = max(px, 0.035)
    small = size <= 16
    with_badge = size >= 32

    if small:
        return design_16(px)

    shell_r = 1.0 - px
    bevel_r = shell_r * 0.82
    face_r = shell_r * 0.70
    pin_r = 0.105 if size <= 32 else 0.085
    pin_orbit = face_r * 0.62

    def shell_colour(x, y):
        return mix(SHELL_LIGHT, SHELL_DARK, 0.5 + 0.45 * (x + y) / 1.4)

    def bevel_colour(x, y):
        return mix(BEVEL_TOP, BEVEL_BOTTOM, 0.5 + 0.5 * y / bevel_r)

    def face_colour(x, y):
        return mix(FACE_CENTRE, FACE_EDGE, math.hypot(x, y + 0.2) / face_r)

    layers = [
        Layer(circle(0, 0, shell_r), OUTLINE),
        Layer(circle(0, 0, shell_r - outline), shell_colour),
        Layer(circle(0, 0, bevel_r), bevel_colour),
        Layer(circle(0, 0, face_r), face_colour),
        # The key notch: a tongue of the shell reaching into the face at the bottom.
        Layer(box(0, face_r - 0.06, 0.11, 0.12), BEVEL_BOTTOM),
    ]
    for step in range(5):
        angle = math.pi + step * math.pi / 4          # left, upper left, top, upper right, right
        cx = pin_orbit * math.cos(angle)
        cy = pin_orbit * math.sin(angle) + 0.05
        if size <= 32:
            # Put small contacts on pixel centres so that each stays one crisp dot.
            cx = (math.floor((cx + 1) / px) + 0.5) * px - 1
            cy = (math.floor((cy + 1) / px) + 0.5) * px - 1
        layers.append(Layer(circle(cx, cy, pin_r),
                            (lambda x, y, cx=cx, cy=cy: mix(GOLD_LIGHT, GOLD_DARK,
                                                            0.5 + (x - cx + y - cy) * 4.0))))
        if size >= 48:
            layers.append(Layer(circle(cx, cy, pin_r * 0.42), PIN_HOLE))
    if with_badge:
        bx = by = 0.56
        badge_r = 0.44
        layers += [
            Layer(circle(bx, by, badge_r), hex_rgb("#ffffff")),
            Layer(circle(bx, by, badge_r - outline * 1.2),
                  lambda x, y: mix(BADGE_LIGHT, BADGE_DARK, 0.5 + (x + y - 2 * bx) / (2 * badge_r))),
            Layer(gear(bx, by, badge_r * 0.48, 8, badge_r * 0.17, badge_r * 0.2), GEAR),
        ]
    return layers


def design_16(px):
    """At 16 pixels the socket is drawn on the pixel grid: a one-pixel outline, a one-pixel
    shell, and five contacts of two by two pixels with a pixel of face between neighbours."""
    def shell_colour(x, y):
        return mix(SHELL_LIGHT, SHELL_DARK, 0.5 + 0.45 * (x + y) / 1.4)

    layers = [
        Layer(circle(0, 0, 1.0 - px * 0.25), OUTLINE),
        Layer(circle(0, 0, 1.0 - px * 1.25), shell_colour),
        Layer(circle(0, 0, 0.76), FACE_EDGE),
        Layer(box(0, 0.72, px, px * 1.5), BEVEL_BOTTOM),
    ]
    for col, row in ((-4, 0), (-3, -3), (0, -4), (3, -3), (4, 0)):
        layers.append(Layer(box(col * px, row * px, px, px), GOLD_LIGHT))
    return layers


# ---- rendering -------------------------------------------------------------------------------

def render(size):
    """Straight (not premultiplied) RGBA rows, top row first, channels 0..1."""
    layers = design(size)
    px = 2.0 / size
    rows = []
    for j in range(size):
        y = -1 + (j + 0.5) * px
        row = []
        for i in range(size):
            x = -1 + (i + 0.5) * px
            r = g = b = a = 0.0
            for layer in layers:
                coverage = min(1.0, max(0.0, 0.5 - layer.shape(x, y) / px))
                if coverage <= 0.0:
                    continue
                cr, cg, cb = layer.colour(x, y)
                out_a = coverage + a * (1 - coverage)
                r = (cr * coverage + r * a * (1 - coverage)) / out_a
                g = (cg * coverage + g * a * (1 - coverage)) / out_a
                b = (cb * coverage + b * a * (1 - coverage)) / out_a
                a = out_a
            row.append((r, g, b, a))
        rows.append(row)
    return rows


def to_bytes(rows):
    return [[tuple(int(round(c * 255)) for c in pixel) for pixel in row] for row in rows]


# ---- 8-bit palette: median cut over the opaque pixels ---------------------------------------

def median_cut(colours, count):
    boxes = [sorted(set(colours))]
    while len(boxes) < count:
        boxes.sort(key=lambda bx: -spread(bx)[0])
        widest = boxes[0]
        if len(widest) < 2:
            break
        channel = spread(widest)[1]
        widest.sort(key=lambda c: c[channel])
        half = len(widest) // 2
        boxes = boxes[1:] + [widest[:half], widest[half:]]
    palette = []
    for bx in boxes:
        palette.append(tuple(sum(c[k] for c in bx) // len(bx) for k in range(3)))
    return palette


def spread(colours):
    ranges = [max(c[k] for c in colours) - min(c[k] for c in colours) for k in range(3)]
    widest = max(range(3), key=lambda k: ranges[k])
    return ranges[widest] * len(colours) ** 0.5, widest


def nearest(palette, colour, cache):
    if colour not in cache:
        cache[colour] = min(range(len(palette)), key=lambda k: sum(
            (palette[k][c] - colour[c]) ** 2 for c in range(3)))
    return cache[colour]


# ---- .ico writing ----------------------------------------------------------------------------

def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def and_mask(pixels, size):
    data = bytearray()
    for row in reversed(pixels):                 # bitmaps are stored bottom-up
        bits = bytearray(row_bytes(size))
        for i, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        data += bits
    return bytes(data)


def bitmap_header(size, depth, image_bytes, colours_used):
    # Height counts the colour bitmap and the AND mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0, image_bytes, 0, 0,
                       colours_used, 0)


def image_32(pixels, size):
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask = and_mask(pixels, size)
    return bitmap_header(size, 32, len(colour) + len(mask), 0) + bytes(colour) + mask


def image_8(pixels, size):
    # Without alpha, a pixel is either drawn (at least half covered) or left out by the mask.
    hard = [[(r, g, b, 255 if a >= 128 else 0) for r, g, b, a in row] for row in pixels]
    opaque = [p[:3] for row in hard for p in row if p[3]]
    palette = median_cut(opaque, 255)
    palette = [(0, 0, 0)] + palette + [(0, 0, 0)] * (255 - len(palette))
    cache = {}
    colour = bytearray()
    for row in reversed(hard):
        # Index 0 is black, kept for the pixels that the mask leaves out.
        line = bytearray(nearest(palette[1:], p[:3], cache) + 1 if p[3] else 0 for p in row)
        line += bytes(row_bytes(size * 8) - len(line))
        colour += line
    mask = and_mask(hard, size)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return bitmap_header(size, 8, len(colour) + len(mask), 256) + table + bytes(colour) + mask


def write_ico(path, images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, depth, data in images:
        dim = 0 if size == 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, depth, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(data for _, _, data in images))


# ---- previews --------------------------------------------------------------------------------

def decode_8(data, size):
    """Reads an 8-bit image back from its own bytes, so the preview shows what the file holds."""
    table = data[40:40 + 1024]
    stride = row_bytes(size * 8)
    colour_start = 40 + 1024
    mask_start = colour_start + stride * size
    mask_stride = row_bytes(size)
    rows = []
    for j in range(size):
        src = size - 1 - j
        row = []
        for i in range(size):
            index = data[colour_start + src * stride + i]
            hidden = data[mask_start + src * mask_stride + i // 8] & (0x80 >> (i % 8))
            b, g, r = table[index * 4:index * 4 + 3]
            row.append((r, g, b, 0 if hidden else 255))
        rows.append(row)
    return rows


def write_png(path, pixels):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    size = len(pixels)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--png-dir"):
        sys.stderr.write(__doc__.split("Usage: ")[1])
        return 2
    rendered = {}
    images = []
    for size, depth in IMAGES:
        if size not in rendered:
            rendered[size] = to_bytes(render(size))
        pixels = rendered[size]
        data = image_8(pixels, size) if depth == 8 else image_32(pixels, size)
        images.append((size, depth, data))
        if len(argv) == 4:
            preview = decode_8(data, size) if depth == 8 else pixels
            write_png("%s/icon-%d-%dbpp.png" % (argv[3], size, depth), preview)
    write_ico(argv[1], images)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
