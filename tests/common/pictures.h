// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Pictures for the renderer tests: plain colours, the back buffer by position, and sprites
// filled from a colour function.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "media/core.h"
#include "media/core_internal.h"
#include "media/sprites.h"

namespace kwtest {

constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t Red = 0xFFFF0000u;
constexpr uint32_t Green = 0xFF00FF00u;
constexpr uint32_t Blue = 0xFF0000FFu;
constexpr uint32_t White = 0xFFFFFFFFu;
constexpr uint32_t Grey = 0xFF808080u;

// No sprites, fresh 3D tables, drawing into the back buffer with the default key: where
// every renderer test starts.
inline void ResetDrawing() {
  kw::FreeAllSprites();
  kw::InitSprite3D();
  kw::SetBlitTarget(-1);
  kw::SetSpriteKeyColor(-1, 0);
}

// The back-buffer pixel at (x, y).
inline uint32_t& Screen(int x, int y) { return kw::BackBuffer()[y * kw::ScreenWidth + x]; }

// Creates sprite n of w x h whose pixel (x, y) is colour(x, y).
template <typename F>
void FillSprite(int n, int w, int h, F colour) {
  ASSERT_EQ(kw::CreateSprite(n, w, h), 1);
  uint32_t* p = kw::SpritePixels(n);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p[y * w + x] = colour(x, y);
}

}  // namespace kwtest
