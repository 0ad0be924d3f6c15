#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Desktop install end to end: `cmake --install` into a temporary prefix yields the game,
# kwtool, the game folder, the desktop entry and AppStream metadata that pass their
# validators, the screenshots, the icons, the licence and the manual page (naming every
# option of --help) and the catalogues; the installed game then finds its game folder and
# its catalogues beside its binary with no --data and runs, in German and in English.
# Called as: bash install.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
export LANGUAGE=de  # the German game, whatever the locale: its texts are what is checked
GAME=$1
WORK=$4
BUILD=$(dirname "$GAME")
ID=org.klingenwald.Klingenwald
rm -rf "$WORK"
mkdir -p "$WORK/user"
fail() { echo "FAIL: $*" >&2; exit 1; }
P="$WORK/prefix"

timeout 300 cmake --install "$BUILD" --prefix "$P" > "$WORK/install.txt" 2>&1 \
  || { cat "$WORK/install.txt" >&2; fail "cmake --install failed"; }

for f in bin/klingenwald bin/kwtool share/klingenwald/paks/objects.pak share/klingenwald/Setup.ini \
         share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml share/man/man6/klingenwald.6 \
         share/locale/de/LC_MESSAGES/klingenwald.mo share/locale/en/LC_MESSAGES/klingenwald.mo \
         share/klingenwald/paks/en/Menu.pak; do
  [ -s "$P/$f" ] || fail "missing $f"
done
[ -x "$P/bin/klingenwald" ] || fail "the game is not executable"
[ -e "$P/share/klingenwald/.stamp" ] && fail "the build stamp was installed"
# The Debian package's files are left out of a plain install.
[ -e "$P/games" ] || [ -e "$P/share/games" ] || [ -e "$P/share/doc/klingenwald/copyright" ] \
  && fail "a plain install holds the Debian package's files"
for size in 16 24 32 48 64 128 256; do
  icon="$P/share/icons/hicolor/${size}x${size}/apps/$ID.png"
  [ -s "$icon" ] || fail "missing the ${size} px icon"
  # The PNG header's width and height are the size the folder promises.
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "the ${size} px icon is $dims"
done
grep -q '^Exec=klingenwald$' "$P/share/applications/$ID.desktop" || fail "desktop entry: Exec"
grep -q "^Icon=$ID\$" "$P/share/applications/$ID.desktop" || fail "desktop entry: Icon"
# The desktop entry and the metadata pass their validators with no error and no warning
# (AppStream's hints and infos may stay: the app id's capitals are one).
for tool in desktop-file-validate appstreamcli; do
  command -v $tool > /dev/null || fail "$tool is missing (tools/scripts/setup.sh installs it)"
done
desktop-file-validate "$P/share/applications/$ID.desktop" > "$WORK/desktop.txt" 2>&1 \
  || { cat "$WORK/desktop.txt" >&2; fail "desktop-file-validate"; }
grep -qiE 'error|warning' "$WORK/desktop.txt" && { cat "$WORK/desktop.txt" >&2; fail "desktop-file-validate warned"; }
META="$P/share/metainfo/$ID.metainfo.xml"
timeout 60 appstreamcli validate --no-net --pedantic "$META" > "$WORK/appstream.txt" 2>&1 \
  || { cat "$WORK/appstream.txt" >&2; fail "appstreamcli validate"; }
grep -qE '^[EW]:' "$WORK/appstream.txt" && { cat "$WORK/appstream.txt" >&2; fail "appstreamcli warned"; }
# What software centres show: the licence, the release with its date and words, and one
# screenshot per game mode, whose pictures are installed beside the game folder.
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$META" || fail "metainfo: licence"
# German is the metadata's own language, English merged in from po/en.po.
grep -q '<summary>Action-Adventure' "$META" || fail "metainfo: no German summary"
grep -q '<summary xml:lang="en">[A-Z]' "$META" || fail "metainfo: no English summary"
grep -qE '<release version="[0-9][^"]*" date="[0-9]{4}-[0-9]{2}-[0-9]{2}">' "$META" \
  || fail "metainfo: no release with version and date"
sed -n '/<release /,/<\/release>/p' "$META" | grep -q '<p>[A-Z]' || fail "metainfo: the release says nothing"
for mode in free story time; do
  grep -q "<image [^>]*>https://[^<]*/$mode.png</image>" "$META" || fail "metainfo: no $mode screenshot"
  shot="$P/share/klingenwald/screenshots/$mode.png"
  [ -s "$shot" ] || fail "the $mode screenshot is not installed"
  dims=$(od -An -tu1 -j16 -N8 "$shot" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = 640x480 ] || fail "the $mode screenshot is $dims"
done
cmp -s "$P/share/klingenwald/screenshots/free.png" "$P/share/klingenwald/screenshots/story.png" \
  && fail "the free and story screenshots are the same picture"
[ "$(grep -c '<screenshot[ >]' "$META")" = 3 ] || fail "metainfo: not one screenshot per mode"
cmp -s "$P/share/doc/klingenwald/COPYING" "$(dirname "$0")/../../COPYING" || fail "COPYING is not installed"

# The manual names every option --help names, and renders without a warning.
MAN="$P/share/man/man6/klingenwald.6"
grep -q '^\.TH KLINGENWALD 6 ' "$MAN" || fail "manual: not a section 6 page"
timeout 30 "$P/bin/klingenwald" --help > "$WORK/help.txt" || fail "--help failed"
for opt in $(grep -o -- '--[a-z][a-z-]*' "$WORK/help.txt" | sort -u); do
  grep -qE "^\\.BI? \\\\-\\\\-${opt#--}( |\$)" "$MAN" || fail "manual: no entry for $opt"
done
for arg in WINDOW DEBUG; do
  grep -q "^\.I $arg\$" "$MAN" || fail "manual: no entry for the argument $arg"
done
if command -v man > /dev/null && command -v groff > /dev/null; then
  LC_ALL=C.UTF-8 MANWIDTH=80 timeout 60 man --warnings -E UTF-8 -l "$MAN" > "$WORK/man.txt" 2> "$WORK/man_err.txt" \
    || fail "man could not render the manual"
  [ -s "$WORK/man_err.txt" ] && { cat "$WORK/man_err.txt" >&2; fail "man warned about the manual"; }
  grep -q 'PORTABLE MODE' "$WORK/man.txt" || fail "manual: rendered without its sections"
else
  echo "install: man is not here, the manual is not rendered"
fi

# The installed game, started as the desktop would (no --data), finds share/klingenwald.
env -u KLINGENWALD_DATA timeout 120 "$P/bin/klingenwald" --headless --user "$WORK/user" --frames 30 \
  --screenshot "$WORK/s.png" > "$WORK/out.txt" 2> "$WORK/err.txt" \
  || { cat "$WORK/err.txt" >&2; fail "the installed game did not run"; }
[ -s "$WORK/s.png" ] || fail "the installed game drew nothing"
env -u KLINGENWALD_DATA timeout 120 "$P/bin/klingenwald" --headless --lang en --user "$WORK/user" --frames 30 \
  --state "$WORK/en.json" > "$WORK/out.txt" 2> "$WORK/err.txt" \
  || { cat "$WORK/err.txt" >&2; fail "the installed game did not run in English"; }
grep -q '"language": "en"' "$WORK/en.json" || fail "the installed game did not find its English catalogue"
# A headless run opens no window and so writes no window file.
[ -e "$WORK/user/Fenster.ini" ] && fail "a headless run wrote the window file"
echo "install: ok"
