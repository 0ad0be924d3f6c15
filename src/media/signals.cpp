// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The quit signals: SIGTERM and SIGINT ask the game to close as its window's close button
// does (the event pump, events.cpp, hands the request on), with a forced end when the
// program does not follow. Installed by InitMedia.
#include "media/core.h"
#include "media/signals_internal.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

namespace kw {

namespace {

// SIGTERM / SIGINT: the first one asks the game to close like the window's close button
// (PumpEvents hands it on); whatever the game is doing then -- a stalled load, a decoder
// that does not return -- the program ends two seconds later, or at once on a second
// one. A load that goes on reading (each pack entry, each QuitRequested) is no stall: the
// two seconds count from its last step, so it reaches the close request and ends cleanly.
volatile std::sig_atomic_t QuitSignal = 0;
constexpr unsigned QuitGraceSeconds = 2;

extern "C" void OnQuitAlarm(int) { _exit(128 + QuitSignal); }

extern "C" void OnQuitSignal(int signal) {
  if (QuitSignal) _exit(128 + signal);
  QuitSignal = signal;
  alarm(QuitGraceSeconds);
}

}  // namespace

// Installed before SDL starts, so SDL keeps its own handlers out of the way.
void InstallQuitSignals() {
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  action.sa_handler = OnQuitAlarm;
  sigaction(SIGALRM, &action, nullptr);
  action.sa_handler = OnQuitSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool QuitSignalled() { return QuitSignal != 0; }

int QuitRequested() {
  if (!QuitSignal) return 0;
  alarm(QuitGraceSeconds);
  return 1;
}

}  // namespace kw
