// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Definitions and start values of the play state declared in play.h. The start values
// are written here once, in the reset procedures and the player record's rules.
#include "play/play.h"

namespace kw {

// Whole run.
List<PlayerRecord> Player;
List<Item> Items;
List<WeatherParticle> WeatherParticles;
int32_t PlayerScreenX;
int16_t LastSide;
int16_t HudVisible;
int16_t MapRequest;
int16_t DisplayToggleA;
int16_t DisplayToggleB;
int32_t AuraStep;
int32_t FloatStep;
int32_t BombAnimStep;
int32_t DecorationFrame;
int32_t TextShift;
int16_t MessageTimer;
int32_t CheatFastRun;
int16_t CheatInvincible;
int32_t CheatAutoFire;
int32_t ScoreBonusGiven;
std::string BestScore;
int32_t MovingTileTime;
int32_t BackgroundX;
int32_t BackgroundSide;
int32_t StaticBackground;
int32_t HideBackground;
int32_t EnemySpawnOff;
int16_t SpikeShift;
int16_t SpikePhase;
int32_t FloatY;
int32_t AuraPulse;
int32_t AuraTurns;
int32_t ControlMoved;
int32_t ThrowRepeat;
int32_t SwingStart;
int32_t GuardianState;
float GuardianFrame;

// One game.
int32_t TimeBonus;
int32_t MaxHealth;
int16_t Paused;
int16_t PauseWindowDown;
uint8_t AltSheet;
GameAction PendingAction;
int32_t PauseBackground;
int32_t RespawnRequest;

// One map.
int32_t HurtTime;
int32_t MapJustStarted;
int32_t WorldStepTime;
int32_t MovingTileInterval;
int32_t VisFromX, VisToX, VisFromY, VisToY;
int16_t Spell;
int16_t SpellDX, SpellDY, SpellTime;
int32_t Aura;
int16_t HitGuard;
float GuardHealth;
int32_t GuardMana;
int32_t GroundKind;
int32_t TouchSprite;
float OnSlope;
uint8_t SlopeFrames;
int32_t MessageTickerCount;
std::string NoticeText;
int32_t NoticeFrames;
List<Shot> Shots;
List<Bomb> Bombs;
List<Portal> Portals;
int16_t TimeOver;
int32_t KeyTick;
int32_t KeyExpired;
int32_t LastHealth;
int32_t ArenaShift;
// One map, made by the map start itself.
List<Enemy> Enemies;
List<Slider> Sliders;
Enemy* Boss;
uint8_t BossShown;
int32_t MapStartTime;

// The guardian's change runs once per program run, so its values are never reset later.
void ResetCombatRun() {
  GuardianState = 0;
  GuardianFrame = 0;
  FloatY = 0;
  RespawnRequest = 0;
}

// The combat, HUD and map rules' part of a map's start values.
void ResetCombatMap() {
  TimeOver = 0;
  KeyTick = 0;
  KeyExpired = 0;
  LastHealth = 0;
  ArenaShift = 0;
}

void ResetPlayRun() {
  Player.Clear();
  Items.Clear();
  WeatherParticles.Clear();
  PlayerScreenX = 316;  // each map start sets 300
  LastSide = Facing::Right;  // as the figure's first facing: a throw or bomb before any walk goes right
  HudVisible = MapRequest = DisplayToggleA = DisplayToggleB = 1;
  AuraStep = FloatStep = BombAnimStep = 1;
  DecorationFrame = Spr::DecorationFirst;
  TextShift = 0;
  MessageTimer = 0;
  CheatFastRun = 0;
  CheatInvincible = 0;
  CheatAutoFire = 0;
  ScoreBonusGiven = 0;
  BestScore.clear();
  // These carry on from map to map: the clock of the moving cells, the far background's
  // scroll and switches, the script's spawn switch, and what the player control
  // remembers of the last frames (a move, a held fire key, a swing still running).
  MovingTileTime = 0;
  BackgroundX = BackgroundSide = StaticBackground = HideBackground = 0;
  EnemySpawnOff = 0;
  ControlMoved = 0;
  ThrowRepeat = 0;
  SwingStart = 0;
  SpikeShift = SpikePhase = 0;
  AuraPulse = AuraTurns = 0;
  TimeBonus = 0;
  MaxHealth = 0;
  Paused = 0;
  PauseWindowDown = 0;
  AltSheet = 0;
  PendingAction = GameAction::None;
  PauseBackground = 0;
  ResetCombatRun();  // combat, HUD and map rules
  // What the map start builds is only replaced when a map is read (a map that cannot be
  // read ends the game and keeps the last map's enemies, as the game-over state shows):
  // before the first map it is empty.
  Enemies.Clear();
  Sliders.Clear();
  Boss = nullptr;
  BossShown = 0;
  MapStartTime = 0;
}

// Every one-map value but those the map start makes (the enemies, sliders and boss
// line from the map read, MapStartTime after the title picture). The values the map
// start sets again later (WorldStepTime, the visible window, MapJustStarted) start at 0
// until then.
void ResetPlayMap() {
  HurtTime = 0;
  MapJustStarted = 0;
  WorldStepTime = 0;
  MovingTileInterval = 0;
  VisFromX = VisToX = VisFromY = VisToY = 0;
  Spell = SpellDX = SpellDY = SpellTime = 0;
  Aura = 0;
  HitGuard = 0;
  GuardHealth = 0;
  GuardMana = 0;
  // The world pass sets the ground on its first frame.
  GroundKind = Ground::Level;
  TouchSprite = Spr::TouchMask;
  OnSlope = 0;
  SlopeFrames = 0;
  MessageTickerCount = 0;
  NoticeText.clear();
  NoticeFrames = 0;
  Shots.Clear();
  Bombs.Clear();
  Portals.Clear();  // a map's portals come from its start block
  ResetCombatMap();  // combat, HUD and map rules
}

PlayerRecord& P() {
  if (Player.Empty()) Player.Add();
  if (!Player.HasCurrent()) Player.Select(0);
  return *Player.Current();
}

// The record a new game starts with.
void SetNewGamePlayer(PlayerRecord& p) {
  p = PlayerRecord{};
  p.facing = Facing::Right;
  p.mana = 100.0f;
  p.health = 500.0f;
  p.spare68 = {0, 340, 340, 340, 30000, 30000, 30000, 370, 550};
  p.spare92 = {-14, 0};
  p.spare98 = {1, 0, 3};
  p.spare142 = {1, 1, 1};
  p.spareLast = 4;
}

// What a map change resets; mana, score, health and the spare before the message stay.
void ResetPlayerForNextMap(PlayerRecord& p) {
  p.spare68 = {0, 340, 340, 340, 3000, 30000, 30000, 370, 550};
  p.spare92 = {-14, 0};
  p.spare98 = {0, 0, 3};
  p.contactFlag = 0;
  p.spare142 = {1, 1, 1};
  p.animFrame = 0;
  p.hasKey = 0;
  p.keyTime = 0;
  p.facing = Facing::Right;
  p.spareLast = 4;
  p.mapDone = 0;
  // The guardian flag means "met in this map", so it starts over with each map.
  p.guardianDone = 0;
}

}  // namespace kw
