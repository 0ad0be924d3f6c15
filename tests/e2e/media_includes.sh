#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Inside the media layer the includes run one way: no two files include each other. A
# file and its header count as one (files.cpp and files.h are "files"), so a pair
# is caught whichever of its files holds the include. Two features that need each other
# share a small header of their own instead (like display_internal.h), which keeps each
# feature in a file a reader can take in alone. Arguments (the binaries and folders of
# the other end-to-end tests) are unused.
set -euo pipefail
media="$(cd "$(dirname "$0")/../../src/media" && pwd)"

# Every include of a header of this folder, one a line: "from to file:line", where from
# and to are units (a system header or another folder's is no unit here).
cd "$media"
edges=$(awk '
  FNR == 1 { file = FILENAME; sub(/^\.\//, "", file); from = file; sub(/\.[^.]*$/, "", from) }
  /^[ \t]*#[ \t]*include[ \t]*"/ {
    to = $0
    sub(/^[^"]*"/, "", to); sub(/".*$/, "", to); sub(/^media\//, "", to)
    if (to ~ /\// || to !~ /\.h$/) next
    sub(/\.h$/, "", to)
    if (to != from && (to ".h") in headers) print from, to, file ":" FNR
  }
  BEGIN { while (("ls *.h" | getline h) > 0) headers[h] = 1 }
' ./*.cpp ./*.h)

# A pair that includes each other, once, in name order, with the lines that do it.
pairs=$(awk '{ seen[$1 " " $2] = 1; list[NR] = $1 " " $2 }
  END { for (i = 1; i <= NR; i++) { split(list[i], u, " ")
          if (u[1] < u[2] && ((u[2] " " u[1]) in seen)) print u[1], u[2] } }' <<< "$edges" | sort -u)

if [ -n "$pairs" ]; then
  while read -r a b; do
    echo "src/media: $a and $b include each other (the includes must run one way):"
    awk -v a="$a" -v b="$b" '($1 == a && $2 == b) || ($1 == b && $2 == a) {
      printf "  %s includes %s.h\n", $3, $2 }' <<< "$edges"
  done <<< "$pairs"
  exit 1
fi
echo "media includes: ok (no two files include each other)"
