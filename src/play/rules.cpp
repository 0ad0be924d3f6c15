// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The rules that hold on every map (MapRules, once per world step after the enemies and
// before the bombs and combat): the score bonus, the held key running out, the hurt
// reaction, the exit, the portals, the guardian of map 3, the mana cap, the return to
// the start and the time-match countdown.
#include <cstdint>
#include <string>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

constexpr int KeySeconds = 30;
constexpr int HurtSteps = 25;
const char* const ExitMessage = Translatable("Dr\xFC" "cke Return zum betreten");

// A sound from its start at the game's volume.
void PlayAtVolume(int sound) {
  PlaySoundFx(sound, 0);
  SetSoundVolume(sound, Volume);
}

// Whether a marker sprite on the cell (col, row) touches the player.
bool MarkerTouchesPlayer(int sprite, int64_t col, int64_t row) {
  const PlayerRecord& p = P();
  int x = Nearest(double(p.posX) + CellSize * double(col));
  int y = Nearest(CellSize * double(row) + p.pixelY);
  return SpritesTouch(sprite, x, y, Spr::Figure, PlayerScreenX, FigureScreenY(p)) != 0;
}

// Once per run, beating the best score of the highscore list earns a bonus.
void GiveScoreBonus(PlayerRecord& p) {
  if (ScoreBonusGiven != 0 || p.score <= ParseInt(BestScore)) return;
  PlaySoundFx(Snd::ScoreBonus, 0);
  ScoreBonusGiven = 1;
  if (Item* item = Items.Current()) item->throws += 20;
  p.health += 10;
}

// A held key opens the doors for 30 seconds; then the closed door returns.
void CountDownKey(PlayerRecord& p, uint32_t now) {
  if (p.hasKey != 1) {
    p.keyTime = KeySeconds;
    return;
  }
  if (MsSince(now, KeyTick) > 999) {
    KeyTick = int32_t(now);
    p.keyTime = int16_t(p.keyTime - 1);
  }
  if (p.keyTime > 0) return;
  p.hasKey = 0;
  p.keyTime = 0;
  DuplicateSprite(Spr::ClosedDoorCopy, Tile::LockedDoor);
  SetSpriteClip(Tile::LockedDoor, (Tile::LockedDoor - 1) * CellSize, 0, CellSize, CellSize);
  PlayAtVolume(Snd::KeyFound);
  KeyExpired = 1;
}

// Any loss of health since the last step shows the hurt pose.
void ReactToHurt(const PlayerRecord& p) {
  if (double(LastHealth) > double(p.health)) {
    HurtTime = HurtSteps;
    PlayAtVolume(Snd::Hurt);
  }
  LastHealth = Nearest(p.health);
}

// The exit opens with Return, but not while a boss lives.
void CheckExit(PlayerRecord& p) {
  if (!MarkerTouchesPlayer(Spr::ExitDoor, ExitCol, ExitRow)) return;
  p.message = Translate(ExitMessage);
  if (KeyDown(Key::Return) && BossShown == 0) p.mapDone = 1;
}

// An active portal shows its message while touched and sends the player to its target
// when Return is let go (so holding Return while walking in does not travel). It asks
// for Return alone rather than taking a keyboard snapshot of its own: the controls later
// in the pass would never see a key let go while the figure stands in a portal.
void CheckPortals(PlayerRecord& p) {
  for (const Portal& portal : Portals) {
    if (portal.active != 1 || !MarkerTouchesPlayer(Spr::Portal, portal.col, portal.row)) continue;
    p.message = Translate(portal.portalMessage);
    if (KeyReleasedUpToNow(Key::Return)) {
      PlaceFigureAtCell(p, portal.targetCol, portal.targetRow);
    }
  }
}

// The guardian of map 3 lets a player with a key pass (and changes its picture);
// without a key it throws the player up.
void MeetGuardian(PlayerRecord& p) {
  if (p.mapDone == 1 || p.guardianDone != 0) return;
  if (!SpritesTouch(Spr::Guardian, Nearest(double(p.posX) + 2404), FloatY + 190, Spr::Figure,
                    PlayerScreenX, FigureWorldY(p)))
    return;
  if (p.hasKey == 1) {
    GuardianState = 1;
    p.guardianDone = 1;
    p.score = int16_t(p.score + 50);
  } else {
    p.health -= 5;
    p.posY -= 10;
  }
}

// The guardian's three pictures, 20 steps each, then its final picture.
void ChangeGuardianPicture() {
  if (GuardianState != 1) return;
  int k = int(GuardianFrame);
  LoadSpriteFromFile(Spr::Guardian, "paks\\npf\\gegner_g" + IntToText(k) + ".png", TextureFlag);
  MakeSprite3D(Spr::Guardian, Spr::Guardian);
  GuardianFrame += 0.05f;
  if (int(GuardianFrame) > 2) {
    GuardianState = 2;
    DuplicateSprite(Spr::GuardianSpirit, Spr::Guardian);
    MakeSprite3D(Spr::Guardian, Spr::Guardian);
  }
}

// Back to the map's start position when asked (a new game).
void Respawn(PlayerRecord& p) {
  if (RespawnRequest != 1) return;
  PlayAtVolume(Snd::Respawn);
  p.posX = -float(RespawnX);
  p.posY = float(RespawnY);
  RespawnRequest = 0;
}

// A time match loses a second per second; at zero the game is over.
void CountDownMatch(PlayerRecord& p, uint32_t now) {
  if (TimeMatch != 1 || MsSince(now, MapStartTime) <= 999) return;
  if (p.timeValue > INT32_MIN) p.timeValue -= 1;
  MapStartTime = int32_t(now);
  // A match whose time was already used up ends too, rather than counting down forever.
  if (p.timeValue <= 0) {
    TimeOver = 1;
    p.mapDone = 1;
    GameOver = 1;
  }
}

}  // namespace

void MapThreeRules() {
  PlayerRecord& p = P();
  if (-3378 < p.posX && p.posX < -2740)
    ArenaShift = Nearest(double(p.posX) + 2740);
  else
    ArenaShift = 0;
  if (p.posX < -3378) ArenaShift = -640;
  MeetGuardian(p);
  ChangeGuardianPicture();
}

void MapRules() {
  PlayerRecord& p = P();
  uint32_t now = TimeMs();
  if (MapJustStarted == 1) {
    // A new map starts its timers and health watch afresh.
    MapJustStarted = 0;
    LastHealth = Nearest(p.health);
    KeyTick = int32_t(now);
  }
  if (DebugMode == 1) {
    p.darkness = 0;
    HideBackground = 1;
    AnimFrameBase = 6000;
  }
  GiveScoreBonus(p);
  KeyExpired = 0;
  CountDownKey(p, now);
  ReactToHurt(p);
  CheckExit(p);
  CheckPortals(p);
  if (CurrentMap == 3) MapThreeRules();
  if (p.mana > 100) p.mana = 100;
  Respawn(p);
  CountDownMatch(p, now);
}

}  // namespace kw
