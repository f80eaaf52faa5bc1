#!/usr/bin/env python3
"""Writes the program's bitmaps and icons from their character-art sources.

Each source names its output file and format, its size, a palette (one character per
colour, or 'transparent' for an icon's see-through pixels) and then one text row per pixel
row, top first. Formats: bmp24 (24-bit bitmap), bmp4 (16-colour bitmap), ico4 (16-colour
icon with its transparency mask), ico32 (an icon of several sizes, named by a line
`sizes 16 32 48 256`: each the art scaled with its edges smoothed, 32-bit with an alpha
channel, the 256-pixel one stored as a PNG as Windows Vista and later read it).

    make_resources.py OUTPUT_FOLDER SOURCE...
    make_resources.py --png OUTPUT_FILE SCALE SOURCE

The second form writes one source as a PNG (the Linux desktop's icons), each pixel made a
SCALE by SCALE square, whatever format the source names.
"""
import os
import struct
import sys
import zlib


class SourceError(Exception):
    pass


def parse(path):
    output = fmt = None
    width = height = 0
    sizes = []
    palette = {}
    rows = []
    in_pixels = False
    with open(path, encoding="utf-8") as source:
        for number, raw in enumerate(source, 1):
            line = raw.rstrip("\n")
            if in_pixels:
                if line:
                    rows.append(line)
                continue
            if not line.strip() or line.startswith("#"):
                continue
            words = line.split()
            if words[0] == "output":
                output = words[1]
            elif words[0] == "format":
                fmt = words[1]
            elif words[0] == "size":
                width, height = int(words[1]), int(words[2])
            elif words[0] == "sizes":
                sizes = [int(word) for word in words[1:]]
            elif words[0] == "colour":
                palette[words[1]] = None if words[2] == "transparent" else int(words[2], 16)
            elif words[0] == "pixels":
                in_pixels = True
            else:
                raise SourceError(f"{path}:{number}: unknown line {line!r}")
    if output is None or fmt not in ("bmp24", "bmp4", "ico4", "ico32"):
        raise SourceError(f"{path}: needs an output and a format (bmp24, bmp4, ico4 or ico32)")
    if (fmt == "ico32") != bool(sizes) or any(not 1 <= size <= 256 for size in sizes):
        raise SourceError(f"{path}: an ico32 icon, and only one, names its sizes (1 to 256 pixels)")
    if len(rows) != height or any(len(row) != width for row in rows):
        raise SourceError(f"{path}: the picture is not {width} by {height}")
    for row in rows:
        for char in row:
            if char not in palette:
                raise SourceError(f"{path}: {char!r} is not in the palette")
    if not fmt.startswith("ico") and None in palette.values():
        raise SourceError(f"{path}: only an icon has transparent pixels")
    if fmt in ("bmp4", "ico4") and len(palette) > 16:
        raise SourceError(f"{path}: a 16-colour picture has more than 16 colours")
    return output, fmt, width, height, palette, rows, sizes


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def bgr(rgb):
    return bytes(((rgb or 0) & 0xFF, (rgb or 0) >> 8 & 0xFF, (rgb or 0) >> 16 & 0xFF))


def indexed(width, height, palette, rows, info_height):
    """BITMAPINFOHEADER, 16-entry palette and 4-bit pixels, bottom row first."""
    order = list(palette)
    colours = b"".join(bgr(palette[c]) + b"\0" for c in order) + b"\0" * 4 * (16 - len(order))
    pixels = b""
    for row in reversed(rows):
        indices = [order.index(c) if palette[c] is not None else 0 for c in row]
        indices += [0] * (len(indices) % 2)
        pixels += padded(bytes(indices[i] << 4 | indices[i + 1] for i in range(0, len(indices), 2)))
    header = struct.pack("<IiiHHIIiiII", 40, width, info_height, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    return header, colours, pixels


def bitmap_file(body_offset_parts):
    body = b"".join(body_offset_parts)
    header_size = 14
    offset = header_size + len(body_offset_parts[0]) + len(body_offset_parts[1])
    return struct.pack("<2sIHHI", b"BM", header_size + len(body), 0, 0, offset) + body


def make_bmp24(width, height, palette, rows):
    pixels = b"".join(padded(b"".join(bgr(palette[c]) for c in row)) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return bitmap_file([header, b"", pixels])


def make_bmp4(width, height, palette, rows):
    return bitmap_file(list(indexed(width, height, palette, rows, height)))


def make_ico4(width, height, palette, rows):
    # An icon's bitmap is twice as high: the colour pixels, then the 1-bit mask (1 = see-through).
    header, colours, pixels = indexed(width, height, palette, rows, height * 2)
    mask = b""
    for row in reversed(rows):
        bits = [1 if palette[c] is None else 0 for c in row]
        bits += [0] * (-len(bits) % 8)
        mask += padded(bytes(sum(bits[i + j] << (7 - j) for j in range(8)) for i in range(0, len(bits), 8)))
    image = header + colours + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def rgba_of(palette, char):
    rgb = palette[char]
    return (0, 0, 0, 0) if rgb is None else (rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF, 0xFF)


def png_of(width, height, pixel_rows):
    """8-bit RGBA rows (lists of RGBA tuples), each behind filter byte 0 (none)."""
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in pixel_rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def make_png(width, height, palette, rows, scale):
    """Each pixel a SCALE square; transparent pixels are see-through."""
    pixel_rows = [[rgba_of(palette, c) for c in row for _ in range(scale)] for row in rows for _ in range(scale)]
    return png_of(width * scale, height * scale, pixel_rows)


def scaled(width, height, palette, rows, size):
    """The art as SIZE by SIZE RGBA pixels: each one the average of 4 x 4 points of the art
    under it (colours weighted by their opacity), so an enlargement by a whole factor keeps
    its edges sharp and any other size gets them smoothed."""
    samples = 4
    result = []
    for y in range(size):
        line = []
        for x in range(size):
            total = [0, 0, 0, 0]
            for j in range(samples):
                source_y = min(height - 1, int((y + (j + 0.5) / samples) * height / size))
                for i in range(samples):
                    source_x = min(width - 1, int((x + (i + 0.5) / samples) * width / size))
                    r, g, b, a = rgba_of(palette, rows[source_y][source_x])
                    total = [total[0] + r * a, total[1] + g * a, total[2] + b * a, total[3] + a]
            alpha = total[3]
            count = samples * samples
            line.append((0, 0, 0, 0) if alpha == 0 else
                        (round(total[0] / alpha), round(total[1] / alpha), round(total[2] / alpha),
                         round(alpha / count)))
        result.append(line)
    return result


def icon_image(size, pixel_rows):
    """One image of an icon: a 32-bit bitmap (blue, green, red, alpha; bottom row first) and
    its mask, or for 256 pixels a PNG."""
    if size == 256:
        return png_of(size, size, pixel_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixel_rows) for r, g, b, a in row)
    mask = b""
    for row in reversed(pixel_rows):
        bits = [1 if pixel[3] == 0 else 0 for pixel in row]
        bits += [0] * (-len(bits) % 8)
        mask += padded(bytes(sum(bits[i + j] << (7 - j) for j in range(8)) for i in range(0, len(bits), 8)))
    return header + colour + mask


def make_ico32(width, height, palette, rows, sizes):
    images = [icon_image(size, scaled(width, height, palette, rows, size)) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


MAKERS = {"bmp24": make_bmp24, "bmp4": make_bmp4, "ico4": make_ico4}


def make(fmt, width, height, palette, rows, sizes):
    if fmt == "ico32":
        return make_ico32(width, height, palette, rows, sizes)
    return MAKERS[fmt](width, height, palette, rows)


def write_png(output, scale, source):
    if scale < 1:
        raise ValueError(f"the scale must be at least 1, not {scale}")
    _, _, width, height, palette, rows, _ = parse(source)
    data = make_png(width, height, palette, rows, scale)
    with open(output, "wb") as out:
        out.write(data)


def main(argv):
    png = len(argv) == 5 and argv[1] == "--png"
    if not png and (len(argv) < 3 or argv[1].startswith("--")):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        if png:
            write_png(argv[2], int(argv[3]), argv[4])
            return 0
        os.makedirs(argv[1], exist_ok=True)
        for path in argv[2:]:
            output, fmt, width, height, palette, rows, sizes = parse(path)
            data = make(fmt, width, height, palette, rows, sizes)
            with open(os.path.join(argv[1], output), "wb") as out:
                out.write(data)
    except (SourceError, OSError, ValueError) as error:
        print(f"make_resources: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
