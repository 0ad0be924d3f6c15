#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Writes docs/screenshots/: one play screenshot of every tile set, taken headless along the
# recorded playthroughs in tests/e2e/playthroughs (the same replays, seed and frames give
# the same pictures on any machine). Each shot is the last picture of a run that stops at
# a chosen flip; a run that does not end in play (a map changed and its replay with it)
# fails instead of writing a picture of a menu. After a map or its replay changed, pick a
# new flip by looking at a few (--frames N --screenshot) and change the table below.
# Usage: tools/scripts/screenshots.sh [BUILD_DIR [OUT_DIR]]   (default: build, docs/screenshots)
set -u
TOP=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$TOP/build}
OUT=${2:-$TOP/docs/screenshots}
GAME=$BUILD/klingenwald
DATA=$BUILD/game
REPLAYS=$TOP/tests/e2e/playthroughs
[ -x "$GAME" ] && [ -d "$DATA/paks" ] || { echo "screenshots: build first ($GAME, $DATA)" >&2; exit 1; }
mkdir -p "$OUT"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# file name               replay     flip  what it shows
SHOTS="
forest.png                free1      170   free map 1: a jump over the spike pit, its coins, a tree
rainforest.png            story1     170   story map 1 in the rain: firs, a tree, the spike pit
caves.png                 free2      900   free map 2: dripstones, deep rock, a golem, a fire pit
frozen_pass.png           story4     2550  story map 4: snow firs, ice rock, a bat, a spike pit
castle.png                story3     1900  story map 3: masonry, windows onto the night, a golem
dark_tower.png            story5     3100  story map 5: the tower at night, its fire pit
"

failed=0
while read -r name replay flip _; do
  [ -n "$name" ] || continue
  user=$WORK/user-$name
  mkdir -p "$user"
  progress=$(sed -n 's/^# story-progress \([0-9][0-9]*\).*/\1/p' "$REPLAYS/$replay.replay" | head -1)
  if [ -n "$progress" ]; then
    mkdir -p "$user/Saves"
    printf '%s' "$progress" > "$user/Saves/Story.save"
  fi
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 \
    "$GAME" --headless --lang de --seed 1 --data "$DATA" --user "$user" --frames "$flip" \
    --replay "$REPLAYS/$replay.replay" --screenshot "$WORK/$name" --state "$WORK/$name.json" \
    > /dev/null 2>&1
  code=$?
  if [ $code -ne 0 ] || ! grep -q '"screen": *"play"' "$WORK/$name.json" 2>/dev/null; then
    echo "screenshots: $name: $replay at flip $flip is not in play (exit $code)" >&2
    failed=1
    continue
  fi
  cp "$WORK/$name" "$OUT/$name" && echo "$OUT/$name" || failed=1
done <<< "$SHOTS"
exit $failed
