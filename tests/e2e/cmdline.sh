#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The command line of klingenwald: help, version, option errors, the missing game folder,
# a headless run that records its input and ends after a number of frames, and the language
# chosen by --lang and the locale variables.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir>
set -u
export LANGUAGE=de  # the German game, whatever the locale: its texts are what is checked
game=$1 gamedir=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

"$game" --help | grep -q -- "--headless" || fail "--help does not list --headless"
"$game" --help | grep -q -- "--lang CODE" || fail "--help does not list --lang"
"$game" --version | grep -q "^klingenwald " || fail "--version"
"$game" --version | grep -q "GPL-3.0-or-later" || fail "--version does not name the licence"
"$game" --bogus >/dev/null 2>&1; [ $? -eq 2 ] || fail "an unknown option must exit 2"
"$game" --seed >/dev/null 2>&1; [ $? -eq 2 ] || fail "an option without its value must exit 2"
"$game" --help | grep -q -- "--vblank" || fail "--help does not list --vblank"
# --vblank is a refresh rate, and a model of a display for headless runs only.
for bad in "--headless --vblank 0" "--headless --vblank 1001" "--headless --vblank 60Hz" "--vblank 60"; do
  "$game" $bad >/dev/null 2>&1; [ $? -eq 2 ] || fail "'$bad' must exit 2"
done

# A missing game folder: one clear message naming where it looked and --data.
out=$("$game" --headless --data "$work/nowhere" 2>&1); rc=$?
[ $rc -ne 0 ] || fail "a missing game folder must fail"
echo "$out" | grep -q "$work/nowhere" || fail "the message must say where it looked: $out"
echo "$out" | grep -q -- "--data" || fail "the message must mention --data: $out"
KLINGENWALD_DATA="$work/env-nowhere" "$game" --headless 2>&1 | grep -q "env-nowhere" \
  || fail "KLINGENWALD_DATA must be used"

# A headless run ends after --frames, writes the screenshot and records its input.
"$game" --headless --data "$gamedir" --user "$work/user" --frames 30 --seed 1 \
  --screenshot "$work/s.png" --record "$work/rec.txt" >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || fail "headless run exited $rc"
[ -s "$work/s.png" ] || fail "no screenshot"
head -c 8 "$work/s.png" | od -An -tx1 | grep -q "89 50 4e 47" || fail "screenshot is not a PNG"
[ -f "$work/rec.txt" ] || fail "no recording"

# Headless runs are deterministic: the same replay and seed give the same picture and state.
printf '20 key down 57\n25 key up 57\n' > "$work/keys.txt"
for run in a b; do
  "$game" --headless --data "$gamedir" --user "$work/user-$run" --frames 120 --seed 5 \
    --replay "$work/keys.txt" --screenshot "$work/$run.png" --state "$work/$run.json" >/dev/null 2>&1 \
    || fail "deterministic run $run failed"
done
cmp -s "$work/a.png" "$work/b.png" || fail "two identical runs drew different pictures"
cmp -s "$work/a.json" "$work/b.json" || fail "two identical runs ended in different states"

# A bad replay is refused with its line number.
printf '5 key down 57\n7 jump\n' > "$work/bad.txt"
out=$("$game" --headless --data "$gamedir" --user "$work/user" --replay "$work/bad.txt" 2>&1)
[ $? -ne 0 ] || fail "a bad replay must be refused"
echo "$out" | grep -q "bad.txt:2" || fail "the replay error must name the line: $out"
# The language: --lang, else LANGUAGE, LC_ALL, LC_MESSAGES, LANG (the first set); C is
# German, and so is a language without a catalogue. The main menu in German looks the same
# with the German catalogue chosen and with none.
# lang_run NAME EXPECTED [VAR=VALUE ...] [-- OPTIONS]
lang_run() {
  local name=$1 want=$2 vars=() opts=()
  shift 2
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do vars+=("$1"); shift; done
  [ $# -gt 0 ] && shift && opts=("$@")
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "${vars[@]}" timeout 60 "$game" --headless \
    --data "$gamedir" --user "$work/user-$name" --frames 60 --seed 1 "${opts[@]}" \
    --screenshot "$work/$name.png" --state "$work/$name.json" >/dev/null 2>&1 || fail "language run $name failed"
  grep -q "\"language\": \"$want\"" "$work/$name.json" || fail "$name: not the language '$want': $(grep -o '"language": "[^"]*"' "$work/$name.json")"
}
lang_run none ""
lang_run option-de de -- --lang de
lang_run option-en en LANGUAGE=de -- --lang en
lang_run language en LANGUAGE=en LANG=de_DE.UTF-8
lang_run list en LANGUAGE=it:en
lang_run lc-all en LC_ALL=en_GB.UTF-8 LANG=de_DE.UTF-8
lang_run lang en LANG=en_US.UTF-8
lang_run c "" LC_ALL=C LANG=en_US.UTF-8
lang_run unknown "" LANG=it_IT.UTF-8
cmp -s "$work/none.png" "$work/option-de.png" || fail "--lang de draws the main menu differently from the game without catalogues"
cmp -s "$work/none.png" "$work/lang.png" && fail "the English main menu looks like the German one"
"$game" --lang >/dev/null 2>&1; [ $? -eq 2 ] || fail "--lang without its value must exit 2"
echo "cmdline: all checks passed"
