#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Decompiles and recompiles every shipped map of the game folder with kwtool and
# compares the bytes; also checks that "map info" reads each one and that a short file
# is refused.
# Called as: bash maps_roundtrip.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -euo pipefail
kwtool=$2
game=$3
work=$4
rm -rf "$work"
mkdir -p "$work"

count=0
while IFS= read -r -d '' map; do
  name=$(echo "${map#"$game"/}" | tr '/' '_')
  "$kwtool" map decompile "$map" "$work/$name.kwm"
  "$kwtool" map compile "$work/$name.kwm" "$work/$name"
  if ! cmp -s "$map" "$work/$name"; then
    echo "FAIL: $map changes in the round trip" >&2
    exit 1
  fi
  "$kwtool" map info "$map" | grep -q '^cells: ' || { echo "FAIL: map info $map" >&2; exit 1; }
  count=$((count + 1))
done < <(find "$game/maps" -iname '*.map' -print0)

if [ "$count" -lt 11 ]; then
  echo "FAIL: only $count maps in $game/maps" >&2
  exit 1
fi

# A map file cut short is not a map file.
first=$(find "$game/maps" -iname '*.map' | head -n 1)
head -c 100 "$first" > "$work/short.map"
if "$kwtool" map decompile "$work/short.map" "$work/short.kwm" 2>/dev/null; then
  echo "FAIL: a short file decompiled" >&2
  exit 1
fi
echo "ok: $count maps round-trip"
