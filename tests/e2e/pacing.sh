#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The game's pace on displays of the common refresh rates. --vblank makes the virtual
# clock wait as a display of that rate would, with vsync where the game turns it on.
# The walk replay of play_replay (input by flip; the flips stay one to one with world
# steps at every rate, so it is the same input in game time) must run at 60 +- 1 world
# steps per second of the game's clock and end in the same state as at 60 Hz, also with
# vsync forced on at 144 Hz (vsync=on in Fenster.ini), where a flip once waited for its
# slot and then for the blank and lost two steps in five. Vsync forced on a 50 Hz
# display holds the game to 50 steps: that run must fail the check, so the check can fail.
# Called as: bash pacing.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
GAME=$1
GAMEDIR=$3
WORK=$4
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common/menu_start.sh"
rm -rf "$WORK"
mkdir -p "$WORK"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
REPLAY=$HERE/play_replay/walk.replay
FRAMES=$(sed -n 's/^# frames \([0-9][0-9]*\).*/\1/p' "$REPLAY" | head -1)
kw_through_menus "$REPLAY" "$WORK/walk.txt"

# run NAME HZ FRAMES [VSYNC]: the replay on a display of HZ; the state in $WORK/NAME.json.
run() {
  local dir=$WORK/$1
  mkdir -p "$dir/user"
  [ -z "${4:-}" ] || printf 'vsync=%s\n' "$4" > "$dir/user/Fenster.ini"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 "$GAME" --headless --seed 1 \
    --data "$GAMEDIR" --user "$dir/user" --vblank "$2" --frames $(($3 + KW_MENU_FRAMES)) \
    --replay "$WORK/walk.txt" --state "$WORK/$1.json" > "$dir/out.txt" 2>&1
  local code=$?
  [ $code -eq 0 ] && [ -s "$WORK/$1.json" ] && return 0
  cat "$dir/out.txt" >&2
  fail "$1: exit code $code, or no state"
  return 1
}

# pace NAME [SAME_AS]: world steps a second of play within 60 +- 1, and with SAME_AS the
# same end state but for the clock's readings. Prints the figures; exit 1 when off.
pace() {
  python3 - "$WORK/$1.json" ${2:+"$WORK/$2.json"} <<'PY'
import json, sys
got = json.load(open(sys.argv[1]))
seconds = (got["ClockMs"] - got["MapStartTime"]) / 1000
rate = got["WorldSteps"] / seconds if seconds > 0 else 0
print("%s: %d steps, %d flips, %.2f steps a second, screen %s" % (
    sys.argv[1].rsplit("/", 1)[-1], got["WorldSteps"], got["FlipCount"], rate, got["screen"]))
bad = []
if got["screen"] != "play":
    bad.append("screen %s, not play" % got["screen"])
if abs(rate - 60) > 1:
    bad.append("%.2f world steps a second" % rate)
if len(sys.argv) > 2:
    want = json.load(open(sys.argv[2]))
    for key in sorted(set(want) - {"ClockMs", "MapStartTime"}):
        if got.get(key) != want[key]:
            bad.append("%s: %r instead of %r" % (key, got.get(key), want[key]))
for line in bad:
    print("  " + line, file=sys.stderr)
sys.exit(1 if bad else 0)
PY
}

run hz60 60 "$FRAMES" && { pace hz60 || fail "60 Hz is off its pace"; }
for hz in 59.94 75 100 120 144 165 240; do
  run "hz$hz" "$hz" "$FRAMES" || continue
  pace "hz$hz" hz60 || fail "$hz Hz: not the pace or not the end of 60 Hz"
done
run vsync144 144 "$FRAMES" on && { pace vsync144 hz60 || fail "vsync forced on at 144 Hz: not the pace"; }

# Measured before the slowed figure dies in the spike pit (which would end play).
if run vsync50 50 200 on; then
  pace vsync50 2> "$WORK/vsync50.err" && fail "a 50 Hz display with vsync kept 60 steps: the check cannot fail"
fi

[ $failed -eq 0 ] || exit 1
echo "pacing ok"
