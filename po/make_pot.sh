#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Writes the translation template: every text the game shows, from the code and from the
# shipped data, with the file and line each comes from.
#   - the game's sources: the texts given to Translate or marked with Translatable (the
#     sources write Latin-1 as escapes, hence ISO-8859-1);
#   - the data generator's sources: the words it draws into pictures (PictureText, UTF-8);
#   - the game data: what the scripts, cutscenes.ini and Gegner.ini show (kwtool text
#     extract, through the game's own script parser);
#   - the desktop metadata (the AppStream summary, description and captions).
# Usage: bash make_pot.sh SOURCE_DIR KWTOOL OUT.pot
set -eu
src=$1
kwtool=$2
out=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$src"
common=(--language=C++ --add-comments=TRANSLATORS: --sort-by-file --package-name=klingenwald
        --copyright-holder="the Klingenwald developers"
        --msgid-bugs-address=klingenwald@klingenwald.invalid)
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort > "$tmp/game.files"
xgettext "${common[@]}" --from-code=ISO-8859-1 --keyword=Translate --keyword=Translatable \
  --files-from="$tmp/game.files" -o "$tmp/game.pot"
find tools/kwgen -name '*.cpp' | LC_ALL=C sort > "$tmp/pictures.files"
xgettext "${common[@]}" --from-code=UTF-8 --keyword=PictureText:1,1t --keyword=PictureText:1,2c,2t \
  --files-from="$tmp/pictures.files" -o "$tmp/pictures.pot"
"$kwtool" text extract gamedata "$tmp/data.pot"
xgettext --its=/usr/share/gettext/its/metainfo.its --from-code=UTF-8 \
  -o "$tmp/desktop.pot" desktop/org.klingenwald.Klingenwald.metainfo.xml.in
msgcat --use-first -o "$tmp/all.pot" \
  "$tmp/game.pot" "$tmp/pictures.pot" "$tmp/data.pot" "$tmp/desktop.pot"
# No creation date: the template changes only when a text does, so branches that add texts
# merge without a conflict in its header.
sed -e '1s/.*/# The texts of Klingenwald, in German as the game shows them./' -e '2s/YEAR/2026/' \
  -e '4d' -e '/^"POT-Creation-Date: /d' "$tmp/all.pot" > "$out"
