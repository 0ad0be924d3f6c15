// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The player control with keys injected into the media layer: walking and sliding,
// jumping, the small form and its stand-up test, looking and climbing, the sword, the
// three throwing weapons with their recoil, the spells and the exchange, the cheats,
// the game and debug keys, and the health rules at the end of the frame.
#include <vector>

#include "play/play_fixture.h"

namespace {

using kwtest::PlayField;

constexpr int KeyEsc = 1, KeyP = 25, KeyF5 = 63, KeyF8 = 66, KeyR = 19;
constexpr int KeyTextMinus = 74, KeyTextPlus = 78;
constexpr int KeyCtrl = 29, KeyUp = 200, KeyLeft = 203, KeyRight = 205, KeyAlt = 56;
constexpr int KeySpace = 57, KeyEnter = 28;
constexpr int KeyF1 = 59, KeyF4 = 62, KeyF6 = 64, KeyF7 = 65;
constexpr int KeyDownArrow = 208, Key5 = 6, Key2 = 3, KeyK = 37, KeyF2 = 60;

class ControlsTest : public PlayField {
 protected:
  void SetUp() override {
    PlayField::SetUp();
    StandAt(600);
    Steps(4);
  }
  void Controls(int frames = 1) {
    for (int i = 0; i < frames; ++i) kw::PlayerControls();
  }
  // A key pressed in one frame and let go before the next.
  void Tap(int code) {
    Press(code);
    Controls();
    Let(code);
    Controls();
  }
  void AddWeapons() {
    kw::Items.Clear();
    kw::Items.Add(kw::Item{5, 0.0f, 442, "Default", 326});
    kw::Items.Add(kw::Item{3, 1.5f, 443, "Goldaxt", 327});
    kw::Items.Add(kw::Item{40, 4.0f, 443, "Feueraxt", 328});
    kw::Items.Select(0);
  }
  // The small form under a block, so that it cannot stand up.
  void KeepSmall() {
    p().smallForm = 1;
    for (int r = 4; r <= 7; ++r) Put(20, r, 2);
  }
  kw::Shot& LastShot() {
    kw::Shots.Last();
    return *kw::Shots.Current();
  }
};

TEST_F(ControlsTest, WalkingAcceleratesAnimatesAndSlowsDown) {
  Press(KeyRight);
  std::vector<int> frames;
  for (int i = 0; i < 18; ++i) {
    Controls();
    frames.push_back(p().animFrame);
  }
  EXPECT_LE(p().speedX, -7.0f);
  EXPECT_GE(p().speedX, -7.7f);
  EXPECT_EQ(p().facing, 6);
  EXPECT_EQ(kw::LastSide, 6);
  EXPECT_EQ(kw::ControlMoved, 1);
  // Frames 1 and 2 of the walk, six frames each.
  EXPECT_EQ(frames[4], 0);
  EXPECT_EQ(frames[5], 1);
  EXPECT_EQ(frames[11], 2);
  EXPECT_EQ(frames[17], 1);
  // Both walk keys: right wins.
  Press(KeyLeft);
  Controls();
  EXPECT_EQ(p().facing, 6);
  Let(KeyRight);
  for (int i = 0; i < 30; ++i) Controls();
  EXPECT_GE(p().speedX, 7.0f);
  EXPECT_EQ(p().facing, 4);
  EXPECT_EQ(kw::LastSide, 4);
  // Letting go slows down by accel per frame to a stop, and the figure stands.
  Let(KeyLeft);
  int n = 0;
  while (p().speedX != 0 && n < 100) {
    Controls();
    ++n;
  }
  EXPECT_LE(n, 12);
  EXPECT_EQ(p().animFrame, 0);
}

TEST_F(ControlsTest, TheSlipperyTileSetSlidesEightTimesLonger) {
  kw::TileSet = "2";
  p().speedX = -7;
  int n = 0;
  while (p().speedX != 0 && n < 200) {
    Controls();
    ++n;
  }
  EXPECT_GE(n, 78);
  EXPECT_LE(n, 82);
}

TEST_F(ControlsTest, JumpOnlyFromStanding) {
  p().speedY = 0.4f;  // falling
  Press(KeyAlt);
  Controls();
  EXPECT_FLOAT_EQ(p().speedY, 0.4f);
  p().speedY = 0;
  p().moveFlag = 1;
  Controls();
  EXPECT_FLOAT_EQ(p().speedY, -8.0f);
  EXPECT_EQ(p().moveFlag, 0);
  EXPECT_EQ(kw::ControlMoved, 1);
  // Holding the key does not jump again in the air.
  Controls();
  EXPECT_FLOAT_EQ(p().speedY, -8.0f);
  Let(KeyAlt);
}

TEST_F(ControlsTest, WalkAndJumpThroughWholeFrames) {
  double x0 = WorldX();
  int ground = TopY();
  Press(KeyRight);
  Press(KeyAlt);
  int highest = ground;
  for (int i = 0; i < 60; ++i) {
    Frame();
    highest = std::min(highest, TopY());
    if (i == 2) Let(KeyAlt);
  }
  Let(KeyRight);
  EXPECT_GT(ground - highest, 60);
  EXPECT_GT(WorldX() - x0, 300);
  EXPECT_EQ(Bottom(), FloorY);
  EXPECT_EQ(p().moveFlag, 1);
}

TEST_F(ControlsTest, SmallFormAndTheStandUpTest) {
  float y = p().posY;
  Press(KeyCtrl);
  Controls();
  EXPECT_EQ(p().smallForm, 1);
  EXPECT_FLOAT_EQ(p().posY, y + 34);
  EXPECT_FLOAT_EQ(p().topSpeed, 7.0f);  // the limits follow in the next frame
  Controls();
  EXPECT_FLOAT_EQ(p().topSpeed, 9.0f);
  EXPECT_FLOAT_EQ(p().accel, 0.9f);
  EXPECT_FLOAT_EQ(p().jumpSpeed, -10.0f);
  // A block over the head keeps the figure small.
  int col = int((-p().posX + kw::PlayerScreenX) / 30), row = int((p().posY + 192) / 30);
  Put(col, row - 1, 2);
  Let(KeyCtrl);
  Controls(3);
  EXPECT_EQ(p().smallForm, 1);
  Put(col, row - 1, 1);
  Controls();
  EXPECT_EQ(p().smallForm, 0);
  EXPECT_FLOAT_EQ(p().posY, y - 2);
  // Outside the map there is never room.
  Press(KeyCtrl);
  Controls();
  Let(KeyCtrl);
  p().posX = 500;
  Controls();
  EXPECT_EQ(p().smallForm, 1);
  // The speed step looks ahead: vertical speed by columns, horizontal by rows.
  StandAt(600);
  p().smallForm = 1;
  p().speedY = 60;
  row = int((p().posY + 192) / 30);
  Put(22, row, 2);
  Controls();
  EXPECT_EQ(p().smallForm, 1);
}

TEST_F(ControlsTest, LookingMovesTheViewWithinLimits) {
  p().mapHeight = 30;
  p().pixelY = -50;  // the figure in the middle band: no follow
  Press(KeyDownArrow);
  Controls();
  EXPECT_EQ(p().facing, 2);
  EXPECT_EQ(p().frameX, 170);
  EXPECT_EQ(p().pixelY, -53);
  Let(KeyDownArrow);
  Press(KeyUp);
  Controls();
  EXPECT_EQ(p().frameX, 85);
  EXPECT_EQ(p().pixelY, -50);
  Let(KeyUp);
  kw::LastSide = 4;
  Controls();
  EXPECT_EQ(p().frameX, 0);
  EXPECT_EQ(p().facing, 4);
  // Far above the middle band the view follows 3 pixels a frame.
  p().posY = -200;
  p().pixelY = -100;
  Controls();
  EXPECT_EQ(p().pixelY, -97);
  // The bottom limit of a short map stops looking down.
  p().mapHeight = 12;
  p().posY = 12;
  p().pixelY = 40;
  Press(KeyDownArrow);
  Controls();
  EXPECT_EQ(p().pixelY, 40);
  Let(KeyDownArrow);
}

TEST_F(ControlsTest, ClimbingKeys) {
  p().climbing = 1;
  Press(KeyUp);
  Controls(5);
  EXPECT_FLOAT_EQ(p().speedY, -2.0f);
  EXPECT_FLOAT_EQ(p().speedX, 0.0f);
  EXPECT_EQ(p().climbFrame, 1);  // the frame turns after four ticks
  Let(KeyUp);
  Press(KeyDownArrow);
  Controls();
  EXPECT_FLOAT_EQ(p().speedY, 1.0f);
  Let(KeyDownArrow);
  Controls();
  EXPECT_FLOAT_EQ(p().speedY, -0.1f);
  // On a ladder the duck key does not make the figure small.
  Press(KeyCtrl);
  Controls();
  EXPECT_EQ(p().smallForm, 0);
  Let(KeyCtrl);
}

TEST_F(ControlsTest, SwordSwingLastsHalfASecond) {
  Tap(KeySpace);
  EXPECT_EQ(p().swordSwing, 0);  // no sword yet
  p().hasSword = 1;
  Tap(KeySpace);
  EXPECT_EQ(p().swordSwing, 1);
  EXPECT_EQ(p().swordRow, 1);
  int32_t start = kw::SwingStart;
  kw::SleepMs(200);
  Tap(KeySpace);  // no new swing while one runs
  EXPECT_EQ(kw::SwingStart, start);
  kw::SleepMs(290);
  Controls();
  EXPECT_EQ(p().swordSwing, 1);
  kw::SleepMs(20);
  Controls();
  EXPECT_EQ(p().swordSwing, 0);
  EXPECT_EQ(p().swordRow, 0);
  // The small form cannot strike.
  KeepSmall();
  Tap(KeySpace);
  EXPECT_EQ(p().swordSwing, 0);
}

TEST_F(ControlsTest, ThrowingWeaponsShotsAndRecoil) {
  AddWeapons();
  Press(KeyEnter);
  Controls();
  EXPECT_EQ(p().throwPose, 1);
  EXPECT_EQ(kw::Shots.Count(), 0);
  Let(KeyEnter);
  Controls();
  EXPECT_EQ(p().throwPose, 0);
  ASSERT_EQ(kw::Shots.Count(), 1);
  kw::Shot s = LastShot();
  EXPECT_EQ(s.dir, 1);
  EXPECT_EQ(s.damage, 1);
  EXPECT_EQ(s.sprite, 326);
  EXPECT_FLOAT_EQ(s.x, -p().posX + 300);
  EXPECT_FLOAT_EQ(s.y, p().posY + 230);
  EXPECT_EQ(kw::Items.begin()->throws, 4);

  // The golden axe thrown left pushes the figure right.
  kw::Items.Select(1);
  p().facing = 4;
  kw::LastSide = 4;
  Tap(KeyEnter);
  EXPECT_EQ(LastShot().dir, -1);
  EXPECT_EQ(LastShot().damage, 2);
  EXPECT_FLOAT_EQ(p().speedX, -1.5f);
  // Thrown upward it pushes down; looking down, it pushes up.
  p().speedX = 0;
  Press(KeyUp);
  Tap(KeyEnter);
  Let(KeyUp);
  EXPECT_EQ(LastShot().dir, 2);
  EXPECT_FLOAT_EQ(p().speedY, 1.5f);
  p().speedY = 0;
  Press(KeyDownArrow);
  Tap(KeyEnter);
  EXPECT_EQ(LastShot().dir, 3);
  EXPECT_FLOAT_EQ(p().speedY, -1.5f);
  // Used up: back to the first weapon.
  EXPECT_EQ(kw::Items.Current()->throws, 0);
  Tap(KeyEnter);
  Let(KeyDownArrow);
  EXPECT_EQ(kw::Items.Index(), 0);
  EXPECT_EQ(LastShot().damage, 1);
}

TEST_F(ControlsTest, TheFireAxeRepeatsEveryTenFramesWhileHeld) {
  AddWeapons();
  kw::Items.Select(2);
  kw::WorldStepTime = int32_t(kw::TimeMs()) - 20;
  Press(KeyEnter);
  Controls(35);
  EXPECT_EQ(kw::Shots.Count(), 3);
  EXPECT_EQ(LastShot().damage, 6);
  EXPECT_EQ(LastShot().sprite, 328);
  // Right after a world step it waits.
  kw::WorldStepTime = int32_t(kw::TimeMs());
  Controls(15);
  EXPECT_EQ(kw::Shots.Count(), 3);
  Let(KeyEnter);
  Controls();
  EXPECT_EQ(kw::ThrowRepeat, 0);
  EXPECT_EQ(kw::Shots.Count(), 3);  // letting go throws nothing more
}

TEST_F(ControlsTest, Cheats) {
  kw::CheatFastRun = 1;
  Press(KeyRight);
  Controls(10);
  EXPECT_FLOAT_EQ(p().accel, 4.0f);
  EXPECT_LE(p().speedX, -18.0f);
  EXPECT_GE(p().speedX, -22.0f);
  Let(KeyRight);
  kw::CheatFastRun = 0;

  AddWeapons();
  kw::CheatAutoFire = 1;
  Controls(10);
  EXPECT_EQ(kw::Shots.Count(), 5);  // every frame while the count lasts
  kw::CheatInvincible = 1;
  p().health = 3;
  p().mana = 1;
  Controls(10);
  // The count is refilled at the end of each frame; the first frame found it empty.
  EXPECT_EQ(kw::Shots.Count(), 14);
  EXPECT_FLOAT_EQ(p().health, 500.0f);
  EXPECT_FLOAT_EQ(p().mana, 100.0f);
  EXPECT_EQ(kw::Items.Current()->throws, 1);
}

TEST_F(ControlsTest, SpellsCostManaAndSetTheirEffects) {
  p().mana = 50;
  Tap(KeyF1);  // not known yet
  EXPECT_EQ(kw::Bombs.Count(), 0);
  p().spell1Known = p().spell2Known = p().spell3Known = p().spell4Known = 1;
  kw::HitGuard = 1;
  kw::GuardHealth = p().health;
  kw::GuardMana = 50;
  Tap(KeyF1);
  ASSERT_EQ(kw::Bombs.Count(), 1);
  EXPECT_EQ(kw::Bombs.begin()->x, kw::Nearest(-p().posX + 300) + 30);
  EXPECT_EQ(kw::Bombs.begin()->y, kw::Nearest(p().posY + 230));
  EXPECT_FLOAT_EQ(p().mana, 40.0f);
  EXPECT_EQ(kw::Spell, 357);
  EXPECT_EQ(kw::Aura, 357);
  EXPECT_EQ(kw::HitGuard, 0);  // casting ends the guard

  p().facing = 4;
  kw::LastSide = 4;
  kw::SpellDX = 77;
  Tap(KeyF4);
  EXPECT_EQ(kw::Spell, 358);
  EXPECT_EQ(p().spellDir, -1);
  EXPECT_EQ(kw::SpellDX, 0);
  EXPECT_FLOAT_EQ(p().mana, 38.0f);
  Press(KeyUp);
  Tap(KeyF6);
  Let(KeyUp);
  EXPECT_EQ(kw::Spell, 359);
  EXPECT_EQ(p().spellDir, 8);
  EXPECT_FLOAT_EQ(p().mana, 18.0f);
  Tap(KeyF6);  // 18 is not more than 20
  EXPECT_FLOAT_EQ(p().mana, 18.0f);

  // The guard aura while held: mana into health, both kept by the guard.
  float health = p().health = 100;
  Press(KeyF7);
  Controls(3);
  Let(KeyF7);
  EXPECT_EQ(kw::Spell, 370);
  EXPECT_EQ(kw::HitGuard, 1);
  EXPECT_FLOAT_EQ(p().health, health + 12);
  EXPECT_FLOAT_EQ(p().mana, 3.0f);
  Controls();
  EXPECT_FLOAT_EQ(p().mana, 3.0f);
  // The exchange while held: health into mana, and the guard ends.
  Press(Key5);
  Controls(2);
  Let(Key5);
  EXPECT_EQ(kw::Spell, 371);
  EXPECT_EQ(kw::HitGuard, 0);
  EXPECT_FLOAT_EQ(p().mana, 13.0f);
  EXPECT_FLOAT_EQ(p().health, health + 4);
  EXPECT_EQ(kw::GuardMana, 13);

  // No spell in the small form.
  KeepSmall();
  Tap(KeyF4);
  EXPECT_EQ(kw::Spell, 371);
}

TEST_F(ControlsTest, HealthRulesEndTheFrame) {
  p().health = 0;
  Controls();
  EXPECT_EQ(kw::GameOver, 0);
  EXPECT_EQ(p().mapDone, 0);
  p().health = 9999;
  Controls();
  EXPECT_FLOAT_EQ(p().health, 500.0f);
  kw::HitGuard = 1;
  kw::GuardHealth = 120;
  kw::GuardMana = 30;
  p().health = 40;  // a hit during the guard is undone
  Controls();
  EXPECT_FLOAT_EQ(p().health, 120.0f);
  EXPECT_FLOAT_EQ(p().mana, 30.0f);
  kw::HitGuard = 0;
  uint32_t t = kw::TimeMs();
  p().health = -0.1f;
  Controls();
  EXPECT_EQ(kw::GameOver, 1);
  EXPECT_EQ(p().mapDone, 1);
  EXPECT_GE(kw::TimeMs() - t, 2000u);
}

TEST_F(ControlsTest, GameKeysLeaveRequests) {
  Tap(KeyEsc);
  EXPECT_EQ(kw::PendingAction, kw::GameAction::PauseMenu);
  EXPECT_EQ(kw::PauseBackground, 376);
  EXPECT_EQ(kw::SpriteWidth(376), 640);
  kw::PendingAction = kw::GameAction::None;
  Tap(KeyEsc);  // the same picture again, not a new one
  EXPECT_EQ(kw::PauseBackground, 376);
  Tap(KeyF5);
  EXPECT_EQ(kw::PendingAction, kw::GameAction::QuickSave);
  Tap(KeyF8);
  EXPECT_EQ(kw::PendingAction, kw::GameAction::QuickLoad);
  Tap(KeyP);
  EXPECT_EQ(kw::Paused, 1);
  kw::CurrentMap = 4;
  p().contactFlag = 1;
  Tap(KeyR);
  EXPECT_EQ(kw::CurrentMap, 3);
  EXPECT_EQ(p().mapDone, 1);
  EXPECT_EQ(p().contactFlag, 0);
  Press(KeyTextMinus);
  Press(KeyTextPlus);
  Controls(3);
  EXPECT_EQ(kw::TextShift, -3);
  Let(KeyTextMinus);
  Controls(5);
  EXPECT_EQ(kw::TextShift, 2);
  Let(KeyTextPlus);
}

TEST_F(ControlsTest, DebugKeysAndDamagedBindings) {
  kw::HudVisible = 1;
  Tap(Key2);
  EXPECT_EQ(kw::HudVisible, 1);  // only with F2 held
  Press(KeyF2);
  Tap(Key2);
  EXPECT_EQ(kw::HudVisible, 0);
  Let(KeyF2);
  kw::MapRequest = 0;
  Press(KeyK);
  Controls();
  EXPECT_EQ(kw::MapRequest, 1);
  Let(KeyK);

  // A bound code outside the key table is never held, not "any key".
  kw::KeyBindings.begin()->code[kw::KeyRight] = -1;
  kw::KeyBindings.begin()->code[kw::KeyLeft] = 30000;
  Press(30);
  Controls(3);
  Let(30);
  EXPECT_FLOAT_EQ(p().speedX, 0.0f);
  // No bindings at all: nothing is held.
  kw::KeyBindings.Clear();
  Press(KeyAlt);
  Controls();
  Let(KeyAlt);
  EXPECT_FLOAT_EQ(p().speedY, 0.0f);
}

}  // namespace

namespace {

// The figure with a touch mask shaped like the game's: a head narrower than the body, a
// hand reaching out at chest height, a standing frame and two walking strides of
// different widths, so that a new frame reaches a few pixels further than the last one
// did. Each frame runs the world step, the figure's frame choice (as the world pass
// does) and the control.
class TrapsTest : public ControlsTest {
 protected:
  static constexpr int Ladder = 30;  // the ladder's column, x 900..929
  void SetUp() override {
    ControlsTest::SetUp();
    kwtest::MakePicture(kw::Spr::FigureSheet, 255, 290, [](int, int) { return true; });
    kwtest::MakePicture(kw::Spr::TouchMask, 255, 290, [](int x, int y) {
      const int rowTop[] = {0, 57, 114, 172}, left[] = {9, 12, 10, 12}, right[] = {33, 30, 33, 33};
      int fx = x % 85 % 43;
      for (int r = 0; r < 4; ++r) {
        int fy = y - rowTop[r];
        if (fy >= 2 && fy <= 13) return fx >= 15 && fx <= 27;  // the head, narrower
        if (fy >= 20 && fy <= 23) return fx >= left[r] - 3 && fx <= right[r] + 3;  // the hands
        if (fy > 13 && fy <= 56) return fx >= left[r] && fx <= right[r];
      }
      return false;
    });
    // Ladder pictures as the game's: two rails and rungs.
    kwtest::MakePicture(26, 30, 30, [](int x, int y) {
      return (x >= 4 && x < 8) || (x >= 22 && x < 26) || (x >= 8 && x < 22 && y % 9 >= 3 && y % 9 < 6);
    });
    for (int i = 0; i < 4; ++i) GameFrame();
  }
  void GameFrame() {
    Step();
    kw::SelectPlayerFrame();
    kw::PlayerControls();
  }
  // Runs frames with keys held; false when the figure sank into the floor or rested in
  // the air (a landing takes the fall's last step back, which may leave the figure a few
  // pixels up for a frame).
  bool Hold(std::vector<int> keys, int frames, const std::vector<int>& surfaces) {
    for (int k : keys) Press(k);
    bool fine = true;
    for (int i = 0, resting = 0; i < frames; ++i) {
      GameFrame();
      int bottom = p().smallForm == 1 ? TopY() + 30 : Bottom();  // the small form is 30 high
      bool onSurface = false;
      for (int top : surfaces) onSurface = onSurface || std::abs(bottom - 1 - top) <= 1;
      resting = p().speedY == 0 && p().moveFlag == 1 && !onSurface ? resting + 1 : 0;
      if (bottom > FloorY + 2 || resting > 2) fine = false;
    }
    for (int k : keys) Let(k);
    return fine;
  }
};

// Walking right past the foot of a ladder, pressing Down at it, climbing and walking
// off: at every place by the ladder and every speed (the walk starts further away for
// more speed), alone and with a platform beside it whose corner the figure runs into.
// The figure neither sinks into the ground under the ladder nor stays held there.
TEST_F(TrapsTest, LadderFootsHoldNobody) {
  for (bool platform : {false, true})
    for (int start = -90; start <= (platform ? -4 : 20); start += 2) {  // not inside the corner
      SetUp();
      for (int r = 6; r < FloorRow; ++r) Put(Ladder, r, 26);
      if (platform)
        for (int c = Ladder + 1; c < Ladder + 8; ++c)
          for (int r = 6; r <= 8; ++r) Put(c, r, 2);
      StandAt(Ladder * 30 + start);
      SCOPED_TRACE(testing::Message() << "platform " << platform << " start " << start);
      ASSERT_TRUE(Hold({KeyRight}, 40, {FloorY}));
      if (!platform) {
        EXPECT_GT(WorldX(), Ladder * 30 + 60);
        StandAt(Ladder * 30 + start / 4);
      }
      EXPECT_TRUE(Hold({KeyDownArrow}, 40, {FloorY}));
      int top = TopY();
      EXPECT_TRUE(Hold({KeyUp}, 10, {FloorY}));
      EXPECT_LT(TopY(), top - 10);
      EXPECT_TRUE(Hold({}, 60, {FloorY}));
      double x = WorldX();
      EXPECT_TRUE(Hold({KeyLeft}, 30, {FloorY}));
      EXPECT_LT(WorldX(), x - 60);
    }
}

// Climbing a ladder beside a platform, from every place at its foot where the figure
// touches it: the platform's cells beside the ladder never stop the climb, and at the top
// the figure walks onto the platform.
TEST_F(TrapsTest, ClimbingBesideAPlatformReachesItsTop) {
  for (int start = -24; start <= 16; start += 2) {
    SetUp();
    for (int r = 3; r < FloorRow; ++r) Put(Ladder, r, 26);
    for (int c = Ladder + 1; c < Ladder + 10; ++c) Put(c, 4, 2), Put(c, 5, 2);  // top y 120
    StandAt(Ladder * 30 + start);
    SCOPED_TRACE(testing::Message() << "start " << start);
    EXPECT_TRUE(Hold({KeyUp}, 150, {FloorY, 120}));
    EXPECT_LE(Bottom(), 121);
    EXPECT_TRUE(Hold({KeyRight}, 30, {FloorY, 120}));
    EXPECT_GT(WorldX(), (Ladder + 2) * 30);
    EXPECT_EQ(Bottom(), 121);
  }
}

// Walking and jumping off a block's edge at every x toward a higher block: the figure
// never rests in mid-air against a block's side (a new walking frame reaching into the
// side used to land it there), and once the keys are let go it stands on the floor or
// on a block.
TEST_F(TrapsTest, NoRestInMidAirBesideABlock) {
  for (bool jump : {false, true})
    for (int x = 660; x < 720; ++x) {
      SetUp();
      for (int c = 20; c <= 24; ++c)
        for (int r = 7; r <= 9; ++r) Put(c, r, 2);  // top y 210
      for (int c = 28; c <= 30; ++c)
        for (int r = 5; r <= 9; ++r) Put(c, r, 2);  // top y 150, side at x 840
      PlaceFigure(x, 210 - 57);
      SCOPED_TRACE(testing::Message() << "jump " << jump << " x " << x);
      std::vector<int> keys = {KeyRight};
      if (jump) keys.push_back(KeyAlt);
      EXPECT_TRUE(Hold(keys, 90, {FloorY, 210, 150}));
      EXPECT_TRUE(Hold({}, 60, {FloorY, 210, 150}));
      EXPECT_EQ(p().speedY, 0.0f);
    }
}

// Falling along a wall as high as the screen, or past a single stone in the air, from
// every x by it and every height: the hand that reaches out at chest height touches the
// top edge of a cell on the way down, which once counted as ground and held the figure
// in mid-air against the wall (free map 1's tall pillar) until Left was pressed. With
// Right held or no key, the figure reaches the floor.
TEST_F(TrapsTest, AHandOnAWallHoldsNobodyInTheAir) {
  for (bool stone : {false, true})
    for (bool right : {false, true})
      for (int x = 790; x < 804; ++x)  // the hands end a pixel before the wall, or touch it
        for (int y = 60; y < 120; y += 6) {
          SetUp();
          for (int r = 0; r < FloorRow; ++r)
            if (!stone || r == 5) Put(28, r, 2);  // the side at x 840; the stone at y 150..179
          PlaceFigure(x, y);
          SCOPED_TRACE(testing::Message() << "stone " << stone << " right " << right << " x " << x << " y " << y);
          std::vector<int> keys;
          if (right && !stone) keys.push_back(KeyRight);  // past the stone it would walk away
          EXPECT_TRUE(Hold(keys, 90, {FloorY, 150}));
          EXPECT_TRUE(Hold({}, 10, {FloorY, 150}));  // walking into the wall lifts it a few pixels
          EXPECT_TRUE(Bottom() == FloorY + 1 || (stone && Bottom() == 151)) << Bottom();
        }
}

// Crawling right under a ledge one row above the floor and letting go of the duck key
// at every x: the figure stands up only clear of the ledge (it stood up into the ledge's
// end and was held there), and walks on to stand beyond it.
TEST_F(TrapsTest, StandingUpNeverIntoALedge) {
  for (int x = 560; x <= 760; x += 3) {
    SetUp();
    for (int c = 20; c <= 24; ++c) Put(c, 8, 2);  // y 240..269: a gap of one row above the floor
    StandAt(540);
    SCOPED_TRACE(testing::Message() << "let go at x " << x);
    Press(KeyCtrl);
    Press(KeyRight);
    for (int i = 0; i < 200 && WorldX() < x; ++i) GameFrame();
    Let(KeyCtrl);
    EXPECT_TRUE(Hold({KeyRight}, 60, {FloorY}));
    EXPECT_EQ(p().smallForm, 0);
    EXPECT_GT(WorldX(), 25 * 30);
    EXPECT_EQ(Bottom(), FloorY + 1);
  }
}

}  // namespace
