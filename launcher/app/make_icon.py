#!/usr/bin/env python3
"""Draws the vortastart icon and writes it as a multi-size .ico (16, 32 and 48 pixels,
32-bit colour with alpha). Standard library only; the output is byte for byte the same
on every run, so the committed icon can be checked against this script.

The picture: a dark command-line bar with a green prompt and a caret on a blue tile,
and a white arrow cursor whose tip rests on the bar.

    python3 make_icon.py [output.ico] [--png-dir DIR]
"""

import os
import struct
import sys
import zlib

SIZES = (16, 32, 48)
SUPERSAMPLE = 6


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
        return hit

    return inside


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def thick_polyline(points, half_width):
    def inside(x, y):
        return any(
            segment_distance(x, y, *points[i], *points[i + 1]) <= half_width
            for i in range(len(points) - 1)
        )

    return inside


def outline_of(points, half_width):
    closed = list(points) + [points[0]]
    return thick_polyline(closed, half_width)


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


# The scene in unit coordinates (0..1, y downwards), layers from back to front.
TILE = rounded_rect(0.03, 0.03, 0.97, 0.97, 0.19)
TILE_TOP, TILE_BOTTOM = (52, 132, 214), (24, 64, 138)
BAR = rounded_rect(0.09, 0.17, 0.91, 0.53, 0.08)
BAR_EDGE = rounded_rect(0.07, 0.15, 0.93, 0.55, 0.10)
PROMPT = thick_polyline([(0.19, 0.26), (0.31, 0.35), (0.19, 0.44)], 0.045)
CARET = rounded_rect(0.36, 0.39, 0.52, 0.45, 0.01)

# A classic arrow pointer on a 12 x 19 grid, its tip at the origin.
ARROW_GRID = [(0, 0), (0, 15.5), (3.8, 12.2), (6.4, 18.2), (9.0, 17.0), (6.5, 11.2), (11.4, 11.2)]


class Arrow:
    """The pointer for one icon size: the smallest size gets a larger pointer with a
    thinner outline, so it still reads as white on dark at 16 pixels."""

    def __init__(self, size):
        scale, tip = (0.031, (0.555, 0.355)) if size > 16 else (0.037, (0.50, 0.34))
        self.points = [(tip[0] + gx * scale, tip[1] + gy * scale) for gx, gy in ARROW_GRID]
        self.body = polygon(self.points)
        self.edge = outline_of(self.points, max(0.022, 0.5 / size))


ARROWS = {}


def sample(x, y, size):
    """Colour (r, g, b, a) of the scene at one point, components 0..255."""
    arrow = ARROWS.setdefault(size, Arrow(size))
    arrow_edge = arrow.edge
    if arrow.body(x, y) and not arrow_edge(x, y):
        return (255, 255, 255, 255)
    if arrow_edge(x, y):
        return (12, 16, 24, 255)
    if CARET(x, y):
        return (236, 242, 248, 255)
    if PROMPT(x, y):
        return (88, 230, 140, 255)
    if BAR(x, y):
        return (16, 22, 32, 255)
    if BAR_EDGE(x, y):
        return (150, 196, 240, 255)
    if TILE(x, y):
        return lerp(TILE_TOP, TILE_BOTTOM, y) + (255,)
    return (0, 0, 0, 0)


def render(size):
    """Rows of (r, g, b, a) pixels, top row first, antialiased by supersampling."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = sample((px + (sx + 0.5) / n) / size,
                                        (py + (sy + 0.5) / n) / size, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                colour = tuple(int(round(acc[i] / acc[3])) for i in range(3))
            else:
                colour = (0, 0, 0)
            row.append(colour + (int(round(alpha)),))
        rows.append(row)
    return rows


def dib(rows):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def png(rows):
    """A plain RGBA PNG, for looking at the result."""
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    args = list(argv)
    png_dir = None
    if "--png-dir" in args:
        i = args.index("--png-dir")
        png_dir = args[i + 1]
        del args[i:i + 2]
    here = os.path.dirname(os.path.abspath(__file__))
    output = args[0] if args else os.path.join(here, "vortastart.ico")
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, dib(rows)))
        if png_dir:
            with open(os.path.join(png_dir, "vortastart-%d.png" % size), "wb") as f:
                f.write(png(rows))
    with open(output, "wb") as f:
        f.write(ico(images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
