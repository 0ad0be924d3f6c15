#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Replays one fuzz harness over its seed corpus (made from the game folder) and its
# stored findings (tests/fuzz/findings/<name>), once each, under a timeout.
# Called as: bash replay.sh <harness binary> <name> <gamedir> <kwtool> <klingenwald> <workdir>
set -u
BIN=$1 NAME=$2 GAMEDIR=$3 KWTOOL=$4 GAME=$5 WORK=$6
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$WORK"; mkdir -p "$WORK"
bash "$HERE/make_corpus.sh" "$GAMEDIR" "$KWTOOL" "$GAME" "$WORK/corpus" "$NAME" || exit 1
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy KW_FUZZ_GAME="$GAMEDIR"
timeout 600 "$BIN" "$WORK/corpus/$NAME" "$HERE/findings/$NAME" || { echo "FAIL: $NAME replay" >&2; exit 1; }
