#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# SIGTERM and SIGINT end the game cleanly wherever it is: during the start-up load, in the
# main menu, the new-game menu, at the spinning title picture, in play, paused, during a
# cutscene, a script's choice and the key wait after a quick load. Clean means exit
# status 0 (not the 128 + signal of the stall fallback a second later), the state file
# written whole with the screen the game was on, and no temporary or half-written file
# left in the user folder. Each place is reached by a replay; a calibration run with
# --frames measures how long the game needs to get there on this build (sanitizer builds
# are slow), and the signal comes well after that.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh"
. "$(dirname "$0")/common/menu_start.sh"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# True once the process has installed its own handler for SIGTERM (bit 15 of SigCgt).
handler_installed() {
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2> /dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}

# start NAME ARGS...: the game in the background (not under `timeout`, which would take
# the signal itself), pid in $pid, ended by a watchdog after 300 s.
start() {
  local name=$1
  shift
  "$GAME" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err" &
  pid=$!
  ( sleep 300; kill -KILL $pid 2> /dev/null ) > /dev/null 2>&1 &
  watchdog=$!
}

# finish: waits for the game; its exit status in $code.
finish() {
  wait $pid
  code=$?
  kill $watchdog 2> /dev/null
}

# check NAME CODE SCREEN [KEY=VALUE]: exit status 0, the state written with that screen
# (and that value), nothing temporary left in the user folder.
check() {
  local name=$1 code=$2 screen=$3 expect=${4:-}
  [ "$code" -eq 0 ] || { tail -5 "$WORK/$name.err" >&2; fail "$name: ended with $code instead of 0"; }
  python3 - "$WORK/$name.json" "$screen" "$expect" <<'PY' || fail "$name: state $(cat "$WORK/$name.json" 2> /dev/null)"
import json, sys
s = json.load(open(sys.argv[1]))
assert s["screen"] in sys.argv[2].split("|"), s["screen"]
if sys.argv[3]:
    key, value = sys.argv[3].split("=", 1)
    assert str(s[key]) == value, (key, s[key])
PY
  local left
  left=$(find "$WORK/$name.user" -name '*.kwtmp*' -o -name '*.new' 2> /dev/null)
  [ -z "$left" ] || fail "$name: left behind: $left"
}

# at NAME SIGNAL FRAMES SCREEN DATADIR REPLAY [KEY=VALUE]: the run reaches flip FRAMES of
# REPLAY (a full replay from the first flip), then gets SIGNAL; SCREEN lists the screens
# it may be on then ("a|b").
# A place reached twice (once per signal) is calibrated once.
declare -A calibrated
at() {
  local name=$1 sig=$2 frames=$3 screen=$4 data=$5 replay=$6 expect=${7:-}
  local place="$data $replay $frames" t0 t1
  if [ -z "${calibrated[$place]:-}" ]; then
    t0=$(date +%s%N)
    timeout -k 5 300 "$GAME" --headless --seed 1 --data "$data" --user "$WORK/$name.calib" \
      --frames "$frames" --replay "$replay" > /dev/null 2>&1 || fail "$name: the calibration run failed"
    t1=$(date +%s%N)
    calibrated[$place]=$(( (t1 - t0) / 1000000 * 2 + 500 ))
  fi
  local wait_ms=${calibrated[$place]}
  start "$name" --headless --seed 1 --data "$data" --user "$WORK/$name.user" \
    --replay "$replay" --state "$WORK/$name.json"
  sleep "$(awk -v m="$wait_ms" 'BEGIN { printf "%.3f", m / 1000 }')"
  kill -"$sig" $pid 2> /dev/null || fail "$name: the game ended before the signal"
  finish
  check "$name" $code "$screen" "$expect"
  echo "$name: SIG$sig after $wait_ms ms ended cleanly"
}

# The start-up load: the signal as soon as the game has taken the signals over, so it
# lands in the start-up or the loading bar's load.
for sig in TERM INT; do
  name=loading_$sig
  start "$name" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/$name.user" --state "$WORK/$name.json"
  for _ in $(seq 1 2000); do handler_installed $pid && break; sleep 0.005; done
  handler_installed $pid || fail "$name: the game never took SIGTERM over"
  kill -$sig $pid
  finish
  check "$name" $code "loading|quit|mainmenu"
done

# Replays: NAME.txt begins at the first flip.
printf '# nothing: the main menu waits\n' > "$WORK/menu.txt"
cat > "$WORK/newgame.txt" <<'REPLAY'
35 mouse 120 90 0
38 mouse 120 90 1
40 mouse 120 90 0
REPLAY
printf '# no key at the title picture\n' > "$WORK/title.in"
kw_through_menus "$WORK/title.in" "$WORK/title.txt"
# Space ends the title picture; play goes on without input.
printf '5 key down 57\n9 key up 57\n' > "$WORK/play.in"
kw_through_menus "$WORK/play.in" "$WORK/play.txt"
# P (25 in the shipped Setup.ini) pauses at flip 40.
printf '5 key down 57\n9 key up 57\n40 key down 25\n43 key up 25\n' > "$WORK/paused.in"
kw_through_menus "$WORK/paused.in" "$WORK/paused.txt"
# F5 saves, F9 loads, and the key wait waits.
printf '5 key down 57\n9 key up 57\n200 key down 63\n204 key up 63\n240 key down 67\n244 key up 67\n' > "$WORK/keywait.in"
kw_through_menus "$WORK/keywait.in" "$WORK/keywait.txt"

at menu TERM 40 mainmenu "$GAMEDIR" "$WORK/menu.txt"
at menu_int INT 40 mainmenu "$GAMEDIR" "$WORK/menu.txt"
at newgame TERM 60 newgame "$GAMEDIR" "$WORK/newgame.txt"
# The map start used to wait for a key without looking at the window, so a player closing
# the game at the title picture was ignored.
at title TERM $((KW_MENU_FRAMES + 10)) quit "$GAMEDIR" "$WORK/title.txt" CurrentMap=1
at play TERM $((KW_MENU_FRAMES + 60)) "quit|highscore|mainmenu" "$GAMEDIR" "$WORK/play.txt"
at play_int INT $((KW_MENU_FRAMES + 60)) "quit|highscore|mainmenu" "$GAMEDIR" "$WORK/play.txt"
at paused TERM $((KW_MENU_FRAMES + 60)) quit "$GAMEDIR" "$WORK/paused.txt"
at keywait TERM $((KW_MENU_FRAMES + 260)) quit "$GAMEDIR" "$WORK/keywait.txt"
# The slot the key wait loaded is whole.
[ "$(stat -c %s "$WORK/keywait.user/Saves/quick/savegame.save")" -eq 170 ] || fail "keywait: the slot is not whole"

# The cutscene of story map 1 and a script's choice, each played from the free game's
# slot of a game folder made beside the shipped one.
for folder in story choice; do
  mkdir -p "$WORK/$folder/maps"
  ln -s "$(cd "$GAMEDIR" && pwd)/paks" "$WORK/$folder/paks"
  cp "$GAMEDIR"/*.ini "$WORK/$folder/"
done
for part in .map _Script.ssc _Script_Map.dat; do
  cp "$GAMEDIR/maps/Story/map1$part" "$WORK/story/maps/map1$part" || fail "no story map 1"
done
cp "$GAMEDIR/maps/map1.map" "$WORK/choice/maps/map1.map"
printf '{\r\nchoice(rasten,k\xe4mpfen,fliehen,wahl)\r\n}\r\n' > "$WORK/choice/maps/map1_Script.ssc"
at cutscene TERM $((KW_MENU_FRAMES + 30)) quit "$WORK/story" "$WORK/play.txt"
at choice TERM $((KW_MENU_FRAMES + 30)) quit "$WORK/choice" "$WORK/play.txt"
echo "signals e2e ok"
