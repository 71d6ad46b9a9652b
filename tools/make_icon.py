#!/usr/bin/env python3
"""Writes a Windows icon (.ico) of a 16 x 16 .mem picture, as the desktop
icons are made: every pixel a whole square at each size, colour 0 see-through.
The sizes are stored as PNG, which every Windows since Vista reads.

Usage: make_icon.py PICTURE.mem OUT.ico"""

import struct
import sys
import zlib

from palette import PALETTE

SIZES = (16, 32, 48, 64, 256)
SIDE = 16


def read_picture(path):
    with open(path, encoding="ascii") as f:
        values = [int(item) for item in f.read().replace("\n", ",").split(",") if item.strip()]
    if len(values) < SIDE * SIDE:
        sys.exit(f"{path}: {len(values)} values, a 16 x 16 picture has {SIDE * SIDE}")
    return values[: SIDE * SIDE]


def png(picture, size):
    scale = size // SIDE
    rows = []
    for y in range(size):
        row = bytearray([0])  # no filter
        for x in range(size):
            index = picture[(y // scale) * SIDE + x // scale]
            red, green, blue = PALETTE[index] if 0 <= index < len(PALETTE) else (0, 0, 0)
            row += bytes((red, green, blue, 0 if index == 0 else 255))
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    picture = read_picture(sys.argv[1])
    images = [png(picture, size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        side = size if size < 256 else 0  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(sys.argv[2], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
