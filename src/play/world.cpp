// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The world pass (DrawWorld), called by the frame loop on every pass of play and once
// more by the pause key before the screen is grabbed. It paints the play screen layer
// by layer and, while it walks the visible cells, applies the player's contacts with
// the map and the spells' effects. The steps below keep their order: every later step
// draws over the earlier ones, and the contact pass must see this frame's figure frame.
// The layers live in world_layers.cpp, the things in world_things.cpp, the contacts in
// world_contacts.cpp and the spells in spells.cpp.
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {


// Step 12: the figure in the frame SelectPlayerFrame chose, with the sword once found.
void DrawFigure() {
  const PlayerRecord& p = P();
  int y = FigureScreenY(p);
  if (p.climbing == 0) DrawSpriteKeyed(Spr::Figure, PlayerScreenX, y);
  if (p.hasSword == 1 && p.smallForm == 0) DrawSpriteKeyed(Spr::SwordOverlay, PlayerScreenX, y);
}

// Step 17: the bobbing decoration of map 3, while the map is played.
void DrawDecoration() {
  const PlayerRecord& p = P();
  if (CurrentMap != 3 || p.mapDone == 1) return;
  DrawSprite3D(Spr::Guardian, Nearest(double(p.posX) + 2404), WorldCellY(0, p.pixelY, int64_t(FloatY) + 190),
               150);
  FloatY += FloatStep;
  if (FloatY > 50 || FloatY < -100) FloatStep = -FloatStep;
}

// Step 18: the spikes slide in and out of their cells, 4 pixels a frame.
void MoveSpikes() {
  if (SpikePhase == 0) {
    SpikeShift = int16_t(SpikeShift + 4);
    if (SpikeShift > -10) SpikePhase = 1;
  } else if (SpikePhase == 1) {
    SpikeShift = int16_t(SpikeShift - 4);
    if (SpikeShift < -45) SpikePhase = 0;
  }
}

// Step 22: on a ladder the climbing sheet replaces the figure.
void DrawClimbingFigure() {
  const PlayerRecord& p = P();
  if (p.climbing != 1) return;
  SetSpriteClip(Spr::ClimbSheet, 0, p.climbFrame * 56, 32, 55);
  DrawSpriteKeyed(Spr::ClimbSheet, PlayerScreenX, FigureScreenY(p));
}

}  // namespace

// The pass, step by step; the numbers are the steps' places in the order.
void DrawWorld() {
  P().frameCounter = 0;
  SetSprite3DFiltering(0);              // 1
  Begin3D();
  ExpireSliderHits();                   // 2
  ComputeVisibleWindow(0);              // 3
  SelectPlayerFrame();                  // 4
  DrawFarBackground();                  // 5, 6
  DrawBackLayer();                      // 7
  DrawMainLayer();                      // 8
  DrawMovingTiles();                    // 9
  DrawExitMarker();                     // 10
  DrawPortals();                        // 11
  DrawFigure();                         // 12
  DrawEnemies();                        // 13
  DrawBombs();                          // 14
  DrawSliders();                        // 15
  DrawShots();                          // 16
  DrawDecoration();                     // 17
  MoveSpikes();                         // 18
  WorldContactPass();                   // 19
  DrawMovingFront();                    // 20
  SpellTimers();                        // 21
  DrawClimbingFigure();                 // 22
  DrawOverlayLayer();                   // 23
  DrawWeather();
  if (P().darkness > 0) DrawLightsAndDarkness();  // 24
  SpellFlightAndAura();                 // 25
  End3D();                              // 26
  SetSprite3DFiltering(1);
}

}  // namespace kw
