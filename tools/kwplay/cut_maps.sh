#!/bin/bash
# Cuts a replay that kwplay found for several maps (--until) into one replay per map:
# each keeps the events up to its map's exit and plays 30 flips past it.
# Usage: cut_maps.sh CHAIN.replay NAME OUTDIR   (writes OUTDIR/NAME<N>.replay)
set -eu
chain=$1
name=$2
out=$3
grep '^# map [0-9]* left at flip' "$chain" | while read -r _ _ map _ _ _ flip; do
  end=$((flip + 30))
  awk -v end="$end" -v map="$map" '
    /^# frames/ { next }
    match($0, /^[ \t]*[0-9]+/) { if (substr($0, 1, RLENGTH) + 0 > end) next }
    /^# map [0-9]+ left/ { if ($3 + 0 > map) next }
    { print }
    END { print "# frames " end }' "$chain" > "$out/$name$map.replay"
done
