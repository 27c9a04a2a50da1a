#!/usr/bin/env python3
"""Draws Kelmora's example sprite banks and writes them in both file forms.

    python3 examples/make_examples.py                 # rewrite the files here
    python3 examples/make_examples.py --check         # are the files up to date?
    python3 examples/make_examples.py --preview DIR   # also write NAME.png sheets

Every bank is written twice:

    NAME.kmd                  project file: background, multi-colour 1,
                              multi-colour 2, then 64 bytes per sprite
    NAME.kmd.json             the project's side file with its named
                              sequences and objects, for the banks that have
                              some
    NAME.raw + NAME.raw.inf   the same sprites as bare 64-byte records, and the
                              three colour bytes in a side file, so that
                              "kelmora examples/NAME.raw" opens the bank

A sprite record is 63 pixel bytes (21 rows of 3 bytes, leftmost pixel in
bit 7) and one attribute byte: bit 7 multicolour, bit 4 "overlay next
sprite", bits 3-0 the sprite's own colour. Hires sprites have 24 x 21 pixels
of one bit; multicolour sprites 12 x 21 pixels of two bits, whose values are
0 transparent, 1 multi-colour 1, 2 the sprite's own colour, 3 multi-colour 2.

The banks:

    walker   an eight-frame walk cycle. Each frame is a pair: a multicolour
             body with the overlay flag set, followed by a black hires sprite
             with the outline and the lines where the far arm and leg pass
             behind the body.
    bigfont  the letters A to Z, one 24 x 21 hires sprite each.
    ship     a top-down spaceship, pointing up and centred on the rotator's
             pivot: a multicolour hull with the overlay flag set, followed by
             a white hires sprite with highlights.
    robot    a robot of 2 x 2 sprites with a black hires outline over them:
             the object "robot" in sprites 0-7 (four overlay pairs, the
             multicolour cells 0, 2, 4, 6 and their outlines 1, 3, 5, 7) and
             the object "robot_blink", the same with its eyes and chest light
             off, in sprites 8-15; the sequence "blink" shows the two objects.

Everything is drawn below as ASCII pixel maps; the walker's outlines and the
font's softened corners are derived from them by the functions in this file.
Only the Python 3 standard library is used.
"""

import argparse
import filecmp
import os
import struct
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

WIDTH_HIRES = 24
WIDTH_MULTI = 12
HEIGHT = 21

ATTR_MULTICOLOUR = 0x80
ATTR_OVERLAY = 0x10

# C64 colour numbers used by the banks.
BLACK, WHITE, RED, CYAN, PURPLE, GREEN, BLUE, YELLOW = range(8)
ORANGE, BROWN, LIGHT_RED, DARK_GREY, GREY, LIGHT_GREEN, LIGHT_BLUE, LIGHT_GREY = range(8, 16)

# RGB of the sixteen colours, only for the preview sheets.
PREVIEW_RGB = [
    (0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF), (0x81, 0x33, 0x38), (0x75, 0xCE, 0xC8),
    (0x8E, 0x3C, 0x97), (0x56, 0xAC, 0x4D), (0x2E, 0x2C, 0x9B), (0xED, 0xF1, 0x71),
    (0x8E, 0x50, 0x29), (0x55, 0x38, 0x00), (0xC4, 0x6C, 0x71), (0x4A, 0x4A, 0x4A),
    (0x7B, 0x7B, 0x7B), (0xA9, 0xFF, 0x9F), (0x70, 0x6D, 0xEB), (0xB2, 0xB2, 0xB2),
]


# ---------------------------------------------------------------------------
# Pixel grids and sprite records

def blank(width):
    return [[0] * width for _ in range(HEIGHT)]


def stamp(grid, rows, x0, y0, legend):
    """Draws an ASCII map into grid with its top-left corner at x0, y0.

    legend maps characters to pixel values; "." is transparent. Pixels that
    fall outside the grid are an error, so a drawing never loses a part.
    """
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch == ".":
                continue
            x, y = x0 + dx, y0 + dy
            if not (0 <= y < len(grid) and 0 <= x < len(grid[0])):
                raise ValueError("pixel %r at %d,%d lies outside the sprite" % (ch, x, y))
            grid[y][x] = legend[ch]
    return grid


def parse(rows, legend, width):
    """A whole-sprite ASCII map (21 rows of width characters) as a grid."""
    if len(rows) != HEIGHT or any(len(r) != width for r in rows):
        raise ValueError("a sprite map must be %d x %d" % (width, HEIGHT))
    return stamp(blank(width), rows, 0, 0, legend)


def sprite_record(grid, colour, multicolour, overlay=False):
    """Packs a grid of pixel values into a 64-byte sprite record."""
    data = bytearray()
    for row in grid:
        bits = 0
        if multicolour:
            assert len(row) == WIDTH_MULTI
            for v in row:
                assert 0 <= v <= 3
                bits = (bits << 2) | v
        else:
            assert len(row) == WIDTH_HIRES
            for v in row:
                assert v in (0, 2), "hires pixels are transparent or sprite colour"
                bits = (bits << 1) | (1 if v else 0)
        data += bits.to_bytes(3, "big")
    attribute = (colour & 0x0F) | (ATTR_MULTICOLOUR if multicolour else 0) | (ATTR_OVERLAY if overlay else 0)
    data.append(attribute)
    assert len(data) == 64
    return bytes(data)


def to_hires_mask(grid):
    """Which hires pixels a multicolour grid covers (each pixel is two wide)."""
    return [[row[x // 2] != 0 for x in range(WIDTH_HIRES)] for row in grid]


def neighbours4(x, y, width):
    for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
        if 0 <= nx < width and 0 <= ny < HEIGHT:
            yield nx, ny


# ---------------------------------------------------------------------------
# The walker: an eight-frame walk cycle to the right

WALK_COLOURS = (LIGHT_BLUE, LIGHT_RED, BROWN)   # background, skin, hair/trousers
WALK_SHIRT = GREEN
WALK_OUTLINE = BLACK
WALK_LEGEND = {"s": 1, "c": 2, "d": 3}          # skin, shirt, dark

# Head and torso, drawn at (0, 1 + bob). The lowest row is the hips, which
# cover the top of the legs.
WALK_TORSO = [
    "....ddd.....",
    "...dddds....",
    "...ddsss....",
    "...dssss....",
    "....sss.....",
    "....ccc.....",
    "....cccc....",
    "....ccc.....",
    "....ccc.....",
    "....ccc.....",
    "....ddd.....",
]

# The eye, a hires pixel drawn on the face at (0, 1 + bob).
WALK_FACE = [
    "",
    "",
    "",
    "..............#",
]

# One leg through the cycle, drawn at (0, 12): 0 heel strike in front,
# 1 carrying the weight, 2 passing under the body, 3 pushing off behind,
# 4 toe off, 5 lifted behind, 6 swinging through, 7 reaching forward.
# The near leg at frame i is pose i, the far leg pose i + 4.
WALK_LEGS = [
    ["....dd......",
     "....ddd.....",
     ".....dd.....",
     ".....ddd....",
     "......dd....",
     "......dd....",
     ".......dd...",
     ".......dddd."],
    ["....dd......",
     "....ddd.....",
     ".....dd.....",
     ".....dd.....",
     ".....dd.....",
     ".....dd.....",
     ".....dd.....",
     ".....dddd..."],
    ["....dd......",
     "....dd......",
     "....dd......",
     "....dd......",
     "....dd......",
     "....dd......",
     "....dd......",
     "....dddd...."],
    ["....dd......",
     "...ddd......",
     "...dd.......",
     "...dd.......",
     "..ddd.......",
     "..dd........",
     "..dd........",
     "..dddd......"],
    ["....dd......",
     "...ddd......",
     "...dd.......",
     "..ddd.......",
     "..dd........",
     ".ddd........",
     ".dd.........",
     "..ddd......."],
    ["....dd......",
     "...ddd......",
     "...dd.......",
     "..ddd.......",
     ".ddd........",
     ".ddd........",
     "............",
     "............"],
    ["....dd......",
     "....ddd.....",
     ".....dd.....",
     ".....dd.....",
     "....dd......",
     "....dddd....",
     "............",
     "............"],
    ["....dd......",
     "....ddd.....",
     ".....ddd....",
     "......dd....",
     "......dd....",
     "......dd....",
     ".......dddd.",
     "............"],
]

# One arm through the cycle, drawn at (0, 6 + bob), swinging against the leg
# of the same side: the near arm at frame i is pose i + 4, the far arm pose i.
# A short green sleeve, then a bare arm.
WALK_ARMS = [
    [".....c......",
     ".....cc.....",
     "......s.....",
     ".......s....",
     ".......ss..."],
    [".....c......",
     ".....c......",
     "......s.....",
     "......s.....",
     "......s....."],
    [".....c......",
     ".....c......",
     ".....s......",
     ".....s......",
     ".....s......"],
    ["....c.......",
     "....c.......",
     "....s.......",
     "...s........",
     "...s........"],
    ["....c.......",
     "....c.......",
     "...s........",
     "..s.........",
     ".ss........."],
    ["....c.......",
     "....c.......",
     "....s.......",
     "...s........",
     "...s........"],
    [".....c......",
     ".....c......",
     ".....s......",
     ".....s......",
     ".....s......"],
    [".....c......",
     ".....c......",
     "......s.....",
     "......s.....",
     "......s....."],
]

# Body low while a foot lands and takes the weight, high while passing.
WALK_BOB = [1, 1, 0, 0, 1, 1, 0, 0]


def walker_frame(i):
    """The body sprite and its outline sprite of frame i."""
    bob = WALK_BOB[i]
    # Back to front: the far arm and leg (depth 0), then the near leg, the
    # torso and the near arm (depth 1). The outline marks where they meet.
    layers = [
        (0, WALK_ARMS[i], 0, 6 + bob),
        (0, WALK_LEGS[(i + 4) % 8], 0, 12),
        (1, WALK_LEGS[i], 0, 12),
        (1, WALK_TORSO, 0, 1 + bob),
        (1, WALK_ARMS[(i + 4) % 8], 0, 6 + bob),
    ]
    body = blank(WIDTH_MULTI)
    depth = [[None] * WIDTH_MULTI for _ in range(HEIGHT)]
    for d, rows, x0, y0 in layers:
        part = stamp(blank(WIDTH_MULTI), rows, x0, y0, WALK_LEGEND)
        stamp(body, rows, x0, y0, WALK_LEGEND)
        for y in range(HEIGHT):
            for x in range(WIDTH_MULTI):
                if part[y][x]:
                    depth[y][x] = d

    # Outline: every hires pixel outside the body next to it, and every pixel
    # of a part that borders a part in front of it.
    hdepth = [[depth[y][x // 2] for x in range(WIDTH_HIRES)] for y in range(HEIGHT)]
    outline = blank(WIDTH_HIRES)
    for y in range(HEIGHT):
        for x in range(WIDTH_HIRES):
            d = hdepth[y][x]
            for nx, ny in neighbours4(x, y, WIDTH_HIRES):
                n = hdepth[ny][nx]
                if (d is None and n is not None) or (d is not None and n is not None and n > d):
                    outline[y][x] = 2
    stamp(outline, WALK_FACE, 0, 1 + bob, {"#": 2})
    return [
        sprite_record(body, WALK_SHIRT, multicolour=True, overlay=True),
        sprite_record(outline, WALK_OUTLINE, multicolour=False),
    ]


def walker():
    sprites = []
    for i in range(8):
        sprites += walker_frame(i)
    return WALK_COLOURS, sprites


# ---------------------------------------------------------------------------
# The big font: A to Z on a 7 x 7 grid, enlarged three times

FONT_COLOURS = (BLACK, DARK_GREY, GREY)   # background; the multi-colours are unused
FONT_CYCLE = [WHITE, YELLOW, LIGHT_GREEN, CYAN, LIGHT_BLUE, LIGHT_RED, LIGHT_GREY]

FONT = {
    "A": ["..###..", ".##.##.", "##...##", "##...##", "#######", "##...##", "##...##"],
    "B": ["######.", "##...##", "##...##", "######.", "##...##", "##...##", "######."],
    "C": [".#####.", "##...##", "##.....", "##.....", "##.....", "##...##", ".#####."],
    "D": ["#####..", "##..##.", "##...##", "##...##", "##...##", "##..##.", "#####.."],
    "E": ["#######", "##.....", "##.....", "######.", "##.....", "##.....", "#######"],
    "F": ["#######", "##.....", "##.....", "######.", "##.....", "##.....", "##....."],
    "G": [".#####.", "##...##", "##.....", "##.####", "##...##", "##...##", ".#####."],
    "H": ["##...##", "##...##", "##...##", "#######", "##...##", "##...##", "##...##"],
    "I": [".#####.", "..###..", "..###..", "..###..", "..###..", "..###..", ".#####."],
    "J": ["...####", ".....##", ".....##", ".....##", "##...##", "##...##", ".#####."],
    "K": ["##...##", "##..##.", "##.##..", "####...", "##.##..", "##..##.", "##...##"],
    "L": ["##.....", "##.....", "##.....", "##.....", "##.....", "##.....", "#######"],
    "M": ["##...##", "###.###", "#######", "##.#.##", "##...##", "##...##", "##...##"],
    "N": ["##...##", "###..##", "####.##", "##.####", "##..###", "##...##", "##...##"],
    "O": [".#####.", "##...##", "##...##", "##...##", "##...##", "##...##", ".#####."],
    "P": ["######.", "##...##", "##...##", "######.", "##.....", "##.....", "##....."],
    "Q": [".#####.", "##...##", "##...##", "##...##", "##.#.##", "##..##.", ".###.##"],
    "R": ["######.", "##...##", "##...##", "######.", "##.##..", "##..##.", "##...##"],
    "S": [".#####.", "##...##", "##.....", ".#####.", ".....##", "##...##", ".#####."],
    "T": ["#######", "..###..", "..###..", "..###..", "..###..", "..###..", "..###.."],
    "U": ["##...##", "##...##", "##...##", "##...##", "##...##", "##...##", ".#####."],
    "V": ["##...##", "##...##", "##...##", "##...##", ".##.##.", "..###..", "...#..."],
    "W": ["##...##", "##...##", "##...##", "##.#.##", "#######", "###.###", "##...##"],
    "X": ["##...##", ".##.##.", "..###..", "..###..", "..###..", ".##.##.", "##...##"],
    "Y": ["##...##", "##...##", ".##.##.", "..###..", "..###..", "..###..", "..###.."],
    "Z": ["#######", "....##.", "...##..", "..##...", ".##....", "##.....", "#######"],
}


def enlarge3(cells):
    """Enlarges a grid of 0/1 cells three times and softens it: the outer
    pixel of a corner that sticks out is cleared, and the inner pixel of a
    corner that bends in is filled. Straight strokes keep their full width,
    diagonal steps become smoother and the letters lose their blocky look."""
    h, w = len(cells), len(cells[0])

    def at(x, y):
        return cells[y][x] if 0 <= x < w and 0 <= y < h else 0

    out = [[0] * (3 * w) for _ in range(3 * h)]
    for y in range(h):
        for x in range(w):
            e = at(x, y)
            for py in range(3):
                for px in range(3):
                    out[3 * y + py][3 * x + px] = e
            # The four corners: (horizontal step, vertical step) to the neighbours.
            for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
                across, along, diagonal = at(x + sx, y), at(x, y + sy), at(x + sx, y + sy)
                px, py = 3 * x + (1 + sx), 3 * y + (1 + sy)
                if e and not across and not along and not diagonal:
                    out[py][px] = 0
                elif not e and across and along:
                    out[py][px] = 1
    return out


def bigfont():
    sprites = []
    for n, letter in enumerate(sorted(FONT)):
        rows = FONT[letter]
        assert len(rows) == 7 and all(len(r) == 7 for r in rows), letter
        big = enlarge3([[1 if ch == "#" else 0 for ch in r] for r in rows])
        grid = blank(WIDTH_HIRES)
        for y, row in enumerate(big):
            for x, v in enumerate(row):
                if v:
                    grid[y][x + 1] = 2
        sprites.append(sprite_record(grid, FONT_CYCLE[n % len(FONT_CYCLE)], multicolour=False))
    return FONT_COLOURS, sprites


# ---------------------------------------------------------------------------
# The ship: pointing up, centred on the rotator's pivot

SHIP_COLOURS = (BLACK, RED, LIGHT_BLUE)   # space, stripes, canopy and engines
SHIP_HULL = GREY
SHIP_LIGHT = WHITE
SHIP_LEGEND = {"h": 2, "r": 1, "b": 3}

# The left half of the hull; the right half is its mirror image. The
# rotator turns about the point between columns 5 and 6 of this map and
# rows 9 and 10, so the shape stays inside a circle of ten hires pixels
# around it and no angle cuts anything off.
SHIP_HALF = [
    "......",
    "......",
    ".....h",
    ".....h",
    ".....h",
    "....hb",
    "....hb",
    "....hh",
    "...hhr",
    "...hhh",
    "..hhrh",
    ".hhhrh",
    ".hhr.h",
    "..r..h",
    ".....h",
    "....hh",
    "....hr",
    "....b.",
    "....b.",
    "......",
    "......",
]

# Highlights (hires): a glint along the nose and on the canopy.
SHIP_SHINE = [
    "........................",
    "........................",
    "..........#.............",
    "..........#.............",
    "..........#.............",
    "...........#............",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
]


def ship():
    rows = [half + half[::-1] for half in SHIP_HALF]
    hull = parse(rows, SHIP_LEGEND, WIDTH_MULTI)
    shine = parse(SHIP_SHINE, {"#": 2}, WIDTH_HIRES)
    covered = to_hires_mask(hull)
    for y in range(HEIGHT):
        for x in range(WIDTH_HIRES):
            if shine[y][x] and not covered[y][x]:
                raise ValueError("ship highlight at %d,%d is off the hull" % (x, y))
    return SHIP_COLOURS, [
        sprite_record(hull, SHIP_HULL, multicolour=True, overlay=True),
        sprite_record(shine, SHIP_LIGHT, multicolour=False),
    ]


# ---------------------------------------------------------------------------
# The robot: one picture of 2 x 2 sprites, a multicolour body under a hires
# outline, edited as one object

ROBOT_COLOURS = (BLUE, GREY, YELLOW)   # background, shading, lights
ROBOT_PLATE = LIGHT_GREY
ROBOT_OUTLINE = BLACK
ROBOT_LEGEND = {"s": 1, "b": 2, "r": 3}

# The left half of the whole picture in multicolour pixels (24 of them across
# two cells); the right half is its mirror image.
ROBOT_HALF = [
    "...........r",
    "...........r",
    "...........s",
    "...........s",
    "......bbbbbb",
    ".....bbbbbbb",
    ".....bbbbbbb",
    ".....bbrrbbb",
    ".....bbrrbbb",
    ".....bbbbbbb",
    ".....bbsssss",
    ".....bbbbbbb",
    "......bbbbbb",
    "........ssss",
    "........ssss",
    "....bbbbbbbb",
    "...bbbbbbbbb",
    ".ss.bbbbbbbb",
    ".ss.bsssssss",
    ".ss.bssssssr",
    ".ss.bssssssr",
    ".ss.bsssssss",
    ".ss.bbbbbbbb",
    ".ss.bbbbbbbb",
    ".ss.bbbbbbbb",
    ".ss.bbbbbbbb",
    "bbbb.bbbbbbb",
    "bbbb.bbbbbbb",
    ".....sssssss",
    ".....sssssss",
    "......bbb...",
    "......bbb...",
    "......sss...",
    "......bbb...",
    "......bbb...",
    "......bbb...",
    "......bbb...",
    "......sss...",
    "....bbbbb...",
    "...bbbbbb...",
    "...bbbbbb...",
    "............",
]

# The blink: eyes shut to a grey line, the antenna and chest lights off.
ROBOT_BLINK = {0: "...........s", 1: "...........s", 7: ".....bbbbbbb", 8: ".....bbssbbb",
               19: ".ss.bsssssss", 20: ".ss.bsssssss"}


def robot_frame(blink):
    """The eight sprites of one frame: four overlay pairs, row by row."""
    half = [ROBOT_BLINK.get(y, row) if blink else row for y, row in enumerate(ROBOT_HALF)]
    rows = [h + h[::-1] for h in half]
    body = [[ROBOT_LEGEND.get(ch, 0) for ch in row] for row in rows]   # 24 x 42
    width, height = 2 * WIDTH_HIRES, 2 * HEIGHT
    covered = [[body[y][x // 2] != 0 for x in range(width)] for y in range(height)]
    # The outline: every hires pixel outside the body next to it.
    outline = [[0] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if covered[y][x]:
                continue
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if 0 <= nx < width and 0 <= ny < height and covered[ny][nx]:
                    outline[y][x] = 2
    sprites = []
    for row in range(2):
        for column in range(2):
            cell = [r[column * WIDTH_MULTI:(column + 1) * WIDTH_MULTI] for r in body[row * HEIGHT:(row + 1) * HEIGHT]]
            line = [r[column * WIDTH_HIRES:(column + 1) * WIDTH_HIRES]
                    for r in outline[row * HEIGHT:(row + 1) * HEIGHT]]
            sprites.append(sprite_record(cell, ROBOT_PLATE, multicolour=True, overlay=True))
            sprites.append(sprite_record(line, ROBOT_OUTLINE, multicolour=False))
    return sprites


def robot():
    return ROBOT_COLOURS, robot_frame(False) + robot_frame(True)


BANKS = {"walker": walker, "bigfont": bigfont, "ship": ship, "robot": robot}

# Named sequences kept in a project's side file NAME.kmd.json, as the editor writes it:
# (name, mode, [(slot or object name, delay in ticks of 1/50 s), ...]).
SEQUENCES = {
    # The walk cycle: the first slot of each of the eight overlay pairs, six ticks a
    # frame (a step every 0.48 s).
    "walker": [("walk", "loop", [(2 * i, 6) for i in range(8)])],
    # The robot stands still for 1.2 s, then blinks for 0.12 s.
    "robot": [("blink", "loop", [("robot", 60), ("robot_blink", 6)])],
}

# Objects kept in the side file: (name, columns, rows, cells, overlay cells).
OBJECTS = {
    "robot": [("robot", 2, 2, [0, 2, 4, 6], [1, 3, 5, 7]),
              ("robot_blink", 2, 2, [8, 10, 12, 14], [9, 11, 13, 15])],
}


def json_list(values, indent):
    """A list of numbers as the writer lays it out: one a line."""
    inner = ",\n".join(indent + "  " + str(v) for v in values)
    return "[\n%s\n%s]" % (inner, indent)


def extras_text(sequences, objects=()):
    """The side file's JSON in the layout the editor and kelmora-cli write."""
    parts = []
    for name, mode, frames in sequences:
        lines = ",\n".join(('        {"object": "%s", "delay": %d}' if isinstance(f[0], str)
                            else '        {"slot": %d, "delay": %d}') % f for f in frames)
        parts.append('    {\n      "name": "%s",\n      "mode": "%s",\n      "frames": [\n%s\n      ]\n    }'
                     % (name, mode, lines))
    text = ('{\n  "format": "kelmora-project-extras",\n  "version": 1,\n  "sequences": [\n%s\n  ]'
            % ",\n".join(parts))
    if objects:
        # An object's keys in the writer's order (alphabetical), each list one number a line.
        entries = []
        for name, columns, rows, cells, overlay in objects:
            entries.append('    {\n      "cells": %s,\n      "columns": %d,\n      "name": "%s",\n'
                           '      "overlayCells": %s,\n      "rows": %d\n    }'
                           % (json_list(cells, "      "), columns, name, json_list(overlay, "      "), rows))
        text += ',\n  "objects": [\n%s\n  ]' % ",\n".join(entries)
    return text + "\n}\n"


# ---------------------------------------------------------------------------
# Files

def write_bank(folder, name, colours, sprites):
    data = b"".join(sprites)
    files = {
        name + ".kmd": bytes(colours) + data,
        name + ".raw": data,
        name + ".raw.inf": bytes(colours),
    }
    if name in SEQUENCES:
        files[name + ".kmd.json"] = extras_text(SEQUENCES[name], OBJECTS.get(name, ())).encode("utf-8")
    for file_name, content in files.items():
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(content)
    return list(files)


# ---------------------------------------------------------------------------
# Preview sheets: the sprites as the editor's browser shows them, eight to a
# row, with overlay partners drawn on top, enlarged four times.

def render(colours, sprites, index):
    """RGB rows of sprite index (24 x 21), its overlay partner on top."""
    bg, mc1, mc2 = colours
    image = [[PREVIEW_RGB[bg]] * WIDTH_HIRES for _ in range(HEIGHT)]
    todo = [(index, False)]
    if sprites[index][63] & ATTR_OVERLAY and index + 1 < len(sprites):
        todo.append((index + 1, True))
    for k, on_top in todo:
        record = sprites[k]
        attribute = record[63]
        table = [bg, mc1, attribute & 0x0F, mc2]
        for y in range(HEIGHT):
            bits = int.from_bytes(record[3 * y:3 * y + 3], "big")
            for x in range(WIDTH_HIRES):
                if attribute & ATTR_MULTICOLOUR:
                    v = (bits >> (22 - 2 * (x // 2))) & 3
                else:
                    v = 2 if (bits >> (23 - x)) & 1 else 0
                if v or not on_top:
                    image[y][x] = PREVIEW_RGB[table[v]]
    return image


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def write_preview(path, colours, sprites, scale=4, columns=8, gap=2):
    rows = (len(sprites) + columns - 1) // columns
    cw, ch = WIDTH_HIRES * scale + gap, HEIGHT * scale + gap
    sheet = [[(40, 40, 40)] * (columns * cw) for _ in range(rows * ch)]
    for index in range(len(sprites)):
        image = render(colours, sprites, index)
        ox, oy = (index % columns) * cw, (index // columns) * ch
        for y in range(HEIGHT * scale):
            for x in range(WIDTH_HIRES * scale):
                sheet[oy + y][ox + x] = image[y // scale][x // scale]
    write_png(path, sheet)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare freshly drawn banks with the files in examples/")
    parser.add_argument("--preview", metavar="DIR", help="also write a PNG sheet of each bank")
    parser.add_argument("--out", metavar="DIR", default=HERE, help="where to write (default: examples/)")
    args = parser.parse_args(argv)

    if args.check:
        with tempfile.TemporaryDirectory() as tmp:
            stale = []
            for name, draw in BANKS.items():
                for file_name in write_bank(tmp, name, *draw()):
                    ours = os.path.join(HERE, file_name)
                    if not os.path.exists(ours) or not filecmp.cmp(ours, os.path.join(tmp, file_name), False):
                        stale.append(file_name)
            if stale:
                print("out of date: " + ", ".join(stale), file=sys.stderr)
                return 1
            print("examples are up to date")
            return 0

    os.makedirs(args.out, exist_ok=True)
    for name, draw in BANKS.items():
        colours, sprites = draw()
        write_bank(args.out, name, colours, sprites)
        print("%s: %d sprites" % (name, len(sprites)))
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            write_preview(os.path.join(args.preview, name + ".png"), colours, sprites)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
