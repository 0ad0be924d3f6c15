// Content loading: the loader thread (start-up catalogue and map loading), the tile-set
// loader, the fatal load check and the lights. Called by the shell's start-up and map
// start (src/shell/mainloop.cpp) and by the frame loop when the script changes tiles.
#pragma once

#include <functional>
#include <string>

namespace kw {

// Thread procedure: mode 0 loads fonts, pictures and sounds at start-up, mode 1 loads
// the map of CurrentMap. Both end with the closing steps.
void LoaderThread(int mode);
// The start-up catalogue of mode 0 (fonts, objects, menus, interface, inventory,
// sounds, buttons, highscores), without the closing steps.
void LoadCatalogue();
// The map part of mode 1, without the closing steps.
void LoadMap();
// Steps both modes end with: music stopped, player sizes, best score, sprite 434,
// ambient sound loops. mapW and mapH are the map header's sizes (0 after mode 0).
void LoaderClosingSteps(int mapW, int mapH);
// Loads the tile set named by TileSet from Tiles.pak and fills TileKind.
void LoadTiles();
// The kinds of tiles 1..80 for a tile-set number.
void FillTileKind(int tileSet);
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
// Loads the darkness and light pictures from Lights.pak and turns filtering on.
void LoadLights();

// Paths of the current map by mode (story first, then time match, else free game).
struct MapPaths {
  std::string map, script, tagGrid;
};
MapPaths CurrentMapPaths();

// Largest map accepted from a header, per side and in cells; larger headers give an
// empty map instead of a huge allocation.
constexpr int MaxMapSide = 4095;
constexpr long MaxMapCells = 1L << 21;

}  // namespace kw
