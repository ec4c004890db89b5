#!/usr/bin/env python3
"""Draws the remote panel's pictures and writes them to res/art/.

Standard library only: the .bmp, .ico and .cur files are assembled by hand.
Run from anywhere:  python3 tools/make-art.py [output directory]

  toolbar.bmp      bitmap 131  64 x 16, four 16 x 16 toolbar images on silver
  printer.bmp      bitmap 211  35 x 35 printer on teal RGB(0,128,128)
  program.ico      icon 97     program icon, 32 x 32 and 16 x 16
  tab_*.ico        icons 99, 101, 240, 241, 244, 246   tab icons, 16 x 16 and 32 x 32
  status_*.ico     icons 142, 143, 144   overlays for the status picture, 32 x 32
  perf_*.ico, paperset_*.ico   icons 231 to 234, 32 x 32
  face_*.ico, zero*_*.ico      icons 225 to 230 (Font page), 32 x 32
  direction_*.ico, reduce_*.ico   icons 222, 224, 235 to 239 (Print page), 32 x 32
  helparrow.cur    cursor 310  context-help arrow, hotspot at the tip
"""
import math
import os
import struct
import sys

# ---------------------------------------------------------------- colours

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GRAY = (128, 128, 128)
SILVER = (192, 192, 192)      # toolbar background: mapped to the button face
LIGHT = (224, 224, 224)       # printer bodies (not silver, which the toolbar maps)
MID = (160, 160, 160)
DARK = (96, 96, 96)
TEAL = (0, 128, 128)          # background of bitmap 211, flood-filled by the program
BLUE = (0, 64, 224)
NAVY = (0, 0, 128)
GREEN = (0, 168, 0)
DKGREEN = (0, 112, 0)
RED = (224, 0, 0)
DKRED = (128, 0, 0)
YELLOW = (255, 224, 0)
GOLD = (184, 136, 0)
PAPER = (255, 255, 240)
INK = (64, 64, 64)

PALETTE = {
    'K': BLACK, 'W': WHITE, 'g': GRAY, 's': SILVER, 'L': LIGHT, 'm': MID, 'd': DARK,
    'B': BLUE, 'b': NAVY, 'G': GREEN, 'v': DKGREEN, 'R': RED, 'r': DKRED,
    'Y': YELLOW, 'y': GOLD, 'P': PAPER, 'i': INK,
}


class Canvas:
    """A picture of RGB tuples; None is a transparent pixel."""

    def __init__(self, width, height, fill=None):
        self.w = width
        self.h = height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.set(x, y0, colour)
            self.set(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.set(x0, y, colour)
            self.set(x1, y, colour)

    def box(self, x0, y0, x1, y1, fill, outline=BLACK):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, outline)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for dy in range(width):
                for dx in range(width):
                    self.set(int(round(x)) + dx - width // 2, int(round(y)) + dy - width // 2, colour)

    def hline_dashed(self, x0, x1, y, colour, on=2, off=2):
        for x in range(x0, x1 + 1):
            if (x - x0) % (on + off) < on:
                self.set(x, y, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, colour)

    def ring(self, cx, cy, r_out, r_in, colour, start=0.0, end=360.0):
        """Annulus between r_in and r_out; angles in degrees, 0 = east, counter-clockwise, y up."""
        for y in range(self.h):
            for x in range(self.w):
                dx = x + 0.5 - cx
                dy = y + 0.5 - cy
                d2 = dx * dx + dy * dy
                if r_in * r_in <= d2 <= r_out * r_out:
                    a = math.degrees(math.atan2(-dy, dx)) % 360.0
                    if start <= end:
                        inside = start <= a <= end
                    else:
                        inside = a >= start or a <= end
                    if inside:
                        self.set(x, y, colour)

    def polygon(self, points, colour):
        """Even-odd fill of the pixels whose centres lie inside the polygon."""
        n = len(points)
        for y in range(self.h):
            yc = y + 0.5
            xs = []
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(self.w):
                    if xs[i] <= x + 0.5 < xs[i + 1]:
                        self.set(x, y, colour)

    def art(self, rows, x0=0, y0=0, palette=PALETTE):
        """Draws ASCII art; '.' leaves the pixel as it is."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.set(x0 + dx, y0 + dy, palette[ch])

    def outline(self, colour, of=None, diagonal=True):
        """Paints every empty pixel next to a filled one (or next to colour `of`)."""
        marks = []
        for y in range(self.h):
            for x in range(self.w):
                if self.px[y][x] is not None:
                    continue
                for dy in (-1, 0, 1):
                    for dx in (-1, 0, 1):
                        if (dx or dy) and (diagonal or not (dx and dy)):
                            nx, ny = x + dx, y + dy
                            if 0 <= nx < self.w and 0 <= ny < self.h:
                                p = self.px[ny][nx]
                                if p is not None and (of is None or p == of):
                                    marks.append((x, y))
        for x, y in marks:
            self.px[y][x] = colour

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                p = other.px[y][x]
                if p is not None:
                    self.set(x0 + x, y0 + y, p)

    def scaled(self, factor):
        out = Canvas(self.w * factor, self.h * factor)
        for y in range(out.h):
            for x in range(out.w):
                out.px[y][x] = self.px[y // factor][x // factor]
        return out

    def on(self, background):
        out = Canvas(self.w, self.h, background)
        out.paste(self, 0, 0)
        return out


# ---------------------------------------------------------------- file formats

def _palette_of(canvases, limit=256):
    colours = []
    for c in canvases:
        for row in c.px:
            for p in row:
                if p is not None and p not in colours:
                    colours.append(p)
    if BLACK not in colours:
        colours.insert(0, BLACK)    # transparent icon pixels use black under the mask
    else:
        colours.remove(BLACK)
        colours.insert(0, BLACK)
    if len(colours) > limit:
        raise ValueError('too many colours: %d' % len(colours))
    return colours


def _dib_rows(canvas, bpp, index):
    """Bottom-up rows of palette indices packed at bpp, each padded to 4 bytes."""
    data = bytearray()
    stride = ((canvas.w * bpp + 31) // 32) * 4
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.w):
            v = index(canvas.px[y][x])
            bit = x * bpp
            shift = 8 - bpp - (bit % 8)
            row[bit // 8] |= (v & ((1 << bpp) - 1)) << shift
        data += row
    return bytes(data)


def _info_header(width, height, bpp, colours_used, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, image_size,
                       2835, 2835, colours_used, 0)


def _palette_bytes(colours, entries):
    out = bytearray()
    for i in range(entries):
        r, g, b = colours[i] if i < len(colours) else (0, 0, 0)
        out += struct.pack('<BBBB', b, g, r, 0)
    return bytes(out)


def write_bmp(path, canvas):
    """8-bit palette BMP (the toolbar's colour mapping needs a colour table)."""
    for row in canvas.px:
        if None in row:
            raise ValueError(path + ': a bitmap has no transparent pixels')
    colours = _palette_of([canvas])
    pixels = _dib_rows(canvas, 8, colours.index)
    entries = len(colours)
    header_size = 14 + 40 + 4 * entries
    info = _info_header(canvas.w, canvas.h, 8, entries, len(pixels))
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(pixels), 0, 0, header_size)
    with open(path, 'wb') as f:
        f.write(file_header + info + _palette_bytes(colours, entries) + pixels)


def _icon_image(canvas, mono=False):
    """One icon or cursor image: BITMAPINFOHEADER (double height), palette, XOR, AND."""
    if mono:
        colours = [BLACK, WHITE]
        bpp = 1
    else:
        colours = _palette_of([canvas])
        bpp = 4 if len(colours) <= 16 else 8
    entries = 1 << bpp

    def index(p):
        return 0 if p is None else colours.index(p)

    xor = _dib_rows(canvas, bpp, index)
    mask_canvas = Canvas(canvas.w, canvas.h)
    for y in range(canvas.h):
        for x in range(canvas.w):
            mask_canvas.px[y][x] = 1 if canvas.px[y][x] is None else 0
    and_mask = _dib_rows(mask_canvas, 1, lambda v: v)
    info = _info_header(canvas.w, canvas.h * 2, bpp, 0, len(xor) + len(and_mask))
    data = info + _palette_bytes(colours, entries) + xor + and_mask
    colour_count = entries if entries < 256 else 0
    return data, colour_count, bpp


def write_icon(path, canvases):
    images = [_icon_image(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, (data, count, bpp) in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, count, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for data, _, _ in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def write_cursor(path, canvas, hotspot):
    """Monochrome cursor: black and white pixels, None transparent."""
    for row in canvas.px:
        for p in row:
            if p not in (None, BLACK, WHITE):
                raise ValueError(path + ': a cursor pixel is neither black nor white')
    data, _, _ = _icon_image(canvas, mono=True)
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', canvas.w, canvas.h, 2, 0, hotspot[0], hotspot[1], len(data), 22)
    with open(path, 'wb') as f:
        f.write(out + data)


# ---------------------------------------------------------------- shared motifs

def printer(c, x, y, w, h, paper_lines=True):
    """A dot-matrix printer inside (x, y, w, h): fan-fold paper on top, body, front panel."""
    body_top = y + h * 2 // 5
    pw = w * 3 // 5
    px0 = x + (w - pw) // 2
    px1 = px0 + pw - 1
    # Paper coming out of the top, with the tractor holes along both edges.
    c.box(px0, y, px1, body_top + 1, PAPER)
    if h >= 24:
        for yy in range(y + 2, body_top, 3):
            c.set(px0 + 2, yy, MID)
            c.set(px1 - 2, yy, MID)
    if paper_lines:
        for yy in range(y + 2, body_top - 1, 2):
            c.line(px0 + (4 if h >= 24 else 2), yy, px1 - (4 if h >= 24 else 2), yy, INK)
    # Body with the darker top cover and the paper slot.
    bottom = y + h - 1 - (2 if h >= 24 else 1)
    c.box(x, body_top, x + w - 1, bottom, LIGHT)
    cover = body_top + max(2, h // 8)
    c.rect(x + 1, body_top + 1, x + w - 2, cover, MID)
    c.line(x + 1, cover + 1, x + w - 2, cover + 1, DARK)
    c.line(px0, body_top, px1, body_top, BLACK)
    # Front panel: buttons and the green ready lamp.
    py = cover + 2 + (bottom - cover - 3) // 2
    if h >= 24:
        c.rect(x + w - 11, py, x + w - 10, py + 1, DARK)
        c.rect(x + w - 8, py, x + w - 7, py + 1, DARK)
        c.rect(x + w - 5, py, x + w - 4, py + 1, GREEN)
        c.line(x + 3, py + 1, x + w // 2, py + 1, MID)
    else:
        c.set(x + w - 3, py, GREEN)
        c.set(x + w - 5, py, DARK)
    # Feet.
    if h >= 24:
        c.rect(x + 2, bottom + 1, x + 5, bottom + 2, DARK)
        c.rect(x + w - 6, bottom + 1, x + w - 3, bottom + 2, DARK)
    else:
        c.line(x + 1, bottom + 1, x + 2, bottom + 1, DARK)
        c.line(x + w - 3, bottom + 1, x + w - 2, bottom + 1, DARK)


ARROW = [
    "K...........",
    "KK..........",
    "KWK.........",
    "KWWK........",
    "KWWWK.......",
    "KWWWWK......",
    "KWWWWWK.....",
    "KWWWWWWK....",
    "KWWWWWWWK...",
    "KWWWWWWWWK..",
    "KWWWWWWWWWK.",
    "KWWWWWWKKKKK",
    "KWWWKWWK....",
    "KWWKKWWK....",
    "KWK..KWWK...",
    "KK...KWWK...",
    "K.....KWWK..",
    "......KWWK..",
    ".......KK...",
]

QUESTION = [
    ".KKKKK.",
    "KKK.KKK",
    "KK...KK",
    ".....KK",
    "....KKK",
    "...KKK.",
    "..KKK..",
    "..KK...",
    "..KK...",
    ".......",
    "..KK...",
    "..KK...",
]

SMALL_ARROW = [
    "K......",
    "KK.....",
    "KWK....",
    "KWWK...",
    "KWWWK..",
    "KWWWWK.",
    "KWWWWWK",
    "KWWKKKK",
    "KWK....",
    "KK.....",
    "K......",
]

SMALL_QUESTION = [
    ".bbbb.",
    "bb..bb",
    "....bb",
    "...bb.",
    "..bb..",
    "..bb..",
    "......",
    "..bb..",
]


# ---------------------------------------------------------------- toolbar (bitmap 131)

def tool_read():
    c = Canvas(16, 16)
    printer(c, 1, 0, 14, 9, paper_lines=False)
    # Arrow from the printer down to the computer side: settings come in.
    c.polygon([(5, 9), (11, 9), (11, 12), (14, 12), (8, 16), (2, 12), (5, 12)], BLUE)
    c.line(5, 9, 5, 11, NAVY)
    c.line(10, 9, 10, 11, NAVY)
    return c


def tool_defaults():
    c = Canvas(16, 16)
    c.art([
        "KKKKKKKK........",
        "KWWWWWWKK.......",
        "KWiiiiWKWK......",
        "KWWWWWWKKKK.....",
        "KWiiiiiiiWK.....",
        "KWWWWWWWWWK.....",
        "KWiiiiiiiWK.....",
        "KWWWWWWWWWK.....",
        "KWiiiiiWWWK.....",
        "KWWWWWWWWWK.....",
        "KWiiiiWWWWK.....",
        "KWWWWWWWWWK.....",
        "KWWWWWWWWWK.....",
        "KKKKKKKKKKK.....",
    ], 0, 0)
    # Green arrow turning back: the values go back to the start.
    arrow = Canvas(16, 16)
    arrow.art([
        "...GGGG...",
        "..GGGGGGG.",
        ".GG....GGG",
        "GGGGG...GG",
        ".GGG....GG",
        "..G.....GG",
        ".......GG.",
        "...GGGGG..",
        "...GGGG...",
    ], 5, 6)
    arrow.outline(WHITE, diagonal=False)
    c.paste(arrow, 0, 0)
    return c


def tool_change():
    c = Canvas(16, 16)
    # Two printers with arrows both ways between them.
    printer(c, 0, 8, 8, 8, paper_lines=False)
    printer(c, 8, 8, 8, 8, paper_lines=False)
    c.art([
        ".........B......",
        ".........BB.....",
        "..BBBBBBBBBB....",
        ".........BB.....",
        "......B..B......",
        ".....BB.........",
        "....BBBBBBBBBB..",
        ".....BB.........",
        "......B.........",
    ], 0, 0)
    return c


def tool_help():
    c = Canvas(16, 16)
    c.art([
        "................",
        ".K..............",
        ".KK.......bbbb..",
        ".KWK.....bb..bb.",
        ".KWWK........bb.",
        ".KWWWK......bb..",
        ".KWWWWK....bb...",
        ".KWWWWWK...bb...",
        ".KWWWWWWK.......",
        ".KWWWKKKK..bb...",
        ".KWKWK.....bb...",
        ".KK.KWK.........",
        ".K..KWK.........",
        ".....KWK........",
        ".....KWK........",
        "......K.........",
    ])
    return c


def toolbar():
    strip = Canvas(64, 16, SILVER)
    for i, image in enumerate([tool_read(), tool_defaults(), tool_change(), tool_help()]):
        strip.paste(image, 16 * i, 0)
    return strip


# ---------------------------------------------------------------- status picture (bitmap 211)

def status_printer():
    c = Canvas(35, 35)
    printer(c, 1, 2, 33, 31)
    out = c.on(TEAL)
    return out


# ---------------------------------------------------------------- program icon (97)

def program_icon(size):
    c = Canvas(size, size)
    if size >= 32:
        printer(c, 0, 1, 28, 27)
        # The remote control: a small blue panel with two sliders.
        c.box(17, 18, 31, 31, WHITE, NAVY)
        c.rect(18, 19, 30, 21, BLUE)
        c.line(19, 25, 29, 25, DARK)
        c.rect(21, 23, 22, 27, NAVY)
        c.line(19, 29, 29, 29, DARK)
        c.rect(26, 28, 27, 30, NAVY)
    else:
        printer(c, 0, 0, 14, 14, paper_lines=False)
        c.box(8, 8, 15, 15, WHITE, NAVY)
        c.line(9, 9, 14, 9, BLUE)
        c.line(9, 11, 14, 11, DARK)
        c.set(10, 11, NAVY)
        c.line(9, 13, 14, 13, DARK)
        c.set(13, 13, NAVY)
    return c


# ---------------------------------------------------------------- tab icons (99, 101, 240, 241, 244, 246)

def tab_paper():
    c = Canvas(16, 16)
    c.art([
        "..KKKKKKKKKKKK..",
        "..KPPPPPPPPPPK..",
        "..KmPPPPPPPPmK..",
        "..KPPiiiiiiPPK..",
        "..KmPPPPPPPPmK..",
        "..KPPiiiiPPPPK..",
        "..KmPPPPPPPPmK..",
        "..KPPPPPPPPPPK..",
        "..KgKgKgKgKgKK..",
        "..KPPPPPPPPPPK..",
        "..KmPPPPPPPPmK..",
        "..KPPiiiiiiPPK..",
        "..KmPPPPPPPPmK..",
        "..KPPiiiPPPPPK..",
        "..KmPPPPPPPPmK..",
        "..KKKKKKKKKKKK..",
    ])
    return c


def tab_format():
    c = Canvas(16, 16)
    c.art([
        ".KKKKKKKKKKKK...",
        ".KWWWWWWWWWWKK..",
        ".KWBBBBBBBBWKWK.",
        ".KWBWWWWWWBWKKKK",
        ".KWBWiiiiWBWWWWK",
        ".KWBWWWWWWBWWWWK",
        ".KWBWiiiiiBiWWWK",
        ".KWBWWWWWWBWWWWK",
        ".KWBWiiiWWBWWWWK",
        ".KWBWWWWWWBWWWWK",
        ".KWBWiiiiiBiWWWK",
        ".KWBWWWWWWBWWWWK",
        ".KWBBBBBBBBWWWWK",
        ".KWWWWWWWWWWWWWK",
        ".KKKKKKKKKKKKKKK",
        "................",
    ])
    return c


def tab_font():
    c = Canvas(16, 16)
    c.art([
        "................",
        ".....KK.........",
        ".....KK.........",
        "....KKKK........",
        "....KKKK........",
        "...KK.KKK.......",
        "...KK..KK.......",
        "..KKK..KKK......",
        "..KKKKKKKK..BBB.",
        "..KK....KK.B..BB",
        ".KKK....KKK...BB",
        ".KK......KK.BBBB",
        "KKKK....KKKBB.BB",
        "............BBBB",
        "................",
        "................",
    ])
    return c


def tab_print():
    c = Canvas(16, 16)
    printer(c, 0, 0, 16, 12)
    # The printed sheet coming out at the front.
    c.box(4, 10, 11, 15, PAPER)
    c.line(5, 12, 10, 12, INK)
    c.line(5, 14, 8, 14, INK)
    return c


def tab_environment(size=16):
    """A gear: the printer's operating environment."""
    c = Canvas(size, size)
    k = size / 16.0
    cx = cy = size / 2.0
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            r = math.hypot(dx, dy)
            a = math.degrees(math.atan2(dy, dx)) % 45.0
            edge = 7.2 * k if 12.0 <= a <= 33.0 else 5.4 * k
            if 2.3 * k < r <= edge:
                c.set(x, y, LIGHT if dx + dy < 0 else MID)
    c.ring(cx, cy, 3.3 * k, 2.3 * k, DARK)
    c.outline(BLACK, diagonal=False)
    return c


def tab_other():
    c = Canvas(16, 16)
    # A list of switches: ticked, empty, ticked.
    c.art([
        "......v.........",
        "KKKKKvG.........",
        "KWWWvGK..iiiiiii",
        "KvWGGWK.........",
        "KGGGWWK.........",
        "KKvKKKK.........",
        "................",
        "KKKKKK..........",
        "KWWWWK...iiiiiii",
        "KWWWWK..........",
        "KKKKKK..........",
        "......v.........",
        "KKKKKvG.........",
        "KWWWvGK..iiiiiii",
        "KvWGGWK.........",
        "KKvKKKK.........",
    ])
    return c


# ---------------------------------------------------------------- status overlays (142, 143, 144)

def overlay_read_only():
    """Settings can be read, not changed: a padlock in the lower right."""
    c = Canvas(32, 32)
    c.ring(23.5, 21.0, 4.6, 2.4, GREY_SHACKLE, 0.0, 180.0)
    c.rect(19, 21, 20, 22, GREY_SHACKLE)
    c.rect(27, 21, 28, 22, GREY_SHACKLE)
    c.box(17, 23, 30, 31, YELLOW, BLACK)
    c.line(18, 24, 29, 24, WHITE)
    c.rect(23, 26, 24, 29, BLACK)
    c.outline(BLACK, of=GREY_SHACKLE)
    return c


GREY_SHACKLE = (88, 88, 88)


def overlay_update_only():
    """Settings can be written, not read: a crossed-out eye in the lower right."""
    c = Canvas(32, 32)
    # White badge to keep the eye readable over the printer.
    c.disc(23.5, 23.5, 8.4, WHITE)
    c.ring(23.5, 23.5, 8.4, 7.4, BLACK)
    # Eye: almond outline, blue iris, black pupil.
    for y in range(32):
        for x in range(32):
            dx = (x + 0.5 - 23.5) / 6.0
            dy = (y + 0.5 - 23.5) / 3.6
            if abs(dx) <= 1.0:
                half = 1.0 - dx * dx
                if abs(dy) <= half:
                    c.set(x, y, WHITE if abs(dy) < half - 0.35 else BLACK)
    c.disc(23.5, 23.5, 2.6, BLUE)
    c.disc(23.5, 23.5, 1.2, BLACK)
    c.line(17, 29, 29, 17, RED, 2)
    return c


def overlay_neither():
    """Neither reading nor writing: a red prohibition sign over the whole picture."""
    c = Canvas(32, 32)
    c.ring(16, 16, 15.9, 12.4, RED)
    c.polygon([(6.0, 8.5), (8.5, 6.0), (26.0, 23.5), (23.5, 26.0)], RED)
    c.ring(16, 16, 15.9, 15.0, DKRED)
    return c


# ---------------------------------------------------------------- paper page icons (231 to 234)

def fanfold(c, gap):
    """Two fan-fold sheets joined at the perforation (y 15/16); printed lines, with or
    without a gap around the perforation."""
    c.box(6, 0, 25, 31, PAPER)
    for y in range(2, 31, 3):
        c.set(8, y, MID)
        c.set(23, y, MID)
    c.hline_dashed(6, 25, 15, BLACK, 2, 1)
    for y in range(3, 30, 3):
        if gap and 10 <= y <= 21:
            continue
        length = 12 if y % 2 else 9
        c.line(10, y, 10 + length - 1, y, INK)
    return c


def perf_skip_off():
    c = Canvas(32, 32)
    fanfold(c, gap=False)
    return c


def perf_skip_on():
    c = Canvas(32, 32)
    fanfold(c, gap=True)
    # Blue arrow that jumps over the perforation on the right.
    c.ring(24.0, 16.0, 7.5, 5.6, BLUE, 270.0, 90.0)
    c.polygon([(20.0, 18.5), (26.5, 20.5), (22.0, 25.5)], BLUE)
    c.outline(WHITE, of=BLUE)
    return c


def paper_set(centre):
    c = Canvas(32, 32)
    # Platen/guide rail along the bottom, with its centre mark.
    c.box(1, 25, 30, 30, MID)
    c.line(2, 26, 29, 26, LIGHT)
    c.polygon([(13.0, 31.0), (19.0, 31.0), (16.0, 27.0)], RED)
    if centre:
        c.box(9, 3, 22, 25, PAPER)
        for y in range(6, 22, 3):
            c.line(11, y, 20, y, INK)
        c.polygon([(0.5, 10.0), (7.0, 14.0), (0.5, 18.0)], RED)
        c.polygon([(31.5, 10.0), (25.0, 14.0), (31.5, 18.0)], RED)
    else:
        c.rect(1, 1, 2, 25, BLACK)      # left edge guide
        c.box(3, 3, 16, 25, PAPER)
        for y in range(6, 22, 3):
            c.line(5, y, 14, y, INK)
        c.polygon([(31.0, 10.0), (24.0, 10.0), (24.0, 7.0), (18.5, 14.0), (24.0, 21.0),
                   (24.0, 18.0), (31.0, 18.0)], RED)
    return c


# ---------------------------------------------------------------- font page icons (225 to 230)

LETTER_GOTHIC = [
    "....KKKK....",
    "....KKKK....",
    "...KKKKKK...",
    "...KKKKKK...",
    "...KKK.KKK..",
    "..KKK..KKK..",
    "..KKK...KKK.",
    "..KKK...KKK.",
    ".KKKKKKKKKK.",
    ".KKKKKKKKKKK",
    ".KKK.....KKK",
    "KKKK.....KKK",
    "KKK.......KKK",
    "KKK.......KKK",
]

LETTER_MINCHO = [
    ".....K.......",
    ".....KK......",
    "....K.K......",
    "....K.KK.....",
    "....K.KK.....",
    "...K...KK....",
    "...K...KK....",
    "...K....KK...",
    "..KKKKKKKK...",
    "..K......KK..",
    "..K......KK..",
    ".K........KK.",
    ".K........KK.",
    "KKK.....KKKKK",
]


def typeface(gothic):
    """A letter on a sheet: bold strokes of even width for Gothic, thin and
    thick strokes with serifs for Mincho."""
    c = Canvas(32, 32)
    c.box(3, 1, 28, 30, PAPER)
    big = Canvas(13, 14)
    big.art(LETTER_GOTHIC if gothic else LETTER_MINCHO)
    c.paste(big.scaled(2), 3, 2)
    return c


ZERO_NARROW = [
    ".KKKK.",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    "KK..KK",
    ".KKKK.",
]

ZERO_WIDE = [
    "..KKKKKK..",
    ".KK....KK.",
    "KK......KK",
    "KK......KK",
    "KK......KK",
    "KK......KK",
    "KK......KK",
    "KK......KK",
    ".KK....KK.",
    "..KKKKKK..",
]


def slashed_zero(two_byte, slashed):
    """The digit zero in its character cell: a narrow cell for one-byte codes,
    a square one for two-byte codes; the slash is red."""
    c = Canvas(32, 32)
    if two_byte:
        c.box(2, 2, 29, 29, PAPER, GRAY)
        zero = Canvas(10, 10)
        zero.art(ZERO_WIDE)
        c.paste(zero.scaled(2), 6, 6)
        if slashed:
            c.line(22, 8, 9, 23, RED, 2)
    else:
        c.box(9, 2, 22, 29, PAPER, GRAY)
        zero = Canvas(6, 10)
        zero.art(ZERO_NARROW)
        c.paste(zero.scaled(2), 10, 6)
        if slashed:
            c.line(19, 8, 12, 23, RED, 2)
    return c


# ---------------------------------------------------------------- print page icons (222, 224, 235 to 239)

def arrow_right(c, x0, x1, y, colour):
    c.rect(x0, y - 1, x1 - 4, y + 1, colour)
    c.polygon([(x1 - 5.0, y - 4.0), (x1 + 1.0, y + 0.5), (x1 - 5.0, y + 5.0)], colour)


def arrow_left(c, x0, x1, y, colour):
    c.rect(x0 + 4, y - 1, x1, y + 1, colour)
    c.polygon([(x0 + 5.0, y - 4.0), (x0 - 0.0, y + 0.5), (x0 + 5.0, y + 5.0)], colour)


def print_direction(both_ways):
    """Head passes over the sheet: one way, every pass runs to the right (the
    return is a dashed line); both ways, the second pass runs back to the left."""
    c = Canvas(32, 32)
    c.box(1, 1, 30, 30, PAPER, GRAY)
    arrow_right(c, 4, 27, 9, BLUE)
    if both_ways:
        arrow_left(c, 4, 27, 22, RED)
    else:
        c.hline_dashed(5, 26, 16, MID, 2, 2)
        arrow_right(c, 4, 27, 22, BLUE)
    return c


DIGITS = {
    '2': ["KKK", "..K", "KKK", "K..", "KKK"],
    '3': ["KKK", "..K", ".KK", "..K", "KKK"],
    '4': ["K.K", "K.K", "KKK", "..K", "..K"],
    '5': ["KKK", "K..", "KKK", "..K", "KKK"],
    '/': ["..K", "..K", ".K.", "K..", "K.."],
}


def reduction(scale, centred):
    """A sheet with the printed area on it: the whole width at full size, or
    reduced to 2/3 or 4/5 and kept at the left edge or in the middle; the
    fraction is written under the sheet."""
    c = Canvas(32, 32)
    c.box(2, 0, 29, 25, PAPER, GRAY)
    inner = 26                      # printable width inside the sheet, x 3..28
    width = inner if scale is None else round(inner * scale[0] / scale[1])
    x0 = 3 + ((inner - width) // 2 if centred else 0)
    c.rect(x0, 2, x0 + width - 1, 23, (200, 224, 255))
    for y in range(4, 23, 3):
        c.line(x0 + 1, y, x0 + width - 2, y, INK)
    if centred and scale is not None:
        c.polygon([(13.0, 31.0), (19.0, 31.0), (16.0, 27.0)], RED)
    if scale is not None:
        text = '%d/%d' % scale
        x = 0 if centred else 18
        for ch in text:
            c.art(DIGITS[ch], x, 27)
            x += 4
    return c


# ---------------------------------------------------------------- cursor (310)

def help_cursor():
    c = Canvas(32, 32)
    c.art(ARROW, 0, 0)
    q = Canvas(32, 32)
    q.art(QUESTION, 14, 1)
    q.outline(WHITE)
    c.paste(q, 0, 0)
    return c


# ---------------------------------------------------------------- main

def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res', 'art')
    os.makedirs(out, exist_ok=True)

    def path(name):
        return os.path.join(out, name)

    write_bmp(path('toolbar.bmp'), toolbar())
    write_bmp(path('printer.bmp'), status_printer())
    write_icon(path('program.ico'), [program_icon(32), program_icon(16)])
    tabs = {
        'tab_paper.ico': tab_paper(), 'tab_format.ico': tab_format(), 'tab_font.ico': tab_font(),
        'tab_print.ico': tab_print(), 'tab_environment.ico': tab_environment(),
        'tab_other.ico': tab_other(),
    }
    for name, image in tabs.items():
        large = tab_environment(32) if name == 'tab_environment.ico' else image.scaled(2)
        write_icon(path(name), [large, image])
    write_icon(path('status_readonly.ico'), [overlay_read_only()])
    write_icon(path('status_updateonly.ico'), [overlay_update_only()])
    write_icon(path('status_neither.ico'), [overlay_neither()])
    write_icon(path('perf_skip_off.ico'), [perf_skip_off()])
    write_icon(path('perf_skip_on.ico'), [perf_skip_on()])
    write_icon(path('paperset_left.ico'), [paper_set(centre=False)])
    write_icon(path('paperset_center.ico'), [paper_set(centre=True)])
    write_icon(path('face_gothic.ico'), [typeface(gothic=True)])
    write_icon(path('face_mincho.ico'), [typeface(gothic=False)])
    for two_byte, size in ((False, 'zero1'), (True, 'zero2')):
        write_icon(path(size + '_plain.ico'), [slashed_zero(two_byte, slashed=False)])
        write_icon(path(size + '_slashed.ico'), [slashed_zero(two_byte, slashed=True)])
    write_icon(path('direction_bidir.ico'), [print_direction(both_ways=True)])
    write_icon(path('direction_unidir.ico'), [print_direction(both_ways=False)])
    write_icon(path('reduce_none.ico'), [reduction(None, centred=False)])
    write_icon(path('reduce_23_left.ico'), [reduction((2, 3), centred=False)])
    write_icon(path('reduce_23_center.ico'), [reduction((2, 3), centred=True)])
    write_icon(path('reduce_45_left.ico'), [reduction((4, 5), centred=False)])
    write_icon(path('reduce_45_center.ico'), [reduction((4, 5), centred=True)])
    write_cursor(path('helparrow.cur'), help_cursor(), (0, 0))


if __name__ == '__main__':
    main()
