// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The pace of the flips. The world step runs when more than 15 ms passed since the last
// one, and FlipScreen lets at most 60 passes a second through, so a step is due on every
// pass as long as the passes start at an even pace. So the flip shows the picture first
// and then waits for the slot: whatever the present took -- a vsynced one waits for the
// display's blank, a busy window system for itself -- the next pass, and the clock
// reading of its step test, starts one slot after the last. (Waiting first and showing
// after let the present's time shift that reading; a pass less than 16 ms after the last
// lost its step, and with vsync at 144 Hz, where flips land two or three blanks apart,
// two steps in five were lost.) Vsync is used only near 60 Hz all the same: elsewhere a
// blank can come after the slot and hold the pass. Headless runs with --vblank model such
// a display on the virtual clock, so tests see the pace at any rate.
// Called by FlipScreen (flip.cpp) and the display code in display.cpp.
#include "media/pacing_internal.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "media/core.h"

namespace kw {

namespace {

// How close to the slot's start a wait stops sleeping and spins: a sleeper wakes about a
// tenth of a millisecond late (more on a busy machine), and every late start makes the
// game that much slower than 60 steps a second.
constexpr uint64_t SpinTailNs = 200000;
// The display rate that vsync suits: the flip limit, give or take this (59.94 Hz too).
constexpr int VsyncToleranceMilliHz = 1000;
constexpr uint64_t MicroMilliHzPerSecond = 1000000000ull;  // microseconds a second times mHz per Hz

uint64_t LastSlotNs = 0;  // real time: when the last flip's slot began
bool HaveLastSlot = false;
uint64_t ModelLastSlotUs = 0;  // virtual time: the same for the --vblank model
bool ModelHaveLastSlot = false;

uint64_t NowNs() {
  return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace

bool VsyncWanted(int choice, int refreshMilliHz, int flipLimit) {
  if (choice == VsyncOn) return true;
  if (choice == VsyncOff) return false;
  if (flipLimit <= 0) return true;  // no limiter: the blank is the only pace there is
  return refreshMilliHz > 0 && std::abs(refreshMilliHz - flipLimit * 1000) <= VsyncToleranceMilliHz;
}

uint64_t NextVblankUs(uint64_t nowUs, int refreshMilliHz) {
  if (refreshMilliHz <= 0) return nowUs;
  const uint64_t rate = uint64_t(refreshMilliHz);
  // Blank k falls at k * 10^9 / rate microseconds; the first k not before now, rounded up.
  uint64_t k = (nowUs * rate + MicroMilliHzPerSecond - 1) / MicroMilliHzPerSecond;
  return (k * MicroMilliHzPerSecond + rate - 1) / rate;
}

uint64_t FrameSlotStart(uint64_t now, uint64_t lastStart, bool haveLast, uint64_t slot) {
  return haveLast && now - lastStart < slot ? lastStart + slot : now;
}

void ResetFramePacing() {
  HaveLastSlot = false;
  ModelHaveLastSlot = false;
  ModelLastSlotUs = 0;
}

// The slot counts from the last slot's start, so the time the pass and its present took
// comes out of the slot instead of adding to it; a pass that overran starts a new count.
void WaitForFrameSlot(int fps) {
  if (fps <= 0) return;
  uint64_t now = NowNs();
  uint64_t start = FrameSlotStart(now, LastSlotNs, HaveLastSlot, 1000000000ull / uint64_t(fps));
  if (start > now + SpinTailNs)
    std::this_thread::sleep_for(std::chrono::nanoseconds(start - now - SpinTailNs));
  while (NowNs() < start) {
  }
  LastSlotNs = NowNs();
  HaveLastSlot = true;
}

uint64_t ModelFlipUs(uint64_t nowUs, int fps, int refreshMilliHz, bool vsync) {
  if (vsync) nowUs = NextVblankUs(nowUs, refreshMilliHz);
  if (fps <= 0) return nowUs;
  nowUs = FrameSlotStart(nowUs, ModelLastSlotUs, ModelHaveLastSlot, 1000000 / uint64_t(fps));
  ModelLastSlotUs = nowUs;
  ModelHaveLastSlot = true;
  return nowUs;
}

}  // namespace kw
