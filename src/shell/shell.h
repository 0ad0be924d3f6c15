// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The game shell: program start, the loader thread, main loop and configuration. The
// top of the include graph: it calls every subsystem, and nothing includes it. The
// frame loop in mainloop.cpp calls every subsystem in the order of one pass;
// loading.cpp is the loader thread; config.cpp creates the lists and reads Setup.ini and
// Gegner.ini; state.cpp writes --state.
#pragma once

#include <string>

#include "menus/menus.h"

namespace kw {

constexpr const char* GameTitle = "Klingenwald";  // the window's title

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern int StartupLoader;         // thread of LoaderThread(0)
extern int MapLoader;             // thread of LoaderThread(1)
extern int32_t ClearEachFrame;    // clear the back buffer after each flip (windowed)
extern int64_t WorldSteps;        // world steps run since the start (the pace tests count them)
// Passes of play so far in the free game, the story and the time match (for --state:
// a test of random input tells from them that its runs reached play in each mode).
extern int64_t PlayPassesFree, PlayPassesStory, PlayPassesTime;

// ---------------------------------------------------------------------------------
// One map
// ---------------------------------------------------------------------------------
extern int32_t IntroZoom;         // growth of the spinning title picture
extern float IntroSpin;           // rotation step of the title picture

// Start values of every global of the run (program start; tests call this in SetUp).
void SetStartValues();
// Every subsystem's per-map start values: the map loader's first step (where a map
// begins) and, for the time before the first map, SetStartValues.
void ResetMapState();

// The game from start-up to quit; returns only when the program is to end.
void GameMain();

// Creates every list and table with its start contents, reads Setup.ini and
// Gegner.ini, starts the media services and opens the display.
void LoadConfiguration();
// Parts of LoadConfiguration, callable on their own by tests.
void CreateGameLists();
void ReadSetupIni();
void ReadEnemyTypes();
void OpenGameDisplay();

// Thread procedure: mode 0 loads fonts, pictures and sounds at start-up, mode 1 loads
// the map of CurrentMap. Both end with the closing steps.
void LoaderThread(int mode);
// The map part of mode 1, without the closing steps.
void LoadMap();
// Steps both modes end with: music stopped, player sizes, best score, sprite 434,
// ambient sound loops. mapW and mapH are the map header's sizes (0 after mode 0).
void LoaderClosingSteps(int mapW, int mapH);

// One pass of the frame loop during play (no map end, events or pause handling).
void PlayPass();
// Carries out what the player control asked for in this pass (pause menu, saves).
void RunPendingAction();
// The loading bar's text of 11 cells for a progress value.
std::string LoadingBarText(int progress);
// One frame of the loading bar (without the wait and the flip).
void DrawLoadingBar();
// One frame of the spinning title picture (without the keyboard read and the flip).
void DrawTitleFrame();
// Writes Saves\Story.save with the map to continue from.
void WriteStoryProgress();
// The map end: story progress, item bonus, lists, player reset, next map number.
void MapEnd();
// Map start up to the frame loop: loader thread, title picture, music, start block.
// False when the window was closed while the title picture showed (the program quits).
bool MapStart();
// The frame loop of one map; returns 0 at map end, 1 when the program is to quit.
int FrameLoop();

// Registers the --state writer (a flat JSON object of the main game state).
void RegisterStateWriter();
// The JSON text the state writer writes.
std::string StateJson();

}  // namespace kw
