// The game shell: program start, main loop, configuration. The frame loop in
// mainloop.cpp calls every subsystem in the order of one pass; config.cpp creates the
// lists and reads Setup.ini and Gegner.ini; state.cpp writes --state.
#pragma once

#include <string>

namespace kw {

// The game from start-up to quit; returns only when the program is to end.
void GameMain();

// Creates every list and table with its start contents, reads Setup.ini and
// Gegner.ini, starts the media services and opens the display.
void LoadConfiguration();
// Creates the empty lists of the script subsystem and the cutscene list.
void CreateScriptLists();
// Parts of LoadConfiguration, callable on their own by tests.
void CreateGameLists();
void ReadSetupIni();
void ReadEnemyTypes();
void OpenGameDisplay();

// One pass of play: the message ticker, runs the main script.
void ProcessMessageTicker();
// The visible window of map cells; mode 0 = play window, other = wide window.
void ComputeVisibleWindow(int mode);
// One frame of the pause picture.
void PauseScreen();
// Empties the two statement lists of the map script.
void ClearScriptLists();
// Releases every media resource.
void ShutdownMedia();
// One step of every moving cell of MovingTiles.
void MovingTileStep();
// The world step of the frame loop (hurt countdown, moving tiles, physics, enemies,
// tile animation, rules, bombs, combat, mana), run when more than 15 ms have passed.
void WorldStep(unsigned now);
// One pass of the frame loop during play (no map end, events or pause handling).
void PlayPass();
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
void MapStart();
// The frame loop of one map; returns 0 at map end, 1 when the program is to quit.
int FrameLoop();

// Registers the --state writer (a flat JSON object of the main game state).
void RegisterStateWriter();
// The JSON text the state writer writes.
std::string StateJson();

}  // namespace kw
