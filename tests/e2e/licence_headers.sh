#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The licence: COPYING is the GPL 3 as Debian ships it, and every source file tracked by
# git names the licence and the copyright holders in its first lines. Source means code
# (.cpp .h .c), scripts (.sh .py, or any file starting with #!), CMake files, and the
# hand-written desktop entry and manual page. Data read line by line or by position
# (maps, map scripts, ini files, replays, stored states) carries no header; Debian's
# copyright file (desktop/deb/copyright) covers it.
# Called as: bash licence_headers.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh" "$@"
TOP=$(cd "$(dirname "$0")/../.." && pwd)

if [ -r /usr/share/common-licenses/GPL-3 ]; then
  cmp -s "$TOP/COPYING" /usr/share/common-licenses/GPL-3 || fail "COPYING is not /usr/share/common-licenses/GPL-3"
else
  grep -q 'Version 3, 29 June 2007' "$TOP/COPYING" || fail "COPYING is not the GPL 3"
fi

# The tracked files; without git (a source tarball), every file but the build folders.
if git -C "$TOP" rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  git -C "$TOP" ls-files -z > "$WORK/files"
else
  (cd "$TOP" && find . \( -name .git -o -name 'build*' -o -name tmp \) -prune -o -type f -print0 \
    | sed -z 's#^\./##') > "$WORK/files"
fi

# Source by name, then the rest by a #! first line.
tr '\0' '\n' < "$WORK/files" | while IFS= read -r f; do [ -f "$TOP/$f" ] && echo "$f"; done > "$WORK/tracked"
grep -E '\.(cpp|h|c|sh|py|cmake|desktop)$|(^|/)CMakeLists\.txt$|^desktop/[^/]*\.6$' "$WORK/tracked" > "$WORK/source"
grep -vxF -f "$WORK/source" "$WORK/tracked" | (cd "$TOP" && xargs -r -d '\n' awk 'FNR == 1 && /^#!/ { print FILENAME } { nextfile }') >> "$WORK/source"

# The header: both lines within the first five (after a #! line, in any comment form).
(cd "$TOP" && xargs -r -d '\n' awk '
  function judge() { if (file != "" && !(spdx && holder)) print file }
  FNR == 1 { judge(); file = FILENAME; spdx = 0; holder = 0 }
  FNR > 5 { nextfile }
  /SPDX-License-Identifier: GPL-3\.0-or-later$/ { spdx = 1 }
  /Copyright \(C\) [0-9][0-9][0-9][0-9](-[0-9][0-9][0-9][0-9])? the Klingenwald developers$/ { holder = 1 }
  END { judge() }' < "$WORK/source") > "$WORK/missing"
while IFS= read -r f; do [ -s "$TOP/$f" ] || echo "$f"; done < "$WORK/source" >> "$WORK/missing"
checked=$(wc -l < "$WORK/source")
[ "$checked" -gt 100 ] || fail "only $checked source files found"
sed 's/^/no licence header: /' "$WORK/missing" >&2
[ -s "$WORK/missing" ] && fail "$(wc -l < "$WORK/missing") source files lack the licence header"
echo "licence_headers: $checked source files carry the header"
