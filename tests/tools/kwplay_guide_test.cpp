// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwplay's guide on small maps built here: a wall only a portal crosses, a key the map-3
// guardian wants, ladders and walls. A wrong guide sends the replay search the wrong way.
#include <gtest/gtest.h>

#include "content/content.h"
#include "guide.h"
#include "play/play.h"

namespace {

using namespace kw;
constexpr double NoWay = 1e9;

// 30 x 10 cells of air with solid ground on row 9, the exit at (27, 8), map `number`.
void MakeMap(int number) {
  Map.Create(29, 9);
  for (int c = 0; c <= 29; ++c)
    for (int r = 0; r <= 9; ++r) {
      MapCell& cell = Map.At(c, r);
      cell.front = 1;
      cell.tile = r == 9 ? 8 : 1;
    }
  ExitCol = 27;
  ExitRow = 8;
  CurrentMap = number;
  Portals.Clear();
}

// A solid wall over every row of column `col`.
void Wall(int col) {
  for (int r = 0; r <= 9; ++r) Map.At(col, r).tile = 8;
}

TEST(KwplayGuide, WalksAlongTheGroundAndClimbsDearer) {
  MakeMap(1);
  kwplay::Guide g = kwplay::ComputeGuide();
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 0, 27, 8), 0);
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 0, 20, 8), 7);
  // Falling costs a step a row; the exit's marker covers the rows beside it.
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 0, 20, 5), 9);
  // Going up costs 2.5 a row within a jump of the ground: an exit two rows up.
  ExitRow = 5;
  kwplay::Guide high = kwplay::ComputeGuide();
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(high, 0, 27, 8), 5);
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(high, 0, 20, 8), 12);
  EXPECT_EQ(kwplay::GuideDistance(g, 0, 20, 9), NoWay);   // inside the ground
  EXPECT_EQ(kwplay::GuideDistance(g, 0, 40, 8), NoWay);   // outside the map
  EXPECT_TRUE(g.byKey.empty());
}

TEST(KwplayGuide, LaddersDoorsAndBreakableBlocksAreOpenWallsAreNot) {
  MakeMap(1);
  Wall(15);
  kwplay::Guide closed = kwplay::ComputeGuide();
  EXPECT_EQ(kwplay::GuideDistance(closed, 0, 5, 8), NoWay);
  Map.At(15, 8).tile = Tile::LockedDoor;
  EXPECT_LT(kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8), NoWay);
  Map.At(15, 8).tile = Tile::Ladders[0];
  EXPECT_LT(kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8), NoWay);
  Map.At(15, 8).tile = 8;
  Map.At(15, 8).front = 2;  // a picture without collision
  EXPECT_LT(kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8), NoWay);
}

TEST(KwplayGuide, AHighWallIsClimbedByItsLadderNotThroughTheAir) {
  MakeMap(1);
  for (int r = 2; r <= 9; ++r) Map.At(15, r).tile = 8;  // open above row 2
  double over = kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8);
  EXPECT_GT(over, 100);
  for (int r = 1; r <= 8; ++r) Map.At(14, r).tile = Tile::Ladders[0];
  double ladder = kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8);
  EXPECT_LT(ladder, 60);
}

// A lift beside the wall climbs it when it rises; one that sinks does not. The cell holds
// the range as the loader keeps it (negated): 150 was stored as -150 and rises.
TEST(KwplayGuide, ARisingLiftClimbsAHighWall) {
  for (int held : {150, -150}) {
    MakeMap(1);
    for (int r = 2; r <= 9; ++r) Map.At(15, r).tile = 8;  // open above row 2
    MovingTiles.Clear();
    Map.At(14, 8).tile = 11;
    Map.At(14, 8).vRange = held;
    MovingTiles.Add(CellPos{14, 8});
    double d = kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8);
    if (held > 0)
      EXPECT_LT(d, 60) << "rising";
    else
      EXPECT_GT(d, 100) << "sinking";
  }
  MovingTiles.Clear();
}

TEST(KwplayGuide, APortalCrossesAWallOnlyWhileItExists) {
  MakeMap(2);
  Wall(15);
  Portal& p = Portals.Add();
  p.col = 10;
  p.row = 7;
  p.targetCol = 20;
  p.targetRow = 8;
  kwplay::Guide g = kwplay::ComputeGuide();
  double target = kwplay::GuideDistance(g, 0, 20, 8);
  EXPECT_DOUBLE_EQ(target, 7);
  // The portal's cells (the figure's lower body may be a row or two below) lead to it.
  EXPECT_LE(kwplay::GuideDistance(g, 0, 10, 8), target + 4);
  EXPECT_LT(kwplay::GuideDistance(g, 0, 5, 8), target + 10);
  // Without it the near side has no way.
  Portals.Clear();
  EXPECT_EQ(kwplay::GuideDistance(kwplay::ComputeGuide(), 0, 5, 8), NoWay);
}

TEST(KwplayGuide, TheGuardiansKeyIsFetchedFirstOnMapThreeOnly) {
  MakeMap(3);
  Map.At(5, 8).pickup = Pickup::Key;
  kwplay::Guide g = kwplay::ComputeGuide();
  ASSERT_FALSE(g.byKey.empty());
  // From 10,8: five cells back to the key, then 22 to the exit.
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 1, 10, 8), 27);
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 0, 10, 8), 17);
  EXPECT_EQ(kwplay::GuidePhase(g, false, false, 10, 8), 1);
  EXPECT_EQ(kwplay::GuidePhase(g, true, false, 10, 8), 0);
  EXPECT_EQ(kwplay::GuidePhase(g, false, true, 10, 8), 0);
  // A key tile counts as well; on another map a key is no detour.
  Map.At(5, 8).pickup = Pickup::None;
  Map.At(6, 8).tile = Tile::KeyTile;
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(kwplay::ComputeGuide(), 1, 10, 8), 25);
  CurrentMap = 2;
  kwplay::Guide other = kwplay::ComputeGuide();
  EXPECT_TRUE(other.byKey.empty());
  EXPECT_EQ(kwplay::GuidePhase(other, false, false, 10, 8), 0);
}

TEST(KwplayGuide, ALockedDoorSendsTheFigureForItsKeyOnlyOnItsNearSide) {
  MakeMap(4);
  Wall(15);
  Map.At(15, 8).tile = Tile::LockedDoor;
  Map.At(5, 8).pickup = Pickup::Key;
  kwplay::Guide g = kwplay::ComputeGuide();
  ASSERT_FALSE(g.byKey.empty());
  EXPECT_EQ(kwplay::GuidePhase(g, false, false, 10, 8), 1);
  EXPECT_DOUBLE_EQ(kwplay::GuideDistance(g, 1, 10, 8), 27);
  // Beyond the door, or with the key, the exit is the goal.
  EXPECT_EQ(kwplay::GuidePhase(g, false, false, 20, 8), 0);
  EXPECT_EQ(kwplay::GuidePhase(g, true, false, 10, 8), 0);
  // Without a door the key is no detour.
  Map.At(15, 8).tile = 1;
  EXPECT_TRUE(kwplay::ComputeGuide().byKey.empty());
}

}  // namespace
