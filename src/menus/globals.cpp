// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Definitions and start values of the menu state declared in menus.h, and the reading
// of the highscore file that the start-up and every map load do.
#include "media/media.h"
#include "menus/menus.h"

namespace kw {

// Whole run.
int32_t StartMap;
int32_t ContinueStory;
std::string NameInput;
std::array<HighscoreEntry, 9> Highscores;
MouseStateRecord MouseState;
int16_t BtnStartDown;
int16_t BtnHighscoreDown;
int16_t BtnOptionsDown;
int16_t BtnQuitDown;
int16_t BtnYesDown;
int16_t BtnNoDown;
std::array<std::string, 20> KeyNames;

// One menu call.
int32_t MenuInGame;
int32_t MenuResult;
int32_t QuitAsked;
int32_t MenuSlide;
int16_t StoryDown;
int32_t StoryChosen;
std::string MenuTyped;
int32_t NewGameChoice;
std::array<int16_t, 3> NewGameDown;
int32_t OptionsVolume;
int32_t OptionsChoice;
int32_t NameGridShown;
int32_t NameGridButtonDown;
int32_t NamePointerX;
int32_t NamePointerY;

// Start values of the run.
void ResetMenusRun() {
  StartMap = 1;
  ContinueStory = 0;
  NameInput.clear();
  Highscores.fill(HighscoreEntry{});
  MouseState = MouseStateRecord{};
  BtnStartDown = BtnHighscoreDown = BtnOptionsDown = BtnQuitDown = 0;
  BtnYesDown = BtnNoDown = 0;
  KeyNames.fill("");
  // Each screen sets its own values again when it opens.
  MenuInGame = MenuResult = QuitAsked = StoryChosen = 0;
  MenuSlide = -248;
  StoryDown = 0;
  MenuTyped.clear();
  NewGameChoice = 0;
  NameGridShown = NameGridButtonDown = 0;
  NamePointerX = NamePointerY = NoPointerYet;
  NewGameDown.fill(0);
  OptionsVolume = OptionsChoice = 0;
}

// The six entries, score then name, as the start-up loader reads them.
void ReadHighscoreTable() {
  if (!OpenFileForReading(0, "Saves\\Savescore.save")) return;
  for (int i = 1; i <= 6; ++i) {
    Highscores[i].points = int16_t(ParseInt(ReadTextLine(0)));
    Highscores[i].name = ReadTextLine(0);
  }
  CloseFileNumber(0);
}

// At every map load: the best score for the HUD and the best player's name.
void ReadBestScore() {
  if (!OpenFileForReading(0, "Saves\\Savescore.save")) return;
  BestScore = ReadTextLine(0);
  NameInput = ReadTextLine(0);
  CloseFileNumber(0);
}

}  // namespace kw
