// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The world pass as the player sees it: which layer lies over which, the back-layer
// and overlay rules, the door with the key, the ground kind, spikes, the sword on a
// wall, shots against walls, portals and their flash, sliders pausing after a hit, the
// weather, and map values at the integer limits.
#include <climits>

#include "play/play_fixture.h"

using namespace kwtest;

namespace {

class WorldPassTest : public WorldTest {};

// A point inside the figure but left of cell 11 (which the figure also overlaps).
constexpr int InFigureX = 310, InFigureY = 250;

TEST_F(WorldPassTest, LayersLieInTheirOrder) {
  // Main layer under the figure, front picture over it, overlay over both.
  cell(HeadCol, HeadRow).tile = 5;
  kw::DrawWorld();
  EXPECT_EQ(Screen(InFigureX, InFigureY), FrontColour(5));
  cell(HeadCol, HeadRow).front = 2;  // no front picture: the figure shows
  kw::DrawWorld();
  EXPECT_EQ(Screen(InFigureX, InFigureY), FigureColour);
  EXPECT_EQ(Screen(InFigureX, 235), TileColour(5));  // main picture reaches 10 px up
  cell(HeadCol, HeadRow).over = 7;
  kw::DrawWorld();
  EXPECT_EQ(Screen(InFigureX, InFigureY), OverlayColour);
}

TEST_F(WorldPassTest, BackLayerAndOverlayValues) {
  SolidSprite(102, 30, 30, 0xFF0A0B0Cu);
  SolidSprite(101, 30, 30, 0xFF0A0B0Du);
  SolidSprite(372, 30, 30, 0xFF0A0B0Eu);
  cell(2, 2).back = 101;
  cell(3, 2).back = 102;
  cell(4, 2).back = 372;  // not a back picture: a damaged map cannot paint others
  kw::DrawWorld();
  EXPECT_EQ(Screen(65, 55), 0xFF101010u);  // the far background
  EXPECT_EQ(Screen(95, 55), 0xFF0A0B0Cu);
  EXPECT_EQ(Screen(125, 55), 0xFF101010u);
  kw::StaticBackground = 1;
  kw::DrawWorld();
  EXPECT_EQ(Screen(95, 55), 0xFF101010u);
  // Overlays: 1..81 and 201..281 draw, others do not; the last row never does.
  kw::StaticBackground = 0;
  EXPECT_EQ(kw::OverlaySprite(5), 205);
  EXPECT_EQ(kw::OverlaySprite(205), 205);
  EXPECT_EQ(kw::OverlaySprite(0), 0);
  EXPECT_EQ(kw::OverlaySprite(150), 0);
  EXPECT_EQ(kw::OverlaySprite(-199), 0);
  EXPECT_EQ(kw::OverlaySprite(INT_MAX), 0);
  cell(5, 15).over = 5;
  p().pixelY = -30;  // bring the last row onto the screen
  kw::DrawWorld();
  EXPECT_NE(Screen(155, 15 * 30 - 30 + 15), OverlayColour);
  EXPECT_EQ(kw::ShadeSprite(10), 510);
  EXPECT_EQ(kw::ShadeSprite(11), 0);
  EXPECT_EQ(kw::ShadeSprite(-1), 0);
}

TEST_F(WorldPassTest, HeldKeyOpensTheDoorWhichIsThenNoCell) {
  cell(HeadCol, HeadRow).tile = 19;
  cell(HeadCol, HeadRow).pickup = 6;
  p().hasKey = 1;
  kw::DrawWorld();
  EXPECT_EQ(Screen(305, 231), 0xFF4400EEu);  // the open door, 10 px above its cell
  EXPECT_EQ(Screen(InFigureX, InFigureY), FigureColour);  // no front picture
  EXPECT_EQ(p().score, 0);                                // and no touch
  p().hasKey = 0;
  kw::DrawWorld();
  EXPECT_EQ(p().score, 50);
}

TEST_F(WorldPassTest, FirstSpecialGroundWinsAndPlainGroundDoesNotOverwrite) {
  kw::FillTileKind(1);  // 31 is kind 1, 35 kind 2
  // Row 9 lies under the figure's feet; cells are met row by row, left to right.
  auto ground = [this](int left, int right) {
    cell(HeadCol, HeadRow + 1).tile = left;
    cell(HeadCol + 1, HeadRow + 1).tile = right;
    kw::DrawWorld();
    return kw::GroundKind;
  };
  EXPECT_EQ(ground(31, 5), 10);  // a later plain cell does not overwrite
  EXPECT_EQ(ground(35, 31), 5);  // the first special kind wins
  EXPECT_EQ(ground(5, 31), 10);  // a plain cell does not block a later special one
  EXPECT_EQ(kw::TouchSprite, 438);
  p().smallForm = 1;
  p().posY += 34;  // the small form stands lower, its 30 px frame over row 9
  EXPECT_EQ(ground(31, 5), 8);
  EXPECT_EQ(kw::TouchSprite, 323);
  kw::GroundKind = 3;
  EXPECT_EQ(ground(1, 1), 3);  // no ground under the figure: unchanged
}

TEST_F(WorldPassTest, SpikesMoveAndHurtOnEveryFrameOfContact) {
  std::vector<int> shifts;
  for (int i = 0; i < 14; ++i) {
    kw::DrawWorld();
    shifts.push_back(kw::SpikeShift);
  }
  // From 0 it first grows once, then swings between -45 and -9.
  std::vector<int> want = {4, 0, -4, -8, -12, -16, -20, -24, -28, -32, -36, -40, -44, -48};
  EXPECT_EQ(shifts, want);
  kw::DrawWorld();
  EXPECT_EQ(kw::SpikeShift, -44);
  // Upright spikes in the cell under the figure's feet, shifted up into it.
  cell(HeadCol, HeadRow + 2).pickup = 18;
  float h = p().health;
  kw::DrawWorld();  // shift -40: spikes at y 260..289 touch the figure (to 297)
  EXPECT_FLOAT_EQ(p().health, h - 5);
  kw::DrawWorld();
  EXPECT_FLOAT_EQ(p().health, h - 10);
  // Sideways spikes far off the figure do not hurt.
  cell(HeadCol, HeadRow + 2).pickup = 0;
  cell(2, 2).pickup = 17;
  kw::DrawWorld();
  EXPECT_FLOAT_EQ(p().health, h - 10);
}

TEST_F(WorldPassTest, SwordOnAWallSetsTheContactFlag) {
  cell(HeadCol + 1, HeadRow).tile = 5;
  kw::DrawWorld();
  EXPECT_EQ(p().contactFlag, 0);  // no sword yet
  p().hasSword = 1;
  kw::DrawWorld();
  EXPECT_EQ(p().contactFlag, 1);
}

TEST_F(WorldPassTest, ShotsTouchingAWallGoInTheSameFrame) {
  kw::Shots.Add(kw::Shot{50.0f, 115.0f, 1, 1, 0, 326});  // over cells 3 and 4 of row 1
  kw::Shots.Add(kw::Shot{400.0f, 500.0f, 1, 1, 0, 326});
  kw::DrawWorld();
  EXPECT_EQ(kw::Shots.Count(), 2);  // air cells do not stop shots
  cell(4, 1).tile = 5;
  cell(4, 1).front = 2;
  kw::DrawWorld();
  ASSERT_EQ(kw::Shots.Count(), 1);
  EXPECT_FLOAT_EQ(kw::Shots.begin()->x, 500.0f);
  // The spinning picture advanced each frame and wrapped after 3.
  EXPECT_EQ(kw::Shots.begin()->spin, 2);
}

TEST_F(WorldPassTest, PortalFlashesHurtsOnceUnderTheAuraAndRestarts) {
  kw::Portals.Add(kw::Portal{HeadRow, HeadCol, "", 0, 0, "", 1, 1, 29.0f, 50});
  kw::DrawWorld();  // phase 29 < 30: no flash
  kw::Portal& portal = *kw::Portals.begin();
  EXPECT_FLOAT_EQ(portal.phase, 30.0f);
  EXPECT_FLOAT_EQ(p().health, 500.0f);
  kw::DrawWorld();  // 30: flash, touch
  EXPECT_FLOAT_EQ(p().health, 480.0f);
  EXPECT_EQ(kw::Aura, 370);
  EXPECT_EQ(kw::HitGuard, 1);
  EXPECT_FLOAT_EQ(kw::GuardHealth, 480.0f);
  EXPECT_FLOAT_EQ(portal.phase, 2.0f);
  // Move the portal off the figure: it flashes at 30 and restarts at 50.
  portal.col = 2;
  portal.phase = 49.0f;
  kw::DrawWorld();
  EXPECT_FLOAT_EQ(portal.phase, 50.0f);
  kw::DrawWorld();
  EXPECT_FLOAT_EQ(portal.phase, 2.0f);
  // A portal at phase 0 never advances; an inactive one shows the door picture.
  portal.phase = 0.0f;
  kw::DrawWorld();
  EXPECT_FLOAT_EQ(portal.phase, 0.0f);
  portal.active = 0;
  kw::DrawWorld();
  EXPECT_EQ(Screen(65, HeadRow * 30 + 5), 0xFF7700AAu);
}

TEST_F(WorldPassTest, SlidersPauseTwoSecondsAfterAHit) {
  SolidSprite(344, 120, 120, 0xFF00AA00u);
  kw::Sliders.Add(kw::Slider{2, 2, 0, 0, 1, int32_t(kw::TimeMs())});
  kw::DrawWorld();
  EXPECT_EQ(kw::Sliders.begin()->hit, 1);
  kw::Sliders.begin()->hitTime = int32_t(kw::TimeMs() - 2001);
  kw::DrawWorld();
  EXPECT_EQ(kw::Sliders.begin()->hit, 0);
  EXPECT_EQ(Screen(65, 65), 0xFF00AA00u);
}

TEST_F(WorldPassTest, WeatherFallsAndComesBackAtTheTop) {
  kw::WeatherSprite = 0;
  kw::WeatherAmount = 3;
  kw::WeatherParticles.Clear();
  kw::WeatherParticles.Add(kw::WeatherParticle{10, 100});
  kw::DrawWorld();
  EXPECT_EQ(kw::WeatherParticles.begin()->y, 100);  // no weather picture: off
  kw::WeatherSprite = 431;
  kw::WeatherAmount = 0;
  kw::DrawWorld();
  EXPECT_EQ(kw::WeatherParticles.begin()->y, 100);  // no amount: off
  kw::WeatherAmount = 3;
  kw::WeatherParticles.Add(kw::WeatherParticle{20, 479});
  kw::DrawWorld();
  // The first fell 2 px, the second left at the bottom, one came back at the top.
  ASSERT_EQ(kw::WeatherParticles.Count(), 2);
  EXPECT_EQ(kw::WeatherParticles.begin()->y, 102);
  EXPECT_EQ(std::next(kw::WeatherParticles.begin())->y, 0);
  EXPECT_TRUE(kw::SpriteExists(431));  // rain drawn even without a pack picture
  kw::DrawWorld();
  EXPECT_EQ(kw::WeatherParticles.Count(), 3);
  kw::DrawWorld();
  EXPECT_EQ(kw::WeatherParticles.Count(), 3);
}

TEST_F(WorldPassTest, ExtremeMapValuesDrawWithoutOverflow) {
  kw::ExitCol = INT_MAX;
  kw::ExitRow = INT_MIN;
  kw::Portals.Add(kw::Portal{INT_MAX, INT_MAX, "", 0, 0, "", 1, 1, 1e9f, INT_MIN});
  kw::Portals.Add(kw::Portal{INT_MIN, INT_MIN, "", 0, 0, "", 1, 0, 0, 0});
  kw::MapCell& c = cell(3, 3);
  c.tile = 5;
  c.offX = INT_MIN;
  c.offY = INT_MAX;
  c.over = INT_MIN;
  c.back = INT_MAX;
  c.shade = INT_MAX;
  kw::MovingTiles.Add(kw::CellPos{INT_MAX, INT_MIN});
  kw::MovingTiles.Add(kw::CellPos{3, 3});
  c.vRange = 5;
  kw::Sliders.Add(kw::Slider{32767, -32768, 1, INT_MAX, INT_MAX, 0});
  kw::Bombs.Add(kw::Bomb{INT_MAX, INT_MIN, 0, 0, 1e30f, INT_MAX});
  kw::Shots.Add(kw::Shot{3e38f, -3e38f, 1, 1, 0, INT_MAX});
  p().darkness = 32767;
  kw::Aura = 370;
  kw::SpellDX = 32767;
  p().spellDir = 1;
  kw::Spell = 359;
  kw::AnimFrameBase = INT_MAX;
  kw::DrawWorld();
  // A view far off the map too.
  p().posX = -3e9f;
  p().posY = 3e9f;
  kw::AnimFrameBase = 6000;
  kw::DrawWorld();
  SUCCEED();
}

}  // namespace
