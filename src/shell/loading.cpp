// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The loader thread: LoaderThread(0) loads the start-up catalogue behind the loading
// bar, LoaderThread(1) loads the map of CurrentMap behind the spinning title picture;
// both end with the closing steps. It lives in the shell because a map load reaches
// every subsystem: the map file (content), the enemies and sliders (play), the script
// (script) and the best score (menus). The main thread only reads LoadProgress meanwhile.
#include "media/media.h"
#include "shell/shell.h"

namespace kw {

void LoadMap() {
  ResetMapState();
  if (StoryMode == 1) {
    if (CurrentMap < StoryProgress)
      CurrentMap = StoryProgress;
    else
      StoryProgress = CurrentMap;
  }
  MapPaths paths = CurrentMapPaths();
  int mapW = P().mapWidth, mapH = P().mapHeight;
  if (ReadMapFile(paths.map)) {
    SetUpMapPlay();
    mapW = LoadedHeader.w;
    mapH = LoadedHeader.h;
  } else {
    // No map of that number: the end of the campaign or of the mode's maps.
    GameOver = 1;
    P().mapDone = 1;
  }
  for (int16_t& v : LightGrid.cells) v = 0;
  ParseScript(paths.script, paths.tagGrid);
  LoadTiles();
  GrowWeather();
  LoaderClosingSteps(mapW, mapH);
}

void LoaderClosingSteps(int mapW, int mapH) {
  for (int s : MusicTracks) StopSoundFx(s);
  SetPlayerMapSize(mapW, mapH);
  ReadBestScore();
  CreateSprite(Spr::BackgroundBuffer, ScreenWidth, ScreenHeight);
  // The ambient loops start silent; the volume goes first so no loop is heard at
  // full loudness for the moment between starting it and turning it down.
  for (int s = Snd::FirstLoop; s <= Snd::LastLoop; ++s) {
    SetSoundVolume(s, 0);
    PlaySoundFx(s, 1);
  }
}

void LoaderThread(int mode) {
  if (mode == 0) {
    LoadCatalogue();
    ReadHighscoreTable();
    SetBlitTarget(-1);
    LoadProgress = 10;
    LoaderClosingSteps(0, 0);
  } else {
    LoadMap();
  }
}

}  // namespace kw
