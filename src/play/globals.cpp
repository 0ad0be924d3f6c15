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

// ---- World pass and player rules ------------------------------------------------
int32_t GroundKind;
int32_t TouchSprite;
int16_t SpikeShift;
int16_t SpikePhase;
int32_t FloatY;
int32_t AuraPulse;
int32_t AuraTurns;
float GuardHealth;
int32_t GuardMana;
// ---- end of world pass and player rules -----------------------------------------

// One game.
int32_t TimeBonus;
int32_t MaxHealth;
int16_t Paused;
int16_t PauseWindowDown;
uint8_t AltSheet;
GameAction PendingAction;
int32_t PauseBackground;

// One map.
uint8_t BossShown;
Enemy* Boss;
int32_t WorldStepTime;
int32_t MovingTileTime;
int32_t MovingTileInterval;
int32_t HurtTime;
int32_t MapStartTime;
int32_t MapJustStarted;
int32_t VisFromX, VisToX, VisFromY, VisToY;
int16_t Spell;
int16_t SpellDX, SpellDY, SpellTime;
int32_t Aura;
int16_t HitGuard;
int32_t MessageTickerCount;
std::string NoticeText;
int32_t NoticeFrames;
int32_t BackgroundX;
int32_t BackgroundSide;
int32_t StaticBackground;
int32_t HideBackground;
int32_t EnemySpawnOff;
List<Enemy> Enemies;
List<Shot> Shots;
List<Bomb> Bombs;
List<Slider> Sliders;
List<Portal> Portals;

// --- Physics and player control ----------------------------------------------------
uint8_t SlopeFrames;
int32_t ControlMoved;
int32_t ThrowRepeat;
int32_t SwingStart;
// --- end physics and player control ------------------------------------------------
// --- Combat, HUD and map rules ---
int32_t GuardianState;
float GuardianFrame;
int32_t RespawnRequest;
int16_t TimeOver;
float OnSlope;
int32_t KeyTick;
int32_t KeyExpired;
int32_t LastHealth;
int32_t ArenaShift;

// The guardian's change runs once per program run, so its values are never reset later.
void ResetCombatRun() {
  GuardianState = 0;
  GuardianFrame = 0;
  FloatY = 0;
  RespawnRequest = 0;
  LastHealth = 0;
}

// A time match's end and the guard belong to the map that is ending.
void ResetCombatMap() {
  TimeOver = 0;
  GuardHealth = 0;
  GuardMana = 0;
  OnSlope = 0;
  KeyTick = 0;
  KeyExpired = 0;
  ArenaShift = 0;
}
// --- end of combat, HUD and map rules ---

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
  // ---- World pass and player rules ----
  GroundKind = 0;
  TouchSprite = 0;
  SpikeShift = SpikePhase = 0;
  AuraPulse = AuraTurns = 0;
  // ---- end of world pass and player rules ----
  TimeBonus = 0;
  MaxHealth = 0;
  Paused = 0;
  PauseWindowDown = 0;
  AltSheet = 0;
  PendingAction = GameAction::None;
  PauseBackground = 0;
  // The map state has start values too, for whatever runs before the first map.
  BossShown = 0;
  Boss = nullptr;
  WorldStepTime = MovingTileTime = 0;
  MapStartTime = 0;
  VisFromX = VisToX = VisFromY = VisToY = 0;
  BackgroundX = BackgroundSide = StaticBackground = HideBackground = 0;
  EnemySpawnOff = 0;
  Enemies.Clear();
  Bombs.Clear();
  Sliders.Clear();
  Portals.Clear();
  // --- Physics and player control ---
  SlopeFrames = 0;
  ControlMoved = 0;
  ThrowRepeat = 0;
  SwingStart = 0;
  // --- end physics and player control ---
  ResetCombatRun();  // combat, HUD and map rules
  ResetPlayMap();
}

void ResetPlayMap() {
  HurtTime = 0;
  Spell = SpellDX = SpellDY = SpellTime = 0;
  Aura = 0;
  HitGuard = 0;
  MessageTickerCount = 0;
  NoticeText.clear();
  NoticeFrames = 0;
  MapJustStarted = 0;
  MovingTileInterval = 0;
  Shots.Clear();
  // --- Physics and player control: the world pass sets the ground on its first frame.
  GroundKind = 5;
  TouchSprite = 438;
  // --- end physics and player control ---
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
