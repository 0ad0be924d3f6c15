#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Runs one libFuzzer harness for a given time, politely (nice, one job, one worker),
# on a working corpus grown from its seed corpus. Findings land in <workdir>/findings/.
# Called as: bash run.sh <fuzz build dir> <name> <seconds> <seed corpus dir> <workdir>
# (the seed corpus: make_corpus.sh's <outdir>/<name>).
set -u
BUILD=$(cd "$1" && pwd) NAME=$2 SECONDS_=$3 SEEDS=$(cd "$4" && pwd) WORK=$5
mkdir -p "$WORK/corpus" "$WORK/findings"
WORK=$(cd "$WORK" && pwd)
# Inputs larger than this are cut: the shipped pictures, sounds and maps are larger, and
# mutating megabytes would leave few runs per second.
case $NAME in
  pack|picture|sound|map) MAXLEN=131072 ;;
  *) MAXLEN=65536 ;;
esac
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1:max_allocation_size_mb=512
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$WORK" || exit 1
exec nice -n 10 "$BUILD/tests/fuzz/fuzz_$NAME" -jobs=1 -workers=1 -max_total_time="$SECONDS_" \
  -timeout=10 -rss_limit_mb=2048 -max_len=$MAXLEN -print_final_stats=1 \
  -artifact_prefix="$WORK/findings/" "$WORK/corpus" "$SEEDS"
