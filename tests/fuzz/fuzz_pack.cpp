// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: the pack decoder. The input is a whole pack file, read entry by entry
// to its end the way the loaders read packs.
#include "fuzz_common.h"
#include "media/pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  kwfuzz::Put(kwfuzz::TheFolders().game / "fuzz.pak", data, size);
  if (!kw::OpenPack("fuzz.pak")) return 0;
  // A pack holds at most one entry per 8 header bytes: more reads would mean a loop.
  for (size_t guard = 0; guard <= size / 8 + 1 && !kw::PackEnded(); ++guard) {
    const uint8_t* entry = kw::NextPackEntry();
    if (!entry) continue;
    size_t n = kw::LastPackEntrySize();
    // No entry is larger than the reader's cap (found by this harness: a few bytes
    // claiming hundreds of megabytes were allocated each time; now a claim is only a
    // limit and an entry holds what its stream really wrote).
    if (n > (256u << 20)) std::abort();
    volatile uint8_t sum = 0;
    if (n) sum = sum + entry[0] + entry[n - 1];  // the whole stated size is readable
  }
  if (!kw::PackEnded()) std::abort();  // the reads did not reach the end: a stall
  kw::ClosePack();
  return 0;
}
