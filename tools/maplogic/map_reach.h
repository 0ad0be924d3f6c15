// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The figure's reach over a map grid: a search over standing and climbing positions
// with moves simulated from the game's movement numbers (gravity, jump speed, walking
// limits). Used by `kwtool map check`.
#pragma once

#include <cstdint>
#include <vector>

#include "maptext.h"

namespace kwtool {

// One way from a cell to a place elsewhere (a portal or a teleport of the script).
struct ReachJump {
  int fromCol = -1, fromRow = -1;  // the figure touches this cell; -1: from anywhere
  int fromTag = 0;                 // or stands on a cell with this tag (0: none)
  int toX = 0, toTop = 0;          // the figure's world x and top after the jump
};

struct ReachInput {
  const kwmap::MapFile* map = nullptr;
  std::vector<int32_t> tags;      // row-major tag of each cell (may be empty)
  std::vector<ReachJump> jumps;
  int startX = 0, startTop = 0;   // the figure's world x and top at the start
  int exitCol = 0, exitRow = 0;
};

struct ReachResult {
  bool exitReached = false;
  bool keyReached = false;             // a key was touched on the way
  bool stoppedEarly = false;           // the work limit ended the search
  std::vector<uint8_t> doorTouchedNoKey;  // row-major: a locked door met without a key
  std::vector<uint8_t> visited;        // row-major: cells the figure's box covered
  int positions = 0;                   // positions the search reached
};

// Movement numbers of a form, from the player control and physics, and the figure's
// box: figureDX pixels right of the figure's x, figureW x figureH.
struct Movement {
  float gravity, jumpSpeed, topSpeed, accel;
  int figureDX, figureW, figureH;
};
const Movement& FigureMovement(bool small = false);

// Highest rise of a standing jump and the widest horizontal travel of a running jump
// that lands at the height it started from, in pixels, simulated tick by tick.
int JumpRise();
int JumpTravel();

ReachResult SearchReach(const ReachInput& input);

// Cell classes as the physics sees them.
bool IsLadderTile(int tile);
bool IsBreakableTile(int tile);
bool IsTouchItemTile(int tile);  // key, weapons, the alternative sheet: taken on touch

}  // namespace kwtool
