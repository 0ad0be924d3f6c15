// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The bombs laid by the bomb spell (UpdateBombs, run by the world step after the map
// rules): the fuse burns one step every third world step, and after 25 steps the bomb
// blows a 3 x 4 hole into the map and hurts what lies over it.
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int BombFrameW = 23, BombFrameH = 33;
constexpr float FuseLength = 24;  // the bomb goes off when the fuse passes this
constexpr float FuseSoundStep = 15;
constexpr int BombPlayerDamage = 80;
constexpr int BombEnemyDamage = 5;

// Columns col - 1 .. col + 1 and rows row - 1 .. row + 2 around the bomb become air.
void BlowHole(const Bomb& b) {
  const PlayerRecord& p = P();
  int col = b.x / CellSize, row = b.y / CellSize;
  for (int c = col - 1; c <= col + 1; ++c)
    for (int r = row - 1; r <= row + 2; ++r) {
      if (c < 0 || c > p.mapWidth || r < 0 || r >= p.mapHeight || !Map.Inside(c, r)) continue;
      MapCell& cell = Map.At(c, r);
      cell.tile = 1;
      cell.pickup = 0;
    }
}

// Enemies over the bomb lose health (they die in the next combat pass), sliders over it
// are destroyed.
void HurtEnemiesAndSliders(int bx, int by) {
  const PlayerRecord& p = P();
  for (Enemy& e : Enemies) {
    if (!e.type) continue;
    int sheet = ClipEnemyCollisionFrame(e, false);
    if (SpriteBoxesTouch(sheet, Nearest(double(p.posX) + e.x), Nearest(double(e.y) + p.pixelY),
                         Spr::BombSheet, bx, by))
      e.health = int16_t(e.health - BombEnemyDamage);
  }
  Sliders.Reset();
  while (Sliders.Next()) {
    const Slider& s = *Sliders.Current();
    SetSpriteClip(Spr::SliderSheet, s.side * SliderFrame, s.hit * SliderFrame, SliderFrame, SliderFrame);
    if (SpriteBoxesTouch(Spr::SliderSheet, Nearest(s.col * CellSize + double(p.posX) + s.offX), s.row * CellSize + p.pixelY,
                         Spr::BombSheet, bx, by))
      Sliders.Delete();
  }
}

// The current bomb goes off: the hole, the damage, and the bomb is gone.
void Explode() {
  Bomb& b = *Bombs.Current();
  PlayerRecord& p = P();
  b.fuse = 0;
  BlowHole(b);
  SetSpriteClip(Spr::BombSheet, b.tick * BombFrameW, 0, BombFrameW, BombFrameH);
  int bx = Nearest(double(b.x) + p.posX), by = b.y + p.pixelY;
  if (SpriteBoxesTouch(Spr::Figure, PlayerScreenX, FigureScreenY(p), Spr::BombSheet, bx, by))
    p.health -= BombPlayerDamage;
  HurtEnemiesAndSliders(bx, by);
  Bombs.Delete();
  Spell = 0;
}

}  // namespace

void UpdateBombs() {
  Bombs.Reset();
  while (Bombs.Next()) {
    Bomb& b = *Bombs.Current();
    b.tick += 1;
    if (b.tick <= 2) continue;
    b.tick = 0;
    b.fuse += 1.0f;
    if (b.fuse > FuseLength) {
      Explode();
    } else if (b.fuse == FuseSoundStep) {
      PlaySoundFx(Snd::BombFuse, 0);
    }
  }
  PlayerRecord& p = P();
  p.frameCounter = int16_t(p.frameCounter + 1);
}

}  // namespace kw
