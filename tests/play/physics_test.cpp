// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The figure's physics on small hand-made maps: falling and landing, the jump's height
// and reach, walls and the low-edge step-up, doors with and without the key, ladders,
// slopes with and without bombs, moving platforms, block breaking, the camera zone at
// both map ends, the map limits, and the bombs' own fall and bounce.
#include "play/play_fixture.h"

namespace {

using kwtest::PlayField;

class PhysicsTest : public PlayField {
 protected:
  // A wall of tile t in column col, from the top down to the floor.
  void Wall(int col, int t = 2) {
    for (int r = 0; r < FloorRow; ++r) Put(col, r, t);
  }
  // Lets a figure standing on the floor settle onto it.
  void Settle() {
    p().speedX = 0;
    Steps(4);
  }
};

TEST_F(PhysicsTest, FallsAndRestsOnTheGroundPixelExact) {
  PlaceFigure(600, 20);
  for (int i = 0; i < 100; ++i) {
    Step();
    ASSERT_LE(Bottom(), FloorY) << "the figure sank into the floor at step " << i;
  }
  EXPECT_EQ(Bottom(), FloorY);
  EXPECT_EQ(p().moveFlag, 1);
  EXPECT_EQ(p().speedY, 0.0f);
  EXPECT_EQ(p().climbing, 0);
  EXPECT_EQ(kw::TouchSprite, 438);
}

TEST_F(PhysicsTest, JumpHeightAndReach) {
  StandAt(600);
  Settle();
  int ground = TopY();
  double x0 = WorldX();
  p().speedY = p().jumpSpeed;
  p().moveFlag = 0;
  int highest = ground, ticks = 0;
  while (ticks < 100) {
    p().speedX = -7;  // walking right at full speed
    Step();
    ++ticks;
    highest = std::min(highest, TopY());
    if (p().speedY == 0 && p().moveFlag == 1) break;
  }
  // v^2 / 2g for -8 and 0.4 per tick, less the first tick's gravity.
  EXPECT_NEAR(ground - highest, 76, 1);
  EXPECT_NEAR(ticks, 40, 2);
  EXPECT_NEAR(WorldX() - x0, 7.0 * ticks, 0.01);
  EXPECT_EQ(Bottom(), FloorY);
}

TEST_F(PhysicsTest, WallStopsAndBouncesTheFigure) {
  Wall(25);  // x 750..779
  StandAt(600);
  Settle();
  bool bounced = false;
  for (int i = 0; i < 40 && !bounced; ++i) {
    p().speedX = -7;
    Step();
    ASSERT_LE(WorldX() + 42, 750) << "inside the wall at step " << i;
    bounced = p().speedX > 0;
  }
  ASSERT_TRUE(bounced);
  EXPECT_FLOAT_EQ(p().speedX, 3.5f);
  EXPECT_GT(WorldX() + 42, 742);  // it came right up to the wall
}

TEST_F(PhysicsTest, LowEdgesAreClimbedHigherOnesBounce) {
  // A ledge of four pixels: the figure steps onto it, lifted pixel by pixel.
  kwtest::MakePicture(3, 30, 30, [](int, int y) { return y >= 26; });
  Put(25, FloorRow - 1, 3);  // pixels y 296..299
  StandAt(700);
  Settle();
  ASSERT_EQ(Bottom(), FloorY);
  for (int i = 0; i < 3; ++i) {
    p().speedX = -7;
    Step();
  }
  EXPECT_EQ(Bottom(), 296);
  EXPECT_FLOAT_EQ(p().speedX, -7.0f);
  EXPECT_NEAR(WorldX(), 721, 0.01);

  // Five pixels is one too many for GroundKind 5.
  kwtest::MakePicture(3, 30, 30, [](int, int y) { return y >= 25; });
  StandAt(700);
  Settle();
  double before = WorldX();
  p().speedX = -7;
  Step();  // x 707: not yet touching
  p().speedX = -7;
  Step();  // x 714: touches, bounces
  EXPECT_FLOAT_EQ(p().speedX, 3.5f);
  EXPECT_NEAR(WorldX(), before + 7, 0.01);
  // GroundKind 8 (a kind-1 ground in the small form) climbs it.
  kw::GroundKind = 8;
  StandAt(700);
  Settle();
  for (int i = 0; i < 3; ++i) {
    p().speedX = -7;
    Step();
  }
  EXPECT_EQ(Bottom(), 295);
}

TEST_F(PhysicsTest, DoorsAreWallsWithoutTheKey) {
  Wall(25, 19);
  StandAt(600);
  Settle();
  for (int i = 0; i < 40; ++i) {
    p().speedX = -7;
    Step();
  }
  EXPECT_LE(WorldX() + 42, 750);
  p().hasKey = 1;
  for (int i = 0; i < 40; ++i) {
    p().speedX = -7;
    Step();
  }
  EXPECT_GT(WorldX(), 780);
  EXPECT_EQ(Bottom(), FloorY);
}

TEST_F(PhysicsTest, LaddersHoldTheFigureWithoutStoppingTheFall) {
  Put(20, 7, 26);
  Put(20, 8, 26);
  PlaceFigure(600, 200);
  p().speedY = 0;
  Step();
  EXPECT_EQ(p().climbing, 1);
  EXPECT_EQ(p().moveFlag, 1);
  EXPECT_FLOAT_EQ(p().posY, 200 - 230 + 0.4f);
  EXPECT_FLOAT_EQ(p().speedY, 0.4f);
  // Away from the ladder the flag goes again.
  PlaceFigure(1200, 100);
  Step();
  EXPECT_EQ(p().climbing, 0);
}

TEST_F(PhysicsTest, SlopesSlideOnlyTheSmallFormWithoutBombs) {
  // A slope whose picture is its top line only.
  kwtest::MakePicture(31, 30, 30, [](int, int y) { return y == 0; });
  Put(20, 9, 31);  // the line at y 270
  p().smallForm = 1;
  p().topSpeed = 9;
  p().accel = 0.9f;
  kw::GroundKind = 8;
  PlaceFigure(600, 240);  // small figure rows 240..269
  p().speedY = 1;
  Step();
  EXPECT_EQ(kw::TouchSprite, 323);
  EXPECT_EQ(kw::OnSlope, 1.0f);
  EXPECT_EQ(kw::SlopeFrames, 0);
  EXPECT_EQ(p().moveFlag, 1);
  EXPECT_NEAR(p().speedX, 3.6f, 1e-5);   // 4 x accel, sliding left
  EXPECT_NEAR(WorldX(), 600 - 3.6, 1e-4);
  EXPECT_NEAR(p().posY + 230, 239.6, 1e-4);  // pushed down, then lifted onto the line

  // The normal form does not slide and clears the slope state.
  p().smallForm = 0;
  p().speedX = 0;
  StandAt(600);
  PlaceFigure(600, 213);
  p().speedY = 0;
  Step();
  EXPECT_EQ(kw::OnSlope, 0.0f);
  EXPECT_FLOAT_EQ(p().speedX, 0.0f);
}

TEST_F(PhysicsTest, WithBombsSlopesActInEveryFormAndThrowOffTheEnd) {
  kw::Bombs.Add(kw::Bomb{30, 0, 0, 0, 0, 0});  // far away at the map's left
  Put(20, 9, 31);
  PlaceFigure(600, 213);  // rows 213..270: touches the slope cell at row 9
  p().speedY = 0;
  kw::PlayerPhysicsWithBombs();
  EXPECT_EQ(kw::OnSlope, 1.0f);
  EXPECT_FLOAT_EQ(p().speedX, 2.0f);
  EXPECT_EQ(kw::ControlMoved, 0);

  // Running off the slope at 6 pixels a tick: two ticks later the figure is thrown up.
  Put(20, 9, 1);
  StandAt(900);
  Settle();
  kw::OnSlope = 1;
  kw::SlopeFrames = 1;
  p().speedX = -6;
  kw::PlayerPhysicsWithBombs();
  EXPECT_FLOAT_EQ(p().speedY, -4.0f);
  EXPECT_EQ(kw::OnSlope, 0.0f);

  // Without bombs the same run stays on the ground.
  kw::Bombs.Clear();
  StandAt(900);
  Settle();
  kw::OnSlope = 1;
  kw::SlopeFrames = 1;
  p().speedX = -6;
  kw::PlayerPhysics();
  EXPECT_FLOAT_EQ(p().speedY, 0.0f);
  EXPECT_EQ(kw::OnSlope, 0.0f);
}

TEST_F(PhysicsTest, MovingPlatformsCarryTheFigure) {
  for (int c = 0; c <= 59; ++c) Put(c, FloorRow, 1);  // no floor: only the platforms
  Put(20, 8, 2);
  cell(20, 8).hRange = 60;
  cell(20, 8).hStep = 2;
  cell(20, 8).offX = 2;
  Put(40, 6, 2);
  cell(40, 6).vRange = 40;
  cell(40, 6).vStep = 1;
  cell(40, 6).offY = 1;
  kw::MovingTiles.Add(kw::CellPos{20, 8});
  kw::MovingTiles.Add(kw::CellPos{40, 6});
  kw::MovingTileInterval = 0;

  PlaceFigure(602, 240 - 58);  // on the sideways platform
  Steps(3);
  double dx = WorldX() - (20 * 30 + cell(20, 8).offX);
  for (int i = 0; i < 80; ++i) {
    Step();
    // Carried exactly, except that the turn at each end moves the platform alone.
    ASSERT_NEAR(WorldX() - (20 * 30 + cell(20, 8).offX), dx, 2.01) << "step " << i;
    ASSERT_NEAR(Bottom(), 240, 1) << "step " << i;
  }
  EXPECT_EQ(cell(20, 8).onPlatform, 1);
  EXPECT_EQ(cell(40, 6).onPlatform, 0);

  PlaceFigure(1200, 180 + cell(40, 6).offY - 58);  // on the lift
  Steps(3);
  for (int i = 0; i < 100; ++i) {
    Step();
    ASSERT_NEAR(Bottom(), 180 + cell(40, 6).offY, 1) << "step " << i;
  }
  EXPECT_EQ(cell(20, 8).onPlatform, 0);
}

TEST_F(PhysicsTest, JumpsBreakBlocksStraightAboveWithTheAlternativeSheet) {
  Put(20, 5, 5);  // y 150..179 above the figure's column
  PlaceFigure(600, 175);
  p().speedY = -5;
  kw::AltSheet = 0;
  Step();
  EXPECT_EQ(cell(20, 5).tile, 5);  // the normal sheet breaks nothing
  EXPECT_EQ(p().speedY, 0.0f);

  kw::AltSheet = 1;
  PlaceFigure(600, 175);
  p().speedY = -5;
  Step();
  EXPECT_EQ(cell(20, 5).tile, 1);
  EXPECT_EQ(p().speedY, 0.0f);

  // A block beside the figure's column stays, and so does an unbreakable one.
  Put(21, 5, 5);  // x 630..659: the figure (600..641) reaches into it
  PlaceFigure(600, 175);
  p().speedY = -5;
  Step();
  EXPECT_EQ(cell(21, 5).tile, 5);
  EXPECT_EQ(p().speedY, 0.0f);
  Put(20, 5, 3);
  PlaceFigure(600, 175);
  p().speedY = -5;
  Step();
  EXPECT_EQ(cell(20, 5).tile, 3);
  // The small form does not break blocks either.
  Put(20, 5, 5);
  Put(21, 5, 1);
  p().smallForm = 1;
  PlaceFigure(600, 155);
  p().speedY = -5;
  Step();
  EXPECT_EQ(cell(20, 5).tile, 5);
}

TEST_F(PhysicsTest, CameraZoneAtBothMapEnds) {
  // In the middle the world scrolls and the figure stays at 300.
  StandAt(900);
  Settle();
  for (int i = 0; i < 10; ++i) {
    p().speedX = -7;
    Step();
  }
  EXPECT_EQ(kw::PlayerScreenX, 300);
  EXPECT_NEAR(WorldX(), 970, 0.01);

  // Walking to the left end: the world stops and the figure walks to the screen's edge.
  for (int i = 0; i < 200; ++i) {
    p().speedX = 7;
    Step();
    ASSERT_LE(p().posX, 300.0f);
  }
  EXPECT_GE(p().posX, -10.0f);
  EXPECT_GE(kw::PlayerScreenX, -7);
  EXPECT_LE(kw::PlayerScreenX, 0);
  // Standing there, the view drifts a pixel a tick until the figure is at 300 again...
  p().speedX = 0;
  int psx = kw::PlayerScreenX;
  double x = WorldX();
  Step();
  EXPECT_EQ(kw::PlayerScreenX, psx);  // below 300: the zone does not pull it
  EXPECT_NEAR(WorldX(), x, 0.01);

  // The right end: 630 - 30 W.
  StandAt(1500);
  Settle();
  for (int i = 0; i < 200; ++i) {
    p().speedX = -7;
    Step();
    ASSERT_GE(p().posX + 30 * 59, 360.0f);
  }
  EXPECT_LE(p().posX, 630.0f - 30 * 59);
  EXPECT_GE(kw::PlayerScreenX, 600);
  EXPECT_LE(kw::PlayerScreenX, 607);

  // At the left end with the figure right of 300, the view follows one pixel a tick.
  PlaceFigure(400, 242);
  p().posX = 0;
  kw::PlayerScreenX = 305;
  p().speedX = 0;
  Step();
  EXPECT_EQ(kw::PlayerScreenX, 304);
  EXPECT_FLOAT_EQ(p().posX, -1.0f);
}

TEST_F(PhysicsTest, MapLimits) {
  for (int c = 0; c <= 59; ++c) Put(c, FloorRow, 1);
  PlaceFigure(900, 200);
  Steps(200);
  // Below the last row the figure is put back and bounced up a little, so it hovers
  // between the limit and 0.4 below it.
  EXPECT_NEAR(p().posY, 30 * 12 - 240 + 0.2, 0.21);
  EXPECT_LE(p().speedY, 0.4f);
  PlaceFigure(900, -500);
  p().speedY = 0;
  Step();
  EXPECT_FLOAT_EQ(p().posY, -230 + 0.4f);
  p().posX = 400;
  Step();
  EXPECT_LE(p().posX, 300.0f);
  p().posX = -5000;
  Step();
  EXPECT_GE(p().posX, 360.0f - 30 * 59 - 1);
}

TEST_F(PhysicsTest, BombsFallLandAndBounceOffWalls) {
  PlaceFigure(1500, 242);
  kw::Bomb& b = kw::Bombs.Add(kw::Bomb{300, 200, 0, 0, 0, 0});
  for (int i = 0; i < 60; ++i) kw::BombPhysics();
  EXPECT_EQ(b.y + 33, FloorY);
  EXPECT_EQ(b.vy, 0);

  // Kicked into a wall: back with half the speed, toward zero, and five pixels lower.
  Wall(25);
  b = kw::Bomb{724, 267, -7, 0, 0, 0};
  kw::BombPhysics();
  EXPECT_EQ(b.x, 724);
  EXPECT_EQ(b.vx, 3);
  EXPECT_EQ(b.y, 267 - 2 + 5);
  b = kw::Bomb{781, 267, 7, 0, 0, 0};
  kw::BombPhysics();
  EXPECT_EQ(b.vx, -3);

  // A bomb that lies on the figure rests there.
  PlaceFigure(600, 242);
  b = kw::Bomb{610, 240, 0, 0, 0, 0};
  for (int i = 0; i < 10; ++i) kw::BombPhysics();
  EXPECT_EQ(b.y, 240);
}

TEST_F(PhysicsTest, TheFigureStandsOnBombsAndKicksThem) {
  kw::Bomb& b = kw::Bombs.Add(kw::Bomb{610, 267, 0, 0, 0, 0});
  PlaceFigure(600, 267 - 58 - 3);
  for (int i = 0; i < 20; ++i) {
    Step();
    ASSERT_LE(Bottom(), b.y) << "step " << i;
  }
  EXPECT_EQ(p().moveFlag, 1);
  EXPECT_EQ(Bottom(), 267);

  b = kw::Bomb{650, 267, 0, 0, 0, 0};
  StandAt(600);
  Settle();
  p().speedX = -7;
  Step();
  EXPECT_EQ(b.vx, 0);
  p().speedX = -7;
  Step();  // runs into it
  EXPECT_FLOAT_EQ(p().speedX, 3.5f);
  EXPECT_GT(b.x, 650);  // and off it goes to the right
  EXPECT_EQ(b.vx, -28);
}

TEST_F(PhysicsTest, DamagedSizesAndPositionsStayInsideTheGrid) {
  CreateMap(3, 3);
  p().mapWidth = 32767;  // a save game larger than the map
  p().mapHeight = 32767;
  kw::ActiveCols = kw::ActiveRows = 1 << 30;
  for (float v : {1e30f, -1e30f, 0.0f}) {
    p().posX = v;
    p().posY = -v;
    p().speedX = v;
    kw::PlayerPhysics();
    kw::Bombs.Add(kw::Bomb{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, 0, 0});
    kw::PlayerPhysicsWithBombs();
    kw::BombPhysics();
    kw::Bombs.Clear();
  }
  cell(1, 1) = kw::MapCell{};
  cell(1, 1).tile = 100000;  // no tile table entry: not solid
  cell(1, 1).front = 1;
  p().mapWidth = 3;
  p().mapHeight = 3;
  kw::ActiveCols = kw::ActiveRows = 5;
  PlaceFigure(20, 10);
  p().speedX = 0;
  p().speedY = 0;
  kw::PlayerPhysics();
  EXPECT_FLOAT_EQ(p().speedY, 0.4f);
}

}  // namespace
