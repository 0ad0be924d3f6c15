#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# kwtool script: every shipped script passes the check (the sources and the generated
# game folder); a faulty script is reported by line; dump prints the game's statements.
# Called as: bash kwtool_script.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
KWTOOL=$2
GAMEDIR=$3
WORK=$4
SOURCES="$(cd "$(dirname "$0")/../../gamedata" && pwd)"
rm -rf "$WORK"
mkdir -p "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }

count=0
while IFS= read -r -d '' f; do
  timeout 30 "$KWTOOL" script check "$f" > "$WORK/check.txt" 2>&1 || fail "$f: $(cat "$WORK/check.txt")"
  count=$((count + 1))
done < <(find "$GAMEDIR/maps" "$SOURCES/maps" -iname '*_Script.ssc' -print0)
[ $count -ge 20 ] || fail "only $count shipped scripts found"

printf 'if gift = 1\r\n{ outcry(a,0,1)\r\nfoo(1)\r\ncreateportal(1,2,3,a,4,5,b)\r\n' > "$WORK/bad.ssc"
timeout 30 "$KWTOOL" script check "$WORK/bad.ssc" > "$WORK/bad.txt" 2>&1
[ $? -eq 1 ] || fail "a faulty script passed the check"
grep -q "^$WORK/bad.ssc:1: .*if" "$WORK/bad.txt" || fail "no finding for line 1: $(cat "$WORK/bad.txt")"
grep -q "^$WORK/bad.ssc:1: .*endif" "$WORK/bad.txt" || fail "no unclosed if: $(cat "$WORK/bad.txt")"
grep -q "^$WORK/bad.ssc:2: .*start block" "$WORK/bad.txt" || fail "no open brace: $(cat "$WORK/bad.txt")"
grep -q "^$WORK/bad.ssc:3: unknown command \"foo\"" "$WORK/bad.txt" || fail "no unknown command: $(cat "$WORK/bad.txt")"

printf 'Setval(Punkte,5): outcry(f\xe4rtig,0,1) ; Ende\n' > "$WORK/dump.ssc"
timeout 30 "$KWTOOL" script dump "$WORK/dump.ssc" > "$WORK/dump.txt" || fail "dump failed"
python3 - "$WORK/dump.txt" <<'PY' || fail "dump: $(cat "$WORK/dump.txt")"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
assert rows == [
    {"list": "main", "kind": 0, "command": "setval", "args": ["punkte", "5"]},
    {"list": "main", "kind": 0, "command": " outcry ", "args": ["f\u00e4rtig", "0", "1"]},
], rows
PY

timeout 30 "$KWTOOL" script check "$WORK/missing.ssc" > "$WORK/m.out" 2> "$WORK/m.err"
[ $? -eq 1 ] || fail "a missing file did not give exit 1"
[ "$(wc -l < "$WORK/m.err")" -eq 1 ] || fail "a missing file did not give one line: $(cat "$WORK/m.err")"
echo "kwtool script e2e ok"
