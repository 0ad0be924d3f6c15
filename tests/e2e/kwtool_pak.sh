#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# kwtool pak: create a pack from a few files, list it, extract it and compare bytes.
# Called as: bash kwtool_pak.sh <klingenwald> <kwtool> <gamedir> <workdir>
set -u
KWTOOL=$(realpath "$2")
WORK=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/in" || fail "cannot make $WORK"
cd "$WORK" || fail "cannot enter $WORK"

# A PNG-looking header, a WAVE file of a repeated tone, Ogg and JPEG magics, noise, an empty file.
{ printf '\x89PNG\r\n\x1a\n'; head -c 3000 /dev/zero; } > in/a.png
{ printf 'RIFF\x24\x10\x00\x00WAVEfmt '; for i in $(seq 1 400); do printf '\x00\x10\x00\x30\x00\x10\x00\xd0'; done; } > in/b.wav
{ printf 'OggS'; head -c 200 /dev/urandom; } > in/c.ogg
{ printf '\xff\xd8\xff\xe0'; head -c 500 /dev/zero; } > in/d.jpg
head -c 1000 /dev/urandom > in/e.dat
: > in/f.dat

"$KWTOOL" pak create t.pak in/a.png in/b.wav in/c.ogg in/d.jpg in/e.dat in/f.dat || fail "create"
"$KWTOOL" pak list t.pak > list.txt || fail "list"
cat list.txt
[ "$(wc -l < list.txt)" -eq 6 ] || fail "expected 6 entries"
grep -q '^0 3008 [0-9]* packed checksum ok$' list.txt || fail "entry 0 should be packed"
grep -q '^1 3216 [0-9]* packed checksum ok$' list.txt || fail "entry 1 should be packed"
grep -q '^4 1000 1000 stored$' list.txt || fail "noise should be stored"
grep -q '^5 0 0 stored$' list.txt || fail "empty entry"

"$KWTOOL" pak extract t.pak out || fail "extract"
cmp out/000.png in/a.png || fail "000.png differs"
cmp out/001.wav in/b.wav || fail "001.wav differs"
cmp out/002.ogg in/c.ogg || fail "002.ogg differs"
cmp out/003.jpg in/d.jpg || fail "003.jpg differs"
cmp out/004.bin in/e.dat || fail "004.bin differs"
cmp out/005.bin in/f.dat || fail "005.bin differs"

# A damaged checksum is reported, an unreadable file exits 1, bad usage exits 2.
cp t.pak bad.pak
printf '\x01' | dd of=bad.pak bs=1 seek=14 conv=notrunc 2>/dev/null   # checksum of entry 0
"$KWTOOL" pak list bad.pak | grep -q '^0 3008 [0-9]* packed checksum bad$' || fail "bad checksum not seen"
"$KWTOOL" pak list missing.pak 2>/dev/null; [ $? -eq 1 ] || fail "missing file should exit 1"
"$KWTOOL" pak create 2>/dev/null; [ $? -eq 2 ] || fail "usage should exit 2"
"$KWTOOL" pak frobnicate x 2>/dev/null; [ $? -eq 2 ] || fail "usage should exit 2"
# A folder, or an entry claiming more than the game takes: one line, status 1, no abort.
mkdir -p folder
for args in "list folder" "extract folder outf"; do
  timeout -k 5 60 "$KWTOOL" pak $args 2> err.txt; rc=$?
  [ $rc -eq 1 ] || fail "pak $args ended with $rc"
  [ "$(wc -l < err.txt)" -eq 1 ] || fail "pak $args: expected one line, got: $(cat err.txt)"
done
cp t.pak huge.pak
printf '\xf0\xff\xff\xff' | dd of=huge.pak bs=1 seek=0 conv=notrunc 2>/dev/null  # U of entry 0
for args in "list huge.pak" "extract huge.pak outh"; do
  timeout -k 5 60 "$KWTOOL" pak $args > /dev/null 2> err.txt; rc=$?
  [ $rc -eq 1 ] || fail "pak $args ended with $rc"
  grep -q 'entry 0' err.txt || fail "pak $args does not name the bad entry: $(cat err.txt)"
done
echo "kwtool pak: ok"
