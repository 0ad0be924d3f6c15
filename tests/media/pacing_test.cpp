// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The pace of the flips: when vsync is wanted, where a display's blanks fall, and the
// clock of a headless display model driven the way the frame loop drives it (a 1 ms
// sleep, the world step's "more than 15 ms" test, a flip) at every rate from 30 to 360 Hz.
#include <gtest/gtest.h>

#include <cstdint>

#include "media/media.h"
#include "media/pacing_internal.h"

namespace {

TEST(Vsync, WantedOnlyWhereTheDisplayKeepsThePace) {
  const struct {
    int choice, milliHz, limit;
    bool want;
  } Cases[] = {
      {kw::VsyncAuto, 60000, 60, true},   {kw::VsyncAuto, 59940, 60, true},
      {kw::VsyncAuto, 59000, 60, true},   {kw::VsyncAuto, 61000, 60, true},
      {kw::VsyncAuto, 58999, 60, false},  {kw::VsyncAuto, 61001, 60, false},
      {kw::VsyncAuto, 30000, 60, false},  {kw::VsyncAuto, 75000, 60, false},
      {kw::VsyncAuto, 120000, 60, false}, {kw::VsyncAuto, 144000, 60, false},
      {kw::VsyncAuto, 360000, 60, false},
      {kw::VsyncAuto, 0, 60, false},      // SDL does not know the rate: the limiter is safe
      {kw::VsyncAuto, 144000, 0, true},   // no limiter: the blank is the only pace
      {kw::VsyncOn, 144000, 60, true},    {kw::VsyncOn, 0, 60, true},
      {kw::VsyncOff, 60000, 60, false},
  };
  for (const auto& c : Cases)
    EXPECT_EQ(kw::VsyncWanted(c.choice, c.milliHz, c.limit), c.want)
        << "choice " << c.choice << " at " << c.milliHz << " mHz, limit " << c.limit;
}

TEST(Vsync, BlanksFallOnWholePeriods) {
  const struct {
    uint64_t now;
    int milliHz;
    uint64_t blank;
  } Cases[] = {
      // Blank 1 of 60 Hz falls at 16666.67 us and is reported as 16667; at 16667 it is past.
      {0, 60000, 0},           {1, 60000, 16667},     {16666, 60000, 16667},
      {16667, 60000, 33334},   {50000, 60000, 50000},  // blank 3 falls on a whole microsecond
      {1, 144000, 6945},       {6944, 144000, 6945},  {1, 59940, 16684},
      {999999, 30000, 1000000}, {7, 0, 7},             // no display: no wait
      {3600000000ull, 144000, 3600000000ull},          // an hour on: no overflow, no drift
  };
  for (const auto& c : Cases)
    EXPECT_EQ(kw::NextVblankUs(c.now, c.milliHz), c.blank) << c.now << " us at " << c.milliHz;
}

TEST(Vsync, ModelWaitsForTheBlankThenTheSlot) {
  kw::ResetFramePacing();
  EXPECT_EQ(kw::ModelFlipUs(1000, 60, 144000, false), 1000u);    // the first pass goes on at once
  EXPECT_EQ(kw::ModelFlipUs(2000, 60, 144000, false), 17666u);   // one slot after the last
  EXPECT_EQ(kw::ModelFlipUs(40000, 60, 144000, false), 40000u);  // a late one goes on at once
  EXPECT_EQ(kw::ModelFlipUs(41000, 60, 144000, true), 56666u);   // blank 6 at 41667, then the slot
  EXPECT_EQ(kw::ModelFlipUs(70000, 60, 50000, true), 80000u);    // blank 4 comes after the slot
  EXPECT_EQ(kw::ModelFlipUs(81000, 0, 144000, true), 83334u);    // no limit: the blank alone
}

// Steps a second (from the first step to the last) and the closest two steps on a
// modelled display, the frame loop's way.
struct Pace {
  double stepsPerSecond;
  uint64_t closestUs;
};
Pace RunLoop(int milliHz, bool vsync) {
  kw::ResetFramePacing();
  uint64_t now = 0, firstStepUs = 0, lastStepUs = 0, closest = UINT64_MAX;
  uint32_t stepMs = 0;
  int steps = 0;
  while (now < 20000000) {
    now += 1000;  // the pass's SleepMs(1)
    uint32_t ms = uint32_t(now / 1000);
    if (kw::MsSince(ms, int32_t(stepMs)) > 15) {
      if (steps) closest = std::min(closest, now - lastStepUs);
      else firstStepUs = now;
      stepMs = ms;
      lastStepUs = now;
      ++steps;
    }
    now = kw::ModelFlipUs(now, 60, milliHz, vsync);
  }
  return {(steps - 1) * 1e6 / double(lastStepUs - firstStepUs), closest};
}

TEST(Vsync, SixtyStepsASecondOnEveryDisplay) {
  for (int hz = 30; hz <= 360; ++hz) {
    for (int milliHz : {hz * 1000, hz * 1000 + 500}) {
      Pace p = RunLoop(milliHz, kw::VsyncWanted(kw::VsyncAuto, milliHz, 60));
      // A display of 59 Hz with vsync sets the pace itself: 59 steps, give or take the
      // rounding of the microsecond clock.
      EXPECT_NEAR(p.stepsPerSecond, 60, 1.001) << milliHz << " mHz";
      EXPECT_GE(p.closestUs, 16000u) << milliHz << " mHz";
    }
  }
  EXPECT_NEAR(RunLoop(59940, true).stepsPerSecond, 59.94, 0.1);
}

// Vsync forced on: since the flip waits for its slot after the present, a blank that
// comes within the slot costs no step, so every display of more than 60 Hz keeps the
// pace (a pass that shows a picture before waiting for its blank and then for the slot);
// a slower display holds the game to its own rate.
TEST(Vsync, ForcedOnCostsNoStepAbove60Hz) {
  for (int hz = 30; hz <= 360; ++hz) {
    Pace p = RunLoop(hz * 1000, true);
    EXPECT_NEAR(p.stepsPerSecond, std::min(hz, 60), 1.001) << hz << " Hz";
    EXPECT_GE(p.closestUs, 16000u) << hz << " Hz";
  }
}

}  // namespace
