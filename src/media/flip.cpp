// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The flip: the back buffer shown (headless: the virtual clock moved), the pace kept, and
// what follows every flip: the pads' pointer, the in-process driver's hook, the event
// pump, a quit signal's deadline and --frames. Every screen of the game flips.
#include "media/core.h"
#include "media/core_internal.h"
#include "media/flip_internal.h"

#include <functional>

#include "media/clock_internal.h"
#include "media/display_internal.h"
#include "media/events_internal.h"
#include "media/gamepad_internal.h"
#include "media/pacing_internal.h"

namespace kw {

namespace {

long Flips = 0;
// The in-process driver's hook, run after every flip (empty for the game itself).
std::function<void()> FlipHook;

}  // namespace

void ResetFlipCount() { Flips = 0; }

void SetFlipHook(std::function<void()> hook) { FlipHook = std::move(hook); }

void FlipScreen() {
  if (IsHeadless()) {
    if (Options().vblankMilliHz > 0) ModelDisplayFlip();
    else AdvanceVirtualTimeToNextFrame();
  } else {
    PresentBackBuffer();
    WaitForFrameSlot(FlipLimit());
  }
  ++Flips;
  // After the count, so a recording puts the pad's pointer moves at the flip that made them.
  StepGamepadPointer();
  if (FlipHook) FlipHook();
  PumpEvents();
  EndUnservedQuit();
  if (Options().frames >= 0 && Flips >= Options().frames) EndProgram(0);
}

long FlipCount() { return Flips; }

}  // namespace kw
