# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Compares a --state file with the stored one it must equal, key by key: every stored key
# must be there with the same value (floats within 1e-3; keys the stored file lacks are
# not compared, so new keys in --state do not break old recordings). Prints each
# difference on stderr; exit status 1 when there is one.
# Usage: python3 compare_state.py EXPECTED.json GOT.json
import json
import sys

want = json.load(open(sys.argv[1]))
got = json.load(open(sys.argv[2]))
bad = []
for key, value in want.items():
    if key not in got:
        bad.append(f"  {key}: missing")
    elif isinstance(value, float) or isinstance(got[key], float):
        if abs(float(got[key]) - float(value)) > 1e-3:
            bad.append(f"  {key}: {got[key]} instead of {value}")
    elif got[key] != value:
        bad.append(f"  {key}: {got[key]!r} instead of {value!r}")
for line in bad:
    print(line, file=sys.stderr)
sys.exit(1 if bad else 0)
