// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Where the figure can go on a map, for `kwtool map check`.
//
// The model: a position is the figure standing with its feet on a cell's top edge, or
// hanging on a ladder, in one of the cell-wide column slots of the map. For what blocks it
// the figure is its frame (play/measures.h: FigureFrameW x FigureFrameH, the small form a
// SmallFormFrame square); for what carries it and what it touches (ground, ladders, the
// exit, items) it is the middle column of that frame. Its pictures are drawn in the middle
// of their frames and are narrower than them, so the search lets it neither through a gap
// nor onto an edge where the game would not. Eight layers tell whether a key and the
// block-breaking sheet are held and whether the figure is in its small form, which crawls
// through one-cell gaps; a position also tells whether the figure stands still or runs on
// at its full speed, left or right, since the game keeps its speed.
//
// From a position the search runs short flights tick by tick with the game's numbers
// (play/measures.h: Gravity, each form's jump speed, push and top speed) and the control's rules: a
// held key pushes until the top speed is passed, no key slows the figure by a push (in the
// air too), a jump starts only from the ground. It tries standing jumps, running jumps,
// jumps that wait before pushing sideways, walks that step off an edge, and from a run:
// running on, jumping on, stopping. A running start from standing needs ground behind it
// for the run-up. As in the physics a fall lands when the box's lowest pixel row would
// reach into a cell, and a wall sends the figure back at half its speed. A flight ends
// where the figure stands, runs on at full speed (a slower landing slides to a stop first)
// or catches a ladder. The cell grid decides what blocks (cells the physics collides with,
// ladders and moving cells aside; locked doors only without a key, breakable blocks only
// without the sheet). Moving cells carry the figure anywhere along their path, so every
// cell they sweep is ground to land on. Ladders move the figure a cell up or down while
// it still touches one; the form changes only standing still. Portals and teleports of
// the script join far places. Every flight has a tick limit and the whole search a work
// limit, so the time and memory stay proportional to the map's size.
#include "map_reach.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "cell_rules.h"
#include "media/textutil.h"
#include "play/play.h"

namespace kwtool {

namespace {

using maplogic::IsBreakableTile;
using maplogic::IsLadderTile;

using kw::CellSize;
constexpr int Layers = 8;             // bit 0: key held, bit 1: block-breaking sheet, bit 2: small form
constexpr int KeyBit = 1, SheetBit = 2, SmallBit = 4;
enum Motion { Still, RunLeft, RunRight, Motions };
constexpr uint8_t Unseen = 0xFF;      // a node's arrival before the search met it
constexpr int FlightTicks = 240;      // a longer flight ends unresolved
constexpr int64_t WorkLimit = 30000000;  // simulated ticks for the whole search

enum CellClass : uint8_t { Air, Solid, Ladder, Door, Breakable };

// A way of steering during a flight: push toward dir up to cap, from the first tick or
// after delay ticks of standing still in the air; running flights start at that speed,
// which the ground behind the start must have room to build up.
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
  Motion motion = Still;
};

struct Search {
  const ReachInput& in;
  Grid grid;
  ReachResult result;
  // Per node (column slot, feet row, layer, motion): where in its column the figure came,
  // 0 .. CellSize - 1, or Unseen.
  std::vector<uint8_t> arrival;
  std::deque<int32_t> queue;
  int64_t work = 0;
  // The way (with recordWay): per node the node it was reached from and the move.
  std::vector<int32_t> parent;
  std::vector<ReachMove> via;
  int current = -1;              // the node being expanded; -1 before the start is placed
  ReachMove move;                // the move under way
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
  int px = int(std::floor(x)), py = int(std::floor(top));
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

// The column of the middle of the figure's box: the figure's pictures are drawn in the
// middle of their frames, so the middle is always part of the figure.
int MiddleCol(double x, int layer) {
  const Movement& m = Form(layer);
  return FloorDiv(int(std::floor(x)) + m.figureW / 2, CellSize);
}

// Whether the middle of the figure's box touches a ladder.
bool BoxOnLadder(const Grid& g, double x, double top, int layer) {
  Box b = BoxAt(x, top, layer);
  for (int r = b.fromRow; r <= b.toRow; ++r)
    if (IsLadderCell(g, MiddleCol(x, layer), r)) return true;
  return false;
}

// Something to stand on right under the middle of the feet at pixel row feet (a cell's
// top edge).
bool GroundUnder(const Grid& g, double x, int feet, int layer, bool laddersToo) {
  if (feet % CellSize != 0) return false;
  int c = MiddleCol(x, layer), row = feet / CellSize;
  return Blocks(g, c, row, layer) || IsPlatformCell(g, c, row) || (laddersToo && IsLadderCell(g, c, row));
}

// The box top of a figure whose feet are at pixel row feet.
double Top(int feet, int layer) { return double(feet - Form(layer).figureH); }

// The figure can stay at x with its feet at feet: free, and standing or hanging.
bool Held(const Grid& g, double x, int feet, int layer) {
  if (BoxBlocked(g, x, Top(feet, layer), layer)) return false;
  return GroundUnder(g, x, feet, layer, true) || BoxOnLadder(g, x, Top(feet, layer), layer);
}

// Index of a position (column slot, feet row, layer, motion) in the search.
size_t NodeIndex(const Grid& g, int col, int feetRow, int layer, Motion motion) {
  return ((size_t(feetRow) * size_t(g.cols) + size_t(col)) * Layers + size_t(layer)) * Motions + size_t(motion);
}

// The motion of a figure moving at vx: running on at the form's full speed, or still.
Motion MotionOf(double vx, int layer) {
  if (std::fabs(vx) < Form(layer).runSpeed - 1e-3) return Still;
  return vx < 0 ? RunLeft : RunRight;
}

// The moves that led to the node being expanded and the move under way, which ended at
// x, top: the way to the exit.
void RecordWay(Search& s, double x, double top, int layer) {
  std::vector<ReachMove>& way = s.result.way;
  for (int n = s.current; n >= 0; n = s.parent[size_t(n)]) way.push_back(s.via[size_t(n)]);
  std::reverse(way.begin(), way.end());
  ReachMove last = s.move;
  last.toX = x;
  last.toCol = FloorDiv(int(std::floor(x)), CellSize);
  last.toFeetRow = FloorDiv(int(std::floor(top)) + Form(layer).figureH, CellSize);
  way.push_back(last);
}

// What the figure touches at a place: the exit and items with the middle of its box,
// doors with the box; the layer it has after.
int Touch(Search& s, double x, double top, int layer) {
  const Grid& g = s.grid;
  Box b = BoxAt(x, top, layer, 1), own = BoxAt(x, top, layer);
  const int middle = MiddleCol(x, layer);
  for (int c = std::max(0, b.fromCol); c <= std::min(g.cols - 1, b.toCol); ++c)
    for (int r = std::max(0, b.fromRow); r <= std::min(g.rows - 1, b.toRow); ++r) {
      size_t i = CellIndex(g, c, r);
      s.result.visited[i] = 1;
      if (g.cls[i] == Door && !(layer & KeyBit)) s.result.doorTouchedNoKey[i] = 1;
      if (c != middle || r < own.fromRow || r > own.toRow) continue;
      if (c == s.in.exitCol && r == s.in.exitRow && !s.result.exitReached) {
        s.result.exitReached = true;
        if (s.in.recordWay) RecordWay(s, x, top, layer);
      }
      if (g.keyItem[i]) layer |= KeyBit;
      if (g.sheetItem[i]) layer |= SheetBit;
    }
  if (layer & KeyBit) s.result.keyReached = true;
  return layer;
}

// Queues a position the first time the search meets it.
void Enqueue(Search& s, const Outcome& o) {
  const Grid& g = s.grid;
  if (o.col < 0 || o.col >= g.cols || o.feetRow < 0 || o.feetRow > g.rows) return;
  size_t n = NodeIndex(g, o.col, o.feetRow, o.layer, o.motion);
  if (s.arrival[n] != Unseen) return;
  s.arrival[n] = uint8_t(std::clamp(int(std::floor(o.x)) - o.col * CellSize, 0, CellSize - 1));
  if (s.in.recordWay) {
    s.parent[n] = s.current;
    ReachMove& how = s.via[n];
    how = s.move;
    how.toCol = o.col;
    how.toFeetRow = o.feetRow;
    how.toX = o.x;
  }
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

// The vertical part of a tick: fall or rise by vy. As in the game, a fall lands when the
// box (at the figure's y rounded to the nearest pixel) reaches into a cell below with its
// lowest pixel rows; the figure then stands on that cell's top edge. (A fall so fast that
// the box passes a cell whole goes through it, in the game too.) Returns true when the
// figure landed.
bool MoveVertically(const Grid& g, double x, double& top, double& vy, int layer) {
  const int h = Form(layer).figureH;
  double next = top + vy;
  if (vy > 0) {
    int oldLow = kw::Nearest(top) + h - 1, newTop = kw::Nearest(next), newLow = newTop + h - 1;
    for (int edge = FloorDiv(oldLow, CellSize) * CellSize + CellSize; edge <= newLow; edge += CellSize)
      if (edge + CellSize > newTop && GroundUnder(g, x, edge, layer, false)) {
        top = Top(edge, layer);
        vy = 0;
        return true;
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

// One tick of the walking control steered toward st.dir: a held key pushes while the
// speed is below the cap (at the form's full speed the control itself stops pushing, a
// lower cap the player keeps by letting go above it); without a push the control slows
// the figure by a push.
double Steer(double vx, const Steering& st, const Movement& m, bool pushing) {
  if (pushing && st.dir != 0) {
    if (st.cap >= m.runSpeed - 1e-3) return std::clamp(vx + st.dir * m.accel, -st.cap, st.cap);
    if (st.dir * vx < st.cap) return vx + st.dir * m.accel;
  }
  return vx > 0 ? std::max(0.0, vx - m.accel) : std::min(0.0, vx + m.accel);
}

// The run-up from standing to st's cap: how far the figure moves, and its speed then.
void RunUp(const Movement& m, const Steering& st, double& distance, double& speed) {
  distance = 0, speed = 0;
  for (int tick = 0; tick < FlightTicks && st.dir * speed < st.cap; ++tick) {
    speed = Steer(speed, st, m, true);
    distance += std::fabs(speed);
  }
}

// A running start needs ground to build its speed on: the stretch behind x0 that the
// figure covers while the control's pushes take it from rest to the cap.
bool RoomToRunUp(const Grid& g, double x0, int feet, int layer, const Steering& st) {
  const Movement& m = Form(layer);
  const double maxX = double(g.cols * CellSize - m.figureW);
  double runUp = 0, speed = 0;
  RunUp(m, st, runUp, speed);
  for (double back = 0;; back = std::min(back + CellSize / 3.0, runUp)) {
    double x = x0 - st.dir * back;
    if (x < 0 || x > maxX || BoxBlocked(g, x, Top(feet, layer), layer) || !GroundUnder(g, x, feet, layer, false))
      return false;
    if (back >= runUp) return true;
  }
}

// One flight from a held place, starting at vx0 pixels a tick sideways; its end, when
// it has one, goes into the queue.
void Fly(Search& s, double x0, int feet, int layer, double vy0, const Steering& st, double vx0) {
  const Grid& g = s.grid;
  const Movement& m = Form(layer);
  const double maxX = double(g.cols * CellSize - m.figureW);
  double x = x0, top = Top(feet, layer), vy = vy0, vx = vx0;
  if (st.running && vx0 == 0) {
    if (!RoomToRunUp(g, x0, feet, layer, st)) return;
    double runUp = 0;
    RunUp(m, st, runUp, vx);
  }
  // Without a push a figure that moves slides on until it stands still.
  bool airborne = vy0 < 0, braking = st.dir == 0 && vx != 0;
  for (int tick = 0; tick < FlightTicks; ++tick) {
    if (++s.work > WorkLimit) {
      s.result.stoppedEarly = true;
      return;
    }
    vx = Steer(vx, st, m, !braking && tick >= st.delay);
    // Standing or hanging on a walk: no fall.
    int feetNow = int(std::floor(top)) + m.figureH;
    bool standing = !airborne && std::floor(top) == top && Held(g, x, feetNow, layer);
    bool landed = false;
    if (!standing) {
      airborne = true;
      vy += m.gravity;
      landed = MoveVertically(g, x, top, vy, layer);
    }
    // A wall sends the figure back at half its speed, as the physics does.
    double nx = std::clamp(x + vx, 0.0, maxX);
    if (BoxBlocked(g, nx, top, layer))
      vx = -vx / 2;
    else
      x = nx;
    layer = Touch(s, x, top, layer);
    int col = FloorDiv(int(std::floor(x)), CellSize), feetRow = FloorDiv(int(std::floor(top)) + m.figureH, CellSize);
    if (landed) {
      airborne = false;
      Motion motion = MotionOf(vx, layer);
      if (vx == 0 || motion != Still) {
        Enqueue(s, {col, feetRow, layer, x, motion});
        return;
      }
      braking = true;  // slides on to a stop, or off an edge
      continue;
    }
    if (airborne && tick > 0 && BoxOnLadder(g, x, top, layer)) {
      Outcome o;
      if (CatchLadder(g, x, top, layer, o)) {
        Enqueue(s, o);
        return;
      }
    }
    if (airborne) continue;
    if (braking) {
      if (vx == 0) {
        Enqueue(s, {col, feetRow, layer, x, Still});
        return;
      }
    } else if (std::fabs(x - x0) >= CellSize) {
      // A walk of a cell: running on at full speed; from standing, stopped there (the key
      // let go in time); from a run, sliding on to a stop.
      Motion motion = MotionOf(vx, layer);
      if (motion == Still && vx != 0 && (st.running || vx0 != 0)) {
        braking = true;
        continue;
      }
      Enqueue(s, {col, feetRow, layer, x, motion});
      return;
    } else if (tick > st.delay && (vx == 0 || (st.dir != 0 && vx * st.dir < 0))) {
      return;  // walked into a wall
    }
  }
}

// Full and half pushes either way, from a run or from rest, at once or after a wait.
std::vector<Steering> MakeSteering(const Movement& m) {
  std::vector<Steering> list{{0, 0, false, 0}};
  for (int dir : {-1, 1})
    for (double cap : {double(m.runSpeed), m.runSpeed / 2.0}) {
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
    vy += m.gravity;
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

// Sets the move under way: kind from (x, feetRow) in the form of layer.
void Begin(Search& s, ReachMove::Kind kind, double x, int feetRow, int layer, int dir = 0,
           const Steering* st = nullptr) {
  ReachMove& m = s.move;
  m = ReachMove();
  m.kind = kind;
  m.small = (layer & SmallBit) != 0;
  m.x = x;
  m.feetRow = feetRow;
  m.dir = dir;
  if (st) {
    m.dir = st->dir;
    m.cap = st->cap;
    m.running = st->running;
    m.delay = st->delay;
  }
}

// The moves of a figure running on at full speed from x: on along the ground, a jump
// pushing on or letting go, and a stop (the key let go).
void ExpandRun(Search& s, double x, int feetRow, int layer, int dir, bool onGround) {
  const Movement& m = Form(layer);
  const int feet = feetRow * CellSize;
  const double vx = dir * double(m.runSpeed);
  const Steering on{dir, double(m.runSpeed), true, 0}, off{0, 0, false, 0};
  Begin(s, ReachMove::Walk, x, feetRow, layer, 0, &on);
  Fly(s, x, feet, layer, 0, on, vx);
  Begin(s, ReachMove::Walk, x, feetRow, layer, 0, &off);
  Fly(s, x, feet, layer, 0, off, vx);
  if (!onGround) return;
  Begin(s, ReachMove::Jump, x, feetRow, layer, 0, &on);
  Fly(s, x, feet, layer, m.jumpSpeed, on, vx);
  Begin(s, ReachMove::Jump, x, feetRow, layer, 0, &off);
  Fly(s, x, feet, layer, m.jumpSpeed, off, vx);
}

// All moves from one position.
void Expand(Search& s, int node) {
  const Grid& g = s.grid;
  s.current = node;
  const Motion motion = Motion(node % Motions);
  const int layer = node / Motions % Layers;
  const Movement& m = Form(layer);
  const int cell = node / Motions / Layers;
  const int col = cell % g.cols, feetRow = cell / g.cols, feet = feetRow * CellSize;
  // Standing still the figure may stand anywhere in its column; running, where it is.
  std::vector<double> xs{double(col * CellSize + s.arrival[size_t(node)])};
  if (motion == Still)
    for (int off : {0, 15, 29}) xs.push_back(double(col * CellSize + off));
  for (double x : xs) {
    if (x < 0 || x > g.cols * CellSize - m.figureW || !Held(g, x, feet, layer)) continue;
    Begin(s, ReachMove::Walk, x, feetRow, layer);
    int now = Touch(s, x, Top(feet, layer), layer);
    if (now != layer) Enqueue(s, {col, feetRow, now, x, motion});
    // The form changes standing still (growing drops the figure a few pixels, which a
    // running figure would cover at speed): shrinking is always allowed, growing only
    // where the normal form fits.
    Begin(s, (layer & SmallBit) ? ReachMove::Grow : ReachMove::Shrink, x, feetRow, layer);
    if (motion == Still) Enqueue(s, {col, feetRow, layer ^ SmallBit, x, motion});
    for (const ReachJump& j : s.in.jumps)
      if (JumpApplies(s, j, x, feet, layer)) {
        Begin(s, ReachMove::Teleport, x, feetRow, layer);
        Drop(s, j.toX, j.toTop, layer);
      }
    bool onLadder = BoxOnLadder(g, x, Top(feet, layer), layer);
    bool onGround = GroundUnder(g, x, feet, layer, false);
    if (motion != Still) {
      ExpandRun(s, x, feetRow, layer, motion == RunLeft ? -1 : 1, onGround && !onLadder);
    } else {
      for (const Steering& st : SteeringChoices(layer)) {
        if (st.delay == 0) {
          Begin(s, ReachMove::Walk, x, feetRow, layer, 0, &st);
          Fly(s, x, feet, layer, 0, st, 0);
        }
        if (onGround && !onLadder) {
          Begin(s, ReachMove::Jump, x, feetRow, layer, 0, &st);
          Fly(s, x, feet, layer, m.jumpSpeed, st, 0);
        }
      }
    }
    // Climbing (the climbing keys stop the figure): up while the box touches a ladder,
    // down onto or along one.
    Begin(s, ReachMove::Climb, x, feetRow, layer, -1);
    if (onLadder && feetRow > 0 && Held(g, x, feet - CellSize, layer) && BoxOnLadder(g, x, Top(feet - CellSize, layer) + 1, layer))
      Enqueue(s, {col, feetRow - 1, layer, x});
    bool ladderBelow = false;
    Box b = BoxAt(x, 0, layer);
    for (int c = b.fromCol; c <= b.toCol; ++c) ladderBelow = ladderBelow || IsLadderCell(g, c, feetRow);
    Begin(s, ReachMove::Climb, x, feetRow, layer, 1);
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
      int tile = map.At(kwmap::Tile, c, r);
      int vr = map.At(kwmap::VRange, c, r), hr = map.At(kwmap::HRange, c, r);
      g.keyItem[i] = maplogic::GivesKey(tile, map.At(kwmap::Pickup, c, r));
      g.sheetItem[i] = tile == kw::Tile::AltSheet;
      if (!maplogic::Collides(tile, map.At(kwmap::Front, c, r))) continue;
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
      } else if (tile == kw::Tile::LockedDoor) {
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

namespace {

// The speed a held walking key builds up with a form's limits: the player control pushes
// by accel while the speed is below the top speed (in float, as it does).
float RunSpeed(const kw::FormLimits& limits) {
  float speed = 0;
  for (int push = 0; push < 1000 && speed < limits.topSpeed && limits.accel > 0; ++push) speed += limits.accel;
  return speed;
}

// The movement of a form: the physics' gravity, the control's limits, the frame of the
// form's touch picture.
Movement FormMovement(const kw::FormLimits& limits, int w, int h) {
  return {kw::Gravity, limits.jumpSpeed, RunSpeed(limits), limits.accel, w, h};
}

}  // namespace

const Movement& FigureMovement(bool small) {
  static const Movement normal = FormMovement(kw::NormalFormLimits, kw::FigureFrameW, kw::FigureFrameH);
  static const Movement smallForm = FormMovement(kw::SmallFormLimits, kw::SmallFormFrame, kw::SmallFormFrame);
  return small ? smallForm : normal;
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
  size_t nodes = size_t(g.cols) * size_t(g.rows + 1) * Layers * Motions;
  s.arrival.assign(nodes, Unseen);
  if (input.recordWay) {
    s.parent.assign(nodes, -1);
    s.via.assign(nodes, ReachMove());
  }
  Begin(s, ReachMove::Start, input.startX, 0, 0);
  Drop(s, input.startX, input.startTop, 0);
  while (!s.queue.empty() && !s.result.stoppedEarly) {
    int node = s.queue.front();
    s.queue.pop_front();
    Expand(s, node);
  }
  return s.result;
}

}  // namespace kwtool
