// The frame loop of one map and the small procedures it owns: the message ticker, the
// visible window, the pause screen, the moving-tile step, the world step and the map
// end. FramePass below is the order of one pass; read it first.
#include <cstdlib>

#include "content/content.h"
#include "media/media.h"
#include "play/play.h"
#include "script/script.h"
#include "shell/globals.h"
#include "shell/shell.h"

namespace kw {

namespace {

enum class PassResult { Continue, MapEnd, Quit };

// Milliseconds from an earlier TimeMs() value to now (TimeMs wraps after 49 days).
int32_t MsSince(uint32_t now, int32_t then) { return int32_t(now - uint32_t(then)); }

// One motion triple of a moving cell: swing between 0 and +-range; carry the player
// standing on the cell. sign is +1 for the vertical triple (posY grows with the step)
// and -1 for the horizontal one (posX is stored negated).
void StepMotion(int32_t& offset, int32_t range, int32_t& step, bool carry, float& playerPos,
                int sign) {
  if (range == 0) return;
  int64_t r = std::llabs(int64_t(range)), o = std::llabs(int64_t(offset));
  if (r > o && o > 0) {
    offset += step;
    if (carry) playerPos += float(sign * step);
  } else {
    step = -step;
    offset += step;
  }
}

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

// Step 7 and 8 of a pass: the ticker, the paced world step, then drawing and control.
void PlayPass() {
  ProcessMessageTicker();
  uint32_t now = TimeMs();
  if (MsSince(now, WorldStepTime) > 15) WorldStep(now);
  DrawWorld();
  DrawHud();
  PlayerControls();
  FlipScreen();
  if (ClearEachFrame == 1) ClearBackBuffer(0);
}

void WorldStep(unsigned now) {
  if (HurtTime > INT32_MIN) HurtTime -= 1;
  if (HurtTime == 0) {
    SpellTime = 0;
    Spell = 0;
    HitGuard = 0;
  }
  if (MsSince(now, MovingTileTime) > MovingTileInterval) {
    MovingTileTime = int32_t(now);
    MovingTileStep();
  }
  WorldStepTime = int32_t(now);
  if (!Bombs.Empty()) {
    PlayerPhysicsWithBombs();
    Bombs.Reset();
    while (Bombs.Next()) BombPhysics();
  } else {
    PlayerPhysics();
  }
  MoveEnemies();
  AnimFrameBase += 1000;
  if (AnimFrameBase > 9000) AnimFrameBase = 6000;
  MapRules();
  UpdateBombs();
  UpdateCombat();
  P().mana += 0.09f;
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

void MovingTileStep() {
  PlayerRecord& p = P();
  for (const CellPos& pos : MovingTiles) {
    MapCell& c = Map.At(pos.col, pos.row);
    if (c.tile <= 1) continue;
    bool carry = c.onPlatform == 1;
    StepMotion(c.offY, c.vRange, c.vStep, carry, p.posY, 1);
    StepMotion(c.offX, c.hRange, c.hStep, carry, p.posX, -1);
  }
}

void ProcessMessageTicker() {
  PlayerRecord& p = P();
  if (++MessageTickerCount > 20) {
    if (!p.message.empty()) p.message.erase(0, 1);
    MessageTickerCount = 0;
  }
  if (p.message.empty()) p.textColor = 0;
  RunScript(0);
}

void ComputeVisibleWindow(int mode) {
  const PlayerRecord& p = P();
  int w = p.mapWidth, h = p.mapHeight;
  int cx = Nearest((-double(p.posX) + 300.0) / 30.0);
  int ry = -int(p.pixelY) / 30 + 2;
  int d = mode == 0 ? 11 : 100, e = mode == 0 ? 13 : 100;
  VisFromX = cx - d >= 0 ? cx - d : 0;
  VisToX = cx + d <= w ? cx + d : w;
  VisFromY = ry - e >= 0 ? ry - e : 0;
  VisToY = ry + e <= h ? ry + e : h;
}

void PauseScreen() {
  ReadKeyboard();
  if (WindowedMode == 1) {
    // In a window the pause is the minimised window; restoring it by hand ends it.
    if (GetWindowMode() == WindowNormal) {
      Paused = 0;
      SetWindowMode(WindowMaximised);
    }
    SetWindowMode(WindowMinimised);
    return;
  }
  if (KeyReleased(25)) Paused = 0;  // P
  DrawSprite(372, 0, 0);
  SleepMs(10);
}

void ClearScriptLists() {
  StartScript.Clear();
  MainScript.Clear();
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
  ClearScriptLists();
  Bombs.Clear();
  PlayerRecord& p = P();
  p.hasKey = 0;
  p.keyTime = 0;
  CurrentMap += 1;
  ResetPlayerForNextMap(p);
}

}  // namespace kw
