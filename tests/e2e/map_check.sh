#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Every shipped map of the game folder passes `kwtool map check`: its start stands on
# ground, its exit can be reached, its doors have keys before them, nothing is buried,
# its tags and script cells lie inside the grid. A damaged map gives status 2.
# Called as: bash map_check.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -uo pipefail
kwtool=$2
game=$3
work=$4
rm -rf "$work"
mkdir -p "$work"

count=0
failed=0
while IFS= read -r -d '' map; do
  timeout 60 "$kwtool" map check "$map" --data "$game"
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAIL: kwtool map check $map gave status $status" >&2
    failed=1
  fi
  count=$((count + 1))
done < <(find "$game/maps" -iname '*.map' -print0)

if [ "$count" -lt 11 ]; then
  echo "FAIL: only $count maps in $game/maps" >&2
  exit 1
fi

first=$(find "$game/maps" -iname '*.map' | head -n 1)
head -c 100 "$first" > "$work/short.map"
timeout 60 "$kwtool" map check "$work/short.map" 2> "$work/short.err"
status=$?
if [ "$status" -ne 2 ] || [ "$(wc -l < "$work/short.err")" -ne 1 ]; then
  echo "FAIL: a short map gave status $status and $(wc -l < "$work/short.err") lines on stderr" >&2
  failed=1
fi
[ "$failed" -eq 0 ] || exit 1
echo "ok: $count maps pass kwtool map check"
