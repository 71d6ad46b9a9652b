#!/usr/bin/env python3
"""The authoring tool must refuse what would make the game read a shifted or wrong picture."""

import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import mem_from_drawing as mem  # noqa: E402

GOOD = """; a 3 x 2 test picture
output: datapack/graphics/t.mem
size: 3 2
range: 0 15
legend:
  . = 0
  # = 15   white
  r = 4
picture:
.#r
r#.
"""


def items_of(data):
    return [text for text, _ in mem.read_all_items(data)]


class ItemReaderTest(unittest.TestCase):
    # The checker counts items exactly as the game will read them.
    def test_layouts(self):
        cases = [
            (b"7,8,9", [b"7", b"8", b"9"]),
            (b"7 8\t9", [b"7", b"8", b"9"]),
            (b"7\n8\n9\n", [b"7", b"8", b"9"]),
            (b"7\r\n8\r\n9\r\n", [b"7", b"8", b"9"]),
            (b"7\r8\r9", [b"7", b"8", b"9"]),
            (b"7 , 8,\t9  \n", [b"7", b"8", b"9"]),
            (b"7,,8", [b"7", b"", b"8"]),
            (b"7,\n8", [b"7", b"", b"8"]),
            (b"7\n\n8", [b"7", b"", b"8"]),
            (b"7\n   \n8", [b"7", b"", b"8"]),
            (b"\"7\",\"8 9\"", [b"7", b"8 9"]),
            (b"\"7,8\n9", [b"7,8", b"9"]),
            (b"1\"2\",3", [b"1\"2\"", b"3"]),
            (b"\xef\xbb\xbf7,8", [b"\xef\xbb\xbf7", b"8"]),
            (b"1" * 70, [b"1" * 67, b"111"]),
            (b"1" * 67 + b",2", [b"1" * 67, b"2"]),
            (b"1" * 67 + b"  ,2", [b"1" * 67, b"2"]),
        ]
        for data, expected in cases:
            with self.subTest(data=data):
                self.assertEqual(items_of(data), expected)

    def test_values(self):
        cases = [
            ("7", 7), ("+5", 5), ("-5", -5), ("-", 0), ("", 0), ("abc", 0), ("12abc", 12),
            ("0x1F", 0), ("4294967295", -1), ("99999999999", -1), ("-4294967296", -1),
            ("1.5", 2), ("2.5", 2), ("2.7", 3), ("-1.5", -2), ("1e2", 100), ("1d2", 100),
            ("1e99", -2147483648), ("&HFF", 255), ("&hff", 255), ("&O17", 15), ("&B101", 5),
            ("&17", 15), ("&H", 0), ("&HFFFFFFFF", -1), ("&HDD", 221),
        ]
        for text, value in cases:
            with self.subTest(text=text):
                self.assertEqual(mem.item_value(text.encode()), value)

    def test_read_mem_pads_short_files_and_keeps_low_bytes(self):
        with tempfile.TemporaryDirectory() as root:
            path = os.path.join(root, "p.mem")
            with open(path, "wb") as f:
                f.write(b"16,-1,256\n1")
            self.assertEqual(mem.read_mem(path, 3, 2), [[16, 255, 0], [1, 0, 0]])
            self.assertIsNone(mem.read_mem(os.path.join(root, "missing.mem"), 3, 2))


class DrawingTest(unittest.TestCase):
    def test_good_drawing_makes_rows_without_trailing_commas(self):
        d = mem.parse_drawing(GOOD)
        self.assertEqual(d.mem_text(), "0,15,4\n4,15,0\n")

    def test_malformed_drawings_are_refused(self):
        cases = [
            ("unknown character", GOOD.replace(".#r\n", ".#x\n"), "'x' is not in the legend"),
            ("short row", GOOD.replace(".#r\n", ".#\n"), "2 characters wide"),
            ("long row", GOOD.replace(".#r\n", ".#rr\n"), "4 characters wide"),
            ("missing row", GOOD.replace("r#.\n", ""), "1 rows"),
            ("extra row", GOOD + "...\n", "3 rows"),
            ("legend twice", GOOD.replace("  r = 4", "  r = 4\n  r = 5"), "twice"),
            ("value out of range", GOOD.replace("r = 4", "r = 16"), "outside 0..15"),
            ("no output", GOOD.replace("output: datapack/graphics/t.mem\n", ""), "output"),
            ("absolute output", GOOD.replace("output: datapack", "output: /tmp"), "inside"),
            ("escaping output", GOOD.replace("output: datapack", "output: ../x"), "inside"),
            ("bad size", GOOD.replace("size: 3 2", "size: 3"), "two integers"),
            ("page too small", GOOD.replace("size: 3 2", "size: 321 2"), "fit"),
            ("stray header", GOOD.replace("range:", "rnage:"), "expected"),
        ]
        for name, text, message in cases:
            with self.subTest(name):
                with self.assertRaises(mem.DrawingError) as caught:
                    mem.parse_drawing(text)
                self.assertIn(message, str(caught.exception))


class CheckTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        os.makedirs(os.path.join(self.root, "datapack", "graphics"))
        self.drawing = mem.parse_drawing(GOOD, "t.txt")
        self.path = os.path.join(self.root, self.drawing.output)
        self.write(self.drawing.mem_text().encode())

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, data):
        with open(self.path, "wb") as f:
            f.write(data)

    def test_matching_file_passes(self):
        self.assertEqual(mem.check_shipped(self.drawing, self.root), [])

    def test_faulty_shipped_files_are_reported(self):
        cases = [
            ("hand edit", b"0,15,4\n4,14,0\n", ["differs"]),
            ("trailing commas", b"0,15,4,\n4,15,0,\n", ["differs", "reads as 8 items", "(x 0, y 1) is b''"]),
            ("one item short", b"0,15,4\n4,15\n", ["differs", "reads as 5 items"]),
            ("blank line", b"0,15,4\n\n4,15,0\n", ["differs", "reads as 7 items", "(x 0, y 1) is b''"]),
            ("out of range", b"0,15,4\n4,16,0\n", ["differs", "is 16, outside 0..15"]),
            ("quoted item", b"0,\"15\",4\n4,15,0\n", ["differs", "not a plain decimal"]),
            ("hex item", b"0,&HF,4\n4,15,0\n", ["differs", "not a plain decimal"]),
            ("CR LF", b"0,15,4\r\n4,15,0\r\n", ["differs"]),
        ]
        for name, data, messages in cases:
            with self.subTest(name):
                self.write(data)
                problems = mem.check_shipped(self.drawing, self.root)
                self.assertEqual(len(problems), len(messages), problems)
                for problem, message in zip(problems, messages):
                    self.assertIn(message, problem)

    def test_missing_file_is_reported(self):
        os.remove(self.path)
        self.assertIn("cannot read", mem.check_shipped(self.drawing, self.root)[0])

    def test_datapack_wide_problems(self):
        orphan = os.path.join(self.root, "datapack", "graphics", "old.mem")
        with open(orphan, "w") as f:
            f.write("0\n")
        problems = mem.check_datapack([self.drawing, self.drawing], self.root, True)
        text = "\n".join(problems)
        self.assertIn("made by both", text)
        self.assertIn("datapack/graphics/old.mem: no drawing", text)
        for asset in mem.ASSETS:
            self.assertIn(f"{asset}: the game loads it but no drawing makes it", text)

    def test_wrong_asset_size_is_reported(self):
        small = mem.parse_drawing(GOOD.replace("t.mem", "brick03.mem"), "b.txt")
        problems = mem.check_datapack([small], self.root, True)
        self.assertTrue(any("size 3 x 2" in p for p in problems), problems)

    def test_command_line_fails_on_a_stale_file_and_regenerates_it(self):
        art = os.path.join(self.root, "tools", "art")
        os.makedirs(art)
        drawing_path = os.path.join(art, "t.txt")
        with open(drawing_path, "w") as f:
            f.write(GOOD)
        self.write(b"0,0,0\n0,0,0\n")
        args = ["--root", self.root, drawing_path]
        with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(io.StringIO()):
            self.assertEqual(mem.main(["--check"] + args), 1)
            self.assertEqual(mem.main(args), 0)
            self.assertEqual(mem.main(["--check"] + args), 0)


if __name__ == "__main__":
    unittest.main()
