#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Recorded playthroughs: every replay in playthroughs/ starts at the title, goes through
# the real menus and plays maps to their exits. Each NAME.replay says in a line
# "# frames N" how many flips it runs; the --state it ends in must equal
# NAME.state.json key by key. A replay that no longer reaches the same end means a map
# or the game's rules changed: re-record it on purpose (tools/kwplay finds one) and run
# with KW_UPDATE=1 to store the new state. A replay with a line "# story-progress N"
# starts from a saved story: Saves/Story.save holds N before the game starts, so its
# clicks on "Story fortsetzen" go straight to story map N. KW_PLAYTHROUGHS="NAME ..."
# runs only those (the sanitizer build leaves out the replays that begin a longer one).
# They play the German game (--lang de), whose texts the stored states hold.
# Called as: bash playthroughs.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
GAME=$1
GAMEDIR=$3
WORK=$4
HERE=$(cd "$(dirname "$0")" && pwd)/playthroughs
rm -rf "$WORK"
mkdir -p "$WORK"
failed=0
count=0
for replay in "$HERE"/*.replay; do
  name=$(basename "$replay" .replay)
  if [ -n "${KW_PLAYTHROUGHS:-}" ] && [[ " $KW_PLAYTHROUGHS " != *" $name "* ]]; then
    continue
  fi
  frames=$(sed -n 's/^# frames \([0-9][0-9]*\).*/\1/p' "$replay" | head -1)
  if [ -z "$frames" ]; then
    echo "FAIL: $name: no '# frames N' line" >&2
    failed=1
    continue
  fi
  mkdir -p "$WORK/$name/user"
  progress=$(sed -n 's/^# story-progress \([0-9][0-9]*\).*/\1/p' "$replay" | head -1)
  if [ -n "$progress" ]; then
    mkdir -p "$WORK/$name/user/Saves"
    printf '%s' "$progress" > "$WORK/$name/user/Saves/Story.save"
  fi
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 300 \
    "$GAME" --headless --lang de --seed 1 --data "$GAMEDIR" --user "$WORK/$name/user" --frames "$frames" \
    --replay "$replay" --screenshot "$WORK/$name/end.png" --state "$WORK/$name/end.json" \
    > "$WORK/$name/out.txt" 2> "$WORK/$name/err.txt"
  code=$?
  count=$((count + 1))
  if [ $code -ne 0 ] || [ ! -s "$WORK/$name/end.json" ]; then
    echo "FAIL: $name: exit code $code" >&2
    cat "$WORK/$name/err.txt" >&2
    failed=1
    continue
  fi
  if [ "${KW_UPDATE:-0}" = 1 ]; then
    cp "$WORK/$name/end.json" "$HERE/$name.state.json"
    echo "$name: stored state updated"
    continue
  fi
  python3 "$(dirname "$0")/common/compare_state.py" "$HERE/$name.state.json" "$WORK/$name/end.json" || { echo "FAIL: $name: state differs (got $WORK/$name/end.json)" >&2; failed=1; }
done
[ $count -gt 0 ] || { echo "FAIL: no playthroughs stored" >&2; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "playthroughs ok ($count replays)"
