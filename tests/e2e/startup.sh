#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Start-up end to end: the headless game loads the catalogue, the mouse goes through the
# main menu ("Start") and the new-game questions ("Free Game", "Leicht") to free map 1,
# the title spins until a key is pressed, and play runs to the frame limit. Then a run without a game folder must say so clearly.
# Called as: bash startup.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
mkdir -p "$WORK/user"

cat > "$WORK/replay.txt" <<'REPLAY'
# "Start" once the menu panel has slid in, "Free Game", "Leicht".
35 mouse 120 90 0
38 mouse 120 90 1
40 mouse 120 90 0
45 mouse 265 170 1
47 mouse 265 170 0
52 mouse 240 170 1
54 mouse 240 170 0
# Return pressed while the title picture spins, released a few frames later.
60 key down 28
64 key up 28
REPLAY

timeout 120 "$GAME" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/user" --frames 600 \
  --replay "$WORK/replay.txt" --screenshot "$WORK/s.png" --state "$WORK/s.json" \
  > "$WORK/out.txt" 2> "$WORK/err.txt"
code=$?
[ $code -eq 0 ] || { cat "$WORK/err.txt" >&2; fail "exit code $code"; }
[ -s "$WORK/s.png" ] || fail "no screenshot"
[ -s "$WORK/s.json" ] || fail "no state"
python3 - "$WORK/s.json" <<'PY' || fail "state: $(cat "$WORK/s.json")"
import json, sys
s = json.load(open(sys.argv[1]))
assert s["screen"] == "play", s["screen"]
assert s["CurrentMap"] == 1, s["CurrentMap"]
assert s["mapWidth"] > 0 and s["mapHeight"] > 0, (s["mapWidth"], s["mapHeight"])
assert s["LoadProgress"] == 10
assert s["FlipCount"] == 600, s["FlipCount"]
assert s["GameOver"] == 0
assert s["MaxHealth"] == 400, s["MaxHealth"]
PY

# Without a game folder: a clear message and a non-zero exit.
timeout 120 "$GAME" --headless --data "$WORK/nowhere" --user "$WORK/user" --frames 10 \
  > "$WORK/out2.txt" 2> "$WORK/err2.txt"
code=$?
[ $code -ne 0 ] || fail "missing game folder gave exit code 0"
grep -q "no game folder found" "$WORK/err2.txt" || fail "no clear message: $(cat "$WORK/err2.txt")"
echo "startup e2e ok"
