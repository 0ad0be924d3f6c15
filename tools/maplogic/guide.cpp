// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwplay's guide: Dijkstra over the cells of the map from the exit outwards.
#include "guide.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <queue>
#include <utility>

#include "cell_rules.h"
#include "content/content.h"
#include "play/play.h"

namespace kwplay {

namespace {

using namespace kw;

constexpr double NoWay = 1e9;
constexpr double UnclimbableStep = 200;  // flying is no way, but keeps the guide whole
using Node = std::pair<double, std::pair<int, int>>;
using NodeQueue = std::priority_queue<Node, std::vector<Node>, std::greater<Node>>;

bool DoorsShut = false;  // while the shut grid is spread
// Cells a moving cell passes through: ground somewhere along its path (a lift carries
// the figure up a wall no jump climbs), [col][row] like the distance grids.
std::vector<std::vector<bool>> MovingGround;

// A cell the figure can be in: one the physics does not collide with, a ladder, or a door
// (unless shut).
bool Open(const MapCell& c) {
  if (!maplogic::Collides(c.tile, c.front) || maplogic::IsLadderTile(c.tile)) return true;
  return c.tile == Tile::LockedDoor && !DoorsShut;
}

// True when a moving cell passes through (c, r) on its way.
bool MovingCellPasses(int c, int r) {
  return c >= 0 && r >= 0 && size_t(c) < MovingGround.size() && size_t(r) < MovingGround[0].size() &&
         MovingGround[size_t(c)][size_t(r)];
}

// Marks the cells every moving cell sweeps, from its place to the far end of its range.
void MarkMovingGround(size_t w, size_t h) {
  MovingGround.assign(w, std::vector<bool>(h, false));
  for (const CellPos& pos : MovingTiles) {
    const MapCell& cell = Map.At(pos.col, pos.row);
    if (cell.tile <= 1) continue;
    // The loader keeps the stored ranges negated, and the first step (from offset 0)
    // turns the cell round: it moves against the sign of the range it holds.
    int dr = -cell.vRange / kw::CellSize, dc = -cell.hRange / kw::CellSize;
    for (int r = std::min(0, dr); r <= std::max(0, dr); ++r)
      for (int c = std::min(0, dc); c <= std::max(0, dc); ++c) {
        int col = pos.col + c, row = pos.row + r;
        if (col >= 0 && row >= 0 && size_t(col) < w && size_t(row) < h) MovingGround[size_t(col)][size_t(row)] = true;
      }
  }
}

// True when the figure can get into (c, r) from below: a ladder there or just below, or
// ground within a jump (the jump rises under three cells) under it, standing or moving.
bool Reachable(int c, int r) {
  if (maplogic::IsLadderTile(Map.At(c, r).tile) || maplogic::IsLadderTile(Map.At(c, r + 1).tile)) return true;
  for (int below = r + 1; below <= r + 4 && below <= Map.H; ++below)
    if (!Open(Map.At(c, below)) || MovingCellPasses(c, below)) return true;
  return false;
}

// True when the map has a locked door.
bool HasDoor() {
  for (const MapCell& c : Map.cells)
    if (c.tile == Tile::LockedDoor && c.front == 1) return true;
  return false;
}

// True when (c, r) lies in the grid.
bool Inside(const DistanceGrid& dist, int c, int r) {
  return c >= 0 && r >= 0 && size_t(c) < dist.size() && size_t(r) < dist[0].size();
}

// Lowers the distance of (c, r) to d and queues it.
void Relax(DistanceGrid& dist, NodeQueue& q, int c, int r, double d) {
  if (!Inside(dist, c, r) || d >= dist[size_t(c)][size_t(r)]) return;
  dist[size_t(c)][size_t(r)] = d;
  q.push({d, {c, r}});
}

// Spreads the queued distances over open cells; going up costs more than walking so the
// guide prefers routes along the ground and up ladders. A portal is one step from its
// target; the figure touches it from the row above to two rows below its cell.
void Spread(DistanceGrid& dist, NodeQueue& q) {
  while (!q.empty()) {
    auto [d, cell] = q.top();
    q.pop();
    auto [c, r] = cell;
    if (d > dist[size_t(c)][size_t(r)]) continue;
    const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
    for (int i = 0; i < 4; ++i) {
      int nc = c + dc[i], nr = r + dr[i];
      if (!Inside(dist, nc, nr) || !Open(Map.At(nc, nr))) continue;
      // Moving from (nc,nr) to (c,r): upwards when r < nr; high air cannot be climbed.
      double step = dr[i] != 1 ? 1.0 : Reachable(c, r) ? 2.5 : UnclimbableStep;
      Relax(dist, q, nc, nr, d + step);
    }
    for (const Portal& portal : Portals)
      if (std::abs(portal.targetCol - c) <= 1 && std::abs(portal.targetRow - r) <= 1)
        for (int pr = portal.row - 1; pr <= portal.row + 2; ++pr) Relax(dist, q, portal.col, pr, d + 3);
  }
}

// Cells whose pickup is a key or whose tile gives one.
std::vector<std::pair<int, int>> KeyCells() {
  std::vector<std::pair<int, int>> cells;
  for (int c = 0; c <= Map.W; ++c)
    for (int r = 0; r <= Map.H; ++r)
      if (maplogic::GivesKey(Map.At(c, r).tile, Map.At(c, r).pickup)) cells.push_back({c, r});
  return cells;
}

}  // namespace

Guide ComputeGuide() {
  Guide g;
  if (Map.W < 0 || Map.H < 0) return g;
  size_t w = size_t(Map.W) + 1, h = size_t(Map.H) + 1;
  g.exit.assign(w, std::vector<double>(h, NoWay));
  MarkMovingGround(w, h);
  NodeQueue q;
  for (int r : {ExitRow, ExitRow + 1, ExitRow - 1}) Relax(g.exit, q, ExitCol, r, 0);
  Spread(g.exit, q);
  // The guardian of map 3 takes a key; elsewhere a key is for the doors on the way.
  std::vector<std::pair<int, int>> keys = KeyCells();
  g.guardian = CurrentMap == 3;
  if (keys.empty() || (!g.guardian && !HasDoor())) return g;
  if (!g.guardian) {
    DoorsShut = true;
    g.shut.assign(w, std::vector<double>(h, NoWay));
    for (int r : {ExitRow, ExitRow + 1, ExitRow - 1}) Relax(g.shut, q, ExitCol, r, 0);
    Spread(g.shut, q);
    DoorsShut = false;
  }
  g.byKey.assign(w, std::vector<double>(h, NoWay));
  // A key tile is solid: the figure takes it from a cell beside it.
  const int dc[5] = {0, 1, -1, 0, 0}, dr[5] = {0, 0, 0, 1, -1};
  for (auto [c, r] : keys)
    for (int i = 0; i < 5; ++i) {
      double onward = GuideDistance(g, 0, c + dc[i], r + dr[i]) + (i == 0 ? 0 : 1);
      Relax(g.byKey, q, c, r, onward);
    }
  Spread(g.byKey, q);
  return g;
}

int GuidePhase(const Guide& guide, bool hasKey, bool guardianDone, int col, int row) {
  if (guide.byKey.empty() || hasKey) return 0;
  if (guide.guardian) return guardianDone ? 0 : 1;
  bool shutOut = !Inside(guide.shut, col, row) || guide.shut[size_t(col)][size_t(row)] >= NoWay;
  return shutOut ? 1 : 0;
}

double GuideDistance(const Guide& guide, int phase, int col, int row) {
  const DistanceGrid& grid = phase == 1 ? guide.byKey : guide.exit;
  if (grid.empty() || !Inside(grid, col, row)) return NoWay;
  return grid[size_t(col)][size_t(row)];
}

}  // namespace kwplay
