// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench: runs every benchmark part and prints one figure a line.
//   kwbench [--data GAMEDIR] [--game BINARY] [--only drawing|packs|game|memory]
// BINARY is the game program for the memory figure (default: klingenwald beside kwbench).
// The memory breakdown runs in a fresh kwbench (--memory-breakdown GAMEDIR), so nothing
// the other parts loaded counts.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "bench.h"

namespace {

// The game program beside this one.
std::string BesideMe(const char* me, const std::string& name) {
  std::string path = me;
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" + name : path.substr(0, slash + 1) + name;
}

}  // namespace

// Runs the memory breakdown in a fresh copy of this program.
void RunBreakdown(const std::string& gameDir) {
  std::fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    execl("/proc/self/exe", "kwbench", "--memory-breakdown", gameDir.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status))
    std::printf("# memory breakdown: skipped (it did not run to its end)\n");
}

int main(int argc, char** argv) {
  if (argc == 3 && !std::strcmp(argv[1], "--memory-breakdown")) {
    kwbench::BenchMemoryBreakdown(argv[2]);
    std::fflush(stdout);
    _exit(0);  // past the game's own exit handlers: the figures are all it had to give
  }
  std::string gameDir, only, binary = BesideMe(argv[0], "klingenwald");
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--data") && i + 1 < argc) gameDir = argv[++i];
    else if (!std::strcmp(argv[i], "--game") && i + 1 < argc) binary = argv[++i];
    else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only = argv[++i];
    else {
      std::fprintf(stderr,
                   "usage: kwbench [--data GAMEDIR] [--game BINARY] "
                   "[--only drawing|packs|game|memory]\n");
      return 2;
    }
  }
  if (only.empty() || only == "drawing") kwbench::BenchDrawing();
  if (only.empty() || only == "packs") kwbench::BenchPacks(gameDir);
  if (only.empty() || only == "game") kwbench::BenchGame(gameDir);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  kwbench::Print("kwbench_rss_mb", usage.ru_maxrss / 1024.0, "MB");
  if ((only.empty() || only == "memory") && !gameDir.empty()) {
    double peak = 0;
    if (kwbench::BenchGameMemory(binary, gameDir, peak))
      kwbench::Print("peak_rss_mb", peak, "MB");
    else
      std::printf("# memory: skipped (%s did not run to its end)\n", binary.c_str());
    RunBreakdown(gameDir);
  }
  return 0;
}
