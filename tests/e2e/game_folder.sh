#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The generated game folder as kwtool sees it: every pack with its entry count, every
# packed entry's checksum good, the loose pictures, the ini files and the maps of each mode.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
kwtool=$2 gamedir=$3
fail() { echo "FAIL: $*"; exit 1; }

count() { "$kwtool" pak list "$gamedir/paks/$1" | wc -l; }
expect() {
  local n; n=$(count "$1") || fail "kwtool pak list $1"
  [ "$n" -eq "$2" ] || fail "$1 has $n entries, expected $2"
}
expect objects.pak 48
expect Menu.pak 16
expect Interface.pak 3
expect Inventar.pak 8
expect sounds.pak 22
expect Tiles.pak 17
expect Lights.pak 23
expect cutscenes.pak 6
[ "$(count Backgrounds.pak)" -ge 5 ] || fail "Backgrounds.pak needs one picture per tile set"
for p in "$gamedir"/paks/*.pak; do
  "$kwtool" pak list "$p" | grep -q "checksum bad" && fail "$p has an entry with a bad checksum"
done
for f in paks/npf/player+k.png paks/npf/gegner_g0.png paks/npf/gegner_g1.png paks/npf/gegner_g2.png \
         Gegner.ini Setup.ini cutscenes.ini; do
  [ -s "$gamedir/$f" ] || fail "missing $f"
done
free=$(ls "$gamedir"/maps/map*.map | wc -l)
story=$(ls "$gamedir"/maps/Story/map*.map | wc -l)
tm=$(ls "$gamedir"/maps/TimeMatch/map*.map | wc -l)
[ "$free" -ge 4 ] && [ "$story" -ge 5 ] && [ "$tm" -ge 2 ] || fail "maps: $free free, $story story, $tm time match"
for m in "$gamedir"/maps/map*.map "$gamedir"/maps/*/map*.map; do
  stem=${m%.map}
  [ -s "${stem}_Script.ssc" ] && [ -s "${stem}_Script_Map.dat" ] || fail "$m lacks its script or tag grid"
done
echo "game folder ok"
