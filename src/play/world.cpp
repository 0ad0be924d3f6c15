// The world pass (DrawWorld), called by the frame loop on every pass of play. For now
// it holds the pure drawing steps: far background, back layer, main layer, moving
// tiles, exit marker, player figure, front layer and overlay layer. The contacts with
// the map, sliders, portals, enemies, shots, spells and lights come with the play part.
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// Cells of the visible window that lie inside the map.
bool CellShown(int col, int row) {
  const PlayerRecord& p = P();
  return row >= 0 && col >= 0 && row <= p.mapHeight && col <= p.mapWidth;
}

// Step 5 and 6: the far background, composed in its buffer and drawn under the world.
void DrawFarBackground() {
  PlayerRecord& p = P();
  if (0 <= -p.posX && -p.posX <= p.mapWidth * 30 - 610) p.backScrollX = int16_t(Nearest(-p.posX));
  if (BackgroundX >= 640 || BackgroundX <= -640) BackgroundX = 0;
  if (BackgroundX > 0) BackgroundSide = -1;
  if (BackgroundX < 0) BackgroundSide = 1;
  if (HideBackground == 1) return;
  if (StaticBackground != 0) {
    DrawSprite(Spr::Background, 0, 0);
    return;
  }
  double d = double(p.posX) + p.backScrollX;
  SetBlitTarget(Spr::BackgroundBuffer);
  ClearBackBuffer(0);
  DrawSprite(Spr::Background, Nearest(BackgroundX - d), p.pixelY);
  DrawSprite(Spr::Background, Nearest(BackgroundX - d + BackgroundSide * 640), p.pixelY);
  SetBlitTarget(-1);
  DrawSprite(Spr::BackgroundBuffer, Nearest(d), -10);
}

// Step 7: back-layer pictures above 101.
void DrawBackLayer() {
  const PlayerRecord& p = P();
  if (StaticBackground != 0) return;
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      if (!CellShown(col, row)) continue;
      const MapCell& c = Map.At(col, row);
      if (c.back > Layer::NoBackUpTo)
        DrawSpriteKeyed(c.back, Nearest(col * 30 + p.posX), row * 30 + p.pixelY - 10);
    }
}

// One main-layer cell (steps 8 and 9).
void DrawMainCell(int col, int row, const MapCell& c, bool doorTest) {
  const PlayerRecord& p = P();
  int x = Nearest(col * 30 + p.posX + c.offX), y = row * 30 + c.offY + p.pixelY - 10;
  if (doorTest && p.hasKey == 1 && c.tile == Tile::LockedDoor)
    DrawSpriteKeyed(Spr::OpenedDoor, x, y);
  else
    DrawSprite3D(c.tile + AnimFrameBase, x, y, c.alpha);
}

// Steps 8 and 9: still cells from the bottom row up, then the moving cells.
void DrawMainLayer() {
  for (int row = VisToY; row >= VisFromY; --row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      const MapCell& c = Map.At(col, row);
      if (c.tile != 0 && c.vRange == 0 && c.hRange == 0) DrawMainCell(col, row, c, true);
    }
  for (const CellPos& m : MovingTiles) {
    const MapCell& c = Map.At(m.col, m.row);
    if (c.tile != 0) DrawMainCell(m.col, m.row, c, false);
  }
}

// Step 12: the figure in the frame SelectPlayerFrame chose.
void DrawFigure() {
  const PlayerRecord& p = P();
  int y = Nearest(p.posY + p.pixelY + 230);
  if (p.climbing == 0) DrawSpriteKeyed(Spr::Figure, PlayerScreenX, y);
  if (p.hasSword == 1 && p.smallForm == 0) DrawSpriteKeyed(Spr::SwordOverlay, PlayerScreenX, y);
}

// The front pictures of still cells (from step 19) and of moving cells (step 20).
void DrawFrontLayer() {
  const PlayerRecord& p = P();
  auto front = [&p](int col, int row, const MapCell& c) {
    DrawSprite3D(c.tile + AnimFrameBase + Spr::FrontFrames, Nearest(col * 30 + p.posX + c.offX),
                 row * 30 + p.pixelY + c.offY + 10, c.alpha);
  };
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      const MapCell& c = Map.At(col, row);
      bool door = p.hasKey == 1 && c.tile == Tile::LockedDoor;
      if (c.tile > Tile::Air && !door && c.front != Layer::NoFront && c.vRange == 0 && c.hRange == 0) front(col, row, c);
    }
  for (const CellPos& m : MovingTiles) front(m.col, m.row, Map.At(m.col, m.row));
}

// Step 23: overlay pictures.
void DrawOverlayLayer() {
  const PlayerRecord& p = P();
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      if (row >= p.mapHeight || !CellShown(col, row)) continue;
      const MapCell& c = Map.At(col, row);
      if (c.over == 0) continue;
      int sprite = c.over > Layer::OverlayBase ? c.over : c.over + Layer::OverlayBase;
      DrawSprite3D(sprite, Nearest(col * 30 + p.posX), row * 30 + p.pixelY + 10, 255);
    }
}

}  // namespace

int DrawWorld() {
  SetSprite3DFiltering(0);
  Begin3D();
  ComputeVisibleWindow(0);
  SelectPlayerFrame();
  DrawFarBackground();
  DrawBackLayer();
  DrawMainLayer();
  DrawSpriteKeyed(Spr::ExitDoor, ExitCol * 30 + Nearest(P().posX), ExitRow * 30 + P().pixelY - 20);
  DrawFigure();
  DrawFrontLayer();
  DrawOverlayLayer();
  End3D();
  SetSprite3DFiltering(1);
  return 0;
}

}  // namespace kw
