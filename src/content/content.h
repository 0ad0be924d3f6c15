// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Content: what the game reads from its files and the settings of the run. The start-up
// catalogue (loader.cpp), the tile-set loader (tiles.cpp), the map file reader
// (maploader.cpp), the lights (lights.cpp), and the state every other subsystem builds
// on: the program arguments, Setup.ini and Gegner.ini values, the map grid and the
// values of the map header. The bottom of the game's include graph, above media only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "content/catalogue.h"
#include "media/list.h"

namespace kw {

// ---------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------

// One cell of the map grid.
struct MapCell {
  int32_t back = 0;       // back-layer picture
  int32_t tile = 0;       // 0 none, 1 empty, > 1 solid; index into TileKind
  int32_t over = 0;       // overlay picture
  int32_t shade = 0;      // darkness tile index
  int32_t pickup = 0;     // contact code
  int32_t tagNo = 0;      // script tag, 0 = none
  uint8_t onPlatform = 0; // 1 while the player stands on this moving cell
  int32_t offY = 0, vRange = 0, vStep = 0;  // vertical motion
  int32_t offX = 0, hRange = 0, hStep = 0;  // horizontal motion
  uint8_t front = 0;      // front-layer switch (2 = no front picture)
  uint8_t alpha = 0;      // opacity of the cell's pictures
};

// A column-major grid: cell (col, row) is element col * (H + 1) + row. Out-of-range
// accesses go to a scratch cell so a bad index never touches other memory.
template <typename T>
struct Grid {
  int W = -1;  // highest column index (-1 = no cells)
  int H = -1;  // highest row index
  std::vector<T> cells;
  T outside{};

  // Re-creates the grid with all fields zero; negative sizes give an empty grid.
  void Create(int w, int h) {
    cells.clear();
    if (w < 0 || h < 0) { W = H = -1; return; }
    W = w;
    H = h;
    cells.assign(size_t(w + 1) * size_t(h + 1), T{});
  }
  bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col <= W && row <= H; }
  T& At(int col, int row) {
    if (!Inside(col, row)) { outside = T{}; return outside; }
    return cells[size_t(col) * size_t(H + 1) + size_t(row)];
  }
  int CellCount() const { return int(cells.size()); }
};

// A map cell position (moving tiles and the loader's scratch list).
struct CellPos {
  int32_t col = 0;
  int32_t row = 0;
};

// An enemy type, one per Gegner.ini entry.
struct EnemyType {
  int32_t typeId = 0;      // number in brackets
  int32_t nextType = 0;    // index of the type it turns into on death, < 0 = dies
  int32_t points = 0;      // score for a kill
  uint8_t isBoss = 0;      // 1 = the map's boss
  std::string typeName;    // shown in the boss line
  int32_t keptValue = 0;   // read, not used in play
  int32_t frameHeight = 0;
  int32_t frameWidth = 0;
  int32_t moveKind = 0;    // 0 walker, 1 vertical flyer, 3 horizontal flyer
  int32_t baseColumn = 0;  // first frame column in the sheet
  int32_t spriteOffset = 0;  // sheet is sprite 329 + spriteOffset
  int32_t hitPoints = 0;
  int32_t speed = 0;
};
// Where Gegner.ini is read its numbers are kept within these bounds, so the enemy rules
// can work out frames, sheets, moves and points in int without overflowing. The bounds lie
// far past any picture or map, so a value inside them keeps its meaning: frame sizes, the
// first column and the speed within +-EnemySizeLimit, the sheet offset within
// +-EnemySheetLimit (either end is no sprite), points and hit points within the 16 bits of
// the score and of an enemy's health.
constexpr int32_t EnemySizeLimit = 32768;
constexpr int32_t EnemySheetLimit = 1 << 20;

// The twenty key codes in Setup.ini order, indexed by the Bind slots of the catalogue.
constexpr int KeyBindingCount = Bind::Count;
struct KeyBindingRecord {
  std::array<int16_t, KeyBindingCount> code{};
};
// The Setup.ini key of each slot (the catalogue's table).
inline constexpr const auto& KeyBindingNames = BindNames;

// The header values of the map file last read that the play setup copies elsewhere.
struct MapHeader {
  bool read = false;       // the map file was there
  int32_t w = -1, h = -1;  // highest column and row index (-1 = no cells)
  int32_t darkness = 0;    // line 3: alpha of the darkness overlay
  int32_t timeValue = 0;   // line 7: time of a time match
  int32_t background = 0;  // line 10: entry of Backgrounds.pak
};

// Which screen is showing, for --state and tests. Set by whichever subsystem shows it.
enum class Screen {
  Loading, MainMenu, PauseMenu, NewGame, Options, Highscore, Quit, Title, Play, Paused,
  Cutscene, Choice, LoadWait
};
const char* ScreenName(Screen s);

// ---------------------------------------------------------------------------------
// Whole run
// ---------------------------------------------------------------------------------
extern int16_t WindowedMode;      // program argument 0: 1 = window
extern int32_t DebugMode;         // program argument 1: debug settings in MapRules
extern int32_t Volume;            // 0..100 from Setup.ini
extern int32_t LoadProgress;      // start-up loading progress 0..10
extern Screen CurrentScreen;      // which screen is showing
extern List<KeyBindingRecord> KeyBindings;  // one record from Setup.ini
// The pad input of each pad action (PadInput, -1 = none), from Gamepad.ini.
extern std::array<int32_t, 21> PadBindings;
extern List<EnemyType> EnemyTypes;          // from Gegner.ini
// Half width and height (cells) of the collision window. Each map's loader raises them
// from the previous map's values, so they carry over from map to map on purpose.
extern int32_t ActiveCols;
extern int32_t ActiveRows;
// The weather picture: a map header of another kind leaves the previous map's one.
extern int32_t WeatherSprite;     // 431 or 432 (0 = none)

// ---------------------------------------------------------------------------------
// One game
// ---------------------------------------------------------------------------------
extern int32_t CurrentMap;        // number of the map played
extern int16_t GameOver;          // 1 = the game ends after this map
extern int16_t TimeMatch;         // time-match mode
extern int32_t StoryMode;         // story mode
extern int32_t StoryProgress;     // story map reached (Saves\Story.save)

// ---------------------------------------------------------------------------------
// One map (written by the map loader and the tile loader)
// ---------------------------------------------------------------------------------
extern Grid<MapCell> Map;         // the cells, column-major
extern Grid<int16_t> LightGrid;   // light marks, same shape
extern MapHeader LoadedHeader;    // header of the map file last read
extern int32_t RespawnX, RespawnY;  // start position; posX = -RespawnX
extern int32_t ExitCol, ExitRow;    // exit door cell
extern int32_t WeatherAmount;     // particle count target
extern std::string TileSet;       // tile-set number as text
extern std::array<uint8_t, 82> TileKind;  // 0 plain, 1/2 special ground
extern int32_t AnimFrameBase;     // 6000..9000: current animated tile frame
extern int32_t ReloadTiles;       // the frame loop reloads the tile set
extern List<CellPos> MovingTiles;    // the moving cells
extern List<CellPos> MovingScratch;  // the loader's scratch list of moving cells

// Start values of the whole run and of one game (program start; tests call it in SetUp).
void ResetContentRun();
// Start values of one map, where a map begins (before its loader runs).
void ResetContentMap();

// ---------------------------------------------------------------------------------
// Procedures
// ---------------------------------------------------------------------------------

// The start-up catalogue (fonts, objects, menus, interface, inventory, sounds, buttons),
// run on the start-up loader thread.
void LoadCatalogue();
// Loads the tile set named by TileSet from Tiles.pak and fills TileKind.
void LoadTiles();
// The kinds of tiles 1..80 for a tile-set number.
void FillTileKind(int tileSet);
// Reads the map file at path into Map, LightGrid, MovingTiles, the header globals and
// LoadedHeader; the background picture comes from Backgrounds.pak. False when the file
// is missing (nothing changes then).
bool ReadMapFile(const std::string& path);
// A failed load (result 0) ends the program with two messages naming label. On the
// loader thread it only records the failure and parks the thread: the main thread, which
// owns the window, ends the program at its next check (FinishFailedLoad).
void CheckLoad(int result, const std::string& label);
// Called by the main thread while a loader thread runs: ends the program if the loader
// recorded a failed load.
void FinishFailedLoad();
// The end of the fatal path; by default EndProgram(code). Tests replace it with a hook
// that must not return (it may throw).
void SetFatalExitHook(std::function<void(int code)> hook);
// The pad's actions: the twenty bindings of Setup.ini in their order, then the doors
// (the Return key); each has one line in GamepadBindingFile in the user folder.
constexpr int PadActionCount = Bind::Count + 1;
constexpr int PadActionDoor = Bind::Count;
constexpr const char* GamepadBindingFile = "Gamepad.ini";
constexpr const char* PadActionDoorName = "Eingang";
static_assert(PadActionCount == std::tuple_size<decltype(PadBindings)>::value);
// The default pad input of each action.
void SetDefaultPadBindings();
// Reads GamepadBindingFile into PadBindings, writing it with the defaults when missing;
// an action whose line is missing or unreadable keeps its default.
void ReadGamepadIni();
// The text of GamepadBindingFile for the bindings in PadBindings.
std::string GamepadIniText();
// Points the game controllers' inputs at the keys of a binding record through
// PadBindings, so the pad follows every new binding of keys and of pad inputs.
void BindGamepadToKeys(const KeyBindingRecord& keys);
// Loads the darkness and light pictures from Lights.pak and turns filtering on.
void LoadLights();

// Paths of the current map by mode (story first, then time match, else free game).
struct MapPaths {
  std::string map, script, tagGrid;
};
MapPaths CurrentMapPaths();
// The same for map number map of the current mode.
MapPaths MapPathsOf(int64_t map);

// Largest map accepted from a header, per side and in cells; larger headers give an
// empty map instead of a huge allocation.
constexpr int MaxMapSide = 4095;
constexpr long MaxMapCells = 1L << 21;
// True when w and h can be the highest column and row of a map grid: within both limits
// above. The map loader makes no other grid, and a save slot of other sizes is damaged.
bool MapSizeUsable(int64_t w, int64_t h);
// Most weather particles a map header or a script can ask for.
constexpr int MaxWeatherParticles = 5000;
// The weather of a map header's line 8 or the script's "changewather": kind 1 snow
// (WeatherSprite 431), 2 rain (432), any other kind keeps the picture; the amount, capped
// at MaxWeatherParticles, is the particle target. The kind is read as a number.
void SetWeather(const std::string& kind, int32_t amount);

}  // namespace kw
