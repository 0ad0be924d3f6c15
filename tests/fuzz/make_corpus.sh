#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Seed corpora for the fuzz harnesses, made from a game folder: the shipped packs, their
# pictures and sounds, maps, scripts with their tag grids, Setup.ini and cutscenes.ini,
# and a quick-save slot, Savescore.save and Story.save written by a headless game run.
# Called as: bash make_corpus.sh <gamedir> <kwtool> <klingenwald> <outdir> [harness...]
# (no harness names: all of them). Each harness gets <outdir>/<name>/.
set -u
GAMEDIR=$1
KWTOOL=$2
GAME=$3
OUT=$4
shift 4
HARNESSES=${*:-pack picture sound map script settings save}
HERE=$(cd "$(dirname "$0")" && pwd)
MARK=$'\n--kw-part--\n'
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -d "$GAMEDIR/paks" ] || fail "$GAMEDIR is no game folder"

# The packs, each cut to its first 256 KB (a prefix of a pack is a pack).
corpus_pack() {
  for p in "$GAMEDIR"/paks/*.pak; do head -c 262144 "$p" > "$1/$(basename "$p")"; done
}

# Every pack's entries, extracted once and shared by the picture and sound corpora.
extracted() {
  if [ ! -d "$OUT/.entries" ]; then
    for p in "$GAMEDIR"/paks/*.pak; do
      mkdir -p "$OUT/.entries/$(basename "$p" .pak)"
      timeout 120 "$KWTOOL" pak extract "$p" "$OUT/.entries/$(basename "$p" .pak)" > /dev/null \
        || fail "kwtool cannot extract $p"
    done
  fi
  echo "$OUT/.entries"
}

# Pictures up to 300 KB (the larger cutscene pictures add nothing the small ones lack).
corpus_picture() {
  local e; e=$(extracted) || exit 1
  find "$e" -type f \( -iname '*.png' -o -iname '*.bmp' -o -iname '*.jpg' \) -size -300k |
    while read -r f; do cp "$f" "$1/$(basename "$(dirname "$f")")_$(basename "$f")"; done
}

# Sounds, once with the stated length and once without (the harness's first byte).
corpus_sound() {
  local e; e=$(extracted) || exit 1
  find "$e" -type f \( -iname '*.wav' -o -iname '*.ogg' \) -size -300k | while read -r f; do
    local n; n="$(basename "$(dirname "$f")")_$(basename "$f")"
    { printf '\x00'; cat "$f"; } > "$1/unstated_$n"
    { printf '\x01'; cat "$f"; } > "$1/stated_$n"
  done
}

corpus_map() {
  find "$GAMEDIR/maps" -name '*.map' | while read -r f; do
    cp "$f" "$1/$(echo "${f#"$GAMEDIR"/maps/}" | tr / _)"
  done
}

# Each script followed by its tag grid.
corpus_script() {
  find "$GAMEDIR/maps" -name '*_Script.ssc' | while read -r f; do
    local grid="${f%_Script.ssc}_Script_Map.dat"
    { cat "$f"; printf '%s' "$MARK"; [ -f "$grid" ] && cat "$grid"; } \
      > "$1/$(echo "${f#"$GAMEDIR"/maps/}" | tr / _)"
  done
}

corpus_settings() {
  cp "$GAMEDIR/Setup.ini" "$1/Setup.ini"
  cp "$GAMEDIR/cutscenes.ini" "$1/cutscenes.ini"
}

# A quick-save slot as the game writes it (F5 in free map 1), Story.save after map 1 of
# the story, and a Savescore.save in the game's own line format.
corpus_save() {
  local run="$OUT/.run"
  rm -rf "$run"; mkdir -p "$run"
  . "$HERE/../e2e/common/menu_start.sh"
  printf '5 key down 28\n9 key up 28\n200 key down 63\n204 key up 63\n' > "$run/in.txt"
  kw_through_menus "$run/in.txt" "$run/replay.txt"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 "$GAME" --headless --seed 1 \
    --data "$GAMEDIR" --user "$run/user" --frames $((220 + KW_MENU_FRAMES)) \
    --replay "$run/replay.txt" > "$run/out.txt" 2>&1 || fail "the saving run failed"
  local slot="$run/user/Saves/quick"
  [ -f "$slot/savegame.save" ] || fail "the saving run wrote no slot"
  { printf '\x00'; cat "$slot/savegame.save"; printf '%s' "$MARK"; cat "$slot/Format.dat"
    printf '%s' "$MARK"; cat "$slot/map.dat"; printf '%s' "$MARK"; cat "$slot/back.dat"; } > "$1/slot"
  { printf '\x00'; cat "$slot/savegame.save"; } > "$1/slot_record_only"
  { printf '\x01'; for i in 1 2 3 4 5 6; do printf '%d\r\nSpieler %d\r\n' $((700 - 100 * i)) "$i"; done; } \
    > "$1/Savescore.save"
  { printf '\x02'; printf '2'; } > "$1/Story.save"
}

for h in $HARNESSES; do
  mkdir -p "$OUT/$h"
  "corpus_$h" "$OUT/$h" || fail "no corpus for $h"
  [ -n "$(ls -A "$OUT/$h")" ] || fail "the corpus for $h is empty"
done
exit 0
