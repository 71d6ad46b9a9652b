#!/usr/bin/env python3
"""Writes runtime/text/font_table.cpp: the 256 8x8 glyphs in code page 437 order.

The bitmaps come from Debian's console-data fonts (/usr/share/consolefonts), which
store bit 7 as the leftmost pixel; the table stores bit 0 as the leftmost, so every
row byte is mirrored. No single 8x8 font there is in code page 437 order with the
classic PC shapes, so the table is assembled:

  * alt-8x8 (CP866) for 0x00-0x7F and 0xB0-0xDF, positions CP866 shares with CP437;
  * iso01a-8x8 (ISO 8859-1 order, same drawing style) for the Latin-1 characters
    that CP437 keeps in 0x80-0xAF and 0xE0-0xFF;
  * fonts with a Unicode table for what Latin-1 lacks (Greek letters, maths signs);
  * a handful drawn here by hand where no 8x8 console font has the character.

Usage: tools/make_font_table.py [output path]   (needs the console-data package)
"""
import gzip
import os
import struct
import sys

FONT_DIR = "/usr/share/consolefonts"

# Glyphs the game prints; generation stops if a source font disagrees with them.
REQUIRED = {
    " ": "00 00 00 00 00 00 00 00",
    ",": "00 00 00 00 00 0C 0C 06",
    "-": "00 00 00 3F 00 00 00 00",
    "0": "3E 63 73 7B 6F 67 3E 00",
    "1": "0C 0E 0C 0C 0C 0C 3F 00",
    "2": "1E 33 30 1C 06 33 3F 00",
    "3": "1E 33 30 1C 30 33 1E 00",
    "4": "38 3C 36 33 7F 30 78 00",
    "5": "3F 03 1F 30 30 33 1E 00",
    "6": "1C 06 03 1F 33 33 1E 00",
    "7": "3F 33 30 18 0C 0C 0C 00",
    "8": "1E 33 33 1E 33 33 1E 00",
    "9": "1E 33 33 3E 30 18 0E 00",
}

# Fonts with a Unicode table, tried in this order for characters outside Latin-1.
UNICODE_FONTS = ["lat1-08", "iso07.f08", "lat4-08", "Cyr_a8x8"]

# Drawn by hand in the style of the rest ('#' = glyph pixel, leftmost first).
HAND_DRAWN = {
    0x20A7: [  # peseta sign
        "###.....", "#..#....", "#..#.#..", "###.###.",
        "#....#..", "#....#.#", "#.....#.", "........"],
    0x2310: [  # reversed not sign
        "........", "........", "######..", "##......",
        "##......", "........", "........", "........"],
    0x221E: [  # infinity
        "........", "........", ".##.##..", "#..#..#.",
        "#..#..#.", ".##.##..", "........", "........"],
    0x2229: [  # intersection
        "........", ".####...", "##..##..", "##..##..",
        "##..##..", "##..##..", "##..##..", "........"],
    0x2261: [  # identical to
        "........", "######..", "........", "######..",
        "........", "######..", "........", "........"],
}

# CP437 positions 0x00-0x1F and 0x7F are pictures, not controls; alt-8x8 holds the
# same pictures there, so those positions are taken by position, not by code point.
POSITIONAL_ALT = list(range(0x00, 0x80)) + list(range(0xB0, 0xE0))


def load_psf1(name):
    with gzip.open(os.path.join(FONT_DIR, name + ".psf.gz")) as f:
        data = f.read()
    if data[:2] != b"\x36\x04":
        raise SystemExit(f"{name}: not a PSF1 font")
    mode, height = data[2], data[3]
    if height != 8:
        raise SystemExit(f"{name}: glyphs are {height} rows high, not 8")
    count = 512 if mode & 1 else 256
    glyphs = [data[4 + i * 8:12 + i * 8] for i in range(count)]
    by_code_point = {}
    if mode & 2:
        pos = 4 + count * 8
        for index in range(count):
            in_sequence = False
            while True:
                (value,) = struct.unpack_from("<H", data, pos)
                pos += 2
                if value == 0xFFFF:
                    break
                if value == 0xFFFE:
                    in_sequence = True
                elif not in_sequence:
                    by_code_point.setdefault(value, index)
    return glyphs, by_code_point


def mirror(byte):
    return int(f"{byte:08b}"[::-1], 2)


def from_art(rows):
    return bytes(sum(1 << (7 - b) for b, c in enumerate(row) if c == "#") for row in rows)


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "runtime", "text", "font_table.cpp")

    alt, _ = load_psf1("alt-8x8")
    latin1, _ = load_psf1("iso01a-8x8")
    unicode_fonts = [(name, *load_psf1(name)) for name in UNICODE_FONTS]

    table = [None] * 256
    origin = [None] * 256
    for pos in POSITIONAL_ALT:
        table[pos], origin[pos] = alt[pos], "alt-8x8"
    for pos in range(256):
        if table[pos] is not None:
            continue
        code_point = ord(bytes([pos]).decode("cp437"))
        if 0xA0 <= code_point <= 0xFF:
            table[pos], origin[pos] = latin1[code_point], "iso01a-8x8"
            continue
        for name, glyphs, by_code_point in unicode_fonts:
            if code_point in by_code_point:
                table[pos], origin[pos] = glyphs[by_code_point[code_point]], name
                break
        else:
            if code_point not in HAND_DRAWN:
                raise SystemExit(f"no glyph for 0x{pos:02X} (U+{code_point:04X})")
            table[pos], origin[pos] = from_art(HAND_DRAWN[code_point]), "hand"

    rows = [[mirror(b) for b in glyph] for glyph in table]
    for char, want in REQUIRED.items():
        got = " ".join(f"{b:02X}" for b in rows[ord(char)])
        if got != want:
            raise SystemExit(f"glyph {char!r} is {got}, expected {want}")

    # Group consecutive positions of one source for the header comment.
    ranges = []
    for pos in range(256):
        if ranges and ranges[-1][2] == origin[pos] and ranges[-1][1] == pos - 1:
            ranges[-1][1] = pos
        else:
            ranges.append([pos, pos, origin[pos]])

    lines = [
        "// Generated by tools/make_font_table.py; edit the script, not this file.",
        "//",
        "// The 8x8 glyphs of code page 437, one byte per pixel row from the top,",
        "// bit 0 = leftmost pixel. Bitmaps are data from Debian's console-data fonts",
        "// (/usr/share/consolefonts, bit order mirrored); positions and sources:",
    ]
    for first, last, name in ranges:
        span = f"0x{first:02X}" if first == last else f"0x{first:02X}-0x{last:02X}"
        source = "drawn by hand in tools/make_font_table.py" if name == "hand" else name
        lines.append(f"//   {span}: {source}")
    lines += [
        "// alt-8x8 is CP866, which agrees with CP437 on the positions taken from it;",
        "// the others were looked up by the character's Unicode code point.",
        "",
        '#include "runtime/text/font_table.h"',
        "",
        "namespace runtime {",
        "",
        "const std::array<Glyph, 256> FONT_GLYPHS = {{",
    ]
    for pos, glyph in enumerate(rows):
        body = ", ".join(f"0x{b:02X}" for b in glyph)
        lines.append(f"    {{{{{body}}}}},  // 0x{pos:02X}")
    lines += ["}};", "", "}  // namespace runtime", ""]
    with open(out_path, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
