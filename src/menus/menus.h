// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Menus: main menu (also the pause menu), new game, options and key binding, quit
// confirmation and highscore. Each screen runs its own frame loop, built from a frame
// procedure that tests call one frame at a time. Called by the shell's start-up and map
// end, and by the shell when the player control asks for the pause menu. Builds on save.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "media/core.h"
#include "save/save.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

struct HighscoreEntry {
  int16_t points = 0;
  std::string name;
};

// The mouse as the menus see it, filled once per frame by ReadMouse.
struct MouseStateRecord {
  int32_t x = 0;
  int32_t y = 0;
  uint8_t button = 0;  // left button: non-zero = down
};

// A sprite button of a menu screen and its pressed flag.
struct MenuButton {
  int sprite;       // the picture hit-tested (pixel-exact) at (x, y)
  int x, y;
  int16_t* down;    // pressed flag
};

// Colour of the labels drawn on the menu buttons.
constexpr int LabelColour = Rgb(94, 90, 68);

// Longest highscore name: what the list screen has room for.
constexpr size_t MaxNameLength = 20;

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern int32_t StartMap;          // map number the main menu copies into CurrentMap
extern int32_t ContinueStory;     // "Story fortsetzen" chosen
extern std::string NameInput;     // name offered by the highscore entry
extern std::array<HighscoreEntry, 9> Highscores;  // entries 1..6 used
extern MouseStateRecord MouseState;  // pointer and left button of this frame
extern int16_t BtnStartDown;      // pressed flags of main-menu entries 1..4; they
extern int16_t BtnHighscoreDown;  // survive the call, as the quit dialog's do
extern int16_t BtnOptionsDown;
extern int16_t BtnQuitDown;
extern int16_t BtnYesDown;        // pressed flags of the quit dialog
extern int16_t BtnNoDown;
extern std::array<std::string, 20> KeyNames;  // names of the bound keys, for display

// ---------------------------------------------------------------------------------
// One menu call (set afresh when the screen opens)
// ---------------------------------------------------------------------------------
extern int32_t MenuInGame;        // 1 = the main menu is the pause menu
extern int32_t MenuResult;        // 1 = leave to play, 2 = story chosen
extern int32_t QuitAsked;         // the quit question is open
extern int32_t MenuSlide;         // x of the sliding panel, -248 .. 0
extern int16_t StoryDown;         // pressed flag of entry 5
extern int32_t StoryChosen;       // entry 5 clicked
extern std::string MenuTyped;     // typed command text
extern int32_t NewGameChoice;     // code of the chosen new-game button, 0 = none yet
extern std::array<int16_t, 3> NewGameDown;  // pressed flags of the three buttons
extern int32_t OptionsVolume;     // volume shown on the options screen
extern int32_t OptionsChoice;     // 1 = "Bestetigen", 2 = "Abbruch"
// The name entry's letter choice for a pad: A-Z, Ä Ö Ü, space, delete, OK.
constexpr int NameGridColumns = 8, NameGridRows = 4;
constexpr int32_t NoPointerYet = -1000;  // NamePointerX before the first frame
extern int32_t NameGridShown;     // the letter choice is on the screen
extern int32_t NameGridButtonDown;  // the pointer button was down last frame
extern int32_t NamePointerX;      // the pointer's place last frame
extern int32_t NamePointerY;

// Start values of the whole run (program start; tests call it in SetUp).
void ResetMenusRun();
// Reads the highscore table from Saves\Savescore.save (a missing file leaves it empty).
void ReadHighscoreTable();
// The best score and the name offered next, the first two lines of Saves\Savescore.save.
void ReadBestScore();
// Story progress from the first line of Saves\Story.save into StoryProgress (0 without it).
void ReadStoryProgress();

// ---------------------------------------------------------------------------------
// Shared by all menu screens
// ---------------------------------------------------------------------------------

// Fills MouseState: the captured device in full screen, the window pointer in a window.
void ReadMouse();
// The click rule for a row of buttons, tested in order: the first hit button takes the
// pressed state (click sound); releasing over a pressed button completes the click and
// returns its index, else -1. clearWhenMissedHeld clears the flags when the pointer is
// off all buttons even while the button is held.
int ClickRule(const MenuButton* buttons, int count, bool clearWhenMissedHeld);
// The first of the buttons the pointer touches (pixel-exact), -1 when none.
int ButtonUnderPointer(const MenuButton* buttons, int count);
// The mouse pointer, in full screen only (a window shows the system's).
void DrawMousePointer();
// A window close request seen while a menu runs ends the program.
void ServeWindowEvents();
// Ends a menu frame: serves the window's events in a window, and in a full screen that
// lost the focus (which also waits, so an unseen menu does not spin).
void ServeMenuWindow(bool focused);

// ---------------------------------------------------------------------------------
// Main menu
// ---------------------------------------------------------------------------------

// inGame 0 = main menu, 1 = pause menu. 1 = leave to play; 0 after the highscore or
// options screen (the caller calls again).
int MainMenu(int inGame);
// Opening: story progress, menu music, mouse, and the call's start values.
void MainMenuEnter(int inGame);
// One frame; returns 0 when MainMenu is to return 0 at once, else -1.
int MainMenuFrame();
// The menu's pictures and labels as the current state shows them.
void DrawMainMenuScreen();
// Leaving to play: story continue or abort, game music, mouse. Returns 1.
int MainMenuLeave();
// Entry 5 ("Story fortsetzen" / "Abbrechen") is shown and active.
bool StoryEntryActive();
// Applies the typed command in MenuTyped (Return pressed).
void RunTypedCommand();

// ---------------------------------------------------------------------------------
// New game
// ---------------------------------------------------------------------------------

// Mode and difficulty of a new game.
int NewGameMenu();
// One frame of the mode screen (difficulty 0) or the difficulty screen (1).
void NewGameFrame(int difficulty);
// The dialog of the mode (difficulty 0) or difficulty question with its pressed state.
void DrawNewGameScreen(int difficulty);
// Applies a chosen mode code (427 free, 426 story, 425 time match).
void ApplyGameMode(int code);
// Applies a chosen difficulty code (428, 429, 430).
void ApplyDifficulty(int code);

// ---------------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------------

// Volume and key bindings.
int OptionsScreen();
// Opening: the volume shown, no choice, the key names.
void OptionsEnter();
// Leaving: "Bestetigen" writes Setup.ini and makes the volume current.
void OptionsLeave();
// One frame of the options screen.
void OptionsFrame();
// Background, buttons, knob at OptionsVolume, key names and the pointer.
void DrawOptionsScreen();
// "Bestetigen": Setup.ini with the volume and the twenty bindings, and the new Volume.
void WriteSetupIni(int volume);
// The name of a key code ("" for codes without one).
std::string KeyName(int code);
// KeyNames from the current bindings.
void RefreshKeyNames();
// The smallest key code from 2 to 211 held down, 0 when none (Escape never binds).
int16_t PressedKey();

// ---------------------------------------------------------------------------------
// Quit confirmation and highscore
// ---------------------------------------------------------------------------------

// One frame of the yes/no dialog: 355 "Ja", 356 "Nein", 0 while unanswered.
int ConfirmQuit(const std::string& title, const std::string& text);
// Name entry after a game, or the list.
int HighscoreScreen();
// One frame of the name entry; true once Return is down or OK is clicked.
bool NameEntryFrame(int16_t score);
// The cell of the letter choice at a picture position, -1 for none.
int NameGridCellAt(int x, int y);
// A clicked cell changes the name (a letter, the space, delete); true for OK.
bool ApplyNameGridCell(int cell, std::string& name);
// Typed characters the menus' fonts can show, appended up to MaxNameLength.
void AppendNameCharacters(std::string& name, const std::string& typed);
// Puts a score below the entries with an equal or higher score (entry 6 drops out).
void InsertHighscore(int16_t score, const std::string& name);
// Writes the six entries to Saves\Savescore.save (whole or not at all).
void WriteHighscoreFile();
// Writes six "0" / "-" pairs to Saves\Savescore.save; the list in memory stays.
void WriteResetHighscoreFile();
// The list screen with its buttons.
void DrawHighscoreList();
// A name shortened (ending in "..") to fit a width in the selected font, as the list
// draws it; the list itself keeps the whole name.
std::string NameAsDrawn(const std::string& name, int width);
// One frame of the list; 1 when the screen is to close.
int HighscoreListFrame();

}  // namespace kw
