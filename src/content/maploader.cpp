// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The map file reader, run by the shell's LoaderThread(1): reads the map file of
// CurrentMap for the current mode (15 header lines, then three passes of little-endian
// int32 over the cells) into Map, LightGrid, the moving cells and the header globals.
// The play side (sliders, enemies, the boss) is made from the contact codes afterwards
// by SetUpMapPlay. SetWeather serves the header's weather line and the script's
// "changewather" alike.
#include <algorithm>
#include <cstdlib>

#include "content/catalogue.h"
#include "content/content.h"
#include "media/media.h"

namespace kw {

namespace {

// Negated range value without overflow (the file stores ranges with the opposite sign).
int32_t NegatedRange(int32_t v) {
  int64_t r = -int64_t(v);
  return int32_t(std::min<int64_t>(r, INT32_MAX));
}

// Header positions and cell pictures far past anything a map can mean are cut to these
// bounds, so the world pass can add screen offsets to them without overflowing; within
// the bounds every value keeps its meaning (a picture number past the table draws nothing).
constexpr int32_t MaxMapCoordinate = 1000000;
int32_t SaneNumber(int32_t v, int32_t limit) { return std::clamp(v, -limit, limit); }

int32_t Magnitude(int32_t v) { return v < 0 ? int32_t(std::min<int64_t>(-int64_t(v), INT32_MAX)) : v; }

}  // namespace

void SetWeather(const std::string& kind, int32_t amount) {
  int k = ParseInt(kind);
  if (k == 1) WeatherSprite = Spr::Weather1;
  if (k == 2) WeatherSprite = Spr::Weather2;
  WeatherAmount = std::min(amount, int32_t(MaxWeatherParticles));
}

namespace {

// Line 8: "kind/amount" (no "/": amount 0).
void ReadWeatherLine(const std::string& line) {
  size_t slash = line.find('/');
  std::string amount = slash == std::string::npos ? "" : line.substr(slash + 1);
  SetWeather(line.substr(0, slash), ParseInt(amount));
}

MapHeader ReadMapHeader() {
  MapHeader hd;
  hd.read = true;
  hd.w = ParseInt(ReadTextLine(1));
  hd.h = ParseInt(ReadTextLine(1));
  hd.darkness = ParseInt(ReadTextLine(1));
  for (int i = 0; i < 3; ++i) ReadTextLine(1);  // lines 4..6: not used
  hd.timeValue = ParseInt(ReadTextLine(1));
  ReadWeatherLine(ReadTextLine(1));
  TileSet = ReadTextLine(1);
  hd.background = ParseInt(ReadTextLine(1));
  RespawnY = SaneNumber(ParseInt(ReadTextLine(1)), MaxMapCoordinate);
  RespawnX = SaneNumber(ParseInt(ReadTextLine(1)), MaxMapCoordinate);
  ExitCol = SaneNumber(ParseInt(ReadTextLine(1)), MaxMapCoordinate);
  ExitRow = SaneNumber(ParseInt(ReadTextLine(1)), MaxMapCoordinate);
  ReadTextLine(1);  // line 15: not used
  return hd;
}

void LoadBackground(int b) {
  if (!OpenPack("paks\\Backgrounds.pak")) return;
  for (int i = 0; i < b; ++i)
    if (!NextPackEntry() && PackEnded()) break;
  const uint8_t* data = NextPackEntry();
  if (data) LoadSpriteFromMemory(Spr::Background, data, LastPackEntrySize(), 0);
  ClosePack();
}

// Pass 1: seven values per cell; moving cells go to the scratch list.
void ReadLayerPass() {
  for (int row = 0; row <= Map.H; ++row) {
    for (int col = 0; col <= Map.W; ++col) {
      MapCell& c = Map.At(col, row);
      c.tile = SaneNumber(ReadInt32(1), MaxSprites);
      c.over = SaneNumber(ReadInt32(1), MaxSprites);
      c.back = SaneNumber(ReadInt32(1), MaxSprites);
      c.vRange = NegatedRange(ReadInt32(1));
      c.hRange = NegatedRange(ReadInt32(1));
      c.front = uint8_t(ReadInt32(1) & 255);
      c.alpha = uint8_t(ReadInt32(1) & 255);
      c.vStep = c.vRange > 0 ? 1 : -1;
      c.hStep = c.hRange > 0 ? 1 : -1;
      if (c.vRange != 0 || c.hRange != 0) {
        MovingScratch.Last();
        MovingScratch.Add(CellPos{col, row});
        ActiveCols = std::max(ActiveCols, Magnitude(c.vRange));
        ActiveRows = std::max(ActiveRows, Magnitude(c.hRange));
      }
    }
  }
}

// MovingTiles gets the scratch list's cells, last one first.
void RebuildMovingTiles() {
  MovingTiles.Clear();
  if (MovingScratch.Last()) {
    do {
      MovingTiles.Add(*MovingScratch.Current());
    } while (MovingScratch.Back());
  }
  MovingScratch.Clear();
  ActiveRows = std::max(ActiveRows / CellSize + 4, 5);
  ActiveCols = std::max(ActiveCols / CellSize + 4, 5);
}

// Pass 2: the contact codes (the play setup makes sliders and enemies from them).
void ReadPickupPass() {
  for (int row = 0; row <= Map.H; ++row)
    for (int col = 0; col <= Map.W; ++col) Map.At(col, row).pickup = ReadInt32(1);
}

void ReadShadePass() {
  for (int row = 0; row <= Map.H; ++row)
    for (int col = 0; col <= Map.W; ++col) Map.At(col, row).shade = ReadInt32(1);
}

// Reads the whole map file (file 1 is open); returns its header.
MapHeader ReadOpenMapFile() {
  MapHeader hd = ReadMapHeader();
  LoadBackground(hd.background);
  // A damaged header must not make a huge grid: such a map loads as one without cells.
  if (!MapSizeUsable(hd.w, hd.h)) hd.w = hd.h = -1;
  Map.Create(hd.w, hd.h);
  LightGrid.Create(hd.w, hd.h);
  ReadLayerPass();
  RebuildMovingTiles();
  ReadPickupPass();
  ReadShadePass();
  CloseFileNumber(1);
  return hd;
}

}  // namespace

bool MapSizeUsable(int64_t w, int64_t h) {
  if (w < 0 || h < 0 || w > MaxMapSide || h > MaxMapSide) return false;
  return (w + 1) * (h + 1) <= MaxMapCells;
}

MapPaths CurrentMapPaths() { return MapPathsOf(CurrentMap); }

MapPaths MapPathsOf(int64_t map) {
  std::string n = IntToText(map);
  if (StoryMode == 1)
    return {"maps\\Story\\map" + n + ".map", "maps\\Story\\map" + n + "_Script.ssc",
            "maps\\Story\\map" + n + "_Script_Map.dat"};
  if (TimeMatch == 1)
    return {"Maps\\TimeMatch\\map" + n + ".map", "maps\\TimeMatch\\map" + n + "_Script.ssc",
            "maps\\TimeMatch\\map" + n + "_Script_Map.dat"};
  return {"Maps\\map" + n + ".map", "maps\\map" + n + "_Script.ssc",
          "maps\\map" + n + "_Script_Map.dat"};
}

bool ReadMapFile(const std::string& path) {
  if (!OpenFileForReading(1, path)) return false;
  LoadedHeader = ReadOpenMapFile();
  return true;
}

}  // namespace kw
