#!/usr/bin/env python3
"""Packs PNG pictures of one icon at several sizes into a Windows .ico file, each picture kept
as PNG (as Windows reads them since Vista): make-ico.py OUT.ico IN.png..."""
import struct
import sys


def size_of(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n" or png[12:16] != b"IHDR":
        raise SystemExit("make-ico: not a PNG picture")
    return struct.unpack(">II", png[16:24])


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    pictures = []
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            pictures.append(f.read())
    pictures.sort(key=lambda png: size_of(png)[0])
    out = struct.pack("<HHH", 0, 1, len(pictures))
    offset = 6 + 16 * len(pictures)
    for png in pictures:
        width, height = size_of(png)
        # 256 is written as 0 in the one-byte size fields.
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(pictures))


main()
