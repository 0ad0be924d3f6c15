// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The player's rules carried out by the world pass and the control: the protective
// aura's timer, a spell's range and flight, the aura's pulse, sounds and pictures, the
// light marks in the dark, and the health rules with the guard.
#include "media/sound_internal.h"
#include "play/play_fixture.h"

using namespace kwtest;

namespace {

class PlayerRulesTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    p().mana = 60.0f;
  }
};

TEST_F(PlayerRulesTest, ProtectiveAuraLastsAHundredFrames) {
  kw::Spell = 370;
  kw::HitGuard = 1;
  for (int i = 0; i < 100; ++i) kw::SpellTimers();
  EXPECT_EQ(kw::Spell, 370);
  EXPECT_EQ(kw::SpellTime, 100);
  kw::SpellTimers();
  EXPECT_EQ(kw::Spell, 0);
  EXPECT_EQ(kw::SpellTime, 0);
  EXPECT_EQ(kw::HitGuard, 0);
}

TEST_F(PlayerRulesTest, SpellEndsPastItsRangeInTheFacingOrFlightDirection) {
  struct Case { int facing, spellDir, dx, dy; bool ends; };
  const Case cases[] = {
      {6, 0, 1000, 0, false}, {6, 0, 1001, 0, true}, {4, 0, -1000, 0, false}, {4, 0, -1001, 0, true},
      {8, 0, 0, -1001, true}, {2, 0, 0, 1001, true}, {2, 0, 0, 1000, false},
      {4, 0, 5000, 0, false},  // flying the other way: no range check ends it
      // Cast up or down (the figure faces left or right again), or flown behind a figure
      // that turned round: the spell's own way ends it.
      {6, 8, 0, -1000, false}, {6, 8, 0, -1001, true}, {4, 2, 0, 1001, true}, {6, 2, 0, -5000, false},
      {6, -1, -1001, 0, true}, {4, 1, 1001, 0, true},
  };
  for (const Case& c : cases) {
    kw::Spell = 358;
    kw::SpellTime = 7;
    p().facing = int16_t(c.facing);
    p().spellDir = int16_t(c.spellDir);
    kw::SpellDX = int16_t(c.dx);
    kw::SpellDY = int16_t(c.dy);
    kw::SpellTimers();
    EXPECT_EQ(kw::Spell, c.ends ? 0 : 358) << c.facing << " " << c.spellDir << " " << c.dx << " " << c.dy;
    EXPECT_EQ(kw::SpellTime, c.ends ? 0 : 7);
  }
}

TEST_F(PlayerRulesTest, SpellFliesThreePixelsAFrame) {
  p().spellDir = 1;
  kw::SpellFlightAndAura();
  EXPECT_EQ(kw::SpellDX, 3);
  p().spellDir = -1;
  kw::SpellFlightAndAura();
  EXPECT_EQ(kw::SpellDX, 0);
  p().spellDir = 2;
  kw::SpellFlightAndAura();
  EXPECT_EQ(kw::SpellDY, 3);
  p().spellDir = 8;
  kw::SpellFlightAndAura();
  kw::SpellFlightAndAura();
  EXPECT_EQ(kw::SpellDY, -3);
  EXPECT_EQ(kw::SpellDX, 0);
}

TEST_F(PlayerRulesTest, AuraEndsAtTheSecondReversalOfItsPulse) {
  kw::Aura = 370;
  kw::HitGuard = 1;
  int frames = 0;
  while (kw::Aura != 0 && frames < 1000) {
    kw::SpellFlightAndAura();
    ++frames;
  }
  // From 0 up to 51 (first reversal), down to -51 (second): 51 + 102 frames.
  EXPECT_EQ(frames, 153);
  EXPECT_EQ(kw::HitGuard, 0);
  EXPECT_EQ(kw::AuraTurns, 0);
  EXPECT_EQ(kw::AuraStep, 1);
}

TEST_F(PlayerRulesTest, AuraSoundAndPictures) {
  for (int s : {393, 394, 398, 399}) {
    Bytes wav = Wav();
    ASSERT_EQ(kw::LoadSoundFromMemory(s, wav.data(), wav.size(), 0), 1);
    kw::SetSoundVolume(s, 33);
  }
  kw::Volume = 80;
  SolidSprite(360, 42, 58, 0xFFFF0000u, true);
  SolidSprite(361, 42, 58, 0xFF0000FFu, true);
  kw::Aura = 370;
  kw::AuraPulse = 14;  // after the step: 15, alphas 250 and -50
  kw::ClearBackBuffer(0);
  kw::SpellFlightAndAura();
  EXPECT_EQ(kw::SoundVolume(394), 80);
  for (int s : {393, 398, 399}) EXPECT_EQ(kw::SoundVolume(s), 0) << s;
  uint32_t px = Screen(FigureX + 5, FigureScreenTop + 5);
  EXPECT_GT((px >> 16) & 255, 240u);  // the first picture nearly opaque
  EXPECT_EQ(px & 255, 0u);            // the second invisible
  kw::Aura = 0;
  kw::SpellFlightAndAura();
  for (int s : {393, 394, 398, 399}) EXPECT_EQ(kw::SoundVolume(s), 0) << s;
}

TEST_F(PlayerRulesTest, FlyingSpellPictureButNotTheBombOrTheAura) {
  SolidSprite(359, 20, 20, 0xFF00FF00u, true);
  SolidSprite(357, 20, 20, 0xFF00FF00u, true);
  kw::SpellDX = 100;
  kw::ClearBackBuffer(0);
  kw::Spell = 357;
  kw::SpellFlightAndAura();
  EXPECT_EQ(Screen(FigureX + 135, FigureScreenTop + 10), Black);
  kw::Spell = 359;
  kw::SpellFlightAndAura();
  uint32_t green = (Screen(FigureX + 135, FigureScreenTop + 10) >> 8) & 255;
  EXPECT_NEAR(double(green), 200.0, 3.0);  // alpha 200
}

TEST_F(PlayerRulesTest, LightMarksAroundTheAuraAndTheSpellInTheDark) {
  p().darkness = 255;
  kw::Aura = 371;
  kw::ComputeVisibleWindow(0);
  kw::ClearBackBuffer(0);
  kw::DrawLightsAndDarkness();
  // col = trunc((300 + 30) / 30) = 11, row = trunc(240 / 30) = 8: columns 10..12 and
  // rows 7..10 are lit by picture 501, the rest dark by shade 500.
  for (int c = 10; c <= 12; ++c)
    for (int r = 7; r <= 10; ++r) EXPECT_EQ(LightIndex(c, r), 1) << c << "," << r;
  EXPECT_EQ(LightIndex(9, 7), 0);
  EXPECT_EQ(LightIndex(13, 8), 0);
  EXPECT_EQ(LightIndex(10, 11), 0);
  EXPECT_EQ(LightIndex(10, 6), 0);
  // Marks are cleared as they are drawn.
  for (int c = 0; c <= 19; ++c)
    for (int r = 0; r <= 15; ++r) EXPECT_EQ(kw::LightGrid.At(c, r), 0);
  // A flying bomb, fetch or slider spell lights 2 x 2 cells with marks 2..5.
  kw::Aura = 0;
  kw::Spell = 359;
  kw::SpellDX = 60;  // col trunc((300 + 60 + 30) / 30) = 13, row trunc(244 / 30) = 8
  kw::ClearBackBuffer(0);
  kw::DrawLightsAndDarkness();
  EXPECT_EQ(LightIndex(13, 8), 2);
  EXPECT_EQ(LightIndex(14, 8), 3);
  EXPECT_EQ(LightIndex(13, 9), 4);
  EXPECT_EQ(LightIndex(14, 9), 5);
  EXPECT_EQ(LightIndex(12, 8), 0);
  // A spell flown up lights where it is: col 11, row trunc((244 - 120) / 30) = 4.
  kw::SpellDX = 0;
  kw::SpellDY = -120;
  kw::ClearBackBuffer(0);
  kw::DrawLightsAndDarkness();
  EXPECT_EQ(LightIndex(11, 4), 2);
  EXPECT_EQ(LightIndex(12, 5), 5);
  EXPECT_EQ(LightIndex(11, 8), 0);
  kw::SpellDY = 0;
  // The cell's shade picks its darkness picture.
  kw::Spell = 0;
  cell(3, 3).shade = 7;
  kw::DrawLightsAndDarkness();
  EXPECT_EQ(LightIndex(3, 3), 7);
}

TEST_F(PlayerRulesTest, NoMarksNearTheMapEdgeOrOutsideIt) {
  p().darkness = 255;
  kw::Aura = 370;
  p().posY = -230;  // figure row 0: the glow needs a row above
  kw::ComputeVisibleWindow(0);
  kw::ClearBackBuffer(0);
  kw::DrawLightsAndDarkness();
  EXPECT_EQ(LightIndex(10, 0), 0);
  EXPECT_EQ(LightIndex(11, 1), 0);
  // A spell far outside the map marks nothing (and touches no memory).
  kw::Aura = 0;
  kw::Spell = 358;
  for (int dx : {-32000, 32000}) {
    kw::SpellDX = int16_t(dx);
    kw::VisFromX = kw::VisToX = 0;  // nothing visible clears a wrong mark
    kw::DrawLightsAndDarkness();
    for (int c = 0; c <= 19; ++c)
      for (int r = 0; r <= 15; ++r) EXPECT_EQ(kw::LightGrid.At(c, r), 0) << dx;
  }
}

TEST_F(PlayerRulesTest, LitMapDrawsNoDarkness) {
  kw::Aura = 370;
  p().darkness = 0;
  kw::DrawWorld();
  EXPECT_EQ(Screen(5, 5), 0xFF101010u);  // the far background, not the dark edge
  for (int c = 0; c <= 19; ++c)
    for (int r = 0; r <= 15; ++r) EXPECT_EQ(kw::LightGrid.At(c, r), 0);
  // Unknown shade values draw nothing either.
  p().darkness = 255;
  for (int c = 0; c <= 19; ++c)
    for (int r = 0; r <= 15; ++r) cell(c, r).shade = 11;
  kw::Aura = 0;
  kw::ClearBackBuffer(0);
  kw::ComputeVisibleWindow(0);
  kw::DrawLightsAndDarkness();
  EXPECT_EQ(Screen(100, 100), Black);
}

TEST_F(PlayerRulesTest, HealthRules) {
  p().health = 0.0f;
  kw::ApplyHealthRules();
  EXPECT_EQ(kw::GameOver, 0);
  EXPECT_EQ(p().mapDone, 0);
  p().health = -0.1f;
  kw::ApplyHealthRules();
  EXPECT_EQ(kw::GameOver, 1);
  EXPECT_EQ(p().mapDone, 1);
  kw::GameOver = 0;
  p().health = 900.0f;
  kw::ApplyHealthRules();
  EXPECT_FLOAT_EQ(p().health, 500.0f);
}

TEST_F(PlayerRulesTest, GuardUndoesLossesUntilTheAuraEnds) {
  p().health = 300.0f;
  p().mana = 40.6f;
  kw::GuardAfterHit();
  EXPECT_EQ(kw::HitGuard, 1);
  EXPECT_EQ(kw::GuardMana, 41);
  p().health -= 80;  // a bomb explodes beside the guarded figure
  p().mana = 10.0f;
  kw::ApplyHealthRules();
  EXPECT_FLOAT_EQ(p().health, 300.0f);
  EXPECT_FLOAT_EQ(p().mana, 41.0f);
  // A fatal blow is undone too.
  p().health = -50.0f;
  kw::ApplyHealthRules();
  EXPECT_EQ(kw::GameOver, 0);
  kw::HitGuard = 0;
  p().health = 250.0f;
  kw::ApplyHealthRules();
  EXPECT_FLOAT_EQ(p().health, 250.0f);
}

TEST_F(PlayerRulesTest, InvincibilityFillsHealthManaAndOneThrow) {
  kw::CheatInvincible = 1;
  p().health = -20.0f;
  p().mana = 3.0f;
  kw::Items.Current()->throws = 0;
  kw::ApplyHealthRules();
  EXPECT_FLOAT_EQ(p().health, 500.0f);
  EXPECT_FLOAT_EQ(p().mana, 100.0f);
  EXPECT_EQ(kw::Items.Current()->throws, 1);
  EXPECT_EQ(kw::GameOver, 0);
}

}  // namespace
