#!/usr/bin/env python3
"""The desktop icon: make_resources.py --png writes the program's icon art as a PNG that
decodes, pixel for pixel, to the art (each pixel a SCALE square, '~' see-through).

    desktop_icon_test.py MAKE_RESOURCES ICON_SOURCE
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib


def decode_png(data):
    """(width, height, rows of RGBA tuples) of an 8-bit RGBA PNG without filters."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG signature"
    chunks, offset = {}, 8
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        body = data[offset + 8:offset + 8 + length]
        (crc,) = struct.unpack(">I", data[offset + 8 + length:offset + 12 + length])
        assert crc == zlib.crc32(kind + body), f"bad CRC in {kind}"
        chunks[kind] = chunks.get(kind, b"") + body
        offset += 12 + length
    assert b"IEND" in chunks
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    assert (depth, colour, interlace) == (8, 6, 0), "not 8-bit RGBA, non-interlaced"
    raw = zlib.decompress(chunks[b"IDAT"])
    stride = 1 + 4 * width
    assert len(raw) == stride * height
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, "a row with a filter"
        rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(width)])
    return width, height, rows


def read_art(path):
    """The palette (character to RGBA) and the pixel rows of a character-art source."""
    palette, rows, in_pixels = {}, [], False
    with open(path, encoding="utf-8") as source:
        for line in source.read().splitlines():
            if in_pixels:
                if line:
                    rows.append(line)
            elif line.startswith("colour "):
                _, char, value = line.split()
                palette[char] = (0, 0, 0, 0) if value == "transparent" else \
                    tuple(bytes.fromhex(value)) + (255,)
            elif line == "pixels":
                in_pixels = True
    return palette, rows


class DesktopIconTest(unittest.TestCase):
    def test_png_shows_the_art_at_each_scale(self):
        palette, art = read_art(ICON_SOURCE)
        for scale in (1, 4):
            with self.subTest(scale=scale), tempfile.TemporaryDirectory() as folder:
                output = os.path.join(folder, "icon.png")
                subprocess.run([sys.executable, MAKE_RESOURCES, "--png", output, str(scale), ICON_SOURCE],
                               check=True)
                with open(output, "rb") as png:
                    width, height, rows = decode_png(png.read())
                self.assertEqual((width, height), (len(art[0]) * scale, len(art) * scale))
                for y, row in enumerate(rows):
                    for x, pixel in enumerate(row):
                        self.assertEqual(pixel, palette[art[y // scale][x // scale]], f"pixel {x},{y}")

    def test_a_scale_below_one_is_refused(self):
        with tempfile.TemporaryDirectory() as folder:
            output = os.path.join(folder, "icon.png")
            done = subprocess.run([sys.executable, MAKE_RESOURCES, "--png", output, "0", ICON_SOURCE],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 1)
            self.assertIn("scale", done.stderr)
            self.assertFalse(os.path.exists(output))


if __name__ == "__main__":
    MAKE_RESOURCES, ICON_SOURCE = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1])
