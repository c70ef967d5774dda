#!/usr/bin/env python3
"""Draws the console window's icon: 32 x 32 pixels in the 16 standard colours, with a
transparency mask, and writes it as a .ico. Standard library only; the output is the
same byte for byte on every run, so the committed icon can be checked against it.

The picture: a small window with a navy title bar, a black command area holding a
green prompt and caret and two lines of grey text, and a yellow arrow pointing into it.

    python3 make_console_icon.py [folder]          write frmMain.ico and the resource pieces
    python3 make_console_icon.py --check [folder]  exit 1 when a committed file differs
"""

import os
import struct
import sys

SIZE = 32

# The 16 standard colours (RGB) in palette order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GREY, LIME, YELLOW, WHITE, OLIVE = 0, 4, 7, 8, 10, 11, 15, 3
TRANSPARENT = None


def draw():
    img = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                img[y][x] = c

    # Window: grey frame, navy title bar with a white close box, black command area.
    rect(1, 3, 28, 27, GREY)
    rect(2, 4, 27, 7, NAVY)
    rect(24, 5, 26, 6, SILVER)
    rect(2, 8, 27, 26, BLACK)
    # Two lines of history text.
    for x in range(4, 20, 2):
        img[11][x] = img[11][x + 1] = SILVER
    for x in range(4, 14, 2):
        img[14][x] = img[14][x + 1] = SILVER
    # Prompt ">" and caret "_" on the command line.
    for i in range(3):
        img[18 + i][4 + i] = LIME
        img[22 - i][4 + i] = LIME
    rect(9, 22, 13, 22, LIME)
    # A shadow under the window.
    rect(2, 28, 29, 28, OLIVE)
    rect(29, 4, 29, 28, OLIVE)
    # Yellow arrow pointing at the command line, outlined in black.
    arrow = [
        "X",
        "XX",
        "XYX",
        "XYYX",
        "XYYYX",
        "XYYYYX",
        "XYYYYYX",
        "XYYYYYYX",
        "XYYYYXXXX",
        "XYXXYX",
        "XX XYYX",
        "X   XYX",
        "    XX",
    ]
    tip_x, tip_y = 17, 17
    for dy, line in enumerate(arrow):
        for dx, ch in enumerate(line):
            if ch != " ":
                img[tip_y + dy][tip_x + dx] = BLACK if ch == "X" else YELLOW
    return img


# Resource identifiers: the icon group (also in console_resources.h) and its one image,
# numbered high so they never meet the images of the program's own icon.
GROUP_ID = 201
IMAGE_ID = 301


def encode_image(img):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = img[y]
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)  # 32 pixels: exactly one padded row
    return header + palette + bytes(xor) + bytes(mask)


def encode_ico(image):
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def encode_group(image):
    # The icon directory as a resource: entries name the image by resource id.
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHIH", SIZE, SIZE, 16, 0, 1, 4, len(image), IMAGE_ID)
    return directory + entry


def outputs(folder):
    image = encode_image(draw())
    return {
        os.path.join(folder, "frmMain.ico"): encode_ico(image),
        os.path.join(folder, "frmMain_icon_image.bin"): image,
        os.path.join(folder, "frmMain_icon_group.bin"): encode_group(image),
    }


def main(argv):
    """Writes frmMain.ico (to look at) and the icon's two resource pieces, which
    console.rc puts into the program as they are."""
    check = bool(argv) and argv[0] == "--check"
    rest = argv[1:] if check else argv
    folder = rest[0] if rest else os.path.dirname(os.path.abspath(__file__))
    status = 0
    for path, data in outputs(folder).items():
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            print(("up to date: " if same else "differs from the generator: ") + path)
            status |= 0 if same else 1
        else:
            with open(path, "wb") as f:
                f.write(data)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
