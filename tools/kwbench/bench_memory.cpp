// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwbench part "memory": the game binary run headless through the real menus into free
// map 1, walking and jumping there for a while; its peak resident memory is its VmHWM,
// read from /proc while it runs (the rusage of a spawned child starts from the spawning
// process's own peak, so it would report kwbench's memory, not the game's). Then where
// that memory goes: a fresh kwbench process starts the game in-process the same way and
// prints the heap each step adds.
#include <malloc.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "bench.h"
#include "content/content.h"
#include "media/media.h"
#include "shell/shell.h"

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

// A figure of the process's status in kB (0 when it cannot be read): VmHWM is its peak
// resident memory so far, VmRSS the current one.
long StatusKb(pid_t pid, const char* field = "VmHWM:") {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string word;
  while (status >> word)
    if (word == field) {
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
    peakKb = std::max(peakKb, StatusKb(child));
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

// Bytes in use on the heap (small blocks and mapped large ones).
double HeapMb() {
  struct mallinfo2 m = mallinfo2();
  return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

constexpr double Mb = 1024.0 * 1024.0;

}  // namespace

void BenchMemoryBreakdown(const std::string& gameDir) {
  kw::MediaOptions o;
  o.headless = true;
  o.dataDir = gameDir;
  o.userDir = gameDir + "/../kwbench-user";
  o.language = "de";
  if (!kw::InitMedia(o)) return;
  kw::SetFolders(o.dataDir, o.userDir);
  kw::SetStartValues();
  double heap0 = HeapMb();
  kw::InitSound();  // the mixer and its channels (the configuration's own call then finds it open)
  double mixer = HeapMb() - heap0;
  kw::LoadConfiguration();
  kw::CreateScriptLists();
  kw::LoadLights();
  double base = double(StatusKb(getpid(), "VmRSS:")) / 1024.0, heap1 = HeapMb();
  kw::LoaderThread(0);
  kw::SetNewGamePlayer(kw::P());
  kw::CurrentMap = 1;
  kw::LoaderThread(1);
  double loaded = HeapMb() - heap1;
  kw::SoundMemoryUse sounds = kw::SoundMemory();
  // One track playing: its decoder's state on top of the kept streams.
  double heap2 = HeapMb();
  kw::PlaySoundFx(kw::Snd::MusicMenu, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  double decoder = std::max(0.0, HeapMb() - heap2);
  kw::StopSoundFx(-1);
  double music = double(sounds.streamedBytes) / Mb + decoder;
  Print("music_mb", music, "MB");
  Print("mem_sounds_mb", double(sounds.decodedBytes) / Mb, "MB");
  Print("mem_pictures_mb", loaded - double(sounds.decodedBytes + sounds.streamedBytes) / Mb, "MB");
  Print("mem_mixer_mb", mixer, "MB");
  Print("mem_base_mb", base, "MB");
  kw::ShutdownMedia();
}

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
