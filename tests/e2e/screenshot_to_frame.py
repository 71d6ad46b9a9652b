#!/usr/bin/env python3
"""Turns a screenshot into a frame of palette indices, or diffs two frames.

  screenshot_to_frame.py SHOT.png OUT.frame     (needs ImageMagick's convert)
  screenshot_to_frame.py --diff A.frame B.frame (prints the first differing pixels)

A frame has one line per pixel row and one hex digit per pixel. A colour
outside the 16-colour default palette is written as ?, so a wrong colour
shows up as a difference rather than being rounded to a near one.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from palette import PALETTE  # noqa: E402

DIGIT = {rgb: "0123456789abcdef"[i] for i, rgb in enumerate(PALETTE)}


def to_frame(png, out):
    size = subprocess.run(["identify", "-format", "%w %h", png], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    with open(out, "w") as f:
        for y in range(height):
            row = raw[y * width * 3:(y + 1) * width * 3]
            f.write("".join(DIGIT.get(tuple(row[x * 3:x * 3 + 3]), "?") for x in range(width)) + "\n")


def diff(a, b):
    fa, fb = (open(p).read().split() for p in (a, b))
    if len(fa) != len(fb) or (fa and len(fa[0]) != len(fb[0])):
        print(f"sizes differ: {len(fa[0]) if fa else 0}x{len(fa)} vs {len(fb[0]) if fb else 0}x{len(fb)}")
        return 1
    wrong = [(x, y, pa, pb) for y, (ra, rb) in enumerate(zip(fa, fb))
             for x, (pa, pb) in enumerate(zip(ra, rb)) if pa != pb]
    for x, y, pa, pb in wrong[:20]:
        print(f"({x}, {y}): shown {pa}, expected {pb}")
    print(f"{len(wrong)} pixels differ")
    return 1 if wrong else 0


if __name__ == "__main__":
    if sys.argv[1] == "--diff":
        sys.exit(diff(sys.argv[2], sys.argv[3]))
    to_frame(sys.argv[1], sys.argv[2])
