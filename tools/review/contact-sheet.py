#!/usr/bin/python3
"""Renders the contact sheet for reviewing the game's art into docs/screens/.

sprites.png   every frame of the sprite sheet at 4x, one row per colour id
pairs.png     every two-tone sprite in each of the 20 colour pairs, at 1x
              and 3x, over the field's dark blue
*.png         the game's screens, taken by its own `screenshot` script event
              from scripted runs of the built game

Usage: contact-sheet.py [BUILD_FOLDER] [OUTPUT_FOLDER] [GROUP...]
       (defaults: build and docs/screens under the source folder, and the
       screen groups menu, play, stereo and versus)

A first run of each script takes a state dump every frame; the screenshot
ticks are chosen from those dumps, and a second run with the same seed and
input takes the pictures, so the game plays the same both times.
"""

import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

import png_read

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))

PALETTE = {
    1: (196, 2, 2),
    2: (43, 230, 0),
    3: (0, 6, 230),
    4: (196, 2, 153),
    5: (255, 252, 5),
}
FIELD = (6, 8, 30)  # about the backdrop's field colour


# --- PNG in and out -----------------------------------------------------------


def read_png(path):
    """(width, height, rows of (r, g, b) tuples) of an 8-bit RGB/RGBA PNG."""
    try:
        width, height, rows = png_read.read_png(path)
    except ValueError as e:
        sys.exit("contact-sheet: %s" % e)
    return width, height, [[tuple(row[x * 3 : x * 3 + 3]) for x in range(width)] for row in rows]


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, body):
        crc = zlib.crc32(kind + body) & 0xFFFFFFFF
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def blank(width, height, colour):
    return [[colour] * width for _ in range(height)]


def tint(texel, colour):
    return tuple(t * c // 255 for t, c in zip(texel, colour))


# --- Sprite frames --------------------------------------------------------------


def frame(sheet, size, i):
    """The frame's pixels, as start-up grabs them."""
    left, top = (1 + 11 * i, 1) if size == 10 else (1 + 21 * i, 14)
    return [row[left : left + size] for row in sheet[top : top + size]]


def stamp(canvas, x, y, pixels, colour, zoom):
    """Draws the lit pixels tinted by colour; black stays transparent."""
    for row, line in enumerate(pixels):
        for col, texel in enumerate(line):
            if texel == (0, 0, 0):
                continue
            c = tint(texel, colour)
            for dy in range(zoom):
                for dx in range(zoom):
                    canvas[y + row * zoom + dy][x + col * zoom + dx] = c


def sprite_frames(sheet, out):
    zoom, gap = 4, 4
    small = [frame(sheet, 10, i) for i in range(31)]
    large = [frame(sheet, 20, i) for i in range(12)]
    row_height = 10 * zoom + gap + 20 * zoom + 3 * gap
    width = max(31 * (10 * zoom + gap), 12 * (20 * zoom + gap)) + gap
    canvas = blank(width, 5 * row_height + gap, (0, 0, 0))
    for r, colour in enumerate(PALETTE.values()):
        y = gap + r * row_height
        for i, pixels in enumerate(small):
            x = gap + i * (10 * zoom + gap)
            stamp(canvas, x, y, pixels, colour, zoom)
        for i, pixels in enumerate(large):
            x = gap + i * (20 * zoom + gap)
            stamp(canvas, x, y + 10 * zoom + gap, pixels, colour, zoom)
    write_png(os.path.join(out, "sprites.png"), canvas)


# First-colour frame, second-colour frames and frame size of each two-tone
# sprite.
TWO_TONE = [
    (8, [9], 10),  # ship
    (26, [27], 10),  # crawler head
    (28, [29, 30], 10),  # crawler body
    (0, [1, 2], 20),  # spider
    (3, [4, 5], 20),  # flea
    (6, [7, 8], 20),  # scorpion
    (9, [10, 11], 20),  # mosquito
]


def colour_pairs(sheet, out):
    pairs = [(a, b) for a in PALETTE for b in PALETTE if a != b]
    cell = 3 * 20 + 20 + 8  # a 3x sprite and a 1x one side by side
    poses = [(first, second, size) for first, seconds, size in TWO_TONE for second in seconds]
    width = len(poses) * cell + 8
    height = len(pairs) * (3 * 20 + 6) + 8
    canvas = blank(width, height, FIELD)
    for p, (a, b) in enumerate(pairs):
        y = 8 + p * (3 * 20 + 6)
        for i, (first, second, size) in enumerate(poses):
            x = 8 + i * cell
            pad = (20 - size) // 2  # small frames sit in the middle of a 20 x 20 box
            for zoom, bx, by in ((3, x, y), (1, x + 3 * 20 + 6, y + 20)):
                at_x, at_y = bx + pad * zoom, by + pad * zoom
                stamp(canvas, at_x, at_y, frame(sheet, size, first), PALETTE[a], zoom)
                stamp(canvas, at_x, at_y, frame(sheet, size, second), PALETTE[b], zoom)
    write_png(os.path.join(out, "pairs.png"), canvas)


# --- Screens through the game's own screenshot event -----------------------------


def line(tick, event):
    return "%d %s\n" % (tick, event)


def click(tick):
    return line(tick, "button 1 down") + line(tick, "button 1 up")


def click_menu(tick, index):
    """Points at menu line `index` and clicks it one tick later."""
    return line(tick, "mouse 320 %d" % (260 + 20 * index)) + click(tick + 1)


class Game:
    """Runs the built game on a script in a scratch folder of its own."""

    def __init__(self, build):
        self.exe = os.path.join(build, "vermix")
        self.data = os.path.join(build, "data")

    def run(self, script, folder, seed=7):
        shutil.copytree(self.data, os.path.join(folder, "data"), dirs_exist_ok=True)
        with open(os.path.join(folder, "script.txt"), "w") as f:
            f.write(script)
        env = dict(os.environ, SDL_VIDEODRIVER="offscreen", ALSOFT_DRIVERS="null", SDL_AUDIODRIVER="dummy")
        subprocess.run(
            [self.exe, "--window", "--fast", "--seed", str(seed), "--script", "script.txt"],
            cwd=folder, env=env, check=True, timeout=900,
        )

    def dumps(self, script, last_tick, seed=7):
        """A state dump every other tick, 0..last_tick, of the script's run."""
        with tempfile.TemporaryDirectory() as folder:
            every = "".join(line(t, "dump d.jsonl") for t in range(0, last_tick + 1, 2))
            self.run(script + every + line(last_tick + 1, "end"), folder, seed)
            with open(os.path.join(folder, "d.jsonl")) as f:
                return [json.loads(text) for text in f]

    def shots(self, script, shots, out, seed=7):
        """Takes the named screenshots at their ticks into `out`."""
        with tempfile.TemporaryDirectory() as folder:
            events = "".join(line(t, "screenshot %s.png" % name) for name, t in shots)
            last = max(t for _, t in shots)
            self.run(script + events + line(last + 2, "end"), folder, seed)
            for name, _ in shots:
                shutil.copy(os.path.join(folder, name + ".png"), os.path.join(out, name + ".png"))


LONG_RUN = 8000  # ticks enough for the insects to end a game


def sweep(start, end):
    """The pointer (player 1's ship) runs to and fro along the bottom zone."""
    events, x, step = "", 180, 10
    for tick in range(start, end, 2):
        events += line(tick, "mouse %d %d" % (x, 415 if (tick // 60) % 2 else 445))
        if not 180 <= x + step <= 460:
            step = -step
        x += step
    return events


def stick_sweep(start, end):
    """Both joysticks push their ships to and fro across their zones."""
    events = ""
    for tick in range(start, end, 90):
        value = 1 if (tick // 90) % 2 else -1
        events += line(tick, "joy 0 axis 0 %d" % value) + line(tick, "joy 1 axis 0 %d" % -value)
        events += line(tick, "joy 0 axis 1 %d" % -value) + line(tick, "joy 1 axis 1 %d" % value)
    return events


def first_tick(dumps, test, after=0):
    for d in dumps:
        if d["tick"] >= after and test(d):
            return d["tick"]
    sys.exit("contact-sheet: the scripted game never reached a wanted state")


TITLE = click(1)  # skips the opening logo


def menu_screens(game, out):
    # The opening logo, the title with retro lines off and on.
    game.shots(
        line(200, "mouse 320 100"), [("intro", 120)], out
    )
    game.shots(
        TITLE + line(5, "mouse 320 100") + click_menu(30, 3) + line(33, "mouse 320 100"),
        [("title", 20), ("retro_lines", 40)],
        out,
    )


def play_screens(game, out):
    # One player who fires a volley into the field, then sweeps the bottom
    # zone until the insects have taken every ship: play, pause, tally flash
    # (of the mushrooms the volley hit), game over.
    play = TITLE + click_menu(5, 0) + line(8, "mouse 320 440")
    play += "".join(click(t) for t in range(12, 150, 10)) + sweep(160, LONG_RUN)
    d = game.dumps(play, LONG_RUN)
    flash = first_tick(d, lambda s: s["tally_tick"] in (2, 3))
    over = first_tick(d, lambda s: s["game_over_timer"] >= 60)
    insect = first_tick(d, lambda s: s["play_phase"] == 1 and any(
        i["state"] != 0 and 60 < i["y"] < 400 for i in s["insects"]))
    game.shots(play, [("play", insect), ("tally_flash", flash), ("game_over", over)], out)
    game.shots(
        play + line(insect, "key 27 down") + line(insect, "key 27 up")
        + line(insect + 2, "mouse 320 200"),
        [("pause", insect + 20)],
        out,
    )


def versus_screens(game, out):
    # Versus: two joysticks steer both ships to and fro until the verdict.
    sticks = line(3, "joy 0 connect") + line(3, "joy 1 connect")
    versus = TITLE + sticks + click_menu(6, 4) + click_menu(9, 0)
    versus += stick_sweep(100, 2 * LONG_RUN)
    d = game.dumps(versus, 2 * LONG_RUN)
    verdict = first_tick(d, lambda s: s["versus_mode"] == 1 and s["game_over_timer"] >= 60)
    game.shots(versus, [("versus_verdict", verdict)], out)


def stereo_screens(game, out):
    # Each 3D mode at hologram intensity 6, in play.
    for mode in range(1, 5):
        setup = TITLE + line(5, "mouse 320 100")
        tick = 8
        for _ in range(mode):
            setup += click_menu(tick, 1)
            tick += 3
        for _ in range(3):  # intensity 0 -> 6
            setup += click_menu(tick, 2)
            tick += 3
        setup += click_menu(tick, 0) + line(tick + 3, "mouse 320 440")
        setup += "".join(click(t) for t in range(tick + 5, tick + 200, 10))
        game.shots(setup, [("stereo_%d" % mode, tick + 200)], out)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(SOURCE, "build"))
    out = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(SOURCE, "docs", "screens"))
    os.makedirs(out, exist_ok=True)
    _, _, sheet = read_png(os.path.join(SOURCE, "assets", "graphx", "vermix_01.png"))
    sprite_frames(sheet, out)
    colour_pairs(sheet, out)
    groups = {"menu": menu_screens, "play": play_screens, "stereo": stereo_screens,
              "versus": versus_screens}
    for name in sys.argv[3:] or groups:
        groups[name](Game(build), out)


if __name__ == "__main__":
    main()
