#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Writes a replay of seeded random input for the random-play soak. The first flips
# click through the real menus into the chosen mode and difficulty and end the title
# picture; from there on the input is random: every bound key held or tapped, Escape,
# F5/F9/F12, P, Return, digits, typed menu commands, mouse moves and clicks anywhere
# (also just outside the picture) and pad inputs. Pauses and the pause menu are mostly
# left again by a later P or a click on "Weiter", and every so often the clicks that
# leave the other screens ("Abbruch" of the options, the highscore's way back, "Nein"
# of the quit question) and the menu clicks of the chosen mode come again, so a run that
# wandered off into a menu or ended its game goes back to play or starts another game
# of its mode; in play those clicks change nothing.
# Seed S plays mode S mod 3 (the free game, the story, the time match) on difficulty
# S / 3 mod 3 ("Leicht", "Mittel", "Schwer"), in German or English by S / 9 mod 2 (the
# "# lang" line; the menus' buttons stand where they stand in either).
# Usage: generate.py --frames N SEED            (the replay on standard output)
#        generate.py --frames N --out DIR SEED...  (DIR/seedS.replay for each seed)
import argparse
import os
import random
import sys

MODE_X = {"free": 265, "story": 345, "time": 426}
DIFFICULTY_X = [240, 340, 440]

# DirectInput codes of the default Setup.ini's keys and of the fixed keys.
LEFT, RIGHT, UP, DOWN, SPACE = 203, 205, 200, 208, 57
SWORD, THROW, SPELLS = 45, 46, (30, 31, 32, 33)
RETURN, ESCAPE, PAUSE, F5, F9, F12 = 28, 1, 25, 63, 67, 88
COMMA, PERIOD, PAGE_UP, PAGE_DOWN, FIVE, SMALL_MAP = 51, 52, 201, 209, 6, 37
DIGITS = tuple(range(2, 12))  # 1..9, 0
BACKSPACE, LEFT_ALT = 14, 56

# The pad inputs a replay can press, by their names in Gamepad.ini.
PAD_INPUTS = ("a", "b", "x", "y", "back", "start", "leftshoulder", "rightshoulder",
              "lefttrigger", "righttrigger", "dpup", "dpdown", "dpleft", "dpright",
              "leftstick", "rightstick", "guide", "-righty", "+righty", "-rightx", "+rightx")

# The menus' typed commands (typed in the main or pause menu, Return applies them).
TYPED = ("hand-out", "pilo", "fein", "Stahl_Kante", "etage-{n}", "{word}")


class Replay:
    def __init__(self):
        self.events = []

    def add(self, frame, text):
        self.events.append((frame, text))

    def key(self, frame, code, hold):
        self.add(frame, f"key down {code}")
        self.add(frame + hold, f"key up {code}")

    def click(self, frame, x, y):
        self.add(frame, f"mouse {x} {y} 0")
        self.add(frame + 2, f"mouse {x} {y} 1")
        self.add(frame + 4, f"mouse {x} {y} 0")

    def lines(self):
        # Events of one flip keep the order they were made in.
        ordered = sorted(enumerate(self.events), key=lambda e: (e[1][0], e[0]))
        return [f"{frame} {text}" for _, (frame, text) in ordered]


def menu_entry(r, start, mode, difficulty):
    """"Start" once the menu has slid in, the mode, the difficulty, Return at the title."""
    r.click(start, 120, 90)
    r.add(start + 10, f"mouse {MODE_X[mode]} 170 1")
    r.add(start + 12, f"mouse {MODE_X[mode]} 170 0")
    r.add(start + 17, f"mouse {DIFFICULTY_X[difficulty]} 170 1")
    r.add(start + 19, f"mouse {DIFFICULTY_X[difficulty]} 170 0")
    r.key(start + 27, RETURN, 3)


def back_to_play(r, start, mode, difficulty):
    """Leaves the options, the highscore list and the quit question, ends a name entry,
    then clicks "Weiter" (or "Start" and a new game of the mode)."""
    r.click(start, 360, 410)
    r.click(start + 8, 60, 440)
    r.click(start + 16, 380, 205)
    r.key(start + 24, RETURN, 2)
    menu_entry(r, start + 40, mode, difficulty)


def random_action(r, rng, t):
    """One random input at flip t; returns the flips it keeps the player busy."""
    kind = rng.choices(
        ["walk", "jump", "look", "strike", "spell", "trade", "small map", "return",
         "message line", "page", "digit", "pause", "escape", "save", "load", "restart",
         "mouse", "click", "pad", "typed", "backspace", "any key", "full screen", "map jump"],
        weights=[22, 12, 6, 8, 7, 2, 2, 5, 3, 2, 3, 2, 2, 2, 2, 1, 3, 3, 7, 1, 1, 1, 0.3, 0.7])[0]
    if kind == "walk":
        r.key(t, rng.choice((LEFT, RIGHT)), rng.randint(5, 150))
    elif kind == "jump":
        r.key(t, SPACE, rng.randint(1, 25))
    elif kind == "look":
        r.key(t, rng.choice((UP, DOWN)), rng.randint(3, 80))
    elif kind == "strike":
        r.key(t, rng.choice((SWORD, THROW)), rng.randint(1, 12))
    elif kind == "spell":
        r.key(t, rng.choice(SPELLS), rng.randint(1, 30))
    elif kind == "trade":
        r.key(t, FIVE, rng.randint(10, 120))
    elif kind == "small map":
        r.key(t, SMALL_MAP, rng.randint(2, 60))
    elif kind == "return":
        r.key(t, RETURN, rng.randint(1, 10))
    elif kind == "message line":
        r.key(t, rng.choice((COMMA, PERIOD)), rng.randint(1, 40))
    elif kind == "page":
        r.key(t, rng.choice((PAGE_UP, PAGE_DOWN)), rng.randint(2, 60))
    elif kind == "digit":
        r.key(t, rng.choice(DIGITS[:3] * 3 + DIGITS), rng.randint(1, 6))
    elif kind == "pause":
        r.key(t, PAUSE, 2)
        if rng.random() < 0.9:  # mostly paused for a while only
            r.key(t + rng.randint(8, 200), PAUSE, 2)
    elif kind == "escape":
        r.key(t, ESCAPE, 2)
        if rng.random() < 0.85:  # mostly back to play through "Weiter"
            r.click(t + rng.randint(40, 120), 120, 90)
    elif kind == "save":
        r.key(t, F5, rng.randint(1, 5))
    elif kind == "load":
        r.key(t, F9, rng.randint(1, 5))
        r.key(t + rng.randint(10, 60), rng.choice((RETURN, SPACE, LEFT)), 2)  # the key wait
    elif kind == "restart":
        r.key(t, F12, rng.randint(1, 5))
    elif kind == "mouse":
        r.add(t, f"mouse {rng.randint(-20, 660)} {rng.randint(-20, 500)} {rng.randint(0, 1)}")
    elif kind == "click":
        r.click(t, rng.randint(-20, 660), rng.randint(-20, 500))
    elif kind == "pad":
        name = rng.choice(PAD_INPUTS)
        r.add(t, f"pad down {name}")
        r.add(t + rng.randint(1, 60), f"pad up {name}")
    elif kind == "typed":
        n = rng.choice((-1, 0, 1, 2, 3, 4, 5, 6, 99, 65536, -2147483648, 2147483647))
        word = "".join(rng.choice("abcxyzäöü _-^1") for _ in range(rng.randint(1, 25)))
        r.add(t, "text " + rng.choice(TYPED).format(n=n, word=word))
        if rng.random() < 0.7:
            r.key(t + rng.randint(1, 10), RETURN, 2)
    elif kind == "backspace":
        r.key(t, BACKSPACE, rng.randint(1, 5))
    elif kind == "any key":
        r.key(t, rng.randint(1, 221), rng.randint(1, 30))
    elif kind == "map jump":
        # The pause menu's map command, "Weiter", and a restart, which loads that map.
        r.key(t, ESCAPE, 2)
        r.add(t + 40, f"text etage-{rng.randint(0, 7)}")
        r.key(t + 42, RETURN, 2)
        r.click(t + 50, 120, 90)
        r.key(t + 70, F12, 2)
        r.key(t + 100, RETURN, 3)
        return 110
    elif kind == "full screen":
        r.add(t, f"key down {LEFT_ALT}")
        r.key(t + 1, RETURN, 2)
        r.add(t + 4, f"key up {LEFT_ALT}")
    return rng.randint(1, 14)


def generate(seed, mode, difficulty, language, frames):
    rng = random.Random(f"{seed}/{mode}/{difficulty}")
    r = Replay()
    menu_entry(r, 35, mode, difficulty)
    t = 75
    next_entry = t + rng.randint(500, 1000)
    while t < frames:
        if t >= next_entry:
            back_to_play(r, t, mode, difficulty)
            t += 80
            next_entry = t + rng.randint(500, 1000)
            continue
        t += random_action(r, rng, t)
    return [f"# random play: seed {seed}, mode {mode}, difficulty {difficulty}, language {language}",
            f"# frames {frames}", f"# lang {language}"] + r.lines()


MODES = ("free", "story", "time")
LANGUAGES = ("de", "en")


def mode_of(seed):
    return MODES[seed % 3], seed // 3 % 3, LANGUAGES[seed // 9 % 2]


def main():
    ap = argparse.ArgumentParser(description="random input for the random-play soak")
    ap.add_argument("--frames", type=int, required=True)
    ap.add_argument("--out", help="folder for seedS.replay files")
    ap.add_argument("seeds", type=int, nargs="+")
    a = ap.parse_args()
    for seed in a.seeds:
        text = "\n".join(generate(seed, *mode_of(seed), a.frames)) + "\n"
        if a.out:
            with open(os.path.join(a.out, f"seed{seed}.replay"), "w", encoding="utf-8") as f:
                f.write(text)
        else:
            sys.stdout.write(text)


if __name__ == "__main__":
    main()
