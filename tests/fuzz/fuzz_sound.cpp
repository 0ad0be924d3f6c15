// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Fuzz harness: a sound loaded from a pack entry's bytes (WAV or Ogg Vorbis), stated
// length taken from the input's first byte so both the stated and unstated cases run.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kwfuzz::StartOnce();
  static const bool audio = [] {  // the mixer decodes only with the device open
    kw::InitSound();
    kw::EnableOggDecoding();
    return true;
  }();
  (void)audio;
  if (size < 1) return 0;
  size_t stated = data[0] & 1 ? size - 1 : 0;
  constexpr int Scratch = 1000;
  if (kw::LoadSoundFromMemory(Scratch, data + 1, size - 1, stated)) kw::PlaySoundFx(Scratch, 0);
  kw::FreeSound(Scratch);
  return 0;
}
