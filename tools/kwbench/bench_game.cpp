// kwbench part "game": the start-up up to the first main-menu frame (media headless,
// configuration, lights, LoaderThread(0)) and the load of free map 1 (LoaderThread(1))
// with the shipped data.
#include "bench.h"
#include "content/content.h"
#include "media/media.h"
#include "shell/globals.h"
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
}

}  // namespace kwbench
