// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench part "memory": the game binary run headless through the real menus into free
// map 1, walking and jumping there for a while; its peak resident memory is its VmHWM,
// read from /proc while it runs (the rusage of a spawned child starts from the spawning
// process's own peak, so it would report kwbench's memory, not the game's).
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench.h"

extern char** environ;

namespace kwbench {

namespace {

constexpr int Frames = 1500;
constexpr int TimeoutS = 120;

// "Start", "Free Game", "Leicht", then right with a jump now and then.
const char* const Replay =
    "35 mouse 120 90 0\n38 mouse 120 90 1\n40 mouse 120 90 0\n"
    "45 mouse 265 170 1\n47 mouse 265 170 0\n52 mouse 240 170 1\n54 mouse 240 170 0\n"
    "200 key down 205\n300 key down 57\n305 key up 57\n600 key down 57\n605 key up 57\n"
    "900 key up 205\n950 key down 203\n1100 key down 57\n1105 key up 57\n1300 key up 203\n";

// The process's peak resident memory so far in kB (0 when it cannot be read).
long PeakKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string word;
  while (status >> word)
    if (word == "VmHWM:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  return 0;
}

// Waits for the child at most TimeoutS seconds, killing it after that; its usage in u,
// its highest peak seen in peakKb.
bool WaitWithTimeout(pid_t child, rusage& u, long& peakKb) {
  int status = 0;
  for (int tick = 0; tick < TimeoutS * 50; ++tick) {
    peakKb = std::max(peakKb, PeakKb(child));
    pid_t done = wait4(child, &status, WNOHANG, &u);
    if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0) return false;
    usleep(20000);
  }
  kill(child, SIGKILL);
  wait4(child, &status, 0, &u);
  std::fprintf(stderr, "kwbench memory: the game did not end within %d s\n", TimeoutS);
  return false;
}

}  // namespace

bool BenchGameMemory(const std::string& binary, const std::string& gameDir, double& peakMb) {
  char folder[] = "/tmp/kwbench-XXXXXX";
  if (!mkdtemp(folder)) return false;
  std::string replay = std::string(folder) + "/replay.txt";
  std::ofstream(replay) << Replay;
  std::string frames = std::to_string(Frames), user = std::string(folder) + "/user";
  // The German game, as every recorded figure was measured: the locale cannot change it.
  const char* args[] = {binary.c_str(), "--headless", "--lang",   "de",
                        "--data",       gameDir.c_str(), "--user", user.c_str(),
                        "--frames",     frames.c_str(), "--replay", replay.c_str(), nullptr};
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  pid_t child = 0;
  bool ran = posix_spawn(&child, binary.c_str(), nullptr, nullptr, const_cast<char**>(args),
                         environ) == 0;
  rusage u{};
  long peakKb = 0;
  if (ran) ran = WaitWithTimeout(child, u, peakKb);
  std::string clean = std::string("rm -rf '") + folder + "'";
  if (std::system(clean.c_str()) != 0) std::fprintf(stderr, "kwbench: %s left behind\n", folder);
  peakMb = peakKb / 1024.0;
  return ran && peakKb > 0;
}

}  // namespace kwbench
