// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The combat pass of the world step (UpdateCombat): the shots fly and hit enemies, the
// enemies fight the player (enemies.cpp), and the sliders glide between their marker
// cells and hurt the player. Run after the map rules and the bombs.
#include <algorithm>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int ShotSpeed = 20;
constexpr int SliderSpeed = 4;
constexpr int SliderFlipJump = 25;

// The current item is the weapon in hand; "Feueraxt" shots pass through enemies.
bool FireAxeInHand() {
  const Item* item = Items.Current();
  return item && item->weaponName == "Feueraxt";
}

// Moves a shot one world step in its direction.
void FlyShot(Shot& s) {
  switch (DirOfShotDir(s.dir)) {
    case Dir::Left: s.x -= ShotSpeed; break;
    case Dir::Right: s.x += ShotSpeed; break;
    case Dir::Up: s.y -= ShotSpeed; break;
    case Dir::Down: s.y += ShotSpeed; break;
    case Dir::None: break;
  }
}

// The first enemy (list order) whose collision frame overlaps the shot, or null.
Enemy* EnemyHitBy(const Shot& s) {
  const PlayerRecord& p = P();
  int sx = Nearest(double(p.posX) + s.x), sy = Nearest(double(s.y) + p.pixelY);
  for (Enemy& e : Enemies) {
    if (!e.type) continue;
    int sheet = ClipEnemyCollisionFrame(e, false);
    if (SpriteBoxesTouch(sheet, Nearest(double(p.posX) + e.x), Nearest(double(e.y) + p.pixelY),
                         Spr::ShotDefault, sx, sy))
      return &e;
  }
  return nullptr;
}

// Clips the slider sheet to the slider's frame and gives its screen position.
void PlaceSlider(const Slider& s, int& x, int& y) {
  const PlayerRecord& p = P();
  SetSpriteClip(Spr::SliderSheet, s.side * SliderFrame, s.hit * SliderFrame, SliderFrame, SliderFrame);
  x = Nearest(s.col * CellSize + double(p.posX) + s.offX);
  y = s.row * CellSize + p.pixelY;
}

// Turns a slider round: it jumps back and glides the other way.
void FlipSlider(Slider& s) {
  if (DirOfSliderSide(s.side) == Dir::Right) {
    s.offX -= SliderFlipJump;
    s.side = SliderSideCode(Dir::Left);
  } else {
    s.offX += SliderFlipJump;
    s.side = SliderSideCode(Dir::Right);
  }
}

// A slider stops (shows its hit row for 2 s) and turns round.
void StopSlider(Slider& s) {
  s.hitTime = int32_t(TimeMs());
  FlipSlider(s);
  s.hit = 1;
}

// Step 1 for one standing-free slider: it hurts the player it touches or glides on.
void GlideOrHurt(Slider& s) {
  PlayerRecord& p = P();
  int x, y;
  PlaceSlider(s, x, y);
  int figureY = FigureScreenY(p);
  if (SpritesTouch(Spr::Figure, PlayerScreenX, figureY, Spr::SliderSheet, x, y) && Aura != Spr::ShieldSpell) {
    p.health -= 15;
    StopSlider(s);
    Aura = Spr::ShieldSpell;
    GuardAfterHit();
    return;
  }
  s.offX += DirOfSliderSide(s.side) == Dir::Right ? SliderSpeed : -SliderSpeed;
}

// Step 2 for one cell and one slider: marker cells and the flip spell turn it round.
void TurnAtMarkerOrSpell(const MapCell& cell, int col, int row, Slider& s) {
  const PlayerRecord& p = P();
  int x, y;
  PlaceSlider(s, x, y);
  if (cell.tile == Tile::SliderMarker &&
      SpriteBoxesTouch(Spr::FirstTile, Nearest(col * CellSize + double(p.posX)), row * CellSize + p.pixelY,
                       Spr::SliderSheet, x, y)) {
    StopSlider(s);
    PlaceSlider(s, x, y);
  }
  if (Spell == Spr::TurnSpell &&
      SpriteBoxesTouch(Spr::SliderSheet, x, y, Spr::TurnSpell, PlayerScreenX + SpellDX,
                       Nearest(double(p.posY) + p.pixelY + SpellDY + 234))) {
    StopSlider(s);
    Spell = 0;
  }
}

}  // namespace

void UpdateShots() {
  PlayerRecord& p = P();
  Shots.Reset();
  while (Shots.Next()) {
    Shot& s = *Shots.Current();
    double sx = double(s.x) + p.posX, sy = double(s.y) + p.pixelY;
    if (sx > 640 || sx < 0 || sy > 480 || sy < 0) {
      // One shot leaves per world step; the others wait for the next one.
      Shots.Delete();
      return;
    }
    if (!KeyDown(Key::Q)) FlyShot(s);
    Enemy* hit = EnemyHitBy(s);
    if (!hit) continue;
    hit->health = int16_t(hit->health - s.damage);
    if (!FireAxeInHand()) Shots.Delete();
  }
}

void UpdateSliders() {
  for (Slider& s : Sliders)
    if (s.hit == 0) GlideOrHurt(s);
  if (Sliders.Empty()) return;
  int lastCol = std::min<int>(P().mapWidth, Map.W), lastRow = std::min<int>(P().mapHeight, Map.H);
  for (int col = 0; col <= lastCol; ++col)
    for (int row = 0; row <= lastRow; ++row) {
      const MapCell& cell = Map.At(col, row);
      if (cell.tile != Tile::SliderMarker && Spell != Spr::TurnSpell) continue;
      for (Slider& s : Sliders) TurnAtMarkerOrSpell(cell, col, row, s);
    }
}

void UpdateCombat() {
  UpdateShots();
  // A story map may switch its enemies off: then they neither fight nor do sliders.
  if (StoryMode == 1 && EnemySpawnOff == 1) return;
  UpdateEnemyCombat();
  UpdateSliders();
}

}  // namespace kw
