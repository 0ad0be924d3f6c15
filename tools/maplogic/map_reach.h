// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The figure's reach over a map grid: a search over standing and climbing positions
// with moves simulated from the game's movement numbers (its gravity, each form's jump
// speed and walking limits, the figure's frames) and the catalogue's tile classes. Used
// by `kwtool map check`.
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
  bool recordWay = false;         // keep the way to the exit (ReachResult::way)
};

// One move of a way the search found, from where the figure stood or hung.
struct ReachMove {
  enum Kind { Start, Walk, Jump, Climb, Shrink, Grow, Teleport };
  Kind kind = Start;
  bool small = false;        // the figure is in its small form during the move
  double x = 0;              // the figure's world x when the move begins
  int feetRow = 0;           // the row on whose top edge its feet are then
  int dir = 0;               // Walk, Jump: -1 left, 1 right, 0 straight; Climb: -1 up, 1 down
  double cap = 0;            // Walk, Jump: the walking speed pushed toward
  bool running = false;      // Walk, Jump: already at that speed when the move begins
  int delay = 0;             // Jump: ticks in the air before the push begins
  int toCol = 0, toFeetRow = 0;  // where the move ends: the cell of x, the feet's row
  double toX = 0;
};

struct ReachResult {
  bool exitReached = false;
  bool keyReached = false;             // a key was touched on the way
  bool stoppedEarly = false;           // the work limit ended the search
  std::vector<uint8_t> doorTouchedNoKey;  // row-major: a locked door met without a key
  std::vector<uint8_t> visited;        // row-major: cells the figure's box covered
  int positions = 0;                   // positions the search reached
  // With ReachInput::recordWay: the moves from the start to the first touch of the exit
  // (the last one ends where the exit was touched); empty when the exit was not reached.
  std::vector<ReachMove> way;
};

// Movement numbers of a form and the figure's box (figureW x figureH from the figure's x
// and top). runSpeed is the walking speed a held key builds up: the control pushes while
// the speed is below the form's top speed, so it ends a push past it.
struct Movement {
  float gravity, jumpSpeed, runSpeed, accel;
  int figureW, figureH;
};
const Movement& FigureMovement(bool small = false);

ReachResult SearchReach(const ReachInput& input);

}  // namespace kwtool
