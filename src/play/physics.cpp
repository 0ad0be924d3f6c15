// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Player physics and tile collision, run once per world step by the play ticker: the
// figure falls, moves by the speeds the player control set and collides pixel-exactly
// with the cells around it (ground, moving platforms, ladders, slopes, low edges, walls,
// breakable blocks). While bombs lie on the map a second variant lets the figure stand
// on them and kick them, and each bomb falls and slides with its own step. The
// horizontal camera lives here too: the world scrolls under the figure except near the
// map's ends, where the figure walks across the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int BombFrameW = 23, BombFrameH = 33;

// A rectangle of cells, first to last inclusive; empty when from > to.
struct CellWindow {
  int fromCol, toCol, fromRow, toRow;
};

// Cell classes by tile number.
template <size_t N>
bool OneOf(int tile, const int (&tiles)[N]) {
  for (int t : tiles)
    if (t == tile) return true;
  return false;
}
bool IsLadder(int tile) { return OneOf(tile, Tile::Ladders); }
bool IsSlopeA(int tile) { return OneOf(tile, Tile::SlopesA); }
bool IsSlopeB(int tile) { return OneOf(tile, Tile::SlopesB); }
bool IsBreakable(int tile) { return OneOf(tile, Tile::Breakables); }
bool IsMoving(const MapCell& c) { return c.vRange != 0 || c.hRange != 0; }

// Clamps a 64-bit value into the int32 range.
int32_t Clamp32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// A cell that takes part in collisions. Tile numbers past the tile table (a damaged
// map or save) mean nothing rather than some unrelated sprite's picture.
bool IsCandidate(const MapCell& c) {
  if (c.front != 1 || c.tile <= 1 || c.tile >= int(TileKind.size())) return false;
  return !(c.tile == Tile::LockedDoor && P().hasKey == 1);
}

// The cells within reach cols / rows of (col, row), clamped to the map. The grid
// bounds the window too: a map size in the player record (from a save) larger than
// the grid must not make the scans walk cells that are not there.
CellWindow WindowAround(int64_t col, int64_t row, int64_t cols, int64_t rows) {
  const PlayerRecord& p = P();
  CellWindow w;
  w.fromCol = Clamp32(std::max<int64_t>(0, col - cols));
  w.toCol = Clamp32(std::min<int64_t>({p.mapWidth, Map.W, col + cols}));
  w.fromRow = Clamp32(std::max<int64_t>(0, row - rows));
  w.toRow = Clamp32(std::min<int64_t>({p.mapHeight, Map.H, row + rows}));
  return w;
}

// The collision window around the figure's cell.
CellWindow PlayerWindow(int cols, int rows) {
  const PlayerRecord& p = P();
  int64_t col = Nearest((double(PlayerScreenX) - p.posX) / CellSize);
  int64_t row = Nearest((double(p.posY) + FigureTop) / CellSize);
  return WindowAround(col, row, cols, rows);
}

// Screen x of a cell's picture.
int CellX(int col, const MapCell& c) {
  return Nearest(double(col) * CellSize + P().posX + c.offX);
}
// World y of a cell's picture (the figure's collisions are tested in world y).
int CellY(int row, const MapCell& c) { return Clamp32(int64_t(row) * CellSize + c.offY); }

// The pixel test of a cell against the figure, the figure shifted by (dx, dy).
bool TouchesFigure(int col, int row, const MapCell& c, int dx = 0, int dy = 0) {
  return SpritesTouch(c.tile, CellX(col, c), CellY(row, c), TouchSprite, PlayerScreenX + dx,
                      FigureWorldY(P()) + dy) != 0;
}

// How far the figure is moved to tell a wall beside it from ground under it: further
// than the figure's frames differ in width (a walking frame reaches 4 pixels beyond
// another) and than the figure's own step up.
constexpr int SideProbe = 8;
constexpr int BackProbe = 4;

// A cell the figure touches only from the side: moved back against this step's fall
// or rise it still touches the cell, moved a few pixels away from it sideways it does
// not; or moved back it is clear of the cell but touches the wall's next cell. Such a
// cell is a wall. Landing on it held the figure in mid-air beside a block whenever a new
// walking frame reached a few pixels into the block's side, and against a tall wall
// whenever the hand reaching out at chest height touched the edge between two of its
// cells.
bool TouchesOnlyFromTheSide(int col, int row, const MapCell& c, float speedY) {
  int back = int(std::ceil(std::fabs(double(speedY)))) + BackProbe;
  int dy = speedY < 0 ? back : -back;
  if (!TouchesFigure(col, row, c, 0, dy)) {
    // Clear of this cell when moved back, but into the wall's next cell: a hand reaching out
    // from the figure touched the edge between two cells of a wall's face.
    int next = speedY < 0 ? row + 1 : row - 1;
    const MapCell& n = Map.At(col, next);
    return IsCandidate(n) && !IsLadder(n.tile) && TouchesFigure(col, next, n, 0, dy);
  }
  bool cellRight = CellX(col, c) + CellSize / 2 > PlayerScreenX + FigureFrameW / 2;
  return !TouchesFigure(col, row, c, cellRight ? -SideProbe : SideProbe, 0);
}

// The bomb sheet clipped to the bomb's current picture, as the world pass draws it.
void ClipBombPicture(const Bomb& b) {
  int row = int(std::floor(std::clamp(b.fuse, 0.0f, 24.0f) / 8));
  SetSpriteClip(Spr::BombSheet, std::clamp(b.tick, 0, 2) * BombFrameW, row * BombFrameH,
                BombFrameW, BombFrameH);
}

// Screen x of a bomb's picture.
int BombScreenX(const Bomb& b) { return Nearest(double(b.x) + P().posX); }

// The figure and a bomb overlap (pixel test).
bool BombTouchesFigure(const Bomb& b) {
  ClipBombPicture(b);
  return SpritesTouch(Spr::BombSheet, BombScreenX(b), b.y, TouchSprite, PlayerScreenX,
                      FigureWorldY(P())) != 0;
}

// The figure lands on what it touched: it stops falling and stands when it was falling.
void Land(PlayerRecord& p) {
  p.moveFlag = p.speedY > 0 ? 1 : 0;
  p.posY -= p.speedY;
  p.speedY = 0;
}

// Map limits: top, left end, bottom (the figure bounces up a little), right end.
void KeepInsideMap(PlayerRecord& p) {
  double w = double(p.mapWidth) * CellSize, h = double(p.mapHeight) * CellSize;
  if (p.posY + FigureTop < 0) p.posY = -FigureTop;
  if (p.posX >= 300) p.posX = 300;
  if (p.posY + 240 > h) {
    p.posY = float(h - 240);
    p.speedY = -Gravity;  // the next step's gravity stops it
  }
  if (p.posX + w <= 360) p.posX = float(360 - w);
}

// Gravity and the fall itself.
void Fall(PlayerRecord& p) {
  TouchSprite = p.smallForm == 1 ? Spr::Figure : Spr::TouchMask;
  p.speedY += Gravity;
  p.posY += p.speedY;
  p.climbing = 0;
}

// Moving platforms mark whether the figure stands on them; without bombs the figure
// also lands on those that take part in collisions.
void TouchMovingPlatforms(PlayerRecord& p, bool land) {
  for (const CellPos& m : MovingTiles) {
    MapCell& c = Map.At(m.col, m.row);
    if (c.tile > 1 && c.tile < int(TileKind.size()) && TouchesFigure(m.col, m.row, c)) {
      c.onPlatform = 1;
      if (land && c.front == 1) Land(p);
    } else {
      c.onPlatform = 0;
    }
  }
}

// Bombs the figure falls onto are pushed by its speed, and the figure stands on them.
void StandOnBombs(PlayerRecord& p) {
  for (Bomb& b : Bombs) {
    if (!BombTouchesFigure(b)) continue;
    b.vy = Nearest(4.0 * p.speedY);
    b.vx = Nearest(4.0 * p.speedX);
    Land(p);
  }
}

// Block breaking: a jump with the alternative sheet breaks blocks straight above.
void BreakBlock(PlayerRecord& p, int col, int row, MapCell& c) {
  int64_t playerCol = Nearest((double(PlayerScreenX) - p.posX) / CellSize);
  int64_t playerRow = Nearest((double(p.posY) + FigureTop) / CellSize);
  if (AltSheet == 1 && p.smallForm == 0 && p.speedY < 0 && col == playerCol &&
      row <= playerRow && IsBreakable(c.tile)) {
    c.tile = 1;
    PlaySoundFx(Snd::Pickup, 0);
  }
}

// Slopes without bombs: only the small form slides, and the slide moves it down.
void SlideSmallForm(PlayerRecord& p, int tile) {
  if (p.smallForm != 1) {
    OnSlope = 0;
    SlopeFrames = 0;
    return;
  }
  if (IsSlopeA(tile)) {
    OnSlope = 1;
    SlopeFrames = 0;
    p.moveFlag = 1;
    if (ControlMoved == 0 && p.speedX < p.topSpeed) p.speedX += 4 * p.accel;
    p.posY += p.speedX + 2;
  } else if (IsSlopeB(tile)) {
    SlopeFrames = 0;
    p.moveFlag = 1;
    if (ControlMoved == 0 && p.speedX > -p.topSpeed) p.speedX -= 4 * p.accel;
    p.posY -= p.speedX + 2;
  } else {
    SlopeFrames += 1;
    if (OnSlope == 1 && SlopeFrames >= 5) OnSlope = SlopeFrames = 0;
  }
}

// Slopes with bombs on the map: every form slides, and running off the end of a slope
// fast throws the figure up.
void SlideWithBombs(PlayerRecord& p, int tile) {
  if (IsSlopeA(tile)) {
    OnSlope = 1;
    SlopeFrames = 0;
    if (p.speedX >= 0 && p.speedX < 4) p.speedX += 2;
  } else if (IsSlopeB(tile)) {
    OnSlope = 1;
    SlopeFrames = 0;
    if (p.speedX > -4 && p.speedX <= 0) p.speedX -= 2;
  } else {
    SlopeFrames += 1;
    if (OnSlope == 1 && SlopeFrames >= 2) {
      p.speedY -= 2 * (std::fabs(p.speedX) - 4);
      OnSlope = 0;
      SlopeFrames = 0;
    }
  }
}

// The rows the ladders the figure touches run through, from the top of the highest to
// the foot of the lowest; empty when it touches none.
struct LadderSpan {
  int top = INT32_MAX, bottom = INT32_MIN;
  bool Touched() const { return top <= bottom; }
  // A cell beside the ladders, which the climbing figure passes.
  bool Beside(int row) const { return Touched() && row >= top && row <= bottom; }
};

// A ladder cell that takes part in collisions.
bool IsLadderCell(int col, int row) {
  const MapCell& c = Map.At(col, row);
  return IsCandidate(c) && IsLadder(c.tile);
}

// The ladders of the window the figure touches, each taken whole: a figure climbing
// beside a platform touches the ladder only with a hand or a foot at times, and the
// platform's cells must stay passable all the way up.
LadderSpan TouchedLadders(const CellWindow& w, bool withBombs) {
  LadderSpan span;
  for (int col = w.fromCol; col <= w.toCol; ++col)
    for (int row = w.fromRow; row <= w.toRow; ++row) {
      const MapCell& c = Map.At(col, row);
      if (!IsLadderCell(col, row) || (!withBombs && IsMoving(c))) continue;
      if (!TouchesFigure(col, row, c)) continue;
      int top = row, bottom = row;
      while (top > 0 && IsLadderCell(col, top - 1)) --top;
      while (bottom < Map.H && IsLadderCell(col, bottom + 1)) ++bottom;
      span.top = std::min(span.top, top);
      span.bottom = std::max(span.bottom, bottom);
    }
  return span;
}

// The vertical collision: a touched ladder lets the figure hang on it without stopping
// the fall, and the first touching cell it meets from above or below stops it (the scan
// goes column by column, rows inside). A ladder passes the figure by the cells beside
// it, but not into the ground under its foot nor through a ceiling over its top: when the ladder ended the scan, as it
// once did, a figure at the foot of a ladder sank into that ground and was held there.
// Cells touched only from the side are walls, not ground. Still cells only, unless
// withBombs.
void CollideVertically(PlayerRecord& p, const CellWindow& w, bool withBombs) {
  LadderSpan ladders = TouchedLadders(w, withBombs);
  if (ladders.Touched()) {
    p.climbing = 1;
    p.moveFlag = 1;
  }
  for (int col = w.fromCol; col <= w.toCol; ++col)
    for (int row = w.fromRow; row <= w.toRow; ++row) {
      MapCell& c = Map.At(col, row);
      if (!IsCandidate(c) || (!withBombs && IsMoving(c)) || IsLadder(c.tile)) continue;
      if (ladders.Beside(row) || !TouchesFigure(col, row, c)) continue;
      if (TouchesOnlyFromTheSide(col, row, c, p.speedY)) continue;
      if (withBombs) {
        if (c.vRange != 0 && c.vStep < 0) p.posY += c.vStep;
      } else {
        BreakBlock(p, col, row, c);
      }
      // A block broken from below stops the jump all the same.
      Land(p);
      if (withBombs)
        SlideWithBombs(p, c.tile);
      else
        SlideSmallForm(p, c.tile);
      return;
    }
}

// The camera zone: near a map end the world stops scrolling and the view drifts (one
// pixel per tick) to put the figure at screen x 300 again. True at a map end.
bool CameraAtMapEnd(PlayerRecord& p) {
  if (p.posX >= -10) {
    if (PlayerScreenX >= 300) {
      p.posX -= 1;
      PlayerScreenX -= 1;
    }
    return true;
  }
  if (p.posX <= 630 - double(p.mapWidth) * CellSize) {
    if (PlayerScreenX <= 300) {
      p.posX += 1;
      PlayerScreenX += 1;
    }
    return true;
  }
  return false;
}

// The horizontal move: the figure across the screen at a map end, else the world.
void MoveSideways(PlayerRecord& p, bool edge) {
  if (edge) {
    PlayerScreenX = std::clamp(PlayerScreenX, 0, 600);
    PlayerScreenX = Nearest(PlayerScreenX - double(p.speedX));
  } else {
    p.posX += p.speedX;
    BackgroundX = Nearest(BackgroundX + 0.8 * p.speedX);
  }
}

// Takes the horizontal move back and bounces with half the speed.
void UndoSideways(PlayerRecord& p, bool edge) {
  if (edge) {
    PlayerScreenX = Nearest(PlayerScreenX + double(p.speedX));
  } else {
    p.posX -= p.speedX;
    BackgroundX = Nearest(BackgroundX - 0.8 * p.speedX);
  }
  p.speedX = -p.speedX / 2;
}

// Bombs the figure walks into are kicked away; the figure bounces off them.
void KickBombs(PlayerRecord& p, bool edge) {
  bool kicked = false;
  for (Bomb& b : Bombs) {
    if (!BombTouchesFigure(b)) continue;
    b.vx = Nearest(4.0 * p.speedX);
    b.vy = Nearest(4.0 * p.speedY);
    kicked = true;
  }
  // One bounce however many bombs were kicked: the move is undone once.
  if (kicked) UndoSideways(p, edge);
}

// The first wall cell of the window the figure touches, or false. On horizontal
// platforms the figure rides along (withBombs only).
bool TouchingWall(PlayerRecord& p, const CellWindow& w, bool withBombs) {
  for (int col = w.fromCol; col <= w.toCol; ++col)
    for (int row = w.fromRow; row <= w.toRow; ++row) {
      const MapCell& c = Map.At(col, row);
      if (!IsCandidate(c) || IsLadder(c.tile) || !TouchesFigure(col, row, c)) continue;
      if (withBombs && c.hRange != 0) p.posX += c.hStep;
      return true;
    }
  return false;
}

// The horizontal collision: each touch lifts the figure a pixel and looks again, so
// it climbs edges of up to GroundKind - 1 pixels; a higher wall bounces it back.
void CollideHorizontally(PlayerRecord& p, const CellWindow& w, bool edge, bool withBombs) {
  int limit = std::max(GroundKind, 1);
  for (int k = 1; TouchingWall(p, w, withBombs); ++k) {
    if (k >= limit) {
      UndoSideways(p, edge);
      p.posY += withBombs ? 4.0f : float(GroundKind - 1.6);
      return;
    }
    p.posY -= 1;
  }
}

// The steps both variants share after the fall: camera zone, move, walls.
void MoveAndCollideSideways(PlayerRecord& p, const CellWindow& w, bool withBombs) {
  bool edge = CameraAtMapEnd(p);
  if (p.speedX == 0) return;
  MoveSideways(p, edge);
  if (withBombs) KickBombs(p, edge);
  CollideHorizontally(p, w, edge, withBombs);
}

// The bomb's window: two cells around its own cell.
CellWindow BombWindow(const Bomb& b) { return WindowAround(b.x / CellSize, b.y / CellSize, 2, 2); }

// A candidate cell touches the bomb, or the bomb lies on the figure.
bool BombTouches(const Bomb& b, int col, int row, const MapCell& c, bool onFigure) {
  return onFigure || SpritesTouch(c.tile, CellX(col, c), CellY(row, c), Spr::BombSheet,
                                  BombScreenX(b), b.y) != 0;
}

// The first touching candidate of the bomb's window; nullptr when none.
const MapCell* BombContact(const Bomb& b, const CellWindow& w) {
  bool onFigure = BombTouchesFigure(b);
  for (int col = w.fromCol; col <= w.toCol; ++col)
    for (int row = w.fromRow; row <= w.toRow; ++row) {
      const MapCell& c = Map.At(col, row);
      if (IsCandidate(c) && BombTouches(b, col, row, c, onFigure)) return &c;
    }
  return nullptr;
}

// Bomb limits: inside the map's pixel area.
void KeepBombInsideMap(Bomb& b) {
  const PlayerRecord& p = P();
  int64_t w = int64_t(p.mapWidth) * CellSize, h = int64_t(p.mapHeight) * CellSize;
  if (b.y < 0) b.y = 0;
  if (b.x < 0) b.x = 0;
  if (b.y > h) b.y = Clamp32(h - 35);
  if (b.x > w) b.x = Clamp32(w - 35);
}

// The bomb falls, lands (rolling down a slope it meets) and slides against walls.
void BombFallAndSlide(Bomb& b, const CellWindow& w) {
  b.vy = Clamp32(int64_t(b.vy) + 1);  // nearest(vy + 0.8)
  b.y = Clamp32(int64_t(b.y) + b.vy);
  if (const MapCell* c = BombContact(b, w)) {
    if (IsSlopeA(c->tile) && b.vx < 0) b.vx = Clamp32(int64_t(b.vx) + b.vy);
    if (IsSlopeB(c->tile) && b.vx > 0) b.vx = Clamp32(int64_t(b.vx) - b.vy);
    b.y = Clamp32(int64_t(b.y) - b.vy);
    b.vy = 0;
  }
  if (b.vx == 0) return;
  b.x = Clamp32(int64_t(b.x) - b.vx);
  for (int k = 1; BombContact(b, w); ++k) {
    if (k >= 3) {
      b.x = Clamp32(int64_t(b.x) + b.vx);
      b.vx = -(b.vx / 2);
      b.y = Clamp32(int64_t(b.y) + 5);
      return;
    }
    b.y = Clamp32(int64_t(b.y) - 1);
  }
}

}  // namespace

bool StandingFigureFits(int lift) {
  // The standing frame of the side the figure faces (the small form leaves the touch
  // mask's clip as the last normal frame had it, or as the sheet came).
  SetSpriteClip(Spr::TouchMask, LastSide == Facing::Left ? FigureFrameW + 1 : 0, 0, FigureFrameW, FigureFrameH);
  CellWindow w = PlayerWindow(std::max(ActiveCols, 5), std::max(ActiveRows, 5));
  int y = FigureWorldY(P()) - lift;
  for (int col = w.fromCol; col <= w.toCol; ++col)
    for (int row = w.fromRow; row <= w.toRow; ++row) {
      const MapCell& c = Map.At(col, row);
      if (!IsCandidate(c) || IsLadder(c.tile)) continue;
      if (SpritesTouch(c.tile, CellX(col, c), CellY(row, c), Spr::TouchMask, PlayerScreenX, y) != 0)
        return false;
    }
  return true;
}

// The world step's physics while no bomb lies on the map.
void PlayerPhysics() {
  ComputeVisibleWindow(0);
  PlayerRecord& p = P();
  CellWindow w = PlayerWindow(ActiveCols, ActiveRows);
  KeepInsideMap(p);
  Fall(p);
  TouchMovingPlatforms(p, true);
  CollideVertically(p, w, false);
  MoveAndCollideSideways(p, w, false);
  ControlMoved = 0;
}

// The world step's physics while bombs lie on the map: a smaller window, bombs to
// stand on and kick, moving cells in the landing scan, slopes in every form.
void PlayerPhysicsWithBombs() {
  ComputeVisibleWindow(0);
  PlayerRecord& p = P();
  CellWindow w = PlayerWindow(4, 4);
  KeepInsideMap(p);
  Fall(p);
  TouchMovingPlatforms(p, false);
  StandOnBombs(p);
  CollideVertically(p, w, true);
  MoveAndCollideSideways(p, w, true);
}

// One bomb's step, for the current element of Bombs (the ticker walks the list).
void BombPhysics() {
  ComputeVisibleWindow(0);
  Bomb* b = Bombs.Current();
  if (!b) return;
  CellWindow w = BombWindow(*b);
  KeepBombInsideMap(*b);
  BombFallAndSlide(*b, w);
}

}  // namespace kw
