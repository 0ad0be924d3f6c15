// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// How the game's physics and rules see a map cell, from the catalogue's tile classes:
// what the map check's search and kwplay's guide both ask of a cell.
#pragma once

#include <cstddef>

#include "content/catalogue.h"
#include "play/play.h"

namespace maplogic {

// Whether tile is one of tiles.
template <size_t N>
constexpr bool OneOf(int tile, const int (&tiles)[N]) {
  for (int t : tiles)
    if (t == tile) return true;
  return false;
}

constexpr bool IsLadderTile(int tile) { return OneOf(tile, kw::Tile::Ladders); }
constexpr bool IsBreakableTile(int tile) { return OneOf(tile, kw::Tile::Breakables); }
// Tiles taken on touch: the key, the two axes, the alternative sheet.
constexpr bool IsTouchItemTile(int tile) {
  return tile == kw::Tile::KeyTile || tile == kw::Tile::AltSheet || tile == kw::Tile::GoldAxe ||
         tile == kw::Tile::FireAxe;
}
// A cell that gives the key when touched.
constexpr bool GivesKey(int tile, int pickup) { return tile == kw::Tile::KeyTile || pickup == kw::Pickup::Key; }
// A cell the physics collides with: front 1 (the map file's byte) and a tile of the tile
// table other than air. Ladders and locked doors are among them; what they do is the
// caller's to tell.
constexpr bool Collides(int tile, int front) {
  return (front & 0xff) == kw::Layer::Solid && tile > kw::Tile::Air && tile < kw::TileKindCount;
}

}  // namespace maplogic
