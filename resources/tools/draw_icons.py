#!/usr/bin/env python3
"""Draws Kelmora's tool bar icons, application icon and mouse cursors.

Every image is an ASCII pixel map below; one character is one pixel and the
PALETTE says which colour it stands for. Run from anywhere:

    python3 resources/tools/draw_icons.py            # rewrite the PNGs
    python3 resources/tools/draw_icons.py --sheet /tmp/sheet.png

The second form also writes a contact sheet (1x, 2x, the greyed "disabled"
look Qt derives, and every image on a dark background) for reviewing the art.
Only the Python 3 standard library is used.

Tool bar icons are 16 x 16 with 32 x 32 "@2x" and 48 x 48 "@3x" companions
(Qt picks the one that fits the screen's scale). The companions are the
16 x 16 map enlarged by the Scale2x and Scale3x rules: every pixel is
doubled or tripled, and the stair steps of diagonals and curves are rounded
off without adding colours, so the icon stays crisp at 200% and 300%.
Every black outline gets a faint light rim (halo), so the icons read on
dark tool bars as well as light ones; the editor derives the dimmed
disabled look itself.

The cursors are black with a white outline; their hot spots are listed in
HOTSPOTS and checked to lie on a drawn pixel.
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

# The C64's sixteen colours (close to the real machine's output) plus
# transparency. Outlines are black.
PALETTE = {
    ".": None,
    "K": (0x00, 0x00, 0x00),  # black
    "W": (0xFF, 0xFF, 0xFF),  # white
    "R": (0x81, 0x33, 0x38),  # red
    "C": (0x75, 0xCE, 0xC8),  # cyan
    "P": (0x8E, 0x3C, 0x97),  # purple
    "G": (0x56, 0xAC, 0x4D),  # green
    "B": (0x2E, 0x2C, 0x9B),  # blue
    "Y": (0xED, 0xF1, 0x71),  # yellow
    "O": (0x8E, 0x50, 0x29),  # orange
    "N": (0x55, 0x38, 0x00),  # brown
    "L": (0xC4, 0x6C, 0x71),  # light red
    "D": (0x4A, 0x4A, 0x4A),  # dark grey
    "M": (0x7B, 0x7B, 0x7B),  # grey
    "g": (0xA9, 0xFF, 0x9F),  # light green
    "b": (0x70, 0x6D, 0xEB),  # light blue
    "l": (0xB2, 0xB2, 0xB2),  # light grey
    # A faint light rim round the black outlines of tool bar icons (added by halo(),
    # never drawn by hand): nearly invisible on a light tool bar, it keeps the outline
    # readable on a dark one.
    "h": (0xFF, 0xFF, 0xFF, 0x70),
}


# ---------------------------------------------------------------------------
# Map helpers: the symmetric icons are drawn once and turned.

def mirror(rows):
    """Left-right mirror image."""
    return [r[::-1] for r in rows]


def flip(rows):
    """Upside down."""
    return list(reversed(rows))


def transpose(rows):
    """Swap rows and columns (turns a vertical design into a horizontal one)."""
    return ["".join(r[x] for r in rows) for x in range(len(rows[0]))]


def check(name, rows, size):
    if len(rows) != size or any(len(r) != size for r in rows):
        raise SystemExit("%s: map is not %d x %d" % (name, size, size))
    for r in rows:
        for ch in r:
            if ch not in PALETTE:
                raise SystemExit("%s: unknown colour %r" % (name, ch))


# ---------------------------------------------------------------------------
# Tool bar icons, 16 x 16, in the order of the main window's tool bar and then
# the animator's. Objects have a 1-pixel black outline; arrows are yellow,
# sprite pictures light blue on the C64's blue screen.

ICONS16 = {}

# Paintbrush 1: a brush that has just set one pixel.
ICONS16["brush1"] = [
    ".............KK.",
    "............KYOK",
    "...........KYOK.",
    "..........KYOK..",
    ".........KYOK...",
    "........KWlMK...",
    ".......KWlMK....",
    "......KNNNK.....",
    ".....KRNNK......",
    "....KRRKK.......",
    "...KRKK.........",
    "...KK...........",
    "KKKK............",
    "KRRK............",
    "KRRK............",
    "KKKK............",
]

# Paintbrush 2: the same brush with its plus-shaped dab of five pixels.
ICONS16["brush2"] = [
    ".............KK.",
    "............KYOK",
    "...........KYOK.",
    "..........KWlMK.",
    ".........KWlMK..",
    "........KNNNK...",
    ".......KRNNK....",
    "......KRRKK.....",
    "..KKKKRKK.......",
    "..KRRKK.........",
    "KKKRRKKK........",
    "KRRRRRRK........",
    "KRRRRRRK........",
    "KKKRRKKK........",
    "..KRRK..........",
    "..KKKK..........",
]

# Flood fill: a tipped paint pot pouring.
ICONS16["flood"] = [
    "................",
    ".........KK.....",
    ".......KKllK....",
    "......KlRRlWK...",
    ".....KlRRRWWWK..",
    ".....KRRRllWWWK.",
    "....KRRRllllWWWK",
    "...KRKlMlllllWWK",
    "...KRKMMMlllllWK",
    "...KRKKMMMllllK.",
    "...KRK.KMMMllK..",
    "...KRK..KMMMK...",
    "...KRK...KKK....",
    "..KRRRKK........",
    ".KRRRRRRK.......",
    "..KKKKKK........",
]

# Cut: scissors.
ICONS16["cut"] = [
    ".KK..........KK.",
    ".KWK........KlK.",
    "..KWK......KlK..",
    "..KWlK....KWlK..",
    "...KWlK..KWlK...",
    "....KWlKKWlK....",
    ".....KWlWlK.....",
    "......KlMK......",
    ".....KRKKRK.....",
    "....KRRKKRRK....",
    "..KKKRK..KRKKK..",
    ".KRRRRK..KRRRRK.",
    ".KRKKRK..KRKKRK.",
    ".KRKKRK..KRKKRK.",
    ".KRRRRK..KRRRRK.",
    "..KKKK....KKKK..",
]

# Copy: two sheets.
ICONS16["copy"] = [
    ".KKKKKKKKK......",
    ".KlllllllK......",
    ".KlMMMMMlK......",
    ".KlllllllK......",
    ".KlMMMKKKKKK....",
    ".KllllKWWWWKK...",
    ".KlMMMKWMMMKlK..",
    ".KllllKWWWWKKKK.",
    ".KlMMMKWMMMMMWK.",
    ".KllllKWWWWWWWK.",
    ".KlMMMKWMMMMMWK.",
    ".KKKKKKWWWWWWWK.",
    "......KWMMMMMWK.",
    "......KWWWWWWWK.",
    "......KWWWWWWWK.",
    "......KKKKKKKKK.",
]

# Paste: a clipboard.
ICONS16["paste"] = [
    "......KKKK......",
    ".KKKKKKWlKKKKKK.",
    ".KOOKWllllMKOOK.",
    ".KOKKKKKKKKKKOK.",
    ".KOKWWWWWWWWKOK.",
    ".KOKWMMMMMMWKOK.",
    ".KOKWWWWWWWWKOK.",
    ".KOKWMMMMMMWKOK.",
    ".KOKWWWWWWWWKOK.",
    ".KOKWMMMMMWWKOK.",
    ".KOKWWWWWWWWKOK.",
    ".KOKWWWWWWWWKOK.",
    ".KOKKKKKKKKKKOK.",
    ".KOOOOOOOOOOOOK.",
    ".KNNNNNNNNNNNNK.",
    ".KKKKKKKKKKKKKK.",
]

# Undo: an arrow curving back to the left; Redo is its mirror image.
ICONS16["undo"] = [
    "................",
    "................",
    "................",
    "......KKKKKK....",
    ".....KYYYYYYK...",
    "....KYYYYYYYYK..",
    "...KYYYKKKKYYYK.",
    "..KYYYK....KYYYK",
    ".KKYYYKK...KYYYK",
    "KYYYYYYYK...KYYK",
    ".KYYYYYK...KYYYK",
    "..KYYYK....KYYYK",
    "...KYK.....KYYK.",
    "....K......KYK..",
    "............K...",
    "................",
]
ICONS16["redo"] = mirror(ICONS16["undo"])

# Slides: the arrow leaves the sprite frame at one edge and enters it again at
# the opposite one (the slides wrap around). Drawn once, turned for the rest.
ICONS16["up"] = [
    ".......KK.......",
    "......KYYK......",
    ".....KYYYYK.....",
    "....KYYYYYYK....",
    ".KKKKKKYYKKKKKK.",
    ".KBBBBKYYKBBBBK.",
    ".KBbbBKYYKBbbBK.",
    ".KBbbBKYYKBbbBK.",
    ".KBBBBKYYKBBBBK.",
    ".KBBBBKYYKBBBBK.",
    ".KBbbBKYYKBbbBK.",
    ".KBbbBKYYKBbbBK.",
    ".KBBBBKYYKBBBBK.",
    ".KBBBBKYYKBBBBK.",
    ".KBBBBKYYKBBBBK.",
    ".KKKKKKYYKKKKKK.",
]
ICONS16["down"] = flip(ICONS16["up"])
ICONS16["left"] = transpose(ICONS16["up"])
ICONS16["right"] = mirror(ICONS16["left"])

# Flip top to bottom: the upper and the lower picture change places (double
# arrow). Flip left to right is the same turned on its side.
ICONS16["flipx"] = [
    "............K...",
    "...KK......KYK..",
    "..KbbK....KYYYK.",
    ".KbbbbK..KYYYYYK",
    "KbbbbbbK.KKKYKKK",
    "KKKKKKKK...KYK..",
    "...........KYK..",
    "DDDDDDDD...KYK..",
    "DDDDDDDD...KYK..",
    "...........KYK..",
    "KKKKKKKK...KYK..",
    "KbbbbbbK.KKKYKKK",
    ".KbbbbK..KYYYYYK",
    "..KbbK....KYYYK.",
    "...KK......KYK..",
    "............K...",
]
ICONS16["flipy"] = transpose(ICONS16["flipx"])

# Reflect top to bottom: the lower half becomes the mirror image (the paler
# copy) of the upper half across the dashed axis.
ICONS16["symmx"] = [
    "......KK........",
    ".....KbbK.......",
    "....KbbbbK......",
    "...KbbbbbbK.....",
    "..KbbbbbbbbK....",
    "..KKKKKKKKKK....",
    "................",
    ".KK..KK..KK..KK.",
    ".KK..KK..KK..KK.",
    "................",
    "..KKKKKKKKKK....",
    "..KCCCCCCCCK....",
    "...KCCCCCCK.....",
    "....KCCCCK......",
    ".....KCCK.......",
    "......KK........",
]
ICONS16["symmy"] = transpose(ICONS16["symmx"])

# Rotate: a circular arrow round a sprite.
ICONS16["rotate"] = [
    "................",
    "........K.......",
    ".....KKKYK......",
    "...KKYYYYYK.....",
    "..KYYYYYYYYK....",
    "..KYYYKKYYK.....",
    ".KYYYK.KYK......",
    ".KYYKKKKKKK.KK..",
    ".KYYKBBBBBBKYYK.",
    ".KYYKBBbbBBKYYK.",
    ".KYYKBBbbBBKYYK.",
    ".KYYYKBBBBKYYYK.",
    "..KYYYKKKKYYYK..",
    "..KYYYYYYYYYYK..",
    "...KKYYYYYYKK...",
    ".....KKKKKK.....",
]

# Animate: a film strip with a ball rising from frame to frame.
ICONS16["anim"] = [
    "................",
    "................",
    "KKKKKKKKKKKKKKKK",
    "DWDDWDDWDDWDDWDD",
    "DDDDDDDDDDDDDDDD",
    "DKKKKDKKKKDKKKKD",
    "DKBBKDKBBKDKYYKD",
    "DKBBKDKYYKDKYYKD",
    "DKBBKDKYYKDKBBKD",
    "DKYYKDKBBKDKBBKD",
    "DKYYKDKBBKDKBBKD",
    "DKKKKDKKKKDKKKKD",
    "DDDDDDDDDDDDDDDD",
    "DWDDWDDWDDWDDWDD",
    "KKKKKKKKKKKKKKKK",
    "................",
]

# The animator's transport buttons: jump to the first frame, step back, play
# backwards, stop, pause, play forwards, step forwards, jump to the last frame.
# The backward ones are mirror images of the forward ones.
# Jump to last frame.
ICONS16["forw_max"] = [
    "................",
    "................",
    "KK....KK...KKKK.",
    "KbK...KbK..KbbK.",
    "KbbK..KbbK.KbbK.",
    "KbbbK.KbbbKKbbK.",
    "KbbbbKKbbbbKbbK.",
    "KbbbbbKbbbbbbbK.",
    "KbbbbbKbbbbbbbK.",
    "KbbbbKKbbbbKbbK.",
    "KbbbK.KbbbKKbbK.",
    "KbbK..KbbK.KbbK.",
    "KbK...KbK..KbbK.",
    "KK....KK...KKKK.",
    "................",
    "................",
]
ICONS16["rev_max"] = mirror(ICONS16["forw_max"])

# Step forwards one frame.
ICONS16["forw_step"] = [
    "................",
    "................",
    "...KKKKKK.......",
    "...KbbKbK.......",
    "...KbbKbbK......",
    "...KbbKbbbK.....",
    "...KbbKbbbbK....",
    "...KbbKbbbbbK...",
    "...KbbKbbbbbK...",
    "...KbbKbbbbK....",
    "...KbbKbbbK.....",
    "...KbbKbbK......",
    "...KbbKbK.......",
    "...KKKKKK.......",
    "................",
    "................",
]
ICONS16["rev_step"] = mirror(ICONS16["forw_step"])

# Play forwards.
ICONS16["forw_play"] = [
    "................",
    "................",
    ".....KK.........",
    ".....KbK........",
    ".....KbbK.......",
    ".....KbbbK......",
    ".....KbbbbK.....",
    ".....KbbbbbK....",
    ".....KbbbbbK....",
    ".....KbbbbK.....",
    ".....KbbbK......",
    ".....KbbK.......",
    ".....KbK........",
    ".....KK.........",
    "................",
    "................",
]
ICONS16["rev_play"] = mirror(ICONS16["forw_play"])

# Stop.
ICONS16["stop"] = [
    "................",
    "................",
    "................",
    "...KKKKKKKKKK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KbbbbbbbbK...",
    "...KKKKKKKKKK...",
    "................",
    "................",
    "................",
]

# Pause.
ICONS16["pause"] = [
    "................",
    "................",
    "................",
    "...KKKK..KKKK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KbbK..KbbK...",
    "...KKKK..KKKK...",
    "................",
    "................",
    "................",
]

# Tool bar order, for the contact sheet.
TOOLBAR = ["brush1", "brush2", "flood", "cut", "copy", "paste", "undo", "redo",
           "up", "down", "left", "right", "flipx", "flipy", "symmx", "symmy",
           "rotate", "anim", "rev_max", "rev_step", "rev_play", "stop", "pause",
           "forw_play", "forw_step", "forw_max"]


# ---------------------------------------------------------------------------
# Application icon: a rocket drawn like a multicolour sprite (three colours:
# white, light red, yellow; the cockpit is the screen showing through) on the
# blue screen inside the light blue border. It is drawn on a 16 x 16 grid of
# chunky pixels and enlarged to 32, 64 and 256 pixels; the largest shows the
# grid, as the editor does.

APP16 = [
    ".bbbbbbbbbbbbbb.",
    "bBBBBBBBBBBBBBBb",
    "bBbBBBBWWBBBBBBb",
    "bBBBBBBWWBBBBbBb",
    "bBBBBBWWWWBBBBBb",
    "bBBBBBWBBWBBBBBb",
    "bBBBBBWBBWBBBBBb",
    "bBBBBWWWWWWBBBBb",
    "bBBBLWWLLWWLBBBb",
    "bBBLLWWWWWWLLBBb",
    "bBLLLWWWWWWLLLBb",
    "bBLLBWWLLWWBLLBb",
    "bBLBBBWWWWBBBLBb",
    "bBBBBBYYYYBBBBBb",
    "bBbBBBBYYBBBBbBb",
    ".bbbbbbbbbbbbbb.",
]


# ---------------------------------------------------------------------------
# Mouse cursors, 32 x 32, black with a white outline. The hot spots are set
# by the program when it loads them; they are repeated here so the drawing
# can be checked against them (see HOTSPOTS).

CURSORS = {}
HOTSPOTS = {
    "cur_paint": (0, 0),     # the arrow's tip
    "cur_flood": (6, 30),    # the end of the pour
    "cur_scroll": (15, 15),  # the middle of the hand
    "cur_stamp": (15, 30),   # the middle of the stamp's face
    "cur_drop": (15, 30),    # the bottom of the drop
    "cur_point": (8, 0),     # the finger tip
    "cur_marker": (0, 31),   # the pen's nib
}

CURSORS["cur_paint"] = [
    "W...............................",
    "WW..............................",
    "WKW.............................",
    "WKKW............................",
    "WKKKW...........................",
    "WKKKKW..........................",
    "WKKKKKW.........................",
    "WKKKKKKW........................",
    "WKKKKKKKW.......................",
    "WKKKKKKKKW......................",
    "WKKKKKKKKKW.....................",
    "WKKKKKKKKKKW....................",
    "WKKKKKKWWWWW....................",
    "WKKKWKKW......WWW...............",
    "WKKWWKKW.....WKKKWW.............",
    "WKW..WKKW....WKKKKKW............",
    "WW...WKKW....WKKKKKKW...........",
    "......WKKW....WKKKKWKW..........",
    "......WKKW....WKKKWKKKW.........",
    ".......WW......WKWKKKKW.........",
    "................WKKKKKKW........",
    ".................WKKKKKKW.......",
    "..................WWKKKKKW......",
    "....................WKKKKKW.....",
    ".....................WKKKKKW....",
    "......................WKKKKKW...",
    ".......................WKKKKKW..",
    "........................WKKKKW..",
    ".........................WKKKW..",
    "..........................WWW...",
    "................................",
    "................................",
]

CURSORS["cur_flood"] = [
    "................................",
    "................................",
    "................................",
    "..................WWW...........",
    "................WWWWWWW.........",
    "...............WWWKKWWKW........",
    "..............WWKKKKWWKKW.......",
    ".............WWKKKKWWKKKKW......",
    "............WWKKKKKWWKKKKKW.....",
    "...........WWKKKKKWWKKKKKKKW....",
    "..........WWKKKKKWWKKKKKKKKKW...",
    "..........WWKKKKWWKKKKKKKKKKKW..",
    "........WWWKKKKWWKKKKKKKKKKKKKW.",
    ".......WKKKKKWWWKKKKKKKKKKKKKKW.",
    ".......WKKKKWWWKKKKKKKKKKKKKKW..",
    "......WKKKKWWKKKKKKKKKKKKKKKKW..",
    ".....WWKKKKKKKKKKKKKKKKKKKKKW...",
    "....WKKKKKWWKKKKKKKKKKKKKKKW....",
    "....WKKKKW..WKKKKKKKKKKKKKW.....",
    "....WKKKW....WKKKKKKKKKKKKW.....",
    "....WKKKW.....WKKKKKKKKKWW......",
    "....WKKKW......WKKKKKKKW........",
    "....WKKKW.......WKKKKKW.........",
    "....WKKKW........WKKWW..........",
    "....WKKKW.........WW............",
    "....WKKKW.......................",
    "....WKKKW.......................",
    "....WKKKW.......................",
    "....WKKKW.......................",
    "....WKKKW.......................",
    ".....WKW........................",
    "......W.........................",
]

CURSORS["cur_scroll"] = [
    "................................",
    "................................",
    ".............WW.................",
    "............WKKW.WW.............",
    "...........WKKKWWKKW............",
    "........WWWWKKKWKKKW............",
    ".......WKKKWKKKWKKKW.WW.........",
    ".......WKKKWKKKWKKKWWKKW........",
    ".......WKKKWKKKWKKKWWKKKW.......",
    ".......WKKKWKKKWKKKWWKKKW.......",
    ".......WKKKWKKKWKKKWWKKKW.......",
    "....W..WKKKWKKKWKKKWWKKKW.......",
    "...WKW.WKKKWKKKWKKKWWKKKW.......",
    "..WKKKWWKKKKKKKKKKKKKKKKW.......",
    "..WKKKKWKKKKKKKKKKKKKKKKW.......",
    "..WKKKKKKKKKKKKKKKKKKKKKW.......",
    "...WKKKKKKKKKKKKKKKKKKKKW.......",
    "....WKKKKKKKKKKKKKKKKKKKW.......",
    "....WKKKKKKKKKKKKKKKKKKKW.......",
    ".....WKKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    ".......WKKKKKKKKKKKKKKKKW.......",
    ".......WKKKKKKKKKKKKKKKKW.......",
    ".......WKKKKKKKKKKKKKKKKW.......",
    ".......WKKKKKKKKKKKKKKKKW.......",
    "........WKKKKKKKKKKKKKKW........",
    "........WKKKKKKKKKKKKKKW........",
    ".........WWWKKKKKKKKWWW.........",
    "............WWWWWWWW............",
    "................................",
    "................................",
]

CURSORS["cur_stamp"] = [
    "...............W................",
    ".............WWKWW..............",
    "............WKKKKKW.............",
    "...........WKKKKKKKW............",
    "..........WKKKKKKKKKW...........",
    "..........WKKKKKKKKKW...........",
    "..........WKKKKKKKKKW...........",
    "..........WKKKKKKKKKW...........",
    "...........WKKKKKKKW............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    ".....WWWWWWWWKKKKKWWWWWWWW......",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    "....WKKKKKKKKKKKKKKKKKKKKKW.....",
    ".....WWWWWWWWWWWWWWWWWWWWW......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    "......WKKKKKKKKKKKKKKKKKW.......",
    ".......WWWWWWWWWWWWWWWWW........",
]

CURSORS["cur_drop"] = [
    "................................",
    "...............W................",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    ".............WKKKW..............",
    ".............WKKKW..............",
    ".............WKKKW..............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "............WKKKKKW.............",
    "...........WKKKKKKKW............",
    "...........WKKKKKKKW............",
    "..........WKKKKKKKKKW...........",
    "..........WKKKKKKKKKW...........",
    "..........WKKKKKKKKKW...........",
    ".........WKKKKKKKKKKKW..........",
    ".........WKKKKKKKKKKKW..........",
    "........WKKKKKKKKKKKKKW.........",
    "........WKKKKKKKKKKKKKW.........",
    ".......WKKKKKKKKKKKKKKKW........",
    ".......WKKKKKKKKKKKKKKKW........",
    ".......WKKKKKKKKKKKKKKKW........",
    ".......WKKWKKKKKKKKKKKKW........",
    ".......WKKWKKKKKKKKKKKKW........",
    ".......WKKWKKKKKKKKKKKKW........",
    "........WKKWKKKKKKKKKKW.........",
    "........WKKKWWKKKKKKKKW.........",
    ".........WKKKWWKKKKKKW..........",
    "..........WWKKKKKKKWW...........",
    "............WWKKKWW.............",
    "..............WWW...............",
]

CURSORS["cur_point"] = [
    ".......WWW......................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.....................",
    "......WKKKW.WW..................",
    "......WKKKWWKKW.WW..............",
    "......WKKKWKKKWWKKW.............",
    "......WKKKWKKKWKKKW.WWW.........",
    "......WKKKWKKKWKKKWWKKKW........",
    "......WKKKWKKKWKKKWWKKKW........",
    "...WW.WKKKKKKKKKKKKKKKKW........",
    "..WKKWWKKKKKKKKKKKKKKKKW........",
    ".WKKKKWKKKKKKKKKKKKKKKKW........",
    "..WKKKKKKKKKKKKKKKKKKKKW........",
    "...WKKKKKKKKKKKKKKKKKKKW........",
    "...WKKKKKKKKKKKKKKKKKKKW........",
    "....WKKKKKKKKKKKKKKKKKKW........",
    ".....WKKKKKKKKKKKKKKKKKW........",
    ".....WKKKKKKKKKKKKKKKKKW........",
    "......WKKKKKKKKKKKKKKKKW........",
    "......WKKKKKKKKKKKKKKKW.........",
    ".......WKKKKKKKKKKKKKW..........",
    "........WWWWWWWWWWWWW...........",
    "........WKKKKKKKKKKKKW..........",
    "........WKKKKKKKKKKKKW..........",
    "........WKKKKKKKKKKKKW..........",
    ".........WWWWWWWWWWWW...........",
]

CURSORS["cur_marker"] = [
    "................................",
    "................................",
    "................................",
    ".....................W..........",
    "....................WKW.........",
    "...................WKKKW........",
    "..................WKKKKKW.......",
    ".................WKKKKKKKW......",
    "................WKKKKKKKKKW.....",
    "...............WWKKKKKKKKKKW....",
    "..............WKWWKKKKKKKKKKW...",
    ".............WKKKWWKKKKKKKKW....",
    "............WKKKKKWWKKKKKKW.....",
    "...........WKKKKKKKWWKKKKW......",
    "..........WKKKKKKKKKWWKKW.......",
    ".........WKKKKKKKKKKKWWW........",
    "........WKKKKKKKKKKKKKW.........",
    ".......WKKKKKKKKKKKKKW..........",
    "......WKKKKKKKKKKKKKW...........",
    ".....WKKKKKKKKKKKKKW............",
    "....WKKKKKKKKKKKKKW.............",
    "...WKKKKKKKKKKKKKW..............",
    "..WWWKKKKKKKKKKKW...............",
    "..WKWWKKKKKKKKKW................",
    "..WKKWWKKKKKKKW.................",
    "..WKKKWWKKKKKW..................",
    ".WKKKKKWWKKKW...................",
    ".WKKKKKKWWKW....................",
    "WKKKKKKKKWW.....................",
    "WKKKKKWWWW......................",
    "KKKKWW..........................",
    "KKWW............................",
]


# ---------------------------------------------------------------------------
# Enlarging.

def scale2x(rows):
    """Each pixel becomes 2 x 2. A corner of the 2 x 2 block takes the colour
    of the two neighbours it touches when those agree and the pixel is part
    of a diagonal stair step there (Scale2x, but square corners stay square),
    which smooths diagonals and curves without adding colours."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        if 0 <= x < w and 0 <= y < h:
            return rows[y][x]
        return "."

    out = []
    for y in range(h):
        top, bottom = [], []
        for x in range(w):
            p = rows[y][x]
            a, b, c, d = at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            ul, ur = at(x - 1, y - 1), at(x + 1, y - 1)
            dl, dr = at(x - 1, y + 1), at(x + 1, y + 1)
            e0 = a if (c == a and c != d and a != b and p in (ur, dl)) else p
            e1 = b if (a == b and a != c and b != d and p in (ul, dr)) else p
            e2 = c if (d == c and d != b and c != a and p in (ul, dr)) else p
            e3 = d if (b == d and b != a and d != c and p in (ur, dl)) else p
            top += [e0, e1]
            bottom += [e2, e3]
        out += ["".join(top), "".join(bottom)]
    return out


def scale3x(rows):
    """Triples every pixel; where two neighbours agree across a diagonal stair step
    the corner cells take their colour (Scale3x), without adding colours."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        if 0 <= x < w and 0 <= y < h:
            return rows[y][x]
        return "."

    out = []
    for y in range(h):
        lines = [[], [], []]
        for x in range(w):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), rows[y][x], at(x + 1, y)
            g, hh, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            if b != hh and d != f:
                e0 = d if d == b else e
                e1 = b if (d == b and e != c) or (b == f and e != a) else e
                e2 = f if b == f else e
                e3 = d if (d == b and e != g) or (d == hh and e != a) else e
                e5 = f if (b == f and e != i) or (hh == f and e != c) else e
                e6 = d if d == hh else e
                e7 = hh if (d == hh and e != i) or (hh == f and e != g) else e
                e8 = f if hh == f else e
            else:
                e0 = e1 = e2 = e3 = e5 = e6 = e7 = e8 = e
            lines[0] += [e0, e1, e2]
            lines[1] += [e3, e, e5]
            lines[2] += [e6, e7, e8]
        out += ["".join(line) for line in lines]
    return out


def halo(rows):
    """Marks every transparent pixel that touches a black outline pixel (also
    diagonally) with the light rim colour."""
    h, w = len(rows), len(rows[0])
    out = []
    for y in range(h):
        line = ""
        for x in range(w):
            ch = rows[y][x]
            if ch == "." and any(0 <= x + dx < w and 0 <= y + dy < h and rows[y + dy][x + dx] == "K"
                                 for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                ch = "h"
            line += ch
        out.append(line)
    return out


def enlarge(rows, n):
    """Each pixel becomes n x n, no smoothing."""
    out = []
    for r in rows:
        line = "".join(ch * n for ch in r)
        out += [line] * n
    return out


# ---------------------------------------------------------------------------
# PNG output (RGBA, 8 bits a channel).

def rgba_rows(rows):
    out = []
    for r in rows:
        line = []
        for ch in r:
            c = PALETTE[ch]
            line.append((0, 0, 0, 0) if c is None else (c[0], c[1], c[2], c[3] if len(c) > 3 else 255))
        out.append(line)
    return out


def write_png(path, pixels):
    h, w = len(pixels), len(pixels[0])
    raw = bytearray()
    for line in pixels:
        raw.append(0)  # no filter
        for px in line:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(png)
    os.replace(tmp, path)


# ---------------------------------------------------------------------------

def with_grid(pixels, cell):
    """Darkens the last row and column of every cell, so an enlargement shows
    its pixels as a chunky grid, as the editor does."""
    out = []
    for y, line in enumerate(pixels):
        row = []
        for x, (r, g, b, a) in enumerate(line):
            if a and (x % cell == cell - 1 or y % cell == cell - 1):
                r, g, b = r * 3 // 4, g * 3 // 4, b * 3 // 4
            row.append((r, g, b, a))
        out.append(row)
    return out


def build():
    """Returns {path relative to resources/: RGBA pixel rows} for every image."""
    images = {}
    for name, rows in ICONS16.items():
        check(name, rows, 16)
        rimmed = halo(rows)
        images["icons/%s.png" % name] = rgba_rows(rimmed)
        images["icons/%s@2x.png" % name] = rgba_rows(scale2x(rimmed))
        images["icons/%s@3x.png" % name] = rgba_rows(scale3x(rimmed))
    check("kelmora", APP16, 16)
    images["icons/kelmora.png"] = rgba_rows(enlarge(APP16, 2))
    images["icons/kelmora@2x.png"] = rgba_rows(enlarge(APP16, 4))
    images["icons/kelmora-256.png"] = with_grid(rgba_rows(enlarge(APP16, 16)), 16)
    for name, rows in CURSORS.items():
        check(name, rows, 32)
        for ch in "".join(rows):
            if ch not in ".KW":
                raise SystemExit("%s: cursors are black and white only" % name)
        hx, hy = HOTSPOTS[name]
        if rows[hy][hx] == ".":
            raise SystemExit("%s: hot spot %d,%d is on a transparent pixel" % (name, hx, hy))
        images["cursors/%s.png" % name] = rgba_rows(rows)
    return images


def disabled_look(px, window=(239, 239, 239)):
    """Qt's greyed look for a disabled icon (QCommonStyle): the grey level is
    looked up in a ramp from black over the window colour to white, squeezed
    into its lighter part."""
    ramp = [tuple((c * (i << 1)) >> 8 for c in window) for i in range(128)]
    ramp += [tuple(min(c + (i << 1), 255) for c in window) for i in range(128)]
    intensity = (77 * window[0] + 150 * window[1] + 28 * window[2]) // 255
    r, g, b, a = px
    grey = (r * 11 + g * 16 + b * 5) // 32
    return ramp[grey // 3 + (130 - intensity // 3)] + (a,)


def contact_sheet(images, path):
    """Every tool bar icon at 1x (true size and magnified), at 2x, greyed and
    on a dark background; then the application icon and the cursors (the
    magenta dot marks each hot spot)."""
    light, dark, blue = (239, 239, 239), (53, 53, 53), (46, 44, 155)
    names = TOOLBAR
    cell = 40
    width = max(cell * len(names) + 8, 8 + 256 + 8 + 136 + 8 + 72 * len(CURSORS))
    sheet = []

    def band(height, colour):
        rows = [[colour] * width for _ in range(height)]
        sheet.extend(rows)
        return rows

    def blit(rows, pixels, ox, oy, scale=1, look=None):
        for y, line in enumerate(pixels):
            for x, p in enumerate(line):
                if look:
                    p = look(p)
                if p[3]:
                    for dy in range(scale):
                        for dx in range(scale):
                            under = rows[oy + y * scale + dy][ox + x * scale + dx]
                            rows[oy + y * scale + dy][ox + x * scale + dx] = tuple(
                                (c * p[3] + u * (255 - p[3])) // 255 for c, u in zip(p[:3], under))

    for bg, suffix, scale, look in [(light, "", 1, None), (light, "", 2, None), (light, "@2x", 1, None),
                                    (light, "", 1, disabled_look), (light, "", 2, disabled_look),
                                    (light, "@2x", 1, disabled_look),
                                    (dark, "", 2, None), (dark, "@2x", 1, None)]:
        rows = band(cell if scale * 16 > 16 or suffix else 24, bg)
        for i, name in enumerate(names):
            blit(rows, images["icons/%s%s.png" % (name, suffix)], 8 + i * cell, 4, scale, look)
    rows = band(256 + 16, light)
    blit(rows, images["icons/kelmora-256.png"], 8, 8)
    blit(rows, images["icons/kelmora@2x.png"], 8 + 256 + 8, 8)
    blit(rows, images["icons/kelmora.png"], 8 + 256 + 8, 8 + 72)
    blit(rows, images["icons/kelmora.png"], 8 + 256 + 8 + 40, 8 + 72, 1, disabled_look)
    x = 8 + 256 + 8 + 136
    for name in CURSORS:
        hx, hy = HOTSPOTS[name]
        for k, bg in enumerate([light, blue]):
            oy = 8 + k * 72
            for y in range(64):
                for xx in range(64):
                    rows[oy + y][x + xx] = bg
            blit(rows, images["cursors/%s.png" % name], x, oy, 2)
            rows[oy + hy * 2][x + hx * 2] = (255, 0, 255)
            rows[oy + hy * 2 + 1][x + hx * 2 + 1] = (255, 0, 255)
        blit(rows, images["cursors/%s.png" % name], x + 16, 8 + 144 + 8)
        x += 72
    write_png(path, [[p + (255,) for p in line] for line in sheet])


def compare_with_qrc(images):
    """The resource list and the drawn images must name the same files."""
    import xml.etree.ElementTree as ET
    listed = {e.text.strip() for e in ET.parse(os.path.join(RESOURCES, "resources.qrc")).iter("file")}
    listed = {f for f in listed if f.startswith(("icons/", "cursors/"))}
    drawn = set(images)
    for f in sorted(listed - drawn):
        print("resources.qrc lists %s, which is not drawn here" % f)
    for f in sorted(drawn - listed):
        print("%s is drawn but not listed in resources.qrc" % f)
    return listed == drawn


def main(argv):
    sheet = None
    if len(argv) == 3 and argv[1] == "--sheet":
        sheet = argv[2]
    elif len(argv) != 1:
        raise SystemExit("usage: draw_icons.py [--sheet FILE.png]")
    images = build()
    for rel, pixels in images.items():
        write_png(os.path.join(RESOURCES, rel), pixels)
    if sheet:
        contact_sheet(images, sheet)
    print("wrote %d images" % len(images))
    if not compare_with_qrc(images):
        sys.exit(1)


if __name__ == "__main__":
    main(sys.argv)
