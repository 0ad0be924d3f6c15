// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Bombs: the 75-step fuse, the 3 x 4 hole, and the damage to the player, the enemies
// (who die in the next combat pass) and the sliders.
#include "play/combat_fixture.h"

namespace kwtest {
namespace {

using BombsTest = CombatTest;

kw::Bomb& LayBomb(int x, int y) {
  kw::Bombs.Last();
  kw::Bomb& b = kw::Bombs.Add();
  b.x = x;
  b.y = y;
  return b;
}

// Number of cells that are air with no pickup.
int AirCells() {
  int n = 0;
  for (const kw::MapCell& c : kw::Map.cells) n += c.tile == 1 && c.pickup == 0;
  return n;
}

TEST_F(BombsTest, ABombExplodesSeventyFiveStepsAfterItIsLaid) {
  kw::Bomb& b = LayBomb(300, 150);
  for (int i = 0; i < 74; ++i) kw::UpdateBombs();
  ASSERT_EQ(kw::Bombs.Count(), 1);
  EXPECT_FLOAT_EQ(b.fuse, 24);
  EXPECT_EQ(b.tick, 2);
  kw::Spell = 357;
  kw::UpdateBombs();
  EXPECT_EQ(kw::Bombs.Count(), 0);
  EXPECT_EQ(kw::Spell, 0);
  EXPECT_EQ(p().frameCounter, 75);  // raised on every step
  kw::UpdateBombs();
  EXPECT_EQ(p().frameCounter, 76);
}

TEST_F(BombsTest, TwoBombsBurnTheirOwnFuses) {
  LayBomb(300, 150);
  for (int i = 0; i < 30; ++i) kw::UpdateBombs();
  LayBomb(400, 150);
  for (int i = 0; i < 45; ++i) kw::UpdateBombs();
  ASSERT_EQ(kw::Bombs.Count(), 1);
  EXPECT_EQ(kw::Bombs.begin()->x, 400);
  for (int i = 0; i < 30; ++i) kw::UpdateBombs();
  EXPECT_EQ(kw::Bombs.Count(), 0);
}

TEST_F(BombsTest, TheExplosionBlowsAThreeByFourHole) {
  for (kw::MapCell& c : kw::Map.cells) {
    c.tile = 2;
    c.pickup = 5;
  }
  kw::Bomb& b = LayBomb(95, 65);  // cell (3, 2)
  b.fuse = 24;
  b.tick = 2;
  kw::UpdateBombs();
  EXPECT_EQ(AirCells(), 12);
  for (int c = 2; c <= 4; ++c)
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(kw::Map.At(c, r).tile, 1) << c << "," << r;
  EXPECT_EQ(kw::Map.At(1, 2).tile, 2);
  EXPECT_EQ(kw::Map.At(5, 2).tile, 2);
  EXPECT_EQ(kw::Map.At(3, 0).tile, 2);
  EXPECT_EQ(kw::Map.At(3, 5).tile, 2);
  EXPECT_EQ(kw::Map.At(3, 5).pickup, 5);
}

TEST_F(BombsTest, TheHoleStaysInsideTheMapAndAboveItsLastRow) {
  for (kw::MapCell& c : kw::Map.cells) c.tile = 2;
  kw::Bomb& corner = LayBomb(5, 5);
  corner.fuse = 24;
  corner.tick = 2;
  kw::UpdateBombs();
  EXPECT_EQ(AirCells(), 6);  // columns 0..1, rows 0..2
  kw::Bomb& bottom = LayBomb(19 * 30 + 5, 8 * 30 + 5);  // last column, row H - 1
  bottom.fuse = 24;
  bottom.tick = 2;
  kw::UpdateBombs();
  EXPECT_EQ(AirCells(), 6 + 4);  // columns 18..19, rows 7..8; row 9 is never blown
  EXPECT_EQ(kw::Map.At(19, 9).tile, 2);
}

TEST_F(BombsTest, TheExplosionHurtsThePlayerEnemiesAndSliders) {
  AddType(9, 4, 0, 30);
  kw::Enemy& near = AddEnemy(0, 110, 110);
  kw::Enemy& far = AddEnemy(0, 400, 110);
  // Each enemy counts by its own collision frame, also one on a sheet of its own: 60 x 60
  // on sheet 330 from (50, 50) reaches the bomb, a frame of sheet 329 there would not.
  kw::EnemyType& big = AddType(9, 4, 0, 30);
  big.spriteOffset = 1;
  big.frameWidth = big.frameHeight = 60;
  FillSprite(330, 6 * 60, 3 * 60, [](int, int) { return Red; });
  kw::Enemy& large = AddEnemy(1, 50, 50);
  kw::SetSpriteClip(329, 0, 2 * EnemyH, EnemyW, EnemyH);  // as a collision test leaves it
  kw::Sliders.Add() = kw::Slider{3, 3};  // picture 90..150 x 90..150
  kw::Sliders.Add() = kw::Slider{15, 3};
  PlaceFigure(90, 90);
  kw::Bomb& b = LayBomb(100, 100);  // picture 100..123 x 100..133
  b.fuse = 24;
  b.tick = 2;
  kw::HitGuard = 1;  // the guard is undone at the frame's end, not here
  kw::UpdateBombs();
  EXPECT_FLOAT_EQ(p().health, 420);
  EXPECT_EQ(near.health, -1);
  EXPECT_EQ(far.health, 4);
  EXPECT_EQ(large.health, -1);
  ASSERT_EQ(kw::Sliders.Count(), 1);
  EXPECT_EQ(kw::Sliders.begin()->col, 15);
  EXPECT_EQ(kw::Enemies.Count(), 3);
  // The first enemy dies in the next combat pass, with its points.
  kw::HitGuard = 1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 2);
  EXPECT_EQ(p().score, 30);
}

TEST_F(BombsTest, ABombFarFromThePlayerDoesNotHurt) {
  kw::Bomb& b = LayBomb(100, 100);
  b.fuse = 24;
  b.tick = 2;
  PlaceFigure(400, 300);
  kw::UpdateBombs();
  EXPECT_FLOAT_EQ(p().health, 500);
}

}  // namespace
}  // namespace kwtest
