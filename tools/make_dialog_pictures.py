#!/usr/bin/env python3
"""Writes the settings dialog's pictures into src/resources/:

  dialog_texture.bmp    556 x 20, 24-bit: light grey horizontal brushed streaks
  dialog_mark_off.bmp   12 x 12, 24-bit: a light square with a grey edge
  dialog_mark_on.bmp    12 x 12, 24-bit: the same square filled with blue
  dialog_mark_*_2x.bmp  the marks at twice the size, for screens of more
                        than 96 dpi
  dialog_link.cur       32 x 32 monochrome pointing hand, hot spot (12, 10)

The streaks come from a fixed-seed generator, so every run writes the same
bytes. No two rows of the strip are alike, which lets a test see the strip's
20-pixel period on the screen.

Usage: tools/make_dialog_pictures.py [output folder]
"""
import math
import os
import struct
import sys

TEXTURE_WIDTH, TEXTURE_HEIGHT = 556, 20
MARK_SIZE = 12
CURSOR_SIZE = 32
HOT_SPOT = (12, 10)


class Random:
    """A small linear congruential generator: the same streaks everywhere."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x7FFFFFFF


def bmp_bytes(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b), origin top-left."""
    row_size = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        data += row + bytes(row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def texture():
    rnd = Random(20240613)
    rows = []
    for y in range(TEXTURE_HEIGHT):
        base = 206 + 2 * (y % 5) + rnd.next() * 6
        # A few long streaks per row, each a slow swell along the row.
        waves = [(rnd.next() * 5 + 1.5, rnd.next() * 60 + 25, rnd.next() * TEXTURE_WIDTH)
                 for _ in range(3)]
        row = []
        for x in range(TEXTURE_WIDTH):
            v = base + sum(a * math.sin((x + p) / length) for a, length, p in waves)
            v += (rnd.next() - 0.5) * 4  # the fine grain of the brush
            grey = max(180, min(245, int(round(v))))
            row.append((grey, grey, min(255, grey + 3)))
        rows.append(row)
    return bmp_bytes(TEXTURE_WIDTH, TEXTURE_HEIGHT, lambda x, y: rows[y][x])


EDGE = (0x80, 0x80, 0x80)
LIGHT = (0xF4, 0xF4, 0xF4)
BLUE = (0x1E, 0x50, 0xD2)


def mark(selected, scale=1):
    def pixel(x, y):
        x, y = x // scale, y // scale
        if x in (0, MARK_SIZE - 1) or y in (0, MARK_SIZE - 1):
            return EDGE
        if selected and 2 <= x <= MARK_SIZE - 3 and 2 <= y <= MARK_SIZE - 3:
            return BLUE
        return LIGHT
    return bmp_bytes(MARK_SIZE * scale, MARK_SIZE * scale, pixel)


def hand(x, y):
    """True inside the pointing hand; the fingertip's top is the hot spot."""
    def rounded(left, right, top, bottom):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        return not (y == top and x in (left, right))
    return (rounded(10, 14, 10, 24)          # index finger
            or rounded(14, 17, 15, 24)       # the three folded fingers
            or rounded(17, 20, 16, 24)
            or rounded(20, 23, 18, 25)
            or rounded(6, 10, 20, 25)        # thumb
            or (10 <= x <= 23 and 22 <= y <= 28)  # palm
            or (12 <= x <= 22 and 29 <= y <= 31))  # wrist


def cursor():
    """Monochrome .cur: black outline, white inside, transparent around."""
    def inside(x, y):
        return 0 <= x < CURSOR_SIZE and 0 <= y < CURSOR_SIZE and hand(x, y)

    xor_rows, and_rows = [], []
    for y in reversed(range(CURSOR_SIZE)):  # bottom-up
        xor_bits = and_bits = 0
        for x in range(CURSOR_SIZE):
            bit = 1 << (CURSOR_SIZE - 1 - x)
            if not inside(x, y):
                and_bits |= bit  # transparent
                continue
            outline = not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if not outline:
                xor_bits |= bit  # white
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    info = struct.pack("<IiiHHIIiiII", 40, CURSOR_SIZE, CURSOR_SIZE * 2, 1, 1, 0,
                       CURSOR_SIZE * 4 * 2, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", CURSOR_SIZE, CURSOR_SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1],
                        len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "resources")
    outputs = {
        "dialog_texture.bmp": texture(),
        "dialog_mark_off.bmp": mark(False),
        "dialog_mark_on.bmp": mark(True),
        "dialog_mark_off_2x.bmp": mark(False, 2),
        "dialog_mark_on_2x.bmp": mark(True, 2),
        "dialog_link.cur": cursor(),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
