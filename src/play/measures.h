// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The play numbers, each under one name: the figure's place on the screen, the world
// step's pace, what every move of the figure is made of (gravity, the forms' jump and
// walking limits), the ground kinds and the one direction type with the codes the
// stored files keep. Play, the script, the shell and the tools (kwtool's map check,
// kwplay's guide) all go through these names, so a change here is a change everywhere;
// tests/e2e/play_numbers.sh keeps the bare numbers out of the other files. The map
// cell's size is content's CellSize (content/catalogue.h): the tile pictures are cut to
// it below play. Included by play/play.h.
#pragma once

#include <cstdint>

#include "content/catalogue.h"

namespace kw {

struct PlayerRecord;

// ---------------------------------------------------------------------------------
// The figure on the screen
// ---------------------------------------------------------------------------------
constexpr int FigureTop = 230;             // the figure's top is at world y posY + FigureTop
constexpr int FigureStartScreenX = 300;    // PlayerScreenX whenever a map starts
constexpr int FigureFrameW = 42;           // figure sheets and touch mask: 42 x 58 frames
constexpr int FigureFrameH = 58;
constexpr int SmallFormFrame = 30;         // the small form's picture: 30 x 30
// A flying spell's picture starts SpellOffsetX right of the figure's left edge and
// SpellTop below posY (4 pixels under the figure's top).
constexpr int SpellOffsetX = 30;
constexpr int SpellTop = FigureTop + 4;
constexpr int SliderFrame = 60;            // slider sheet frames: 60 x 60, column side, row hit

// Screen y of the figure's top: where its pictures, its sword and its auras are drawn
// and touch-tested (the vertical view scroll pixelY included).
int FigureScreenY(const PlayerRecord& p);
// World y of the figure's top, without the view scroll: the physics tests the figure's
// collisions in world y, and a few rules (the guardian, the bombs' start) use it too.
int FigureWorldY(const PlayerRecord& p);
// Where a portal or the script's teleport puts the figure for cell (col, row): the
// cell's top at the figure's top, its left edge 60 pixels right of the figure when the
// figure stands at FigureStartScreenX.
void PlaceFigureAtCell(PlayerRecord& p, double col, double row);

// ---------------------------------------------------------------------------------
// Pace and movement: the world step runs when more than WorldStepPace ms have passed
// since the last one; each step the physics falls by Gravity, the player control sets
// each form's limits. kwtool's map check reasons with these same names, so a change
// here changes which maps it lets pass.
// ---------------------------------------------------------------------------------
constexpr int32_t WorldStepPace = 15;      // ms; the step runs when more than this passed
constexpr float Gravity = 0.4f;            // added to speedY in every world step (figure, enemies)
// Walking limits of a form: push per frame, the jump's start speed, top walking speed.
struct FormLimits {
  float accel, jumpSpeed, topSpeed;
};
constexpr FormLimits NormalFormLimits = {0.7f, -8.0f, 7.0f};
constexpr FormLimits SmallFormLimits = {0.9f, -10.0f, 9.0f};
constexpr float FastRunAccel = 4, FastRunTopSpeed = 18;  // the fast-run cheat, either form

// Ground kinds: what the world pass finds under the figure (GroundKind); the physics lets
// the figure walk up an edge of up to GroundKind - 1 pixels.
namespace Ground {
constexpr int32_t Level = 5;               // plain or rough ground, and a map's start value
constexpr int32_t SmallSlope = 8;          // a slope under the small form
constexpr int32_t Slope = 10;              // a slope under the normal form
}  // namespace Ground

// ---------------------------------------------------------------------------------
// Directions. Play reasons in Dir; the fields that save games, the state dump and the
// world pass store keep their own codes, converted at the field:
//   facing and LastSide of the player record: the numeric keypad, 4 6 8 2
//   spellDir of the player record:            -1 1 8 2
//   a shot's dir:                             -1 1 2 3
//   an enemy's dir:                            0 1 (left, right; no up or down)
//   a slider's side:                           1 0 (left, right)
// A code no table holds (a damaged save) is Dir::None.
// ---------------------------------------------------------------------------------
enum class Dir : int8_t { None, Left, Right, Up, Down };

// The numeric-keypad codes of facing and LastSide.
namespace Facing {
constexpr int16_t Down = 2;
constexpr int16_t Left = 4;
constexpr int16_t Right = 6;
constexpr int16_t Up = 8;
}  // namespace Facing

constexpr int16_t FacingCode(Dir d) {
  return d == Dir::Left ? Facing::Left : d == Dir::Right ? Facing::Right : d == Dir::Up ? Facing::Up
       : d == Dir::Down ? Facing::Down : 0;
}
constexpr Dir DirOfFacing(int code) {
  return code == Facing::Left ? Dir::Left : code == Facing::Right ? Dir::Right
       : code == Facing::Up ? Dir::Up : code == Facing::Down ? Dir::Down : Dir::None;
}
// spellDir: a sideways flight is the sign of the step; up and down are the keypad codes.
constexpr int16_t SpellDirCode(Dir d) {
  return d == Dir::Left ? -1 : d == Dir::Right ? 1 : FacingCode(d);
}
constexpr Dir DirOfSpellDir(int code) {
  return code == -1 ? Dir::Left : code == 1 ? Dir::Right
       : code == Facing::Up ? Dir::Up : code == Facing::Down ? Dir::Down : Dir::None;
}
// A shot's dir; 0 (from a throw with no facing) flies nowhere.
constexpr int16_t ShotDirCode(Dir d) {
  return d == Dir::Left ? -1 : d == Dir::Right ? 1 : d == Dir::Up ? 2 : d == Dir::Down ? 3 : 0;
}
constexpr Dir DirOfShotDir(int code) {
  return code == -1 ? Dir::Left : code == 1 ? Dir::Right
       : code == 2 ? Dir::Up : code == 3 ? Dir::Down : Dir::None;
}
// An enemy's dir, which is also its sheet's column pair (2 * dir).
constexpr int32_t EnemyDirCode(Dir d) { return d == Dir::Right ? 1 : 0; }
constexpr Dir DirOfEnemyDir(int32_t code) {
  return code == 0 ? Dir::Left : code == 1 ? Dir::Right : Dir::None;
}
// A slider's side, which is also its sheet's column: 0 gliding right, 1 gliding left.
constexpr int16_t SliderSideCode(Dir d) { return d == Dir::Left ? 1 : 0; }
constexpr Dir DirOfSliderSide(int code) {
  return code == 0 ? Dir::Right : code == 1 ? Dir::Left : Dir::None;
}

}  // namespace kw
