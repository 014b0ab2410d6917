#!/usr/bin/env python3
"""Turns a 24-bit BMP into an 8-bit (256-colour palette) BMP.

The preview still is mostly dark field with small glowing points: a palette
fitted to the picture (median cut) keeps it indistinguishable from the
original at a third of the size. No dithering, so the result is exact and
repeatable for the same input.

Usage: bmp_to_8bit.py IN.bmp OUT.bmp
"""
import struct
import sys


def read_bmp24(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        sys.exit(f"{path}: want an uncompressed 24-bit BMP, got {bits} bits")
    bottom_up = height > 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        start = offset + y * stride
        row = data[start:start + width * 3]
        rows.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(width)])
    if bottom_up:
        rows.reverse()  # top row first
    return width, height, rows


def median_cut(colours, count):
    """Up to `count` boxes of (colour, weight) pairs, split at the median of
    their widest channel, largest weighted spread first."""
    boxes = [sorted(colours.items())]

    def spread(box):
        lo = [min(c[i] for c, _ in box) for i in range(3)]
        hi = [max(c[i] for c, _ in box) for i in range(3)]
        widths = [hi[i] - lo[i] for i in range(3)]
        channel = max(range(3), key=lambda i: widths[i])
        return widths[channel] * sum(w for _, w in box), channel

    while len(boxes) < count:
        candidates = [(spread(b), i) for i, b in enumerate(boxes) if len(b) > 1]
        if not candidates:
            break
        ((score, channel), index) = max(candidates, key=lambda t: (t[0][0], -t[1]))
        if score == 0:
            break
        box = sorted(boxes.pop(index), key=lambda cw: (cw[0][channel], cw[0]))
        total = sum(w for _, w in box)
        running, cut = 0, 1
        for i, (_, w) in enumerate(box):
            running += w
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes.insert(index, box[cut:])
        boxes.insert(index, box[:cut])
    palette = []
    for box in boxes:
        total = sum(w for _, w in box)
        palette.append(tuple(round(sum(c[i] * w for c, w in box) / total) for i in range(3)))
    return palette


def nearest(palette, colour, cache):
    if colour not in cache:
        cache[colour] = min(range(len(palette)),
                            key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))
    return cache[colour]


def write_bmp8(path, width, height, rows, palette):
    palette = palette + [(0, 0, 0)] * (256 - len(palette))
    cache = {}
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytes(nearest(palette, c, cache) for c in row)
        pixels += line + b"\0" * (stride - width)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    open(path, "wb").write(header + info + table + pixels)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_bmp24(sys.argv[1])
    colours = {}
    for row in rows:
        for c in row:
            colours[c] = colours.get(c, 0) + 1
    write_bmp8(sys.argv[2], width, height, rows, median_cut(colours, 256))


if __name__ == "__main__":
    main()
