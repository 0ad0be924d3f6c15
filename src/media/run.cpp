// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Start and end of the media layer: InitMedia sets up SDL (or its dummy drivers), the
// quit signals, the folders, the random seed, the replay and the recording, and starts
// every run from flip 0 at time 0; ShutdownMedia writes the screenshot and the state and
// frees every resource. Called by the shell at start and at the end.
#include "media/core.h"
#include "media/core_internal.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "media/clock_internal.h"
#include "media/display_internal.h"
#include "media/events_internal.h"
#include "media/files.h"
#include "media/flip_internal.h"
#include "media/input.h"
#include "media/input_internal.h"
#include "media/options_internal.h"
#include "media/pacing_internal.h"
#include "media/pack.h"
#include "media/replay_internal.h"
#include "media/signals_internal.h"
#include "media/sound.h"
#include "media/sprites.h"
#include "media/text.h"

namespace kw {

namespace {

bool ShutDown = false;
std::function<void(const std::string&)> StateWriter;

}  // namespace

bool InitMedia(const MediaOptions& options) {
  // A run starts from flip 0 at virtual time 0 with no input (tests start several runs).
  SetMediaOptions(options);
  ResetFlipCount();
  SetVirtualTimeUs(0);
  ResetFramePacing();
  ResetDisplayState();
  ClearWindowEvents();
  ClearReplay();
  ResetInput();
  if (options.headless) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  InstallQuitSignals();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "klingenwald: SDL could not start: %s\n", SDL_GetError());
    if (!options.headless) std::fprintf(stderr, "(is there a display? try --headless)\n");
    return false;
  }
  SetFolders(options.dataDir, options.userDir);
  SeedRandom(options.seedGiven ? options.seed : (options.headless ? 0u : uint32_t(SDL_GetTicks() ^ uint32_t(std::random_device{}()))));
  if (!options.replayPath.empty() && !LoadReplay(options.replayPath)) return false;
  if (!options.recordPath.empty() && !OpenRecording(options.recordPath)) return false;
  if (!options.headless) InitGamepads();
  SetMediaStarted(true);
  ShutDown = false;
  return true;
}

void SetStateWriter(std::function<void(const std::string& path)> writer) {
  StateWriter = std::move(writer);
}

void ShutdownMedia() {
  if (ShutDown) return;
  ShutDown = true;
  StopSoundFx(-1);
  SetMouseCaptured(false);
  CloseSettings();
  ClosePack();
  if (!Options().screenshotPath.empty() && !SaveBackBufferPng(Options().screenshotPath))
    std::fprintf(stderr, "klingenwald: cannot write the screenshot %s\n",
                 Options().screenshotPath.c_str());
  if (!Options().statePath.empty() && StateWriter) StateWriter(Options().statePath);
  CloseRecording();
  CloseAllFiles();
  FreeAllSounds();
  FreeAllFonts();
  FreeAllSprites3D();
  FreeAllSprites();
  CloseGamepads();
  DestroyDisplay();
  if (MediaStarted()) SDL_Quit();
  SetMediaStarted(false);
}

void EndProgram(int code) {
  ShutdownMedia();
  std::fflush(nullptr);
  // A loader thread may still run; end the process without unwinding it.
  std::_Exit(code);
}

}  // namespace kw
