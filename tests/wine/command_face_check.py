#!/usr/bin/env python3
"""Checks one skinned button's face on a screenshot, pixel by pixel.

  command_face_check.py SHOT.ppm PICTURE.bmp X,Y,W,H ROWS MIDDLE

SHOT is a binary PPM of the screen, PICTURE the state picture the face
should show, X,Y,W,H the button's screen rectangle, ROWS the gradient's
row colours as the host printed them ("ffffff,fdfdfe,..."), MIDDLE "all"
to check the whole middle or "sides" to leave the caption's part out.

The outer 4-pixel band must be the picture's band: corners copied as they
are, edges stretched (each edge of a state picture has one colour along its
length, so every destination pixel has one right answer). Inside it, every
pixel must be the gradient's colour of its row: the picture's middle never
shows. Prints key=value lines; the scenario judges them.
"""
import struct
import sys

BAND = 4


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255"
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]

    def at(x, y):
        i = (y * width + x) * 3
        return "%02x%02x%02x" % tuple(pixels[i:i + 3])

    return at


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    row = (width * 3 + 3) // 4 * 4

    def at(x, y):
        i = offset + (height - 1 - y) * row + x * 3
        b, g, r = data[i:i + 3]
        return "%02x%02x%02x" % (r, g, b)

    return at, width, height


def main():
    shot = read_ppm(sys.argv[1])
    picture, pw, ph = read_bmp(sys.argv[2])
    x0, y0, w, h = (int(v) for v in sys.argv[3].split(","))
    rows = sys.argv[4].split(",")
    middle = sys.argv[5]

    def expected_band(x, y):
        # The source pixel of face pixel (x, y) of the outer band.
        sx = x if x < BAND else pw - (w - x) if x >= w - BAND else pw // 2
        sy = y if y < BAND else ph - (h - y) if y >= h - BAND else ph // 2
        return picture(sx, sy)

    band_bad = middle_bad = 0
    first_bad = ""
    for y in range(h):
        for x in range(w):
            actual = shot(x0 + x, y0 + y)
            in_band = x < BAND or y < BAND or x >= w - BAND or y >= h - BAND
            if in_band:
                want = expected_band(x, y)
                if actual != want:
                    band_bad += 1
                    first_bad = first_bad or "band %d,%d is %s, not %s" % (x, y, actual, want)
                continue
            if middle == "sides" and 10 <= x < w - 10:
                continue
            if actual != rows[y]:
                middle_bad += 1
                first_bad = first_bad or "middle %d,%d is %s, not %s" % (x, y, actual, rows[y])
    print("band_mismatches=%d" % band_bad)
    print("middle_mismatches=%d" % middle_bad)
    print("first_mismatch=%s" % first_bad)
    # For the report: margin, border line and glow of the top edge, and the
    # gradient's first and last visible rows.
    mid = x0 + w // 2
    print("top_band=%s" % ",".join(shot(mid, y0 + y) for y in range(BAND)))
    print("gradient_visible=%s..%s" % (shot(x0 + 5, y0 + BAND), shot(x0 + 5, y0 + h - BAND - 1)))


if __name__ == "__main__":
    main()
