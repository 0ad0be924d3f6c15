// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Enemies on small maps: walkers at ledges and walls, both flyers, the fight with the
// player (sword, body contact, slopes, guard), death and transformation with points,
// and the boss line's enemy leaving in every way.
#include "play/combat_fixture.h"

namespace kwtest {
namespace {

using EnemiesTest = CombatTest;

// Runs n world steps of enemy movement.
void Move(int n) {
  for (int i = 0; i < n; ++i) kw::MoveEnemies();
}

TEST_F(EnemiesTest, WalkerTurnsAtALedgeInsteadOfFalling) {
  Wall(0, 5, 6, 6);  // floor under columns 0..5, air from column 6
  AddType(0, 3, 2);
  kw::Enemy& e = AddEnemy(0, 60, 160);
  e.dir = 1;
  float maxRight = 0;
  bool turned = false;
  for (int i = 0; i < 80 && !turned; ++i) {
    kw::MoveEnemies();
    maxRight = std::max(maxRight, e.x + EnemyW);
    turned = e.dir == 0;
  }
  ASSERT_TRUE(turned);
  EXPECT_LT(e.speedX, 0);
  // It turned on the floor's last column, with the air cell under its leading corner.
  EXPECT_GE(maxRight, 180);
  EXPECT_LE(maxRight, 184);
  EXPECT_LT(e.y, 161);
  Move(10);
  EXPECT_LT(e.x + EnemyW, 180);
  EXPECT_LT(e.y, 161);
}

// A wall on either side turns a walker and pushes it back by its speed plus a cell; a
// tile number past the tile table is no wall for it (nor for the figure).
TEST_F(EnemiesTest, WalkerStandsOnTheFloorAndIsPushedBackFromAWall) {
  struct Case { int wallCol, tile; float x; int dir; bool turns; };
  const Case cases[] = {
      {8, 2, 180, 1, true},     // wall from x 240 on its right
      {3, 2, 150, 0, true},     // wall up to x 120 on its left
      {8, 82, 180, 1, false},   // the first number past the table
      {3, 150, 150, 0, false},
  };
  FillSprite(82, 30, 30, [](int, int) { return Grey; });
  FillSprite(150, 30, 30, [](int, int) { return Grey; });
  for (const Case& c : cases) {
    SCOPED_TRACE("wall column " + std::to_string(c.wallCol) + " tile " + std::to_string(c.tile));
    kw::Enemies.Clear();
    kw::EnemyTypes.Clear();
    MakeMap(19, 9);
    Wall(0, 19, 6, 6);
    Wall(c.wallCol, c.wallCol, 0, 5, c.tile);
    AddType(0, 3, 2);
    kw::Enemy& e = AddEnemy(0, c.x, 160);
    e.dir = c.dir;
    float way = c.dir == 1 ? 1.0f : -1.0f;
    e.speedX = 2 * way;
    float before = e.x;
    for (int i = 0; i < 30 && e.dir == c.dir; ++i) {
      before = e.x;
      kw::MoveEnemies();
      EXPECT_NEAR(e.y, 160, 1) << "step " << i;  // never sinks into the floor
    }
    if (!c.turns) {
      EXPECT_EQ(e.dir, c.dir);
      EXPECT_FLOAT_EQ(e.x, c.x + way * 60);
      continue;
    }
    ASSERT_NE(e.dir, c.dir);
    if (c.dir == 1)
      EXPECT_GT(before + 2 + EnemyW, 240);  // the step that met the wall
    else
      EXPECT_LT(before - 2, 120);
    EXPECT_FLOAT_EQ(e.x, before - way * 30);  // moved 2, pushed back by 2 + 30
    EXPECT_FLOAT_EQ(e.speedX, -2 * way);
    Move(5);
    EXPECT_FLOAT_EQ(e.x, before - way * (30 + 10));
  }
}

TEST_F(EnemiesTest, WalkerFarOutsideTheMapIsFrozen) {
  AddType(0, 3, 2);
  kw::Enemy& e = AddEnemy(0, 30 * 200, 60);
  Move(3);
  EXPECT_FLOAT_EQ(e.x, 6000);
  EXPECT_FLOAT_EQ(e.y, 60);
  // Negative positions count by their size too, and never read outside the grid.
  kw::Enemy& f = AddEnemy(0, -30 * 200, -30 * 50);
  Move(3);
  EXPECT_FLOAT_EQ(f.y, -1500);
}

TEST_F(EnemiesTest, VerticalFlyerBouncesAtMapEdgesAndWalls) {
  AddType(1, 3, 3);
  kw::Enemy& top = AddEnemy(0, 300, 1);
  top.speedY = -3;
  kw::Enemy& bottom = AddEnemy(0, 360, 239);  // the lowest y is 9 * 30 - 30 = 240
  Wall(5, 5, 5, 5);                           // cell at x 150, y 150
  kw::Enemy& walled = AddEnemy(0, 150, 128);
  Move(1);
  EXPECT_FLOAT_EQ(top.y, 1);
  EXPECT_FLOAT_EQ(top.speedY, 3);
  EXPECT_EQ(top.dir, 1);
  EXPECT_FLOAT_EQ(bottom.y, 239);
  EXPECT_FLOAT_EQ(bottom.speedY, -3);
  EXPECT_EQ(bottom.dir, 1);
  EXPECT_FLOAT_EQ(walled.y, 128);
  EXPECT_FLOAT_EQ(walled.speedY, -3);
  Move(1);
  EXPECT_FLOAT_EQ(walled.y, 125);
  EXPECT_EQ(walled.dir, 1);
  EXPECT_FLOAT_EQ(walled.x, 150);  // a vertical flyer never moves sideways
}

TEST_F(EnemiesTest, HorizontalFlyerBouncesAtWallsButNotAtMapEdges) {
  AddType(3, 3, 4);
  Wall(5, 5, 0, 9);  // x 150..180
  kw::Enemy& e = AddEnemy(0, 128, 60);
  kw::Enemy& away = AddEnemy(0, -100, 60);
  away.speedX = -4;
  Move(1);
  EXPECT_FLOAT_EQ(e.x, 128);
  EXPECT_FLOAT_EQ(e.speedX, -4);
  EXPECT_EQ(e.dir, 1);
  EXPECT_FLOAT_EQ(away.x, -104);
  Move(2);
  EXPECT_FLOAT_EQ(e.x, 120);
  EXPECT_FLOAT_EQ(away.x, -112);
  EXPECT_FLOAT_EQ(e.y, 60);
}

TEST_F(EnemiesTest, BodyContactHurtsBothOnceThenTheGuardHolds) {
  AddType(9, 3, 0);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  AddEnemy(0, 400, 200).health = -1;  // dead, but the pass ends at the contact
  PlaceFigure(90, 90);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(p().health, 490);
  EXPECT_EQ(e.health, 2);
  EXPECT_EQ(kw::HitGuard, 1);
  EXPECT_FLOAT_EQ(kw::GuardHealth, 490);
  EXPECT_EQ(kw::GuardMana, 100);
  EXPECT_EQ(kw::Enemies.Count(), 2);
  // While the guard holds, touching hurts neither side; the dead enemy now dies.
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(p().health, 490);
  EXPECT_EQ(e.health, 2);
  EXPECT_EQ(kw::Enemies.Count(), 1);
  EXPECT_EQ(p().score, 10);
}

TEST_F(EnemiesTest, ContactKillsAnEnemyWithNoHealthLeft) {
  AddType(9, 0, 0, 25);
  AddEnemy(0, 100, 100);
  PlaceFigure(90, 90);
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 0);
  EXPECT_EQ(p().score, 25);
  EXPECT_FLOAT_EQ(p().health, 490);
  EXPECT_EQ(kw::HitGuard, 1);
}

TEST_F(EnemiesTest, SlidingDownASlopeHurtsOnlyTheEnemy) {
  AddType(9, 3, 0, 40);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  PlaceFigure(90, 90);
  kw::OnSlope = 1.0f;
  kw::UpdateCombat();
  EXPECT_EQ(e.health, 1);
  EXPECT_EQ(kw::HitGuard, 0);
  EXPECT_FLOAT_EQ(p().health, 500);
  kw::UpdateCombat();  // health -1: it dies in the same pass
  EXPECT_EQ(kw::Enemies.Count(), 0);
  EXPECT_EQ(p().score, 40);
  EXPECT_FLOAT_EQ(p().health, 500);
}

TEST_F(EnemiesTest, SwordKillsOutrightWithoutPoints) {
  AddType(9, 30000, 0, 99);
  AddEnemy(0, 100, 100);
  kw::Enemy& second = AddEnemy(0, 110, 100);
  PlaceFigure(90, 90);
  p().swordSwing = 1;
  kw::UpdateCombat();
  // One kill per pass: the loop ends at the deleted enemy.
  ASSERT_EQ(kw::Enemies.Count(), 1);
  EXPECT_EQ(&*kw::Enemies.begin(), &second);
  EXPECT_EQ(p().score, 0);
  EXPECT_FLOAT_EQ(p().health, 500);
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 0);
}

TEST_F(EnemiesTest, TheSwordStrikesThroughTheGuard) {
  AddType(9, 5, 0);
  AddEnemy(0, 100, 100);
  PlaceFigure(90, 90);
  kw::HitGuard = 1;
  p().swordSwing = 1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 0);
}

TEST_F(EnemiesTest, DeathTransformsWithTheNewTypesPoints) {
  AddType(9, 1, 0, 50, 2);
  AddType(9, 1, 0, 70);
  kw::EnemyType& last = AddType(9, 4, 0, 100, -1);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  e.health = -1;
  e.dir = 1;
  e.x = 123;
  kw::UpdateCombat();
  ASSERT_EQ(kw::Enemies.Count(), 1);
  EXPECT_EQ(e.type, &last);
  EXPECT_EQ(e.health, 4);
  EXPECT_EQ(p().score, 100);
  EXPECT_FLOAT_EQ(e.x, 123);  // keeps its place and direction
  EXPECT_EQ(e.dir, 1);
  e.health = -1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 0);
  EXPECT_EQ(p().score, 200);
}

TEST_F(EnemiesTest, NextTypePastTheEndTakesTheLastType) {
  AddType(9, 1, 0, 5, 99);
  kw::EnemyType& last = AddType(9, 7, 0, 30);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  e.health = -2;
  kw::UpdateCombat();
  EXPECT_EQ(e.type, &last);
  EXPECT_EQ(p().score, 30);
}

TEST_F(EnemiesTest, AnimationAdvancesOnlyForLivingEnemiesInThePass) {
  AddType(9, 3, 0);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  for (int i = 0; i < 5; ++i) kw::UpdateCombat();
  EXPECT_NEAR(e.frame, 1.0, 1e-5);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(e.frame, 0);
}

TEST_F(EnemiesTest, SwitchedOffStoryEnemiesMoveButNeverTouch) {
  AddType(3, 3, 4);
  kw::Enemy& e = AddEnemy(0, 100, 100);
  PlaceFigure(90, 90);
  kw::StoryMode = 1;
  kw::EnemySpawnOff = 1;
  kw::MoveEnemies();
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(e.x, 104);
  EXPECT_FLOAT_EQ(p().health, 500);
  EXPECT_EQ(e.health, 3);
  kw::StoryMode = 0;  // a free game ignores the switch
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(p().health, 490);
}

TEST_F(EnemiesTest, TheBossLineGoesWithTheBossInEveryWay) {
  AddType(9, 5, 0, 10, -1, 1, "Golem");
  // Killed by the sword with health left.
  kw::Boss = &AddEnemy(0, 100, 100);
  kw::BossShown = 1;
  PlaceFigure(90, 90);
  p().swordSwing = 1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::BossShown, 0);
  EXPECT_EQ(kw::Boss, nullptr);
  // Killed by losing its health.
  p().swordSwing = 0;
  kw::Boss = &AddEnemy(0, 400, 100);
  kw::BossShown = 1;
  kw::Boss->health = -1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::BossShown, 0);
  EXPECT_EQ(kw::Boss, nullptr);
  EXPECT_EQ(p().score, 10);
  // Another enemy's death leaves a living boss alone.
  kw::Boss = &AddEnemy(0, 400, 100);
  kw::BossShown = 1;
  AddEnemy(0, 300, 100).health = -1;
  kw::UpdateCombat();
  EXPECT_EQ(kw::BossShown, 1);
  EXPECT_EQ(kw::Boss, &*kw::Enemies.begin());
}

TEST_F(EnemiesTest, TheMapLoaderForgetsTheOldBossBeforeMakingEnemies) {
  AddType(9, 5, 0, 10, -1, 0, "Wicht");
  AddType(9, 5, 0, 10, -1, 1, "Golem");
  kw::Boss = &AddEnemy(1, 100, 100);
  kw::BossShown = 1;
  kw::SetUpMapPlay();  // a map without enemies
  EXPECT_EQ(kw::BossShown, 0);
  EXPECT_EQ(kw::Boss, nullptr);
  kw::Map.At(3, 4).pickup = 20;  // the boss type
  kw::SetUpMapPlay();
  ASSERT_EQ(kw::Enemies.Count(), 1);
  EXPECT_EQ(kw::BossShown, 1);
  EXPECT_EQ(kw::Boss, &*kw::Enemies.begin());
  EXPECT_FLOAT_EQ(kw::Boss->x, 90);
  EXPECT_FLOAT_EQ(kw::Boss->y, 120);
}

}  // namespace
}  // namespace kwtest
