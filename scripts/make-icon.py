#!/usr/bin/env python3
"""Draws the program's icon: resources/desktop/quill.svg and the PNG sizes
the desktop's icon theme wants, from one description of the shapes, with
nothing but the standard library (the PNGs are rasterised here with 4x4
supersampling)."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "desktop")
SIZES = [16, 24, 32, 48, 64, 128, 256]

# The design on a 256 by 256 canvas: a blue rounded tile, a white sheet of
# paper, and a dark quill lying across it.
TILE = (16, 16, 240, 240, 44)  # x0, y0, x1, y1, corner radius
TILE_COLOUR = (37, 99, 175)
SHEET = [(70, 46), (170, 46), (196, 72), (196, 214), (70, 214)]
SHEET_COLOUR = (250, 250, 246)
LINES = [(90, y, 176, y + 8) for y in (96, 124, 152)]
LINE_COLOUR = (160, 180, 205)
FEATHER = [(212, 30), (188, 62), (160, 104), (132, 148), (112, 184), (100, 208),
           (96, 218), (108, 204), (134, 176), (168, 140), (198, 96), (216, 54)]
FEATHER_COLOUR = (40, 44, 52)
NIB = [(96, 218), (90, 232), (104, 214)]


def inside_polygon(x, y, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def inside_tile(x, y):
    x0, y0, x1, y1, r = TILE
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return math.hypot(x - cx, y - cy) <= r


def colour_at(x, y):
    """The colour of the design at a point of the 256 canvas, or None."""
    if inside_polygon(x, y, FEATHER) or inside_polygon(x, y, NIB):
        return FEATHER_COLOUR
    for (lx0, ly0, lx1, ly1) in LINES:
        if lx0 <= x <= lx1 and ly0 <= y <= ly1:
            return LINE_COLOUR
    if inside_polygon(x, y, SHEET):
        return SHEET_COLOUR
    if inside_tile(x, y):
        return TILE_COLOUR
    return None


def png(size):
    samples = 4
    scale = 256.0 / size
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) * scale, (py + (sy + 0.5) / samples) * scale)
                    if c:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            n = samples * samples
            row += bytes([r // a if a else 0, g // a if a else 0, b // a if a else 0, 255 * a // n])
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) +
            chunk(b"IEND", b""))


def svg():
    def points(shape):
        return " ".join("%d,%d" % p for p in shape)

    def rgb(c):
        return "#%02x%02x%02x" % c

    x0, y0, x1, y1, r = TILE
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
        '<title>Quill!</title>',
        '<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>' % (x0, y0, x1 - x0, y1 - y0, r, rgb(TILE_COLOUR)),
        '<polygon points="%s" fill="%s"/>' % (points(SHEET), rgb(SHEET_COLOUR)),
    ]
    for (lx0, ly0, lx1, ly1) in LINES:
        parts.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>' %
                     (lx0, ly0, lx1 - lx0, ly1 - ly0, rgb(LINE_COLOUR)))
    parts.append('<polygon points="%s" fill="%s"/>' % (points(FEATHER), rgb(FEATHER_COLOUR)))
    parts.append('<polygon points="%s" fill="%s"/>' % (points(NIB), rgb(FEATHER_COLOUR)))
    parts.append('</svg>')
    return "\n".join(parts) + "\n"


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "quill.svg"), "w") as f:
        f.write(svg())
    for size in SIZES:
        with open(os.path.join(OUT, "quill-%d.png" % size), "wb") as f:
            f.write(png(size))


if __name__ == "__main__":
    main()
