#!/usr/bin/env python3
"""Render the datapack to one PNG for looking at while authoring.

From top to bottom the sheet shows:
  1. the five pictures, enlarged 8x: brick, flame frame 0, flame frame 1, skull, player; then a
     3 x 3 patch of brick (to judge the seams) and the player on a walkable flame and on a box;
  2. the whole 320 x 200 screen the game shows with the player at the start cell (or --at X Y),
     once per flame phase, enlarged 2x (the position readout text is not drawn: no font here);
  3. the whole map drawn with its tiles, one 16 x 16 tile per cell, the player at the start.
Files are read the way the game reads them, so a missing or short file shows as the game would
show it. Plain Python 3, standard library only: the PNG is written with zlib.

    preview_datapack.py [-o OUT.png] [--scale N] [--at X Y] [--root DIR]
"""

import argparse
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mem_from_drawing as mem  # noqa: E402
from palette import PALETTE  # noqa: E402

SHEET_BACKGROUND = (40, 40, 48)  # not a palette colour, so black picture pixels stand out

PAGE_W, PAGE_H = 320, 200
START = (2, 2)
BRICK, FLAME0, FLAME1, SKULL, PLAYER, MAP = range(6)


def load_assets(root):
    assets = []
    for path, (w, h) in mem.ASSETS.items():
        rows = mem.read_mem(os.path.join(root, path), w, h)
        assets.append(rows if rows is not None else [[0] * w for _ in range(h)])
    return assets


class Page:
    """An indexed picture of bytes, drawn on with the game's put and box rules."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0] * width for _ in range(height)]

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.pixels[y][x]
        return -1

    def put(self, px, py, picture, mode):
        for y, row in enumerate(picture):
            for x, value in enumerate(row):
                tx, ty = px + x, py + y
                if 0 <= tx < self.width and 0 <= ty < self.height:
                    under = self.pixels[ty][tx]
                    self.pixels[ty][tx] = (under ^ value if mode == "xor" else under | value) & 0xFF

    def box(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            for y in (y0, y1):
                if 0 <= x < self.width and 0 <= y < self.height:
                    self.pixels[y][x] = colour
        for y in range(y0, y1 + 1):
            for x in (x0, x1):
                if 0 <= x < self.width and 0 <= y < self.height:
                    self.pixels[y][x] = colour


def draw_tile(page, px, py, code, phase, assets):
    if code == 1:
        page.put(px, py, assets[BRICK], "xor")
    elif code in (2, 3):
        page.put(px, py, assets[FLAME1 if phase & 1 else FLAME0], "xor")
    elif code == 4:
        page.put(px, py, assets[SKULL], "xor")
    elif code > 4:
        page.box(px, py, px + 16, py + 16, 15)


def map_page(assets):
    page = Page(PAGE_W, PAGE_H)
    for y, row in enumerate(assets[MAP]):
        for x, value in enumerate(row):
            page.pixels[y][x] = value
    return page


def blocks(code):
    return code in (-1, 1, 2, 4)


def game_screen(assets, at, phase):
    """The frame the game composes with the player standing at `at`."""
    cells = map_page(assets)
    x, y = at
    screen = Page(PAGE_W, PAGE_H)
    for j in range(1, 8):
        for i in range(1, 16):
            draw_tile(screen, (i - 1) * 16, (j - 1) * 16, cells.get(x + i - 8, y + j - 4), phase,
                      assets)
    if not blocks(cells.get(x, y)):
        screen.box(112, 48, 128, 64, 15)
    screen.box(0, 0, 240, 112, 15)
    screen.put(112, 48, assets[PLAYER], "or")
    return screen


def whole_map(assets, phase):
    cells = assets[MAP]
    page = Page(len(cells[0]) * 16 + 1, len(cells) * 16 + 1)
    for y, row in enumerate(cells):
        for x, code in enumerate(row):
            draw_tile(page, x * 16, y * 16, code, phase, assets)
    page.put(START[0] * 16, START[1] * 16, assets[PLAYER], "or")
    return page


def player_on(assets, code):
    page = Page(17, 17)
    draw_tile(page, 0, 0, code, 0, assets)
    page.put(0, 0, assets[PLAYER], "or")
    return page


def brick_patch(assets):
    page = Page(48, 48)
    for ty in range(3):
        for tx in range(3):
            page.put(tx * 16, ty * 16, assets[BRICK], "xor")
    return page


class Sheet:
    def __init__(self):
        self.items = []  # (x, y, indexed rows, zoom)
        self.width = self.height = 0

    def place(self, x, y, rows, zoom):
        self.items.append((x, y, rows, zoom))
        self.width = max(self.width, x + len(rows[0]) * zoom)
        self.height = max(self.height, y + len(rows) * zoom)

    def rgb_rows(self, margin):
        w, h = self.width + 2 * margin, self.height + 2 * margin
        out = [bytearray(bytes(SHEET_BACKGROUND) * w) for _ in range(h)]
        for x0, y0, rows, zoom in self.items:
            for y, row in enumerate(rows):
                line = bytearray()
                for value in row:
                    line += bytes(PALETTE[value] if 0 <= value < 16 else (0, 0, 0)) * zoom
                start = (x0 + margin) * 3
                for dy in range(zoom):
                    out[y0 + margin + y * zoom + dy][start:start + len(line)] = line
        return w, h, out


def write_png(path, width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("-o", "--out", default="datapack_preview.png")
    parser.add_argument("--scale", type=int, default=1, help="enlarge the whole sheet N times")
    parser.add_argument("--at", type=int, nargs=2, metavar=("X", "Y"), default=START,
                        help="player cell for the screen views (default: the start, 2 2)")
    parser.add_argument("--root", default=mem.REPO_ROOT)
    args = parser.parse_args(argv)
    if not 1 <= args.scale <= 8:
        parser.error("--scale must be 1 to 8")

    assets = load_assets(args.root)
    s = args.scale
    sheet = Sheet()
    gap = 16 * s
    x = 0
    for index in (BRICK, FLAME0, FLAME1, SKULL, PLAYER):
        sheet.place(x, 0, assets[index], 8 * s)
        x += 128 * s + gap
    sheet.place(x, 0, brick_patch(assets).pixels, 2 * s)
    x += 96 * s + gap
    sheet.place(x, 0, player_on(assets, 3).pixels, 4 * s)
    sheet.place(x + 68 * s + gap // 2, 0, player_on(assets, 5).pixels, 4 * s)
    y = 128 * s + gap
    for phase in (0, 1):
        sheet.place(phase * (640 * s + gap), y, game_screen(assets, tuple(args.at), phase).pixels,
                    2 * s)
    y += 400 * s + gap
    sheet.place(0, y, whole_map(assets, 0).pixels, s)
    width, height, rows = sheet.rgb_rows(8 * s)
    write_png(args.out, width, height, rows)
    print(f"wrote {args.out} ({width} x {height})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
