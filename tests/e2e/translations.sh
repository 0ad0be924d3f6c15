#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The catalogue check: every text the game shows has its entry in po/klingenwald.pot and a
# finished English translation in po/en.po. It makes the template afresh from the sources
# and the game data (po/make_pot.sh, as the po-update target does) and fails, naming them,
#   - on texts the committed template lacks (new or changed texts: run
#     `cmake --build build --target po-update` and translate what it adds to po/en.po);
#   - on texts po/en.po leaves untranslated or marks fuzzy, or lacks;
#   - on a German catalogue (po/de.po, the source language) that translates anything;
#   - on a catalogue msgfmt --check refuses;
#   - on a text drawn, shown in a message box or put on the message line as a bare literal
#     in the game's code, which no catalogue can reach (wrap it in Translate).
# Texts the game builds at run time from catalogue texts (the scripts' messages) are held by
# the English replay's state: its "untranslated" count must stay 0 (play_replay.sh).
. "$(dirname "$0")/common/args.sh"
src=$(cd "$(dirname "$0")/../.." && pwd)
po=$src/po
for tool in xgettext msgcat msgfmt python3; do
  command -v $tool > /dev/null || fail "$tool is missing (Debian package gettext)"
done

timeout 120 bash "$po/make_pot.sh" "$src" "$KWTOOL" "$WORK/fresh.pot" 2> "$WORK/pot.err" \
  || { cat "$WORK/pot.err" >&2; fail "the template cannot be made"; }
[ "$(grep -c '^msgid ' "$WORK/fresh.pot")" -gt 100 ] || fail "the fresh template holds almost nothing"

failed=0
check="python3 $(dirname "$0")/common/po_check.py"
# A text of the fresh template must be in the committed one.
if ! $check "$WORK/fresh.pot" "$po/klingenwald.pot" > "$WORK/pot.txt"; then
  echo "FAIL: texts the game shows that po/klingenwald.pot lacks (run the po-update target):" >&2
  cat "$WORK/pot.txt" >&2
  failed=1
fi
# English: every text of the fresh template, translated and not fuzzy.
if ! $check "$WORK/fresh.pot" "$po/en.po" --translated > "$WORK/en.txt"; then
  echo "FAIL: texts po/en.po does not translate yet (a fuzzy one: check it, then drop the mark):" >&2
  cat "$WORK/en.txt" >&2
  failed=1
fi
# German is the source: its catalogue holds every text and translates none.
if ! $check "$WORK/fresh.pot" "$po/de.po" > "$WORK/de.txt"; then
  echo "FAIL: texts po/de.po lacks (run the po-update target):" >&2
  cat "$WORK/de.txt" >&2
  failed=1
fi
if ! $check "$po/de.po" "$po/de.po" --untranslated-only > "$WORK/de-translated.txt"; then
  echo "FAIL: po/de.po translates German texts, which are their own ids:" >&2
  cat "$WORK/de-translated.txt" >&2
  failed=1
fi
while read -r lang; do
  case $lang in ''|'#'*) continue ;; esac
  msgfmt --check -o /dev/null "$po/$lang.po" 2> "$WORK/$lang.fmt" \
    || { echo "FAIL: po/$lang.po:" >&2; cat "$WORK/$lang.fmt" >&2; failed=1; }
done < "$po/LINGUAS"

# A quoted text with a letter in it, handed straight to the screen, a message box or the
# message line, with no lookup around it.
bare=$(grep -rnE --include='*.cpp' '(DrawTextAt\(|ShowMessage\(|\.message[23]? = )' "$src/src" \
       | grep -v "^$src/src/media/" | python3 -c '
import re, sys
literal = r"\"(?:[^\"\\]|\\.)*\""
for line in sys.stdin:
    code = line.split(":", 2)[2]
    code = re.sub(r"Translat(?:e|able)\(\s*(?:" + literal + r"\s*)+\)", "", code)
    if "cannot write the state file" in code:  # a tool message for tests, not the game
        continue
    if any(re.search("[A-Za-z]", m) for m in re.findall(literal, code)):
        print(line, end="")')
if [ -n "$bare" ]; then
  echo "FAIL: texts shown without the lookup (wrap them in Translate):" >&2
  echo "$bare" >&2
  failed=1
fi

[ $failed -eq 0 ] || exit 1
echo "translations ok ($(grep -c '^msgid ' "$po/klingenwald.pot") texts, English complete)"
