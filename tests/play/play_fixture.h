// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The play tests' fixture: a headless media layer (virtual time: SleepMs moves the clock)
// started once per binary, every content and play value at its start and a new player,
// with helpers to build a map cell by cell, draw test pictures, place the figure, press
// keys, run world steps and frames and write enemy types. The tests play on one of three
// fields made with it:
//   PlayField   physics and controls: a long map with a floor, solid 30 x 30 tiles, a
//               solid 42 x 58 touch mask and a 30 x 30 small form, the figure scrolled to
//               stand at screen x 300;
//   WorldTest   the world pass and the player's rules: a 20 x 16 map, flat-coloured
//               pictures in every number the pass draws or tests, the figure with its top
//               at world (300, 240) and the view at the map's origin, so cell (10, 8) lies
//               under the figure's head and screen and world coordinates agree;
//   CombatTest  enemies, shots, bombs, sliders, the HUD and the map rules: a 20 x 10 map,
//               grey tiles, a green figure, a red enemy sheet, enemy types written in the
//               test, the figure far from everything until a test moves it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "common/pictures.h"
#include "content/content.h"
#include "content/test_data.h"
#include "media/input_internal.h"
#include "media/media.h"
#include "play/play.h"

namespace kwtest {

// Ends the media layer after the last test, so fonts and SDL leave nothing behind.
class PlayMediaEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    if (HeadlessMediaStarted) kw::ShutdownMedia();
    HeadlessMediaStarted = false;
  }
};
inline ::testing::Environment* const PlayMedia =
    ::testing::AddGlobalTestEnvironment(new PlayMediaEnvironment);

// A solid w x h picture (3D-ready when asked).
inline void SolidSprite(int n, int w, int h, uint32_t colour, bool threeD = false) {
  FillSprite(n, w, h, [colour](int, int) { return colour; });
  if (threeD) kw::MakeSprite3D(n, n);
}

// A w x h picture, grey where inside(x, y) holds and clear (black) elsewhere.
inline void MakePicture(int sprite, int w, int h, const std::function<bool(int, int)>& inside) {
  FillSprite(sprite, w, h, [&](int x, int y) { return inside(x, y) ? Grey : Black; });
}

// Sizes of the combat tests' enemy frames; the sheet has 6 columns, 3 rows.
constexpr int EnemyW = 20, EnemyH = 20;

// Colours that say which picture a back-buffer pixel came from.
constexpr uint32_t TileColour(int n) { return 0xFF000000u | uint32_t(0x10 + n) << 16 | 0x40u; }
constexpr uint32_t FrontColour(int n) { return 0xFF000000u | uint32_t(0x10 + n) << 16 | 0x80u; }
constexpr uint32_t FigureColour = 0xFF20C020u;
constexpr uint32_t SwordColour = 0xFFC0C020u;
constexpr uint32_t OverlayColour = 0xFF2020C0u;

// The world tests' cell under the figure's head, and the figure's place.
constexpr int HeadCol = 10, HeadRow = 8;
constexpr int FigureX = 300, FigureScreenTop = 240;

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartHeadlessMedia();
    kw::SetBlitTarget(-1);
    kw::ResetContentRun();
    kw::ResetContentMap();
    kw::ResetPlayRun();
    kw::ResetPlayMap();
    kw::ResetInput();
    kw::MaxHealth = 500;
    kw::SetNewGamePlayer(p());
  }
  void TearDown() override {
    kw::ResetInput();
    kw::ReadKeyboard();
  }

  kw::PlayerRecord& p() { return kw::P(); }
  kw::MapCell& cell(int c, int r) { return kw::Map.At(c, r); }

  // A map of air (tile 1) with highest column w and row h, its light grid and no moving
  // cells, its size in the player's record as a load leaves it.
  void MakeMap(int w, int h) {
    kw::Map.Create(w, h);
    kw::LightGrid.Create(w, h);
    kw::MovingTiles.Clear();
    for (kw::MapCell& c : kw::Map.cells) c.tile = 1;
    kw::SetPlayerMapSize(w, h);
  }
  // Cells of tile over columns c0..c1 and rows r0..r1.
  void Wall(int c0, int c1, int r0, int r1, int tile = 2) {
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) cell(c, r).tile = tile;
  }
  // A cell of tile t that takes part in collisions.
  void Put(int c, int r, int t) {
    cell(c, r).tile = t;
    cell(c, r).front = 1;
  }

  // The figure with its top-left at world (x, y), the world scrolled so that the figure
  // stands at screen x 300.
  void PlaceFigure(double x, double y) {
    kw::PlayerScreenX = 300;
    p().posX = float(300 - x);
    p().posY = float(y - kw::FigureTop);
  }
  // The figure (42 x 58) with its top-left corner on screen point (x, y), the world where
  // it is.
  void PlaceFigureOnScreen(int x, int y) {
    kw::PlayerScreenX = x;
    p().posY = float(y - p().pixelY - kw::FigureTop);
  }
  double WorldX() { return kw::PlayerScreenX - double(p().posX); }
  int TopY() { return kw::Nearest(double(p().posY) + kw::FigureTop); }
  int Bottom() { return TopY() + kw::FigureFrameH; }  // first row below the figure

  // One world step of the physics (with the moving cells first, as the ticker runs them).
  void Step() {
    kw::MovingTileStep();
    if (!kw::Bombs.Empty()) {
      kw::PlayerPhysicsWithBombs();
      kw::Bombs.Reset();
      while (kw::Bombs.Next()) kw::BombPhysics();
    } else {
      kw::PlayerPhysics();
    }
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) Step();
  }
  // One frame of control followed by one world step.
  void Frame() {
    kw::PlayerControls();
    Step();
  }
  // Key helpers: a key goes down or up before the next snapshot.
  void Press(int code) { kw::InjectKey(code, true); }
  void Let(int code) { kw::InjectKey(code, false); }
  int Bound(int slot) { return kw::KeyBindings.begin()->code[size_t(slot)]; }

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
  // An item of the given weapon, made current.
  kw::Item& HoldWeapon(const std::string& name, int throws = 10) {
    kw::Items.Last();
    kw::Item& item = kw::Items.Add();
    item.weaponName = name;
    item.throws = throws;
    return item;
  }
};

class PlayField : public PlayTest {
 protected:
  static constexpr int FloorRow = 10;    // y 300..329
  static constexpr int FloorY = FloorRow * 30;

  void SetUp() override {
    PlayTest::SetUp();
    kw::TileSet = "1";
    // Every tile picture a solid block unless a test draws it otherwise.
    for (int t = 1; t <= 81; ++t) SolidSprite(t, 30, 30, Grey);
    SolidSprite(kw::Spr::TouchMask, kw::FigureFrameW, kw::FigureFrameH, Grey);  // one frame
    SolidSprite(kw::Spr::Figure, kw::SmallFormFrame, kw::SmallFormFrame, Grey);  // the small form
    SolidSprite(kw::Spr::BombSheet, 23, 33, Grey);
    CreateMap(59, 12);
    p().topSpeed = 7;
    p().accel = 0.7f;
    p().jumpSpeed = -8;
    kw::PlayerScreenX = 300;
    kw::GroundKind = 5;
    kw::Items.Clear();
    kw::KeyBindingRecord& keys = kw::KeyBindings.Add();
    // abbruch, Pause, Speichern, Laden, Neustart, Bild_hoch, Bild_runter, Text_minus,
    // Text_plus, runter, hoch, links, rechts, sprung, Schwert, Kugel, Zauber1..4
    keys.code = {1, 25, 63, 64, 19, 73, 81, 74, 78, 29, 200, 203, 205, 56, 57, 28, 59, 62, 64, 65};
    keys.code[3] = 66;  // Laden apart from Zauber3
  }

  // An empty map (tile 1) with a floor of tile 2 on FloorRow.
  void CreateMap(int w, int h) {
    MakeMap(w, h);
    for (int c = 0; c <= w; ++c) Put(c, FloorRow, 2);
  }
  // The figure standing on the floor at world x.
  void StandAt(double x) {
    PlaceFigure(x, FloorY - kw::FigureFrameH);
    p().moveFlag = 1;
    p().speedY = 0;
  }
};

class WorldTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    MakeMap(19, 15);
    for (kw::MapCell& c : kw::Map.cells) c.alpha = 255;
    p().posX = 0;
    p().posY = float(FigureScreenTop - kw::FigureTop);
    p().pixelY = 0;
    kw::PlayerScreenX = FigureX;
    kw::LastSide = 6;
    kw::AnimFrameBase = 6000;
    kw::ExitCol = kw::ExitRow = -100;  // far off the screen
    kw::Items.Clear();
    kw::Items.Add(kw::Item{20, 0.0f, 442, "Default", 326});
    kw::Items.Add(kw::Item{0, 1.5f, 443, "Goldaxt", 327});
    kw::Items.Add(kw::Item{0, 4.0f, 443, "Feueraxt", 328});
    kw::Items.Select(0);
    MakePictures();
  }

  void MakePictures() {
    // Air is clear; tiles 2..81 are solid, 30 x 30 for collisions, 30 x 50 and 30 x 30 in
    // 3D for the main and front layers.
    SolidSprite(1, 30, 30, Black);
    for (int k = 0; k <= 81; ++k) {
      if (k >= 2) SolidSprite(k, 30, 30, TileColour(k));
      SolidSprite(6000 + k, 30, 50, k >= 2 ? TileColour(k) : Black, true);
      SolidSprite(6500 + k, 30, 30, k >= 2 ? FrontColour(k) : Black, true);
    }
    for (int k = 201; k <= 281; ++k) SolidSprite(k, 30, 30, OverlayColour, true);
    // The figure sheets are one colour, so every frame is solid.
    for (int s : {324, 437, 438}) SolidSprite(s, 255, 290, FigureColour);
    SolidSprite(325, 93, 30, FigureColour);
    SolidSprite(333, 255, 290, SwordColour);
    kw::SpritePixels(333);  // keep the sheet's default clip
    SolidSprite(320, 30, 30, 0xFFEEEE00u);
    SolidSprite(19, 30, 30, TileColour(19));
    SolidSprite(440, 30, 30, 0xFF4400EEu, true);
    SolidSprite(334, 640, 480, 0xFF101010u);
    SolidSprite(434, 640, 480, Black);
    SolidSprite(340, 30, 50, 0xFF7700AAu);
    SolidSprite(341, 30, 30, 0xFF7700ABu);
    SolidSprite(441, 30, 30, 0xFFFFFF01u, true);
    SolidSprite(373, 30, 30, 0xFFAA0001u);
    SolidSprite(374, 30, 30, 0xFFAA0002u);
    SolidSprite(326, 80, 20, 0xFF990099u);
    SolidSprite(358, 20, 20, 0xFF00FFFEu, true);
    // Darkness and light pictures: blue 10, 30, 50, ... so LightIndex tells them apart
    // through the alpha the pass blends them with.
    for (int s = 500; s <= 510; ++s) SolidSprite(s, 30, 30, 0xFF000000u | uint32_t(20 * (s - 500) + 10), true);
  }

  // Which darkness or light picture (0..10 for 500..510) covers the middle of a cell,
  // drawn over black with an alpha of at least 250.
  static int LightIndex(int col, int row) {
    return int(Screen(col * 30 + 5, row * 30 + 15) & 0xFF) / 20;
  }
};

class CombatTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    kw::CurrentMap = 1;
    for (int t = 1; t <= 80; ++t) SolidSprite(t, 30, 30, Grey);
    SolidSprite(323, 42, 58, Green);
    SolidSprite(438, 42, 58, Green);
    SolidSprite(333, 42, 58, Blue);
    SolidSprite(329, 6 * EnemyW, 3 * EnemyH, Red);
    SolidSprite(326, 20, 20, White);
    SolidSprite(9999, 3 * 23, 4 * 33, Red);
    SolidSprite(344, 120, 120, Blue);
    SolidSprite(359, 20, 20, White);
    SolidSprite(340, 30, 30, White);
    SolidSprite(341, 30, 30, White);
    MakeMap(19, 9);
    // The figure stands far from everything unless a test moves it.
    kw::PlayerScreenX = 600;
    p().posX = 0;
    p().posY = -200;
    p().pixelY = 0;
    p().swordSwing = 0;
  }
};

}  // namespace kwtest
