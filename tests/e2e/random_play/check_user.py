#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Checks user folders after runs: no temporary file left behind, and every file the
# game writes whole and readable (settings files line by line, the highscore list's
# twelve lines, the story progress a number, each quick-save slot with all four files
# and sizes that agree with its Format.dat). Prints one line per fault; exit status 1
# when there is one.
# Usage: check_user.py USERDIR...
import os
import re
import sys

faults = []


def fault(path, why):
    faults.append(f"{path}: {why}")


def lines_of(data):
    text = data.decode("latin-1")
    return text.replace("\r\n", "\n").split("\n")


def check_settings(path, data, comment):
    """key=value lines (and comments); the last line ends with a line break."""
    if data and not data.endswith(b"\n"):
        fault(path, "cut short (no line break at the end)")
    for line in lines_of(data)[:-1]:
        if line and not line.startswith(comment) and not re.fullmatch(r"[^=]+=.*", line):
            fault(path, f"not a setting: {line!r}")


def check_highscores(path, data):
    lines = lines_of(data)
    if len(lines) != 13 or lines[-1] != "":
        fault(path, f"{len(lines) - 1} lines instead of 12")
        return
    for score in lines[0:12:2]:
        if not re.fullmatch(r"-?\d+", score):
            fault(path, f"score {score!r} is no number")


def check_slot(folder):
    names = ["map.dat", "back.dat", "Format.dat", "savegame.save"]
    present = [n for n in names if os.path.isfile(os.path.join(folder, n))]
    if not present:
        return
    if len(present) != 4:
        fault(folder, f"only {', '.join(present)} of the four files")
        return
    data = {n: open(os.path.join(folder, n), "rb").read() for n in names}
    # Six numbers, and the game mode on a seventh line (slots from before it have none).
    fmt = lines_of(data["Format.dat"])
    numbers = all(re.fullmatch(r"-?\d+", v) for v in fmt[:-1])
    if len(fmt) not in (7, 8) or fmt[-1] != "" or not numbers:
        fault(folder, f"Format.dat is not six or seven numbers: {fmt!r}")
        return
    cells = (int(fmt[0]) + 1) * (int(fmt[1]) + 1)
    if len(data["map.dat"]) != 4 * cells:
        fault(folder, f"map.dat has {len(data['map.dat'])} bytes, not {4 * cells}")
    if len(data["back.dat"]) != 2 * cells:
        fault(folder, f"back.dat has {len(data['back.dat'])} bytes, not {2 * cells}")
    record = len(data["savegame.save"])
    if record < 4 or record % 2:
        fault(folder, f"savegame.save has {record} bytes")


def check_folder(user):
    record_sizes = set()
    for root, _, files in os.walk(user):
        for name in files:
            path = os.path.join(root, name)
            if ".kwtmp" in name or name.endswith(".new"):
                fault(path, "temporary file left behind")
                continue
            data = open(path, "rb").read()
            lower = name.lower()
            if lower in ("setup.ini", "fenster.ini", "gamepad.ini"):
                check_settings(path, data, ";")
            elif lower == "savescore.save":
                check_highscores(path, data)
            elif lower == "story.save" and not re.fullmatch(rb"-?\d+", data):
                fault(path, f"not a number: {data[:40]!r}")
            elif lower == "savegame.save":
                record_sizes.add(len(data))
        check_slot(root)  # the slots and Temp\'s working copies
    if len(record_sizes) > 1:
        fault(user, f"savegame.save files of different sizes: {sorted(record_sizes)}")


def main():
    for user in sys.argv[1:]:
        check_folder(user)
    for line in faults:
        print(line)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
