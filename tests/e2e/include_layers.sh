#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The game's folders form layers: media at the bottom, then content, play, script, save,
# menus, and the shell on top. A file may include headers of its own folder and of the
# folders below it, never of one above: that keeps every subsystem free of the ones that
# call it. Arguments (the binaries and folders of the other end-to-end tests) are unused.
set -euo pipefail
src="$(cd "$(dirname "$0")/../../src" && pwd)"
layers=(media content play script save menus shell)
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  folder=${layers[$i]}
  for ((j = i + 1; j < ${#layers[@]}; j++)); do
    above=${layers[$j]}
    if hits=$(grep -n "#include \"$above/" "$src/$folder"/*.cpp "$src/$folder"/*.h 2>/dev/null); then
      echo "$folder includes $above, a layer above it:"
      echo "$hits"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "include layers: ok"
exit $status
