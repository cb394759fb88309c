#!/usr/bin/env python3
"""Draws the program's icon (a waveform on a dark chart tile): icons/pellorin.png, the window
icon, and icons/pellorin-N.png at the sizes the desktop's hicolor theme looks for.

Only the standard library is used, so the icons can be redrawn anywhere:
    python3 make_icon.py
"""
import math
import os
import struct
import zlib

SIZE = 64  # the drawing's own units; other sizes scale it
SUPER = 4  # samples per pixel edge, for smooth edges
THEME_SIZES = (16, 24, 32, 48, 64, 128, 256)


def inside_rounded_square(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def wave_y(x):
    return 34 - 15 * math.sin((x - 8) / 48 * 2 * math.pi) * math.exp(-(x - 8) / 60)


def colour_at(x, y):
    if not inside_rounded_square(x, y, SIZE, 12):
        return None
    colour = (16, 16, 16)
    if abs((x - 8) % 12) < 0.7 or abs((y - 10) % 12) < 0.7:
        colour = (0, 110, 0)
    if 8 <= x <= 56:
        dy = abs(y - wave_y(x))
        slope = abs(wave_y(x + 0.5) - wave_y(x - 0.5))
        if dy < 2.6 * math.sqrt(1 + slope * slope):
            colour = (255, 40, 30)
    return colour


def render(size):
    scale = SIZE / size
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter type "none"
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = colour_at((px + (sx + 0.5) / SUPER) * scale,
                                  (py + (sy + 0.5) / SUPER) * scale)
                    if c:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            if a:
                row += bytes((r // a, g // a, b // a, 255 * a // (SUPER * SUPER)))
            else:
                row += bytes((0, 0, 0, 0))
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(size, name):
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    png += chunk(b"IDAT", zlib.compress(render(size), 9)) + chunk(b"IEND", b"")
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons", name)
    with open(target, "wb") as f:
        f.write(png)


def main():
    write_png(SIZE, "pellorin.png")
    for size in THEME_SIZES:
        if size != SIZE:  # the window icon serves that size
            write_png(size, "pellorin-%d.png" % size)


if __name__ == "__main__":
    main()
