#!/usr/bin/env python3
"""Draws Trelvik's icon, cursors and ball bitmap and writes them beside this script.

Standard library only, and deterministic: the same script always writes the same bytes, so the
committed files can be regenerated and compared. Run it after changing a drawing:

    python3 resources/make_images.py

Outputs: Trelvik.ico (16, 32, 48 px, 32-bpp with alpha), hand.cur (32x32, monochrome),
ball.cur (16x16, monochrome), ball.bmp (15x15, 24-bpp on the magenta key colour) and the tray menu's
item pictures menu_<name>_<scale>.bmp (24-bpp on the magenta key colour, at 100, 150 and 200 percent),
and the pictures of the help window and the About box: help_backdrop.bmp (400x200), help_strip.bmp (97x18)
and about_banner.bmp (677x95), all 24-bpp.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---- file writers ----------------------------------------------------------------------------------


def _and_mask(width, height, opaque):
    """1-bpp AND mask, bottom-up, rows padded to 32 bits: 1 where the pixel leaves the screen as it is."""
    stride = (width + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if not opaque(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _icon_image_32(pixels):
    """A 32-bpp icon image (header, BGRA bottom-up, AND mask) from rows of (r, g, b, a)."""
    height, width = len(pixels), len(pixels[0])
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            # Colour under a fully transparent pixel is zeroed so that viewers ignoring alpha show black
            # only where the AND mask would hide it anyway.
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask = _and_mask(width, height, lambda x, y: pixels[y][x][3] != 0)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + mask


def _cursor_image_1(grid):
    """A monochrome cursor image from rows of 'X' (black), '.' (white) and ' ' (transparent)."""
    height, width = len(grid), len(grid[0])
    stride = (width + 31) // 32 * 4
    xor = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if grid[y][x] == ".":
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = _and_mask(width, height, lambda x, y: grid[y][x] != " ")
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 1, 0, len(xor) + len(mask), 2, 2, 0, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    return header + palette + bytes(xor) + mask


def _icon_dir(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file from (width, height, colours, field1, field2, image) entries.

    field1/field2 are planes/bit count for icons and the hot spot x/y for cursors.
    """
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for width, height, colours, f1, f2, image in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, f1, f2, len(image), offset)
        offset += len(image)
    for entry in entries:
        out += entry[5]
    return out


def write_ico(path, images):
    entries = [(len(p[0]), len(p), 0, 1, 32, _icon_image_32(p)) for p in images]
    _write(path, _icon_dir(1, entries))


def write_cur(path, grid, hotspot):
    height, width = len(grid), len(grid[0])
    _write(path, _icon_dir(2, [(width, height, 2, hotspot[0], hotspot[1], _cursor_image_1(grid))]))


def write_bmp24(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    _write(path, head + info + bytes(data))


def _write(path, data):
    with open(path, "wb") as f:
        f.write(data)


# ---- the application icon --------------------------------------------------------------------------
# The ruler as the user sees it on screen: a bar along the top and one along the left, meeting in the
# top-left corner, with the desktop showing through the rest. Drawn on the pixel grid of each size
# (not scaled from one master) so that outlines and ticks stay one crisp pixel wide at 16 px.

OUTLINE = (122, 62, 0)
TICK = (0, 0, 0)
TOP_FILL = (255, 222, 60)  # fill runs from a light yellow at the outer edge ...
BOTTOM_FILL = (250, 164, 0)  # ... to orange at the inner, scale edge
CLEAR = (0, 0, 0, 0)

# Per size: margin around the shape, bar thickness (outline included), tick pitch, tick lengths
# (short, medium, long: a long tick every fourth, counted from the corner) and the outer corner rounding.
ICON_GEOMETRY = {
    16: dict(margin=0, bar=6, pitch=2, ticks=(2, 2, 3), round=1),
    32: dict(margin=1, bar=11, pitch=3, ticks=(3, 4, 6), round=2),
    48: dict(margin=2, bar=16, pitch=4, ticks=(4, 6, 9), round=3),
}


def _lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def draw_icon(size):
    g = ICON_GEOMETRY[size]
    m, bar, pitch, ticks, rnd = g["margin"], g["bar"], g["pitch"], g["ticks"], g["round"]
    lo, hi = m, size - 1 - m  # first and last pixel of the shape, both axes

    def inside(x, y):
        if not (lo <= x <= hi and lo <= y <= hi):
            return False
        if not (y < lo + bar or x < lo + bar):
            return False
        # Round the three outer corners: top-left, top-right end and bottom-left end.
        for cx, cy in ((lo, lo), (hi, lo), (lo, hi)):
            dx, dy = abs(x - cx), abs(y - cy)
            if dx < rnd and dy < rnd and (rnd - dx) + (rnd - dy) > rnd + (1 if rnd > 1 else 0):
                return False
        return True

    img = [[CLEAR] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not inside(x, y):
                continue
            edge = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                img[y][x] = OUTLINE + (255,)
                continue
            # Shade across each bar's thickness: light on the outer edge, deeper towards the scale edge.
            # min() mitres the shading in the corner square, so both bars run into it without a seam.
            depth = min(x - lo, y - lo, bar - 1)
            img[y][x] = _lerp(TOP_FILL, BOTTOM_FILL, depth / (bar - 1)) + (255,)

    # Ticks hang from the inner (scale) edge of each bar, counted from the inner corner outwards, as on the
    # ruler itself; they stop one pixel short of the bar's far end so the outline stays closed.
    inner = lo + bar - 1  # the outline pixel on the scale side of each bar
    short, medium, long = ticks
    for i, pos in enumerate(range(inner + pitch, hi - 1, pitch), start=1):
        length = long if i % 4 == 0 else medium if i % 2 == 0 else short
        for k in range(1, length + 1):
            img[inner - k][pos] = TICK + (255,)  # top bar, pointing up
            img[pos][inner - k] = TICK + (255,)  # left bar, pointing left
    return img


# ---- cursors ---------------------------------------------------------------------------------------
# Monochrome cursors: black outline and white fill read on any background, and every Windows version and
# cursor size setting draws them the same.

HAND = [
    "            XX                  ",
    "           X..X                 ",
    "           X..X                 ",
    "           X..X                 ",
    "           X..X                 ",
    "           X..X                 ",
    "           X..XXX               ",
    "           X..X..XXX            ",
    "           X..X..X..XX          ",
    "           X..X..X..X.X         ",
    "       XX  X..X..X..X..X        ",
    "      X..X X..X..X..X..X        ",
    "      X...XX...........X        ",
    "       X...X...........X        ",
    "        X..............X        ",
    "        X..............X        ",
    "         X.............X        ",
    "         X............X         ",
    "          X...........X         ",
    "          X..........X          ",
    "           X.........X          ",
    "           X.........X          ",
    "           XXXXXXXXXXX          ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
]
HAND_HOTSPOT = (12, 0)  # the index fingertip

def draw_ball_cursor():
    """A crosshair for grabbing the ball: black arms with a white border, and a see-through centre so the
    pixel under the hot spot stays visible. 16x16 with the cross centred on (7, 7)."""
    black = {(7, v) for v in (*range(1, 5), *range(10, 14))} | {(v, 7) for v in (*range(1, 5), *range(10, 14))}
    grid = []
    for y in range(16):
        row = ""
        for x in range(16):
            if (x, y) in black:
                row += "X"
            elif any((x + dx, y + dy) in black for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                row += "."
            else:
                row += " "
        grid.append(row)
    return grid


BALL_CURSOR_HOTSPOT = (7, 7)


# ---- the ball ----------------------------------------------------------------------------------------
# A red sphere lit from the upper left. Its edge is hard (no blending into the background): the program
# keys out the magenta background exactly, and blended edge pixels would show as a pink fringe.

MAGENTA = (255, 0, 255)


def draw_ball(size=15):
    c = size / 2.0
    radius = size / 2.0 - 0.1
    light = (-0.45, -0.55, 0.70)
    norm = math.sqrt(sum(v * v for v in light))
    light = tuple(v / norm for v in light)
    img = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = (x + 0.5 - c) / radius, (y + 0.5 - c) / radius
            d2 = dx * dx + dy * dy
            if d2 > 1.0:
                row.append(MAGENTA)
                continue
            dz = math.sqrt(1.0 - d2)
            diffuse = max(0.0, dx * light[0] + dy * light[1] + dz * light[2])
            specular = diffuse**12
            # Deep red in shadow to bright red in the light, then a white highlight on top.
            red = 90 + 165 * diffuse
            base = (red, 10 + 20 * diffuse, 10 + 20 * diffuse)
            col = tuple(min(255, int(round(v + (255 - v) * specular))) for v in base)
            if d2 > 0.80:  # darken the rim so the disc keeps a clean outline against any background
                col = tuple(int(v * 0.7) for v in col)
            row.append(col)
        img.append(row)
    return img

# ---- the tray menu's item pictures -----------------------------------------------------------------
# Five small pictures, each drawn from a few shapes in the 100-percent design size and rendered anew for
# every display scale (never scaled as pixels), so they stay crisp on any monitor. The menu treats the
# top-left pixel's colour as transparent, so every picture sits on the magenta key colour with hard
# edges: a blended edge pixel would show as a pink fringe. A pixel takes the colour that covers most
# of its 4 x 4 sample points; the shapes are painted in order, later ones over earlier ones.

MENU_SCALES = (100, 150, 200)


def _disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def _ring(cx, cy, r_out, r_in, gap=None):
    """A ring; gap = (angle from, angle to) in degrees (0 = up, clockwise) is left open."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_in * r_in <= d2 <= r_out * r_out):
            return False
        if gap is None:
            return True
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        lo, hi = gap
        return not (lo <= angle <= hi or lo <= angle + 360 <= hi)
    return inside


def _box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def _stroke(x0, y0, x1, y1, half_width):
    """A line segment with round ends (a capsule)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half_width * half_width
    return inside


def render_picture(width, height, shapes, scale):
    """Rows of (r, g, b): the shapes (design units, 100 percent) at the given percent scale."""
    w, h = round(width * scale / 100), round(height * scale / 100)
    unit = 100 / scale
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            votes = {}  # shape index (-1: the key colour) -> sample points it covers on top
            for sy in range(4):
                for sx in range(4):
                    x, y = (px + (sx + 0.5) / 4) * unit, (py + (sy + 0.5) / 4) * unit
                    top = -1
                    for index, (inside, _) in enumerate(shapes):
                        if inside(x, y):
                            top = index
                    votes[top] = votes.get(top, 0) + 1
            # Most points wins; among equals the shape painted last, so thin strokes survive.
            winner = max(votes, key=lambda index: (votes[index], index))
            row.append(MAGENTA if winner < 0 else shapes[winner][1])
        rows.append(row)
    rows[0][0] = MAGENTA  # the top-left pixel names the transparent colour
    return rows


INK = (40, 40, 48)
WHITE = (255, 255, 255)

MENU_PICTURES = {
    # "About": a blue disc with a white "i".
    "about": (16, 16, [
        (_disc(8, 8, 7.4), (20, 70, 150)),
        (_disc(8, 8, 6.4), (60, 130, 215)),
        (_disc(8, 4.0, 1.2), WHITE),
        (_box(6.9, 6.9, 9.1, 12.6), WHITE),
    ]),
    # "Help": a green disc with a white question mark (14 x 16).
    "settings": (14, 16, [
        (_disc(7, 8.5, 6.9), (20, 110, 50)),
        (_disc(7, 8.5, 5.9), (50, 170, 80)),
        (_ring(7, 6.6, 3.1, 1.5, gap=(200, 270)), WHITE),
        (_stroke(7, 9.6, 7, 10.6, 0.8), WHITE),
        (_disc(7, 12.6, 1.0), WHITE),
    ]),
    # "Exit": a red disc with a white power sign (14 x 14).
    "exit": (14, 14, [
        (_disc(7, 7, 6.9), (140, 20, 20)),
        (_disc(7, 7, 5.9), (215, 50, 45)),
        (_ring(7, 7.6, 3.9, 2.5, gap=(320, 400)), WHITE),
        (_stroke(7, 2.6, 7, 7.0, 0.75), WHITE),
    ]),
    # "Show/Hide Ruler": the ruler itself, an L of two yellow bars with ticks.
    "addon": (16, 16, [
        (_box(0.5, 0.5, 15.5, 6.5), (122, 62, 0)),
        (_box(0.5, 0.5, 6.5, 15.5), (122, 62, 0)),
        (_box(1.5, 1.5, 14.5, 5.5), (255, 210, 50)),
        (_box(1.5, 1.5, 5.5, 14.5), (255, 210, 50)),
        *[(_box(x - 0.5, 3.5, x + 0.5, 5.5), INK) for x in (8, 11, 14)],
        *[(_box(3.5, y - 0.5, 5.5, y + 0.5), INK) for y in (8, 11, 14)],
    ]),
    # The preset sizes: a monitor with a blue screen on a stand.
    "screen": (16, 16, [
        (_box(0.5, 1.5, 15.5, 11.5), (60, 60, 70)),
        (_box(1.5, 2.5, 14.5, 10.5), (80, 150, 230)),
        (_box(2.5, 3.5, 8.5, 5.5), (170, 210, 250)),
        (_box(6.5, 11.5, 9.5, 13.5), (60, 60, 70)),
        (_box(3.5, 13.5, 12.5, 15.0), (60, 60, 70)),
    ]),
}


# ---- the help window's and the About box's pictures ----------------------------------------------
# Quiet pictures behind text: a pale sky gradient with a faint ruler scale along its edges (the help
# window's backdrop, which its text box mostly covers), a short ruler strip, and a deep blue banner
# whose scale runs along its bottom edge. The program's icon stands on the backdrop and the banner.

SKY_TOP = (214, 232, 250)
SKY_BOTTOM = (255, 255, 255)
SCALE_INK = (120, 150, 190)


def _scale_ticks(length, pitch=5):
    """Tick lengths along a scale: long every tenth tick, medium every fifth, short between."""
    return [(i * pitch, 9 if i % 10 == 0 else 6 if i % 5 == 0 else 3) for i in range(length // pitch + 1)]


def draw_backdrop(width=400, height=200):
    img = [[_lerp(SKY_TOP, SKY_BOTTOM, y / (height - 1))] * width for y in range(height)]
    img = [list(row) for row in img]
    for x, length in _scale_ticks(width):
        for y in range(length):
            if x < width:
                img[y][x] = SCALE_INK
    for y, length in _scale_ticks(height):
        for x in range(length):
            if y < height:
                img[y][x] = SCALE_INK
    return img


def draw_strip(width=97, height=18):
    """A ruler strip: the ruler's yellow with an outline and ticks hanging from its top edge."""
    img = []
    for y in range(height):
        row = []
        for x in range(width):
            if x in (0, width - 1) or y in (0, height - 1):
                row.append(OUTLINE)
            else:
                row.append(_lerp(TOP_FILL, BOTTOM_FILL, y / (height - 1)))
        img.append(row)
    for x, length in _scale_ticks(width - 4, pitch=4):
        for y in range(1, 1 + (length * 2) // 3 + 1):
            if 2 + x < width - 1:
                img[y][2 + x] = TICK
    return img


def draw_banner(width=677, height=95):
    deep, light = (16, 48, 110), (70, 130, 200)
    img = [[_lerp(deep, light, x / (width - 1)) for x in range(width)] for _ in range(height)]
    for x, length in _scale_ticks(width):
        for y in range(height - length, height):
            if x < width:
                img[y][x] = (235, 240, 250)
    return img



def main():
    write_ico(os.path.join(HERE, "Trelvik.ico"), [draw_icon(s) for s in (16, 32, 48)])
    write_cur(os.path.join(HERE, "hand.cur"), HAND, HAND_HOTSPOT)
    write_cur(os.path.join(HERE, "ball.cur"), draw_ball_cursor(), BALL_CURSOR_HOTSPOT)
    write_bmp24(os.path.join(HERE, "ball.bmp"), draw_ball())
    write_bmp24(os.path.join(HERE, "help_backdrop.bmp"), draw_backdrop())
    write_bmp24(os.path.join(HERE, "help_strip.bmp"), draw_strip())
    write_bmp24(os.path.join(HERE, "about_banner.bmp"), draw_banner())
    for name, (width, height, shapes) in MENU_PICTURES.items():
        for scale in MENU_SCALES:
            write_bmp24(os.path.join(HERE, f"menu_{name}_{scale}.bmp"), render_picture(width, height, shapes, scale))


if __name__ == "__main__":
    main()
