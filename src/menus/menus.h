// Menus: main menu (also the pause menu), new game, options, quit confirmation and
// highscore. Called by the shell's start-up and map end, and by the shell when the
// player control asks for the pause menu. Builds on save.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "save/save.h"

namespace kw {

struct HighscoreEntry {
  int16_t points = 0;
  std::string name;
};

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern int32_t StartMap;          // map number the main menu copies into CurrentMap
extern int32_t ContinueStory;     // "Story fortsetzen" chosen
extern std::string NameInput;     // name offered by the highscore entry
extern std::array<HighscoreEntry, 9> Highscores;  // entries 1..6 used

// Start values of the whole run (program start; tests call it in SetUp).
void ResetMenusRun();
// Reads the highscore table from Saves\Savescore.save (a missing file leaves it empty).
void ReadHighscoreTable();
// The best score and the name offered next, the first two lines of Saves\Savescore.save.
void ReadBestScore();

// inGame 0 = main menu, 1 = pause menu; 1 = leave to play.
int MainMenu(int inGame);
// Mode and difficulty of a new game.
int NewGameMenu();
// Name entry after a game, or the list.
int HighscoreScreen();
// Volume and key bindings.
int OptionsScreen();
// "Ja" (355) or "Nein" (356).
int ConfirmQuit();

}  // namespace kw
