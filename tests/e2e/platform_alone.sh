#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The platform layer stays alone: outside src/media no source file includes SDL, <thread>,
# <fstream>, <filesystem>, a POSIX header or the C library's locale and gettext (the text
# lookup is a media service). (tools/ and tests/ may use the standard
# file headers; this check is for the game itself.) Nor does the game include the media
# layer's internal headers.
# Arguments: <klingenwald> <kwtool> <gamedir> <workdir> (only the script's place is used)
set -u
src=$(cd "$(dirname "$0")/../../src" && pwd) || { echo "FAIL: no src folder"; exit 1; }
posix='unistd|fcntl|dirent|pthread|signal|poll|dlfcn|termios|pwd|grp|spawn|syslog|sched|semaphore|netdb|poll|libintl|locale|langinfo'
pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]((SDL[^>\"]*)|thread|fstream|filesystem|clocale|(sys|netinet|arpa)/[^>\"]*|($posix)\.h)[>\"]"
found=$(grep -rnE --include='*.cpp' --include='*.h' --include='*.hpp' --include='*.cc' "$pattern" "$src" \
        | grep -v "^$src/media/")
if [ -n "$found" ]; then
  echo "FAIL: platform headers outside src/media:"
  echo "$found"
  exit 1
fi
# The media layer's internal headers (its event plumbing, scancode tables and test hooks)
# are for the media layer and the tests, never for the game.
internal=$(grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"media/[^"]*_internal\.h"' "$src" \
           | grep -v "^$src/media/")
if [ -n "$internal" ]; then
  echo "FAIL: media internal headers outside src/media:"
  echo "$internal"
  exit 1
fi
echo "platform alone: ok"
