// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The player control, run by the frame loop once per pass of play after the HUD: it
// reads the keyboard through the bound keys and turns keys into requests (pause menu,
// pause, quick save and load, restart), the view, and the figure's speeds, forms and
// actions (walk, jump, small form, look, climb, sword, throws). The spells and the
// health rules that end the frame live in spells.cpp; the movement itself is the
// physics' (physics.cpp). Play does not reach up into menus or saves: those keys leave
// a PendingAction that the shell carries out right after this.
#include <algorithm>
#include <cstdint>

#include "media/media.h"
#include "play/play.h"

namespace kw {

namespace {

static_assert(KeySpell4 + 1 == KeyBindingCount, "one slot per bound key");

// Fixed keys besides the bound ones.

constexpr int StandUpProbe = 192;           // reference point of the stand-up test
constexpr int StandUpLift = 36;             // how much higher the standing figure is
constexpr int ViewStep = 3;

// The code bound to a slot; codes outside the key table are never held (a bound -1
// would otherwise mean "any key").
int BoundCode(int slot) {
  const KeyBindingRecord* k = KeyBindings.Current();
  if (!k && !KeyBindings.Empty()) k = &*KeyBindings.begin();
  if (!k) return 0;
  int code = k->code[size_t(slot)];
  return code > 0 && code < KeyCount ? code : 0;
}

}  // namespace

// A bound key is held in this frame.
bool BoundHeld(int slot) {
  int code = BoundCode(slot);
  return code != 0 && KeyDown(code) == 1;
}

// A bound key went up in this frame (reported once).
bool BoundReleased(int slot) {
  int code = BoundCode(slot);
  return code != 0 && KeyReleased(code) == 1;
}

namespace {

// F2 + 2 toggles the HUD panel; K holds the small map.
void DebugKeys() {
  if (KeyDown(Key::F2) == 1 && KeyReleased(Key::Digit2) == 1) HudVisible = HudVisible == 0 ? 1 : 0;
  if (KeyDown(Key::K) == 1) MapRequest = 1;
}

// The pause menu shows the scene frozen under it: the world is drawn once more and
// grabbed into one fixed sprite, which each opening replaces.
void OpenPauseMenu() {
  ClearBackBuffer(0);
  DrawWorld();
  if (GrabScreenSprite(Spr::PauseScene, 0, 0, ScreenWidth, ScreenHeight) != 0)
    PauseBackground = Spr::PauseScene;
  PendingAction = GameAction::PauseMenu;
}

// The game keys, on release: pause menu, pause, quick save, quick load, restart; and
// the message line's position while its keys are held.
void GameKeys() {
  PlayerRecord& p = P();
  if (BoundReleased(KeyCancel)) OpenPauseMenu();
  if (BoundReleased(KeyPause)) {
    Paused = 1;
    PauseWindowDown = 0;
  }
  if (BoundReleased(KeySave)) PendingAction = GameAction::QuickSave;
  if (BoundReleased(KeyLoad)) PendingAction = GameAction::QuickLoad;
  if (BoundReleased(KeyRestart)) {
    // The map end loads CurrentMap + 1: the same map again (wrapping at both ends of
    // int32, so even a map number the typed map command took to the limit comes back).
    CurrentMap = int32_t(uint32_t(CurrentMap) - 1u);
    p.mapDone = 1;
    p.contactFlag = 0;
  }
  if (BoundHeld(KeyTextMinus))
    TextShift -= 1;
  else if (BoundHeld(KeyTextPlus))
    TextShift += 1;
}

// The view follows the figure up and down when it leaves the middle band of the screen.
void FollowVertically() {
  PlayerRecord& p = P();
  p.frameX = 0;
  double s = double(p.posY) + p.pixelY + FigureTop;
  if (s >= 100 && s <= 300) return;
  int64_t target = -int64_t(Nearest(p.posY));
  int64_t bottom = 400 - int64_t(p.mapHeight) * CellSize;
  if (p.pixelY > target && p.pixelY > bottom)
    p.pixelY = int16_t(p.pixelY - ViewStep);
  else if (p.pixelY < target && p.pixelY < -15)
    p.pixelY = int16_t(p.pixelY + ViewStep);
}

// A jump starts only from standing: on something, and not moving up or down at all.
void Jump() {
  PlayerRecord& p = P();
  if (!BoundHeld(KeyJump) || p.speedY != 0 || p.moveFlag != 1) return;
  p.speedY = p.jumpSpeed;
  p.moveFlag = 0;
  ControlMoved = 1;
  OnSlope = 0;
  SlopeFrames = 0;
}

// Walking limits by form and the fast-run cheat.
void SetWalkingLimits() {
  PlayerRecord& p = P();
  const FormLimits& limits = p.smallForm == 1 ? SmallFormLimits : NormalFormLimits;
  p.accel = limits.accel;
  p.jumpSpeed = limits.jumpSpeed;
  p.topSpeed = limits.topSpeed;
  if (CheatFastRun == 1) {
    p.accel = FastRunAccel;
    p.topSpeed = FastRunTopSpeed;
  }
}

// Frames 1 and 2 of the walk, six frames each.
void WalkAnimationStep() {
  PlayerRecord& p = P();
  p.animTick += 1;
  if (p.animTick > 5) {
    p.animTick = 0;
    p.animFrame += 1;
  }
  if (p.animFrame >= 3) p.animFrame = 1;
}

// Without a walk key the figure slows down; on the slippery tile set eight times slower.
void SlowDown() {
  PlayerRecord& p = P();
  float d = ParseInt(TileSet) == 2 ? 8.0f : 1.0f;
  if (p.speedX > 0) {
    p.speedX -= p.accel / d;
    if (p.speedX < 0) {
      p.speedX = 0;
      p.animFrame = 0;
    }
  } else if (p.speedX < 0) {
    p.speedX += p.accel / d;
    if (p.speedX > 0) {
      p.speedX = 0;
      p.animFrame = 0;
    }
  }
}

// Walking right wins when both walk keys are held. The world scrolls by speedX, so
// walking right makes it negative.
void Walk() {
  PlayerRecord& p = P();
  if (BoundHeld(KeyRight)) {
    if (p.speedX > -p.topSpeed) p.speedX -= p.accel;
    ControlMoved = 1;
    p.facing = LastSide = Facing::Right;
    WalkAnimationStep();
  } else if (BoundHeld(KeyLeft)) {
    if (p.speedX < p.topSpeed) p.speedX += p.accel;
    ControlMoved = 1;
    p.facing = LastSide = Facing::Left;
    WalkAnimationStep();
  } else {
    SlowDown();
  }
}

// The tile of a cell; cells outside the map read as 0 (never free to stand up in).
int TileAt(int64_t col, int64_t row) {
  if (col < 0 || row < 0 || col > Map.W || row > Map.H) return 0;
  return Map.At(int(col), int(row)).tile;
}

// Standing up needs four free cells: the figure's cell and the one above it, now and
// one speed step on. (The vertical speed steps the column and the horizontal one the
// row; the game has always tested it so.)
bool RoomToStandUp() {
  const PlayerRecord& p = P();
  int64_t col = int64_t(std::clamp((-double(p.posX) + PlayerScreenX) / CellSize, -1e12, 1e12));
  int64_t row = int64_t(std::clamp((double(p.posY) + StandUpProbe) / CellSize, -1e12, 1e12));
  int64_t a = int64_t(p.speedY / CellSize), b = int64_t(p.speedX / CellSize);
  return TileAt(col, row) == 1 && TileAt(col, row - 1) == 1 && TileAt(col + a, row + b) == 1 &&
         TileAt(col + a, row + b - 1) == 1;
}

// The duck key makes the figure small at once; letting go stands it up when there is room.
// The four cells of the room test look at the standing figure's top row and the row above
// it, not at the row of its shoulders: crawling out from under a ledge, it stood up into
// the ledge's end and was held there. So the standing figure's own picture must fit too.
void SmallForm() {
  PlayerRecord& p = P();
  if (BoundHeld(KeyDuck)) {
    if (p.smallForm == 0) {
      p.posY += 34;
      p.smallForm = 1;
    }
  } else if (p.smallForm == 1 && RoomToStandUp() && StandingFigureFits(StandUpLift)) {
    p.smallForm = 0;
    p.posY -= StandUpLift;
  }
}

// Looking down (the Down arrow) or up moves the view 3 pixels a frame within limits.
void Look() {
  PlayerRecord& p = P();
  if (KeyDown(Key::Down) == 1) {
    p.facing = Facing::Down;
    p.frameX = 170;
    if (p.pixelY + double(p.posY) > -FigureTop && p.pixelY > 400 - int64_t(p.mapHeight) * CellSize)
      p.pixelY = int16_t(p.pixelY - ViewStep);
  } else if (BoundHeld(KeyUp)) {
    p.frameX = 85;
    if (p.pixelY + double(p.posY) < 100 && p.pixelY < -15) p.pixelY = int16_t(p.pixelY + ViewStep);
  } else {
    p.frameX = 0;
    p.facing = LastSide;
  }
}

// On a ladder the keys climb; without a key the figure sinks very slowly.
void Climb() {
  PlayerRecord& p = P();
  if (p.climbTick > 3) {
    p.climbTick = 0;
    p.climbFrame = p.climbFrame == 0 ? 1 : 0;
  }
  if (KeyDown(Key::Down) == 1) {
    p.speedY = 1;
    p.speedX = 0;
    p.climbTick += 1;
  } else if (BoundHeld(KeyUp)) {
    p.speedY = -2;
    p.speedX = 0;
    p.climbTick += 1;
  } else {
    p.speedY = -0.1f;
  }
}

// A sword swing lasts 500 ms and needs a new release of the key.
void SwingSword() {
  PlayerRecord& p = P();
  if (p.hasSword != 1 || !BoundReleased(KeySword) || p.swordSwing != 0) return;
  p.swordRow = 1;
  p.swordSwing = 1;
  PlaySoundFx(Snd::SwordSwing, 0);
  SwingStart = int32_t(TimeMs());
}

// The swing ends 500 ms after it began.
void EndSwordSwing() {
  PlayerRecord& p = P();
  if (p.swordSwing == 1 && MsSince(TimeMs(), SwingStart) > 500) {
    p.swordRow = 0;
    p.swordSwing = 0;
  }
}

// Whether a throw goes off this frame: the fire axe repeats every ten frames while its
// key is held (and only in a frame right after a world step), the others throw once per
// release.
bool ThrowTriggered(const Item& weapon) {
  if (weapon.weaponName == "Feueraxt") {
    if (!BoundHeld(KeyThrow)) {
      ThrowRepeat = 0;
      return false;
    }
    ThrowRepeat = ThrowRepeat < INT32_MAX ? ThrowRepeat + 1 : ThrowRepeat;
    if (ThrowRepeat >= 10 && MsSince(TimeMs(), WorldStepTime) >= 14) {
      ThrowRepeat = 0;
      return true;
    }
    return false;
  }
  if (BoundReleased(KeyThrow)) return true;
  ThrowRepeat = 0;
  return false;
}

// The thrown shot's direction by look and facing, and the recoil on the figure.
int16_t ThrowDirection(PlayerRecord& p, float v) {
  if (p.frameX == 85) {
    if (p.speedY < 1.5f * v) p.speedY += v;
    return ShotDirCode(Dir::Up);
  }
  if (p.facing == Facing::Left) {
    if (p.speedX > -1.5f * v) p.speedX -= v;
    return ShotDirCode(Dir::Left);
  }
  if (p.facing == Facing::Right) {
    if (p.speedX < 1.5f * v) p.speedX += v;
    return ShotDirCode(Dir::Right);
  }
  if (p.facing == Facing::Down) {
    if (p.speedY > -1.5f * v)
      p.speedY -= v;
    else
      p.speedY -= Gravity;  // past the recoil's limit a throw down still cancels a step's fall
    return ShotDirCode(Dir::Down);
  }
  return ShotDirCode(Dir::None);
}

// One throw of the weapon in hand: a shot at the figure, recoil, one throw fewer.
void Throw(Item& weapon) {
  PlayerRecord& p = P();
  Shot s;
  s.y = p.posY + FigureTop;
  s.x = -p.posX + float(PlayerScreenX);
  s.damage = weapon.weaponName == "Goldaxt" ? 2 : weapon.weaponName == "Feueraxt" ? 6 : 1;
  s.sprite = weapon.weaponSprite;
  s.dir = ThrowDirection(p, weapon.recoil);
  Shots.Add(s);
  weapon.throws -= 1;
}

// The throwing weapon: pose, trigger, the switch back to the first weapon once the one
// in hand is used up, and the throw.
void ThrowWeapon() {
  PlayerRecord& p = P();
  p.throwPose = BoundHeld(KeyThrow) ? 1 : 0;
  Item* weapon = Items.Current();
  if (!weapon) {
    if (!Items.Select(0)) return;  // no weapons at all
    weapon = Items.Current();
  }
  bool fire = ThrowTriggered(*weapon);
  if (weapon->throws <= 0) {
    Items.Select(0);
    weapon = Items.Current();
  }
  if ((CheatAutoFire == 1 || fire) && weapon->throws > 0) Throw(*weapon);
}

// The figure's own actions, only in the normal form.
void Actions() {
  if (P().smallForm != 0) return;
  SwingSword();
  ThrowWeapon();
  CastSpells();
}

}  // namespace

// One frame of control: keys to requests, view, speeds, forms and actions, then the
// health rules. Without a keyboard snapshot only the form, climb, actions and rules run.
void PlayerControls() {
  bool keyboard = ReadKeyboard() == 1;
  if (keyboard) {
    DebugKeys();
    GameKeys();
    FollowVertically();
    Jump();
    SetWalkingLimits();
    Walk();
  }
  if (P().climbing == 0) {
    SmallForm();
    Look();
  } else {
    Climb();
  }
  Actions();
  EndSwordSwing();
  ApplyHealthRules();
}

}  // namespace kw
