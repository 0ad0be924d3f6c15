// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A small play field for the enemy, shot, bomb, slider, HUD and map-rule tests: a
// headless media layer (virtual time), solid pictures for the tiles, the figure, the
// sword, the enemy sheet, shots, bombs and sliders, a map built cell by cell, and
// enemy types written in the test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/pictures.h"
#include "content/content.h"
#include "media/media.h"
#include "play/play.h"

namespace kwtest {

// Whether this binary started the media layer.
inline bool PlayMediaStarted = false;

// Ends the media layer after the last test, so fonts and SDL leave nothing behind.
class PlayMediaEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    if (PlayMediaStarted) kw::ShutdownMedia();
    PlayMediaStarted = false;
  }
};
inline ::testing::Environment* const PlayMedia =
    ::testing::AddGlobalTestEnvironment(new PlayMediaEnvironment);

// The media layer, headless (virtual time: SleepMs moves the clock), once per binary.
inline void StartPlayMedia() {
  if (PlayMediaStarted) return;
  kw::MediaOptions o;
  o.headless = true;
  o.seedGiven = true;
  o.seed = 11;
  PlayMediaStarted = kw::InitMedia(o);
  ASSERT_TRUE(PlayMediaStarted);
}

// Sizes of the test pictures.
constexpr int EnemyW = 20, EnemyH = 20;  // enemy frames; the sheet has 6 columns, 3 rows

class CombatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartPlayMedia();
    kw::SetBlitTarget(-1);
    kw::ResetPlayRun();
    kw::ResetContentRun();
    kw::EnemyTypes.Clear();
    kw::StoryMode = 0;
    kw::TimeMatch = 0;
    kw::CurrentMap = 1;
    kw::DebugMode = 0;
    kw::MaxHealth = 500;
    kw::SetNewGamePlayer(kw::P());
    for (int t = 1; t <= 80; ++t) FillSprite(t, 30, 30, [](int, int) { return Grey; });
    FillSprite(323, 42, 58, [](int, int) { return Green; });
    FillSprite(438, 42, 58, [](int, int) { return Green; });
    FillSprite(333, 42, 58, [](int, int) { return Blue; });
    FillSprite(329, 6 * EnemyW, 3 * EnemyH, [](int, int) { return Red; });
    FillSprite(326, 20, 20, [](int, int) { return White; });
    FillSprite(9999, 3 * 23, 4 * 33, [](int, int) { return Red; });
    FillSprite(344, 120, 120, [](int, int) { return Blue; });
    FillSprite(359, 20, 20, [](int, int) { return White; });
    FillSprite(340, 30, 30, [](int, int) { return White; });
    FillSprite(341, 30, 30, [](int, int) { return White; });
    MakeMap(19, 9);
    // The figure stands far from everything unless a test moves it.
    kw::PlayerScreenX = 600;
    p().posX = 0;
    p().posY = -200;
    p().pixelY = 0;
    p().swordSwing = 0;
  }

  kw::PlayerRecord& p() { return kw::P(); }

  // A map of air (tile 1) with highest column w and row h.
  void MakeMap(int w, int h) {
    kw::Map.Create(w, h);
    for (kw::MapCell& c : kw::Map.cells) c.tile = 1;
    kw::SetPlayerMapSize(w, h);
  }
  // Solid cells (tile 2) over columns c0..c1 and rows r0..r1.
  void Wall(int c0, int c1, int r0, int r1, int tile = 2) {
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) kw::Map.At(c, r).tile = tile;
  }

  // An enemy type appended to EnemyTypes.
  kw::EnemyType& AddType(int moveKind, int hitPoints, int speed, int points = 10, int nextType = -1,
                         int isBoss = 0, const std::string& name = "Waldwicht") {
    kw::EnemyTypes.Last();
    kw::EnemyType& t = kw::EnemyTypes.Add();
    t.moveKind = moveKind;
    t.hitPoints = hitPoints;
    t.speed = speed;
    t.points = points;
    t.nextType = nextType;
    t.isBoss = uint8_t(isBoss);
    t.typeName = name;
    t.frameWidth = EnemyW;
    t.frameHeight = EnemyH;
    return t;
  }
  // An enemy of type index at world (x, y), as the map loader makes it.
  kw::Enemy& AddEnemy(int typeIndex, float x, float y) {
    kw::EnemyTypes.Select(typeIndex);
    kw::Enemies.Last();
    kw::Enemy& e = kw::Enemies.Add();
    e.type = kw::EnemyTypes.Current();
    e.x = x;
    e.y = y;
    e.health = int16_t(e.type->hitPoints);
    e.speedX = e.speedY = float(e.type->speed);
    return e;
  }
  // Puts the figure (42 x 58) with its top-left corner on screen point (x, y).
  void PlaceFigure(int x, int y) {
    kw::PlayerScreenX = x;
    p().posY = float(y - p().pixelY - 230);
  }
  // An item of the given weapon, made current.
  kw::Item& HoldWeapon(const std::string& name, int throws = 10) {
    kw::Items.Last();
    kw::Item& item = kw::Items.Add();
    item.weaponName = name;
    item.throws = throws;
    return item;
  }
};

}  // namespace kwtest
