// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Definitions and start values of the shell's own state, and the start values of the
// whole run and of one map for every subsystem, called where the run and a map begin.
#include "shell/shell.h"

namespace kw {

// Whole run.
int StartupLoader;
int MapLoader;
int32_t ClearEachFrame;
int64_t WorldSteps;
int64_t PlayPassesFree, PlayPassesStory, PlayPassesTime;

// One map.
int32_t IntroZoom;
float IntroSpin;

void SetStartValues() {
  StartupLoader = MapLoader = 0;
  ClearEachFrame = 0;  // 1 when windowed (the display opening sets it)
  WorldSteps = 0;
  PlayPassesFree = PlayPassesStory = PlayPassesTime = 0;
  IntroZoom = 100;
  IntroSpin = 1.0f;
  ResetContentRun();
  ResetPlayRun();
  ResetScriptRun();
  ResetMenusRun();
  // Before the first map the map state holds its start values too (the menus' state
  // file shows them).
  ResetMapState();
}

void ResetMapState() {
  ResetContentMap();
  ResetPlayMap();
  ClearScriptLists();
}

}  // namespace kw
