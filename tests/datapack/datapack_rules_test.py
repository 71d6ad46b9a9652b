#!/usr/bin/env python3
"""The shipped datapack as the game will load it: a map that can be played from the start cell,
and pictures that keep the properties the game's XOR and OR puts rely on."""

import collections
import os
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import mem_from_drawing as mem  # noqa: E402

START = (2, 2)
BLOCKING = {1, 2, 4}


def load(name):
    for path, (w, h) in mem.ASSETS.items():
        if path.endswith(name):
            rows = mem.read_mem(os.path.join(ROOT, path), w, h)
            if rows is None:
                raise AssertionError(f"{path} is missing")
            return rows
    raise KeyError(name)


class MapTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.map = load("map002.mem")

    def cell(self, x, y):
        return self.map[y][x]

    def test_start_is_floor(self):
        self.assertEqual(self.cell(*START), 0)

    def test_edge_blocks(self):
        # Beyond the map the page reads as floor, so an open edge would let the player walk out
        # into an empty, endless black.
        open_cells = [(x, y) for y in range(32) for x in range(64)
                      if (x in (0, 63) or y in (0, 31)) and self.cell(x, y) not in BLOCKING]
        self.assertEqual(open_cells, [])

    def test_every_tile_kind_is_used(self):
        codes = collections.Counter(v for row in self.map for v in row)
        for code in (0, 1, 2, 3, 4):
            self.assertGreater(codes[code], 0, f"code {code}")
        self.assertGreater(sum(n for c, n in codes.items() if c >= 5), 0, "white boxes")

    def test_walkable_features_can_be_reached_from_the_start(self):
        # Eight directions, each step judged only by its destination cell, as the game does.
        seen = {START}
        todo = [START]
        while todo:
            x, y = todo.pop()
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if (0 <= nx < 64 and 0 <= ny < 32 and (nx, ny) not in seen
                            and self.cell(nx, ny) not in BLOCKING):
                        seen.add((nx, ny))
                        todo.append((nx, ny))
        unreachable = [(x, y) for y in range(32) for x in range(64)
                       if (self.cell(x, y) == 3 or self.cell(x, y) >= 5) and (x, y) not in seen]
        self.assertEqual(unreachable, [])
        self.assertGreater(len(seen), 64 * 32 // 3, "most of the map should be walkable")

    def test_start_view_shows_more_than_walls(self):
        # At the start the view shows map cells x 0..9, y 0..5.
        seen = {self.cell(x, y) for y in range(6) for x in range(10)}
        self.assertTrue({2, 3} & seen, "a flame")
        self.assertTrue(4 in seen or any(c >= 5 for c in seen), "a skull or a box")


class PictureTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pictures = {n: load(n) for n in ("brick03.mem", "flame01.mem", "flame02.mem",
                                             "skull01.mem", "morvek1.mem")}

    def test_pictures_use_the_sixteen_colours_and_are_not_blank(self):
        for name, rows in self.pictures.items():
            with self.subTest(name):
                values = {v for row in rows for v in row}
                self.assertLessEqual(max(values), 15)
                self.assertGreater(len(values - {0}), 1)

    def test_flame_frames_differ_in_their_tips_but_share_the_base(self):
        f0, f1 = self.pictures["flame01.mem"], self.pictures["flame02.mem"]
        self.assertNotEqual(f0[:8], f1[:8])
        self.assertEqual(f0[13:], f1[13:])

    def test_player_keeps_a_black_border(self):
        # The cell box is drawn on the figure's cell edges; OR would merge it into the figure.
        p = self.pictures["morvek1.mem"]
        border = p[0] + p[15] + [row[0] for row in p] + [row[15] for row in p]
        self.assertEqual(set(border), {0})

    def test_brick_fills_its_tile(self):
        # XOR over black floor: a colour-0 pixel would be a hole in the wall.
        self.assertNotIn(0, {v for row in self.pictures["brick03.mem"] for v in row})


if __name__ == "__main__":
    unittest.main()
