#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Damaged game files never crash the game: maps, packs and ini files with flipped bytes,
# cut short or with garbage headers either load (exit 0 after the frames) or end with the
# loader's message (exit 1); nothing else, and no sanitizer report in the sanitizer build.
# Every run has a time limit: a stall is a failure, not a pass.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
export LANGUAGE=de  # the German game, whatever the locale: its texts are what is checked
game=$1 gamedir=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }
# Through the menus with the mouse ("Start", "Free Game", "Leicht"), then a key ends the
# title picture, so the damaged map and its script are loaded and played.
printf '%s\n' '35 mouse 120 90 0' '38 mouse 120 90 1' '40 mouse 120 90 0' \
  '45 mouse 265 170 1' '47 mouse 265 170 0' '52 mouse 240 170 1' '54 mouse 240 170 0' \
  '60 key down 57' '63 key up 57' > "$work/keys.txt"

# damage FILE MODE SEED: flip bytes, cut the file short, or scramble its start.
damage() {
  python3 - "$1" "$2" "$3" <<'PY'
import random, sys
path, mode, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
rng = random.Random(seed)
data = bytearray(open(path, 'rb').read())
if mode == 'flip':
    for _ in range(40):
        k = rng.randrange(len(data)); data[k] = rng.randrange(256)
elif mode == 'cut':
    data = data[:rng.randrange(max(1, len(data)))]
else:
    for k in range(min(len(data), 80)):
        if rng.random() < 0.4: data[k] = rng.randrange(256)
open(path, 'wb').write(data)
PY
}

n=0
for target in maps/map1.map maps/map1_Script_Map.dat paks/objects.pak paks/Tiles.pak \
              paks/sounds.pak paks/Lights.pak paks/Backgrounds.pak Gegner.ini Setup.ini; do
  for mode in flip cut head; do
    n=$((n + 1))
    rm -rf "$work/game" "$work/user"
    cp -r "$gamedir" "$work/game"
    damage "$work/game/$target" "$mode" "$n" || fail "could not damage $target"
    ASAN_OPTIONS=detect_leaks=0 timeout -k 5 120 "$game" --headless --data "$work/game" --user "$work/user" \
      --frames 90 --replay "$work/keys.txt" > "$work/out.txt" 2> "$work/err.txt"
    rc=$?
    if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
      fail "$target ($mode) did not end within its time limit"
    fi
    if [ $rc -ne 0 ] && [ $rc -ne 1 ]; then
      tail -20 "$work/err.txt"; fail "$target ($mode) ended with $rc"
    fi
    if grep -q -E "Sanitizer|runtime error" "$work/err.txt"; then
      tail -30 "$work/err.txt"; fail "$target ($mode): sanitizer report"
    fi
  done
done
echo "damaged data: $n runs, no crash"
