// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Lights.pak: the darkness and light pictures (23 entries). 500 is full darkness (also the
// top edge), 501 the aura light, 502..505 the quarters of a spell's round light, 506..510
// darkness gradients for shade codes 6..10, 601..612 spare light shapes. Pure green
// Rgb(0, 255, 0) is the key colour: fully lit parts are green and not drawn.
#include <algorithm>
#include <cmath>

#include "kwgen.h"

namespace kwgen {

namespace {

constexpr uint32_t Key = Argb(0, 255, 0);
constexpr uint32_t Dark = Argb(4, 3, 8);

// darkness(x, y) in 0..1 gives the opacity of each pixel; below a small threshold the
// pixel is the key colour.
template <typename F>
Image LightTile(int w, int h, F darkness) {
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float d = std::clamp(darkness(x + 0.5f, y + 0.5f) + Bayer(x, y) * 0.06f, 0.0f, 1.0f);
      img.Set(x, y, d < 0.04f ? Key : WithAlpha(Dark, int(d * 255)));
    }
  return img;
}

float Smoothstep(float a, float b, float v) {
  float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

}  // namespace

PackFiles MakeLightsPack() {
  namespace Spr = kw::Spr;
  RowPack pack = StartPack(kw::LightsPak);
  auto add = [&](int sprite, const Image& img) { Put(pack, sprite, EncodePng(img)); };
  add(Spr::Darkness, LightTile(30, 30, [](float, float) { return 1.0f; }));
  // 501: the aura light, a soft hole in the middle of the cell (turned by quarters in play).
  add(Spr::AuraLight, LightTile(30, 30, [](float x, float y) { return 0.25f * Smoothstep(4, 22, std::hypot(x - 15, y - 15)); }));
  // 502..505: one round light over 2 x 2 cells, centred on the shared corner.
  const float cx[4] = {30, 0, 30, 0}, cy[4] = {30, 30, 0, 0};
  for (int q = 0; q < 4; ++q) {
    float ox = cx[q], oy = cy[q];
    add(Spr::SpellLight + q, LightTile(30, 30, [ox, oy](float x, float y) { return Smoothstep(6, 30, std::hypot(x - ox, y - oy)); }));
  }
  // 506..510: deeper shade codes, from a light gradient to almost full darkness.
  for (int s = 6; s <= 10; ++s) {
    float base = 0.5f + (s - 6) * 0.12f;
    add(Spr::FirstShade + s - 6, LightTile(30, 30, [base](float, float y) { return base + (1 - base) * (y / 30.0f) * 0.5f; }));
  }
  // 601..612: spare light shapes: round lights of growing size and two beams.
  for (int i = 0; i < 12; ++i) {
    int size = 30 + (i % 6) * 10;
    float r = size * 0.45f;
    if (i < 10)
      add(Spr::SpareLights + i, LightTile(size, size, [size, r](float x, float y) { return Smoothstep(r * 0.2f, r, std::hypot(x - size / 2.0f, y - size / 2.0f)); }));
    else
      add(Spr::SpareLights + i, LightTile(30, 60, [i](float x, float y) { return Smoothstep(2, 12, std::fabs(x - 15 - (i == 10 ? 1 : -1) * (y - 30) * 0.2f)); }));
  }
  return FinishPack(pack);
}

}  // namespace kwgen
