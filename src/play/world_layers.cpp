// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The picture layers of the world pass: far background, back layer, main layer, moving
// cells, their front pictures and the overlays, with the small rules that pick a
// cell's picture. DrawWorld calls the layers in its order; kwtool map render uses the
// same rules for its whole-map pictures.
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int BackPicturesFrom = 102, BackPicturesTo = 200;
constexpr int ShadeCount = 11;         // darkness tiles 500..510

// A sprite number from a sum that a damaged map can push anywhere; 0 when it is not one.
int SpriteOrNone(int64_t n) { return n > 0 && n < MaxSprites ? int(n) : 0; }

// Tile numbers the kind table covers (0..81).
bool TileInTable(int32_t tile) { return tile >= 0 && tile < TileKindCount; }

// Cells of the visible window that lie inside the map.
bool CellShown(int col, int row) {
  const PlayerRecord& p = P();
  return row >= 0 && col >= 0 && row <= p.mapHeight && col <= p.mapWidth;
}

// One main-layer cell (steps 8 and 9): the open door while the key is held, else the
// tile's picture of this animation frame with the cell's alpha.
void DrawMainCell(int col, int row, const MapCell& c, bool doorTest) {
  const PlayerRecord& p = P();
  int x = WorldCellX(col, p.posX, c.offX);
  int y = WorldCellY(row, p.pixelY, int64_t(c.offY) + MainLayerDY);
  if (doorTest && p.hasKey == 1 && c.tile == Tile::LockedDoor)
    DrawSpriteKeyed(Spr::OpenedDoor, x, y);
  else if (int s = MainLayerSprite(c.tile, AnimFrameBase))
    DrawSprite3D(s, x, y, c.alpha);
}

}  // namespace

// Back pictures are the tile set's second row, 102..200 (101 and below draw nothing).
int BackLayerSprite(int32_t back) {
  return back >= BackPicturesFrom && back <= BackPicturesTo ? back : 0;
}

// Tile 0 is no cell at all; tiles beyond the kind table are no picture either.
int MainLayerSprite(int32_t tile, int32_t frameBase) {
  if (!TileInTable(tile) || tile == 0) return 0;
  return SpriteOrNone(int64_t(tile) + frameBase);
}

// Still cells show a front picture unless air, switched off or the open door.
int FrontLayerSprite(int32_t tile, int32_t front, bool moving, bool openDoor, int32_t frameBase) {
  if (!TileInTable(tile)) return 0;
  if (!moving && (tile <= 1 || front == 2 || openDoor)) return 0;
  return SpriteOrNone(int64_t(tile) + frameBase + Spr::FrontFrames);
}

// Overlay values 1..81 name the pictures 201..281, which may also be named directly.
int OverlaySprite(int32_t over) {
  if (over >= Spr::FirstOverlayTile && over <= Spr::LastOverlayTile) return over;
  if (over >= Spr::FirstOverlayTile - 200 && over <= Spr::LastOverlayTile - 200) return over + 200;
  return 0;
}

// Shade 0..10 picks one of the darkness pictures 500..510.
int ShadeSprite(int32_t shade) { return shade >= 0 && shade < ShadeCount ? Spr::Darkness + shade : 0; }

// Worked in double and rounded to nearest, so no map value can overflow.
int32_t WorldCellX(int64_t col, double posX, int64_t offX) {
  return Nearest(double(col) * CellSize + posX + double(offX));
}

// Worked in 64 bits and clamped, so no map value can overflow.
int32_t WorldCellY(int64_t row, int64_t pixelY, int64_t offY) {
  // Rows and offsets are int32 at most, so the sum fits in 64 bits; clamp it to int32.
  int64_t y = row * CellSize + pixelY + offY;
  if (y < INT32_MIN) return INT32_MIN;
  if (y > INT32_MAX) return INT32_MAX;
  return int32_t(y);
}

// Steps 5 and 6: the background scroll and the far background, composed in 434 and
// drawn under the world (or one fixed picture).
void DrawFarBackground() {
  PlayerRecord& p = P();
  if (0 <= -p.posX && -p.posX <= p.mapWidth * CellSize - 610) p.backScrollX = int16_t(Nearest(-p.posX));
  if (BackgroundX >= 640 || BackgroundX <= -640) BackgroundX = 0;
  if (BackgroundX > 0) BackgroundSide = -1;
  if (BackgroundX < 0) BackgroundSide = 1;
  if (HideBackground == 1) return;
  if (StaticBackground != 0) {
    DrawSprite(Spr::Background, 0, 0);
    return;
  }
  double d = double(p.posX) + p.backScrollX;
  int first = Nearest(BackgroundX - d), second = Nearest(BackgroundX - d + BackgroundSide * 640);
  // The composed buffer is kept while what it is made of stays: the picture's two places
  // and height, the picture and the buffer themselves (a whole-screen clear and two copies
  // saved on most frames, as the scroll moves the buffer, not the picture in it).
  static struct {
    uint64_t picture = 0, buffer = 0;
    int first = 0, second = 0, y = 0;
  } composed;
  uint64_t picture = SpriteVersion(Spr::Background), buffer = SpriteVersion(Spr::BackgroundBuffer);
  if (picture == 0 || buffer == 0 || picture != composed.picture || buffer != composed.buffer ||
      first != composed.first || second != composed.second || p.pixelY != composed.y) {
    SetBlitTarget(Spr::BackgroundBuffer);
    ClearBackBuffer(0);
    DrawSprite(Spr::Background, first, p.pixelY);
    DrawSprite(Spr::Background, second, p.pixelY);
    composed = {SpriteVersion(Spr::Background), SpriteVersion(Spr::BackgroundBuffer), first, second, p.pixelY};
  }
  SetBlitTarget(-1);
  DrawSprite(Spr::BackgroundBuffer, Nearest(d), -10);
}

// Step 7: back-layer pictures; a fixed background has no back layer.
void DrawBackLayer() {
  const PlayerRecord& p = P();
  if (StaticBackground != 0) return;
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      if (!CellShown(col, row)) continue;
      if (int s = BackLayerSprite(Map.At(col, row).back))
        DrawSpriteKeyed(s, WorldCellX(col, p.posX), WorldCellY(row, p.pixelY, BackLayerDY));
    }
}

// Step 8: the still cells from the bottom row up, so a taller picture lies over the
// cell above it.
void DrawMainLayer() {
  for (int row = VisToY; row >= VisFromY; --row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      const MapCell& c = Map.At(col, row);
      if (c.tile != 0 && c.vRange == 0 && c.hRange == 0) DrawMainCell(col, row, c, true);
    }
}

// Step 9: the moving cells, wherever they are (no key-door test).
void DrawMovingTiles() {
  for (const CellPos& m : MovingTiles) {
    const MapCell& c = Map.At(m.col, m.row);
    if (c.tile != 0) DrawMainCell(m.col, m.row, c, false);
  }
}

// The front picture of one cell, still or moving (steps 19 and 20).
void DrawFrontPicture(int col, int row, const MapCell& c, bool moving) {
  const PlayerRecord& p = P();
  bool openDoor = p.hasKey == 1 && c.tile == Tile::LockedDoor;
  if (int s = FrontLayerSprite(c.tile, c.front, moving, openDoor, AnimFrameBase))
    DrawSprite3D(s, WorldCellX(col, p.posX, c.offX),
                 WorldCellY(row, p.pixelY, int64_t(c.offY) + FrontLayerDY), c.alpha);
}

// Step 20: the front pictures of the moving cells.
void DrawMovingFront() {
  for (const CellPos& m : MovingTiles) DrawFrontPicture(m.col, m.row, Map.At(m.col, m.row), true);
}

// Step 23: overlay pictures, opaque, above everything but the darkness and the spells.
void DrawOverlayLayer() {
  const PlayerRecord& p = P();
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      if (!OverlayRowShown(row, p.mapHeight) || !CellShown(col, row)) continue;
      if (int s = OverlaySprite(Map.At(col, row).over))
        DrawSprite3D(s, WorldCellX(col, p.posX), WorldCellY(row, p.pixelY, OverlayDY), 255);
    }
}

}  // namespace kw
