#!/usr/bin/env python3
"""Prints the file version of a Windows program's version block (its
VS_FIXEDFILEINFO), as a.b.c.d, or fails when it has none.

Usage: pe_version.py FILE...   (one line per file: "FILE VERSION")
"""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def file_version(path):
    data = open(path, "rb").read()
    at = data.find(SIGNATURE)
    if at < 0:
        return None
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    status = 0
    for path in sys.argv[1:]:
        version = file_version(path)
        if version is None:
            print(f"{path}: no version block", file=sys.stderr)
            status = 1
        else:
            print(f"{path} {version}")
    sys.exit(status)


if __name__ == "__main__":
    main()
