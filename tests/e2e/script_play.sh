#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Map scripts in play, headless: the shipped free map 1 shows its start message; the
# shipped story map 1 opens with its cutscene, which Return ends; a "choice" waits on
# its own screen for a key and takes the digit it typed. The menus cannot pick
# story mode yet, so the story map is played from the free game's slot of a game folder
# made beside the shipped one.
# Called as: bash script_play.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
mkdir -p "$WORK/user" "$WORK/story/maps"
. "$(dirname "$0")/common/menu_start.sh"

# run NAME DATADIR FRAMES: plays with replay.txt through the menus (FRAMES counted from
# the title picture), writes NAME.png and NAME.json.
run() {
  kw_through_menus "$WORK/replay.txt" "$WORK/$1.replay.txt"
  timeout 120 "$GAME" --headless --seed 1 --data "$2" --user "$WORK/user" --frames $(($3 + KW_MENU_FRAMES)) \
    --replay "$WORK/$1.replay.txt" --screenshot "$WORK/$1.png" --state "$WORK/$1.json" \
    > "$WORK/$1.out" 2> "$WORK/$1.err"
  local code=$?
  [ $code -eq 0 ] || { cat "$WORK/$1.err" >&2; fail "$1: exit code $code"; }
  [ -s "$WORK/$1.png" ] || fail "$1: no screenshot"
  [ -s "$WORK/$1.json" ] || fail "$1: no state"
}

# Space ends the title picture (Return would still be held when a cutscene starts and
# end it after one frame); Return at flip 60 ends the cutscene.
cat > "$WORK/replay.txt" <<'REPLAY'
5 key down 57
9 key up 57
60 key down 28
63 key up 28
REPLAY

run free "$GAMEDIR" 150
python3 - "$WORK/free.json" <<'PY' || fail "free map 1: $(cat "$WORK/free.json")"
import json, sys
s = json.load(open(sys.argv[1]))
text = "freies spiel - pfeiltasten laufen - leertaste springt - sammle m\u00fcnzen!"
assert s["screen"] == "play", s["screen"]
# The start message fades from the left, one character every 21 passes.
assert len(s["message"]) > 10 and text.endswith(s["message"]), s["message"]
PY

ln -s "$(cd "$GAMEDIR" && pwd)/paks" "$WORK/story/paks"
cp "$GAMEDIR"/*.ini "$WORK/story/"
for part in .map _Script.ssc _Script_Map.dat; do
  cp "$GAMEDIR/maps/Story/map1$part" "$WORK/story/maps/map1$part" || fail "no story map 1"
done

run during "$WORK/story" 40
run after "$WORK/story" 120
python3 - "$WORK" <<'PY' || fail "story cutscene"
import json, sys, zlib, struct
w = sys.argv[1]
during = json.load(open(w + "/during.json"))
after = json.load(open(w + "/after.json"))
assert during["screen"] == "cutscene" and during["CutscenePlaying"] == 1, during
assert after["screen"] == "play" and after["CutscenePlaying"] == 0, after
assert after["message"] != "", after

# The cutscene frame is a picture, not a black screen: many distinct colours.
def pixels(path):
    data = open(path, "rb").read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        if kind == b"IDAT":
            idat += body
        pos += 12 + n
    return zlib.decompress(idat), width, height
raw, width, height = pixels(w + "/during.png")
assert (width, height) == (640, 480), (width, height)
assert len(set(raw[i:i + 3] for i in range(1, len(raw) - 3, 997))) > 50
PY
# A choice in the start block of free map 1: the wait shows the three lines and the keys
# to press in a box of their own in the middle of the screen, clear of the message line. The space that ended the title is still held when the question comes
# and is no answer; the key "2" at flip 30 answers it.
mkdir -p "$WORK/choice/maps"
ln -s "$(cd "$GAMEDIR" && pwd)/paks" "$WORK/choice/paks"
cp "$GAMEDIR"/*.ini "$WORK/choice/"
cp "$GAMEDIR/maps/map1.map" "$WORK/choice/maps/map1.map"
printf '{\r\nchoice(rasten,k\xe4mpfen,fliehen,wahl)\r\n}\r\nif wahl = 2\r\noutcry(du k\xe4mpfst,0,1)\r\nendif\r\n' \
  > "$WORK/choice/maps/map1_Script.ssc"
cat > "$WORK/replay.txt" <<'REPLAY'
5 key down 57
25 key up 57
30 key down 3
30 text 2
33 key up 3
REPLAY
run waiting "$WORK/choice" 20
run answered "$WORK/choice" 40
python3 - "$WORK" <<'PY' || fail "choice"
import json, sys, zlib, struct
w = sys.argv[1]
waiting = json.load(open(w + "/waiting.json"))
answered = json.load(open(w + "/answered.json"))
assert waiting["screen"] == "choice", waiting["screen"]
assert waiting["message"] == "1. rasten", waiting["message"]
assert answered["screen"] == "play", answered["screen"]
assert answered["message"] == "du k\u00e4mpfst", answered["message"]

def rows(path):
    """The pixel rows of an 8-bit RGB or RGBA PNG, unfiltered."""
    data = open(path, "rb").read()
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        if kind == b"IDAT":
            idat += body
        pos += 12 + n
    bpp = {2: 3, 6: 4}[colour]
    raw, stride, out, prev = zlib.decompress(idat), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            p = a + b - c
            pr = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else (b if abs(p - b) <= abs(p - c) else c)
            line[i] = (line[i] + [0, a, b, (a + b) // 2, pr][f]) & 255
        out.append(bytes(line[i] for i in range(stride) if bpp == 3 or i % 4 != 3))
        prev = line
    return out
# The box (its frame from y 149) with four lines of text in it; nothing over the
# message line.
r = rows(w + "/waiting.png")
lit = [y for y in range(480) if any(r[y])]
assert lit and min(lit) >= 140 and max(lit) < 280, lit[:3] + lit[-3:]
top = min(lit)
frame = [x for x in range(640) if any(r[top][3 * x:3 * x + 3])]
left, right = min(frame) + 3, max(frame) - 3
ink = [any(r[y][3 * left:3 * right]) for y in range(top + 3, max(lit) - 2)]
runs = sum(1 for i, on in enumerate(ink) if on and (i == 0 or not ink[i - 1]))
assert runs == 4, (runs, left, right)
PY
echo "script play e2e ok"
