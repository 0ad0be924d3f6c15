#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The Debian package end to end: cpack packs this build tree (nothing is rebuilt) into
# klingenwald_VERSION_ARCH.deb; its control fields, its file list (the game in /usr/games,
# the game folder in /usr/share/games/klingenwald, the desktop files, the compressed
# manual, Debian's copyright and changelog, the catalogues in /usr/share/locale, no kwtool)
# and lintian (no error, no warning the README does not explain) are checked; then the game
# unpacked with dpkg-deb -x into a scratch root finds its game folder there by itself and
# plays from the menus into a map, and finds its English catalogue.
# Called as: bash package.sh <klingenwald> <kwtool> <gamedir> <workdir>
. "$(dirname "$0")/common/args.sh" "$@"
. "$(dirname "$0")/common/menu_start.sh"
BUILD=$(dirname "$GAME")
TOP=$(cd "$(dirname "$0")/../.." && pwd)
ID=org.klingenwald.Klingenwald
# The warnings lintian still gives, each explained in the README's "Install" section.
KNOWN_WARNINGS="initial-upload-closes-no-bugs"

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian; do
  command -v $tool > /dev/null || fail "$tool is missing (tools/scripts/setup.sh installs it)"
done

# The package's name comes from the Debian changelog, whose version is the game's own
# plus a Debian revision, and whose date is the release date of the metadata.
CHANGELOG="$TOP/desktop/deb/changelog"
debversion=$(dpkg-parsechangelog -l "$CHANGELOG" -S Version) || fail "the Debian changelog cannot be read"
gameversion=$(timeout 30 "$GAME" --version | sed -n '1s/^klingenwald //p')
[ "${debversion%-*}" = "$gameversion" ] || fail "the Debian changelog is at $debversion, the game at $gameversion"
changed=$(date -u -d "$(dpkg-parsechangelog -l "$CHANGELOG" -S Date)" +%F)
grep -q "<release version=\"$gameversion\" date=\"$changed\">" "$BUILD/$ID.metainfo.xml" \
  || fail "the metainfo's release is not the changelog's ($gameversion, $changed)"

timeout 300 cpack -G DEB -B "$WORK/out" --config "$BUILD/CPackConfig.cmake" > "$WORK/cpack.txt" 2>&1 \
  || { cat "$WORK/cpack.txt" >&2; fail "cpack failed"; }
DEB="$WORK/out/klingenwald_${debversion}_$(dpkg --print-architecture).deb"
[ -s "$DEB" ] || { ls "$WORK/out" >&2; fail "no $(basename "$DEB")"; }

# Control fields: a game, the libraries the binary links, and the faces it draws with.
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = klingenwald ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$debversion" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
depends=$(field Depends)
for dep in fonts-junicode fonts-dejavu-core libc6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libfontconfig1; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done

# The file list: everything under /usr, owned by root, in Debian's places.
dpkg-deb -c "$DEB" > "$WORK/list.txt" || fail "dpkg-deb -c failed"
awk '{print $6}' "$WORK/list.txt" | sed 's#/$##' > "$WORK/paths.txt"
for f in usr/games/klingenwald usr/share/games/klingenwald/paks/objects.pak \
         usr/share/games/klingenwald/Setup.ini usr/share/games/klingenwald/maps/Story/map1.map \
         usr/share/games/klingenwald/screenshots/free.png usr/share/games/klingenwald/screenshots/story.png \
         usr/share/games/klingenwald/screenshots/time.png \
         usr/share/applications/$ID.desktop usr/share/metainfo/$ID.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/$ID.png usr/share/icons/hicolor/256x256/apps/$ID.png \
         usr/share/man/man6/klingenwald.6.gz usr/share/doc/klingenwald/copyright \
         usr/share/doc/klingenwald/changelog.Debian.gz usr/share/games/klingenwald/paks/en/Menu.pak \
         usr/share/locale/de/LC_MESSAGES/klingenwald.mo usr/share/locale/en/LC_MESSAGES/klingenwald.mo; do
  grep -qx "./$f" "$WORK/paths.txt" || fail "the package lacks /$f"
done
grep -vE '^\.(/usr(/.*)?)?$' "$WORK/paths.txt" && fail "files outside /usr"
grep -E 'kwtool|/bin/|\.stamp$|/klingenwald\.6$' "$WORK/paths.txt" && fail "files a player's package does not hold"
awk '$2 != "root/root"' "$WORK/list.txt" | grep . && fail "files not owned by root"
grep -q '^-rwxr-xr-x .* \./usr/games/klingenwald$' "$WORK/list.txt" || fail "the game is not 0755"

# lintian: no error, and no warning but those the README explains.
timeout 300 lintian --pedantic "$DEB" > "$WORK/lintian.txt" 2>&1
grep '^E:' "$WORK/lintian.txt" && fail "lintian reports errors"
grep '^W:' "$WORK/lintian.txt" | awk '{print $3}' | sort -u > "$WORK/warnings.txt"
for tag in $(cat "$WORK/warnings.txt"); do
  [[ " $KNOWN_WARNINGS " == *" $tag "* ]] || { cat "$WORK/lintian.txt" >&2; fail "lintian warns: $tag"; }
done

# Unpacked into a scratch root, the game finds usr/share/games/klingenwald with no option
# and plays: the real menus ("Start", "Free Game", "Leicht"), the title, then walking right.
ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT" || fail "dpkg-deb -x failed"
[ -e "$ROOT/usr/share/klingenwald" ] && fail "the package holds share/klingenwald"
cmp -s "$ROOT/usr/share/doc/klingenwald/copyright" "$TOP/desktop/deb/copyright" || fail "copyright differs"
zcat "$ROOT/usr/share/man/man6/klingenwald.6.gz" | cmp -s - "$TOP/desktop/klingenwald.6" || fail "the manual differs"
printf '# leave the title, walk right\n10 key down 28\n12 key up 28\n20 key down 205\n140 key up 205\n' > "$WORK/walk.replay"
kw_through_menus "$WORK/walk.replay" "$WORK/play.replay"
mkdir -p "$WORK/user"
env -u KLINGENWALD_DATA SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 \
  "$ROOT/usr/games/klingenwald" --headless --seed 1 --user "$WORK/user" \
  --frames $((KW_MENU_FRAMES + 160)) --replay "$WORK/play.replay" --state "$WORK/state.json" \
  > "$WORK/out.txt" 2> "$WORK/err.txt" || { cat "$WORK/err.txt" >&2; fail "the unpacked game did not run"; }
state=$(cat "$WORK/state.json")
for want in '"screen": "play"' '"CurrentMap": 1' '"StoryMode": 0' '"GameOver": 0'; do
  [[ "$state" == *"$want"* ]] || fail "the unpacked game is not playing map 1 ($want): $state"
done
# The figure walked right: posX, the world's offset, falls from about -30 at the start.
posx=$(sed -n 's/.*"posX": \(-\{0,1\}[0-9.]*\).*/\1/p' "$WORK/state.json")
awk -v x="$posx" 'BEGIN { exit !(x < -300) }' || fail "the figure did not walk (posX $posx)"
env -u KLINGENWALD_DATA SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 \
  "$ROOT/usr/games/klingenwald" --headless --lang en --user "$WORK/user" --frames 30 --state "$WORK/en.json" \
  > "$WORK/out.txt" 2> "$WORK/err.txt" || { cat "$WORK/err.txt" >&2; fail "the unpacked game did not run in English"; }
grep -q '"language": "en"' "$WORK/en.json" || fail "the unpacked game did not find /usr/share/locale/en"
echo "package: $(basename "$DEB") ok"
