// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The spells as the world pass carries them out each frame: the protective aura's
// timer and the range of a flying spell, the light marks and the darkness of a dark
// map, the flight of a cast spell, the aura's pulse with its sounds and pictures, and
// the flying spell's picture. The player control casts the spells; DrawWorld calls
// these steps near the end of its pass.
#include <cmath>
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int SpellRange = 1000;       // pixels a spell flies before it fades
constexpr int AuraFrames = 100;        // frames the protective aura lasts at most
constexpr int PulseLimit = 50;

// One row of the aura table: the looping sound at full volume and the two pictures.
struct AuraRow {
  int aura;
  int sound;
  int pictureA, pictureB;
};
// aura  sound  pictures
constexpr AuraRow AuraTable[] = {
    {370, 394, 360, 361},
    {359, 393, 362, 363},
    {371, 398, 364, 365},
    {358, 399, 368, 369},
    {357, 399, 366, 367},
};
constexpr int AuraSounds[] = {Snd::TurnHum, Snd::ShieldHum, Snd::FrostHum, Snd::FetchHum};

// trunc(v) as a cell index, kept inside int32 for views far off the map.
int32_t CellOf(double v) {
  double t = std::trunc(v / CellSize);
  if (!(t > -2147483648.0)) return INT32_MIN;
  return t > 2147483647.0 ? INT32_MAX : int32_t(t);
}

// Marks one cell of LightGrid if it lies inside the map.
void Mark(int64_t col, int64_t row, int16_t value) {
  const PlayerRecord& p = P();
  if (col < 0 || row < 0 || col > p.mapWidth || row > p.mapHeight) return;
  if (!LightGrid.Inside(int(col), int(row))) return;
  LightGrid.At(int(col), int(row)) = value;
}

// The glow of an aura: 3 columns by 4 rows around the figure, only when the figure
// stands one cell inside the map on every side.
void MarkAuraLight() {
  const PlayerRecord& p = P();
  int64_t col = CellOf(double(PlayerScreenX) + 30 - p.posX), row = CellOf(double(p.posY) + FigureTop);
  if (col - 1 < 0 || row - 1 < 0 || col + 1 > p.mapWidth || row + 1 > p.mapHeight) return;
  for (int64_t c = col - 1; c <= col + 1; ++c)
    for (int64_t r = row - 1; r <= row + 2; ++r) Mark(c, r, 1);
}

// The light of a flying spell: four marks that make one round light over 2 x 2 cells
// where the spell is, up or down as well as sideways.
void MarkSpellLight() {
  const PlayerRecord& p = P();
  int64_t col = CellOf(double(PlayerScreenX) + SpellDX + SpellOffsetX - p.posX);
  int64_t row = CellOf(double(p.posY) + SpellDY + SpellTop);
  Mark(col, row, 2);
  Mark(col + 1, row, 3);
  Mark(col, row + 1, 4);
  Mark(col + 1, row + 1, 5);
}

// Whether the spell has flown past its range in a direction.
bool BeyondRange(Dir way) {
  return (way == Dir::Left && SpellDX < -SpellRange) || (way == Dir::Right && SpellDX > SpellRange) ||
         (way == Dir::Up && SpellDY < -SpellRange) || (way == Dir::Down && SpellDY > SpellRange);
}

// Alphas outside 0..255 are drawn as the nearest limit.
int ClampAlpha(int a) { return a < 0 ? 0 : a > 255 ? 255 : a; }

// Neighbouring cells of one darkness picture at one opacity, gathered so that they are
// drawn as one run: a long row per pixel row instead of a short row per cell, which is
// what a dark screen of some 350 cells spends its time on.
class DarkRun {
 public:
  void Add(int sprite, int x, int y, int alpha) {
    if (count_ > 0 && sprite == sprite_ && y == y_ && alpha == alpha_ &&
        int64_t(x) == int64_t(x_) + int64_t(count_) * CellSize) {
      ++count_;
      return;
    }
    Flush();
    sprite_ = sprite;
    x_ = x;
    y_ = y;
    alpha_ = alpha;
    count_ = 1;
  }
  void Flush() {
    if (count_ > 0) DrawSprite3DRun(sprite_, x_, y_, CellSize, count_, alpha_);
    count_ = 0;
  }

 private:
  int sprite_ = 0, x_ = 0, y_ = 0, count_ = 0, alpha_ = 0;
};

}  // namespace

// The protective aura wears off after 100 frames; a spell fades 1000 px ahead.
void SpellTimers() {
  const PlayerRecord& p = P();
  if (Spell == Spr::ShieldSpell) {
    SpellTime = int16_t(SpellTime + 1);
    if (SpellTime > AuraFrames) {
      SpellTime = 0;
      Spell = 0;
      HitGuard = 0;
    }
  }
  // The figure's facing is the old test; the way the spell was cast is tested too, since
  // the figure never faces up and turns freely: a spell cast up, down or behind it would
  // otherwise fly on for ever.
  if (BeyondRange(DirOfFacing(p.facing)) || BeyondRange(DirOfSpellDir(p.spellDir))) {
    Spell = 0;
    SpellTime = 0;
  }
}

// Marks the lights of this frame, then covers every visible cell with darkness or light.
void DrawLightsAndDarkness() {
  const PlayerRecord& p = P();
  if (p.darkness <= 0) return;
  if (Aura != 0) MarkAuraLight();
  if (Spell == Spr::BombSpell || Spell == Spr::FetchSpell || Spell == Spr::TurnSpell) MarkSpellLight();
  int alpha = ClampAlpha(p.darkness);
  DarkRun run;
  for (int col = VisFromX; col <= VisToX; ++col)
    run.Add(Spr::Darkness, WorldCellX(col, p.posX), WorldCellY(0, p.pixelY, -20), alpha);
  run.Flush();
  for (int row = VisFromY; row <= VisToY; ++row)
    for (int col = VisFromX; col <= VisToX; ++col) {
      if (!LightGrid.Inside(col, row)) continue;
      int16_t& v = LightGrid.At(col, row);
      int x = WorldCellX(col, p.posX), y = WorldCellY(row, p.pixelY, 10);
      if (v == 0) {
        if (int s = ShadeSprite(Map.At(col, row).shade)) run.Add(s, x, y, alpha);
      } else if (v >= 1 && v <= 5) {
        // The cells before a light are drawn first, as they always were: the light
        // turns the aura's picture, which one of the shades shows too.
        run.Flush();
        // The glow flickers: a turned picture and an alpha a little off.
        if (v == 1) TurnSprite3D(Spr::AuraLight, float(RandomUpTo(3) * 90), 0);
        DrawSprite3D(Spr::Darkness + v, x, y, ClampAlpha(p.darkness + RandomUpTo(10) - 5));
      }
      v = 0;
    }
  run.Flush();
}

// Runs every frame, with or without a spell: the pulse keeps counting its reversals.
void SpellFlightAndAura() {
  const PlayerRecord& p = P();
  // Flight.
  // Sideways the code is the step's sign (and a stray code steps by itself, as it did).
  Dir way = DirOfSpellDir(p.spellDir);
  if (way == Dir::Down) SpellDY = int16_t(SpellDY + 3);
  else if (way == Dir::Up) SpellDY = int16_t(SpellDY - 3);
  else SpellDX = int16_t(SpellDX + p.spellDir * 3);
  // Pulse: the aura ends at its second reversal.
  AuraPulse += AuraStep;
  if (AuraPulse > PulseLimit || AuraPulse < -PulseLimit) {
    AuraStep = -AuraStep;
    AuraTurns += 1;
  }
  if (AuraTurns > 1) {
    AuraTurns = 0;
    Aura = 0;
    HitGuard = 0;
  }
  // Sounds and pictures: the aura's loop is heard, the other three are silent.
  const AuraRow* row = nullptr;
  for (const AuraRow& r : AuraTable)
    if (r.aura == Aura) row = &r;
  for (int s : AuraSounds) SetSoundVolume(s, row && row->sound == s ? Volume : 0);
  int y = FigureScreenY(p);
  if (row) {
    DrawSprite3D(row->pictureA, PlayerScreenX, y, ClampAlpha(AuraPulse * 10 + 100));
    DrawSprite3D(row->pictureB, PlayerScreenX, y, ClampAlpha(100 - AuraPulse * 10));
  }
  // The flying spell; the bomb spell and the protective aura do not fly.
  if (Spell != 0 && Spell != Spr::ShieldSpell && Spell != Spr::BombSpell)
    DrawSprite3D(Spell, Nearest(double(PlayerScreenX) + SpellDX + SpellOffsetX),
                 Nearest(double(p.posY) + p.pixelY + SpellDY + SpellTop), 200);
}

}  // namespace kw
