#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Pictures, sounds, fonts and keys go by their catalogue names (content/catalogue.h) in
# the game's code: a media call whose picture, sound, font or key is a lone number, a
# facing compared with a digit, or a tile or contact code spelled as a number fails this
# check. A number the game computes from a name (AnimFrameBase + k, 500 + shade) is a sum
# and passes; -1 (all sounds, any key, the back buffer) is no catalogue number.
# Optional first argument: the src folder to check (the other end-to-end tests pass
# their binaries here, which are not folders and are ignored).
set -uo pipefail
src="$(cd "$(dirname "$0")/../../src" && pwd)"
[ $# -ge 1 ] && [ -d "$1" ] && src="$1"

verbs='CreateSprite|DrawSprite|DrawSprite3D|DrawSpriteKeyed|DuplicateSprite|FreeSprite|GrabScreenSprite'
verbs+='|KeyDown|KeyReleased|LoadFontFace|LoadSoundFromMemory|LoadSpriteFromFile|LoadSpriteFromMemory'
verbs+='|MakeSprite3D|PlaySoundFx|ScaleSprite3D|SelectFont|SetBlitTarget|SetSoundVolume|SetSpriteClip'
verbs+='|SetSpriteKeyColor|SoundLoaded|SoundPlaying|SoundVolume|SpriteBoxesTouch|SpriteExists'
verbs+='|SpriteHeight|SpriteWidth|SpritesTouch|StopSoundFx|TurnSprite3D'
number='\(\s*[0-9]+\s*[,)]'                        # a lone number as the first argument
second='\b(DuplicateSprite|MakeSprite3D)\([^(),]+,\s*[0-9]+\s*\)'
fourth='\b(SpritesTouch|SpriteBoxesTouch)\((([^(),]+|[^(),]*\([^()]*\)[^(),]*),){3}\s*[0-9]+\s*,'
codes='\b(facing|LastSide|spellDir)\s*(==|!=)\s*[0-9]|\b(facing|LastSide)\s*=\s*[1-9]'
codes+='|\b(tile|pickup)\s*(==|!=|>|>=|<|<=)\s*[0-9]{2}|\bpickup\s*(==|!=)\s*[1-9]\b'

status=0
for dir in shell content play script menus save; do
  for f in "$src/$dir"/*.cpp "$src/$dir"/*.h; do
    [ -f "$f" ] || continue
    [ "$(basename "$f")" = catalogue.h ] && continue
    # Comments may name numbers: only the code before a // counts.
    hits=$(sed -E 's://.*$::' "$f" | grep -nP "\b($verbs)$number|$second|$fourth|$codes")
    [ $? -gt 1 ] && { echo "the check's pattern is broken"; exit 2; }
    if [ -n "$hits" ]; then
      echo "${f#"$src"/} uses a bare catalogue number:"
      echo "$hits"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "catalogue names: ok"
exit $status
