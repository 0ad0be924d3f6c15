// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The enemies: their movement with the wall test (MoveEnemies, run by the world step
// after the player physics) and the enemy half of the combat pass (sword, body contact,
// sliding attacks, death and transformation). The world pass draws them; the map
// loader creates them.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// The last column and row a whole-map scan may visit: the player record's map size,
// kept inside the grid so a stale size never reads past it.
int ScanLastCol() { return std::min<int>(P().mapWidth, Map.W); }
int ScanLastRow() { return std::min<int>(P().mapHeight, Map.H); }

// One wall cell as the wall test sees it in this world step: its picture and where
// that picture lies on the screen.
struct WallCell {
  int col, tile;
  int x, y, w, h;
};

// The wall cells of this world step in scan order (column by column, rows inside),
// gathered once by MoveEnemies: the map and the scroll stay put while enemies move, and
// the far-off cells are then skipped without a collision call.
std::vector<WallCell> Walls;

void CollectWalls() {
  Walls.clear();
  const PlayerRecord& p = P();
  for (int col = 0; col <= ScanLastCol(); ++col)
    for (int row = 0; row <= ScanLastRow(); ++row) {
      const MapCell& c = Map.At(col, row);
      // Tile numbers past the tile table (a damaged map or save) are no wall, as they are
      // none for the figure, rather than the picture of some unrelated sprite.
      if (c.tile <= 1 || c.tile >= TileKindCount) continue;
      int w = SpriteClipWidth(c.tile), h = SpriteClipHeight(c.tile);
      if (w <= 0 || h <= 0) continue;  // no picture: it touches nothing
      Walls.push_back({col, c.tile, Nearest(col * CellSize + double(p.posX) + c.offX),
                       row * CellSize + c.offY + p.pixelY, w, h});
    }
}

// The enemy's collision frame on the screen.
struct EnemyBox {
  int sheet, x, y, w, h;
};

// Whether a wall cell touches the enemy's collision frame (pixel test).
bool WallTouches(const WallCell& wall, const EnemyBox& e) {
  if (int64_t(wall.x) >= int64_t(e.x) + e.w || int64_t(e.x) >= int64_t(wall.x) + wall.w ||
      int64_t(wall.y) >= int64_t(e.y) + e.h || int64_t(e.y) >= int64_t(wall.y) + wall.h)
    return false;
  return SpritesTouch(wall.tile, wall.x, wall.y, e.sheet, e.x, e.y) != 0;
}

// Screen position of an enemy's frame.
int EnemyScreenX(const Enemy& e) { return Nearest(double(P().posX) + e.x); }
int EnemyScreenY(const Enemy& e) { return Nearest(double(e.y) + P().pixelY); }

// The enemy's collision frame for the wall tests, clipped and placed.
EnemyBox MovingBox(const Enemy& e) {
  int sheet = ClipEnemyCollisionFrame(e, true);
  return {sheet, EnemyScreenX(e), EnemyScreenY(e), SpriteClipWidth(sheet), SpriteClipHeight(sheet)};
}

// Whether the enemy touches any wall cell.
bool TouchesAnyWall(const Enemy& e) {
  EnemyBox box = MovingBox(e);
  for (const WallCell& wall : Walls)
    if (WallTouches(wall, box)) return true;
  return false;
}

// A walker turns before an air cell under its leading lower corner.
void TurnAtLedge(Enemy& e) {
  const EnemyType& t = *e.type;
  float lead = DirOfEnemyDir(e.dir) == Dir::Left ? e.x : e.x + t.frameWidth;
  int col = int(lead / CellSize), row = int((e.y + t.frameHeight) / CellSize);
  if (!Map.Inside(col, row) || Map.At(col, row).tile != 1) return;
  if (DirOfEnemyDir(e.dir) == Dir::Right) {
    e.dir = EnemyDirCode(Dir::Left);
    e.speedX = -std::fabs(e.speedX);
  } else {
    e.dir = EnemyDirCode(Dir::Right);
    e.speedX = std::fabs(e.speedX);
  }
}

// Gravity; every wall cell touched takes back this step's fall (only the first one
// moves it, since the speed is then 0).
void FallOntoFloor(Enemy& e) {
  e.speedY += Gravity;
  e.y += e.speedY;
  EnemyBox box = MovingBox(e);
  for (const WallCell& wall : Walls)
    if (WallTouches(wall, box)) {
      e.y -= e.speedY;
      e.speedY = 0;
      box.y = EnemyScreenY(e);
    }
}

// Horizontal step: a wall turns the walker and pushes it back by its speed plus a
// cell, so it comes clear of the wall; one touch per column.
void WalkIntoWalls(Enemy& e) {
  e.x += e.speedX;
  if (e.speedX == 0) return;
  EnemyBox box = MovingBox(e);
  int skipCol = -1;
  for (const WallCell& wall : Walls) {
    if (wall.col == skipCol || !WallTouches(wall, box)) continue;
    e.speedX = -e.speedX;
    if (e.speedX > 0) {
      e.dir = EnemyDirCode(Dir::Right);
      e.x += e.speedX + CellSize;
    } else {
      e.dir = EnemyDirCode(Dir::Left);
      e.x += e.speedX - CellSize;
    }
    box.x = EnemyScreenX(e);
    skipCol = wall.col;
  }
}

// A walker: frozen far outside the map, else ledge, gravity and walls.
void MoveWalker(Enemy& e) {
  const PlayerRecord& p = P();
  int col = Nearest(double(e.x) / CellSize), row = Nearest((e.y + 8.0) / CellSize);
  if (std::abs(int64_t(col)) > p.mapWidth || std::abs(int64_t(row)) > p.mapHeight) return;
  TurnAtLedge(e);
  FallOntoFloor(e);
  WalkIntoWalls(e);
}

// A vertical flyer bounces at the top and bottom of the map and at walls.
void MoveVerticalFlyer(Enemy& e) {
  e.y += e.speedY;
  bool outside = e.y < 0 || e.y > P().mapHeight * CellSize - CellSize;
  if (outside || TouchesAnyWall(e)) {
    e.speedY = -e.speedY;
    e.y += e.speedY;
    e.dir = EnemyDirCode(DirOfEnemyDir(e.dir) == Dir::Right ? Dir::Left : Dir::Right);
  }
}

// A horizontal flyer bounces at walls only; the map edges do not stop it.
void MoveHorizontalFlyer(Enemy& e) {
  e.x += e.speedX;
  if (TouchesAnyWall(e)) {
    e.speedX = -e.speedX;
    e.x += e.speedX;
    e.dir = EnemyDirCode(DirOfEnemyDir(e.dir) == Dir::Right ? Dir::Left : Dir::Right);
  }
}

// The enemy's health, wrapping through its 16-bit field.
void TakeEnemyHealth(Enemy& e, int amount) { e.health = int16_t(e.health - amount); }

// What the current enemy does this combat pass; false ends the pass.
bool FightCurrentEnemy() {
  Enemy& e = *Enemies.Current();
  PlayerRecord& p = P();
  int sheet = ClipEnemyCollisionFrame(e, false);
  int ex = EnemyScreenX(e), ey = EnemyScreenY(e);
  int figureY = FigureScreenY(p);
  if (p.swordSwing == 1 && SpritesTouch(Spr::SwordOverlay, PlayerScreenX, figureY, sheet, ex, ey)) {
    // The sword kills outright and gives no points.
    DeleteCurrentEnemy();
    return false;
  }
  if (SpritesTouch(Spr::Figure, PlayerScreenX, figureY, sheet, ex, ey) && HitGuard != 1) {
    if (OnSlope == 0) {
      p.health -= 10;
      TakeEnemyHealth(e, 1);
      if (e.health < 0) KillCurrentEnemy();
      GuardAfterHit();
      return false;
    }
    // Sliding down a slope into an enemy hurts only the enemy.
    TakeEnemyHealth(e, 2);
  }
  if (e.health < 0) {
    KillCurrentEnemy();
    return false;
  }
  e.frame += 0.2f;
  if (e.frame > 1.0f) e.frame = 0;
  return true;
}

}  // namespace

int ClipEnemyCollisionFrame(const Enemy& e, bool inMove) {
  const EnemyType& t = *e.type;
  int column = t.baseColumn + 2 * e.dir;
  if (inMove && t.spriteOffset == 0) column = 2 * e.dir;
  int sheet = Spr::EnemySheets + t.spriteOffset;
  SetSpriteClip(sheet, column * t.frameWidth, 2 * t.frameHeight, t.frameWidth, t.frameHeight);
  return sheet;
}

void DeleteCurrentEnemy() {
  Enemy* e = Enemies.Current();
  if (!e) return;
  // The design also clears the line when the boss is dead; a deleted boss always does,
  // so no boss line (and no closed exit) outlives its enemy.
  if (BossShown == 1 && Boss && Boss->health < 0) BossShown = 0;
  if (Boss == e) {
    Boss = nullptr;
    BossShown = 0;
  }
  Enemies.Delete();
}

void KillCurrentEnemy() {
  Enemy& e = *Enemies.Current();
  if (e.type->nextType >= 0) {
    // An index past the end selects the last type.
    EnemyTypes.Select(e.type->nextType);
    e.type = EnemyTypes.Current();
    e.health = int16_t(e.type->hitPoints);
    P().score = int16_t(P().score + e.type->points);
    return;
  }
  P().score = int16_t(P().score + e.type->points);
  DeleteCurrentEnemy();
}

void MoveEnemies() {
  if (Enemies.Empty()) return;
  CollectWalls();
  for (Enemy& e : Enemies) {
    if (!e.type) continue;
    switch (e.type->moveKind) {
      case 0: MoveWalker(e); break;
      case 1: MoveVerticalFlyer(e); break;
      case 3: MoveHorizontalFlyer(e); break;
      default: break;  // other kinds stand still
    }
  }
}

void UpdateEnemyCombat() {
  Enemies.Reset();
  while (Enemies.Next()) {
    if (!Enemies.Current()->type) continue;
    if (!FightCurrentEnemy()) break;
  }
}

}  // namespace kw
