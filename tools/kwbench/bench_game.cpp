// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench part "game": the start-up up to the first main-menu frame (media headless,
// configuration, lights, LoaderThread(0)) and the load of free map 1 (LoaderThread(1))
// with the shipped data; then one pass of play (world step, drawing, HUD, controls, flip)
// on every shipped map, the busiest one's world drawing alone, and the world step alone
// on the largest map with 30 enemies.
#include "bench.h"
#include "content/content.h"
#include "media/media.h"
#include "shell/shell.h"

namespace kwbench {

namespace {

// The game start without the loading bar's waits: what the player waits for.
void StartGame() {
  kw::SetStartValues();
  kw::LoadConfiguration();
  kw::CreateScriptLists();
  kw::LoadLights();
  kw::LoaderThread(0);
}

// One shipped map: its mode and number.
struct ShippedMap {
  const char* name;
  int story, timeMatch, number;
};
constexpr ShippedMap ShippedMaps[] = {
    {"free1", 0, 0, 1},  {"free2", 0, 0, 2},  {"free3", 0, 0, 3},  {"story1", 1, 0, 1},
    {"story2", 1, 0, 2}, {"story3", 1, 0, 3}, {"story4", 1, 0, 4}, {"story5", 1, 0, 5},
    {"time1", 0, 1, 1},  {"time2", 0, 1, 2},
};

// Loads one shipped map as a new game would; false when it has no map file.
bool LoadShippedMap(const ShippedMap& m) {
  kw::SetNewGamePlayer(kw::P());
  kw::StoryMode = m.story;
  kw::TimeMatch = m.timeMatch;
  kw::StoryProgress = 0;
  kw::CurrentMap = m.number;
  kw::LoaderThread(1);
  return kw::P().mapDone == 0 && kw::GameOver == 0;
}

// The figure at the map's start, the view around it, as the map start leaves them.
void PlaceAtStart() {
  kw::PlayerRecord& p = kw::P();
  p.posX = float(-kw::RespawnX);
  p.posY = float(kw::RespawnY);
  kw::PlayerScreenX = 300;
  kw::ComputeVisibleWindow(0);
  kw::WorldStepTime = int32_t(kw::TimeMs());
}

// Times of n passes of play (world step when due, world, HUD, controls, flip) in us.
std::vector<double> TimePlayPasses(int n) {
  std::vector<double> times;
  for (int i = 0; i < n; ++i) {
    double t0 = NowUs();
    kw::PlayPass();
    times.push_back(NowUs() - t0);
  }
  return times;
}

// The median time of n calls of part (after 20 to warm up) in us.
template <typename F>
double PartUs(F part, int n = 200) {
  std::vector<double> times;
  for (int i = 0; i < n + 20; ++i) {
    double t0 = NowUs();
    part();
    if (i >= 20) times.push_back(NowUs() - t0);
  }
  return Median(times);
}

// Where the busiest map's play frame goes, each part drawn alone over and over after
// a whole world pass set up its visible window: the far background, the back, main and
// overlay layers, the things between them (the world pass less those and the darkness),
// the darkness, the HUD with its message line (the line's text alone too), the flip,
// and the rest of the pass (world step, script, controls).
void BenchPlayFrameParts(double playframe) {
  kw::DrawWorld();
  kw::SetSprite3DFiltering(0);
  double world = PartUs([] { kw::DrawWorld(); });
  double background = PartUs([] { kw::DrawFarBackground(); });
  double back = PartUs([] { kw::DrawBackLayer(); });
  double main = PartUs([] { kw::DrawMainLayer(); });
  double overlay = PartUs([] { kw::DrawOverlayLayer(); });
  double darkness = kw::P().darkness > 0 ? PartUs([] { kw::DrawLightsAndDarkness(); }) : 0;
  kw::SetSprite3DFiltering(1);
  // The message line as the HUD draws it; a map that starts without one gets a line of
  // the usual length.
  std::string line = kw::P().message.empty() ? "Der Schluessel liegt hinter dem Wasserfall." : kw::P().message;
  double text = PartUs([&] {
    kw::BeginText();
    kw::SelectFont(kw::Font::Small);
    kw::SetTextBackgroundColour(0);
    kw::DrawTextAt(25, 12, line);
    kw::EndText();
  });
  double hud = PartUs([] { kw::DrawHud(); });
  double flip = PartUs([] { kw::FlipScreen(); });
  Print("playframe_background_us", background, "us");
  Print("playframe_backlayer_us", back, "us");
  Print("playframe_mainlayer_us", main, "us");
  Print("playframe_overlay_us", overlay, "us");
  Print("playframe_things_us", std::max(0.0, world - background - back - main - overlay - darkness), "us");
  Print("playframe_darkness_us", darkness, "us");
  Print("playframe_hud_us", hud, "us");
  Print("playframe_text_us", text, "us");
  Print("playframe_flip_us", flip, "us");
  Print("playframe_rest_us", std::max(0.0, playframe - world - hud - flip), "us");
}

// Every shipped map's play frame; the busiest one is `playframe_us`, and its world
// drawing alone `drawworld_us`.
void BenchPlayFrames() {
  double worst = -1;
  std::vector<double> worstRuns;
  const ShippedMap* busiest = nullptr;
  for (const ShippedMap& m : ShippedMaps) {
    if (!LoadShippedMap(m)) continue;
    PlaceAtStart();
    TimePlayPasses(20);  // warm caches and the pictures' span tables
    std::vector<double> runs = TimePlayPasses(200);
    Print(std::string("playframe_") + m.name + "_us", Median(runs), "us");
    if (Median(runs) > worst) {
      worst = Median(runs);
      worstRuns = runs;
      busiest = &m;
    }
  }
  if (!busiest) return;
  std::printf("# busiest map: %s\n", busiest->name);
  PrintRuns("playframe_us", worstRuns, "us");
  LoadShippedMap(*busiest);
  PlaceAtStart();
  std::vector<double> draws;
  for (int i = 0; i < 220; ++i) {
    double t0 = NowUs();
    kw::DrawWorld();
    if (i >= 20) draws.push_back(NowUs() - t0);
  }
  PrintRuns("drawworld_us", draws, "us");
  BenchPlayFrameParts(Median(worstRuns));
}

// The world step alone on the largest map with 30 enemies.
void BenchWorldStep() {
  PlaceAtStart();
  std::vector<double> steps;
  for (int i = 0; i < 300; ++i) {
    double t0 = NowUs();
    kw::WorldStep(kw::TimeMs());
    steps.push_back(NowUs() - t0);
  }
  PrintRuns("worldstep_us", steps, "us");
}

// The largest shipped map (story map 1, 140 x 24 cells) with its enemies topped up to
// 30, spread over the map: the world step's worst case.
void LoadLargestMapWithEnemies() {
  LoadShippedMap(ShippedMaps[3]);
  int n = kw::Enemies.Count();
  if (n == 0) return;
  std::vector<kw::Enemy> models(kw::Enemies.begin(), kw::Enemies.end());
  kw::Enemies.Last();
  for (int i = n; i < 30; ++i) {
    kw::Enemy& e = kw::Enemies.Add(models[size_t(i % n)]);
    e.x = float(30 * (2 + i * (kw::P().mapWidth - 4) / 30));
  }
}

}  // namespace

void BenchGame(const std::string& gameDir) {
  if (gameDir.empty()) {
    std::printf("# game: skipped (no game folder; pass --data GAMEDIR)\n");
    return;
  }
  kw::MediaOptions o;
  o.headless = true;
  o.dataDir = gameDir;
  o.userDir = gameDir + "/../kwbench-user";
  if (!kw::InitMedia(o)) {
    std::printf("# game: skipped (the media layer did not start)\n");
    return;
  }
  kw::SetFolders(o.dataDir, o.userDir);
  std::vector<double> startup, mapload;
  for (int run = 0; run < 5; ++run) {
    double t0 = NowUs();
    StartGame();
    startup.push_back((NowUs() - t0) / 1000.0);
  }
  for (int run = 0; run < 7; ++run) {
    double t0 = NowUs();
    LoadShippedMap(ShippedMaps[0]);
    mapload.push_back((NowUs() - t0) / 1000.0);
  }
  PrintRuns("startup_ms", startup, "ms");
  PrintRuns("mapload_ms", mapload, "ms");
  BenchPlayFrames();
  LoadLargestMapWithEnemies();
  BenchWorldStep();
}

}  // namespace kwbench
