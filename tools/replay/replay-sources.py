#!/usr/bin/env python3
"""Writes the source scripts of the golden replays into tests/replays/sources/.

    tools/replay/replay-sources.py [BUILD_FOLDER]     (default: build)

Each is a plain input script; tools/replay/rerecord-replays.sh plays it with
--record to make the replay. A '# seed N' line gives the seed (default 1).
Random choices come from a fixed generator, so the output never changes.
The long one-player games are played by BUILD_FOLDER/vermix_autoplay.
"""
import os
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile

OUT = pathlib.Path(__file__).resolve().parent.parent.parent / "tests" / "replays" / "sources"


def click(t):
    return [f"{t} button 1 down", f"{t} button 1 up"]


def click_line(t, line):
    return [f"{t} mouse 320 {260 + 20 * line}"] + click(t + 1)


def key(t, code):
    return [f"{t} key {code} down", f"{t} key {code} up"]


def intro():
    return click(1)


def joystick_wander(rng, port, start, stop, fire=0.8):
    """Random stick pushes, the fire button held for a share `fire` of them."""
    lines, t = [], start
    while t < stop:
        x = rng.choice([-1, -1, 0, 1, 1])
        y = rng.choice([-1, 0, 0, 1])
        lines += [f"{t} joy {port} axis 0 {x}", f"{t} joy {port} axis 1 {y}"]
        lines.append(f"{t} joy {port} button 0 "
                     + ("down" if rng.random() < fire else "up"))
        t += rng.randint(6, 30)
    return lines


def menus():
    # Options on the title, a game paused and resumed, then abandoned.
    lines = ["# seed 3"] + intro()
    lines += click_line(10, 1) + click_line(14, 1)   # 3D graphics twice
    lines += click_line(18, 3)                       # retro lines on
    lines += click_line(22, 5) + click_line(26, 6)   # sound, music volume
    lines += click_line(30, 0)                       # start
    t = 40
    rng = random.Random(3)
    for _ in range(3):
        for _ in range(8):
            lines += [f"{t} mouse {rng.randint(60, 580)} {rng.randint(400, 470)}",
                      f"{t} button 1 down"]
            t += rng.randint(5, 12)
        lines.append(f"{t} button 1 up")
        lines += key(t + 2, 27)                      # pause
        lines += click_line(t + 10, 3)               # retro lines off
        lines += click_line(t + 16, 0)               # resume
        t += 30
    lines += key(t, 27) + click_line(t + 8, 7)       # quit this game
    lines += click_line(t + 20, 2)                   # hologram on the title
    lines.append(f"{t + 40} end")
    return lines


def joystick():
    # One player steered and firing with joystick 0.
    rng = random.Random(4)
    lines = ["# seed 11", "0 joy 0 connect"] + intro()
    lines += click_line(10, 0)
    lines += joystick_wander(rng, 0, 24, 500)
    lines.append("540 end")
    return lines


# name: seed, frames and options of the automatic player.
AUTOPLAYED = {
    # Stage 6 and beyond, the player leaving the crawler's last segment there
    # until each of the four insects has come out.
    "stages": (1, 1470, ["--insects-from", "6"]),
    # The timedemo's yardstick: stereo and retro lines on, a full field and
    # the particles of quick play.
    "heavy": (2, 400, ["--stereo", "4", "--retro"]),
    # Versus on two sticks to the verdict: both ships run into the spider
    # and the crawler, player 1 fires and wins on score.
    "versus": (7, 2760, ["--versus"]),
}


def autoplay(build, seed, frames, options):
    """The script of vermix_autoplay, played in a fresh folder as the
    re-record tool plays it."""
    with tempfile.TemporaryDirectory() as work:
        data = pathlib.Path(work) / "data"
        data.mkdir()
        for sound in (build / "data").glob("*.ogg"):
            shutil.copy(sound, data)
        env = dict(os.environ, SDL_VIDEODRIVER="offscreen",
                   ALSOFT_DRIVERS="null", SDL_AUDIODRIVER="dummy")
        subprocess.run([str(build / "vermix_autoplay"), "--seed", str(seed)]
                       + options + [str(frames), "out.script"],
                       cwd=work, env=env, check=True)
        text = (pathlib.Path(work) / "out.script").read_text()
    return [f"# seed {seed}"] + text.splitlines()


def main():
    here = pathlib.Path(__file__).resolve().parent.parent.parent
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else here / "build")
    OUT.mkdir(parents=True, exist_ok=True)
    for name, make in [("menus", menus), ("joystick", joystick)]:
        (OUT / f"{name}.script").write_text("\n".join(make()) + "\n")
    for name, (seed, frames, options) in AUTOPLAYED.items():
        lines = autoplay(build.resolve(), seed, frames, options)
        (OUT / f"{name}.script").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
