#!/usr/bin/env bash
# A close request while the title picture spins ends the game: the map start used to wait
# for a key without looking at the window, so a player closing it there was ignored. The
# quit signal stands in for the window's close button (it asks the game to close the same
# way; a game that stalls is ended two seconds later with status 128 + signal).
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
GAME=$1
GAMEDIR=$3
WORK=$4
rm -rf "$WORK"
mkdir -p "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$(dirname "$0")/common/menu_start.sh"

# Through the menus to the title picture, and no key after that.
printf '# no key at the title picture\n' > "$WORK/title.txt"
kw_through_menus "$WORK/title.txt" "$WORK/replay.txt"
timeout -k 5 120 "$GAME" --headless --seed 1 --data "$GAMEDIR" --user "$WORK/user" \
  --replay "$WORK/replay.txt" --state "$WORK/s.json" > "$WORK/out.txt" 2> "$WORK/err.txt" &
pid=$!
# Wait until the title picture shows (the state is written only at the end, so watch the
# flips go by: a headless run reaches the title within a few seconds, even under the sanitizers;
# before the title, the start-up loading bar does not look at the window).
sleep 20
kill -TERM $pid 2> /dev/null || fail "the game ended before the title picture"
wait $pid
code=$?
[ $code -eq 0 ] || { tail -5 "$WORK/err.txt" >&2; fail "ended with $code instead of 0"; }
python3 - "$WORK/s.json" <<'PY' || fail "state: $(cat "$WORK/s.json")"
import json, sys
s = json.load(open(sys.argv[1]))
assert s["screen"] == "quit", s["screen"]
assert s["CurrentMap"] == 1, s["CurrentMap"]
PY
echo "title close e2e ok"
