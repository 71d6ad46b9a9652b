#!/usr/bin/env python3
"""Makes the page's icons from the player's figure with the Windows icon's
own reader and PNG writer (tools/make_icon.py): each figure pixel a whole
square, so every size stays crisp, and colour 0 see-through.

  make_icons.py FIGURE.mem OUT_DIR SIZE...    writes OUT_DIR/tilewalk-SIZE.png

SIZE is a multiple of the figure's width.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from make_icon import SIDE, png, read_picture  # noqa: E402


def main():
    figure, out_dir, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
    picture = read_picture(figure)
    os.makedirs(out_dir, exist_ok=True)
    for size in sizes:
        if size <= 0 or size % SIDE:
            sys.exit(f"make_icons.py: {size} is not a whole multiple of the figure's {SIDE} pixels")
        with open(os.path.join(out_dir, f"tilewalk-{size}.png"), "wb") as f:
            f.write(png(picture, size))


if __name__ == "__main__":
    main()
