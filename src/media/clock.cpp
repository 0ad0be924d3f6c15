// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Time: the real clock of a windowed run, and the virtual clock of headless runs that
// only the flips and SleepMs move, so a replay sees the same times on every machine.
#include "media/core.h"
#include "media/clock_internal.h"

#include <SDL.h>

namespace kw {

namespace {

// Virtual time of headless runs, in microseconds.
uint64_t VirtualUs = 0;

}  // namespace

uint64_t VirtualTimeUs() { return VirtualUs; }
void SetVirtualTimeUs(uint64_t us) { VirtualUs = us; }

// The next 1/60 s boundary after the current virtual time.
void AdvanceVirtualTimeToNextFrame() {
  uint64_t frame = VirtualUs * 60 / 1000000;
  VirtualUs = ((frame + 1) * 1000000 + 59) / 60;
}

uint32_t TimeMs() {
  if (IsHeadless()) return uint32_t(VirtualUs / 1000);
  return SDL_GetTicks();
}

void SleepMs(int ms) {
  if (ms <= 0) return;
  if (IsHeadless()) {
    VirtualUs += uint64_t(ms) * 1000;
    return;
  }
  SDL_Delay(Uint32(ms));
}

}  // namespace kw
