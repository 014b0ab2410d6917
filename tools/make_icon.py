#!/usr/bin/env python3
"""Draws the program icon, 256 colours (8-bit palette), as .ico: 32 x 32,
and 64 x 64 for screens of twice the dpi, drawn from the same shapes.

A night-blue tile with a pale gold quill stroke across it.
Usage: make_icon.py OUT.ico
"""
import math
import struct
import sys

SIZE = 32


def pixel(x, y, scale=1):
    """RGB colour of pixel (x, y) of the icon `scale` times 32 pixels wide,
    origin top-left."""
    cx, cy = (x + 0.5) / scale, (y + 0.5) / scale
    # Rounded tile
    r = 5.0
    dx = max(r - cx, 0, cx - (SIZE - r))
    dy = max(r - cy, 0, cy - (SIZE - r))
    if dx * dx + dy * dy > r * r:
        return None
    t = cy / SIZE
    base = (int(20 + 30 * t), int(30 + 40 * t), int(90 + 70 * t))
    # Quill: a slim curved feather from lower left to upper right.
    u = (cx - cy + SIZE) / (2 * SIZE)          # position along the diagonal
    d = (cx + cy - SIZE) / math.sqrt(2)         # distance across it
    bend = 3.0 * math.sin(u * math.pi)
    width = 4.5 * math.sin(min(max((u - 0.15) / 0.8, 0), 1) * math.pi)
    if 0.12 < u < 0.95 and abs(d - bend) < width:
        k = 1 - abs(d - bend) / max(width, 0.01)
        return (int(200 + 55 * k), int(170 + 70 * k), int(90 + 60 * k))
    if 0.05 < u < 0.2 and abs(d - bend) < 0.8:
        return (240, 220, 160)
    return base


def image(scale):
    """The icon's image record (header, palette, colours, mask)."""
    size = SIZE * scale
    colours = []
    index = {}
    rows = []
    mask_rows = []
    mask_row_size = (size + 31) // 32 * 4
    for y in range(size - 1, -1, -1):  # bottom-up
        row = bytearray()
        mask = 0
        for x in range(size):
            c = pixel(x, y, scale)
            if c is None:
                mask |= 1 << (mask_row_size * 8 - 1 - x)
                c = (0, 0, 0)
            c = tuple(v // 8 * 8 for v in c)  # keep the palette small
            if c not in index:
                index[c] = len(colours)
                colours.append(c)
            row.append(index[c])
        rows.append(bytes(row))
        mask_rows.append(mask.to_bytes(mask_row_size, "big"))
    assert len(colours) <= 256, len(colours)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    palette += b"\0" * (1024 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0,
                         size * size + size * mask_row_size, 0, 0, 256, 0)
    return header + palette + b"".join(rows) + b"".join(mask_rows)


def main(out):
    images = [(SIZE * scale, image(scale)) for scale in (1, 2)]
    ico = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        ico += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(ico + b"".join(data for _, data in images))


if __name__ == "__main__":
    main(sys.argv[1])
