#!/usr/bin/env python3
"""Makes the page's icons from the player's figure, the picture the desktop
icons show: each figure pixel a whole square, so every size stays crisp, and
colour 0 see-through.

  make_icons.py FIGURE.mem OUT_DIR SIZE...    writes OUT_DIR/tilewalk-SIZE.png

SIZE is a multiple of the figure's width.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from palette import PALETTE  # noqa: E402


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(rows, size):
    """RGBA rows of palette indices, scaled to size x size."""
    scale = size // len(rows[0])
    raw = bytearray()
    for row in rows:
        line = bytearray(b"\0")  # filter: none
        for index in row:
            red, green, blue = PALETTE[index] if index < len(PALETTE) else (0, 0, 0)
            line += bytes((red, green, blue, 0 if index == 0 else 255)) * scale
        raw += bytes(line) * scale
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    figure, out_dir, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
    with open(figure) as f:
        rows = [[int(v) for v in line.split(",")] for line in f if line.strip()]
    os.makedirs(out_dir, exist_ok=True)
    for size in sizes:
        if size % len(rows[0]) or len(rows) != len(rows[0]):
            sys.exit(f"make_icons.py: {size} is not a whole multiple of the square figure")
        with open(os.path.join(out_dir, f"tilewalk-{size}.png"), "wb") as f:
            f.write(png(rows, size))


if __name__ == "__main__":
    main()
