// kwbench: runs every benchmark part and prints one figure a line.
//   kwbench [--data GAMEDIR] [--only drawing|packs|game]
#include <sys/resource.h>

#include <cstring>
#include <string>

#include "bench.h"

int main(int argc, char** argv) {
  std::string gameDir, only;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--data") && i + 1 < argc) gameDir = argv[++i];
    else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only = argv[++i];
    else {
      std::fprintf(stderr, "usage: kwbench [--data GAMEDIR] [--only drawing|packs|game]\n");
      return 2;
    }
  }
  if (only.empty() || only == "drawing") kwbench::BenchDrawing();
  if (only.empty() || only == "packs") kwbench::BenchPacks(gameDir);
  if (only.empty() || only == "game") kwbench::BenchGame(gameDir);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  kwbench::Print("peak_rss_mb", usage.ru_maxrss / 1024.0, "MB");
  return 0;
}
