// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the virtual clock of headless runs, which the flip (flip.cpp)
// and the display model (display.cpp) move and a new run (run.cpp) sets back to 0.
// Not for game code.
#pragma once

#include <cstdint>

namespace kw {

// Virtual time of headless runs, in microseconds.
uint64_t VirtualTimeUs();
void SetVirtualTimeUs(uint64_t us);
// The next 1/60 s boundary after the current virtual time.
void AdvanceVirtualTimeToNextFrame();

}  // namespace kw
