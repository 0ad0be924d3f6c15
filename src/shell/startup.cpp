// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The program's spine: start-up (arguments, configuration, lights, the start-up loader
// behind the loading bar), the main menu, a new game, the map start with the spinning
// title picture, and quit. The frame loop of a map is in mainloop.cpp.
#include <algorithm>
#include <cstdint>

#include "media/media.h"
#include "shell/shell.h"

namespace kw {

namespace {

// The title picture grows without end while a map loads; past this it only spins.
constexpr int32_t MaxIntroZoom = 100000;

// Start-up steps 1..3: start values, program arguments, configuration, lights.
void StartUp() {
  SetStartValues();
  CurrentScreen = Screen::Loading;
  RegisterStateWriter();
  WindowedMode = int16_t(ParseInt(ProgramArgument(0)));
  DebugMode = ParseInt(ProgramArgument(1));
  ProgramArgument(2);  // read and not used
  LoadConfiguration();
  CreateScriptLists();
  LoadLights();
}

// Start-up steps 4 and 5: the loader thread behind the loading bar. The bar is drawn
// at least once, so a headless run (where the thread has ended already) shows it too.
// The window is served meanwhile: a close request ends the program once the loader has
// stopped (it may be writing pictures the shutdown would free).
void RunStartupLoader() {
  StartupLoader = StartThread(LoaderThread, 0);
  bool quit = false;
  do {
    FinishFailedLoad();
    if (PollWindowEvent() == WindowEventClose) quit = true;
    if (!quit) {
      DrawLoadingBar();
      SleepMs(100);
      FlipScreen();
    } else {
      SleepMs(1);
    }
  } while (ThreadRunning(StartupLoader));
  JoinThread(StartupLoader);
  if (quit) {
    CurrentScreen = Screen::Quit;
    EndProgram(0);
  }
}

// Start-up step 6: the main menu again after the highscore or options screen, until
// the player starts or continues.
void RunMainMenu() {
  while (MainMenu(0) != 1) {
  }
}

// Start-up step 7: a fresh player record, then mode and difficulty.
void NewGame() {
  Player.Clear();
  SetNewGamePlayer(Player.Add());
  CurrentScreen = Screen::NewGame;
  NewGameMenu();
  SetSoundVolume(Snd::Click, 50);
}

// Map start step 2: the title spins until a key is down (a line at its foot says so),
// then the loader is awaited.
// A close request ends the wait as well; it returns true then, and the program quits
// once the loader has finished (it may be writing pictures the shutdown would free).
bool ShowTitleWhileLoading() {
  CurrentScreen = Screen::Title;
  IntroZoom = 100;
  IntroSpin = 1.0f;
  bool quit = false;
  for (;;) {
    FinishFailedLoad();
    if (PollWindowEvent() == WindowEventClose) {
      quit = true;
      break;
    }
    DrawTitleFrame();
    DrawKeyPrompt(Translate(PromptAnyKey));
    ReadKeyboard();
    FlipScreen();
    ClearBackBuffer(0);
    if (KeyDown(Key::Any)) break;
  }
  while (ThreadRunning(MapLoader)) {
    FinishFailedLoad();
    SleepMs(1);
  }
  JoinThread(MapLoader);
  return quit;
}

// Map start step 4: game music, only with a volume.
void StartMapMusic() {
  if (Volume == 0) return;
  if (TimeMatch == 1) {
    PlaySoundFx(Snd::MusicTimeMatch, 1);
    SetSoundVolume(Snd::MusicTimeMatch, Volume);
    return;
  }
  // One of the two game tracks, which sit side by side in the catalogue.
  static_assert(Snd::MusicCaves == Snd::MusicForest + 1);
  PlaySoundFx(Snd::MusicForest + RandomUpTo(1), 1);
  SetSoundVolume(Snd::MusicForest, Volume + 20);
  SetSoundVolume(Snd::MusicCaves, Volume + 20);
}

// Map start step 8: the start block may move the start position.
void RunStartBlock() {
  PlayerRecord& p = P();
  // Negated as floats: a header start of -2147483648 has no int32 negation.
  p.posX = -float(RespawnX);
  p.posY = float(RespawnY);
  RunScript(1);
  RespawnX = Nearest(-double(P().posX));
  RespawnY = Nearest(P().posY);
}

}  // namespace

std::string LoadingBarText(int progress) {
  std::string bar;
  for (int i = 0; i <= 10; ++i) bar += i <= progress ? "[/]" : "[ ]";
  return bar;
}

void DrawLoadingBar() {
  BeginText();
  DrawTextAt(100, 200, Translate("Loading  -  Please Wait"));
  DrawTextAt(100, 250, LoadingBarText(LoadProgress));
  EndText();
}

void DrawTitleFrame() {
  IntroZoom = std::min(IntroZoom + Nearest(IntroSpin), MaxIntroZoom);
  IntroSpin += 0.1f;
  Begin3D();
  ScaleSprite3D(Spr::TitlePicture, IntroZoom + ScreenWidth, IntroZoom + ScreenHeight);
  TurnSprite3D(Spr::TitlePicture, float(Nearest(IntroSpin)), 1);
  DrawSprite3D(Spr::TitlePicture, -IntroZoom / 2, -IntroZoom / 2, 255);
  End3D();
}

bool MapStart() {
  MapLoader = StartThread(LoaderThread, 1);
  if (ShowTitleWhileLoading()) return false;
  MapJustStarted = 1;
  StartMapMusic();
  MapStartTime = int32_t(TimeMs());
  if (TimeMatch == 1) {
    // Kept inside int32: the header's time value may already be at the limit.
    int64_t t = int64_t(P().timeValue) + TimeBonus;
    P().timeValue = int32_t(std::clamp<int64_t>(t, INT32_MIN, INT32_MAX));
  }
  ComputeVisibleWindow(0);
  P().facing = Facing::Right;
  LastSide = Facing::Right;
  WorldStepTime = int32_t(TimeMs());
  SetMouseCaptured(false);
  PlayerScreenX = FigureStartScreenX;
  RunStartBlock();
  for (Portal& portal : Portals) {
    portal.period = 50 + RandomUpTo(150);
    portal.phase = float(RandomUpTo(1));
  }
  // A quick load of this map's slot from another map ends here, on the map just started.
  FinishPendingLoad();
  CurrentScreen = Screen::Play;
  return true;
}

void GameMain() {
  StartUp();
  RunStartupLoader();
  for (;;) {
    RunMainMenu();
    NewGame();
    bool quit = false;
    for (;;) {
      if (!MapStart() || FrameLoop() == 1) { quit = true; break; }
      bool over = GameOver == 1;
      MapEnd();
      if (over) {
        CurrentScreen = Screen::Highscore;
        HighscoreScreen();
        GameOver = 0;
        break;
      }
    }
    if (quit) break;
  }
  CurrentScreen = Screen::Quit;
  ShutdownMedia();
}

}  // namespace kw
