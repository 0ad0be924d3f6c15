#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The menus end to end, worked with the mouse as a player would: options (a key bound on
# the "Kugel" row, the volume set, "Bestetigen" writes Setup.ini), the highscore list and
# back, then Start, a mode and a difficulty into play. A second run answers the quit
# question with "Ja", which ends the program at once.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
export LANGUAGE=de  # the German game, whatever the locale: its texts are what is checked
game=$1 gamedir=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }
state() { python3 -c "import json,sys; s=json.load(open(sys.argv[1])); print(s[sys.argv[2]])" "$@"; }

cat > "$work/play.txt" <<'REPLAY'
# "Optionen" once the panel has slid in
35 mouse 170 300 0
40 mouse 170 300 1
42 mouse 170 300 0
# held on the "Kugel" row while A is pressed
50 mouse 360 90 1
52 key down 30
54 key up 30
55 mouse 360 90 0
# the volume track at x 320 is 50
60 mouse 320 345 1
62 mouse 320 345 0
# "Bestetigen" acts on the press
66 mouse 260 410 1
67 mouse 260 410 0
# "Highscore", then "Zurück"
105 mouse 180 160 0
108 mouse 180 160 1
110 mouse 180 160 0
115 mouse 60 440 1
116 mouse 60 440 0
# "Start", "Free Game", "Leicht"
155 mouse 120 90 0
158 mouse 120 90 1
160 mouse 120 90 0
165 mouse 265 170 0
168 mouse 265 170 1
170 mouse 265 170 0
175 mouse 240 170 0
178 mouse 240 170 1
180 mouse 240 170 0
# a key ends the title picture
190 key down 28
194 key up 28
REPLAY

for stop in 45 64 112 163 173 400; do
  timeout 120 "$game" --headless --seed 1 --data "$gamedir" --user "$work/user$stop" --frames $stop \
    --replay "$work/play.txt" --screenshot "$work/play$stop.png" --state "$work/play$stop.json" \
    > /dev/null 2> "$work/err.txt" || { cat "$work/err.txt"; fail "run to frame $stop failed"; }
done
[ "$(state "$work/play45.json" screen)" = options ] || fail "frame 45 is not the options screen"
[ "$(state "$work/play64.json" screen)" = options ] || fail "frame 64 is not the options screen"
[ "$(state "$work/play112.json" screen)" = highscore ] || fail "frame 112 is not the highscore list"
[ "$(state "$work/play163.json" screen)" = newgame ] || fail "frame 163 is not the mode question"
[ "$(state "$work/play173.json" screen)" = newgame ] || fail "frame 173 is not the difficulty question"
python3 - "$work/play400.json" <<'PY' || fail "state after the menus: $(cat "$work/play400.json")"
import json, sys
s = json.load(open(sys.argv[1]))
assert s["screen"] == "play", s["screen"]
assert s["CurrentMap"] == 1 and s["StoryMode"] == 0 and s["TimeMatch"] == 0
assert s["MaxHealth"] == 400, s["MaxHealth"]
assert s["Volume"] == 50, s["Volume"]
PY
ini="$work/user400/Setup.ini"
[ -f "$ini" ] || fail "Bestetigen wrote no Setup.ini"
head -1 "$ini" | grep -q "^volumen=50" || fail "Setup.ini: $(head -1 "$ini")"
grep -q "^Kugel=30" "$ini" || fail "Setup.ini lacks the new binding"
[ "$(grep -c = "$ini")" -eq "$(grep -c = "$gamedir/Setup.ini")" ] || fail "Setup.ini lost keys"
ls "$work/user400" | grep -q tmp && fail "a temporary file was left behind"
[ -e "$work/user400/Saves/Savescore.save" ] && fail "the list alone must not write the highscores"

# "Beenden", then "Ja": the program ends at once, long before the frame limit.
printf '35 mouse 115 370 0\n40 mouse 115 370 1\n42 mouse 115 370 0\n50 mouse 316 212 1\n52 mouse 316 212 0\n' \
  > "$work/quit.txt"
timeout 60 "$game" --headless --seed 1 --data "$gamedir" --user "$work/userq" --frames 500 \
  --replay "$work/quit.txt" --screenshot "$work/quit.png" --state "$work/quit.json" >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || fail "quitting exited $rc"
[ "$(state "$work/quit.json" screen)" = quit ] || fail "quit: $(cat "$work/quit.json")"
flips=$(state "$work/quit.json" FlipCount)
[ "${flips%.*}" -lt 100 ] || fail "Ja did not end the program ($flips flips)"
echo "menus e2e ok"
