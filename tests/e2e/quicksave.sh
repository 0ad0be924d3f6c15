#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Quick save and quick load end to end: in free map 1 the player saves with the bound
# "Speichern" key (F5 in the shipped Setup.ini), walks right, loads with "Laden" (F9),
# and after the key-wait picture stands where he saved. Runs of the same replay end at
# different flips: right after the save, after the walk, during the key wait, after it;
# one more leaves out the load.
# Called as: bash quicksave.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
. "$(dirname "$0")/common/menu_start.sh"

# Flips: Return ends the title picture; the player lands; F5 saves at 204; Right is held
# from 220 to 320; F9 loads at 344; Q (no binding) ends the key wait at 360.
cat > "$WORK/replay.txt" <<'REPLAY'
5 key down 28
9 key up 28
200 key down 63
204 key up 63
220 key down 205
320 key up 205
340 key down 67
344 key up 67
360 key down 16
364 key up 16
REPLAY

# run NAME FRAMES [REPLAY]: a headless run through the menus in a fresh user folder,
# FRAMES counted from the title picture, state in NAME.json.
run() {
  mkdir -p "$WORK/$1"
  kw_through_menus "${3:-$WORK/replay.txt}" "$WORK/$1/replay.txt"
  timeout 120 "$GAME" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/$1/user" \
    --frames $(($2 + KW_MENU_FRAMES)) --replay "$WORK/$1/replay.txt" --state "$WORK/$1.json" \
    > "$WORK/$1/out.txt" 2> "$WORK/$1/err.txt"
  local code=$?
  [ $code -eq 0 ] || { cat "$WORK/$1/err.txt" >&2; fail "$1: exit code $code"; }
  [ -s "$WORK/$1.json" ] || fail "$1: no state"
}

run saved 210
run moved 335
run waiting 352
run loaded 420

# Without the load the player would have stayed where he walked.
grep -v ' 67$' "$WORK/replay.txt" > "$WORK/replay_noload.txt"
run noload 420 "$WORK/replay_noload.txt"

slot="$WORK/loaded/user/Saves/quick"
for f in savegame.save map.dat back.dat Format.dat; do
  [ -f "$slot/$f" ] || fail "the quick slot has no $f"
done
[ "$(stat -c %s "$slot/savegame.save")" -eq 170 ] || fail "savegame.save is not 170 bytes"

python3 - "$WORK" "$slot" <<'PY' || fail "states do not match"
import json, os, sys
work, slot = sys.argv[1], sys.argv[2]
s = {n: json.load(open(os.path.join(work, n + ".json"))) for n in
     ("saved", "moved", "waiting", "loaded", "noload")}
cells = (s["saved"]["mapWidth"] + 1) * (s["saved"]["mapHeight"] + 1)
assert os.path.getsize(os.path.join(slot, "map.dat")) == 4 * cells
assert os.path.getsize(os.path.join(slot, "back.dat")) == 2 * cells
assert s["saved"]["screen"] == "play", s["saved"]["screen"]
assert abs(s["moved"]["posX"] - s["saved"]["posX"]) > 30, (s["moved"]["posX"], s["saved"]["posX"])
assert s["waiting"]["screen"] == "loadwait", s["waiting"]["screen"]
assert s["loaded"]["screen"] == "play", s["loaded"]["screen"]
# The save holds whole pixels: the load ends within half a pixel of where it saved
# across, and within a pixel up and down (the standing figure settles by a step).
for key, near in (("posX", 0.5), ("posY", 1.0)):
    assert abs(s["loaded"][key] - s["saved"][key]) <= near, (key, s["loaded"][key], s["saved"][key])
for key in ("CurrentMap", "pixelY", "score", "hasSword", "facing", "mapWidth", "mapHeight"):
    assert s["loaded"][key] == s["saved"][key], (key, s["loaded"][key], s["saved"][key])
assert abs(s["noload"]["posX"] - s["saved"]["posX"]) > 30, s["noload"]["posX"]
PY
echo "quicksave e2e ok"
