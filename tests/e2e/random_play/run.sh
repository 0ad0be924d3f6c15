#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The random-play soak: seeded random input (generate.py) played headless from the
# title through the menus into the free game, the story and the time match, on all
# three difficulties, in German and English (seed S: mode S mod 3, difficulty S / 3
# mod 3, language S / 9 mod 2). Each run must end with status 0 after its frames, with
# no sanitizer report, within its time; its --state must show that it played its mode
# (at least KW_RANDOM_MIN_PLAY passes of play) in its language, and its user folder must
# hold no temporary file and no file cut short (check_user.py). Every replay in
# regressions/ (a fault the soak found, with "# frames N", "# seed S", "# expect
# KEY=VALUE" and maybe "# lang L" lines; German without) is run the same way and must
# end as it expects.
# Called as: bash run.sh <klingenwald> <kwtool> <gamedir> <workdir> [WHAT [N]]
# where WHAT is one of
#   PART/PARTS     part PART of the suite's seeds 1..KW_RANDOM_RUNS (32), e.g. 2/4;
#                  part 1 also runs the regression replays (the default is 1/1)
#   --seeds "S.."  these seeds
#   --fresh N      N seeds not in the suite's set (taken from the clock)
#   --regressions  only the regression replays
# KW_RANDOM_FRAMES sets the flips of a run (4700).
set -u
GAME=$1
KWTOOL=$2
GAMEDIR=$3
WORK=$4
WHAT=${5:-1/1}
COUNT=${6:-}
HERE=$(cd "$(dirname "$0")" && pwd)
FRAMES=${KW_RANDOM_FRAMES:-4700}
RUNS=${KW_RANDOM_RUNS:-32}
MIN_PLAY=${KW_RANDOM_MIN_PLAY:-100}
LIMIT=${KW_RANDOM_TIMEOUT:-400}
rm -rf "$WORK"
mkdir -p "$WORK"
failed=0
count=0
flips=0
users=()

# The value of a key of a flat --state file (numbers and simple texts).
state_value() {
  sed -n "s/.*\"$2\": \"\{0,1\}\([^\",}]*\).*/\1/p" "$1"
}

# The language a replay plays in: its "# lang" line, else German.
language_of() {
  local lang
  lang=$(sed -n 's/^# lang \([a-z_A-Z]*\).*/\1/p' "$1" | head -1)
  echo "${lang:-de}"
}

# The lines that repeat one seed by hand (its replay is kept in the work folder).
repeat_hint() {
  echo "  replay it: KW_RANDOM_FRAMES=$FRAMES bash $HERE/run.sh $GAME $KWTOOL $GAMEDIR" \
    "/tmp/kw_random --seeds $1" >&2
  echo "  or directly (into a new user folder): SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy" \
    "$GAME --headless --lang $(language_of "$3") --seed $1 --data $GAMEDIR" \
    "--user /tmp/kw_random_user --frames $2 --replay $3 --state /tmp/kw_random.json" >&2
}

# play NAME REPLAY FRAMES GAMESEED: runs the game on REPLAY in a fresh user folder and
# checks how it ended; its folder is $WORK/NAME. 1 when it failed (reason printed).
play() {
  local name=$1 replay=$2 frames=$3 seed=$4 out=$WORK/$1 why=""
  mkdir -p "$out/user"
  users+=("$out/user")
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout "$LIMIT" \
    "$GAME" --headless --lang "$(language_of "$replay")" --seed "$seed" --data "$GAMEDIR" \
    --user "$out/user" --frames "$frames" \
    --replay "$replay" --state "$out/state.json" > "$out/out.txt" 2> "$out/err.txt"
  local code=$?
  count=$((count + 1))
  if [ $code -eq 124 ]; then
    why="no end within $LIMIT s (a hang)"
  elif grep -qE 'Sanitizer|runtime error' "$out/err.txt"; then
    why="sanitizer report (exit code $code)"
  elif [ $code -ne 0 ]; then
    why="exit code $code"
  elif [ ! -s "$out/state.json" ]; then
    why="no state written"
  fi
  if [ -n "$why" ]; then
    echo "FAIL: $name: $why" >&2
    grep -m 20 -E 'ERROR|SUMMARY|runtime error|#[0-9] ' "$out/err.txt" >&2
    return 1
  fi
  flips=$((flips + $(state_value "$out/state.json" FlipCount)))
  return 0
}

# One seed of the soak: the run, and its mode played.
run_seed() {
  local seed=$1 replay=$WORK/seed$1.replay
  local mode difficulty language passes shown
  read -r mode difficulty language < <(sed -n 's/^# random play: seed [0-9]*, mode \([a-z]*\),'\
' difficulty \([0-9]\), language \([a-z]*\).*/\1 \2 \3/p' "$replay")
  if ! play "seed$seed" "$replay" "$FRAMES" "$seed"; then
    echo "  seed $seed plays $mode on difficulty $difficulty in $language" >&2
    repeat_hint "$seed" "$FRAMES" "$replay"
    failed=1
    return
  fi
  passes=$(state_value "$WORK/seed$seed/state.json" "PlayPasses${mode^}")
  shown=$(state_value "$WORK/seed$seed/state.json" language)
  if [ "${passes:-0}" -lt "$MIN_PLAY" ] || [ "$shown" != "$language" ]; then
    echo "FAIL: seed $seed: ${passes:-0} passes of play in $mode (at least $MIN_PLAY)," \
      "language $shown (want $language)" >&2
    repeat_hint "$seed" "$FRAMES" "$replay"
    failed=1
    return
  fi
  echo "seed $seed: $mode, difficulty $difficulty, $language: $passes passes of play"
}

# The stored regressions: each must end as its "# expect" lines say.
run_regressions() {
  local replay name frames seed pair key want got
  for replay in "$HERE"/regressions/*.replay; do
    [ -e "$replay" ] || continue
    name=regression_$(basename "$replay" .replay)
    frames=$(sed -n 's/^# frames \([0-9][0-9]*\).*/\1/p' "$replay" | head -1)
    seed=$(sed -n 's/^# seed \([0-9][0-9]*\).*/\1/p' "$replay" | head -1)
    if ! play "$name" "$replay" "${frames:-0}" "${seed:-1}"; then
      echo "  replay it: bash $HERE/run.sh $GAME $KWTOOL $GAMEDIR /tmp/kw_random --regressions" >&2
      failed=1
      continue
    fi
    for pair in $(sed -n 's/^# expect //p' "$replay"); do
      key=${pair%%=*} want=${pair#*=}
      got=$(state_value "$WORK/$name/state.json" "$key")
      [ "$got" = "$want" ] || { echo "FAIL: $name: $key=$got (want $want)" >&2; failed=1; }
    done
  done
}

regressions=0
case $WHAT in
  --seeds) seeds=$COUNT ;;
  --fresh)
    base=$(( $(date +%s%N) % 1000000000 + 1000 ))
    seeds=$(seq "$base" $((base + ${COUNT:-10} - 1)) | tr '\n' ' ')
    echo "fresh seeds: $seeds" ;;
  --regressions) seeds="" regressions=1 ;;
  */*)
    part=${WHAT%/*} parts=${WHAT#*/}
    [ "$part" = 1 ] && regressions=1
    seeds=$(seq 1 "$RUNS" | awk -v p="$part" -v n="$parts" '($1 - 1) % n == p - 1' | tr '\n' ' ') ;;
  *) echo "FAIL: unknown choice $WHAT" >&2; exit 1 ;;
esac
if [ -n "${seeds// /}" ]; then
  # shellcheck disable=SC2086
  python3 "$HERE/generate.py" --frames "$FRAMES" --out "$WORK" $seeds || { echo "FAIL: no replays" >&2; exit 1; }
fi
for seed in $seeds; do run_seed "$seed"; done
[ $regressions = 1 ] && run_regressions
# Every run's user folder at once (one interpreter start instead of one per run).
if [ ${#users[@]} -gt 0 ] && ! python3 "$HERE/check_user.py" "${users[@]}" > "$WORK/user_check.txt"; then
  echo "FAIL: user folders (the seed is the folder's name):" >&2
  head -20 "$WORK/user_check.txt" >&2
  failed=1
fi
[ $count -gt 0 ] || { echo "FAIL: nothing was run" >&2; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "random play ok ($count runs, $flips flips)"
