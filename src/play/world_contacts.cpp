// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The player's contacts with the map, applied by the world pass while it walks the
// visible cells (DrawWorld step 19): the kind of ground under the figure, spikes, the
// sword on walls, shots against walls, the front pictures, collectable cells touched
// by the figure or reached by the fetch spell (the pickup table), and the rules of a
// few tile numbers.
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr char NewSwordPicture[] = "paks\\npf\\player+k.png";

// What one code of the pickup table does on a touch and on a fetch.
enum class Effect { None, Hurt, Throws, Heal, Key, Sword, Score50, Score100, Spell1, Spell2, Spell3, Spell4 };

struct PickupRow {
  int code;        // the cell's pickup value
  Effect effect;
  int touchValue;  // amount when touched
  int fetchValue;  // amount when fetched
  bool clears;     // the cell becomes plain air afterwards
};

// code   effect             touch  fetch  clears
constexpr PickupRow PickupTable[] = {
    {1,  Effect::Hurt,     15, 10, false},
    {2,  Effect::Throws,   5,  5,  true},
    {3,  Effect::Heal,     10, 10, true},
    {4,  Effect::Key,      0,  0,  false},
    {5,  Effect::Sword,    0,  0,  true},
    {6,  Effect::Score50,  50, 50, true},
    {7,  Effect::Score100, 100, 100, true},
    {13, Effect::Spell3,   0,  0,  true},
    {14, Effect::Spell2,   0,  0,  true},
    {15, Effect::Spell4,   0,  0,  true},
    {16, Effect::Spell1,   0,  0,  true},
};
static_assert(sizeof(PickupTable) / sizeof(PickupTable[0]) == 11);

const PickupRow* FindPickup(int32_t code) {
  for (const PickupRow& row : PickupTable)
    if (row.code == code) return &row;
  return nullptr;
}

// A collected cell: no code, plain air.
void ClearCell(MapCell& cell) {
  cell.pickup = 0;
  cell.tile = 1;
}

// The key opens the doors: tile 19 shows the key's picture until the key runs out.
void TakeKey(int sound) {
  PlayerRecord& p = P();
  if (p.hasKey != 0) return;
  p.hasKey = 1;
  DuplicateSprite(Spr::OpenDoorCollision, Tile::LockedDoor);
  PlaySoundFx(sound, 0);
}

// Applies one row; touched = the figure walked into it, else the fetch spell reached it.
void ApplyPickup(MapCell& cell, const PickupRow& row, bool touched) {
  PlayerRecord& p = P();
  int amount = touched ? row.touchValue : row.fetchValue;
  Item* item = Items.Current();
  switch (row.effect) {
    case Effect::None: break;
    case Effect::Hurt: p.health -= float(amount); break;
    case Effect::Throws: if (item) item->throws += amount; break;
    case Effect::Heal: p.health += float(amount); break;
    case Effect::Key: TakeKey(touched ? Snd::KeyFound : Snd::Pickup); break;
    case Effect::Sword:
      p.hasSword = 1;
      // The fetched sword brings its picture from a loose file; a missing or broken
      // file leaves the old picture.
      if (!touched) LoadSpriteFromFile(Spr::FetchedSwordFigure, NewSwordPicture, 0);
      break;
    case Effect::Score50:
    case Effect::Score100: p.score = int16_t(p.score + amount); break;
    case Effect::Spell1: p.spell1Known = 1; break;
    case Effect::Spell2: p.spell2Known = 1; break;
    case Effect::Spell3: p.spell3Known = 1; break;
    case Effect::Spell4: p.spell4Known = 1; break;
  }
  if (!row.clears) return;
  ClearCell(cell);
  if (touched) PlaySoundFx(Snd::Pickup, 0);
}

// A weapon lying on the map: it becomes the weapon in hand with ten more throws.
void TakeWeapon(MapCell& cell, int index) {
  if (Items.Select(index)) Items.Current()->throws += 10;
  ClearCell(cell);
  PlaySoundFx(Snd::Pickup, 0);
}

// 19.1: the first special ground met under the figure decides GroundKind for the pass.
void GroundContact(int col, int row, const MapCell& c, bool& groundSet) {
  const PlayerRecord& p = P();
  int picture = MainLayerSprite(c.tile, AnimFrameBase);
  if (c.tile <= 1 || picture == 0) return;
  if (!SpriteBoxesTouch(picture, WorldCellX(col, p.posX), WorldCellY(row, 0), Spr::Figure,
                        PlayerScreenX, FigureWorldY(p)))
    return;
  if (groundSet) return;
  int kind = TileKind[size_t(c.tile)];
  if (kind == TileKindOf::Rough) {
    GroundKind = Ground::Level;
    groundSet = true;
  } else if (kind == TileKindOf::Slope) {
    GroundKind = p.smallForm != 0 ? Ground::SmallSlope : Ground::Slope;
    groundSet = true;
  } else {
    GroundKind = Ground::Level;
  }
}

// 19.2: spikes move in and out of their cell and hurt on every frame of contact.
void SpikeContact(int col, int row, const MapCell& c) {
  PlayerRecord& p = P();
  int sprite = 0, x = WorldCellX(col, p.posX), y = WorldCellY(row, p.pixelY);
  if (c.pickup == Pickup::SpikesSideways) {
    sprite = Spr::SpikesSideways;
    x = WorldCellX(col, p.posX, SpikeShift);
  } else if (c.pickup == Pickup::SpikesUpward) {
    sprite = Spr::SpikesUpward;
    y = WorldCellY(row, p.pixelY, SpikeShift);
  } else {
    return;
  }
  DrawSpriteKeyed(sprite, x, y);
  if (SpritesTouch(sprite, x, y, Spr::Figure, PlayerScreenX, FigureScreenY(p))) p.health -= 5;
}

// 19.3: the sword on a wall picture rings while it swings.
void SwordContact(int col, int row, const MapCell& c) {
  PlayerRecord& p = P();
  if (p.hasSword != 1 || c.tile < 1) return;
  if (!SpritesTouch(c.tile, WorldCellX(col, p.posX), WorldCellY(row, p.pixelY), Spr::SwordOverlay,
                    PlayerScreenX, FigureScreenY(p)))
    return;
  p.contactFlag = 1;
  if (p.swordSwing == 1) PlaySoundFx(Snd::Click, 0);
}

// 19.4: shots that touch a wall picture are gone.
void ShotsAgainstWall(int col, int row, const MapCell& c) {
  const PlayerRecord& p = P();
  if (Shots.Empty() || c.tile <= 1) return;
  int x = WorldCellX(col, p.posX, c.offX), y = WorldCellY(row, p.pixelY, c.offY);
  Shots.Reset();
  while (Shots.Next()) {
    const Shot& s = *Shots.Current();
    if (SpritesTouch(Spr::ShotDefault, Nearest(double(p.posX) + s.x), Nearest(double(s.y) + p.pixelY), c.tile, x, y))
      Shots.Delete();
  }
}

// 19.5: the front picture, then a touch by the figure or else a reach of the fetch spell.
void CollectContact(int col, int row, MapCell& c) {
  PlayerRecord& p = P();
  int picture = MainLayerSprite(c.tile, AnimFrameBase);
  if (c.tile <= 1 || picture == 0 || (p.hasKey == 1 && c.tile == Tile::LockedDoor)) return;
  // Moving cells get their front picture in their own step, after this pass.
  if (c.vRange == 0 && c.hRange == 0) DrawFrontPicture(col, row, c, false);
  int x = WorldCellX(col, p.posX, c.offX), y = WorldCellY(row, 0, c.offY);
  int probeY = Nearest(double(p.posY) + (p.smallForm == 0 ? 0 : 1) + FigureTop);
  if (SpriteBoxesTouch(picture, x, y, TouchSprite, PlayerScreenX, probeY)) {
    TouchPickup(c);
    ApplyTileNumberRules(c);
  } else if (Spell == Spr::FetchSpell &&
             SpritesTouch(picture, x, y, Spr::FetchSpell, Nearest(double(PlayerScreenX) + SpellDX + SpellOffsetX),
                          Nearest(double(p.posY) + SpellDY + SpellTop))) {
    FetchPickup(c);
    Spell = 0;
    SpellDX = 0;
  }
}

}  // namespace

// The touch column of the pickup table.
void TouchPickup(MapCell& cell) {
  if (const PickupRow* row = FindPickup(cell.pickup)) ApplyPickup(cell, *row, true);
}

// The fetch column of the pickup table.
void FetchPickup(MapCell& cell) {
  if (const PickupRow* row = FindPickup(cell.pickup)) ApplyPickup(cell, *row, false);
}

// First match only; the weapons and the alternative sheet clear their cell.
void ApplyTileNumberRules(MapCell& cell) {
  if (cell.tile == Tile::GoldAxe) {
    TakeWeapon(cell, 1);
  } else if (cell.tile == Tile::FireAxe) {
    TakeWeapon(cell, 2);
  } else if (cell.tile == Tile::AltSheet) {
    AltSheet = 1;
    cell.tile = 1;
  } else if (cell.tile == Tile::KeyTile && P().hasKey == 0) {
    TakeKey(Snd::KeyFound);
  }
}

// Walks the visible cells row by row; a tile beyond the kind table touches nothing.
void WorldContactPass() {
  const PlayerRecord& p = P();
  TouchSprite = p.smallForm == 0 ? Spr::TouchMask : Spr::Figure;
  bool groundSet = false;
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      MapCell& c = Map.At(col, row);
      bool tileKnown = c.tile >= 0 && c.tile < TileKindCount;
      if (tileKnown) GroundContact(col, row, c, groundSet);
      SpikeContact(col, row, c);
      if (!tileKnown) continue;
      SwordContact(col, row, c);
      ShotsAgainstWall(col, row, c);
      CollectContact(col, row, c);
    }
}

}  // namespace kw
