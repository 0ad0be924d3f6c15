// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The frame loop's pieces: world-step pacing in virtual time, the hurt countdown, the
// moving-tile swing, the message ticker, the visible window, the map end with
// Saves\Story.save, the loading bar and the title picture, and the --state JSON.
#include <cstdlib>
#include <tuple>

#include "../content/test_data.h"
#include "common/pictures.h"
#include "media/input_internal.h"
#include "play/play.h"

using namespace kwtest;

namespace {

class LoopTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    kw::CreateScriptLists();
    kw::SetNewGamePlayer(kw::P());
  }
};

// The pause. In a window it is the minimised window: P minimises it, play waits while it
// is down, and restoring it by hand ends the pause, pause after pause; the window is
// never maximised (it would come back maximised, and be remembered so); P during the
// pause ends it too. While the game shows full screen, also one reached by Alt+Enter
// from a window, P shows the pause picture and P again ends it.
TEST_F(LoopTest, PauseInAWindowEndsWhenRestoredAndInFullScreenByP) {
  kw::KeyBindings.begin()->code[size_t(kw::KeyPause)] = kw::Key::P;
  kw::Map.Create(3, 3);
  kw::LightGrid.Create(3, 3);
  auto tapP = [](bool controls) {
    kw::InjectKey(kw::Key::P, true);
    controls ? void(kw::PlayerControls()) : void(kw::ReadKeyboard());
    kw::InjectKey(kw::Key::P, false);
    if (controls) kw::PlayerControls();
  };
  auto passes = [](int n) {
    for (int i = 0; i < n; ++i) {
      kw::PauseScreen();
      EXPECT_NE(kw::GetWindowMode(), kw::WindowMaximised);
    }
  };
  kw::WindowedMode = 1;
  kw::OpenWindowedDisplay(640, 480, "Klingenwald");
  kw::SetWindowMode(kw::WindowNormal);
  for (int pause = 0; pause < 2; ++pause) {
    tapP(true);
    ASSERT_EQ(kw::Paused, 1);
    passes(5);
    EXPECT_EQ(kw::Paused, 1) << "pause " << pause;
    EXPECT_EQ(kw::GetWindowMode(), kw::WindowMinimised);
    kw::SetWindowMode(kw::WindowNormal);  // restored by hand
    passes(1);
    EXPECT_EQ(kw::Paused, 0) << "pause " << pause;
    EXPECT_EQ(kw::GetWindowMode(), kw::WindowNormal);
  }
  tapP(true);
  passes(2);
  tapP(false);
  passes(1);
  EXPECT_EQ(kw::Paused, 0);

  kw::ToggleFullScreen();  // Alt+Enter
  kw::SetWindowMode(kw::WindowNormal);
  kw::ClearBackBuffer(0);
  FillSprite(kw::Spr::PausePicture, 640, 480, [](int, int) { return Argb(1, 2, 3); });
  tapP(true);
  passes(3);
  EXPECT_EQ(kw::Paused, 1);
  EXPECT_EQ(kw::GetWindowMode(), kw::WindowNormal);
  EXPECT_EQ(Pixel(320, 240), Argb(1, 2, 3));
  tapP(false);
  passes(1);
  EXPECT_EQ(kw::Paused, 0);
  kw::ToggleFullScreen();
  kw::OpenFullScreenDisplay(640, 480, 32, "Karte");
}

TEST_F(LoopTest, WorldStepRunsOnlyAfterMoreThan15Ms) {
  kw::P().mana = 50.0f;
  uint32_t now = kw::TimeMs();
  kw::WorldStepTime = int32_t(now - 15);
  // The flip counter runs for the whole test binary: count this pass's flips alone.
  long flipsBefore = kw::FlipCount();
  kw::PlayPass();  // the flip comes after the test: 15 ms is not enough
  EXPECT_EQ(kw::AnimFrameBase, 6000);
  EXPECT_FLOAT_EQ(kw::P().mana, 50.0f);
  EXPECT_EQ(kw::FlipCount(), flipsBefore + 1);
  kw::WorldStepTime = int32_t(kw::TimeMs() - 16);
  kw::PlayPass();
  EXPECT_EQ(kw::AnimFrameBase, 7000);
  EXPECT_FLOAT_EQ(kw::P().mana, 50.09f);
  // A flip advances virtual time by a frame, so the next pass steps again.
  kw::PlayPass();
  EXPECT_EQ(kw::AnimFrameBase, 8000);
  kw::PlayPass();
  kw::PlayPass();
  EXPECT_EQ(kw::AnimFrameBase, 6000);  // 9000 + 1000 wraps to 6000
}

TEST_F(LoopTest, HurtCountdownEndsSpellAndGuardAtZero) {
  kw::HurtTime = 2;
  kw::Spell = 370;
  kw::HitGuard = 1;
  kw::WorldStep(kw::TimeMs());
  EXPECT_EQ(kw::HurtTime, 1);
  EXPECT_EQ(kw::Spell, 370);
  kw::WorldStep(kw::TimeMs() + 20);
  EXPECT_EQ(kw::HurtTime, 0);
  EXPECT_EQ(kw::Spell, 0);
  EXPECT_EQ(kw::HitGuard, 0);
  kw::Spell = 358;
  kw::WorldStep(kw::TimeMs() + 40);  // below zero: nothing is reset again
  EXPECT_EQ(kw::Spell, 358);
  EXPECT_EQ(kw::WorldStepTime, int32_t(kw::TimeMs() + 40));
}

TEST_F(LoopTest, MovingCellSwingsAndCarriesThePlayer) {
  kw::Map.Create(2, 2);
  kw::MovingTiles.Add(kw::CellPos{1, 1});
  kw::MapCell& c = kw::Map.At(1, 1);
  c.tile = 5;
  c.vRange = 30;
  c.vStep = 3;
  std::vector<int> seen;
  for (int i = 0; i < 22; ++i) {
    kw::MovingTileStep();
    seen.push_back(c.offY);
  }
  std::vector<int> want = {-3, -6, -9, -12, -15, -18, -21, -24, -27, -30, -27,
                           -24, -21, -18, -15, -12, -9, -6, -3, 0, -3, -6};
  EXPECT_EQ(seen, want);
  // Standing on it: the vertical step moves posY, the horizontal one posX the other way.
  c.onPlatform = 1;
  c.hRange = 60;
  c.hStep = 1;
  c.offX = 10;
  float y = kw::P().posY, x = kw::P().posX;
  kw::MovingTileStep();
  EXPECT_EQ(c.offY, -9);
  EXPECT_FLOAT_EQ(kw::P().posY, y - 3);
  EXPECT_EQ(c.offX, 11);
  EXPECT_FLOAT_EQ(kw::P().posX, x - 1);
  // Cells with tile 0 or 1 do not move.
  c.tile = 1;
  kw::MovingTileStep();
  EXPECT_EQ(c.offY, -9);
}

TEST_F(LoopTest, MessageTickerDropsOneCharacterPer21Passes) {
  kw::P().message = "Hallo";
  kw::P().textColor = 255;
  for (int i = 0; i < 21 * 5 - 1; ++i) kw::ProcessMessageTicker();
  EXPECT_EQ(kw::P().message, "o");
  EXPECT_EQ(kw::P().textColor, 255);
  kw::ProcessMessageTicker();
  EXPECT_EQ(kw::P().message, "");
  EXPECT_EQ(kw::P().textColor, 0);
  for (int i = 0; i < 50; ++i) kw::ProcessMessageTicker();  // empty stays empty
  EXPECT_EQ(kw::P().message, "");
}

TEST_F(LoopTest, VisibleWindowIsClampedToTheMap) {
  kw::P().mapWidth = 100;
  kw::P().mapHeight = 40;
  kw::P().posX = -600.0f;  // cx = 900 / 30 = 30
  kw::P().pixelY = -300;   // ry = 10 + 2 = 12
  kw::ComputeVisibleWindow(0);
  EXPECT_EQ(kw::VisFromX, 19);
  EXPECT_EQ(kw::VisToX, 41);
  EXPECT_EQ(kw::VisFromY, 0);
  EXPECT_EQ(kw::VisToY, 25);
  kw::P().posX = 105.0f;  // (-105 + 300) / 30 = 6.5 -> 6 (half to even)
  kw::ComputeVisibleWindow(1);
  EXPECT_EQ(kw::VisFromX, 0);
  EXPECT_EQ(kw::VisToX, 100);
  EXPECT_EQ(kw::VisToY, 40);
  kw::P().posX = -2985.0f;  // cx = 3285 / 30 = 109.5 -> 110, beyond W
  kw::ComputeVisibleWindow(0);
  EXPECT_EQ(kw::VisFromX, 99);
  EXPECT_EQ(kw::VisToX, 100);
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(LoopTest, MapEndWritesStoryProgressAndResetsThePlayer) {
  kw::CurrentMap = 3;
  kw::PlayerRecord& p = kw::P();
  p.mapDone = 1;
  p.hasKey = 1;
  p.keyTime = 12;
  p.score = 77;
  p.mana = 40.0f;
  p.facing = 4;
  p.giveCounter = 9;
  kw::Bombs.Add();
  kw::MapEnd();
  EXPECT_EQ(ReadFile(folder.user / "Saves" / "Story.save"), "4");
  EXPECT_EQ(kw::CurrentMap, 4);
  EXPECT_EQ(kw::Items.Current()->throws, 30);
  EXPECT_EQ(kw::Bombs.Count(), 0);
  EXPECT_EQ(p.mapDone, 0);
  EXPECT_EQ(p.hasKey, 0);
  EXPECT_EQ(p.keyTime, 0);
  EXPECT_EQ(p.facing, 6);
  EXPECT_EQ(p.score, 77);
  EXPECT_FLOAT_EQ(p.mana, 40.0f);
  EXPECT_EQ(p.giveCounter, 9);
  EXPECT_EQ(p.spare68[4], 3000);  // the map change's value differs from a new game's
  EXPECT_EQ(p.spare98[0], 0);
  // Game over: the same map is written again.
  kw::GameOver = 1;
  kw::MapEnd();
  EXPECT_EQ(ReadFile(folder.user / "Saves" / "Story.save"), "4");
  EXPECT_FALSE(std::filesystem::exists(folder.game / "Saves"));
}

TEST_F(LoopTest, NewGamePlayerStartValues) {
  kw::PlayerRecord p;
  p.score = 5;
  kw::SetNewGamePlayer(p);
  EXPECT_EQ(p.score, 0);
  EXPECT_EQ(p.facing, 6);
  EXPECT_FLOAT_EQ(p.health, 500.0f);
  EXPECT_FLOAT_EQ(p.mana, 100.0f);
  EXPECT_EQ(p.spare68[4], 30000);
  EXPECT_EQ(p.spare92[0], -14);
  EXPECT_EQ(p.spare98[0], 1);
  EXPECT_EQ(p.spare142[2], 1);
  EXPECT_EQ(p.spareLast, 4);
}

TEST_F(LoopTest, LoadingBarCellsAndDrawing) {
  EXPECT_EQ(kw::LoadingBarText(0), "[/][ ][ ][ ][ ][ ][ ][ ][ ][ ][ ]");
  EXPECT_EQ(kw::LoadingBarText(4), "[/][/][/][/][/][ ][ ][ ][ ][ ][ ]");
  EXPECT_EQ(kw::LoadingBarText(10), "[/][/][/][/][/][/][/][/][/][/][/]");
  // Drawn black on white at (100, 200) and (100, 250).
  kw::ClearBackBuffer(kw::Rgb(10, 20, 30));
  kw::LoadProgress = 10;
  kw::DrawLoadingBar();
  auto changedRow = [](int y0) {
    int changed = 0;
    for (int y = y0; y < y0 + 20; ++y)
      for (int x = 100; x < 300; ++x) changed += Pixel(x, y) != Argb(10, 20, 30);
    return changed;
  };
  EXPECT_GT(changedRow(200), 100);
  EXPECT_GT(changedRow(250), 100);
  EXPECT_EQ(Pixel(50, 100), Argb(10, 20, 30));
}

TEST_F(LoopTest, TitlePictureSpinsAndGrows) {
  kw::CreateSprite(322, 64, 48);
  uint32_t* px = kw::SpritePixels(322);
  ASSERT_NE(px, nullptr);
  for (int i = 0; i < 64 * 48; ++i) px[i] = Argb(200, 100, 50);
  kw::MakeSprite3D(322, 322);
  kw::IntroZoom = 100;
  kw::IntroSpin = 1.0f;
  kw::ClearBackBuffer(kw::Rgb(1, 2, 3));
  kw::DrawTitleFrame();
  EXPECT_EQ(kw::IntroZoom, 101);
  EXPECT_FLOAT_EQ(kw::IntroSpin, 1.1f);
  // Scaled to 741 x 581 at (-50, -50): it covers the whole screen.
  EXPECT_EQ(Pixel(320, 240), Argb(200, 100, 50));
  EXPECT_EQ(Pixel(2, 2), Argb(200, 100, 50));
  kw::DrawTitleFrame();
  EXPECT_EQ(kw::IntroZoom, 102);
  for (int i = 0; i < 20; ++i) kw::DrawTitleFrame();
  EXPECT_GT(kw::IntroZoom, 140);
  // However long the map takes, the zoom stops growing instead of overflowing.
  kw::IntroZoom = 99990;
  kw::IntroSpin = 2000.0f;
  kw::DrawTitleFrame();
  EXPECT_EQ(kw::IntroZoom, 100000);
}

// A map start with header values at the int32 limits: the start position keeps its
// sign and the time-match bonus does not wrap the time value.
TEST_F(LoopTest, MapStartCopesWithStartValuesAtTheLimits) {
  WritePack(folder.game / "paks" / "Tiles.pak", TilesEntries());
  kw::CurrentMap = 1;
  kw::TimeMatch = 1;
  kw::TimeBonus = 100;
  MapSpec m;
  m.startX = INT32_MIN;
  std::string bytes = m.Bytes();
  size_t at = bytes.find("\r\n77\r\n");  // header line 7, the time value
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 6, "\r\n2147483647\r\n");
  folder.WriteText(folder.game / "maps" / "TimeMatch" / "map1.map", bytes);
  kw::Portals.Add();
  kw::InjectKey(57, true);  // ends the title picture at once
  kw::MapStart();
  kw::InjectKey(57, false);
  kw::ResetInput();
  EXPECT_EQ(kw::MapJustStarted, 1);
  EXPECT_EQ(kw::PlayerScreenX, 300);
  EXPECT_EQ(kw::LastSide, 6);
  EXPECT_EQ(kw::Portals.Count(), 0);
  EXPECT_EQ(kw::P().timeValue, INT32_MAX);
  // The start far past any map is cut where the map is read; posX is its negation:
  // far to the right, not wrapped to the left.
  EXPECT_EQ(kw::P().posX, 1.0e6f);
  EXPECT_EQ(kw::RespawnX, -1000000);
}

// Header and cell numbers at the ends of their range: the world still draws without
// any signed overflow (the sanitizer build stops at the first one).
TEST_F(LoopTest, WorldDrawsWithExtremeMapNumbers) {
  WritePack(folder.game / "paks" / "Tiles.pak", TilesEntries());
  kw::CurrentMap = 1;
  for (auto [exitCol, exitRow, startX] : {std::tuple{INT32_MAX, INT32_MIN + 1, INT32_MIN},
                                          std::tuple{-INT32_MAX, INT32_MAX, INT32_MAX}}) {
    MapSpec m;
    m.exitCol = exitCol;
    m.exitRow = exitRow;
    m.startX = startX;
    m.startY = INT32_MIN;
    // A still cell and a moving cell with the largest picture numbers.
    m.layers = [](int c, int r) {
      int32_t moving = c == 1 && r == 1 ? 3 : 0;
      return std::array<int32_t, 7>{INT32_MAX, INT32_MAX, INT32_MAX, moving, 0, 1, 255};
    };
    folder.WriteText(folder.game / "maps" / "map1.map", m.Bytes());
    kw::InjectKey(57, true);
    kw::MapStart();
    kw::InjectKey(57, false);
    kw::ResetInput();
    EXPECT_EQ(std::abs(kw::ExitCol), 1000000);
    EXPECT_EQ(std::abs(kw::ExitRow), 1000000);
    EXPECT_EQ(kw::Map.At(0, 0).tile, kw::MaxSprites);
    EXPECT_EQ(kw::MovingTiles.Count(), 1);
    for (int i = 0; i < 3; ++i) kw::DrawWorld();
  }
}

TEST_F(LoopTest, StateJsonHasTheKeys) {
  kw::CurrentMap = 2;
  kw::P().message = "Gr\xfc\xdf \"dich\"";
  kw::CurrentScreen = kw::Screen::Play;
  std::string j = kw::StateJson();
  for (const char* key : {"CurrentMap", "StoryMode", "TimeMatch", "GameOver", "Volume",
                          "PlayerScreenX", "posX", "posY", "pixelY", "health", "mana", "score",
                          "hasSword", "hasKey", "smallForm", "facing", "message", "Enemies",
                          "Shots", "Bombs", "Portals", "screen"})
    EXPECT_NE(j.find("\"" + std::string(key) + "\": "), std::string::npos) << key;
  EXPECT_NE(j.find("\"screen\": \"play\""), std::string::npos);
  EXPECT_NE(j.find("\"CurrentMap\": 2,"), std::string::npos);
  EXPECT_NE(j.find("\"message\": \"Gr\xc3\xbc\xc3\x9f \\\"dich\\\"\""), std::string::npos) << j;
}

}  // namespace
