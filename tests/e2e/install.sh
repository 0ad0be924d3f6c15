#!/bin/bash
# Desktop install end to end: `cmake --install` into a temporary prefix yields the game,
# kwtool, the game folder, the desktop entry, valid AppStream metadata and the icons; the
# installed game then finds its game folder beside its binary with no --data and runs.
# Called as: bash install.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
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
         share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml; do
  [ -s "$P/$f" ] || fail "missing $f"
done
[ -x "$P/bin/klingenwald" ] || fail "the game is not executable"
[ -e "$P/share/klingenwald/.stamp" ] && fail "the build stamp was installed"
for size in 16 24 32 48 64 128 256; do
  icon="$P/share/icons/hicolor/${size}x${size}/apps/$ID.png"
  [ -s "$icon" ] || fail "missing the ${size} px icon"
  # The PNG header's width and height are the size the folder promises.
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "the ${size} px icon is $dims"
done
grep -q '^Exec=klingenwald$' "$P/share/applications/$ID.desktop" || fail "desktop entry: Exec"
grep -q "^Icon=$ID\$" "$P/share/applications/$ID.desktop" || fail "desktop entry: Icon"
grep -q '<release version="[0-9]' "$P/share/metainfo/$ID.metainfo.xml" || fail "metainfo: no version"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$P/share/applications/$ID.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli > /dev/null; then
  timeout 60 appstreamcli validate --no-net "$P/share/metainfo/$ID.metainfo.xml" > "$WORK/appstream.txt" 2>&1 \
    || { cat "$WORK/appstream.txt" >&2; fail "appstreamcli validate"; }
fi

# The installed game, started as the desktop would (no --data), finds share/klingenwald.
env -u KLINGENWALD_DATA timeout 120 "$P/bin/klingenwald" --headless --user "$WORK/user" --frames 30 \
  --screenshot "$WORK/s.png" > "$WORK/out.txt" 2> "$WORK/err.txt" \
  || { cat "$WORK/err.txt" >&2; fail "the installed game did not run"; }
[ -s "$WORK/s.png" ] || fail "the installed game drew nothing"
# A headless run opens no window and so writes no window file.
[ -e "$WORK/user/Fenster.ini" ] && fail "a headless run wrote the window file"
echo "install: ok"
