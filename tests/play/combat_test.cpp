// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Shots (flight, freezing, leaving the screen one per step, hits, the fire axe passing
// through) and sliders (gliding between markers, the pause after a hit, hurting the
// player, the aura, the flip spell).
#include "media/input_internal.h"
#include "play/combat_fixture.h"

namespace kwtest {
namespace {

using ShotsTest = CombatTest;
using SlidersTest = CombatTest;

kw::Shot& AddShot(float x, float y, int dir, int damage = 1) {
  kw::Shots.Last();
  kw::Shot& s = kw::Shots.Add();
  s.x = x;
  s.y = y;
  s.dir = int16_t(dir);
  s.damage = int16_t(damage);
  s.sprite = 326;
  return s;
}

// Holds or lets go of a key and takes the keyboard snapshot the game reads.
void HoldKey(int code, bool down) {
  kw::InjectKey(code, down);
  kw::ReadKeyboard();
}

TEST_F(ShotsTest, ShotsFlyTwentyPixelsAStepUnlessFrozen) {
  kw::Shot& left = AddShot(100, 100, -1);
  kw::Shot& right = AddShot(100, 100, 1);
  kw::Shot& up = AddShot(100, 100, 2);
  kw::Shot& down = AddShot(100, 100, 3);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(left.x, 80);
  EXPECT_FLOAT_EQ(right.x, 120);
  EXPECT_FLOAT_EQ(up.y, 80);
  EXPECT_FLOAT_EQ(down.y, 120);
  EXPECT_FLOAT_EQ(up.x, 100);
  HoldKey(16, true);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(right.x, 120);
  HoldKey(16, false);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(right.x, 140);
}

TEST_F(ShotsTest, OneShotLeavesTheScreenPerStep) {
  p().posX = -1000;  // screen x = world x - 1000
  AddShot(1700, 100, 1);
  AddShot(900, 100, -1);
  kw::Shot& inside = AddShot(1300, 100, 1);
  kw::UpdateCombat();
  EXPECT_EQ(kw::Shots.Count(), 2);
  EXPECT_FLOAT_EQ(inside.x, 1300);  // the pass ended at the removal
  kw::UpdateCombat();
  EXPECT_EQ(kw::Shots.Count(), 1);
  EXPECT_FLOAT_EQ(inside.x, 1300);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(inside.x, 1320);
  // Above and below the screen count too.
  AddShot(1300, -5, 2);
  AddShot(1300, 481, 3);
  kw::UpdateCombat();
  kw::UpdateCombat();
  EXPECT_EQ(kw::Shots.Count(), 1);
}

TEST_F(ShotsTest, AShotHitsTheFirstEnemyOnlyAndIsGone) {
  AddType(9, 3, 0, 10);
  kw::Enemy& first = AddEnemy(0, 140, 100);
  kw::Enemy& second = AddEnemy(0, 145, 100);
  AddShot(100, 100, 1, 2);
  HoldWeapon("Goldaxt");
  kw::UpdateCombat();  // at 120: not yet there
  EXPECT_EQ(first.health, 3);
  EXPECT_EQ(kw::Shots.Count(), 1);
  kw::UpdateCombat();
  EXPECT_EQ(first.health, 1);
  EXPECT_EQ(second.health, 3);
  EXPECT_EQ(kw::Shots.Count(), 0);
}

TEST_F(ShotsTest, AShotKillsInTheEnemyHalfOfTheSamePass) {
  AddType(9, 0, 0, 15);
  AddEnemy(0, 120, 100);
  AddShot(100, 100, 1, 1);
  kw::UpdateCombat();
  EXPECT_EQ(kw::Enemies.Count(), 0);
  EXPECT_EQ(p().score, 15);
}

TEST_F(ShotsTest, TheFireAxePassesThroughAndHitsOncePerStepOfOverlap) {
  AddType(9, 100, 0);
  kw::Enemy& first = AddEnemy(0, 140, 100);
  kw::Enemy& second = AddEnemy(0, 180, 100);
  HoldWeapon("Feueraxt");
  AddShot(120, 100, 1, 6);
  kw::UpdateCombat();  // at 140
  EXPECT_EQ(first.health, 94);
  EXPECT_EQ(second.health, 100);
  EXPECT_EQ(kw::Shots.Count(), 1);
  kw::UpdateCombat();  // at 160: between them
  kw::UpdateCombat();  // at 180
  EXPECT_EQ(first.health, 94);
  EXPECT_EQ(second.health, 94);
  HoldKey(16, true);  // frozen on the second enemy, it keeps hurting it
  kw::UpdateCombat();
  HoldKey(16, false);
  EXPECT_EQ(second.health, 88);
  EXPECT_EQ(kw::Shots.Count(), 1);
}

// The world pass lets a slider go 2000 ms after its hit.
void WorldPassSliderPause() {
  for (kw::Slider& s : kw::Sliders)
    if (s.hit == 1 && kw::MsSince(kw::TimeMs(), s.hitTime) > 2000) s.hit = 0;
}

kw::Slider& AddSlider(int col, int row) {
  kw::Sliders.Last();
  kw::Slider& s = kw::Sliders.Add();
  s.col = int16_t(col);
  s.row = int16_t(row);
  return s;
}

TEST_F(SlidersTest, SliderGlidesBetweenMarkersAndPausesTwoSecondsAtEach) {
  Wall(2, 2, 5, 5, 49);  // markers at x 60..90 and 270..300
  Wall(9, 9, 5, 5, 49);
  kw::Slider& s = AddSlider(4, 5);  // picture x 120 + offX, 60 wide
  kw::UpdateCombat();
  EXPECT_EQ(s.offX, 4);
  int steps = 1;
  while (s.hit == 0 && steps < 100) {
    kw::UpdateCombat();
    ++steps;
  }
  ASSERT_EQ(s.hit, 1);
  EXPECT_EQ(steps, 23);     // offX 92 is the first to reach the marker at 270
  EXPECT_EQ(s.offX, 67);    // 25 back
  EXPECT_EQ(s.side, 1);
  EXPECT_EQ(s.hitTime, int32_t(kw::TimeMs()));
  for (int i = 0; i < 10; ++i) {
    kw::SleepMs(190);
    WorldPassSliderPause();
    kw::UpdateCombat();
  }
  EXPECT_EQ(s.offX, 67);  // 1900 ms: still standing
  kw::SleepMs(101);
  WorldPassSliderPause();
  kw::UpdateCombat();
  EXPECT_EQ(s.hit, 0);
  EXPECT_EQ(s.offX, 63);
  while (s.hit == 0 && steps < 200) {
    kw::UpdateCombat();
    ++steps;
  }
  // The left marker (60..90) is met when the picture's left edge passes 90.
  EXPECT_EQ(s.side, 0);
  EXPECT_EQ(s.offX, -33 + 25);
}

TEST_F(SlidersTest, ASliderHurtsOnceThenStandsUnderTheAura) {
  kw::Slider& s = AddSlider(4, 5);
  PlaceFigure(130, 150);
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(p().health, 485);
  EXPECT_EQ(kw::Aura, 370);
  EXPECT_EQ(kw::HitGuard, 1);
  EXPECT_FLOAT_EQ(kw::GuardHealth, 485);
  EXPECT_EQ(s.hit, 1);
  EXPECT_EQ(s.side, 1);
  EXPECT_EQ(s.offX, -25);
  // Released while the aura still runs: touching it does not hurt, it glides on.
  s.hit = 0;
  kw::UpdateCombat();
  EXPECT_FLOAT_EQ(p().health, 485);
  EXPECT_EQ(s.offX, -29);
}

TEST_F(SlidersTest, TheFlipSpellTurnsASliderAndIsUsedUp) {
  kw::Slider& s = AddSlider(4, 1);  // picture 120..180 x 30..90
  kw::Slider& far = AddSlider(15, 8);
  kw::Spell = 359;
  kw::SpellDX = -470;  // spell picture at x 130, y posY + 234 = 34
  kw::UpdateCombat();
  EXPECT_EQ(kw::Spell, 0);
  EXPECT_EQ(s.hit, 1);
  EXPECT_EQ(s.side, 1);
  EXPECT_EQ(s.offX, 4 - 25);
  EXPECT_EQ(far.hit, 0);
  EXPECT_EQ(far.offX, 4);
  // Flown down, it turns the slider it reaches, not the one at the figure's height.
  kw::Slider& low = AddSlider(4, 7);  // picture 124..184 x 210..270 after its glide
  kw::Spell = 359;
  kw::SpellDY = 200;  // y 234
  kw::UpdateCombat();
  EXPECT_EQ(kw::Spell, 0);
  EXPECT_EQ(low.hit, 1);
  EXPECT_EQ(s.offX, 4 - 25);
}

TEST_F(SlidersTest, SwitchedOffStorySlidersStandStill) {
  kw::Slider& s = AddSlider(4, 5);
  kw::StoryMode = 1;
  kw::EnemySpawnOff = 1;
  kw::UpdateCombat();
  EXPECT_EQ(s.offX, 0);
}

TEST_F(SlidersTest, AStaleMapSizeNeverReadsOutsideTheGrid) {
  AddSlider(4, 5);
  AddType(3, 3, 4);
  AddEnemy(0, 100, 100);
  p().mapWidth = 5000;  // larger than the grid
  p().mapHeight = 5000;
  kw::Spell = 359;
  kw::MoveEnemies();
  kw::UpdateCombat();
  EXPECT_EQ(kw::Sliders.Count(), 1);
}

}  // namespace
}  // namespace kwtest
