// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: the map script parser. The input is a script, optionally followed by a
// part marker and a tag grid; both are parsed into a map of fixed size, then the start
// script runs once the way a map start runs it.
#include "fuzz_common.h"
#include "script/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  std::string parts[2];
  kwfuzz::SplitParts(data, size, parts, 2);
  const kwfuzz::fs::path maps = kwfuzz::TheFolders().game / "maps";
  kwfuzz::Put(maps / "fuzz.ssc", parts[0]);
  kwfuzz::Put(maps / "fuzz_tags.dat", parts[1]);
  kw::Map.Create(40, 30);
  kw::ResetScriptRun();
  kw::ClearScriptLists();
  kw::ParseScript("maps\\fuzz.ssc", "maps\\fuzz_tags.dat");
  return 0;
}
