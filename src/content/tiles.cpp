// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The tile-set loader: the animation strips and the tile sheet of the set named by
// TileSet become the tile pictures 1..80, 101..200, 201..281, the animated frames
// 6000..9999 and TileKind. Called by the map loader and by the frame loop when the
// script changes the tile set.
#include <string>

#include "content/catalogue.h"
#include "content/content.h"
#include "media/media.h"

namespace kw {

namespace {

// Skips n entries; stops at the pack's end, so a huge set number cannot spin.
void SkipEntries(int n) {
  for (int i = 0; i < n; ++i)
    if (!NextPackEntry() && PackEnded()) return;
}

int LoadNextTileSprite(int n, int flags) {
  const uint8_t* data = NextPackEntry();
  return data ? LoadSpriteFromMemory(n, data, LastPackEntrySize(), flags) : 0;
}

// A new width x height sprite holding the region (x, y) of source, drawn opaque or keyed.
void CutTile(int target, int source, int x, int y, int width, int height, bool keyed) {
  CreateSprite(target, width, height);
  SetSpriteClip(source, x, y, width, height);
  SetBlitTarget(target);
  if (keyed)
    DrawSpriteKeyed(source, 0, 0);
  else
    DrawSprite(source, 0, 0);
  SetBlitTarget(-1);
}

// A copy of the sheet clipped to one tile (the copies share the sheet's pixels).
void ClipTile(int target, int x, int y) {
  DuplicateSprite(Spr::TileSheet, target);
  SetSpriteClip(target, x, y, CellSize, CellSize);
}

// Tiles 1..80 (sheet row 0), 101..200 (row 1) and the 3D overlays 201..281 (row 2).
void BuildSheetTiles() {
  for (int k = Spr::FirstTile; k <= Spr::LastTile; ++k)
    ClipTile(k, (k - Spr::FirstTile) * CellSize, 0);
  for (int k = Spr::FirstBackTile; k <= Spr::LastBackTile; ++k)
    ClipTile(k, (k - Spr::FirstBackTile) * CellSize, CellSize);
  for (int k = Spr::FirstOverlayTile; k <= Spr::LastOverlayTile; ++k) {
    CutTile(k, Spr::TileSheet, (k - Spr::FirstOverlayTile) * CellSize, 2 * CellSize, CellSize,
            CellSize, true);
    MakeSprite3D(k, k);
  }
  SetSpriteClip(Spr::TileSheet, -1, -1, -1, -1);
}

// One animated frame: an empty sprite for k = 0 (its region lies above the strip).
void BuildFrame(int target, int strip, int f, int k, int height) {
  if (k == 0) {
    CreateSprite(target, CellSize, height);
  } else {
    CutTile(target, strip, CellSize * f, (k - 1) * height, CellSize, height, false);
  }
  MakeSprite3D(target, target);
}

// Frames f = 0..3 of both strips: 6000 + 1000 f + k (30 x 50) and 6500 + 1000 f + k.
void BuildAnimatedFrames() {
  for (int f = 0; f < Spr::AnimFrameCount; ++f) {
    const int base = Spr::AnimFrames + Spr::AnimFrameStep * f;
    for (int k = 0; k <= Spr::LastTile; ++k) BuildFrame(base + k, Spr::TallAnimStrip, f, k, 50);
    for (int k = 0; k <= Spr::LastTile; ++k)
      BuildFrame(base + Spr::FrontFrames + k, Spr::AnimStrip, f, k, CellSize);
  }
  SetSpriteClip(Spr::TallAnimStrip, -1, -1, -1, -1);
  SetSpriteClip(Spr::AnimStrip, -1, -1, -1, -1);
}

}  // namespace

void FillTileKind(int tileSet) {
  TileKind.fill(0);
  if (tileSet < 1 || tileSet > 4) return;
  for (int t : {31, 32, 33, 34, 39, 40, 74, 75}) TileKind[t] = TileKindOf::Slope;
  for (int t : {35, 36, 37, 38, 41, 42, 76, 77}) TileKind[t] = TileKindOf::Rough;
}

void LoadTiles() {
  CheckLoad(OpenPack(std::string("paks\\") + TilesPak::File), "Tiles");
  int t = ParseInt(TileSet);
  if (t >= 1 && t <= TilesPak::SetCount) {
    SkipEntries(2 * (t - 1));
    CheckLoad(LoadNextTileSprite(Spr::TallAnimStrip, TextureFlag), "Tiles_pic:1");
    CheckLoad(LoadNextTileSprite(Spr::AnimStrip, TextureFlag), "Tiles_pic:1");
    SkipEntries(2 * (TilesPak::SetCount - t));
  }
  // For any other set no strip was read, so the sheet index shifts with it.
  SkipEntries(TilesPak::SpareEntries);
  if (t > 1) SkipEntries(t - 1);
  CheckLoad(LoadNextTileSprite(Spr::TileSheet, TextureFlag), "Tiles_pic:5");
  BuildSheetTiles();
  ClosePack();
  AnimFrameBase = Spr::AnimFrames;
  BuildAnimatedFrames();
  // The closed door, kept for when a held key runs out.
  DuplicateSprite(Spr::LockedDoor, Spr::ClosedDoorCopy);
  SetSpriteClip(Spr::ClosedDoorCopy, (Spr::LockedDoor - 1) * CellSize, 0, CellSize, CellSize);
  FillTileKind(t);
}

}  // namespace kw
