#!/usr/bin/env python3
"""Writes an input script for a long unattended run of the game.

usage: soak_script.py SEED FRAMES [--dump-every N]

The script prints on stdout. It alternates random stretches of valid input
(pointer, clicks, Control, Space, Escape, joysticks coming and going with
their axes and buttons, focus lost and gained, menu options, versus on and
off) with games that are started and abandoned, and with long games played
by a simple player that sweeps the ship along the bottom row firing every
frame, so that the late, fast stages are reached.

The script cannot see the game, so it never sends what would end the
program (Escape on the title, a click on the title's last line) where it
could land there. Escape is sent only in the first frames of a game, while
the game is certainly in play or paused: no ship lost then has finished its
repair walk, whose end waits for the fire buttons and drops keys pressed
meanwhile. Everything else sent during a game is harmless on every screen,
and a fixed sequence brings any state back to the title afterwards.

Every N frames (default 60) a state dump is appended to dump.jsonl; one frame
after each game is started from the title one goes to reset.jsonl.
"""

import argparse
import random
import sys

ESCAPE = 27
SPACE = 32
CONTROL = 162

PORTS = 4  # joystick ports the script plugs sticks into
BUTTONS = 17
PAUSE_BUTTON = 2  # joystick button that toggles the pause on ports 0 and 1

# Menu line i is picked while the pointer's y is in [250 + 20 i, 269 + 20 i];
# the centre is 260 + 20 i. A stick fully deflected on port 0 drags the
# pointer 4 pixels per frame, so aims stay within 5 pixels of a centre.
LINE_START, LINE_EXIT = 0, 7
LINE_VERSUS = 4
OPTION_LINES = (1, 2, 3, 5, 6)

# Ship rows and columns.
FIELD_LEFT, FIELD_RIGHT = 175, 465
BOTTOM_ROW = 450
LANE_FRAMES = 600  # the sweeping player's lane moves this often
LANE_WEAVE = 6  # and the ship weaves this far either side of it

# A lost ship is followed by a repair walk of at least 90 frames. Within this
# many frames of its start a game is certainly in the state the script put
# it in.
SURE_IN_GAME = 85


def line_y(line, rng):
    return 260 + 20 * line + rng.randint(-5, 5)


def safe_y(rng):
    """A pointer row that picks no menu line, or an option line."""
    choice = rng.random()
    if choice < 0.35:
        return rng.randint(0, 236)
    if choice < 0.7:
        return rng.randint(414, 479)
    return line_y(rng.choice(OPTION_LINES), rng)


class Script:
    def __init__(self, seed, frames):
        self.rng = random.Random(seed)
        self.frames = frames
        self.events = []  # (tick, text); a stable sort keeps same-tick order
        self.t = 0
        self.ports = set()
        self.held_buttons = set()  # (port, button) held down
        self.versus = False  # as the title shows it
        self.paused = False  # within a game the script is sure of
        self.game_start = 0
        self.last_stick_change = -10
        self.lane = None

    # -- single events ------------------------------------------------------
    def emit(self, tick, text):
        if tick < self.frames:
            self.events.append((tick, text))

    def mouse(self, tick, x, y):
        self.emit(tick, f"mouse {x} {y}")

    def click(self, tick, x, y):
        self.mouse(tick, x, y)
        self.emit(tick, "button 1 down")
        self.emit(tick, "button 1 up")

    def press(self, tick, code):
        self.emit(tick, f"key {code} down")
        self.emit(tick, f"key {code} up")

    def stick_press(self, tick, port, button):
        self.emit(tick, f"joy {port} button {button} down")
        self.emit(tick, f"joy {port} button {button} up")

    def release_all(self):
        for port, button in sorted(self.held_buttons):
            self.emit(self.t, f"joy {port} button {button} up")
        self.held_buttons.clear()
        for port in sorted(self.ports):
            self.emit(self.t, f"joy {port} axis 0 0")
            self.emit(self.t, f"joy {port} axis 1 0")
        self.t += 2

    # -- random input -------------------------------------------------------
    def random_axis_value(self):
        r = self.rng.random()
        if r < 0.4:
            return self.rng.choice(("-1", "1"))
        if r < 0.5:
            return "0"
        return f"{self.rng.uniform(-1, 1):.3f}"

    def stick_event(self):
        """Plugs, unplugs or works a stick, short of its pause button."""
        rng, t = self.rng, self.t
        if not self.ports or rng.random() < 0.15:
            port = rng.randrange(PORTS)
            self.last_stick_change = t
            if port in self.ports:
                self.emit(t, f"joy {port} disconnect")
                self.ports.discard(port)
                self.held_buttons = {h for h in self.held_buttons
                                     if h[0] != port}
            else:
                self.emit(t, f"joy {port} connect")
                self.ports.add(port)
            return
        port = rng.choice(sorted(self.ports))
        if rng.random() < 0.6:
            self.emit(t, f"joy {port} axis {rng.randrange(2)} "
                      f"{self.random_axis_value()}")
            return
        button = rng.randrange(BUTTONS)
        if button == PAUSE_BUTTON and port < 2:
            button = 3
        if button == 0 and port == 0:
            # Also the menu's select button: aim the pointer first.
            self.mouse(t, rng.randint(0, 639), safe_y(rng))
        if (port, button) in self.held_buttons:
            self.emit(t, f"joy {port} button {button} up")
            self.held_buttons.discard((port, button))
        elif rng.random() < 0.3:
            self.emit(t, f"joy {port} button {button} down")
            self.held_buttons.add((port, button))
        else:
            self.stick_press(t, port, button)

    def focus_blink(self):
        self.emit(self.t, "focus lost")
        self.t += self.rng.randint(1, 30)
        self.emit(self.t, "focus gained")

    def common_event(self):
        """One event that is harmless in every state."""
        rng, t = self.rng, self.t
        r = rng.random()
        if r < 0.3:
            self.mouse(t, rng.randint(0, 639), rng.randint(0, 479))
        elif r < 0.5:
            self.click(t, rng.randint(0, 639), safe_y(rng))
        elif r < 0.6:
            self.press(t, CONTROL)
        elif r < 0.9:
            self.stick_event()
        else:
            self.focus_blink()

    def pause_interlude(self):
        """Pause, work the options of the pause menu, and resume."""
        rng = self.rng
        toggle = rng.choice(("space", "stick"))
        port = rng.choice([p for p in (0, 1) if p in self.ports] or [None])

        def toggle_pause():
            if toggle == "stick" and port is not None:
                self.stick_press(self.t, port, PAUSE_BUTTON)
            else:
                self.press(self.t, SPACE)
            self.t += 3

        toggle_pause()
        for _ in range(rng.randint(0, 4)):
            self.click(self.t, rng.randint(200, 440),
                       line_y(rng.choice(OPTION_LINES), rng))
            self.t += rng.randint(3, 20)
        toggle_pause()

    def title_stretch(self, length):
        """Random input on the title, which is certainly showing."""
        rng = self.rng
        end = self.t + length
        while self.t < end:
            r = rng.random()
            if r < 0.1:
                self.press(self.t, SPACE)  # no effect on the title
            elif r < 0.2 and self.t - self.last_stick_change > 3:
                self.click(self.t, rng.randint(200, 440),
                           line_y(LINE_VERSUS, rng))
                if len(self.ports) >= 2:
                    self.versus = not self.versus
            elif r < 0.4:
                self.click(self.t, rng.randint(200, 440),
                           line_y(rng.choice(OPTION_LINES), rng))
            else:
                self.common_event()
            if len(self.ports) < 2:
                self.versus = False
            self.t += rng.randint(1, 12)
        self.release_all()

    # -- games --------------------------------------------------------------
    def start_game(self):
        """Starts a game from the title; dumps the fresh field a frame later."""
        self.click(self.t, self.rng.randint(200, 440),
                   line_y(LINE_START, self.rng))
        self.emit(self.t + 1, "dump reset.jsonl")
        self.game_start = self.t
        self.paused = False
        self.t += 3

    def single_player(self):
        """Turns versus off on the title, if it is on."""
        if self.versus:
            self.click(self.t, 320, line_y(LINE_VERSUS, self.rng))
            self.versus = False
            self.t += 3

    def short_game(self):
        """A game started, paused and resumed or left, played at random."""
        rng = self.rng
        self.start_game()
        end = self.game_start + SURE_IN_GAME
        while self.t < end - 25:
            r = rng.random()
            if r < 0.3 and not self.paused:
                self.press(self.t, ESCAPE)  # to the pause menu
                self.paused = True
            elif r < 0.5 and self.paused:
                self.click(self.t, rng.randint(200, 440),
                           line_y(rng.choice(OPTION_LINES), rng))
            elif r < 0.6 and self.paused:
                self.click(self.t, 320, line_y(LINE_START, rng))  # resume
                self.paused = False
            elif r < 0.7:
                self.press(self.t, SPACE)
                self.paused = not self.paused
            else:
                self.common_event()
            self.t += rng.randint(3, 8)
        if rng.random() < 0.3:
            self.abandon()
            return
        if self.paused:
            self.press(self.t, SPACE)
            self.t += 3
        for _ in range(rng.randint(5, 60)):
            if rng.random() < 0.1:
                self.pause_interlude()
            else:
                self.common_event()
            self.t += rng.randint(1, 8)
        self.back_to_title()

    def abandon(self):
        """Leaves the game through the pause menu."""
        if not self.paused:
            self.press(self.t, ESCAPE)
            self.t += self.rng.randint(3, 20)
        if self.rng.random() < 0.5:
            self.press(self.t, ESCAPE)
        else:
            self.click(self.t, 320, line_y(LINE_EXIT, self.rng))  # Quit
        self.t += 3

    def sweep(self, length):
        """The player: the ship fires every frame from the bottom row, weaving
        across a narrow lane so that its shots cut a clear channel through the
        mushrooms, through which they hit the crawler on every row it runs
        across. The lane moves now and then."""
        for _ in range(length):
            if self.t % LANE_FRAMES == 0 or self.lane is None:
                self.lane = self.rng.randint(FIELD_LEFT + 15, FIELD_RIGHT - 15)
            weave = LANE_WEAVE if (self.t // 3) % 2 else -LANE_WEAVE
            # Control, not the mouse button: a field starts only once no
            # button is down or pressed, which a click each frame never allows.
            self.mouse(self.t, self.lane + weave, BOTTOM_ROW)
            self.press(self.t, CONTROL)
            self.t += 1

    def restart_if_on_title(self):
        """Starts a new game if the title shows; a game in play goes on."""
        self.click(self.t, 320, line_y(LINE_START, self.rng))
        self.press(self.t + 2, SPACE)
        self.press(self.t + 4, SPACE)
        self.t += 7

    def long_game(self, length):
        """A game for the sweeping player, with random interludes."""
        rng = self.rng
        self.single_player()
        self.start_game()
        end = self.t + length
        while self.t < end:
            self.sweep(rng.randint(400, 1500))
            r = rng.random()
            if r < 0.3:
                self.pause_interlude()
            elif r < 0.6:
                for _ in range(rng.randint(5, 30)):
                    self.common_event()
                    self.t += rng.randint(1, 6)
                self.release_all()
            elif r < 0.8:
                self.restart_if_on_title()
        self.back_to_title()

    def back_to_title(self):
        """From any state to the title, never quitting on the way.

        A click on the first menu line resumes a paused game or starts one
        from the title, and Space two frames later pauses it: in play, paused
        or on the title the game ends up paused. The game-over screen takes a
        click only after 100 frames and goes to the title, so three rounds
        110 frames apart leave the game paused; Escape then leaves it. A
        fourth round covers a Space dropped by a field starting just then.
        """
        self.release_all()
        for _ in range(4):
            self.click(self.t, 320, line_y(LINE_START, self.rng))
            self.press(self.t + 2, SPACE)
            self.t += 110
        self.press(self.t, ESCAPE)
        self.t += 3

    # -- the whole run ------------------------------------------------------
    def build(self, dump_every):
        rng = self.rng
        self.click(1, 320, 100)  # ends the opening logo
        self.t = 5
        # One to four short games, then a long one; a short run still gets to
        # the sweeping player soon.
        short_games = 1
        while self.t < self.frames:
            for _ in range(short_games):
                self.title_stretch(rng.randint(20, 300))
                self.short_game()
            self.title_stretch(rng.randint(20, 300))
            self.long_game(rng.randint(20000, 80000))
            short_games = rng.randint(1, 4)
        for tick in range(dump_every, self.frames, dump_every):
            self.emit(tick, "dump dump.jsonl")
        self.events.sort(key=lambda e: e[0])
        self.events.append((self.frames, "end"))
        return "".join(f"{tick} {text}\n" for tick, text in self.events)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("seed", type=int)
    parser.add_argument("frames", type=int)
    parser.add_argument("--dump-every", type=int, default=60)
    args = parser.parse_args()
    if args.frames < 1 or args.dump_every < 1:
        parser.error("frames and --dump-every must be positive")
    sys.stdout.write(Script(args.seed, args.frames).build(args.dump_every))


if __name__ == "__main__":
    main()
