// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: a picture loaded from a pack entry's bytes, then drawn, so a decoded
// size that disagrees with the pixels shows as a bad read.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  constexpr int Scratch = 65000;  // far above the game's own sprite numbers
  if (kw::LoadSpriteFromMemory(Scratch, data, size, kw::TextureFlag)) {
    if (kw::SpriteWidth(Scratch) <= 0 || kw::SpriteHeight(Scratch) <= 0) std::abort();
    kw::SetBlitTarget(-1);
    kw::DrawSprite(Scratch, 0, 0);
  }
  kw::FreeSprite(Scratch);
  return 0;
}
