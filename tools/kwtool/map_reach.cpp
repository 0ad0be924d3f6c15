// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Where the figure can go on a map, for `kwtool map check`.
//
// The model: a position is the figure's box (the touch mask's 42 x 58 pixels) standing
// with its feet on a cell's top edge, or hanging on a ladder, in one of the 30-pixel
// column slots of the map; eight layers tell whether a key and the block-breaking sheet
// are held and whether the figure is in its small form (22 x 29, jump speed -10,
// walking up to 9), which crawls through one-cell gaps. From a position the search runs short flights tick by tick with the game's
// own numbers (gravity 0.4 a tick, jump speed -8, walking up to 7 pixels a tick with
// 0.7 a tick of push): standing jumps, running jumps, jumps that wait before pushing
// sideways, and walks that step off an edge. A flight ends where the figure stands again
// or catches a ladder; the cell grid decides what blocks (front 1 and a tile above 1,
// ladders and moving cells aside; locked doors only without a key, breakable blocks
// only without the sheet). Moving cells carry the figure anywhere along their path, so
// every cell they sweep is ground to land on. Ladders move the figure a cell up or down
// while its box still touches a ladder. Portals and teleports of the script join far
// places. Every flight has a tick limit and the whole search a work limit, so the time
// and memory stay proportional to the map's size.
#include "map_reach.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace kwtool {

namespace {

constexpr int CellSize = 30;
constexpr int Layers = 8;             // bit 0: key held, bit 1: block-breaking sheet, bit 2: small form
constexpr int KeyBit = 1, SheetBit = 2, SmallBit = 4;
constexpr int FlightTicks = 240;      // a longer flight ends unresolved
constexpr double FallLimit = 29;      // fastest fall a tick: keeps a fall from skipping a cell
constexpr int64_t WorkLimit = 30000000;  // simulated ticks for the whole search

constexpr int LockedDoorTile = 19, KeyTile = 20, SheetTile = 48, GoldAxeTile = 61, FireAxeTile = 79;
constexpr int KeyPickup = 4;

enum CellClass : uint8_t { Air, Solid, Ladder, Door, Breakable };

// A way of steering during a flight: push toward dir up to cap, from the first tick or
// after delay ticks of standing still in the air; running flights start at full speed.
struct Steering {
  int dir;
  double cap;
  bool running;
  int delay;
};

struct Grid {
  int cols = 0, rows = 0;
  std::vector<uint8_t> cls;       // CellClass per cell, row-major
  std::vector<uint8_t> platform;  // 1 where a moving cell passes
  std::vector<uint8_t> keyItem, sheetItem;
};

struct Outcome {
  int col, feetRow, layer;
  double x;
};

struct Search {
  const ReachInput& in;
  Grid grid;
  ReachResult result;
  std::vector<uint8_t> seen;     // per node and layer
  std::vector<int32_t> arrivalX; // per node and layer: the x the figure came with
  std::deque<int> queue;
  int64_t work = 0;
  explicit Search(const ReachInput& input) : in(input) {}
};

// Division rounding down, for pixels left of or above the map.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Row-major index of a cell.
size_t CellIndex(const Grid& g, int col, int row) { return size_t(row) * size_t(g.cols) + size_t(col); }

// Whether a cell lies in the grid.
bool Inside(const Grid& g, int col, int row) { return col >= 0 && row >= 0 && col < g.cols && row < g.rows; }

// Outside the grid is wall: the physics keeps the figure inside the map.
bool Blocks(const Grid& g, int col, int row, int layer) {
  if (!Inside(g, col, row)) return true;
  switch (g.cls[CellIndex(g, col, row)]) {
    case Solid: return true;
    case Door: return (layer & KeyBit) == 0;
    case Breakable: return (layer & SheetBit) == 0;
    default: return false;
  }
}

// A ladder the physics takes part in collisions with.
bool IsLadderCell(const Grid& g, int col, int row) {
  return Inside(g, col, row) && g.cls[CellIndex(g, col, row)] == Ladder;
}

// A cell some moving cell passes through.
bool IsPlatformCell(const Grid& g, int col, int row) {
  return Inside(g, col, row) && g.platform[CellIndex(g, col, row)] != 0;
}

// The figure's box in cells.
struct Box {
  int fromCol, toCol, fromRow, toRow;
};

// The movement numbers of the form a layer stands for.
const Movement& Form(int layer) { return FigureMovement((layer & SmallBit) != 0); }

// The cells the figure's box covers, grown by grow pixels on every side.
Box BoxAt(double x, double top, int layer, int grow = 0) {
  const Movement& m = Form(layer);
  int px = int(std::floor(x)) + m.figureDX, py = int(std::floor(top));
  return {FloorDiv(px - grow, CellSize), FloorDiv(px + m.figureW - 1 + grow, CellSize),
          FloorDiv(py - grow, CellSize), FloorDiv(py + m.figureH - 1 + grow, CellSize)};
}

// Whether anything blocks the figure's box at x, top.
bool BoxBlocked(const Grid& g, double x, double top, int layer) {
  Box b = BoxAt(x, top, layer);
  for (int c = b.fromCol; c <= b.toCol; ++c)
    for (int r = b.fromRow; r <= b.toRow; ++r)
      if (Blocks(g, c, r, layer)) return true;
  return false;
}

// Whether the figure's box touches a ladder.
bool BoxOnLadder(const Grid& g, double x, double top, int layer) {
  Box b = BoxAt(x, top, layer);
  for (int c = b.fromCol; c <= b.toCol; ++c)
    for (int r = b.fromRow; r <= b.toRow; ++r)
      if (IsLadderCell(g, c, r)) return true;
  return false;
}

// Something to stand on right under feet at pixel row feet (a cell's top edge).
bool GroundUnder(const Grid& g, double x, int feet, int layer, bool laddersToo) {
  if (feet % CellSize != 0) return false;
  Box b = BoxAt(x, 0, layer);
  int row = feet / CellSize;
  for (int c = b.fromCol; c <= b.toCol; ++c)
    if (Blocks(g, c, row, layer) || IsPlatformCell(g, c, row) || (laddersToo && IsLadderCell(g, c, row)))
      return true;
  return false;
}

// The box top of a figure whose feet are at pixel row feet.
double Top(int feet, int layer) { return double(feet - Form(layer).figureH); }

// The figure can stay at x with its feet at feet: free, and standing or hanging.
bool Held(const Grid& g, double x, int feet, int layer) {
  if (BoxBlocked(g, x, Top(feet, layer), layer)) return false;
  return GroundUnder(g, x, feet, layer, true) || BoxOnLadder(g, x, Top(feet, layer), layer);
}

// Index of a position (column slot, feet row, layer) in the search.
size_t NodeIndex(const Grid& g, int col, int feetRow, int layer) {
  return (size_t(feetRow) * size_t(g.cols) + size_t(col)) * Layers + size_t(layer);
}

// What the figure touches at a place: exit, items, doors; the layer it has after.
int Touch(Search& s, double x, double top, int layer) {
  const Grid& g = s.grid;
  Box b = BoxAt(x, top, layer, 1);
  for (int c = std::max(0, b.fromCol); c <= std::min(g.cols - 1, b.toCol); ++c)
    for (int r = std::max(0, b.fromRow); r <= std::min(g.rows - 1, b.toRow); ++r) {
      size_t i = CellIndex(g, c, r);
      s.result.visited[i] = 1;
      if (c == s.in.exitCol && r == s.in.exitRow) s.result.exitReached = true;
      if (g.keyItem[i]) layer |= KeyBit;
      if (g.sheetItem[i]) layer |= SheetBit;
      if (g.cls[i] == Door && !(layer & KeyBit)) s.result.doorTouchedNoKey[i] = 1;
    }
  if (layer & KeyBit) s.result.keyReached = true;
  return layer;
}

// Queues a position the first time the search meets it.
void Enqueue(Search& s, const Outcome& o) {
  const Grid& g = s.grid;
  if (o.col < 0 || o.col >= g.cols || o.feetRow < 0 || o.feetRow > g.rows) return;
  size_t n = NodeIndex(g, o.col, o.feetRow, o.layer);
  if (s.seen[n]) return;
  s.seen[n] = 1;
  s.arrivalX[n] = int32_t(std::floor(o.x));
  s.queue.push_back(int(n));
  ++s.result.positions;
}

// A ladder caught in flight: the nearest whole-cell height where the figure hangs.
bool CatchLadder(const Grid& g, double x, double top, int layer, Outcome& out) {
  int feetRow = int(std::lround((top + Form(layer).figureH) / CellSize));
  for (int r : {feetRow, feetRow - 1, feetRow + 1})
    if (r >= 0 && Held(g, x, r * CellSize, layer)) {
      out = {FloorDiv(int(std::floor(x)), CellSize), r, layer, x};
      return true;
    }
  return false;
}

// The vertical part of a tick: fall or rise by vy, landing on the first cell top met.
// Returns true when the figure landed.
bool MoveVertically(const Grid& g, double x, double& top, double& vy, int layer) {
  const int h = Form(layer).figureH;
  double next = top + vy;
  if (vy > 0) {
    int oldFeet = int(std::floor(top)) + h, newFeet = int(std::floor(next)) + h;
    for (int edge = (oldFeet + CellSize - 1) / CellSize * CellSize; edge <= newFeet; edge += CellSize) {
      if (edge == oldFeet && std::floor(top) != top) continue;
      if (GroundUnder(g, x, edge, layer, false) && edge >= oldFeet) {
        top = Top(edge, layer);
        vy = 0;
        return true;
      }
    }
    top = next;
    return false;
  }
  if (BoxBlocked(g, x, next, layer)) {
    vy = 0;  // head against a ceiling: the rise ends where it was
    return false;
  }
  top = next;
  return false;
}

// One flight from a held place; its end, when it has one, goes into the queue.
void Fly(Search& s, double x0, int feet, int layer, double vy0, const Steering& st) {
  const Grid& g = s.grid;
  const Movement& m = Form(layer);
  const double maxX = double(g.cols * CellSize - m.figureW);
  double x = x0, top = Top(feet, layer), vy = vy0;
  double vx = st.running ? st.dir * st.cap : 0;
  bool airborne = vy0 < 0;
  for (int tick = 0; tick < FlightTicks; ++tick) {
    if (++s.work > WorkLimit) {
      s.result.stoppedEarly = true;
      return;
    }
    if (tick >= st.delay && st.dir != 0) vx = std::clamp(vx + st.dir * m.accel, -st.cap, st.cap);
    // Standing or hanging on a walk: no fall.
    int feetNow = int(std::floor(top)) + m.figureH;
    bool standing = !airborne && std::floor(top) == top && Held(g, x, feetNow, layer);
    if (!standing) {
      airborne = true;
      vy = std::min(vy + m.gravity, FallLimit);
      if (MoveVertically(g, x, top, vy, layer)) {
        layer = Touch(s, x, top, layer);
        Enqueue(s, {FloorDiv(int(std::floor(x)), CellSize), int(std::floor(top) + m.figureH) / CellSize, layer, x});
        return;
      }
    }
    double nx = std::clamp(x + vx, 0.0, maxX);
    if (BoxBlocked(g, nx, top, layer))
      vx = 0;
    else
      x = nx;
    layer = Touch(s, x, top, layer);
    if (airborne && tick > 0 && BoxOnLadder(g, x, top, layer)) {
      Outcome o;
      if (CatchLadder(g, x, top, layer, o)) {
        Enqueue(s, o);
        return;
      }
    }
    if (!airborne && std::fabs(x - x0) >= CellSize) {
      Enqueue(s, {FloorDiv(int(std::floor(x)), CellSize), feet / CellSize, layer, x});
      return;
    }
    if (!airborne && vx == 0 && tick > st.delay) return;  // walked into a wall
  }
}

// Full and half pushes either way, from a run or from rest, at once or after a wait.
std::vector<Steering> MakeSteering(const Movement& m) {
  std::vector<Steering> list{{0, 0, false, 0}};
  for (int dir : {-1, 1})
    for (double cap : {double(m.topSpeed), m.topSpeed / 2.0}) {
      list.push_back({dir, cap, true, 0});
      list.push_back({dir, cap, false, 0});
      list.push_back({dir, cap, false, 10});
      list.push_back({dir, cap, false, 19});
    }
  return list;
}

// The steering choices of a layer's form.
const std::vector<Steering>& SteeringChoices(int layer) {
  static const std::vector<Steering> normal = MakeSteering(FigureMovement(false));
  static const std::vector<Steering> small = MakeSteering(FigureMovement(true));
  return (layer & SmallBit) ? small : normal;
}

// A drop from a free place (the start, a portal's target) to where the figure stands.
void Drop(Search& s, double x, double top, int layer) {
  const Movement& m = Form(layer);
  if (BoxBlocked(s.grid, x, top, layer)) return;
  int feet = int(std::floor(top)) + m.figureH;
  if (std::floor(top) == top && Held(s.grid, x, feet, layer)) {
    Enqueue(s, {FloorDiv(int(std::floor(x)), CellSize), feet / CellSize, Touch(s, x, top, layer), x});
    return;
  }
  // Fall straight down, starting from rest.
  double vy = 0, t = top;
  for (int tick = 0; tick < FlightTicks * 4; ++tick) {
    vy = std::min(vy + m.gravity, FallLimit);
    layer = Touch(s, x, t, layer);
    if (MoveVertically(s.grid, x, t, vy, layer) ||
        (BoxOnLadder(s.grid, x, t, layer) && Held(s.grid, x, int(std::lround(t)) + m.figureH, layer))) {
      int f = int(std::lround(t)) + m.figureH;
      Enqueue(s, {FloorDiv(int(std::floor(x)), CellSize), f / CellSize, Touch(s, x, t, layer), x});
      return;
    }
  }
}

// Whether the figure at x standing on feet touches the jump's entry.
bool JumpApplies(const Search& s, const ReachJump& j, double x, int feet, int layer) {
  if (j.fromCol < 0 && j.fromTag == 0) return true;
  const Grid& g = s.grid;
  Box b = BoxAt(x, Top(feet, layer), layer, 1);
  for (int c = std::max(0, b.fromCol); c <= std::min(g.cols - 1, b.toCol); ++c)
    for (int r = std::max(0, b.fromRow); r <= std::min(g.rows - 1, b.toRow); ++r) {
      if (c == j.fromCol && r == j.fromRow) return true;
      if (j.fromTag != 0 && !s.in.tags.empty() && s.in.tags[CellIndex(g, c, r)] == j.fromTag) return true;
    }
  return false;
}

// All moves from one position.
void Expand(Search& s, int node) {
  const Grid& g = s.grid;
  int layer = node % Layers;
  const Movement& m = Form(layer);
  int cell = node / Layers;
  int col = cell % g.cols, feetRow = cell / g.cols, feet = feetRow * CellSize;
  std::vector<double> xs{double(s.arrivalX[size_t(node)])};
  for (int off : {0, 15, 29}) xs.push_back(double(col * CellSize + off));
  for (double x : xs) {
    if (x < 0 || x > g.cols * CellSize - m.figureW || !Held(g, x, feet, layer)) continue;
    int now = Touch(s, x, Top(feet, layer), layer);
    if (now != layer) Enqueue(s, {col, feetRow, now, x});
    // Shrinking is always allowed, growing only where the normal form fits.
    Enqueue(s, {col, feetRow, layer ^ SmallBit, x});
    for (const ReachJump& j : s.in.jumps)
      if (JumpApplies(s, j, x, feet, layer)) Drop(s, j.toX, j.toTop, layer);
    bool onLadder = BoxOnLadder(g, x, Top(feet, layer), layer);
    bool onGround = GroundUnder(g, x, feet, layer, false);
    for (const Steering& st : SteeringChoices(layer)) {
      if (st.delay == 0) Fly(s, x, feet, layer, 0, st);
      if (onGround && !onLadder) Fly(s, x, feet, layer, m.jumpSpeed, st);
    }
    // Climbing: up while the box touches a ladder, down onto or along one.
    if (onLadder && feetRow > 0 && Held(g, x, feet - CellSize, layer) && BoxOnLadder(g, x, Top(feet - CellSize, layer) + 1, layer))
      Enqueue(s, {col, feetRow - 1, layer, x});
    bool ladderBelow = false;
    Box b = BoxAt(x, 0, layer);
    for (int c = b.fromCol; c <= b.toCol; ++c) ladderBelow = ladderBelow || IsLadderCell(g, c, feetRow);
    if ((onLadder || ladderBelow) && Held(g, x, feet + CellSize, layer)) Enqueue(s, {col, feetRow + 1, layer, x});
  }
}

// Classes every cell once, and marks the paths of moving cells.
Grid MakeGrid(const kwmap::MapFile& map) {
  Grid g;
  g.cols = map.width;
  g.rows = map.height;
  size_t n = size_t(g.cols) * size_t(g.rows);
  g.cls.assign(n, Air);
  g.platform.assign(n, 0);
  g.keyItem.assign(n, 0);
  g.sheetItem.assign(n, 0);
  for (int r = 0; r < g.rows; ++r)
    for (int c = 0; c < g.cols; ++c) {
      size_t i = CellIndex(g, c, r);
      int tile = map.At(kwmap::Tile, c, r), front = map.At(kwmap::Front, c, r) & 0xff;
      int vr = map.At(kwmap::VRange, c, r), hr = map.At(kwmap::HRange, c, r);
      g.keyItem[i] = tile == KeyTile || map.At(kwmap::Pickup, c, r) == KeyPickup;
      g.sheetItem[i] = tile == SheetTile;
      if (front != 1 || tile <= 1) continue;
      if (vr != 0 || hr != 0) {
        // The cell moves toward its stored range's sign and back: the game keeps the value
        // negated but turns the cell round at its first step, from offset 0.
        int64_t dy = vr, dx = hr;
        int rowSteps = int(std::min<int64_t>(std::llabs(dy) / CellSize + 1, g.rows));
        int colSteps = int(std::min<int64_t>(std::llabs(dx) / CellSize + 1, g.cols));
        for (int k = 0; k <= rowSteps; ++k)
          for (int j = 0; j <= colSteps; ++j) {
            int rr = r + (dy < 0 ? -k : k), cc = c + (dx < 0 ? -j : j);
            if (Inside(g, cc, rr)) g.platform[CellIndex(g, cc, rr)] = 1;
          }
      } else if (IsLadderTile(tile)) {
        g.cls[i] = Ladder;
      } else if (tile == LockedDoorTile) {
        g.cls[i] = Door;
      } else if (IsBreakableTile(tile)) {
        g.cls[i] = Breakable;
      } else {
        g.cls[i] = Solid;
      }
    }
  return g;
}

}  // namespace

const Movement& FigureMovement(bool small) {
  // Gravity of the physics step; jump speed, walking limit and push of the player
  // control; the opaque part of the touch picture (the touch mask's 42 x 58 frame, or
  // the small form's figure of 22 x 29 pixels, 4 pixels in from the frame's left).
  static const Movement normal{0.4f, -8.0f, 7.0f, 0.7f, 0, 42, 58};
  static const Movement smallForm{0.4f, -10.0f, 9.0f, 0.9f, 4, 22, 29};
  return small ? smallForm : normal;
}

int JumpRise() {
  const Movement& m = FigureMovement();
  double vy = m.jumpSpeed, y = 0, highest = 0;
  for (int tick = 0; tick < FlightTicks && (tick == 0 || vy < 0); ++tick) {
    vy += m.gravity;
    y += vy;
    highest = std::min(highest, y);
  }
  return int(std::lround(-highest));  // float steps leave a trace below a whole pixel
}

int JumpTravel() {
  const Movement& m = FigureMovement();
  double vy = m.jumpSpeed, y = 0, x = 0;
  for (int tick = 0; tick < FlightTicks; ++tick) {
    vy += m.gravity;
    y += vy;
    x += m.topSpeed;
    if (y >= -1e-3) break;  // back at the start height, float steps aside
  }
  return int(std::floor(x));
}

// Tile classes of the physics.
bool IsLadderTile(int tile) { return tile == 26 || tile == 29 || tile == 55 || tile == 80; }
bool IsBreakableTile(int tile) {
  return tile == 2 || tile == 5 || tile == 6 || tile == 7 || tile == 9 || tile == 10;
}
bool IsTouchItemTile(int tile) {
  return tile == KeyTile || tile == SheetTile || tile == GoldAxeTile || tile == FireAxeTile;
}

// Breadth-first over positions from the start until nothing new is found.
ReachResult SearchReach(const ReachInput& input) {
  Search s(input);
  s.grid = MakeGrid(*input.map);
  const Grid& g = s.grid;
  size_t cells = size_t(g.cols) * size_t(g.rows);
  s.result.visited.assign(cells, 0);
  s.result.doorTouchedNoKey.assign(cells, 0);
  if (cells == 0) return s.result;
  size_t nodes = size_t(g.cols) * size_t(g.rows + 1) * Layers;
  s.seen.assign(nodes, 0);
  s.arrivalX.assign(nodes, 0);
  Drop(s, input.startX, input.startTop, 0);
  while (!s.queue.empty() && !s.result.stoppedEarly) {
    int node = s.queue.front();
    s.queue.pop_front();
    Expand(s, node);
  }
  return s.result;
}

}  // namespace kwtool
