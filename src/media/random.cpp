// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Random numbers: one generator for the whole game, seeded by InitMedia (fixed in
// headless runs and with --seed, so replays draw the same numbers).
#include "media/core.h"

#include <mutex>
#include <random>

namespace kw {

namespace {

std::mutex RandomLock;
std::mt19937 Random(0);

}  // namespace

int RandomUpTo(int max) {
  if (max <= 0) return 0;
  std::lock_guard<std::mutex> lock(RandomLock);
  return std::uniform_int_distribution<int>(0, max)(Random);
}

void SeedRandom(uint32_t seed) {
  std::lock_guard<std::mutex> lock(RandomLock);
  Random.seed(seed);
}

}  // namespace kw
