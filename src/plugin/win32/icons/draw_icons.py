#!/usr/bin/env python3
"""Draws the plug-in's icons and writes them as .ico files (16, 32 and 48 pixels, 32-bit
colour with alpha) into this folder; version.rc names each file.

Each picture is a few shapes on a 48-unit square, drawn with 4 x 4 supersampling so that
the small sizes stay smooth. Run it again after changing a picture:
    python3 src/plugin/win32/icons/draw_icons.py
"""
import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SUB = 4  # samples per pixel along each axis

# Colours as (red, green, blue).
BLUE = (38, 94, 178)
DARK_BLUE = (22, 58, 118)
LIGHT_BLUE = (120, 170, 230)
GREEN = (46, 150, 62)
DARK_GREEN = (26, 100, 40)
RED = (205, 45, 40)
YELLOW = (246, 196, 48)
DARK_YELLOW = (190, 140, 20)
WHITE = (255, 255, 255)
PAPER = (250, 250, 244)
GREY = (128, 128, 128)
DARK_GREY = (70, 70, 70)
LIGHT_GREY = (200, 200, 200)
BROWN = (150, 90, 40)


# --- shapes: each answers whether a point (in 48-unit coordinates) is inside -----------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def polygon(*points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def line(ax, ay, bx, by, width):
    """A thick segment, as the polygon around it."""
    length = math.hypot(bx - ax, by - ay)
    nx, ny = -(by - ay) / length * width / 2, (bx - ax) / length * width / 2
    return polygon((ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny))


def rotated(shape, cx, cy, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


# --- pictures: lists of (shape, colour), painted in order ------------------------------

def book(dx=0, dy=0, cover=BLUE):
    return [
        (rect(9 + dx, 5 + dy, 39 + dx, 43 + dy), cover),
        (rect(13 + dx, 37 + dy, 39 + dx, 41 + dy), PAPER),  # page edges at the foot
        (rect(9 + dx, 5 + dy, 13 + dx, 43 + dy), DARK_BLUE),  # spine
        (rect(18 + dx, 12 + dy, 34 + dx, 16 + dy), LIGHT_BLUE),  # title
    ]


def open_book():
    return [
        (polygon((3, 12), (23, 16), (23, 42), (3, 38)), PAPER),
        (polygon((45, 12), (25, 16), (25, 42), (45, 38)), PAPER),
        (polygon((3, 38), (23, 42), (25, 42), (45, 38), (45, 41), (25, 45), (23, 45), (3, 41)), BLUE),
        (line(23.5, 16, 23.5, 42, 2), DARK_GREY),
    ] + [(line(7, 19 + 5 * i, 19, 21.5 + 5 * i, 1.6), GREY) for i in range(4)] \
      + [(line(29, 21.5 + 5 * i, 41, 19 + 5 * i, 1.6), GREY) for i in range(4)]


def page(dx=0, dy=0, lines=True):
    shapes = [
        (polygon((10 + dx, 3 + dy), (30 + dx, 3 + dy), (39 + dx, 12 + dy), (39 + dx, 45 + dy), (10 + dx, 45 + dy)),
         DARK_GREY),
        (polygon((12 + dx, 5 + dy), (29 + dx, 5 + dy), (37 + dx, 13 + dy), (37 + dx, 43 + dy), (12 + dx, 43 + dy)),
         PAPER),
        (polygon((29 + dx, 5 + dy), (37 + dx, 13 + dy), (29 + dx, 13 + dy)), LIGHT_GREY),
    ]
    if lines:
        shapes += [(rect(16 + dx, 18 + dy + 6 * i, 33 + dx, 20 + dy + 6 * i), GREY) for i in range(4)]
    return shapes


def plus(cx, cy, size, colour=GREEN):
    half, arm = size / 2, size / 6
    return [
        (ellipse(cx, cy, half + 2, half + 2), WHITE),
        (rect(cx - half, cy - arm, cx + half, cy + arm), colour),
        (rect(cx - arm, cy - half, cx + arm, cy + half), colour),
    ]


def arrow(pointing_right, colour=GREEN):
    if pointing_right:
        points = ((6, 18), (26, 18), (26, 8), (43, 24), (26, 40), (26, 30), (6, 30))
    else:
        points = ((42, 18), (22, 18), (22, 8), (5, 24), (22, 40), (22, 30), (42, 30))
    return [(polygon(*points), colour)]


def star(cx, cy, outer, inner):
    points = []
    for i in range(10):
        radius = outer if i % 2 == 0 else inner
        angle = math.radians(-90 + 36 * i)
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return polygon(*points)


def gear():
    teeth = [(rotated(rect(21, 2, 27, 12), 24, 24, 45 * i), GREY) for i in range(8)]
    return teeth + [(ellipse(24, 24, 15, 15), GREY), (ellipse(24, 24, 6, 6), WHITE)]


def folder():
    return [
        (polygon((3, 10), (18, 10), (22, 14), (45, 14), (45, 40), (3, 40)), DARK_YELLOW),
        (polygon((3, 18), (45, 18), (45, 40), (3, 40)), YELLOW),
    ]


def bin_():
    return [
        (polygon((10, 14), (38, 14), (35, 45), (13, 45)), GREY),
        (rect(7, 8, 41, 13), DARK_GREY),
        (rect(19, 4, 29, 8), DARK_GREY),
    ] + [(rect(x, 18, x + 2.5, 41), LIGHT_GREY) for x in (16, 22.75, 29.5)]


def house():
    return [
        (polygon((24, 4), (45, 24), (40, 24), (40, 44), (8, 44), (8, 24), (3, 24)), BROWN),
        (polygon((24, 9), (37, 22), (37, 41), (11, 41), (11, 22)), PAPER),
        (rect(20, 28, 28, 41), BLUE),
    ]


def pencil():
    body = line(12, 36, 36, 12, 9)
    return [
        (body, YELLOW),
        (line(33, 15, 38, 10, 9), RED),  # the rubber
        (polygon((8.8, 32.8), (15.2, 39.2), (5, 43)), (235, 200, 150)),  # the wood at the tip
        (polygon((6.3, 39.5), (8.5, 41.7), (5, 43)), DARK_GREY),  # the lead
    ]


def sync_arrows():
    return [
        (polygon((6, 14), (32, 14), (32, 6), (44, 18), (32, 30), (32, 22), (6, 22)), BLUE),
        (polygon((42, 30), (16, 30), (16, 24), (4, 34), (16, 44), (16, 38), (42, 38)), GREEN),
    ]


def cross():
    return [(ellipse(24, 24, 20, 20), RED), (line(15, 15, 33, 33, 6), WHITE), (line(33, 15, 15, 33, 6), WHITE)]


def about():
    return [(ellipse(24, 24, 20, 20), BLUE), (ellipse(24, 14, 3.5, 3.5), WHITE), (rect(21, 20, 27, 36), WHITE)]


ICONS = {
    "appicon": [(rect(2, 2, 46, 46), DARK_BLUE)] + [(s, WHITE if c == BLUE else c) for s, c in book()]
               + [(ellipse(36, 36, 8, 8), YELLOW)],
    "addbk": book(-3, 0) + plus(36, 36, 14),
    "book": book(),
    "bookopen": open_book(),
    "file": page(),
    "trash": bin_(),
    "home": house(),
    "back": arrow(False),
    "forwd": arrow(True),
    "new": page() + plus(35, 35, 14),
    "edit": pencil(),
    "close": cross(),
    "adfav": [(star(24, 25, 21, 9), YELLOW), (star(24, 25, 14, 6), (255, 224, 110))],
    "stop": sync_arrows(),
    "confg": gear(),
    "about": about(),
    "foldr": folder(),
    "docs": page(5, 2, False) + page(-4, -2),
}


# --- rendering and the .ico file --------------------------------------------------------

def render(shapes, size):
    """Rows of (r, g, b, a), top row first."""
    scale = 48.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) * scale
                    y = (py + (sy + 0.5) / SUB) * scale
                    colour = None
                    for shape, c in shapes:
                        if shape(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / n), round(acc[1] / n), round(acc[2] / n), round(255 * n / (SUB * SUB))))
        rows.append(row)
    return rows


def dib(rows):
    """A BITMAPINFOHEADER, the colour pixels bottom-up as BGRA and the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def ico(shapes):
    images = [dib(render(shapes, size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    folder_path = os.path.dirname(os.path.abspath(__file__))
    for name, shapes in ICONS.items():
        path = os.path.join(folder_path, name + ".ico")
        with open(path, "wb") as f:
            f.write(ico(shapes))
    print("wrote %d icons to %s" % (len(ICONS), folder_path), file=sys.stderr)


if __name__ == "__main__":
    main()
