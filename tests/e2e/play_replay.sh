#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Recorded-input regressions of play on free map 1 with the shipped keys. Each
# play_replay/NAME.replay starts at the title picture (the menu clicks are put in front
# of it) and says in its comments how many flips it runs ("# frames N", counted from the
# title) and what its end must show ("# expect KEY=VALUE ..."):
#   walk   walks and jumps over the hills and the spike pit collecting coins, throws,
#          looks up, ducks and walks small;
#   sword  gets the sword from the pause menu's typed command and kills the bat with it;
#   throw  kills the bat with thrown axes;
#   message_line  taps Comma and Period 300 times each with the opening message
#          showing, moving the line far off both edges of the screen, and plays on.
#   pit    only holds Right: into free map 1's first spike pit and out of it alive;
#   english walks to the first coins in the English game ("# lang en"; the others play the
#          German one): the state holds the map's English start message and no text the
#          catalogue lacks ("untranslated"), the picture the English words.
# The --state a replay ends in must equal NAME.state.json key by key, and the pixels of
# its last picture must hash to NAME.screenshot.txt. A change that alters either on
# purpose updates the stored result in the same commit and says why (KW_UPDATE=1 writes
# both; the "# expect" lines are checked then too, so a re-recording cannot lose what the
# replay is for).
# Called as: bash play_replay.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
GAME=$1
GAMEDIR=$3
WORK=$4
HERE=$(cd "$(dirname "$0")" && pwd)/play_replay
COMMON=$(cd "$(dirname "$0")" && pwd)/common
rm -rf "$WORK"
mkdir -p "$WORK"
. "$COMMON/menu_start.sh"
failed=0
count=0
fail() { echo "FAIL: $name: $*" >&2; failed=1; }

# check_expect NAME STATE: every KEY=VALUE of the replay's "# expect" lines holds.
check_expect() {
  python3 - "$HERE/$1.replay" "$2" <<'PY'
import json, sys
state = json.load(open(sys.argv[2]))
bad = []
for line in open(sys.argv[1], encoding="utf-8"):
    if not line.startswith("# expect "):
        continue
    for pair in line.split()[2:]:
        key, _, want = pair.partition("=")
        if str(state.get(key)) != want:
            bad.append("%s=%s (want %s)" % (key, state.get(key), want))
if bad:
    print("expectations not met: " + ", ".join(bad), file=sys.stderr)
    sys.exit(1)
PY
}

for replay in "$HERE"/*.replay; do
  name=$(basename "$replay" .replay)
  count=$((count + 1))
  frames=$(sed -n 's/^# frames \([0-9][0-9]*\).*/\1/p' "$replay" | head -1)
  lang=$(sed -n 's/^# lang \([a-z_A-Z]*\).*/\1/p' "$replay" | head -1)
  [ -n "$frames" ] || { fail "no '# frames N' line"; continue; }
  out=$WORK/$name
  mkdir -p "$out/user"
  kw_through_menus "$replay" "$out/replay.txt"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 \
    "$GAME" --headless --lang "${lang:-de}" --seed 1 --data "$GAMEDIR" --user "$out/user" \
    --frames $((frames + KW_MENU_FRAMES)) --replay "$out/replay.txt" \
    --screenshot "$out/s.png" --state "$out/s.json" > "$out/out.txt" 2> "$out/err.txt"
  code=$?
  if [ $code -ne 0 ] || [ ! -s "$out/s.json" ] || [ ! -s "$out/s.png" ]; then
    cat "$out/err.txt" >&2
    fail "exit code $code, or no state or screenshot"
    continue
  fi
  check_expect "$name" "$out/s.json" || { fail "see above (state in $out/s.json)"; continue; }
  hash=$(python3 "$COMMON/png_hash.py" "$out/s.png") || { fail "unreadable screenshot"; continue; }
  if [ "${KW_UPDATE:-0}" = 1 ]; then
    cp "$out/s.json" "$HERE/$name.state.json"
    echo "$hash" > "$HERE/$name.screenshot.txt"
    echo "$name: stored state and screenshot hash updated"
    continue
  fi
  python3 "$COMMON/compare_state.py" "$HERE/$name.state.json" "$out/s.json" \
    || fail "state differs (got $out/s.json)"
  [ "$hash" = "$(cat "$HERE/$name.screenshot.txt")" ] \
    || fail "the last picture differs: $hash (look at $out/s.png)"
done
[ $count -gt 0 ] || { echo "FAIL: no replays stored" >&2; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "play replays ok ($count replays)"
