// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The frame loop of one map and the map end. FramePass below is the order of one pass
// and PlayPass the order of one pass of play; read them first.
#include "media/media.h"
#include "shell/shell.h"

namespace kw {

namespace {

enum class PassResult { Continue, MapEnd, Quit };

// A hit shakes the pad briefly: strength (0..100) and length in ms.
constexpr int HitRumbleStrength = 60, HitRumbleMs = 200;

// One pass of the frame loop (steps 1..9).
PassResult FramePass() {
  if (P().mapDone == 1) return PassResult::MapEnd;
  if (PollWindowEvent() == WindowEventClose) return PassResult::Quit;
  if (ScreenHasFocus() == 0) {
    SetMouseCaptured(false);
    if (WaitWindowEvent() == WindowEventClose) return PassResult::Quit;
  } else if (Paused == 1) {
    CurrentScreen = Screen::Paused;
    PauseScreen();
    FlipScreen();
    ClearBackBuffer(0);
  } else if (ReloadTiles == 1) {
    LoadTiles();
    ReloadTiles = 0;
  } else if (CutscenePlaying == 1) {
    CurrentScreen = Screen::Cutscene;
    CutsceneStep();
  } else {
    CurrentScreen = Screen::Play;
    PlayPass();
  }
  SleepMs(1);
  return PassResult::Continue;
}

}  // namespace

// Step 7 and 8 of a pass: the message line and the main script, the paced world step,
// then drawing and control, and what the control asked the shell to do. A hit in the
// world step or a spike met while drawing shakes the pads.
void PlayPass() {
  ++(StoryMode == 1 ? PlayPassesStory : TimeMatch == 1 ? PlayPassesTime : PlayPassesFree);
  ProcessMessageTicker();
  RunScript(0);
  uint32_t now = TimeMs();
  float healthBefore = P().health;
  if (MsSince(now, WorldStepTime) > WorldStepPace) {
    WorldStep(now);
    ++WorldSteps;
  }
  DrawWorld();
  if (P().health < healthBefore) RumbleGamepads(HitRumbleStrength, HitRumbleMs);
  DrawHud();
  PlayerControls();
  RunPendingAction();
  FlipScreen();
  if (ClearEachFrame == 1) ClearBackBuffer(0);
}

void RunPendingAction() {
  GameAction action = PendingAction;
  PendingAction = GameAction::None;
  switch (action) {
    case GameAction::None: break;
    case GameAction::PauseMenu: MainMenu(1); break;  // its result is not used
    case GameAction::QuickSave:
      // Only a save that was written says so.
      if (SaveGame("") == 1) ShowNotice(Translate(SavedNotice));
      break;
    case GameAction::QuickLoad: LoadGame(""); break;
  }
}

int FrameLoop() {
  for (;;) {
    switch (FramePass()) {
      case PassResult::Continue: break;
      case PassResult::MapEnd: return 0;
      case PassResult::Quit: return 1;
    }
  }
}

void WriteStoryProgress() {
  if (!CreateFileForWriting(2, "Saves\\Story.save")) return;
  WriteText(2, IntToText(int64_t(CurrentMap) - GameOver + 1));
  CloseFileNumber(2);
}

// Map end steps 1..5; the caller goes on to the highscore after a game over.
void MapEnd() {
  WriteStoryProgress();
  SetMouseCaptured(true);
  if (Item* item = Items.Current()) item->throws += 10;
  // The bombs go already here (the map start empties the list again), so the highscore
  // after a game over, and its state file, shows none. The map script goes at the next
  // map start.
  Bombs.Clear();
  PlayerRecord& p = P();
  p.hasKey = 0;
  p.keyTime = 0;
  // The typed map command reaches every int32 map number; past the last one the count
  // wraps, as it does back from the first on a restart.
  CurrentMap = int32_t(uint32_t(CurrentMap) + 1u);
  ResetPlayerForNextMap(p);
}

}  // namespace kw
