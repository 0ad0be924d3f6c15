#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The pause menu end to end: from the main menu into free map 1, the cancel key (Escape)
# opens the pause menu over the scene, "Weiter" goes back to play, and the figure walks on.
# One run ends while the menu shows, one after the walk that follows it.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
. "$(dirname "$0")/common/menu_start.sh"

# Flips from the title picture: Return starts play; Escape is released at 93; the pause
# menu slides in and "Weiter" is clicked at 140; Right is held from 160 to 200.
cat > "$WORK/title.txt" <<'REPLAY'
5 key down 28
9 key up 28
90 key down 1
93 key up 1
135 mouse 120 90 0
140 mouse 120 90 1
143 mouse 120 90 0
160 key down 205
200 key up 205
REPLAY
kw_through_menus "$WORK/title.txt" "$WORK/replay.txt"

# run NAME FRAMES: FRAMES counted from the title picture; state in NAME.json.
run() {
  timeout 120 "$GAME" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/user-$1" \
    --frames $(($2 + KW_MENU_FRAMES)) --replay "$WORK/replay.txt" \
    --screenshot "$WORK/$1.png" --state "$WORK/$1.json" > "$WORK/$1.out" 2> "$WORK/$1.err"
  local code=$?
  [ $code -eq 0 ] || { cat "$WORK/$1.err" >&2; fail "$1: exit code $code"; }
  [ -s "$WORK/$1.json" ] || fail "$1: no state"
}

run before 85
run paused 130
run after 230
python3 - "$WORK/before.json" "$WORK/paused.json" "$WORK/after.json" <<'PY' || fail "states: $WORK"
import json, sys
before, paused, after = (json.load(open(p)) for p in sys.argv[1:])
assert before["screen"] == "play", before["screen"]
assert paused["screen"] == "pausemenu", paused["screen"]
assert after["screen"] == "play", after["screen"]
assert after["CurrentMap"] == 1 and after["GameOver"] == 0, after
# The walk after "Weiter" moved the view (posX falls as the figure goes right).
assert after["posX"] < paused["posX"] - 30, (paused["posX"], after["posX"])
PY
echo "pause menu e2e ok"
