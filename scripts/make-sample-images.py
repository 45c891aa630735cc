#!/usr/bin/env python3
"""Draws the images of the sample data point.

Every picture is a 16 by 16 pixel, 24-bit BMP on a magenta background
(255, 0, 255). The program takes the colour of the bottom-left pixel as the
transparent colour, so that pixel is always background, and no picture uses
magenta for anything else.

The pictograms are described with signed distance functions in a 16-unit
square (y grows downwards) and sampled once per pixel, at its centre, so the
edges stay crisp and never blend into the transparent colour. Each filled
shape gets a one-pixel outline in a darker shade of its colour.

    scripts/make-sample-images.py [DATAPOINT] [--sheet FILE.png]

DATAPOINT defaults to resources/DataPoint beside this script. It writes:

    DataPoint.system/Resources/GUI/MainTreeView/<NAME>.BMP
        the tree, menu, editor and page images, one per image name
    DataPoint.system/Resources/GUI/ToolBarPanel/A<nn>_<NAME>.BMP
        toolbar images: A normal, B hot (under the mouse), C disabled.
        Image nn belongs to the toolbar text TOOLBUTTON<nn+1>.

--sheet also writes a PNG contact sheet of every picture, enlarged, for a look.
Only the Python standard library is used.
"""

import math
import os
import struct
import sys
import zlib

SIZE = 16
KEY = (255, 0, 255)

# ---------------------------------------------------------------------------
# Palette: one light and one dark shade per hue. Outlines use the dark shade.

PAPER = (251, 252, 253)
PAPER_EDGE = (120, 132, 146)
PAPER_FOLD = (214, 222, 231)
TEXT = (150, 162, 176)
INK = (55, 66, 80)
WHITE = (255, 255, 255)

AMBER = (247, 193, 84)
AMBER_D = (190, 130, 28)
AMBER_L = (252, 217, 140)
BLUE = (66, 133, 214)
BLUE_D = (32, 84, 152)
BLUE_L = (196, 221, 247)
TEAL = (38, 166, 154)
TEAL_D = (16, 106, 98)
TEAL_L = (190, 234, 228)
GREEN = (80, 176, 84)
GREEN_D = (40, 118, 46)
RED = (222, 76, 60)
RED_D = (156, 38, 28)
ORANGE = (242, 142, 52)
ORANGE_D = (176, 90, 18)
PURPLE = (146, 98, 204)
PURPLE_D = (92, 56, 150)
PURPLE_L = (220, 204, 242)
YELLOW = (255, 226, 102)
YELLOW_D = (196, 154, 18)
GREY = (160, 170, 182)
GREY_D = (92, 102, 116)
GREY_L = (222, 227, 233)
BROWN = (176, 124, 76)
BROWN_D = (112, 72, 38)
SKY = (150, 205, 245)

# ---------------------------------------------------------------------------
# Signed distance functions. Negative inside, in units of the 16-unit square.


def box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sd(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0), max(qy, 0))
        return outside + min(max(qx, qy), 0) - r
    return sd


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Not exact, but good enough for small shapes.
    def sd(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1) * min(rx, ry)
    return sd


def segment(ax, ay, bx, by, width):
    def sd(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy or 1)))
        return math.hypot(px - vx * t, py - vy * t) - width / 2
    return sd


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return union(*parts)


def polygon(points):
    def sd(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy, px, py = bx - ax, by - ay, x - ax, y - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy or 1)))
            d = min(d, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return sd


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def arc(cx, cy, r, width, start, end):
    """Part of a ring from angle start to end (degrees, clockwise on screen,
    0 pointing right)."""
    def sd(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        s, e = start % 360, end % 360
        within = (s <= a <= e) if s <= e else (a >= s or a <= e)
        if within:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        ends = []
        for ang in (start, end):
            ex = cx + r * math.cos(math.radians(ang))
            ey = cy + r * math.sin(math.radians(ang))
            ends.append(math.hypot(x - ex, y - ey) - width / 2)
        return min(ends)
    return sd


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# ---------------------------------------------------------------------------
# Canvas


class Canvas:
    def __init__(self, size=SIZE):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def _each(self):
        for j in range(self.size):
            for i in range(self.size):
                yield i, j, (i + 0.5) * SIZE / self.size, (j + 0.5) * SIZE / self.size

    def fill(self, shape, color):
        for i, j, x, y in self._each():
            if shape(x, y) <= 0:
                self.px[j][i] = color
        return self

    def shape(self, shape, color, edge, line=1.0):
        """A filled shape with an outline of the given width."""
        for i, j, x, y in self._each():
            d = shape(x, y)
            if d <= 0:
                self.px[j][i] = color if d <= -line else edge
        return self

    def clear(self, shape):
        """Punches the background back in (a gap between two shapes)."""
        for i, j, x, y in self._each():
            if shape(x, y) <= 0:
                self.px[j][i] = None
        return self

    def dot(self, i, j, color):
        self.px[j][i] = color
        return self

    def hline(self, i0, i1, j, color):
        for i in range(i0, i1 + 1):
            self.px[j][i] = color
        return self

    def vline(self, i, j0, j1, color):
        for j in range(j0, j1 + 1):
            self.px[j][i] = color
        return self

    def paste(self, other, dx=0, dy=0):
        for j in range(other.size):
            for i in range(other.size):
                c = other.px[j][i]
                if c is not None and 0 <= i + dx < self.size and 0 <= j + dy < self.size:
                    self.px[j + dy][i + dx] = c
        return self

    def sprite(self, art, x, y, colors):
        """Pixel art: one string per row; '.' or ' ' leaves a pixel alone,
        any other character is looked up in colors."""
        for j, line in enumerate(art):
            for i, ch in enumerate(line):
                if ch in ". ":
                    continue
                if 0 <= x + i < self.size and 0 <= y + j < self.size:
                    self.px[y + j][x + i] = colors[ch]
        return self

    def mapped(self, fn):
        out = Canvas(self.size)
        out.px = [[None if c is None else fn(c) for c in row] for row in self.px]
        return out

    def rows(self):
        return [[KEY if c is None else c for c in row] for row in self.px]


# ---------------------------------------------------------------------------
# File writers


def bmp_bytes(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def png_bytes(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Building blocks shared by many pictures


def page(c, x0=3, y0=1, x1=13, y1=15, fold=4, lines=True):
    body = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.shape(body, PAPER, PAPER_EDGE)
    corner = polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    c.shape(corner, PAPER_FOLD, PAPER_EDGE)
    if lines:
        for j in range(y0 + fold + 1, y1 - 1, 2):
            c.hline(x0 + 2, x1 - 3, j, TEXT)
    return c


def folder(c, color=AMBER, edge=AMBER_D, back=None, x0=1, y0=2, x1=15, y1=14):
    back = back or edge
    tab = box(x0, y0, x0 + 6, y0 + 4, 1)
    c.shape(tab, back, edge)
    c.shape(box(x0, y0 + 2, x1, y1, 0.5), back, edge)
    c.shape(box(x0, y0 + 4, x1, y1, 0.5), color, edge)
    return c


PERSON = [
    "....####....",
    "...#oooo#...",
    "..#oooooo#..",
    "..#oooooo#..",
    "..#oooooo#..",
    "...#oooo#...",
    "....####....",
    "..########..",
    ".#oooooooo#.",
    "#oooooooooo#",
    "#oooooooooo#",
    "#oooooooooo#",
    "#oooooooooo#",
    "############",
]

PERSON_SMALL = [
    "..###..",
    ".#ooo#.",
    ".#ooo#.",
    ".#ooo#.",
    "..###..",
    ".#####.",
    "#ooooo#",
    "#ooooo#",
    "#ooooo#",
    "#######",
]

PERSON_TINY = [
    ".###.",
    "#ooo#",
    "#ooo#",
    ".###.",
    "#####",
    "#ooo#",
    "#ooo#",
]


def person(c, x=2, y=1, color=BLUE, edge=BLUE_D, art=None):
    return c.sprite(art or PERSON, x, y, {"o": color, "#": edge})


def badge_plus(c, color=GREEN, edge=GREEN_D):
    c.shape(circle(11.5, 11.5, 4.3), color, edge)
    c.fill(box(9.5, 11, 13.5, 12), WHITE)
    c.fill(box(11, 9.5, 12, 13.5), WHITE)
    return c


def badge_minus(c):
    c.shape(circle(11.5, 11.5, 4.3), RED, RED_D)
    c.fill(box(9.5, 11, 13.5, 12), WHITE)
    return c


def band(c, color, edge, x0=1, y0=8, x1=10, y1=13):
    c.shape(box(x0, y0, x1, y1, 0.5), color, edge)
    return c


def clipboard(c, inner=True):
    c.shape(box(2, 2, 14, 15, 1), BROWN, BROWN_D)
    c.shape(box(4, 4, 12, 14), PAPER, PAPER_EDGE)
    c.shape(box(5, 1, 11, 4, 0.5), GREY, GREY_D)
    return c


def check(c, points=((4.5, 8.5), (7, 11), (11.5, 5.5)), color=GREEN_D, width=1.6):
    c.fill(polyline(list(points), width), color)
    return c


def gear(cx=8, cy=8, r_out=7.0, r_in=5.0, teeth=8, hole=2.2):
    pts = []
    steps = teeth * 4
    for k in range(steps):
        a = 2 * math.pi * k / steps + math.pi / steps
        r = r_out if (k % 4) in (0, 1) else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return subtract(polygon(pts), circle(cx, cy, hole))


def clock(c, cx=8, cy=8, r=6.5, face=PAPER, edge=BLUE_D, hands=INK):
    c.shape(circle(cx, cy, r), face, edge)
    c.fill(segment(cx, cy, cx, cy - r + 2.2, 1.1), hands)
    c.fill(segment(cx, cy, cx + r - 3, cy, 1.1), hands)
    return c


def calendar(c, x0=1, y0=2, x1=15, y1=15, header=RED, header_d=RED_D):
    c.shape(box(x0, y0, x1, y1, 1), PAPER, PAPER_EDGE)
    c.shape(box(x0, y0, x1, y0 + 4, 1), header, header_d)
    c.fill(box(x0, y0 + 3, x1, y0 + 4), header_d)
    for i in range(x0 + 2, x1 - 1, 3):
        for j in range(y0 + 6, y1 - 1, 3):
            c.dot(i, j, TEXT)
    c.vline(x0 + 3, y0 - 1, y0 + 1, GREY_D)
    c.vline(x1 - 4, y0 - 1, y0 + 1, GREY_D)
    return c


def paperclip(c, color=GREY_D, dx=0.0, dy=0.0):
    """One wire, one pixel wide: the coordinates are pixel centres."""
    def P(x, y):
        return (x + dx, y + dy)
    w = 1.0
    parts = [
        segment(*P(7.5, 5.5), *P(7.5, 11.5), w),
        arc(*P(9, 11.5), 1.5, w, 0, 180),
        segment(*P(10.5, 11.5), *P(10.5, 4.5), w),
        arc(*P(7.5, 4.5), 3.0, w, 180, 360),
        segment(*P(4.5, 4.5), *P(4.5, 12.5), w),
        arc(*P(6.5, 12.5), 2.0, w, 0, 100),
    ]
    c.fill(union(*parts), color)
    return c


def bubble(c, x0, y0, x1, y1, tail, color, edge):
    body = union(box(x0, y0, x1, y1, 2.5), polygon(tail))
    c.shape(body, color, edge)
    return c


def magnifier(c, cx=6.5, cy=6.5, r=4.3):
    c.fill(segment(cx + 3, cy + 3, 14, 14, 2.6), GREY_D)
    c.shape(circle(cx, cy, r + 0.9), BLUE_L, GREY_D, 1.4)
    c.fill(arc(cx, cy, r - 1.6, 1.0, 200, 260), WHITE)
    return c


def arrow_right(c, color=GREEN, edge=GREEN_D, y=8):
    shape = polygon([(2, y - 2), (8, y - 2), (8, y - 5.5), (14.5, y), (8, y + 5.5), (8, y + 2), (2, y + 2)])
    c.shape(shape, color, edge)
    return c


def arrow_up(c, color=GREEN, edge=GREEN_D):
    shape = polygon([(6, 14), (6, 8), (2.5, 8), (8, 1.5), (13.5, 8), (10, 8), (10, 14)])
    c.shape(shape, color, edge)
    return c


def rotated(shape, deg, cx=8, cy=8):
    a = math.radians(deg)
    ca, sa = math.cos(a), math.sin(a)

    def sd(x, y):
        dx, dy = x - cx, y - cy
        return shape(cx + dx * ca + dy * sa, cy - dx * sa + dy * ca)
    return sd


# ---------------------------------------------------------------------------
# The pictures. Each function returns a Canvas.

PICTURES = {}


def picture(name):
    def register(fn):
        PICTURES[name] = fn
        return fn
    return register


@picture("FOLDER.BMP")
def _folder():
    return folder(Canvas())


@picture("ROOT.BMP")
def _root():
    c = folder(Canvas(), x1=15)
    c.shape(circle(11.5, 11, 4.2), BLUE, BLUE_D)
    c.fill(ring(11.5, 11, 2.0, 0.9), BLUE_L)
    c.fill(box(7.3, 10.5, 15.7, 11.5), BLUE_L)
    c.fill(box(11, 6.8, 12, 15.2), BLUE_L)
    return c


@picture("OBJECTS.BMP")
def _objects():
    c = Canvas()
    folder(c, color=BLUE_L, edge=BLUE_D, back=BLUE, x0=4, y0=1, x1=15, y1=10)
    folder(c, color=AMBER, edge=AMBER_D, x0=1, y0=5, x1=12, y1=15)
    c.fill(polygon([(6.5, 8.8), (7.4, 10.6), (9.3, 10.8), (7.9, 12.0), (8.3, 13.9), (6.5, 12.9),
                    (4.7, 13.9), (5.1, 12.0), (3.7, 10.8), (5.6, 10.6)]), WHITE)
    return c


@picture("USER.BMP")
def _user():
    return person(Canvas(), 2, 1)


@picture("USER_ADD.BMP")
def _user_add():
    return badge_plus(person(Canvas(), 1, 1))


@picture("USER_REMOVE.BMP")
def _user_remove():
    return badge_minus(person(Canvas(), 1, 1))


@picture("USERS.BMP")
def _users():
    c = Canvas()
    person(c, 7, 1, BLUE_L, BLUE_D, PERSON_SMALL)
    person(c, 2, 5, BLUE, BLUE_D, PERSON_SMALL)
    return c


@picture("USERS_ALL.BMP")
def _users_all():
    c = Canvas()
    person(c, 1, 1, TEAL_L, TEAL_D, PERSON_SMALL)
    person(c, 8, 1, TEAL_L, TEAL_D, PERSON_SMALL)
    person(c, 4, 5, TEAL, TEAL_D, PERSON_SMALL)
    return c


def star(cx, cy, r_out, r_in):
    pts = []
    for k in range(10):
        a = math.radians(-90 + 36 * k)
        r = r_out if k % 2 == 0 else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


@picture("OWNER.BMP")
def _owner():
    c = person(Canvas(), 1, 1)
    c.shape(star(12, 11.5, 4.2, 1.9), YELLOW, YELLOW_D)
    return c


@picture("SETTINGS.BMP")
def _settings():
    return Canvas().shape(gear(), GREY, GREY_D)


@picture("SETTINGS_1.BMP")
def _settings_1():
    c = person(Canvas(), 1, 1)
    c.shape(gear(11.5, 11.5, 4.4, 3.1, 6, 1.2), GREY, GREY_D)
    return c


@picture("SETTINGS_2.BMP")
def _settings_2():
    c = Canvas()
    shield = polygon([(8, 1), (14, 3), (13.5, 9), (8, 15), (2.5, 9), (2, 3)])
    c.shape(shield, BLUE, BLUE_D)
    c.fill(intersect(shield, box(8, 0, 16, 16), lambda x, y: -shield(x, y) - 1.0), BLUE_L)
    c.fill(polyline([(5, 7.5), (7.3, 10), (11, 5)], 1.6), WHITE)
    return c


@picture("SETTINGS_3.BMP")
def _settings_3():
    c = Canvas()
    body = union(box(2.5, 3, 13.5, 13), ellipse(8, 13, 5.5, 2.0), ellipse(8, 3, 5.5, 2.0))
    c.shape(body, TEAL, TEAL_D)
    for y in (6.6, 10.1):
        band_line = intersect(lambda x, yy, y=y: abs(ellipse(8, y, 5.5, 2.0)(x, yy)) - 0.5,
                              box(2.5, y, 13.5, y + 3))
        c.fill(band_line, TEAL_D)
    c.shape(ellipse(8, 3, 4.8, 1.6), TEAL_L, TEAL_D, 0.8)
    return c


@picture("HELP.BMP")
def _help():
    c = Canvas().shape(circle(8, 8, 7.0), BLUE, BLUE_D)
    c.fill(arc(8, 6, 2.5, 1.7, 180, 400), WHITE)
    c.fill(segment(8.6, 8.4, 8, 9.6, 1.7), WHITE)
    c.fill(box(7, 11, 9, 13), WHITE)
    return c


@picture("UNKNOWN.BMP")
def _unknown():
    c = page(Canvas(), lines=False)
    c.fill(arc(8, 7, 2.2, 1.4, 180, 400), GREY_D)
    c.fill(segment(8.5, 9.2, 8, 10.4, 1.4), GREY_D)
    c.fill(box(7.2, 11.6, 8.8, 13.2), GREY_D)
    return c


@picture("NOTE.BMP")
def _note():
    c = Canvas()
    sheet = polygon([(2, 2), (14, 2), (14, 10.5), (10.5, 14), (2, 14)])
    c.shape(sheet, YELLOW, YELLOW_D)
    c.shape(polygon([(10.5, 10.5), (14, 10.5), (10.5, 14)]), AMBER, YELLOW_D)
    for j in (5, 7, 9):
        c.hline(4, 11, j, YELLOW_D)
    c.hline(4, 8, 11, YELLOW_D)
    c.shape(circle(8, 2.2, 1.6), RED, RED_D, 0.8)
    return c


@picture("CONTACT.BMP")
def _contact():
    c = Canvas()
    c.shape(box(1, 3, 15, 14, 1.5), PAPER, TEAL_D)
    c.fill(box(1.8, 3.8, 14.2, 5.8, 0.5), TEAL)
    head = circle(5.5, 8.2, 1.8)
    shoulders = intersect(ellipse(5.5, 13.8, 3.4, 3.0), box(0, 10.4, 16, 13.2))
    c.fill(union(head, shoulders), TEAL)
    c.hline(9, 12, 8, TEXT)
    c.hline(9, 12, 10, TEXT)
    c.hline(9, 11, 12, TEXT)
    return c


@picture("CONTRACT.BMP")
def _contract():
    c = page(Canvas(), x0=2, x1=13, lines=False)
    for j in (6, 8):
        c.hline(4, 10, j, TEXT)
    c.fill(polyline([(4, 12), (5, 10.8), (6, 12.2), (7, 11)], 0.9), BLUE_D)
    c.fill(polygon([(10, 13), (9, 16), (11, 15), (12, 16.2), (12.8, 13)]), RED_D)
    c.shape(circle(11.5, 11.5, 2.8), RED, RED_D)
    c.fill(circle(11.5, 11.5, 1.0), (240, 160, 150))
    return c


@picture("MEETING.BMP")
def _meeting():
    c = Canvas()
    person(c, 1, 3, PURPLE_L, PURPLE_D, PERSON_SMALL)
    person(c, 6, 6, PURPLE, PURPLE_D, PERSON_SMALL)
    c.sprite([".#####.",
              "#ooooo#",
              "#olllo#",
              "#ooooo#",
              ".#o###.",
              ".##...."], 9, 0, {"#": PURPLE_D, "o": PAPER, "l": PURPLE})
    return c


@picture("ATTACHMENT.BMP")
def _attachment():
    return paperclip(Canvas())


@picture("ATTACHMENTS.BMP")
def _attachments():
    c = page(Canvas(), x0=1, x1=11, y0=1, y1=14)
    c.clear(box(8.5, 1, 13.5, 16))
    paperclip(c, color=BLUE_D, dx=2, dy=0)
    return c


@picture("COMMENT.BMP")
def _comment():
    c = Canvas()
    bubble(c, 1, 2, 15, 11.5, [(4, 10), (8, 10), (4, 14.5)], BLUE_L, BLUE_D)
    c.hline(4, 12, 5, BLUE_D)
    c.hline(4, 10, 8, BLUE_D)
    return c


@picture("COMMENTS.BMP")
def _comments():
    c = Canvas()
    bubble(c, 5, 1, 15, 8.5, [(10, 7), (13, 7), (13, 10.5)], BLUE, BLUE_D)
    bubble(c, 1, 5, 11, 12.5, [(3, 11), (6.5, 11), (3, 14.5)], BLUE_L, BLUE_D)
    c.hline(3, 9, 8, BLUE_D)
    c.hline(3, 7, 10, BLUE_D)
    return c


@picture("DATE.BMP")
def _date():
    return calendar(Canvas())


@picture("TIME.BMP")
def _time():
    return clock(Canvas(), r=6.8)


@picture("SCHEDULER.BMP")
def _scheduler():
    c = calendar(Canvas(), x0=1, y0=1, x1=13, y1=13)
    clock(c, cx=11, cy=11, r=4.3)
    return c


@picture("EVENT.BMP")
def _event():
    c = Canvas()
    bell = union(polygon([(3, 12), (4.5, 10), (4.5, 6.5), (11.5, 6.5), (11.5, 10), (13, 12)]),
                 ellipse(8, 6.5, 3.5, 4.2), box(2.5, 11, 13.5, 12.8, 0.8))
    c.shape(bell, YELLOW, YELLOW_D)
    c.shape(circle(8, 13.8, 1.6), AMBER, YELLOW_D, 0.8)
    c.fill(box(7.5, 0.8, 8.5, 2.5), YELLOW_D)
    c.fill(arc(8, 6.8, 2.4, 0.9, 200, 250), WHITE)
    return c


@picture("TASKS.BMP")
def _tasks():
    c = clipboard(Canvas())
    for j in (7, 10):
        check(c, ((5, j), (5.9, j + 1), (7.3, j - 1)), GREEN_D, 1.0)
        c.hline(8, 11, j, TEXT)
    c.hline(8, 11, 12, TEXT)
    return c


@picture("TASKS_2.BMP")
def _tasks_open():
    c = clipboard(Canvas())
    for j in (6, 9, 12):
        c.shape(box(5, j - 1, 7.5, j + 1.5), PAPER, BLUE_D, 0.6)
        c.hline(9, 11, j, TEXT)
    return c


@picture("TASKS_3.BMP")
def _tasks_closed():
    c = clipboard(Canvas())
    check(c, ((5, 9), (7.5, 11.5), (11.5, 6.5)), GREEN, 2.0)
    return c


@picture("TASKS_4.BMP")
def _tasks_current():
    c = clipboard(Canvas())
    c.hline(5, 11, 7, TEXT)
    c.hline(5, 9, 9, TEXT)
    c.shape(circle(11.5, 11.5, 4.3), RED, RED_D)
    c.fill(box(11, 9, 12, 12), WHITE)
    c.fill(box(11, 13, 12, 14), WHITE)
    return c


def trash(c, full=False):
    c.shape(box(3, 5, 13, 15, 1), GREY_L, GREY_D)
    for i in (6, 8, 10):
        c.vline(i, 7, 13, GREY)
    if full:
        c.shape(polygon([(3, 4.5), (5, 0.8), (9, 2.5), (8, 4.5)]), PAPER, PAPER_EDGE)
        c.shape(polygon([(7.5, 4.5), (10, 1), (13.5, 3.2), (12.5, 4.5)]), BLUE_L, BLUE_D)
        c.shape(box(2, 4, 14, 6, 0.8), GREY, GREY_D)
    else:
        c.shape(box(2, 3, 14, 5.5, 0.8), GREY, GREY_D)
        c.shape(box(6, 1, 10, 3.5, 0.8), GREY, GREY_D)
    return c


@picture("TRASH.BMP")
def _trash():
    return trash(Canvas())


@picture("TRASH_FULL.BMP")
def _trash_full():
    return trash(Canvas(), full=True)


@picture("PROPERTY.BMP")
def _property():
    c = Canvas()
    tag = polygon([(2, 8), (7, 3), (13, 3), (13, 13), (7, 13)])
    c.shape(tag, ORANGE, ORANGE_D)
    c.shape(circle(6.5, 8, 1.3), WHITE, ORANGE_D, 0.7)
    return c


@picture("PROPERTYES.BMP")
def _propertyes():
    c = Canvas().shape(box(1, 1, 15, 15, 1), PAPER, PAPER_EDGE)
    for j, col, edge in ((4, ORANGE, ORANGE_D), (8, BLUE, BLUE_D), (12, GREEN, GREEN_D)):
        c.shape(box(3, j - 1, 6, j + 2), col, edge, 0.6)
        c.hline(8, 12, j, TEXT)
    return c


@picture("EDIT.BMP")
def _edit():
    c = Canvas()
    body = rotated(box(6.5, -1, 9.5, 12), -45)
    c.shape(body, YELLOW, YELLOW_D)
    c.shape(rotated(box(6.5, -1, 9.5, 2), -45), (240, 150, 160), RED_D)
    tip = rotated(polygon([(6.5, 12), (9.5, 12), (8, 15.8)]), -45)
    c.shape(tip, (240, 214, 170), BROWN_D)
    c.fill(rotated(polygon([(7.4, 14.2), (8.6, 14.2), (8, 15.8)]), -45), INK)
    return c


@picture("DELETE.BMP")
def _delete():
    c = Canvas()
    cross = union(segment(3.5, 3.5, 12.5, 12.5, 3.2), segment(12.5, 3.5, 3.5, 12.5, 3.2))
    return c.shape(cross, RED, RED_D)


@picture("PRINT.BMP")
def _print():
    c = Canvas()
    c.shape(box(4, 1, 12, 7), PAPER, PAPER_EDGE)
    c.shape(box(1, 6, 15, 12, 1.2), GREY, GREY_D)
    c.fill(box(11.5, 7.7, 13, 9), GREEN)
    c.shape(box(4, 10, 12, 15), PAPER, PAPER_EDGE)
    c.hline(6, 10, 12, TEXT)
    return c


@picture("REFRESH.BMP")
def _refresh():
    c = Canvas()
    c.fill(arc(8, 8, 5, 2.0, 200, 330), GREEN)
    c.fill(arc(8, 8, 5, 2.0, 20, 150), GREEN)
    c.shape(polygon([(13.5, 2.5), (14.5, 8.5), (9.5, 6.0)]), GREEN, GREEN_D, 0.6)
    c.shape(polygon([(2.5, 13.5), (1.5, 7.5), (6.5, 10.0)]), GREEN, GREEN_D, 0.6)
    return c


@picture("FIND.BMP")
def _find():
    return magnifier(Canvas())


@picture("GO.BMP")
def _go():
    c = Canvas().shape(circle(8, 8, 7), GREEN, GREEN_D)
    c.fill(polygon([(4, 6.8), (8, 6.8), (8, 4), (12.5, 8), (8, 12), (8, 9.2), (4, 9.2)]), WHITE)
    return c


def link(c, color, edge, broken=False):
    shift = 1.3 if broken else 0.0
    left = moved(rotated(box(1.5, 5.5, 9, 10.5, 2.5), -45), -shift, shift)
    right = moved(rotated(box(7, 5.5, 14.5, 10.5, 2.5), -45), shift, -shift)
    for part in (left, right):
        c.fill(lambda x, y, p=part: abs(p(x, y) + 0.7) - 0.75, edge)
    if broken:
        c.fill(segment(9.5, 9.5, 11, 11, 0.9), RED)
        c.fill(segment(6.5, 6.5, 5, 5, 0.9), RED)
    return c


@picture("CONNECT.BMP")
def _connect():
    return link(Canvas(), GREEN, GREEN_D)


@picture("DISCONNECT.BMP")
def _disconnect():
    return link(Canvas(), GREY, GREY_D, broken=True)


def window(c):
    c.shape(box(1, 1, 15, 12, 1), PAPER, BLUE_D)
    c.fill(box(1.5, 1.5, 14.5, 4, 0.5), BLUE)
    return c


@picture("APPL_TRAY.BMP")
def _appl_tray():
    c = window(Canvas())
    c.shape(polygon([(6, 5), (10, 5), (10, 8), (12.5, 8), (8, 13), (3.5, 8), (6, 8)]), GREEN, GREEN_D, 0.8)
    c.fill(box(2, 14, 14, 15), GREY_D)
    return c


@picture("APPL_RESTORE.BMP")
def _appl_restore():
    c = window(Canvas())
    c.shape(polygon([(6, 15), (10, 15), (10, 11), (12.5, 11), (8, 5.5), (3.5, 11), (6, 11)]), GREEN, GREEN_D, 0.8)
    return c


@picture("QUILL.BMP")
def _quill():
    c = Canvas()
    vane = rotated(union(ellipse(8, 6.5, 3.6, 7.5)), 40)
    c.shape(vane, BLUE, BLUE_D)
    c.fill(rotated(segment(8, 1, 8, 14.5, 0.9), 40), BLUE_D)
    c.fill(rotated(polygon([(7.4, 13.5), (8.6, 13.5), (8, 16.6)]), 40), INK)
    c.fill(rotated(polyline([(9, 4), (11.2, 2.5)], 0.8), 40), BLUE_L)
    c.fill(rotated(polyline([(9, 7), (11.4, 5.5)], 0.8), 40), BLUE_L)
    return c


# File types: a page with a coloured band, as the attachments show them.

def typed_page(color, edge, content=None):
    c = page(Canvas(), x0=3, x1=14, lines=False)
    if content:
        content(c)
    band(c, color, edge, 1, 9, 10, 14)
    return c


@picture("TXT.BMP")
def _txt():
    c = page(Canvas(), x0=3, x1=14, lines=False)
    for j in (6, 8, 10, 12):
        c.hline(5, 11 if j != 12 else 9, j, GREY_D)
    return c


@picture("PDF.BMP")
def _pdf():
    def content(c):
        c.hline(5, 10, 6, TEXT)
    c = typed_page(RED, RED_D, content)
    c.fill(polyline([(3, 12.5), (5, 10.5), (6, 12.5), (8.2, 10.8)], 0.8), WHITE)
    return c


@picture("DOC.BMP")
def _doc():
    def content(c):
        for j in (6, 8):
            c.hline(5, 11, j, TEXT)
    c = typed_page(BLUE, BLUE_D, content)
    for j in (11, 12):
        pass
    c.hline(3, 8, 11, WHITE)
    c.hline(3, 6, 12, WHITE)
    return c


@picture("XLS.BMP")
def _xls():
    def content(c):
        for j in (5, 7):
            for i in range(5, 12, 2):
                c.hline(i, i, j, TEXT)
    c = typed_page(GREEN, GREEN_D, content)
    for i in (4, 7):
        c.vline(i, 10, 12, WHITE)
    c.hline(2, 8, 11, WHITE)
    return c


@picture("PPT.BMP")
def _ppt():
    def content(c):
        c.hline(5, 11, 6, TEXT)
    c = typed_page(ORANGE, ORANGE_D, content)
    c.fill(circle(4.5, 11.5, 1.7), WHITE)
    c.hline(7, 8, 11, WHITE)
    c.hline(7, 8, 12, WHITE)
    return c


@picture("HTML.BMP")
def _html():
    c = page(Canvas(), x0=3, x1=14, lines=False)
    c.shape(circle(7, 10, 4.5), SKY, BLUE_D)
    c.fill(ring(7, 10, 1.8, 0.8), BLUE_D)
    c.fill(box(2.8, 9.6, 11.2, 10.4), BLUE_D)
    c.fill(box(6.6, 5.8, 7.4, 14.2), BLUE_D)
    return c


@picture("IMAGE.BMP")
def _image():
    c = Canvas()
    c.shape(box(1, 2, 15, 14, 0.5), SKY, GREY_D)
    c.fill(circle(11, 5.5, 1.6), YELLOW)
    c.fill(intersect(polygon([(1.5, 13.5), (6, 6.5), (10, 13.5)]), box(1.5, 2.5, 14.5, 13.5)), GREEN)
    c.fill(intersect(polygon([(7, 13.5), (11, 8.5), (15, 13.5)]), box(1.5, 2.5, 14.5, 13.5)), GREEN_D)
    return c


@picture("ZIP.BMP")
def _zip():
    c = Canvas()
    c.shape(box(2, 3, 14, 15, 0.8), BROWN, BROWN_D)
    c.shape(box(1, 1, 15, 5, 0.8), BROWN, BROWN_D)
    for j in range(5, 14, 2):
        c.hline(7, 7, j, GREY_L)
        c.hline(8, 8, j + 1, GREY_L)
    c.shape(box(6.2, 10, 9.8, 14), GREY_L, GREY_D, 0.7)
    return c


@picture("MAIL.BMP")
def _mail():
    c = Canvas()
    c.shape(box(1, 3, 15, 13, 0.8), PAPER, PAPER_EDGE)
    c.fill(polyline([(1.8, 3.8), (8, 9), (14.2, 3.8)], 1.0), PAPER_EDGE)
    c.fill(polyline([(1.8, 12.2), (6, 8)], 0.8), PAPER_FOLD)
    c.fill(polyline([(14.2, 12.2), (10, 8)], 0.8), PAPER_FOLD)
    return c


# ---------------------------------------------------------------------------
# Toolbar pictures, by toolbar text number minus one.

def with_badge(base, badge):
    def make():
        c = PICTURES[base]() if isinstance(base, str) else base()
        return badge(c)
    return make


def _new_document():
    return badge_plus(page(Canvas(), x0=2, x1=12, y1=14))


def _new_folder():
    return badge_plus(folder(Canvas(), y1=13))


def _publish():
    c = page(Canvas(), x0=2, x1=12, y1=14)
    c.shape(circle(11.5, 11.5, 4.3), BLUE, BLUE_D)
    c.fill(polygon([(11.5, 8.5), (14, 11.5), (12.3, 11.5), (12.3, 14), (10.7, 14), (10.7, 11.5), (9, 11.5)]), WHITE)
    return c


def _ok():
    c = Canvas()
    c.fill(polyline([(2.5, 8.5), (6.2, 12.2), (13.5, 3.8)], 3.4), GREEN_D)
    c.fill(polyline([(2.5, 8.5), (6.2, 12.2), (13.5, 3.8)], 1.6), GREEN)
    return c


def _close():
    c = Canvas().shape(circle(8, 8, 7), GREY_L, GREY_D)
    c.fill(union(segment(5.2, 5.2, 10.8, 10.8, 1.8), segment(10.8, 5.2, 5.2, 10.8, 1.8)), RED)
    return c


def _cut():
    c = Canvas()
    c.fill(segment(5, 1, 10.5, 10, 1.3), GREY_D)
    c.fill(segment(11, 1, 5.5, 10, 1.3), GREY_D)
    c.shape(ring(4.5, 12, 2.2, 1.4), RED, RED_D, 0.3)
    c.shape(ring(11.5, 12, 2.2, 1.4), RED, RED_D, 0.3)
    return c


def _copy():
    c = page(Canvas(), x0=1, y0=1, x1=10, y1=11, fold=3)
    return page(c, x0=6, y0=5, x1=15, y1=15, fold=3)


def _paste():
    c = clipboard(Canvas())
    return page(c, x0=7, y0=6, x1=15, y1=15, fold=3)


def _open_file():
    c = folder(Canvas(), y1=14)
    c.shape(polygon([(3.5, 14), (5.5, 7.5), (15.5, 7.5), (13.5, 14)]), AMBER_L, AMBER_D)
    return c


def _new_group():
    return badge_plus(PICTURES["USERS.BMP"]())


def _delete_group():
    return badge_minus(PICTURES["USERS.BMP"]())


def _add():
    c = Canvas().shape(circle(8, 8, 7), GREEN, GREEN_D)
    c.fill(box(4, 7, 12, 9), WHITE)
    return c.fill(box(7, 4, 9, 12), WHITE)


def _remove():
    c = Canvas().shape(circle(8, 8, 7), RED, RED_D)
    return c.fill(box(4, 7, 12, 9), WHITE)


def _file_templates():
    c = page(Canvas(), x0=2, x1=13, lines=True)
    c.shape(star(11.5, 11.5, 4.2, 1.9), YELLOW, YELLOW_D)
    return c


def _view():
    c = Canvas()
    for j in (2, 7, 12):
        c.shape(box(1, j - 1, 5, j + 3), BLUE_L, BLUE_D, 0.8)
        c.fill(box(7, j + 0.5, 15, j + 1.5), GREY_D)
    return c


def _move_down():
    c = Canvas()
    shape = polygon([(6, 2), (6, 8), (2.5, 8), (8, 14.5), (13.5, 8), (10, 8), (10, 2)])
    return c.shape(shape, BLUE, BLUE_D)


def _move_up():
    return arrow_up(Canvas(), BLUE, BLUE_D)


TOOLBAR = [
    ("NEWDOCUMENT", _new_document),               # TOOLBUTTON1
    ("NEWFOLDER", _new_folder),                   # TOOLBUTTON2
    ("TASKS", lambda: PICTURES["SCHEDULER.BMP"]()),  # TOOLBUTTON3
    ("PUBLISH", _publish),                        # TOOLBUTTON4
    ("DELETE", lambda: PICTURES["DELETE.BMP"]()),  # TOOLBUTTON5
    ("FIND", lambda: PICTURES["FIND.BMP"]()),      # TOOLBUTTON6
    ("REFRESH", lambda: PICTURES["REFRESH.BMP"]()),  # TOOLBUTTON7
    ("PRINT", lambda: PICTURES["PRINT.BMP"]()),    # TOOLBUTTON8
    ("OK", _ok),                                  # TOOLBUTTON9
    ("CLOSE", _close),                            # TOOLBUTTON10
    ("ATTACHMENTS", lambda: PICTURES["ATTACHMENT.BMP"]()),  # TOOLBUTTON11
    ("COMMENTS", lambda: PICTURES["COMMENT.BMP"]()),  # TOOLBUTTON12
    ("SCHEDULE", lambda: PICTURES["DATE.BMP"]()),  # TOOLBUTTON13
    ("CUT", _cut),                                # TOOLBUTTON14
    ("COPY", _copy),                              # TOOLBUTTON15
    ("PASTE", _paste),                            # TOOLBUTTON16
    ("PROPERTIES", lambda: PICTURES["PROPERTYES.BMP"]()),  # TOOLBUTTON17
    ("OPENFILE", _open_file),                     # TOOLBUTTON18
    ("HELP", lambda: PICTURES["HELP.BMP"]()),      # TOOLBUTTON19
    ("NEWGROUP", _new_group),                     # TOOLBUTTON20
    ("DELETEGROUP", _delete_group),               # TOOLBUTTON21
    ("ADD", _add),                                # TOOLBUTTON22
    ("REMOVE", _remove),                          # TOOLBUTTON23
    ("FILETEMPLATES", _file_templates),           # TOOLBUTTON24
    ("VIEW", _view),                              # TOOLBUTTON25
    ("MOVEUP", _move_up),                         # TOOLBUTTON26
    ("MOVEDOWN", _move_down),                     # TOOLBUTTON27
    ("GOTO", lambda: PICTURES["GO.BMP"]()),        # TOOLBUTTON28
]


def hot(color):
    """Under the mouse: a little lighter and warmer."""
    r, g, b = color
    return (min(255, int(r * 0.85 + 255 * 0.15) + 6), min(255, int(g * 0.85 + 255 * 0.15)),
            min(254, int(b * 0.85 + 255 * 0.15)))


def disabled(color):
    """Disabled: a pale grey of the same lightness."""
    r, g, b = color
    y = int(0.299 * r + 0.587 * g + 0.114 * b)
    y = int(y * 0.45 + 255 * 0.55)
    return (y, y, min(255, y + 4))


# ---------------------------------------------------------------------------


def check_picture(name, canvas):
    rows = canvas.rows()
    if rows[SIZE - 1][0] != KEY:
        raise SystemExit(name + ": the bottom-left pixel must be background")
    for row in canvas.px:
        for c in row:
            if c == KEY:
                raise SystemExit(name + ": uses the transparent colour")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def contact_sheet(items, path, scale=4, columns=10):
    cell = SIZE * scale + 8
    rows_n = (len(items) + columns - 1) // columns
    w, h = columns * cell, rows_n * cell
    img = [[(236, 239, 243)] * w for _ in range(h)]
    for k, (name, canvas) in enumerate(items):
        ox, oy = (k % columns) * cell + 4, (k // columns) * cell + 4
        for j in range(SIZE):
            for i in range(SIZE):
                c = canvas.px[j][i]
                if c is None:
                    c = (255, 255, 255) if (i + j) % 2 else (244, 246, 248)
                for dy in range(scale):
                    row = img[oy + j * scale + dy]
                    for dx in range(scale):
                        row[ox + i * scale + dx] = c
    write(path, png_bytes(img))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    args = list(argv)
    sheet = None
    if "--sheet" in args:
        k = args.index("--sheet")
        sheet = args[k + 1]
        del args[k:k + 2]
    datapoint = args[0] if args else os.path.join(here, "..", "resources", "DataPoint")
    resources = os.path.join(datapoint, "DataPoint.system", "Resources", "GUI")
    tree_dir = os.path.join(resources, "MainTreeView")
    bar_dir = os.path.join(resources, "ToolBarPanel")

    drawn = []
    for name in sorted(PICTURES):
        canvas = PICTURES[name]()
        check_picture(name, canvas)
        write(os.path.join(tree_dir, name), bmp_bytes(canvas.rows()))
        drawn.append((name, canvas))
    for number, (name, make) in enumerate(TOOLBAR):
        canvas = make()
        check_picture(name, canvas)
        for prefix, variant in (("A", canvas), ("B", canvas.mapped(hot)), ("C", canvas.mapped(disabled))):
            check_picture(prefix + name, variant)
            file_name = "%s%02d_%s.BMP" % (prefix, number, name)
            write(os.path.join(bar_dir, file_name), bmp_bytes(variant.rows()))
            drawn.append((file_name, variant))
    if sheet:
        contact_sheet(drawn, sheet)
    print("%d tree images, %d toolbar images" % (len(PICTURES), 3 * len(TOOLBAR)))


if __name__ == "__main__":
    main(sys.argv[1:])
