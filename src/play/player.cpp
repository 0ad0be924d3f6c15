// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The player's own rules: the figure's frame (which part of the figure sheets the world
// pass draws and tests this frame; DrawWorld calls it early in its pass), the guard
// that a hit starts, and the health rules the player control applies at the end of its
// frame. Every source of damage changes health directly; these rules settle it. Also
// the figure's place helpers of play/measures.h.
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// Clips the working figure and its touch mask to the same frame.
void ClipFigure(int x, int y) {
  SetSpriteClip(Spr::Figure, x, y, FigureFrameW, FigureFrameH);
  SetSpriteClip(Spr::TouchMask, x, y, FigureFrameW, FigureFrameH);
}

// The hurt pose: one frame per side, the touch mask's hurt shape at the top left.
void SelectHurtFrame(const PlayerRecord& p) {
  if (p.facing == Facing::Left) {
    SetSpriteClip(Spr::Figure, 43, 232, FigureFrameW, FigureFrameH);
    SetSpriteClip(Spr::TouchMask, 43, 0, FigureFrameW, FigureFrameH);
  } else if (p.facing == Facing::Right) {
    SetSpriteClip(Spr::Figure, 0, 232, FigureFrameW, FigureFrameH);
    SetSpriteClip(Spr::TouchMask, 0, 0, FigureFrameW, FigureFrameH);
  } else if (p.facing == Facing::Down && LastSide == Facing::Right) {
    ClipFigure(0, 0);
  } else if (p.facing == Facing::Down && LastSide == Facing::Left) {
    ClipFigure(43, 0);
  }
}

}  // namespace

int FigureScreenY(const PlayerRecord& p) { return Nearest(double(p.posY) + p.pixelY + FigureTop); }

int FigureWorldY(const PlayerRecord& p) { return Nearest(double(p.posY) + FigureTop); }

void PlaceFigureAtCell(PlayerRecord& p, double col, double row) {
  p.posX = float(360.0 - CellSize * col);
  p.posY = float(CellSize * row - FigureTop);
}

// Chooses the figure's frame for this pass from its look, pose and form.
void SelectPlayerFrame() {
  const PlayerRecord& p = P();
  // Looking down keeps the side the figure last walked to.
  bool left = p.facing == Facing::Left || (p.facing == Facing::Down && LastSide == Facing::Left);
  int x = p.frameX + (left ? 43 : 0);
  if (p.smallForm == 0) {
    DuplicateSprite(AltSheet == 1 ? Spr::AltFigureSheet : Spr::FigureSheet, Spr::Figure);
    if (HurtTime > 0) {
      SelectHurtFrame(p);
    } else if (p.facing != Facing::Up) {
      ClipFigure(x, p.animFrame * 57);
      SetSpriteClip(Spr::SwordOverlay, x, p.swordRow * 58, FigureFrameW, FigureFrameH);
    }
  }
  if (p.smallForm == 1) {
    DuplicateSprite(Spr::SmallFormSheet, Spr::Figure);
    if (LastSide == Facing::Left) SetSpriteClip(Spr::Figure, 22, 0, SmallFormFrame, SmallFormFrame);
    if (LastSide == Facing::Right) SetSpriteClip(Spr::Figure, 63, 0, SmallFormFrame, SmallFormFrame);
  }
  if (p.smallForm == 0 && p.throwPose == 1 && p.facing != Facing::Up) {
    ClipFigure(x, 172);
    SetSpriteClip(Spr::SwordOverlay, x, p.swordRow * 58 + 172, FigureFrameW, FigureFrameH);
  }
}

// Health and mana are kept as they are after this hit until the aura's pulse ends.
void GuardAfterHit() {
  const PlayerRecord& p = P();
  GuardHealth = p.health;
  GuardMana = Nearest(p.mana);
  HitGuard = 1;
}

// End of the control's frame: the invincibility cheat, the guard, death, the cap.
void ApplyHealthRules() {
  PlayerRecord& p = P();
  if (CheatInvincible == 1) {
    p.mana = 100.0f;
    p.health = float(MaxHealth);
    if (Item* item = Items.Current()) item->throws = 1;
  }
  // A guard undoes every loss (and gain) since the hit that started it.
  if (HitGuard == 1) {
    p.health = GuardHealth;
    p.mana = float(GuardMana);
  }
  if (p.health < 0) {
    constexpr int DeathSound = 396;
    SetSoundVolume(DeathSound, Volume);
    PlaySoundFx(DeathSound, 0);
    SleepMs(2000);
    GameOver = 1;
    p.mapDone = 1;
  }
  if (p.health > float(MaxHealth)) p.health = float(MaxHealth);
}

}  // namespace kw
