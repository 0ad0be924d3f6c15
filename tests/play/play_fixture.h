// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// A small hand-made play field for the physics and control tests: a map grid built in
// memory with solid 30 x 30 tile pictures, a solid 42 x 58 figure mask, and helpers to
// place the figure, press keys and run world steps and frames headless.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "content/test_data.h"
#include "media/input_internal.h"
#include "media/media.h"
#include "play/play.h"

namespace kwtest {

// Opaque colour for the solid parts of test pictures (black is the key colour).
constexpr uint32_t Solid = 0xFF808080u;

// A w x h picture whose pixel (x, y) is solid where inside(x, y) holds.
inline void MakePicture(int sprite, int w, int h, const std::function<bool(int, int)>& inside) {
  kw::CreateSprite(sprite, w, h);
  uint32_t* px = kw::SpritePixels(sprite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = inside(x, y) ? Solid : 0xFF000000u;
}

inline void MakeBlock(int sprite, int w = 30, int h = 30) {
  MakePicture(sprite, w, h, [](int, int) { return true; });
}

class PlayField : public ::testing::Test {
 protected:
  static constexpr int FloorRow = 10;    // y 300..329
  static constexpr int FloorY = FloorRow * 30;

  void SetUp() override {
    StartHeadlessMedia();
    kw::ResetContentRun();
    kw::ResetPlayRun();
    kw::ResetPlayMap();
    kw::ResetInput();
    kw::SetBlitTarget(-1);
    kw::TileSet = "1";
    kw::MaxHealth = 500;
    // Every tile picture a solid block unless a test draws it otherwise.
    for (int t = 1; t <= 81; ++t) MakeBlock(t);
    MakeBlock(438, 42, 58);   // the figure's touch mask, one frame
    MakeBlock(323, 30, 30);   // the small form
    MakeBlock(9999, 23, 33);  // a bomb
    kw::PlayerRecord& pl = p();
    kw::SetNewGamePlayer(pl);
    CreateMap(59, 12);
    pl.topSpeed = 7;
    pl.accel = 0.7f;
    pl.jumpSpeed = -8;
    kw::PlayerScreenX = 300;
    kw::GroundKind = 5;
    kw::Items.Clear();
    kw::KeyBindings.Clear();
    kw::KeyBindingRecord& keys = kw::KeyBindings.Add();
    // abbruch, Pause, Speichern, Laden, Neustart, Bild_hoch, Bild_runter, Text_minus,
    // Text_plus, runter, hoch, links, rechts, sprung, Schwert, Kugel, Zauber1..4
    keys.code = {1, 25, 63, 64, 19, 73, 81, 74, 78, 29, 200, 203, 205, 56, 57, 28, 59, 62, 64, 65};
    keys.code[3] = 66;  // Laden apart from Zauber3
  }
  void TearDown() override {
    kw::ResetInput();
    kw::ReadKeyboard();
  }

  // An empty map (tile 1) with a floor of tile 2 on FloorRow.
  void CreateMap(int w, int h) {
    kw::Map.Create(w, h);
    kw::LightGrid.Create(w, h);
    kw::MovingTiles.Clear();
    for (int c = 0; c <= w; ++c)
      for (int r = 0; r <= h; ++r) Cell(c, r).tile = 1;
    for (int c = 0; c <= w; ++c) Put(c, FloorRow, 2);
    p().mapWidth = int16_t(w);
    p().mapHeight = int16_t(h);
  }
  kw::PlayerRecord& p() { return kw::P(); }
  kw::MapCell& Cell(int c, int r) { return kw::Map.At(c, r); }
  // A solid cell of tile t.
  void Put(int c, int r, int t) {
    kw::MapCell& cell = Cell(c, r);
    cell.tile = t;
    cell.front = 1;
  }
  // Places the figure with its top-left at world (x, y), the world scrolled so that the
  // figure stands at screen x 300.
  void PlaceFigure(double x, double y) {
    kw::PlayerScreenX = 300;
    p().posX = float(300 - x);
    p().posY = float(y - 230);
  }
  double WorldX() { return kw::PlayerScreenX - double(p().posX); }
  int TopY() { return kw::Nearest(double(p().posY) + 230); }
  int Bottom() { return TopY() + 58; }  // first row below the figure
  // The figure standing on the floor at world x.
  void StandAt(double x) {
    PlaceFigure(x, FloorY - 58);
    p().moveFlag = 1;
    p().speedY = 0;
  }

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
};

}  // namespace kwtest
