// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The new-game, options and highscore screens driven frame by frame: mode and
// difficulty, the volume track, key binding (also for the game pad), Abbruch and
// Bestetigen with the Setup.ini round trip, the highscore insertion, name entry and
// Löschen, and files written whole or not at all.
#include <unistd.h>

#include <functional>

#include "media/core_internal.h"
#include "media/input_internal.h"
#include "menu_fixture.h"
#include "play/play.h"

using namespace kwtest;

namespace {

class ScreensTest : public MenuTest {
 protected:
  static void NewGame(int difficulty, int x, int y, bool down) {
    Mouse(x, y, down);
    kw::NewGameFrame(difficulty);
  }
  static void Options(int x, int y, bool down) {
    Mouse(x, y, down);
    kw::OptionsFrame();
  }
};

constexpr int FreeX = 260, NewGameStoryX = 335, TimeX = 416, ButtonY = 170;

TEST_F(ScreensTest, NewGameQuestionsSetModeAndDifficulty) {
  kw::NewGameChoice = 0;
  NewGame(0, FreeX, ButtonY, true);
  EXPECT_EQ(kw::NewGameDown[0], 1);
  NewGame(0, TimeX, ButtonY, true);  // held onto "Time Match": the press moves there
  EXPECT_EQ(kw::NewGameDown[0], 0);
  EXPECT_EQ(kw::NewGameDown[2], 1);
  NewGame(0, 300, 300, true);  // off the buttons, even held, clears them here
  EXPECT_EQ(kw::NewGameDown[2], 0);
  NewGame(0, TimeX, ButtonY, false);
  EXPECT_EQ(kw::NewGameChoice, 0);
  NewGame(0, NewGameStoryX, ButtonY, true);
  NewGame(0, NewGameStoryX, ButtonY, false);
  EXPECT_EQ(kw::NewGameChoice, 426);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::NewGame);

  kw::StoryProgress = 5;  // a new story starts at map 1 whatever was saved
  kw::ApplyGameMode(426);
  EXPECT_EQ(kw::StoryMode, 1);
  EXPECT_EQ(kw::ContinueStory, 1);
  EXPECT_EQ(kw::StoryProgress, 1);
  kw::ApplyGameMode(425);
  EXPECT_EQ(kw::TimeMatch, 1);
  EXPECT_EQ(kw::StoryMode, 0);
  kw::ApplyDifficulty(430);
  EXPECT_EQ(kw::TimeBonus, -25);
  EXPECT_EQ(kw::MaxHealth, 60);

  // A continued story asks only the difficulty; a click pressed and released before the
  // first frame is seen down in it and up in the next.
  kw::ContinueStory = 1;
  kw::StoryProgress = 4;
  kw::StartMap = 7;
  kw::TimeMatch = 1;
  Mouse(240, ButtonY, true);
  kw::InjectMouseButton(false);
  EXPECT_EQ(kw::NewGameMenu(), 0);
  EXPECT_EQ(kw::StoryMode, 1);
  EXPECT_EQ(kw::TimeMatch, 0);
  EXPECT_EQ(kw::TimeBonus, 20);
  EXPECT_EQ(kw::MaxHealth, 400);
  EXPECT_EQ(kw::CurrentMap, 1);  // the map loader raises it to the story progress
}

TEST_F(ScreensTest, VolumeFollowsThePointerOnTheTrack) {
  kw::Volume = 80;
  kw::OptionsEnter();
  kw::OptionsVolume = 33;
  Options(94, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 33);
  Options(95, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 0);
  Options(320, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 50);
  Options(545, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 100);
  Options(546, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 100);
  Options(320, 345, false);  // only while the button is down
  EXPECT_EQ(kw::OptionsVolume, 100);
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::Options);
  // The knob is drawn at 84 + 4.5 x volume.
  kw::ClearBackBuffer(0);
  kw::DrawOptionsScreen();
  auto at100 = Region(534, 360, 20, 20);
  kw::OptionsVolume = 0;
  kw::ClearBackBuffer(0);
  kw::DrawOptionsScreen();
  EXPECT_NE(at100, Region(534, 360, 20, 20));
  EXPECT_EQ(at100, (kw::ClearBackBuffer(0), kw::DrawSpriteKeyed(354, 0, 0),
                    kw::DrawSpriteKeyed(316, 534, 360), Region(534, 360, 20, 20)));
}

TEST_F(ScreensTest, KeysBindWhileHeldOnARowForKeyboardAndPad) {
  kw::OptionsEnter();
  kw::KeyBindingRecord& keys = *kw::KeyBindings.Current();
  keys.code[15] = 46;
  kw::RefreshKeyNames();
  EXPECT_EQ(kw::KeyNames[15], "C");
  // A and D held on the "Kugel" row: the smaller code binds.
  kw::InjectKey(32, true);
  kw::InjectKey(30, true);
  Options(360, 90, true);
  EXPECT_EQ(keys.code[15], 30);
  EXPECT_EQ(kw::KeyNames[15], "A");
  EXPECT_EQ(kw::GamepadKey(kw::PadX), 30);  // the pad throws with the new key at once
  kw::InjectKey(32, false);
  kw::InjectKey(30, false);
  // Escape never binds; a key held off the rows binds nothing.
  kw::InjectKey(1, true);
  Options(360, 90, true);
  EXPECT_EQ(keys.code[15], 30);
  kw::InjectKey(1, false);
  kw::InjectKey(57, true);
  Options(600, 20, true);
  Options(360, 90, false);
  for (int i = 0; i < kw::KeyBindingCount; ++i)
    if (i != 15) {
      EXPECT_NE(keys.code[size_t(i)], 57) << i;
    }
  // The "sprung" row (right column, lowest): the pad's A jumps with it.
  Options(360, 305, true);
  EXPECT_EQ(keys.code[13], 57);
  EXPECT_EQ(kw::GamepadKey(kw::PadA), 57);
  kw::InjectKey(57, false);

  EXPECT_EQ(kw::KeyName(1), "Escape");
  EXPECT_EQ(kw::KeyName(211), "Delete");
  EXPECT_EQ(kw::KeyName(84), "");
  EXPECT_EQ(kw::KeyName(0), "");
}

// Every row binds from the field that shows its key as it does from its caption.
TEST_F(ScreensTest, AKeyFieldBindsLikeItsRowName) {
  kw::OptionsEnter();
  kw::KeyBindingRecord& keys = *kw::KeyBindings.Current();
  // Rows by binding order: column, field y (the middle of the row).
  const struct { bool right; int y; } rows[kw::KeyBindingCount] = {
      {false, 93}, {false, 116}, {false, 140}, {false, 164}, {false, 188}, {false, 212},
      {false, 236}, {false, 260}, {false, 284}, {true, 212}, {true, 236}, {true, 260},
      {true, 284}, {true, 308}, {false, 308}, {true, 93}, {true, 116}, {true, 140},
      {true, 164}, {true, 188}};
  for (int row = 0; row < kw::KeyBindingCount; ++row)
    for (int x : {250, 300}) {  // in the field, near its start and its end
      int screenX = rows[row].right ? x + 233 : x;
      keys.code[size_t(row)] = 2;
      kw::InjectKey(44, true);  // Z
      Options(screenX, rows[row].y, true);
      kw::InjectKey(44, false);
      Options(screenX, rows[row].y, false);
      EXPECT_EQ(keys.code[size_t(row)], 44) << "row " << row << " x " << screenX;
      EXPECT_EQ(kw::KeyNames[size_t(row)], "Z");
    }
}

// Clicks along the volume track, right above the two buttons too, set the volume and
// never press a button; the buttons still answer a click on themselves.
TEST_F(ScreensTest, TheVolumeTrackNeverPressesAButton) {
  kw::OptionsEnter();
  for (int x = 95; x <= 545; x += 5)
    for (int y : {345, 360, 370, 378}) {
      Options(x, y, true);
      Options(x, y, false);
      ASSERT_EQ(kw::OptionsChoice, 0) << x << ", " << y;
      EXPECT_EQ(kw::OptionsVolume, int(std::nearbyint((x - 95) / 4.5))) << x << ", " << y;
    }
  Options(240, 410, true);
  EXPECT_EQ(kw::OptionsChoice, 1);
  kw::OptionsChoice = 0;
  Options(340, 410, true);
  EXPECT_EQ(kw::OptionsChoice, 2);
}

TEST_F(ScreensTest, AbbruchKeepsBindingsButNotTheVolume) {
  kw::Volume = 80;
  kw::OptionsEnter();
  kw::InjectKey(30, true);
  Options(360, 90, true);
  kw::InjectKey(30, false);
  Options(320, 345, true);
  EXPECT_EQ(kw::OptionsVolume, 50);
  Options(360, 410, true);  // "Abbruch" acts on the press
  EXPECT_EQ(kw::OptionsChoice, 2);
  kw::OptionsLeave();
  EXPECT_EQ(kw::Volume, 80);
  EXPECT_EQ(kw::KeyBindings.Current()->code[15], 30);
  EXPECT_FALSE(std::filesystem::exists(folder.user / "Setup.ini"));
}

TEST_F(ScreensTest, BestetigenWritesSetupIniThatReadsBackByPosition) {
  kw::ReadSetupIni();  // the game folder's default file
  std::string shipped = TempFolders::Get(std::filesystem::path(KW_GAME_DIR) / "Setup.ini");
  kw::OptionsEnter();
  kw::InjectKey(30, true);
  Options(360, 90, true);
  kw::InjectKey(30, false);
  Options(320, 345, true);
  Options(260, 410, true);  // "Bestetigen"
  EXPECT_EQ(kw::OptionsChoice, 1);
  kw::OptionsLeave();
  EXPECT_EQ(kw::Volume, 50);
  auto written = kw::KeyBindings.Current()->code;
  std::string file = UserFile("Setup.ini");
  EXPECT_EQ(file.rfind("volumen=50\r\n", 0), 0u) << file;
  EXPECT_NE(file.find("Kugel=30\r\n"), std::string::npos);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::count(shipped.begin(), shipped.end(), '\n'));
  kw::Volume = 0;
  kw::KeyBindings.Current()->code.fill(0);
  kw::ReadSetupIni();  // now from the user folder, by position
  EXPECT_EQ(kw::Volume, 50);
  EXPECT_EQ(kw::KeyBindings.Current()->code, written);

  // Without any Setup.ini a fresh one is written in the order the start-up reads.
  GameFolder empty;
  kw::SetFolders(empty.game.string(), empty.user.string());
  kw::KeyBindings.Current()->code[19] = 211;
  kw::WriteSetupIni(7);
  kw::KeyBindings.Current()->code.fill(0);
  kw::ReadSetupIni();
  EXPECT_EQ(kw::Volume, 7);
  EXPECT_EQ(kw::KeyBindings.Current()->code[19], 211);
  EXPECT_EQ(kw::KeyBindings.Current()->code[15], 30);
}

// 900 .. 400 in the table.
void FillScores() {
  const char* names[] = {"", "Anna", "Bernd", "Cora", "Dirk", "Emil", "Frieda"};
  for (int i = 1; i <= 6; ++i) kw::Highscores[size_t(i)] = {int16_t(1000 - 100 * i), names[i]};
}

TEST_F(ScreensTest, HighscoreInsertionKeepsEqualScoresAbove) {
  FillScores();
  kw::InsertHighscore(700, "Neu");
  EXPECT_EQ(kw::Highscores[3].name, "Cora");
  EXPECT_EQ(kw::Highscores[4].name, "Neu");
  EXPECT_EQ(kw::Highscores[4].points, 700);
  EXPECT_EQ(kw::Highscores[5].points, 600);
  EXPECT_EQ(kw::Highscores[6].points, 500);  // 400 dropped
  kw::InsertHighscore(450, "Letzte");        // only beats entry 6
  EXPECT_EQ(kw::Highscores[6].name, "Letzte");
  EXPECT_EQ(kw::Highscores[5].points, 600);
  kw::InsertHighscore(2000, "Top");
  EXPECT_EQ(kw::Highscores[1].name, "Top");
  EXPECT_EQ(kw::Highscores[2].name, "Anna");
}

// A name of the longest kind (20 letters, wide ones) is drawn shortened and ends before
// the points column; the list and its file keep the whole name.
TEST_F(ScreensTest, ALongNameNeverRunsIntoThePoints) {
  FillScores();
  auto pointsColumn = [] {
    kw::ClearBackBuffer(0);
    kw::DrawHighscoreList();
    return Region(316, 122, 80, 24);  // entry 1: the gap before its points and the points
  };
  kw::Highscores[1].name = "";
  auto without = pointsColumn();
  for (const char* name : {"WWWWWWWWWWWWWWWWWWWW", "Alrik vom Waldesrand", "Anna"}) {
    kw::Highscores[1].name = name;
    EXPECT_EQ(pointsColumn(), without) << name;
    EXPECT_EQ(kw::Highscores[1].name, name);
  }
  kw::WriteHighscoreFile();
  EXPECT_EQ(UserFile("Saves/Savescore.save").substr(0, 11), "900\r\nAnna\r\n");
  kw::BeginText();
  kw::SelectFont(kw::Font::Large);
  EXPECT_EQ(kw::NameAsDrawn("Anna", 64), "Anna");
  std::string cut = kw::NameAsDrawn("WWWWWWWWWWWWWWWWWWWW", 64);
  EXPECT_EQ(cut.substr(cut.size() - 2), "..");
  EXPECT_LE(kw::TextWidth(cut), 64);
  kw::EndText();
}

TEST_F(ScreensTest, EqualScoreShowsTheListAndLoeschenWritesTheResetFile) {
  FillScores();
  kw::WriteHighscoreFile();
  kw::P().score = 400;  // equal to entry 6: not entered
  Mouse(60, 440, true);  // "Zurück" acts on the press
  EXPECT_EQ(kw::HighscoreScreen(), 0);
  EXPECT_EQ(kw::P().score, 400);
  EXPECT_EQ(kw::Highscores[6].name, "Frieda");
  EXPECT_EQ(kw::CurrentScreen, kw::Screen::Highscore);
  Mouse(560, 440, true);  // "Löschen"
  EXPECT_EQ(kw::HighscoreListFrame(), 1);
  EXPECT_EQ(UserFile("Saves/Savescore.save"), "0\r\n-\r\n0\r\n-\r\n0\r\n-\r\n0\r\n-\r\n0\r\n-\r\n0\r\n-\r\n");
  EXPECT_EQ(kw::Highscores[1].name, "Anna");  // the list in memory stays
  Mouse(300, 300, true);  // elsewhere nothing happens
  EXPECT_EQ(kw::HighscoreListFrame(), 0);
}

TEST_F(ScreensTest, NameEntryDropsWhatCannotBeShownAndStopsAt20Characters) {
  FillScores();
  kw::P().score = 777;
  kw::NameInput = "Anna";  // the best player's name is offered
  TypeAtNextFlip("\x01Zo\xEB\r\n\x7F");
  kw::InjectKey(28, true);
  EXPECT_EQ(kw::HighscoreScreen(), 0);
  kw::InjectKey(28, false);
  EXPECT_EQ(kw::Highscores[3].name, "AnnaZo\xEB");
  EXPECT_EQ(kw::Highscores[3].points, 777);
  EXPECT_EQ(kw::P().score, 0);
  EXPECT_EQ(kw::NameInput, "-");
  // The file holds the twelve lines and reads back the same.
  std::string file = UserFile("Saves/Savescore.save");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 12);
  EXPECT_EQ(file.rfind("900\r\nAnna\r\n800\r\nBernd\r\n777\r\nAnnaZo\xEB\r\n", 0), 0u);
  kw::Highscores.fill(kw::HighscoreEntry{});
  kw::ReadHighscoreTable();
  EXPECT_EQ(kw::Highscores[3].name, "AnnaZo\xEB");
  EXPECT_EQ(kw::Highscores[6].points, 500);

  std::string name = "";
  kw::AppendNameCharacters(name, std::string(30, 'x'));
  EXPECT_EQ(name.size(), kw::MaxNameLength);
  // Typed characters come first, then Back removes the last one.
  kw::NameInput = "ab";
  kw::InjectKey(14, true);
  kw::NameEntryFrame(5);
  kw::InjectKey(14, false);
  kw::InjectText("cd");
  EXPECT_FALSE(kw::NameEntryFrame(5));
  EXPECT_EQ(kw::NameInput, "abc");
}

// Letters typed while playing (the sword and throw keys are letters) reach no text
// field: the pause menu's and the main menu's typed command and the highscore name
// (which offers the best player's name) start without them.
TEST_F(ScreensTest, TextTypedDuringPlayReachesNoTextField) {
  auto play = [] {
    for (int i = 0; i < 3; ++i) {
      kw::InjectText("xc");
      kw::PlayerControls();
    }
  };
  for (int inGame : {1, 0}) {
    play();
    kw::MainMenuEnter(inGame);
    kw::MainMenuFrame();
    EXPECT_EQ(kw::MenuTyped, "") << "menu " << inGame;
    kw::InjectText("etage-2");  // what is typed in the menu still counts
    kw::MainMenuFrame();
    EXPECT_EQ(kw::MenuTyped, "etage-2");
  }
  FillScores();
  kw::P().score = 777;
  kw::NameInput = "Anna";
  play();
  kw::InjectKey(28, true);
  kw::HighscoreScreen();
  kw::InjectKey(28, false);
  EXPECT_EQ(kw::Highscores[3].name, "Anna");
}

// A full-screen game in the back (another window has the focus) draws no menu, reads
// no input and waits 5 ms a frame instead of spinning, on every menu screen.
TEST_F(ScreensTest, UnfocusedScreensSleepInsteadOfSpinning) {
  const struct {
    const char* name;
    std::function<void()> frame;
  } screens[] = {
      {"main menu", [] { kw::MainMenuFrame(); }},
      {"mode", [] { kw::NewGameFrame(0); }},
      {"difficulty", [] { kw::NewGameFrame(1); }},
      {"options", [] { kw::OptionsFrame(); }},
      {"highscore list", [] { kw::HighscoreListFrame(); }},
  };
  kw::WindowedMode = 0;
  kw::MainMenuEnter(0);
  kw::OptionsEnter();
  kw::InjectFocus(false);
  for (const auto& screen : screens) {
    long flips = kw::FlipCount();
    uint32_t before = kw::TimeMs();
    for (int i = 0; i < 10; ++i) screen.frame();
    EXPECT_GE(kw::TimeMs() - before, 50u) << screen.name;
    EXPECT_EQ(kw::FlipCount(), flips) << screen.name;
  }
  kw::InjectFocus(true);
}

// Closing the window while a name is typed ends the program, as on every other screen.
TEST_F(ScreensTest, CloseRequestDuringTheNameEntryQuits) {
  kw::WindowedMode = 1;
  EXPECT_EXIT(
      {
        kw::InjectCloseRequest();
        for (int i = 0; i < 100; ++i) kw::NameEntryFrame(100);
        _exit(3);  // the request was not served
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ScreensTest, SaveFilesReplaceTheOldOneWholeAtClose) {
  FillScores();
  kw::WriteHighscoreFile();
  std::string before = UserFile("Saves/Savescore.save");
  // Until the close nothing reaches the disk, so a crash half way keeps the old list.
  ASSERT_TRUE(kw::CreateFileForWriting(0, "Saves\\Savescore.save"));
  kw::WriteTextLine(0, "1");
  EXPECT_EQ(UserFile("Saves/Savescore.save"), before);
  kw::CloseFileNumber(0);
  EXPECT_EQ(UserFile("Saves/Savescore.save"), "1\r\n");
  kw::CurrentMap = 3;
  kw::WriteStoryProgress();
  EXPECT_EQ(UserFile("Saves/Story.save"), "4");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(folder.user / "Saves")) {
    ++files;
    EXPECT_EQ(e.path().filename().string().find("tmp"), std::string::npos) << e.path();
  }
  EXPECT_EQ(files, 2);
}

}  // namespace
