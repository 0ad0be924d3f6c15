#!/bin/bash
# Recorded-input regression of play: free map 1 with the shipped keys, a replay that
# walks, jumps out of a pit, throws, looks up, ducks and walks small (play_replay/
# replay.txt). The --state it ends in must equal play_replay/expected_state.json, key
# by key. A change that alters the result on purpose updates the stored state in the
# same commit and says why (run with KW_UPDATE=1 to write it).
# Called as: bash play_replay.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
GAME=$1
GAMEDIR=$3
WORK=$4
HERE=$(cd "$(dirname "$0")" && pwd)/play_replay
rm -rf "$WORK"
mkdir -p "$WORK/user"
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$(dirname "$0")/common/menu_start.sh"
kw_through_menus "$HERE/replay.txt" "$WORK/replay.txt"

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 \
  "$GAME" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/user" --frames $((720 + KW_MENU_FRAMES)) \
  --replay "$WORK/replay.txt" --screenshot "$WORK/s.png" --state "$WORK/s.json" \
  > "$WORK/out.txt" 2> "$WORK/err.txt"
code=$?
[ $code -eq 0 ] || { cat "$WORK/err.txt" >&2; fail "exit code $code"; }
[ -s "$WORK/s.png" ] || fail "no screenshot"
[ -s "$WORK/s.json" ] || fail "no state"
if [ "${KW_UPDATE:-0}" = 1 ]; then
  cp "$WORK/s.json" "$HERE/expected_state.json"
  echo "play replay: stored state updated"
  exit 0
fi
python3 "$(dirname "$0")/common/compare_state.py" "$HERE/expected_state.json" "$WORK/s.json" \
  || fail "state differs (got $WORK/s.json)"
echo "play replay e2e ok"
