// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Definitions and start values of the content state declared in content.h. The start
// values are written here once, in the reset procedures.
#include "content/content.h"

namespace kw {

const char* ScreenName(Screen s) {
  static const char* const names[] = {"loading", "mainmenu", "pausemenu", "newgame",
                                      "options", "highscore", "quit",     "title",
                                      "play",    "paused",    "cutscene", "choice",
                                      "loadwait"};
  static_assert(sizeof(names) / sizeof(names[0]) == size_t(Screen::LoadWait) + 1);
  return names[int(s)];
}

// Whole run.
int16_t WindowedMode;
int32_t DebugMode;
int32_t Volume;
int32_t LoadProgress;
Screen CurrentScreen;
List<KeyBindingRecord> KeyBindings;
std::array<int32_t, 21> PadBindings;
List<EnemyType> EnemyTypes;
int32_t ActiveCols;
int32_t ActiveRows;
int32_t WeatherSprite;

// One game.
int32_t CurrentMap;
int16_t GameOver;
int16_t TimeMatch;
int32_t StoryMode;
int32_t StoryProgress;

// One map.
Grid<MapCell> Map;
Grid<int16_t> LightGrid;
MapHeader LoadedHeader;
int32_t RespawnX, RespawnY;
int32_t ExitCol, ExitRow;
int32_t WeatherAmount;
std::string TileSet;
std::array<uint8_t, 82> TileKind;
int32_t AnimFrameBase;
int32_t ReloadTiles;
List<CellPos> MovingTiles;
List<CellPos> MovingScratch;

void ResetContentRun() {
  WindowedMode = 0;
  DebugMode = 0;
  Volume = 0;
  LoadProgress = 0;
  CurrentScreen = Screen::Loading;
  KeyBindings.Clear();
  SetDefaultPadBindings();
  EnemyTypes.Clear();
  ActiveCols = ActiveRows = 13;  // each map's loader raises them from here
  WeatherSprite = 0;
  CurrentMap = 0;
  GameOver = 0;
  TimeMatch = 0;
  StoryMode = 0;
  StoryProgress = 0;
  // The map state has start values too, for whatever runs before the first map.
  Map.Create(-1, -1);
  LightGrid.Create(-1, -1);
  LoadedHeader = MapHeader{};
  WeatherAmount = 500;  // every map header overwrites it
  TileSet.clear();
  TileKind.fill(0);
  AnimFrameBase = 6000;
  ReloadTiles = 0;
  MovingTiles.Clear();
  MovingScratch.Clear();
  ResetContentMap();
}

void ResetContentMap() {
  RespawnX = -316;
  RespawnY = 20;
  ExitCol = ExitRow = 0;
}

}  // namespace kw
