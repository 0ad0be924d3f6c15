// kwbench part "game": the start-up up to the first main-menu frame (media headless,
// configuration, lights, LoaderThread(0)) and the load of free map 1 (LoaderThread(1))
// with the shipped data; then, on that map, one pass of play (world step, drawing, HUD,
// controls, flip) and the world step alone.
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

// Frames of play on the loaded map, the figure standing at the start: what each pass of
// the frame loop costs, and the world step on its own.
void BenchPlay() {
  kw::PlayerRecord& p = kw::P();
  p.posX = float(-kw::RespawnX);
  p.posY = float(kw::RespawnY);
  kw::PlayerScreenX = 300;
  kw::ComputeVisibleWindow(0);
  std::vector<double> frames, steps;
  for (int i = 0; i < 300; ++i) {
    double t0 = NowUs();
    kw::PlayPass();
    frames.push_back(NowUs() - t0);
  }
  for (int i = 0; i < 300; ++i) {
    double t0 = NowUs();
    kw::WorldStep(kw::TimeMs());
    steps.push_back(NowUs() - t0);
  }
  Print("playframe_us", Median(frames), "us");
  Print("worldstep_us", Median(steps), "us");
}

// The largest shipped map (story map 1, 140 x 24 cells) with its enemies topped up to
// 30, spread over the map: the world step's worst case.
void LoadLargestMapWithEnemies() {
  kw::SetNewGamePlayer(kw::P());
  kw::StoryMode = 1;
  kw::StoryProgress = 1;
  kw::CurrentMap = 1;
  kw::LoaderThread(1);
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
  for (int run = 0; run < 3; ++run) {
    double t0 = NowUs();
    StartGame();
    startup.push_back((NowUs() - t0) / 1000.0);
  }
  for (int run = 0; run < 5; ++run) {
    kw::SetNewGamePlayer(kw::P());
    kw::StoryMode = 0;
    kw::TimeMatch = 0;
    kw::CurrentMap = 1;
    double t0 = NowUs();
    kw::LoaderThread(1);
    mapload.push_back((NowUs() - t0) / 1000.0);
  }
  Print("startup_ms", Median(startup), "ms");
  Print("mapload_ms", Median(mapload), "ms");
  LoadLargestMapWithEnemies();
  BenchPlay();
}

}  // namespace kwbench
