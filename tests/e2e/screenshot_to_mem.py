#!/usr/bin/env python3
"""Turns a screenshot into a .mem frame of palette indices, or diffs two frames.

  screenshot_to_mem.py SHOT.png OUT.mem     (needs ImageMagick's convert)
  screenshot_to_mem.py --diff A.mem B.mem   (prints the first differing pixels)

A colour outside the 16-colour default palette is written as -1, so a wrong
colour shows up as a difference rather than being rounded to a near one.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from palette import PALETTE  # noqa: E402

INDEX = {rgb: i for i, rgb in enumerate(PALETTE)}


def to_mem(png, out):
    size = subprocess.run(["identify", "-format", "%w %h", png], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    lines = []
    for y in range(height):
        row = raw[y * width * 3:(y + 1) * width * 3]
        lines.append(",".join(str(INDEX.get(tuple(row[x * 3:x * 3 + 3]), -1))
                              for x in range(width)))
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")


def read_mem(path):
    with open(path) as f:
        return [line.strip().split(",") for line in f if line.strip()]


def diff(a, b):
    fa, fb = read_mem(a), read_mem(b)
    if len(fa) != len(fb) or (fa and len(fa[0]) != len(fb[0])):
        print(f"sizes differ: {len(fa[0]) if fa else 0}x{len(fa)} vs "
              f"{len(fb[0]) if fb else 0}x{len(fb)}")
        return 1
    shown = 0
    for y, (ra, rb) in enumerate(zip(fa, fb)):
        for x, (pa, pb) in enumerate(zip(ra, rb)):
            if pa != pb:
                if shown < 20:
                    print(f"({x}, {y}): shown {pa}, expected {pb}")
                shown += 1
    print(f"{shown} pixels differ")
    return 1 if shown else 0


if __name__ == "__main__":
    if sys.argv[1] == "--diff":
        sys.exit(diff(sys.argv[2], sys.argv[3]))
    to_mem(sys.argv[1], sys.argv[2])
