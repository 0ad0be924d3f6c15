// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: the map file reader. The input is a map file, read the way a map start
// reads it (header, three passes of cells, the background from the shipped pack).
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  kwfuzz::Put(kwfuzz::TheFolders().game / "maps" / "fuzz.map", data, size);
  kw::ReadMapFile("maps\\fuzz.map");
  // Every cell of the grid the reader made is there to be read.
  if (kw::Map.CellCount() > 0) {
    volatile int sum = 0;
    sum = sum + kw::Map.At(kw::Map.W, kw::Map.H).tile;
  }
  return 0;
}
