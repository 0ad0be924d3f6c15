// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The play ticker: the world step the frame loop runs when more than 15 ms have passed
// (a short list of calls, in the order the game needs them), the moving cells, the
// visible window of cells, the message line and the pause picture.
#include <algorithm>
#include <cstdlib>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// One motion triple of a moving cell: swing between 0 and +-range; carry the player
// standing on the cell. sign is +1 for the vertical triple (posY grows with the step)
// and -1 for the horizontal one (posX is stored negated).
void StepMotion(int32_t& offset, int32_t range, int32_t& step, bool carry, float& playerPos,
                int sign) {
  if (range == 0) return;
  int64_t r = std::llabs(int64_t(range)), o = std::llabs(int64_t(offset));
  if (r > o && o > 0) {
    offset += step;
    if (carry) playerPos += float(sign * step);
  } else {
    step = -step;
    offset += step;
  }
}

}  // namespace

void WorldStep(unsigned now) {
  if (HurtTime > INT32_MIN) HurtTime -= 1;
  if (HurtTime == 0) {
    SpellTime = 0;
    Spell = 0;
    HitGuard = 0;
  }
  if (MsSince(now, MovingTileTime) > MovingTileInterval) {
    MovingTileTime = int32_t(now);
    MovingTileStep();
  }
  WorldStepTime = int32_t(now);
  if (!Bombs.Empty()) {
    PlayerPhysicsWithBombs();
    Bombs.Reset();
    while (Bombs.Next()) BombPhysics();
  } else {
    PlayerPhysics();
  }
  MoveEnemies();
  AnimFrameBase += Spr::AnimFrameStep;
  if (AnimFrameBase > Spr::LastAnimFrames) AnimFrameBase = Spr::AnimFrames;
  MapRules();
  UpdateBombs();
  UpdateCombat();
  P().mana += 0.09f;
}

void MovingTileStep() {
  PlayerRecord& p = P();
  for (const CellPos& pos : MovingTiles) {
    MapCell& c = Map.At(pos.col, pos.row);
    if (c.tile <= 1) continue;
    bool carry = c.onPlatform == 1;
    StepMotion(c.offY, c.vRange, c.vStep, carry, p.posY, 1);
    StepMotion(c.offX, c.hRange, c.hStep, carry, p.posX, -1);
  }
}

void ProcessMessageTicker() {
  PlayerRecord& p = P();
  if (++MessageTickerCount > 20) {
    if (!p.message.empty()) p.message.erase(0, 1);
    MessageTickerCount = 0;
  }
  if (p.message.empty()) p.textColor = 0;
}

void ComputeVisibleWindow(int mode) {
  const PlayerRecord& p = P();
  int w = p.mapWidth, h = p.mapHeight;
  // 64-bit: a scroll far outside the map saturates Nearest, and the window edges
  // around it must not overflow.
  int64_t cx = Nearest((-double(p.posX) + 300.0) / CellSize);
  int64_t ry = -int(p.pixelY) / CellSize + 2;
  int64_t d = mode == 0 ? 11 : 100, e = mode == 0 ? 13 : 100;
  VisFromX = int32_t(cx - d >= 0 ? std::min<int64_t>(cx - d, INT32_MAX) : 0);
  VisToX = int32_t(cx + d <= w ? std::max<int64_t>(cx + d, INT32_MIN) : w);
  VisFromY = int32_t(ry - e >= 0 ? ry - e : 0);
  VisToY = int32_t(ry + e <= h ? ry + e : h);
}

namespace {

// In a window the pause is the minimised window: its first pass minimises it (play then
// waits, as for any window in the back), and the first pass that finds it not minimised
// ends the pause: restored by hand, or never minimised at all, so no window manager can
// lock the game in a pause. P ends it as well. The window is never maximised, so a pause
// leaves no maximised window behind for this run or the next.
void WindowedPause() {
  if (KeyReleased(Key::P)) {
    Paused = 0;
    PauseWindowDown = 0;
    return;
  }
  if (PauseWindowDown == 0) {
    SetWindowMode(WindowMinimised);
    PauseWindowDown = 1;
  } else if (GetWindowMode() != WindowMinimised) {
    Paused = 0;
    PauseWindowDown = 0;
  }
}

}  // namespace

// Whatever the command line asked for, what counts is what the game shows: a window
// switched to full screen by Alt+Enter pauses as a full screen does, and the other way round.
void PauseScreen() {
  ReadKeyboard();
  if (!DisplayFullScreen()) {
    WindowedPause();
    return;
  }
  if (KeyReleased(Key::P)) Paused = 0;
  DrawSprite(Spr::PausePicture, 0, 0);
  SleepMs(10);
}

}  // namespace kw
