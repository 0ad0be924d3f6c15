// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A small world for the world-pass and player tests: a 20 x 16 cell map, flat-coloured
// tile pictures in every number the pass draws or tests, the figure standing with its
// top at world (300, 240) and the view at the map's origin, so cell (10, 8) lies under
// the figure's head and screen and world coordinates agree.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "common/pictures.h"
#include "content/content.h"
#include "content/test_data.h"
#include "media/media.h"
#include "play/play.h"

namespace kwtest {

// Colours that say which picture a back-buffer pixel came from.
constexpr uint32_t TileColour(int n) { return 0xFF000000u | uint32_t(0x10 + n) << 16 | 0x40u; }
constexpr uint32_t FrontColour(int n) { return 0xFF000000u | uint32_t(0x10 + n) << 16 | 0x80u; }
constexpr uint32_t FigureColour = 0xFF20C020u;
constexpr uint32_t SwordColour = 0xFFC0C020u;
constexpr uint32_t OverlayColour = 0xFF2020C0u;

// The cell under the figure's head, and the figure's place.
constexpr int HeadCol = 10, HeadRow = 8;
constexpr int FigureX = 300, FigureTop = 240;

// A solid w x h picture (3D-ready when asked).
inline void SolidSprite(int n, int w, int h, uint32_t colour, bool threeD = false) {
  FillSprite(n, w, h, [colour](int, int) { return colour; });
  if (threeD) kw::MakeSprite3D(n, n);
}

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartHeadlessMedia();
    kw::SetBlitTarget(-1);
    kw::ResetContentRun();
    kw::ResetContentMap();
    kw::ResetPlayRun();
    kw::ResetPlayMap();
    kw::SetNewGamePlayer(kw::P());
    kw::MaxHealth = 500;
    kw::Map.Create(19, 15);
    kw::LightGrid.Create(19, 15);
    for (int c = 0; c <= 19; ++c)
      for (int r = 0; r <= 15; ++r) {
        kw::MapCell& cell = kw::Map.At(c, r);
        cell.tile = 1;
        cell.alpha = 255;
      }
    kw::PlayerRecord& p = kw::P();
    p.mapWidth = 19;
    p.mapHeight = 15;
    p.posX = 0;
    p.posY = float(FigureTop - 230);
    p.pixelY = 0;
    kw::PlayerScreenX = FigureX;
    kw::LastSide = 6;
    kw::AnimFrameBase = 6000;
    kw::ExitCol = kw::ExitRow = -100;  // far off the screen
    kw::Items.Clear();
    kw::Items.Add(kw::Item{20, 0.0f, 442, "Default", 326});
    kw::Items.Add(kw::Item{0, 1.5f, 443, "Goldaxt", 327});
    kw::Items.Add(kw::Item{0, 4.0f, 443, "Feueraxt", 328});
    kw::Items.Select(0);
    MakePictures();
  }

  void MakePictures() {
    // Air is clear; tiles 2..81 are solid, 30 x 30 for collisions, 30 x 50 and 30 x 30 in
    // 3D for the main and front layers.
    SolidSprite(1, 30, 30, Black);
    for (int k = 0; k <= 81; ++k) {
      if (k >= 2) SolidSprite(k, 30, 30, TileColour(k));
      SolidSprite(6000 + k, 30, 50, k >= 2 ? TileColour(k) : Black, true);
      SolidSprite(6500 + k, 30, 30, k >= 2 ? FrontColour(k) : Black, true);
    }
    for (int k = 201; k <= 281; ++k) SolidSprite(k, 30, 30, OverlayColour, true);
    // The figure sheets are one colour, so every frame is solid.
    for (int s : {324, 437, 438}) SolidSprite(s, 255, 290, FigureColour);
    SolidSprite(325, 93, 30, FigureColour);
    SolidSprite(333, 255, 290, SwordColour);
    kw::SpritePixels(333);  // keep the sheet's default clip
    SolidSprite(320, 30, 30, 0xFFEEEE00u);
    SolidSprite(19, 30, 30, TileColour(19));
    SolidSprite(440, 30, 30, 0xFF4400EEu, true);
    SolidSprite(334, 640, 480, 0xFF101010u);
    SolidSprite(434, 640, 480, Black);
    SolidSprite(340, 30, 50, 0xFF7700AAu);
    SolidSprite(341, 30, 30, 0xFF7700ABu);
    SolidSprite(441, 30, 30, 0xFFFFFF01u, true);
    SolidSprite(373, 30, 30, 0xFFAA0001u);
    SolidSprite(374, 30, 30, 0xFFAA0002u);
    SolidSprite(326, 80, 20, 0xFF990099u);
    SolidSprite(358, 20, 20, 0xFF00FFFEu, true);
    // Darkness and light pictures: blue 10, 30, 50, ... so LightIndex tells them apart
    // through the alpha the pass blends them with.
    for (int s = 500; s <= 510; ++s) SolidSprite(s, 30, 30, 0xFF000000u | uint32_t(20 * (s - 500) + 10), true);
  }

  kw::PlayerRecord& p() { return kw::P(); }
  // Which darkness or light picture (0..10 for 500..510) covers the middle of a cell,
  // drawn over black with an alpha of at least 250.
  static int LightIndex(int col, int row) {
    return int(Screen(col * 30 + 5, row * 30 + 15) & 0xFF) / 20;
  }
  kw::MapCell& cell(int col, int row) { return kw::Map.At(col, row); }
};

}  // namespace kwtest
