#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Inside the media layer the includes run one way: no two files include each other. A
# file, its header and its internal header count as one (files.cpp, files.h and
# files_internal.h are "files"), so a pair is caught whichever of its files holds the
# include, and an internal header declares only what its own file defines. Where two
# features seem to need each other, the one above calls down and hands on what the one
# below reports (the pad's pointer: input moves it, the pad puts the system pointer
# there), which keeps each feature in a file a reader can take in alone. Arguments (the binaries and folders of
# the other end-to-end tests) are unused.
set -euo pipefail
media="$(cd "$(dirname "$0")/../../src/media" && pwd)"

# Every include of a header of this folder, one a line: "from to file:line", where from
# and to are units (a system header or another folder's is no unit here).
cd "$media"
edges=$(awk '
  FNR == 1 { file = FILENAME; sub(/^\.\//, "", file); from = file; sub(/\.[^.]*$/, "", from); sub(/_internal$/, "", from) }
  /^[ \t]*#[ \t]*include[ \t]*"/ {
    to = $0
    sub(/^[^"]*"/, "", to); sub(/".*$/, "", to); sub(/^media\//, "", to)
    if (to ~ /\// || to !~ /\.h$/ || !(to in headers)) next
    header = to
    sub(/\.h$/, "", to); sub(/_internal$/, "", to)
    if (to != from) print from, to, file ":" FNR, header
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
      printf "  %s includes %s\n", $3, $4 }' <<< "$edges"
  done <<< "$pairs"
  exit 1
fi
echo "media includes: ok (no two files include each other)"
