#!/usr/bin/env python3
"""Remakes the installer's banner (banner.bmp) and window icon (vortasetup.ico).

Drawing is done by ImageMagick ("convert") with the IPA Gothic fonts; this script then
writes the exact Windows formats the installer needs:
  banner.bmp       638 x 263, 24 bits per pixel, uncompressed, 3780 pixels per metre
  vortasetup.ico   one 128 x 128 image, 32 bits per pixel (BGRA with an AND mask)

Usage: make_resources.py [output folder]   (default: the folder of this script)
"""
import os
import struct
import subprocess
import sys

BANNER_W, BANNER_H = 638, 263
ICON = 128
PIXELS_PER_METRE = 3780
FONT_PROPORTIONAL = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"


def render(args, size, channels):
    """Runs convert and returns raw 8-bit pixels, top row first."""
    fmt = "rgba" if channels == 4 else "rgb"
    raw = subprocess.run(["convert", *args, "-depth", "8", f"{fmt}:-"],
                         capture_output=True)
    if raw.returncode != 0:
        sys.exit(raw.stderr.decode(errors="replace"))
    raw = raw.stdout
    width, height = size
    if len(raw) != width * height * channels:
        sys.exit(f"convert gave {len(raw)} bytes, expected {width * height * channels}")
    return raw


def mark(cx, cy, r, stroke):
    """The product mark: a pick cursor (circle and cross hair) on a drafting point."""
    return [
        "-fill", "none", "-stroke", "#ffffff", "-strokewidth", str(stroke),
        "-draw", f"circle {cx},{cy} {cx + r},{cy}",
        "-stroke", "#f6a04d",
        "-draw", f"line {cx - r * 1.45},{cy} {cx - r * 0.35},{cy}",
        "-draw", f"line {cx + r * 0.35},{cy} {cx + r * 1.45},{cy}",
        "-draw", f"line {cx},{cy - r * 1.45} {cx},{cy - r * 0.35}",
        "-draw", f"line {cx},{cy + r * 0.35} {cx},{cy + r * 1.45}",
        "-stroke", "none", "-fill", "#f6a04d",
        "-draw", f"circle {cx},{cy} {cx + max(2, r * 0.16)},{cy}",
    ]


def banner_pixels():
    grid = []
    for x in range(0, BANNER_W, 24):
        grid += ["-draw", f"line {x},0 {x},{BANNER_H}"]
    for y in range(0, BANNER_H, 24):
        grid += ["-draw", f"line 0,{y} {BANNER_W},{y}"]
    args = [
        "-size", f"{BANNER_W}x{BANNER_H}", "-define", "gradient:angle=115",
        "gradient:#0a1f3d-#1d6fa5",
        # Drafting grid, faint.
        "-fill", "none", "-stroke", "rgba(255,255,255,0.08)", "-strokewidth", "1", *grid,
        # A drawn outline in the background: part of a floor plan.
        "-fill", "none", "-stroke", "rgba(255,255,255,0.22)", "-strokewidth", "2",
        "-draw", "polyline 392,36 610,36 610,150 520,150 520,214 392,214 392,36",
        "-draw", "line 470,36 470,130", "-draw", "line 392,130 470,130",
        "-draw", "arc 470,130 520,180 180,270",
        # The mark.
        *mark(96, 112, 46, 6),
        # Product name and tag line.
        "-stroke", "none", "-fill", "#ffffff", "-font", FONT_PROPORTIONAL,
        "-pointsize", "70", "-annotate", "+172+138", "ヴォルタ",
        "-fill", "#f6a04d", "-pointsize", "22", "-kerning", "9",
        "-annotate", "+178+58", "VORTA",
        "-kerning", "0", "-fill", "#dbe8f5", "-pointsize", "19",
        "-annotate", "+174+180", "CADコマンドライン 座標ピック起動ツール",
        "-pointsize", "15", "-fill", "#a9c4de",
        "-annotate", "+175+205", "for AutoCAD / IJCAD",
        # Bottom band: what this program is.
        "-fill", "#06142a", "-draw", f"rectangle 0,228 {BANNER_W},{BANNER_H}",
        "-fill", "#f6a04d", "-draw", f"rectangle 0,226 {BANNER_W},228",
        "-fill", "#ffffff", "-pointsize", "15",
        "-annotate", "+18+251", "セットアップ",
        "-fill", "#a9c4de", "-pointsize", "13",
        "-annotate", "+520+250", "Version 1.0",
    ]
    return render(args, (BANNER_W, BANNER_H), 3)


def icon_pixels():
    s = ICON
    args = [
        # Rounded tile with the banner's gradient.
        "-size", f"{s}x{s}", "-define", "gradient:angle=115", "gradient:#0a1f3d-#1d6fa5",
        "(", "-size", f"{s}x{s}", "xc:black", "-fill", "white",
        "-draw", f"roundrectangle 4,4 {s - 5},{s - 5} 22,22", ")",
        "-alpha", "off", "-compose", "copyopacity", "-composite", "-compose", "over",
        *mark(s / 2, s / 2, 30, 7),
    ]
    return render(args, (s, s), 4)


def write_bmp(path, rgb):
    row = BANNER_W * 3
    padded = (row + 3) & ~3
    body = bytearray()
    for y in range(BANNER_H - 1, -1, -1):  # bottom-up
        line = rgb[y * row:(y + 1) * row]
        for x in range(0, row, 3):
            body += bytes((line[x + 2], line[x + 1], line[x]))
        body += b"\0" * (padded - row)
    info = struct.pack("<IiiHHIIiiII", 40, BANNER_W, BANNER_H, 1, 24, 0, len(body),
                       PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_ico(path, rgba):
    s = ICON
    xor = bytearray()
    mask = bytearray()
    for y in range(s - 1, -1, -1):  # bottom-up
        bits = 0
        mask_row = bytearray()
        for x in range(s):
            r, g, b, a = rgba[(y * s + x) * 4:(y * s + x) * 4 + 4]
            xor += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
            if x % 8 == 7:
                mask_row.append(bits)
                bits = 0
        mask += mask_row + b"\0" * ((-len(mask_row)) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, s, s * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(out, "banner.bmp"), banner_pixels())
    write_ico(os.path.join(out, "vortasetup.ico"), icon_pixels())


if __name__ == "__main__":
    main()
