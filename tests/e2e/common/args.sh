# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Sourced first by the end-to-end scripts, which all take the same arguments:
#   <klingenwald> <kwtool> <gamedir> <workdir>
# Sets GAME, KWTOOL, GAMEDIR and WORK, empties WORK, and gives `fail MESSAGE`, which ends
# the script as failed.
set -u
# The stored results are the German game's, whatever the locale of the machine says.
export LANGUAGE=de
GAME=$1
KWTOOL=$2
GAMEDIR=$3
WORK=$4
rm -rf "$WORK"
mkdir -p "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }
