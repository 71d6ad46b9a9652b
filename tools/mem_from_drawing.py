#!/usr/bin/env python3
"""Turn a small text drawing into a .mem file, and check shipped files against their drawings.

A drawing (tools/art/*.txt) is a short header, a legend that maps one character to one
integer, and a picture with one character per pixel:

    ; comment lines start with a semicolon
    output: datapack/graphics/brick03.mem
    size: 16 16
    range: 0 15
    legend:
      . = 0   mortar
      r = 4   brick body
    picture:
    rrrrrrr.rrrrrrrr
    ...

The picture has exactly `height` lines of exactly `width` characters. Output paths are relative
to the repository root. The .mem written is one picture row per line, items separated by commas,
LF line ends and no trailing comma (a trailing comma would make an extra item of value 0 and
shift every later pixel).

    mem_from_drawing.py [DRAWING ...]          write the .mem of each drawing (default: all)
    mem_from_drawing.py --check [DRAWING ...]  fail if a shipped file is stale or malformed

--check also reads every shipped file back with the game's item rules and demands exactly
width x height plain decimal items inside the drawing's range, that every asset the game loads
has a drawing of the right size, and that no .mem under datapack/ lacks a drawing.
Plain Python 3, standard library only.
"""

import argparse
import os
import re
import sys

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The six files the game loads, with the size it reads each one at.
ASSETS = {
    "datapack/graphics/brick03.mem": (16, 16),
    "datapack/graphics/flame01.mem": (16, 16),
    "datapack/graphics/flame02.mem": (16, 16),
    "datapack/graphics/skull01.mem": (16, 16),
    "datapack/graphics/morvek1.mem": (16, 16),
    "datapack/maps/map002.mem": (64, 32),
}

ITEM_LIMIT = 67  # the game's item buffer; a longer run of characters splits into two items


class DrawingError(Exception):
    pass


class Drawing:
    def __init__(self, source, output, width, height, low, high, legend, rows):
        self.source = source
        self.output = output
        self.width = width
        self.height = height
        self.low = low
        self.high = high
        self.legend = legend  # char -> value
        self.rows = rows  # list of lists of values

    def mem_text(self):
        return "".join(",".join(str(v) for v in row) + "\n" for row in self.rows)


def parse_drawing(text, source="<drawing>"):
    """Parses a drawing; raises DrawingError naming the line for anything malformed."""
    header = {}
    legend = {}
    picture = []
    section = "header"
    for number, raw in enumerate(text.split("\n"), start=1):
        line = raw.rstrip("\r")
        where = f"{source}:{number}"
        if section == "picture":
            picture.append((where, line.rstrip(" \t")))
            continue
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        if stripped == "legend:":
            section = "legend"
            continue
        if stripped == "picture:":
            section = "picture"
            continue
        if section == "legend":
            m = re.fullmatch(r"(\S)\s*=\s*(-?\d+)(\s.*)?", stripped)
            if not m:
                raise DrawingError(f"{where}: legend line must read 'C = VALUE [note]'")
            char, value = m.group(1), int(m.group(2))
            if char in legend:
                raise DrawingError(f"{where}: '{char}' is in the legend twice")
            legend[char] = value
            continue
        m = re.fullmatch(r"(output|size|range):\s*(.*)", stripped)
        if not m:
            raise DrawingError(f"{where}: expected 'output:', 'size:', 'range:', 'legend:' or "
                               "'picture:'")
        header[m.group(1)] = (where, m.group(2).strip())

    for key in ("output", "size", "range"):
        if key not in header:
            raise DrawingError(f"{source}: missing '{key}:'")
    output = header["output"][1]
    if not output or os.path.isabs(output) or ".." in output.split("/"):
        raise DrawingError(f"{header['output'][0]}: output must be a path inside the repository")

    def two_ints(key):
        where, value = header[key]
        m = re.fullmatch(r"(-?\d+)\s+(-?\d+)", value)
        if not m:
            raise DrawingError(f"{where}: '{key}:' needs two integers")
        return int(m.group(1)), int(m.group(2))

    width, height = two_ints("size")
    low, high = two_ints("range")
    if not (1 <= width <= 320 and 1 <= height <= 200):
        raise DrawingError(f"{header['size'][0]}: size must fit the 320 x 200 page")
    if low > high:
        raise DrawingError(f"{header['range'][0]}: range is empty")
    if not legend:
        raise DrawingError(f"{source}: empty legend")
    for char, value in legend.items():
        if not low <= value <= high:
            raise DrawingError(f"{source}: legend '{char}' = {value} is outside {low}..{high}")

    while picture and not picture[-1][1]:
        picture.pop()
    if len(picture) != height:
        raise DrawingError(f"{source}: picture has {len(picture)} rows, size says {height}")
    rows = []
    for where, line in picture:
        if len(line) != width:
            raise DrawingError(f"{where}: row is {len(line)} characters wide, size says {width}")
        row = []
        for column, char in enumerate(line):
            if char not in legend:
                raise DrawingError(f"{where}: column {column}: '{char}' is not in the legend")
            row.append(legend[char])
        rows.append(row)
    return Drawing(source, output, width, height, low, high, legend, rows)


def load_drawing(path):
    with open(path, encoding="utf-8") as f:
        return parse_drawing(f.read(), os.path.relpath(path))


# --- Reading .mem files the way the game does -------------------------------------------------

_BLANKS = b" \t"


def _end_after_blanks(data, pos):
    """After an item ended at a blank: skip blanks, then swallow one comma or line end."""
    n = len(data)
    while pos < n and data[pos] in _BLANKS:
        pos += 1
    if pos < n:
        if data[pos] in b",\n":
            pos += 1
        elif data[pos] == 0x0D:
            pos += 1
            if pos < n and data[pos] == 0x0A:
                pos += 1
    return pos


def read_item(data, pos):
    """Reads one item from bytes at pos; returns (text, was_quoted, new_pos)."""
    n = len(data)
    while pos < n and data[pos] in _BLANKS:
        pos += 1
    text = bytearray()
    quoted = in_quote = False
    first = True
    while pos < n:
        c = data[pos]
        pos += 1
        if c == 0x0A:
            return bytes(text), quoted, pos
        if c == 0x0D:
            if pos < n and data[pos] == 0x0A:
                pos += 1
            return bytes(text), quoted, pos
        if not in_quote and c == 0x2C:
            return bytes(text), quoted, pos
        if not in_quote and c in _BLANKS:
            return bytes(text), quoted, _end_after_blanks(data, pos)
        if c == 0x22 and (first or in_quote):
            quoted = True
            in_quote = not in_quote
            first = False
            continue
        first = False
        text.append(c)
        if len(text) == ITEM_LIMIT:
            # The next character ends the item as a separator would, or begins the next item.
            if pos < n:
                c = data[pos]
                if c in b",\n":
                    pos += 1
                elif c == 0x0D:
                    pos += 1
                    if pos < n and data[pos] == 0x0A:
                        pos += 1
                elif c in _BLANKS:
                    pos = _end_after_blanks(data, pos + 1)
            return bytes(text), quoted, pos
    return bytes(text), quoted, pos


def read_all_items(data):
    """All items a reader takes before it reaches the end of the file."""
    items = []
    pos = 0
    while pos < len(data):
        text, quoted, pos = read_item(data, pos)
        items.append((text, quoted))
    return items


def item_value(text):
    """The int32 an item converts to, for items written as plain or signed decimal, &H/&O/&B/&
    radix or floating point. Used by the preview so a hand-edited file shows as the game would."""
    before_radix = text.split(b"&", 1)[0]
    is_float = re.search(rb"[.eEdD]", before_radix) is not None
    body = text.lstrip(b" ")
    if not body:
        return 0
    if is_float:
        if body[:2] in (b"0x", b"0X"):
            return 0
        m = re.match(rb"[ \t\n\r\f\v]*([+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?)", body)
        if not m:
            return 0
        try:
            value = float(m.group(1).replace(b"d", b"e").replace(b"D", b"E"))
        except (ValueError, OverflowError):
            return -2147483648
        if value != value or value in (float("inf"), float("-inf")):
            return -2147483648
        rounded = round(value)
        return rounded if -2147483648 <= rounded <= 2147483647 else -2147483648
    if body[:1] == b"&" and len(body) >= 2:
        bases = {b"h": 16, b"o": 8, b"b": 2}
        base = bases.get(body[1:2].lower())
        digits_from = 2 if base else 1
        base = base or 8
        value = 0
        for ch in body[digits_from:].decode("latin-1"):
            digit = int(ch, 36) if ch.isalnum() and ch.isascii() else 99
            if digit >= base:
                break
            value = (value * base + digit) % (1 << 32)
        return value - (1 << 32) if value >= 1 << 31 else value
    m = re.match(rb"[ \t\n\r\f\v]*([+-]?)(\d*)", body)
    if not m.group(2):
        return 0
    magnitude = int(m.group(2))
    if magnitude >= 1 << 32:
        bits = (1 << 32) - 1
    else:
        bits = (-magnitude if m.group(1) == b"-" else magnitude) % (1 << 32)
    return bits - (1 << 32) if bits >= 1 << 31 else bits


def read_mem(path, width, height):
    """The picture the game loads from path: rows of values (low 8 bits), 0 where items run out,
    or None when the file is missing."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    values = [item_value(text) & 0xFF for text, _ in read_all_items(data)[: width * height]]
    values += [0] * (width * height - len(values))
    return [values[y * width:(y + 1) * width] for y in range(height)]


# --- Checking ----------------------------------------------------------------------------------

def check_shipped(drawing, root):
    """Problems with the shipped file of one drawing, as a list of messages."""
    path = os.path.join(root, drawing.output)
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        return [f"{drawing.output}: cannot read ({e.strerror}); run tools/mem_from_drawing.py"]
    problems = []
    if data != drawing.mem_text().encode("ascii"):
        problems.append(f"{drawing.output}: differs from {drawing.source}; "
                        "run tools/mem_from_drawing.py to regenerate")
    items = read_all_items(data)
    expected = drawing.width * drawing.height
    if len(items) != expected:
        problems.append(f"{drawing.output}: reads as {len(items)} items, needs exactly "
                        f"{drawing.width} x {drawing.height} = {expected}")
    for k, (text, quoted) in enumerate(items[:expected]):
        where = f"{drawing.output}: item {k} (x {k % drawing.width}, y {k // drawing.width})"
        if quoted or not re.fullmatch(rb"[0-9]+", text):
            problems.append(f"{where} is {text!r}, not a plain decimal number")
        elif not drawing.low <= int(text) <= drawing.high:
            problems.append(f"{where} is {int(text)}, outside {drawing.low}..{drawing.high}")
        if len(problems) > 8:
            problems.append(f"{drawing.output}: further problems not listed")
            break
    return problems


def check_datapack(drawings, root, all_drawings):
    """Problems across the whole datapack: assets without a drawing, files without a drawing."""
    problems = []
    by_output = {}
    for d in drawings:
        if d.output in by_output:
            problems.append(f"{d.output}: made by both {by_output[d.output].source} and {d.source}")
        by_output[d.output] = d
    if not all_drawings:
        return problems
    for output, (width, height) in ASSETS.items():
        d = by_output.get(output)
        if d is None:
            problems.append(f"{output}: the game loads it but no drawing makes it")
        elif (d.width, d.height) != (width, height):
            problems.append(f"{d.source}: size {d.width} x {d.height}, the game reads "
                            f"{output} as {width} x {height}")
    datapack = os.path.join(root, "datapack")
    for dirpath, _, files in os.walk(datapack):
        for name in sorted(files):
            if name.endswith(".mem"):
                rel = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                if rel not in by_output:
                    problems.append(f"{rel}: no drawing under tools/art/ makes it")
    return problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("drawings", nargs="*", help="drawing files (default: tools/art/*.txt)")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when a shipped file is stale or malformed")
    parser.add_argument("--root", default=REPO_ROOT, help="repository root (default: this one)")
    args = parser.parse_args(argv)

    all_drawings = not args.drawings
    paths = args.drawings
    if all_drawings:
        art = os.path.join(args.root, "tools", "art")
        paths = sorted(os.path.join(art, n) for n in os.listdir(art) if n.endswith(".txt"))

    problems = []
    drawings = []
    for path in paths:
        try:
            drawings.append(load_drawing(path))
        except (DrawingError, OSError, UnicodeDecodeError) as e:
            problems.append(str(e))

    if args.check:
        for d in drawings:
            problems += check_shipped(d, args.root)
        problems += check_datapack(drawings, args.root, all_drawings)
    elif not problems:
        for d in drawings:
            out = os.path.join(args.root, d.output)
            os.makedirs(os.path.dirname(out), exist_ok=True)
            with open(out, "w", encoding="ascii", newline="\n") as f:
                f.write(d.mem_text())
            print(f"{d.source} -> {d.output} ({d.width} x {d.height})")

    for p in problems:
        print(p, file=sys.stderr)
    if args.check and not problems:
        print(f"{len(drawings)} drawings match their shipped files")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
