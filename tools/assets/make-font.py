#!/usr/bin/python3
"""Builds the game's pixel typeface, assets/fonts/joystix.ttf.

Every glyph is a bitmap 5 pixels wide and 6 rows high above the baseline
(lower case and a few signs reach one row below it). A row is two screen
pixels high, as on an arcade monitor, so a glyph keeps every stroke when the
retro line effect blanks every other screen row. Lit pixels become square
outlines. The em is 1200 units and the game sets the face at 12 pixels, so
one pixel is exactly 100 units and every edge falls on a pixel boundary: at
1x each pixel is either fully covered or empty. Advance 7 pixels, line 14
pixels (ascent 13, descent 1), the measures the game's layout was made with.

Usage: make_font.py [OUTPUT]   (default: assets/fonts/joystix.ttf)
"""

import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

PIXEL = 100
ROW = 2 * PIXEL
UNITS_PER_EM = 12 * PIXEL
ADVANCE = 7 * PIXEL
CAP_ROWS = 6  # rows above the baseline
# One blank pixel above the capitals keeps a line's ink off whatever lies just
# above it; a descender hangs one pixel below the 14-pixel line.
ASCENT = CAP_ROWS * ROW + PIXEL
DESCENT = PIXEL
LEFT = 1  # blank columns before the 5-pixel glyph

# Rows from the cap line down, '#' lit; a row past the sixth hangs below
# the baseline.
GLYPHS = {
    " ": "",
    "!": "..#../..#../..#../..#../...../..#..",
    '"': ".#.#./.#.#./...../...../...../.....",
    "#": ".#.#./#####/.#.#./#####/.#.#./.#.#.",
    "$": ".####/#.#../.###./..#.#/####./..#..",
    "%": "##..#/##.#./..#../..#../.#.##/#..##",
    "&": ".##../#..#./.##../#.#.#/#..#./.##.#",
    "'": "..#../..#../.#.../...../...../.....",
    "(": "...#./..#../.#.../.#.../..#../...#.",
    ")": ".#.../..#../...#./...#./..#../.#...",
    "*": "...../..#../#.#.#/.###./#.#.#/..#..",
    "+": "...../..#../#####/..#../..#../.....",
    ",": "...../...../...../...../.##../..#../.#...",
    "-": "...../...../#####/...../...../.....",
    ".": "...../...../...../...../.##../.##..",
    "/": "....#/...#./..#../..#../.#.../#....",
    "0": ".###./#..##/#.#.#/#.#.#/##..#/.###.",
    "1": "..#../.##../#.#../..#../..#../#####",
    "2": ".###./#...#/...#./..#../.#.../#####",
    "3": "#####/...#./..##./....#/#...#/.###.",
    "4": "...#./..##./.#.#./#..#./#####/...#.",
    "5": "#####/#..../####./....#/#...#/.###.",
    "6": "..##./.#.../#..../####./#...#/.###.",
    "7": "#####/....#/...#./..#../.#.../.#...",
    "8": ".###./#...#/.###./#...#/#...#/.###.",
    "9": ".###./#...#/.####/....#/...#./.##..",
    ":": "...../.##../...../.##../.##../.....",
    ";": "...../.##../...../.##../..#../.#...",
    "<": "...../...#./..#../.#.../..#../...#.",
    "=": "...../#####/...../#####/...../.....",
    ">": "...../.#.../..#../...#./..#../.#...",
    "?": ".###./#...#/...#./..#../...../..#..",
    "@": ".###./#...#/....#/.##.#/#.#.#/.###.",
    "A": ".###./#...#/#####/#...#/#...#/#...#",
    "B": "####./#...#/####./#...#/#...#/####.",
    "C": ".###./#...#/#..../#..../#...#/.###.",
    "D": "###../#..#./#...#/#...#/#..#./###..",
    "E": "#####/#..../####./#..../#..../#####",
    "F": "#####/#..../####./#..../#..../#....",
    "G": ".###./#...#/#..../#.###/#...#/.####",
    "H": "#...#/#...#/#####/#...#/#...#/#...#",
    "I": ".###./..#../..#../..#../..#../.###.",
    "J": "..###/...#./...#./...#./#..#./.##..",
    "K": "#...#/#..#./###../#.#../#..#./#...#",
    "L": "#..../#..../#..../#..../#..../#####",
    "M": "#...#/##.##/#.#.#/#...#/#...#/#...#",
    "N": "#...#/##..#/#.#.#/#..##/#...#/#...#",
    "O": ".###./#...#/#...#/#...#/#...#/.###.",
    "P": "####./#...#/####./#..../#..../#....",
    "Q": ".###./#...#/#...#/#.#.#/#..#./.##.#",
    "R": "####./#...#/####./#.#../#..#./#...#",
    "S": ".####/#..../.###./....#/....#/####.",
    "T": "#####/..#../..#../..#../..#../..#..",
    "U": "#...#/#...#/#...#/#...#/#...#/.###.",
    "V": "#...#/#...#/#...#/#...#/.#.#./..#..",
    "W": "#...#/#...#/#...#/#.#.#/#.#.#/.#.#.",
    "X": "#...#/.#.#./..#../.#.#./#...#/#...#",
    "Y": "#...#/#...#/.#.#./..#../..#../..#..",
    "Z": "#####/...#./..#../.#.../#..../#####",
    "[": ".###./.#.../.#.../.#.../.#.../.###.",
    "\\": "#..../.#.../..#../..#../...#./....#",
    "]": ".###./...#./...#./...#./...#./.###.",
    "^": "..#../.#.#./#...#/...../...../.....",
    "_": "...../...../...../...../...../...../#####",
    "`": ".#.../..#../...#./...../...../.....",
    "a": "...../.###./....#/.####/#...#/.####",
    "b": "#..../#..../#.##./##..#/#...#/####.",
    "c": "...../...../.###./#..../#...#/.###.",
    "d": "....#/....#/.##.#/#..##/#...#/.####",
    "e": "...../.###./#...#/#####/#..../.###.",
    "f": "..##./.#..#/.#.../###../.#.../.#...",
    "g": "...../...../.####/#...#/.####/....#/.###.",
    "h": "#..../#..../#.##./##..#/#...#/#...#",
    "i": "..#../...../.##../..#../..#../.###.",
    "j": "...#./...../..##./...#./...#./...#./.##..",
    "k": "#..../#..#./#.#../##.../#.#../#..#.",
    "l": ".#.../.#.../.#.../.#.../.#.../..##.",
    "m": "...../...../##.#./#.#.#/#.#.#/#.#.#",
    "n": "...../...../#.##./##..#/#...#/#...#",
    "o": "...../...../.###./#...#/#...#/.###.",
    "p": "...../...../####./#...#/#...#/####./#....",
    "q": "...../...../.####/#...#/#...#/.####/....#",
    "r": "...../...../#.##./##..#/#..../#....",
    "s": "...../.####/#..../.###./....#/####.",
    "t": ".#.../.#.../###../.#.../.#..#/..##.",
    "u": "...../...../#...#/#...#/#..##/.##.#",
    "v": "...../...../#...#/#...#/.#.#./..#..",
    "w": "...../...../#...#/#.#.#/#.#.#/.#.#.",
    "x": "...../#...#/.#.#./..#../.#.#./#...#",
    "y": "...../...../#...#/#...#/.####/....#/.###.",
    "z": "...../#####/...#./..#../.#.../#####",
    "{": "...#./..#../.#.../..#../..#../...#.",
    "|": "..#../..#../..#../..#../..#../..#..",
    "}": ".#.../..#../...#./..#../..#../.#...",
    "~": "...../.#.../#.#.#/...#./...../.....",
    "\u00b7": "...../...../..#../...../...../.....",
}

# Shown for a character the face lacks: an empty box.
NOTDEF = "#####/#...#/#...#/#...#/#...#/#####"


def glyph_name(char):
    return "space" if char == " " else "uni%04X" % ord(char)


def draw(rows):
    """An outline of one square contour per horizontal run of lit pixels."""
    pen = TTGlyphPen(None)
    for row, line in enumerate(rows.split("/") if rows else []):
        top = (CAP_ROWS - row) * ROW
        col = 0
        while col < len(line):
            if line[col] != "#":
                col += 1
                continue
            end = col
            while end < len(line) and line[end] == "#":
                end += 1
            left, right = (LEFT + col) * PIXEL, (LEFT + end) * PIXEL
            # Clockwise, as TrueType wants for filled contours.
            pen.moveTo((left, top - ROW))
            pen.lineTo((left, top))
            pen.lineTo((right, top))
            pen.lineTo((right, top - ROW))
            pen.closePath()
            col = end
    return pen.glyph()


def check(char, rows):
    lines = rows.split("/") if rows else []
    if any(len(line) != 5 for line in lines) or len(lines) > CAP_ROWS + 1:
        sys.exit("make_font: glyph %r is not 5 pixels wide and 6 or 7 rows high" % char)


def build(path):
    for char, rows in GLYPHS.items():
        check(char, rows)
    order = [".notdef"] + [glyph_name(c) for c in GLYPHS]
    glyphs = {".notdef": draw(NOTDEF)}
    glyphs.update({glyph_name(c): draw(r) for c, r in GLYPHS.items()})

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({ord(c): glyph_name(c) for c in GLYPHS})
    fb.setupGlyf(glyphs)
    metrics = {}
    for name in order:
        glyph = glyphs[name]
        glyph.recalcBounds(fb.font["glyf"])
        metrics[name] = (ADVANCE, getattr(glyph, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    fb.setupNameTable(
        {
            "familyName": "Vermix Arcade",
            "styleName": "Regular",
            "copyright": "Copyright (c) 2026 Quillwork Studio",
            "version": "Version 1.000",
            "licenseDescription": "Free to use, copy, change and share; "
            "see LICENSE-font.txt",
        }
    )
    fb.setupOS2(
        sTypoAscender=ASCENT,
        sTypoDescender=-DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT,
        usWinDescent=DESCENT,
        sxHeight=4 * ROW,
        sCapHeight=CAP_ROWS * ROW,
        achVendID="QWRK",
        fsType=0,
    )
    fb.setupPost(isFixedPitch=1)
    # No time stamps: the same glyphs always give the same bytes.
    fb.font["head"].created = fb.font["head"].modified = 0
    fb.save(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "assets", "fonts", "joystix.ttf")
    build(sys.argv[1] if len(sys.argv) > 1 else default)


if __name__ == "__main__":
    main()
