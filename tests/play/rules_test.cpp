// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map rules step by step: exit with and without a boss, portals on release only,
// the key running out, the hurt reaction, the once-per-run bonus, mana cap, debug,
// respawn, the time-match end and the map-3 arena and guardian.
#include <functional>
#include <string>

#include "media/input_internal.h"
#include "play/combat_fixture.h"

namespace kwtest {
namespace {

class RulesTest : public CombatTest {
 protected:
  void SetUp() override {
    CombatTest::SetUp();
    kw::ExitCol = 15;  // (450, 0): away from the figure unless a test walks there
    kw::ExitRow = 0;
    kw::Portals.Clear();
    HoldKey(28, false);
    kw::LastHealth = 500;
  }
  static void HoldKey(int code, bool down) {
    kw::InjectKey(code, down);
    kw::ReadKeyboard();
  }
  kw::Portal& AddPortal(int col, int row, int targetCol, int targetRow, const std::string& text) {
    kw::Portals.Last();
    kw::Portal& portal = kw::Portals.Add();
    portal.col = col;
    portal.row = row;
    portal.targetCol = targetCol;
    portal.targetRow = targetRow;
    portal.portalMessage = text;
    portal.active = 1;
    return portal;
  }
};

const std::string ExitText = "Dr\xFC" "cke Return zum betreten";

TEST_F(RulesTest, TheExitOpensWithReturnUnlessABossLives) {
  kw::ExitCol = 5;
  kw::ExitRow = 5;
  kw::MapRules();
  EXPECT_EQ(p().message, "");
  PlaceFigure(140, 140);
  kw::BossShown = 1;
  HoldKey(28, true);
  kw::MapRules();
  EXPECT_EQ(p().message, ExitText);
  EXPECT_EQ(p().mapDone, 0);
  kw::BossShown = 0;
  kw::MapRules();
  EXPECT_EQ(p().mapDone, 1);
}

TEST_F(RulesTest, APortalTakesThePlayerOnlyWhenReturnIsLetGo) {
  AddPortal(10, 3, 2, 7, "Ein Tor");  // marker at (300, 90)
  PlaceFigure(290, 80);
  HoldKey(28, true);
  kw::MapRules();
  EXPECT_EQ(p().message, "Ein Tor");
  EXPECT_FLOAT_EQ(p().posX, 0);
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().posX, 0);
  kw::InjectKey(28, false);
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().posX, 360 - 60);
  EXPECT_FLOAT_EQ(p().posY, 210 - 230);
}

// The portal asks for Return alone: a key let go while the figure stands in a portal
// still reaches the controls of the same pass.
TEST_F(RulesTest, APortalLeavesTheControlsEveryOtherKeyRelease) {
  AddPortal(10, 3, 2, 7, "Ein Tor");
  kw::KeyBindings.Clear();
  kw::KeyBindingRecord& keys = kw::KeyBindings.Add();
  keys.code = {1, 25, 63, 67, 88, 73, 81, 51, 52, 29, 200, 203, 205, 57, 45, 46, 30, 31, 32, 33};
  const struct {
    int slot;
    std::function<bool()> done;
  } cases[] = {
      {kw::KeySword, [&] { return p().swordSwing == 1; }},
      {kw::KeyCancel, [] { return kw::PendingAction == kw::GameAction::PauseMenu; }},
      {kw::KeyPause, [] { return kw::Paused == 1; }},
      {kw::KeySave, [] { return kw::PendingAction == kw::GameAction::QuickSave; }},
      {kw::KeyLoad, [] { return kw::PendingAction == kw::GameAction::QuickLoad; }},
      {kw::KeyRestart, [&] { return p().mapDone == 1; }},
  };
  for (const auto& c : cases) {
    PlaceFigure(290, 80);
    p().hasSword = 1;
    p().swordSwing = 0;
    p().mapDone = 0;
    kw::Paused = 0;
    kw::PendingAction = kw::GameAction::None;
    int code = keys.code[size_t(c.slot)];
    HoldKey(code, true);  // the last pass's controls saw it down
    kw::InjectKey(code, false);
    kw::MapRules();
    EXPECT_EQ(p().message, "Ein Tor");
    kw::PlayerControls();
    EXPECT_TRUE(c.done()) << "slot " << c.slot;
  }
  // Return itself still takes the player through, once.
  PlaceFigure(290, 80);
  p().posX = 0;
  HoldKey(28, true);
  kw::InjectKey(28, false);
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().posX, 360 - 60);
  p().posX = 0;
  kw::ReadKeyboard();  // the release was taken: no snapshot shows it again
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().posX, 0);
}

TEST_F(RulesTest, AnInactivePortalNeitherSpeaksNorMoves) {
  AddPortal(10, 3, 2, 7, "Ein Tor").active = 0;
  PlaceFigure(290, 80);
  HoldKey(28, true);
  kw::InjectKey(28, false);
  kw::MapRules();
  EXPECT_EQ(p().message, "");
  EXPECT_FLOAT_EQ(p().posX, 0);
}

TEST_F(RulesTest, OverlappingPortalsSpeakInOrderAndTheFirstReleaseMoves) {
  AddPortal(10, 3, 2, 7, "A");
  AddPortal(10, 3, 12, 7, "B");
  PlaceFigure(290, 80);
  HoldKey(28, true);
  kw::MapRules();
  EXPECT_EQ(p().message, "B");
  kw::InjectKey(28, false);
  kw::MapRules();
  // A moved the player; B, tested from the new place, no longer touches.
  EXPECT_FLOAT_EQ(p().posX, 300);
  EXPECT_EQ(p().message, "A");
}

TEST_F(RulesTest, AHeldKeyRunsOutAfterThirtySteps) {
  FillSprite(433, 600, 30, [](int, int) { return Red; });
  kw::MapRules();
  EXPECT_EQ(p().keyTime, 30);  // shown while no key is held
  p().hasKey = 1;
  kw::KeyTick = int32_t(kw::TimeMs());
  kw::SleepMs(999);
  kw::MapRules();
  EXPECT_EQ(p().keyTime, 30);  // not more than 999 ms yet
  for (int i = 0; i < 29; ++i) {
    kw::SleepMs(i == 0 ? 1 : 1000);
    kw::MapRules();
  }
  EXPECT_EQ(p().hasKey, 1);
  EXPECT_EQ(p().keyTime, 1);
  EXPECT_EQ(kw::KeyExpired, 0);
  kw::SleepMs(1000);
  kw::MapRules();
  EXPECT_EQ(p().hasKey, 0);
  EXPECT_EQ(p().keyTime, 0);
  EXPECT_EQ(kw::KeyExpired, 1);
  EXPECT_EQ(kw::SpriteWidth(19), 600);  // the closed door is back
  kw::MapRules();
  EXPECT_EQ(kw::KeyExpired, 0);
  EXPECT_EQ(p().keyTime, 30);
  // World steps come every 16 ms: the key still loses one second per second.
  p().hasKey = 1;
  kw::KeyTick = int32_t(kw::TimeMs());
  for (int i = 0; i < 160; ++i) {
    kw::SleepMs(16);
    kw::MapRules();
  }
  EXPECT_EQ(p().hasKey, 1);
  EXPECT_EQ(p().keyTime, 28);  // 2560 ms
}

TEST_F(RulesTest, LosingHealthShowsTheHurtPose) {
  kw::MapRules();
  EXPECT_EQ(kw::HurtTime, 0);
  p().health = 490.4f;
  kw::MapRules();
  EXPECT_EQ(kw::HurtTime, 25);
  EXPECT_EQ(kw::LastHealth, 490);
  kw::HurtTime = 3;
  kw::MapRules();  // rounded to 490: no new loss
  EXPECT_EQ(kw::HurtTime, 3);
  // A new map starts the health watch afresh, so a stale value does not hurt.
  kw::LastHealth = 5000;
  kw::HurtTime = 0;
  kw::MapJustStarted = 1;
  kw::MapRules();
  EXPECT_EQ(kw::HurtTime, 0);
  EXPECT_EQ(kw::MapJustStarted, 0);
}

TEST_F(RulesTest, TheScoreBonusIsGivenOncePerRun) {
  kw::Item& item = HoldWeapon("Default", 10);
  kw::BestScore = "100";
  p().score = 100;
  kw::MapRules();
  EXPECT_EQ(kw::ScoreBonusGiven, 0);
  p().score = 101;
  kw::MapRules();
  EXPECT_EQ(kw::ScoreBonusGiven, 1);
  EXPECT_EQ(item.throws, 30);
  EXPECT_FLOAT_EQ(p().health, 510);
  kw::ResetPlayMap();  // a later map
  p().score = 300;
  kw::MapRules();
  EXPECT_EQ(item.throws, 30);
  EXPECT_FLOAT_EQ(p().health, 510);
}

TEST_F(RulesTest, ManaCapDebugAndRespawn) {
  p().mana = 150;
  p().darkness = 120;
  kw::DebugMode = 1;
  kw::AnimFrameBase = 8000;
  kw::RespawnRequest = 1;
  kw::RespawnX = 500;
  kw::RespawnY = 40;
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().mana, 100);
  EXPECT_EQ(p().darkness, 0);
  EXPECT_EQ(kw::HideBackground, 1);
  EXPECT_EQ(kw::AnimFrameBase, 6000);
  EXPECT_FLOAT_EQ(p().posX, -500);
  EXPECT_FLOAT_EQ(p().posY, 40);
  EXPECT_EQ(kw::RespawnRequest, 0);
  p().posX = -900;
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().posX, -900);
}

TEST_F(RulesTest, ATimeMatchEndsTheGameWhenItsTimeIsUp) {
  kw::TimeMatch = 1;
  p().timeValue = 2;
  kw::MapStartTime = int32_t(kw::TimeMs());
  kw::SleepMs(1000);
  kw::MapRules();
  EXPECT_EQ(p().timeValue, 1);
  kw::SleepMs(500);
  kw::MapRules();
  EXPECT_EQ(p().timeValue, 1);
  EXPECT_EQ(kw::TimeOver, 0);
  kw::SleepMs(500);
  kw::MapRules();
  EXPECT_EQ(p().timeValue, 0);
  EXPECT_EQ(kw::TimeOver, 1);
  EXPECT_EQ(p().mapDone, 1);
  EXPECT_EQ(kw::GameOver, 1);
}

TEST_F(RulesTest, AMatchWithNoTimeLeftEndsInsteadOfCountingOn) {
  kw::TimeMatch = 1;
  p().timeValue = 0;
  kw::MapStartTime = int32_t(kw::TimeMs());
  kw::SleepMs(1001);
  kw::MapRules();
  EXPECT_EQ(kw::TimeOver, 1);
  // A free game has no countdown.
  kw::ResetPlayMap();
  kw::TimeMatch = 0;
  p().timeValue = 5;
  kw::SleepMs(3000);
  kw::MapRules();
  EXPECT_EQ(p().timeValue, 5);
  EXPECT_EQ(kw::TimeOver, 0);
}

TEST_F(RulesTest, MapThreeArenaFollowsThePlayer) {
  kw::CurrentMap = 3;
  const std::pair<float, int> cases[] = {
      {-2000, 0}, {-2740, 0}, {-3000, -260}, {-3377, -637}, {-3378, 0}, {-4000, -640}};
  for (auto [posX, shift] : cases) {
    p().posX = posX;
    kw::MapRules();
    EXPECT_EQ(kw::ArenaShift, shift) << posX;
  }
  kw::CurrentMap = 2;
  kw::MapRules();
  EXPECT_EQ(kw::ArenaShift, -640);  // only map 3 moves it
}

TEST_F(RulesTest, TheGuardianThrowsUpAPlayerWithoutKeyAndLetsAKeyPass) {
  kw::CurrentMap = 3;
  FillSprite(338, 40, 40, [](int, int) { return Red; });
  FillSprite(339, 77, 50, [](int, int) { return Red; });
  p().posX = -2000;  // guardian at (404, 190)
  PlaceFigure(400, 190);
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().health, 495);
  EXPECT_FLOAT_EQ(p().posY, 190 - 230 - 10);
  EXPECT_EQ(p().guardianDone, 0);
  PlaceFigure(400, 190);
  p().hasKey = 1;
  kw::MapRules();
  EXPECT_EQ(p().guardianDone, 1);
  EXPECT_EQ(p().score, 50);
  EXPECT_EQ(kw::GuardianState, 1);
  int ticks = 1;
  while (kw::GuardianState == 1 && ticks < 100) {
    kw::MapRules();
    ++ticks;
  }
  EXPECT_EQ(kw::GuardianState, 2);
  EXPECT_GE(ticks, 60);
  EXPECT_LE(ticks, 61);
  EXPECT_EQ(kw::SpriteWidth(338), 77);  // its final picture
  kw::MapRules();  // met once per map
  EXPECT_EQ(p().score, 50);
}

TEST_F(RulesTest, TheGuardianIsLeftAloneOnceTheMapIsDone) {
  kw::CurrentMap = 3;
  FillSprite(338, 40, 40, [](int, int) { return Red; });
  p().posX = -2000;
  PlaceFigure(400, 190);
  p().mapDone = 1;
  kw::MapRules();
  EXPECT_FLOAT_EQ(p().health, 500);
}

}  // namespace
}  // namespace kwtest
