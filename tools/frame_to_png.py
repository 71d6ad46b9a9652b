#!/usr/bin/env python3
"""Renders frames (palette indices, one hex digit per pixel) as PNG for looking
at a golden frame.

  frame_to_png.py [--scale N] FRAME.frame... OUT.png

Several frames are laid side by side with a grey gap; indices outside 0..15
show as magenta so they stand out. Needs ImageMagick's convert.
"""
import argparse
import subprocess

from palette import PALETTE

GAP = 4


def read(path):
    with open(path) as f:
        return [[int(v, 16) if v != "?" else -1 for v in line.strip()]
                for line in f if line.strip() and " " not in line]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=int, default=2)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    frames = [read(p) for p in args.files[:-1]]
    height = max(len(f) for f in frames)
    width = sum(len(f[0]) for f in frames) + GAP * (len(frames) - 1)
    rows = []
    for y in range(height):
        row = bytearray()
        for i, frame in enumerate(frames):
            if i:
                row += bytes((90, 90, 90)) * GAP
            line = frame[y] if y < len(frame) else [0] * len(frame[0])
            for v in line:
                row += bytes(PALETTE[v] if 0 <= v < 16 else (255, 0, 255))
        rows.append(bytes(row))
    ppm = b"P6 %d %d 255\n" % (width, height) + b"".join(rows)
    subprocess.run(["convert", "ppm:-", "-scale", f"{args.scale * 100}%", args.files[-1]],
                   input=ppm, check=True)


if __name__ == "__main__":
    main()
