// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The main and pause menu driven frame by frame: the slide-in, the click rule across
// entries, the story entry, the typed commands, leaving to play, and the quit dialog.
#include "media/input_internal.h"
#include "menu_fixture.h"

using namespace kwtest;

namespace {

// Points inside the entries' buttons once the panel has slid in.
constexpr int StartX = 120, StartY = 90;
constexpr int ScoreX = 170, ScoreY = 155;
constexpr int QuitX = 115, QuitY = 370;
constexpr int StoryX = 210, StoryY = 230;
constexpr int OffX = 500, OffY = 300;

// A pointer position that touches sprite s placed at (x, y), searched near it.
std::pair<int, int> PointOn(int s, int x, int y) {
  for (int dy = 0; dy < 60; ++dy)
    for (int dx = 0; dx < 100; ++dx)
      if (kw::SpritesTouch(353, x + dx, y + dy, s, x, y)) return {x + dx + 4, y + dy + 4};
  ADD_FAILURE() << "no point on sprite " << s;
  return {x, y};
}

class MainMenuTest : public MenuTest {
 protected:
  // Opens the menu and lets the panel slide in completely.
  void OpenSlidIn(int inGame) {
    kw::MainMenuEnter(inGame);
    for (int i = 0; i < 31; ++i) MenuFrame(OffX, OffY, false);
    ASSERT_EQ(kw::MenuSlide, 0);
  }
  // A key pressed for one frame and released in the next.
  void Type(const std::string& text, bool returnKey) {
    kw::InjectText(text);
    if (returnKey) kw::InjectKey(28, true);
    MenuFrame(OffX, OffY, false);
    if (returnKey) kw::InjectKey(28, false);
  }
};

TEST_F(MainMenuTest, PanelSlidesInFromTheLeftAndEntriesMoveWithIt) {
  kw::MainMenuEnter(0);
  EXPECT_EQ(kw::MenuSlide, -248);
  MenuFrame(StartX, StartY, true);  // the Start button is still far to the left
  EXPECT_EQ(kw::MenuSlide, -240);
  EXPECT_EQ(kw::BtnStartDown, 0);
  for (int i = 2; i <= 30; ++i) MenuFrame(OffX, OffY, false);
  EXPECT_EQ(kw::MenuSlide, -8);
  MenuFrame(StartX, StartY, true);
  EXPECT_EQ(kw::MenuSlide, 0);
  EXPECT_EQ(kw::BtnStartDown, 1);
  MenuFrame(StartX, StartY, true);
  EXPECT_EQ(kw::MenuSlide, 0);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::MainMenu);
}

TEST_F(MainMenuTest, PressMovesWithTheHeldButtonAndReleaseOutsideClearsIt) {
  OpenSlidIn(0);
  MenuFrame(StartX, StartY, true);
  EXPECT_EQ(kw::BtnStartDown, 1);
  MenuFrame(QuitX, QuitY, true);  // held onto "Beenden": the pressed state moves
  EXPECT_EQ(kw::BtnStartDown, 0);
  EXPECT_EQ(kw::BtnQuitDown, 1);
  MenuFrame(OffX, OffY, true);  // held off all entries: kept
  EXPECT_EQ(kw::BtnQuitDown, 1);
  MenuFrame(QuitX, QuitY, false);  // back and released: the click completes
  EXPECT_EQ(kw::BtnQuitDown, 0);
  EXPECT_EQ(kw::QuitAsked, 1);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::Quit);
  // Released outside every entry: nothing stays pressed, nothing happens.
  kw::QuitAsked = 0;
  MenuFrame(StartX, StartY, true);
  MenuFrame(OffX, OffY, false);
  EXPECT_EQ(kw::BtnStartDown, 0);
  MenuFrame(StartX, StartY, false);
  EXPECT_EQ(kw::MenuResult, 0);
  // The pressed picture is drawn 5 pixels lower than the normal one.
  kw::BtnStartDown = 1;
  kw::ClearBackBuffer(0);
  kw::DrawMainMenuScreen();
  auto pressed = Region(80, 71, 98, 54);
  kw::BtnStartDown = 0;
  kw::ClearBackBuffer(0);
  kw::DrawMainMenuScreen();
  EXPECT_NE(pressed, Region(80, 71, 98, 54));
  kw::ClearBackBuffer(0);
  kw::DrawSpriteKeyed(345, 0, 0);
  kw::DrawSpriteKeyed(346, 0, 21);
  kw::DrawSpriteKeyed(351, 80, 76);
  EXPECT_EQ(pressed[size_t(30 * 98 + 1)], Pixel(81, 101));
}

TEST_F(MainMenuTest, StartCopiesTheStartMapAndLeavesToPlay) {
  kw::StartMap = 4;
  OpenSlidIn(0);
  MenuFrame(StartX, StartY, true);
  MenuFrame(StartX, StartY, false);
  EXPECT_EQ(kw::MenuResult, 1);
  EXPECT_EQ(kw::CurrentMap, 4);
  EXPECT_EQ(kw::MainMenuLeave(), 1);
  EXPECT_EQ(kw::ContinueStory, 0);
  EXPECT_EQ(kw::P().mapDone, 0);
}

TEST_F(MainMenuTest, StoryEntryOnlyWithStoryProgressOrInThePauseMenu) {
  // Without Saves\Story.save: four entries, nothing drawn or clickable at entry 5.
  OpenSlidIn(0);
  EXPECT_EQ(kw::StoryProgress, 0);
  kw::BtnStartDown = 1;
  MenuFrame(StoryX, StoryY, true);
  MenuFrame(StoryX, StoryY, false);
  EXPECT_EQ(kw::StoryChosen, 0);
  EXPECT_EQ(kw::BtnStartDown, 1);  // over the hidden entry nothing happens at all
  kw::BtnStartDown = 0;
  kw::ClearBackBuffer(0);
  kw::DrawMainMenuScreen();
  auto hidden = Region(172, 211, 140, 49);
  kw::ClearBackBuffer(0);
  kw::DrawSpriteKeyed(345, 0, 0);
  kw::DrawSpriteKeyed(346, 0, 21);
  EXPECT_EQ(hidden, Region(172, 211, 140, 49));  // no button, no label

  // With a story save the entry appears and continues the story.
  TempFolders::Put(folder.user / "Saves" / "Story.save", "3");
  OpenSlidIn(0);
  EXPECT_EQ(kw::StoryProgress, 3);
  kw::ClearBackBuffer(0);
  kw::DrawMainMenuScreen();
  EXPECT_NE(hidden, Region(172, 211, 140, 49));
  MenuFrame(StoryX, StoryY, true);
  EXPECT_EQ(kw::StoryDown, 1);
  MenuFrame(StoryX, StoryY, false);
  EXPECT_EQ(kw::StoryChosen, 1);
  EXPECT_EQ(kw::MenuResult, 2);
  EXPECT_EQ(kw::MainMenuLeave(), 1);
  EXPECT_EQ(kw::ContinueStory, 1);
  EXPECT_EQ(kw::GameOver, 0);
}

TEST_F(MainMenuTest, PauseMenuAbortEndsTheGame) {
  kw::PauseBackground = 372;
  OpenSlidIn(1);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::PauseMenu);
  EXPECT_TRUE(kw::StoryEntryActive());  // shown whatever StoryProgress is
  MenuFrame(StoryX, StoryY, true);
  MenuFrame(StoryX, StoryY, false);
  EXPECT_EQ(kw::StoryChosen, 1);
  EXPECT_EQ(kw::MainMenuLeave(), 1);
  EXPECT_EQ(kw::P().mapDone, 1);
  EXPECT_EQ(kw::GameOver, 1);
  EXPECT_EQ(kw::ContinueStory, 0);
  // The grabbed picture is the background, drawn opaque.
  kw::ClearBackBuffer(0);
  kw::DrawMainMenuScreen();
  uint32_t shown = Pixel(600, 470);
  kw::ClearBackBuffer(0);
  kw::DrawSprite(372, 0, 0);
  EXPECT_EQ(shown, Pixel(600, 470));
}

TEST_F(MainMenuTest, HighscoreFromThePauseMenuEntersAHigherScoreAndReturnsZero) {
  OpenSlidIn(1);
  kw::P().score = 1234;
  MenuFrame(ScoreX, ScoreY, true);
  EXPECT_EQ(kw::BtnHighscoreDown, 1);
  TypeAtNextFlip("Ida");
  kw::InjectKey(28, true);  // Return ends the name entry at its first frame
  EXPECT_EQ(MenuFrame(ScoreX, ScoreY, false), 0);
  kw::InjectKey(28, false);
  EXPECT_EQ(kw::Highscores[1].points, 1234);
  EXPECT_EQ(kw::Highscores[1].name, "Ida");
  EXPECT_EQ(kw::P().score, 0);
  EXPECT_EQ(kw::NameInput, "-");
  // The next call slides in afresh.
  kw::MainMenuEnter(1);
  MenuFrame(OffX, OffY, false);
  EXPECT_EQ(kw::MenuSlide, -240);
}

TEST_F(MainMenuTest, TypedCommands) {
  OpenSlidIn(0);
  Type("etage-7", true);
  EXPECT_EQ(kw::StartMap, 7);
  EXPECT_EQ(kw::MenuTyped, "^^");
  kw::InjectKey(28, true);  // Return held: the next frames compare "^^", which is nothing
  MenuFrame(OffX, OffY, false);
  MenuFrame(OffX, OffY, false);
  kw::InjectKey(28, false);
  MenuFrame(OffX, OffY, false);
  EXPECT_EQ(kw::MenuTyped, "^^");
  EXPECT_EQ(kw::StartMap, 7);

  kw::MenuTyped.clear();
  Type("etage", true);  // the word alone has no number
  EXPECT_EQ(kw::StartMap, 0);
  kw::MenuTyped.clear();
  Type("Pilo", true);  // case-sensitive: no match, the text stays
  EXPECT_EQ(kw::MenuTyped, "Pilo");
  EXPECT_EQ(kw::CheatFastRun, 0);
  kw::MenuTyped.clear();
  Type("pilo", true);
  EXPECT_EQ(kw::CheatFastRun, 1);
  kw::MenuTyped.clear();
  Type("fein", true);
  EXPECT_EQ(kw::CheatInvincible, 1);
  kw::MenuTyped.clear();
  Type("Stahl_Kante", true);
  EXPECT_EQ(kw::CheatAutoFire, 1);
  EXPECT_EQ(kw::MenuTyped, "o_O");
  kw::MenuTyped.clear();
  Type("hand-out", true);
  EXPECT_EQ(kw::P().hasSword, 1);
  EXPECT_EQ(kw::P().spell1Known + kw::P().spell2Known + kw::P().spell3Known + kw::P().spell4Known, 4);

  // Back removes the last character once per release; an empty text stays empty.
  kw::MenuTyped = "ab";
  kw::InjectKey(14, true);
  MenuFrame(OffX, OffY, false);
  kw::InjectKey(14, false);
  MenuFrame(OffX, OffY, false);
  EXPECT_EQ(kw::MenuTyped, "a");
  for (int i = 0; i < 2; ++i) {
    kw::InjectKey(14, true);
    MenuFrame(OffX, OffY, false);
    kw::InjectKey(14, false);
    MenuFrame(OffX, OffY, false);
  }
  EXPECT_EQ(kw::MenuTyped, "");
}

TEST_F(MainMenuTest, QuitDialogAnswersOnPressAndRelease) {
  auto yes = PointOn(355, 310, 200);
  auto no = PointOn(356, 400, 200);
  auto frame = [](std::pair<int, int> at, bool down) {
    kw::MouseState = kw::MouseStateRecord{at.first, at.second, uint8_t(down ? 1 : 0)};
    return kw::ConfirmQuit("Spiel beenden?", "!exit");
  };
  EXPECT_EQ(frame(yes, true), 0);
  EXPECT_EQ(kw::BtnYesDown, 1);
  EXPECT_EQ(frame(no, true), 0);  // moved with the button held: "Nein" is pressed
  EXPECT_EQ(kw::BtnYesDown, 0);
  EXPECT_EQ(kw::BtnNoDown, 1);
  EXPECT_EQ(frame(no, false), 356);
  EXPECT_EQ(kw::BtnNoDown, 1);  // left behind for the next question
  EXPECT_EQ(frame({OffX, OffY}, false), 0);
  EXPECT_EQ(kw::BtnNoDown, 0);
  EXPECT_EQ(frame(yes, false), 0);  // a release without a press answers nothing
  frame(yes, true);
  EXPECT_EQ(frame(yes, false), 355);

  // In the menu "Nein" closes the question and the entries stay usable.
  OpenSlidIn(0);
  MenuFrame(QuitX, QuitY, true);
  MenuFrame(QuitX, QuitY, false);
  ASSERT_EQ(kw::QuitAsked, 1);
  MenuFrame(no.first, no.second, true);
  MenuFrame(no.first, no.second, false);
  EXPECT_EQ(kw::QuitAsked, 0);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::MainMenu);
}

}  // namespace
