#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The play numbers have one name in one place (play/measures.h, and the cell size in
# content/catalogue.h): the figure's top offset 230, the 30-pixel cell in a product,
# quotient or remainder, gravity 0.4, the jump speed -8 and the world step's 15 ms pace
# written out anywhere else in play, the script, the shell, content or the tools that
# reason about play fail this check, and so does a second local name for one of them.
# Other 30s (a 30 x 30 picture clip, a 30-second key) are no products and pass.
# Optional first argument: the src folder to check (the other end-to-end tests pass
# their binaries here, which are not folders and are ignored); the tools folder is
# the src folder's sibling.
set -uo pipefail
src="$(cd "$(dirname "$0")/../../src" && pwd)"
[ $# -ge 1 ] && [ -d "$1" ] && src="$(cd "$1" && pwd)"
tools="$(dirname "$src")/tools"

top='([-+=]\s*230(\.0f?)?\b)|(\b230(\.0f?)?\s*[-+])'
cell='([*/%]\s*30(\.0f?)?\b)|(\b30(\.0f?)?\s*[*/%])'
fall='\b0\.4f?\b|(^|[^\w.)\]\s])\s*-8(\.0f?)?\b|\bWorldStepTime\)\s*>\s*[0-9]'
twin='\b(constexpr|const)\b[^;]*\b(FigureTop|CellSize|WorldCell|TileSize|Gravity|FigureY|WorldStepPace)\s*='

status=0
for dir in "$src/play" "$src/script" "$src/shell" "$src/content" "$tools/kwtool" "$tools/maplogic"; do
  for f in "$dir"/*.cpp "$dir"/*.h; do
    [ -f "$f" ] || continue
    case "$f" in */play/measures.h|*/content/catalogue.h) continue ;; esac
    # Comments and texts may name numbers: only the code outside them counts.
    hits=$(sed -E -e 's://.*$::' -e 's/"([^"\\]|\\.)*"/""/g' "$f" | grep -nP "$top|$cell|$fall|$twin")
    [ $? -gt 1 ] && { echo "the check's pattern is broken"; exit 2; }
    if [ -n "$hits" ]; then
      echo "${f#"$(dirname "$src")"/} writes out a play number (name it in play/measures.h):"
      echo "$hits"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "play numbers: ok"
exit $status
