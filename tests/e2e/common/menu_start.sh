# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Sourced by end-to-end scripts whose replays begin at the spinning title picture: such a
# replay is run through the real menus first ("Start", "Free Game", "Leicht").
# kw_through_menus IN OUT writes OUT: the menu clicks, then IN's events shifted by
# KW_MENU_FRAMES flips, so they reach the title picture and play as they were written.

KW_MENU_FRAMES=60

kw_through_menus() {
  {
    cat <<'CLICKS'
# "Start" once the menu panel has slid in, "Free Game", "Leicht".
35 mouse 120 90 0
38 mouse 120 90 1
40 mouse 120 90 0
45 mouse 265 170 1
47 mouse 265 170 0
52 mouse 240 170 1
54 mouse 240 170 0
CLICKS
    awk -v d="$KW_MENU_FRAMES" '
      match($0, /^[ \t]*[0-9]+/) { print substr($0, 1, RLENGTH) + d substr($0, RLENGTH + 1); next }
      { print }' "$1"
  } > "$2"
}
