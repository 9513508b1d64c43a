#!/usr/bin/env python3
"""Writes the pictures the form tests load from their resources: a 24 x 24 bitmap that is
all red and a 32 x 32 PNG that is all green, so that a test can tell by one pixel that the
right picture arrived. Run it again only to change them:
    python3 tests/wine/forms/images/draw_test_images.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(size, rgb):
    row = bytes((rgb[2], rgb[1], rgb[0])) * size
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * size
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def png(size, rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(rgb + (255,)) * size for _ in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


with open(os.path.join(HERE, "red.bmp"), "wb") as f:
    f.write(bmp(24, (255, 0, 0)))
with open(os.path.join(HERE, "green.png"), "wb") as f:
    f.write(png(32, (0, 160, 0)))
