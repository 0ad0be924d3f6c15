#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The soak: a long headless run through the real menus into free map 1, then cycles of
# walking, jumping, quick save, quick load, the key wait and the pause menu, with the
# game's resident memory sampled from /proc while it runs. It must end cleanly, and the
# memory must not grow more than 5 MB after the map has loaded.
# KW_SOAK_FRAMES sets the length (the suite runs 4000 frames; the full soak is
#   KW_SOAK_FRAMES=100000 bash tests/e2e/soak.sh build/klingenwald build/kwtool build/game /tmp/soak).
# Called as: bash soak.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
FRAMES=${KW_SOAK_FRAMES:-4000}
LIMIT_KB=$((5 * 1024))
. "$(dirname "$0")/common/menu_start.sh"

# Return ends the title picture; then one 400-frame cycle after another near the map's
# start: F5 (quick save), right with two jumps, back left as far, F9 (quick load), Q
# ends the key wait; every third cycle Escape opens the pause menu and "Weiter" (where
# "Start" is on the title menu) goes back to play.
{
  echo "5 key down 28"
  echo "9 key up 28"
  cycle=0
  for ((start = 100; start + 400 < FRAMES; start += 400)); do
    echo "$((start)) key down 63"
    echo "$((start + 4)) key up 63"
    echo "$((start + 20)) key down 205"
    echo "$((start + 30)) key down 57"
    echo "$((start + 34)) key up 57"
    echo "$((start + 60)) key down 57"
    echo "$((start + 64)) key up 57"
    echo "$((start + 80)) key up 205"
    echo "$((start + 100)) key down 203"
    echo "$((start + 160)) key up 203"
    echo "$((start + 200)) key down 67"
    echo "$((start + 204)) key up 67"
    echo "$((start + 220)) key down 16"
    echo "$((start + 224)) key up 16"
    if ((cycle % 3 == 2)); then
      echo "$((start + 300)) key down 1"
      echo "$((start + 304)) key up 1"
      echo "$((start + 340)) mouse 120 90 0"
      echo "$((start + 343)) mouse 120 90 1"
      echo "$((start + 345)) mouse 120 90 0"
    fi
    cycle=$((cycle + 1))
  done
} > "$WORK/cycles.txt"
kw_through_menus "$WORK/cycles.txt" "$WORK/replay.txt"

# Under AddressSanitizer freed memory waits in a quarantine of 256 MB before it is used
# again, so the resident size climbs for as long as the quarantine fills: a small one lets
# the samples show the game's own growth. (The normal build ignores the variable.)
ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}quarantine_size_mb=16" \
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 600 "$GAME" --headless --seed 1 \
  --data "$GAMEDIR" --user "$WORK/user" --frames $((FRAMES + KW_MENU_FRAMES)) \
  --replay "$WORK/replay.txt" --state "$WORK/state.json" > "$WORK/out.txt" 2> "$WORK/err.txt" &
pid=$!
# The game is timeout's child: its memory is what is sampled, in kB every 50 ms.
game=""
while kill -0 "$pid" 2> /dev/null; do
  [ -n "$game" ] || game=$(cat "/proc/$pid/task/$pid/children" 2> /dev/null | awk '{ print $1 }')
  [ -n "$game" ] && awk '/^VmRSS:/ { print $2 }' "/proc/$game/status" 2> /dev/null >> "$WORK/rss.txt"
  sleep 0.05
done
wait "$pid"
code=$?
[ $code -eq 0 ] || { cat "$WORK/err.txt" >&2; fail "exit code $code"; }
[ -s "$WORK/state.json" ] || fail "no state written"

# The menus and the map load fall in the first half of the run: the second half may not
# reach more than 5 MB above the first half's highest sample.
python3 - "$WORK/rss.txt" "$LIMIT_KB" <<'PY' || fail "memory grew"
import sys
samples = [int(v) for v in open(sys.argv[1]).read().split() if v.isdigit()]
limit = int(sys.argv[2])
if len(samples) < 8:
    print(f"soak: only {len(samples)} memory samples, too few to judge growth")
    sys.exit(0)
half = len(samples) // 2
base, top = max(samples[:half]), max(samples[half:])
print(f"soak: {len(samples)} samples, {base} kB at most in the first half, {top} kB at most "
      f"in the second, {samples[-1]} kB at the end")
sys.exit(0 if top - base <= limit else 1)
PY
echo "soak: ok ($FRAMES frames)"
