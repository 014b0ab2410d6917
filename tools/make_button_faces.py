#!/usr/bin/env python3
"""Writes the skinned button's six state pictures (64 x 25, 24-bit BMP)
into src/resources/, and each again at twice the size for screens of more
than 96 dpi (command_*_2x.bmp, 128 x 50, 8-bit: they have a few colours).

Each picture is drawn as rings counted from its outer edge: a light beige
margin, a one-pixel border with rounded corners, and an inner glow or face
band. Everything that shows lies within the outer four pixels, the band the
button copies; the middle is a flat face colour the button never draws.
Along each side every ring has one colour, so the stretched edges look the
same at any button size.

Usage: tools/make_button_faces.py [output folder]
"""
import os
import struct
import sys

WIDTH, HEIGHT = 64, 25

MARGIN = (0xEC, 0xE9, 0xD8)
BORDER = (0x00, 0x3C, 0x74)
DISABLED_BORDER = (0xC9, 0xC7, 0xBA)
FACE = (0xF4, 0xF3, 0xEE)
PRESSED_FACE = (0xE2, 0xE2, 0xDA)
DISABLED_FACE = (0xF5, 0xF4, 0xEA)

# Colours of rings 0 to 3 (outside in) and of the middle, per picture.
PICTURES = {
    "normal": ([MARGIN, BORDER, (0xFB, 0xFB, 0xF8), (0xF7, 0xF6, 0xF2)], FACE),
    "highlight": ([MARGIN, BORDER, (0xF8, 0xB3, 0x30), (0xFF, 0xD7, 0x8A)], FACE),
    "pressed": ([MARGIN, MARGIN, BORDER, PRESSED_FACE], PRESSED_FACE),
    "selected": ([MARGIN, BORDER, (0x98, 0xB8, 0xEC), (0xCE, 0xE0, 0xFB)], FACE),
    "highlightselect": ([MARGIN, BORDER, (0xF8, 0xB3, 0x30), (0xFF, 0xD7, 0x8A)], FACE),
    "disable": ([MARGIN, DISABLED_BORDER, DISABLED_FACE, DISABLED_FACE], DISABLED_FACE),
}


def blend(a, b, share_of_a):
    return tuple(round(x * share_of_a + y * (1 - share_of_a)) for x, y in zip(a, b))


def pixel(rings, middle, x, y):
    ring = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
    if ring >= len(rings):
        return middle
    colour = rings[ring]
    # Rounded corners: the border ring's corner pixel is half margin, and
    # the pixel diagonally inside it takes a little of the border.
    corner = min(x, WIDTH - 1 - x) == min(y, HEIGHT - 1 - y)
    border_ring = rings.index(next(c for c in rings if c in (BORDER, DISABLED_BORDER)))
    if corner and ring == border_ring:
        colour = blend(rings[border_ring], rings[border_ring - 1], 0.5)
    elif corner and ring == border_ring + 1:
        colour = blend(rings[border_ring], rings[ring], 0.35)
    return colour


def bmp_bytes(rings, middle, scale=1):
    """24-bit at the design size; at a larger scale each design pixel is a
    scale x scale block, with a palette of the picture's own colours."""
    width, height = WIDTH * scale, HEIGHT * scale
    rows = [[pixel(rings, middle, x // scale, y // scale) for x in range(width)]
            for y in reversed(range(height))]  # bottom-up
    if scale == 1:
        palette, bits = b"", 24
        data = [b"".join(bytes((b, g, r)) for r, g, b in row) for row in rows]
    else:
        colours = sorted({c for row in rows for c in row})
        index = {c: i for i, c in enumerate(colours)}
        palette, bits = b"".join(bytes((b, g, r, 0)) for r, g, b in colours), 8
        data = [bytes(index[c] for c in row) for row in rows]
    row_size = (width * bits // 8 + 3) // 4 * 4
    pixels = b"".join(row + bytes(row_size - len(row)) for row in data)
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    return header + info + palette + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "resources")
    for name, (rings, middle) in PICTURES.items():
        data = bmp_bytes(rings, middle)
        assert len(data) == 4854
        with open(os.path.join(folder, "command_%s.bmp" % name), "wb") as f:
            f.write(data)
        with open(os.path.join(folder, "command_%s_2x.bmp" % name), "wb") as f:
            f.write(bmp_bytes(rings, middle, 2))


if __name__ == "__main__":
    main()
