# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Compares a catalogue with a template by their texts (context and id), for the catalogue
# check: prints each text of TEMPLATE that CATALOGUE lacks, with where the game uses it,
# and with --translated also each one CATALOGUE leaves untranslated or marks fuzzy; with
# --untranslated-only, each text CATALOGUE does translate. Exit status 1 when it printed any.
# Usage: python3 po_check.py TEMPLATE CATALOGUE [--translated | --untranslated-only]
import sys


def entries(path):
    """(context, id) -> (translation, fuzzy, places) of a PO file, header and obsolete left out."""
    out, entry, field = {}, None, None

    def finish():
        if entry and entry["id"]:
            out[(entry["ctx"], entry["id"])] = (entry["str"], entry["fuzzy"], entry["places"])

    def unquote(text):
        text = text.strip()[1:-1]
        result, i = "", 0
        while i < len(text):
            if text[i] == "\\" and i + 1 < len(text):
                result += {"n": "\n", "t": "\t"}.get(text[i + 1], text[i + 1])
                i += 2
            else:
                result += text[i]
                i += 1
        return result

    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if not line.strip():
            finish()
            entry, field = None, None
            continue
        if line.startswith("#~"):
            continue
        if entry is None:
            entry = {"ctx": "", "id": "", "str": "", "fuzzy": False, "places": []}
        if line.startswith("#:"):
            entry["places"] += line[2:].split()
        elif line.startswith("#,"):
            entry["fuzzy"] = "fuzzy" in line
        elif line.startswith("msgctxt "):
            field = "ctx"
            entry[field] = unquote(line[8:])
        elif line.startswith("msgid "):
            field = "id"
            entry[field] = unquote(line[6:])
        elif line.startswith("msgstr "):
            field = "str"
            entry[field] = unquote(line[7:])
        elif line.startswith('"') and field:
            entry[field] += unquote(line)
    finish()
    return out


template, catalogue = entries(sys.argv[1]), entries(sys.argv[2])
mode = sys.argv[3] if len(sys.argv) > 3 else ""
found = 0
for key, (_, _, places) in template.items():
    have = catalogue.get(key)
    if mode == "--untranslated-only":
        problem = "translated" if have and have[0] else None
    elif have is None:
        problem = "missing"
    elif mode == "--translated" and (not have[0] or have[1]):
        problem = "fuzzy" if have[1] else "untranslated"
    else:
        problem = None
    if problem:
        found += 1
        context = "[%s] " % key[0] if key[0] else ""
        print("  %s: %s%r (%s)" % (problem, context, key[1], " ".join(places[:3])))
sys.exit(1 if found else 0)
