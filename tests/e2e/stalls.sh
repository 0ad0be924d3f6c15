#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Nothing stalls the game for good: one flipped bit in a stored PNG entry's chunk length
# ends in the fatal load message at once, and SIGTERM or SIGINT end the program even
# while a load waits on a pack that never delivers (a FIFO with no writer).
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
export LANGUAGE=de  # the German game, whatever the locale: its texts are what is checked
game=$1 gamedir=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/common/menu_start.sh"
printf '5 key down 57\n8 key up 57\n' > "$work/title_keys.txt"
kw_through_menus "$work/title_keys.txt" "$work/keys.txt"

# flip PACK ENTRY: sets the sRGB chunk length of a stored PNG entry to 0x00100001.
flip() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
path, wanted = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
at, index = 0, 0
while at + 8 <= len(data):
    u, p = struct.unpack_from('<II', data, at)
    if index == wanted:
        if u != p: sys.exit('entry %d is not stored' % wanted)
        k = data.find(b'\x00\x00\x00\x01sRGB', at + 8, at + 8 + p)
        if k < 0: sys.exit('entry %d has no sRGB chunk' % wanted)
        data[k + 1] ^= 0x10
        open(path, 'wb').write(data)
        sys.exit(0)
    at, index = at + 8 + p, index + 1
sys.exit('no entry %d' % wanted)
PY
}

# run: the game on $work/game through the menus and 40 flips of play, at most 120 s (sanitizer builds are slow);
# sets rc and secs (milliseconds).
run() {
  local start=$(date +%s%N)
  ASAN_OPTIONS=detect_leaks=0 timeout -k 5 120 "$game" --headless --data "$work/game" \
    --user "$work/user" --frames $((40 + KW_MENU_FRAMES)) --replay "$work/keys.txt" > "$work/out.txt" 2> "$work/err.txt"
  rc=$?
  secs=$(( ($(date +%s%N) - start) / 1000000 ))
}

rm -rf "$work/game" "$work/user" && cp -r "$gamedir" "$work/game"
run
[ $rc -eq 0 ] || fail "the undamaged game ended with $rc"
base=$secs
for case in "Lights.pak 1 0" "objects.pak 1 1" "Tiles.pak 0 1" "Menu.pak 0 1"; do
  set -- $case
  rm -rf "$work/game" "$work/user" && cp -r "$gamedir" "$work/game"
  flip "$work/game/paks/$1" "$2" || fail "could not damage $case"
  run
  [ $rc -eq $3 ] || { tail -5 "$work/err.txt"; fail "$1 entry $2: ended with $rc"; }
  if [ $3 -eq 1 ]; then
    grep -q "Sprite konnte nicht geladen werden" "$work/err.txt" || fail "$1: no fatal load message"
  fi
  [ $rc -ne 124 ] && [ $rc -ne 137 ] || fail "$1 entry $2: hangs"
  # Never slower than the undamaged run by more than its own noise.
  [ $secs -lt $((2 * base + 1000)) ] || fail "$1 entry $2: took $secs ms (undamaged: $base ms)"
done

# A pack that never delivers: the load waits; a signal still ends the program.
for sig in TERM INT; do
  rm -rf "$work/game" "$work/user" && cp -r "$gamedir" "$work/game"
  rm "$work/game/paks/Menu.pak" && mkfifo "$work/game/paks/Menu.pak"
  timeout -k 5 30 "$game" --headless --data "$work/game" --user "$work/user" \
    > /dev/null 2>&1 &
  pid=$!
  sleep 1
  kill -0 $pid 2> /dev/null || fail "the game did not wait on the FIFO"
  kill -$sig $pid
  for _ in $(seq 1 30); do kill -0 $pid 2> /dev/null || break; sleep 0.1; done
  kill -0 $pid 2> /dev/null && { kill -9 $pid; fail "SIG$sig did not end a stalled load"; }
  wait $pid
  rc=$?
  [ $rc -ne 124 ] && [ $rc -ne 137 ] || fail "SIG$sig: ended by the time limit only"
done
echo "stalls: ok"
