// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the media layer: the pace of the flips. FlipScreen (flip.cpp) waits here for the
// next pass's slot after each present, asks whether vsync is wanted on the window's
// display, and in headless runs with --vblank lets the virtual clock wait as a display
// of that rate would.
#pragma once

#include <cstdint>

namespace kw {

// Whether flips should wait for the vertical blank: the player's VsyncCode, the display's
// refresh rate in mHz (0 = unknown) and the flip limit of LimitFrameRate (0 = none).
bool VsyncWanted(int choice, int refreshMilliHz, int flipLimit);
// The first vertical blank at or after nowUs on a display of refreshMilliHz whose blanks
// fall on whole periods from time 0.
uint64_t NextVblankUs(uint64_t nowUs, int refreshMilliHz);
// When the next pass may start: one slot after the last one's start (none yet when
// haveLast is false), or now when that has passed.
uint64_t FrameSlotStart(uint64_t now, uint64_t lastStart, bool haveLast, uint64_t slot);

// Forgets the last slot (a new run).
void ResetFramePacing();
// Real time, after the present: waits until the next pass may start at fps flips a
// second at most.
void WaitForFrameSlot(int fps);
// Virtual time: when a flip presented at nowUs lets the next pass start, on a display of
// refreshMilliHz with or without vsync: the blank, then the same slot as WaitForFrameSlot.
uint64_t ModelFlipUs(uint64_t nowUs, int fps, int refreshMilliHz, bool vsync);

}  // namespace kw
