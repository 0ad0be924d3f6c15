// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The spell keys of the player control: the bomb, the fetch spell, the slider spell,
// the protective aura and the health-to-mana exchange. Called by PlayerControls; the
// flight, auras and lights of a cast spell are the world pass's (spells.cpp).
#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

// Aura and spell in flight are the same picture.
void SetSpell(int sprite) {
  Aura = sprite;
  Spell = int16_t(sprite);
}

// Spell 1 lays a bomb at the figure's feet, in front of it when it faces right.
void CastBomb(PlayerRecord& p) {
  Bomb b;
  b.x = Nearest(-double(p.posX) + PlayerScreenX) + (LastSide == Facing::Right ? 30 : 0);
  b.y = FigureWorldY(p);
  Bombs.Add(b);
  HitGuard = 0;
  p.mana -= 10;
  SetSpell(Spr::BombSpell);
}

// Spells 2 and 3 fly from the figure the way it looks (up while it looks up); a facing
// of up or of no direction keeps the last spell's way.
void CastFlyingSpell(PlayerRecord& p, int sprite, float cost) {
  SpellDX = SpellDY = SpellTime = 0;
  HitGuard = 0;
  p.mana -= cost;
  Dir way = DirOfFacing(p.facing);
  if (p.frameX == 85)
    p.spellDir = SpellDirCode(Dir::Up);
  else if (way == Dir::Left || way == Dir::Right || way == Dir::Down)
    p.spellDir = SpellDirCode(way);
  SetSpell(sprite);
}

// Spell 4, while held: mana into health under the guard. The guard keeps what the
// frame left (mana after the cost too), not the values of an older hit.
void CastGuard(PlayerRecord& p) {
  SpellDX = SpellDY = SpellTime = 0;
  HitGuard = 1;
  p.mana -= 5;
  p.health += 4;
  GuardHealth = p.health;
  GuardMana = Nearest(p.mana);
  SetSpell(Spr::ShieldSpell);
}

// Key 5, while held: health into mana.
void Exchange(PlayerRecord& p) {
  SpellDX = SpellTime = 0;
  HitGuard = 0;
  p.mana += 5;
  p.health -= 4;
  GuardMana = Nearest(p.mana);
  SetSpell(Spr::ExchangeSpell);
}

}  // namespace

// The spells in table order; each needs its ability, its key and enough mana.
void CastSpells() {
  PlayerRecord& p = P();
  if (p.spell1Known == 1 && BoundReleased(KeySpell1) && p.mana > 10) CastBomb(p);
  if (p.spell2Known == 1 && BoundReleased(KeySpell2) && p.mana > 2) CastFlyingSpell(p, Spr::FetchSpell, 2);
  if (p.spell3Known == 1 && BoundReleased(KeySpell3) && p.mana > 20) CastFlyingSpell(p, Spr::TurnSpell, 20);
  if (p.spell4Known == 1 && BoundHeld(KeySpell4) && p.mana > 4) CastGuard(p);
  if (KeyDown(Key::Digit5) == 1 && p.health > 4) Exchange(p);
}

}  // namespace kw
