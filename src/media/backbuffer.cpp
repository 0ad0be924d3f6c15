// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The back buffer: the 640 x 480 picture every draw of the media layer writes into, its
// clear, its PNG for --screenshot, and the log of draws tests can ask for. The flip
// (flip.cpp) shows it through the display (display.cpp).
#include "media/core.h"
#include "media/core_internal.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/sprite_internal.h"

namespace kw {

namespace {

std::vector<uint32_t> TheBackBuffer(ScreenWidth * ScreenHeight, 0);

}  // namespace

uint32_t* BackBuffer() { return TheBackBuffer.data(); }

void ClearBackBuffer(int colour) {
  // While a blit target is set the clear goes there, as every other draw does.
  DrawTarget target = CurrentDrawTarget();
  if (!target.pixels) return;
  // The first row is filled, the others copied from it: a copy is one call per row,
  // which keeps the clear cheap in the sanitizer build too.
  std::fill(target.pixels, target.pixels + target.width, ColourToPixel(colour));
  for (int row = 1; row < target.height; ++row)
    std::memcpy(target.pixels + size_t(row) * target.pitch, target.pixels, size_t(target.width) * 4);
  if (target.picture) target.picture->PixelsChanged();
}

bool SaveBackBufferPng(const std::string& path) {
  std::vector<uint32_t> opaque(TheBackBuffer);
  for (uint32_t& p : opaque) p |= 0xFF000000u;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(opaque.data(), ScreenWidth, ScreenHeight, 32,
                                                      ScreenWidth * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  int r = IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return r == 0;
}

// The test hook of core_internal.h: a log of the back buffer's draws, off unless a test
// turns it on.
namespace {
std::vector<DrawnItem>* TheDrawLog = nullptr;
}  // namespace

void RecordDraws(std::vector<DrawnItem>* log) { TheDrawLog = log; }
std::vector<DrawnItem>* DrawLog() { return TheDrawLog; }

}  // namespace kw
